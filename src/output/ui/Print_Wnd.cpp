#include "output/ui/Print_Wnd.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "output/Sheet_Layout.h"
#include "output/Print_Run.h"
#include "output/Sheet_Pages.h"
#include "output/ui/Position_Pictures.h"
#include "output/ui/Sample_Preview.h"
#include "output/ui/Send_Modeless.h"
#include "output/ui/Sheet_Preview_Window.h"
#include "platform/Platform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

Print_Wnd* instance = nullptr;

QString Millimetres(float points) { return QString::asprintf("%0.2f", Points_to_MM_Convert(points)); }

// A typed number's value; a count keeps the integer part of a typed fraction.
double Field_Value(const QLineEdit* field) { return field->text().trimmed().toDouble(); }
int Field_Count(const QLineEdit* field) {
  const double value = Field_Value(field);
  return std::isfinite(value) && std::abs(value) < 2e9 ? int(value) : 0;
}

QString Number_Text(double value) { return QString::number(value, 'g', 6); }

// A spin box used as a stepper: its own text field (a second copy of the number beside
// the real field, clipped to a character or two) is hidden, and the box is as wide as its
// arrows. It still takes the focus, steps with the arrow keys and holds the value.
void Show_Only_Arrows(QAbstractSpinBox* stepper) {
  if (auto* text = stepper->findChild<QLineEdit*>()) text->hide();
  QStyleOptionSpinBox option;
  option.initFrom(stepper);
  option.buttonSymbols = stepper->buttonSymbols();
  option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame;
  option.frame = stepper->hasFrame();
  option.rect = QRect(0, 0, 200, stepper->sizeHint().height());
  const QRect up = stepper->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                    QStyle::SC_SpinBoxUp, stepper);
  const int width = up.isValid() && up.width() > 0 ? 200 - up.left() : 18;
  stepper->setFixedWidth(width);
}

// On a CUPS printer Qt's page setup panel opens on the paper the printer's driver names as
// its default, whatever page the printer was given (orientation and margins it keeps), and
// OK hands that paper back. The panel is shown the paper chosen before, so that OK without
// a change keeps it. A paper the printer does not list is left to the panel.
void Show_Paper_In_Page_Setup(QPageSetupDialog& dialog, const QPageSize& paper) {
  auto* sizes = dialog.findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
  if (!sizes) return;
  for (int k = 0; k < sizes->count(); ++k) {
    const QVariant data = sizes->itemData(k);
    if (data.canConvert<QPageSize>() && data.value<QPageSize>().isEquivalentTo(paper)) {
      sizes->setCurrentIndex(k);
      return;
    }
  }
}

}  // namespace

Print_Wnd* Print_Wnd::defaultInstance() {
  if (!instance) instance = new Print_Wnd;
  return instance;
}

