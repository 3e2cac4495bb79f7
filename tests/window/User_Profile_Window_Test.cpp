// The user profile on the real design window, canvas and renderer: the profile dialogs
// (driven through their handlers under a scripted platform), the fills onto the card, the
// preview on the temporary side and a batch export of a profile bound to data.

#include "Export_Driver.h"
#include "../output/Output_Test_Support.h"
#include "Window_Fixture.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDText.h"
#include "output/Batch_Export.h"
#include "output/ui/Export_Window.h"
#include "profile/Profile_Fields.h"
#include "profile/ui/Show_User_Profile.h"
#include "profile/ui/User_profile.h"
#include "series/Data_From_Excel.h"
#include "series/Sheet_Import.h"
#include "series/SpreadsheetWriter.h"
#include "series/ui/Import_Excel.h"
#include "series/ui/Sheet_Picker.h"
#include "window/ui/Data_Source_Panel.h"
#include "window/ui/Open_Export_Log.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace output_test;

namespace {

class Profile : public test_support::Window_Fixture {
 protected:
  void SetUp() override {
    Window_Fixture::SetUp();
    Data_From_Excel::defaultInstance()->Set_Columns({});
    platform.on_run_modal = [this](QObject* modal) {
      auto* dialog = qobject_cast<Profile_Dialog*>(modal);
      if (!dialog || !on_dialog) return 0;
      return on_dialog(dialog);
    };
  }
  void TearDown() override {
    Data_From_Excel::defaultInstance()->Set_Columns({});
    // The dialogs live on: leave them with plain combos for the next test.
    for (Profile_Dialog* d : {static_cast<Profile_Dialog*>(Show_User_Profile::defaultInstance()),
                              static_cast<Profile_Dialog*>(User_profile::defaultInstance())})
      d->Remove_Excel_in_Data_Source_Combo();
    Window_Fixture::TearDown();
  }

  CRDDocument::Side side_of(int side) const {
    return side == 0 ? CRDDocument::Side::Front : CRDDocument::Side::Back;
  }
  template <class Kind>
  std::shared_ptr<CRDGraphic> put(int side, const char* id, const char* value, bool visible = true,
                                  QRectF bounds = QRectF(5, 5, 40, 12)) {
    auto graphic = std::make_shared<Kind>();
    graphic->control_ID = QString::fromLatin1(id);
    graphic->Text_Value = QString::fromLatin1(value);
    if constexpr (std::is_same_v<Kind, CRDText>) graphic->Text_contents()->replaceCharacters(graphic->Text_Value);
    graphic->ctrl_is_visible = visible;
    graphic->setBounds(bounds);
    document.Enable_Disable_Undo_Registraion(false);
    const auto& list = document.list(side_of(side));
    EXPECT_TRUE(document.insertGraphics(side_of(side), {graphic}, {int(list.size())}));
    document.Enable_Disable_Undo_Registraion(true);
    return graphic;
  }
  const Graphic_List& side_list(int side) const { return document.list(side_of(side)); }
  std::shared_ptr<CRDGraphic> with_id(int side, const QString& id) const {
    for (const auto& g : side_list(side))
      if (g->control_ID == id) return g;
    return nullptr;
  }

