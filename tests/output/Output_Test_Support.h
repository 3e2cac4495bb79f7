#pragma once
// Helpers of the output tests: bound graphics, series files and PNG checks by independent
// readers (pngcheck, Pillow).

#include "barcode/Barcode_Designer.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDText.h"
#include "model/Shared_Design_State.h"
#include "series/Data_Series_Store.h"
#include "support/Test_Support.h"

#include <QDir>
#include <QFile>

namespace output_test {

inline void Write_Series(const QString& name, const QByteArray& content) {
  QDir().mkpath(Data_Folder_Path);
  QFile file(Series_Path(name));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(content);
}

template <class Kind>
std::shared_ptr<CRDGraphic> Bound(int source, const QString& series = {}, int column = 0,
                                  QRectF bounds = QRectF(10, 10, 100, 40)) {
  auto graphic = std::make_shared<Kind>();
  graphic->data_source_type = source;
  graphic->batch_list_name = series;
  graphic->batch_list_index = int(Get_datasheet_File_Name_Array().indexOf(series));
  graphic->excel_col_indx = column;
  graphic->setBounds(bounds);
  return graphic;
}

// A barcode of the symbology, bound to the series.
inline std::shared_ptr<CRDGraphic> Bound_Barcode(const QString& symbology, const QString& series) {
  auto graphic = Bound<CRDBarcode>(1, series);
  Barcode_Designer designer;
  designer.Select_Symbology(symbology);
  designer.Set_Control_Prop_To_Barcode(*graphic);
  graphic->header_val.clear();
  graphic->footer_val.clear();
  return graphic;
}

inline QString Text_Of(const std::shared_ptr<CRDGraphic>& graphic) {
  return graphic->Text_contents()->string();
}

// The file passes pngcheck and Pillow reads it; answers Pillow's "mode WxH".
inline QString Checked_Png(const QString& path) {
  using namespace test_support;
  const Process_Result check = Run_Program(QStringLiteral("pngcheck"), {QStringLiteral("-q"), path});
  EXPECT_EQ(check.exit_code, 0) << path << check.out.toStdString();
  const Process_Result pil = Run_Program(
      System_Python(),
      {QStringLiteral("-c"),
       QStringLiteral("import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1])\n"
                      "im.load()\nprint(im.mode, '%dx%d' % im.size)"),
       path});
  EXPECT_EQ(pil.exit_code, 0) << pil.err.toStdString();
  return QString::fromUtf8(pil.out).trimmed();
}

}  // namespace output_test
