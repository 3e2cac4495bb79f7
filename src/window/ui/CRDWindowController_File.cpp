// The design window's file commands: New, Open, Save, Save As and Exit, the window title,
// and the window manager's close, which runs Exit. The file itself is Design_File's; the
// window applies only a design that has passed its checks.

#include "canvas/Card_Base.h"
#include "model/CRDImage.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "series/Data_From_Excel.h"
#include "window/Card_Units.h"
#include "window/Design_File.h"
#include "window/Panel_Writeback.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Data_Source_Panel.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {
const QString Saved_Message = QStringLiteral("Greeting Card Design Log has been saved successfully.");
const QString Corrupt_Message = QStringLiteral("File is corrupt and cannot be opened.");

int Card_Shape_Of(const QString& code) {
  if (code == QLatin1String("RR")) return 1;
  if (code == QLatin1String("E")) return 2;
  return 0;
}
}  // namespace

void CRDWindowController::build_file_commands() {
  auto* toolbar = findChild<QToolBar*>(QStringLiteral("Main_Toolbar"));
  // Open, Save, Save As and Exit follow New at the head of the toolbar.
  QAction* after_new = nullptr;
  const QList<QAction*> actions = toolbar->actions();
  for (int i = 0; i < actions.size(); ++i)
    if (toolbar->widgetForAction(actions[i]) == New_btn) after_new = actions.value(i + 1);
  // The File menu holds the same commands with their keys (so the keys also work while a
  // button waits in the toolbar's overflow menu): New to Save As before its other items,
  // Exit last.
  QMenu* file = File_menu();
  QAction* first_item = file->actions().value(0);
  QAction* before = first_item ? file->insertSeparator(first_item) : nullptr;
  auto key = [&](const char* name, const char* text, QKeySequence sequence,
                 void (CRDWindowController::*run)(), bool last = false) {
    auto* action = new QAction(QString::fromLatin1(text), file);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(sequence);
    connect(action, &QAction::triggered, this, run);
    if (last) {
      file->addSeparator();
      file->addAction(action);
    } else {
      file->insertAction(before, action);
    }
    return sequence;
  };
  auto add = [&](QToolButton*& button, const char* name, const char* text, QKeySequence sequence,
                 void (CRDWindowController::*run)()) {
    button = new QToolButton(toolbar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(text));
    button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(),
                                                     sequence.toString(QKeySequence::NativeText)));
    connect(button, &QToolButton::clicked, this, run);
    toolbar->insertWidget(after_new, button);
  };
  const QKeySequence new_key =
      key("New_menu_item", "New", QKeySequence::New, &CRDWindowController::New_Btn_Clicked);
  New_btn->setToolTip(QStringLiteral("New (%1)").arg(new_key.toString(QKeySequence::NativeText)));
  add(Open_btn, "Open_btn", "Open",
      key("Open_menu_item", "Open...", QKeySequence::Open, &CRDWindowController::Open_Btn_Clicked),
      &CRDWindowController::Open_Btn_Clicked);
  add(Save_btn, "Save_btn", "Save",
      key("Save_menu_item", "Save", QKeySequence::Save, &CRDWindowController::Save_Btn_Clicked),
      &CRDWindowController::Save_Btn_Clicked);
  add(SaveAs_btn, "SaveAs_btn", "Save As",
      key("SaveAs_menu_item", "Save As...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
          &CRDWindowController::SaveAs_Btn_Clicked),
      &CRDWindowController::SaveAs_Btn_Clicked);
  add(Exit_btn, "Exit_btn", "Exit",
      key("Exit_menu_item", "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q),
          &CRDWindowController::Exit_Btn_Clicked, true),
      &CRDWindowController::Exit_Btn_Clicked);
  toolbar->insertSeparator(after_new);
}

// ---- The design as the file holds it -------------------------------------------------------

