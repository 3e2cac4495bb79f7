#include "window/ui/Picture_Panel.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Color_Well.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

namespace {
struct Slider_Spec {
  Picture_Slider slider;
  const char* name;
  const char* value_name;
  const char* label;
};
// In the order the page shows them.
const Slider_Spec slider_specs[] = {
    {Picture_Slider::Rotation, "Rotate_slidr", "Rotate_slidr_val", "Rotation"},
    {Picture_Slider::Transparency, "Trsp_slidr", "Trsp_slidr_val", "Opacity"},
    {Picture_Slider::Hue, "Hue_slidr", "Hue_slidr_val", "Hue"},
    {Picture_Slider::Saturation, "Sat_slidr", "Sat_slidr_val", "Saturation"},
    {Picture_Slider::Brightness, "Brt_slidr", "Brt_slidr_val", "Brightness"},
    {Picture_Slider::Contrast, "Con_slidr", "Con_slidr_val", "Contrast"},
    {Picture_Slider::Sharpen, "shrp_slidr", "shrp_slidr_val", "Sharpen"},
    {Picture_Slider::Exposure, "ev_slidr", "ev_slidr_val", "Exposure"},
    {Picture_Slider::Blur, "blr_slidr", "blr_slidr_val", "Blur"},
};
}  // namespace

