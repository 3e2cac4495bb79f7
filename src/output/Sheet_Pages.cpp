#include "output/Sheet_Pages.h"

#include "model/Common_Functions.h"

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

namespace {

QString Side_Name(Card_Side side) {
  return side == Card_Side::Front ? QStringLiteral("front") : QStringLiteral("back");
}

}  // namespace

Card_Drawing Sheet_Pages::Record_Picture(int record, Card_Side side) {
  QString reason;
  Card_Drawing card = job_.record_picture(record, side, &reason);
  if (card.isNull() && failure_count_++ < 10)
    failures_ << QStringLiteral("Record %1 (%2): %3")
                     .arg(QString::number(record + 1), Side_Name(side),
                          reason.isEmpty() ? QStringLiteral("the card picture could not be made.")
                                           : reason);
  return card;
}

void Sheet_Pages::paint_card(QPainter& painter, const Card_Drawing& card, const QRectF& place,
                             int record, Card_Side side) {
  // A graphic that fails to draw leaves the ones in front of it out of this card, as on a
  // card picture; the card is printed all the same.
  const Render_Report report = card.Paint(painter, place);
  if (report.failed)
    Show_NSLog_Message((record >= 0 ? QStringLiteral("Record %1 (%2): %3")
                                          .arg(QString::number(record + 1), Side_Name(side))
                                    : QStringLiteral("The design (%1): %2").arg(Side_Name(side)))
                           .arg(report.reason));
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
      Card_Drawing front = job_.front_image, back = job_.back_image;
      bool front_is_record = false, back_is_record = false;
      if (records) {
        if (card >= job_.record_count) continue;  // more cards than records: left free
        if (l.Both() || l.Print_Card_Side != QLatin1String("F")) {
          back = Record_Picture(int(card), Card_Side::Back);
          back_is_record = true;
        }
        if (l.Both() || l.Print_Card_Side == QLatin1String("F")) {
          front = Record_Picture(int(card), Card_Side::Front);
          front_is_record = true;
        }
        if (front.isNull()) {
          front = job_.front_image;
          front_is_record = false;
        }
      }
      const QSizeF size = front.isNull() ? QSizeF(0, 0) : front.size();
      const Cell_Place place = Place_Cell(l, i, j, size);
      if (front.isNull()) {
        Draw_Sheet_Label(painter, place.front, QStringLiteral("Invalid Data"), false, ph);
        continue;
      }
      const int record = int(card);
      if (l.Print_Card_Side == QLatin1String("B")) {
        if (!back.isNull())
          paint_card(painter, back, Flipped(place.front, ph), back_is_record ? record : -1,
                     Card_Side::Back);
      } else {
        paint_card(painter, front, Flipped(place.front, ph), front_is_record ? record : -1,
                   Card_Side::Front);
      }
      if (l.Both() && !back.isNull())
        paint_card(painter, back, Flipped(place.back, ph), back_is_record ? record : -1,
                   Card_Side::Back);
    }
  }
}
