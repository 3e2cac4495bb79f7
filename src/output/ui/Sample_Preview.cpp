#include "output/ui/Sample_Preview.h"

#include "model/Picture.h"
#include "output/Sheet_Layout.h"
#include "output/Sheet_Pages.h"

#include <QFont>
#include <QPainter>

Sample_Preview::Sample_Preview(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PrintView"));
}

int Sample_Preview::Get_Curr_Label_Index(int row, int column) {
  return (row - 1) * Print_Layout().Print_Col + column - 1;
}

QImage Sample_Preview::imageRepresentation() {
  if (!Print_Layout().Has_Paper()) return {};
  return grab().toImage();
}

void Sample_Preview::paintEvent(QPaintEvent*) {
  const Sheet_Layout& l = Print_Layout();
  if (!l.Has_Paper()) return;
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  const double ph = l.paper.height();
  const bool has_card = front_ && !front_->isNull();
  const QSizeF card = has_card ? front_->size() : QSizeF(0, 0);
  auto outline = [&](const QRectF& r) {
    if (!l.Show_margin_rect) return;
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(r.x(), ph - r.y() - r.height(), r.width(), r.height()));
  };
  if ((long long)l.Print_Row * l.Print_Col > Preview_Cell_Limit) {
    // Too many cells to label one by one (each label would cost a text layout).
    QFont font;
    font.setPointSizeF(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::red);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("%1 x %2 cards on a sheet: too many to show.")
                         .arg(l.Print_Row)
                         .arg(l.Print_Col));
    return;
  }
  for (int i = 1; i <= l.Print_Row; ++i) {
    for (int j = 1; j <= l.Print_Col; ++j) {
      const Cell_Place place = Place_Cell(l, i, j, card);
      const int number = (i - 1) * l.Print_Col + j;
      if (!has_card) {
        Draw_Sheet_Label(painter, place.area, QStringLiteral("Invalid Data"), false, ph);
        outline(place.area);
        continue;
      }
      const QString word = l.Print_Card_Side == QLatin1String("B") ? QStringLiteral("Back")
                                                                   : QStringLiteral("Card");
      Draw_Sheet_Label(painter, place.area, QStringLiteral("%1 %2").arg(word).arg(number), true,
                       ph);
      outline(place.area);
      if (l.Both()) {
        Draw_Sheet_Label(painter, place.back, QStringLiteral("Back %1").arg(number), true, ph);
        outline(place.back);
      }
    }
  }
}
