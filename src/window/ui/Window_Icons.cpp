#include "window/ui/Window_Icons.h"

#include "barcode/LinCode128Barcode.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Resource_Folder.h"
#include "model/Shape_Control.h"
#include "model/StyledText.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFileInfo>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>
#include <numbers>

#include <algorithm>
#include <map>
#include <utility>

namespace window_icons {

namespace {

// The sizes an icon is drawn at: Qt picks the nearest for a button.
constexpr int Icon_Sizes[] = {16, 22, 24, 32, 48};
// The tool pictures' logical sizes.
constexpr int Tool_Sizes[] = {24, 28, 32};

// Colours of our own drawings: dark ink, a blue accent, its light tint, paper.
const QColor Ink(46, 52, 64);
const QColor Accent(53, 132, 228);
const QColor Tint(198, 222, 250);
const QColor Paper(255, 255, 255);
const QColor Warning(224, 27, 36);
const QColor Positive(46, 160, 67);

QPen ink_pen(double width = 1.5, const QColor& color = Ink) {
  return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// ---- Our own command pictures, in a 24 x 24 square ------------------------------------

void sheet(QPainter& p, const QRectF& r) {
  QPainterPath path;
  path.moveTo(r.topLeft());
  path.lineTo(r.right() - 5, r.top());
  path.lineTo(r.right(), r.top() + 5);
  path.lineTo(r.bottomRight());
  path.lineTo(r.bottomLeft());
  path.closeSubpath();
  p.setPen(ink_pen(1.2));
  p.setBrush(Paper);
  p.drawPath(path);
  p.drawPolyline(
      QPolygonF{{r.right() - 5, r.top()}, {r.right() - 5, r.top() + 5}, {r.right(), r.top() + 5}});
}

void plus(QPainter& p, QPointF c, double r, const QColor& color) {
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawEllipse(c, r, r);
  p.setPen(ink_pen(1.6, Paper));
  p.drawLine(QPointF(c.x() - r / 2, c.y()), QPointF(c.x() + r / 2, c.y()));
  p.drawLine(QPointF(c.x(), c.y() - r / 2), QPointF(c.x(), c.y() + r / 2));
}

void arrow_right(QPainter& p, QPointF from, QPointF to, const QColor& color) {
  p.setPen(ink_pen(2.2, color));
  p.drawLine(from, to);
  const double s = to.x() > from.x() ? -4 : 4;
  p.drawPolyline(QPolygonF{{to.x() + s, to.y() - 4}, to, {to.x() + s, to.y() + 4}});
}

void paint_new(QPainter& p) {
  sheet(p, QRectF(4.5, 2.5, 14, 19));
  plus(p, {17, 17}, 5, Positive);
}

void paint_open(QPainter& p) {
  p.setPen(ink_pen(1.2));
  p.setBrush(QColor(246, 211, 45).darker(110));
  p.drawRoundedRect(QRectF(2.5, 5.5, 19, 14), 1.5, 1.5);
  p.setBrush(QColor(246, 211, 45));
  p.drawPolygon(QPolygonF{{5.5, 10.5}, {22.5, 10.5}, {20.5, 19.5}, {2.5, 19.5}});
}

void floppy(QPainter& p) {
  p.setPen(ink_pen(1.2));
  p.setBrush(Accent);
  p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
  p.setBrush(Paper);
  p.drawRect(QRectF(7.5, 3.5, 9, 6));
  p.drawRect(QRectF(6.5, 13.5, 11, 7));
}

void paint_save(QPainter& p) { floppy(p); }

void pencil(QPainter& p) {
  p.setPen(ink_pen(1.0));
  p.setBrush(QColor(246, 211, 45));
  p.drawPolygon(QPolygonF{{13, 21}, {14, 17}, {21, 10}, {24, 13}, {17, 20}});
}

void paint_save_as(QPainter& p) {
  floppy(p);
  pencil(p);
}

// A design kept as a template: a card with a star on it.
void paint_export_template(QPainter& p) {
  p.setPen(ink_pen(1.2));
  p.setBrush(Paper);
  p.drawRoundedRect(QRectF(3.5, 5.5, 17, 13), 1.5, 1.5);
  p.setBrush(QColor(246, 211, 45));
  QPolygonF star;
  for (int i = 0; i < 10; ++i) {
    const double radius = i % 2 ? 2.2 : 5.0,
                 angle = std::numbers::pi / 2 + i * std::numbers::pi / 5;
    star << QPointF(12 + radius * std::cos(angle), 12 - radius * std::sin(angle));
  }
  p.drawPolygon(star);
}

void paint_help(QPainter& p) {
  p.setPen(ink_pen(1.4, Accent));
  p.setBrush(Paper);
  p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
  QFont font = p.font();
  font.setPixelSize(14);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRectF(2.5, 2.5, 19, 19), Qt::AlignCenter, QStringLiteral("?"));
}

// Three dots joined: passing the word on.
void paint_share(QPainter& p) {
  p.setPen(ink_pen(1.6, Accent));
  p.drawLine(QPointF(6, 12), QPointF(18, 5));
  p.drawLine(QPointF(6, 12), QPointF(18, 19));
  p.setBrush(Accent);
  for (const QPointF& at : {QPointF(6, 12), QPointF(18, 5), QPointF(18, 19)})
    p.drawEllipse(at, 3, 3);
}

void paint_exit(QPainter& p) {
  p.setPen(ink_pen(1.4));
  p.setBrush(Paper);
  p.drawRect(QRectF(3.5, 3.5, 11, 17));
  arrow_right(p, {9, 12}, {21, 12}, Warning);
}

void curved_arrow(QPainter& p, bool left) {
  QPainterPath path;
  path.moveTo(5, 10);
  path.cubicTo(9, 4, 20, 5, 19, 14);
  path.cubicTo(18.5, 18, 15, 19.5, 12, 19.5);
  QTransform mirror;
  if (!left) mirror = QTransform(-1, 0, 0, 1, 24, 0);
  p.setPen(ink_pen(2.2, Accent));
  p.setBrush(Qt::NoBrush);
  p.drawPath(mirror.map(path));
  p.drawPolyline(mirror.map(QPolygonF{{4, 4}, {5, 10}, {11, 10}}));
}

void paint_undo(QPainter& p) { curved_arrow(p, true); }
void paint_redo(QPainter& p) { curved_arrow(p, false); }

void paint_cut(QPainter& p) {
  p.setPen(ink_pen(1.6));
  p.drawLine(QPointF(7, 3), QPointF(16, 16));
  p.drawLine(QPointF(17, 3), QPointF(8, 16));
  p.setBrush(Tint);
  p.drawEllipse(QPointF(6.5, 18.5), 3, 3);
  p.drawEllipse(QPointF(17.5, 18.5), 3, 3);
}

void paint_copy(QPainter& p) {
  sheet(p, QRectF(3.5, 2.5, 11, 14));
  sheet(p, QRectF(9.5, 7.5, 11, 14));
}

void paint_paste(QPainter& p) {
  p.setPen(ink_pen(1.2));
  p.setBrush(QColor(193, 125, 17));
  p.drawRoundedRect(QRectF(3.5, 4.5, 15, 17), 1.5, 1.5);
  p.setBrush(Tint);
  p.drawRect(QRectF(7.5, 2.5, 7, 4));
  sheet(p, QRectF(10.5, 9.5, 10, 12));
}

void paint_delete(QPainter& p) {
  p.setPen(ink_pen(1.2));
  p.setBrush(Paper);
  p.drawRect(QRectF(5.5, 6.5, 13, 15));
  p.drawLine(QPointF(3.5, 6.5), QPointF(20.5, 6.5));
  p.drawRect(QRectF(9.5, 3.5, 5, 3));
  p.setPen(ink_pen(1.8, Warning));
  p.drawLine(QPointF(9, 10), QPointF(15, 18));
  p.drawLine(QPointF(15, 10), QPointF(9, 18));
}

void stacked(QPainter& p, bool to_front) {
  const QRectF back(3.5, 3.5, 11, 11), front(9.5, 9.5, 11, 11);
  p.setPen(ink_pen(1.2));
  p.setBrush(to_front ? Paper : Accent);
  p.drawRect(to_front ? back : front);
  p.setBrush(to_front ? Accent : Paper);
  p.drawRect(to_front ? front : back);
}

void paint_to_front(QPainter& p) { stacked(p, true); }
void paint_to_back(QPainter& p) { stacked(p, false); }

void padlock(QPainter& p, bool open) {
  p.setPen(ink_pen(2.0));
  p.setBrush(Qt::NoBrush);
  QPainterPath shackle;
  shackle.moveTo(8, 11);
  shackle.lineTo(8, 7);
  shackle.arcTo(QRectF(8, 2.5, 8, 9), 180, -180);
  shackle.lineTo(16, open ? 7.5 : 11);
  p.drawPath(open ? QTransform::fromTranslate(5, -1.5).map(shackle) : shackle);
  p.setPen(ink_pen(1.2));
  p.setBrush(QColor(246, 211, 45));
  p.drawRoundedRect(QRectF(4.5, 10.5, 15, 11), 2, 2);
}

void paint_lock(QPainter& p) { padlock(p, false); }
void paint_unlock(QPainter& p) { padlock(p, true); }

void paint_export(QPainter& p) {
  sheet(p, QRectF(2.5, 2.5, 13, 19));
  arrow_right(p, {8, 13}, {22, 13}, Positive);
}

void paint_import(QPainter& p) {
  sheet(p, QRectF(8.5, 2.5, 13, 19));
  arrow_right(p, {1, 13}, {15, 13}, Accent);
}

void paint_print(QPainter& p) {
  p.setPen(ink_pen(1.2));
  p.setBrush(Paper);
  p.drawRect(QRectF(6.5, 2.5, 11, 7));
  p.setBrush(QColor(154, 153, 150));
  p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
  p.setBrush(Paper);
  p.drawRect(QRectF(6.5, 14.5, 11, 7));
  p.setPen(ink_pen(1.0));
  p.drawLine(QPointF(8.5, 17.5), QPointF(15.5, 17.5));
}

void paint_mail(QPainter& p) {
  p.setPen(ink_pen(1.2));
  p.setBrush(Paper);
  p.drawRect(QRectF(2.5, 5.5, 19, 13));
  p.drawPolyline(QPolygonF{{2.5, 5.5}, {12, 13}, {21.5, 5.5}});
}

// A card: a rounded sheet, the front one coloured.
void card(QPainter& p, const QRectF& r, bool coloured) {
  p.setPen(ink_pen(1.2));
  p.setBrush(coloured ? Tint : Paper);
  p.drawRoundedRect(r, 1.5, 1.5);
}

void paint_front_side(QPainter& p) {
  card(p, QRectF(8.5, 3.5, 13, 17), false);
  card(p, QRectF(2.5, 5.5, 13, 17), true);
  p.setBrush(Accent);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(9, 12), 3, 3);
}

void paint_back_side(QPainter& p) {
  card(p, QRectF(2.5, 5.5, 13, 17), false);
  card(p, QRectF(8.5, 3.5, 13, 17), true);
  p.setPen(ink_pen(1.0));
  for (double y : {8.0, 11.0, 14.0}) p.drawLine(QPointF(11, y), QPointF(19, y));
}

void paint_preview(QPainter& p) {
  p.setPen(ink_pen(1.4));
  p.setBrush(Paper);
  QPainterPath eye;
  eye.moveTo(2, 12);
  eye.quadTo(12, 2, 22, 12);
  eye.quadTo(12, 22, 2, 12);
  p.drawPath(eye);
  p.setBrush(Accent);
  p.drawEllipse(QPointF(12, 12), 3.5, 3.5);
}

void paint_card(QPainter& p) {
  card(p, QRectF(2.5, 5.5, 19, 13), true);
  p.setPen(ink_pen(1.0, Accent.darker(130)));
  p.drawLine(QPointF(2.5, 21.5), QPointF(21.5, 21.5));
  p.drawLine(QPointF(2.5, 20), QPointF(2.5, 23));
  p.drawLine(QPointF(21.5, 20), QPointF(21.5, 23));
}

void mountains(QPainter& p, const QRectF& r) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(246, 211, 45));
  p.drawEllipse(QPointF(r.left() + r.width() * 0.72, r.top() + r.height() * 0.3), r.width() * 0.11,
                r.width() * 0.11);
  p.setBrush(Positive);
  p.drawPolygon(QPolygonF{{r.left(), r.bottom()},
                          {r.left() + r.width() * 0.35, r.top() + r.height() * 0.4},
                          {r.left() + r.width() * 0.6, r.top() + r.height() * 0.75},
                          {r.left() + r.width() * 0.75, r.top() + r.height() * 0.6},
                          {r.right(), r.bottom()}});
}

