#pragma once
// Postal symbologies with bars of one module each whose vertical extent carries the data:
// POSTNET and PLANET (tall and short bars on one base line) and the Royal Mail
// four-state customer code RM4SCC (bars rising from barBottom() to barTop()).
//
// Bar descriptors of four-state bars: bit 1 (value 2) the bar rises to the upper height
// (ascender), bit 0 (value 1) it reaches down to the base line (descender); 0 tracker,
// 1 descender, 2 ascender, 3 full bar.

#include "barcode/LinBarcode.h"

class LinPostnetBarcode : public LinBarcode {
 public:
  using LinBarcode::initWithContent;
  // Module width 1.08 points (0.015 inch), height 9 points, check digit computed.
  bool initWithContent(const std::optional<QString>& content, bool printsCaption) override;
  QString initiator() const override { return QStringLiteral("100"); }
  QString terminator() const override { return QStringLiteral("1"); }
  // The frame bars are 9 points; data and check bars 9 (tall) or 3.6 points (short).
  float barTop(int module) const override;
  // The digit that makes the sum of all digits a multiple of 10.
  void generateChecksum() override;
  // 5, 9 or 11 digits.
  bool isContentValid() const override;

 protected:
  QString _encodeChar(char c) const override;  // five bars, each followed by two spaces
  // Length in inches of bar 1..5 of the character at the position (the position after
  // the last value character is the check digit); 0 for a non-digit.
  virtual float _heightForDigit(int position, int andBar) const;
  static bool Postnet_Tall(char digit, int bar);
};

// PLANET: POSTNET with tall and short bars exchanged (three tall bars a digit).
class LinPlanetBarcode : public LinPostnetBarcode {
 protected:
  float _heightForDigit(int position, int andBar) const override;
};

class LinRoyalMailBarcode : public LinBarcode {
 public:
  using LinBarcode::initWithContent;
  // Letters in upper case; module width 0.5 mm, height 5.05 mm, check character computed.
  bool initWithContent(const std::optional<QString>& content, bool printsCaption) override;
  // The value, header and footer are always printed.
  bool printsCaption() const override { return true; }
  bool printsHeader() const override { return true; }
  bool printsFooter() const override { return true; }
  QString initiator() const override { return QStringLiteral("10"); }
  QString terminator() const override { return QStringLiteral("1"); }
  // 5.05 mm for an ascender or full bar, else 3.15 mm.
  float barTop(int module) const override;
  // 0 for a descender or full bar, else 1.9 mm.
  float barBottom(int module) const override;
  // The RM4SCC check character, from the rows and columns of the characters.
  void generateChecksum() override;
  // Digits and letters only.
  bool isContentValid() const override;

  // The descriptor (0..3) of the bar at the module of the bar string.
  int _barDescriptor(int module) const;
  // The four bar descriptors of "0" to "9" and "A" to "Z" packed in nibbles, bar 1 the
  // most significant; 0 for any other character.
  static int royalmail_characterDescriptor(QChar c);

 protected:
  QString _encodeChar(char c) const override;  // four bars, each followed by a space
};