Print_Wnd::Print_Wnd(QWidget* parent) : QDialog(parent) {
  if (!instance) instance = this;
  setObjectName(QStringLiteral("Print_Wnd"));
  setWindowTitle(QStringLiteral("Print Cards"));
  setStyleSheet(QStringLiteral("QDialog { background: rgb(241, 244, 250); }"));
  for (int k = 0; k < 9; ++k) {
    position_images[k] = Position_Picture(Position_Picture_Names()[k]);
    position_images_sel[k] = Position_Picture(Position_Picture_Selected_Names()[k]);
  }

  auto* outer = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  outer->addLayout(left);

  // Printer and paper.
  auto* paper_box = new QGroupBox(QStringLiteral("Printer and paper"), this);
  auto* paper_form = new QFormLayout(paper_box);
  Printer_ComboBox = new QComboBox(paper_box);
  Printer_ComboBox->setObjectName(QStringLiteral("Printer_ComboBox"));
  paper_form->addRow(QStringLiteral("Printer:"), Printer_ComboBox);
  Orient_ComboBox = new QComboBox(paper_box);
  Orient_ComboBox->setObjectName(QStringLiteral("Orient_ComboBox"));
  Orient_ComboBox->addItems({QStringLiteral("Portrait"), QStringLiteral("Landscape")});
  paper_form->addRow(QStringLiteral("Orientation:"), Orient_ComboBox);
  auto* paper_row = new QHBoxLayout;
  Paper_id = new QLabel(paper_box);
  Paper_id->setObjectName(QStringLiteral("Paper_id"));
  paper_row->addWidget(Paper_id, 1);
  auto* setup = new QPushButton(QStringLiteral("Page Setup..."), paper_box);
  setup->setObjectName(QStringLiteral("pagesetup"));
  paper_row->addWidget(setup);
  paper_form->addRow(QStringLiteral("Paper:"), paper_row);
  Size_id = new QLabel(paper_box);
  Size_id->setObjectName(QStringLiteral("Size_id"));
  paper_form->addRow(QStringLiteral("Size (mm):"), Size_id);
  auto* margins = new QHBoxLayout;
  for (auto [label, name, title] :
       {std::tuple{&l_mar_id, "l_mar_id", "L"}, std::tuple{&r_mar_id, "r_mar_id", "R"},
        std::tuple{&t_mar_id, "t_mar_id", "T"}, std::tuple{&b_mar_id, "b_mar_id", "B"}}) {
    margins->addWidget(new QLabel(QString::fromLatin1(title) + QLatin1Char(':'), paper_box));
    *label = new QLabel(QStringLiteral("0"), paper_box);
    (*label)->setObjectName(QString::fromLatin1(name));
    margins->addWidget(*label);
  }
  margins->addStretch();
  paper_form->addRow(QStringLiteral("Margins (mm):"), margins);
  left->addWidget(paper_box);

  // Side.
  auto* side_box = new QGroupBox(QStringLiteral("Card side"), this);
  auto* side_layout = new QHBoxLayout(side_box);
  matrix_card_side = new QButtonGroup(this);
  matrix_card_side->setObjectName(QStringLiteral("matrix_card_side"));
  const char* side_titles[] = {"Both sides", "Front", "Back"};
  for (int row = 0; row < 3; ++row) {
    auto* button = new QRadioButton(QString::fromLatin1(side_titles[row]), side_box);
    matrix_card_side->addButton(button, row);
    side_layout->addWidget(button);
  }
  print_alignment = new QComboBox(side_box);
  print_alignment->setObjectName(QStringLiteral("print_alignment"));
  print_alignment->addItems({QStringLiteral("Front above back"), QStringLiteral("Front left of back")});
  side_layout->addWidget(print_alignment);
  left->addWidget(side_box);

  // Cells.
  auto* cells = new QGroupBox(QStringLiteral("Cards on the sheet"), this);
  auto* grid = new QGridLayout(cells);
  int grid_row = 0;
  auto add_pair = [&](const QString& title, const char* name, QLineEdit*& field, auto*& stepper,
                      double max, double step, int column) {
    field = new QLineEdit(cells);
    field->setObjectName(QString::fromLatin1(name) + QStringLiteral("_Text"));
    field->setMaximumWidth(70);
    using Stepper = std::remove_reference_t<decltype(*stepper)>;
    stepper = new Stepper(cells);
    stepper->setObjectName(QString::fromLatin1(name) + QStringLiteral("_Stepper"));
    stepper->setRange(0, max);
    stepper->setSingleStep(step);
    stepper->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    Show_Only_Arrows(stepper);
    grid->addWidget(new QLabel(title, cells), grid_row, column * 3);
    grid->addWidget(field, grid_row, column * 3 + 1);
    grid->addWidget(stepper, grid_row, column * 3 + 2);
  };
  add_pair(QStringLiteral("Card width (mm):"), "width", width_Text, width_Stepper, 1000, 1, 0);
  add_pair(QStringLiteral("Card height (mm):"), "height", height_Text, height_Stepper, 1000, 1, 1);
  ++grid_row;
  add_pair(QStringLiteral("Rows:"), "Row", Row_Text, Row_Stepper, 100, 1, 0);
  add_pair(QStringLiteral("Columns:"), "Col", Col_Text, Col_Stepper, 100, 1, 1);
  ++grid_row;
  add_pair(QStringLiteral("Horizontal gap (mm):"), "horz_mar", horz_mar_Text, horz_mar_Stepper, 500,
           0.5, 0);
  add_pair(QStringLiteral("Vertical gap (mm):"), "vert_mar", vert_mar_Text, vert_mar_Stepper, 500,
           0.5, 1);
  ++grid_row;
  add_pair(QStringLiteral("Cards to print:"), "Total", Total_Text, Total_Stepper, 999999, 1, 0);
  add_pair(QStringLiteral("Copies:"), "Copies", Copies_Text, Copies_Stepper, 999, 1, 1);
  Row_Stepper->setMinimum(1);
  Col_Stepper->setMinimum(1);
  Copies_Stepper->setMinimum(1);
  Copies_Stepper->setValue(1);
  Copies_Text->setText(QStringLiteral("1"));
  left->addWidget(cells);

  // Position and options.
  auto* options = new QHBoxLayout;
  align_Gp_Bx = new QGroupBox(QStringLiteral("Position on the page"), this);
  align_Gp_Bx->setObjectName(QStringLiteral("align_Gp_Bx"));
  auto* positions = new QGridLayout(align_Gp_Bx);
  QToolButton** buttons[] = {&top_left_btn, &top_center_btn, &top_rite_btn,
                             &mid_left_btn, &mid_center_btn, &mid_rite_btn,
                             &bot_left_btn, &bot_center_btn, &bot_rite_btn};
  const char* button_names[] = {"top_left_btn", "top_center_btn", "top_rite_btn",
                                "mid_left_btn", "mid_center_btn", "mid_rite_btn",
                                "bot_left_btn", "bot_center_btn", "bot_rite_btn"};
  for (int k = 0; k < 9; ++k) {
    auto* button = new QToolButton(align_Gp_Bx);
    button->setObjectName(QString::fromLatin1(button_names[k]));
    button->setAutoRaise(true);
    button->setIconSize(QSize(36, 36));
    positions->addWidget(button, k / 3, k % 3);
    connect(button, &QToolButton::clicked, this, [this, k] { Position_Clicked(k + 1); });
    *buttons[k] = button;
  }
  options->addWidget(align_Gp_Bx);
  auto* checks = new QVBoxLayout;
  Auto_Center_chk_bx = new QCheckBox(QStringLiteral("Centre the cards on the page"), this);
  Auto_Center_chk_bx->setObjectName(QStringLiteral("Auto_Center_chk_bx"));
  Show_Margins = new QCheckBox(QStringLiteral("Outline the cards in the preview"), this);
  Show_Margins->setObjectName(QStringLiteral("Show_Margins"));
  print_with_batch_chk = new QCheckBox(QStringLiteral("One card per data series record"), this);
  print_with_batch_chk->setObjectName(QStringLiteral("print_with_batch_chk"));
  print_with_excel_chk = new QCheckBox(QStringLiteral("One card per spreadsheet row"), this);
  print_with_excel_chk->setObjectName(QStringLiteral("print_with_excel_chk"));
  for (QCheckBox* box : {Auto_Center_chk_bx, Show_Margins, print_with_batch_chk, print_with_excel_chk})
    checks->addWidget(box);
  test_image_view = new QLabel(this);
  test_image_view->setObjectName(QStringLiteral("test_image_view"));
  test_image_view->setFixedSize(90, 120);
  test_image_view->setAlignment(Qt::AlignCenter);
  checks->addStretch();
  options->addLayout(checks, 1);
  options->addWidget(test_image_view);
  left->addLayout(options);

  auto* actions = new QHBoxLayout;
  actions->addStretch();
  auto* preview_button = new QPushButton(QStringLiteral("Preview"), this);
  preview_button->setObjectName(QStringLiteral("PreviewButton"));
  auto* print_button = new QPushButton(QStringLiteral("Print"), this);
  print_button->setObjectName(QStringLiteral("PrintButton"));
  print_button->setDefault(true);
  auto* cancel_button = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_button->setObjectName(QStringLiteral("CancelButton"));
  actions->addWidget(cancel_button);
  actions->addWidget(preview_button);
  actions->addWidget(print_button);
  left->addLayout(actions);

  Print_sclview = new QScrollArea(this);
  Print_sclview->setObjectName(QStringLiteral("Print_sclview"));
  Print_sclview->setBackgroundRole(QPalette::Button);
  PrintView = new Sample_Preview;
  PrintView->Set_Front_Image(&front_image);
  Print_sclview->setWidget(PrintView);
  Print_sclview->setMinimumSize(380, 480);
  outer->addWidget(Print_sclview, 1);

  // Wiring.
  auto pair = [this](QLineEdit* field, auto* stepper, void (Print_Wnd::*handler)()) {
    connect(field, &QLineEdit::editingFinished, this, handler);
    using Stepper = std::remove_reference_t<decltype(*stepper)>;
    connect(stepper, qOverload<std::conditional_t<std::is_same_v<Stepper, QSpinBox>, int, double>>(
                         &Stepper::valueChanged),
            this, [this, handler, stepper] {
              if (stepper->hasFocus()) (this->*handler)();  // the user stepped
            });
  };
  pair(horz_mar_Text, horz_mar_Stepper, &Print_Wnd::Horz_Margin_Changed);
  pair(vert_mar_Text, vert_mar_Stepper, &Print_Wnd::Vert_Margin_Changed);
  pair(width_Text, width_Stepper, &Print_Wnd::Width_Changed);
  pair(height_Text, height_Stepper, &Print_Wnd::Height_Changed);
  pair(Row_Text, Row_Stepper, &Print_Wnd::Row_Changed);
  pair(Col_Text, Col_Stepper, &Print_Wnd::Col_Changed);
  pair(Total_Text, Total_Stepper, &Print_Wnd::Total_Val_Changed);
  pair(Copies_Text, Copies_Stepper, &Print_Wnd::Copies_Val_Changed);
  connect(Show_Margins, &QCheckBox::clicked, this, &Print_Wnd::Show_Margin_Checked);
  connect(Auto_Center_chk_bx, &QCheckBox::clicked, this, &Print_Wnd::Auto_Center_Checked);
  connect(print_with_batch_chk, &QCheckBox::clicked, this, &Print_Wnd::Print_With_Batch_Changed);
  connect(print_with_excel_chk, &QCheckBox::clicked, this, &Print_Wnd::Print_With_Excel_Changed);
  connect(matrix_card_side, &QButtonGroup::idClicked, this, &Print_Wnd::card_side_CellClick);
  for (QComboBox* combo : {Printer_ComboBox, Orient_ComboBox, print_alignment})
    connect(combo, qOverload<int>(&QComboBox::activated), this,
            [this, combo] { comboBoxSelectionDidChange(combo); });
  connect(setup, &QPushButton::clicked, this, &Print_Wnd::pagesetup);
  connect(preview_button, &QPushButton::clicked, this, &Print_Wnd::PreviewButtonPressed);
  connect(print_button, &QPushButton::clicked, this, &Print_Wnd::PrintButtonPressed);
  connect(cancel_button, &QPushButton::clicked, this, &Print_Wnd::CancelButtonPressed);

  // The print info starts as the default printer's (or a plain A4 page without printers).
  const QPrinterInfo default_printer = QPrinterInfo::defaultPrinter();
  print_info_ = Print_Info_For(default_printer.isNull() ? QString() : default_printer.printerName(),
                               QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}));
}