void picture_frame(QPainter& p, const QRectF& r) {
  p.setPen(ink_pen(1.2));
  p.setBrush(Tint);
  p.drawRect(r);
  mountains(p, r.adjusted(1, 1, -1, -1));
  p.setPen(ink_pen(1.2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r);
}

void paint_background(QPainter& p) {
  card(p, QRectF(2.5, 4.5, 19, 15), false);
  mountains(p, QRectF(3.5, 5.5, 17, 13));
  p.setPen(ink_pen(1.2));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(2.5, 4.5, 19, 15), 1.5, 1.5);
}

void rows(QPainter& p) {
  p.setPen(ink_pen(1.2));
  p.setBrush(Paper);
  p.drawRect(QRectF(2.5, 3.5, 17, 17));
  p.setBrush(Tint);
  p.drawRect(QRectF(2.5, 3.5, 5, 17));
  for (double y : {7.5, 11.5, 15.5}) p.drawLine(QPointF(2.5, y), QPointF(19.5, y));
}

void paint_series(QPainter& p) { rows(p); }

void paint_create_series(QPainter& p) {
  rows(p);
  plus(p, {18, 18}, 5, Positive);
}

void paint_profile(QPainter& p) {
  p.setPen(ink_pen(1.2));
  p.setBrush(Tint);
  p.drawEllipse(QPointF(12, 8), 4.5, 4.5);
  QPainterPath body;
  body.moveTo(3.5, 21.5);
  body.cubicTo(4, 13, 20, 13, 20.5, 21.5);
  body.closeSubpath();
  p.setBrush(Accent);
  p.drawPath(body);
}

