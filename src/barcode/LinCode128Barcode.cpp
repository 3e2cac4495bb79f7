#include "barcode/LinCode128Barcode.h"

#include "model/Common_Functions.h"

#include <algorithm>
#include <array>

namespace {

// Bar and space widths of the symbol values 0..105, bar first (ISO/IEC 15417, table 1).
constexpr const char* Widths[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232"};

constexpr const char* Stop_Widths = "2331112";
constexpr int Start_Value[3] = {103, 104, 105};

QString modules(const char* widths) {
  QString out;
  for (int i = 0; widths[i]; ++i)
    out += QString(widths[i] - '0', i % 2 == 0 ? QLatin1Char('1') : QLatin1Char('0'));
  return out;
}

// The patterns of the symbol values 0..105, then the stop pattern.
const std::array<QString, 107>& pattern_table() {
  static const std::array<QString, 107> table = [] {
    std::array<QString, 107> patterns;
    for (int v = 0; v < 106; ++v) patterns[v] = modules(Widths[v]);
    patterns[106] = modules(Stop_Widths);
    return patterns;
  }();
  return table;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

QString LinCode128Barcode::_encodeNumberPair(int value) {
  return value >= 0 && value <= 105 ? pattern_table()[value] : QString();
}

int LinCode128Barcode::_valueInSet(char c, int set) {
  if (c < 0) return -1;
  if (set == Code_Set_A) {
    if (c < 32) return c + 64;
    return c < 96 ? c - 32 : -1;
  }
  if (set == Code_Set_B) return c >= 32 ? c - 32 : -1;
  return -1;
}

bool LinCode128Barcode::initWithContent(const std::optional<QString>& content, bool printsCaption) {
  if (!LinBarcode::initWithContent(content, printsCaption)) return false;
  chosen_ = codeSet_ == Code_Set_Auto;
  if (chosen_) codeSet_ = _bestCodeSetForContent();
  generateChecksum();
  calculateWidth();
  return true;
}

int LinCode128Barcode::_bestCodeSetForContent() const {
  const QByteArray ascii = asciiContent();
  const bool digits = hasAsciiForm() && std::all_of(ascii.begin(), ascii.end(), is_digit);
  if (digits && content_.size() != 1) return Code_Set_C;
  int controls = 0, lower = 0;
  for (QChar c : content_) {
    if (c.unicode() < 32 || c.unicode() == 127) ++controls;
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ++lower;
  }
  return controls > lower ? Code_Set_A : Code_Set_B;
}

std::vector<int> LinCode128Barcode::symbolValues() const {
  std::vector<int> values;
  if (!hasAsciiForm()) return values;
  const QByteArray ascii = asciiContent();
  const int n = int(ascii.size());
  if (codeSet_ == Code_Set_C) {
    int i = 0;
    for (; i + 1 < n; i += 2) {
      if (!is_digit(ascii[i]) || !is_digit(ascii[i + 1])) return values;
      values.push_back((ascii[i] - '0') * 10 + (ascii[i + 1] - '0'));
    }
    // A single digit left over: in code set B, when the set was chosen for the content.
    if (i < n && chosen_ && is_digit(ascii[i])) {
      values.push_back(Code_B);
      values.push_back(_valueInSet(ascii[i], Code_Set_B));
    }
    return values;
  }
  if (codeSet_ != Code_Set_A && codeSet_ != Code_Set_B) return values;
  int set = codeSet_;
  for (int i = 0; i < n; ++i) {
    const int value = _valueInSet(ascii[i], set);
    if (value >= 0) {
      values.push_back(value);
      continue;
    }
    // Every ASCII character is in A or in B: one character alone is shifted, a run of
    // them changes the code set.
    const int other = set == Code_Set_A ? Code_Set_B : Code_Set_A;
    const bool run = i + 1 < n && _valueInSet(ascii[i + 1], set) < 0;
    if (run) {
      values.push_back(other == Code_Set_A ? Code_A : Code_B);
      set = other;
    } else {
      values.push_back(Shift);
    }
    values.push_back(_valueInSet(ascii[i], other));
  }
  return values;
}

void LinCode128Barcode::generateChecksum() {
  const int start = codeSet_ >= 0 && codeSet_ <= 2 ? Start_Value[codeSet_] : 0;
  int sum = start, position = 1;
  for (int value : symbolValues()) sum += position++ * value;
  setCheckDigit(sum % 103);
}

QString LinCode128Barcode::initiator() const {
  if (codeSet_ == Code_Set_Auto) return {};  // not chosen yet
  if (codeSet_ < 0 || codeSet_ > 2) {
    Show_NSLog_Message(QStringLiteral("Invalid codeSet value: %1").arg(codeSet_));
    return {};
  }
  return _encodeNumberPair(Start_Value[codeSet_]);
}

QString LinCode128Barcode::terminator() const { return pattern_table()[106]; }

QString LinCode128Barcode::barcode() const {
  QString bars;
  for (int value : symbolValues()) bars += _encodeNumberPair(value);
  if (checkDigit() >= 0) bars += _encodeNumberPair(checkDigit());
  return bars;
}

bool LinCode128Barcode::isContentValid() const {
  if (!hasAsciiForm() || codeSet_ < 0 || codeSet_ > 2) return false;
  if (codeSet_ != Code_Set_C) return true;
  const QByteArray ascii = asciiContent();
  if (!std::all_of(ascii.begin(), ascii.end(), is_digit)) return false;
  return ascii.size() % 2 == 0 || chosen_;
}
