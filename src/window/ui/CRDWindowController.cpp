#include "window/ui/CRDWindowController.h"

#include "library/ui/Preset_Table_View.h"
#include "model/CRDDocument.h"
#include "model/Common_Functions.h"
#include "model/Fonts.h"
#include "model/Resource_Folder.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "series/SpreadsheetWriter.h"
#include "window/Card_Units.h"
#include "window/Image_Saving.h"
#include "window/Object_Panel_Values.h"
#include "window/Panel_Writeback.h"
#include "window/Tool_Placement.h"
#include "window/Window_Files.h"
#include "window/ui/Card_Panel.h"
#include "window/ui/Open_Export_Log.h"
#include "window/ui/PleaseWait_Modeless.h"
#include "window/ui/Text_Panel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <utility>

namespace {

CRDWindowController* app_DefaultInstance = nullptr;

// The shown side view fills the design area.
QRect side_view_geometry(const QWidget* area) { return area->rect(); }

const char* const border_style_items[] = {"Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot"};
const char* const border_style_codes[] = {"S", "DA", "DO", "DD", "DDD"};

QWidget* make_page(QWidget* parent, const char* name, const QString& label) {
  auto* page = new QWidget(parent);
  page->setObjectName(QString::fromLatin1(name));
  page->setWindowTitle(label);  // the tab's label
  return page;
}

QComboBox* make_combo(QWidget* parent, const char* name, const QStringList& items = {}) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  combo->addItems(items);
  return combo;
}

QComboBox* make_border_style_combo(QWidget* parent, const char* name) {
  auto* combo = make_combo(parent, name);
  for (size_t i = 0; i < std::size(border_style_items); ++i)
    combo->addItem(QString::fromLatin1(border_style_items[i]),
                   QString::fromLatin1(border_style_codes[i]));
  return combo;
}

// Keeps the shown side view as large as the design area.
class Side_View_Sizer : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) {
      auto* area = static_cast<QWidget*>(watched);
      for (QObject* child : area->children()) {
        auto* view = qobject_cast<QWidget*>(child);
        if (view && !view->isHidden()) view->setGeometry(side_view_geometry(area));
      }
    }
    return false;
  }
};

}  // namespace

CRDWindowController* CRDWindowController::defaultInstance() { return app_DefaultInstance; }

const QStringList& CRDWindowController::Date_Formats() {
  static const QStringList formats{
      QStringLiteral("M-d-yyyy"),   QStringLiteral("M-d-yy"),     QStringLiteral("MM-dd-yy"),
      QStringLiteral("MM-dd-yyyy"), QStringLiteral("yy-MM-dd"),   QStringLiteral("yyyy-MM-dd"),
      QStringLiteral("dd-MMM-yy"),  QStringLiteral("dd-MM-yyyy"), QStringLiteral("d-M-yy")};
  return formats;
}

const QStringList& CRDWindowController::Time_Formats() {
  static const QStringList formats{QStringLiteral("h:mm:ss a"), QStringLiteral("hh:mm:ss a"),
                                   QStringLiteral("H:mm:ss"), QStringLiteral("HH:mm:ss")};
  return formats;
}

CRDWindowController::CRDWindowController(CRDDocument* document, const QString& resource_folder,
                                         QWidget* parent)
    : QMainWindow(parent) {
  setObjectName(QStringLiteral("DrawWindow"));
  _grid = new CRDGrid(this);
  _zoomFactor = 1.0;
  Selected_Control_Tool = Arrow_Tool;
  app_DefaultInstance = this;
  Set_Main_App_wnd(this, this);
  Install_Series_Hooks();
  Install_Import_Hooks();

  Text_font = Make_Font(Text_Ctrl_Font, 14);
  paper_card_arry = Paper_Card_Names();
  pvc_card_arry = PVC_Card_Names();

  const QString shipped = Shipped_Resources_Path() + QLatin1Char('/');
  act_path_location = Shipped_Resources_Path();
  no_image = Picture::fromFile(shipped + QStringLiteral("no.png"));
  banner_image = Picture::fromFile(shipped + QStringLiteral("banner.png"));
  promotion_pattern_image = Picture::fromFile(shipped + QStringLiteral("pattern_1.jpg"));
  wizard_pattern_image = Picture::fromFile(shipped + QStringLiteral("Wizard_pattern.jpg"));
  sign_sample_img = Picture::fromFile(shipped + QStringLiteral("sign_sample.png"));
  fp_sample_img = Picture::fromFile(shipped + QStringLiteral("fingerprints.png"));
  barcode_sample_img = Picture::fromFile(shipped + QStringLiteral("barcode_sample.png"));
  App_Name = QCoreApplication::applicationName();

  build_window();
  setDocument(document);
  awakeFromNib(resource_folder);
  Apply_Window_Look();
}

void CRDWindowController::setDocument(CRDDocument* document) {
  observe_canvas_size(document);
  document_ = document;
  const std::pair<CRDGraphicView*, const QString&> sides[] = {
      {_graphicView, CRDGraphicViewGraphicsBindingName},
      {_graphicView_BACK, CRDGraphicViewGraphicsBindingName_back},
      {_graphicView_TEMP, CRDGraphicViewGraphicsBindingName_temp}};
  for (const auto& [canvas, name] : sides) {
    if (document)
      canvas->bind(name, document);
    else
      canvas->unbind(name);
  }
}

