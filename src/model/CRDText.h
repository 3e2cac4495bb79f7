#pragma once
// A text in a box: the characters of the styled text, drawn with the record's font,
// colour, alignment, kerning and case transform, optionally on a filled and bordered
// rectangle. Lines wrap at the width of the bounds; what does not fit is cut off.
//
// Painting lays out only the lines the box shows (and the next one), from at most
// Max_Laid_Out_Characters of the text: a text of any length paints as fast as one that
// fills the box.

#include "model/CRDGraphic.h"

#include <QSizeF>

class CRDText : public CRDGraphic {
 public:
  CRDText() = default;
  explicit CRDText(Bare bare) : CRDGraphic(bare) {}

  QString className() const override { return QStringLiteral("CRDText"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<CRDText>(); }

  // While being created only a frame 1 point outside the bounds is drawn. A text that
  // is empty once trimmed draws nothing at all, not even its fill or border. A hatch
  // fill code paints the plain fill colour.
  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;
  // The record's drawing bounds united with the bounds grown by 1 point.
  QRectF drawingBounds() const override;
  bool canSetDrawingStroke() const override { return false; }

  // The characters as they are drawn: trimmed, then with the case transform applied.
  QString Drawn_Text();
  // The start of the drawn text that painting may lay out (Max_Laid_Out_Characters and a
  // few more, line breaks as line separators), made from that part of the stored text
  // alone: its cost does not grow with the text's length.
  QString Shown_Text();
  // The size the shown text takes up when laid out at the current bounds width, with the
  // font, kerning and case it is drawn with: the size of what the box can show. Lines are
  // laid out a piece of the text at a time, so a long text without breaks costs about as
  // much per character as a short one.
  QSizeF naturalSize();
  // Keeps the top-left corner and takes the natural size; a locked text stays as it is.
  void makeNaturalSize() override;

  // Painting hands at most this many characters to the layout: a box that could show more
  // shows the first ones.
  static constexpr qsizetype Max_Laid_Out_Characters = qsizetype(1) << 16;
  // What painting texts on this thread has handed to the layout so far.
  struct Layout_Work {
    qint64 characters = 0;  // characters given to layouts
    qint64 lines = 0;       // lines laid out
  };
  static Layout_Work Painting_Layout_Work();

  // text_transfrom_case: 1 upper case, 2 lower case, 3 the first letter of every word
  // upper case and the rest lower case; any other value leaves the text as it is.
  static QString Apply_Text_Case(const QString& text, int text_case);
};
