#include "support/Sample_Graphics.h"

#include "model/Fonts.h"
#include "model/Graphic_Kinds.h"

#include <QImage>

namespace test_support {

using R = CRDGraphic_Record;

Picture Sample_Picture() {
  QImage image(3, 2, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  image.setPixel(0, 0, 0xFFFF0000);
  image.setPixel(1, 0, 0x8000FF00);
  image.setPixel(2, 1, 0xFF0000FF);
  return Picture(image, QSizeF(6, 4));
}

StyledText Sample_Styled_Text() {
  Text_Attributes bold;
  bold.font = Make_Font("Arial-BoldMT", 18);
  bold.foreground = CRDColor::rgb(0.5, 0.25, 0.125);
  Text_Attributes plain;
  plain.font = Make_Font("TimesNewRomanPS-ItalicMT", 14);
  plain.kerning = 1.5;
  plain.alignment = 2;
  StyledText text(QStringLiteral("Happy birthday, dear friend"), plain);
  text.setAttributes(0, 5, bold);
  text.setAttributes(22, 5, bold);
  return text;
}

void Fill(CRDGraphic& g) {
  R& r = g;
  r._bounds = QRectF(10.25, 20.5, 100.125, 50.0625);
  r.ctrl_is_locked = r._isDrawingFill = r._isDrawingStroke = true;
  r._isFlippedHorizontally = r._isFlippedVertically = true;
  r.invert_clr = r.gray_Scale = r.Sepia = r.excel_binding = r.ctrl_is_visible = true;
  r._fillColor = CRDColor::rgb(1, 0, 0.5, 0.5);
  r._strokeColor = CRDColor::white(0.25, 100, CRDColor::Space::Device_White);
  r._fill_Grad_clr1 = CRDColor::rgb(0.1, 0.2, 0.3, 1, CRDColor::Space::Device_RGB);
  r._fill_Grad_clr2 = CRDColor::white(2.0 / 3.0);
  r._fill_htch_clr = CRDColor::rgb(0.9, 0.8, 0.7, 0.6);
  r.txt_clr = CRDColor::rgb(0.3, 0.3, 0.9);
  r.barcode_hdr_clr_val = CRDColor::rgb(0.11, 0.12, 0.13);
  r.barcode_ftr_clr_val = CRDColor::rgb(0.21, 0.22, 0.23);
  r.barcode_val_clr_val = CRDColor::rgb(0.31, 0.32, 0.33);
  r.barcode_back_clr_val = CRDColor::white(0.9, 0.5);
  r.barcode_clr_val = CRDColor::white(0.1);
  r._strokeWidth = 0.1;
  r._fill_grad_angle = 33.3;
  r._stroke_border_type = "DDD";
  r._fill_type = "G";
  r._fill_hatch_type = "Hatch 3";
  r._file_path = "/pictures/party.png";
  r.sign_or_fingureprint = "F";
  r.batch_list_name = "Guests";
  r._shape_type = "DS";
  r.linear_font_val = "4006381333931";
  r.two_d_font_val = "https://example.org";
  r.header_val = "Top";
  r.footer_val = "Bottom";
  r.dpi_custom_val = "600";
  r.control_ID = "PARTY_TITLE";
  r.Text_Value = "Happy birthday, dear friend";
  r.img_trnsp_val = 50.5f;
  r.hue_val = 0.25f;
  r.sat_val = 1.5f;
  r.brt_val = -0.125f;
  r.con_val = 1.25f;
  r.srp_val = 0.75f;
  r.ev_val = -1.5f;
  r.blr_val = 3.5f;
  r.rotate_image = 45.9f;
  r.cor_rad_val_val = 12.5f;
  r.alpha_val = 0.6f;
  r.alpha_val_stroke = 0.7f;
  r.linear_height_val = 0.8f;
  r.linear_width_val = 21.f;
  r.hdr_margin_val = 0.2f;
  r.ftr_margin_val = 0.3f;
  r.val_margin_val = 0.4f;
  r.TB_marging_val = 0.5f;
  r.LR_margin_val = 0.6f;
  r.text_kerning = 2.5f;
  int n = 1;
  for (int R::*m :
       {&R::data_source_type,    &R::batch_list_index,   &R::_line_ori,        &R::_line_cap_style,
        &R::linear_or_2d,        &R::barcode_font_index, &R::show_hide_hdr,    &R::show_hide_ftr,
        &R::show_hide_val,       &R::show_val_on_top,    &R::align_hdr_index,  &R::align_ftr_index,
        &R::qr_size_val,         &R::qr_version_index,   &R::qr_ec_index,      &R::pdf_hgt_val,
        &R::pdf_wdt_val,         &R::pdf_ec_val,         &R::dm_module_val,    &R::dm_format_index,
        &R::dm_encoding_index,   &R::dpi_val_index,      &R::barcode_unit_val, &R::text_alignmnet,
        &R::text_transfrom_case, &R::print_object,       &R::excel_col_indx,   &R::double_star_type,
        &R::polygon_type})
    r.*m = n++;
  r.text_ctrl_font = Make_Font("TimesNewRomanPS-ItalicMT", 14);
  r.value_font_val = Make_Font("Times New Roman", 10);
  r.header_font_val = Make_Font("Helvetica", 11.5);
  r.footer_font_val = Make_Font("Courier", 9);
  r._Text_contents = std::make_shared<StyledText>(Sample_Styled_Text());
  r._barcode_image = Sample_Picture();
}

std::shared_ptr<CRDGraphic> Filled(const QString& class_name) {
  std::shared_ptr<CRDGraphic> g = Make_Bare_Graphic(class_name);
  Fill(*g);
  return g;
}

}  // namespace test_support
