#pragma once
// What the library's dialogs share: the design window as their parent, and the dialog
// background (red 241, green 244, blue 250).

class QWidget;

// The design window (object name "DrawWindow") when there is one, else nullptr.
QWidget* Design_Window_Parent();
void Apply_Library_Dialog_Style(QWidget* dialog);
