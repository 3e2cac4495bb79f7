#pragma once
// Helpers of the output tests: bound graphics, series files and picture file checks by
// independent readers (pngcheck, Pillow, file).

#include "barcode/Barcode_Designer.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDText.h"
#include "model/Shared_Design_State.h"
#include "series/Data_Series_Store.h"
#include "support/Test_Support.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

// What independent readers find in a picture file: Pillow's format, mode, size, resolution
// (its "dpi", rounded), two pixels as RGBA and a JPEG's quantisation tables; TIFF's
// resolution fields; and the first words of file(1)'s description.
struct Picture_File_Facts {
  QString format, mode;
  QSize size;
  QSize dpi;           // (0, 0) when the file states none
  int tiff_unit = 0;   // ResolutionUnit: 2 inch, 3 centimetre
  double tiff_x = 0, tiff_y = 0;  // XResolution, YResolution
  QColor corner, centre;  // pixels (0, 0) and (w / 2, h / 2)
  QString jpeg_tables;    // a JPEG's quantisation tables as JSON; "null" for other types
  QString file_says;
};

inline Picture_File_Facts Read_Picture_File(const QString& path) {
  using namespace test_support;
  Picture_File_Facts facts;
  const Process_Result pil = Run_Program(
      System_Python(),
      {QStringLiteral("-c"), QStringLiteral(R"(
import json, sys
from PIL import Image
im = Image.open(sys.argv[1])
im.load()
dpi = im.info.get('dpi', (0, 0))
tags = getattr(im, 'tag_v2', {})
rgba = im.convert('RGBA')
w, h = im.size
print(json.dumps({'format': im.format, 'mode': im.mode, 'size': [w, h],
                  'dpi': [round(float(dpi[0])), round(float(dpi[1]))],
                  'unit': int(tags.get(296, 0)), 'x': float(tags.get(282, 0)),
                  'y': float(tags.get(283, 0)),
                  'corner': list(rgba.getpixel((0, 0))),
                  'centre': list(rgba.getpixel((w // 2, h // 2))),
                  'tables': json.dumps(getattr(im, 'quantization', None) and
                                       {str(k): list(v) for k, v in im.quantization.items()},
                                       sort_keys=True)}))
)"),
       path});
  EXPECT_EQ(pil.exit_code, 0) << path << pil.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(pil.out).object();
  facts.format = o["format"].toString();
  facts.mode = o["mode"].toString();
  facts.size = QSize(o["size"][0].toInt(), o["size"][1].toInt());
  facts.dpi = QSize(o["dpi"][0].toInt(), o["dpi"][1].toInt());
  facts.tiff_unit = o["unit"].toInt();
  facts.tiff_x = o["x"].toDouble();
  facts.tiff_y = o["y"].toDouble();
  auto colour = [](const QJsonValue& v) {
    return QColor(v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt());
  };
  facts.corner = colour(o["corner"]);
  facts.centre = colour(o["centre"]);
  facts.jpeg_tables = o["tables"].toString();
  const Process_Result file =
      Run_Program(QStringLiteral("file"), {QStringLiteral("-b"), path});
  facts.file_says = QString::fromUtf8(file.out).trimmed();
  return facts;
}

// The quantisation tables a colour JPEG written by libjpeg at `quality` carries, as
// Read_Picture_File gives them: Pillow writes one and reads it back.
inline QString Jpeg_Tables_At_Quality(int quality) {
  using namespace test_support;
  const Process_Result pil = Run_Program(
      System_Python(),
      {QStringLiteral("-c"), QStringLiteral(R"(
import io, json, sys
from PIL import Image
out = io.BytesIO()
Image.new('RGB', (16, 16), (200, 30, 30)).save(out, 'JPEG', quality=int(sys.argv[1]))
im = Image.open(io.BytesIO(out.getvalue()))
print(json.dumps({str(k): list(v) for k, v in im.quantization.items()}, sort_keys=True))
)"),
       QString::number(quality)});
  EXPECT_EQ(pil.exit_code, 0) << pil.err.toStdString();
  return QString::fromUtf8(pil.out).trimmed();
}

// Within a few steps of each other in every channel (lossy JPEG).
inline bool Near(const QColor& a, const QColor& b, int steps = 6) {
  return std::abs(a.red() - b.red()) <= steps && std::abs(a.green() - b.green()) <= steps &&
         std::abs(a.blue() - b.blue()) <= steps && std::abs(a.alpha() - b.alpha()) <= steps;
}

}  // namespace output_test