// Draws our painter into a square image at a ratio.
QImage painted(Icon_Painter painter, int logical, qreal ratio) {
  QImage image(QSize(logical, logical) * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(logical / 24.0, logical / 24.0);
  painter(p);
  return image;
}

QList<qreal> ratios_with(qreal ratio) {
  QList<qreal> ratios{1.0, 2.0};
  if (ratio > 0 && !ratios.contains(ratio)) ratios << ratio;
  return ratios;
}

// ---- Tool pictures through the objects' own painters -----------------------------------

void paint_arrow_tool(QPainter& p, const QRectF& r) {
  const double s = r.width() / 24.0;
  QPainterPath arrow;
  arrow.moveTo(6, 2);
  arrow.lineTo(6, 19);
  arrow.lineTo(10, 15);
  arrow.lineTo(13, 22);
  arrow.lineTo(16, 21);
  arrow.lineTo(13, 14);
  arrow.lineTo(19, 14);
  arrow.closeSubpath();
  p.save();
  p.translate(r.topLeft());
  p.scale(s, s);
  p.setPen(ink_pen(1.2));
  p.setBrush(Paper);
  p.drawPath(arrow);
  p.restore();
}

void paint_object(QPainter& p, CRDGraphic& graphic) { graphic.drawContentsInView(p, false); }

void paint_shape(QPainter& p, const QRectF& r, const char* code) {
  Shape_Control shape;
  shape.Set_Shape_Type(QString::fromLatin1(code));
  shape.setBounds(r);
  shape._fillColor = CRDColor::fromQColor(Tint);
  shape._strokeColor = CRDColor::fromQColor(Accent.darker(140));
  shape._strokeWidth = std::max(1.0, r.width() / 18);
  shape.cor_rad_val_val = float(r.width() / 5);
  paint_object(p, shape);
}

void paint_line_tool(QPainter& p, const QRectF& r) {
  CRDLine line;
  line.setBounds(r.adjusted(2, 2, -2, -2));
  line._pointsRight = true;
  line._pointsDown = true;
  line._strokeColor = CRDColor::fromQColor(Ink);
  line._strokeWidth = std::max(1.5, r.width() / 12);
  line._line_cap_style = 1;
  paint_object(p, line);
}

void paint_text_tool(QPainter& p, const QRectF& r) {
  CRDText text;
  text.setBounds(r.adjusted(-2, 0, 2, 0));
  text._isDrawingFill = false;
  text._isDrawingStroke = false;
  QFont font;
  font.setPixelSize(std::max(8, int(r.height() * 0.72)));
  font.setBold(true);
  Text_Attributes attributes;
  attributes.font = font;
  attributes.foreground = CRDColor::fromQColor(Ink);
  attributes.alignment = 2;  // centred
  text._Text_contents = std::make_shared<StyledText>(QStringLiteral("Aa"), attributes);
  text.text_ctrl_font = font;
  text.txt_clr = attributes.foreground;
  text.text_alignmnet = 2;
  paint_object(p, text);
}

// Bars of a Code 128 symbol from the encoder, one device pixel or more a module, as many
// as the square holds (left aligned), so that they stay sharp at any size.
void paint_barcode_tool(QPainter& p, const QRectF& r, qreal ratio) {
  LinCode128Barcode symbol;
  symbol.setCodeSet(LinCode128Barcode::Code_Set_Auto);
  if (!symbol.initWithContent(QStringLiteral("1234"), false) || !symbol.isContentValid()) return;
  const QString modules = symbol.completeBarcode();
  const double module = std::max(1.0, std::floor(r.width() * ratio / modules.size())) / ratio;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setClipRect(r);
  const QRectF bars = r.adjusted(0, r.height() * 0.12, 0, -r.height() * 0.12);
  double x = r.left();
  for (const QChar m : modules) {
    if (x >= r.right()) break;
    if (m == QLatin1Char('1')) p.fillRect(QRectF(x, bars.top(), module, bars.height()), Ink);
    x += module;
  }
  p.restore();
}

void paint_sample_tool(QPainter& p, const QRectF& r, const char* kind) {
  const Painting_Resources shipped(Shipped_Resources_Path());
  CRDSignature sample;
  sample.Set_Sign_Or_FP(QString::fromLatin1(kind));
  sample.setFilePath(CRDSignature::Default_Path);
  sample.setBounds(r);
  sample._isDrawingStroke = false;
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  paint_object(p, sample);
}

void paint_library_tool(QPainter& p, const QRectF& r) {
  const double w = r.width() * 0.72, h = r.height() * 0.6;
  p.save();
  p.setPen(ink_pen(1.0));
  p.setBrush(Paper);
  p.drawRect(QRectF(r.right() - w, r.top(), w, h));
  p.restore();
  picture_frame(p, QRectF(r.left(), r.bottom() - h, w, h));
}

void paint_tool(QPainter& p, int tool, const QRectF& r, qreal ratio) {
  switch (tool) {
    case 0: paint_arrow_tool(p, r); break;
    case 1: paint_line_tool(p, r); break;
    case 2: paint_text_tool(p, r); break;
    case 3: paint_shape(p, r.adjusted(0, 3, 0, -3), "R"); break;
    case 4: paint_shape(p, r.adjusted(0, 2, 0, -2), "C"); break;
    case 5: paint_shape(p, r.adjusted(0, 3, 0, -3), "RR"); break;
    case 6: paint_shape(p, r, "T"); break;
    case 7: paint_shape(p, r, "D"); break;
    case 8: picture_frame(p, r.adjusted(0, 3, 0, -3)); break;
    case 9: paint_library_tool(p, r); break;
    case 10: paint_barcode_tool(p, r, ratio); break;
    case 11: paint_sample_tool(p, r, "S"); break;
    case 12: paint_sample_tool(p, r, "F"); break;
    case 13: paint_shape(p, r, "S"); break;
    case 14: paint_shape(p, r, "DS"); break;
    case 15: paint_shape(p, r, "P"); break;
    default: break;
  }
}

// ---- Tooltips that follow the enabled state ---------------------------------------------

class Tooltip_Follower : public QObject {
 public:
  static constexpr const char* Name = "Tooltip_Follower";
  Tooltip_Follower(QWidget* widget, const Control_Look& look) : QObject(widget), look_(look) {
    setObjectName(QString::fromLatin1(Name));
    widget->installEventFilter(this);
    widget->setToolTip(Tooltip_For(look_, widget->isEnabled()));
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange) {
      auto* widget = static_cast<QWidget*>(watched);
      widget->setToolTip(Tooltip_For(look_, widget->isEnabled()));
    }
    return false;
  }

 private:
  const Control_Look& look_;
};

}  // namespace

