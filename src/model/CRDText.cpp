#include "model/CRDText.h"

#include "model/Common_Functions.h"
#include "model/Fonts.h"
#include "model/Shape_Control.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace {

// Text is laid out in units of 1/16 point with fonts sized in those units (pixel sizes
// do not depend on any device's resolution), then drawn scaled down to points: the
// layout is the same on every device and at every resolution.
constexpr double Layout_Units = 16;

QFont layout_font(const QFont& design_font, double kerning) {
  QFont font = Drawing_Font(design_font);
  double points = design_font.pointSizeF();
  if (!(points > 0)) points = design_font.pixelSize() > 0 ? design_font.pixelSize() : 12.0;
  font.setPixelSize(std::max(1, int(std::lround(std::min(points, 4096.0) * Layout_Units))));
  font.setLetterSpacing(QFont::AbsoluteSpacing,
                        std::isfinite(kerning) ? kerning * Layout_Units : 0);
  // Outline metrics: no snapping to the pixels of any one resolution.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

Qt::Alignment alignment_of(int code) {
  // The paragraph alignment codes of the design: 0 left, 1 right, 2 centred,
  // 3 justified, 4 natural.
  switch (code) {
    case 0: return Qt::AlignLeft | Qt::AlignAbsolute;
    case 1: return Qt::AlignRight | Qt::AlignAbsolute;
    case 2: return Qt::AlignHCenter;
    case 3: return Qt::AlignJustify;
    default: return Qt::AlignLeading;
  }
}

QString with_line_separators(QString text) {
  text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
  text.replace(QLatin1Char('\n'), QChar::LineSeparator);
  text.replace(QLatin1Char('\r'), QChar::LineSeparator);
  text.replace(QChar::ParagraphSeparator, QChar::LineSeparator);
  return text;
}

double layout_width(double width) {
  return std::isfinite(width) ? std::clamp(width, 0.0, 1e6) * Layout_Units : 0.0;
}

void prepare_layout(QTextLayout& layout, const CRDText& text, const QString& characters,
                    std::optional<Qt::LayoutDirection> direction = std::nullopt) {
  layout.setText(characters);
  layout.setFont(layout_font(text.Text_Font_value(), text.text_kerning));
  QTextOption option(alignment_of(text.text_alignmnet));
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  if (direction) option.setTextDirection(*direction);
  layout.setTextOption(option);
  layout.setCacheEnabled(true);
}

// Painting lays out only the lines a box can show. Line breaking costs with the length of
// the text it is given (a run without a break is measured to its end for every line), so a
// long text is handed over in pieces from its start, each four times the last, until the
// lines of a piece run past the bottom of the box with characters to spare after them:
// those lines are the ones the whole text gives. No piece is longer than the bound; a box
// that shows more characters than that shows the first ones.
constexpr qsizetype First_Piece = 4096;
// Characters after the last line laid out that must be in the piece, so that breaking
// and shaping near its end look at the same characters as in the whole text.
constexpr qsizetype Piece_Spare = 64;

thread_local CRDText::Layout_Work layout_work;

struct Box_Layout {
  qsizetype end = 0;  // where the last line laid out ends
  bool past_bottom = false;  // a line starts at or below the bottom of the box
};

// Lays out lines of the width until one starts at or below the height (both in points).
Box_Layout lay_out_box(QTextLayout& layout, double width, double height) {
  const double line_width = layout_width(width);
  const double bottom = std::isnan(height) ? 0.0 : std::clamp(height, 0.0, 1e6) * Layout_Units;
  Box_Layout laid;
  double top = 0;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(line_width);
    line.setPosition(QPointF(0, top));
    ++layout_work.lines;
    laid.end = line.textStart() + line.textLength();
    if (top >= bottom) {
      laid.past_bottom = true;
      break;
    }
    top += line.height();
  }
  layout.endLayout();
  return laid;
}

// The end of a piece of about `length` characters: not between the halves of a surrogate
// pair, nor before a combining mark (within a few characters).
qsizetype piece_end(const QString& text, qsizetype length) {
  qsizetype end = std::min(length, text.size());
  const qsizetype last = std::min(text.size(), end + 32);
  while (end < last && end > 0 && (text.at(end).isLowSurrogate() || text.at(end).isMark())) ++end;
  return end;
}

}  // namespace

CRDText::Layout_Work CRDText::Painting_Layout_Work() { return layout_work; }

QString CRDText::Apply_Text_Case(const QString& text, int text_case) {
  switch (text_case) {
    case 1: return text.toUpper();
    case 2: return text.toLower();
    case 3: {
      // Words are delimited by white space and line breaks.
      QString result = text.toLower();
      bool word_start = true;
      for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result.at(i);
        if (c.isSpace()) {
          word_start = true;
        } else if (word_start) {
          if (c.isHighSurrogate() && i + 1 < result.size()) {
            const QString upper = result.mid(i, 2).toUpper();
            result.replace(i, 2, upper);
            i += upper.size() - 1;
          } else {
            const QString upper = QString(c).toUpper();
            result.replace(i, 1, upper);
            i += upper.size() - 1;
          }
          word_start = false;
        }
      }
      return result;
    }
    default: return text;
  }
}