CRDWindowController::~CRDWindowController() {
  if (app_DefaultInstance == this) app_DefaultInstance = nullptr;
  if (Main_App_wnd == this) Set_Main_App_wnd(nullptr, nullptr);
  // The canvases outlive this part of the window a little: nothing of theirs may reach it.
  setDocument(nullptr);
}

// ---- The window's widgets ------------------------------------------------------------------

void CRDWindowController::build_window() {
  setWindowTitle(App_Name);
  build_toolbar();
  build_edit_menu();

  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("Main_wnd"));
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(4, 4, 4, 4);
  row->addWidget(build_tool_palette());

  myTargetView = new QWidget(central);
  myTargetView->setObjectName(QStringLiteral("myTargetView"));
  myTargetView->installEventFilter(new Side_View_Sizer(myTargetView));
  first_view = build_side_view(QStringLiteral("first_view"), _zoomingScrollView, _graphicView);
  second_view =
      build_side_view(QStringLiteral("second_view"), _zoomingScrollView_BACK, _graphicView_BACK);
  temp_design_view = build_side_view(QStringLiteral("temp_design_view"), _zoomingScrollView_TEMP,
                                     _graphicView_TEMP);
  for (QWidget* view : {first_view, second_view, temp_design_view}) view->hide();
  row->addWidget(myTargetView, 1);

  build_sidebar();
  build_card_side();
  build_object_panels();
  build_arrange_commands();  // CRDWindowController_Arrange.cpp
  add_ruler_check_box();     // CRDWindowController_Rulers.cpp
  build_gallery();           // CRDWindowController_Gallery.cpp
  build_file_commands();     // CRDWindowController_File.cpp
  build_barcode_tab();
  build_template_menu_items();  // CRDWindowController_Templates.cpp
  row->addWidget(sett_tab);
  setCentralWidget(central);
  fit_layout();
}

QWidget* CRDWindowController::build_side_view(const QString& name, CRDZoomingScrollView*& scroll,
                                              CRDGraphicView*& canvas) {
  auto* view = new QWidget(myTargetView);
  view->setObjectName(name);
  scroll = new CRDZoomingScrollView(view);
  scroll->setObjectName(name == QLatin1String("first_view")    ? "_zoomingScrollView"
                        : name == QLatin1String("second_view") ? "_zoomingScrollView_BACK"
                                                               : "_zoomingScrollView_TEMP");
  canvas = new CRDGraphicView;
  canvas->setObjectName(name == QLatin1String("first_view")    ? "_graphicView"
                        : name == QLatin1String("second_view") ? "_graphicView_BACK"
                                                               : "_graphicView_TEMP");
  scroll->setDocumentView(canvas);
  scroll->setFactor(_zoomFactor);
  canvas->setGrid(_grid);
  // A zoom chosen on one side holds for all three.
  connect(scroll, &CRDZoomingScrollView::factorChanged, this, &CRDWindowController::setZoomFactor);
  auto* layout = new QVBoxLayout(view);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scroll);
  return view;
}

QWidget* CRDWindowController::build_tool_palette() {
  struct Tool_Button {
    const char* name;
    const char* label;
    void (CRDWindowController::*action)();
  };
  static const Tool_Button buttons[] = {
      {"Arrow_Tool_btn", "Arrow", &CRDWindowController::Arrow_Tool_Clicked},
      {"Line_Tool_btn", "Line", &CRDWindowController::Line_Tool_Clicked},
      {"Text_Tool_btn", "Text", &CRDWindowController::Text_Tool_Clicked},
      {"Rect_Tool_btn", "Rectangle", &CRDWindowController::Rect_Tool_Clicked},
      {"Circle_Tool_btn", "Ellipse", &CRDWindowController::Circle_Tool_Clicked},
      {"Round_Rect_Tool_btn", "Rounded", &CRDWindowController::Round_Rect_Tool_Clicked},
      {"Triangle_Tool_btn", "Triangle", &CRDWindowController::Triangle_Tool_Clicked},
      {"Diamond_Tool_btn", "Diamond", &CRDWindowController::Diamond_Tool_Clicked},
      {"Image_Tool_btn", "Picture", &CRDWindowController::Image_Tool_Clicked},
      {"Image_Library_Tool_btn", "Library", &CRDWindowController::Image_Library_Tool_Clicked},
      {"Barcode_Tool_btn", "Barcode", &CRDWindowController::Barcode_Tool_Clicked},
      {"Signature_Tool_btn", "Signature", &CRDWindowController::Signature_Tool_Clicked},
      {"Fingure_Print_Tool_btn", "Fingerprint", &CRDWindowController::Fingure_Print_Tool_Clicked},
      {"Star_Tool_btn", "Star", &CRDWindowController::Star_Tool_Clicked},
      {"Double_Star_Tool_btn", "Double Star", &CRDWindowController::Double_Star_Tool_Clicked},
      {"Polygon_Tool_btn", "Polygon", &CRDWindowController::Polygon_Tool_Clicked},
  };
  auto* palette = new QWidget(this);
  palette->setObjectName(QStringLiteral("Tool_Palette"));
  auto* grid = new QGridLayout(palette);
  grid->setContentsMargins(0, 0, 0, 0);
  int index = 0;
  for (const Tool_Button& b : buttons) {
    auto* button = new QToolButton(palette);
    button->setObjectName(QString::fromLatin1(b.name));
    button->setText(QString::fromLatin1(b.label));
    button->setToolTip(QString::fromLatin1(b.label));
    button->setProperty("tool", index);  // the tool number is the place in the palette
    connect(button, &QToolButton::clicked, this, b.action);
    grid->addWidget(button, index / 2, index % 2);
    ++index;
  }
  grid->setRowStretch(index / 2 + 1, 1);
  return palette;
}

