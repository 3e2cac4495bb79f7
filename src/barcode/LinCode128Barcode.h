#pragma once
// Code 128 (ISO/IEC 15417) in its three code sets: A (upper case and control characters),
// B (printable ASCII and DEL) and C (digit pairs).
//
// The symbol is a sequence of symbol values (0..102), each an 11-module pattern of three
// bars and three spaces, between a start pattern of the code set and the 13-module stop
// pattern, with the check value before the stop. Characters outside the current code set
// (A or B) are reached with the single SHIFT (one character) or a code-set change (a run),
// and every symbol value, those included, counts in the check value with its position.

#include "barcode/LinBarcode.h"

#include <vector>

class LinCode128Barcode : public LinBarcode {
 public:
  enum { Code_Set_A = 0, Code_Set_B = 1, Code_Set_C = 2, Code_Set_Auto = 3 };
  // Symbol values with a meaning of their own.
  enum { Shift = 98, Code_C = 99, Code_B = 100, Code_A = 101 };

  // The code set to encode with; Code_Set_Auto (3) lets the initialiser choose from the
  // value. Set it before initWithContent().
  int codeSet() const { return codeSet_; }
  void setCodeSet(int codeSet) { codeSet_ = codeSet; }

  using LinBarcode::initWithContent;
  // The content is kept as given. An automatic code set becomes the best one for it; the
  // check value is computed.
  bool initWithContent(const std::optional<QString>& content, bool printsCaption) override;

  // The check value (0..102), stored in checkDigit().
  void generateChecksum() override;
  QString initiator() const override;   // start A, B or C; "" for another number
  QString terminator() const override;  // the stop pattern
  // The data symbols, then the check symbol.
  QString barcode() const override;
  // An ASCII content; in code set C only pairs of digits (an automatically chosen set C
  // may end in a single digit, which it writes in code set B).
  bool isContentValid() const override;

  // The data symbol values, without start, check and stop.
  std::vector<int> symbolValues() const;

  // The 11 modules of a symbol value 0..105 ("" otherwise).
  static QString _encodeNumberPair(int value);
  // The value of an ASCII character in code set A or B; -1 when the set lacks it.
  static int _valueInSet(char c, int set);

 protected:
  // Set C for digits only (a single digit: set B); otherwise set A when the content has
  // more control characters than lower-case letters, else set B.
  int _bestCodeSetForContent() const;

 private:
  int codeSet_ = Code_Set_B;
  bool chosen_ = false;  // the code set was chosen from the content
};