  // Controls of a dialog by object name.
  template <class W>
  static W* control(Profile_Dialog* dialog, const QString& name) {
    auto* w = dialog->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  static QLineEdit* value(Profile_Dialog* d, const char* prefix) {
    return control<QLineEdit>(d, QString::fromLatin1(prefix) + "_value");
  }
  static QComboBox* source(Profile_Dialog* d, const char* prefix) {
    return control<QComboBox>(d, QString::fromLatin1(prefix) + "_ds_combo");
  }
  static QComboBox* popup(Profile_Dialog* d, const char* prefix) {
    return control<QComboBox>(d, QString::fromLatin1(prefix) + "_ser_col_cb");
  }

  // Opens the Profile command with the handler answering the dialog.
  void profile_button(std::function<int(Profile_Dialog*)> handler) {
    on_dialog = std::move(handler);
    press_tool("User_Profile_btn");
  }
  static int ok(Profile_Dialog* d) {
    d->OK_btn->click();
    return 0;  // the code comes from Stop_Modal
  }

  std::function<int(Profile_Dialog*)> on_dialog;
};

// Every field's controls after a reset of each dialog.
TEST_F(Profile, BothDialogsResetToEmptyManualFields) {
  for (bool general : {false, true}) {
    SCOPED_TRACE(general);
    window->Front_user_profile.Name = "kept";
    on_dialog = [&](Profile_Dialog* d) {
      EXPECT_EQ(d->windowTitle(), general ? QStringLiteral("User Profile Information")
                                          : QStringLiteral("Front Side User Profile Information"));
      for (int i = 0; i < Profile_Field_Count; ++i) {
        const auto& f = d->field(i);
        SCOPED_TRACE(i);
        if (f.value) {
          EXPECT_EQ(f.value->text(), QString());
        }
        if (f.value) {
          EXPECT_FALSE(f.value->isReadOnly());
        }
        EXPECT_EQ(f.ds_combo->currentIndex(), 0);
        EXPECT_EQ(f.ser_col_cb->currentIndex(), -1);
        EXPECT_FALSE(f.ser_col_cb->isEnabled());
        EXPECT_FALSE(f.view_btn->isEnabled());
        EXPECT_EQ(f.label_chk != nullptr, !general && f.value);
        if (f.label_chk) {
          EXPECT_FALSE(f.label_chk->isChecked());
        }
        if (f.value_chk) {
          EXPECT_FALSE(f.value_chk->isChecked());
        }
        EXPECT_EQ(f.side_combo != nullptr, general);
        if (f.side_combo) {
          EXPECT_EQ(f.side_combo->currentIndex(), 2);
        }
        if (f.side_combo) {
          EXPECT_FALSE(f.side_combo->isHidden());
        }
      }
      EXPECT_EQ(d->image_path_val->text(), QString());
      EXPECT_TRUE(d->browse_pic_btn->isEnabled());
      // The designer dialog shows the side at once; the general one shows nothing.
      EXPECT_EQ(d->Preivew_picture->pixmap().isNull(), general);
      d->Cancel_btn->click();
      return 0;
    };
    EXPECT_EQ(window->Open_User_Profile_Window(!general, general ? "  " : " F "), 0);
    EXPECT_EQ(window->Front_user_profile.Name, QStringLiteral("kept"));  // Cancel writes nothing
  }
  EXPECT_FALSE(Fill_User_Profile);
}

TEST_F(Profile, CheckBoxesAndSourcesDecideWhatIsEditable) {
  on_dialog = [&](Profile_Dialog* d) -> int {
    EXPECT_EQ(d->comp_name_value, value(d, "comp_name"));
    EXPECT_EQ(d->image_ser_col_cb, popup(d, "image"));
    EXPECT_EQ(d->image_value, nullptr);
    // Typing in the value ticks its box; only the caption box makes the caption editable.
    EXPECT_TRUE(d->title_label->isReadOnly());
    QTest::keyClicks(d->title_value, "x");
    EXPECT_TRUE(d->title_value_chk->isChecked());
    d->title_label_chk->click();
    EXPECT_FALSE(d->title_label->isReadOnly());
    d->title_label_chk->click();
    EXPECT_TRUE(d->title_label->isReadOnly());
    // Whichever came last, the value box or the source, decides for the value.
    d->title_value_chk->click();  // unticked
    EXPECT_TRUE(d->title_value->isReadOnly());
    d->title_ds_combo->setCurrentIndex(1);
    d->title_ds_combo->setCurrentIndex(0);
    EXPECT_FALSE(d->title_value->isReadOnly());
    d->title_ds_combo->setCurrentIndex(1);
    d->title_value_chk->click();  // ticked
    EXPECT_FALSE(d->title_value->isReadOnly());
    EXPECT_EQ(d->title_value->text(), QStringLiteral("x"));  // a change of source keeps it

    // Photo: a picture file shows in the well; a cancelled browse empties
    // Library_Selected_Image and keeps the photo; a file that is no picture is taken as
    // the path while the well keeps its picture; Clear empties both.
    const QString photo = scratch.filePath("me.png"), junk = scratch.filePath("junk.png");
    QImage pixels(10, 10, QImage::Format_RGB32);
    pixels.fill(Qt::red);
    EXPECT_TRUE(pixels.save(photo));
    EXPECT_TRUE(QFile(junk).open(QIODevice::WriteOnly));
    platform.open_answers.push_back({photo});
    d->browse_pic_btn->click();
    EXPECT_EQ(platform.open_requests.last().extensions.size(), 9);
    EXPECT_EQ(d->image_path_val->text(), photo);
    EXPECT_FALSE(d->user_picture->pixmap().isNull());
    Library_Selected_Image = "earlier";
    d->browse_pic_btn->click();
    EXPECT_EQ(Library_Selected_Image, QString(""));
    EXPECT_EQ(d->image_path_val->text(), photo);
    platform.open_answers.push_back({junk});
    d->browse_pic_btn->click();
    EXPECT_EQ(d->image_path_val->text(), junk);
    EXPECT_FALSE(d->user_picture->pixmap().isNull());
    d->clear_pic_btn->click();
    EXPECT_EQ(d->image_path_val->text(), QString());
    EXPECT_TRUE(d->user_picture->pixmap().isNull());
    d->Cancel_btn->click();
    return 0;
  };
  EXPECT_EQ(window->Open_User_Profile_Window(true, "F"), 0);
}

TEST_F(Profile, OpeningLoadsTheSidesVisibleProfileObjects) {
  Write_Series("Mails", "ada@example.org\nbob@example.org\n");
  Write_Series("Other", "x\n");
  put<CRDText>(0, "Fup_Name", "front-most");
  put<CRDText>(0, "Fup_Name", "back-most");
  put<CRDText>(0, " Fup_Title ", "Engineer");
  put<CRDText>(0, "fup_company", "Case differs");
  put<CRDText>(0, "Fup_Address", "Hidden Street", false);
  put<CRDText>(0, "Fup_Photo", "/photos/me.png");
  put<CRDBarcode>(0, "Fup_PhoneNO", "12345");
  auto mail = put<CRDText>(0, "Fup_EmailID", "typed");
  mail->data_source_type = 1;
  mail->batch_list_name = "Mails";
  mail->batch_list_index = 0;  // "Mails" is the first series name
  on_dialog = [&](Profile_Dialog* d) {
    EXPECT_EQ(value(d, "name")->text(), QStringLiteral("back-most"));
    EXPECT_EQ(value(d, "title")->text(), QStringLiteral("Engineer"));
    EXPECT_EQ(value(d, "comp_name")->text(), QString());
    EXPECT_EQ(value(d, "address")->text(), QString());
    EXPECT_EQ(source(d, "address")->currentIndex(), 0);
    EXPECT_EQ(value(d, "phone")->text(), QString());
    EXPECT_EQ(d->image_path_val->text(), QStringLiteral("/photos/me.png"));
    EXPECT_TRUE(d->user_picture->pixmap().isNull());
    // The bound field shows its series, and the series' first value as its sample.
    EXPECT_EQ(source(d, "email")->currentIndex(), 1);
    EXPECT_EQ(popup(d, "email")->currentText(), QStringLiteral("Mails"));
    EXPECT_EQ(value(d, "email")->text(), QStringLiteral("ada@example.org"));
    EXPECT_TRUE(value(d, "email")->isReadOnly());
    EXPECT_TRUE(control<QPushButton>(d, "email_view_btn")->isEnabled());
    EXPECT_TRUE(control<QCheckBox>(d, "name_value_chk")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(d, "address_value_chk")->isChecked());
    d->OK_btn->click();
    return 0;
  };
  EXPECT_EQ(window->Open_User_Profile_Window(true, "F"), 1);
  const auto& r = window->Front_user_profile;
  EXPECT_EQ(r.Name, QStringLiteral("back-most"));
  EXPECT_EQ(r.image, QStringLiteral("/photos/me.png"));  // written back though not shown
  EXPECT_EQ(r.email, QStringLiteral("ada@example.org"));
  EXPECT_EQ(r.email_ds, 1);
  EXPECT_EQ(r.email_ds_name, QStringLiteral("Mails"));
  EXPECT_EQ(r.Fill_User_Profile_Enable, 1);
  EXPECT_TRUE(Fill_User_Profile);
}

TEST_F(Profile, ASourceWithoutChoiceNamesTheFirstSuchFieldAndWritesNothing) {
  Write_Series("Titles", "Dr\n");
  int messages_at_ok = -1;
  on_dialog = [&](Profile_Dialog* d) {
    value(d, "name")->setText("  Ada");  // blanks are kept
    source(d, "slogan")->setCurrentIndex(1);
    source(d, "title")->setCurrentIndex(1);
    EXPECT_EQ(popup(d, "title")->count(), 1);
    d->OK_btn->click();  // stays open
    messages_at_ok = int(platform.messages.size());
    const QImage side_picture = d->Preivew_picture->pixmap().toImage();
    d->Preview_btn->click();  // makes no preview either
    EXPECT_EQ(d->Preivew_picture->pixmap().toImage(), side_picture);
    popup(d, "title")->setCurrentIndex(0);
    EXPECT_EQ(value(d, "title")->text(), QStringLiteral("Dr"));
    popup(d, "slogan")->setCurrentIndex(0);
    d->OK_btn->click();
    return 0;
  };
  const User_Profile_Class temp_before = window->TEMP_user_profile;
  EXPECT_EQ(window->Open_User_Profile_Window(true, "F"), 1);
  EXPECT_EQ(messages_at_ok, 1);
  EXPECT_EQ(platform.messages,
            QStringList(2, QStringLiteral("\nPlease select the source for 'Position / Title'")))
      << platform.messages.join('|');
  EXPECT_EQ(window->TEMP_user_profile.Name, temp_before.Name);
  EXPECT_EQ(window->Front_user_profile.Name, QStringLiteral("  Ada"));
  EXPECT_EQ(window->Front_user_profile.Title_ds_name, QStringLiteral("Titles"));
}

TEST_F(Profile, OkWritesOnlyItsSidesRecordAndTheGeneralDialogBoth) {
  Card_Front_Or_Back = 1;
  on_dialog = [&](Profile_Dialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Back Side User Profile Information"));
    value(d, "website")->setText("example.org");
    return ok(d);
  };
  EXPECT_EQ(window->Open_User_Profile_Window(true, "B"), 1);
  EXPECT_EQ(window->Back_user_profile.website, QStringLiteral("example.org"));
  EXPECT_EQ(window->Front_user_profile.website, QString(""));
  Card_Front_Or_Back = 0;

  Write_Series("Names", "Ada\nBob\n");
  Write_Series("Zeta", "z\n");
  on_dialog = [&](Profile_Dialog* d) {
    EXPECT_FALSE(control<QLabel>(d, "select_side_label")->isHidden());
    value(d, "name")->setText("typed");
    source(d, "name")->setCurrentIndex(1);
    popup(d, "name")->setCurrentIndex(1);  // "Zeta"
    control<QComboBox>(d, "name_side_combo")->setCurrentIndex(0);
    value(d, "fax")->setText("555");
    return ok(d);
  };
  EXPECT_EQ(window->Open_User_Profile_Window(false, ""), 1);
  for (const User_Profile_Class* r : {&window->Front_user_profile, &window->Back_user_profile}) {
    EXPECT_EQ(r->Name, QStringLiteral("z"));
    EXPECT_EQ(r->Name_ds, 1);
    EXPECT_EQ(r->Name_ds_name, QStringLiteral("Zeta"));
    EXPECT_EQ(r->Name_ds_indx, 1);
    EXPECT_EQ(r->fax, QStringLiteral("555"));
    EXPECT_EQ(r->website, QString(""));  // the back's earlier value was overwritten
    EXPECT_EQ(r->Fill_User_Profile_Enable, 1);
  }
  // The general dialog opens empty again and its OK runs no fill.
  EXPECT_TRUE(side_list(0).empty());
  on_dialog = [&](Profile_Dialog* d) {
    EXPECT_EQ(value(d, "name")->text(), QString());
    EXPECT_EQ(source(d, "name")->currentIndex(), 0);
    EXPECT_EQ(control<QComboBox>(d, "name_side_combo")->currentIndex(), 2);
    d->Cancel_btn->click();
    return 0;
  };
  EXPECT_EQ(window->Open_User_Profile_Window(false, ""), 0);
}

TEST_F(Profile, TheGeneralDialogInModeYesShowsTheBackSide) {
  add_shape(CRDDocument::Side::Back, "R", QRectF(10, 10, 60, 40));
  put<CRDText>(1, "Fup_UniqueNo", "A-17");
  Card_Front_Or_Back = 1;
  User_profile* general = User_profile::defaultInstance();
  general->load_side = "";
  on_dialog = [&](Profile_Dialog*) -> int {
    EXPECT_EQ(general->windowTitle(), QStringLiteral("Back Side User Profile Information"));
    EXPECT_TRUE(general->select_side_label()->isHidden());
    EXPECT_TRUE(general->unique_side_combo->isHidden());
    EXPECT_EQ(general->unique_side_combo->currentIndex(), 1);
    EXPECT_EQ(general->unique_value->text(), QStringLiteral("A-17"));
    EXPECT_FALSE(general->Template_picture->pixmap().isNull());
    EXPECT_EQ(general->Template_picture->pixmap().toImage(), general->Preivew_picture->pixmap().toImage());
    general->Reset_btn->click();
    EXPECT_EQ(general->unique_side_combo->currentIndex(), 2);
    EXPECT_TRUE(general->Template_picture->pixmap().isNull());
    EXPECT_EQ(general->unique_value->text(), QString());
    general->Cancel_btn->click();
    return 0;
  };
  EXPECT_EQ(general->Open_Wnd(true), 0);
  Card_Front_Or_Back = 0;
}

// ---- Fills ---------------------------------------------------------------------------------

TEST_F(Profile, FirstFillCreatesInFieldOrderAndARepeatCreatesNothing) {
  const QString photo = scratch.filePath("photo.png");
  QImage pixels(30, 40, QImage::Format_RGB32);
  pixels.fill(Qt::darkCyan);
  ASSERT_TRUE(pixels.save(photo));
  window->Front_card_Prop.Card_Size = QSizeF(243, 154);
  auto& r = window->Front_user_profile;
  r.Name = "Ada";
  r.Company_name = "Lumigrove";
  r.image = photo;
  Fill_User_Profile = true;
  window->Fill_User_profile_info_front_side();
  ASSERT_EQ(side_list(0).size(), 3u);
  EXPECT_EQ(side_list(0)[0]->control_ID, QStringLiteral("Fup_Photo"));
  EXPECT_EQ(side_list(0)[0]->className(), QStringLiteral("CRDImage"));
  EXPECT_EQ(side_list(0)[1]->control_ID, QStringLiteral("Fup_Company"));
  EXPECT_EQ(side_list(0)[2]->control_ID, QStringLiteral("Fup_Name"));
  EXPECT_EQ(window->_graphicView->Selected_Graphic(), side_list(0)[0]);
  EXPECT_EQ(side_list(0)[2]->bounds(), window->Get_Control_Rect_From_Template("Fup_Name"));
  EXPECT_EQ(side_list(0)[0]->bounds(), window->Get_Control_Rect_From_Template("Fup_Photo"));
  EXPECT_EQ(Text_Of(side_list(0)[2]), QStringLiteral("Ada"));
  EXPECT_EQ(window->Selected_Control_Tool, 8);
  EXPECT_EQ(Library_Selected_Image, photo);
  for (const auto& g : side_list(0)) EXPECT_TRUE(g->ctrl_is_visible);

  // Reopened and confirmed unchanged: the photo object gives its file's path, keeps it
  // and stays shown.
  profile_button([&](Profile_Dialog* d) {
    EXPECT_EQ(d->image_path_val->text(), photo);
    return ok(d);
  });
  ASSERT_EQ(side_list(0).size(), 3u);
  EXPECT_EQ(r.image, photo);
  EXPECT_TRUE(side_list(0)[0]->ctrl_is_visible);
  EXPECT_EQ(side_list(0)[0]->FilePath(), photo);

  // The user moves the name; the same values again change nothing but the text.
  side_list(0)[2]->setBounds(QRectF(100, 100, 50, 10));
  r.Name = "Ada L.";
  r.image = "";
  window->Fill_User_profile_info_front_side();
  ASSERT_EQ(side_list(0).size(), 3u);
  EXPECT_EQ(side_list(0)[2]->bounds(), QRectF(100, 100, 50, 10));
  EXPECT_EQ(Text_Of(side_list(0)[2]), QStringLiteral("Ada L."));
  EXPECT_FALSE(side_list(0)[0]->ctrl_is_visible);  // the photo has no value now
  EXPECT_EQ(window->Selected_Control_Tool, 2);

  // OK with every field empty: everything hidden, nothing created.
  r.Reset_All_Values();
  window->Fill_User_profile_info_front_side();
  ASSERT_EQ(side_list(0).size(), 3u);
  for (const auto& g : side_list(0)) EXPECT_FALSE(g->ctrl_is_visible);
}

TEST_F(Profile, FillUpdatesTheFrontMostOfDuplicatesAndCopiesBindings) {
  auto first = put<CRDText>(0, "Fup_Name", "old 1", false);
  auto second = put<CRDText>(0, "Fup_Name", "old 2");
  auto title = put<CRDText>(0, "Fup_Title", "old");
  title->data_source_type = 1;
  title->batch_list_name = "Earlier";
  title->batch_list_index = 4;
  auto phone = put<CRDText>(0, "Fup_PhoneNO", "old");
  phone->data_source_type = 1;
  phone->batch_list_name = "Kept";
  auto& r = window->Front_user_profile;
  r.Name = "Ada";
  r.Name_ds = 1, r.Name_ds_name = "Names", r.Name_ds_indx = 2;
  r.Title = "Dr";
  r.Title_xl = 1, r.Title_xl_col_indx = 3;
  r.phone = "555";  // typed: the old binding stays
  Fill_User_Profile = true;
  window->Fill_User_profile_info_front_side();
  EXPECT_EQ(side_list(0).size(), 4u);
  EXPECT_TRUE(first->ctrl_is_visible);
  EXPECT_EQ(Text_Of(first), QStringLiteral("Ada"));
  EXPECT_FALSE(second->ctrl_is_visible);
  EXPECT_EQ(Text_Of(second), QStringLiteral("old 2"));
  EXPECT_EQ(first->data_source_type, 1);
  EXPECT_EQ(first->batch_list_name, QStringLiteral("Names"));
  EXPECT_EQ(first->batch_list_index, 2);
  EXPECT_FALSE(first->excel_binding);
  EXPECT_EQ(title->data_source_type, 2);
  EXPECT_TRUE(title->excel_binding);
  EXPECT_EQ(title->excel_col_indx, 3);
  EXPECT_EQ(title->batch_list_name, QStringLiteral("Earlier"));
  EXPECT_EQ(phone->data_source_type, 1);
  EXPECT_EQ(phone->batch_list_name, QStringLiteral("Kept"));
  EXPECT_EQ(Text_Of(phone), QStringLiteral("555"));
}

TEST_F(Profile, AMissingPhotoGivesANoImageObjectAndFillsWaitForAConfirmedDialog) {
  auto& r = window->Back_user_profile;
  r.image = scratch.filePath("no such photo.png");
  r.image_ds = 1, r.image_ds_name = "Photos";
  window->Fill_User_profile_info_back_side();  // no dialog confirmed yet
  EXPECT_TRUE(side_list(1).empty());
  Fill_User_Profile = true;
  window->Fill_User_profile_info_back_side();
  ASSERT_EQ(side_list(1).size(), 1u);
  const auto photo = side_list(1)[0];
  EXPECT_EQ(photo->control_ID, QStringLiteral("Fup_Photo"));
  EXPECT_EQ(photo->className(), QStringLiteral("CRDImage"));
  EXPECT_EQ(photo->batch_list_name, QStringLiteral("Photos"));
  EXPECT_EQ(photo->bounds(), window->Get_Control_Rect_From_Template("Fup_Photo"));
  EXPECT_TRUE(side_list(0).empty());  // the back fill leaves the front alone
}

TEST_F(Profile, DefaultRectanglesFollowTheFrontSize) {
  window->Front_card_Prop.Card_Size = QSizeF(200, 200);
  window->Back_card_Prop.Card_Size = QSizeF(200, 300);
  const QRectF landscape = Profile_Default_Rect("Fup_Name", QSizeF(200, 200));
  const QRectF portrait = Profile_Default_Rect("Fup_Name", QSizeF(200, 300));
  ASSERT_NE(landscape, portrait);
  EXPECT_EQ(window->Get_Control_Rect_From_Template("Fup_Name"), landscape);
  window->Back_user_profile.Name = "Ada";
  Fill_User_Profile = true;
  window->Fill_User_profile_info_back_side();
  ASSERT_EQ(side_list(1).size(), 1u);
  EXPECT_EQ(side_list(1)[0]->bounds(), landscape);  // the front's size decides
  window->Front_card_Prop.Card_Size = QSizeF(200, 300);
  EXPECT_EQ(window->Get_Control_Rect_From_Template("Fup_Name"), portrait);
}

// ---- The Profile button and the preview --------------------------------------------------

struct Snapshot {
  QString id, text;
  bool visible;
  int source;
  QString series;
  bool excel;
  int column;
};
QList<Snapshot> snapshot(const Graphic_List& list) {
  QList<Snapshot> out;
  for (const auto& g : list)
    out << Snapshot{g->control_ID, g->Text_contents() ? g->Text_contents()->string() : QString(),
                    g->ctrl_is_visible, g->data_source_type, g->batch_list_name, g->excel_binding,
                    g->excel_col_indx};
  return out;
}
bool operator==(const Snapshot& a, const Snapshot& b) {
  return a.id == b.id && a.text == b.text && a.visible == b.visible && a.source == b.source &&
         a.series == b.series && a.excel == b.excel && a.column == b.column;
}

TEST_F(Profile, PreviewTwiceThenCancelLeavesTheDesignAndRecordsAlone) {
  Write_Series("Names", "Ada\nBob\n");
  put<CRDText>(0, "Fup_Name", "Design name");
  put<CRDText>(0, "Fup_Title", "Design title");
  auto column = put<CRDText>(0, "Fup_Company", "Column bound");
  column->data_source_type = 2, column->excel_binding = true, column->excel_col_indx = 2;
  const auto before = snapshot(side_list(0));
  const float x = last_ctrl_X, y = last_ctrl_Y;
  QImage first, second;
  profile_button([&](Profile_Dialog* d) {
    const QImage side_picture = d->Preivew_picture->pixmap().toImage();
    value(d, "title")->clear();  // the preview hides the title
    value(d, "phone")->setText("555");  // and creates a phone
    source(d, "name")->setCurrentIndex(1);
    popup(d, "name")->setCurrentIndex(0);
    d->Preview_btn->click();
    first = d->Preivew_picture->pixmap().toImage();
    d->Preview_btn->click();
    second = d->Preivew_picture->pixmap().toImage();
    EXPECT_NE(first, side_picture);
    // The temporary side holds copies with the preview's values.
    const auto temp = window->Get_Temp_Controls_Array();
    EXPECT_EQ(temp.size(), 4u);
    for (const auto& g : temp)
      for (const auto& own : side_list(0)) EXPECT_NE(g, own);
    d->Cancel_btn->click();
    return 0;
  });
  EXPECT_FALSE(first.isNull());
  EXPECT_EQ(first, second);
  EXPECT_EQ(window->TEMP_user_profile.Name, QStringLiteral("Ada"));
  EXPECT_EQ(window->TEMP_user_profile.phone, QStringLiteral("555"));
  EXPECT_EQ(window->Front_user_profile.phone, QString(""));
  EXPECT_EQ(window->Back_user_profile.phone, QString(""));
  EXPECT_TRUE(snapshot(side_list(0)) == before);
  EXPECT_EQ(last_ctrl_X, x);
  EXPECT_EQ(last_ctrl_Y, y);
  EXPECT_FALSE(Fill_User_Profile);
}

TEST_F(Profile, AColumnBindingWithoutTheExcelItemSurvivesOpenAndOk) {
  auto column = put<CRDText>(0, "Fup_Company", "Column bound");
  column->data_source_type = 2, column->excel_binding = true, column->excel_col_indx = 2;
  profile_button([&](Profile_Dialog* d) {
    EXPECT_EQ(source(d, "comp_name")->count(), 2);
    EXPECT_EQ(source(d, "comp_name")->currentIndex(), -1);  // no source chosen
    EXPECT_EQ(value(d, "comp_name")->text(), QStringLiteral("Column bound"));
    return ok(d);
  });
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
  EXPECT_EQ(window->Front_user_profile.Company_name_xl, 0);
  EXPECT_EQ(column->data_source_type, 2);
  EXPECT_TRUE(column->excel_binding);
  EXPECT_EQ(column->excel_col_indx, 2);
  EXPECT_TRUE(column->ctrl_is_visible);
}

TEST_F(Profile, TheProfileButtonFillsTheCurrentSideOnlyAfterOk) {
  auto* button = window->findChild<QToolButton*>("User_Profile_btn");
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->isEnabled());
  window->Select_back_side();
  {
    profile_button([&](Profile_Dialog* d) {
      value(d, "name")->setText("Back name");
      d->Cancel_btn->click();
      return 0;
    });
    EXPECT_TRUE(side_list(1).empty());
    profile_button([&](Profile_Dialog* d) {
      value(d, "name")->setText("Back name");
      return ok(d);
    });
    // The new text is selected: the sidebar shows its pages and the edit buttons are on.
    ASSERT_EQ(side_list(1).size(), 1u);
    EXPECT_EQ(window->_graphicView_BACK->Selected_Graphic(), side_list(1)[0]);
    EXPECT_EQ(window->sett_tab->widget(0), window->text_edtng_tab);
    EXPECT_TRUE(window->Delete_btn->isEnabled());
  }
  window->Select_front_side();
  ASSERT_EQ(side_list(1).size(), 1u);
  EXPECT_EQ(Text_Of(side_list(1)[0]), QStringLiteral("Back name"));
  EXPECT_TRUE(side_list(0).empty());
  EXPECT_TRUE(Fill_User_Profile);
}

// A rectangle clicked, the back shown and the front again (the selection is gone, the
// canvas still remembers the rectangle), then Profile and OK with nothing to fill, or
// Cancel: the sidebar and the edit buttons show the card, as the canvas selects nothing.
TEST_F(Profile, AfterTheDialogTheSidebarAndButtonsFollowTheSelection) {
  for (const bool confirm : {true, false}) {
    SCOPED_TRACE(confirm ? "OK" : "Cancel");
    add_shape(CRDDocument::Side::Front, "R", QRectF(20, 20, 60, 40));
    click(window->_graphicView, QPointF(50, 40));
    ASSERT_EQ(window->sett_tab->widget(0), window->shape_tab);
    ASSERT_TRUE(window->Delete_btn->isEnabled());
    press_tool("Back_Side_btn");
    press_tool("Front_Card_Btn");
    ASSERT_TRUE(window->_graphicView->selectedGraphics().empty());

    profile_button([&](Profile_Dialog* d) {
      if (confirm) return ok(d);
      d->Cancel_btn->click();
      return 0;
    });
    EXPECT_EQ(window->sett_tab->widget(0), window->card_setting_tab);
    for (QToolButton* b : {window->Cut_btn, window->Copy_btn, window->Delete_btn,
                           window->Begin_Front_btn, window->Send_Back_btn, window->Lock_btn})
      EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(window->_graphicView->selectedGraphics().empty());
  }
}


// ---- End to end ------------------------------------------------------------------------------

class Profile_Export : public Profile {
 protected:
  // The picker of the spreadsheet browse takes the ticked columns; the export writes a
  // batch of the front side; its result box is closed.
  int drive_others(QObject* modal) {
    if (auto* picker = qobject_cast<Import_Excel*>(modal)) {
      if (!take_columns) return 0;
      for (int row : *take_columns)
        picker->ListData_xl->setData(picker->ListData_xl->index(row, 0), Qt::Checked,
                                     Qt::CheckStateRole);
      picker->OKPressed();
      return -1;
    }
    int code = 0;  // the front alone, not combined
    test_support::Answer_Export_Run(modal, *window, 1, false, result_boxes, &code);
    return code;
  }
  void SetUp() override {
    Profile::SetUp();
    auto dialog_driver = platform.on_run_modal;
    platform.on_run_modal = [this, dialog_driver](QObject* modal) {
      return qobject_cast<Profile_Dialog*>(modal) ? dialog_driver(modal) : drive_others(modal);
    };
  }
  void browse(Profile_Dialog* d, const QString& book, std::optional<QList<int>> columns) {
    take_columns = std::move(columns);
    platform.open_answers.push_back({book});
    d->Browse_excel_btn->click();
  }
  static QList<int> excel_items(Profile_Dialog* d) {
    QList<int> counts;
    for (int i = 0; i < Profile_Field_Count; ++i) counts << d->field(i).ds_combo->count();
    return counts;
  }

