#include "barcode/QR_Encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace {

// Error-correction codewords per block and number of blocks, by level (L, M, Q, H) and
// version 1..40: the error correction characteristics of ISO/IEC 18004.
constexpr int kEccPerBlock[4][40] = {
    {7,  10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
     28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
     26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
     28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
     30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
};
constexpr int kBlockCount[4][40] = {
    {1, 1, 1, 1,  1,  2,  2,  2,  2,  4,  4,  4,  4,  4,  6,  6,  6,  6,  7,  8,
     8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
    {1,  1,  1,  2,  2,  4,  4,  4,  5,  5,  5,  8,  9,  9,  10, 10, 11, 13, 14, 16,
     17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
    {1,  1,  2,  2,  4,  4,  6,  6,  8,  8,  8,  10, 12, 16, 12, 17, 16, 18, 21, 20,
     23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
    {1,  1,  2,  4,  4,  4,  5,  6,  8,  8,  11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
     25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81},
};
// Alignment pattern centre coordinates besides 6, by version (ISO/IEC 18004).
constexpr int kAlignment[41][6] = {
    {},
    {},
    {18},
    {22},
    {26},
    {30},
    {34},
    {22, 38},
    {24, 42},
    {26, 46},
    {28, 50},
    {30, 54},
    {32, 58},
    {34, 62},
    {26, 46, 66},
    {26, 48, 70},
    {26, 50, 74},
    {30, 54, 78},
    {30, 56, 82},
    {30, 58, 86},
    {34, 62, 90},
    {28, 50, 72, 94},
    {26, 50, 74, 98},
    {30, 54, 78, 102},
    {28, 54, 80, 106},
    {32, 58, 84, 110},
    {30, 58, 86, 114},
    {34, 62, 90, 118},
    {26, 50, 74, 98, 122},
    {30, 54, 78, 102, 126},
    {26, 52, 78, 104, 130},
    {30, 56, 82, 108, 134},
    {34, 60, 86, 112, 138},
    {30, 58, 86, 114, 142},
    {34, 62, 90, 118, 146},
    {30, 54, 78, 102, 126, 150},
    {24, 50, 76, 102, 128, 154},
    {28, 54, 80, 106, 132, 158},
    {32, 58, 84, 110, 136, 162},
    {26, 54, 82, 110, 138, 166},
    {30, 58, 86, 114, 142, 170},
};

// Widths of the character count indicator by version group.
constexpr int nIndicatorLenNumeral[3] = {10, 12, 14};
constexpr int nIndicatorLenAlphabet[3] = {9, 11, 13};
constexpr int nIndicatorLen8Bit[3] = {8, 16, 16};
constexpr int nIndicatorLenKanji[3] = {8, 10, 12};

constexpr int kGroupFirst[3] = {1, 10, 27};
constexpr int kGroupLast[3] = {9, 26, 40};

constexpr unsigned char kFinderRows[7] = {0x7F, 0x41, 0x5D, 0x5D, 0x5D, 0x41, 0x7F};
constexpr unsigned char kAlignmentRows[5] = {0x1F, 0x11, 0x15, 0x11, 0x1F};

// Modules: 0x20 function module, 0x10 its dark colour; data modules keep the unmasked bit
// in 0x02 and the masked one in 0x01.
constexpr unsigned char kFunction = 0x20;
constexpr unsigned char kFunctionDark = 0x30;

int Version_Group(int version) { return version >= 27 ? 2 : version >= 10 ? 1 : 0; }

// Number of data modules (function patterns and format/version areas left out).
int Raw_Data_Modules(int version) {
  int modules = (16 * version + 128) * version + 64;
  if (version >= 2) {
    const int align = version / 7 + 2;
    modules -= (25 * align - 10) * align - 55;
    if (version >= 7) modules -= 36;
  }
  return modules;
}

struct Tables {
  std::array<QR_Encoder::Version_Info, 41> versions{};
  unsigned char exp[256]{};   // alpha^i, exp[255] = 1
  unsigned char log[256]{};   // log of each non-zero value; log[0] = log[1] = 0
  unsigned char exp2[512]{};  // alpha^(i mod 255): a sum of two logs needs no reduction
  // Generator polynomials (x - a^0)...(x - a^(n-1)) by degree n: the n coefficients below
  // the leading term, highest degree first, as field elements.
  std::array<std::vector<unsigned char>, 69> generator;

  Tables() {
    for (int v = 1; v <= 40; ++v) {
      QR_Encoder::Version_Info& info = versions[v];
      info.nVersionNo = v;
      info.ncAllCodeWord = Raw_Data_Modules(v) / 8;
      int count = 0;
      for (int c : kAlignment[v])
        if (c) info.nAlignPoint[count++] = c;
      info.ncAlignPoint = count;
      for (int level = 0; level < 4; ++level) {
        const int ecc = kEccPerBlock[level][v - 1];
        const int blocks = kBlockCount[level][v - 1];
        const int total = info.ncAllCodeWord;
        info.ncDataCodeWord[level] = total - ecc * blocks;
        const int short_len = total / blocks;
        const int long_blocks = total % blocks;
        info.RS_BlockInfo1[level] = {blocks - long_blocks, short_len, short_len - ecc};
        if (long_blocks)
          info.RS_BlockInfo2[level] = {long_blocks, short_len + 1, short_len + 1 - ecc};
      }
    }
    int x = 1;
    for (int i = 0; i < 255; ++i) {
      exp[i] = static_cast<unsigned char>(x);
      log[x] = static_cast<unsigned char>(i);
      x <<= 1;
      if (x & 0x100) x ^= 0x11D;  // x^8 + x^4 + x^3 + x^2 + 1
    }
    exp[255] = 1;
    log[1] = 0;
    for (int i = 0; i < 512; ++i) exp2[i] = exp[i % 255];
    for (int n = 1; n <= 68; ++n) {
      std::vector<unsigned char> poly(n + 1, 0);  // highest degree first, poly[0] = 1
      poly[0] = 1;
      for (int i = 0; i < n; ++i) {
        // multiply by (x - a^i); subtraction is addition in GF(2^8)
        for (int j = i + 1; j >= 1; --j) poly[j] ^= Mul(poly[j - 1], exp[i]);
      }
      generator[n].assign(poly.begin() + 1, poly.end());
    }
  }

  unsigned char Mul(unsigned char a, unsigned char b) const {
    if (!a || !b) return 0;
    return exp[(log[a] + log[b]) % 255];
  }
};

const Tables& T() {
  static const Tables tables;
  return tables;
}

int Source_Length(const unsigned char* source, int length) {
  if (length >= 1 || !source) return std::max(length, 0);
  return static_cast<int>(std::strlen(reinterpret_cast<const char*>(source)));
}

}  // namespace

const QR_Encoder::Version_Info& QR_Encoder::VersionInfo(int version) {
  return T().versions[std::clamp(version, 0, 40)];
}

int QR_Encoder::DataBitSize(int version, int level) {
  if (version < 1 || version > 40 || level < 0 || level > 3) return 0;
  return T().versions[version].ncDataCodeWord[level] * 8;
}

QR_Encoder::QR_Encoder() {
  std::memset(m_byModuleData, 0, sizeof m_byModuleData);
  std::memset(m_byDataCodeWord, 0, sizeof m_byDataCodeWord);
  std::memset(m_byAllCodeWord, 0, sizeof m_byAllCodeWord);
}

// ---- Character classes --------------------------------------------------------------

int QR_Encoder::EciHeaderBits(int eci) {
  // The designator: 0bbbbbbb, 10bbbbbb bbbbbbbb or 110bbbbb bbbbbbbb bbbbbbbb.
  if (eci < 0 || eci > 999999) return 0;
  if (eci < 128) return 4 + 8;
  if (eci < 16384) return 4 + 16;
  return 4 + 24;
}

bool QR_Encoder::IsNumeralData(unsigned char c) { return c >= '0' && c <= '9'; }

bool QR_Encoder::IsAlphabetData(unsigned char c) {
  if (c >= '0' && c <= '9') return true;
  if (c >= 'A' && c <= 'Z') return true;
  switch (c) {
    case ' ':
    case '$':
    case '%':
    case '*':
    case '+':
    case '-':
    case '.':
    case '/':
    case ':': return true;
    default: return false;
  }
}

bool QR_Encoder::IsKanjiData(unsigned char c1, unsigned char c2) {
  if (((c1 >= 0x81 && c1 <= 0x9F) || (c1 >= 0xE0 && c1 <= 0xEB)) && c2 >= 0x40) {
    if ((c1 == 0x9F && c2 > 0xFC) || (c1 == 0xEB && c2 > 0xBF)) return false;
    return true;
  }
  return false;
}

unsigned char QR_Encoder::AlphabetToBinaly(unsigned char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned char>(c - '0');
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c - 'A' + 10);
  switch (c) {
    case ' ': return 36;
    case '$': return 37;
    case '%': return 38;
    case '*': return 39;
    case '+': return 40;
    case '-': return 41;
    case '.': return 42;
    case '/': return 43;
    default: return 44;  // ':'
  }
}

std::uint16_t QR_Encoder::KanjiToBinaly(std::uint16_t wc) {
  if (wc >= 0x8140 && wc <= 0x9FFC)
    wc = static_cast<std::uint16_t>(wc - 0x8140);
  else
    wc = static_cast<std::uint16_t>(wc - 0xC140);
  return static_cast<std::uint16_t>(((wc >> 8) * 0xC0) + (wc & 0x00FF));
}

// ---- Modes ----------------------------------------------------------------------------

int QR_Encoder::Get_Encoding_Mode(const unsigned char* lpsSource, int ncLength) const {
  const int length = Source_Length(lpsSource, ncLength);
  bool any_8bit = false, any_kanji = false, any_alpha = false, any_digit = false;
  for (int i = 0; i < length; ++i) {
    const unsigned char c = lpsSource[i];
    if (m_bKanjiMode && i < length - 1 && IsKanjiData(c, lpsSource[i + 1]))
      any_kanji = true;
    else if (IsNumeralData(c))
      any_digit = true;
    else if (IsAlphabetData(c))
      any_alpha = true;
    else
      any_8bit = true;
  }
  if (any_8bit) return MODE_8BIT;
  if (any_kanji) return MODE_KANJI;
  if (any_alpha) return MODE_ALPHABET;
  if (any_digit) return MODE_NUMERAL;
  return MODE_8BIT;
}

int QR_Encoder::Get_Encoding_Mode_Test(const unsigned char* lpsSource, int ncLength,
                                       int byte_mode) const {
  const int length = Source_Length(lpsSource, ncLength);
  int mode = MODE_NUMERAL;
  for (int i = 0; i < length; ++i) {
    const unsigned char c = lpsSource[i];
    if (m_bKanjiMode && i < length - 1 && IsKanjiData(c, lpsSource[i + 1]))
      mode = MODE_KANJI;
    else if (IsNumeralData(c))
      mode = MODE_NUMERAL;
    else if (IsAlphabetData(c))
      mode = MODE_ALPHABET;
    else
      mode = MODE_8BIT;
    if (mode != byte_mode) return MODE_8BIT;
  }
  return mode;
}

// ---- Segments and bit stream ----------------------------------------------------------

int QR_Encoder::GetBitLength(int nMode, int ncData, int nVerGroup) {
  const int g = std::clamp(nVerGroup, 0, 2);
  switch (nMode) {
    case MODE_NUMERAL: {
      int bits = 4 + nIndicatorLenNumeral[g] + 10 * (ncData / 3);
      if (ncData % 3 == 1) bits += 4;
      if (ncData % 3 == 2) bits += 7;
      return bits;
    }
    case MODE_ALPHABET: return 4 + nIndicatorLenAlphabet[g] + 11 * (ncData / 2) + 6 * (ncData % 2);
    case MODE_8BIT: return 4 + nIndicatorLen8Bit[g] + 8 * ncData;
    default: return 4 + nIndicatorLenKanji[g] + 13 * (ncData / 2);
  }
}

int QR_Encoder::SetBitStream(int nIndex, std::uint16_t wData, int ncData) {
  if (nIndex == -1 || nIndex + ncData > MAX_DATA_BITS) return -1;
  for (int i = 0; i < ncData; ++i) {
    if (wData & (1 << (ncData - i - 1)))
      m_byDataCodeWord[(nIndex + i) / 8] |=
          static_cast<unsigned char>(1 << (7 - ((nIndex + i) % 8)));
  }
  return nIndex + ncData;
}

bool QR_Encoder::EncodeSourceData(const unsigned char* lpsSource, int ncLength, int nVerGroup) {
  const int g = std::clamp(nVerGroup, 0, 2);
  const int length = Source_Length(lpsSource, ncLength);
  m_byBlockMode.clear();
  m_nBlockLength.clear();
  m_ncDataBlock = 0;

  // The segments of fewest bits (the minimal bit length method of ISO/IEC 18004): for every
  // position and mode, the cheapest stream of the bytes before it whose last segment is in
  // that mode. Costs are in sixths of a bit, so that a digit (10/3 bits) and an
  // alphanumeric character (11/2 bits) cost whole units; a segment's cost rounded up to
  // whole bits is its exact length, so rounding up where a new segment opens keeps the
  // sums exact.
  constexpr int kModes = 4;
  constexpr int kNone = -1;
  constexpr int kInfinite = std::numeric_limits<int>::max() / 4;
  const int header[kModes] = {6 * (4 + nIndicatorLenNumeral[g]), 6 * (4 + nIndicatorLenAlphabet[g]),
                              6 * (4 + nIndicatorLen8Bit[g]), 6 * (4 + nIndicatorLenKanji[g])};
  const int per_char[kModes] = {20, 33, 48, 78};  // a Kanji character takes two bytes
  auto whole_bits = [](int sixths) { return (sixths + 5) / 6 * 6; };
  // The ECI header comes before the first segment.
  const int eci_bits = EciHeaderBits(m_nEci);

  // cost[i][m]: bytes 0 .. i-1 encoded, the last segment in mode m; from[i][m]: the mode
  // of the segment before the character that ends at i (kNone: it opened the stream).
  std::vector<std::array<int, kModes>> cost(size_t(length) + 1);
  std::vector<std::array<signed char, kModes>> from(size_t(length) + 1);
  for (auto& c : cost) c.fill(kInfinite);
  cost[0].fill(0);
  for (int i = 0; i < length; ++i) {
    const unsigned char c = lpsSource[i];
    bool can[kModes] = {IsNumeralData(c), IsAlphabetData(c), true,
                        m_bKanjiMode && i + 1 < length && IsKanjiData(c, lpsSource[i + 1])};
    for (int m = 0; m < kModes; ++m) {
      if (!can[m]) continue;
      // Continue a segment of mode m, or open one after the cheapest other ending.
      int best = i == 0 ? kInfinite : cost[i][m];
      int best_from = m;
      if (i == 0) {
        best = 6 * eci_bits + header[m];
        best_from = kNone;
      }
      for (int k = 0; k < kModes && i > 0; ++k) {
        if (k == m || cost[i][k] >= kInfinite) continue;
        const int opened = whole_bits(cost[i][k]) + header[m];
        if (opened < best) {
          best = opened;
          best_from = k;
        }
      }
      if (best >= kInfinite) continue;
      const int next = m == MODE_KANJI ? i + 2 : i + 1;
      const int total = best + per_char[m];
      if (total < cost[size_t(next)][m]) {
        cost[size_t(next)][m] = total;
        from[size_t(next)][m] = static_cast<signed char>(best_from);
      }
    }
  }
  if (length == 0) return false;

  int mode_at_end = 0;
  for (int m = 1; m < kModes; ++m)
    if (whole_bits(cost[size_t(length)][m]) < whole_bits(cost[size_t(length)][mode_at_end]))
      mode_at_end = m;
  const long total = whole_bits(cost[size_t(length)][mode_at_end]) / 6;
  // Capacity: the finished stream must fit the largest version of the group.
  if (total > DataBitSize(kGroupLast[g], std::clamp(m_nLevel, 0, 3))) return false;

  // Back from the end, one character at a time. A segment never follows one of its own
  // mode (continuing is cheaper than opening), so equal neighbours form one segment.
  for (int i = length, m = mode_at_end; i > 0;) {
    const int step = m == MODE_KANJI ? 2 : 1;
    if (m_byBlockMode.empty() || m_byBlockMode.back() != m) {
      m_byBlockMode.push_back(static_cast<unsigned char>(m));
      m_nBlockLength.push_back(0);
    }
    m_nBlockLength.back() += step;
    const int before = from[size_t(i)][m];
    i -= step;
    if (before != kNone) m = before;
  }
  std::reverse(m_byBlockMode.begin(), m_byBlockMode.end());
  std::reverse(m_nBlockLength.begin(), m_nBlockLength.end());
  m_ncDataBlock = static_cast<int>(m_byBlockMode.size());
  auto& mode = m_byBlockMode;
  auto& len = m_nBlockLength;

  // The stream.
  std::memset(m_byDataCodeWord, 0, sizeof m_byDataCodeWord);
  m_ncDataCodeWordBit = 0;
  int pos = 0;
  if (eci_bits == 12) {
    m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, 7, 4);
    m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, std::uint16_t(m_nEci), 8);
  } else if (eci_bits == 20) {
    m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, 7, 4);
    m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, 2, 2);
    m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, std::uint16_t(m_nEci), 14);
  } else if (eci_bits == 28) {
    m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, 7, 4);
    m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, 6, 3);
    m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, std::uint16_t(m_nEci >> 16), 5);
    m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, std::uint16_t(m_nEci & 0xFFFF), 16);
  }
  for (int i = 0; i < m_ncDataBlock && m_ncDataCodeWordBit != -1; ++i) {
    const unsigned char* data = lpsSource + pos;
    const int count = len[i];
    int& bit = m_ncDataCodeWordBit;
    switch (mode[i]) {
      case MODE_NUMERAL: {
        bit = SetBitStream(bit, 1, 4);
        bit = SetBitStream(bit, static_cast<std::uint16_t>(count), nIndicatorLenNumeral[g]);
        for (int j = 0; j < count; j += 3) {
          const int rest = std::min(3, count - j);
          int value = 0;
          for (int k = 0; k < rest; ++k) value = value * 10 + (data[j + k] - '0');
          bit = SetBitStream(bit, static_cast<std::uint16_t>(value),
                             rest == 3   ? 10
                             : rest == 2 ? 7
                                         : 4);
        }
        break;
      }
      case MODE_ALPHABET: {
        bit = SetBitStream(bit, 2, 4);
        bit = SetBitStream(bit, static_cast<std::uint16_t>(count), nIndicatorLenAlphabet[g]);
        for (int j = 0; j < count; j += 2) {
          if (j + 1 < count) {
            const int value = AlphabetToBinaly(data[j]) * 45 + AlphabetToBinaly(data[j + 1]);
            bit = SetBitStream(bit, static_cast<std::uint16_t>(value), 11);
          } else {
            bit = SetBitStream(bit, AlphabetToBinaly(data[j]), 6);
          }
        }
        break;
      }
      case MODE_8BIT:
        bit = SetBitStream(bit, 4, 4);
        bit = SetBitStream(bit, static_cast<std::uint16_t>(count), nIndicatorLen8Bit[g]);
        for (int j = 0; j < count; ++j) bit = SetBitStream(bit, data[j], 8);
        break;
      default:
        bit = SetBitStream(bit, 8, 4);
        bit = SetBitStream(bit, static_cast<std::uint16_t>(count / 2), nIndicatorLenKanji[g]);
        for (int j = 0; j + 1 < count; j += 2)
          bit = SetBitStream(
              bit, KanjiToBinaly(static_cast<std::uint16_t>(data[j] * 256 + data[j + 1])), 13);
        break;
    }
    pos += count;
  }
  return m_ncDataCodeWordBit != -1;
}

