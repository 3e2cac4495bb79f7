#include "window/ui/Card_Panel.h"

#include "canvas/Card_Base.h"
#include "model/Card_Property.h"
#include "model/Fonts.h"
#include "model/Shared_Design_State.h"
#include "model/ui/Set_Obj_Enabled.h"
#include "platform/Platform.h"
#include "window/Card_Units.h"
#include "window/Panel_Writeback.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Color_Well.h"
#include "window/ui/Panel_Controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace {

void select_value(QComboBox* combo, const QString& value) {
  combo->setCurrentIndex(combo->findText(value));
}

}  // namespace

Card_Panel::Card_Panel(CRDWindowController& window) : QObject(&window), window_(window) {
  setObjectName(QStringLiteral("Card_Panel"));
  All_Text_font_ = Make_Font(Text_Ctrl_Font, 14);
  build_settings_page();
  build_background_page();
  build_border_page();
}

// ---- Building ------------------------------------------------------------------------------

void Card_Panel::build_settings_page() {
  QWidget* page = window_.card_setting_tab;
  auto* sizes = new QFormLayout;
  sizes->addRow(QStringLiteral("Sides"), window_.Sides_ComboBox);
  sizes->addRow(QStringLiteral("Orientation"), window_.Preset_ComboBox);
  sizes->addRow(QStringLiteral("Category"), window_.Category_ComboBox);
  // One spin box stands for each stepper and its field; the fields only mirror it.
  for (QLineEdit* mirror : {window_.width_Text, window_.height_Text}) mirror->hide();
  for (QDoubleSpinBox* stepper : {window_.width_Stepper, window_.height_Stepper}) {
    stepper->setKeyboardTracking(false);
    stepper->setSuffix(QStringLiteral(" mm"));
  }
  Apply_Size = Named(new QPushButton(QStringLiteral("Apply"), page), "Apply_Size");
  sizes->addRow(QStringLiteral("Width"), window_.width_Stepper);
  sizes->addRow(QStringLiteral("Height"), Row_Of({window_.height_Stepper, Apply_Size}));
  card_name = Named(new QLineEdit(page), "card_name");
  sizes->addRow(QStringLiteral("Name"), card_name);

  matrix_card_shape = Named(new QGroupBox(QStringLiteral("Outline"), page), "matrix_card_shape");
  card_shape_group = new QButtonGroup(this);
  auto* shapes = new QHBoxLayout(matrix_card_shape);
  for (int row = 0; row < 3; ++row) {
    auto* radio = new QRadioButton(Card_Outline_Names()[row], matrix_card_shape);
    radio->setObjectName(QStringLiteral("card_shape_%1").arg(row));
    card_shape_group->addButton(radio, row);
    shapes->addWidget(radio);
  }

  auto* text = Named(new QGroupBox(QStringLiteral("All texts"), page), "All_Text_box");
  All_Text_font_btn = Named(new QPushButton(QStringLiteral("Font..."), text), "All_Text_font_btn");
  All_Text_font_value = Named(new QLabel(text), "All_Text_font_value");
  All_Text_font_value->setWordWrap(true);
  All_Text_clr_well = new Color_Well(text, QStringLiteral("All_Text_clr"));
  auto* text_layout = new QFormLayout(text);
  // The font's name and size take a row of their own, the group's whole width.
  text_layout->addRow(Row_Of({All_Text_font_btn}));
  text_layout->addRow(All_Text_font_value);
  text_layout->addRow(QStringLiteral("Colour"), All_Text_clr_well);

  auto* layout = Fresh_Page_Layout(page);
  layout->addLayout(sizes);
  layout->addWidget(window_.ColList, 1);
  layout->addWidget(matrix_card_shape);
  layout->addWidget(text);

  connect(window_.width_Stepper, &QDoubleSpinBox::valueChanged, this, &Card_Panel::Card_Width_Changed);
  connect(window_.height_Stepper, &QDoubleSpinBox::valueChanged, this,
          &Card_Panel::Card_Height_Changed);
  connect(Apply_Size, &QPushButton::clicked, this, &Card_Panel::Apply_Size_Clicked);
  connect(card_name, &QLineEdit::editingFinished, this, &Card_Panel::Update_Card_Graphics);
  connect(card_shape_group, &QButtonGroup::idClicked, this, &Card_Panel::card_shape_CellClick);
  connect(All_Text_font_btn, &QPushButton::clicked, this, &Card_Panel::Content_Font_Clicked);
  connect(All_Text_clr_well, &Color_Well::colorChanged, this, &Card_Panel::Contect_Color_Clicked);
  // The chosen size row is stored with the side (the card keeps its size).
  connect(window_.ColList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &Card_Panel::Update_Card_Graphics);
}

