#include "window/ui/Signature_Panel.h"

#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Color_Well.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

Signature_Panel::Signature_Panel(CRDWindowController& window) : QObject(&window), window_(window) {
  setObjectName(QStringLiteral("Signature_Panel"));
  QWidget* page = window.sign_tab;
  auto* layout = Fresh_Page_Layout(page);
  Sign_image_path = Named(new QLineEdit(page), "Sign_image_path");
  Sign_Browse = Named(new QPushButton(QStringLiteral("Browse..."), page), "Sign_Browse");
  layout->addWidget(Sign_image_path);
  layout->addLayout(Row_Of({Sign_Browse}));
  border = Make_Border_Controls(page, layout,
                                {"Sign_border_chk", "Sign_Border_Box", "Sign_bor_Stepper",
                                 "Sign_bordr_clr", "Sign_border_style"});
  layout->addStretch(1);

  connect(border.check, &QCheckBox::clicked, this, &Signature_Panel::Sign_Border_ChkBox);
  connect(border.color, &Color_Well::colorChanged, this, &Signature_Panel::Update_Sign_Graphics);
  connect(border.width, &QSpinBox::valueChanged, this, &Signature_Panel::Update_Sign_Graphics);
  connect(Sign_image_path, &QLineEdit::editingFinished, this, &Signature_Panel::Update_Sign_Graphics);
  connect(Sign_Browse, &QPushButton::clicked, this, &Signature_Panel::Sign_Browse_Btn);
}

void Signature_Panel::Load(const CRDGraphic& graphic) {
  const Sign_Panel_Values v = Load_Sign_Panel(graphic);
  Sign_image_path->setText(v.path);
  border.load(v.border);
}

Sign_Panel_Values Signature_Panel::values() const {
  return {border.values(), Sign_image_path->text(), window_.print_object_chk->isChecked() ? 1 : 0};
}

void Signature_Panel::Update_Sign_Graphics() {
  if (Not_Draw_Only_Prop_Change) return;
  const Sign_Panel_Values v = values();
  Write_Selected_Graphics(window_.current_canvas()->selectedGraphics(),
                          [&v](CRDGraphic& g) { Write_Sign_Panel(v, g); });
}

void Signature_Panel::Sign_Border_ChkBox() {
  border.enable_box();
  Update_Sign_Graphics();
}

void Signature_Panel::Sign_Browse_Btn() {
  platform::Open_Panel_Options options;
  options.extensions = Signature_File_Types();
  const QString chosen = platform::Open_File_Panel(options);
  if (chosen.isEmpty()) return;
  Sign_image_path->setText(window_.Convert_Path_From_URL(QUrl::fromLocalFile(chosen)));
  Update_Sign_Graphics();
}