int QR_Encoder::GetEncodeVersion(int nVersion, const unsigned char* lpsSource, int ncLength) {
  const int level = std::clamp(m_nLevel, 0, 3);
  for (int g = Version_Group(nVersion); g <= 2; ++g) {
    if (!EncodeSourceData(lpsSource, ncLength, g)) continue;
    const int needed = (m_ncDataCodeWordBit + 7) / 8;
    for (int v = kGroupFirst[g]; v <= kGroupLast[g]; ++v)
      if (T().versions[v].ncDataCodeWord[level] >= needed) return v;
  }
  return 0;
}

// ---- The whole encoding ---------------------------------------------------------------

bool QR_Encoder::EncodeData(int nLevel, int nVersion, bool bAutoExtent, int nMaskingNo,
                            const unsigned char* lpsSource, int ncSource) {
  if (nLevel < 0 || nLevel > 3 || nVersion < 0 || nVersion > 40 || nMaskingNo < -1 ||
      nMaskingNo > 7)
    return false;
  m_nLevel = nLevel;
  m_nVersion_pass = nVersion == 0 ? 1 : nVersion;
  m_nMaskingNo = nMaskingNo;
  m_bAutoExtent = bAutoExtent;
  const int length = Source_Length(lpsSource, ncSource);
  if (length == 0 || length > MAX_SOURCE_BYTES) return false;

  const int found = GetEncodeVersion(nVersion, lpsSource, length);
  if (found == 0) return false;
  int version;
  if (nVersion == 0)
    version = found;
  else if (nVersion >= found)
    version = nVersion;
  else if (bAutoExtent)
    version = found;
  else
    return false;

  const Version_Info& info = T().versions[version];
  const int data_codewords = info.ncDataCodeWord[nLevel];
  const int capacity = data_codewords * 8;

  // Terminator and padding.
  const int terminator = std::min(4, capacity - m_ncDataCodeWordBit);
  if (terminator > 0) m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, 0, terminator);
  for (int i = (m_ncDataCodeWordBit + 7) / 8, k = 0; i < data_codewords; ++i, ++k)
    m_byDataCodeWord[i] = (k % 2 == 0) ? 0xEC : 0x11;

  // Blocks, error correction and interleaving.
  const RS_Block& kind1 = info.RS_BlockInfo1[nLevel];
  const RS_Block& kind2 = info.RS_BlockInfo2[nLevel];
  const int blocks = kind1.ncRSBlock + kind2.ncRSBlock;
  std::memset(m_byAllCodeWord, 0, sizeof m_byAllCodeWord);
  int data_pos = 0;
  for (int b = 0; b < blocks; ++b) {
    const RS_Block& kind = b < kind1.ncRSBlock ? kind1 : kind2;
    const int d = kind.ncDataCodeWord;
    for (int k = 0; k < d; ++k) {
      const int target = k < kind1.ncDataCodeWord
                             ? k * blocks + b
                             : kind1.ncDataCodeWord * blocks + (b - kind1.ncRSBlock);
      m_byAllCodeWord[target] = m_byDataCodeWord[data_pos + k];
    }
    const int e = kind.ncAllCodeWord - d;
    unsigned char work[256] = {};
    std::memcpy(work, m_byDataCodeWord + data_pos, static_cast<size_t>(d));
    GetRSCodeWord(work, d, e);
    for (int k = 0; k < e; ++k) m_byAllCodeWord[data_codewords + k * blocks + b] = work[k];
    data_pos += d;
  }
  m_ncAllCodeWord = info.ncAllCodeWord;

  m_nVersion = version;
  m_nSymbleSize = version * 4 + 17;
  FormatModule();
  return true;
}