Print_Wnd::~Print_Wnd() {
  if (instance == this) instance = nullptr;
  // The shared progress sheet was lent to this dialog by a print; it outlives the dialog.
  if (auto* progress = findChild<Send_Modeless*>(QString(), Qt::FindDirectChildrenOnly))
    progress->setParent(nullptr);
}

Print_Info Print_Wnd::Print_Info_For(const QString& printer_name, const QPageLayout& page) {
  Print_Info info;
  info.printer = printer_name;
  if (printer_name.isEmpty()) {
    info.page = page;
    return info;
  }
  QPrinter printer(QPrinterInfo::printerInfo(printer_name), QPrinter::HighResolution);
  printer.setPageSize(page.pageSize());
  printer.setPageOrientation(page.orientation());
  info.page = printer.pageLayout();
  return info;
}

void Print_Wnd::setPrintInfo(const Print_Info& info) {
  if (info == print_info_) return;
  print_info_ = info;
}

bool Print_Wnd::Open_Print_Wnd() {
  Sheet_Layout& l = Print_Layout();
  try {
    l.loading = true;
    matrix_card_side->button(1)->setChecked(true);
    card_side_str = QStringLiteral("F");
    l.Print_Card_Side = QStringLiteral("F");
    l.Print_Card_Algn = QStringLiteral("U");
    print_alignment->setCurrentIndex(0);
    print_alignment->setEnabled(false);
    l.auto_center_flag = false;
    l.Show_margin_rect = true;
    Auto_Center_chk_bx->setChecked(false);
    Show_Margins->setChecked(true);
    l.Print_Row = l.Print_Col = l.Total_Label = 1;
    l.barcode_counter = 0;

    const int side_before = Card_Front_Or_Back;
    back_image = hooks.render_side ? hooks.render_side(1) : Picture();
    front_image = hooks.render_side ? hooks.render_side(0) : Picture();
    Card_Front_Or_Back = side_before;

    print_with_batch_chk->setEnabled(Use_Data_Sheet_Values);
    print_with_batch_chk->setChecked(Use_Data_Sheet_Values);
    print_with_excel_chk->setEnabled(Use_Excel_Binding_Values);
    print_with_excel_chk->setChecked(Use_Excel_Binding_Values);
    if (Use_Data_Sheet_Values || Use_Excel_Binding_Values) {
      l.Total_Label = Total_Batch_Excel_Card;
      Total_Stepper->setMaximum(Total_Batch_Excel_Card);
    } else {
      Total_Stepper->setMaximum(999999);
    }
    set_count(l.Total_Label);

    const QSizeF card = front_image.isNull() ? QSizeF(0, 0) : front_image.size();
    l.label_width = float(card.width());
    l.label_hight = float(card.height());
    for (auto [field, stepper, value] :
         {std::tuple{width_Text, width_Stepper, Points_to_MM_Convert(l.label_width)},
          std::tuple{height_Text, height_Stepper, Points_to_MM_Convert(l.label_hight)},
          std::tuple{horz_mar_Text, horz_mar_Stepper, 0.0f},
          std::tuple{vert_mar_Text, vert_mar_Stepper, 0.0f}}) {
      field->setText(QString::asprintf("%0.2f", value));
      stepper->setValue(value);
    }
    for (auto [field, stepper] : {std::pair{Row_Text, Row_Stepper}, std::pair{Col_Text, Col_Stepper}}) {
      field->setText(QStringLiteral("1"));
      stepper->setValue(1);
    }
    for (QLabel* margin : {l_mar_id, r_mar_id, t_mar_id, b_mar_id}) margin->setText(QStringLiteral("0"));
    horz_mar_Stepper->setEnabled(true);
    vert_mar_Stepper->setEnabled(true);
    align_Gp_Bx->setEnabled(true);
    l.label_align_val = 1;
    Set_Reset_Alignemnt_Image();

    Printer_ComboBox->clear();
    Printer_ComboBox->addItems(QPrinterInfo::availablePrinterNames());
    if (Printer_ComboBox->count() > 0) {
      const int keep = Printer_ComboBox->findText(print_info_.printer);
      Printer_ComboBox->setCurrentIndex(keep >= 0 ? keep : 0);
      if (keep < 0) print_info_ = Print_Info_For(Printer_ComboBox->itemText(0), print_info_.page);
    }
    Set_values_From_Printer();
    l.loading = false;
    Refresh_Preview();
  } catch (const std::exception& error) {
    l.loading = false;
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    Show_MessageBox(QString::fromUtf8(error.what()));
    return false;
  }
  platform::Run_Modal(this);
  hide();
  return true;
}

