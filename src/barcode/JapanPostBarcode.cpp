#include "barcode/JapanPostBarcode.h"

#include <algorithm>

namespace {

constexpr float Points_Per_Mm = 72.0f / 25.4f;

// The symbol characters from "-" (45) to "?" (63): their check values and their three
// bars (3 full, 2 ascender, 1 descender, 0 timing bar), Japan Post customer barcode.
struct Symbol {
  int check;
  int bars[3];
};
constexpr Symbol Symbols[19] = {
    {10, {0, 3, 0}},  // -
    {17, {0, 0, 3}},  // .  CC7
    {18, {3, 3, 3}},  // /  CC8
    {0, {3, 0, 0}},   // 0
    {1, {3, 3, 0}},   // 1
    {2, {3, 1, 2}},   // 2
    {3, {1, 3, 2}},   // 3
    {4, {3, 2, 1}},   // 4
    {5, {3, 0, 3}},   // 5
    {6, {1, 2, 3}},   // 6
    {7, {2, 3, 1}},   // 7
    {8, {2, 1, 3}},   // 8
    {9, {0, 3, 3}},   // 9
    {11, {1, 2, 0}},  // :  CC1
    {12, {1, 0, 2}},  // ;  CC2
    {13, {2, 1, 0}},  // <  CC3
    {14, {0, 1, 2}},  // =  CC4
    {15, {2, 0, 1}},  // >  CC5
    {16, {0, 2, 1}},  // ?  CC6
};
constexpr int Start_Bars[2] = {3, 1};
constexpr int Stop_Bars[2] = {1, 3};
constexpr char Pad = '=';  // CC4

const Symbol* symbol(QChar c) {
  const int index = c.unicode() - '-';
  return index >= 0 && index < 19 ? &Symbols[index] : nullptr;
}

QChar symbol_for_check(int check) {
  for (int i = 0; i < 19; ++i)
    if (Symbols[i].check == check) return QChar('-' + i);
  return QChar(Pad);
}

}  // namespace

bool JapanPostBarcode::initWithContent(const std::optional<QString>& content, bool printsCaption,
                                       float andBarWidth, float andHeight, float andFontSize,
                                       int andCheckDigit) {
  if (!LinBarcode::initWithContent(content, printsCaption, andBarWidth, andHeight, andFontSize,
                                   andCheckDigit))
    return false;
  generateChecksum();  // the check symbol belongs to the content
  setSymbolSize(10.0f);
  return true;
}

void JapanPostBarcode::setContent(const QString& content) {
  asciiForm_ =
      std::all_of(content.begin(), content.end(), [](QChar c) { return c.unicode() < 128; });
  QString symbols, printed;
  for (QChar c : Ascii_Upper(content)) {
    QString part;
    if (c >= QLatin1Char('A') && c <= QLatin1Char('J'))
      part = QStringLiteral(":") + QChar('0' + (c.unicode() - 'A'));
    else if (c >= QLatin1Char('K') && c <= QLatin1Char('T'))
      part = QStringLiteral(";") + QChar('0' + (c.unicode() - 'K'));
    else if (c >= QLatin1Char('U') && c <= QLatin1Char('Z'))
      part = QStringLiteral("<") + QChar('0' + (c.unicode() - 'U'));
    else if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-'))
      part = c;
    else
      continue;
    // A control code never stands without its digit: what does not fit whole ends the
    // symbols, and the pad code fills them.
    if (symbols.size() + part.size() > Symbol_Count) break;
    symbols += part;
    printed += c;
  }
  symbols += QString(Symbol_Count - symbols.size(), QLatin1Char(Pad));
  japanpostContents_ = symbols;
  content_ = printed;
  generateChecksum();
}

void JapanPostBarcode::generateChecksum() {
  int sum = 0;
  for (QChar c : japanpostContents_)
    if (const Symbol* s = symbol(c)) sum += s->check;
  const int check = 19 - sum % 19;
  setCheckDigit(symbol_for_check(check == 19 ? 0 : check).unicode());
}

void JapanPostBarcode::setSymbolSize(float size) {
  symbolSize_ = std::clamp(size, 8.5f, 11.5f);
  LinBarcode::setBarWidth(symbolSize_ / 6);
  calculateWidth();
}

void JapanPostBarcode::setBarWidth(float barWidth) {
  const float width = std::clamp(barWidth, 4.0f / 3.0f, 23.0f / 12.0f);
  LinBarcode::setBarWidth(width);
  symbolSize_ = 6 * width;
  calculateWidth();
}

bool JapanPostBarcode::isContentValid() const {
  if (!asciiForm_ || content_.size() < 7) return false;
  return std::all_of(content_.begin(), content_.begin() + 7,
                     [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

QString JapanPostBarcode::_encodeChar(char c) const {
  return symbol(QLatin1Char(c)) ? QStringLiteral("101010") : QString();
}

QString JapanPostBarcode::barcode() const {
  QString bars;
  for (QChar c : japanpostContents_) bars += _encodeChar(char(c.unicode()));
  bars += _encodeChar(char(checkDigit()));
  return bars;
}

void JapanPostBarcode::calculateWidth() { setWidth(133 * barWidth()); }

int JapanPostBarcode::_barDescriptor(int module) const {
  if (module < 4) return Start_Bars[std::max(module, 0) / 2];
  if (module < 4 + 6 * (Symbol_Count + 1)) {
    const int index = (module - 4) / 6;
    const QChar c =
        index < Symbol_Count
            ? (index < japanpostContents_.size() ? japanpostContents_.at(index) : QChar())
            : QChar(checkDigit());
    const Symbol* s = symbol(c);
    return s ? s->bars[(module - 4) % 6 / 2] : 0;
  }
  return Stop_Bars[(module - 130) % 3 / 2];
}

float JapanPostBarcode::barTop(int module) const {
  const float mm = _barDescriptor(module) & 2 ? 3.6f : 2.4f;
  return mm * symbolSize_ / 10 * Points_Per_Mm;
}

float JapanPostBarcode::barBottom(int module) const {
  const float mm = _barDescriptor(module) & 1 ? 0.0f : 1.2f;
  return mm * symbolSize_ / 10 * Points_Per_Mm;
}