  std::optional<QList<int>> take_columns;
  QStringList result_boxes;
};

TEST_F(Profile_Export, APhotoSeriesAndANameColumnGiveOneCardPerRecord) {
  const QSizeF card(243, 154);
  window->Front_card_Prop.Card_Size = card;
  window->SetDocumentCanvasSize(card);
  const QColor colours[] = {QColor(220, 20, 20), QColor(20, 200, 40), QColor(30, 40, 210)};
  QStringList photos;
  for (int i = 0; i < 3; ++i) {
    QImage pixels(48, 60, QImage::Format_RGB32);
    pixels.fill(colours[i]);
    photos << scratch.filePath(QStringLiteral("photo%1.png").arg(i));
    ASSERT_TRUE(pixels.save(photos.last()));
  }
  Write_Series("Photos", (photos.join('\n') + '\n').toUtf8());
  const QString book = scratch.filePath("guests.xlsx");
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(
      book, {{"Name", "City"}, {"Ada", "Oslo"}, {"Bob", "Rome"}, {"Cy", "Lima"}}, true));

  profile_button([&](Profile_Dialog* d) {
    browse(d, book, QList<int>{0, 1});
    EXPECT_EQ(excel_items(d), QList<int>(Profile_Field_Count, 3)) << platform.messages.join('|');
    EXPECT_EQ(d->excel_path_field->text(), book);
    browse(d, book, QList<int>{0, 1});  // a second browse with rows adds nothing twice
    EXPECT_EQ(excel_items(d), QList<int>(Profile_Field_Count, 3));
    source(d, "name")->setCurrentIndex(2);
    EXPECT_EQ(popup(d, "name")->itemText(1), QStringLiteral("Name"));
    popup(d, "name")->setCurrentIndex(1);
    EXPECT_EQ(value(d, "name")->text(), QStringLiteral("Ada"));
    source(d, "image")->setCurrentIndex(1);
    EXPECT_FALSE(d->browse_pic_btn->isEnabled());
    popup(d, "image")->setCurrentText(QStringLiteral("Photos"));
    EXPECT_EQ(d->image_path_val->text(), photos[0]);
    EXPECT_FALSE(d->user_picture->pixmap().isNull());
    return ok(d);
  });
  EXPECT_TRUE(Excel_Binding_Use);
  EXPECT_EQ(Excel_Source_Path, book);
  EXPECT_TRUE(window->Undo_btn->isEnabled());
  ASSERT_EQ(side_list(0).size(), 2u);
  const auto photo = with_id(0, "Fup_Photo");
  const auto name = with_id(0, "Fup_Name");
  ASSERT_TRUE(photo && name);
  EXPECT_EQ(photo->data_source_type, 1);
  EXPECT_EQ(photo->batch_list_name, QStringLiteral("Photos"));
  EXPECT_EQ(name->data_source_type, 2);
  EXPECT_EQ(name->excel_col_indx, 1);
  // The data-source page offers "Excel" now that the design uses the spreadsheet.
  EXPECT_EQ(window->data_source_panel->Data_source_type->count(), 3);

