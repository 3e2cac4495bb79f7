#pragma once
// Where the invitation wizard's answers go on the card's front: one text per given answer,
// stacked from the top down at fixed steps, each marked with its invitation control ID.

#include <QList>
#include <QRectF>
#include <QString>

struct Invitation_Answers {
  QString title, to, message, date, time, venue, from, background;
  // The published answers (Invite_Title .. Invite_BG_IMG).
  static Invitation_Answers From_Globals();
};

struct Invitation_Text {
  QString control_ID;  // "PARTY_TITLE", "PARTY_TO", ...
  QString text;
  QRectF rect;  // points, from the card's top-left corner, y downwards
};

// The texts in creation order (title, To, message, date or time, venue, From) for a card
// card_width points wide. Every text is card_width - 80 wide, at least 1 point.
QList<Invitation_Text> Invitation_Texts(const Invitation_Answers& answers, float card_width);
