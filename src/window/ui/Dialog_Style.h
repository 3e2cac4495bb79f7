#pragma once
// The look every dialog of the system shares: a light blue-grey window background.

class QWidget;

// Gives the window the dialog background (red 241, green 244, blue 250).
void Apply_Dialog_Style(QWidget* window);
