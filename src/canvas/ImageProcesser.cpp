#include "canvas/ImageProcesser.h"

#include "model/Common_Functions.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// ---- Pixels ------------------------------------------------------------------------------

constexpr float Luma_R = 0.2126f, Luma_G = 0.7152f, Luma_B = 0.0722f;  // ITU-R BT.709

float luminance(float r, float g, float b) { return Luma_R * r + Luma_G * g + Luma_B * b; }

std::uint8_t to_byte(float v) {
  if (!(v > 0)) return 0;
  if (v >= 1) return 255;
  return std::uint8_t(v * 255.0f + 0.5f);
}

// A 3 x 3 colour matrix applied to the components (0 to 1) of every pixel, alpha kept.
struct Color_Matrix {
  std::array<float, 9> m;
};

// Runs f(r, g, b) on every pixel of a copy in unpremultiplied ARGB; components 0 to 1.
template <typename F>
QImage map_pixels(const QImage& source, F f) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return image;
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x];
      float r = qRed(p) / 255.0f, g = qGreen(p) / 255.0f, b = qBlue(p) / 255.0f;
      f(r, g, b);
      line[x] = qRgba(to_byte(r), to_byte(g), to_byte(b), qAlpha(p));
    }
  }
  return image;
}

QImage apply_matrix(const QImage& source, const Color_Matrix& c, float bias = 0) {
  const auto& m = c.m;
  return map_pixels(source, [&](float& r, float& g, float& b) {
    const float nr = m[0] * r + m[1] * g + m[2] * b + bias;
    const float ng = m[3] * r + m[4] * g + m[5] * b + bias;
    const float nb = m[6] * r + m[7] * g + m[8] * b + bias;
    r = nr, g = ng, b = nb;
  });
}

// Runs a table on every colour component (alpha kept).
QImage apply_table(const QImage& source, const std::array<std::uint8_t, 256>& table) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return image;
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x];
      line[x] = qRgba(table[qRed(p)], table[qGreen(p)], table[qBlue(p)], qAlpha(p));
    }
  }
  return image;
}

float srgb_to_linear(float v) {
  return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f);
}

float linear_to_srgb(float v) {
  return v <= 0.0031308f ? v * 12.92f : 1.055f * std::pow(v, 1 / 2.4f) - 0.055f;
}

// Box blur of premultiplied pixels (transparent pixels lend no colour) with running
// sums, edges extended: along the rows, then down the columns a whole row at a time.
QImage box_blur(const QImage& in, int radius) {
  const int w = in.width(), h = in.height(), window = 2 * radius + 1;
  QImage across(in.size(), QImage::Format_ARGB32_Premultiplied);
  QImage out(in.size(), QImage::Format_ARGB32_Premultiplied);
  if (across.isNull() || out.isNull()) return {};
  auto average = [window](long a, long r, long g, long b) {
    const long half = window / 2;
    return qRgba(int((r + half) / window), int((g + half) / window), int((b + half) / window),
                 int((a + half) / window));
  };
  for (int y = 0; y < h; ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(in.constScanLine(y));
    auto* dst = reinterpret_cast<QRgb*>(across.scanLine(y));
    auto at = [&](int x) { return src[std::clamp(x, 0, w - 1)]; };
    long sa = 0, sr = 0, sg = 0, sb = 0;
    for (int i = -radius; i <= radius; ++i) {
      const QRgb p = at(i);
      sa += qAlpha(p), sr += qRed(p), sg += qGreen(p), sb += qBlue(p);
    }
    for (int x = 0; x < w; ++x) {
      dst[x] = average(sa, sr, sg, sb);
      const QRgb leaving = at(x - radius), entering = at(x + radius + 1);
      sa += qAlpha(entering) - qAlpha(leaving);
      sr += qRed(entering) - qRed(leaving);
      sg += qGreen(entering) - qGreen(leaving);
      sb += qBlue(entering) - qBlue(leaving);
    }
  }
  std::vector<long> sums(std::size_t(w) * 4, 0);
  auto row = [&](int y) {
    return reinterpret_cast<const QRgb*>(across.constScanLine(std::clamp(y, 0, h - 1)));
  };
  auto add_row = [&](const QRgb* line, long sign) {
    for (int x = 0; x < w; ++x) {
      long* s = &sums[std::size_t(x) * 4];
      s[0] += sign * qAlpha(line[x]), s[1] += sign * qRed(line[x]);
      s[2] += sign * qGreen(line[x]), s[3] += sign * qBlue(line[x]);
    }
  };
  for (int i = -radius; i <= radius; ++i) add_row(row(i), 1);
  for (int y = 0; y < h; ++y) {
    auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const long* s = &sums[std::size_t(x) * 4];
      dst[x] = average(s[0], s[1], s[2], s[3]);
    }
    add_row(row(y - radius), -1);
    add_row(row(y + radius + 1), 1);
  }
  return out;
}

