#pragma once
// The mail dialog: sends the card by e-mail to one or more recipients (the design once,
// or one card per record of the bound data), or a plain message with an optional file.
// Send checks the form, takes a snapshot of everything the run needs (form, SMTP
// settings, a card renderer with copies of the design) and starts a Mail_Sender; the
// progress sheet shows the run and stops it; delivery pauses are counted down on its
// pause label. At the end the result is shown in one message box.
//
// The dialog reaches the design only through the hooks the design window installs.

#include "output/Mail_Sender.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class Send_Modeless;

// What the mail dialog asks of the design window.
struct Mail_Design_Hooks {
  // The batch check: sets Use_Data_Sheet_Values, Use_Excel_Binding_Values and
  // Total_Batch_Excel_Card from the live design.
  std::function<void()> batch_check;
  // The cards of a run: the batch check again, the sources not ticked cleared, the records
  // recounted (Total_Batch_Excel_Card), and a renderer that owns copies of both sides.
  std::function<Mail_Card_Renderer(bool use_series, bool use_sheet)> prepare_cards;
  // After a run with bound records: record 0 written back into the front side.
  std::function<void()> write_back_first_record;
  // The SMTP settings were edited: re-read them (Get_Email_Details).
  std::function<void()> settings_changed;
};

class Send_Mail : public QDialog {
  Q_OBJECT

 public:
  // The one dialog of the process, made on first use (GUI thread).
  static Send_Mail* defaultInstance();

  Mail_Design_Hooks hooks;

  // Resets the dialog and runs it modally.
  void Open_Wnd();
  // The opening's reset (without the modal run).
  void Reset();
  // The run under way or last ended (nullptr before the first).
  Mail_Sender* Current_Run() const { return run_.data(); }

  QLineEdit* from_txt = nullptr;
  QLineEdit* to_txt = nullptr;
  QString card_side_str = QStringLiteral("F");
  QButtonGroup* matrix_card_side = nullptr;  // ids 0 "BOTH", 1 "F", 2 "B"
  QRadioButton* rd_without_barcode = nullptr;
  QRadioButton* rd_mail_curr_barcode = nullptr;
  QGroupBox* send_sett_box = nullptr;
  QGroupBox* delayed_box = nullptr;
  QLineEdit* file_name_txt = nullptr;
  QCheckBox* send_with_batch_chk = nullptr;
  QCheckBox* send_with_excel_chk = nullptr;
  QRadioButton* rd_all_to_every = nullptr;
  QRadioButton* rd_one_per_recp = nullptr;
  QCheckBox* delayed_delv_chk = nullptr;
  QSpinBox* mail_count_stepper = nullptr;
  QSpinBox* hour_stepper = nullptr;
  QSpinBox* min_stepper = nullptr;
  QSpinBox* sec_stepper = nullptr;
  QLineEdit* subject_txt = nullptr;
  QPlainTextEdit* message_txt = nullptr;
  QLineEdit* attachment = nullptr;
  QPushButton* browse_att = nullptr;
  QPushButton* clear_att = nullptr;
  QPushButton* send_button = nullptr;
  QPushButton* close_button = nullptr;
  QPushButton* setting_button = nullptr;
  QPointer<Send_Modeless> send_modls_wnd;
  QTimer Pause_Timer;  // the 1 s pause countdown
  int Pause_Delay_Time = 0;  // the pause still to show, in milliseconds

 public slots:
  void Send_Button();
  void Close_Button();
  void Setting_Button();
  void browse_att_Button();
  void clear_att_Button();
  void Without_barcode_rd_select();
  void send_barcode_rd_select();
  void batch_chk_select();
  void delayed_delv_chk_select();
  void mail_card_side_CellClick(int row);
  void reject() override;

 private:
  Send_Mail();
  void set_batch_modes_enabled(bool enabled);
  void run_ended(bool batch);
  void pause_started(int pause_ms);
  void pause_tick();
  void pause_ended();

  QPointer<Mail_Sender> run_;
};
