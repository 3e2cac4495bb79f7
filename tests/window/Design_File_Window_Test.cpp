// The design window's file commands with a scripted desktop: Save, Save As, New, Open and
// Exit, the title, damaged files and files that cannot be written.

#include "Window_Fixture.h"

#include "library/ui/Card_Size_Chooser.h"
#include "library/ui/Card_Wizard.h"
#include "model/CRDImage.h"
#include "model/CRDText.h"
#include "model/Shape_Control.h"
#include "model/Fonts.h"
#include "model/Graphic_Archive.h"
#include "model/Shared_Design_State.h"
#include "output/Design_Binding.h"
#include "series/Data_From_Excel.h"
#include "series/Sheet_Import.h"
#include "series/SpreadsheetWriter.h"
#include "series/ui/Import_Excel.h"
#include "support/File_Size_Limit.h"
#include "support/Memory_Limit.h"
#include "support/Sample_Graphics.h"
#include "window/Design_File.h"
#include "window/ui/Data_Source_Panel.h"
#include "window/ui/Text_Panel.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QCheckBox>
#include <QPushButton>
#include <QScopeGuard>

#include <functional>

#include <sys/stat.h>

namespace {

using test_support::Window_Fixture;

// Message boxes start their text on a new line.
const QString Saved = QStringLiteral("\nGreeting Card Design Log has been saved successfully.");
const QString Corrupt = QStringLiteral("\nFile is corrupt and cannot be opened.");

QByteArray File_Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Design_File_Window : public Window_Fixture {
 protected:
  void SetUp() override {
    Window_Fixture::SetUp();
    Data_From_Excel::defaultInstance()->Restore({}, {});
    Data_From_Excel::defaultInstance()->Set_Columns({});
  }
  void TearDown() override {
    Data_From_Excel::defaultInstance()->Set_Columns({});
    Window_Fixture::TearDown();
  }
  QString path(const char* name) const { return scratch.filePath(QString::fromLatin1(name)); }

  // Every kind on both sides, a spreadsheet binding and its table, changed side settings.
  void Fill_Design() {
    const char* kinds[] = {"Shape_Control", "CRDLine",      "CRDText",
                           "CRDImage",      "CRDSignature", "CRDBarcode"};
    document.Enable_Disable_Undo_Registraion(false);
    int i = 0;
    for (const char* kind : kinds) {
      for (auto side : {CRDDocument::Side::Front, CRDDocument::Side::Back}) {
        auto graphic = test_support::Filled(QString::fromLatin1(kind));
        graphic->setBounds(QRectF(10 + 5 * i, 12 + 3 * i, 40, 30));
        ASSERT_TRUE(document.insertGraphics(side, {graphic}, {int(document.list(side).size())}));
      }
      ++i;
    }
    document.Enable_Disable_Undo_Registraion(true);
    Excel_Binding_Use = true;
    Excel_Source_Path = QStringLiteral("/data/guests.xlsx");
    Data_From_Excel* table = Data_From_Excel::defaultInstance();
    table->Set_Columns({QStringLiteral("Name"), QStringLiteral("City")});
    table->Create_List_By_Array({QStringLiteral("Ann"), QStringLiteral("Oslo")}, 2);
    table->Create_List_By_Array({QStringLiteral("Bo"), QStringLiteral("Rome")}, 2);
    window->Front_card_Prop.Card_border_chk = true;
    window->Front_card_Prop.Card_bordr_clr = CRDColor::rgb(0.2, 0.4, 0.6);
    window->Front_card_Prop.Card_Shape = QStringLiteral("RR");
    window->Front_card_Prop.Card_Side = QStringLiteral("1");
    window->Front_card_Prop.Card_Size = QSizeF(300, 200);
    window->Back_card_Prop.Card_fill_chk = true;
    window->Back_card_Prop.Card_fill_style = QStringLiteral("H");
    window->Back_card_Prop.Card_Name = QStringLiteral("Back of the card");
  }

  std::vector<QByteArray> Archives(CRDDocument::Side side) const {
    std::vector<QByteArray> out;
    for (const auto& g : document.list(side)) out.push_back(Archive_Graphic(*g));
    return out;
  }
  plist::Array Design_Array() { return design_file::Design_To_Array(window->Current_Design_Contents()); }

  // Saves through the Save button into a new file.
  void Save_As_New(const QString& file) {
    platform.save_answers.push_back(file);
    window->Save_btn->click();
  }
};

TEST_F(Design_File_Window, SaveNewOpenRestoresTheWholeDesign) {
  Fill_Design();
  const auto front = Archives(CRDDocument::Side::Front);
  const auto back = Archives(CRDDocument::Side::Back);
  const plist::Array before = Design_Array();

  Save_As_New(path("party"));  // the extension is added
  ASSERT_EQ(platform.messages.value(0), Saved);
  EXPECT_EQ(Project_File_Name, path("party.dcard"));
  EXPECT_EQ(window->windowTitle(), window->App_Name + " ( party.dcard )");
  ASSERT_EQ(platform.save_requests.size(), 1);
  EXPECT_EQ(platform.save_requests[0].file_types, QStringList{"dcard"});

  platform.yes_no_answers = {false};
  window->New_btn->click();
  EXPECT_EQ(platform.questions.value(0),
            "Do you want to save changes before opening new document?");
  EXPECT_TRUE(document.list(CRDDocument::Side::Front).empty());
  EXPECT_TRUE(document.list(CRDDocument::Side::Back).empty());
  EXPECT_EQ(window->windowTitle(), window->App_Name);
  EXPECT_TRUE(Project_File_Name.isEmpty());

  Excel_Binding_Use = false;
  Data_From_Excel::defaultInstance()->Set_Columns({});
  platform.yes_no_answers = {false};
  platform.open_answers = {{path("party.dcard")}};
  window->Open_btn->click();
  EXPECT_EQ(platform.questions.value(1), "Do you want to save changes before opening document?");
  ASSERT_EQ(platform.open_requests.size(), 1);
  EXPECT_EQ(platform.open_requests[0].extensions, QStringList{"dcard"});
  EXPECT_EQ(platform.messages.size(), 1) << platform.messages.join('|').toStdString();

  EXPECT_EQ(Archives(CRDDocument::Side::Front), front);
  EXPECT_EQ(Archives(CRDDocument::Side::Back), back);
  const plist::Array after = Design_Array();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) EXPECT_TRUE(after[i] == before[i]) << "element " << i;
  EXPECT_TRUE(Excel_Binding_Use);
  // The objects' data source offers the spreadsheet again.
  EXPECT_NE(window->data_source_panel->Data_source_type->findText(Source_Excel_Item), -1);
  EXPECT_EQ(Data_From_Excel::defaultInstance()->Column_Titles(),
            QStringList({"Row No.", "Name", "City"}));
  EXPECT_EQ(Data_From_Excel::defaultInstance()->Value(1, 2), "Rome");
  EXPECT_EQ(Project_File_Name, path("party.dcard"));
  EXPECT_EQ(window->windowTitle(), window->App_Name + " ( party.dcard )");
  // The outline and the side count follow the front side, and show.
  EXPECT_EQ(Card_Shape.load(), 1);
  EXPECT_EQ(CARD_SIDE_STR, "1");
  EXPECT_EQ(window->Sides_ComboBox->currentIndex(), 1);
  EXPECT_FALSE(window->Back_Side_btn->isEnabled());
  EXPECT_EQ(window->_graphicView->bounds().size(), QSizeF(300, 200));
  // A loaded design starts without undo history.
  EXPECT_FALSE(window->Undo_btn->isEnabled());
  EXPECT_FALSE(Not_Draw_Only_Prop_Change);
}

