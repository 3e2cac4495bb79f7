#include "series/Series_Generator.h"

#include "model/Common_Functions.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>

qint64 Whole_Number(const QString& text) {
  qsizetype i = 0;
  const qsizetype size = text.size();
  while (i < size && text.at(i).isSpace()) ++i;
  bool negative = false;
  if (i < size && (text.at(i) == u'-' || text.at(i) == u'+')) {
    negative = text.at(i) == u'-';
    ++i;
  }
  // Accumulate as a negative number: its range holds the magnitude of both bounds.
  constexpr qint64 lowest = std::numeric_limits<qint64>::min();
  qint64 value = 0;
  for (; i < size && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
    const int digit = text.at(i).unicode() - u'0';
    if (value < (lowest + digit) / 10) {
      value = lowest;  // saturated; the remaining digits change nothing
      continue;
    }
    value = value * 10 - digit;
  }
  if (negative) return value;
  return value == lowest ? std::numeric_limits<qint64>::max() : -value;
}

QString PadZero(const QString& text, int n) {
  if (text.size() >= n) return text;
  return QString(n - text.size(), u'0') + text;
}

quint64 Sequence_Length(qint64 from, qint64 to) {
  if (from > to) return 0;
  // The difference of two 64-bit numbers fits in 64 unsigned bits; the +1 overflows only
  // for the full range, which is far beyond any limit the callers apply.
  const quint64 span = quint64(to) - quint64(from);
  return span == std::numeric_limits<quint64>::max() ? span : span + 1;
}

QString Sequence_Number_Text(qint64 n, int width, bool pad) {
  const QString digits = QString::number(n);
  if (!pad) return digits;
  // The zeros go after the sign, so that -7 in width 3 reads "-07", not "0-7".
  if (n < 0) return u'-' + PadZero(digits.mid(1), width - 1);
  return PadZero(digits, width);
}

std::pair<qint64, qint64> Random_Bounds(int length) {
  length = std::clamp(length, 1, int(Max_Random_Length));
  if (length == 1) return {1, 9};
  qint64 low = 1;
  for (int i = 1; i < length; ++i) low *= 10;
  return {low, low * 10 - 1};
}

namespace {

// The digit of the length field, 0 when it is not one of "1" to "9".
int Random_Length(const QString& text) {
  const QString t = Trim_Str(text);
  if (t.size() != 1 || t.at(0) < u'1' || t.at(0) > u'9') return 0;
  return t.at(0).unicode() - u'0';
}

qint64 Field_Count(const QString& text) {
  return std::clamp<qint64>(Whole_Number(text), 0, Max_Count_Field);
}

}  // namespace

std::optional<Generator_Refusal> Validate_Generator(const Generator_Input& in) {
  auto refuse = [](const char* message, const char* field) {
    return Generator_Refusal{QString::fromUtf8(message), QString::fromLatin1(field)};
  };
  switch (in.mode) {
    case Generator_Mode::Sequential: {
      if (in.from.isEmpty()) return refuse("Please enter valid 'From' value.", "from_txt");
      if (in.to.isEmpty()) return refuse("Please enter valid 'To' value.", "to_txt");
      const qint64 from = Whole_Number(in.from), to = Whole_Number(in.to);
      if (from >= to) return refuse("'From' value must be smaller than 'To' value.", "from_txt");
      if (Sequence_Length(from, to) > quint64(Max_Generated_Values))
        return refuse("A series can have at most 1,000,000 values.", "to_txt");
      return std::nullopt;
    }
    case Generator_Mode::Constant:
      if (in.value.isEmpty()) return refuse("Please enter valid 'Value'.", "value_txt");
      if (in.count.isEmpty()) return refuse("Please enter valid 'Count' value.", "count_txt");
      return std::nullopt;
    case Generator_Mode::Random:
      if (in.rand_count.isEmpty())
        return refuse("Please enter valid 'Count' value.", "rand_count_txt");
      if (Random_Length(in.rand_length) == 0)
        return refuse("Please enter valid 'Length' value.", "rand_length_txt");
      return std::nullopt;
  }
  return std::nullopt;
}

QStringList Generate_Values(const Generator_Input& in) {
  QStringList values;
  switch (in.mode) {
    case Generator_Mode::Sequential: {
      const qint64 from = Whole_Number(in.from), to = Whole_Number(in.to);
      const quint64 count = std::min<quint64>(Sequence_Length(from, to), Max_Generated_Values);
      const int width = int(std::max(in.from.size(), in.to.size()));
      values.reserve(qsizetype(count));
      // from + i stays within from..to, so no step overflows, not even at the 64-bit bounds.
      for (quint64 i = 0; i < count; ++i)
        values << in.prefix + Sequence_Number_Text(from + qint64(i), width, in.manage_digits) +
                      in.suffix;
      break;
    }
    case Generator_Mode::Constant: {
      const qint64 count = Field_Count(in.count);
      values.reserve(qsizetype(count));
      for (qint64 i = 0; i < count; ++i) values << in.value;
      break;
    }
    case Generator_Mode::Random: {
      const qint64 count = Field_Count(in.rand_count);
      const auto [low, high] = Random_Bounds(Random_Length(in.rand_length));
      QRandomGenerator* random = QRandomGenerator::global();
      values.reserve(qsizetype(count));
      for (qint64 i = 0; i < count; ++i)
        values << in.rand_prefix + QString::number(random->bounded(low, high + 1)) + in.rand_suffix;
      break;
    }
  }
  return values;
}

QString Clamp_Count_Text(const QString& text, int max_chars, qint64 limit) {
  const QString t = Trim_Str(text);
  QString field = text;
  if (t.isEmpty() || Whole_Number(t) == 0) field = QStringLiteral("1");
  if (t.size() > max_chars) field = t.left(max_chars);
  if (Whole_Number(field) > limit) field = QString::number(limit);
  // A cut text can still read as 0 ("000000"), and a sign can make it negative: neither is
  // a count.
  if (Whole_Number(field) <= 0) field = QStringLiteral("1");
  return field;
}