void QR_Encoder::GetRSCodeWord(unsigned char* work, int ncDataCodeWord, int ncRSCodeWord) {
  const Tables& t = T();
  if (ncRSCodeWord < 1 || ncRSCodeWord > 68) return;
  const std::vector<unsigned char>& gen = t.generator[ncRSCodeWord];
  // The remainder of the division by the generator, one data codeword at a time.
  unsigned char remainder[68] = {};
  const int last = ncRSCodeWord - 1;
  for (int i = 0; i < ncDataCodeWord; ++i) {
    const unsigned char factor = work[i] ^ remainder[0];
    std::memmove(remainder, remainder + 1, static_cast<size_t>(last));
    remainder[last] = 0;
    if (!factor) continue;
    const int log_factor = t.log[factor];
    for (int j = 0; j <= last; ++j)
      if (gen[j]) remainder[j] ^= t.exp2[t.log[gen[j]] + log_factor];
  }
  std::memcpy(work, remainder, static_cast<size_t>(ncRSCodeWord));
}

namespace {

// ---- Packed modules for the mask penalty -------------------------------------------------
// A line of up to 177 modules in three words, module k in bit k % 64 of word k / 64; a grid
// holds its rows (bit x of row y) and its columns (bit y of column x).

constexpr int kLineWords = 3;
using Line = std::array<std::uint64_t, kLineWords>;

struct Packed_Grid {
  Line rows[QR_Encoder::MAX_MODULESIZE];
  Line cols[QR_Encoder::MAX_MODULESIZE];
};

bool Get_Bit(const Line& line, int k) { return (line[size_t(k >> 6)] >> (k & 63)) & 1; }

void Set_Bit(Line& line, int k, bool value) {
  const std::uint64_t bit = std::uint64_t(1) << (k & 63);
  if (value)
    line[size_t(k >> 6)] |= bit;
  else
    line[size_t(k >> 6)] &= ~bit;
}

// Bit k of the answer is bit k + 1 of the line.
Line Next_Module(const Line& l) {
  return {(l[0] >> 1) | (l[1] << 63), (l[1] >> 1) | (l[2] << 63), l[2] >> 1};
}

// Bits 0 .. n-1.
Line Low_Bits(int n) {
  Line line{};
  for (int w = 0; w < kLineWords; ++w) {
    const int bits = std::clamp(n - 64 * w, 0, 64);
    line[size_t(w)] = bits == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << bits) - 1;
  }
  return line;
}

