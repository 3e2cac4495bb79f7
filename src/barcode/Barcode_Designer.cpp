#include "barcode/Barcode_Designer.h"

#include "barcode/Barcode_Renderer.h"
#include "barcode/Barcode_Symbologies.h"
#include "barcode/LinBarcode.h"
#include "barcode/Picture_Resolution.h"
#include "model/CRDGraphic.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Whole_File.h"

#include <QCoreApplication>
#include <QPainter>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

// Not_Draw_Only_Prop_Change belongs to the main thread: workers neither read nor write it.
bool on_main_thread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

bool is_seven_bit_ascii(const QString& text) {
  for (QChar c : text)
    if (c.unicode() > 127) return false;
  return true;
}

void log_exception(const std::exception& e) {
  Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
}

}  // namespace

// ---- Item lists ---------------------------------------------------------------------------

const QStringList& Barcode_Designer::QR_Version_Items() {
  static const QStringList items = [] {
    QStringList list{QStringLiteral("Auto")};
    for (int v = 1; v <= 40; ++v) list << QStringLiteral("V%1").arg(v);
    return list;
  }();
  return items;
}

const QStringList& Barcode_Designer::QR_EC_Level_Items() {
  static const QStringList items = {QStringLiteral("L"), QStringLiteral("M"), QStringLiteral("Q"),
                                    QStringLiteral("H")};
  return items;
}

const QStringList& Barcode_Designer::DM_Format_Items() {
  static const QStringList items = {
      "Auto",     "C10X10", "C12X12", "C14X14", "C16X16", "C18X18",   "C20X20",   "C22X22",
      "C24X24",   "C26X26", "C32X32", "C36X36", "C40X40", "C44X44",   "C48X48",   "C52X52",
      "C64X64",   "C72X72", "C80X80", "C88X88", "C96X96", "C104X104", "C120X120", "C132X132",
      "C144X144", "C8X18",  "C8X32",  "C12X26", "C12X36", "C16X36",   "C16X48"};
  return items;
}

const QStringList& Barcode_Designer::DM_Encoding_Items() {
  static const QStringList items = {"Auto", "Ascii", "C40", "Text", "Base256"};
  return items;
}

const QStringList& Barcode_Designer::DPI_Items() {
  static const QStringList items = {"Auto", "72", "150", "300", "600", "1200", "Custom"};
  return items;
}

const QStringList& Barcode_Designer::Data_Source_Items() {
  static const QStringList items = {"Manual", "Series", "Excel"};
  return items;
}

// ---- Settings -----------------------------------------------------------------------------

Barcode_Designer::Barcode_Designer()
    : barcodeTypePopup{Barcode_Symbology_Titles(), 0},
      dataText(QStringLiteral("0123")),
      dataText_2D(QStringLiteral("0123")),
      HeaderText(QStringLiteral("HEADER")),
      FooterText(QStringLiteral("FOOTER")),
      qr_version_ComboBox{QR_Version_Items(), 0},
      qr_ec_lvl_ComboBox{QR_EC_Level_Items(), 0},
      dm_format_ComboBox{DM_Format_Items(), 0},
      dm_encoding_ComboBox{DM_Encoding_Items(), 0},
      DPI_ComboBox{DPI_Items(), 0},
      Data_source_type{Data_Source_Items(), 0} {}

void Barcode_Designer::Select_Symbology(int index) {
  barcodeTypePopup.index = index;
  const Barcode_Symbology* row = Find_Barcode_Symbology(barcodeTypePopup.titleOfSelectedItem());
  liner_or_2D_font = row && row->isTwoDimensional() ? 1 : 0;
}

void Barcode_Designer::Select_Symbology(const QString& title) {
  Select_Symbology(int(barcodeTypePopup.items.indexOf(title)));
}

QString Barcode_Designer::Current_Value() const {
  return liner_or_2D_font == 1 ? dataText_2D : dataText;
}

int Barcode_Designer::Used_DPI() const {
  const QString item = DPI_ComboBox.titleOfSelectedItem();
  int dpi = 0;
  if (item == QLatin1String("Custom"))
    dpi = dpi_Stepper;
  else if (item != QLatin1String("Auto"))
    dpi = item.toInt();
  return dpi > 0 ? dpi : 600;
}

// ---- Copies between the designer and a graphic ----------------------------------------------

