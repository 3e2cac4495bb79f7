// The two-dimensional symbols of the barcode designer and their frames.

#include "barcode/Barcode_Designer.h"

#include "barcode/Data_Matrix_Symbol.h"
#include "barcode/QREncoder.h"
#include "model/Common_Functions.h"

#include <algorithm>
#include <exception>

void Barcode_Designer::Draw_QR_Barcode(const QString& value) {
  try {
    const std::unique_ptr<DataMatrix> grid =
        QREncoder::encodeWithECLevel(qr_ec_lvl_ComboBox.index, qr_version_ComboBox.index, value);
    if (grid && grid->dimension() > 0) {
      // An encoded symbol too large to draw says what to lower.
      work_.blank_reason = Too_Large_Reason(QSizeF(HeightStepper_2D, HeightStepper_2D));
      if (!work_.blank_reason.isEmpty()) {
        work_.failure = work_.blank_reason;  // a batch names the records without a barcode
        return;
      }
      Picture picture = QREncoder::renderDataMatrix(grid.get(), HeightStepper_2D, Used_DPI(),
                                                    &work_.failure);
      if (!picture.isNull()) work_.image_2d = std::move(picture);
    }
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
  }
}

void Barcode_Designer::Draw_PDF_417_Barcode(const QString& value) {
  try {
    pdf417View& view = work_.pdf_barcode;
    view.setFrameSize(QSizeF(Pdf_widthStepper_2D, pdf_HeightStepper_2D));
    view.setResolution(Used_DPI());
    // The symbol is made at the level the settings show (and a graphic stores).
    if (view.getErrorLevel() != pdf_ec_lvl_Stepper) view.setErrorLevel(pdf_ec_lvl_Stepper);
    // A frame too large to draw says what to lower.
    work_.blank_reason = Too_Large_Reason(view.frameSize());
    if (!work_.blank_reason.isEmpty()) {
      work_.failure = work_.blank_reason;
      return;
    }
    if (view.drawWithText(value) == pdf417View::kImagePresent) work_.image_2d = view.getImage();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
  }
}

void Barcode_Designer::Draw_DataMatrix_Barcode(const QString& value) {
  try {
    Picture picture = ::Draw_DataMatrix_Barcode(value, dm_format_ComboBox.titleOfSelectedItem(),
                                                dm_encoding_ComboBox.titleOfSelectedItem(),
                                                dm_moduleStepper_2D, Used_DPI());
    if (picture.isNull())
      Set_Blank_Image();
    else
      work_.image_2d = std::move(picture);
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
  }
}

void Barcode_Designer::Set_2d_Barcode_Height(const Picture& symbol) {
  compute_working_margins();
  const float header = hideHeaderCheckbox == 1 ? 0.0f : headerHeight() * 72;
  const float footer = hideFooterCheckbox == 1 ? 0.0f : footerHeight() * 72;
  setHeight(float(symbol.size().height()) + header + header_margin + footer + footer_margin +
            2 * TB_margin);
}

void Barcode_Designer::Set_2d_Barcode_Width(const Picture& symbol) {
  const float header = hideHeaderCheckbox == 1 ? 0.0f : headerWidth();
  const float footer = hideFooterCheckbox == 1 ? 0.0f : footerWidth();
  LR_margin = LR_mar_Stepper * Cm_To_Points;
  float width = std::max({float(symbol.size().width()), header, footer}) + 2 * LR_margin;
  if (LR_margin > 0) width += 15;
  setWidth(width);
}

void Barcode_Designer::Get_2d_barcode_from_image() {
  if (work_.image_2d.isNull()) {
    Set_Blank_Image();
    return;
  }
  if (liner_or_2D_font == 1) Get_Image_From_barcode_image(work_.image_2d);
}
