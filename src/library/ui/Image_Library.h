#pragma once
// The picture library: a window that offers the pictures of the resource folder as
// thumbnails. Mode "C" offers the categories (sub-folders of "LibraryImage") for a
// picture object; any other mode the card backgrounds of "Background". On OK the chosen
// file's path is in selected_image.

#include "library/Image_Browser_Model.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QListView;
class QSlider;

class Image_Library : public QDialog {
  Q_OBJECT

 public:
  // The one library window of the program.
  static Image_Library* defaultInstance();

  QString control_or_BG = QStringLiteral("C");  // set by the caller before each opening
  QString selected_image;                       // the chosen file's full path

  // Prepares the window for the mode, runs it modally and answers 1 for OK, 0 otherwise.
  int Open_Library_Window();
  void Fill_Combobox();
  void comboBoxSelectionDidChange();
  void Load_and_fill_backgrounds();
  void OK_Clicked();
  void Cancel_Clicked();
  void zoomSliderDidChange(int value);
  // Escape and the close button cancel.
  void reject() override { Cancel_Clicked(); }
  // The browser's selection changed: the first selected item's path is the choice.
  void imageBrowserSelectionDidChange();

  Image_Browser_Model* images = nullptr;
  QListView* imageBrowser = nullptr;
  QComboBox* cat_cmbo_bx = nullptr;
  QLabel* category_label = nullptr;
  QSlider* _zoom_slider = nullptr;
  QLabel* _zoom_label = nullptr;

 private:
  explicit Image_Library(QWidget* parent = nullptr);
  void set_zoom(double zoom);
};
