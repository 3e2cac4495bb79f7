// Where the invitation's answers go on the front of the card.

#include "library/Invitation_Fill.h"

#include <gtest/gtest.h>

namespace {

constexpr float card_120mm = 340.15747f;

QString ids(const QList<Invitation_Text>& texts) {
  QStringList out;
  for (const Invitation_Text& t : texts) out << t.control_ID;
  return out.join(QLatin1Char(' '));
}

TEST(Invitation_Fill, PlacesEachGivenAnswerAtItsStep) {
  const Invitation_Answers wizard{QStringLiteral("T"), QStringLiteral("Ann"), QStringLiteral("M"),
                                  {}, {}, {}, QStringLiteral("Bob"), QStringLiteral("/bg.png")};
  Invitation_Answers no_title = wizard;
  no_title.title.clear();
  Invitation_Answers no_to = wizard;
  no_to.to.clear();
  Invitation_Answers dated = wizard;
  dated.date = QStringLiteral("Friday, 1 May 2026");
  dated.time = QStringLiteral("7:30 PM");
  Invitation_Answers time_only = wizard;
  time_only.time = QStringLiteral("7:30 PM");
  Invitation_Answers venue = wizard;
  venue.venue = QStringLiteral("Hall");
  const struct {
    const char* name;
    Invitation_Answers answers;
    const char* ids;
    QList<QPointF> tops;
  } cases[] = {
      {"wizard's case", wizard, "PARTY_TITLE PARTY_TO PARTY_MSG PARTY_FROM",
       {{40, 40}, {30, 90}, {50, 120}, {40, 250}}},
      {"no title", no_title, "PARTY_TO PARTY_MSG PARTY_FROM", {{30, 40}, {50, 70}, {40, 200}}},
      {"no addressee", no_to, "PARTY_TITLE PARTY_MSG PARTY_FROM", {{40, 40}, {50, 90}, {40, 220}}},
      {"date and time", dated, "PARTY_TITLE PARTY_TO PARTY_MSG PARTY_DATE PARTY_FROM",
       {{40, 40}, {30, 90}, {50, 120}, {30, 200}, {40, 250}}},
      // After a time-only line the next slot starts 30 lower, as after a date line.
      {"time only", time_only, "PARTY_TITLE PARTY_TO PARTY_MSG PARTY_TIME PARTY_FROM",
       {{40, 40}, {30, 90}, {50, 120}, {30, 200}, {40, 250}}},
      {"venue", venue, "PARTY_TITLE PARTY_TO PARTY_MSG PARTY_VENUE PARTY_FROM",
       {{40, 40}, {30, 90}, {50, 120}, {30, 230}, {40, 300}}},
      {"nothing", Invitation_Answers{}, "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QList<Invitation_Text> texts = Invitation_Texts(c.answers, card_120mm);
    EXPECT_EQ(ids(texts), QString::fromLatin1(c.ids));
    ASSERT_EQ(texts.size(), c.tops.size());
    for (int i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(texts[i].rect.topLeft(), c.tops[i]) << texts[i].control_ID.toStdString();
      EXPECT_FLOAT_EQ(float(texts[i].rect.width()), card_120mm - 80.0f);
    }
  }
}

TEST(Invitation_Fill, TextsAndHeights) {
  Invitation_Answers all{QStringLiteral("Party"), QStringLiteral("Ann"), QStringLiteral("Come!"),
                         QStringLiteral("Friday"), QStringLiteral("7:30 PM"),
                         QStringLiteral("Hall"), QStringLiteral("Bob"), {}};
  QList<Invitation_Text> texts = Invitation_Texts(all, card_120mm);
  ASSERT_EQ(texts.size(), 6);
  const QStringList expected = {QStringLiteral("Party"), QStringLiteral("Dear Ann,"),
                                QStringLiteral("Come!"), QStringLiteral("Friday at 7:30 PM"),
                                QStringLiteral("Venue:\nHall"), QStringLiteral("From:\nBob")};
  const QList<qreal> heights = {30, 20, 80, 20, 60, 40};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(texts[i].text, expected[i]);
    EXPECT_EQ(texts[i].rect.height(), heights[i]);
  }
  all.date.clear();
  texts = Invitation_Texts(all, card_120mm);
  EXPECT_EQ(texts[3].control_ID, QStringLiteral("PARTY_TIME"));
  EXPECT_EQ(texts[3].text, QStringLiteral("AT 7:30 PM"));
}

TEST(Invitation_Fill, NarrowCardsGiveTextsAPositiveWidth) {
  const Invitation_Answers title_only{QStringLiteral("T"), {}, {}, {}, {}, {}, {}, {}};
  for (float width : {80.0f, 50.0f, 0.0f}) {
    const QList<Invitation_Text> texts = Invitation_Texts(title_only, width);
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts[0].rect.width(), 1.0) << width;
  }
  EXPECT_FLOAT_EQ(float(Invitation_Texts(title_only, 81.5f)[0].rect.width()), 1.5f);
}

}  // namespace
