#pragma once
// Small pieces the series dialogs share.

#include <QString>

class QLineEdit;
class QPushButton;
class QWidget;

// The dialogs' light blue-grey background (red 241, green 244, blue 250).
void Series_Dialog_Background(QWidget* window);
// A push button with its object name.
QPushButton* Named_Button(const QString& text, const char* object_name, QWidget* parent);
// A line edit with its object name.
QLineEdit* Named_Field(const char* object_name, QWidget* parent);

// The wait cursor while a series is read or written (in place of a please-wait sheet, which
// would only flash for the fraction of a second that even a million values take).
class Busy_Cursor {
 public:
  Busy_Cursor();
  ~Busy_Cursor();
  Busy_Cursor(const Busy_Cursor&) = delete;
  Busy_Cursor& operator=(const Busy_Cursor&) = delete;
};
