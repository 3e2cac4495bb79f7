#include "series/ui/Generate_List.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "series/Data_Series_Store.h"
#include "series/Series_Manager_Rules.h"
#include "series/ui/BatchWizard.h"
#include "series/ui/Series_Dialog_Parts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

Generate_List* Generate_List_Instance = nullptr;

// The up/down arrows beside a count field: a short vertical scroll bar whose up arrow
// counts up.
QScrollBar* Make_Stepper(const char* name, int maximum, QWidget* parent) {
  auto* stepper = new QScrollBar(Qt::Vertical, parent);
  stepper->setObjectName(QString::fromLatin1(name));
  stepper->setRange(1, maximum);
  stepper->setPageStep(1);
  stepper->setInvertedAppearance(true);
  stepper->setInvertedControls(false);
  stepper->setFixedSize(16, 26);
  return stepper;
}

QWidget* Field_With_Stepper(QLineEdit* field, QScrollBar* stepper, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  row->addWidget(field);
  row->addWidget(stepper);
  return box;
}

}  // namespace

Generate_List* Generate_List::defaultInstance() {
  if (!Generate_List_Instance) Generate_List_Instance = new Generate_List;
  return Generate_List_Instance;
}

Generate_List::Generate_List() {
  setObjectName(QStringLiteral("Generate_List"));
  setWindowTitle(QStringLiteral("Create Series"));
  Series_Dialog_Background(this);

  radioButton_Sequntial = new QRadioButton(QStringLiteral("Sequential numbers"), this);
  radioButton_Sequntial->setObjectName(QStringLiteral("radioButton_Sequntial"));
  radioButton_Constant = new QRadioButton(QStringLiteral("Constant value"), this);
  radioButton_Constant->setObjectName(QStringLiteral("radioButton_Constant"));
  radioButton_Random = new QRadioButton(QStringLiteral("Random numbers"), this);
  radioButton_Random->setObjectName(QStringLiteral("radioButton_Random"));
  auto* radios = new QButtonGroup(this);
  radios->addButton(radioButton_Sequntial);
  radios->addButton(radioButton_Constant);
  radios->addButton(radioButton_Random);
  connect(radioButton_Sequntial, &QRadioButton::clicked, this,
          &Generate_List::Sequintial_Radio_Pressed);
  connect(radioButton_Constant, &QRadioButton::clicked, this, &Generate_List::Constant_Radio_Pressed);
  connect(radioButton_Random, &QRadioButton::clicked, this, &Generate_List::Random_Radio_Pressed);

  auto name_row = [this](QFormLayout* form, QLineEdit* field) {
    auto* label = new QLabel(QStringLiteral("Series name:"), this);
    name_labels_ << label;
    form->addRow(label, field);
  };

  // Sequential numbers.
  prefix_txt = Named_Field("prefix_txt", this);
  suffix_txt = Named_Field("suffix_txt", this);
  from_txt = Named_Field("from_txt", this);
  to_txt = Named_Field("to_txt", this);
  manage_digit_chk = new QCheckBox(QStringLiteral("Maintain number of digits"), this);
  manage_digit_chk->setObjectName(QStringLiteral("manage_digit_chk"));
  help_btn = Named_Button(QStringLiteral("?"), "help_btn", this);
  help_btn->setFixedWidth(28);
  connect(help_btn, &QPushButton::clicked, this, &Generate_List::Help_btn_Pressed);
  seq_file_name = Named_Field("seq_file_name", this);
  auto* seq_box = new QGroupBox(this);
  auto* seq_form = new QFormLayout(seq_box);
  seq_form->addRow(radioButton_Sequntial);
  seq_form->addRow(QStringLiteral("Prefix:"), prefix_txt);
  seq_form->addRow(QStringLiteral("From:"), from_txt);
  seq_form->addRow(QStringLiteral("To:"), to_txt);
  seq_form->addRow(QStringLiteral("Suffix:"), suffix_txt);
  auto* digits = new QWidget(seq_box);
  auto* digits_row = new QHBoxLayout(digits);
  digits_row->setContentsMargins(0, 0, 0, 0);
  digits_row->addWidget(manage_digit_chk);
  digits_row->addWidget(help_btn);
  digits_row->addStretch();
  seq_form->addRow(digits);
  name_row(seq_form, seq_file_name);
  mode_controls_[0] = {prefix_txt, suffix_txt, from_txt, to_txt, help_btn, manage_digit_chk};

  // Constant value.
  value_txt = Named_Field("value_txt", this);
  count_txt = Named_Field("count_txt", this);
  count_stepper = Make_Stepper("count_stepper", int(Max_Count_Field), this);
  const_file_name = Named_Field("const_file_name", this);
  auto* const_box = new QGroupBox(this);
  auto* const_form = new QFormLayout(const_box);
  const_form->addRow(radioButton_Constant);
  const_form->addRow(QStringLiteral("Value:"), value_txt);
  const_form->addRow(QStringLiteral("Count:"), Field_With_Stepper(count_txt, count_stepper, this));
  name_row(const_form, const_file_name);
  mode_controls_[1] = {value_txt, count_txt, count_stepper};

  // Random numbers.
  rand_prefix_txt = Named_Field("rand_prefix_txt", this);
  rand_suffix_txt = Named_Field("rand_suffix_txt", this);
  rand_length_txt = Named_Field("rand_length_txt", this);
  rand_length_stepper = Make_Stepper("rand_length_stepper", int(Max_Random_Length), this);
  rand_count_txt = Named_Field("rand_count_txt", this);
  rand_count_stepper = Make_Stepper("rand_count_stepper", int(Max_Count_Field), this);
  rndm_file_name = Named_Field("rndm_file_name", this);
  auto* rand_box = new QGroupBox(this);
  auto* rand_form = new QFormLayout(rand_box);
  rand_form->addRow(radioButton_Random);
  rand_form->addRow(QStringLiteral("Prefix:"), rand_prefix_txt);
  rand_form->addRow(QStringLiteral("Length:"),
                    Field_With_Stepper(rand_length_txt, rand_length_stepper, this));
  rand_form->addRow(QStringLiteral("Count:"),
                    Field_With_Stepper(rand_count_txt, rand_count_stepper, this));
  rand_form->addRow(QStringLiteral("Suffix:"), rand_suffix_txt);
  name_row(rand_form, rndm_file_name);
  mode_controls_[2] = {rand_prefix_txt, rand_suffix_txt, rand_length_txt, rand_length_stepper,
                       rand_count_txt, rand_count_stepper};

  // Steppers and their fields keep each other in step; the fields stay within bounds.
  const auto pair = [this](QLineEdit* field, QScrollBar* stepper, int max_chars, qint64 limit) {
    connect(stepper, &QScrollBar::valueChanged, this, [field](int value) {
      const QString text = QString::number(value);
      if (field->text() != text) field->setText(text);
    });
    connect(field, &QLineEdit::textChanged, this, [=, this] {
      Keep_In_Bounds(field, stepper, max_chars, limit);
    });
  };
  pair(count_txt, count_stepper, 5, Max_Count_Field);
  pair(rand_count_txt, rand_count_stepper, 5, Max_Count_Field);
  pair(rand_length_txt, rand_length_stepper, 1, Max_Random_Length);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = Named_Button(QStringLiteral("OK"), "OK_btn", this);
  QPushButton* cancel = Named_Button(QStringLiteral("Cancel"), "Cancel_btn", this);
  ok->setDefault(true);
  buttons->addButton(ok, QDialogButtonBox::AcceptRole);
  buttons->addButton(cancel, QDialogButtonBox::RejectRole);
  connect(ok, &QPushButton::clicked, this, &Generate_List::OKPressed);
  connect(cancel, &QPushButton::clicked, this, &Generate_List::CancelPressed);

  auto* modes = new QHBoxLayout;
  modes->addWidget(seq_box);
  modes->addWidget(const_box, 0, Qt::AlignTop);
  modes->addWidget(rand_box, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(modes);
  layout->addWidget(buttons);
}

void Generate_List::Keep_In_Bounds(QLineEdit* field, QScrollBar* stepper, int max_chars,
                                   qint64 limit) {
  const QString kept = Clamp_Count_Text(field->text(), max_chars, limit);
  if (kept != field->text()) field->setText(kept);  // comes back here once, unchanged
  const QSignalBlocker block(stepper);
  stepper->setValue(int(std::clamp<qint64>(Whole_Number(kept), 1, limit)));
}

int Generate_List::Open_Wnd() {
  for (QLineEdit* name : {seq_file_name, const_file_name, rndm_file_name}) name->clear();
  const bool named = file_name_required == 1;
  if (named) seq_file_name->setText(QStringLiteral("Untitled"));
  for (QLineEdit* name : {seq_file_name, const_file_name, rndm_file_name}) name->setVisible(named);
  for (QLabel* label : name_labels_) label->setVisible(named);

  manage_digit_chk->setChecked(false);
  for (QLineEdit* field :
       {prefix_txt, suffix_txt, from_txt, to_txt, value_txt, rand_prefix_txt, rand_suffix_txt})
    field->clear();
  for (QLineEdit* field : {count_txt, rand_length_txt, rand_count_txt})
    field->setText(QStringLiteral("1"));
  Choose_Mode(Generator_Mode::Sequential);
  seq_file_name->setText(named ? QStringLiteral("Untitled") : QString());
  adjustSize();
  prefix_txt->setFocus();
  const int code = platform::Run_Modal(this);
  hide();
  return code;
}

void Generate_List::Choose_Mode(Generator_Mode mode) {
  const int chosen = int(mode);
  radioButton_Sequntial->setChecked(chosen == 0);
  radioButton_Constant->setChecked(chosen == 1);
  radioButton_Random->setChecked(chosen == 2);
  QLineEdit* name = Name_Field(mode);
  if (Trim_Str(name->text()).isEmpty()) name->setText(QStringLiteral("Untitled"));
  for (int m = 0; m < 3; ++m) {
    for (QWidget* control : mode_controls_[m]) control->setEnabled(m == chosen);
    Name_Field(Generator_Mode(m))->setEnabled(m == chosen);
  }
}

Generator_Mode Generate_List::Mode() const {
  if (radioButton_Sequntial->isChecked()) return Generator_Mode::Sequential;
  if (radioButton_Constant->isChecked()) return Generator_Mode::Constant;
  if (radioButton_Random->isChecked()) return Generator_Mode::Random;
  return Generator_Mode::Sequential;
}

QLineEdit* Generate_List::Name_Field(Generator_Mode mode) const {
  switch (mode) {
    case Generator_Mode::Constant: return const_file_name;
    case Generator_Mode::Random: return rndm_file_name;
    case Generator_Mode::Sequential: break;
  }
  return seq_file_name;
}

Generator_Input Generate_List::Input() const {
  Generator_Input in;
  in.mode = Mode();
  in.prefix = prefix_txt->text();
  in.suffix = suffix_txt->text();
  in.from = from_txt->text();
  in.to = to_txt->text();
  in.manage_digits = manage_digit_chk->isChecked();
  in.value = value_txt->text();
  in.count = count_txt->text();
  in.rand_prefix = rand_prefix_txt->text();
  in.rand_suffix = rand_suffix_txt->text();
  in.rand_length = rand_length_txt->text();
  in.rand_count = rand_count_txt->text();
  return in;
}

void Generate_List::CancelPressed() { platform::Stop_Modal(this, 0); }

void Generate_List::OKPressed() {
  const Generator_Input input = Input();
  if (const auto refusal = Validate_Generator(input)) {
    Show_MessageBox(refusal->message);
    if (auto* field = findChild<QLineEdit*>(refusal->field)) field->setFocus();
    return;
  }
  const QStringList values = Generate_Values(input);
  if (file_name_required == 1) {
    Series_Write_Rules rules;
    rules.in_use = Series_Hook_In_Use;
    rules.in_use_refusal = Series_Create_In_Use;
    if (Save_Series(Name_Field(input.mode)->text(), values, rules) != Series_Write_Result::Written)
      return;  // said why; the dialog stays open with the user's input
  } else {
    BatchWizard::defaultInstance()->Append_Values(values);
  }
  if (file_name_Insert == 1) BatchWizard::defaultInstance()->Fill_List();
  platform::Stop_Modal(this, 1);
}

void Generate_List::Help_btn_Pressed() {
  Custom_Msg_Title = QStringLiteral("Maintain number of Digits By adding 0's before smaller values. ");
  Custom_Msg_Val = QStringLiteral(
      "For example:\r\nIf you have to generate a series of barcodes having values from '0' to "
      "'200', this option automatically converts small values such as '1' to '001' and '11' to "
      "'011' to maintain number of digits same as the highest value in the series.\r\n\r\n"
      "Similarly, if you have selected a series starting from '001' to '00200', this option "
      "automatically converts small values such as '001' to '00001' and '0011' to '00011' to "
      "maintain number of digits same as the highest value in the series.");
  QString text = Custom_Msg_Title.trimmed() + QStringLiteral("\n\n") + Custom_Msg_Val;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  platform::Message_Box(text);
}