void Print_Wnd::Set_values_From_Printer() {
  Sheet_Layout& l = Print_Layout();
  const QPageLayout& page = print_info_.page;
  Paper_id->setText(page.pageSize().name());
  const QRectF full = page.fullRect(QPageLayout::Point);
  PrintView->setFixedSize(int(std::ceil(full.width())), int(std::ceil(full.height())));
  Size_id->setText(QString::asprintf("%.2f x %.2f", Points_to_MM_Convert(float(full.width())),
                                     Points_to_MM_Convert(float(full.height()))));
  Orient_ComboBox->setCurrentIndex(page.orientation() == QPageLayout::Portrait ? 0 : 1);
  Set_Margins_From_Printable_Area(l, full.size(), page.paintRect(QPageLayout::Point));
  l_mar_id->setText(Millimetres(l.Left_Mar));
  r_mar_id->setText(Millimetres(l.Rite_Mar));
  t_mar_id->setText(Millimetres(l.Top_Mar));
  b_mar_id->setText(Millimetres(l.Bot_Mar));
  Refresh_Preview();
}

void Print_Wnd::Check_Max_Cell_Value() {
  Sheet_Layout& l = Print_Layout();
  Refit_Fields fields;
  fields.width_mm = float(width_Stepper->value());
  fields.height_mm = float(height_Stepper->value());
  fields.horz_gap_mm = float(Field_Value(horz_mar_Text));
  fields.vert_gap_mm = float(Field_Value(vert_mar_Text));
  fields.rows = Field_Count(Row_Text);
  fields.columns = Field_Count(Col_Text);
  fields.auto_center = Auto_Center_chk_bx->isChecked();
  fields.data_source_in_use = Use_Data_Sheet_Values || Use_Excel_Binding_Values;
  if (!l.Has_Paper()) return;
  const Refit_Result result = Refit_Sheet(l, fields, card_side_str);
  if (result.show_columns) {
    Col_Text->setText(QString::number(result.columns));
    Col_Stepper->setValue(result.columns);
  }
  if (result.show_rows) {
    Row_Text->setText(QString::number(result.rows));
    Row_Stepper->setValue(result.rows);
  }
  if (result.show_total) set_count(l.Total_Label);
  Refresh_Preview();
}