// The modules whose value has any of the bits.
void Pack(const unsigned char (*modules)[QR_Encoder::MAX_MODULESIZE], int size, unsigned char bits,
          Packed_Grid& grid) {
  std::memset(&grid, 0, sizeof grid);
  for (int x = 0; x < size; ++x)
    for (int y = 0; y < size; ++y)
      if (modules[x][y] & bits) {
        Set_Bit(grid.rows[y], x, true);
        Set_Bit(grid.cols[x], y, true);
      }
}

// The modules a mask may flip: all but the function patterns.
void Pack_Data_Area(const unsigned char (*modules)[QR_Encoder::MAX_MODULESIZE], int size,
                    Packed_Grid& grid) {
  std::memset(&grid, 0, sizeof grid);
  for (int x = 0; x < size; ++x)
    for (int y = 0; y < size; ++y)
      if (!(modules[x][y] & kFunction)) {
        Set_Bit(grid.rows[y], x, true);
        Set_Bit(grid.cols[x], y, true);
      }
}

// The eight mask patterns over the largest symbol (a smaller one uses its top-left part):
// row i, column j is set where the mask flips the module.
struct Mask_Patterns {
  Line rows[8][QR_Encoder::MAX_MODULESIZE]{};
  Line cols[8][QR_Encoder::MAX_MODULESIZE]{};
  Mask_Patterns() {
    for (int p = 0; p < 8; ++p)
      for (int i = 0; i < QR_Encoder::MAX_MODULESIZE; ++i)
        for (int j = 0; j < QR_Encoder::MAX_MODULESIZE; ++j) {
          bool flip;
          switch (p) {
            case 0: flip = (i + j) % 2 == 0; break;
            case 1: flip = i % 2 == 0; break;
            case 2: flip = j % 3 == 0; break;
            case 3: flip = (i + j) % 3 == 0; break;
            case 4: flip = ((i / 2) + (j / 3)) % 2 == 0; break;
            case 5: flip = (i * j) % 2 + (i * j) % 3 == 0; break;
            case 6: flip = ((i * j) % 2 + (i * j) % 3) % 2 == 0; break;
            default: flip = ((i * j) % 3 + (i + j) % 2) % 2 == 0; break;
          }
          if (flip) {
            Set_Bit(rows[p][i], j, true);
            Set_Bit(cols[p][j], i, true);
          }
        }
  }
};

