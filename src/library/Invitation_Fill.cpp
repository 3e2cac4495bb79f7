#include "library/Invitation_Fill.h"

#include "model/Shared_Design_State.h"

#include <algorithm>

Invitation_Answers Invitation_Answers::From_Globals() {
  return {Invite_Title, Invite_To,    Invite_Message, Invite_Date,
          Invite_Time,  Invite_Venue, Invite_From,    Invite_BG_IMG};
}

QList<Invitation_Text> Invitation_Texts(const Invitation_Answers& a, float card_width) {
  // Positions are single precision, as the card's sizes are.
  const float w = std::max(card_width - 80.0f, 1.0f);
  float y = 40.0f;
  QList<Invitation_Text> out;
  const auto place = [&](const char* id, const QString& text, float x, float height) {
    out.append({QString::fromLatin1(id), text, QRectF(x, y, w, height)});
  };
  if (!a.title.isEmpty()) {
    place("PARTY_TITLE", a.title, 40.0f, 30.0f);
    y += 50.0f;
  }
  if (!a.to.isEmpty()) {
    place("PARTY_TO", QStringLiteral("Dear ") + a.to + QLatin1Char(','), 30.0f, 20.0f);
    y += 30.0f;
  }
  if (!a.message.isEmpty()) {
    place("PARTY_MSG", a.message, 50.0f, 80.0f);
    y += 80.0f;
  }
  // The date-or-time slot moves on by 30 whatever it holds.
  if (!a.date.isEmpty()) {
    QString text = a.date;
    if (!a.time.isEmpty()) text += QStringLiteral(" at ") + a.time;
    place("PARTY_DATE", text, 30.0f, 20.0f);
  } else if (!a.time.isEmpty()) {
    place("PARTY_TIME", QStringLiteral("AT ") + a.time, 30.0f, 20.0f);
  }
  y += 30.0f;
  if (!a.venue.isEmpty()) {
    place("PARTY_VENUE", QStringLiteral("Venue:\n") + a.venue, 30.0f, 60.0f);
    y += 70.0f;
  } else {
    y += 20.0f;
  }
  if (!a.from.isEmpty()) place("PARTY_FROM", QStringLiteral("From:\n") + a.from, 40.0f, 40.0f);
  return out;
}