void Card_Panel::build_background_page() {
  QWidget* page = window_.card_bkgd_tab;
  Card_fill_chk = Named(new QCheckBox(QStringLiteral("Fill"), page), "Card_fill_chk");
  Card_Fill_Box = Named(new QGroupBox(page), "Card_Fill_Box");
  QGroupBox* box = Card_Fill_Box;
  Card_solid_fill_rd = Named(new QRadioButton(QStringLiteral("Colour"), box), "Card_solid_fill_rd");
  Card_gradient_fill_rd =
      Named(new QRadioButton(QStringLiteral("Gradient"), box), "Card_gradient_fill_rd");
  Card_Style_fill_rd = Named(new QRadioButton(QStringLiteral("Pattern"), box), "Card_Style_fill_rd");
  Card_Image_fill_rd = Named(new QRadioButton(QStringLiteral("Picture"), box), "Card_Image_fill_rd");
  Card_fill_clr = new Color_Well(box, QStringLiteral("Card_fill_clr"));
  Card_fill_Grd_1_clr = new Color_Well(box, QStringLiteral("Card_fill_Grd_1_clr"));
  Card_fill_Grd_2_clr = new Color_Well(box, QStringLiteral("Card_fill_Grd_2_clr"));
  Card_grad_Stepper = Named(new QDoubleSpinBox(box), "Card_grad_Stepper");
  Card_grad_Stepper->setRange(0, 360);
  Card_grad_Stepper->setDecimals(1);
  Card_grad_Stepper->setSuffix(QStringLiteral("°"));
  Card_grad_Stepper->setKeyboardTracking(false);
  Card_hatch_style = window_.Card_hatch_style;
  Card_hatch_bk_clr = new Color_Well(box, QStringLiteral("Card_hatch_bk_clr"));
  Card_image_box = Named(new QGroupBox(box), "Card_image_box");
  Card_Image_path = Named(new QLineEdit(Card_image_box), "Card_Image_path");
  Card_Image_path->setReadOnly(true);
  Card_Image_Browse =
      Named(new QPushButton(QStringLiteral("Browse..."), Card_image_box), "Card_Image_Browse");
  Card_Image_Library =
      Named(new QPushButton(QStringLiteral("Library..."), Card_image_box), "Card_Image_Library");
  Card_image_layout = window_.Card_image_layout;
  auto* picture = new QFormLayout(Card_image_box);
  picture->addRow(Card_Image_path);
  picture->addRow(Row_Of({Card_Image_Browse, Card_Image_Library}));
  picture->addRow(QStringLiteral("Layout"), Card_image_layout);

  auto* fill = new QFormLayout(box);
  fill->addRow(Card_solid_fill_rd, Card_fill_clr);
  fill->addRow(Card_gradient_fill_rd, Row_Of({Card_fill_Grd_1_clr, Card_fill_Grd_2_clr}));
  fill->addRow(QStringLiteral("Angle"), Card_grad_Stepper);
  fill->addRow(Card_Style_fill_rd, Card_hatch_style);
  fill->addRow(QStringLiteral("Under the pattern"), Card_hatch_bk_clr);
  fill->addRow(Card_Image_fill_rd);
  fill->addRow(Card_image_box);

  Card_alpha_Stepper = Named(new QSpinBox(page), "Card_alpha_Stepper");
  Card_alpha_Stepper->setRange(0, 100);
  Card_alpha_Stepper->setSuffix(QStringLiteral(" %"));
  Card_alpha_Stepper->setKeyboardTracking(false);
  auto* layout = Fresh_Page_Layout(page);
  layout->addWidget(Card_fill_chk);
  layout->addWidget(Card_Fill_Box);
  auto* opacity = new QFormLayout;
  opacity->addRow(QStringLiteral("Opacity"), Card_alpha_Stepper);
  layout->addLayout(opacity);
  layout->addStretch(1);

  for (Color_Well* well : {Card_fill_clr, Card_fill_Grd_1_clr, Card_fill_Grd_2_clr, Card_hatch_bk_clr})
    connect(well, &Color_Well::colorChanged, this, &Card_Panel::Set_Card_Clr);
  connect(Card_fill_chk, &QCheckBox::clicked, this, &Card_Panel::Card_Fill_Chk_Box);
  const std::pair<QRadioButton*, const char*> radios[] = {{Card_solid_fill_rd, "S"},
                                                          {Card_gradient_fill_rd, "G"},
                                                          {Card_Style_fill_rd, "H"},
                                                          {Card_Image_fill_rd, "I"}};
  for (const auto& [radio, code] : radios) {
    const QString fill_code = QString::fromLatin1(code);
    connect(radio, &QRadioButton::clicked, this, [this, fill_code] { Card_Fill_RD_Sel(fill_code); });
  }
  connect(Card_grad_Stepper, &QDoubleSpinBox::valueChanged, this, &Card_Panel::Card_Gradient_Changed);
  connect(Card_alpha_Stepper, &QSpinBox::valueChanged, this, &Card_Panel::Card_Alpha_Changed);
  connect(Card_Image_Browse, &QPushButton::clicked, this, &Card_Panel::Card_Image_Browse_Btn);
  connect(Card_Image_Library, &QPushButton::clicked, this, &Card_Panel::Card_Image_Library_Btn);
}

