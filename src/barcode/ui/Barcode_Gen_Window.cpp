#include "barcode/ui/Barcode_Gen_Window.h"

#include "barcode/Data_Matrix_Symbol.h"
#include "barcode/LinBarcode.h"
#include "model/CRDGraphic.h"
#include "model/Common_Functions.h"
#include "model/Fonts.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "series/Data_From_Excel.h"
#include "series/Data_Series_Store.h"
#include "series/ui/Data_Table_Window.h"
#include "series/ui/View_Data_Series.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <exception>
#include <type_traits>
#include <vector>

void Stepping_Spin_Box::stepBy(int steps) {
  stepping_ = true;
  QSpinBox::stepBy(steps);
  stepping_ = false;
}

namespace {

template <typename W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QDoubleSpinBox* double_pair(QWidget* parent, const char* name, double min, double max,
                            double step, int decimals) {
  auto* box = named(new QDoubleSpinBox(parent), name);
  box->setRange(min, max);
  box->setSingleStep(step);
  box->setDecimals(decimals);
  return box;
}

template <typename Box = QSpinBox>
Box* int_pair(QWidget* parent, const char* name, int min, int max, int step = 1) {
  auto* box = named(new Box(parent), name);
  box->setRange(min, max);
  box->setSingleStep(step);
  return box;
}

QComboBox* list(QWidget* parent, const char* name, const QStringList& items) {
  auto* combo = named(new QComboBox(parent), name);
  combo->addItems(items);
  return combo;
}

void select(QComboBox* combo, int index) {
  combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

QString font_label(const QFont& font) { return Font_Value_Label(font); }

// The symbologies whose value text has its own layout: no letter spacing.
bool Barcode_Symbology_Has_No_Spacing(const QString& title) {
  return title == QLatin1String("UPCE") || title == QLatin1String("UPCA") ||
         title == QLatin1String("EAN-8") || title == QLatin1String("EAN-13");
}

void log_exception(const std::exception& e) {
  Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
}

}  // namespace

// ---- Creation ----------------------------------------------------------------------------

Barcode_Gen_Window* Barcode_Gen_Window::defaultInstance() {
  static Barcode_Gen_Window* instance = new Barcode_Gen_Window;
  return instance;
}

Barcode_Gen_Window::Hooks& Barcode_Gen_Window::hooks() {
  static Hooks hooks;
  return hooks;
}

Barcode_Gen_Window::Barcode_Gen_Window() {
  setObjectName(QStringLiteral("Barcode_Gen"));
  setWindowTitle(QStringLiteral("Barcode"));
  setModal(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(241, 244, 250));
  setPalette(palette);
  setAutoFillBackground(true);

  Barcode_Gen_Var.publish(&designer_);
  Measument_Unit_Is = 1;
  build();
  resize(1040, 680);  // room for either mode's controls, so switching does not resize it
  load_controls();
  Liner_Barcode_Opt_Select();
  _setLabels();
  regenerate();
}

void Barcode_Gen_Window::build() {
  auto* root = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  root->addLayout(left, 0);
  root->addLayout(right, 1);

  // Symbology, value and value source.
  auto* top = new QFormLayout;
  barcodeTypePopup = list(this, "barcodeTypePopup", designer_.barcodeTypePopup.items);
  top->addRow(QStringLiteral("Barcode Type :"), barcodeTypePopup);
  dataText = named(new QLineEdit(this), "dataText");
  dataText_2D = named(new QPlainTextEdit(this), "dataText_2D");
  dataText_2D->setFixedHeight(70);
  auto* value_box = new QVBoxLayout;
  value_box->addWidget(dataText);
  value_box->addWidget(dataText_2D);
  top->addRow(QStringLiteral("Value :"), value_box);
  Data_source_type = list(this, "Data_source_type", Barcode_Designer::Data_Source_Items());
  top->addRow(QStringLiteral("Value Source :"), Data_source_type);
  Batch_Series = named(new QComboBox(this), "Batch_Series");
  view_series_btn = named(new QPushButton(QStringLiteral("View"), this), "view_series_btn");
  auto* series_row = new QHBoxLayout;
  series_row->addWidget(Batch_Series, 1);
  series_row->addWidget(view_series_btn);
  top->addRow(QStringLiteral("Series :"), series_row);
  left->addLayout(top);

  sett_tab = named(new QTabWidget(this), "sett_tab");
  left->addWidget(sett_tab, 1);

  // Tab 0: the symbology's sizes.
  auto* size_page = new QWidget;
  auto* size_layout = new QVBoxLayout(size_page);
  linear_sett_box = named(new QGroupBox(QStringLiteral("Linear"), size_page), "linear_sett_box");
  auto* linear_form = new QFormLayout(linear_sett_box);
  HeightStepper = double_pair(linear_sett_box, "HeightStepper", 0.1, 20.0, 0.1, 2);
  widthStepper = double_pair(linear_sett_box, "widthStepper", 1.0, 200.0, 1.0, 1);
  barHeightLabel = named(new QLabel(linear_sett_box), "barHeightLabel");
  barWidthLabel = named(new QLabel(linear_sett_box), "barWidthLabel");
  linear_form->addRow(barHeightLabel, HeightStepper);
  linear_form->addRow(barWidthLabel, widthStepper);
  size_layout->addWidget(linear_sett_box);

  auto help_button = [this](QWidget* parent, const char* name, void (Barcode_Gen_Window::*slot)()) {
    auto* button = named(new QPushButton(QStringLiteral("?"), parent), name);
    button->setFixedWidth(26);
    connect(button, &QPushButton::clicked, this, slot);
    return button;
  };
  auto with_help = [](QWidget* field, QPushButton* help) {
    auto* row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(help);
    return row;
  };

  two_d_sett_box = named(new QGroupBox(QStringLiteral("QR Code"), size_page), "two_d_sett_box");
  auto* qr_form = new QFormLayout(two_d_sett_box);
  HeightStepper_2D = int_pair(two_d_sett_box, "HeightStepper_2D", 21, 2000);
  qr_version_ComboBox =
      list(two_d_sett_box, "qr_version_ComboBox", Barcode_Designer::QR_Version_Items());
  qr_ec_lvl_ComboBox =
      list(two_d_sett_box, "qr_ec_lvl_ComboBox", Barcode_Designer::QR_EC_Level_Items());
  qr_form->addRow(QStringLiteral("Size (pt) :"), HeightStepper_2D);
  qr_form->addRow(QStringLiteral("Version :"),
                  with_help(qr_version_ComboBox, help_button(two_d_sett_box, "QR_Version_Help_Btn",
                                                             &Barcode_Gen_Window::QR_Version_Help_Btn)));
  qr_form->addRow(QStringLiteral("EC Level :"),
                  with_help(qr_ec_lvl_ComboBox, help_button(two_d_sett_box, "QR_EC_Lvl_Help_Btn",
                                                            &Barcode_Gen_Window::QR_EC_Lvl_Help_Btn)));
  size_layout->addWidget(two_d_sett_box);

  pdf_2d_sett_box = named(new QGroupBox(QStringLiteral("PDF417"), size_page), "pdf_2d_sett_box");
  auto* pdf_form = new QFormLayout(pdf_2d_sett_box);
  pdf_HeightStepper_2D = int_pair(pdf_2d_sett_box, "pdf_HeightStepper_2D", 5, 2000);
  Pdf_widthStepper_2D = int_pair(pdf_2d_sett_box, "Pdf_widthStepper_2D", 20, 4000);
  pdf_ec_lvl_Stepper = int_pair(pdf_2d_sett_box, "pdf_ec_lvl_Stepper", 0, 8);
  pdf_form->addRow(QStringLiteral("Height (pt) :"), pdf_HeightStepper_2D);
  pdf_form->addRow(QStringLiteral("Width (pt) :"), Pdf_widthStepper_2D);
  pdf_form->addRow(QStringLiteral("EC Level :"),
                   with_help(pdf_ec_lvl_Stepper, help_button(pdf_2d_sett_box, "PDF_ec_lvl_Help_btn",
                                                             &Barcode_Gen_Window::PDF_ec_lvl_Help_btn)));
  size_layout->addWidget(pdf_2d_sett_box);

  dm_2d_sett_box = named(new QGroupBox(QStringLiteral("DataMatrix"), size_page), "dm_2d_sett_box");
  auto* dm_form = new QFormLayout(dm_2d_sett_box);
  dm_moduleStepper_2D = int_pair<Stepping_Spin_Box>(dm_2d_sett_box, "dm_moduleStepper_2D", 1, 50);
  dm_format_ComboBox = list(dm_2d_sett_box, "dm_format_ComboBox", Barcode_Designer::DM_Format_Items());
  dm_encoding_ComboBox =
      list(dm_2d_sett_box, "dm_encoding_ComboBox", Barcode_Designer::DM_Encoding_Items());
  // The symbol size of the chosen format at the module size, shown for reference.
  dm_widthStepper_2D = int_pair(dm_2d_sett_box, "dm_widthStepper_2D", 0, 10000);
  dm_HeightStepper_2D = int_pair(dm_2d_sett_box, "dm_HeightStepper_2D", 0, 10000);
  for (QSpinBox* box : {dm_widthStepper_2D, dm_HeightStepper_2D}) {
    box->setReadOnly(true);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setSpecialValueText(QStringLiteral("-"));
  }
  dm_form->addRow(QStringLiteral("Module Size (pt) :"), dm_moduleStepper_2D);
  dm_form->addRow(QStringLiteral("Preferred Format :"),
                  with_help(dm_format_ComboBox, help_button(dm_2d_sett_box, "DM_format_Help_btn",
                                                            &Barcode_Gen_Window::DM_format_Help_btn)));
  dm_form->addRow(QStringLiteral("Encoding Mode :"),
                  with_help(dm_encoding_ComboBox,
                            help_button(dm_2d_sett_box, "DM_Encoding_Help_btn",
                                        &Barcode_Gen_Window::DM_Encoding_Help_btn)));
  dm_form->addRow(QStringLiteral("Least Width (pt) :"), dm_widthStepper_2D);
  dm_form->addRow(QStringLiteral("Least Height (pt) :"), dm_HeightStepper_2D);
  size_layout->addWidget(dm_2d_sett_box);
  size_layout->addStretch(1);
  sett_tab->addTab(size_page, QStringLiteral("Barcode"));

  // Tab 1: header, footer and value text.
  auto* text_page = new QWidget;
  auto* text_form = new QFormLayout(text_page);
  HeaderText = named(new QLineEdit(text_page), "HeaderText");
  FooterText = named(new QLineEdit(text_page), "FooterText");
  hideHeaderCheckbox = named(new QCheckBox(QStringLiteral("Hide Header"), text_page), "hideHeaderCheckbox");
  hideFooterCheckbox = named(new QCheckBox(QStringLiteral("Hide Footer"), text_page), "hideFooterCheckbox");
  align_hdr_combo = list(text_page, "align_hdr_combo", Barcode_Gen::Barcode_Alignment_Items());
  align_ftr_combo = list(text_page, "align_ftr_combo", Barcode_Gen::Barcode_Alignment_Items());
  captionCheckbox = named(new QCheckBox(QStringLiteral("Hide Value"), text_page), "captionCheckbox");
  showinTopCheckbox =
      named(new QCheckBox(QStringLiteral("Value Above Bars"), text_page), "showinTopCheckbox");
  kerning_value_Checkbox =
      named(new QCheckBox(QStringLiteral("Spaced Value Text"), text_page), "kerning_value_Checkbox");
  auto font_row = [&](QLabel*& value, QPushButton*& button, const char* value_name,
                      const char* button_name) {
    value = named(new QLabel(text_page), value_name);
    button = named(new QPushButton(QStringLiteral("Font..."), text_page), button_name);
    auto* row = new QHBoxLayout;
    row->addWidget(value, 1);
    row->addWidget(button);
    return row;
  };
  text_form->addRow(QStringLiteral("Header :"), HeaderText);
  text_form->addRow(QString(), hideHeaderCheckbox);
  text_form->addRow(QStringLiteral("Header Align :"), align_hdr_combo);
  text_form->addRow(QStringLiteral("Header Font :"),
                    font_row(header_font_value, hdr_font_btn, "header_font_value", "hdr_font_btn"));
  text_form->addRow(QStringLiteral("Footer :"), FooterText);
  text_form->addRow(QString(), hideFooterCheckbox);
  text_form->addRow(QStringLiteral("Footer Align :"), align_ftr_combo);
  text_form->addRow(QStringLiteral("Footer Font :"),
                    font_row(footer_font_value, ftr_font_btn, "footer_font_value", "ftr_font_btn"));
  text_form->addRow(QString(), captionCheckbox);
  text_form->addRow(QString(), showinTopCheckbox);
  text_form->addRow(QString(), kerning_value_Checkbox);
  val_font_label = named(new QLabel(QStringLiteral("Value Font :"), text_page), "val_font_label");
  text_form->addRow(val_font_label,
                    font_row(value_font_value, val_font_btn, "value_font_value", "val_font_btn"));
  sett_tab->addTab(text_page, QStringLiteral("Text"));

  // Tab 2: margins and colours.
  auto* look_page = new QWidget;
  auto* look_layout = new QVBoxLayout(look_page);
  margin_box = named(new QGroupBox(look_page), "margin_box");
  auto* margin_form = new QFormLayout(margin_box);
  val_mar_Stepper = double_pair(margin_box, "val_mar_Stepper", 0.0, 10.0, 0.1, 2);
  hdr_mar_Stepper = double_pair(margin_box, "hdr_mar_Stepper", 0.0, 10.0, 0.1, 2);
  ftr_mar_Stepper = double_pair(margin_box, "ftr_mar_Stepper", 0.0, 10.0, 0.1, 2);
  TB_mar_Stepper = double_pair(margin_box, "TB_mar_Stepper", 0.0, 10.0, 0.1, 2);
  LR_mar_Stepper = double_pair(margin_box, "LR_mar_Stepper", 0.0, 10.0, 0.1, 2);
  val_mar_label = named(new QLabel(QStringLiteral("Value :"), margin_box), "val_mar_label");
  margin_form->addRow(val_mar_label, val_mar_Stepper);
  margin_form->addRow(QStringLiteral("Header :"), hdr_mar_Stepper);
  margin_form->addRow(QStringLiteral("Footer :"), ftr_mar_Stepper);
  margin_form->addRow(QStringLiteral("Top and Bottom :"), TB_mar_Stepper);
  margin_form->addRow(QStringLiteral("Left and Right :"), LR_mar_Stepper);
  look_layout->addWidget(margin_box);
  auto* colour_box = new QGroupBox(QStringLiteral("Colours"), look_page);
  auto* colour_form = new QFormLayout(colour_box);
  auto well = [&](const char* name) {
    auto* button = named(new QToolButton(colour_box), name);
    button->setFixedSize(44, 22);
    connect(button, &QToolButton::clicked, this, [this, button] { Header_Color_Changed(button); });
    return button;
  };
  barcode_clr = well("barcode_clr");
  bar_back_clr = well("bar_back_clr");
  bar_val_clr = well("bar_val_clr");
  bar_hdr_clr = well("bar_hdr_clr");
  bar_ftr_clr = well("bar_ftr_clr");
  bar_clr_label = named(new QLabel(QStringLiteral("Bars :"), colour_box), "bar_clr_label");
  bar_bk_clr_label = named(new QLabel(QStringLiteral("Background :"), colour_box), "bar_bk_clr_label");
  val_clr_label = named(new QLabel(QStringLiteral("Value :"), colour_box), "val_clr_label");
  colour_form->addRow(bar_clr_label, barcode_clr);
  colour_form->addRow(bar_bk_clr_label, bar_back_clr);
  colour_form->addRow(val_clr_label, bar_val_clr);
  colour_form->addRow(QStringLiteral("Header :"), bar_hdr_clr);
  colour_form->addRow(QStringLiteral("Footer :"), bar_ftr_clr);
  look_layout->addWidget(colour_box);
  look_layout->addStretch(1);
  sett_tab->addTab(look_page, QStringLiteral("Margins and Colours"));

  // Tab 3: the resolution of two-dimensional pictures (only in that mode).
  dpi_tab_item = new QWidget;
  auto* dpi_form = new QFormLayout(dpi_tab_item);
  DPI_ComboBox = list(dpi_tab_item, "DPI_ComboBox", Barcode_Designer::DPI_Items());
  dpi_Stepper = int_pair(dpi_tab_item, "dpi_Stepper", 72, 2400, 50);
  dpi_form->addRow(QStringLiteral("DPI :"),
                   with_help(DPI_ComboBox, help_button(dpi_tab_item, "DPI_Help_Label",
                                                       &Barcode_Gen_Window::DPI_Help_Label)));
  dpi_label = named(new QLabel(QStringLiteral("Custom DPI :"), dpi_tab_item), "dpi_label");
  dpi_form->addRow(dpi_label, dpi_Stepper);
  sett_tab->addTab(dpi_tab_item, QStringLiteral("Resolution"));

  // The preview.
  image_scroll = named(new QScrollArea(this), "image_scroll");
  image_scroll->setMinimumSize(420, 300);
  image_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  image_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  image_scroll->setFrameShape(QFrame::Panel);
  image_scroll->setFrameShadow(QFrame::Sunken);
  barcodeImage = named(new QLabel, "barcodeImage");
  barcodeImage->setAlignment(Qt::AlignCenter);
  barcodeImage->setStyleSheet(QStringLiteral("background: white"));
  image_scroll->setWidget(barcodeImage);
  image_scroll->setWidgetResizable(false);
  right->addWidget(image_scroll, 1);
  barcode_error_label = named(
      new QLabel(QStringLiteral("No barcode: the value cannot be encoded with these settings."), this),
      "barcode_error_label");
  barcode_error_label->setStyleSheet(QStringLiteral("color: #b00020"));
  barcode_error_label->setWordWrap(true);  // reasons run to a few lines
  right->addWidget(barcode_error_label);
  auto* preview_row = new QHBoxLayout;
  bar_align_combo = list(this, "bar_align_combo",
                         {"Center", "Top", "TopLeft", "TopRight", "Left", "Bottom", "BottomLeft",
                          "BottomRight", "Right"});
  preview_row->addWidget(new QLabel(QStringLiteral("Preview Alignment :"), this));
  preview_row->addWidget(bar_align_combo);
  preview_row->addStretch(1);
  Encode_Btn = named(new QPushButton(QStringLiteral("Encode"), this), "Encode_btn");
  preview_row->addWidget(Encode_Btn);
  right->addLayout(preview_row);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Cancel_Btn = named(new QPushButton(QStringLiteral("Cancel"), this), "Cancel_Btn");
  OK_Btn = named(new QPushButton(QStringLiteral("OK"), this), "OK_Btn");
  OK_Btn->setDefault(true);
  buttons->addWidget(Cancel_Btn);
  buttons->addWidget(OK_Btn);
  right->addLayout(buttons);

  // Wiring.
  connect(OK_Btn, &QPushButton::clicked, this, &Barcode_Gen_Window::OK_Btn_Clicked);
  connect(Cancel_Btn, &QPushButton::clicked, this, &Barcode_Gen_Window::Cancel_Btn_Clicked);
  connect(Encode_Btn, &QPushButton::clicked, this, &Barcode_Gen_Window::Encode_btn);
  connect(barcodeTypePopup, &QComboBox::activated, this, &Barcode_Gen_Window::barcodeTypeChanged);
  for (QLineEdit* field : {dataText, HeaderText, FooterText}) {
    connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
  }
  connect(dataText_2D, &QPlainTextEdit::textChanged, this, &Barcode_Gen_Window::textDidChange);
  connect(captionCheckbox, &QCheckBox::clicked, this, &Barcode_Gen_Window::captionChanged);
  connect(showinTopCheckbox, &QCheckBox::clicked, this, &Barcode_Gen_Window::showinTopChanged);
  connect(hideHeaderCheckbox, &QCheckBox::clicked, this, &Barcode_Gen_Window::hideHeaderChanged);
  connect(hideFooterCheckbox, &QCheckBox::clicked, this, &Barcode_Gen_Window::hideFooterChanged);
  connect(kerning_value_Checkbox, &QCheckBox::clicked, this, &Barcode_Gen_Window::kerningChanged);
  const auto on_double = [this](QDoubleSpinBox* box, void (Barcode_Gen_Window::*slot)()) {
    connect(box, &QDoubleSpinBox::valueChanged, this, slot);
  };
  on_double(val_mar_Stepper, &Barcode_Gen_Window::Value_Margin_Changed);
  on_double(hdr_mar_Stepper, &Barcode_Gen_Window::Header_Margin_Changed);
  on_double(ftr_mar_Stepper, &Barcode_Gen_Window::Footer_Margin_Changed);
  on_double(TB_mar_Stepper, &Barcode_Gen_Window::TB_Margin_Changed);
  on_double(LR_mar_Stepper, &Barcode_Gen_Window::LR_Margin_Changed);
  on_double(HeightStepper, &Barcode_Gen_Window::heightChanged);
  on_double(widthStepper, &Barcode_Gen_Window::widthChanged);
  const auto on_int = [this](QSpinBox* box, void (Barcode_Gen_Window::*slot)()) {
    connect(box, &QSpinBox::valueChanged, this, slot);
  };
  on_int(HeightStepper_2D, &Barcode_Gen_Window::qr_sizeChanged);
  on_int(Pdf_widthStepper_2D, &Barcode_Gen_Window::pdf_widthChanged);
  on_int(pdf_HeightStepper_2D, &Barcode_Gen_Window::pdf_heightChanged);
  on_int(pdf_ec_lvl_Stepper, &Barcode_Gen_Window::PDF_EC_Lvl_Changed);
  on_int(dm_moduleStepper_2D, &Barcode_Gen_Window::dm_modulesizeChanged);
  on_int(dpi_Stepper, &Barcode_Gen_Window::DPI_Value_Changed);
  for (QComboBox* combo : {align_hdr_combo, align_ftr_combo, qr_version_ComboBox, qr_ec_lvl_ComboBox,
                           dm_format_ComboBox, dm_encoding_ComboBox, DPI_ComboBox, bar_align_combo,
                           Data_source_type, Batch_Series})
    connect(combo, &QComboBox::activated, this, [this, combo] { comboBoxSelectionDidChange(combo); });
  connect(val_font_btn, &QPushButton::clicked, this, &Barcode_Gen_Window::Value_Font_Changed);
  connect(hdr_font_btn, &QPushButton::clicked, this, &Barcode_Gen_Window::Header_Font_Changed);
  connect(ftr_font_btn, &QPushButton::clicked, this, &Barcode_Gen_Window::Footer_Font_Changed);
  connect(view_series_btn, &QPushButton::clicked, this, &Barcode_Gen_Window::View_batch_Series_Button);
}

// ---- Showing the designer in the controls ------------------------------------------------

void Barcode_Gen_Window::load_controls() {
  const Barcode_Designer& d = designer_;
  std::vector<std::unique_ptr<QSignalBlocker>> blockers;
  for (QObject* child : findChildren<QWidget*>())
    blockers.push_back(std::make_unique<QSignalBlocker>(child));
  select(barcodeTypePopup, d.barcodeTypePopup.index);
  if (dataText->text() != d.dataText) dataText->setText(d.dataText);
  if (dataText_2D->toPlainText() != d.dataText_2D) dataText_2D->setPlainText(d.dataText_2D);
  if (HeaderText->text() != d.HeaderText) HeaderText->setText(d.HeaderText);
  if (FooterText->text() != d.FooterText) FooterText->setText(d.FooterText);
  hideHeaderCheckbox->setChecked(d.hideHeaderCheckbox == 1);
  hideFooterCheckbox->setChecked(d.hideFooterCheckbox == 1);
  captionCheckbox->setChecked(d.captionCheckbox == 1);
  captionCheckbox->setEnabled(d.captionCheckbox_enabled);
  showinTopCheckbox->setChecked(d.showinTopCheckbox != 0);
  showinTopCheckbox->setEnabled(d.showinTopCheckbox_enabled);
  kerning_value_Checkbox->setChecked(d.kerning_value_Checkbox == 1);
  select(align_hdr_combo, d.align_hdr_combo.index);
  select(align_ftr_combo, d.align_ftr_combo.index);
  // A stored value outside a pair's range is shown clamped, and the clamped value is used.
  const auto show_used = [](auto* box, auto& field) {
    box->setValue(field);
    if (field < box->minimum() || field > box->maximum())
      field = static_cast<std::remove_reference_t<decltype(field)>>(box->value());
  };
  Barcode_Designer& used = designer_;
  show_used(HeightStepper, used.HeightStepper);
  show_used(widthStepper, used.widthStepper);
  HeightStepper_2D->setMinimum(Barcode_Designer::QR_Size_Minimum(d.qr_version_ComboBox.index));
  show_used(HeightStepper_2D, used.HeightStepper_2D);
  select(qr_version_ComboBox, d.qr_version_ComboBox.index);
  select(qr_ec_lvl_ComboBox, d.qr_ec_lvl_ComboBox.index);
  show_used(pdf_HeightStepper_2D, used.pdf_HeightStepper_2D);
  show_used(Pdf_widthStepper_2D, used.Pdf_widthStepper_2D);
  show_used(pdf_ec_lvl_Stepper, used.pdf_ec_lvl_Stepper);
  show_used(dm_moduleStepper_2D, used.dm_moduleStepper_2D);
  select(dm_format_ComboBox, d.dm_format_ComboBox.index);
  select(dm_encoding_ComboBox, d.dm_encoding_ComboBox.index);
  show_used(hdr_mar_Stepper, used.hdr_mar_Stepper);
  show_used(ftr_mar_Stepper, used.ftr_mar_Stepper);
  show_used(val_mar_Stepper, used.val_mar_Stepper);
  show_used(TB_mar_Stepper, used.TB_mar_Stepper);
  show_used(LR_mar_Stepper, used.LR_mar_Stepper);
  show_font_labels();
  show_well(bar_hdr_clr, d.bar_hdr_clr);
  show_well(bar_ftr_clr, d.bar_ftr_clr);
  show_well(bar_val_clr, d.bar_val_clr);
  show_well(bar_back_clr, d.bar_back_clr);
  show_well(barcode_clr, d.barcode_clr);
  select(DPI_ComboBox, d.DPI_ComboBox.index);
  show_used(dpi_Stepper, used.dpi_Stepper);
  used.dpi_Text = QString::number(used.dpi_Stepper);
  show_custom_dpi(DPI_ComboBox->currentText() == QLatin1String("Custom"));
  select(Data_source_type, d.Data_source_type.index);
}

void Barcode_Gen_Window::show_font_labels() {
  value_font_value->setText(font_label(designer_.value_font));
  header_font_value->setText(font_label(designer_.header_font));
  footer_font_value->setText(font_label(designer_.footer_font));
}

void Barcode_Gen_Window::show_well(QToolButton* well, const CRDColor& color) {
  QPixmap swatch(36, 14);
  swatch.fill(Qt::transparent);
  QPainter painter(&swatch);
  painter.fillRect(swatch.rect(), color.toQColor());
  painter.setPen(Qt::gray);
  painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
  painter.end();
  well->setIcon(QIcon(swatch));
  well->setIconSize(swatch.size());
}

CRDColor* Barcode_Gen_Window::well_color(QToolButton* well) {
  if (well == barcode_clr) return &designer_.barcode_clr;
  if (well == bar_back_clr) return &designer_.bar_back_clr;
  if (well == bar_val_clr) return &designer_.bar_val_clr;
  if (well == bar_hdr_clr) return &designer_.bar_hdr_clr;
  if (well == bar_ftr_clr) return &designer_.bar_ftr_clr;
  return nullptr;
}

// ---- Panes and labels ----------------------------------------------------------------------

void Barcode_Gen_Window::show_linear_only_controls(bool shown) {
  for (QWidget* w : std::initializer_list<QWidget*>{
           showinTopCheckbox, captionCheckbox, val_mar_Stepper, val_mar_label, val_font_label,
           val_font_btn, value_font_value, barcode_clr, bar_back_clr, bar_val_clr, val_clr_label,
           bar_clr_label, bar_bk_clr_label, linear_sett_box})
    w->setVisible(shown);
}

void Barcode_Gen_Window::Liner_Barcode_Opt_Select() {
  designer_.liner_or_2D_font = 0;
  dataText->setEnabled(true);
  dataText->show();
  dataText_2D->hide();
  show_linear_only_controls(true);
  for (QWidget* w : {two_d_sett_box, pdf_2d_sett_box, dm_2d_sett_box}) w->hide();
  if (sett_tab->count() == 4) sett_tab->removeTab(3);
  sett_tab->setCurrentIndex(0);
}

void Barcode_Gen_Window::two_d_barcode_Opt_Select() {
  designer_.liner_or_2D_font = 1;
  dataText->setEnabled(false);
  dataText->hide();
  dataText_2D->show();
  show_linear_only_controls(false);
  if (sett_tab->count() == 3) sett_tab->insertTab(3, dpi_tab_item, QStringLiteral("Resolution"));
  const QString title = barcodeTypePopup->currentText();
  two_d_sett_box->setVisible(title == QLatin1String("QR Code"));
  pdf_2d_sett_box->setVisible(title == QLatin1String("PDF417"));
  dm_2d_sett_box->setVisible(title == QLatin1String("DataMatrix"));
}

void Barcode_Gen_Window::_setLabels() {
  margin_box->setTitle(QStringLiteral("Margins (cm)"));
  if (designer_.liner_or_2D_font == 1) {
    barHeightLabel->setText(QStringLiteral("Bar Height :"));
    barWidthLabel->setText(QStringLiteral("Bar Width :"));
  } else {
    barHeightLabel->setText(QStringLiteral("Bar Height (cm):"));
    barWidthLabel->setText(QStringLiteral("Bar Width (Mils):"));
  }
}

// ---- Loading and the modal run -------------------------------------------------------------

void Barcode_Gen_Window::Set_Barcode_Prop_To_Control(const std::shared_ptr<CRDGraphic>& graphic) {
  Not_Draw_Only_Prop_Change = true;
  try {
    if (graphic) {
      binding_ = {graphic->data_source_type, graphic->batch_list_name, graphic->batch_list_index,
                  graphic->excel_col_indx};
      // The series list holds what the graphic's source needs before its name is looked up.
      fill_batch_series(binding_.data_source_type);
    }
    designer_.Set_Barcode_Prop_To_Control(graphic);
    designer_.Select_Symbology(designer_.barcodeTypePopup.index);
    Not_Draw_Only_Prop_Change = true;  // the designer clears it at its end
    load_controls();
    select(Batch_Series, binding_.data_source_type == 2 ? binding_.excel_col_indx
                                                        : designer_.Batch_Series.index);
    set_value_editable(binding_.data_source_type == 0);
    if (designer_.liner_or_2D_font == 1)
      two_d_barcode_Opt_Select();
    else
      Liner_Barcode_Opt_Select();
    const QString title = barcodeTypePopup->currentText();
    kerning_value_Checkbox->setEnabled(designer_.liner_or_2D_font == 1 ||
                                       !Barcode_Symbology_Has_No_Spacing(title));
    _setLabels();
  } catch (const std::exception& e) {
    log_exception(e);
  }
  Not_Draw_Only_Prop_Change = false;
}

std::shared_ptr<CRDGraphic> Barcode_Gen_Window::Open_Wnd(const std::shared_ptr<CRDGraphic>& graphic) {
  Set_Barcode_Prop_To_Control(graphic);
  try {
    regenerate();
  } catch (const std::exception& e) {
    log_exception(e);
  }
  Not_Draw_Only_Prop_Change = false;
  const int code = platform::Run_Modal(this);
  hide();
  if (code != 1 || !graphic) return graphic;
  designer_.Set_Control_Prop_To_Barcode(*graphic);
  graphic->Set_Data_source_type(binding_.data_source_type);
  graphic->Set_Batch_List_Name(binding_.batch_list_name);
  graphic->Set_Batch_List_Index(binding_.batch_list_index);
  graphic->Set_Excel_binding_Index(binding_.excel_col_indx);
  return graphic;
}

void Barcode_Gen_Window::OK_Btn_Clicked() {
  // A blank preview means the value cannot be encoded: the dialog stays open (the button is
  // disabled then; this guards Return in a field). A series or column gives every card its
  // own value, so its settings are stored even when its first value is refused.
  const bool bound = binding_.data_source_type != 0;
  if (!bound &&
      (!designer_.Check_And_Validat_Barcode(false, false) || designer_.barcodeImage().isNull())) {
    show_preview();
    return;
  }
  Barcode_output_image = designer_.barcodeImage();
  platform::Stop_Modal(this, 1);
}

void Barcode_Gen_Window::Cancel_Btn_Clicked() {
  Barcode_output_image = Picture();
  platform::Stop_Modal(this, 0);
}

void Barcode_Gen_Window::Encode_btn() {
  try {
    regenerate();
  } catch (const std::exception& e) {
    log_exception(e);
  }
}

// ---- Refreshing the preview ----------------------------------------------------------------

void Barcode_Gen_Window::regenerate() {
  designer_.goButtonActionPerformed();
  show_preview();
  // A symbol too large to draw is explained beside the preview; other failures once here.
  if (!designer_.Drawing_Failure().isEmpty() && designer_.blank_reason().isEmpty())
    Show_MessageBox(designer_.Drawing_Failure());
}

void Barcode_Gen_Window::re_render() {
  if (designer_.liner_or_2D_font != 0) return;
  if (const auto& model = designer_.testBarcode()) {
    const Barcode_Gen_Binding bind(designer_);
    designer_.Set_Barcode_Height(*model);
    designer_.Get_Image_From_Barcode(*model);
  }
  show_preview();
}

void Barcode_Gen_Window::redraw() {
  if (designer_.liner_or_2D_font != 0) return;
  if (const auto& model = designer_.testBarcode()) designer_.Get_Image_From_Barcode(*model);
  show_preview();
}

void Barcode_Gen_Window::re_frame() {
  if (designer_.liner_or_2D_font != 1) return;
  designer_.Get_2d_barcode_from_image();
  show_preview();
}

void Barcode_Gen_Window::show_preview() {
  const Picture& picture = designer_.barcodeImage();
  if (picture.isNull()) {
    barcodeImage->clear();
    barcodeImage->resize(image_scroll->viewport()->size());
  } else {
    Set_Barcode_On_Panel(picture);
  }
  const bool bound = binding_.data_source_type != 0;
  if (picture.isNull()) barcode_error_label->setText(blank_reason(bound));
  barcode_error_label->setVisible(picture.isNull());
  OK_Btn->setEnabled(!picture.isNull() || bound);
  show_dm_least_size();
}

QString Barcode_Gen_Window::blank_reason(bool bound) const {
  const QString value = designer_.Current_Value();
  QString reason = designer_.blank_reason();
  if (!reason.isEmpty()) {
    // what to lower says it all
  } else if (value.isEmpty()) {
    reason = bound ? QStringLiteral("No barcode: the first value of the source is empty.")
                   : QStringLiteral("No barcode: please enter a value.");
  } else {
    bool ascii = true;
    for (QChar c : value) ascii = ascii && c.unicode() < 128;
    const QString shown = value.size() > 40 ? value.left(40) + QChar(0x2026) : value;
    reason = ascii ? QStringLiteral("No barcode: %1 cannot encode \u201c%2\u201d with these settings.")
                         .arg(barcodeTypePopup->currentText(), shown)
                   : QStringLiteral("No barcode: the preview takes ASCII values only (\u201c%1\u201d).")
                         .arg(shown);
  }
  if (bound)
    reason += QStringLiteral(" OK keeps these settings: each card gets its own record's value, "
                             "and a card whose value cannot be encoded has no barcode.");
  return reason;
}

void Barcode_Gen_Window::show_custom_dpi(bool shown) {
  dpi_Stepper->setVisible(shown);
  dpi_label->setVisible(shown);
}

void Barcode_Gen_Window::show_dm_least_size() {
  // The symbol size of the chosen format at the module size; for "Auto" the size of the
  // symbol drawn now (blank when there is none).
  int cols = 0, rows = 0;
  Data_Matrix_Size_From_Format(dm_format_ComboBox->currentText(), &cols, &rows);
  const int m = dm_moduleStepper_2D->value();
  int width = cols * m, height = rows * m;
  const Picture& symbol = designer_.image_2d();
  if (!cols && barcodeTypePopup->currentText() == QLatin1String("DataMatrix") && !symbol.isNull()) {
    width = int(std::lround(symbol.size().width()));
    height = int(std::lround(symbol.size().height()));
  }
  dm_widthStepper_2D->setValue(width);
  dm_HeightStepper_2D->setValue(height);
}

void Barcode_Gen_Window::Set_Barcode_On_Panel(const Picture& picture) {
  const QSize view = image_scroll->viewport()->size();
  const QSizeF points = picture.size();
  int width = view.width();
  if (points.width() >= view.width()) {
    scroll_h_on_ = true;
    width = int(std::ceil(points.width()));
  } else {
    scroll_v_on_ = true;
  }
  if (scroll_h_on_) image_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  if (scroll_v_on_) image_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  const int height = std::max(int(std::ceil(points.height())), view.height());
  QPixmap pixmap = QPixmap::fromImage(picture.image());
  if (points.width() > 0) pixmap.setDevicePixelRatio(picture.image().width() / points.width());
  barcodeImage->setAlignment(Qt::AlignCenter);
  barcodeImage->setPixmap(pixmap);
  barcodeImage->resize(width, height);
}

void Barcode_Gen_Window::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  place_preview_again();
}