Picture_Panel::Picture_Panel(CRDWindowController& window) : QObject(&window), window_(window) {
  setObjectName(QStringLiteral("Picture_Panel"));

  // The file box joins the data-source page the data-source panel built.
  QWidget* source = window.datasource_tab;
  manual_brws_box = Named(new QGroupBox(QStringLiteral("Picture file"), source), "manual_brws_box");
  Manual_image_path = Named(new QLineEdit(manual_brws_box), "Manual_image_path");
  Manual_Image_Browse = Named(new QPushButton(QStringLiteral("Browse..."), manual_brws_box), "Manual_Image_Browse");
  Manual_Library_Browse = Named(new QPushButton(QStringLiteral("Library..."), manual_brws_box), "Manual_Library_Browse");
  auto* file = new QVBoxLayout(manual_brws_box);
  file->addWidget(Manual_image_path);
  file->addLayout(Row_Of({Manual_Image_Browse, Manual_Library_Browse}));
  auto* source_layout = qobject_cast<QVBoxLayout*>(source->layout());
  source_layout->addWidget(manual_brws_box);
  source_layout->addStretch(1);

  QWidget* page = window.image_tab;
  auto* layout = Fresh_Page_Layout(page);
  border = Make_Border_Controls(page, layout,
                                {"Image_border_chk", "Image_Border_Box", "Image_bor_Stepper",
                                 "Image_bordr_clr", "Image_border_style"});
  auto* filters = Named(new QGroupBox(QStringLiteral("Filters"), page), "Image_Filter_Box");
  Image_Gray_Scale_chk = Named(new QCheckBox(QStringLiteral("Grey"), filters), "Image_Gray_Scale_chk");
  Image_Sepia_chk = Named(new QCheckBox(QStringLiteral("Sepia"), filters), "Image_Sepia_chk");
  Image_Invert_chk = Named(new QCheckBox(QStringLiteral("Invert"), filters), "Image_Invert_chk");
  Image_FIH_chk = Named(new QCheckBox(QStringLiteral("Flip left-right"), filters), "Image_FIH_chk");
  Image_FIV_chk = Named(new QCheckBox(QStringLiteral("Flip top-bottom"), filters), "Image_FIV_chk");
  auto* filter_layout = new QVBoxLayout(filters);
  filter_layout->addLayout(Row_Of({Image_Gray_Scale_chk, Image_Sepia_chk, Image_Invert_chk}));
  filter_layout->addLayout(Row_Of({Image_FIH_chk, Image_FIV_chk}));
  layout->addWidget(filters);

  auto* adjust = new QFormLayout;
  for (const Slider_Spec& spec : slider_specs) {
    const Picture_Slider_Range range = Slider_Range(spec.slider);
    const int i = int(spec.slider);
    sliders[i] = new Decimal_Slider(page, spec.name, range.minimum, range.maximum);
    slider_values[i] = Named(new QLabel(page), spec.value_name);
    slider_values[i]->setMinimumWidth(slider_values[i]->fontMetrics().horizontalAdvance(QStringLiteral("-00.00")));
    slider_values[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* row = new QHBoxLayout;
    row->addWidget(sliders[i], 1);
    row->addWidget(slider_values[i]);
    adjust->addRow(QString::fromLatin1(spec.label), row);
    const Picture_Slider s = spec.slider;
    connect(sliders[i], &QSlider::valueChanged, this, [this, s] { Slider_Changed(s); });
  }
  layout->addLayout(adjust);
  Image_reset = Named(new QPushButton(QStringLiteral("Reset"), page), "Image_reset");
  layout->addLayout(Row_Of({Image_reset}));
  layout->addStretch(1);
  Reset_Image_Editing_Controls();

  connect(border.check, &QCheckBox::clicked, this, &Picture_Panel::Image_Border_ChkBox);
  const auto update = [this] { Update_Image_Graphics(); };
  connect(border.color, &Color_Well::colorChanged, this, update);
  connect(border.width, &QSpinBox::valueChanged, this, update);
  for (QCheckBox* check : {Image_Gray_Scale_chk, Image_Sepia_chk, Image_Invert_chk, Image_FIV_chk, Image_FIH_chk})
    connect(check, &QCheckBox::clicked, this, update);
  connect(Image_reset, &QPushButton::clicked, this, &Picture_Panel::Image_reset_Button);
  connect(Manual_image_path, &QLineEdit::editingFinished, this, [this] {
    if (refuses(Manual_image_path->text())) return;
    Update_Image_Graphics(true);
  });
  connect(Manual_Image_Browse, &QPushButton::clicked, this, &Picture_Panel::Manual_Image_Browse_Btn);
  connect(Manual_Library_Browse, &QPushButton::clicked, this, &Picture_Panel::Manual_Library_Browse_Btn);
}

void Picture_Panel::Load(const CRDGraphic& graphic) {
  const Picture_Panel_Values v = Load_Picture_Panel(graphic);
  Manual_image_path->setText(v.path);
  border.load(v.border);
  Image_FIH_chk->setChecked(v.flip_horizontal);
  Image_FIV_chk->setChecked(v.flip_vertical);
  Image_Invert_chk->setChecked(v.invert);
  Image_Gray_Scale_chk->setChecked(v.gray);
  Image_Sepia_chk->setChecked(v.sepia);
  for (int i = 0; i < Picture_Slider_Count; ++i) sliders[i]->setDecimalValue(v.sliders[i]);
  for (int i = 0; i < Picture_Slider_Count; ++i) show_slider_value(Picture_Slider(i));
}

Picture_Panel_Values Picture_Panel::values() const {
  Picture_Panel_Values v;
  v.print_object = window_.print_object_chk->isChecked() ? 1 : 0;
  v.border = border.values();
  v.flip_horizontal = Image_FIH_chk->isChecked();
  v.flip_vertical = Image_FIV_chk->isChecked();
  v.invert = Image_Invert_chk->isChecked();
  v.gray = Image_Gray_Scale_chk->isChecked();
  v.sepia = Image_Sepia_chk->isChecked();
  for (int i = 0; i < Picture_Slider_Count; ++i) v.sliders[i] = float(sliders[i]->decimalValue());
  v.path = Manual_image_path->text();
  return v;
}

void Picture_Panel::Update_Image_Graphics(bool with_path) {
  if (Not_Draw_Only_Prop_Change) return;
  const Picture_Panel_Values v = values();
  const Graphic_List selected = window_.current_canvas()->selectedGraphics();
  for (const auto& g : selected)
    if (g)
      Show_NSLog_Message(QStringLiteral("Txt path - %1\nGraphic Path - %2\n")
                             .arg(QFileInfo(v.path).fileName(), QFileInfo(g->_file_path).fileName()));
  Write_Selected_Graphics(selected,
                          [&v, with_path](CRDGraphic& g) { Write_Picture_Panel(v, g, with_path); });
}

void Picture_Panel::Reset_Image_Editing_Controls() {
  const Picture_Panel_Values v = Reset_Picture_Panel(values());
  for (QCheckBox* check : {Image_Gray_Scale_chk, Image_Sepia_chk, Image_Invert_chk, Image_FIV_chk, Image_FIH_chk})
    check->setChecked(false);
  for (int i = 0; i < Picture_Slider_Count; ++i) {
    const QSignalBlocker quiet(sliders[i]);
    sliders[i]->setDecimalValue(v.sliders[i]);
    show_slider_value(Picture_Slider(i));
  }
}

void Picture_Panel::show_slider_value(Picture_Slider s) {
  const double value = slider(s)->decimalValue();
  const bool whole = s == Picture_Slider::Rotation || s == Picture_Slider::Transparency;
  slider_values[int(s)]->setText(QString::number(value, 'f', whole ? 0 : 2));
}

void Picture_Panel::Image_Border_ChkBox() {
  border.enable_box();
  Update_Image_Graphics();
}

void Picture_Panel::Slider_Changed(Picture_Slider s) {
  show_slider_value(s);
  // Only this slider's value: the other settings and the file of each graphic stay its own.
  const float value = float(slider(s)->decimalValue());
  Write_Selected_Graphics(window_.current_canvas()->selectedGraphics(),
                          [s, value](CRDGraphic& g) { Slider_Field(g, s) = value; });
}

void Picture_Panel::Image_reset_Button() {
  if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to continue?"))) return;
  Reset_Image_Editing_Controls();
  Update_Image_Graphics();
}

bool Picture_Panel::Browse_User_Image_Manually() {
  platform::Open_Panel_Options options;
  options.extensions = Picture_File_Types();
  const QString chosen = platform::Open_File_Panel(options);
  if (chosen.isEmpty()) {
    Library_Selected_Image = QString();
    return false;
  }
  Library_Selected_Image = window_.Convert_Path_From_URL(QUrl::fromLocalFile(chosen));
  Manual_image_path->setText(Library_Selected_Image);
  return true;
}

bool Picture_Panel::refuses(const QString& path) {
  const auto shown = window_.current_canvas()->Selected_Graphic();
  if (!shown || shown->className() != QLatin1String("CRDImage") || shown->_file_path == path)
    return false;
  // A picture the design's file could not open again with the others is not taken.
  const QString refusal = window_.Design_Refuses_Picture_File(path, shown.get());
  if (refusal.isEmpty()) return false;
  Show_MessageBox(QStringLiteral("The picture was not changed. ") + refusal);
  Load(*shown);  // the field shows the object's own file again
  return true;
}

void Picture_Panel::load_chosen(const QString& path) {
  if (refuses(path)) return;
  const auto shown = window_.current_canvas()->Selected_Graphic();
  Manual_image_path->setText(path);
  // The picture shown in the panel loads the file; other kinds keep theirs.
  if (shown && shown->className() == QLatin1String("CRDImage")) shown->setFilePath(path);
  Update_Image_Graphics(true);
}

void Picture_Panel::Manual_Image_Browse_Btn() {
  if (!Browse_User_Image_Manually()) return;
  load_chosen(Library_Selected_Image);
}

void Picture_Panel::Manual_Library_Browse_Btn() {
  if (window_.Open_Image_Library_Window(QStringLiteral("C")) != 1) return;
  Library_Selected_Image = lib_window_sel_file;
  load_chosen(Library_Selected_Image);
}
