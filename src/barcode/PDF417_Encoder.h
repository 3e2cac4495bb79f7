#pragma once
// PDF417 symbols of ISO/IEC 15438: text, numeric and byte compaction, error-correction
// levels 0..8 over GF(929), the row and column layout, and the rows painted as one bit per
// module. Plain functions over one parameter record; no other state.

#include <cstdint>
#include <vector>

// Option bits.
inline constexpr int PDF417_FIXED_RECTANGLE = 1;   // keep codeRows x codeColumns when they fit
inline constexpr int PDF417_FIXED_COLUMNS = 2;     // keep codeColumns, compute the rows
inline constexpr int PDF417_FIXED_ROWS = 4;        // keep codeRows, compute the columns
inline constexpr int PDF417_USE_ERROR_LEVEL = 16;  // use the given errorLevel
inline constexpr int PDF417_USE_RAW_CODEWORDS = 64;
inline constexpr int PDF417_INVERT_BITMAP = 128;

// Results in PDF417_Param::error.
inline constexpr int PDF417_ERROR_SUCCESS = 0;
inline constexpr int PDF417_ERROR_TEXT_TOO_BIG = 1;     // over 5420 bytes or 926 codewords
inline constexpr int PDF417_ERROR_INVALID_PARAMS = 2;   // raw codewords that do not add up,
                                                        // or an ECI number out of range
inline constexpr int PDF417_ERROR_EMPTY_TEXT = 3;       // nothing to encode
inline constexpr int PDF417_ERROR_NO_SYMBOL_TABLE = 4;  // bar-space patterns not available

inline constexpr int PDF417_MAX_TEXT = 5420;
inline constexpr int PDF417_MAX_DATA_CODEWORDS = 926;
inline constexpr int PDF417_MAX_CODEWORDS = 928;

struct PDF417_Param {
  std::vector<std::uint8_t> outBits;  // rows of (bitColumns + 7) / 8 bytes, MSB first
  int lenBits = 0;
  int bitColumns = 0;   // 17 x codeColumns + 69
  int codeRows = 0;     // 3..90
  int codeColumns = 0;  // 1..30
  int codewords[PDF417_MAX_CODEWORDS] = {};
  int lenCodewords = 0;
  int errorLevel = 0;     // 0..8: 2^(level+1) error-correction codewords
  const char* text = "";  // borrowed: the caller keeps it alive
  int lenText = -1;       // below 0: up to the first zero byte
  int options = 0;
  int eci = -1;  // the ECI assignment number that opens the data (26: UTF-8); -1 for none
  float aspectRatio = 0.5f;  // wanted height / width when nothing is fixed
  float yHeight = 3.0f;      // row height in modules, for the same rule
  int error = PDF417_ERROR_SUCCESS;
};

// A run of the text and how it is compacted: 'T' text, 'N' numeric, 'B' byte; positions
// start .. end - 1.
struct PDF417_Segment {
  char type = 'T';
  int start = 0;
  int end = 0;
  int length() const { return end - start; }
  bool operator==(const PDF417_Segment&) const = default;
};

// Options 0, no bitmap, no error, text "", lenText -1, no ECI, yHeight 3, aspectRatio 0.5.
void PDF417_Init(PDF417_Param* p);
// The whole encoding; the result is in error and, on success, in the bitmap and layout.
void paintCode(PDF417_Param* p);
// The codeword stage of paintCode: compaction, layout, padding and error correction, without
// painting (codewords, lenCodewords, codeRows, codeColumns, errorLevel, error).
void PDF417_Codewords(PDF417_Param* p);
// Releases the bitmap.
void PDF417_Free(PDF417_Param* p);

// The segments of a text.
std::vector<PDF417_Segment> breakString(const char* text, int length);
// The largest level 1..8 whose 2^(level+1) codewords fit into n, else 0.
int maxPossibleErrorLevel(int n);
// The 17-module bar-space pattern of a codeword value in a cluster table (0, 1, 2 for the
// clusters 0, 3, 6), most significant bit first; 0 when the table is not available.
int PDF417_Pattern(int table, int value);