const Mask_Patterns& Masks() {
  static const Mask_Patterns patterns;
  return patterns;
}

// Calls put(x, y, dark) for the 15 format information bits of the level and mask, in both
// copies, and for the dark module beside the bottom-left finder.
template <typename Put>
void Format_Info_Modules(int level, int mask, int size, Put&& put) {
  static constexpr int kLevelBits[4] = {1, 0, 3, 2};  // L 01, M 00, Q 11, H 10
  const int value = kLevelBits[std::clamp(level, 0, 3)] * 8 + mask;
  int rem = value << 10;
  for (int i = 0; i < 5; ++i)
    if (rem & (1 << (14 - i))) rem ^= (0x537 << (4 - i));
  const int word = ((value << 10) + rem) ^ 0x5412;
  for (int k = 0; k < 15; ++k) {
    const bool dark = (word >> k) & 1;
    if (k <= 5)
      put(8, k, dark);
    else if (k == 6)
      put(8, 7, dark);
    else if (k == 7)
      put(8, 8, dark);
    else if (k == 8)
      put(7, 8, dark);
    else
      put(14 - k, 8, dark);
    if (k <= 7)
      put(size - 1 - k, 8, dark);
    else
      put(8, size - 15 + k, dark);
  }
  put(8, size - 8, true);
}

