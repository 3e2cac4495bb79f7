#pragma once
// Code 39 and its full-ASCII extension (ISO/IEC 16388), and Codabar.
//
// Bar strings write a narrow element as one module and a wide one as two.

#include "barcode/LinBarcode.h"

// Code 39: digits, upper-case letters, "-", ".", space, "$", "/", "+", "%". Each character
// is its nine elements followed by a one-module gap (13 modules); the symbol is framed by
// the start/stop character "*", which the value itself may not contain. No check
// character is printed.
class LinCode39Barcode : public LinBarcode {
 public:
  using LinBarcode::initWithContent;
  // Lower-case letters are taken as upper case.
  bool initWithContent(const std::optional<QString>& content, bool printsCaption) override;
  QString initiator() const override { return Start_Stop(); }
  QString terminator() const override { return Start_Stop(); }
  // Every character has a pattern, and none is the start/stop character.
  bool isContentValid() const override;
  // The modulo-43 check character of the content (no symbol carries it).
  void generateChecksum() override;

  // The 13 modules of "*".
  static QString Start_Stop();
  // The 13 modules of a Code 39 character; "" for any other.
  static QString Pattern(char c);

 protected:
  QString _encodeChar(char c) const override { return Pattern(c); }
};

// Full-ASCII Code 39: characters outside Code 39 are written as pairs of Code 39
// characters ("a" as "+A", TAB as "$I", "*" as "/J", ...). The value keeps its case.
class LinExtendedCode39Barcode : public LinCode39Barcode {
 public:
  using LinBarcode::initWithContent;
  bool initWithContent(const std::optional<QString>& content, bool printsCaption) override;
  bool isContentValid() const override { return LinBarcode::isContentValid(); }

  // The Code 39 characters that stand for an ASCII character: itself, a pair, or ""
  // when it has none (control characters other than TAB and LF, DEL).
  static QString Full_Ascii(char c);

 protected:
  QString _encodeChar(char c) const override;
};

// Codabar: digits, "-", "$", ":", "/", ".", "+" between the start and stop characters
// "A" to "D", which the value carries itself (and the caption shows). Characters are
// separated by one narrow space; there is no check character.
class LinCodabarBarcode : public LinBarcode {
 public:
  QString barcode() const override;
  // Starts and ends with one of "A" to "D" and holds none of them in between; every
  // character has a pattern.
  bool isContentValid() const override;

 protected:
  QString _encodeChar(char c) const override;
};
