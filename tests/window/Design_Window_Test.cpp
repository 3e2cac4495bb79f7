// The design window: start-up, canvas size, tools and placement, side views and refresh,
// the sidebar's tabs, and the sheets and boxes it shows for output.

#include "model/CRDBarcode.h"
#include "model/CRDDocument.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "series/SpreadsheetWriter.h"
#include "support/Test_Support.h"
#include "window/Tool_Placement.h"
#include "window/Window_Files.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Open_Export_Log.h"
#include "window/ui/PleaseWait_Modeless.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QApplication>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

QStringList combo_items(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

QList<QWidget*> tab_pages(const QTabWidget* tabs) {
  QList<QWidget*> pages;
  for (int i = 0; i < tabs->count(); ++i) pages << tabs->widget(i);
  return pages;
}

class Design_Window : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    ASSERT_TRUE(scratch.isValid());
    folder = scratch.filePath(QStringLiteral("Lumigrove"));
  }
  std::unique_ptr<CRDWindowController> make() {
    return std::make_unique<CRDWindowController>(&document, folder);
  }
  // Puts `count` new shapes on a side of the document.
  void add_shapes(CRDDocument::Side side, int count) {
    for (int i = 0; i < count; ++i)
      ASSERT_TRUE(document.insertGraphics(side, {std::make_shared<Shape_Control>()}, {0}));
  }

  platform::Scoped_Scripted_Platform platform;
  CRDDocument document;
  QTemporaryDir scratch;
  QString folder;
};

TEST_F(Design_Window, StartsWithFoldersCardTabsAndTheStartCanvas) {
  auto window = make();
  EXPECT_EQ(Main_App_wnd, window.get());
  EXPECT_EQ(CRDWindowController::defaultInstance(), window.get());
  EXPECT_EQ(Window_Services(), window.get());
  EXPECT_TRUE(platform.messages.isEmpty());
  EXPECT_FALSE(platform.terminated.has_value());

  EXPECT_TRUE(window->isVisible());
  // 1000 x 800 at (100, 0) where the screen's free area allows, always inside it.
  const QRect available = window->screen()->availableGeometry();
  EXPECT_TRUE(available.contains(window->frameGeometry()));
  EXPECT_EQ(window->frameGeometry().size(), QSize(1000, 800).boundedTo(available.size()));
  EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);

  EXPECT_EQ(Resource_Path, QDir::cleanPath(folder));
  EXPECT_EQ(Data_Folder_Path, Resource_Path + QStringLiteral("/DataSet"));
  for (const char* sub :
       {"DataSet", "Background", "Fill_Style_Image", "LibraryImage", "Templates/User"})
    EXPECT_TRUE(QFileInfo(Resource_Path + QLatin1Char('/') + QLatin1String(sub)).isDir()) << sub;

  // The card's own tabs, the first one chosen; the object pages wait outside.
  EXPECT_EQ(
      tab_pages(window->sett_tab),
      (QList<QWidget*>{window->card_setting_tab, window->card_bkgd_tab, window->card_brdr_tab}));
  EXPECT_EQ(window->sett_tab->currentIndex(), 0);
  EXPECT_TRUE(window->Last_Selected_Graphic.expired());
  EXPECT_EQ(window->sett_tab->indexOf(window->line_tab), -1);
  EXPECT_EQ(window->line_tab->objectName(), QStringLiteral("line_tab"));

  for (QWidget* canvas :
       {window->_graphicView, window->_graphicView_BACK, window->_graphicView_TEMP})
    EXPECT_EQ(canvas->size(), QSize(243, 154)) << canvas->objectName();
  EXPECT_EQ(window->Front_Canvas_Bounds(), QRectF(0, 0, 243, 154));
  EXPECT_EQ(window->Front_card_Prop.Card_Size, QSizeF(243, 154));
  EXPECT_FALSE(window->first_view->isHidden());
  EXPECT_TRUE(window->second_view->isHidden());
  EXPECT_TRUE(window->temp_design_view->isHidden());

  EXPECT_EQ(window->Selected_Control_Tool, 0);
  EXPECT_FALSE(Not_Draw_Only_Prop_Change);

  // Controls of the card and object pages.
  EXPECT_EQ(window->ListData->rowCount(), 7);
  EXPECT_EQ(window->Get_Item_Text(0), QStringLiteral("CR80-Credit Card Size"));
  EXPECT_TRUE(window->ColList->selectionModel()->isRowSelected(0, {}));
  // Start-up starts a new design: the card controls show the default side.
  EXPECT_EQ(window->Card_image_layout->currentText(), QStringLiteral("Stretch"));
  EXPECT_EQ(window->Sides_ComboBox->currentIndex(), 0);
  EXPECT_EQ(window->Preset_ComboBox->currentIndex(), 0);
  EXPECT_EQ(window->Category_ComboBox->currentText(), QStringLiteral("PVC Card"));
  EXPECT_EQ(combo_items(window->Text_Date_style), CRDWindowController::Date_Formats());
  EXPECT_EQ(combo_items(window->Text_Time_style), CRDWindowController::Time_Formats());
  EXPECT_EQ(window->Text_Date_style->currentText(), QStringLiteral("M-d-yyyy"));
  EXPECT_EQ(window->Text_Time_style->currentText(), QStringLiteral("h:mm:ss a"));
  EXPECT_EQ(window->Card_bor_Stepper->value(), 1);
  EXPECT_EQ(window->Card_border_style->currentData().toString(), QStringLiteral("S"));
  const QStringList patterns =
      Get_Files_Array_At_Path(Resource_Path + QStringLiteral("/Fill_Style_Image"));
  ASSERT_FALSE(patterns.isEmpty());
  EXPECT_EQ(combo_items(window->Card_hatch_style), patterns);
  EXPECT_EQ(combo_items(window->shape_hatch_style), patterns);
  EXPECT_EQ(window->Card_hatch_style->currentIndex(), 0);
  EXPECT_EQ(window->shape_hatch_style->currentIndex(), 0);

  window.reset();
  EXPECT_EQ(Main_App_wnd, nullptr);
  EXPECT_EQ(Window_Services(), nullptr);
}

