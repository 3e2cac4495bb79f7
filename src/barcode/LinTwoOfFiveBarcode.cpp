#include "barcode/LinTwoOfFiveBarcode.h"

namespace {

// Element widths of the digits, N narrow, W wide (the two-of-five table).
constexpr const char* Elements[10] = {"NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW",
                                      "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN"};

bool is_digit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

}  // namespace

int LinInterleavedTwoOfFiveBarcode::_getBarForDigit(char digit, int forBarNumber) {
  if (digit < '0' || digit > '9' || forBarNumber < 0 || forBarNumber > 4) return 1;
  return Elements[digit - '0'][forBarNumber] == 'N' ? 1 : 0;
}

QString LinInterleavedTwoOfFiveBarcode::digits() const {
  QString all = content_;
  if (checkDigit() != -1) all += QChar(checkDigit());
  return all;
}

QString LinInterleavedTwoOfFiveBarcode::barcode() const {
  QString bars;
  if (!hasAsciiForm()) return bars;
  QByteArray all = digits().toLatin1();
  if (all.size() % 2 != 0) all.prepend('0');
  for (qsizetype i = 0; i + 1 < all.size(); i += 2) {
    for (int element = 0; element < 5; ++element) {
      bars += _getBarForDigit(all[i], element) ? QStringLiteral("1") : QStringLiteral("111");
      bars += _getBarForDigit(all[i + 1], element) ? QStringLiteral("0") : QStringLiteral("000");
    }
  }
  return bars;
}

void LinInterleavedTwoOfFiveBarcode::generateChecksum() {
  int sum = 0, weight = 3;
  for (qsizetype i = content_.size() - 1; i >= 0; --i) {
    if (is_digit(content_.at(i))) sum += weight * (content_.at(i).unicode() - '0');
    weight = 4 - weight;
  }
  setCheckDigit('0' + (10 - sum % 10) % 10);
}

bool LinInterleavedTwoOfFiveBarcode::isContentValid() const {
  return std::all_of(content_.begin(), content_.end(), [](QChar c) { return is_digit(c); });
}

QString LinIndustrialTwoOfFiveBarcode::barcode() const {
  QString bars;
  if (!hasAsciiForm()) return bars;
  for (char digit : digits().toLatin1())
    for (int element = 0; element < 5; ++element)
      bars += _getBarForDigit(digit, element) ? QStringLiteral("100") : QStringLiteral("11100");
  return bars;
}
