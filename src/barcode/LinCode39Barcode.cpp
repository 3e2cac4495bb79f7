#include "barcode/LinCode39Barcode.h"

#include <cstring>

namespace {

// Code 39 characters in the order of their check values (0-9, A-Z, then the seven signs),
// followed by the start/stop character.
constexpr char Code39_Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";

// Their element widths, bar first, 1 = wide (ISO/IEC 16388, table 1).
constexpr const char* Code39_Widths[] = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000",
    "000100101", "100100100", "001100100", "100001001", "001001001", "101001000", "000011001",
    "100011000", "001011000", "000001101", "100001100", "001001100", "000011100", "100000011",
    "001000011", "101000010", "000010011", "100010010", "001010010", "000000111", "100000110",
    "001000110", "000010110", "110000001", "011000001", "111000000", "010010001", "110010000",
    "011010000", "010000101", "110000100", "011000100", "010101000", "010100010", "010001010",
    "000101010", "010010100"};

// Codabar characters and their seven element widths, bar first, 1 = wide (the standard
// two-width table; ":" "/" "." "+" have three wide bars, A-D are the start/stop set).
constexpr char Codabar_Chars[] = "0123456789-$:/.+ABCD";
constexpr const char* Codabar_Widths[] = {"0000011", "0000110", "0001001", "1100000", "0010010",
                                          "1000010", "0100001", "0100100", "0110000", "1001000",
                                          "0001100", "0011000", "1000101", "1010001", "1010100",
                                          "0010101", "0011010", "0101001", "0001011", "0001110"};

// Bars and spaces alternate from a bar; a narrow element is one module, a wide one two.
QString modules(const char* widths) {
  QString out;
  for (int i = 0; widths[i]; ++i) {
    const QChar module = i % 2 == 0 ? QLatin1Char('1') : QLatin1Char('0');
    out += module;
    if (widths[i] == '1') out += module;
  }
  return out;
}

int index_in(const char* set, char c) {
  if (c == '\0') return -1;
  const char* found = std::strchr(set, c);
  return found ? int(found - set) : -1;
}

// Patterns built once, indexed by ASCII code.
struct Pattern_Table {
  QString code39[128];
  QString codabar[128];
  Pattern_Table() {
    for (int i = 0; Code39_Chars[i]; ++i)
      code39[int(Code39_Chars[i])] = modules(Code39_Widths[i]) + QLatin1Char('0');
    for (int i = 0; Codabar_Chars[i]; ++i)
      codabar[int(Codabar_Chars[i])] = modules(Codabar_Widths[i]);
  }
};

const Pattern_Table& patterns() {
  static const Pattern_Table table;
  return table;
}

bool is_codabar_start_stop(QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('D'); }

}  // namespace

// ---- Code 39 -------------------------------------------------------------------------

QString LinCode39Barcode::Pattern(char c) { return c >= 0 ? patterns().code39[int(c)] : QString(); }

QString LinCode39Barcode::Start_Stop() { return Pattern('*'); }

bool LinCode39Barcode::initWithContent(const std::optional<QString>& content, bool printsCaption) {
  if (!content) return false;
  return LinBarcode::initWithContent(Ascii_Upper(*content), printsCaption);
}

bool LinCode39Barcode::isContentValid() const {
  return !content_.contains(QLatin1Char('*')) && LinBarcode::isContentValid();
}

void LinCode39Barcode::generateChecksum() {
  int sum = 0;
  for (char c : asciiContent()) {
    const int value = index_in(Code39_Chars, c);
    if (value >= 0 && value < 43) sum += value;
  }
  setCheckDigit(Code39_Chars[sum % 43]);
  calculateWidth();
}

// ---- Extended Code 39 -----------------------------------------------------------------

QString LinExtendedCode39Barcode::Full_Ascii(char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-' || c == '.' || c == ' ')
    return QString(QLatin1Char(c));
  if (c >= 'a' && c <= 'z') return QStringLiteral("+") + QLatin1Char(char(c - 32));
  switch (c) {
    case '\t': return QStringLiteral("$I");
    case '\n': return QStringLiteral("$J");
    case '*': return QStringLiteral("/J");
    case '/': return QStringLiteral("/O");
    case ':': return QStringLiteral("/Z");
    case '@': return QStringLiteral("%V");
    case '`': return QStringLiteral("%W");
    default: break;
  }
  // "!" to "," are /A to /L ("*" is /J above, "-" and "." stand for themselves).
  if (c >= '!' && c <= ',') return QStringLiteral("/") + QLatin1Char(char('A' + (c - '!')));
  if (c >= ';' && c <= '?') return QStringLiteral("%") + QLatin1Char(char('F' + (c - ';')));
  if (c >= '[' && c <= '_') return QStringLiteral("%") + QLatin1Char(char('K' + (c - '[')));
  if (c >= '{' && c <= '~') return QStringLiteral("%") + QLatin1Char(char('P' + (c - '{')));
  return {};
}

bool LinExtendedCode39Barcode::initWithContent(const std::optional<QString>& content,
                                               bool printsCaption) {
  if (!LinCode39Barcode::initWithContent(content, printsCaption)) return false;
  setContent(*content);
  return true;
}

QString LinExtendedCode39Barcode::_encodeChar(char c) const {
  QString bars;
  for (QChar part : Full_Ascii(c)) bars += Pattern(char(part.unicode()));
  return bars;
}

// ---- Codabar ---------------------------------------------------------------------------

QString LinCodabarBarcode::_encodeChar(char c) const {
  return c >= 0 ? patterns().codabar[int(c)] : QString();
}

QString LinCodabarBarcode::barcode() const {
  QString bars;
  if (!hasAsciiForm()) return bars;
  bool first = true;
  for (char c : asciiContent()) {
    const QString pattern = _encodeChar(c);
    if (pattern.isEmpty()) continue;
    if (!first) bars += QLatin1Char('0');
    bars += pattern;
    first = false;
  }
  return bars;
}

bool LinCodabarBarcode::isContentValid() const {
  if (content_.size() < 2 || !is_codabar_start_stop(content_.front()) ||
      !is_codabar_start_stop(content_.back()))
    return false;
  for (qsizetype i = 1; i + 1 < content_.size(); ++i)
    if (is_codabar_start_stop(content_.at(i))) return false;
  return LinBarcode::isContentValid();
}