TEST_F(Design_Window, ResourceFolderThatCannotBeMadeEndsTheProgram) {
  QFile blocker(scratch.filePath(QStringLiteral("file")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  folder = blocker.fileName() + QStringLiteral("/Lumigrove");
  Reset_Shared_Design_State();

  auto window = make();
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_TRUE(platform.messages[0].contains(QStringLiteral("data file")));
  EXPECT_EQ(platform.terminated, 1);
  // Nothing after the folder ran: no folder, all pages still in the sidebar.
  EXPECT_EQ(Resource_Path, QString());
  EXPECT_EQ(window->sett_tab->count(), 15);
}

TEST_F(Design_Window, EmptyHatchFolderLeavesBothHatchListsEmpty) {
  QTemporaryDir nothing_shipped;
  const QByteArray previous = qgetenv("LUMIGROVE_RESOURCES");
  qputenv("LUMIGROVE_RESOURCES", nothing_shipped.path().toUtf8());
  auto window = make();
  if (previous.isEmpty())
    qunsetenv("LUMIGROVE_RESOURCES");
  else
    qputenv("LUMIGROVE_RESOURCES", previous);

  EXPECT_EQ(window->Card_hatch_style->count(), 0);
  EXPECT_EQ(window->shape_hatch_style->count(), 0);
  EXPECT_EQ(window->Card_hatch_style->currentIndex(), -1);
  EXPECT_EQ(window->shape_hatch_style->currentIndex(), -1);
}

TEST_F(Design_Window, CanvasesChangeSizeOnlyThroughTheCanvasSize) {
  auto window = make();
  window->Set_Document_Size(QSizeF(500, 300));
  EXPECT_EQ(window->_graphicView->size(), QSize(243, 154));

  window->SetDocumentCanvasSize(QSizeF(500, 300));
  for (QWidget* canvas :
       {window->_graphicView, window->_graphicView_BACK, window->_graphicView_TEMP})
    EXPECT_EQ(canvas->size(), QSize(500, 300)) << canvas->objectName();

  window->Set_Card_Size_In_Control(QSizeF(85.598, 54.102));
  EXPECT_NEAR(window->width_Stepper->value(), 85.598, 1e-3);
  EXPECT_NEAR(window->height_Stepper->value(), 54.102, 1e-3);
  EXPECT_EQ(window->width_Text->text(), QStringLiteral("85.598"));
  EXPECT_EQ(window->height_Text->text(), QStringLiteral("54.102"));
}

TEST_F(Design_Window, NewObjectsCascadeDownTheStartCanvas) {
  auto window = make();
  const QPointF expected[] = {{30, 30},  {50, 50},  {70, 70},  {90, 90}, {110, 10}, {130, 30},
                              {150, 50}, {170, 70}, {190, 90}, {10, 10}, {30, 30}};
  for (const QPointF& point : expected) {
    EXPECT_EQ(window->Control_New_Point(QStringLiteral("F")), point);
    EXPECT_EQ(QPointF(last_ctrl_X, last_ctrl_Y), point);
  }
}

TEST_F(Design_Window, BackSideStepsByItsOwnCountAndWrapsOnTheFrontCanvas) {
  auto window = make();
  add_shapes(CRDDocument::Side::Back, 25);
  add_shapes(CRDDocument::Side::Front, 3);
  EXPECT_EQ(window->Control_New_Point(QStringLiteral("B")), QPointF(35, 35));
  EXPECT_EQ(window->Control_New_Point(QStringLiteral("B")), QPointF(60, 60));
  EXPECT_EQ(window->Control_New_Point(QStringLiteral("F")), QPointF(80, 80));
  EXPECT_EQ(window->Control_New_Point(QStringLiteral("B")), QPointF(105, 10));  // 154 - 50
  // The front canvas, not the back one, decides where positions wrap.
  window->_graphicView_BACK->setFrameSize(QSizeF(1000, 1000));
  EXPECT_EQ(window->Control_New_Point(QStringLiteral("B")), QPointF(130, 35));
  EXPECT_EQ(window->Control_New_Point(QStringLiteral("B")), QPointF(155, 60));
  EXPECT_EQ(window->Control_New_Point(QStringLiteral("B")), QPointF(180, 85));
  EXPECT_EQ(window->Control_New_Point(QStringLiteral("B")), QPointF(10, 10));
}

TEST_F(Design_Window, SideListsComeFromTheDocument) {
  auto window = make();
  EXPECT_TRUE(window->Get_Back_Controls_Array().empty());
  EXPECT_EQ(window->Get_Back_Control_Count(), 0u);

  add_shapes(CRDDocument::Side::Front, 2);
  add_shapes(CRDDocument::Side::Back, 1);
  add_shapes(CRDDocument::Side::Temp, 3);
  EXPECT_EQ(&window->Get_Front_Controls_Array(), &document.graphics());  // the live list
  EXPECT_EQ(&window->Get_Back_Controls_Array(), &document.graphics_back());
  EXPECT_EQ(window->Get_Front_Control_Count(), 2u);
  EXPECT_EQ(window->Get_Back_Control_Count(), 1u);
  EXPECT_EQ(window->Get_Temp_Control_Count(), 3u);

  // The temporary list is copied: later changes of the side leave each copy alone.
  Graphic_List first = window->Get_Temp_Controls_Array();
  const Graphic_List second = window->Get_Temp_Controls_Array();
  ASSERT_TRUE(document.removeGraphicsAtIndexes(CRDDocument::Side::Temp, {0, 1}));
  first.pop_back();
  EXPECT_EQ(first.size(), 2u);
  EXPECT_EQ(second.size(), 3u);
  EXPECT_EQ(window->Get_Temp_Control_Count(), 1u);

  window->setDocument(nullptr);
  EXPECT_TRUE(window->Get_Front_Controls_Array().empty());
  EXPECT_EQ(window->Get_Temp_Control_Count(), 0u);
}

TEST_F(Design_Window, SeriesInUseLooksAtTheDocumentsSides) {
  auto window = make();
  ASSERT_TRUE(QDir().mkpath(Data_Folder_Path));
  QFile series(Data_Folder_Path + QStringLiteral("/Names.txt"));
  ASSERT_TRUE(series.open(QIODevice::WriteOnly));
  series.close();
  auto text = std::make_shared<CRDText>();
  text->data_source_type = 1;
  text->batch_list_name = QStringLiteral("Names");
  ASSERT_TRUE(document.insertGraphics(CRDDocument::Side::Back, {text}, {0}));

  CARD_SIDE_STR = QStringLiteral("1");
  EXPECT_FALSE(window->Check_Batch_File_In_Use_Validation(QStringLiteral("Names")));
  CARD_SIDE_STR = QStringLiteral("2");
  EXPECT_TRUE(window->Check_Batch_File_In_Use_Validation(QStringLiteral("Names")));
  EXPECT_EQ(window->Get_datasheet_File_Name_Array(), QStringList{QStringLiteral("Names")});
}

TEST_F(Design_Window, SpreadsheetUnpackFolderIsRemovedWithItsContents) {
  auto window = make();
  const QString unpack = Excel_Unpack_Folder();
  ASSERT_FALSE(unpack.isEmpty());
  ASSERT_TRUE(QDir().mkpath(unpack + QStringLiteral("/xl/worksheets")));
  QFile part(unpack + QStringLiteral("/xl/worksheets/sheet1.xml"));
  ASSERT_TRUE(part.open(QIODevice::WriteOnly));
  part.close();
  window->Delete_Excel_File_Temp_Folder();
  EXPECT_FALSE(QFileInfo::exists(unpack));
  window->Delete_Excel_File_Temp_Folder();  // already gone: nothing happens
  EXPECT_TRUE(platform.messages.isEmpty());
}

TEST(Cascade, StepFollowsTheObjectCountAndWrapsOnTheFrontCanvas) {
  const QSizeF start(243, 154);
  struct Case {
    const char* what;
    qsizetype count;
    QSizeF canvas;
    QPointF last;
    QPointF next;
  };
  const Case cases[] = {
      {"empty side", 0, start, {10, 10}, {30, 30}},
      {"three objects still step 20", 3, start, {10, 10}, {30, 30}},
      {"25 objects step 25", 25, QSizeF(600, 600), {10, 10}, {35, 35}},
      {"x wraps alone", 20, start, {173, 10}, {10, 30}},
      {"y wraps alone", 20, start, {10, 84}, {30, 10}},
      {"exactly 50 from the edge wraps", 20, QSizeF(130, 130), {60, 59}, {10, 79}},
      {"a wider back-side count, front canvas size", 40, start, {10, 10}, {50, 50}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Next_Cascade_Point(c.count, c.canvas, c.last), c.next);
  }
}

TEST(Tools, ClassesAndFramesOfTheToolButtons) {
  const struct {
    int tool;
    const char* kind;
    QSizeF frame;
  } cases[] = {
      {0, "", {50, 50}},
      {1, "CRDLine", {50, 50}},
      {2, "CRDText", {50, 50}},
      {3, "Shape_Control", {50, 50}},
      {7, "Shape_Control", {50, 50}},
      {8, "CRDImage", {50, 50}},
      {9, "CRDImage", {50, 50}},
      {10, "CRDBarcode", {120, 60}},
      {11, "CRDSignature", {100, 50}},
      {12, "CRDSignature", {45, 60}},
      {13, "Shape_Control", {50, 50}},
      {15, "Shape_Control", {50, 50}},
      {16, "", {50, 50}},
      {-1, "", {50, 50}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tool);
    EXPECT_EQ(Tool_Graphic_Class(c.tool), QString::fromLatin1(c.kind));
    EXPECT_EQ(Tool_Frame_Size(c.tool), c.frame);
  }
}

TEST_F(Design_Window, EveryToolButtonEndsWithTheArrowTool) {
  auto window = make();
  // The tools of the palette (the grid buttons below them are no tools).
  const QList<QToolButton*> buttons =
      window->findChild<QWidget*>(QStringLiteral("Tool_Palette"))
          ->findChildren<QToolButton*>(QRegularExpression(QStringLiteral("_Tool_btn$")));
  ASSERT_EQ(buttons.size(), 16);
  for (QToolButton* button : buttons) {
    SCOPED_TRACE(button->objectName().toStdString());
    QSignalSpy announced(window.get(), &CRDWindowController::Selected_Tool_Did_Change);
    button->click();
    EXPECT_EQ(window->Selected_Control_Tool, 0);
    // The tool's own announcement, then the arrow's from the sidebar.
    EXPECT_EQ(announced.count(), 2);
  }

  // While panels are being filled the sidebar does nothing, so the tool stays.
  Not_Draw_Only_Prop_Change = true;
  window->Star_Tool_Clicked();
  EXPECT_EQ(window->Selected_Control_Tool, 13);
  EXPECT_EQ(window->currentGraphicClass(), QStringLiteral("Shape_Control"));
  Not_Draw_Only_Prop_Change = false;
}

TEST_F(Design_Window, SideViewsSwitchInTheDesignArea) {
  auto window = make();
  QWidget* area = window->myTargetView;
  const QSize view_size = area->size();

  window->changeViewController(1);
  EXPECT_FALSE(window->second_view->isHidden());
  EXPECT_TRUE(window->first_view->isHidden());
  EXPECT_EQ(window->second_view->size(), view_size);

  window->changeViewController(3);
  window->changeViewController(-1);
  EXPECT_FALSE(window->second_view->isHidden());
  EXPECT_TRUE(window->first_view->isHidden());
  EXPECT_TRUE(window->temp_design_view->isHidden());

  window->changeViewController(2);
  EXPECT_FALSE(window->temp_design_view->isHidden());
  EXPECT_TRUE(window->second_view->isHidden());

  window->changeViewController(0);
  EXPECT_FALSE(window->first_view->isHidden());
  EXPECT_TRUE(window->temp_design_view->isHidden());
  EXPECT_EQ(window->first_view->size(), view_size);
  EXPECT_EQ(window->first_view->parentWidget(), area);
  EXPECT_EQ(window->_graphicView->size(), QSize(243, 154));

  // The shown view follows the design area.
  window->resize(1200, 900);
  QCoreApplication::processEvents();
  EXPECT_EQ(window->first_view->geometry(), area->rect());
}

class Paint_Counter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(Design_Window, RefreshRedrawsTheCurrentSideExceptDuringBatchExport) {
  auto window = make();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  Paint_Counter front, back;
  window->_graphicView->installEventFilter(&front);
  window->_graphicView_BACK->installEventFilter(&back);
  auto settle = [] {
    QCoreApplication::processEvents();
    QTest::qWait(20);
  };
  settle();
  front.paints = back.paints = 0;

  Card_Value_In_Process = true;
  window->Refresh_Canvas();
  settle();
  EXPECT_EQ(front.paints, 0);

  Card_Value_In_Process = false;
  window->Refresh_Canvas();
  settle();
  EXPECT_GT(front.paints, 0);

  // The back side current: its canvas, never the front one.
  window->changeViewController(1);
  settle();
  front.paints = back.paints = 0;
  Card_Front_Or_Back = 1;
  window->Refresh_Canvas();
  settle();
  EXPECT_GT(back.paints, 0);
  EXPECT_EQ(front.paints, 0);
}

TEST_F(Design_Window, SidebarShowsTheTabsOfEachKind) {
  auto window = make();
  auto shape = [](const char* code, bool locked = false) {
    auto graphic = std::make_shared<Shape_Control>();
    graphic->_shape_type = QString::fromLatin1(code);
    graphic->ctrl_is_locked = locked;
    return std::shared_ptr<CRDGraphic>(graphic);
  };
  auto signature = [](const char* kind, bool locked = false) {
    auto graphic = std::make_shared<CRDSignature>();
    graphic->sign_or_fingureprint = QString::fromLatin1(kind);
    graphic->ctrl_is_locked = locked;
    return std::shared_ptr<CRDGraphic>(graphic);
  };
  auto locked_text = std::make_shared<CRDText>();
  locked_text->ctrl_is_locked = true;

  CRDWindowController& w = *window;
  struct Case {
    const char* what;
    std::shared_ptr<CRDGraphic> graphic;
    QList<QWidget*> pages;
    QStringList labels;
    const char* kind_code;
  };
  const Case cases[] = {
      {"text",
       std::make_shared<CRDText>(),
       {w.text_edtng_tab, w.text_prop_tab, w.datasource_tab, w.aligmnt_tab},
       {"Text", "Text Properties", "Text Source", "Alignment"},
       "T"},
      {"picture",
       std::make_shared<CRDImage>(),
       {w.datasource_tab, w.image_tab, w.aligmnt_tab},
       {"Image Source", "Image", "Alignment"},
       "I"},
      {"line",
       std::make_shared<CRDLine>(),
       {w.line_tab, w.aligmnt_tab},
       {"Line", "Alignment"},
       "NONE"},
      {"signature",
       signature("S"),
       {w.sign_tab, w.aligmnt_tab},
       {"Signature Properties", "Alignment"},
       "S"},
      {"barcode",
       std::make_shared<CRDBarcode>(),
       {w.barcode_tab, w.aligmnt_tab},
       {"Barcode", "Alignment"},
       "NONE"},
      {"rounded rectangle",
       shape("RR"),
       {w.shape_tab, w.aligmnt_tab},
       {"Rounded Rectangle Properties", "Alignment"},
       "NONE"},
      {"base class as a shape",
       std::make_shared<CRDGraphic>(),
       {w.shape_tab, w.aligmnt_tab},
       {"Rectangle Properties", "Alignment"},
       "NONE"},
      {"locked rectangle", shape("R", true), {w.Lock_tab}, {"Rectangle Properties"}, "NONE"},
      {"locked fingerprint", signature("F", true), {w.Lock_tab}, {"FingrePrint Properties"}, "F"},
      {"locked text", locked_text, {w.Lock_tab}, {"Text Properties"}, "T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    w.Selected_Control_Tool = 4;
    w.Show_RHS_Properties(c.graphic);
    EXPECT_EQ(tab_pages(w.sett_tab), c.pages);
    QStringList labels;
    for (int i = 0; i < w.sett_tab->count(); ++i) labels << w.sett_tab->tabText(i);
    EXPECT_EQ(labels, c.labels);
    EXPECT_EQ(w.sett_tab->currentIndex(), 0);
    EXPECT_EQ(w.sel_control_name->text(), QString::fromLatin1(c.kind_code));
    EXPECT_EQ(w.Selected_Control_Tool, 0);
    EXPECT_FALSE(Not_Draw_Only_Prop_Change);
  }

  // The object already shown keeps its tabs as they are; the tool still goes back.
  auto text = std::make_shared<CRDText>();
  w.Show_RHS_Properties(text);
  w.sett_tab->setCurrentIndex(2);
  w.Selected_Control_Tool = 3;
  w.Show_RHS_Properties(text);
  EXPECT_EQ(w.sett_tab->currentIndex(), 2);
  EXPECT_EQ(w.Selected_Control_Tool, 0);

  // Back to the card.
  w.Show_RHS_Properties(nullptr);
  EXPECT_EQ(tab_pages(w.sett_tab),
            (QList<QWidget*>{w.card_setting_tab, w.card_bkgd_tab, w.card_brdr_tab}));
  EXPECT_TRUE(w.Last_Selected_Graphic.expired());

  // While panels are being filled nothing changes, not even the tool.
  Not_Draw_Only_Prop_Change = true;
  w.Selected_Control_Tool = 5;
  w.Show_RHS_Properties(text);
  EXPECT_EQ(tab_pages(w.sett_tab),
            (QList<QWidget*>{w.card_setting_tab, w.card_bkgd_tab, w.card_brdr_tab}));
  EXPECT_EQ(w.Selected_Control_Tool, 5);
  Not_Draw_Only_Prop_Change = false;
}

TEST_F(Design_Window, RemovingAllTabsKeepsThePages) {
  auto window = make();
  QPointer<QWidget> page = window->card_bkgd_tab;
  window->Remove_All_Tab_Items();
  EXPECT_EQ(window->sett_tab->count(), 0);
  window->Remove_All_Tab_Items();
  EXPECT_EQ(window->sett_tab->count(), 0);
  QCoreApplication::processEvents();
  EXPECT_FALSE(page.isNull());
}

TEST_F(Design_Window, ExportResultBoxNamesWhatWasWrittenAndOpensIt) {
  auto window = make();
  QFile exported(scratch.filePath(QStringLiteral("Card.png")));
  ASSERT_TRUE(exported.open(QIODevice::WriteOnly));
  exported.close();

  struct Case {
    QString path;
    const char* box_title;
    bool tick;
    bool press_ok;
    bool opened;
  };
  const Case cases[] = {
      {scratch.path(), "Open containing folder.", true, true, true},
      {exported.fileName(), "Open exported file.", true, true, true},
      {exported.fileName(), "Open exported file.", false, true, false},
      {exported.fileName(), "Open exported file.", true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString() + (c.press_ok ? " OK" : " Cancel"));
    Export_File_Path = c.path;
    Export_File_Message = QStringLiteral("Exported 1 card.");
    platform.opened_urls.clear();
    QString title, shown_path, message;
    platform.on_run_modal = [&](QObject* box) {
      auto* result = qobject_cast<Open_Export_Log*>(box);
      EXPECT_NE(result, nullptr);
      title = result->_open_log_chk->text();
      shown_path = result->_open_log_path->text();
      message = result->_open_log_message->text();
      result->_open_log_chk->setChecked(c.tick);
      if (c.press_ok)
        result->OKPressed();
      else
        result->CancelPressed();
      return -1;
    };
    window->Open_Export_File_Box();
    EXPECT_EQ(title, QString::fromLatin1(c.box_title));
    EXPECT_EQ(shown_path, c.path);
    EXPECT_EQ(message, QStringLiteral("Exported 1 card."));
    EXPECT_EQ(platform.opened_urls,
              c.opened ? QList<QUrl>{QUrl::fromLocalFile(c.path)} : QList<QUrl>{});
    EXPECT_TRUE(window->Open_Export_Files->_open_log_chk->isChecked());  // ticked again
    EXPECT_TRUE(window->Open_Export_Files->isHidden());
  }
}

// A result of several paragraphs and a long path (a two-sided card whose back could not be
// written, a bound picture missing deep in its folders): every line can be read, nothing
// overlaps or is cut off; the box grows to the text and scrolls past most of the screen.
TEST_F(Design_Window, TheWholeExportResultCanBeRead) {
  auto window = make();
  const QString deep = "/home/someone/Pictures/" + QString("Guests of the summer party/").repeated(6);
  const QString failed = "1 of 3 cards could not be exported (record 2): " + deep +
                         "Card_2_Back.png could not be written: Permission denied.";
  const QString missing = "The card has been exported, but not whole.\n\nA picture file is "
                          "missing; its frame is empty on every card:\n" + deep + "portrait.png";
  const struct {
    const char* what;
    QString message;
  } cases[] = {
      {"two paragraphs and a long path", failed + "\n\n" + missing},
      {"more lines than the screen holds", (missing + "\n").repeated(40)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Export_File_Path = scratch.path() + "/" + QString("ZELK Festival Greeting Card");
    Export_File_Message = c.message;
    platform.on_run_modal = [&](QObject* box) {
      auto* result = qobject_cast<Open_Export_Log*>(box);
      EXPECT_NE(result, nullptr);
      result->show();
      QApplication::processEvents();
      QLabel* message = result->_open_log_message;
      QLabel* path = result->_open_log_path;
      EXPECT_EQ(message->text(), c.message);
      for (QLabel* label : {message, path}) {
        // Laid out at its full height for its width: no line is cut off.
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->objectName();
        EXPECT_TRUE(label->isVisible());
      }
      EXPECT_LE(message->geometry().bottom(), path->geometry().top()) << "the texts overlap";
      // What the box does not show at once, its scroll bars reach.
      QScrollArea* scroll = result->_open_log_scroll;
      const QSize texts = scroll->widget()->size(), seen = scroll->viewport()->size();
      EXPECT_GE(scroll->verticalScrollBar()->maximum(), texts.height() - seen.height());
      EXPECT_GE(scroll->horizontalScrollBar()->maximum(), texts.width() - seen.width());
      EXPECT_LE(result->frameGeometry().height(), result->screen()->availableGeometry().height());
      result->OKPressed();
      return 1;
    };
    window->Open_Export_File_Box();
  }
}

// The desktop cannot open what was exported (at once, or its opener fails afterwards): the
// user is told, with the folder's or the file's path.
TEST_F(Design_Window, AResultThatCannotBeOpenedSaysWhereItIs) {
  auto window = make();
  const QString file = scratch.filePath(QStringLiteral("Card.png"));
  QFile exported(file);
  ASSERT_TRUE(exported.open(QIODevice::WriteOnly));
  exported.close();
  const QString in_folder =
      "\nThe folder could not be opened: no file manager was found, or it failed.\n\nThe cards "
      "are in the folder\n" + scratch.path();
  const QString as_file =
      "\nThe exported file could not be opened: no program for its type was found, or it "
      "failed.\n\nThe card is the file\n" + file;
  const struct {
    QString path;
    bool at_once;
    QString said;
  } cases[] = {
      {scratch.path(), false, in_folder},
      {scratch.path(), true, in_folder},
      {file, false, as_file},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString() + (c.at_once ? " at once" : " later"));
    platform.messages.clear();
    platform.open_url_failures.clear();
    platform.open_url_result = !c.at_once;
    Export_File_Path = c.path;
    Export_File_Message = QStringLiteral("Card has been exported successfully.");
    platform.on_run_modal = [](QObject* box) {
      qobject_cast<Open_Export_Log*>(box)->OKPressed();
      return 1;
    };
    window->Open_Export_File_Box();
    if (!c.at_once) {
      EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
      ASSERT_EQ(platform.open_url_failures.size(), 1);
      platform.open_url_failures[0]();
    }
    EXPECT_EQ(platform.messages, QStringList{c.said});
  }
}

TEST_F(Design_Window, SheetsCoverTheWindowUntilHidden) {
  auto window = make();
  window->Show_Create_Modeless();
  ASSERT_NE(window->plz_wait_Window, nullptr);
  EXPECT_TRUE(window->plz_wait_Window->isVisible());
  EXPECT_EQ(window->plz_wait_Window->windowModality(), Qt::WindowModal);
  EXPECT_EQ(window->plz_wait_Window->parentWidget(), window.get());
  EXPECT_EQ(window->plz_wait_Window->modeless_msg_lbl->text(),
            QStringLiteral("It may take a while, Please wait.."));
  window->Hide_Destroy_Modeless();
  EXPECT_FALSE(window->plz_wait_Window->isVisible());

  // Without a progress sheet there is nothing to show; with one it comes and goes.
  window->Show_One_By_One_Modeless();
  window->Hide_One_By_One_Modeless();
  auto* progress = new QDialog(window.get());
  window->Send_Models_Window = progress;
  window->Show_One_By_One_Modeless();
  EXPECT_TRUE(progress->isVisible());
  EXPECT_EQ(progress->windowModality(), Qt::WindowModal);
  window->Hide_One_By_One_Modeless();
  EXPECT_FALSE(progress->isVisible());
}

}  // namespace