void Barcode_Designer::Set_Barcode_Prop_To_Control(const std::shared_ptr<CRDGraphic>& graphic) {
  const bool main_thread = on_main_thread();
  if (main_thread) Not_Draw_Only_Prop_Change = true;
  try {
    if (graphic) {
      const CRDGraphic& g = *graphic;
      work_.graphic = graphic;
      liner_or_2D_font = g.linear_or_2d;

      barcodeTypePopup.index = g.barcode_font_index;
      dataText = g.linear_font_val;
      dataText_2D = g.two_d_font_val;
      HeaderText = g.header_val;
      FooterText = g.footer_val;

      hideHeaderCheckbox = g.show_hide_hdr;
      hideFooterCheckbox = g.show_hide_ftr;
      captionCheckbox = g.show_hide_val;
      showinTopCheckbox = g.show_val_on_top;
      align_hdr_combo.index = g.align_hdr_index;
      align_ftr_combo.index = g.align_ftr_index;
      Data_source_type.index = g.data_source_type;
      if (!g.batch_list_name.isEmpty())
        Batch_Series.index = int(Batch_Series.items.indexOf(g.batch_list_name));
      // The value-above box follows the loaded hide-value box.
      Get_Print_State();

      HeightStepper = g.linear_height_val;
      widthStepper = g.linear_width_val;
      HeightStepper_2D = g.qr_size_val;
      qr_version_ComboBox.index = g.qr_version_index;
      qr_ec_lvl_ComboBox.index = g.qr_ec_index;
      pdf_HeightStepper_2D = g.pdf_hgt_val;
      Pdf_widthStepper_2D = g.pdf_wdt_val;
      pdf_ec_lvl_Stepper = g.pdf_ec_val;
      dm_moduleStepper_2D = g.dm_module_val;
      dm_format_ComboBox.index = g.dm_format_index;
      dm_encoding_ComboBox.index = g.dm_encoding_index;

      hdr_mar_Stepper = g.hdr_margin_val;
      ftr_mar_Stepper = g.ftr_margin_val;
      val_mar_Stepper = g.val_margin_val;
      TB_mar_Stepper = g.TB_marging_val;
      LR_mar_Stepper = g.LR_margin_val;

      value_font = g.value_font_val;
      header_font = g.header_font_val;
      footer_font = g.footer_font_val;

      bar_hdr_clr = g.barcode_hdr_clr_val;
      bar_ftr_clr = g.barcode_ftr_clr_val;
      bar_val_clr = g.barcode_val_clr_val;
      bar_back_clr = g.barcode_back_clr_val;
      barcode_clr = g.barcode_clr_val;

      DPI_ComboBox.index = g.dpi_val_index;
      // The custom resolution comes back with the graphic, so that a "Custom" choice draws
      // and stores the resolution it was made with.
      if (const int dpi = g.dpi_custom_val.trimmed().toInt(); dpi > 0) {
        dpi_Stepper = dpi;
        dpi_Text = QString::number(dpi);
      }
      Measument_Unit_Is = 1;
    }
  } catch (const std::exception& e) {
    log_exception(e);
  }
  if (main_thread) Not_Draw_Only_Prop_Change = false;
}

void Barcode_Designer::Set_Control_Prop_To_Barcode(CRDGraphic& g) const {
  g.linear_or_2d = liner_or_2D_font;
  g.barcode_font_index = barcodeTypePopup.index;
  g.linear_font_val = dataText;
  g.two_d_font_val = dataText_2D;
  g.header_val = HeaderText;
  g.footer_val = FooterText;
  g.show_hide_hdr = hideHeaderCheckbox;
  g.show_hide_ftr = hideFooterCheckbox;
  g.show_hide_val = captionCheckbox;
  g.show_val_on_top = showinTopCheckbox;
  g.align_hdr_index = align_hdr_combo.index;
  g.align_ftr_index = align_ftr_combo.index;
  g.linear_height_val = HeightStepper;
  g.linear_width_val = widthStepper;
  g.qr_size_val = HeightStepper_2D;
  g.qr_version_index = qr_version_ComboBox.index;
  g.qr_ec_index = qr_ec_lvl_ComboBox.index;
  g.pdf_hgt_val = pdf_HeightStepper_2D;
  g.pdf_wdt_val = Pdf_widthStepper_2D;
  g.pdf_ec_val = pdf_ec_lvl_Stepper;
  g.dm_module_val = dm_moduleStepper_2D;
  g.dm_format_index = dm_format_ComboBox.index;
  g.dm_encoding_index = dm_encoding_ComboBox.index;
  g.hdr_margin_val = hdr_mar_Stepper;
  g.ftr_margin_val = ftr_mar_Stepper;
  g.val_margin_val = val_mar_Stepper;
  g.TB_marging_val = TB_mar_Stepper;
  g.LR_margin_val = LR_mar_Stepper;
  g.value_font_val = value_font;
  g.header_font_val = header_font;
  g.footer_font_val = footer_font;
  g.barcode_hdr_clr_val = bar_hdr_clr;
  g.barcode_ftr_clr_val = bar_ftr_clr;
  g.barcode_val_clr_val = bar_val_clr;
  g.barcode_back_clr_val = bar_back_clr;
  g.barcode_clr_val = barcode_clr;
  g.dpi_val_index = DPI_ComboBox.index;
  g.dpi_custom_val = dpi_Text;
}

