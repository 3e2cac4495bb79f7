#pragma once
// The picture panel: the picture's file (the box manual_brws_box on the data-source page:
// path, browse, library) and its page of border, filters, flips and the nine adjustment
// sliders. A slider writes its own value into the selected graphics of the current side;
// every other control writes the whole panel (Update_Image_Graphics), the file path only
// from the path field and the file choices.

#include "window/Object_Panel_Values.h"
#include "window/ui/Panel_Controls.h"

#include <QObject>

class CRDWindowController;
class QLabel;
class QLineEdit;
class QPushButton;

class Picture_Panel : public QObject {
  Q_OBJECT

 public:
  explicit Picture_Panel(CRDWindowController& window);

  void Load(const CRDGraphic& graphic);
  Picture_Panel_Values values() const;
  // The panel into every selected graphic; the path too when with_path.
  void Update_Image_Graphics(bool with_path = false);
  // The sliders at their neutral values, filters and flips off; writes nothing.
  void Reset_Image_Editing_Controls();

  // Handlers.
  void Image_Border_ChkBox();
  // Shows the slider's value and writes that value alone into the selected graphics.
  void Slider_Changed(Picture_Slider slider);
  void Image_reset_Button();
  void Manual_Image_Browse_Btn();
  void Manual_Library_Browse_Btn();
  // The open panel for a picture file: the chosen path in Library_Selected_Image and in
  // the path field (true), or Library_Selected_Image emptied (false).
  bool Browse_User_Image_Manually();

  // On the data-source page.
  QGroupBox* manual_brws_box = nullptr;
  QLineEdit* Manual_image_path = nullptr;
  QPushButton *Manual_Image_Browse = nullptr, *Manual_Library_Browse = nullptr;
  // On the picture page.
  Border_Controls border;
  QCheckBox *Image_Gray_Scale_chk = nullptr, *Image_Sepia_chk = nullptr,
            *Image_Invert_chk = nullptr, *Image_FIV_chk = nullptr, *Image_FIH_chk = nullptr;
  Decimal_Slider* sliders[Picture_Slider_Count] = {};
  QLabel* slider_values[Picture_Slider_Count] = {};
  QPushButton* Image_reset = nullptr;

  Decimal_Slider* slider(Picture_Slider s) const { return sliders[int(s)]; }

 private:
  void show_slider_value(Picture_Slider s);
  // The chosen file into the shown picture, then the update.
  void load_chosen(const QString& path);
  // Whether the shown picture may not take the file (the design's pictures would pass what
  // its file opens): then the user is told, and the panel shows the picture's own file.
  bool refuses(const QString& path);
  CRDWindowController& window_;
};