design_file::Design_Contents CRDWindowController::Current_Design_Contents() {
  design_file::Clear_Unused_Background_Path(Front_card_Prop);
  design_file::Clear_Unused_Background_Path(Back_card_Prop);
  design_file::Design_Contents design;
  design.front = Front_card_Prop;
  design.back = Back_card_Prop;
  design.excel_binding_use = Excel_Binding_Use;
  design.excel_source_path = Excel_Source_Path;
  const Data_From_Excel* table = Data_From_Excel::defaultInstance();
  design.column_titles = table->Column_Titles();
  design.rows = table->ListData();
  design.front_graphics = Get_Front_Controls_Array();
  design.back_graphics = Get_Back_Controls_Array();
  return design;
}

QString CRDWindowController::Design_Refuses_Graphics(const Graphic_List& added) {
  design_file::Design_Contents design = Current_Design_Contents();
  const qint64 held = qint64(design.front_graphics.size() + design.back_graphics.size());
  const qint64 most = design_file::File_Limits().max_graphics;
  if (held + qint64(added.size()) > most) {
    const auto number = [](qint64 n) { return QLocale(QLocale::English).toString(n); };
    return QStringLiteral(
               "the design has %1 objects and these are %2, and a design may hold at most %3 "
               "(add at most %4 of them, or remove objects first)")
        .arg(number(held), number(qint64(added.size())), number(most),
             number(std::max<qint64>(0, most - held)));
  }
  design.front_graphics.insert(design.front_graphics.end(), added.begin(), added.end());
  return design_file::Design_Past_Limits(design);
}

Graphic_Read_Budget CRDWindowController::Design_Picture_Budget(const CRDGraphic* replacing) {
  Graphic_Read_Budget budget;
  budget.Hold(Get_Front_Controls_Array(), replacing);
  budget.Hold(Get_Back_Controls_Array(), replacing);
  return budget;
}

QString CRDWindowController::Design_Refuses_Picture_File(const QString& path,
                                                         const CRDGraphic* replacing) {
  const Graphic_Read_Budget budget = Design_Picture_Budget(replacing);
  const QSize size = budget.Past_Budget(Standardized_Path(path));
  if (!size.isValid()) return {};
  const qint64 held = budget.pixels_taken();
  const auto millions = [](qint64 pixels) { return QString::number(double(pixels) / 1e6, 'g', 4); };
  return QStringLiteral(
             "The picture has %1 x %2 pixels, and the pictures of one design may hold %3 million "
             "pixels together (one picture %4 million): this design's take %5 million already. "
             "Use a smaller picture, or remove pictures first.")
      .arg(size.width())
      .arg(size.height())
      .arg(millions(budget.max_picture_pixels()), millions(Graphic_Read_Budget::Max_One_Picture_Pixels),
           millions(held));
}

QString CRDWindowController::Design_Refuses_Table(const QStringList& titles,
                                                  const QList<QMap<QString, QString>>& rows) {
  design_file::Design_Contents design = Current_Design_Contents();
  design.column_titles = QStringList{Data_From_Excel::Row_Number_Title} + titles;
  design.rows = rows;
  return design_file::Design_Past_Limits(design);
}

qint64 CRDWindowController::Design_Table_Most_Rows(int columns) {
  return design_file::Most_Table_Rows(columns);
}

QString CRDWindowController::Design_Refuses_Table_Rows(const QStringList& titles, qint64 rows) {
  return design_file::Table_Past_Limit(rows, titles.size());
}

// ---- Saving --------------------------------------------------------------------------------

