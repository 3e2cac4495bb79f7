#pragma once
// The numeric two-of-five symbologies: Interleaved 2 of 5 (ISO/IEC 16390), where the bars
// of one digit interleave with the spaces of the next, and Industrial 2 of 5, where only
// the bars carry digits. Each digit has five elements, two of them wide; a wide element
// is three modules. Neither symbol carries a check digit.

#include "barcode/LinBarcode.h"

class LinInterleavedTwoOfFiveBarcode : public LinBarcode {
 public:
  // Digit pairs (a "0" in front of an odd count; the caption stays as given) between the
  // start "1010" and the stop "11101".
  QString barcode() const override;
  QString initiator() const override { return QStringLiteral("1010"); }
  QString terminator() const override { return QStringLiteral("11101"); }
  // The modulo-10 check digit (weights 3, 1, 3, ... from the last digit); no symbol
  // carries it.
  void generateChecksum() override;
  // Digits only; the empty content too.
  bool isContentValid() const override;

 protected:
  // 1 when element 0..4 of the digit is narrow, 0 when wide; a non-digit is all narrow.
  static int _getBarForDigit(char digit, int forBarNumber);
  // The content and the check digit when there is one.
  QString digits() const;
};

class LinIndustrialTwoOfFiveBarcode : public LinInterleavedTwoOfFiveBarcode {
 public:
  // Each digit's five bars, narrow "100" or wide "11100" (each with its space), between
  // the standard start (wide, wide, narrow bar) and stop (wide, narrow, wide bar).
  QString barcode() const override;
  QString initiator() const override { return QStringLiteral("1110011100100"); }
  QString terminator() const override { return QStringLiteral("11100100111"); }
};
