// The design window's import command: its toolbar button opens the series import wizard, and
// the window lends the spreadsheet imports its long message dialog for their questions.

#include "window/ui/CRDWindowController.h"

#include "model/Shared_Design_State.h"
#include "output/Design_Binding.h"
#include "series/Sheet_Import.h"
#include "series/ui/Data_Table_Window.h"
#include "series/ui/Import_Wizard.h"
#include "window/ui/Long_SMS_Dlg.h"

void CRDWindowController::Install_Import_Hooks() {
  Long_Question_Hook() = [](const QString& title, const QString& text, bool show_apply) {
    Long_SMS_Dlg* dialog = Long_SMS_Dlg::defaultInstance();
    dialog->title_val = title;
    dialog->msg_val_str = text;
    dialog->apply_chk_show = show_apply;
    const int answer = dialog->Open_Long_sms_Dialog();
    // Back to the one-button form for the dialog's other users.
    dialog->title_val = QString();
    dialog->apply_chk_show = false;
    return answer;
  };
  // The data-source page's view button shows the spreadsheet data table.
  Data_Table_Window_Opener() = [] { Data_Table_Window::defaultInstance()->Open_Wnd(); };
}

void CRDWindowController::Import_Wizard_Button() {
  Import_Wizard* wizard = Import_Wizard::defaultInstance();
  wizard->file_name_required = 1;
  wizard->file_name_Insert = 0;
  wizard->Open_Wnd();
}
