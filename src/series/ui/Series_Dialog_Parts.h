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