void Print_Wnd::set_count(int count) {
  Total_Text->setText(QString::number(count));
  Total_Stepper->setValue(count);
}

void Print_Wnd::Refresh_Preview() {
  const Sheet_Layout& l = Print_Layout();
  if (!l.Has_Paper() || l.loading) return;
  if (QScrollBar* bar = Print_sclview->verticalScrollBar()) bar->setValue(0);
  PrintView->update();
  const QImage snapshot = PrintView->imageRepresentation();
  test_image_view->setPixmap(
      QPixmap::fromImage(snapshot.scaled(test_image_view->size(), Qt::KeepAspectRatio,
                                         Qt::SmoothTransformation)));
}

void Print_Wnd::Set_Reset_Alignemnt_Image() {
  const int chosen = Print_Layout().label_align_val;
  if (chosen < 1 || chosen > 9) return;
  QToolButton* buttons[] = {top_left_btn, top_center_btn, top_rite_btn, mid_left_btn, mid_center_btn,
                            mid_rite_btn, bot_left_btn, bot_center_btn, bot_rite_btn};
  for (int k = 0; k < 9; ++k)
    buttons[k]->setIcon(QPixmap::fromImage(k + 1 == chosen ? position_images_sel[k] : position_images[k]));
}

void Print_Wnd::Verify_Card_Count() {
  if (hooks.batch_check) hooks.batch_check();
  if (!print_with_batch_chk->isChecked()) Use_Data_Sheet_Values = false;
  if (!print_with_excel_chk->isChecked()) Use_Excel_Binding_Values = false;
  if (hooks.recount) hooks.recount();
}

