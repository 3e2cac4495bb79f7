// The bar-space patterns of the PDF417 symbol characters: for each of the cluster tables 0, 3
// and 6 of ISO/IEC 15438, the 17-module pattern of every codeword value 0..928 (four bars and
// four spaces of 1 to 6 modules, most significant bit the first module, 1 a bar).
//
// The table is the standard's symbol character table and has to be taken from ISO/IEC 15438
// itself; until it is filled in here, PDF417_Pattern() answers 0 and paintCode() refuses
// every symbol with PDF417_ERROR_NO_SYMBOL_TABLE instead of painting unreadable rows.

#include "barcode/PDF417_Encoder.h"

namespace {
// kClusters[table][value]; empty until the standard's table is added.
constexpr int kClusters[3][1] = {{0}, {0}, {0}};
constexpr bool kHaveTable = false;
}  // namespace

int PDF417_Pattern(int table, int value) {
  if (!kHaveTable || table < 0 || table > 2 || value < 0 || value > 928) return 0;
  return kClusters[table][0];
}
