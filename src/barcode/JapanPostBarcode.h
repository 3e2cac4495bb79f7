#pragma once
// The Japan Post four-state customer barcode: the value (postal code and address number)
// becomes exactly 20 symbols of three bars each, a check symbol follows, all between a
// start and a stop code; every bar is one module followed by a one-module space.
//
// Symbol characters: "0".."9", "-", and the control codes CC1..CC8 written as ":", ";",
// "<", "=", ">", "?", ".", "/". Letters become a control code and a digit (A..J: CC1,
// K..T: CC2, U..Z: CC3); CC4 pads the symbols to 20.
//
// The symbol size (8.5 to 11.5 points, 10 by default; module width size / 6, bar lengths
// in proportion) is kept apart from height(), which is the picture height as for every
// other linear model.

#include "barcode/LinBarcode.h"

class JapanPostBarcode : public LinBarcode {
 public:
  using LinBarcode::initWithContent;
  // Symbol size 10; the rest as for every model.
  bool initWithContent(const std::optional<QString>& content, bool printsCaption, float andBarWidth,
                       float andHeight, float andFontSize, int andCheckDigit) override;

  // Converts the value: upper case, letters to control code and digit, other characters
  // than letters, digits and "-" dropped, padded or cut to 20 symbols (a letter that no
  // longer fits whole is left out); content() keeps the printed characters that made it
  // into the symbols. Then computes the check symbol.
  void setContent(const QString& content) override;
  QString japanpostContents() const { return japanpostContents_; }

  float symbolSize() const { return symbolSize_; }
  // Clamped to 8.5..11.5; the module width becomes size / 6.
  void setSymbolSize(float size);
  // Clamped to 4/3..23/12 points; the size becomes 6 x module width.
  void setBarWidth(float barWidth) override;

  // The value, header and footer are always printed.
  bool printsCaption() const override { return true; }
  bool printsHeader() const override { return true; }
  bool printsFooter() const override { return true; }

  // The check symbol: makes the sum of the 21 symbols' check values a multiple of 19.
  void generateChecksum() override;
  // The printed content starts with the 7 digits of the postal code.
  bool isContentValid() const override;
  QString initiator() const override { return QStringLiteral("1010"); }
  QString terminator() const override { return QStringLiteral("101"); }
  // 20 symbols and the check symbol: always 126 modules.
  QString barcode() const override;
  // 133 modules x module width.
  void calculateWidth() override;
  // Top of the bar: 3.6 mm for an ascender or full bar, else 2.4 mm (at size 10).
  float barTop(int module) const override;
  // Foot of the bar: 0 for a descender or full bar, else 1.2 mm (at size 10).
  float barBottom(int module) const override;

  // The descriptor (0..3) of the bar at the module of the bar string.
  int _barDescriptor(int module) const;

  static constexpr int Symbol_Count = 20;

 protected:
  QString _encodeChar(char c) const override;

 private:
  QString japanpostContents_;
  float symbolSize_ = 10.0f;
  bool asciiForm_ = true;  // the value had no character outside ASCII
};
