#include "barcode/LinPlesseyBarcode.h"

#include <array>

QString LinModifiedPlesseyBarcode::Bits(int value) {
  static const auto patterns = [] {
    std::array<QString, 16> table;
    for (int v = 0; v < 16; ++v)
      for (int bit = 0; bit < 4; ++bit)
        table[v] += (v >> bit) & 1 ? QStringLiteral("1110") : QStringLiteral("1000");
    return table;
  }();
  return patterns[value & 15];
}

bool LinModifiedPlesseyBarcode::initWithContent(const std::optional<QString>& content,
                                                bool printsCaption) {
  if (!content) return false;
  if (!LinBarcode::initWithContent(Ascii_Upper(*content), printsCaption)) return false;
  generateChecksum();
  calculateWidth();
  return true;
}

QString LinModifiedPlesseyBarcode::initiator() const { return Bits(0b1011); }

QString LinModifiedPlesseyBarcode::terminator() const {
  return QStringLiteral("111") + Bits(0b1100);
}

QString LinModifiedPlesseyBarcode::_encodeChar(char c) const {
  return c >= '0' && c <= '9' ? Bits(c - '0') : QString();
}

QString LinModifiedPlesseyHexBarcode::_encodeChar(char c) const {
  if (c >= 'A' && c <= 'F') return Bits(c - 'A' + 10);
  return LinModifiedPlesseyBarcode::_encodeChar(c);
}

void LinModifiedPlesseyBarcode::generateChecksum() {
  // Odd positions from the right (the last character first): each digit doubled, the
  // digits of the double added; a letter there ends the doubled run (hexadecimal values).
  // Even positions: the character's code less that of "0".
  int doubled = 0, others = 0;
  bool in_run = true;
  const qsizetype n = content_.size();
  for (qsizetype k = 0; k < n; ++k) {
    const int code = content_.at(n - 1 - k).unicode();
    if (k % 2 == 0) {
      if (!in_run || code < '0' || code > '9') {
        in_run = false;
        continue;
      }
      const int twice = 2 * (code - '0');
      doubled += twice / 10 + twice % 10;
    } else {
      others += code - '0';
    }
  }
  const int sum = doubled + others;
  setCheckDigit('0' + ((10 - sum % 10) % 10 + 10) % 10);
}
