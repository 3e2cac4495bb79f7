#pragma once
// The built-in greeting titles and messages of the festivals and occasions, and the
// browsing state that the invitation wizard and the greeting picker share: the current
// festival's two lists, an index into each, stepping that wraps at both ends.

#include <QList>
#include <QString>
#include <QStringList>

// The current festival's code, "1" to "22" as text; "1" at start. The invitation wizard
// sets it; the greeting picker reads it.
extern QString Event_Type;

struct Greeting_Festival {
  QString code;      // "1" .. "22"
  QString festival;  // shown on the wizard's festival button
  QString action;    // the wizard's button action (its object name)
  QStringList titles;
  QStringList messages;
};

// The 22 rows in code order. Constant; no file is read.
const QList<Greeting_Festival>& Greeting_Table();
// The row of a code, or nullptr for any text that is not one of the 22 codes.
const Greeting_Festival* Greeting_Festival_For(const QString& code);

// One owner's lists and positions (the wizard's and the picker's).
class Greeting_Lists {
 public:
  QStringList Title_Array, Message_Array;
  int title_index = 0, message_index = 0;
  int title_count = 0, message_count = 0;

  // Loads the lists of the festival in Event_Type (two empty lists for an unknown code);
  // both indexes go to 0.
  void Load_Msg_And_Title_According_Event();
  // The entry at the current index, or "" while the list is empty.
  QString Get_Title() const;
  QString Get_Message() const;
  // Next wraps from the last entry to the first, back from the first to the last.
  void Title_Next() { title_index = step(title_index, title_count, +1); }
  void Title_Back() { title_index = step(title_index, title_count, -1); }
  void Msg_Next() { message_index = step(message_index, message_count, +1); }
  void Msg_Back() { message_index = step(message_index, message_count, -1); }

 private:
  static int step(int index, int count, int by);
};

// The text cut to at most limit UTF-16 units; a cut that would split a surrogate pair
// leaves the whole pair out.
QString Cut_To_Length(const QString& text, int limit);