void Barcode_Gen_Window::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (isVisible()) place_preview_again();
}

void Barcode_Gen_Window::place_preview_again() {
  // The same picture placed for the new size: the preview alignment stays.
  const Qt::Alignment alignment = barcodeImage->alignment();
  show_preview();
  barcodeImage->setAlignment(alignment);
}

// ---- Handlers ------------------------------------------------------------------------------

void Barcode_Gen_Window::barcodeTypeChanged() {
  try {
    designer_.Select_Symbology(barcodeTypePopup->currentIndex());
    const QString title = barcodeTypePopup->currentText();
    QString value;
    if (designer_.liner_or_2D_font == 1) {
      two_d_barcode_Opt_Select();
      value = dataText_2D->toPlainText();
    } else {
      Liner_Barcode_Opt_Select();
      value = dataText->text();
      designer_.captionCheckbox_enabled = true;
      for (QWidget* w : std::initializer_list<QWidget*>{
               HeightStepper, widthStepper, captionCheckbox, hideHeaderCheckbox,
               hideFooterCheckbox, FooterText, val_mar_Stepper, hdr_mar_Stepper, ftr_mar_Stepper,
               align_hdr_combo, align_ftr_combo, showinTopCheckbox, kerning_value_Checkbox})
        w->setEnabled(true);
      designer_.Get_Print_State();
      showinTopCheckbox->setEnabled(designer_.showinTopCheckbox_enabled);
    }
    if (value.isEmpty()) {
      platform::Message_Box(QStringLiteral("Please enter barcode value"));
      designer_.Set_Blank_Image();
      show_preview();
      return;
    }
    if (Barcode_Symbology_Has_No_Spacing(title)) kerning_value_Checkbox->setEnabled(false);
    regenerate();
  } catch (const std::exception& e) {
    log_exception(e);
  }
}