void CRDWindowController::build_toolbar() {
  auto* toolbar = addToolBar(QStringLiteral("Commands"));
  toolbar->setObjectName(QStringLiteral("Main_Toolbar"));
  toolbar->setMovable(false);
  auto add = [&](QToolButton*& button, const char* name, const char* label) {
    button = new QToolButton(toolbar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(label));
    // Commands switch their buttons on as they become possible.
    button->setEnabled(false);
    toolbar->addWidget(button);
  };
  add(Undo_btn, "Undo_btn", "Undo");
  add(Redo_btn, "Redo_btn", "Redo");
  toolbar->addSeparator();
  add(Cut_btn, "Cut_btn", "Cut");
  add(Copy_btn, "Copy_btn", "Copy");
  add(Paste_btn, "Paste_btn", "Paste");
  add(Delete_btn, "Delete_btn", "Delete");
  toolbar->addSeparator();
  add(Begin_Front_btn, "Begin_Front_btn", "Bring to Front");
  add(Send_Back_btn, "Send_Back_btn", "Send to Back");
  add(Lock_btn, "Lock_btn", "Lock");
  add(Unlock_btn, "Unlock_btn", "Unlock");
  toolbar->addSeparator();
  add_export_button(toolbar);
  add_print_button(toolbar);
  add_mail_button(toolbar);
  add_profile_button(toolbar);
  Front_back_label = new QLabel(QStringLiteral("Front"), toolbar);
  Front_back_label->setObjectName(QStringLiteral("Front_back_label"));
  Front_back_label->setContentsMargins(8, 0, 8, 0);
  toolbar->addWidget(Front_back_label);
  Add_Series_Button(toolbar, Batch_Series_btn, "Batch_Series_btn", "Series", &CRDWindowController::Batch_Series_Button);
  Add_Series_Button(toolbar, Create_Series_btn, "Create_Series_btn", "Create Series", &CRDWindowController::Create_Series_Button);
  Add_Series_Button(toolbar, Import_Wizard_btn, "Import_Wizard_btn", "Import", &CRDWindowController::Import_Wizard_Button);
  add_template_commands(toolbar);
}

void CRDWindowController::build_edit_menu() {
  using Command = CRDGraphicView::Command;
  struct Item {
    const char* name;
    const char* label;
    QKeySequence::StandardKey key;
    Command command;
    void (CRDGraphicView::*run)();
  };
  static const Item items[] = {
      {"Undo_menu_item", "Undo", QKeySequence::Undo, Command::undo, &CRDGraphicView::undo},
      {"Redo_menu_item", "Redo", QKeySequence::Redo, Command::redo, &CRDGraphicView::redo},
      {"Cut_menu_item", "Cut", QKeySequence::Cut, Command::cut, &CRDGraphicView::cut},
      {"Copy_menu_item", "Copy", QKeySequence::Copy, Command::copy, &CRDGraphicView::copy},
      {"Paste_menu_item", "Paste", QKeySequence::Paste, Command::paste, &CRDGraphicView::paste},
      {"Delete_menu_item", "Delete", QKeySequence::Delete, Command::delete_,
       &CRDGraphicView::delete_},
      {"Select_All_menu_item", "Select All", QKeySequence::SelectAll, Command::selectAll,
       &CRDGraphicView::selectAll},
  };
  Edit_menu = menuBar()->addMenu(QStringLiteral("&Edit"));
  Edit_menu->setObjectName(QStringLiteral("Edit_menu"));
  for (const Item& item : items) {
    auto* action = Edit_menu->addAction(QString::fromLatin1(item.label));
    action->setObjectName(QString::fromLatin1(item.name));
    action->setShortcuts(edit_shortcuts(item.key));
    const Command command = item.command;
    const auto run = item.run;
    connect(action, &QAction::triggered, this,
            [this, command, run] { run_edit_command(command, run); });
    // Shown items follow their target; shortcuts stay live and check when used.
    connect(Edit_menu, &QMenu::aboutToShow, action,
            [this, command, action] { action->setEnabled(edit_command_enabled(command)); });
    connect(Edit_menu, &QMenu::aboutToHide, action, [action] { action->setEnabled(true); });
    if (command == Command::redo || command == Command::delete_) Edit_menu->addSeparator();
  }
  add_ruler_menu_item();
}

CRDGraphicView* CRDWindowController::focused_canvas() const {
  QWidget* focus = focusWidget();
  for (CRDGraphicView* canvas : {_graphicView, _graphicView_BACK, _graphicView_TEMP})
    if (canvas && canvas == focus) return canvas;
  return nullptr;
}

