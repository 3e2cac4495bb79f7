#pragma once
// The on-screen preview of one printed sheet in the print dialog: a white page of the
// paper's size, one unit a point, with every cell of the sheet layout outlined (when the
// layout asks for outlines) and labelled "Card N" or "Back N" where the card goes. It draws
// no cards. Without paper it draws nothing; without a front card picture every cell says
// "Invalid Data" in red. grab() is its snapshot. A sheet of more than Preview_Cell_Limit
// cells (tiny cards) is not drawn cell by cell: it says how many there are.

#include <QWidget>

class Picture;

class Sample_Preview : public QWidget {
  Q_OBJECT

 public:
  static constexpr long long Preview_Cell_Limit = 20000;

  explicit Sample_Preview(QWidget* parent = nullptr);

  // The front card picture that sizes the cards (the dialog's); may be null.
  void Set_Front_Image(const Picture* front) { front_ = front; }
  // The zero-based index of a cell on the sheet.
  static int Get_Curr_Label_Index(int row, int column);
  // The snapshot the dialog shows after each refresh; null without paper.
  QImage imageRepresentation();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const Picture* front_ = nullptr;
};