bool finite(float v) { return std::isfinite(v); }

// ---- Steps -------------------------------------------------------------------------------

// Runs one filter; a filter that cannot make its picture is logged (the grey-tone step
// with its reason first) and the chain goes on with the input.
template <typename Filter>
Picture run_step(const char* name, const Picture& input, Filter filter, bool log_reason = false) {
  if (input.isNull()) return input;
  QString reason;
  try {
    const QImage output = filter(input.image());
    if (!output.isNull()) return Picture(output, input.size());
    reason = QStringLiteral("not enough memory for the picture");
  } catch (const std::exception& e) {
    reason = QString::fromUtf8(e.what());
  }
  if (log_reason) Show_NSLog_Message(reason);
  Show_NSLog_Message(
      QStringLiteral("Picture adjustment %1 failed: %2").arg(QLatin1String(name), reason));
  return input;
}

// ---- Cache -------------------------------------------------------------------------------

struct Cache_Key {
  qint64 image = 0;
  QSizeF size;
  Picture_Adjustments settings;
  bool operator==(const Cache_Key& o) const {
    return image == o.image && size == o.size && settings == o.settings;
  }
};

struct Cache_Entry {
  Cache_Key key;
  Picture result;
  std::size_t bytes = 0;
};

constexpr std::size_t Cache_Byte_Limit = std::size_t(256) << 20;
constexpr std::size_t Cache_Entry_Limit = 128;

// A computation under way: later threads asking for the same key wait for its result
// instead of computing the same picture again.
struct Computation {
  Cache_Key key;
  bool done = false;
  Picture result;
};

std::mutex cache_mutex;  // guards everything below
std::condition_variable computation_done;
std::list<Cache_Entry> cache;  // most recently used first
std::size_t cache_bytes = 0;
std::list<std::shared_ptr<Computation>> computations;  // under way
std::atomic<std::size_t> chain_runs{0};

bool lookup_locked(const Cache_Key& key, Picture& result) {
  for (auto it = cache.begin(); it != cache.end(); ++it) {
    if (it->key == key) {
      cache.splice(cache.begin(), cache, it);
      result = cache.front().result;
      return true;
    }
  }
  return false;
}

void store_locked(const Cache_Key& key, const Picture& result) {
  const std::size_t bytes = std::size_t(std::max<qsizetype>(result.image().sizeInBytes(), 0));
  if (bytes > Cache_Byte_Limit) return;
  cache.push_front(Cache_Entry{key, result, bytes});
  cache_bytes += bytes;
  while (cache.size() > Cache_Entry_Limit || cache_bytes > Cache_Byte_Limit) {
    cache_bytes -= cache.back().bytes;
    cache.pop_back();
  }
}

// Values that cannot be used (not finite) count as the neutral setting.
Picture_Adjustments usable(Picture_Adjustments a) {
  if (!finite(a.hue)) a.hue = 0;
  if (!finite(a.saturation)) a.saturation = 1;
  if (!finite(a.brightness)) a.brightness = 0;
  if (!finite(a.contrast)) a.contrast = 1;
  if (!finite(a.sharpness)) a.sharpness = 0;
  if (!finite(a.exposure)) a.exposure = 0;
  if (!finite(a.blur)) a.blur = 0;
  a.rotate %= 360;
  return a;
}

