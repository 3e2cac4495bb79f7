#include "barcode/LinUPCEANBarcode.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace {

// Left-hand digit patterns, number set A (odd parity), ISO/IEC 15420.
constexpr std::array<const char*, 10> Set_A = {"0001101", "0011001", "0010011", "0111101",
                                               "0100011", "0110001", "0101111", "0111011",
                                               "0110111", "0001011"};

// EAN-13: parity of the six left-hand digits for each leading digit (E even = set B).
constexpr std::array<const char*, 10> Ean13_Parity = {"OOOOOO", "OOEOEE", "OOEEOE", "OOEEEO",
                                                      "OEOOEE", "OEEOOE", "OEEEOO", "OEOEOE",
                                                      "OEOEEO", "OEEOEO"};

// UPC-E, number system 0: parity of the six digits for each check digit.
constexpr std::array<const char*, 10> Upce_Parity = {"EEEOOO", "EEOEOO", "EEOOEO", "EEOOOE",
                                                     "EOEEOO", "EOOEEO", "EOOOEE", "EOEOEO",
                                                     "EOEOOE", "EOOEOE"};

bool is_digit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

QString chars(std::initializer_list<QChar> list) {
  return QString(list.begin(), qsizetype(list.size()));
}

}  // namespace

QString swapHandedness(const QString& pattern) {
  QString swapped(pattern.size(), QLatin1Char('0'));
  for (qsizetype i = 0; i < pattern.size(); ++i)
    if (pattern.at(i) == QLatin1Char('0')) swapped[i] = QLatin1Char('1');
  return swapped;
}

QString swapParity(const QString& pattern) {
  QString swapped = swapHandedness(pattern);
  std::reverse(swapped.begin(), swapped.end());
  return swapped;
}

// ---- LinAbstractUPCEANBarcode ------------------------------------------------------

bool LinAbstractUPCEANBarcode::All_Digits(const QString& text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return is_digit(c); });
}

int LinAbstractUPCEANBarcode::Check_Character(const QString& digits) {
  if (!All_Digits(digits)) return -1;
  int sum = 0, weight = 3;
  for (qsizetype i = digits.size() - 1; i >= 0; --i) {
    sum += weight * (digits.at(i).unicode() - '0');
    weight = 4 - weight;
  }
  return '0' + (10 - sum % 10) % 10;
}

int LinAbstractUPCEANBarcode::Check_Code(QChar c) { return c.unicode() < 128 ? c.unicode() : -1; }

QString LinAbstractUPCEANBarcode::_encodeChar(char c) const {
  return is_digit(c) ? QString::fromLatin1(Set_A[c - '0']) : QString();
}

void LinAbstractUPCEANBarcode::calculateWidth() {
  if (content_.isEmpty()) {
    setWidth(0);
    return;
  }
  setWidth(float(completeBarcode().size()) * barWidth() * 1.2f);
}

float LinAbstractUPCEANBarcode::firstBar() const { return width() * 0.1f; }

float LinAbstractUPCEANBarcode::lastBar() const { return width() * 0.9f - barWidth(); }

QString LinAbstractUPCEANBarcode::checkText() const {
  return checkDigit() >= 0 ? QString(QChar(checkDigit())) : QString();
}

QString LinAbstractUPCEANBarcode::rightCaption() const { return checkText(); }

float LinAbstractUPCEANBarcode::barBottom(int module) const {
  const int length = int(completeBarcode().size());
  if (module < 7 || module > length - 7 || (module >= 45 && module <= 49)) return 3.6f;
  return captionHeight() * 72;
}

int LinAbstractUPCEANBarcode::expectedCheckDigit() const {
  return content_.size() == 11 ? Check_Character(content_) : -1;
}

void LinAbstractUPCEANBarcode::generateChecksum() {
  const int check = expectedCheckDigit();
  if (check != -1) setCheckDigit(check);
}

bool LinAbstractUPCEANBarcode::isContentValid() const {
  if (content_.size() != contentLength() || !All_Digits(content_)) return false;
  return checkDigit() == expectedCheckDigit();
}

// ---- EAN-13 --------------------------------------------------------------------------

