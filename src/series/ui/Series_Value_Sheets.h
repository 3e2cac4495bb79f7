#pragma once
// The two small sheets of the series manager: the edit sheet that changes one value of its
// value list, and the clear-or-keep question asked before values are added to a list that
// already holds some. Both belong to the manager, which creates and runs them.

#include <QDialog>

class QLineEdit;
class Series_List_Model;

class Update_Ex_Num : public QDialog {
  Q_OBJECT

 public:
  // Edits rows of `values` (the manager's value list).
  Update_Ex_Num(Series_List_Model* values, QWidget* parent);

  QLineEdit* m_ex_num_index = nullptr;  // the edited row's index (hidden)
  QLineEdit* m_ex_num_str = nullptr;    // the value, editable
  QLineEdit* m_s_number = nullptr;      // the value as it was when the sheet opened

 public slots:
  // Unchanged: ends with 1. Empty after trimming: says so and stays open. Otherwise puts the
  // trimmed value into the row, empties the fields and ends with 1. A row that no longer
  // exists changes nothing (logged) and ends with 0.
  void OKPressed();
  void CancelPressed();  // empties the fields, ends with 0
  void reject() override { CancelPressed(); }

 private:
  void Clear_Fields();
  Series_List_Model* values_;
};

class Load_Num_Info : public QDialog {
  Q_OBJECT

 public:
  // The answers: Yes (clear the list first), No (keep and append), Cancel (do nothing).
  enum Answer { No = 0, Yes = 1, Cancel = 2 };
  explicit Load_Num_Info(QWidget* parent);

 public slots:
  void YESPressed();
  void NOPressed();
  void CancelPressed();
  void reject() override { CancelPressed(); }
};