void Barcode_Gen_Window::controlTextDidChange(QObject* field) {
  try {
    if (field == dataText) designer_.dataText = dataText->text();
    if (field == HeaderText) designer_.HeaderText = HeaderText->text();
    if (field == FooterText) designer_.FooterText = FooterText->text();
    if (designer_.liner_or_2D_font == 0) {
      regenerate();
      return;
    }
    designer_.setHeader(designer_.HeaderText);
    designer_.setFooter(designer_.FooterText);
    designer_.setHeaderFontSize(float(designer_.header_font.pointSizeF()));
    designer_.setFooterFontSize(float(designer_.footer_font.pointSizeF()));
    re_frame();
  } catch (const std::exception& e) {
    log_exception(e);
  }
}

void Barcode_Gen_Window::textDidChange() {
  try {
    designer_.dataText_2D = dataText_2D->toPlainText();
    if (designer_.liner_or_2D_font == 1) regenerate();
  } catch (const std::exception& e) {
    log_exception(e);
  }
}

void Barcode_Gen_Window::captionChanged() {
  designer_.captionCheckbox = captionCheckbox->isChecked() ? 1 : 0;
  const int prints = designer_.Get_Print_State();
  showinTopCheckbox->setEnabled(designer_.showinTopCheckbox_enabled);
  if (designer_.liner_or_2D_font == 0) {
    if (const auto& model = designer_.testBarcode()) model->setPrintsCaption(prints == 1);
    re_render();
  } else {
    re_frame();
  }
}

