#include "series/ui/Series_Dialog_Parts.h"

#include <QApplication>
#include <QColor>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

void Series_Dialog_Background(QWidget* window) {
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, QColor(241, 244, 250));
  window->setPalette(palette);
  window->setAutoFillBackground(true);
}

QPushButton* Named_Button(const QString& text, const char* object_name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(object_name));
  button->setAutoDefault(false);
  return button;
}

QLineEdit* Named_Field(const char* object_name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(object_name));
  return field;
}

Busy_Cursor::Busy_Cursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
Busy_Cursor::~Busy_Cursor() { QApplication::restoreOverrideCursor(); }
