// The design window's series commands: its toolbar buttons open the series manager and the
// series generator, to which the window lends its in-use test and export-result box.

#include "window/ui/CRDWindowController.h"

#include "series/Series_Manager_Rules.h"
#include "series/ui/BatchWizard.h"
#include "series/ui/Generate_List.h"

#include <QPointer>
#include <QToolBar>
#include <QToolButton>

void CRDWindowController::Add_Series_Button(QToolBar* toolbar, QToolButton*& button,
                                            const char* name, const char* label,
                                            void (CRDWindowController::*slot)()) {
  if (!Batch_Series_btn && !Create_Series_btn) toolbar->addSeparator();
  button = new QToolButton(toolbar);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(QString::fromLatin1(label));
  connect(button, &QToolButton::clicked, this, slot);
  toolbar->addWidget(button);
}

void CRDWindowController::Install_Series_Hooks() {
  const QPointer<CRDWindowController> window(this);
  Series_Hooks().in_use = [window](const QString& name) {
    return window && window->Check_Batch_File_In_Use_Validation(name);
  };
  Series_Hooks().show_export_result = [window] {
    if (window) window->Open_Export_File_Box();
  };
}

void CRDWindowController::Batch_Series_Button() {
  BatchWizard::defaultInstance()->Open_Wnd();
}

void CRDWindowController::Create_Series_Button() {
  Generate_List* generator = Generate_List::defaultInstance();
  generator->file_name_required = 1;
  generator->file_name_Insert = 0;
  generator->Open_Wnd();
}