// Runs of five or more of one colour (3 and 1 for each module past five) and finder-like
// dark runs 1:1:3:1:1 with four light modules, or the edge, on one side (40 each) in one
// line. A module outside the symbol counts as light.
int Line_Penalty(const Line& line, int size) {
  int runs[QR_Encoder::MAX_MODULESIZE + 1];
  int count = 0, start = 0;
  const Line edges = Low_Bits(size - 1);
  const Line next = Next_Module(line);
  for (int w = 0; w < kLineWords; ++w) {
    // A bit where module k and module k + 1 differ: a run ends at k.
    std::uint64_t change = (line[size_t(w)] ^ next[size_t(w)]) & edges[size_t(w)];
    while (change) {
      const int k = 64 * w + std::countr_zero(change);
      change &= change - 1;
      runs[count++] = k + 1 - start;
      start = k + 1;
    }
  }
  runs[count++] = size - start;

  int penalty = 0;
  for (int i = 0; i < count; ++i)
    if (runs[i] >= 5) penalty += runs[i] - 2;
  // Runs alternate in colour; the first is dark when module 0 is.
  for (int i = (line[0] & 1) ? 0 : 1; i + 4 < count; i += 2) {
    if (runs[i] != 1 || runs[i + 1] != 1 || runs[i + 2] != 3 || runs[i + 3] != 1 ||
        runs[i + 4] != 1)
      continue;
    const bool before = i <= 1 || runs[i - 1] >= 4;  // the run before reaches the edge
    const bool after = i + 5 >= count - 1 || runs[i + 5] >= 4;
    if (before || after) penalty += 40;
  }
  return penalty;
}