// The card wizard and the card panel call the paper category by one name, and a bold
// font shows by one name before saving and after reopening.
TEST_F(Design_File_Window, CategoryAndFontKeepOneNameThroughSaveAndOpen) {
  Card_Wizard* wizard = Card_Wizard::defaultInstance();
  platform.on_run_modal = [wizard](QObject* modal) {
    if (modal != wizard) return 0;
    wizard->chooser->Category_ComboBox->setCurrentIndex(1);
    wizard->OK_Click();
    return 0;
  };
  ASSERT_EQ(window->Open_Card_Wizard(), 1);
  platform.on_run_modal = nullptr;
  EXPECT_EQ(wizard->chooser->Category_ComboBox->itemText(1), window->Category_ComboBox->itemText(1));
  EXPECT_EQ(window->Category_ComboBox->currentText(), QStringLiteral("Paper Badge"));

  press_tool("Text_Tool_btn");
  QFont bold = Make_Font(QStringLiteral("Liberation Sans"), 20);
  bold.setBold(true);
  platform.font_answers.push_back(bold);
  window->text_panel->Text_font_btn->click();
  const QString label = window->text_panel->Text_font_value->text();
  EXPECT_EQ(label, QStringLiteral("Liberation Sans Bold ( 20.00 )"));

  Save_As_New(path("badge"));
  platform.yes_no_answers = {false};
  window->New_btn->click();
  EXPECT_EQ(window->Category_ComboBox->currentText(), PVC_Card_Category);
  platform.yes_no_answers = {false};
  platform.open_answers = {{path("badge.dcard")}};
  window->Open_btn->click();
  EXPECT_EQ(window->Category_ComboBox->currentText(), QStringLiteral("Paper Badge"));
  ASSERT_EQ(document.graphics().size(), 1u);
  window->_graphicView->changeSelectionIndexes({0});
  window->Show_RHS_Properties(document.graphics().front());
  EXPECT_EQ(window->text_panel->Text_font_value->text(), label);
}

