// Writes the built-in templates into <output folder>: each a design made here from our
// own shapes and texts, saved by the design window's own file writer with its combined
// picture of both sides as the preview.
//
//   make_builtin_templates <output folder>

#include "model/CRDDocument.h"
#include "model/CRDText.h"
#include "model/Fonts.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "window/ui/CRDWindowController.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

struct Line {
  const char* text;
  const char* font;
  double size;
  QRectF bounds;
};

struct Template {
  const char* name;
  CRDColor card;     // the card's fill
  CRDColor band;     // a band across the front
  CRDColor ink;      // the texts' colour
  Line front[2];
  Line back;
};

std::shared_ptr<CRDGraphic> band(const QRectF& bounds, const CRDColor& colour) {
  auto shape = std::make_shared<Shape_Control>();
  shape->Set_Shape_Type(QStringLiteral("R"));
  shape->setBounds(bounds);
  shape->_isDrawingFill = true;
  shape->_fillColor = colour;
  shape->_isDrawingStroke = false;
  return shape;
}

std::shared_ptr<CRDGraphic> text(const Line& line, const CRDColor& ink) {
  auto t = std::make_shared<CRDText>();
  Text_Attributes look;
  look.font = Make_Font(QString::fromLatin1(line.font), line.size);
  look.foreground = ink;
  look.alignment = 2;  // centred
  t->_Text_contents = std::make_shared<StyledText>(QString::fromUtf8(line.text), look);
  t->Text_Value = QString::fromUtf8(line.text);
  t->text_ctrl_font = *look.font;
  t->txt_clr = ink;
  t->text_alignmnet = 2;
  t->_isDrawingFill = false;
  t->_isDrawingStroke = false;
  t->setBounds(line.bounds);
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_builtin_templates <output folder>\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QTemporaryDir scratch;
  if (!scratch.isValid() || !QDir().mkpath(out)) return 1;

  // The card is 243 x 154 points; texts are placed on it.
  const Template templates[] = {
      {"Birthday", CRDColor::rgb(1, 0.96, 0.86), CRDColor::rgb(0.95, 0.55, 0.35),
       CRDColor::rgb(0.35, 0.15, 0.1),
       {{"Happy Birthday!", "Arial-BoldMT", 22, QRectF(10, 50, 223, 34)},
        {"Wishing you a wonderful year", "TimesNewRomanPS-ItalicMT", 12, QRectF(10, 95, 223, 22)}},
       {"With love", "TimesNewRomanPS-ItalicMT", 16, QRectF(10, 60, 223, 30)}},
      {"Invitation", CRDColor::rgb(0.93, 0.95, 1), CRDColor::rgb(0.3, 0.4, 0.75),
       CRDColor::rgb(0.1, 0.15, 0.35),
       {{"You are invited", "Arial-BoldMT", 20, QRectF(10, 50, 223, 32)},
        {"Join us to celebrate", "TimesNewRomanPS-ItalicMT", 12, QRectF(10, 95, 223, 22)}},
       {"Please reply by", "Arial-BoldMT", 12, QRectF(10, 60, 223, 24)}},
      {"Thank You", CRDColor::rgb(0.92, 0.98, 0.92), CRDColor::rgb(0.35, 0.65, 0.4),
       CRDColor::rgb(0.1, 0.3, 0.15),
       {{"Thank You", "Arial-BoldMT", 24, QRectF(10, 48, 223, 36)},
        {"for being part of our day", "TimesNewRomanPS-ItalicMT", 12, QRectF(10, 95, 223, 22)}},
       {"With gratitude", "TimesNewRomanPS-ItalicMT", 16, QRectF(10, 60, 223, 30)}},
  };

  CRDDocument document;
  CRDWindowController window(&document, scratch.filePath(QStringLiteral("Resources")));
  for (const Template& t : templates) {
    window.new_design();  // New without the start screen
    document.Enable_Disable_Undo_Registraion(false);
    const Graphic_List front{band(QRectF(0, 0, 243, 36), t.band), text(t.front[0], t.ink),
                             text(t.front[1], t.ink), band(QRectF(0, 140, 243, 14), t.band)};
    const Graphic_List back{text(t.back, t.ink), band(QRectF(0, 140, 243, 14), t.band)};
    bool placed = true;
    for (int i = 0; i < int(front.size()); ++i)
      placed &= document.insertGraphics(CRDDocument::Side::Front, {front[i]}, {i});
    for (int i = 0; i < int(back.size()); ++i)
      placed &= document.insertGraphics(CRDDocument::Side::Back, {back[i]}, {i});
    document.Enable_Disable_Undo_Registraion(true);
    for (Card_Property* side : {&window.Front_card_Prop, &window.Back_card_Prop}) {
      side->Card_fill_chk = true;
      side->Card_fill_style = QStringLiteral("S");
      side->Card_fill_clr = t.card;
    }
    QString failure;
    if (!placed || !window.Write_Template(out + QLatin1Char('/') + QString::fromLatin1(t.name),
                                          &failure)) {
      std::fprintf(stderr, "could not write the template %s: %s\n", t.name, qPrintable(failure));
      return 1;
    }
  }
  return 0;
}
