#include "series/Cell_Reference.h"

#include <QByteArray>

#include <algorithm>

QString Column_Letters(int column) {
  if (column < 1 || column > kMax_Sheet_Columns) return QString();
  QString letters;
  while (column > 0) {
    const int digit = (column - 1) % 26;
    letters.prepend(QChar(u'A' + digit));
    column = (column - 1) / 26;
  }
  return letters;
}

int Column_Number(std::string_view letters) {
  if (letters.empty() || letters.size() > 3) return 0;
  int number = 0;
  for (char c : letters) {
    if (c < 'A' || c > 'Z') return 0;
    number = number * 26 + (c - 'A' + 1);
  }
  return number <= kMax_Sheet_Columns ? number : 0;
}

int Column_Number(QStringView letters) {
  if (letters.size() > 3) return 0;
  const QByteArray ascii = letters.toLatin1();
  return Column_Number(std::string_view(ascii.constData(), size_t(ascii.size())));
}

bool Parse_Cell_Reference(std::string_view text, int* column, int* row) {
  size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  const size_t letters_begin = i;
  while (i < text.size() && text[i] >= 'A' && text[i] <= 'Z') ++i;
  const int col = Column_Number(text.substr(letters_begin, i - letters_begin));
  if (col == 0) return false;
  if (i < text.size() && text[i] == '$') ++i;
  if (i >= text.size() || text[i] < '1' || text[i] > '9') return false;
  long number = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    number = number * 10 + (text[i] - '0');
    if (number > kMax_Sheet_Rows) return false;
  }
  if (column) *column = col;
  if (row) *row = int(number);
  return true;
}

int Dimension_Columns(std::string_view ref) {
  while (!ref.empty() && (ref.front() == ' ' || ref.front() == '\t')) ref.remove_prefix(1);
  while (!ref.empty() && (ref.back() == ' ' || ref.back() == '\t')) ref.remove_suffix(1);
  const size_t colon = ref.find(':');
  int first = 0, last = 0;
  if (colon == std::string_view::npos) {
    return Parse_Cell_Reference(ref, &first) ? first : 0;
  }
  if (!Parse_Cell_Reference(ref.substr(0, colon), &first) ||
      !Parse_Cell_Reference(ref.substr(colon + 1), &last))
    return 0;
  return std::max(first, last);
}

int Dimension_Columns(QStringView ref) {
  const QByteArray ascii = ref.toLatin1();
  return Dimension_Columns(std::string_view(ascii.constData(), size_t(ascii.size())));
}

bool Is_Plain_Number(QStringView text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  const bool negative = n > 0 && text[0] == u'-';
  if (negative) ++i;
  const qsizetype integer_begin = i;
  while (i < n && text[i] >= u'0' && text[i] <= u'9') ++i;
  const qsizetype integer_digits = i - integer_begin;
  if (integer_digits == 0) return false;
  const bool zero_integer = text[integer_begin] == u'0';
  if (zero_integer && integer_digits > 1) return false;  // "007" is a code, not a number
  qsizetype fraction_digits = 0;
  if (i < n && text[i] == u'.') {
    ++i;
    const qsizetype fraction_begin = i;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') ++i;
    fraction_digits = i - fraction_begin;
    if (fraction_digits == 0 || text[i - 1] == u'0') return false;  // "1." and "1.50"
  }
  if (i != n) return false;
  if (negative && zero_integer && fraction_digits == 0) return false;  // "-0"
  const qsizetype significant = (zero_integer ? 0 : integer_digits) + fraction_digits;
  if (significant > 15) return false;
  if (zero_integer) {
    // Spreadsheet programs show values below 1E-14 in exponent notation.
    qsizetype zeros = 0;
    while (zeros < fraction_digits && text[integer_begin + 2 + zeros] == u'0') ++zeros;
    if (zeros > 13) return false;
  }
  return true;
}
