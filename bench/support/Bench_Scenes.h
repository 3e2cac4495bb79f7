#pragma once
// Pieces of the mixed card sides the rendering benchmarks paint, and the text the barcode
// benchmarks encode.

#include "model/CRDText.h"
#include "model/Fonts.h"
#include "model/Shape_Control.h"

#include <QByteArray>
#include <QStringList>

#include <memory>
#include <random>

namespace bench_scenes {

// The i-th shape of a mixed side: every figure, fill code, dash code and variant in turn.
inline std::shared_ptr<Shape_Control> Mixed_Shape(int i, const QRectF& bounds) {
  static const QStringList codes = {"R", "C", "RR", "T", "D", "S", "DS", "P"};
  static const QStringList fills = {"S", "G", "H"};
  static const QStringList dashes = {"S", "DA", "DO", "DD", "DDD"};
  auto s = std::make_shared<Shape_Control>();
  s->Set_Shape_Type(codes[i % codes.size()]);
  s->_bounds = bounds;
  s->_fill_type = fills[i % fills.size()];
  s->_fillColor = CRDColor::rgb((i * 37 % 100) / 100.0, 0.4, 0.7);
  s->_fill_Grad_clr1 = CRDColor::rgb(1, 0.5, 0);
  s->_fill_Grad_clr2 = CRDColor::rgb(0, 0.3, 1);
  s->_fill_grad_angle = i * 15;
  s->_fill_hatch_type = QStringLiteral("Diagonal");
  s->_strokeWidth = 1 + i % 4;
  s->_stroke_border_type = dashes[i % dashes.size()];
  s->double_star_type = 1 + i % 5;
  s->polygon_type = 1 + i % 5;
  return s;
}

// The i-th text of a mixed side: serif and sans faces of 9 to 13 points.
inline std::shared_ptr<CRDText> Mixed_Text(int i, const QRectF& bounds, const QString& value) {
  auto t = std::make_shared<CRDText>();
  t->_bounds = bounds;
  t->Text_Value = value;
  t->text_ctrl_font =
      Make_Font(i % 2 ? QStringLiteral("Times New Roman") : QStringLiteral("Arial"), 9 + i % 5);
  return t;
}

// count bytes of text (letters, digits, space and punctuation), the same for every run.
inline QByteArray Text_Bytes(int count) {
  std::mt19937 random(7);
  static const char alphabet[] =
      "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,-";
  QByteArray data(count, ' ');
  for (char& c : data) c = alphabet[random() % (sizeof alphabet - 1)];
  return data;
}

}  // namespace bench_scenes