bool CRDWindowController::Save_project_file(bool save_as, bool show_msg, QString* failure) {
  const QString remembered = Project_File_Name;
  if (save_as) Project_File_Name.clear();
  Project_File_Name = Trim_Str(Project_File_Name);
  if (Project_File_Name.isEmpty()) {
    platform::Save_Panel_Options options;
    options.title = QStringLiteral("Save Design");
    options.file_name = QStringLiteral("Untitled.") + design_file_EXT;
    options.extension = design_file_EXT;
    options.file_types = {design_file_EXT};
    QString chosen = platform::Save_Panel(options);
    if (chosen.isEmpty()) {
      Project_File_Name = remembered;
      return false;
    }
    if (QFileInfo(chosen).suffix().compare(design_file_EXT, Qt::CaseInsensitive) != 0)
      chosen += QLatin1Char('.') + design_file_EXT;
    raise();
    activateWindow();
    Project_File_Name = chosen;
  }

  QString error;
  bool written = false;
  try {
    written = design_file::Write_Design_File(Project_File_Name, Current_Design_Contents(), &error);
  } catch (const std::exception& e) {
    error = QString::fromUtf8(e.what());
  }
  if (!written) {
    Show_NSLog_Message(QStringLiteral("Design not saved to %1: %2").arg(Project_File_Name, error));
    if (failure) *failure = error.isEmpty() ? QStringLiteral("unknown reason") : error;
  }
  if (show_msg) {
    Show_MessageBox(written ? Saved_Message : QStringLiteral("fail: ") + error);
    Set_Log_Name_In_Title();
  }
  return written;
}

void CRDWindowController::Set_Log_Name_In_Title() {
  const QFileInfo file(Project_File_Name);
  if (!Project_File_Name.isEmpty() && file.exists())
    setWindowTitle(QStringLiteral("%1 ( %2 )").arg(App_Name, file.fileName()));
  else
    setWindowTitle(App_Name);
}

// ---- Opening -------------------------------------------------------------------------------

int CRDWindowController::Read_and_load_design_Log(const QString& path, const QString& mode) {
  QString reason;
  std::optional<design_file::Design_Contents> design = design_file::Read_Design_File(path, &reason);
  if (!design) {
    Show_NSLog_Message(QStringLiteral("Design %1 not opened: %2").arg(path, reason));
    Show_MessageBox(Corrupt_Message + QStringLiteral("\n\nReason: ") + reason + QLatin1Char('.'));
    return 0;
  }
  const QString left_out = design->left_out;
  const QStringList missing = design->missing_pictures;
  Apply_Design(std::move(*design), path, mode);
  if (!left_out.isEmpty()) {
    Show_NSLog_Message(QStringLiteral("Design %1: %2").arg(path, left_out));
    Show_MessageBox(QStringLiteral("Some pictures of this design were not opened: %1.").arg(left_out));
  }
  if (!missing.isEmpty()) {
    Show_NSLog_Message(QStringLiteral("Design %1: picture files missing: %2").arg(path, missing.join(u", ")));
    Show_MessageBox(design_file::Missing_Pictures_Message(missing));
  }
  return 1;
}

