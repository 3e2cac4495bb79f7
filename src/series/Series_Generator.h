#pragma once
// The rules of the series generator, apart from its dialog: whole numbers as the fields
// read them, the checks before generating, the values of each mode, and the bounds that the
// count and length fields keep while the user types.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <utility>

// A sequence may not hold more values than this (a series is a list in memory and a file).
constexpr qint64 Max_Generated_Values = 1000000;
// The count fields stop at this number, the length field at 9.
constexpr qint64 Max_Count_Field = 10000;
constexpr qint64 Max_Random_Length = 9;

enum class Generator_Mode { Sequential, Constant, Random };

// The texts of the generator's fields, as typed.
struct Generator_Input {
  Generator_Mode mode = Generator_Mode::Sequential;
  // Sequential.
  QString prefix, suffix, from, to;
  bool manage_digits = false;  // leading zeros up to the wider bound's length
  // Constant.
  QString value, count = QStringLiteral("1");
  // Random.
  QString rand_prefix, rand_suffix, rand_length = QStringLiteral("1"),
                                    rand_count = QStringLiteral("1");
};

// A failed check: the message and the object name of the field that gets the focus.
struct Generator_Refusal {
  QString message;
  QString field;
};

// The whole number at the start of a text: leading blanks, an optional sign, digits; the
// rest is ignored. No digits give 0; numbers beyond 64 bits stop at the nearest bound.
qint64 Whole_Number(const QString& text);

// "0" put in front of the text until it is at least n characters long.
QString PadZero(const QString& text, int n);

// The first check that fails for the chosen mode, or nothing when the input can generate.
std::optional<Generator_Refusal> Validate_Generator(const Generator_Input& input);

// The values the input gives, in order (the input must have passed Validate_Generator).
// Random numbers come from QRandomGenerator.
QStringList Generate_Values(const Generator_Input& input);

// The number of values a sequence from..to gives (0 when from > to), without overflow.
quint64 Sequence_Length(qint64 from, qint64 to);
// A sequence value: the number, padded with zeros after its sign to `width` characters when
// `pad` is set.
QString Sequence_Number_Text(qint64 n, int width, bool pad);
// Smallest and largest random number of `length` digits (1 to 9): 1..9, 10..99, ...
std::pair<qint64, qint64> Random_Bounds(int length);

// What a count field (max_chars 5, limit Max_Count_Field) or the length field (1, 9)
// becomes after the user changed it to `text`: empty or 0 becomes "1", a longer text is cut
// to max_chars characters, a number above the limit becomes the limit.
QString Clamp_Count_Text(const QString& text, int max_chars, qint64 limit);