// ---- Pairs and handlers ---------------------------------------------------------------------

void Print_Wnd::pair_changed(QObject* from, QLineEdit* field, QDoubleSpinBox* stepper) {
  if (from == stepper) field->setText(Number_Text(stepper->value()));
  else stepper->setValue(Field_Value(field));
}

void Print_Wnd::pair_changed(QObject* from, QLineEdit* field, QSpinBox* stepper) {
  if (from == stepper) field->setText(QString::number(stepper->value()));
  else stepper->setValue(Field_Count(field));
}

void Print_Wnd::Horz_Margin_Changed() {
  pair_changed(sender(), horz_mar_Text, horz_mar_Stepper);
  Check_Max_Cell_Value();
}
void Print_Wnd::Vert_Margin_Changed() {
  pair_changed(sender(), vert_mar_Text, vert_mar_Stepper);
  Check_Max_Cell_Value();
}
void Print_Wnd::Width_Changed() {
  pair_changed(sender(), width_Text, width_Stepper);
  Check_Max_Cell_Value();
}
void Print_Wnd::Height_Changed() {
  pair_changed(sender(), height_Text, height_Stepper);
  Check_Max_Cell_Value();
}
void Print_Wnd::Row_Changed() {
  pair_changed(sender(), Row_Text, Row_Stepper);
  Check_Max_Cell_Value();
}
void Print_Wnd::Col_Changed() {
  pair_changed(sender(), Col_Text, Col_Stepper);
  Check_Max_Cell_Value();
}
void Print_Wnd::Total_Val_Changed() { pair_changed(sender(), Total_Text, Total_Stepper); }
void Print_Wnd::Copies_Val_Changed() { pair_changed(sender(), Copies_Text, Copies_Stepper); }

void Print_Wnd::Show_Margin_Checked() {
  Print_Layout().Show_margin_rect = Show_Margins->isChecked();
  Refresh_Preview();
}

void Print_Wnd::Auto_Center_Checked() {
  const bool on = Auto_Center_chk_bx->isChecked();
  Print_Layout().auto_center_flag = on;
  horz_mar_Stepper->setEnabled(!on);
  vert_mar_Stepper->setEnabled(!on);
  align_Gp_Bx->setEnabled(!on);
  Check_Max_Cell_Value();
}

void Print_Wnd::Position_Clicked(int position) {
  Print_Layout().label_align_val = position;
  Set_Reset_Alignemnt_Image();
  Refresh_Preview();
}

void Print_Wnd::card_side_CellClick() {
  const int row = matrix_card_side->checkedId();
  card_side_str = row == 0 ? QStringLiteral("BOTH") : row == 1 ? QStringLiteral("F") : QStringLiteral("B");
  Print_Layout().Print_Card_Side = card_side_str;
  print_alignment->setEnabled(row == 0);
  Check_Max_Cell_Value();
}

