#pragma once
// Modified Plessey: each character is four bits, least significant first, a 1 written
// "1110" and a 0 "1000"; a modulo-10 check digit follows the data. The hexadecimal
// variant also writes "A" to "F" (values 10 to 15).

#include "barcode/LinBarcode.h"

class LinModifiedPlesseyBarcode : public LinBarcode {
 public:
  using LinBarcode::initWithContent;
  // The value in upper case; the check digit is computed.
  bool initWithContent(const std::optional<QString>& content, bool printsCaption) override;
  QString initiator() const override;   // the bits 1, 1, 0, 1
  QString terminator() const override;  // "111" and the bits 0, 0, 1, 1
  // The modulo-10 check digit: the digits at odd positions from the right, each doubled
  // with the digits of the double added up, plus the other digits. Digit by digit, so a
  // value of any length gets the right digit.
  void generateChecksum() override;

 protected:
  QString _encodeChar(char c) const override;  // "0" to "9"
  static QString Bits(int value);
};

class LinModifiedPlesseyHexBarcode : public LinModifiedPlesseyBarcode {
 protected:
  QString _encodeChar(char c) const override;  // also "A" to "F"
};
