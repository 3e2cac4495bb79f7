#pragma once
// The plan of a mail run, GUI-free: the checks made when Send is pressed (sender,
// recipients, picture name), the kind of run and its steps, the delivery pauses and the
// pause text.
//
// A step is one pass of the run: in the all-to-every batch mode one record sent to every
// recipient, in every other mode one e-mail.

#include <QString>
#include <QStringList>

enum class Mail_Mode {
  No_Card,           // a plain message, optionally with one file attached
  Card,              // the current design, rendered once, to every recipient
  One_Per_Recipient, // record k to recipient k
  All_To_Every,      // every record to every recipient
};

// What the mail dialog holds when Send is pressed.
struct Mail_Form {
  QString from;        // sender as typed
  QString to;          // recipients separated by ","
  bool card = true;    // card mode (else no-card mode)
  QString picture_name;
  bool batch = false;  // card mode with a batch source ticked
  bool all_to_every = true;
};

struct Mail_Form_Check {
  QString message;  // empty: the run may start
  QString sender;   // lowercased and trimmed
  QStringList recipients;  // lowercased, as split at ","
  QString picture_name;    // the picture files' base name
};

// The checks in order: sender, recipient field, every recipient's address, picture name
// (card mode). The first failure's message; the run then sends nothing.
Mail_Form_Check Check_Mail_Form(const Mail_Form& form);

Mail_Mode Mail_Run_Mode(const Mail_Form& form);
// R records in all-to-every mode, else one step per recipient.
int Mail_Steps(Mail_Mode mode, int recipients, int records);

// Delivery pauses: after every `every` completed steps that sent something, when more
// steps will send, the run waits pause_ms / 1000 - 1 whole seconds (none for 1 s or less).
class Pause_Plan {
 public:
  Pause_Plan() = default;  // no pauses
  Pause_Plan(int every, int pause_ms) : every_(every < 1 ? 1 : every), pause_ms_(pause_ms) {}

  // A step completed; answers the seconds to wait now (0: no pause). A skipped record
  // counts for nothing.
  int Step_Done(bool more_to_send);
  int Wait_Seconds() const;
  int pause_ms() const { return pause_ms_; }

 private:
  int every_ = 1;
  int pause_ms_ = 0;
  int since_pause_ = 0;
};

// The pause label for a time in milliseconds: "Pausing the process for " and the hours,
// minutes and seconds, each in its singular or plural form.
QString Calculate_Pause_Time(int milliseconds);

// The result texts.
extern const QString Mail_Sent_Text;    // "E-mail has been sent successfully."
extern const QString Mail_Failed_Text;  // "Could not send email message.\nPlease make sure that: ..."
