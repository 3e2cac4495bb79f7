// Saving and opening a design of 1,000 mixed graphics through the design window
// (offscreen): the save writes the whole file, the open replaces another 1,000-graphic
// design (target: under 100 ms each); a design of two real barcode pictures is saved and
// opened again, its file size counted. The XML writers are timed side by side on the
// same array: libplist's (through the property-list layer) and the direct writer.

#include "barcode/Barcode_Designer.h"
#include "model/CRDBarcode.h"
#include "model/CRDDocument.h"
#include "model/Shared_Design_State.h"
#include "platform/Property_List.h"
#include "support/Mixed_Graphics.h"
#include "window/Design_File.h"
#include "window/ui/CRDWindowController.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// A window holding 1,000 mixed graphics on the front side.
struct Design_Window {
  QTemporaryDir dir;
  CRDDocument document;
  std::unique_ptr<CRDWindowController> window;

  Design_Window() {
    window = std::make_unique<CRDWindowController>(&document, dir.filePath("Lumigrove"));
    const Graphic_List graphics = bench_support::Mixed_Graphics(1000);
    QList<int> indexes;
    for (int i = 0; i < int(graphics.size()); ++i) indexes << i;
    document.Enable_Disable_Undo_Registraion(false);
    document.insertGraphics(CRDDocument::Side::Front, graphics, indexes);
    document.Enable_Disable_Undo_Registraion(true);
  }
  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

void BM_Save_Design(benchmark::State& state) {
  const QtMessageHandler previous = qInstallMessageHandler(Quiet);
  Design_Window w;
  Project_File_Name = w.path("design.dcard");
  for (auto _ : state)
    if (!w.window->Save_project_file(false, false)) state.SkipWithError("not saved");
  state.counters["bytes"] = double(QFile(Project_File_Name).size());
  qInstallMessageHandler(previous);
}
BENCHMARK(BM_Save_Design)->Unit(benchmark::kMillisecond);

void BM_Open_Design(benchmark::State& state) {
  const QtMessageHandler previous = qInstallMessageHandler(Quiet);
  Design_Window w;
  const QString file = w.path("design.dcard");
  Project_File_Name = file;
  w.window->Save_project_file(false, false);
  // Another design of as many graphics is open when the file is read.
  for (const auto& graphic : w.document.list(CRDDocument::Side::Front))
    graphic->_bounds.translate(1, 1);
  for (auto _ : state)
    if (w.window->Read_and_load_design_Log(file, QStringLiteral("L")) != 1)
      state.SkipWithError("not opened");
  state.counters["graphics"] = double(w.document.list(CRDDocument::Side::Front).size());
  qInstallMessageHandler(previous);
}
BENCHMARK(BM_Open_Design)->Unit(benchmark::kMillisecond);

// A design of two barcodes as the designer makes them (a QR Code and an EAN-13 at 600 dpi):
// the file's size is the size of their archived pictures.
void BM_Save_And_Open_Two_Barcodes(benchmark::State& state) {
  const QtMessageHandler previous = qInstallMessageHandler(Quiet);
  QTemporaryDir dir;
  CRDDocument document;
  auto window = std::make_unique<CRDWindowController>(&document, dir.filePath("Lumigrove"));
  Graphic_List graphics;
  for (const char* title : {"QR Code", "EAN-13"}) {
    Barcode_Designer designer;
    designer.Select_Symbology(QString::fromLatin1(title));
    auto barcode = std::make_shared<CRDBarcode>();
    barcode->Set_Barcode_image(designer.Get_Image_From_Val(
        QStringLiteral("400638133393"), designer.HeaderText, designer.FooterText));
    graphics.push_back(barcode);
  }
  document.Enable_Disable_Undo_Registraion(false);
  document.insertGraphics(CRDDocument::Side::Front, graphics, {0, 1});
  document.Enable_Disable_Undo_Registraion(true);
  const QString file = dir.filePath("two.dcard");
  for (auto _ : state) {
    Project_File_Name = file;
    if (!window->Save_project_file(false, false)) state.SkipWithError("not saved");
    if (window->Read_and_load_design_Log(file, QStringLiteral("L")) != 1)
      state.SkipWithError("not opened");
  }
  state.counters["bytes"] = double(QFile(file).size());
  qInstallMessageHandler(previous);
}
BENCHMARK(BM_Save_And_Open_Two_Barcodes)->Unit(benchmark::kMillisecond);

// The array of the 1,000-graphic design, built once.
const plist::Value& Design_Array() {
  static const plist::Value array = [] {
    design_file::Design_Contents design;
    design.front.Card_Size = QSizeF(243, 153);  // a credit card
    design.front_graphics = bench_support::Mixed_Graphics(1000);
    return plist::Value(design_file::Design_To_Array(design));
  }();
  return array;
}

void BM_Xml_Writer_libplist(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    const QByteArray xml = plist::Write(Design_Array(), plist::Format::Xml);
    bytes = size_t(xml.size());
  }
  state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_Xml_Writer_libplist)->Unit(benchmark::kMillisecond);

void BM_Xml_Writer_Direct(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    const QByteArray xml = plist::Write_Xml_Direct(Design_Array());
    bytes = size_t(xml.size());
  }
  state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_Xml_Writer_Direct)->Unit(benchmark::kMillisecond);

void BM_Xml_Read(benchmark::State& state) {
  const QByteArray xml = plist::Write_Xml_Direct(Design_Array());
  for (auto _ : state) {
    const auto root = plist::Read(xml);
    if (!root) state.SkipWithError("unreadable");
  }
}
BENCHMARK(BM_Xml_Read)->Unit(benchmark::kMillisecond);

void BM_Design_From_Array(benchmark::State& state) {
  for (auto _ : state) {
    const auto design = design_file::Design_From_Array(Design_Array());
    if (!design) state.SkipWithError("refused");
  }
}
BENCHMARK(BM_Design_From_Array)->Unit(benchmark::kMillisecond);

}  // namespace
