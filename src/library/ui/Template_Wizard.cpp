#include "library/ui/Template_Wizard.h"

#include "library/Templates.h"
#include "library/ui/Support_Windows.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "library/ui/Image_Browser_View.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>


namespace {
constexpr double default_zoom = 0.6;
}  // namespace

// ---- Template-name window ----------------------------------------------------------------

Export_Template::Export_Template(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Export_Template_Window"));
  setWindowTitle(QStringLiteral("Template Name"));
  setModal(true);
  Apply_Library_Dialog_Style(this);
  template_name = new QLineEdit(this);
  template_name->setObjectName(QStringLiteral("template_name"));
  template_passed = new QLineEdit(this);
  template_passed->setObjectName(QStringLiteral("template_passed"));
  template_passed->setReadOnly(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Template name"), template_name);
  form->addRow(QStringLiteral("Current name"), template_passed);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &Export_Template::OKPressed);
  connect(buttons, &QDialogButtonBox::rejected, this, &Export_Template::CancelPressed);
}

int Export_Template::Ask_Name(const QString& name, const QString& passed) {
  template_name->setText(name);
  template_passed->setText(passed);
  // The current name only matters for a rename.
  auto* form = qobject_cast<QFormLayout*>(layout()->itemAt(0)->layout());
  if (form) form->setRowVisible(template_passed, !passed.isEmpty());
  template_name->setFocus();
  const int code = platform::Run_Modal(this);
  hide();
  return code == 1 ? 1 : 0;
}

void Export_Template::OKPressed() {
  const Template_Name_Check check =
      Check_Template_Name(template_name->text(), template_passed->text(), User_Templates_Folder());
  switch (check.verdict) {
    case Template_Name_Check::Verdict::Refuse:
      Show_MessageBox(check.message);
      template_name->setFocus();
      return;
    case Template_Name_Check::Verdict::Ask_Replace:
      if (!Show_YES_NO_MessageBox(check.message)) {
        template_name->setFocus();
        return;
      }
      break;
    case Template_Name_Check::Verdict::Accept:
      break;
  }
  export_template_name = check.accepted_name;
  platform::Stop_Modal(this, 1);
}

void Export_Template::CancelPressed() {
  template_name->clear();
  platform::Stop_Modal(this, 0);
}

// ---- Template library ----------------------------------------------------------------------

Template_Wizard* Template_Wizard::defaultInstance() {
  static QPointer<Template_Wizard> instance;
  if (!instance) instance = new Template_Wizard(Design_Window_Parent());
  return instance;
}

