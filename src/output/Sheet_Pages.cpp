#include "output/Sheet_Pages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

Sheet_Pages::Sheet_Pages(Sheet_Job job) : job_(std::move(job)) {}

int Sheet_Pages::Page_Count(bool preview, bool* cut) const {
  return Sheet_Count(job_.layout, preview, cut);
}

namespace {

QRectF Flipped(const QRectF& rect, double paper_height) {
  return QRectF(rect.x(), paper_height - rect.y() - rect.height(), rect.width(), rect.height());
}

}  // namespace

void Draw_Sheet_Label(QPainter& painter, const QRectF& rect, const QString& text, bool grey,
                      double paper_height) {
  QFont font;
  font.setPointSizeF(11);
  font.setBold(true);
  painter.save();
  painter.setFont(font);
  painter.setPen(grey ? QColor(Qt::gray) : QColor(Qt::red));
  const QFontMetricsF metrics(font, painter.device());
  const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
  const QRectF flipped = Flipped(rect, paper_height);
  const QPointF corner(flipped.x() + (flipped.width() - size.width()) / 2,
                       flipped.y() + (flipped.height() - size.height()) / 2);
  painter.drawText(QRectF(corner, size), Qt::AlignCenter, text);
  painter.restore();
}

Picture Sheet_Pages::Record_Picture(int record, Card_Side side) {
  QString reason;
  Picture picture = job_.record_picture(record, side, &reason);
  if (picture.isNull()) {
    if (failure_count_++ < 10)
      failures_ << QStringLiteral("Record %1 (%2): %3")
                       .arg(QString::number(record + 1),
                            side == Card_Side::Front ? QStringLiteral("front")
                                                     : QStringLiteral("back"),
                            reason.isEmpty() ? QStringLiteral("the card picture could not be made.")
                                             : reason);
  }
  return picture;
}

void Sheet_Pages::Paint_Page(QPainter& painter, int page) {
  const Sheet_Layout& l = job_.layout;
  const double ph = l.paper.height();
  painter.fillRect(QRectF(QPointF(0, 0), l.paper), Qt::white);
  const long long per_sheet = (long long)std::max(1, l.Print_Row) * std::max(1, l.Print_Col);
  long long card = (page - 1) * per_sheet;
  const bool records = bool(job_.record_picture);
  for (int i = 1; i <= l.Print_Row; ++i) {
    for (int j = 1; j <= l.Print_Col && card < l.Total_Label_Real; ++j, ++card) {
      Picture front = job_.front_image, back = job_.back_image;
      if (records) {
        if (card >= job_.record_count) continue;  // more cards than records: left free
        if (l.Both()) {
          back = Record_Picture(int(card), Card_Side::Back);
          front = Record_Picture(int(card), Card_Side::Front);
        } else if (l.Print_Card_Side == QLatin1String("F")) {
          front = Record_Picture(int(card), Card_Side::Front);
        } else {
          back = Record_Picture(int(card), Card_Side::Back);
        }
        if (front.isNull()) front = job_.front_image;
      }
      const QSizeF size = front.isNull() ? QSizeF(0, 0) : front.size();
      const Cell_Place place = Place_Cell(l, i, j, size);
      if (front.isNull()) {
        Draw_Sheet_Label(painter, place.front, QStringLiteral("Invalid Data"), false, ph);
        continue;
      }
      const Picture& shown = l.Print_Card_Side == QLatin1String("B") ? back : front;
      if (!shown.isNull()) painter.drawImage(Flipped(place.front, ph), shown.image());
      if (l.Both() && !back.isNull()) painter.drawImage(Flipped(place.back, ph), back.image());
    }
  }
}