void Barcode_Gen_Window::showinTopChanged() {
  designer_.showinTopCheckbox = showinTopCheckbox->isChecked() ? 1 : 0;
  if (designer_.liner_or_2D_font != 0) return;
  if (const auto& model = designer_.testBarcode()) model->setPrintsCaption(designer_.captionCheckbox != 1);
  re_render();
}

void Barcode_Gen_Window::hideHeaderChanged() {
  designer_.hideHeaderCheckbox = hideHeaderCheckbox->isChecked() ? 1 : 0;
  const bool prints = designer_.hideHeaderCheckbox != 1;
  if (designer_.liner_or_2D_font == 0) {
    if (const auto& model = designer_.testBarcode()) model->setPrintsHeader(prints);
    re_render();
  } else {
    designer_.setPrintsHeader(prints);
    re_frame();
  }
}

void Barcode_Gen_Window::hideFooterChanged() {
  designer_.hideFooterCheckbox = hideFooterCheckbox->isChecked() ? 1 : 0;
  const bool prints = designer_.hideFooterCheckbox != 1;
  if (designer_.liner_or_2D_font == 0) {
    if (const auto& model = designer_.testBarcode()) model->setPrintsFooter(prints);
    re_render();
  } else {
    designer_.setPrintsFooter(prints);
    re_frame();
  }
}