  QTemporaryDir out;
  platform.open_answers.push_back({out.path()});
  window->Export_Button();
  if (Batch_Export* run = window->Current_Batch_Export()) run->waitForFinished();
  const QString folder = QDir(out.path()).filePath("ZELK Festival Greeting Card");
  EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
            (QStringList{"Card_1.png", "Card_2.png", "Card_3.png"}));
  EXPECT_EQ(result_boxes, QStringList{"Card has been exported successfully."});
  // Pillow reads each card's pixel at the middle of the photo's default rectangle.
  const QRectF rect = Profile_Default_Rect("Fup_Photo", card);
  const double scale = 300.0 / 72.0;
  for (int k = 0; k < 3; ++k) {
    const QString path = QDir(folder).filePath(QStringLiteral("Card_%1.png").arg(k + 1));
    const auto pil = test_support::Run_Program(
        test_support::System_Python(),
        {"-c", "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1]).convert('RGB')\n"
               "print(*im.getpixel((int(sys.argv[2]), int(sys.argv[3]))))",
         path, QString::number(int(rect.center().x() * scale)),
         QString::number(int(rect.center().y() * scale))});
    ASSERT_EQ(pil.exit_code, 0) << pil.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(pil.out).trimmed(),
              QStringLiteral("%1 %2 %3").arg(colours[k].red()).arg(colours[k].green()).arg(colours[k].blue()))
        << path;
  }

  // A browse whose import leaves the data table empty takes "Excel" away again.
  Data_From_Excel::defaultInstance()->Set_Columns({});
  profile_button([&](Profile_Dialog* d) {
    EXPECT_EQ(source(d, "name")->currentIndex(), 2);  // loaded from the bound name
    browse(d, book, std::nullopt);                     // the picker is cancelled
    EXPECT_EQ(excel_items(d), QList<int>(Profile_Field_Count, 2));
    // A path that names no file: said, kept in the field, nothing imported.
    const QString gone = scratch.filePath("gone.xlsx");
    platform.open_answers.push_back({gone});
    d->Browse_excel_btn->click();
    EXPECT_EQ(d->excel_path_field->text(), gone);
    EXPECT_EQ(platform.messages, QStringList{"\nPlease select valid file path."});
    d->Cancel_btn->click();
    return 0;
  });
}

}  // namespace
