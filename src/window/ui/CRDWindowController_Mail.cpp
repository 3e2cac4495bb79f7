// The design window's e-mail command, the SMTP settings it hands to sending, and what it
// lends the mail dialog of the design (the batch check, copies of both sides for a run's
// cards, the write-back of record 0).

#include "window/ui/CRDWindowController.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "output/Mail_Settings.h"
#include "output/Record_Renderer.h"
#include "output/ui/Send_Mail.h"

#include <QPointer>
#include <QToolBar>
#include <QToolButton>

void CRDWindowController::Get_Email_Details() { Load_Email_Details(); }

void CRDWindowController::add_mail_button(QToolBar* toolbar) {
  Mail_btn = new QToolButton(toolbar);
  Mail_btn->setObjectName(QStringLiteral("Mail_btn"));
  Mail_btn->setText(QStringLiteral("Mail"));
  Mail_btn->setToolTip(QStringLiteral("Send the card by e-mail"));
  toolbar->addWidget(Mail_btn);
  connect(Mail_btn, &QToolButton::clicked, this, &CRDWindowController::Mail_Button);
}

Mail_Design_Hooks CRDWindowController::mail_hooks() {
  // The dialog outlives any one window: hooks of a window that is gone do nothing.
  QPointer<CRDWindowController> self(this);
  Mail_Design_Hooks hooks;
  hooks.batch_check = [self] {
    if (self) self->Check_Series_Or_Excel_Use_or_not();
  };
  hooks.prepare_cards = [self](bool use_series, bool use_sheet) -> Mail_Card_Renderer {
    if (!self) return {};
    self->Check_Series_Or_Excel_Use_or_not();
    if (!use_series) Use_Data_Sheet_Values = false;
    if (!use_sheet) Use_Excel_Binding_Values = false;
    self->Get_total_Card_count();
    // Both sides and the batch values are copied here, on the GUI thread; the run never
    // reads the live design.
    auto renderer = std::make_shared<Record_Renderer>(
        self->export_snapshot(0), self->export_snapshot(1), self->batch_values, self->batch_designer);
    return [renderer](int record, int side, QString* reason) {
      Render_Report report;
      Binding_Report binding;
      Picture picture = renderer->Render(record, side == 0 ? Card_Side::Front : Card_Side::Back,
                                         &report, &binding);
      if (picture.isNull() && reason) *reason = report.reason;
      // A card whose barcode cannot be drawn is not sent; the run's result names it.
      if (!picture.isNull() && !binding.barcode_failure.isEmpty()) {
        if (reason) *reason = binding.barcode_failure;
        return Picture();
      }
      return picture;
    };
  };
  hooks.write_back_first_record = [self] {
    if (self) self->Select_first_row_value_for_design(false);
  };
  hooks.settings_changed = [self] {
    if (self) self->Get_Email_Details();
  };
  return hooks;
}

void CRDWindowController::Mail_Button() {
  try {
    Check_Series_Or_Excel_Use_or_not();
    Send_Mail* dialog = Send_Mail::defaultInstance();
    dialog->hooks = mail_hooks();
    dialog->Open_Wnd();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
  }
}