void Barcode_Gen_Window::kerningChanged() {
  designer_.kerning_value_Checkbox = kerning_value_Checkbox->isChecked() ? 1 : 0;
  redraw();
}

void Barcode_Gen_Window::Value_Margin_Changed() {
  designer_.val_mar_Stepper = float(val_mar_Stepper->value());
  re_render();
}

void Barcode_Gen_Window::Header_Margin_Changed() {
  designer_.hdr_mar_Stepper = float(hdr_mar_Stepper->value());
  designer_.liner_or_2D_font == 0 ? re_render() : re_frame();
}

void Barcode_Gen_Window::Footer_Margin_Changed() {
  designer_.ftr_mar_Stepper = float(ftr_mar_Stepper->value());
  designer_.liner_or_2D_font == 0 ? re_render() : re_frame();
}

void Barcode_Gen_Window::TB_Margin_Changed() {
  designer_.TB_mar_Stepper = float(TB_mar_Stepper->value());
  designer_.liner_or_2D_font == 0 ? re_render() : re_frame();
}

void Barcode_Gen_Window::set_linear_width() {
  const auto& model = designer_.testBarcode();
  if (designer_.liner_or_2D_font != 0 || !model) return;
  const Barcode_Gen_Binding bind(designer_);
  model->setBarWidth(designer_.widthStepper / 1000.0f * 72.0f);
  model->calculateWidth();
  model->setWidth(designer_.Set_Linear_Barcode_Width(*model));
}

