// Long and richly styled texts (targets: each under a second, and what is refused is refused
// within 5 s and 256 MB, peak memory measured with /usr/bin/time -v on a filtered run):
// - saving a design whose text holds the most runs a text may, each a style of its own, and
//   opening it again (the styles are found by hash: saving grows with the runs);
// - opening a design of a text of a million runs (4 MB), refused before its runs are made;
// - the natural size of a million characters without a break;
// - selecting such a text, which loads it into the Text panel;
// - refusing to save 10,000 objects sharing one text of a megabyte (a file of 13 GB).

#include "model/CRDDocument.h"
#include "model/CRDText.h"
#include "model/Graphic_Archive.h"
#include "window/Design_File.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Text_Panel.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// A text of `runs` one-character runs in `styles` colours taken in turn.
std::shared_ptr<CRDText> Styled_Text(int runs, int styles) {
  std::vector<Text_Attributes> list(static_cast<size_t>(styles));
  for (int i = 0; i < styles; ++i)
    list[size_t(i)].foreground = CRDColor::rgb(double(i) / styles, 0.5, 0.25);
  std::vector<StyledText::Run> run_list;
  for (int i = 0; i < runs; ++i) run_list.push_back({i, 1, i % styles});
  auto text = std::make_shared<CRDText>();
  text->setBounds(QRectF(10, 10, 200, 50));
  text->_Text_contents =
      std::make_shared<StyledText>(*StyledText::fromRuns(QString(runs, QLatin1Char('x')), list, run_list));
  return text;
}

design_file::Design_Contents Design_Of(Graphic_List graphics) {
  design_file::Design_Contents design;
  design.front.Card_Size = design.back.Card_Size = QSizeF(243, 153);
  design.front_graphics = std::move(graphics);
  return design;
}

void BM_Save_And_Open_Most_Runs(benchmark::State& state) {
  QTemporaryDir dir;
  const QString file = dir.filePath("runs.dcard");
  const auto design = Design_Of({Styled_Text(StyledText::Max_Runs, StyledText::Max_Runs)});
  for (auto _ : state) {
    QString why;
    if (!design_file::Write_Design_File(file, design, &why)) state.SkipWithError("not saved");
    if (!design_file::Read_Design_File(file, &why)) state.SkipWithError("not opened");
  }
  state.counters["bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_Save_And_Open_Most_Runs)->Unit(benchmark::kMillisecond);

void BM_Open_Million_Runs_Refused(benchmark::State& state) {
  QTemporaryDir dir;
  const QString file = dir.filePath("million.dcard");
  {
    // Saved with runs of a thousand characters, then the run list made a million long.
    auto text = Styled_Text(2, 2);
    std::optional<plist::Value> tree = plist::Read(Archive_Graphic(*text));
    plist::Array& objects = *tree->dictionary()->find("$objects")->array();
    const auto at = [&](const plist::Dictionary& d, const char* key) -> plist::Value& {
      return objects[size_t(d.find(QString::fromLatin1(key))->uid()->value)];
    };
    const plist::Dictionary& storage = *at(*objects[1].dictionary(), "_Text_contents").dictionary();
    QByteArray info;
    for (int i = 0; i < 1000 * 1000; ++i) info.append('\x01').append(char(i % 2));
    at(storage, "NSAttributeInfo") = info;
    at(storage, "NSString") = QString(1000 * 1000, QLatin1Char('x'));
    plist::Array array = design_file::Design_To_Array(Design_Of({text}));
    array[size_t(design_file::Front_Count_Index) + 1] = plist::Write(*tree, plist::Format::Binary);
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write(plist::Write_Xml_Direct(plist::Value(array)));
  }
  for (auto _ : state) {
    QString why;
    if (design_file::Read_Design_File(file, &why)) state.SkipWithError("opened");
  }
  state.counters["bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_Open_Million_Runs_Refused)->Unit(benchmark::kMillisecond);

void BM_Natural_Size_Of_A_Million_Characters(benchmark::State& state) {
  CRDText text;
  text.setBounds(QRectF(10, 10, 200, 50));
  text.Text_contents()->replaceCharacters(QString(1000 * 1000, QLatin1Char('x')));
  for (auto _ : state) benchmark::DoNotOptimize(text.naturalSize());
}
BENCHMARK(BM_Natural_Size_Of_A_Million_Characters)->Unit(benchmark::kMillisecond);

void BM_Select_A_Million_Characters(benchmark::State& state) {
  const QtMessageHandler previous = qInstallMessageHandler(Quiet);
  QTemporaryDir dir;
  CRDDocument document;
  auto window = std::make_unique<CRDWindowController>(&document, dir.filePath("Lumigrove"));
  window->resize(1400, 900);
  window->show();
  auto text = std::make_shared<CRDText>();
  text->setBounds(QRectF(10, 10, 200, 50));
  text->Text_contents()->replaceCharacters(QString(1000 * 1000, QLatin1Char('x')));
  document.Enable_Disable_Undo_Registraion(false);
  document.insertGraphics(CRDDocument::Side::Front, {text}, {0});
  for (auto _ : state) {
    window->_graphicView->changeSelectionIndexes({0});
    window->Show_RHS_Properties(text);
    QCoreApplication::processEvents();
    state.PauseTiming();
    window->_graphicView->changeSelectionIndexes({});
    window->Show_RHS_Properties(nullptr);
    window->text_panel->Set_Editor_Text(QString());
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  qInstallMessageHandler(previous);
}
BENCHMARK(BM_Select_A_Million_Characters)->Unit(benchmark::kMillisecond);

void BM_Refuse_Objects_Sharing_A_Megabyte(benchmark::State& state) {
  QTemporaryDir dir;
  auto text = std::make_shared<CRDText>();
  text->Text_contents()->replaceCharacters(QString(1 << 20, QLatin1Char('m')));
  Graphic_List graphics;
  for (int i = 0; i < 10000; ++i) graphics.push_back(text->clone());
  const auto design = Design_Of(std::move(graphics));
  for (auto _ : state) {
    QString why;
    if (design_file::Write_Design_File(dir.filePath("shared.dcard"), design, &why))
      state.SkipWithError("saved");
  }
}
BENCHMARK(BM_Refuse_Objects_Sharing_A_Megabyte)->Unit(benchmark::kMillisecond);

}  // namespace