QString CRDText::Drawn_Text() {
  return Apply_Text_Case(Trim_Str(Text_contents()->string()), text_transfrom_case);
}

QString CRDText::Shown_Text() {
  const QString& stored = Text_contents()->string();
  // Where Trim_Str's text starts and ends (white space off both ends, then control and
  // format characters), found without copying.
  const auto is_space = [](QChar c) { return c.isSpace(); };
  const auto is_control = [](QChar c) {
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Other_Format;
  };
  qsizetype start = 0, end = stored.size();
  for (const auto& drop : {std::function<bool(QChar)>(is_space), std::function<bool(QChar)>(is_control)}) {
    while (start < end && drop(stored.at(start))) ++start;
    while (end > start && drop(stored.at(end - 1))) --end;
  }
  // Enough characters that the case transform and the piece ends of painting find the same
  // characters as in the whole text.
  constexpr qsizetype Spare = 256;
  const qsizetype taken = std::min(end - start, Max_Laid_Out_Characters + Spare);
  QString shown = with_line_separators(
      Apply_Text_Case(stored.mid(start, taken), text_transfrom_case));
  if (taken < end - start && shown.size() > Max_Laid_Out_Characters + Spare / 2)
    shown.truncate(Max_Laid_Out_Characters + Spare / 2);
  return shown;
}

QRectF CRDText::drawingBounds() const {
  return Union_Rect(CRDGraphic::drawingBounds(), bounds().adjusted(-1, -1, 1, 1));
}

void CRDText::drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) {
  if (!ctrl_is_visible) return;
  const QRectF b = bounds();
  Painter_State_Guard guard(painter);
  if (isBeingCreateOrEdited) {
    // A one-point frame in the handle colour just outside the bounds.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(128, 128, 128), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(b.adjusted(-0.5, -0.5, 0.5, 0.5));
    return;
  }
  const QString shown = Shown_Text();
  if (shown.isEmpty()) return;

  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath box;
  box.addRect(b);
  if (isDrawingFill()) {
    if (_fill_type == QLatin1String("G")) {
      Fill_With_Gradient(painter, box, fill_Grad_clr1().toQColor(), fill_Grad_clr2().toQColor(),
                         fill_grad_angle());
    } else {
      const QColor color = fillColor().toQColor();
      if (color.isValid()) painter.fillPath(box, color);
    }
  }
  Stroke_Border(painter, *this, box);

  QTextLayout layout;
  for (qsizetype piece = First_Piece;; piece *= 4) {
    const qsizetype end = piece_end(shown, std::min(piece, Max_Laid_Out_Characters));
    const bool whole = end == shown.size();
    // A piece keeps the direction of the whole text, which its first strong character sets.
    prepare_layout(layout, *this, whole ? shown : shown.left(end),
                   whole ? std::nullopt
                         : std::optional<Qt::LayoutDirection>(
                               shown.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight));
    layout_work.characters += end;
    const Box_Layout laid = lay_out_box(layout, b.width(), b.height());
    if (whole || (laid.past_bottom && laid.end + Piece_Spare <= end) ||
        end >= Max_Laid_Out_Characters)
      break;
  }
  QColor color = Text_Color_Value().toQColor();
  if (!color.isValid()) color = Qt::black;
  painter.setClipRect(b, Qt::IntersectClip);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setPen(color);
  painter.translate(b.topLeft());
  painter.scale(1 / Layout_Units, 1 / Layout_Units);
  layout.draw(&painter, QPointF(0, 0));
}

QSizeF CRDText::naturalSize() {
  const QString all = Shown_Text();
  const QString shown = all.left(piece_end(all, Max_Laid_Out_Characters));
  const Qt::LayoutDirection direction = shown.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
  const double width = layout_width(bounds().width());
  // A piece starts where a line of the whole text starts; of its lines those that end
  // with characters to spare before the piece's end are the whole text's lines (a line's
  // breaking looks only at its own characters and the word after it), the rest are laid
  // out again from the next piece. A piece without such a line is taken four times longer.
  double height = 0, used_width = 0;
  qsizetype from = 0, piece = First_Piece;
  QTextLayout layout;
  do {
    const qsizetype end = piece_end(shown, from + piece);
    const bool last = end == shown.size();
    prepare_layout(layout, *this, shown.mid(from, end - from), direction);
    qsizetype taken_end = from;
    double top = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width);
      line.setPosition(QPointF(0, top));
      const qsizetype line_end = from + line.textStart() + line.textLength();
      if (!last && line_end + Piece_Spare > end) break;
      top += line.height();
      used_width = std::max(used_width, line.naturalTextWidth());
      taken_end = line_end;
    }
    layout.endLayout();
    height += top;
    if (taken_end == from) {
      if (last) break;  // nothing left to lay out
      piece *= 4;
      continue;
    }
    from = taken_end;
    piece = First_Piece;
  } while (from < shown.size());  // an empty text is laid out once, as one empty line
  return QSizeF(used_width / Layout_Units, height / Layout_Units);
}

void CRDText::makeNaturalSize() {
  if (ctrl_is_locked) return;
  const QSizeF size = naturalSize();
  setBounds(QRectF(bounds().topLeft(), size));
}