void Card_Panel::build_border_page() {
  QWidget* page = window_.card_brdr_tab;
  Card_border_chk = Named(new QCheckBox(QStringLiteral("Border"), page), "Card_border_chk");
  Card_Border_Box = Named(new QGroupBox(page), "Card_Border_Box");
  Card_bordr_clr = new Color_Well(Card_Border_Box, QStringLiteral("Card_bordr_clr"));
  Card_bor_Stepper = window_.Card_bor_Stepper;
  Card_bor_Stepper->setSuffix(QStringLiteral(" pt"));
  Card_bor_Stepper->setKeyboardTracking(false);
  window_.Card_bor_Text->hide();
  Card_border_style = window_.Card_border_style;
  auto* border = new QFormLayout(Card_Border_Box);
  border->addRow(QStringLiteral("Colour"), Card_bordr_clr);
  border->addRow(QStringLiteral("Width"), Card_bor_Stepper);
  border->addRow(QStringLiteral("Style"), Card_border_style);
  auto* layout = Fresh_Page_Layout(page);
  layout->addWidget(Card_border_chk);
  layout->addWidget(Card_Border_Box);
  layout->addStretch(1);

  connect(Card_border_chk, &QCheckBox::clicked, this, &Card_Panel::Card_Border_ChkBox);
  connect(Card_bordr_clr, &Color_Well::colorChanged, this, &Card_Panel::Set_Card_Clr);
  connect(Card_bor_Stepper, &QSpinBox::valueChanged, this, &Card_Panel::Card_Border_Changed);
}

// ---- Loading and writing -------------------------------------------------------------------