// ---- Generation ---------------------------------------------------------------------------

bool Barcode_Designer::Check_And_Validat_Barcode(bool, bool) {
  work_.error_label = false;
  const QString value = Current_Value();
  if (value.isEmpty() || !is_seven_bit_ascii(value)) {
    Set_Blank_Image();
    return false;
  }
  return true;
}

int Barcode_Designer::Get_Print_State() {
  if (!captionCheckbox_enabled) return 0;
  const bool prints = captionCheckbox != 1;
  showinTopCheckbox_enabled = prints;
  return prints ? 1 : 0;
}

void Barcode_Designer::goButtonActionPerformed() {
  work_.failure.clear();
  if (!Check_And_Validat_Barcode(false, false)) return;
  work_.testBarcode = Generate_Barcode_Variable(true, Current_Value(), HeaderText, FooterText);
}

std::shared_ptr<LinBarcode> Barcode_Designer::Generate_Barcode_Variable(bool preview,
                                                                        const QString& value,
                                                                        const QString& header,
                                                                        const QString& footer) {
  // Loading a graphic into the designer must not rebuild the preview; a headless picture is
  // always made from the value it was asked for.
  if (preview && on_main_thread() && Not_Draw_Only_Prop_Change) return work_.testBarcode;
  return generate(preview, value, header, footer);
}

std::shared_ptr<LinBarcode> Barcode_Designer::generate(bool preview, const QString& value,
                                                       const QString& header,
                                                       const QString& footer) {
  const Barcode_Gen_Binding bind(*this);
  work_.failure.clear();
  if (value.isEmpty()) {
    work_.image_2d = Picture();
    return nullptr;
  }
  std::shared_ptr<LinBarcode> model;
  try {
    if (preview) {
      work_.preview = Picture();
      work_.error_label = false;
      work_.blank_reason.clear();
    }
    const bool prints = Get_Print_State() == 1;
    const Barcode_Symbology* row = Find_Barcode_Symbology(barcodeTypePopup.titleOfSelectedItem());

    if (liner_or_2D_font == 0) {
      if (row && !row->isTwoDimensional()) {
        std::unique_ptr<LinBarcode> made = row->newModel();
        if (made && made->initWithContent(value, prints)) model = std::move(made);
      }
      if (!model || !model->isContentValid()) {
        if (preview) Set_Blank_Image();
        return nullptr;
      }
      model->setHeader(header);
      model->setFooter(footer);
      model->setPrintsCaption(prints);
      model->setPrintsHeader(hideHeaderCheckbox != 1);
      model->setPrintsFooter(hideFooterCheckbox != 1);
      if (widthStepper_enabled) model->setBarWidth(widthStepper * 72.0f / 1000.0f);
      model->setCaptionFontSize(float(value_font.pointSizeF()));
      model->setHeaderFontSize(float(header_font.pointSizeF()));
      model->setFooterFontSize(float(footer_font.pointSizeF()));
      if (HeightStepper_enabled) Set_Barcode_Height(*model);
      model->calculateWidth();
      model->setWidth(Set_Linear_Barcode_Width(*model));
      if (preview) Get_Image_From_Barcode(*model);
      return model;
    }

    if (row && row->isTwoDimensional()) {
      setContent(value);
      setHeader(header);
      setFooter(footer);
      setPrintsCaption(prints);
      setPrintsHeader(hideHeaderCheckbox != 1);
      setPrintsFooter(hideFooterCheckbox != 1);
      setCaptionFontSize(float(value_font.pointSizeF()));
      setHeaderFontSize(float(header_font.pointSizeF()));
      setFooterFontSize(float(footer_font.pointSizeF()));
      work_.image_2d = Picture();
      switch (row->kind) {
        case Barcode_Kind::QR_Code: Draw_QR_Barcode(value); break;
        case Barcode_Kind::PDF417: Draw_PDF_417_Barcode(value); break;
        case Barcode_Kind::Data_Matrix: Draw_DataMatrix_Barcode(value); break;
        case Barcode_Kind::Linear: break;
      }
    }
    if (preview) {
      if (work_.image_2d.isNull())
        Set_Blank_Image();
      else
        Get_Image_From_barcode_image(work_.image_2d);
    }
  } catch (const std::exception& e) {
    log_exception(e);
  }
  return liner_or_2D_font == 0 ? model : nullptr;
}