void CRDWindowController::build_sidebar() {
  sett_tab = new QTabWidget(this);
  sett_tab->setObjectName(QStringLiteral("sett_tab"));
  sett_tab->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

  card_setting_tab = make_page(sett_tab, "card_setting_tab", QStringLiteral("Card"));
  card_info_tab = make_page(sett_tab, "card_info_tab", QStringLiteral("Info"));
  card_size_tab = make_page(sett_tab, "card_size_tab", QStringLiteral("Size"));
  card_bkgd_tab = make_page(sett_tab, "card_bkgd_tab", QStringLiteral("Background"));
  card_brdr_tab = make_page(sett_tab, "card_brdr_tab", QStringLiteral("Border"));
  line_tab = make_page(sett_tab, "line_tab", QStringLiteral("Line"));
  shape_tab = make_page(sett_tab, "shape_tab", QStringLiteral("Shape"));
  text_edtng_tab = make_page(sett_tab, "text_edtng_tab", QStringLiteral("Text"));
  text_prop_tab = make_page(sett_tab, "text_prop_tab", QStringLiteral("Text Properties"));
  image_tab = make_page(sett_tab, "image_tab", QStringLiteral("Image"));
  sign_tab = make_page(sett_tab, "sign_tab", QStringLiteral("Signature"));
  datasource_tab = make_page(sett_tab, "datasource_tab", QStringLiteral("Text Source"));
  aligmnt_tab = make_page(sett_tab, "aligmnt_tab", QStringLiteral("Alignment"));
  barcode_tab = make_page(sett_tab, "barcode_tab", QStringLiteral("Barcode"));
  Lock_tab = make_page(sett_tab, "Lock_tab", QStringLiteral("Locked"));

  // Card settings: sides, orientation, category, the preset list and the size.
  Sides_ComboBox = make_combo(card_setting_tab, "Sides_ComboBox",
                              {QStringLiteral("Front and Back"), QStringLiteral("Front Only")});
  Preset_ComboBox = make_combo(card_setting_tab, "Preset_ComboBox",
                               {QStringLiteral("Horizontal"), QStringLiteral("Vertical")});
  Category_ComboBox = make_combo(card_setting_tab, "Category_ComboBox",
                                 {PVC_Card_Category, Paper_Card_Category});
  ListData = new Preset_List(this);
  ColList = Make_Preset_Table_View(ListData, card_setting_tab);
  auto make_size = [&](QDoubleSpinBox*& stepper, QLineEdit*& text, const char* stepper_name,
                       const char* text_name) {
    stepper = new QDoubleSpinBox(card_setting_tab);
    stepper->setObjectName(QString::fromLatin1(stepper_name));
    stepper->setRange(1, 2000);
    stepper->setDecimals(3);
    stepper->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    text = new QLineEdit(card_setting_tab);
    text->setObjectName(QString::fromLatin1(text_name));
    auto* row = new QHBoxLayout;
    row->addWidget(text, 1);
    row->addWidget(stepper);
    return row;
  };
  auto* settings = new QFormLayout(card_setting_tab);
  settings->addRow(QStringLiteral("Sides"), Sides_ComboBox);
  settings->addRow(QStringLiteral("Orientation"), Preset_ComboBox);
  settings->addRow(QStringLiteral("Category"), Category_ComboBox);
  settings->addRow(ColList);
  settings->addRow(QStringLiteral("Width (mm)"),
                   make_size(width_Stepper, width_Text, "width_Stepper", "width_Text"));
  settings->addRow(QStringLiteral("Height (mm)"),
                   make_size(height_Stepper, height_Text, "height_Stepper", "height_Text"));

  // Card background and border.
  Card_image_layout = make_combo(card_bkgd_tab, "Card_image_layout",
                                 {QStringLiteral("Stretch"), QStringLiteral("Tile")});
  Card_hatch_style = make_combo(card_bkgd_tab, "Card_hatch_style");
  auto* background = new QFormLayout(card_bkgd_tab);
  background->addRow(QStringLiteral("Picture layout"), Card_image_layout);
  background->addRow(QStringLiteral("Hatch pattern"), Card_hatch_style);

  Card_bor_Text = new QLineEdit(card_brdr_tab);
  Card_bor_Text->setObjectName(QStringLiteral("Card_bor_Text"));
  Card_bor_Stepper = new QSpinBox(card_brdr_tab);
  Card_bor_Stepper->setObjectName(QStringLiteral("Card_bor_Stepper"));
  Card_bor_Stepper->setRange(0, 100);
  Card_border_style = make_border_style_combo(card_brdr_tab, "Card_border_style");
  auto* border_width = new QHBoxLayout;
  border_width->addWidget(Card_bor_Text, 1);
  border_width->addWidget(Card_bor_Stepper);
  auto* border = new QFormLayout(card_brdr_tab);
  border->addRow(QStringLiteral("Width"), border_width);
  border->addRow(QStringLiteral("Style"), Card_border_style);

  // Object pages: the controls start-up fills.
  shape_border_style = make_border_style_combo(shape_tab, "shape_border_style");
  shape_hatch_style = make_combo(shape_tab, "shape_hatch_style");
  auto* shape = new QFormLayout(shape_tab);
  shape->addRow(QStringLiteral("Border style"), shape_border_style);
  shape->addRow(QStringLiteral("Hatch pattern"), shape_hatch_style);

  Text_Date_style = make_combo(text_edtng_tab, "Text_Date_style");
  Text_Time_style = make_combo(text_edtng_tab, "Text_Time_style");
  auto* editing = new QFormLayout(text_edtng_tab);
  editing->addRow(QStringLiteral("Date"), Text_Date_style);
  editing->addRow(QStringLiteral("Time"), Text_Time_style);

  // Items in the order of the stored codes: alignment 0 left, 1 right, 2 centred,
  // 3 justified, 4 natural; case 0 as typed, 1 upper, 2 lower, 3 capitalised words.
  Text_align_combo =
      make_combo(text_prop_tab, "Text_align_combo",
                 {QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Center"),
                  QStringLiteral("Justified"), QStringLiteral("Natural")});
  Text_case_combo = make_combo(text_prop_tab, "Text_case_combo",
                               {QStringLiteral("As Typed"), QStringLiteral("Upper Case"),
                                QStringLiteral("Lower Case"), QStringLiteral("Capitalized")});
  auto* text_properties = new QFormLayout(text_prop_tab);
  text_properties->addRow(QStringLiteral("Alignment"), Text_align_combo);
  text_properties->addRow(QStringLiteral("Case"), Text_case_combo);

  sel_control_name = new QLineEdit(QStringLiteral("NONE"), this);
  sel_control_name->setObjectName(QStringLiteral("sel_control_name"));
  sel_control_name->hide();

  for (QWidget* page : {card_setting_tab, card_info_tab, card_size_tab, card_bkgd_tab,
                        card_brdr_tab, line_tab, shape_tab, text_edtng_tab, text_prop_tab,
                        image_tab, sign_tab, datasource_tab, aligmnt_tab, barcode_tab, Lock_tab})
    sett_tab->addTab(page, page->windowTitle());
}