void Card_Panel::Load(const Card_Property& side) {
  Card_border_chk->setChecked(side.Card_border_chk);
  Card_bordr_clr->setColor(side.Card_bordr_clr);
  Card_bor_Stepper->setValue(side.Card_bor_Stepper);
  window_.Card_bor_Text->setText(QString::number(Card_bor_Stepper->value()));
  if (const int item = Border_Style_Index(side.Card_border_style); item >= 0)
    Card_border_style->setCurrentIndex(item);
  Card_fill_chk->setChecked(side.Card_fill_chk);
  Card_fill_clr->setColor(side.Card_fill_clr);
  Card_fill_Grd_1_clr->setColor(side.Card_fill_Grd_1_clr);
  Card_fill_Grd_2_clr->setColor(side.Card_fill_Grd_2_clr);
  Card_hatch_bk_clr->setColor(side.Card_hatch_bk_clr);
  Card_grad_Stepper->setValue(side.Card_grad_Stepper);
  if (side.Card_fill_style == QLatin1String("H")) select_value(Card_hatch_style, side.Card_hatch_style);
  Card_alpha_Stepper->setValue(int(std::lround(Opacity_To_Percent(side.Card_alpha_Stepper))));
  Card_Image_path->setText(side.Card_BG_Image_Path);
  select_value(Card_image_layout, side.Card_BG_Image_Layout);
  All_Text_clr_well->setColor(side.Card_Content_clr);
  All_Text_clr_COPY = side.Card_Content_clr;
  All_Text_font_ = side.Card_Content_font;
  All_Text_font_changed_ = false;
  All_Text_font_value->setText(Font_Value_Label(All_Text_font_));
  if (QAbstractButton* shape = card_shape_group->button(Card_Shape)) shape->setChecked(true);
  card_name->setText(side.Card_Name);
  // The size the side was loaded at (the canvas's), in millimetres.
  if (!side.Card_Size.isEmpty())
    window_.Set_Card_Size_In_Control(QSizeF(Points_to_MM_Convert(float(side.Card_Size.width())),
                                            Points_to_MM_Convert(float(side.Card_Size.height()))));
  select_value(window_.Preset_ComboBox, side.Card_Preset);
  // "PVC Card" is the PVC category; any other (an older name of the paper one included)
  // is paper.
  window_.Category_ComboBox->setCurrentIndex(side.Card_Category == PVC_Card_Category ? 0 : 1);
  // The side's preset row while the card has its size; the list names no preset for a
  // size of the user's own.
  window_.Mark_List_New_Selection(window_.Card_Size_Preset_Row(side.Card_Cat_index));
}

Card_Panel_Values Card_Panel::values() const {
  Card_Panel_Values v;
  v.border_on = Card_border_chk->isChecked();
  v.border_color = Card_bordr_clr->color();
  v.border_width = Card_bor_Stepper->value();
  v.border_style = Card_border_style->currentIndex();
  v.fill_on = Card_fill_chk->isChecked();
  v.fill_kind = Card_gradient_fill_rd->isChecked() ? QStringLiteral("G")
                : Card_Style_fill_rd->isChecked()  ? QStringLiteral("H")
                : Card_Image_fill_rd->isChecked()  ? QStringLiteral("I")
                                                   : QStringLiteral("S");
  v.fill_color = Card_fill_clr->color();
  v.gradient_start = Card_fill_Grd_1_clr->color();
  v.gradient_end = Card_fill_Grd_2_clr->color();
  v.hatch_background = Card_hatch_bk_clr->color();
  v.gradient_angle = Card_grad_Stepper->value();
  v.hatch_style = Card_hatch_style->currentIndex() < 0 ? QString() : Card_hatch_style->currentText();
  v.image_path = Card_Image_path->text();
  v.image_layout = Card_image_layout->currentText();
  v.opacity_percent = Card_alpha_Stepper->value();
  v.text_color = All_Text_clr_well->color();
  v.text_font = All_Text_font_;
  v.sides_item = window_.Sides_ComboBox->currentIndex();
  v.card_shape = Card_Shape;
  v.card_name = card_name->text();
  v.front_bounds = window_.Front_Canvas_Bounds();
  v.preset = window_.Preset_ComboBox->currentText();
  v.category = window_.Category_ComboBox->currentText();
  const QModelIndexList rows = window_.ColList->selectionModel()->selectedRows();
  v.size_row = rows.isEmpty() ? -1 : rows.first().row();
  v.size_name = v.size_row < 0 ? QString() : window_.Get_Item_Text(v.size_row);
  return v;
}

