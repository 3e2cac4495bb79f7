// The built-in greetings and the browsing state of the wizard and the picker.

#include "library/Greeting_Library.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

struct Row {
  const char* code;
  int titles;
  int messages;
  const char* first_title;
};

// Shown in test names by its code (the default prints the bytes, addresses included).
void PrintTo(const Row& row, std::ostream* out) { *out << "code " << row.code; }

// Counts and first titles of every festival, in code order.
constexpr Row rows[] = {
    {"1", 10, 11, "Happy New Year!!!"},      {"2", 6, 5, "Happy New Pongal!"},
    {"3", 11, 9, "A Day For Love!"},         {"4", 8, 8, "Happy Chocolate Day!"},
    {"5", 8, 5, "Happy Hug Day!"},           {"6", 9, 8, "Happy Friendship Day!"},
    {"7", 8, 8, "Happy Kiss Day!"},          {"8", 9, 12, "Happy Holi!"},
    {"9", 9, 8, "Happy Diwali!"},            {"10", 9, 9, "Good Friday!"},
    {"11", 9, 8, "Happy Easter!"},           {"12", 9, 8, "Happy Eid!!!"},
    {"13", 9, 9, "Happy Mother's Day!"},     {"14", 9, 9, "Happy Father's Day!"},
    {"15", 9, 8, "Happy Thanks Giving Day!"}, {"16", 9, 9, "Happy Rakshabandhan!"},
    {"17", 8, 8, "Happy Onam!"},             {"18", 8, 8, "Happy Halloween!"},
    {"19", 9, 16, "Happy Christmas!"},       {"20", 9, 9, "Happy Weekend!"},
    {"21", 9, 8, "Happy Janamasthami"},      {"22", 9, 7, "Best Wishes!!!"},
};

// Empty, a line break anywhere, or white space at either end.
bool badly_formed(const QString& entry) {
  return entry.isEmpty() || entry.contains(QLatin1Char('\n')) ||
         entry.contains(QLatin1Char('\r')) || entry.trimmed() != entry;
}

class Greeting_Rows : public ::testing::TestWithParam<Row> {};

TEST_P(Greeting_Rows, CountsFirstTitleAndWellFormedEntries) {
  const Row& row = GetParam();
  Event_Type = QString::fromLatin1(row.code);
  Greeting_Lists lists;
  lists.Load_Msg_And_Title_According_Event();
  EXPECT_EQ(lists.title_count, row.titles);
  EXPECT_EQ(lists.message_count, row.messages);
  EXPECT_EQ(lists.Title_Array.size(), row.titles);
  EXPECT_EQ(lists.Message_Array.size(), row.messages);
  EXPECT_EQ(lists.Get_Title(), QString::fromUtf8(row.first_title));
  for (const QString& title : lists.Title_Array) {
    EXPECT_LE(title.size(), 40) << title.toStdString();
    EXPECT_FALSE(badly_formed(title)) << '"' << title.toStdString() << '"';
  }
  for (const QString& message : lists.Message_Array) {
    EXPECT_LE(message.size(), 175) << message.toStdString();
    EXPECT_FALSE(badly_formed(message)) << '"' << message.toStdString() << '"';
  }
  // No entry twice in one list: stepping must show something new each time.
  EXPECT_EQ(QSet<QString>(lists.Title_Array.begin(), lists.Title_Array.end()).size(),
            lists.Title_Array.size());
  EXPECT_EQ(QSet<QString>(lists.Message_Array.begin(), lists.Message_Array.end()).size(),
            lists.Message_Array.size());
}

INSTANTIATE_TEST_SUITE_P(All, Greeting_Rows, ::testing::ValuesIn(rows),
                         [](const auto& info) { return std::string("Code") + info.param.code; });