int Penalty(const Packed_Grid& grid, int size) {
  int penalty = 0;
  for (int i = 0; i < size; ++i)
    penalty += Line_Penalty(grid.rows[i], size) + Line_Penalty(grid.cols[i], size);

  // 2 x 2 blocks of one colour: a module equal to its right neighbour, in two rows that
  // agree there.
  const Line inner = Low_Bits(size - 1);
  int blocks = 0;
  for (int y = 0; y + 1 < size; ++y) {
    const Line& a = grid.rows[y];
    const Line& b = grid.rows[y + 1];
    const Line a1 = Next_Module(a), b1 = Next_Module(b);
    for (int w = 0; w < kLineWords; ++w)
      blocks += std::popcount(~(a[size_t(w)] ^ a1[size_t(w)]) & ~(b[size_t(w)] ^ b1[size_t(w)]) &
                              ~(a[size_t(w)] ^ b[size_t(w)]) & inner[size_t(w)]);
  }
  penalty += 3 * blocks;

  // Balance of light and dark: 10 for each whole step of 5 % between the dark share and
  // half, from the exact share (54.7 % dark is less than one step).
  int dark = 0;
  for (int y = 0; y < size; ++y)
    for (int w = 0; w < kLineWords; ++w) dark += std::popcount(grid.rows[y][size_t(w)]);
  const int total = size * size;
  penalty += (std::abs(20 * dark - 10 * total) / total) * 10;
  return penalty;
}

}  // namespace

// ---- The grid -------------------------------------------------------------------------

void QR_Encoder::FormatModule() {
  std::memset(m_byModuleData, 0, sizeof m_byModuleData);
  SetFunctionModule();
  SetCodeWordPattern();

  if (m_nMaskingNo == -1) {
    // The eight masks scored on packed rows and columns: the symbol unmasked, the modules
    // each mask may flip, and the format information of each.
    const int size = m_nSymbleSize;
    auto plain = std::make_unique<Packed_Grid>();
    auto area = std::make_unique<Packed_Grid>();
    auto masked = std::make_unique<Packed_Grid>();
    Pack(m_byModuleData, size, 0x12, *plain);  // dark function modules, unmasked data bits
    Pack_Data_Area(m_byModuleData, size, *area);
    const Mask_Patterns& patterns = Masks();
    int best = std::numeric_limits<int>::max();
    for (int mask = 0; mask < 8; ++mask) {
      for (int i = 0; i < size; ++i)
        for (int w = 0; w < kLineWords; ++w) {
          masked->rows[i][w] = plain->rows[i][w] ^ (patterns.rows[mask][i][w] & area->rows[i][w]);
          masked->cols[i][w] = plain->cols[i][w] ^ (patterns.cols[mask][i][w] & area->cols[i][w]);
        }
      Format_Info_Modules(m_nLevel, mask, size, [&](int x, int y, bool dark) {
        Set_Bit(masked->rows[y], x, dark);
        Set_Bit(masked->cols[x], y, dark);
      });
      const int penalty = Penalty(*masked, size);
      if (penalty < best) {
        best = penalty;
        m_nMaskingNo = mask;
      }
    }
  }
  SetMaskingPattern(m_nMaskingNo);
  SetFormatInfoPattern(m_nMaskingNo);

  for (int x = 0; x < m_nSymbleSize; ++x)
    for (int y = 0; y < m_nSymbleSize; ++y)
      m_byModuleData[x][y] = (m_byModuleData[x][y] & 0x11) ? 1 : 0;
}