Picture run_chain(const Picture& source, const Picture_Adjustments& a) {
  static const QString no_memory =
      QStringLiteral("The adjusted picture could not be made: not enough memory.");
  try {
    Picture picture = ImageProcesser::Set_Dimaension(source);
    if (a.grayscale) picture = ImageProcesser::GrayScale(picture);
    if (a.sepia) picture = ImageProcesser::Sepia(picture);
    if (a.invert) picture = ImageProcesser::Invert_Color(picture);
    picture = ImageProcesser::adjust_Hue(picture, a.hue);
    picture = ImageProcesser::adjust_Color_Control(picture, a.saturation, a.brightness, a.contrast);
    picture = ImageProcesser::adjust_Sharpness(picture, a.sharpness);
    picture = ImageProcesser::adjust_boxBlur(picture, a.blur);
    picture = ImageProcesser::adjust_EV(picture, a.exposure);
    picture = ImageProcesser::imageRotated(picture, float(a.rotate));
    if (picture.isNull()) {
      Show_NSLog_Message(no_memory);
      return {};
    }
    // Drawing is fastest from premultiplied pixels; convert once here, not at every draw.
    const QImage& image = picture.image();
    if (image.hasAlphaChannel() && image.format() != QImage::Format_ARGB32_Premultiplied) {
      QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
      if (premultiplied.isNull()) {
        Show_NSLog_Message(no_memory);
        return {};
      }
      picture = Picture(std::move(premultiplied), picture.size());
    }
    return picture;
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
    return {};
  }
}

Picture chain_for_picture_objects(const Picture& picture, const Picture_Adjustments& settings) {
  return ImageProcesser::Get_Processed_Image(picture, settings);
}

}  // namespace

// ---- The chain ---------------------------------------------------------------------------

Picture ImageProcesser::Get_Processed_Image(const Picture& picture, bool grayscale, bool sepia,
                                            bool invrtclr, float hue, float sat, float brt,
                                            float con, int rotate, float r, float g, float b,
                                            float) {
  Picture_Adjustments settings;
  settings.grayscale = grayscale;
  settings.sepia = sepia;
  settings.invert = invrtclr;
  settings.hue = hue;
  settings.saturation = sat;
  settings.brightness = brt;
  settings.contrast = con;
  settings.rotate = rotate;
  settings.sharpness = r;
  settings.exposure = g;
  settings.blur = b;
  return Get_Processed_Image(picture, settings);
}

Picture ImageProcesser::Get_Processed_Image(const Picture& picture,
                                            const Picture_Adjustments& settings) {
  if (picture.isNull()) return {};
  const Cache_Key key{picture.image().cacheKey(), picture.size(), usable(settings)};
  std::shared_ptr<Computation> mine;
  {
    std::unique_lock<std::mutex> lock(cache_mutex);
    Picture result;
    if (lookup_locked(key, result)) return result;
    for (const auto& under_way : computations) {
      if (under_way->key == key) {
        const std::shared_ptr<Computation> theirs = under_way;
        computation_done.wait(lock, [&] { return theirs->done; });
        return theirs->result;
      }
    }
    mine = std::make_shared<Computation>();
    mine->key = key;
    computations.push_back(mine);
  }
  // A failure is cached like a picture, so it is computed and logged once. run_chain
  // catches what the filters throw, so the waiting threads are always released.
  ++chain_runs;
  Picture result;
  try {
    result = run_chain(picture, key.settings);
  } catch (...) {
    result = {};
  }
  {
    std::lock_guard<std::mutex> lock(cache_mutex);
    store_locked(key, result);
    mine->result = result;
    mine->done = true;
    computations.remove(mine);
  }
  computation_done.notify_all();
  return result;
}

void ImageProcesser::Install() {
  static const bool installed = [] {
    Set_Picture_Adjustment_Chain(&chain_for_picture_objects);
    return true;
  }();
  (void)installed;
}