void Barcode_Gen_Window::LR_Margin_Changed() {
  designer_.LR_mar_Stepper = float(LR_mar_Stepper->value());
  if (designer_.liner_or_2D_font == 0) {
    set_linear_width();
    redraw();
  } else {
    re_frame();
  }
}

void Barcode_Gen_Window::heightChanged() {
  designer_.HeightStepper = float(HeightStepper->value());
  re_render();
}

void Barcode_Gen_Window::qr_sizeChanged() {
  designer_.HeightStepper_2D = HeightStepper_2D->value();
  regenerate();
}

void Barcode_Gen_Window::widthChanged() {
  designer_.widthStepper = float(widthStepper->value());
  set_linear_width();
  redraw();
}

void Barcode_Gen_Window::pdf_widthChanged() {
  designer_.Pdf_widthStepper_2D = Pdf_widthStepper_2D->value();
  regenerate();
}

void Barcode_Gen_Window::pdf_heightChanged() {
  designer_.pdf_HeightStepper_2D = pdf_HeightStepper_2D->value();
  regenerate();
}

void Barcode_Gen_Window::PDF_EC_Lvl_Changed() {
  designer_.pdf_ec_lvl_Stepper = pdf_ec_lvl_Stepper->value();
  regenerate();
}

void Barcode_Gen_Window::dm_modulesizeChanged() {
  designer_.dm_moduleStepper_2D = dm_moduleStepper_2D->value();
  regenerate();
}

