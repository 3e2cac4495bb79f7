#pragma once
// Our own ECC200 symbol maker (ISO/IEC 16022) for what the iec16022 library cannot write: its
// encodings are the six encodation schemes and nothing else, so it has no way to put the ECI
// codeword (241) that tells readers how the bytes are encoded. This maker writes ASCII
// encodation, opened by an ECI when asked, and builds the symbol as the standard does:
// padding, Reed-Solomon blocks over GF(256) with the polynomial 301, interleaving, module
// placement and the finder and timing edges of every data region.

#include "barcode/Data_Matrix_Symbol.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

// One ECC200 size.
struct Data_Matrix_Size {
  int rows = 0, columns = 0;                // modules of the whole symbol
  int region_rows = 0, region_columns = 0;  // modules of one data region, without its edges
  int data = 0;                             // data codewords
  int ecc = 0;                              // error-correction codewords, all blocks together
  int blocks = 0;                           // interleaved blocks
};

// The 24 square sizes from 10 x 10 to 144 x 144, then the 6 rectangular ones.
const std::vector<Data_Matrix_Size>& Data_Matrix_Sizes();

// ASCII encodation of the bytes (two digits in one codeword, bytes above 127 after an upper
// shift), opened by the ECI of the assignment number when it is not below 0.
std::vector<std::uint8_t> Data_Matrix_Ascii_Codewords(const QByteArray& data, int eci);

// The symbol of the data codewords at the size W x H (0 x 0: the smallest that holds them).
// Invalid, with a reason, when no size holds them or W x H is no ECC200 size.
Data_Matrix_Symbol Data_Matrix_From_Codewords(const std::vector<std::uint8_t>& codewords,
                                              int width, int height);