void ImageProcesser::Clear_Cache() {
  std::lock_guard<std::mutex> lock(cache_mutex);
  cache.clear();
  cache_bytes = 0;
}

std::size_t ImageProcesser::Cached_Pictures() {
  std::lock_guard<std::mutex> lock(cache_mutex);
  return cache.size();
}

std::size_t ImageProcesser::Chain_Runs() { return chain_runs; }

// ---- Steps -------------------------------------------------------------------------------

Picture ImageProcesser::Set_Dimaension(const Picture& picture) {
  return CRDImage::Capped_Picture(picture);
}

Picture ImageProcesser::GrayScale(const Picture& picture) {
  return run_step(
      "GrayScale", picture,
      [](const QImage& image) {
        return map_pixels(image,
                          [](float& r, float& g, float& b) { r = g = b = luminance(r, g, b); });
      },
      true);
}

Picture ImageProcesser::Sepia(const Picture& picture) {
  return run_step("Sepia", picture, [](const QImage& image) {
    return apply_matrix(image, {{0.393f, 0.769f, 0.189f,  //
                                 0.349f, 0.686f, 0.168f,  //
                                 0.272f, 0.534f, 0.131f}});
  });
}

Picture ImageProcesser::Invert_Color(const Picture& picture) {
  return run_step("Invert_Color", picture, [](const QImage& image) {
    QImage inverted = image.convertToFormat(QImage::Format_ARGB32);
    inverted.invertPixels(QImage::InvertRgb);
    return inverted;
  });
}

Picture ImageProcesser::adjust_Hue(const Picture& picture, float hue) {
  if (!finite(hue) || hue == 0) return picture;
  // The luminance-keeping hue rotation of the W3C Filter Effects colour matrix.
  const float c = std::cos(hue), s = std::sin(hue);
  const Color_Matrix m{{0.213f + c * 0.787f - s * 0.213f, 0.715f - c * 0.715f - s * 0.715f,
                        0.072f - c * 0.072f + s * 0.928f,  //
                        0.213f - c * 0.213f + s * 0.143f, 0.715f + c * 0.285f + s * 0.140f,
                        0.072f - c * 0.072f - s * 0.283f,  //
                        0.213f - c * 0.213f - s * 0.787f, 0.715f - c * 0.715f + s * 0.715f,
                        0.072f + c * 0.928f + s * 0.072f}};
  return run_step("adjust_Hue", picture,
                  [&](const QImage& image) { return apply_matrix(image, m); });
}

Picture ImageProcesser::adjust_Color_Control(const Picture& picture, float sat, float brt,
                                             float con) {
  if (!finite(sat)) sat = 1;
  if (!finite(brt)) brt = 0;
  if (!finite(con)) con = 1;
  if (sat == 1 && brt == 0 && con == 1) return picture;
  return run_step("adjust_Color_Control", picture, [&](const QImage& image) {
    return map_pixels(image, [&](float& r, float& g, float& b) {
      // Saturation mixes with the grey of the same luminance, brightness adds,
      // contrast scales around the middle grey.
      const float l = luminance(r, g, b);
      r = ((l + (r - l) * sat + brt) - 0.5f) * con + 0.5f;
      g = ((l + (g - l) * sat + brt) - 0.5f) * con + 0.5f;
      b = ((l + (b - l) * sat + brt) - 0.5f) * con + 0.5f;
    });
  });
}

