#include "window/Image_Saving.h"

#include "model/Common_Functions.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>

#include <cmath>

namespace {
constexpr double inches_per_metre = 1.0 / 0.0254;

// Pixels per metre so that `pixels` cover `points` (1/72 inch); 0 when unknown.
int dots_per_metre(int pixels, double points) {
  if (pixels <= 0 || !(points > 0) || !std::isfinite(points)) return 0;
  return int(std::lround(pixels * 72.0 / points * inches_per_metre));
}
}  // namespace

bool Save_gen_image(const Picture& image, const QString& file_path_val) {
  QString failure;
  try {
    if (image.isNull()) {
      failure = QStringLiteral("There is no picture to save.");
    } else {
      QImage pixels = image.image();
      const int dpm_x = dots_per_metre(pixels.width(), image.size().width());
      const int dpm_y = dots_per_metre(pixels.height(), image.size().height());
      if (dpm_x > 0 && dpm_y > 0) {
        pixels.setDotsPerMeterX(dpm_x);
        pixels.setDotsPerMeterY(dpm_y);
      }
      QByteArray data;
      QBuffer buffer(&data);
      buffer.open(QIODevice::WriteOnly);
      QImageWriter encoder(&buffer, "png");
      if (!encoder.write(pixels)) {
        failure = encoder.errorString();
      } else {
        QSaveFile file(file_path_val);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
          failure = file.errorString();
      }
    }
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
    return false;
  }
  if (failure.isEmpty()) return true;
  Show_MessageBox(file_path_val);
  Show_MessageBox(failure);
  return false;
}