TEST_F(Design_File_Window, SaveAsCancelledKeepsTheNameAndSaveReusesIt) {
  Save_As_New(path("first.dcard"));
  const QByteArray first = File_Bytes(path("first.dcard"));
  ASSERT_FALSE(first.isEmpty());

  platform.save_answers = {QString()};  // cancelled
  window->SaveAs_btn->click();
  EXPECT_EQ(Project_File_Name, path("first.dcard"));
  EXPECT_EQ(platform.save_requests.size(), 2);
  EXPECT_EQ(platform.messages.size(), 1);  // nothing reported for the cancel

  add_shape(CRDDocument::Side::Front, "R", QRectF(5, 5, 20, 20));
  window->Save_btn->click();  // no panel this time
  EXPECT_EQ(platform.save_requests.size(), 2);
  EXPECT_EQ(platform.messages.value(1), Saved);
  EXPECT_NE(File_Bytes(path("first.dcard")), first);
}

TEST_F(Design_File_Window, OnlyAPictureFillKeepsItsBackgroundPathInMemory) {
  window->Front_card_Prop.Card_fill_style = QStringLiteral("S");
  window->Front_card_Prop.Card_BG_Image_Path = QStringLiteral("/old.png");
  window->Back_card_Prop.Card_fill_style = QStringLiteral("I");
  window->Back_card_Prop.Card_BG_Image_Path = QStringLiteral("/kept.png");
  Save_As_New(path("paths.dcard"));
  EXPECT_TRUE(window->Front_card_Prop.Card_BG_Image_Path.isEmpty());
  EXPECT_EQ(window->Back_card_Prop.Card_BG_Image_Path, "/kept.png");
}

TEST_F(Design_File_Window, DamagedFileChangesNothing) {
  Fill_Design();
  Save_As_New(path("good.dcard"));
  // Some undo history to keep.
  const auto moved = document.list(CRDDocument::Side::Front)[0];
  moved->setBounds(moved->bounds().translated(7, 7));
  ASSERT_TRUE(document.undoManager()->canUndo());
  window->Undo_Redo_Button_state();
  const auto front = Archives(CRDDocument::Side::Front);
  const plist::Array before = Design_Array();
  const QString title = window->windowTitle();

  QByteArray damaged = File_Bytes(path("good.dcard"));
  damaged.replace("ZELKMACBDAYINVITECARD", "ZELKMACBDAYINVITECARD ");
  QByteArray cut = File_Bytes(path("good.dcard"));
  cut.truncate(cut.size() / 2);
  for (const QByteArray& bytes : {damaged, cut, QByteArray("not a property list")}) {
    QFile f(path("bad.dcard"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    platform.messages.clear();
    platform.yes_no_answers = {false};
    platform.open_answers = {{path("bad.dcard")}};
    window->Open_btn->click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages.first().startsWith(Corrupt + "\n\nReason: "))
        << platform.messages.first().toStdString();
    EXPECT_EQ(Archives(CRDDocument::Side::Front), front);
    const plist::Array after = Design_Array();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) EXPECT_TRUE(after[i] == before[i]) << i;
    EXPECT_EQ(Project_File_Name, path("good.dcard"));
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_TRUE(window->Undo_btn->isEnabled());
    EXPECT_TRUE(document.undoManager()->canUndo());
    EXPECT_FALSE(Not_Draw_Only_Prop_Change);
  }
  // A cancelled panel keeps the design too.
  platform.yes_no_answers = {false};
  platform.open_answers = {{}};
  window->Open_btn->click();
  EXPECT_EQ(Archives(CRDDocument::Side::Front), front);
}