Picture ImageProcesser::adjust_Sharpness(const Picture& picture, float value) {
  if (!finite(value) || value == 0) return picture;
  return run_step("adjust_Sharpness", picture, [&](const QImage& source) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return image;
    const int w = image.width(), h = image.height();
    // The luminance, and its Gaussian blur (sigma 1, five taps) as the unsharp mask:
    // blurred along the rows into `rows`, then down the columns while writing.
    std::vector<float> lum(std::size_t(w) * h), rows(lum.size());
    for (int y = 0; y < h; ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < w; ++x)
        lum[std::size_t(y) * w + x] =
            luminance(qRed(line[x]) / 255.0f, qGreen(line[x]) / 255.0f, qBlue(line[x]) / 255.0f);
    }
    const float k[5] = {0.0545f, 0.2442f, 0.4026f, 0.2442f, 0.0545f};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        float sum = 0;
        for (int i = -2; i <= 2; ++i)
          sum += k[i + 2] * lum[std::size_t(y) * w + std::clamp(x + i, 0, w - 1)];
        rows[std::size_t(y) * w + x] = sum;
      }
    for (int y = 0; y < h; ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < w; ++x) {
        float blurred = 0;
        for (int i = -2; i <= 2; ++i)
          blurred += k[i + 2] * rows[std::size_t(std::clamp(y + i, 0, h - 1)) * w + x];
        const float delta = value * (lum[std::size_t(y) * w + x] - blurred);
        const QRgb p = line[x];
        line[x] = qRgba(to_byte(qRed(p) / 255.0f + delta), to_byte(qGreen(p) / 255.0f + delta),
                        to_byte(qBlue(p) / 255.0f + delta), qAlpha(p));
      }
    }
    return image;
  });
}

Picture ImageProcesser::adjust_boxBlur(const Picture& picture, float value) {
  if (!finite(value) || !(value >= 0.5f)) return picture;
  return run_step("adjust_boxBlur", picture, [&](const QImage& source) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    const int radius =
        int(std::min<double>(std::lround(value), std::max(image.width(), image.height())));
    return box_blur(image, radius);
  });
}

Picture ImageProcesser::adjust_EV(const Picture& picture, float value) {
  if (!finite(value) || value == 0) return picture;
  // In linear light: one stop doubles the light.
  std::array<std::uint8_t, 256> table{};
  const float factor = std::exp2(value);
  for (int i = 0; i < 256; ++i)
    table[i] = to_byte(linear_to_srgb(std::min(1.0f, srgb_to_linear(i / 255.0f) * factor)));
  return run_step("adjust_EV", picture,
                  [&](const QImage& image) { return apply_table(image, table); });
}

Picture ImageProcesser::adjust_Gamma(const Picture& picture, float value) {
  if (!finite(value) || value == 1) return picture;
  std::array<std::uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    const float v = std::pow(i / 255.0f, value);
    table[i] = to_byte(std::isfinite(v) ? v : 1.0f);
  }
  return run_step("adjust_Gamma", picture,
                  [&](const QImage& image) { return apply_table(image, table); });
}

Picture ImageProcesser::imageRotated(const Picture& picture, float degrees) {
  if (!finite(degrees)) return picture;
  const float a = std::fmod(degrees, 360.0f);
  if (a == 0 || picture.isNull()) return picture;
  const QImage& image = picture.image();
  const QSizeF size = picture.size();
  QImage turned;
  QSizeF turned_size;
  if (a == 90 || a == -90 || a == 270 || a == -270 || a == 180 || a == -180) {
    // Right angles turn the pixels exactly.
    turned = image.transformed(QTransform().rotate(-a));
    turned_size = (a == 180 || a == -180) ? size : size.transposed();
  } else {
    // Any other angle: the canvas is the turned picture's bounding box.
    const double radians = double(a) * M_PI / 180.0;
    const double c = std::abs(std::cos(radians)), s = std::abs(std::sin(radians));
    const int w = image.width(), h = image.height();
    const QSize canvas(int(std::ceil(w * c + h * s - 1e-9)), int(std::ceil(w * s + h * c - 1e-9)));
    turned = QImage(canvas, QImage::Format_ARGB32_Premultiplied);
    if (!turned.isNull()) {
      turned.fill(Qt::transparent);
      QPainter painter(&turned);
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.setRenderHint(QPainter::Antialiasing);
      painter.translate(canvas.width() / 2.0, canvas.height() / 2.0);
      painter.rotate(-a);
      painter.drawImage(QPointF(-w / 2.0, -h / 2.0), image);
    }
    turned_size =
        QSizeF(size.width() * c + size.height() * s, size.width() * s + size.height() * c);
  }
  if (turned.isNull()) return {};  // no memory for it: the chain fails
  return Picture(std::move(turned), turned_size);
}
