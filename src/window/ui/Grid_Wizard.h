#pragma once
// The grid settings dialog. Its controls (colour, spacing, showing) are the design
// window's, which places them in Grid_Controls and handles them while the dialog runs.

#include <QDialog>

class Grid_Wizard : public QDialog {
  Q_OBJECT

 public:
  // The one dialog of the process, created on first use.
  static Grid_Wizard* defaultInstance();

  // Runs the dialog modally and hides it afterwards.
  void Open_Wnd();

  QWidget* Grid_Controls = nullptr;  // holds the design window's grid controls

 public slots:
  void OK_Btn_Clicked();      // ends the run with 1
  void Cancel_Btn_Clicked();  // ends the run with 0
  void reject() override;     // closing the window cancels

 private:
  Grid_Wizard();
};
