#include "barcode/Barcode_Settings_Copy.h"

#include "model/CRDGraphic.h"

#include <tuple>

void Copy_Barcode_Settings(const CRDGraphic& from, CRDGraphic& to) {
  using G = CRDGraphic;
  static constexpr auto fields = std::make_tuple(
      &G::linear_or_2d, &G::barcode_font_index, &G::linear_font_val, &G::two_d_font_val,
      &G::header_val, &G::footer_val, &G::show_hide_hdr, &G::show_hide_ftr, &G::show_hide_val,
      &G::show_val_on_top, &G::align_hdr_index, &G::align_ftr_index, &G::linear_height_val,
      &G::linear_width_val, &G::qr_size_val, &G::qr_version_index, &G::qr_ec_index,
      &G::pdf_hgt_val, &G::pdf_wdt_val, &G::pdf_ec_val, &G::dm_module_val, &G::dm_format_index,
      &G::dm_encoding_index, &G::hdr_margin_val, &G::ftr_margin_val, &G::val_margin_val,
      &G::TB_marging_val, &G::LR_margin_val, &G::value_font_val, &G::header_font_val,
      &G::footer_font_val, &G::barcode_hdr_clr_val, &G::barcode_ftr_clr_val,
      &G::barcode_val_clr_val, &G::barcode_back_clr_val, &G::barcode_clr_val, &G::dpi_val_index,
      &G::dpi_custom_val);
  static_assert(std::tuple_size_v<decltype(fields)> == 38);
  if (&from == &to) return;
  std::apply([&](auto... field) { ((to.*field = from.*field), ...); }, fields);
}