// ---- Preparing the window ------------------------------------------------------------------

void CRDWindowController::awakeFromNib(const QString& resource_folder) {
  // No close button: the program ends through its exit command.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinMaxButtonsHint);
  QPalette background = palette();
  background.setColor(QPalette::Window, QColor(241, 244, 250));
  setPalette(background);
  place_window();
  show();
  place_window();  // again, with the frame that the window now has
  raise();
  activateWindow();

  data_table_content.clear();

  if (!Prepare_Resource_Path(resource_folder)) {
    Show_MessageBox(QStringLiteral("Unable to access the application's data file."));
    platform::Terminate(1);
    return;
  }
  act_path_location = Resource_Path;
  // Data folders that are links are said once; the program goes on without writing there.
  if (const QString linked = Linked_Data_Folders_Message(Linked_Data_Folders()); !linked.isEmpty())
    Show_MessageBox(linked);
  Get_Email_Details();

  images.clear();
  shape_border_style->setCurrentIndex(0);
  ListData->Remove_All();
  Show_Hide_Ruler_ChkBox();

  // The card's five pages stay; the object pages wait outside the tab view.
  for (QWidget* page : {line_tab, shape_tab, text_edtng_tab, text_prop_tab, image_tab, sign_tab,
                        datasource_tab, aligmnt_tab, barcode_tab, Lock_tab})
    sett_tab->removeTab(sett_tab->indexOf(page));

  Not_Draw_Only_Prop_Change = true;
  Card_image_layout->setCurrentIndex(1);
  Sides_ComboBox->setCurrentIndex(0);
  Preset_ComboBox->setCurrentIndex(0);
  Category_ComboBox->setCurrentIndex(0);
  Fill_Preset_List();
  Text_Date_style->clear();
  Text_Date_style->addItems(Date_Formats());
  Text_Date_style->setCurrentIndex(0);
  Text_Time_style->clear();
  Text_Time_style->addItems(Time_Formats());
  Text_Time_style->setCurrentIndex(0);
  Text_align_combo->setCurrentIndex(0);
  Text_case_combo->setCurrentIndex(0);
  shape_hatch_style->clear();
  Card_bor_Text->setText(QStringLiteral("3"));
  Card_bor_Stepper->setValue(3);
  Card_border_style->setCurrentIndex(0);
  Card_hatch_style->clear();
  // The pattern pictures in the folder, of the shipped patterns only (no other name paints).
  QStringList patterns =
      ::Get_Files_Array_At_Path(Resource_Path + QStringLiteral("/Fill_Style_Image"));
  patterns.removeIf([](const QString& name) { return !Shipped_Hatch_Names().contains(name); });
  shape_hatch_style->addItems(patterns);
  Card_hatch_style->addItems(patterns);
  if (!patterns.isEmpty()) {
    shape_hatch_style->setCurrentIndex(0);
    Card_hatch_style->setCurrentIndex(0);
  }
  Not_Draw_Only_Prop_Change = false;

  Give_Canvases_Rulers();
  SetDocumentCanvasSize(CRDDocument::canvasSize(true, QSizeF()));

  selectedToolDidChange();
  connect(this, &CRDWindowController::Selected_Tool_Did_Change, this,
          &CRDWindowController::selectedToolDidChange, Qt::DirectConnection);

  Load_and_fill_backgrounds();
  // A new design: data folders, default card sides, the card's sidebar, the front side.
  // The start screen follows from main, once the window is on screen.
  new_design();
}

// ---- Canvas size ---------------------------------------------------------------------------

void CRDWindowController::Set_Card_Size_In_Control(QSizeF size_mm) {
  const float width = float(size_mm.width());
  const float height = float(size_mm.height());
  width_Stepper->setValue(width);
  width_Text->setText(QString::number(width));
  height_Stepper->setValue(height);
  height_Text->setText(QString::number(height));
}

void CRDWindowController::Set_Document_Size(QSizeF size_points) {
  // The document answers its fixed size or the one given; the canvases keep theirs.
  (void)CRDDocument::canvasSize(false, size_points);
}

void CRDWindowController::SetDocumentCanvasSize(QSizeF size_points) {
  const std::initializer_list<CRDGraphicView*> canvases = {_graphicView, _graphicView_BACK,
                                                           _graphicView_TEMP};
  for (CRDGraphicView* canvas : canvases) canvas->setFrameSize(QSizeF(0, 0));
  Refresh_Canvas();
  for (CRDGraphicView* canvas : canvases) canvas->setFrameSize(size_points);
  Refresh_Canvas();
}

