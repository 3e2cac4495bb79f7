#pragma once
// The signature panel (signatures and fingerprints): the picture's path, a browse for
// PNG files and the border. Every control writes the whole panel into the selected
// graphics of the current side (Update_Sign_Graphics).

#include "window/Object_Panel_Values.h"
#include "window/ui/Panel_Controls.h"

#include <QObject>

class CRDWindowController;
class QLineEdit;
class QPushButton;

class Signature_Panel : public QObject {
  Q_OBJECT

 public:
  explicit Signature_Panel(CRDWindowController& window);

  void Load(const CRDGraphic& graphic);
  Sign_Panel_Values values() const;
  void Update_Sign_Graphics();

  void Sign_Border_ChkBox();
  void Sign_Browse_Btn();

  QLineEdit* Sign_image_path = nullptr;
  QPushButton* Sign_Browse = nullptr;
  Border_Controls border;

 private:
  CRDWindowController& window_;
};