// ---- The table ----------------------------------------------------------------------------

const std::vector<Control_Look>& Control_Looks() {
  static const char* const Select_First = "Select an object on the card that is not locked.";
  static const std::vector<Control_Look> looks = {
      // Toolbar, first row: the design file, undo, the clipboard, the arrangement.
      {"New_btn", "document-new", paint_new, "Start a new design with empty card sides", nullptr, 0,
       0},
      {"Open_btn", "document-open", paint_open, "Open a saved design", nullptr, 0, 0},
      {"Save_btn", "document-save", paint_save, "Save the design", nullptr, 0, 0},
      {"SaveAs_btn", "document-save-as", paint_save_as, "Save the design under a new name", nullptr,
       0, 0},
      {"Export_Template_btn", nullptr, paint_export_template,
       "Keep this design as a template of your own", nullptr, 0, 0},
      {"Exit_btn", "application-exit", paint_exit, "End the program", nullptr, 0, 0},
      {"Undo_btn", "edit-undo", paint_undo, "Undo the last change", "Nothing to undo.", 0, 1},
      {"Redo_btn", "edit-redo", paint_redo, "Redo the change last undone", "Nothing to redo.", 0,
       1},
      {"Cut_btn", "edit-cut", paint_cut, "Cut the selected objects to the clipboard", Select_First,
       0, 2},
      {"Copy_btn", "edit-copy", paint_copy, "Copy the selected objects to the clipboard",
       Select_First, 0, 2},
      {"Paste_btn", "edit-paste", paint_paste, "Paste the objects on the clipboard",
       "Nothing to paste: cut or copy an object first (not while a locked object is "
       "selected).",
       0, 2},
      {"Delete_btn", "edit-delete", paint_delete, "Delete the selected objects", Select_First, 0,
       2},
      {"Begin_Front_btn", nullptr, paint_to_front,
       "Bring the selected objects in front of all others", Select_First, 0, 3},
      {"Send_Back_btn", nullptr, paint_to_back, "Send the selected objects behind all others",
       Select_First, 0, 3},
      {"Lock_btn", "changes-prevent", paint_lock,
       "Lock the selected objects against moving and editing", Select_First, 0, 3},
      {"Unlock_btn", "changes-allow", paint_unlock, "Unlock the selected objects",
       "Select a locked object first.", 0, 3},
      // Second row: the card's sides and settings, profiles, data series, output.
      {"Front_Card_Btn", nullptr, paint_front_side, "Show and edit the card's front side", nullptr,
       1, 4},
      {"Back_Side_btn", nullptr, paint_back_side, "Show and edit the card's back side",
       "This card has a front side only: choose \"Front and Back\" under Sides on the Card "
       "tab.",
       1, 4},
      {"Temp_Card_Btn", "document-print-preview", paint_preview, "Preview the side being designed",
       nullptr, 1, 4},
      {"Front_back_label", nullptr, nullptr, "The side shown on the canvas", nullptr, 1, 4},
      {"Card_Prop_btn", "document-properties", paint_card,
       "Card settings: sides, orientation and size", nullptr, 1, 5},
      {"Card_Bckgrnd_btn", nullptr, paint_background,
       "Choose a background picture from the gallery", nullptr, 1, 5},
      {"User_Profile_btn", nullptr, paint_profile, "Edit the user profile and put it on the card",
       nullptr, 1, 6},
      {"Batch_Series_btn", "x-office-spreadsheet", paint_series,
       "Manage the data series that cards are produced from", nullptr, 1, 7},
      {"Create_Series_btn", nullptr, paint_create_series, "Generate a new data series", nullptr, 1,
       7},
      {"Import_Wizard_btn", "document-import", paint_import,
       "Import data from a spreadsheet or file", nullptr, 1, 7},
      {"Export_btn", "document-export", paint_export,
       "Export the card as pictures (one per record when bound to a series)", nullptr, 1, 8},
      {"Print_btn", "document-print", paint_print, "Print the cards as sheets", nullptr, 1, 8},
      {"Mail_btn", "mail-send", paint_mail, "Send the card by e-mail", nullptr, 1, 8},
      {"Help_btn", "help-browser", paint_help, "Help, support and the user guide", nullptr, 1, 9},
      {"Share_btn", nullptr, paint_share, "Tell others about this program", nullptr, 1, 9},

      // The tool palette (pictures: Tool_Icon).
      {"Arrow_Tool_btn", nullptr, nullptr, "Arrow: select, move and resize objects", nullptr},
      {"Line_Tool_btn", nullptr, nullptr, "Line: add a line to the card", nullptr},
      {"Text_Tool_btn", nullptr, nullptr, "Text: add a text to the card", nullptr},
      {"Rect_Tool_btn", nullptr, nullptr, "Rectangle: add a rectangle", nullptr},
      {"Circle_Tool_btn", nullptr, nullptr, "Ellipse: add an ellipse", nullptr},
      {"Round_Rect_Tool_btn", nullptr, nullptr,
       "Rounded rectangle: add a rectangle with "
       "rounded corners",
       nullptr},
      {"Triangle_Tool_btn", nullptr, nullptr, "Triangle: add a triangle", nullptr},
      {"Diamond_Tool_btn", nullptr, nullptr, "Diamond: add a diamond", nullptr},
      {"Image_Tool_btn", nullptr, nullptr, "Picture: add a picture from a file", nullptr},
      {"Image_Library_Tool_btn", nullptr, nullptr,
       "Picture library: add a picture from the library", nullptr},
      {"Barcode_Tool_btn", nullptr, nullptr, "Barcode: add a barcode", nullptr},
      {"Signature_Tool_btn", nullptr, nullptr, "Signature: add a signature", nullptr},
      {"Fingure_Print_Tool_btn", nullptr, nullptr, "Fingerprint: add a fingerprint", nullptr},
      {"Star_Tool_btn", nullptr, nullptr, "Star: add a five-pointed star", nullptr},
      {"Double_Star_Tool_btn", nullptr, nullptr, "Double star: add a star of many points", nullptr},
      {"Polygon_Tool_btn", nullptr, nullptr, "Polygon: add a polygon", nullptr},

      // Sidebar commands that need more than one object.
      {"Make_same_width_btn", nullptr, nullptr, "Give the selected objects one width",
       "Select two or more objects first.", -1},
      {"Make_same_height_btn", nullptr, nullptr, "Give the selected objects one height",
       "Select two or more objects first.", -1},
      {"Make_natural_size_btn", nullptr, nullptr,
       "Give the selected objects their natural size (a picture its own size)",
       "Select two or more objects first.", -1},

      // Sidebar controls that say nothing themselves.
      {"ColList", nullptr, nullptr,
       "Card sizes of the category: choose one to give the card its width and height", nullptr},
      {"Card_Image_path", nullptr, nullptr, "The file of the card's background picture", nullptr},
      {"Manual_image_path", nullptr, nullptr, "The file of the selected picture", nullptr},
      {"Sign_image_path", nullptr, nullptr,
       "The file of the signature or fingerprint picture (\"Default\": the sample)", nullptr},
  };
  return looks;
}

