#include "barcode/LinPostalBarcode.h"

namespace {

bool is_digit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

constexpr float Points_Per_Mm = 72.0f / 25.4f;

// POSTNET: the two tall bars (1..5) of each digit.
constexpr int Postnet_Tall_Bars[10][2] = {{1, 2}, {4, 5}, {3, 5}, {3, 4}, {2, 5},
                                          {2, 4}, {2, 3}, {1, 5}, {1, 4}, {1, 3}};

// RM4SCC: "0".."9", "A".."Z" fill a 6 x 6 grid row by row; a character's ascenders follow
// its row and its descenders its column, both from this list (bar 1 the highest bit).
constexpr int Two_Of_Four[6] = {0b0011, 0b0101, 0b0110, 0b1001, 0b1010, 0b1100};
constexpr char Royal_Mail_Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

int royal_mail_index(QChar c) {
  if (is_digit(c)) return c.unicode() - '0';
  if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) return c.unicode() - 'A' + 10;
  return -1;
}

}  // namespace

// ---- POSTNET and PLANET ----------------------------------------------------------------

bool LinPostnetBarcode::initWithContent(const std::optional<QString>& content, bool printsCaption) {
  if (!content) return false;
  setContent(*content);
  setBarWidth(1.08f);
  setPrintsCaption(printsCaption);
  generateChecksum();
  setHeight(9.0f);
  calculateWidth();
  return true;
}

QString LinPostnetBarcode::_encodeChar(char) const { return QStringLiteral("100100100100100"); }

bool LinPostnetBarcode::Postnet_Tall(char digit, int bar) {
  const int* tall = Postnet_Tall_Bars[digit - '0'];
  return bar == tall[0] || bar == tall[1];
}

float LinPostnetBarcode::_heightForDigit(int position, int andBar) const {
  const QChar c = position < content_.size() ? content_.at(position) : QChar(checkDigit());
  if (!is_digit(c)) return 0;
  return Postnet_Tall(char(c.unicode()), andBar) ? 0.125f : 0.05f;
}

float LinPlanetBarcode::_heightForDigit(int position, int andBar) const {
  return LinPostnetBarcode::_heightForDigit(position, andBar) == 0.125f ? 0.05f : 0.125f;
}

float LinPostnetBarcode::barTop(int module) const {
  const int last = int(completeBarcode().size()) - 1;
  if (module <= 0 || module >= last) return 9.0f;
  const int position = (module - 3) / 15;
  const int bar = (module - 15 * position) / 3;
  return _heightForDigit(position, bar) * 72;
}

void LinPostnetBarcode::generateChecksum() {
  int sum = 0;
  for (QChar c : content_)
    if (is_digit(c)) sum += c.unicode() - '0';
  setCheckDigit(sum % 10 == 0 ? '0' : '0' + 10 - sum % 10);
}

bool LinPostnetBarcode::isContentValid() const {
  const qsizetype n = content_.size();
  if (n != 5 && n != 9 && n != 11) return false;
  return std::all_of(content_.begin(), content_.end(), [](QChar c) { return is_digit(c); });
}

// ---- Royal Mail ------------------------------------------------------------------------

bool LinRoyalMailBarcode::initWithContent(const std::optional<QString>& content,
                                          bool printsCaption) {
  (void)printsCaption;  // the value is always printed
  if (!content) return false;
  setContent(Ascii_Upper(*content));
  setBarWidth(0.5f * Points_Per_Mm);
  setPrintsCaption(false);
  generateChecksum();
  setHeight(5.05f * Points_Per_Mm);
  calculateWidth();
  return true;
}

int LinRoyalMailBarcode::royalmail_characterDescriptor(QChar c) {
  const int index = royal_mail_index(c);
  if (index < 0) return 0;
  const int ascenders = Two_Of_Four[index / 6], descenders = Two_Of_Four[index % 6];
  int descriptor = 0;
  for (int bar = 0; bar < 4; ++bar) {
    const int bit = 3 - bar;
    const int state = ((ascenders >> bit) & 1) * 2 + ((descenders >> bit) & 1);
    descriptor = descriptor << 4 | state;
  }
  return descriptor;
}

QString LinRoyalMailBarcode::_encodeChar(char c) const {
  return royal_mail_index(QLatin1Char(c)) >= 0 ? QStringLiteral("10101010") : QString();
}

bool LinRoyalMailBarcode::isContentValid() const {
  return std::all_of(content_.begin(), content_.end(),
                     [](QChar c) { return royal_mail_index(c) >= 0; });
}

void LinRoyalMailBarcode::generateChecksum() {
  int row = 0, col = 0;
  for (QChar c : content_) {
    const int index = royal_mail_index(c);
    if (index < 0) continue;
    row = (row + index / 6 + 1) % 6;
    col = (col + index % 6 + 1) % 6;
  }
  row = row == 0 ? 5 : row - 1;
  col = col == 0 ? 5 : col - 1;
  setCheckDigit(Royal_Mail_Chars[6 * row + col]);
}

int LinRoyalMailBarcode::_barDescriptor(int module) const {
  if (module <= 0) return 2;
  const int n = int(content_.size());
  if (module < 8 * (n + 1) + 2) {
    const int position = (module - 2) / 8;
    const QChar c = position < n ? content_.at(position) : QChar(checkDigit());
    const int bar = (module - 2) % 8 / 2;
    return royalmail_characterDescriptor(c) >> (4 * (3 - bar)) & 0xF;
  }
  return 3;
}

float LinRoyalMailBarcode::barTop(int module) const {
  return (_barDescriptor(module) & 2 ? 5.05f : 3.15f) * Points_Per_Mm;
}

float LinRoyalMailBarcode::barBottom(int module) const {
  return _barDescriptor(module) & 1 ? 0.0f : 1.9f * Points_Per_Mm;
}