// A design of a newer version: the message says what this version could not read.
TEST_F(Design_File_Window, ADesignOfANewerVersionSaysWhy) {
  Fill_Design();
  const plist::Array design = Design_Array();
  const int first_graphic = design_file::Front_Count_Index + 1;
  ASSERT_TRUE(design.at(first_graphic).data());
  ASSERT_TRUE(design.at(first_graphic).data()->contains("Shape_Control"));
  const struct {
    const char* what;
    std::function<void(plist::Array&)> change;
    const char* said;
  } cases[] = {
      {"a changed first element",
       [](plist::Array& a) { a[0] = QStringLiteral("ZELKMACBDAYINVITECARD 2"); },
       "its first element is not the mark of a design file"},
      {"an unknown object kind",
       [&](plist::Array& a) {
         QByteArray archive = *a[first_graphic].data();
         a[first_graphic] = archive.replace("Shape_Control", "Spiral_Shapes");
       },
       "element 62: not a graphic archive (an object of the kind \u201cSpiral_Shapes\u201d, which "
       "this version does not know)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    plist::Array changed = design;
    c.change(changed);
    QFile f(path("newer.dcard"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(plist::Write_Xml_Direct(plist::Value(changed)));
    f.close();
    platform.messages.clear();
    platform.yes_no_answers = {false};
    platform.open_answers = {{path("newer.dcard")}};
    window->Open_btn->click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages.first().startsWith(Corrupt + "\n\nReason: "));
    EXPECT_TRUE(platform.messages.first().contains(QString::fromUtf8(c.said)))
        << platform.messages.first().toStdString();
  }
}

TEST_F(Design_File_Window, AFileThatCannotBeWrittenReportsAndTheOldOneStays) {
  Save_As_New(path("kept.dcard"));
  const QByteArray old = File_Bytes(path("kept.dcard"));
  // A name XML cannot carry makes the write fail before the file is touched.
  window->Front_card_Prop.Card_Name = QStringLiteral("bad\x01name");
  window->Save_btn->click();
  ASSERT_EQ(platform.messages.size(), 2);
  EXPECT_TRUE(platform.messages[1].startsWith("\nfail: ")) << platform.messages[1].toStdString();
  EXPECT_TRUE(platform.messages[1].contains("control character"));
  EXPECT_EQ(File_Bytes(path("kept.dcard")), old);

  // A folder that cannot exist (its parent is a file).
  window->Front_card_Prop.Card_Name = QStringLiteral("fine");
  platform.save_answers = {path("kept.dcard") + "/inside.dcard"};
  window->SaveAs_btn->click();
  ASSERT_EQ(platform.messages.size(), 3);
  EXPECT_TRUE(platform.messages[2].startsWith("\nfail: "));
  EXPECT_EQ(File_Bytes(path("kept.dcard")), old);
}

// Saving onto a disk that takes no more (files may not grow past a limit) says "fail:" with
// the system's reason, never "saved", and the design saved before stays as it was.
TEST_F(Design_File_Window, ASaveOntoAFullDiskSaysWhyAndTheOldOneStays) {
  const struct {
    const char* name;
    qint64 limit;
    bool filled;  // every kind of object on both sides
  } cases[] = {
      {"small design, nothing reaches the disk", 0, false},
      {"small design, cut after 1 KB", 1024, false},
      {"large design, cut after 16 KB", 16 * 1024, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.filled) Fill_Design();
    const QString file = path(c.filled ? "filled.dcard" : "plain.dcard");
    platform.save_answers.push_back(file);
    window->SaveAs_btn->click();
    ASSERT_GT(QFileInfo(file).size(), c.limit);
    window->Front_card_Prop.Card_Name = QStringLiteral("changed after the save");
    const test_support::Limited_Write child =
        test_support::Expect_Refused_Under_Limit(file, c.limit, [&](QString* shown) {
          platform.messages.clear();
          window->Save_btn->click();
          *shown = platform.messages.join(u'|');
          return !platform.messages.value(0).startsWith(QStringLiteral("\nfail: "));
        });
    EXPECT_EQ(child.reason,
              QStringLiteral("\nfail: writing failed: ") + test_support::File_Too_Large_Text());
  }
}

TEST_F(Design_File_Window, ExitAsksToSave) {
  // No: ends without saving.
  platform.yes_no_answers = {false};
  window->Exit_btn->click();
  EXPECT_EQ(platform.questions.value(0), "Do you want to save changes before closing?");
  EXPECT_EQ(platform.terminated, 0);
  EXPECT_TRUE(platform.save_requests.isEmpty());

  // Yes with a save that fails: the message, and the program goes on.
  platform.terminated.reset();
  Project_File_Name = path("kept.dcard") + "/nowhere/x.dcard";
  platform.yes_no_answers = {true};
  window->Exit_btn->click();
  EXPECT_FALSE(platform.terminated.has_value());
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_TRUE(platform.messages[0].startsWith("\nfail: "));

  // Yes, and a cancelled save panel: the program goes on, silently.
  Project_File_Name.clear();
  platform.yes_no_answers = {true};
  platform.save_answers = {QString()};
  window->Exit_btn->click();
  EXPECT_FALSE(platform.terminated.has_value());
  EXPECT_EQ(platform.messages.size(), 1);

  // The window manager's close runs Exit: Yes saves silently, then ends.
  platform.yes_no_answers = {true};
  platform.save_answers = {path("closing.dcard")};
  QCloseEvent close;
  QApplication::sendEvent(window.get(), &close);
  EXPECT_FALSE(close.isAccepted());
  EXPECT_EQ(platform.terminated, 0);
  EXPECT_TRUE(QFileInfo(path("closing.dcard")).isFile());
  EXPECT_EQ(platform.messages.size(), 1);
  EXPECT_EQ(window->windowTitle(), window->App_Name);  // silent: the title stays
}

TEST_F(Design_File_Window, NewAndOpenKeepTheDesignWhenYesDoesNotSave) {
  // Yes to saving, and the save panel cancelled or the write failing: the design stays
  // and no open panel follows.
  struct Case {
    const char* what;
    QToolButton* button;
    QString file;       // the design's file; empty asks for one
    QString answer;     // the save panel's answer
    int messages;       // messages shown by then
  };
  const Case cases[] = {
      {"New, panel cancelled", window->New_btn, QString(), QString(), 0},
      {"Open, panel cancelled", window->Open_btn, QString(), QString(), 0},
      {"New, write failing", window->New_btn, path("kept.dcard") + "/nowhere/x.dcard", QString(), 1},
      {"Open, write failing", window->Open_btn, path("kept.dcard") + "/nowhere/x.dcard", QString(), 2},
  };
  QFile plain(path("kept.dcard"));  // a file, so nothing can be written inside it
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  Fill_Design();
  const size_t objects = document.list(CRDDocument::Side::Front).size();
  ASSERT_GT(objects, 0u);
  for (const Case& c : cases) {
    Project_File_Name = c.file;
    platform.yes_no_answers = {true};
    platform.save_answers = {c.answer};
    c.button->click();
    EXPECT_EQ(document.list(CRDDocument::Side::Front).size(), objects) << c.what;
    EXPECT_TRUE(platform.open_requests.isEmpty()) << c.what;
    EXPECT_EQ(platform.messages.size(), c.messages) << c.what;
  }
}

// A paste that would take the design past the objects its file may hold is refused whole,
// saying how many it holds, how many come, and how many more it may take.
TEST_F(Design_File_Window, APastePastTheObjectsADesignMayHoldSaysHowManyItMayTake) {
  document.Enable_Disable_Undo_Registraion(false);
  Graphic_List held;
  for (int i = 0; i < 9999; ++i) {
    auto shape = std::make_shared<Shape_Control>();
    shape->setBounds(QRectF(i % 100, i / 100, 5, 5));
    held.push_back(shape);
  }
  Index_Set at;
  for (int i = 0; i < 9999; ++i) at.append(i);
  ASSERT_TRUE(document.insertGraphics(CRDDocument::Side::Front, held, at));
  document.Enable_Disable_Undo_Registraion(true);
  CRDGraphicView* canvas = window->current_canvas();
  canvas->changeSelectionIndexes({0, 1});
  canvas->copy();
  canvas->paste();
  EXPECT_EQ(document.list(CRDDocument::Side::Front).size(), 9999u);
  EXPECT_EQ(platform.messages,
            QStringList{"\nNothing was pasted: the design has 9,999 objects and these are 2, and a "
                        "design may hold at most 10,000 (add at most 1 of them, or remove objects "
                        "first)."});
  canvas->changeSelectionIndexes({0});
  canvas->copy();
  canvas->paste();
  EXPECT_EQ(document.list(CRDDocument::Side::Front).size(), 10000u) << "one more fits";
}

// Copied data holding a text of more runs than a text may hold (from another program, or
// a newer one): the paste leaves that text out, pastes the rest and says why.
TEST_F(Design_File_Window, APasteLeavesOutATextPastItsRunsAndSaysSo) {
  auto text = std::make_shared<CRDText>();
  text->_Text_contents = std::make_shared<StyledText>(QStringLiteral("ab"));
  Text_Attributes red;
  red.foreground = CRDColor::rgb(1, 0, 0);
  ASSERT_TRUE(text->_Text_contents->setAttributes(1, 1, red));
  // Its run list made longer by hand: 40,000 runs of one character, two styles in turn.
  std::optional<plist::Value> tree = plist::Read(Archive_Graphic(*text));
  ASSERT_TRUE(tree);
  plist::Array& objects = *tree->dictionary()->find("$objects")->array();
  const auto at = [&](const plist::Dictionary& d, const char* key) -> plist::Value& {
    return objects[size_t(d.find(QString::fromLatin1(key))->uid()->value)];
  };
  const plist::Dictionary& storage = *at(*objects[1].dictionary(), "_Text_contents").dictionary();
  QByteArray info;
  for (int i = 0; i < 40000; ++i) info.append('\x01').append(char(i % 2));
  at(storage, "NSAttributeInfo") = info;
  at(storage, "NSString") = QString(40000, QLatin1Char('x'));
  auto shape = std::make_shared<Shape_Control>();
  const QByteArray data = plist::Write(
      plist::Array{Archive_Graphic(*shape), plist::Write(*tree, plist::Format::Binary)},
      plist::Format::Binary);
  auto* mime = new QMimeData;
  mime->setData(CRDGraphicViewPasteboardMimeType, data);
  QGuiApplication::clipboard()->setMimeData(mime);

  window->current_canvas()->paste();
  ASSERT_EQ(document.list(CRDDocument::Side::Front).size(), 1u);
  EXPECT_EQ(document.list(CRDDocument::Side::Front).front()->className(), "Shape_Control");
  EXPECT_EQ(platform.messages,
            QStringList{"\nNot everything was pasted: 1 text object was left out: its text has "
                        "40,000 runs of styles (stretches of one font and colour), and a text may "
                        "hold at most 32,768."});
}

TEST_F(Design_File_Window, BackgroundAndPicturePathsNamingAPipeOpenAtOnce) {
  const QString fifo = path("pipe.png");
  ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  window->Front_card_Prop.Card_fill_chk = true;
  window->Front_card_Prop.Card_fill_style = QStringLiteral("I");
  window->Front_card_Prop.Card_BG_Image_Path = fifo;
  auto picture = test_support::Filled(QStringLiteral("CRDImage"));
  picture->Set_Control_File_path(fifo);
  document.Enable_Disable_Undo_Registraion(false);
  ASSERT_TRUE(document.insertGraphics(CRDDocument::Side::Front, {picture}, {0}));
  document.Enable_Disable_Undo_Registraion(true);
  Save_As_New(path("pipe.dcard"));

  platform.yes_no_answers = {false};
  window->New_btn->click();
  EXPECT_EQ(window->Read_and_load_design_Log(path("pipe.dcard"), "L"), 1);
  EXPECT_EQ(window->Front_card_Prop.Card_BG_Image_Path, fifo);
  EXPECT_TRUE(window->Front_card_Prop.Card_BG_Image.isNull());
  ASSERT_EQ(document.list(CRDDocument::Side::Front).size(), 1u);
  EXPECT_EQ(Archive_Graphic(*document.list(CRDDocument::Side::Front)[0]), Archive_Graphic(*picture));
}

TEST_F(Design_File_Window, OtherModesOpenUntitled) {
  Save_As_New(path("template.dcard"));
  platform.yes_no_answers = {false};
  window->New_btn->click();
  EXPECT_EQ(window->Read_and_load_design_Log(path("template.dcard"), "T"), 1);
  EXPECT_TRUE(Project_File_Name.isEmpty());
  EXPECT_EQ(window->windowTitle(), window->App_Name);
}

}  // namespace

namespace {

// The File menu holds the file commands and their keys: they work while the buttons wait
// in the toolbar's overflow menu.
TEST_F(Design_File_Window, KeysRunTheFileCommands) {
  QStringList items;
  for (QAction* action : window->File_menu()->actions())
    items << (action->isSeparator() ? "-" : action->text());
  EXPECT_EQ(items, QStringList({"New", "New from Template...", "Card Wizard...", "Open...", "Save",
                                "Save As...", "Export as Template...", "-", "Print...", "-",
                                "Exit"}));
  window->resize(window->minimumSize());
  QApplication::processEvents();
  platform.save_answers = {path("keyed.dcard")};
  QTest::keySequence(window.get(), QKeySequence::Save);
  EXPECT_TRUE(QFileInfo(path("keyed.dcard")).isFile());
  platform.yes_no_answers = {false};
  QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  EXPECT_EQ(platform.terminated, 0);
}

}  // namespace

namespace {

// The stored titles: none keeps the table's columns, the row-number title alone leaves
// only that column; the stored rows are taken in any case.
TEST_F(Design_File_Window, StoredTitlesDecideTheTablesColumns) {
  struct Case {
    QStringList stored;
    QStringList after;
  } cases[] = {
      {{}, {"Row No.", "Name", "City"}},
      {{"Row No."}, {"Row No."}},
      {{"Row No.", "Guest"}, {"Row No.", "Guest"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored.join(',').toStdString());
    Data_From_Excel::defaultInstance()->Set_Columns({"Name", "City"});
    design_file::Design_Contents d = window->Current_Design_Contents();
    d.column_titles = c.stored;
    d.rows = {{{"Extension", "1"}, {"Column1", "Ann"}}};
    ASSERT_TRUE(design_file::Write_Design_File(path("titles.dcard"), d));
    ASSERT_EQ(window->Read_and_load_design_Log(path("titles.dcard"), "L"), 1);
    EXPECT_EQ(Data_From_Excel::defaultInstance()->Column_Titles(), c.after);
    EXPECT_EQ(Data_From_Excel::defaultInstance()->Row_Count(), 1);
  }
}

// A workbook loaded as the data table, each load where memory is short: a table of more
// rows than a design file can hold is refused before its rows are made (450,000 rows of one
// column took 1.3 GB before their refusal, against the 2,000,000 values of a design file);
// one whose rows alone fit, but not with the rest of the design, is refused by the count of
// the whole design; the largest that fits loads, and is saved and opened again. A refused
// table leaves the table as it was. The limit, the tables and the memory are a tenth of the
// program's here: a table made before its refusal still takes far more than the memory
// given, and the tables are quick to make.
TEST_F(Design_File_Window, AWorkbookLoadsAsTheTableOnlyWhenTheDesignFileCanHoldIt) {
  const qint64 program_values = design_file::Default_Max_Values.exchange(200000);
  const auto restore = qScopeGuard([&] { design_file::Default_Max_Values = program_values; });
  const qint64 values = design_file::File_Limits{}.max_values;
  const qint64 most_rows = design_file::Most_Table_Rows(1);  // 40,000
  const int too_many = int(most_rows + most_rows / 8);       // 45,000
  const auto workbook = [this](const char* name, int rows) {
    Sheet_Rows sheet{{QStringLiteral("Guest")}};
    sheet.reserve(rows + 1);
    for (int r = 1; r <= rows; ++r) sheet << QStringList{QStringLiteral("Guest %1").arg(r)};
    EXPECT_TRUE(SpreadsheetWriter::WriteWorkbook(path(name), sheet, true));
    return path(name);
  };
  // The most rows of one column that fit: a row is five values (its dictionary, two keys and
  // two texts), after what the design holds with one row.
  design_file::Design_Contents one = window->Current_Design_Contents();
  one.column_titles = {QStringLiteral("Row No."), QStringLiteral("Guest")};
  one.rows = {{{"Extension", "1"}, {"Column1", "Guest 1"}}};
  plist::Xml_Measure measure;
  ASSERT_EQ(design_file::Design_Past_Limits(one, {}, &measure), QString());
  const int largest = 1 + int((values - measure.elements) / 5);
  ASSERT_GT(largest, most_rows - 1000);
  ASSERT_LE(largest, most_rows);
  const QString many = workbook("many.xlsx", too_many);
  const QString at_limit = workbook("at_limit.xlsx", largest);

  Import_Excel* picker = Import_Excel::defaultInstance();
  Data_From_Excel* table = Data_From_Excel::defaultInstance();
  // Loads the workbook's one column as the table; what was said, and the table after.
  const auto load = [&](const QString& book, bool header_on) {
    table->Set_Columns({QStringLiteral("Name")});
    table->Create_List_By_Array({QStringLiteral("Ann")}, 1);
    platform.messages.clear();
    picker->open_mode = QStringLiteral("E");
    platform.on_run_modal = [&](QObject* shown) {
      if (shown != picker) return 0;
      picker->contains_header->setChecked(header_on);
      picker->ListData_xl->setData(picker->ListData_xl->index(0, 0), Qt::Checked,
                                   Qt::CheckStateRole);
      picker->OKPressed();
      return -1;
    };
    picker->Open_excel_Wnd(book);
    platform.on_run_modal = nullptr;
    return QStringLiteral("%1|%2 rows, the last %3").arg(platform.messages.join(u'|'))
        .arg(table->Row_Count())
        .arg(table->Value(table->Row_Count() - 1, 1));
  };
  const auto number = [](qint64 n) { return QLocale(QLocale::English).toString(n); };
  const auto refused = [&](qint64 rows, const QString& most = {}) {
    return QStringLiteral(
               "\nThe table was not loaded: with it, the design's file would hold more than the "
               "%1 values a design file may hold (every table cell is two, the data table "
               "holds %2 rows of 1 column): remove data table rows or columns%3.|1 rows, the last Ann")
        .arg(number(values), number(rows), most);
  };
  const struct {
    const char* name;
    QString book;
    bool header_on;
    QString answer;
  } cases[] = {
      {"more rows than a design file holds", many, true,
       refused(too_many, QStringLiteral(" (with these columns at most %1 rows fit)").arg(number(most_rows)))},
      {"one row more than fits: the title row taken as a row", at_limit, false,
       refused(largest + 1)},
      {"the most rows that fit", at_limit, true,
       QStringLiteral("|%1 rows, the last Guest %1").arg(largest)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto run = [&] { return load(c.book, c.header_on); };
    EXPECT_EQ((test_support::kMemory_Limit_Works
                   ? test_support::Run_With_Memory_Limit(qint64(64) << 20, run)
                   : run())
                  .toStdString(),
              c.answer.toStdString());
  }

  // The table at the limit is saved and opens again.
  ASSERT_EQ(load(at_limit, true), cases[2].answer);
  Save_As_New(path("at_limit"));
  ASSERT_EQ(platform.messages.value(0), Saved);
  table->Set_Columns({});
  ASSERT_EQ(window->Read_and_load_design_Log(path("at_limit.dcard"), "L"), 1);
  EXPECT_EQ(table->Row_Count(), largest);
  EXPECT_EQ(table->Value(largest - 1, 0), QString::number(largest));
  EXPECT_EQ(table->Value(largest - 1, 1), QStringLiteral("Guest %1").arg(largest));
}

}  // namespace