const Control_Look* Find_Look(const QString& object_name) {
  static const std::map<QString, const Control_Look*> by_name = [] {
    std::map<QString, const Control_Look*> map;
    for (const Control_Look& look : Control_Looks())
      map.emplace(QString::fromLatin1(look.object_name), &look);
    return map;
  }();
  const auto found = by_name.find(object_name);
  return found == by_name.end() ? nullptr : found->second;
}

// ---- Pictures ------------------------------------------------------------------------------

QImage Tool_Picture(int tool, int logical_size, qreal device_pixel_ratio) {
  QImage image(QSize(logical_size, logical_size) * device_pixel_ratio,
               QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(device_pixel_ratio);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const double margin = std::max(1.0, logical_size / 12.0);
  paint_tool(p, tool, QRectF(margin, margin, logical_size - 2 * margin, logical_size - 2 * margin),
             device_pixel_ratio);
  return image;
}

QIcon Tool_Icon(int tool, qreal device_pixel_ratio) {
  QIcon icon;
  for (qreal ratio : ratios_with(device_pixel_ratio))
    for (int size : Tool_Sizes) icon.addPixmap(QPixmap::fromImage(Tool_Picture(tool, size, ratio)));
  return icon;
}

QIcon Painted_Icon(Icon_Painter painter, qreal device_pixel_ratio) {
  QIcon icon;
  if (!painter) return icon;
  for (qreal ratio : ratios_with(device_pixel_ratio))
    for (int size : Icon_Sizes) icon.addPixmap(QPixmap::fromImage(painted(painter, size, ratio)));
  return icon;
}

QIcon Command_Icon(const Control_Look& look, qreal device_pixel_ratio) {
  const QIcon ours = Painted_Icon(look.painter, device_pixel_ratio);
  if (!look.theme_icon) return ours;
  return QIcon::fromTheme(QString::fromLatin1(look.theme_icon), ours);
}

QString Tooltip_For(const Control_Look& look, bool enabled) {
  QString tip = QString::fromUtf8(look.tooltip ? look.tooltip : "");
  if (!enabled && look.why_disabled)
    tip += QLatin1Char('\n') + QString::fromUtf8(look.why_disabled);
  return tip;
}

void Use_Installed_Icon_Theme() {
  // Themes live in the "icons" folders of the data folders; a platform without a desktop
  // of its own may not search them.
  QStringList search = QIcon::themeSearchPaths();
  for (const QString& folder :
       QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                 QStandardPaths::LocateDirectory))
    if (!search.contains(folder) && !search.contains(folder + QLatin1Char('/'))) search << folder;
  if (search != QIcon::themeSearchPaths()) QIcon::setThemeSearchPaths(search);

  const QString current = QIcon::themeName();
  if (!current.isEmpty() && current != QLatin1String("hicolor")) return;
  const QString installed = QStringLiteral("Adwaita");
  for (const QString& folder : search)
    if (QFileInfo::exists(folder + QLatin1Char('/') + installed + QStringLiteral("/index.theme"))) {
      QIcon::setThemeName(installed);
      return;
    }
}