bool LinEAN13Barcode::initWithContent(const std::optional<QString>& content, bool printsCaption) {
  if (!LinBarcode::initWithContent(content, printsCaption)) return false;
  const QString& value = *content;
  setContent(value);
  if (value.size() < 13) {
    generateChecksum();
  } else if (value.size() == 13) {
    setCheckDigit(Check_Code(value.at(12)));
    setContent(value.left(12));
  }
  // A longer value stays whole, and its length refuses it.
  calculateWidth();
  return true;
}

int LinEAN13Barcode::expectedCheckDigit() const {
  return content_.size() == 12 ? Check_Character(content_) : -1;
}

bool LinEAN13Barcode::_parityForSystemDigit(char systemDigit, int forIndex) const {
  if (systemDigit < '1' || systemDigit > '9' || forIndex < 1 || forIndex > 6) return false;
  return Ean13_Parity[systemDigit - '0'][forIndex - 1] == 'E';
}

QString LinEAN13Barcode::barcode() const {
  const QByteArray digits = asciiContent();
  QString bars;
  if (digits.isEmpty()) return bars;
  for (int i = 1; i <= 6 && i < digits.size(); ++i) {
    const QString left = _encodeChar(digits[i]);
    bars += _parityForSystemDigit(digits[0], i) ? swapParity(left) : left;
  }
  bars += QLatin1String(Centre_Guard);
  for (int i = 7; i <= 11 && i < digits.size(); ++i) bars += swapHandedness(_encodeChar(digits[i]));
  if (checkDigit() != -1) bars += swapHandedness(_encodeChar(char(checkDigit())));
  return bars;
}

QString LinEAN13Barcode::caption() const {
  return QStringLiteral("  ") + content_.mid(1, 6) + QLatin1Char('\t') + content_.mid(7, 5) +
         checkText();
}

// ---- EAN-8 ---------------------------------------------------------------------------

bool LinEAN8Barcode::initWithContent(const std::optional<QString>& content, bool printsCaption) {
  if (!LinEAN13Barcode::initWithContent(content, printsCaption)) return false;
  const QString& value = *content;
  if (value.size() == 7) {
    setContent(value);
    generateChecksum();
  } else if (value.size() == 8) {
    setCheckDigit(Check_Code(value.at(7)));
    setContent(value.left(7));
  }
  calculateWidth();
  return true;
}

int LinEAN8Barcode::expectedCheckDigit() const {
  return content_.size() >= 7 ? Check_Character(content_.left(7)) : -1;
}

QString LinEAN8Barcode::barcode() const {
  const QByteArray digits = asciiContent();
  QString bars;
  if (digits.isEmpty()) return bars;
  for (int i = 0; i < 4 && i < digits.size(); ++i) bars += _encodeChar(digits[i]);
  bars += QLatin1String(Centre_Guard);
  for (int i = 4; i < 7 && i < digits.size(); ++i) bars += swapHandedness(_encodeChar(digits[i]));
  if (checkDigit() != -1) bars += swapHandedness(_encodeChar(char(checkDigit())));
  return bars;
}

QString LinEAN8Barcode::caption() const {
  return QStringLiteral(" ") + content_.left(4) + QLatin1Char('\t') + content_.mid(4, 3) +
         checkText();
}

float LinEAN8Barcode::barBottom(int module) const {
  const int length = int(completeBarcode().size());
  if (module < 4 || module > length - 4 || module == 33 || module == 35) return 3.6f;
  return captionHeight() * 72;
}

// ---- UPC-A ---------------------------------------------------------------------------

bool LinUPCABarcode::initWithContent(const std::optional<QString>& content, bool printsCaption) {
  if (!LinBarcode::initWithContent(content, printsCaption)) return false;
  const QString& value = *content;
  if (value.size() < 12) {
    generateChecksum();
  } else if (value.size() == 12) {
    setCheckDigit(Check_Code(value.at(11)));
    setContent(value.left(11));
  }
  calculateWidth();
  return true;
}

QString LinUPCABarcode::barcode() const {
  const QByteArray digits = asciiContent();
  QString bars;
  if (digits.isEmpty()) return bars;
  for (int i = 0; i < 6 && i < digits.size(); ++i) bars += _encodeChar(digits[i]);
  bars += QLatin1String(Centre_Guard);
  for (int i = 6; i < 11 && i < digits.size(); ++i) bars += swapHandedness(_encodeChar(digits[i]));
  if (checkDigit() != -1) bars += swapHandedness(_encodeChar(char(checkDigit())));
  return bars;
}

