#include "library/Greeting_Library.h"

QString Event_Type = QStringLiteral("1");

const Greeting_Festival* Greeting_Festival_For(const QString& code) {
  for (const Greeting_Festival& row : Greeting_Table())
    if (row.code == code) return &row;
  return nullptr;
}

void Greeting_Lists::Load_Msg_And_Title_According_Event() {
  const Greeting_Festival* row = Greeting_Festival_For(Event_Type);
  Title_Array = row ? row->titles : QStringList();
  Message_Array = row ? row->messages : QStringList();
  title_index = 0;
  message_index = 0;
  title_count = int(Title_Array.size());
  message_count = int(Message_Array.size());
}

QString Greeting_Lists::Get_Title() const {
  return title_index >= 0 && title_index < Title_Array.size() ? Title_Array[title_index]
                                                              : QString();
}

QString Greeting_Lists::Get_Message() const {
  return message_index >= 0 && message_index < Message_Array.size()
             ? Message_Array[message_index]
             : QString();
}

int Greeting_Lists::step(int index, int count, int by) {
  if (count <= 0) return 0;
  index += by;
  if (index >= count) return 0;
  if (index < 0) return count - 1;
  return index;
}

QString Cut_To_Length(const QString& text, int limit) {
  if (limit < 0) limit = 0;
  if (text.size() <= limit) return text;
  int end = limit;
  // The unit at the cut starts the second half of a pair: leave the first half out too.
  if (end > 0 && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate()) --end;
  return text.left(end);
}