// ---- Applying the table ------------------------------------------------------------------

void Apply_Looks(QWidget* window) {
  const qreal ratio = window->devicePixelRatioF();
  for (const Control_Look& look : Control_Looks()) {
    auto* widget = window->findChild<QWidget*>(QString::fromLatin1(look.object_name));
    if (!widget) continue;
    if (look.tooltip) {
      // One follower a widget, however often the table is applied.
      delete widget->findChild<QObject*>(QString::fromLatin1(Tooltip_Follower::Name),
                                         Qt::FindDirectChildrenOnly);
      new Tooltip_Follower(widget, look);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget);
        button && (look.painter || look.theme_icon))
      button->setIcon(Command_Icon(look, ratio));
  }
}

void Arrange_Toolbars(QMainWindow* window, QToolBar* first) {
  // The buttons in table order; one without a row follows the button it stood after.
  struct Item {
    QAction* action;
    int bar;
    int group;
    std::pair<int, int> order;
  };
  std::vector<Item> items;
  std::pair<int, int> previous{-1, 0};
  int bar = 0, group = -1, sequence = 0;
  const std::vector<Control_Look>& looks = Control_Looks();
  for (QAction* action : first->actions()) {
    if (action->isSeparator()) {
      first->removeAction(action);
      if (action->parent() == first) delete action;
      continue;
    }
    QWidget* widget = first->widgetForAction(action);
    const Control_Look* look = widget ? Find_Look(widget->objectName()) : nullptr;
    if (look && look->bar >= 0) {
      previous = {int(look - looks.data()), 0};
      bar = look->bar;
      group = look->group;
      items.push_back({action, bar, group, previous});
    } else {
      items.push_back({action, bar, group, {previous.first, ++sequence}});
    }
  }
  std::stable_sort(items.begin(), items.end(),
                   [](const Item& a, const Item& b) { return a.order < b.order; });

  auto* second = window->findChild<QToolBar*>(QStringLiteral("Card_Toolbar"));
  if (!second) {
    window->addToolBarBreak(Qt::TopToolBarArea);
    second = new QToolBar(QStringLiteral("Card and Output"), window);
    second->setObjectName(QStringLiteral("Card_Toolbar"));
    second->setMovable(false);
    window->addToolBar(Qt::TopToolBarArea, second);
  }
  for (QToolBar* toolbar : {first, second}) {
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setIconSize(QSize(24, 24));
  }
  for (const Item& item : items) first->removeAction(item.action);
  int last_group[2] = {-1, -1};
  for (const Item& item : items) {
    QToolBar* toolbar = item.bar == 1 ? second : first;
    int& last = last_group[item.bar == 1 ? 1 : 0];
    if (last != -1 && last != item.group) toolbar->addSeparator();
    last = item.group;
    toolbar->addAction(item.action);
    if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(item.action))) {
      button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
      button->setIconSize(toolbar->iconSize());
      button->setAutoRaise(true);
    }
  }
}

}  // namespace window_icons