Picture Barcode_Designer::Get_Image_From_Val(const QString& value, const QString& header,
                                             const QString& footer) {
  try {
    const Barcode_Gen_Binding bind(*this);
    work_.testBarcode_EXP = generate(false, value, header, footer);
    if (liner_or_2D_font == 1) {
      if (work_.image_2d.isNull()) return {};
      Set_2d_Barcode_Height(work_.image_2d);
      Set_2d_Barcode_Width(work_.image_2d);
      return imageFromBarcodeImage(work_.image_2d, Used_DPI());
    }
    if (!work_.testBarcode_EXP) return {};
    return imageFromBarcode(work_.testBarcode_EXP.get(), Linear_DPI);
  } catch (const std::exception& e) {
    log_exception(e);
    return {};
  }
}

bool Barcode_Designer::Get_Drawing_From_Val(const QString& value, const QString& header,
                                            const QString& footer, Barcode_Drawing* drawing) {
  try {
    const Barcode_Gen_Binding bind(*this);
    work_.testBarcode_EXP = generate(false, value, header, footer);
    Barcode_Drawing made;
    if (liner_or_2D_font == 1) {
      if (work_.image_2d.isNull()) return false;
      Set_2d_Barcode_Height(work_.image_2d);
      Set_2d_Barcode_Width(work_.image_2d);
      made = LinBarcodeOffscreenView(work_.image_2d).layout(Used_DPI());
      Trace_Symbol_Modules(made);
    } else {
      if (!work_.testBarcode_EXP) return false;
      made = LinBarcodeOffscreenView(work_.testBarcode_EXP.get()).layout(Linear_DPI);
    }
    if (!(made.frame.width() > 0) || !(made.frame.height() > 0)) return false;
    *drawing = std::move(made);
    return true;
  } catch (const std::exception& e) {
    log_exception(e);
    return false;
  }
}

// ---- Sizes --------------------------------------------------------------------------------

void Barcode_Designer::compute_working_margins() {
  value_margin = captionCheckbox == 1 ? 0.0f : val_mar_Stepper * Cm_To_Points;
  header_margin = hideHeaderCheckbox == 1 ? 0.0f : hdr_mar_Stepper * Cm_To_Points;
  footer_margin = hideFooterCheckbox == 1 ? 0.0f : ftr_mar_Stepper * Cm_To_Points;
  LR_margin = LR_mar_Stepper * Cm_To_Points;
  TB_margin = TB_mar_Stepper * Cm_To_Points;
}

void Barcode_Designer::Set_Barcode_Height(LinBarcode& model) {
  compute_working_margins();
  float height = HeightStepper * Cm_To_Points;
  if (model.printsCaption()) height += model.captionHeight() * 72 + value_margin;
  model.setHeight(height);
  if (model.printsHeader())
    model.setHeight(model.height() + model.headerHeight() * 72 + header_margin);
  if (model.printsFooter())
    model.setHeight(model.height() + model.footerHeight() * 72 + footer_margin);
  model.setHeight(model.height() + 2 * TB_margin);
}

float Barcode_Designer::Set_Linear_Barcode_Width(LinBarcode& model) {
  const float header = hideHeaderCheckbox == 1 ? 0.0f : model.headerWidth();
  const float footer = hideFooterCheckbox == 1 ? 0.0f : model.footerWidth();
  LR_margin = LR_mar_Stepper * Cm_To_Points;
  float width = std::max({model.width(), header, footer}) + 2 * LR_margin;
  if (LR_margin > 0) width += 15;
  return width;
}

int Barcode_Designer::QR_Size_Minimum(int version_index) {
  return std::max((version_index - 1) * 4 + 21, 21);
}

