// A design file as the window opens it: the property list read from the file, then the
// array checked into design contents. Whatever is accepted is written again.

#include "Fuzz_Support.h"
#include "model/Graphic_Kinds.h"
#include "platform/Property_List.h"
#include "window/Card_Side_Settings.h"
#include "window/Design_File.h"

#include <QFile>

using namespace design_file;

QList<QByteArray> Fuzz_Seeds() {
  Design_Contents empty;
  Reset_Card_Property(empty.front, QFont(QStringLiteral("Arial"), 14), CRDColor::blackColor());
  Reset_Card_Property(empty.back, QFont(QStringLiteral("Arial"), 14), CRDColor::blackColor());
  empty.front.Card_Size = QSizeF(243, 153.5);
  Design_Contents full = empty;
  full.front.Card_fill_style = QStringLiteral("G");
  full.back.Card_fill_style = QStringLiteral("I");
  full.back.Card_BG_Image_Path = QStringLiteral("/pictures/sand <1>.png");
  full.excel_binding_use = true;
  full.excel_source_path = QStringLiteral("/data/guests.xlsx");
  full.column_titles = {QStringLiteral("Row No."), QStringLiteral("Name")};
  full.rows = {{{"Extension", "1"}, {"Column1", "Ann"}}, {{"Extension", "2"}, {"Column1", ""}}};
  for (const char* kind : {"Shape_Control", "CRDLine", "CRDText", "CRDImage", "CRDSignature",
                           "CRDBarcode"}) {
    if (auto g = Make_Bare_Graphic(QString::fromLatin1(kind))) {
      full.front_graphics.push_back(g);
      full.back_graphics.push_back(Make_Bare_Graphic(QString::fromLatin1(kind)));
    }
  }
  QList<QByteArray> seeds;
  for (const Design_Contents* d : {&empty, &full}) {
    const plist::Value root(Design_To_Array(*d));
    seeds << plist::Write_Xml_Direct(root) << plist::Write(root, plist::Format::Binary);
  }
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = fuzz::Write_File(QStringLiteral("design.dcard"), data, size);
  if (const std::optional<Design_Contents> design = Read_Design_File(path))
    plist::Write_Xml_Direct(plist::Value(Design_To_Array(*design)));
  QFile::remove(path);
  return 0;
}