TEST(Greeting_Library, TotalsCodesAndUnicode) {
  const QList<Greeting_Festival>& table = Greeting_Table();
  ASSERT_EQ(table.size(), 22);
  int titles = 0, messages = 0;
  bool apostrophe = false, ellipsis = false;
  for (int i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].code, QString::number(i + 1));
    titles += int(table[i].titles.size());
    messages += int(table[i].messages.size());
    for (const QString& text : table[i].titles + table[i].messages) {
      apostrophe |= text.contains(QChar(0x2019));
      ellipsis |= text.contains(QChar(0x2026));
    }
  }
  EXPECT_EQ(titles, 193);
  EXPECT_EQ(messages, 190);
  EXPECT_TRUE(apostrophe);
  EXPECT_TRUE(ellipsis);
  EXPECT_TRUE(table[0].messages[0].startsWith(QStringLiteral("I whispered a prayer just for you")));
  // Every festival has its own button action.
  QSet<QString> actions;
  for (const Greeting_Festival& row : table) actions.insert(row.action);
  EXPECT_EQ(actions.size(), 22);
}

TEST(Greeting_Library, UnknownCodesGiveEmptyLists) {
  for (const char* code : {"", "0", "23", "01", " 1", "x"}) {
    Event_Type = QStringLiteral("1");
    Greeting_Lists lists;
    lists.Load_Msg_And_Title_According_Event();
    lists.Title_Next();
    Event_Type = QString::fromLatin1(code);
    lists.Load_Msg_And_Title_According_Event();  // replaces the earlier lists
    EXPECT_EQ(lists.title_count, 0) << code;
    EXPECT_EQ(lists.message_count, 0) << code;
    EXPECT_EQ(lists.title_index, 0) << code;
    EXPECT_TRUE(lists.Get_Title().isEmpty()) << code;
    EXPECT_TRUE(lists.Get_Message().isEmpty()) << code;
    lists.Title_Next();  // stepping an empty list shows nothing and stays at 0
    lists.Msg_Back();
    EXPECT_EQ(lists.title_index, 0);
    EXPECT_EQ(lists.message_index, 0);
  }
  Event_Type = QStringLiteral("1");
}

TEST(Greeting_Library, SteppingWrapsBothWaysIndependently) {
  Event_Type = QStringLiteral("1");
  Greeting_Lists lists;
  lists.Load_Msg_And_Title_According_Event();
  lists.Title_Back();  // from entry 0 to the last of 10
  EXPECT_EQ(lists.title_index, 9);
  EXPECT_EQ(lists.Get_Title(), lists.Title_Array.last());
  lists.Title_Next();  // and on to entry 0
  EXPECT_EQ(lists.title_index, 0);
  EXPECT_EQ(lists.message_index, 0);  // untouched by title steps
  Event_Type = QStringLiteral("19");
  lists.Load_Msg_And_Title_According_Event();
  for (int i = 0; i < 15; ++i) lists.Msg_Next();
  EXPECT_EQ(lists.message_index, 15);
  lists.Msg_Next();
  EXPECT_EQ(lists.message_index, 0);
  EXPECT_EQ(lists.title_index, 0);
}

TEST(Greeting_Library, CutsAtTheLimitWithoutSplittingAPair) {
  const QString pair = QString::fromUtf8("\xF0\x9F\x8E\x89");  // one character, two units
  const struct {
    QString text;
    int limit;
    QString expected;
  } cases[] = {
      {QString(41, QLatin1Char('a')), 40, QString(40, QLatin1Char('a'))},
      {QString(250, QLatin1Char('m')), 250, QString(250, QLatin1Char('m'))},
      {QString(251, QLatin1Char('m')), 250, QString(250, QLatin1Char('m'))},
      {QString(39, QLatin1Char('a')) + pair, 40, QString(39, QLatin1Char('a'))},
      {QString(38, QLatin1Char('a')) + pair, 40, QString(38, QLatin1Char('a')) + pair},
      {QString(38, QLatin1Char('a')) + pair + QLatin1Char('b'), 40,
       QString(38, QLatin1Char('a')) + pair},
      {QStringLiteral("short"), 40, QStringLiteral("short")},
  };
  for (const auto& c : cases) EXPECT_EQ(Cut_To_Length(c.text, c.limit), c.expected) << c.text.size();
}

}  // namespace