void Barcode_Gen_Window::Header_Color_Changed(QToolButton* well) {
  CRDColor* color = well_color(well);
  if (!color) return;
  const std::optional<QColor> chosen = platform::Color_Panel(color->toQColor());
  if (!chosen) return;
  *color = CRDColor::fromQColor(*chosen);
  show_well(well, *color);
  designer_.liner_or_2D_font == 0 ? redraw() : re_frame();
}

void Barcode_Gen_Window::run_font_panel(QFont& font, QLabel* label, int which) {
  try {
    const std::optional<QFont> chosen = platform::Font_Panel(font);
    if (!chosen) return;
    font = *chosen;
    label->setText(font_label(font));
    const float size = float(font.pointSizeF());
    if (designer_.liner_or_2D_font == 0) {
      if (const auto& model = designer_.testBarcode()) {
        const Barcode_Gen_Binding bind(designer_);
        if (which == 0) model->setCaptionFontSize(size);
        if (which == 1) model->setHeaderFontSize(size);
        if (which == 2) model->setFooterFontSize(size);
      }
      re_render();
    } else {
      if (which == 1) designer_.setHeaderFontSize(size);
      if (which == 2) designer_.setFooterFontSize(size);
      re_frame();
    }
  } catch (const std::exception& e) {
    log_exception(e);
  }
}

void Barcode_Gen_Window::Value_Font_Changed() {
  run_font_panel(designer_.value_font, value_font_value, 0);
}
void Barcode_Gen_Window::Header_Font_Changed() {
  run_font_panel(designer_.header_font, header_font_value, 1);
}
void Barcode_Gen_Window::Footer_Font_Changed() {
  run_font_panel(designer_.footer_font, footer_font_value, 2);
}

void Barcode_Gen_Window::DPI_Value_Changed() {
  designer_.dpi_Stepper = dpi_Stepper->value();
  designer_.dpi_Text = QString::number(designer_.dpi_Stepper);
  USED_DPI_VALUE = designer_.dpi_Stepper;
}

void Barcode_Gen_Window::comboBoxSelectionDidChange(QComboBox* combo) {
  try {
    const int index = combo->currentIndex();
    if (combo == DPI_ComboBox) {
      designer_.DPI_ComboBox.index = index;
      show_custom_dpi(combo->currentText() == QLatin1String("Custom"));
      USED_DPI_VALUE = designer_.Used_DPI();
      return;
    }
    if (combo == Data_source_type) return value_source_changed();
    if (combo == Batch_Series) return batch_series_picked();
    if (combo == align_hdr_combo || combo == align_ftr_combo) {
      (combo == align_hdr_combo ? designer_.align_hdr_combo : designer_.align_ftr_combo).index = index;
      designer_.liner_or_2D_font == 0 ? redraw() : re_frame();
      return;
    }
    if (combo == bar_align_combo) {
      if (designer_.liner_or_2D_font != 0) return;
      static const Qt::Alignment alignments[] = {
          Qt::AlignCenter, Qt::AlignTop | Qt::AlignHCenter, Qt::AlignTop | Qt::AlignLeft,
          Qt::AlignTop | Qt::AlignRight, Qt::AlignLeft | Qt::AlignVCenter,
          Qt::AlignBottom | Qt::AlignHCenter, Qt::AlignBottom | Qt::AlignLeft,
          Qt::AlignBottom | Qt::AlignRight, Qt::AlignRight | Qt::AlignVCenter};
      if (index >= 0 && index < 9) barcodeImage->setAlignment(alignments[index]);
      return;
    }
    if (designer_.liner_or_2D_font != 1) return;
    if (combo == qr_version_ComboBox) {
      designer_.qr_version_ComboBox.index = index;
      QR_Version_Val = index;
      designer_.Check_And_Set_QR_size_Acc_Version(index);
      const QSignalBlocker block(HeightStepper_2D);
      HeightStepper_2D->setMinimum(Barcode_Designer::QR_Size_Minimum(index));
      HeightStepper_2D->setValue(designer_.HeightStepper_2D);
    } else if (combo == qr_ec_lvl_ComboBox) {
      designer_.qr_ec_lvl_ComboBox.index = index;
      QR_EC_Level_Val = index;
    } else if (combo == dm_format_ComboBox) {
      designer_.dm_format_ComboBox.index = index;
    } else if (combo == dm_encoding_ComboBox) {
      designer_.dm_encoding_ComboBox.index = index;
    } else {
      return;
    }
    regenerate();
  } catch (const std::exception& e) {
    log_exception(e);
  }
}