void Card_Panel::Update_Card_Graphics() {
  if (Not_Draw_Only_Prop_Change) return;
  const bool back = Card_Front_Or_Back != 0;
  Write_Card_Panel(values(), back, *window_.Side_Card_Property(back ? 1 : 0));
  window_.Refresh_Canvas();
}

void Card_Panel::card_prop_set(const QString& fill_code) {
  SetObjEnabled(Card_Border_Box, Card_border_chk->isChecked());
  SetObjEnabled(Card_Fill_Box, Card_fill_chk->isChecked());
  // After the boxes: the fill code's controls stay usable while the fill is off.
  show_fill_kind(fill_code);
  window_.sett_tab->update();
}

void Card_Panel::show_fill_kind(const QString& fill_code) {
  const Card_Fill_Controls controls = Card_Fill_Controls_For(fill_code);
  Card_solid_fill_rd->setChecked(controls.plain);
  Card_gradient_fill_rd->setChecked(controls.gradient);
  Card_Style_fill_rd->setChecked(controls.hatch);
  Card_Image_fill_rd->setChecked(controls.picture);
  Card_fill_clr->setEnabled(controls.plain);
  for (QWidget* w : {static_cast<QWidget*>(Card_fill_Grd_1_clr),
                     static_cast<QWidget*>(Card_fill_Grd_2_clr),
                     static_cast<QWidget*>(Card_grad_Stepper)})
    w->setEnabled(controls.gradient);
  Card_hatch_style->setEnabled(controls.hatch);
  Card_hatch_bk_clr->setEnabled(controls.hatch);
  SetObjEnabled(Card_image_box, controls.picture);
}

// ---- Handlers ------------------------------------------------------------------------------

void Card_Panel::Set_Card_Clr() { Update_Card_Graphics(); }

void Card_Panel::Card_Border_ChkBox() {
  SetObjEnabled(Card_Border_Box, Card_border_chk->isChecked());
  Update_Card_Graphics();
}

void Card_Panel::Card_Border_Changed() {
  window_.Card_bor_Text->setText(QString::number(Card_bor_Stepper->value()));
  Update_Card_Graphics();
}

void Card_Panel::Card_Gradient_Changed() { Update_Card_Graphics(); }

void Card_Panel::Card_Alpha_Changed() { Update_Card_Graphics(); }

void Card_Panel::Card_Fill_Chk_Box() {
  SetObjEnabled(Card_Fill_Box, Card_fill_chk->isChecked());
  card_prop_set(window_.Side_Card_Property(Card_Front_Or_Back == 1 ? 1 : 0)->Card_fill_style);
  Update_Card_Graphics();
}

void Card_Panel::Card_Fill_RD_Sel(const QString& fill_code) {
  show_fill_kind(fill_code);  // the boxes stay as they are
  Update_Card_Graphics();
}

void Card_Panel::Card_Image_Browse_Btn() {
  platform::Open_Panel_Options options;
  options.title = QStringLiteral("Background picture");
  options.extensions = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"),
                        QStringLiteral("jfif"), QStringLiteral("gif"), QStringLiteral("bmp"),
                        QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("tiff")};
  const QString path = platform::Open_File_Panel(options);
  if (path.isEmpty()) return;
  if (Card_Front_Or_Back == 0)
    set_Front_BG_Image(path);
  else
    set_Back_BG_Image(path);
  Update_Card_Graphics();
}

