#pragma once
// The retail symbologies EAN-13, EAN-8, UPC-A and UPC-E (ISO/IEC 15420).
//
// Every value is held as its digits without the check digit; the check digit lives in
// checkDigit() as a character code. A value may carry its own check digit (13th, 8th,
// 12th or 8th character); it is then compared, and a wrong one makes the value invalid.

#include "barcode/LinBarcode.h"

// The right-hand pattern of a digit from its left-hand (set A) pattern: "1" for each
// "0", "0" for every other character.
QString swapHandedness(const QString& pattern);
// The even-parity (set B) pattern of a digit from its left-hand pattern: the right-hand
// pattern read backwards.
QString swapParity(const QString& pattern);

// What the four retail symbologies share: the set A digit patterns, the guards, a quiet
// zone of a tenth of the width on each side, one digit printed left and one right of the
// bars.
class LinAbstractUPCEANBarcode : public LinBarcode {
 public:
  // width = modules x barWidth x 1.2 (0 for an empty content).
  void calculateWidth() override;
  float firstBar() const override;  // inside the left quiet zone
  float lastBar() const override;   // inside the right quiet zone
  QString initiator() const override { return QStringLiteral("101"); }
  QString terminator() const override { return QStringLiteral("101"); }
  int digitsToLeft() const override { return 1; }
  int digitsToRight() const override { return 1; }
  // The check character.
  QString rightCaption() const override;
  // Guard bars reach 3.6 points above the base line, the others stand on the value band.
  float barBottom(int module) const override;
  // Stores expectedCheckDigit() when there is one.
  void generateChecksum() override;
  // contentLength() digits whose check digit is the expected one.
  bool isContentValid() const override;

  static constexpr const char* Centre_Guard = "01010";

 protected:
  // The check digit the content calls for, -1 when it calls for none. UPC-A: that of an
  // 11-digit content.
  virtual int expectedCheckDigit() const;
  // Digits the content must have (UPC-A: 11).
  virtual int contentLength() const { return 11; }
  QString _encodeChar(char c) const override;  // set A; "" for a non-digit
  QString checkText() const;                   // the check character, "" when none
  static bool All_Digits(const QString& text);
  // The EAN/UPC check character of the digits: weights 3, 1, 3, ... from the last digit;
  // -1 when a character is not a digit.
  static int Check_Character(const QString& digits);
  // Code of the character as a check digit: its ASCII code, -1 for anything else.
  static int Check_Code(QChar c);
};

class LinEAN13Barcode : public LinAbstractUPCEANBarcode {
 public:
  using LinBarcode::initWithContent;
  // 12 digits get their check digit computed; a 13th character is the given check digit.
  bool initWithContent(const std::optional<QString>& content, bool printsCaption) override;
  QString barcode() const override;
  int digitsToRight() const override { return 0; }
  QString rightCaption() const override { return {}; }
  QString caption() const override;  // "  d2..d7<TAB>d8..d12<check>"

 protected:
  // True where the first digit asks for even parity (set B) at position 1..6.
  bool _parityForSystemDigit(char systemDigit, int forIndex) const;
  int expectedCheckDigit() const override;  // of a 12-digit content
  int contentLength() const override { return 12; }
};

class LinEAN8Barcode : public LinEAN13Barcode {
 public:
  using LinBarcode::initWithContent;
  // 7 digits get their check digit computed; an 8th character is the given check digit.
  bool initWithContent(const std::optional<QString>& content, bool printsCaption) override;
  QString barcode() const override;
  QString caption() const override;  // " d1..d4<TAB>d5..d7<check>"
  float barBottom(int module) const override;
  int digitsToLeft() const override { return 0; }
  int digitsToRight() const override { return 0; }

 protected:
  int expectedCheckDigit() const override;  // of the first seven digits
  int contentLength() const override { return 7; }
};

class LinUPCABarcode : public LinAbstractUPCEANBarcode {
 public:
  using LinBarcode::initWithContent;
  // 11 digits get their check digit computed; a 12th character is the given check digit.
  bool initWithContent(const std::optional<QString>& content, bool printsCaption) override;
  QString barcode() const override;
  QString caption() const override;  // "d2..d6<TAB>d7..d11"
};

class LinUPCEBarcode : public LinUPCABarcode {
 public:
  using LinBarcode::initWithContent;
  // The value is either a zero-suppressed number (number system "0" or "1" and six
  // digits, optionally its check digit as 8th character) or the 11 digits of a UPC-A
  // number, which is compressed. The check digit is that of the UPC-A expansion.
  bool initWithContent(const std::optional<QString>& content, bool printsCaption) override;
  QString barcode() const override;
  QString terminator() const override { return QStringLiteral("010101"); }
  QString caption() const override;  // the six digits
  float barBottom(int module) const override;
  // Number system "0" or "1", six digits, and the check digit of the expansion.
  bool isContentValid() const override;

  // The six digits of the zero-suppressed form of a 12-digit UPC-A number (number system
  // first, check digit last); "" when the number has no such form.
  static QString UPCAToUPCE(const QString& upca);
  // The 11 digits (no check digit) of the UPC-A number a 7-digit UPC-E content stands for;
  // "" for anything else.
  static QString UPCEToUPCA(const QString& upce);

 protected:
  // Of a 7-digit content: the check digit of its UPC-A expansion; of 11 digits: UPC-A's.
  int expectedCheckDigit() const override;
  int contentLength() const override { return 7; }
  // True where the check digit asks for even parity (set B) at position 1..6.
  bool parityForDigit(int position) const;
};