void Print_Wnd::comboBoxSelectionDidChange(QComboBox* combo) {
  try {
    if (combo == Printer_ComboBox) {
      print_info_ = Print_Info_For(Printer_ComboBox->currentText(), print_info_.page);
      Set_values_From_Printer();
    } else if (combo == Orient_ComboBox) {
      print_info_.page.setOrientation(Orient_ComboBox->currentIndex() == 0 ? QPageLayout::Portrait
                                                                           : QPageLayout::Landscape);
      Set_values_From_Printer();
      Check_Max_Cell_Value();
    } else if (combo == print_alignment) {
      Print_Layout().Print_Card_Algn =
          print_alignment->currentIndex() == 0 ? QStringLiteral("U") : QStringLiteral("L");
      Check_Max_Cell_Value();
    }
  } catch (const std::exception& error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void Print_Wnd::pagesetup() {
  QPrinter printer(QPrinterInfo::printerInfo(print_info_.printer), QPrinter::HighResolution);
  printer.setPageLayout(print_info_.page);
  QPageSetupDialog dialog(&printer, this);
  Show_Paper_In_Page_Setup(dialog, print_info_.page.pageSize());
  if (platform::Run_Modal(&dialog) != QDialog::Accepted) return;
  print_info_.page = printer.pageLayout();
  Set_values_From_Printer();
  Check_Max_Cell_Value();
}

void Print_Wnd::Print_With_Batch_Changed() {
  Verify_Card_Count();
  Sheet_Layout& l = Print_Layout();
  l.Total_Label = print_with_batch_chk->isChecked() || print_with_excel_chk->isChecked()
                      ? int(Total_Batch_Excel_Card)
                      : 1;
  set_count(l.Total_Label);
}

void Print_Wnd::Print_With_Excel_Changed() { Print_With_Batch_Changed(); }

void Print_Wnd::CancelButtonPressed() {
  hide();
  platform::Stop_Modal(this, 0);
}

// ---- Printing -------------------------------------------------------------------------------

bool Print_Wnd::Paint_Sheets(QPrinter& printer, Sheet_Pages& pages, bool preview) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const double scale = printer.resolution() / 72.0;
  const int count = pages.Page_Count(preview);
  for (int page = 1; page <= count; ++page) {
    if (page > 1) printer.newPage();
    painter.resetTransform();
    painter.scale(scale, scale);
    pages.Paint_Page(painter, page);
  }
  return painter.end();
}

std::unique_ptr<QPrinter> Print_Wnd::Job_Printer(const Print_Info& info, int copies) {
  auto printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(info.printer),
                                            QPrinter::HighResolution);
  printer->setPageLayout(info.page);
  printer->setFullPage(true);
  printer->setDocName(QStringLiteral("Cards"));
  printer->setCopyCount(std::max(1, copies));
  return printer;
}