void QR_Encoder::SetFinderPattern(int x, int y) {
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 7; ++c)
      m_byModuleData[x + c][y + r] = (kFinderRows[r] & (1 << (6 - c))) ? kFunctionDark : kFunction;
}

void QR_Encoder::SetAlignmentPattern(int x, int y) {
  if (m_byModuleData[x][y] & kFunction) return;
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 5; ++c)
      m_byModuleData[x - 2 + c][y - 2 + r] =
          (kAlignmentRows[r] & (1 << (4 - c))) ? kFunctionDark : kFunction;
}

void QR_Encoder::SetFunctionModule() {
  const int s = m_nSymbleSize;
  SetFinderPattern(0, 0);
  SetFinderPattern(s - 7, 0);
  SetFinderPattern(0, s - 7);
  for (int i = 0; i < 8; ++i) {
    m_byModuleData[i][7] = m_byModuleData[7][i] = kFunction;
    m_byModuleData[s - 8][i] = m_byModuleData[s - 8 + i][7] = kFunction;
    m_byModuleData[i][s - 8] = m_byModuleData[7][s - 8 + i] = kFunction;
  }
  for (int i = 0; i < 9; ++i) m_byModuleData[i][8] = m_byModuleData[8][i] = kFunction;
  for (int i = 0; i < 8; ++i)
    m_byModuleData[s - 8 + i][8] = m_byModuleData[8][s - 8 + i] = kFunction;

  SetVersionPattern();

  const Version_Info& info = T().versions[m_nVersion];
  for (int i = 0; i < info.ncAlignPoint; ++i) {
    const int ci = info.nAlignPoint[i];
    SetAlignmentPattern(ci, 6);
    SetAlignmentPattern(6, ci);
    for (int j = 0; j < info.ncAlignPoint; ++j) SetAlignmentPattern(ci, info.nAlignPoint[j]);
  }

  for (int i = 8; i <= s - 9; ++i) {
    const unsigned char timing = (i % 2 == 0) ? kFunctionDark : kFunction;
    m_byModuleData[i][6] = timing;
    m_byModuleData[6][i] = timing;
  }
}

void QR_Encoder::SetVersionPattern() {
  if (m_nVersion < 7) return;
  int word = m_nVersion << 12;
  for (int i = 0; i < 6; ++i)
    if (word & (1 << (17 - i))) word ^= (0x1F25 << (5 - i));
  word += m_nVersion << 12;
  const int s = m_nSymbleSize;
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 3; ++j) {
      const unsigned char v = (word & (1 << (i * 3 + j))) ? kFunctionDark : kFunction;
      m_byModuleData[s - 11 + j][i] = v;
      m_byModuleData[i][s - 11 + j] = v;
    }
}

void QR_Encoder::SetCodeWordPattern() {
  const int s = m_nSymbleSize;
  int bit = 0;
  const int total_bits = m_ncAllCodeWord * 8;
  for (int right = s - 1; right >= 1; right -= 2) {
    if (right == 6) right = 5;
    const bool upward = ((right + 1) & 2) == 0;
    for (int step = 0; step < s; ++step) {
      const int y = upward ? s - 1 - step : step;
      for (int j = 0; j < 2; ++j) {
        const int x = right - j;
        if (m_byModuleData[x][y] & kFunction) continue;
        if (bit < total_bits) {
          if (m_byAllCodeWord[bit / 8] & (0x80 >> (bit % 8))) m_byModuleData[x][y] = 0x02;
          ++bit;
        }
      }
    }
  }
}

void QR_Encoder::SetMaskingPattern(int nPatternNo) {
  const int s = m_nSymbleSize;
  const Line* pattern = Masks().rows[std::clamp(nPatternNo, 0, 7)];
  for (int i = 0; i < s; ++i) {    // row
    for (int j = 0; j < s; ++j) {  // column
      unsigned char& m = m_byModuleData[j][i];
      if (m & kFunction) continue;
      const unsigned char bit =
          static_cast<unsigned char>(((m & 0x02) >> 1) ^ (Get_Bit(pattern[i], j) ? 1 : 0));
      m = static_cast<unsigned char>((m & ~0x01) | bit);
    }
  }
}

void QR_Encoder::SetFormatInfoPattern(int nPatternNo) {
  Format_Info_Modules(m_nLevel, nPatternNo, m_nSymbleSize, [this](int x, int y, bool dark) {
    m_byModuleData[x][y] = dark ? kFunctionDark : kFunction;
  });
}

int QR_Encoder::CountPenalty() const {
  auto grid = std::make_unique<Packed_Grid>();
  Pack(m_byModuleData, m_nSymbleSize, 0x11, *grid);
  return Penalty(*grid, m_nSymbleSize);
}