void CRDWindowController::setZoomFactor(double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  _zoomFactor = factor;
  for (CRDZoomingScrollView* scroll :
       {_zoomingScrollView, _zoomingScrollView_BACK, _zoomingScrollView_TEMP})
    scroll->setFactor(factor);
}

// ---- Presets -------------------------------------------------------------------------------

QSizeF CRDWindowController::Get_My_card_Size(const QString& category, const QString& orientation,
                                             int list_index) const {
  return ::Get_My_card_Size(category, orientation, list_index);
}

void CRDWindowController::Create_List(const QString& name) { ListData->Create_List(name); }

QString CRDWindowController::Get_Item_Text(int row) const { return ListData->Get_Item_Text(row); }

void CRDWindowController::Mark_List_New_Selection(int row) {
  const QModelIndex index = ListData->index(row, 0);
  if (!index.isValid()) {
    ColList->selectionModel()->clearSelection();
    return;
  }
  ColList->selectionModel()->select(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ColList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void CRDWindowController::Fill_Preset_List() {
  ListData->Remove_All();
  const bool pvc = Category_ComboBox->currentIndex() == 0;
  for (const QString& name : pvc ? pvc_card_arry : paper_card_arry) Create_List(name);
  // The list names the card's size: the first preset that has it, or none.
  Mark_List_New_Selection(Card_Size_Preset_Row(0));
}

int CRDWindowController::Card_Size_Preset_Row(int preferred_row) const {
  return Preset_Row_For_Size(
      Category_ComboBox->currentText(),
      Preset_ComboBox->currentIndex() == 1 ? QStringLiteral("V") : QStringLiteral("H"),
      QSizeF(width_Stepper->value(), height_Stepper->value()), preferred_row);
}

// ---- Side lists, units, image saving -------------------------------------------------------

namespace {
const Graphic_List& no_graphics() {
  static const Graphic_List empty;
  return empty;
}
}  // namespace

const Graphic_List& CRDWindowController::Get_Front_Controls_Array() const {
  return document_ ? document_->graphics() : no_graphics();
}
const Graphic_List& CRDWindowController::Get_Back_Controls_Array() const {
  return document_ ? document_->graphics_back() : no_graphics();
}
Graphic_List CRDWindowController::Get_Temp_Controls_Array() const {
  return document_ ? document_->graphics_temp() : no_graphics();
}

quint32 CRDWindowController::Get_Front_Control_Count() const {
  return quint32(Get_Front_Controls_Array().size());
}
quint32 CRDWindowController::Get_Back_Control_Count() const {
  return quint32(Get_Back_Controls_Array().size());
}
quint32 CRDWindowController::Get_Temp_Control_Count() const {
  return document_ ? quint32(document_->graphics_temp().size()) : 0;
}

float CRDWindowController::MM_to_Points_Convert(float millimetres) {
  return ::MM_to_Points_Convert(millimetres);
}
float CRDWindowController::Points_to_MM_Convert(float points) {
  return ::Points_to_MM_Convert(points);
}
bool CRDWindowController::Save_gen_image(const Picture& image, const QString& file_path_val) {
  return ::Save_gen_image(image, file_path_val);
}

// ---- Tools ---------------------------------------------------------------------------------

void CRDWindowController::Tool_Clicked(int tool) {
  Selected_Control_Tool = tool;
  Select_tool_action();
}

void CRDWindowController::Select_tool_action() {
  const bool text_tool = currentGraphicClass() == QLatin1String("CRDText");
  emit Selected_Tool_Did_Change();
  Refresh_Canvas();
  // A picture tool may have opened a file panel or the library, and been cancelled.
  Show_Selection_Properties();
  // A new text shows its placeholder selected in the Text panel: typing replaces it.
  const std::shared_ptr<CRDGraphic> shown = Shown_Selection();
  if (text_tool && shown && shown->className() == QLatin1String("CRDText") &&
      sett_tab->currentWidget() == text_edtng_tab && !text_panel->Text_value_Edit->isReadOnly())
    text_panel->Text_value_Edit->setFocus(Qt::OtherFocusReason);
}

void CRDWindowController::selectArrowTool() {
  Selected_Control_Tool = Arrow_Tool;
  emit Selected_Tool_Did_Change();
}

QString CRDWindowController::currentGraphicClass() const {
  return Tool_Graphic_Class(Selected_Control_Tool);
}

void CRDWindowController::selectedToolDidChange() {
  const QString kind = currentGraphicClass();
  if (kind.isEmpty()) return;
  // Picture tools first ask for a file or a library picture.
  if (kind == QLatin1String("CRDImage") && !picture_tool_step()) return;
  // The current side, never the temporary one. With no control ID the canvas puts the
  // frame at Control_New_Point of that side and keeps its size.
  const bool back = Card_Front_Or_Back != 0;
  CRDGraphicView* canvas = back ? _graphicView_BACK : _graphicView;
  canvas->createGraphicOfClass(
      kind, nullptr, true, QRectF(QPointF(0, 0), Tool_Frame_Size(Selected_Control_Tool)),
      back ? QStringLiteral("B") : QStringLiteral("F"), QString(), QString());
}

Picture CRDWindowController::Loaded_Picture(const QString& field_name) {
  const std::pair<const char*, const Picture*> fields[] = {
      {"no_image", &no_image},
      {"banner_image", &banner_image},
      {"promotion_pattern_image", &promotion_pattern_image},
      {"wizard_pattern_image", &wizard_pattern_image},
      {"sign_sample_img", &sign_sample_img},
      {"fp_sample_img", &fp_sample_img},
      {"barcode_sample_img", &barcode_sample_img}};
  for (const auto& [name, picture] : fields)
    if (field_name == QLatin1String(name)) return *picture;
  return Design_Window_Services::Loaded_Picture(field_name);
}

QPointF CRDWindowController::Control_New_Point(const QString& side) {
  if (!_graphicView) {
    Show_NSLog_Message(QStringLiteral("No canvas to place a new object on"));
    return QPointF(10, 10);
  }
  const qsizetype count =
      side == QLatin1String("F") ? Get_Front_Control_Count() : Get_Back_Control_Count();
  const QPointF point =
      Next_Cascade_Point(count, Front_Canvas_Bounds().size(), QPointF(last_ctrl_X, last_ctrl_Y));
  last_ctrl_X = float(point.x());
  last_ctrl_Y = float(point.y());
  return point;
}

// ---- Views and refresh ---------------------------------------------------------------------

CRDGraphicView* CRDWindowController::current_canvas() const {
  return Card_Front_Or_Back == 0 ? _graphicView : _graphicView_BACK;
}

CRDGraphicView* CRDWindowController::shown_canvas() const {
  return shown_side == 0 ? _graphicView : shown_side == 1 ? _graphicView_BACK : _graphicView_TEMP;
}

QRectF CRDWindowController::Front_Canvas_Bounds() const {
  return _graphicView ? _graphicView->bounds() : QRectF();
}

void CRDWindowController::Set_Align_With_Grid_Enabled(bool enabled) {
  align_with_grid_enabled = enabled;
  if (Align_To_Grid_btn) Align_To_Grid_btn->setEnabled(enabled);
}

void CRDWindowController::Refresh_Canvas() {
  if (Card_Value_In_Process) return;
  if (CRDGraphicView* canvas = current_canvas()) canvas->refreshGraphics();
}

Card_Property* CRDWindowController::Side_Card_Property(int side) {
  return side == 0 ? &Front_card_Prop : &Back_card_Prop;
}

void CRDWindowController::changeViewController(int side) {
  QWidget* view = side == 0   ? first_view
                  : side == 1 ? second_view
                  : side == 2 ? temp_design_view
                              : nullptr;
  if (!view) return;
  for (QWidget* other : {first_view, second_view, temp_design_view})
    if (other != view) other->hide();
  view->setGeometry(side_view_geometry(myTargetView));
  view->show();
  shown_side = side;
  // Changes made here (also to the graphics the temporary side shares with a real one)
  // are undone here; the Undo and Redo buttons show this side's history.
  if (document_)
    document_->setEditedSide(side == 0   ? CRDDocument::Side::Front
                             : side == 1 ? CRDDocument::Side::Back
                                         : CRDDocument::Side::Temp);
  Undo_Redo_Button_state();
  // Keys (moves, deletion, the Edit menu's shortcuts) go to the side now shown.
  shown_canvas()->setFocus(Qt::OtherFocusReason);
  Show_Ruler_State();
}

void CRDWindowController::Remove_All_Tab_Items() {
  QList<QWidget*> pages;
  for (int i = 0; i < sett_tab->count(); ++i) pages << sett_tab->widget(i);
  for (QWidget* page : pages) sett_tab->removeTab(sett_tab->indexOf(page));
}

// ---- Property sidebar ----------------------------------------------------------------------

std::shared_ptr<CRDGraphic> CRDWindowController::Shown_Selection() const {
  CRDGraphicView* canvas = current_canvas();
  if (!canvas || !canvas->isBound()) return nullptr;
  const Graphic_List selected = canvas->selectedGraphics();
  if (selected.empty()) return nullptr;
  const std::shared_ptr<CRDGraphic> remembered = canvas->Selected_Graphic();
  if (remembered && std::find(selected.begin(), selected.end(), remembered) != selected.end())
    return remembered;
  return selected.front();
}

void CRDWindowController::Show_RHS_Properties(const std::shared_ptr<CRDGraphic>& graphic) {
  if (Not_Draw_Only_Prop_Change) return;
  selectArrowTool();

  if (!graphic) {
    const Prop_Change_Guard filling;
    if (CRDGraphicView* canvas = current_canvas(); canvas && canvas->isBound())
      canvas->Clear_Control_Selection();
    Disable_Standard_Button_For_Card();
    Last_Selected_Graphic.reset();
    Remove_All_Tab_Items();
    sett_tab->insertTab(0, card_setting_tab, card_setting_tab->windowTitle());
    sett_tab->insertTab(1, card_bkgd_tab, card_bkgd_tab->windowTitle());
    sett_tab->insertTab(2, card_brdr_tab, card_brdr_tab->windowTitle());
    sett_tab->setCurrentIndex(0);
    // The side's settings take the card's place and size on the canvas.
    Card_Property* side = Side_Card_Property(Card_Front_Or_Back);
    const QRectF bounds = Front_Canvas_Bounds();
    side->Card_Location = bounds.topLeft();
    side->Card_Size = bounds.size();
    card_panel->Load(*side);
    card_panel->card_prop_set(side->Card_fill_style);
    sett_tab->update();
    return;
  }

  Enable_Standard_Button_For_Control();
  if (graphic->ctrl_is_locked)
    Disable_Standard_Button_For_Lock();
  else
    Enable_Standard_Button_For_Unlock();

  const std::weak_ptr<CRDGraphic> shown = graphic;
  const bool same = !Last_Selected_Graphic.expired() &&
                    !Last_Selected_Graphic.owner_before(shown) &&
                    !shown.owner_before(Last_Selected_Graphic);
  if (same) return;
  Last_Selected_Graphic = graphic;
  Remove_All_Tab_Items();
  print_object_chk->setChecked(graphic->print_object != 0);
  sel_control_name->setText(QStringLiteral("NONE"));
  std::optional<Prop_Change_Guard> filling(std::in_place);

  QList<QWidget*> pages;
  QString title;
  const QString kind = graphic->className();
  if (kind == QLatin1String("CRDText")) {
    sel_control_name->setText(QStringLiteral("T"));
    pages = {text_edtng_tab, text_prop_tab, datasource_tab};
    datasource_tab->setWindowTitle(QStringLiteral("Text Source"));
    title = QStringLiteral("Text Properties");
  } else if (kind == QLatin1String("CRDImage")) {
    sel_control_name->setText(QStringLiteral("I"));
    pages = {datasource_tab, image_tab};
    datasource_tab->setWindowTitle(QStringLiteral("Image Source"));
    title = QStringLiteral("Image Properties");
  } else if (kind == QLatin1String("CRDLine")) {
    pages = {line_tab};
    title = QStringLiteral("Line Properties");
  } else if (kind == QLatin1String("CRDSignature")) {
    sel_control_name->setText(graphic->sign_or_fingureprint);
    title = graphic->sign_or_fingureprint == QLatin1String("S")
                ? QStringLiteral("Signature Properties")
                : QStringLiteral("FingrePrint Properties");
    sign_tab->setWindowTitle(title);
    pages = {sign_tab};
  } else if (kind == QLatin1String("CRDBarcode")) {
    pages = {barcode_tab};
    title = QStringLiteral("Barcode Properties");
  } else {
    title = Shape_Panel_Title(graphic->_shape_type);
    if (title.isEmpty()) title = shape_tab->windowTitle();
    shape_tab->setWindowTitle(title);
    pages = {shape_tab};
  }
  if (graphic->ctrl_is_locked) {
    Lock_tab->setWindowTitle(title);
    sett_tab->insertTab(0, Lock_tab, title);
  } else {
    for (int i = 0; i < pages.size(); ++i)
      sett_tab->insertTab(i, pages[i], pages[i]->windowTitle());
  }
  sett_tab->setCurrentIndex(0);
  Load_Object_Panels(*graphic);

  filling.reset();
  if (!graphic->ctrl_is_locked)
    sett_tab->insertTab(sett_tab->count(), aligmnt_tab, aligmnt_tab->windowTitle());
  sett_tab->update();
}

// ---- Services for output and series --------------------------------------------------------

QStringList CRDWindowController::Get_Files_Array_At_Path(const QString& folder) const {
  return ::Get_Files_Array_At_Path(folder);
}

QStringList CRDWindowController::Get_datasheet_File_Name_Array() const {
  return ::Get_datasheet_File_Name_Array();
}

bool CRDWindowController::Check_Batch_File_In_Use_Validation(const QString& series_name) const {
  return ::Check_Batch_File_In_Use_Validation(series_name, Get_Front_Controls_Array(),
                                              Get_Back_Controls_Array());
}

void CRDWindowController::Delete_Excel_File_Temp_Folder() { ::Delete_Excel_File_Temp_Folder(); }

QString CRDWindowController::Get_date_Value(const QString& pattern) const {
  return ::Get_date_Value(pattern);
}

QString CRDWindowController::Get_time_Value(const QString& pattern) const {
  return ::Get_time_Value(pattern);
}

QString CRDWindowController::Convert_Path_From_URL(const QUrl& url) const {
  return ::Convert_Path_From_URL(url);
}

bool CRDWindowController::Check_And_Validate_File_Path(const QString& path) const {
  return ::Check_And_Validate_File_Path(path);
}

void CRDWindowController::Open_Export_File_Box() {
  platform::Run_On_Main_Thread([this] {
    if (!Open_Export_Files) Open_Export_Files = new Open_Export_Log(this);
    const QString path = Export_File_Path.get();
    Open_Export_Files->_open_log_chk->setText(QFileInfo(path).isDir()
                                                  ? QStringLiteral("Open containing folder.")
                                                  : QStringLiteral("Open exported file."));
    Open_Export_Files->_open_log_path->setText(path);
    Open_Export_Files->_open_log_message->setText(Export_File_Message.get());
    Open_Export_Files->Fit_To_Text();
    platform::Run_Modal(Open_Export_Files);
    Open_Export_Files->hide();
  });
}

void CRDWindowController::Show_Create_Modeless() {
  platform::Run_On_Main_Thread([this] {
    if (!plz_wait_Window) plz_wait_Window = new PleaseWait_Modeless(this);
    plz_wait_Window->modeless_msg_lbl->setText(
        QStringLiteral("It may take a while, Please wait.."));
    plz_wait_Window->show();
  });
}

void CRDWindowController::Hide_Destroy_Modeless() {
  platform::Run_On_Main_Thread([this] {
    if (plz_wait_Window) plz_wait_Window->hide();
  });
}

void CRDWindowController::Show_One_By_One_Modeless() {
  platform::Run_On_Main_Thread([this] {
    if (!Send_Models_Window) return;
    Send_Models_Window->setWindowModality(Qt::WindowModal);
    Send_Models_Window->show();
  });
}

void CRDWindowController::Hide_One_By_One_Modeless() {
  platform::Run_On_Main_Thread([this] {
    if (Send_Models_Window) Send_Models_Window->hide();
  });
}