void Print_Wnd::Execute_Printing(bool preview) {
  Sheet_Layout& l = Print_Layout();
  if (!l.Has_Paper()) return;
  const float pw = float(l.paper.width()), ph = float(l.paper.height());
  if (l.label_width + l.Left_Mar + l.Rite_Mar + l.horz_mar > pw ||
      l.label_hight + l.Top_Mar + l.Bot_Mar + l.vert_mar > ph) {
    if (!Show_YES_NO_MessageBox(QStringLiteral(
            "'Card Size' is bigger than selected 'Paper Size' or drawn label may be out of margin "
            "area.\n\nDo you want to continue?")))
      return;
  }
  l.barcode_counter = 0;
  l.Total_Label = l.Total_Label_Real = Field_Count(Total_Text);
  if (l.Total_Label <= 0) {
    Show_MessageBox(QStringLiteral("There is no barcode to print."));
    return;
  }
  Sheet_Job job;
  job.layout = l;
  const bool records = Use_Data_Sheet_Values || Use_Excel_Binding_Values;
  // One snapshot of the design per job: the printer gets its sides and records as drawings.
  std::shared_ptr<Record_Renderer> renderer =
      hooks.record_renderer ? hooks.record_renderer() : nullptr;
  if (renderer) {
    job.front_image = renderer->Draw(-1, Card_Side::Front);
    job.back_image = renderer->Draw(-1, Card_Side::Back);
  } else {
    job.front_image = Card_Drawing(front_image);
    job.back_image = Card_Drawing(back_image);
  }
  if (records && renderer) job.record_count = Total_Batch_Excel_Card;
  if (!records) renderer.reset();

  if (!preview) {
    print_sheets(std::move(job), renderer);
    return;
  }

  // The preview shows the same job with card pictures on the screen; a Print chosen in it
  // prints the job whole, as drawings.
  const Sheet_Job print_job = job;
  job.front_image = Card_Drawing(front_image);
  job.back_image = Card_Drawing(back_image);
  if (renderer) {
    job.record_picture = [renderer](int record, Card_Side side, QString* reason) {
      Render_Report report;
      Picture picture = renderer->Render(record, side, &report);
      if (picture.isNull() && reason) *reason = report.reason;
      return Card_Drawing(std::move(picture));
    };
  }
  Sheet_Pages pages(std::move(job));
  std::unique_ptr<QPrinter> printer = Job_Printer(print_info_, 1);
  bool started = true;
  bool cut = false;
  pages.Page_Count(true, &cut);
  if (cut)
    Show_MessageBox(QStringLiteral(
        "For Qualitative and Performance reason, previewer shows print previews of only first 50 "
        "sheets. However, printing has no such restriction."));
  int code = Sheet_Preview_Window::Closed;
  {
    Sheet_Preview_Window window(printer.get(), this);
    preview_dialog = &window;
    connect(&window, &Sheet_Preview_Window::paintRequested, this,
            [&](QPrinter* target) { started = Paint_Sheets(*target, pages, true) && started; });
    code = platform::Run_Modal(&window);
  }
  if (records && hooks.write_back) hooks.write_back();
  if (!started) {
    Show_MessageBox(QStringLiteral("The print job could not be started on the printer \"%1\".")
                        .arg(print_info_.printer));
    return;
  }
  if (pages.Failure_Count() > 0) {
    Show_MessageBox(QStringLiteral("%1 card pictures could not be drawn and show the design instead:\n%2")
                        .arg(pages.Failure_Count())
                        .arg(pages.Failures().join(QLatin1Char('\n'))));
  }
  if (code == Sheet_Preview_Window::Print_Chosen) print_sheets(print_job, renderer);
}

void Print_Wnd::print_sheets(Sheet_Job job, const std::shared_ptr<Record_Renderer>& renderer) {
  const bool records = Use_Data_Sheet_Values || Use_Excel_Binding_Values;
  const int copies = std::clamp(Field_Count(Copies_Text), 1, Copies_Stepper->maximum());
  Print_Run run(std::move(job), renderer.get(), Job_Printer(print_info_, copies));
  // The progress sheet covers the dialog while the job runs; its Stop ends the job after
  // the sheet being painted.
  Send_Modeless* progress = Send_Modeless::defaultInstance();
  progress->Start_Run(this, run.Sheet_Count(), QStringLiteral("%d / %d"));
  emit runStarting(&run);
  run.start();
  run.waitForFinished();
  progress->End_Run();
  if (!run.isFinished()) return;  // the application is ending: the run stops and waits
  if (records && hooks.write_back) hooks.write_back();
  const QString message = Print_Result_Message(run.result(), print_info_.printer, copies);
  Show_NSLog_Message(message);
  Show_MessageBox(message);
}

QString Print_Wnd::Find_Papaer_Name_From_Size(const QString& width, const QString& height) {
  static const std::pair<const char*, const char*> rows[] = {
      {"297.00 x 420.00", "A3"},          {"210.00 x 297.00", "A4"},
      {"148.00 x 210.00", "A5"},          {"176.00 x 250.00", "B5"},
      {"105.00 x 241.00", "Envelope #10"}, {"120.00 x 235.00", "Envelope Choukei 3"},
      {"110.00 x 220.00", "Envelope DL"}, {"182.00 x 257.00", "JIS B5"},
      {"197.00 x 273.00", "ROC 16K"},     {"330.00 x 483.00", "Super B/A3"},
      {"279.00 x 432.00", "Tabloid"},     {"305.00 x 457.00", "Tabloid Oversize"},
      {"216.00 x 356.00", "US Legal"},    {"216.00 x 279.00", "US Letter"},
      {"215.90 x 279.40", "Letter"},      {"100.00 x 148.00", "Postcard"},
      {"184.00 x 267.00", "Executive"}};
  if (width.isEmpty() || height.isEmpty()) return {};
  QString name;
  for (const auto& [size, paper] : rows) {
    const QString text = QString::fromLatin1(size);
    if (text.contains(width) && text.contains(height)) {
      name = QString::fromLatin1(paper);
      if (name == QLatin1String("Executive")) return name;
    }
  }
  return name;
}
