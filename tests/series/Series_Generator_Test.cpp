// The series generator: its rules (whole numbers, checks, values, clamps) and its dialog
// writing a series or feeding the series manager.

#include "series/Series_Generator.h"

#include "series/ui/BatchWizard.h"
#include "series/ui/Generate_List.h"
#include "series/ui/Series_List_Model.h"
#include "support/Test_Support.h"

#include "Series_Dialog_Fixture.h"
#include "Series_Test_Support.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include <limits>

using namespace series_test;

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

TEST(SeriesGeneratorRules, WholeNumbersReadLikeTheFields) {
  const struct {
    QString text;
    qint64 value;
  } cases[] = {
      {"", 0},
      {"abc", 0},
      {"42", 42},
      {"  42", 42},
      {"\t-17x9", -17},
      {"+8", 8},
      {"007", 7},
      {"12 34", 12},
      {"- 5", 0},
      {"9223372036854775807", kMax},
      {"9223372036854775808", kMax},
      {"99999999999999999999999", kMax},
      {"-9223372036854775808", kMin},
      {"-9223372036854775809", kMin},
      {"-99999999999999999999999", kMin},
  };
  for (const auto& c : cases) EXPECT_EQ(Whole_Number(c.text), c.value) << c.text;
}

Generator_Input Sequence(const QString& from, const QString& to, bool pad = false,
                         const QString& prefix = {}, const QString& suffix = {}) {
  Generator_Input in;
  in.mode = Generator_Mode::Sequential;
  in.from = from;
  in.to = to;
  in.manage_digits = pad;
  in.prefix = prefix;
  in.suffix = suffix;
  return in;
}

