#include "library/ui/Image_Library.h"

#include "library/ui/Library_Dialog.h"

#include "library/ui/Image_Browser_View.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr double default_zoom = 0.4;
}  // namespace

Image_Library* Image_Library::defaultInstance() {
  static QPointer<Image_Library> instance;
  if (!instance) instance = new Image_Library(Design_Window_Parent());
  return instance;
}

Image_Library::Image_Library(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Image_Library"));
  setWindowTitle(QStringLiteral("Image Library"));
  setModal(true);
  Apply_Library_Dialog_Style(this);
  resize(640, 480);

  images = new Image_Browser_Model(this);
  category_label = new QLabel(QStringLiteral("Category"), this);
  category_label->setObjectName(QStringLiteral("category_label"));
  cat_cmbo_bx = new QComboBox(this);
  cat_cmbo_bx->setObjectName(QStringLiteral("cat_cmbo_bx"));
  imageBrowser = Make_Image_Browser(images, this);
  _zoom_label = new QLabel(QStringLiteral("Zoom"), this);
  _zoom_label->setObjectName(QStringLiteral("_zoom_label"));
  _zoom_slider = new QSlider(Qt::Horizontal, this);
  _zoom_slider->setObjectName(QStringLiteral("_zoom_slider"));
  _zoom_slider->setRange(20, 100);  // percent
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

  auto* top = new QHBoxLayout;
  top->addWidget(category_label);
  top->addWidget(cat_cmbo_bx, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(_zoom_label);
  bottom->addWidget(_zoom_slider, 1);
  bottom->addWidget(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(imageBrowser, 1);
  layout->addLayout(bottom);

  connect(cat_cmbo_bx, &QComboBox::currentIndexChanged, this,
          &Image_Library::comboBoxSelectionDidChange);
  connect(_zoom_slider, &QSlider::valueChanged, this, &Image_Library::zoomSliderDidChange);
  connect(imageBrowser->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &Image_Library::imageBrowserSelectionDidChange);
  connect(buttons, &QDialogButtonBox::accepted, this, &Image_Library::OK_Clicked);
  connect(buttons, &QDialogButtonBox::rejected, this, &Image_Library::Cancel_Clicked);
  set_zoom(default_zoom);
}

void Image_Library::set_zoom(double zoom) {
  Set_Browser_Zoom(_zoom_slider, imageBrowser, images, zoom);
}

void Image_Library::zoomSliderDidChange(int value) {
  Set_Image_Browser_Zoom(imageBrowser, images, value / 100.0);
}

int Image_Library::Open_Library_Window() {
  try {
    images->removeAll();
    set_zoom(default_zoom);
    if (control_or_BG == QLatin1String("C")) {
      setWindowTitle(QStringLiteral("Image Library"));
      category_label->show();
      cat_cmbo_bx->show();
      Fill_Combobox();
    } else {
      setWindowTitle(QStringLiteral("Background Image Library"));
      category_label->hide();
      cat_cmbo_bx->hide();
      Load_and_fill_backgrounds();
    }
    const int code = platform::Run_Modal(this);
    hide();
    return code == 1 ? 1 : 0;
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
    return 0;
  }
}

void Image_Library::Fill_Combobox() {
  const QSignalBlocker quiet(cat_cmbo_bx);
  cat_cmbo_bx->clear();
  cat_cmbo_bx->addItems(Library_Categories(Resource_Path + QStringLiteral("/LibraryImage")));
  if (cat_cmbo_bx->count() == 0) return;
  cat_cmbo_bx->setCurrentIndex(0);
  comboBoxSelectionDidChange();
}

void Image_Library::comboBoxSelectionDidChange() {
  const QString folder = Library_Category_Folder(Resource_Path + QStringLiteral("/LibraryImage"),
                                                 cat_cmbo_bx->currentText());
  if (folder.isEmpty()) return;
  images->List_Picture_Folder(folder);
}

void Image_Library::Load_and_fill_backgrounds() {
  images->List_Picture_Folder(Resource_Path + QStringLiteral("/Background"));
}

void Image_Library::imageBrowserSelectionDidChange() {
  const QModelIndexList rows = imageBrowser->selectionModel()->selectedIndexes();
  if (rows.isEmpty()) return;
  if (const MyImageObject* item = images->itemAtIndex(rows.first().row()))
    selected_image = item->path();
}

void Image_Library::OK_Clicked() {
  if (!selected_image.isEmpty() && QFileInfo(selected_image).isFile()) {
    platform::Stop_Modal(this, 1);
    return;
  }
  Show_MessageBox(QStringLiteral("Please select image."));
}

void Image_Library::Cancel_Clicked() {
  selected_image.clear();
  platform::Stop_Modal(this, 0);
}