QString LinUPCABarcode::caption() const {
  return content_.mid(1, 5) + QLatin1Char('\t') + content_.mid(6, 5);
}

// ---- UPC-E ---------------------------------------------------------------------------

QString LinUPCEBarcode::UPCAToUPCE(const QString& upca) {
  if (upca.size() < 12 || !All_Digits(upca.left(12))) return {};
  const auto at = [&](int i) { return upca.at(i); };
  const auto zeros = [&](int from, int count) {
    return upca.mid(from, count) == QString(count, QLatin1Char('0'));
  };
  // Manufacturer digits at 1..5, product digits at 6..10; each form keeps only the
  // digits that are not zero in it, so a number with a digit where its form needs a zero
  // has that form not.
  if (at(3) <= QLatin1Char('2') && zeros(4, 2) && zeros(6, 2))
    return chars({at(1), at(2), at(8), at(9), at(10), at(3)});
  if (zeros(4, 2) && zeros(6, 3))
    return chars({at(1), at(2), at(3), at(9), at(10), QLatin1Char('3')});
  if (zeros(5, 1) && zeros(6, 4))
    return chars({at(1), at(2), at(3), at(4), at(10), QLatin1Char('4')});
  if (zeros(6, 4) && at(10) >= QLatin1Char('5')) return upca.mid(1, 5) + at(10);
  return {};
}

QString LinUPCEBarcode::UPCEToUPCA(const QString& upce) {
  if (upce.size() != 7 || !All_Digits(upce)) return {};
  const QChar ns = upce.at(0);
  const QString d = upce.mid(1);
  const QChar last = d.at(5);
  if (last <= QLatin1Char('2')) return ns + d.left(2) + last + QStringLiteral("0000") + d.mid(2, 3);
  if (last == QLatin1Char('3')) return ns + d.left(3) + QStringLiteral("00000") + d.mid(3, 2);
  if (last == QLatin1Char('4')) return ns + d.left(4) + QStringLiteral("00000") + d.at(4);
  return ns + d.left(5) + QStringLiteral("0000") + last;
}

bool LinUPCEBarcode::initWithContent(const std::optional<QString>& content, bool printsCaption) {
  if (!LinUPCABarcode::initWithContent(content, printsCaption)) return false;
  const QString& value = *content;
  setContent(value);
  if (value.size() == 11) {
    // A UPC-A number: its check digit is already computed; without a zero-suppressed
    // form only the number system remains, which is refused.
    const QString upce = checkDigit() >= 0 ? UPCAToUPCE(value + QChar(checkDigit())) : QString();
    setContent(value.left(1) + upce);
  } else if (value.size() == 8) {
    setCheckDigit(Check_Code(value.at(7)));
    setContent(value.left(7));
  }
  calculateWidth();
  return true;
}

int LinUPCEBarcode::expectedCheckDigit() const {
  if (content_.size() == 7) {
    const QString upca = UPCEToUPCA(content_);
    return upca.isEmpty() ? -1 : Check_Character(upca);
  }
  return LinUPCABarcode::expectedCheckDigit();
}

bool LinUPCEBarcode::isContentValid() const {
  if (content_.isEmpty()) return false;
  const QChar ns = content_.at(0);
  if (ns != QLatin1Char('0') && ns != QLatin1Char('1')) return false;
  return LinUPCABarcode::isContentValid();
}

bool LinUPCEBarcode::parityForDigit(int position) const {
  const int check = checkDigit();
  if (check < '0' || check > '9' || position < 1 || position > 6) return false;
  const bool even = Upce_Parity[check - '0'][position - 1] == 'E';
  return content_.startsWith(QLatin1Char('0')) ? even : !even;
}

QString LinUPCEBarcode::barcode() const {
  const QByteArray digits = asciiContent();
  QString bars;
  for (int i = 1; i <= 6 && i < digits.size(); ++i) {
    const QString left = _encodeChar(digits[i]);
    bars += parityForDigit(i) ? swapParity(left) : left;
  }
  return bars;
}

QString LinUPCEBarcode::caption() const { return content_.mid(1, 6); }

float LinUPCEBarcode::barBottom(int module) const {
  const int length = int(completeBarcode().size());
  if (module < 7 || module > length - 4) return 3.6f;
  return captionHeight() * 72;
}