void Barcode_Designer::Check_And_Set_QR_size_Acc_Version(int version_index) {
  HeightStepper_2D = std::max(HeightStepper_2D, QR_Size_Minimum(version_index));
}

// ---- Preview ------------------------------------------------------------------------------

void Barcode_Designer::Get_Image_From_Barcode(LinBarcode& model) {
  if (!Check_And_Validat_Barcode(false, false)) return;
  const Barcode_Gen_Binding bind(*this);
  work_.preview = imageFromBarcode(&model, Linear_DPI);
}

void Barcode_Designer::Get_Image_From_barcode_image(const Picture& symbol) {
  if (symbol.isNull()) {
    Set_Blank_Image();
    return;
  }
  try {
    const Barcode_Gen_Binding bind(*this);
    Set_2d_Barcode_Height(symbol);
    Set_2d_Barcode_Width(symbol);
    work_.preview = imageFromBarcodeImage(symbol, Used_DPI());
    if (work_.preview.isNull()) work_.blank_reason = Too_Large_Reason(QSizeF(width(), height()));
  } catch (const std::exception& e) {
    log_exception(e);
  }
}

void Barcode_Designer::Set_Blank_Image() {
  work_.image_2d = Picture();
  work_.preview = Picture();
  work_.error_label = true;
}

QString Barcode_Designer::Too_Large_Reason(QSizeF points) const {
  const int dpi = Used_DPI();
  if (Fits_Picture_Limit(points, dpi)) return {};
  const Barcode_Symbology* row = Find_Barcode_Symbology(barcodeTypePopup.titleOfSelectedItem());
  QString what = QStringLiteral("the margins");
  if (row && row->kind == Barcode_Kind::QR_Code)
    what = QStringLiteral("the QR size");
  else if (row && row->kind == Barcode_Kind::PDF417)
    what = QStringLiteral("the PDF417 width and height");
  else if (row && row->kind == Barcode_Kind::Data_Matrix)
    what = QStringLiteral("the module size");
  return QStringLiteral("The picture would be %1 x %2 points at %3 dpi, more than the %4 pixels "
                        "a side that a picture can have. Lower the resolution (Resolution tab) "
                        "or %5 (Barcode tab).")
      .arg(std::ceil(points.width()), 0, 'f', 0)
      .arg(std::ceil(points.height()), 0, 'f', 0)
      .arg(dpi)
      .arg(kMax_Picture_Side)
      .arg(what);
}

// ---- Pictures -----------------------------------------------------------------------------

Picture Barcode_Designer::Resize_Image(const Picture& picture, QSizeF new_size) {
  if (picture.isNull()) {
    Show_NSLog_Message(QStringLiteral("Invalid image"));
    return {};
  }
  const int width = int(new_size.width()), height = int(new_size.height());
  if (width <= 0 || height <= 0) {
    Show_NSLog_Message(QStringLiteral("Invalid image"));
    return {};
  }
  QImage bitmap(width, height, QImage::Format_ARGB32_Premultiplied);
  if (bitmap.isNull()) {
    Show_NSLog_Message(QStringLiteral("Invalid image"));
    return {};
  }
  bitmap.fill(Qt::transparent);
  {
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRectF(QPointF(0, 0), picture.size()), picture.image());
  }
  return Picture(std::move(bitmap), new_size);
}

bool Barcode_Designer::Save_Barcode_image(const Picture& picture, const QString& path,
                                          QString* error) {
  if (picture.isNull()) {
    Show_NSLog_Message(QStringLiteral("Invalid image"));
    if (error) *error = QStringLiteral("Invalid image");
    return false;
  }
  QImage image = picture.image();
  const QSizeF size = picture.size();
  if (size.width() > 0 && size.height() > 0) {
    // The PNG carries the picture's size through its resolution.
    image.setDotsPerMeterX(int(std::lround(image.width() * 72.0 / size.width() / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(image.height() * 72.0 / size.height() / 0.0254)));
  }
  Whole_File_Options options;
  options.write_through_link = true;  // a picture file the user names
  Whole_File_Writer file(path, options);
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
    const QString reason =
        file.failed() ? file.error_string() : QStringLiteral("the PNG data could not be made");
    Show_NSLog_Message(
        QStringLiteral("Unable to save the barcode picture %1: %2").arg(path, reason));
    if (error) *error = reason;
    return false;
  }
  return true;
}
