#include "barcode/Barcode_Gen.h"

#include "model/Fonts.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include <atomic>

namespace {

// A device of 72 dots per inch: font metrics taken against it come out in points.
class Point_Device : public QPaintDevice {
 public:
  QPaintEngine* paintEngine() const override { return nullptr; }

 protected:
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY: return 72;
      case PdmWidth:
      case PdmHeight: return 1000;
      case PdmWidthMM:
      case PdmHeightMM: return 353;
      case PdmNumColors: return 0x7fffffff;
      case PdmDepth: return 32;
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
      default: return 0;
    }
  }
};

const Point_Device& point_device() {
  static const Point_Device device;
  return device;
}

std::atomic<Barcode_Gen*> published{nullptr};
thread_local Barcode_Gen* scoped = nullptr;

Barcode_Gen& built_in() {
  static Barcode_Gen settings;
  return settings;
}

}  // namespace

QString Barcode_Item_List::titleOfSelectedItem() const {
  return index >= 0 && index < items.size() ? items.at(index) : QString();
}

const QStringList& Barcode_Gen::Barcode_Alignment_Items() {
  static const QStringList items = {QStringLiteral("Left"), QStringLiteral("Center"),
                                    QStringLiteral("Right")};
  return items;
}

Barcode_Gen::Barcode_Gen()
    : value_font(Make_Font(QStringLiteral("Times New Roman"), 10)),
      header_font(value_font),
      footer_font(value_font),
      barcode_clr(CRDColor::blackColor()),
      bar_back_clr(CRDColor::whiteColor()),
      bar_val_clr(CRDColor::blackColor()),
      bar_hdr_clr(CRDColor::blackColor()),
      bar_ftr_clr(CRDColor::blackColor()),
      align_hdr_combo{Barcode_Alignment_Items(), 1},
      align_ftr_combo{Barcode_Alignment_Items(), 1} {}

void Barcode_Gen::setCaptionFontSize(float size) {
  caption_fontSize_ = size;
  captionHeight_ = Barcode_Band_Height(value_font);
}

void Barcode_Gen::setHeaderFontSize(float size) {
  header_fontSize_ = size;
  headerHeight_ = Barcode_Band_Height(header_font);
  headerWidth_ = Barcode_Text_Width(header_, header_font);
}

void Barcode_Gen::setFooterFontSize(float size) {
  footer_fontSize_ = size;
  footerHeight_ = Barcode_Band_Height(footer_font);
  footerWidth_ = Barcode_Text_Width(footer_, footer_font);
}

QFont Barcode_Text_Font(const QFont& font) {
  QFont face = Drawing_Font(font);
  face.setKerning(false);
  face.setHintingPreference(QFont::PreferNoHinting);
  return face;
}

double Barcode_Cap_Height(const QFont& font) {
  return QFontMetricsF(Barcode_Text_Font(font), &point_device()).capHeight();
}

float Barcode_Band_Height(const QFont& font) {
  const double cap = Barcode_Cap_Height(font);
  return float(cap / 72.0 + 0.35 * cap / 72.0);
}

float Barcode_Text_Width(const QString& text, const QFont& font) {
  if (text.isEmpty()) return 0;
  return float(QFontMetricsF(Barcode_Text_Font(font), &point_device()).horizontalAdvance(text));
}

Barcode_Gen& Barcode_Gen_Ref::get() const {
  if (scoped) return *scoped;
  if (Barcode_Gen* live = published.load(std::memory_order_acquire)) return *live;
  return built_in();
}

void Barcode_Gen_Ref::publish(Barcode_Gen* live) {
  published.store(live, std::memory_order_release);
}

Barcode_Gen_Ref Barcode_Gen_Var;

Barcode_Gen_Scope::Barcode_Gen_Scope(Barcode_Gen settings)
    : settings_(std::move(settings)), previous_(scoped) {
  scoped = &settings_;
}

Barcode_Gen_Scope::~Barcode_Gen_Scope() { scoped = previous_; }

Barcode_Gen_Binding::Barcode_Gen_Binding(Barcode_Gen& settings) : previous_(scoped) {
  scoped = &settings;
}

Barcode_Gen_Binding::~Barcode_Gen_Binding() { scoped = previous_; }