Template_Wizard::Template_Wizard(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Template_Wizard"));
  setWindowTitle(QStringLiteral("Templates"));
  setModal(true);
  Apply_Library_Dialog_Style(this);
  resize(720, 520);

  images = new Image_Browser_Model(this);
  category_label = new QLabel(QStringLiteral("Category"), this);
  cat_cmbo_bx = new QComboBox(this);
  cat_cmbo_bx->setObjectName(QStringLiteral("cat_cmbo_bx"));
  cat_cmbo_bx->addItems({QStringLiteral("Templates"), QStringLiteral("My Templates")});
  imageBrowser = Make_Image_Browser(images, this);
  _zoom_slider = new QSlider(Qt::Horizontal, this);
  _zoom_slider->setObjectName(QStringLiteral("_zoom_slider"));
  _zoom_slider->setRange(20, 100);
  auto* zoom_label = new QLabel(QStringLiteral("Zoom"), this);

  auto button = [this](const char* name, const char* title) {
    auto* b = new QPushButton(QString::fromLatin1(title), this);
    b->setObjectName(QString::fromLatin1(name));
    return b;
  };
  Delete_temp_btn = button("Delete_temp_btn", "Delete");
  Copy_temp_btn = button("Copy_temp_btn", "Copy");
  Rename_temp_btn = button("Rename_temp_btn", "Rename...");
  User_Profile_btn = button("User_Profile_btn", "User Profile...");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  Export_Template_Window = new Export_Template(this);

  auto* top = new QHBoxLayout;
  top->addWidget(category_label);
  top->addWidget(cat_cmbo_bx, 1);
  top->addWidget(Delete_temp_btn);
  top->addWidget(Copy_temp_btn);
  top->addWidget(Rename_temp_btn);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(zoom_label);
  bottom->addWidget(_zoom_slider, 1);
  bottom->addWidget(User_Profile_btn);
  bottom->addWidget(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(imageBrowser, 1);
  layout->addLayout(bottom);

  connect(cat_cmbo_bx, &QComboBox::currentIndexChanged, this,
          &Template_Wizard::comboBoxSelectionDidChange);
  connect(_zoom_slider, &QSlider::valueChanged, this, &Template_Wizard::zoomSliderDidChange);
  connect(imageBrowser->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &Template_Wizard::imageBrowserSelectionDidChange);
  connect(imageBrowser, &QListView::doubleClicked, this, &Template_Wizard::OK_Click);
  connect(Delete_temp_btn, &QPushButton::clicked, this, &Template_Wizard::Delete_Template_Click);
  connect(Copy_temp_btn, &QPushButton::clicked, this, &Template_Wizard::Copy_Templatee_Click);
  connect(Rename_temp_btn, &QPushButton::clicked, this, &Template_Wizard::Rename_Template_Click);
  connect(User_Profile_btn, &QPushButton::clicked, this, &Template_Wizard::User_Profile_Click);
  connect(buttons, &QDialogButtonBox::accepted, this, &Template_Wizard::OK_Click);
  connect(buttons, &QDialogButtonBox::rejected, this, &Template_Wizard::CancelClick);
  set_zoom(default_zoom);
}

void Template_Wizard::set_zoom(double zoom) {
  Set_Browser_Zoom(_zoom_slider, imageBrowser, images, zoom);
}

void Template_Wizard::zoomSliderDidChange(int value) {
  Set_Image_Browser_Zoom(imageBrowser, images, value / 100.0);
}

int Template_Wizard::Open_Template_Window() {
  const int code = Run_Modal_Logged(this, [this] {
    {
      const QSignalBlocker quiet(cat_cmbo_bx);
      cat_cmbo_bx->setCurrentIndex(0);
    }
    Show_Hide_Template_Buttons(true);
    User_Profile_btn->setVisible(bool(hooks.open_general_profile));
    images->removeAll();
    set_zoom(default_zoom);
    Fill_Templates();
  });
  return code == 1 ? 1 : 0;
}

void Template_Wizard::list_folder(const QString& folder, bool user) {
  Show_NSLog_Message(folder);
  Selected_Template_Path.clear();
  images->removeAll();
  for (const QString& path : List_Template_Previews(folder)) {
    const QString name = QFileInfo(path).fileName();
    const QString identity =
        user ? QStringLiteral("TEMP%1.png").arg(User_Defined_File.fetch_add(1)) : name;
    images->addImageWithPath(path, name, identity);
  }
  if (images->numberOfItemsInImageBrowser() > 0)
    imageBrowser->selectionModel()->select(images->index(0, 0),
                                           QItemSelectionModel::ClearAndSelect);
}

void Template_Wizard::Fill_Templates() { list_folder(Templates_Folder(), false); }
void Template_Wizard::Fill_Templates_User_Defined() { list_folder(User_Templates_Folder(), true); }

void Template_Wizard::imageBrowserSelectionDidChange() {
  const QModelIndexList rows = imageBrowser->selectionModel()->selectedIndexes();
  if (rows.isEmpty()) return;
  if (const MyImageObject* item = images->itemAtIndex(rows.first().row()))
    Selected_Template_Path = item->path();
}

void Template_Wizard::comboBoxSelectionDidChange() {
  const bool built_in = cat_cmbo_bx->currentIndex() == 0;
  if (built_in)
    Fill_Templates();
  else
    Fill_Templates_User_Defined();
  Show_Hide_Template_Buttons(built_in);
}

void Template_Wizard::Show_Hide_Template_Buttons(bool hide) {
  for (QPushButton* b : {Delete_temp_btn, Copy_temp_btn, Rename_temp_btn}) b->setVisible(!hide);
}

void Template_Wizard::User_Profile_Click() {
  if (hooks.open_general_profile) hooks.open_general_profile();
}

bool Template_Wizard::has_selection() const {
  if (!Selected_Template_Path.isEmpty() && QFileInfo(Selected_Template_Path).isFile()) return true;
  Show_MessageBox(QStringLiteral("Please select template."));
  return false;
}

void Template_Wizard::OK_Click() {
  if (!has_selection()) return;
  Card_Shape = 0;
  Selected_Template_Path = Template_Design_Path(Selected_Template_Path);
  platform::Stop_Modal(this, 1);
}

void Template_Wizard::CancelClick() {
  Selected_Template_Path.clear();
  Card_Shape = 0;
  platform::Stop_Modal(this, 0);
}

void Template_Wizard::Delete_Template_Click() {
  if (!has_selection()) return;
  if (!Show_YES_NO_MessageBox(QStringLiteral("Do you want to delete this template?"))) return;
  const Template_Result result = Delete_Template(Selected_Template_Path);
  if (!result.ok) Show_NSLog_Message(result.reason);
  Fill_Templates_User_Defined();
}

void Template_Wizard::Copy_Templatee_Click() {
  if (!has_selection()) return;
  if (!Show_YES_NO_MessageBox(QStringLiteral("Do you want to make copy of this template?"))) return;
  const Template_Result result =
      Copy_Template(Selected_Template_Path, Create_New_File_Path(Selected_Template_Path));
  if (!result.ok) Show_MessageBox(QStringLiteral("The template could not be copied.\n") + result.reason);
  Fill_Templates_User_Defined();
}

void Template_Wizard::Rename_Template_Click() {
  if (!has_selection()) return;
  const QString current = QFileInfo(Selected_Template_Path).completeBaseName();
  if (Export_Template_Window->Ask_Name(current, current) != 1) return;
  if (export_template_name == current) return;
  const Template_Result result = Rename_Template(Selected_Template_Path, export_template_name);
  if (!result.ok)
    Show_MessageBox(QStringLiteral("The template could not be renamed.\n") + result.reason);
  Fill_Templates_User_Defined();
}
