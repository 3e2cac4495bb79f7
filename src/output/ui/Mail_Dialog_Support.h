#pragma once
// What the two mail dialogs share: their look, named push buttons, and the modal run.

#include <QString>

#include <functional>

class QDialog;
class QPushButton;
class QWidget;

// The object name, the title and the dialog background (red 241, green 244, blue 250).
void Prepare_Mail_Dialog(QDialog* dialog, const char* name, const QString& title);
// A push button carrying its name that Return does not press (the dialog's default does).
QPushButton* Mail_Dialog_Button(QWidget* parent, const char* name, const QString& text);
// Runs `prepare`, then the dialog modally; hides it after. An exception is logged. The
// modal code.
int Run_Mail_Dialog(QDialog* dialog, const std::function<void()>& prepare);