TEST(SeriesGeneratorRules, Sequences) {
  const struct {
    Generator_Input input;
    QStringList values;
  } cases[] = {
      {Sequence("1", "3", false, "A-", "-Z"), {"A-1-Z", "A-2-Z", "A-3-Z"}},
      {Sequence("-2", "2"), {"-2", "-1", "0", "1", "2"}},
      {Sequence("001", "00004"), {"1", "2", "3", "4"}},
      {Sequence("001", "00004", true), {"00001", "00002", "00003", "00004"}},
      // Zeros go after the sign.
      {Sequence("-10", "-8", true), {"-10", "-09", "-08"}},
      {Sequence("-3", "1", true), {"-3", "-2", "-1", "00", "01"}},
      {Sequence(" 8", "10x", true, " ", ""), {" 008", " 009", " 010"}},
      {Sequence("9223372036854775805", "9223372036854775807"),
       {"9223372036854775805", "9223372036854775806", "9223372036854775807"}},
      {Sequence("-9223372036854775808", "-9223372036854775807"),
       {"-9223372036854775808", "-9223372036854775807"}},
      // Beyond the bounds the numbers stop at them.
      {Sequence("9223372036854775806", "99999999999999999999"),
       {"9223372036854775806", "9223372036854775807"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE((c.input.from + " .. " + c.input.to).toStdString());
    ASSERT_FALSE(Validate_Generator(c.input).has_value());
    EXPECT_EQ(Generate_Values(c.input), c.values);
  }

  const QStringList padded = Generate_Values(Sequence("0", "200", true));
  ASSERT_EQ(padded.size(), 201);
  EXPECT_EQ(padded.first(), "000");
  EXPECT_EQ(padded.at(1), "001");
  EXPECT_EQ(padded.last(), "200");
}

TEST(SeriesGeneratorRules, EachCheckHasItsMessageAndField) {
  Generator_Input constant;
  constant.mode = Generator_Mode::Constant;
  Generator_Input random;
  random.mode = Generator_Mode::Random;
  const auto with = [](Generator_Input in, auto change) {
    change(in);
    return in;
  };
  const struct {
    Generator_Input input;
    QString message;  // "" when the input passes
    QString field;
  } cases[] = {
      {Sequence("", "5"), "Please enter valid 'From' value.", "from_txt"},
      {Sequence("1", ""), "Please enter valid 'To' value.", "to_txt"},
      {Sequence("5", "5"), "'From' value must be smaller than 'To' value.", "from_txt"},
      {Sequence("6", "5"), "'From' value must be smaller than 'To' value.", "from_txt"},
      {Sequence("x", "y"), "'From' value must be smaller than 'To' value.", "from_txt"},
      {Sequence(" ", "3"), "", ""},  // not empty: a blank reads as 0
      {Sequence("1", "1000000"), "", ""},
      {Sequence("0", "999999"), "", ""},
      {Sequence("1", "1000001"), "A series can have at most 1,000,000 values.", "to_txt"},
      {Sequence("1", "2147483647"), "A series can have at most 1,000,000 values.", "to_txt"},
      {Sequence("-9223372036854775808", "9223372036854775807"),
       "A series can have at most 1,000,000 values.", "to_txt"},
      {with(constant, [](auto& in) { in.count = "3"; }), "Please enter valid 'Value'.",
       "value_txt"},
      {with(constant, [](auto& in) { in.value = "x", in.count = ""; }),
       "Please enter valid 'Count' value.", "count_txt"},
      {with(constant, [](auto& in) { in.value = " "; }), "", ""},
      {with(random, [](auto& in) { in.rand_count = ""; }), "Please enter valid 'Count' value.",
       "rand_count_txt"},
      {with(random, [](auto& in) { in.rand_length = ""; }), "Please enter valid 'Length' value.",
       "rand_length_txt"},
      {with(random, [](auto& in) { in.rand_length = "0"; }), "Please enter valid 'Length' value.",
       "rand_length_txt"},
      {with(random, [](auto& in) { in.rand_length = "12"; }),
       "Please enter valid 'Length' value.", "rand_length_txt"},
      {with(random, [](auto& in) { in.rand_length = " 9 "; }), "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE((c.input.from + " / " + c.input.to + " / " + c.message).toStdString());
    const auto refusal = Validate_Generator(c.input);
    if (c.message.isEmpty()) {
      EXPECT_FALSE(refusal.has_value()) << refusal->message;
      continue;
    }
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->message, c.message);
    EXPECT_EQ(refusal->field, c.field);
  }
}

TEST(SeriesGeneratorRules, AMillionValuesIsTheLargestSequence) {
  const QStringList values = Generate_Values(Sequence("1", "1000000"));
  ASSERT_EQ(values.size(), 1000000);
  EXPECT_EQ(values.first(), "1");
  EXPECT_EQ(values.last(), "1000000");
  EXPECT_EQ(Sequence_Length(kMin, kMax), std::numeric_limits<quint64>::max());
  EXPECT_EQ(Sequence_Length(5, 4), 0u);
}

TEST(SeriesGeneratorRules, ConstantAndRandomValues) {
  Generator_Input constant;
  constant.mode = Generator_Mode::Constant;
  constant.value = " x ";
  constant.count = "3";
  EXPECT_EQ(Generate_Values(constant), (QStringList{" x ", " x ", " x "}));

  for (int length = 1; length <= 9; ++length) {
    SCOPED_TRACE(length);
    Generator_Input random;
    random.mode = Generator_Mode::Random;
    random.rand_length = QString::number(length);
    random.rand_count = "2000";
    random.rand_prefix = "<";
    random.rand_suffix = ">";
    const QStringList values = Generate_Values(random);
    ASSERT_EQ(values.size(), 2000);
    const auto [low, high] = Random_Bounds(length);
    QSet<QString> distinct;
    for (const QString& value : values) {
      ASSERT_TRUE(value.startsWith('<') && value.endsWith('>')) << value;
      const QString digits = value.mid(1, value.size() - 2);
      ASSERT_EQ(digits.size(), length) << value;
      ASSERT_NE(digits.at(0), u'0') << value;
      const qint64 n = digits.toLongLong();
      ASSERT_TRUE(n >= low && n <= high) << value;
      distinct.insert(digits);
    }
    // Every digit 1..9 shows up among 2000 one-digit draws; longer ones are spread out.
    EXPECT_GE(distinct.size(), length == 1 ? 9 : 80);
  }
}

TEST(SeriesGeneratorRules, CountAndLengthFieldsStayInBounds) {
  const struct {
    QString typed;
    int max_chars;
    qint64 limit;
    QString kept;
  } cases[] = {
      {"123456", 5, 10000, "10000"}, {"0", 5, 10000, "1"},      {"", 5, 10000, "1"},
      {"  ", 5, 10000, "1"},         {"abc", 5, 10000, "1"},    {"9999", 5, 10000, "9999"},
      {"10001", 5, 10000, "10000"},  {"000000", 5, 10000, "1"}, {"-5", 5, 10000, "1"},
      {"25", 1, 9, "2"},             {"0", 1, 9, "1"},          {"7", 1, 9, "7"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Clamp_Count_Text(c.typed, c.max_chars, c.limit), c.kept) << c.typed;
  EXPECT_EQ(PadZero("7", 3), "007");
  EXPECT_EQ(PadZero("1234", 3), "1234");
}

// ---- The dialog -------------------------------------------------------------------------

class SeriesGeneratorDialog : public Series_Dialog_Test {
 protected:
  // Opens the generator, lets `fill` set its fields, presses OK (several times when asked)
  // and answers the run's code.
  int run(int required, int insert, const std::function<void(Generate_List*)>& fill,
          int presses = 1) {
    Generate_List* dialog = Generate_List::defaultInstance();
    dialog->file_name_required = required;
    dialog->file_name_Insert = insert;
    platform_.on_run_modal = [&](QObject* window) {
      if (window != dialog) return 0;
      fill(dialog);
      for (int i = 0; i < presses; ++i) dialog->OKPressed();
      return -1;  // still open when no press ended it
    };
    return dialog->Open_Wnd();
  }
};

TEST_F(SeriesGeneratorDialog, OpensReset) {
  Generate_List* dialog = Generate_List::defaultInstance();
  dialog->from_txt->setText("5");
  dialog->count_txt->setText("7");
  dialog->radioButton_Random->click();
  for (int required : {1, 0}) {
    SCOPED_TRACE(required);
    run(required, 0, [&](Generate_List* d) {
      EXPECT_TRUE(d->radioButton_Sequntial->isChecked());
      EXPECT_TRUE(d->from_txt->isEnabled());
      EXPECT_FALSE(d->count_txt->isEnabled());
      EXPECT_FALSE(d->rand_count_stepper->isEnabled());
      EXPECT_EQ(d->from_txt->text(), "");
      EXPECT_EQ(d->count_txt->text(), "1");
      EXPECT_FALSE(d->manage_digit_chk->isChecked());
      EXPECT_EQ(d->seq_file_name->text(), required ? "Untitled" : "");
      EXPECT_EQ(d->seq_file_name->isVisibleTo(d), required == 1);
      EXPECT_EQ(d->const_file_name->isVisibleTo(d), required == 1);
      d->CancelPressed();
    }, 0);
  }
  EXPECT_TRUE(Tree(Data_Folder_Path).isEmpty());
}

TEST_F(SeriesGeneratorDialog, FieldsAndSteppersKeepInStep) {
  Generate_List* dialog = Generate_List::defaultInstance();
  dialog->Constant_Radio_Pressed();
  dialog->count_txt->setText("123456");
  EXPECT_EQ(dialog->count_txt->text(), "10000");
  EXPECT_EQ(dialog->count_stepper->value(), 10000);
  dialog->count_txt->setText("0");
  EXPECT_EQ(dialog->count_txt->text(), "1");
  dialog->count_stepper->setValue(42);
  EXPECT_EQ(dialog->count_txt->text(), "42");
  dialog->rand_length_txt->setText("25");
  EXPECT_EQ(dialog->rand_length_txt->text(), "2");
  EXPECT_EQ(dialog->rand_length_stepper->value(), 2);
  // Choosing a mode names its series "Untitled" when its name is blank.
  dialog->const_file_name->setText("  ");
  dialog->Constant_Radio_Pressed();
  EXPECT_EQ(dialog->const_file_name->text(), "Untitled");
  EXPECT_TRUE(dialog->const_file_name->isEnabled());
  EXPECT_FALSE(dialog->seq_file_name->isEnabled());
}

TEST_F(SeriesGeneratorDialog, WritesANamedSeries) {
  const int code = run(1, 0, [](Generate_List* d) {
    d->Constant_Radio_Pressed();
    d->value_txt->setText(" x");
    d->count_txt->setText("3");
    d->const_file_name->setText("?Three ");
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Read_File(series_file("Three")), QByteArray(" x\n x\n x\n"));
  EXPECT_TRUE(platform_.messages.isEmpty());
}

TEST_F(SeriesGeneratorDialog, RefusalsKeepTheDialogOpen) {
  Write_File(series_file("Old"), "old\n");
  Write_File(series_file("Bound"), "b\n");
  bind("Bound");
  const struct {
    const char* name;
    QString from, to, series;
    std::deque<bool> answers;
    QStringList messages, questions;
    int code;
  } cases[] = {
      {"empty from", "", "3", "New", {}, {"\nPlease enter valid 'From' value."}, {}, -1},
      {"too long", "1", "1000001", "New", {}, {"\nA series can have at most 1,000,000 values."}, {},
       -1},
      {"in use", "1", "3", "Bound",
       {}, {"\nBatch Processing Series can't be create because it is currently in use."}, {}, -1},
      {"kept", "1", "3", "Old", {false}, {}, {Series_Replace_Question}, -1},
      {"bad name", "1", "3", "../x", {}, {"\nPlease enter list name."}, {}, -1},
      {"replaced", "1", "3", "Old", {true}, {}, {Series_Replace_Question}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform_.messages.clear();
    platform_.questions.clear();
    platform_.yes_no_answers = c.answers;
    const int code = run(1, 0, [&](Generate_List* d) {
      d->from_txt->setText(c.from);
      d->to_txt->setText(c.to);
      d->seq_file_name->setText(c.series);
    });
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(platform_.messages, c.messages);
    EXPECT_EQ(platform_.questions, c.questions);
    EXPECT_EQ(Read_File(series_file("Bound")), QByteArray("b\n"));
    // The user's input stays for another try.
    EXPECT_EQ(Generate_List::defaultInstance()->to_txt->text(), c.to);
  }
  EXPECT_EQ(Read_File(series_file("Old")), QByteArray("1\n2\n3\n"));
  EXPECT_EQ(Tree(Data_Folder_Path), (QStringList{"Bound.txt", "Old.txt"}));
}

TEST_F(SeriesGeneratorDialog, FeedsTheManagersValueListAndRefillsItsList) {
  BatchWizard* manager = BatchWizard::defaultInstance();
  manager->ListData_value->setValues({"kept"});
  manager->ListData->clear();
  Write_File(series_file("Listed"), "v\n");
  const int code = run(0, 1, [](Generate_List* d) {
    d->prefix_txt->setText("   ");
    d->from_txt->setText("8");
    d->to_txt->setText("10");
    d->manage_digit_chk->setChecked(true);
  });
  EXPECT_EQ(code, 1);
  // The manager trims: a prefix of blanks leaves the bare numbers.
  EXPECT_EQ(manager->ListData_value->values(), (QStringList{"kept", "08", "09", "10"}));
  EXPECT_EQ(manager->batch_value_count->text(), "Total Rows : 4");
  EXPECT_EQ(manager->ListData->values(), QStringList{"Listed"});
  EXPECT_EQ(Tree(Data_Folder_Path), QStringList{"Listed.txt"});
}

TEST_F(SeriesGeneratorDialog, HelpExplainsLeadingZeros) {
  Generate_List::defaultInstance()->Help_btn_Pressed();
  ASSERT_EQ(platform_.messages.size(), 1);
  EXPECT_TRUE(platform_.messages.first().startsWith("Maintain number of Digits"));
  EXPECT_TRUE(platform_.messages.first().contains("'001' to '00001'"));
  EXPECT_FALSE(platform_.messages.first().contains('\r'));
  EXPECT_TRUE(Custom_Msg_Val.contains("\r\n"));
}

}  // namespace
