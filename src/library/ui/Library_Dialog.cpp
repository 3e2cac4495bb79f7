#include "library/ui/Library_Dialog.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QWidget>

QWidget* Design_Window_Parent() {
  QWidget* parent = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String("DrawWindow")) parent = w;
  return parent;
}

void Apply_Library_Dialog_Style(QWidget* dialog) {
  QPalette background = dialog->palette();
  background.setColor(QPalette::Window, QColor(241, 244, 250));
  dialog->setPalette(background);
  dialog->setAutoFillBackground(true);
}