void CRDWindowController::Apply_Design(design_file::Design_Contents design, const QString& path,
                                       const QString& mode) {
  New_Project_Setting_Reset();
  Remove_All_Tab_Items();
  Project_File_Name = mode == QLatin1String("L") ? path : QString();
  {
    const Prop_Change_Guard loading;  // panels only show values meanwhile
    Front_card_Prop = design.front;
    const QSizeF size = Front_card_Prop.Card_Size;
    Set_Document_Size(size);
    SetDocumentCanvasSize(size);
    Set_Card_Size_In_Control(QSizeF(Points_to_MM_Convert(float(size.width())),
                                    Points_to_MM_Convert(float(size.height()))));
    Back_card_Prop = design.back;
    // The outline and the side count follow the front side.
    Card_Shape = Card_Shape_Of(Front_card_Prop.Card_Shape);
    Select_Combo_Item(Sides_ComboBox, Front_card_Prop.Card_Side == QLatin1String("1") ? 1 : 0);

    Excel_Binding_Use = design.excel_binding_use;
    // The spreadsheet choice of the objects' data source follows the binding.
    if (data_source_panel) {
      if (Excel_Binding_Use)
        Add_Excel_Col_Name_In_Combo(data_source_panel->Data_source_type);
      else
        Remove_Excel_Col_Name_In_Combo(data_source_panel->Data_source_type);
    }
    Excel_Source_Path = design.excel_source_path;
    Data_From_Excel::defaultInstance()->Restore(design.column_titles, design.rows);

    if (document_) {
      // Picture objects come with the pictures of their files already read (under the
      // design's budget of pixels).
      document_->Enable_Disable_Undo_Registraion(false);
      const auto insert_all = [&](CRDDocument::Side side, const Graphic_List& graphics) {
        QList<int> indexes;
        for (int i = 0; i < int(graphics.size()); ++i) indexes << i;
        document_->insertGraphics(side, graphics, indexes);
      };
      insert_all(CRDDocument::Side::Front, design.front_graphics);
      insert_all(CRDDocument::Side::Back, design.back_graphics);
    }
    if (mode == QLatin1String("L")) Set_Log_Name_In_Title();
  }
  Not_Draw_Only_Prop_Change = false;
  Show_RHS_Properties(nullptr);
  // The background pictures, read from their paths (the file does not hold them).
  if (Back_card_Prop.Card_fill_chk && Back_card_Prop.Card_fill_style == QLatin1String("I"))
    set_Back_BG_Image(Back_card_Prop.Card_BG_Image_Path);
  if (Front_card_Prop.Card_fill_chk && Front_card_Prop.Card_fill_style == QLatin1String("I"))
    set_Front_BG_Image(Front_card_Prop.Card_BG_Image_Path);
  selectArrowTool();
  Refresh_Canvas();
  if (document_) document_->Enable_Disable_Undo_Registraion(true);
  Undo_Redo_Button_state();
}

int CRDWindowController::Open_Log_File() {
  try {
    platform::Open_Panel_Options options;
    options.title = QStringLiteral("Open Design");
    options.extensions = {design_file_EXT};
    const QString path = platform::Open_File_Panel(options);
    if (path.isEmpty()) return 0;
    return Read_and_load_design_Log(path, QStringLiteral("L"));
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
    return 0;
  }
}

// ---- Buttons -------------------------------------------------------------------------------

bool CRDWindowController::Save_Changes_First(const QString& question, bool show_msg) {
  if (!Show_YES_NO_MessageBox(question)) return true;
  QString failure;
  if (Save_project_file(false, show_msg, &failure)) return true;
  // Not saved: the design stays. A cancelled panel says nothing.
  if (!show_msg && !failure.isEmpty()) Show_MessageBox(QStringLiteral("fail: ") + failure);
  return false;
}

void CRDWindowController::New_Btn_Clicked() {
  if (!Save_Changes_First(QStringLiteral("Do you want to save changes before opening new document?"), true))
    return;
  New_Project();
  Undo_Redo_Button_state();
}

void CRDWindowController::Open_Btn_Clicked() {
  if (!Save_Changes_First(QStringLiteral("Do you want to save changes before opening document?"), true))
    return;
  // The design is replaced only by a file that has passed its checks.
  Open_Log_File();
  Undo_Redo_Button_state();
  Not_Draw_Only_Prop_Change = false;
}

void CRDWindowController::Save_Btn_Clicked() { Save_project_file(false, true); }
void CRDWindowController::SaveAs_Btn_Clicked() { Save_project_file(true, true); }
void CRDWindowController::Exit_Btn_Clicked() { Exit_App(); }

bool CRDWindowController::Exit_App() {
  if (!Save_Changes_First(QStringLiteral("Do you want to save changes before closing?"), false))
    return false;
  Show_Review_Window();  // CRDWindowController_Templates.cpp
  platform::Terminate(0);
  return true;
}

void CRDWindowController::closeEvent(QCloseEvent* event) {
  // The window has no close button; a close from the window manager runs Exit.
  event->ignore();
  Exit_App();
}
