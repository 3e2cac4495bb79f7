#pragma once
// The series generator: a sequence of whole numbers, one value repeated, or random numbers
// of a chosen length, written as a named series or appended to the series manager's value
// list. The caller sets file_name_required and file_name_Insert, then calls Open_Wnd.

#include "series/Series_Generator.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

class Generate_List : public QDialog {
  Q_OBJECT

 public:
  static Generate_List* defaultInstance();

  // Resets every field, chooses the sequential mode and runs the dialog modally; answers
  // 1 after a generation, 0 when cancelled.
  int Open_Wnd();

  QRadioButton *radioButton_Sequntial = nullptr, *radioButton_Constant = nullptr,
               *radioButton_Random = nullptr;
  QLineEdit *prefix_txt = nullptr, *suffix_txt = nullptr, *from_txt = nullptr, *to_txt = nullptr;
  QLineEdit *value_txt = nullptr, *count_txt = nullptr;
  QScrollBar* count_stepper = nullptr;
  QLineEdit *rand_prefix_txt = nullptr, *rand_suffix_txt = nullptr, *rand_length_txt = nullptr,
            *rand_count_txt = nullptr;
  QScrollBar *rand_length_stepper = nullptr, *rand_count_stepper = nullptr;
  QCheckBox* manage_digit_chk = nullptr;
  QPushButton* help_btn = nullptr;
  // 1: write a named series file; 0: hand the values to the series manager's value list.
  int file_name_required = 0;
  // 1: refill the series manager's list of series at the end.
  int file_name_Insert = 0;
  QLineEdit *seq_file_name = nullptr, *const_file_name = nullptr, *rndm_file_name = nullptr;

  // The fields' texts as the generator rules read them.
  Generator_Input Input() const;

 public slots:
  void Sequintial_Radio_Pressed() { Choose_Mode(Generator_Mode::Sequential); }
  void Constant_Radio_Pressed() { Choose_Mode(Generator_Mode::Constant); }
  void Random_Radio_Pressed() { Choose_Mode(Generator_Mode::Random); }
  void CancelPressed();  // ends the run with 0; nothing is written
  void OKPressed();      // checks, generates, writes or hands on, ends the run with 1
  void Help_btn_Pressed();
  void reject() override { CancelPressed(); }

 private:
  Generate_List();
  void Choose_Mode(Generator_Mode mode);
  Generator_Mode Mode() const;
  QLineEdit* Name_Field(Generator_Mode mode) const;
  // Keeps a count or length field within its bounds and its stepper in step.
  void Keep_In_Bounds(QLineEdit* field, QScrollBar* stepper, int max_chars, qint64 limit);

  QList<QWidget*> mode_controls_[3];
  QList<QLabel*> name_labels_;
};
