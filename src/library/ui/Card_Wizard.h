#pragma once
// The card wizard: the card size from the presets or typed in millimetres, and the card's
// outline. OK resizes the design's canvas through the hook the design window lends.

#include <QDialog>

#include <functional>

class Card_Size_Chooser;
class QButtonGroup;
class QComboBox;
class QPushButton;

// What the wizards may ask of the design window.
struct Wizard_Hooks {
  // Sets the document and canvas size, in points.
  std::function<void(QSizeF points)> resize_canvas;
  // Opens the general profile dialog (its answer is ignored). While unset the profile
  // button is hidden.
  std::function<void()> open_general_profile;
};

class Card_Wizard : public QDialog {
  Q_OBJECT

 public:
  static Card_Wizard* defaultInstance();

  // Resets the shape, the lists and the size, and runs the wizard: 1 OK, 0 Cancel.
  int Open_Wnd();
  void OK_Click();
  void CancelClick();
  // Card_Shape becomes the shape row (0 rectangle, 1 rounded rectangle, 2 ellipse).
  void card_shape_CellClick(int row);
  void User_Profile_Click();
  void reject() override { CancelClick(); }

  Wizard_Hooks hooks;
  Card_Size_Chooser* chooser = nullptr;
  QButtonGroup* matrix_card_shape = nullptr;
  QComboBox* Sides_ComboBox = nullptr;
  QPushButton* User_Profile_btn = nullptr;

 private:
  explicit Card_Wizard(QWidget* parent = nullptr);
};

// Millimetres to points (72 / 25.4).
double Card_MM_To_Points(double millimetres);