// ---- Value source --------------------------------------------------------------------------

const QString Excel_Source_Not_Loaded = QStringLiteral(
    "No spreadsheet is loaded. Load one with \u201cSpreadsheet...\u201d in the User Profile "
    "window; its columns are then offered here.");

void Barcode_Gen_Window::set_value_editable(bool editable) {
  dataText->setReadOnly(!editable);
  dataText_2D->setReadOnly(!editable);
  Batch_Series->setEnabled(!editable);
  view_series_btn->setEnabled(!editable);
}

bool Barcode_Gen_Window::fill_batch_series(int source) {
  QStringList items;
  if (source == 1) items = Get_datasheet_File_Name_Array();
  if (source == 2) items = Data_From_Excel::defaultInstance()->Column_Titles();
  const QSignalBlocker block(Batch_Series);
  Batch_Series->clear();
  Batch_Series->addItems(items);
  Batch_Series->setCurrentIndex(-1);
  designer_.Batch_Series = {items, -1};
  return !items.isEmpty();
}

void Barcode_Gen_Window::value_source_changed() {
  const int source = Data_source_type->currentIndex();
  if (source == 0) {
    set_value_editable(true);
    fill_batch_series(0);
  } else if (source == 1) {
    if (!fill_batch_series(1)) {
      platform::Message_Box(QStringLiteral("Please create batch processing series first."));
      // The list goes back to the source the run has, which the graphic will get on OK.
      const QSignalBlocker block(Data_source_type);
      select(Data_source_type, binding_.data_source_type);
      fill_batch_series(binding_.data_source_type);
      select(Batch_Series, binding_.data_source_type == 2 ? binding_.excel_col_indx
                                                          : designer_.Batch_Series.items.indexOf(
                                                                binding_.batch_list_name));
      set_value_editable(binding_.data_source_type == 0);
      return;
    }
    set_value_editable(false);
    if (!binding_.batch_list_name.isEmpty())
      select(Batch_Series, int(designer_.Batch_Series.items.indexOf(binding_.batch_list_name)));
  } else {
    if (Data_From_Excel::defaultInstance()->Column_Count() <= 1) {
      // No spreadsheet is loaded: a list of "Row No." alone and an empty table would be all.
      platform::Message_Box(Excel_Source_Not_Loaded);
      const QSignalBlocker block(Data_source_type);
      select(Data_source_type, binding_.data_source_type);
      return;
    }
    set_value_editable(false);
    fill_batch_series(2);
    select(Batch_Series, binding_.excel_col_indx);
  }
  designer_.Data_source_type.index = source;
  designer_.Batch_Series.index = Batch_Series->currentIndex();
  binding_.data_source_type = source;
  regenerate();
}

void Barcode_Gen_Window::batch_series_picked() {
  const int index = Batch_Series->currentIndex();
  const QString name = Trim_Str(Batch_Series->currentText());
  if (name.isEmpty() || !designer_.pass_barcode_control()) return;
  designer_.Batch_Series.index = index;
  QString sample;
  if (Data_source_type->currentIndex() == 2) {
    binding_.excel_col_indx = index;
    sample = Data_From_Excel::defaultInstance()->Get_First_Value_Of_Excel_Binding(index);
  } else {
    binding_.batch_list_name = name;
    binding_.batch_list_index = index;
    sample = Get_First_Value_Of_Dataset(name);
  }
  if (designer_.liner_or_2D_font == 1) {
    designer_.dataText_2D = sample;
    const QSignalBlocker block(dataText_2D);
    dataText_2D->setPlainText(sample);
  } else {
    designer_.dataText = sample;
    dataText->setText(sample);
  }
  regenerate();
}

void Barcode_Gen_Window::View_batch_Series_Button() {
  if (Data_source_type->currentIndex() == 2) {
    Data_Table_Window::defaultInstance()->Open_Wnd();
    return;
  }
  View_Data_Series::View_Series(Batch_Series->currentText());
}

// ---- Help ----------------------------------------------------------------------------------

namespace {
void show_help(const QString& title, const QString& text) {
  if (Barcode_Gen_Window::hooks().show_help)
    Barcode_Gen_Window::hooks().show_help(title, text);
  else
    platform::Message_Box(title + QStringLiteral("\n\n") + text);
}
}  // namespace

void Barcode_Gen_Window::QR_Version_Help_Btn() {
  show_help(QStringLiteral("Version :"),
            QStringLiteral("Version is configuration or number of modules (combination of black "
                           "and white dots)."));
}
void Barcode_Gen_Window::QR_EC_Lvl_Help_Btn() {
  show_help(QStringLiteral("Error correction (EC) level :"),
            QStringLiteral("An error-correction mechanism is built in each symbol so that the "
                           "symbol can still be decoded even if it is damaged."));
}
void Barcode_Gen_Window::PDF_ec_lvl_Help_btn() {
  show_help(QStringLiteral("PDF EC Level :"),
            QStringLiteral("An error-correction mechanism is built in each symbol so that the "
                           "symbol can still be decoded even if it is damaged in PDF barcode."));
}
void Barcode_Gen_Window::DM_format_Help_btn() {
  show_help(QStringLiteral("Preferred Format :"),
            QStringLiteral("Preferred Mode determines the smallest size of the symbol."));
}
void Barcode_Gen_Window::DM_Encoding_Help_btn() {
  show_help(QStringLiteral("Encoding Mode :"),
            QStringLiteral("Encoding Mode is mode of compaction to encode data in the symbol."));
}
void Barcode_Gen_Window::DPI_Help_Label() {
  show_help(QStringLiteral("DPI (Dots Per Inch) :"),
            QStringLiteral("Dots per inch is a measure of the resolution of printers in terms of "
                           "Print Quality.\n\nBigger the DPI, Better the Print Quality. But File "
                           "size of image also increases, as you choose bigger DPI."));
}
