#pragma once
// The series import wizard: values from a workbook, a text file (.txt, .rtf, .csv), pasted
// text or a folder of pictures, written as a named series (file_name_required 1) or handed
// to the series manager's value list. file_name_Insert 1 refills the manager's list of
// series at the end. The caller sets both, then calls Open_Wnd.

#include "platform/Platform.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class Import_Wizard : public QDialog {
  Q_OBJECT

 public:
  static Import_Wizard* defaultInstance();

  // Resets every entry to the spreadsheet option and runs the wizard modally; answers 1
  // after an import, 0 when cancelled.
  int Open_Wnd();

  QRadioButton *Excel_RD = nullptr, *Text_RD = nullptr, *Mnul_RD = nullptr, *Image_RD = nullptr;
  QLineEdit* Excel_path = nullptr;
  QPushButton* Excel_btn = nullptr;
  QLineEdit* Text_file_name = nullptr;
  QLineEdit* Text_path = nullptr;
  QPushButton* Text_btn = nullptr;
  QPlainTextEdit* ManualEdit = nullptr;
  QLineEdit* Manual_file_name = nullptr;
  QLineEdit* Image_file_name = nullptr;
  QLineEdit* Image_path = nullptr;
  QPushButton* Image_btn = nullptr;
  int import_option = 0;       // 0 workbook, 1 text file, 2 pasted text, 3 picture folder
  int file_name_required = 0;  // 1: write a named series
  int file_name_Insert = 0;    // 1: refill the manager's list of series at the end

  // The imports of options 1 to 3; true when the import ran to its end.
  bool Create_And_Save_Text_Data_Sheet(const QString& path);
  bool Create_And_Save_Manual_Paste_data_Sheet();
  bool Create_And_Save_Image_data_Sheet(const QString& folder);

 public slots:
  void Excel_RD_Pressed() { Choose_Option(0); }
  void Text_RD_Pressed() { Choose_Option(1); }
  void Manual_RD_Pressed() { Choose_Option(2); }
  void Image_RD_Pressed() { Choose_Option(3); }
  void Browse_Excel_Pressed();
  void Browse_Text_Pressed();
  void Browse_Image_Pressed();
  void OKPressed();
  void CancelPressed();
  void HelpPressed();
  void reject() override { CancelPressed(); }

 private:
  Import_Wizard();
  void Choose_Option(int option);
  // Runs the open panel; a chosen path goes into the field and the import runs at once.
  bool Browse(const platform::Open_Panel_Options& options, QLineEdit* path_field);
  // The series name of an option ("" when values go to the manager), or no name after a
  // refusal (the series is in use).
  bool Series_Name(QLineEdit* field, QString& name) const;
  // Writes the values as the named series or hands them to the manager; then refills.
  bool Deliver(const QString& name, const QStringList& values);

  QList<QWidget*> option_controls_[4];
  QList<QWidget*> name_widgets_;
};
