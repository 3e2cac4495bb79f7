#include "window/ui/Dialog_Style.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

void Apply_Dialog_Style(QWidget* window) {
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, QColor(241, 244, 250));
  window->setPalette(palette);
  window->setAutoFillBackground(true);
}
