#include "output/Mail_Plan.h"

#include "model/Common_Functions.h"
#include "output/Mail_Settings.h"

const QString Mail_Sent_Text = QStringLiteral("E-mail has been sent successfully.");
const QString Mail_Failed_Text = QStringLiteral(
    "Could not send email message.\nPlease make sure that:\n1. Entered E-mail settings are "
    "correct.\n2. Internet connectivity to E-mail server is not interrupted and E-mail server "
    "is not down.\n3. Your Firewall or Security software (if any) is not blocking the software "
    "to communicate with your E-mail server.");

Mail_Form_Check Check_Mail_Form(const Mail_Form& form) {
  Mail_Form_Check check;
  check.sender = Trim_Str(form.from.toLower());
  if (check.sender.isEmpty()) {
    check.message = QStringLiteral(
        "Please make sure that:\n1.Entered E-mail Settings are correct.\n2.Internet Connectivity "
        "to E-mail server is not interrupted and E-mail server is not down.\n3.Your firewall or "
        "security software(if any) is not blocking the software to communicate with your "
        "E-mail server.");
    return check;
  }
  const QString to = Trim_Str(form.to);
  if (to.isEmpty()) {
    check.message = QStringLiteral("Please specify the Recipient E-mail address.");
    return check;
  }
  // Every piece must be an address: a typing slip never silently drops a recipient.
  check.recipients = to.toLower().split(QLatin1Char(','));
  for (const QString& piece : check.recipients) {
    if (!isValidEmail(piece)) {
      check.recipients.clear();
      check.message = QStringLiteral("Recipient E-mail address is invalid or incomplete.");
      return check;
    }
  }
  if (form.card) {
    check.picture_name = Trim_Str(Remove_Reserve_Char_In_File_Name(form.picture_name));
    if (!Is_Valid_File_Name(check.picture_name)) {
      check.message = QStringLiteral("Please enter valid file name.");
      return check;
    }
  } else {
    check.picture_name = QStringLiteral("ZELKCard");
  }
  return check;
}

Mail_Mode Mail_Run_Mode(const Mail_Form& form) {
  if (!form.card) return Mail_Mode::No_Card;
  if (!form.batch) return Mail_Mode::Card;
  return form.all_to_every ? Mail_Mode::All_To_Every : Mail_Mode::One_Per_Recipient;
}

int Mail_Steps(Mail_Mode mode, int recipients, int records) {
  return mode == Mail_Mode::All_To_Every ? records : recipients;
}

int Pause_Plan::Wait_Seconds() const {
  const int seconds = pause_ms_ / 1000;
  return seconds > 1 ? seconds - 1 : 0;
}

int Pause_Plan::Step_Done(bool more_to_send) {
  if (++since_pause_ < every_) return 0;
  since_pause_ = 0;
  return more_to_send ? Wait_Seconds() : 0;
}

QString Calculate_Pause_Time(int milliseconds) {
  const int s = milliseconds / 1000;
  const int hours = s / 3600, minutes = (s % 3600) / 60, seconds = (s % 3600) % 60;
  const QString h = (hours > 1 ? QStringLiteral("%1 Hours ") : QStringLiteral("%1 Hour ")).arg(hours);
  const QString m =
      (minutes > 1 ? QStringLiteral("%1 Minutes ") : QStringLiteral("%1 Minute ")).arg(minutes);
  const QString sec =
      (seconds > 1 ? QStringLiteral("%1 Seconds.") : QStringLiteral("%1 Second.")).arg(seconds);
  QString text = QStringLiteral("Pausing the process for ");
  if (hours > 0) text += h + m + sec;
  else if (minutes > 0) text += m + sec;
  else text += sec;
  return text;
}