void Card_Panel::Card_Image_Library_Btn() {
  if (window_.Open_Image_Library_Window(QStringLiteral("B")) == 1) {
    if (Card_Front_Or_Back != 0)
      set_Back_BG_Image(lib_window_sel_file);
    else
      set_Front_BG_Image(lib_window_sel_file);
  }
  Update_Card_Graphics();
}

void Card_Panel::Card_Width_Changed() {
  window_.width_Text->setText(QString::number(window_.width_Stepper->value()));
  Apply_Size_Clicked();
}

void Card_Panel::Card_Height_Changed() {
  window_.height_Text->setText(QString::number(window_.height_Stepper->value()));
  Apply_Size_Clicked();
}

void Card_Panel::Apply_Size_Clicked() {
  if (Not_Draw_Only_Prop_Change) return;
  const QSizeF size(MM_to_Points_Convert(float(window_.width_Stepper->value())),
                    MM_to_Points_Convert(float(window_.height_Stepper->value())));
  window_.Set_Document_Size(size);
  window_.SetDocumentCanvasSize(size);
  window_._graphicView->Refresh_ScrollView();
  // The preset list follows the new size: the preset that has it, or none.
  const QModelIndexList rows = window_.ColList->selectionModel()->selectedRows();
  window_.Mark_List_New_Selection(
      window_.Card_Size_Preset_Row(rows.isEmpty() ? -1 : rows.first().row()));
  Update_All_Card_Content();
}

void Card_Panel::card_shape_CellClick(int row) {
  Card_Shape = row;
  Apply_Size_Clicked();
  window_.Refresh_Canvas();
}

// ---- All-text font and colour --------------------------------------------------------------

CRDColor Card_Panel::All_Text_clr() const { return All_Text_clr_well->color(); }

void Card_Panel::Content_Font_Clicked() {
  const auto chosen =
      platform::Font_Panel(Font_Dialog_Start(All_Text_font_), QStringLiteral("Font of all texts"));
  if (chosen) changeAllTextFont(Font_From_Dialog(All_Text_font_, *chosen));
}

void Card_Panel::changeAllTextFont(const QFont& font) {
  All_Text_font_ = font;
  All_Text_font_changed_ = true;
  All_Text_font_value->setText(Font_Value_Label(All_Text_font_));
  Update_All_Card_Content();
}

void Card_Panel::Contect_Color_Clicked() { Update_All_Card_Content(); }

void Card_Panel::Update_All_Card_Content() {
  if (Not_Draw_Only_Prop_Change) return;
  const Graphic_List& graphics = Card_Front_Or_Back == 0 ? window_.Get_Front_Controls_Array()
                                                         : window_.Get_Back_Controls_Array();
  const bool color_changed = All_Text_clr_well->color() != All_Text_clr_COPY;
  for (const auto& graphic : graphics) {
    if (!graphic || graphic->className() != QLatin1String("CRDText")) continue;
    if (color_changed) graphic->txt_clr = All_Text_clr_well->color();
    if (All_Text_font_changed_) graphic->text_ctrl_font = All_Text_font_;
  }
  Update_Card_Graphics();
}

void Card_Panel::Reset_All_Text() {
  All_Text_font_ = Make_Font(Text_Ctrl_Font, 14);
  All_Text_font_value->setText(Font_Value_Label(All_Text_font_));
  All_Text_clr_well->setColor(CRDColor::blackColor());
  All_Text_clr_COPY = All_Text_clr_well->color();
  // No font was loaded yet: the font counts as changed until the card tabs load.
  All_Text_font_changed_ = true;
}

void Card_Panel::Show_Card_Image_Path(const QString& path) { Card_Image_path->setText(path); }
