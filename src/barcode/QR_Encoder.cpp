#include "barcode/QR_Encoder.h"

#include <algorithm>
#include <array>
#include <cstring>

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
  unsigned char exp[256]{};  // alpha^i, exp[255] = 1
  unsigned char log[256]{};  // log of each non-zero value; log[0] = log[1] = 0
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

void QR_Encoder::Add_Segment_To(int target, int removed) {
  m_nBlockLength[target] += m_nBlockLength[removed];
  m_byBlockMode.erase(m_byBlockMode.begin() + removed);
  m_nBlockLength.erase(m_nBlockLength.begin() + removed);
  --m_ncDataBlock;
}

bool QR_Encoder::EncodeSourceData(const unsigned char* lpsSource, int ncLength, int nVerGroup) {
  const int g = std::clamp(nVerGroup, 0, 2);
  const int length = Source_Length(lpsSource, ncLength);
  m_byBlockMode.clear();
  m_nBlockLength.clear();
  m_ncDataBlock = 0;

  // Runs of one class.
  for (int i = 0; i < length; ++i) {
    const unsigned char c = lpsSource[i];
    const bool kanji = m_bKanjiMode && i < length - 1 && IsKanjiData(c, lpsSource[i + 1]);
    const int mode = kanji               ? MODE_KANJI
                     : IsNumeralData(c)  ? MODE_NUMERAL
                     : IsAlphabetData(c) ? MODE_ALPHABET
                                         : MODE_8BIT;
    if (m_byBlockMode.empty() || mode != m_byBlockMode.back()) {
      m_byBlockMode.push_back(static_cast<unsigned char>(mode));
      m_nBlockLength.push_back(0);
    }
    if (kanji) {
      m_nBlockLength.back() += 2;
      ++i;
    } else {
      m_nBlockLength.back() += 1;
    }
  }
  m_ncDataBlock = static_cast<int>(m_byBlockMode.size());

  auto bits = [g](int mode, int len) { return GetBitLength(mode, len, g); };
  auto& mode = m_byBlockMode;
  auto& len = m_nBlockLength;

  // First pass: numeric and alphanumeric neighbours.
  int n = 0;
  while (n < m_ncDataBlock - 1) {
    const int m0 = mode[n], m1 = mode[n + 1];
    const bool pair =
        (m0 == MODE_NUMERAL && m1 == MODE_ALPHABET) || (m0 == MODE_ALPHABET && m1 == MODE_NUMERAL);
    if (!pair) {
      ++n;
      continue;
    }
    const int src = bits(m0, len[n]) + bits(m1, len[n + 1]);
    const int dst = bits(MODE_ALPHABET, len[n] + len[n + 1]);
    if (src <= dst) {
      ++n;
      continue;
    }
    int front = 0, behind = 0;
    if (n >= 1 && mode[n - 1] == MODE_8BIT) {
      front = bits(MODE_8BIT, len[n - 1] + len[n]) + bits(m1, len[n + 1]);
      if (front > dst + bits(MODE_8BIT, len[n - 1])) front = 0;
    }
    if (n < m_ncDataBlock - 2 && mode[n + 2] == MODE_8BIT) {
      behind = bits(m0, len[n]) + bits(MODE_8BIT, len[n + 1] + len[n + 2]);
      if (behind > dst + bits(MODE_8BIT, len[n + 2])) behind = 0;
    }
    const bool join_front = front && (!behind || front < behind);
    const bool join_behind = behind && !join_front;
    if (join_front) {
      Add_Segment_To(n - 1, n);
    } else if (join_behind) {
      mode[n + 1] = MODE_8BIT;
      Add_Segment_To(n + 1, n + 2);
    } else {
      if (n < m_ncDataBlock - 2 && mode[n + 2] == MODE_ALPHABET) Add_Segment_To(n + 1, n + 2);
      mode[n] = MODE_ALPHABET;
      Add_Segment_To(n, n + 1);
      if (n >= 1 && mode[n - 1] == MODE_ALPHABET) Add_Segment_To(n - 1, n);
    }
  }

  // Second pass: short segments into 8-bit.
  const int joint = 4 + nIndicatorLen8Bit[g];
  n = 0;
  while (n < m_ncDataBlock - 1) {
    const int src = bits(mode[n], len[n]) + bits(mode[n + 1], len[n + 1]);
    int dst = bits(MODE_8BIT, len[n] + len[n + 1]);
    if (n >= 1 && mode[n - 1] == MODE_8BIT) dst -= joint;
    if (n < m_ncDataBlock - 2 && mode[n + 2] == MODE_8BIT) dst -= joint;
    if (src <= dst) {
      ++n;
      continue;
    }
    if (n >= 1 && mode[n - 1] == MODE_8BIT) {
      Add_Segment_To(n - 1, n);
      --n;
    }
    if (n < m_ncDataBlock - 2 && mode[n + 2] == MODE_8BIT) Add_Segment_To(n + 1, n + 2);
    mode[n] = MODE_8BIT;
    Add_Segment_To(n, n + 1);
    if (n > 0) --n;
  }

  // Capacity: the finished stream must fit the largest version of the group.
  long total = 0;
  for (int i = 0; i < m_ncDataBlock; ++i) total += bits(mode[i], len[i]);
  if (total > DataBitSize(kGroupLast[g], std::clamp(m_nLevel, 0, 3))) return false;

  // The stream.
  std::memset(m_byDataCodeWord, 0, sizeof m_byDataCodeWord);
  m_ncDataCodeWordBit = 0;
  int pos = 0;
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
  const int span = ncDataCodeWord + ncRSCodeWord;
  for (int i = 0; i < ncDataCodeWord; ++i) {
    const unsigned char lead = work[0];
    std::memmove(work, work + 1, static_cast<size_t>(span - 1));
    work[span - 1] = 0;
    if (lead)
      for (int j = 0; j < ncRSCodeWord; ++j) work[j] ^= t.Mul(gen[j], lead);
  }
}

// ---- The grid -------------------------------------------------------------------------

void QR_Encoder::FormatModule() {
  std::memset(m_byModuleData, 0, sizeof m_byModuleData);
  SetFunctionModule();
  SetCodeWordPattern();

  if (m_nMaskingNo == -1) {
    m_nMaskingNo = 0;
    SetMaskingPattern(0);
    SetFormatInfoPattern(0);
    int best = CountPenalty();
    for (int i = 1; i <= 7; ++i) {
      SetMaskingPattern(i);
      SetFormatInfoPattern(i);
      const int penalty = CountPenalty();
      if (penalty < best) {
        best = penalty;
        m_nMaskingNo = i;
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
  for (int i = 0; i < s; ++i) {    // row
    for (int j = 0; j < s; ++j) {  // column
      unsigned char& m = m_byModuleData[j][i];
      if (m & kFunction) continue;
      bool cond;
      switch (nPatternNo) {
        case 0: cond = (i + j) % 2 == 0; break;
        case 1: cond = i % 2 == 0; break;
        case 2: cond = j % 3 == 0; break;
        case 3: cond = (i + j) % 3 == 0; break;
        case 4: cond = ((i / 2) + (j / 3)) % 2 == 0; break;
        case 5: cond = (i * j) % 2 + (i * j) % 3 == 0; break;
        case 6: cond = ((i * j) % 2 + (i * j) % 3) % 2 == 0; break;
        default: cond = ((i * j) % 3 + (i + j) % 2) % 2 == 0; break;
      }
      const unsigned char bit = static_cast<unsigned char>(((m & 0x02) >> 1) ^ (cond ? 1 : 0));
      m = static_cast<unsigned char>((m & ~0x01) | bit);
    }
  }
}

void QR_Encoder::SetFormatInfoPattern(int nPatternNo) {
  static constexpr int kLevelBits[4] = {1, 0, 3, 2};  // L 01, M 00, Q 11, H 10
  const int value = kLevelBits[std::clamp(m_nLevel, 0, 3)] * 8 + nPatternNo;
  int rem = value << 10;
  for (int i = 0; i < 5; ++i)
    if (rem & (1 << (14 - i))) rem ^= (0x537 << (4 - i));
  const int word = ((value << 10) + rem) ^ 0x5412;
  const int s = m_nSymbleSize;
  auto put = [this](int x, int y, bool dark) {
    m_byModuleData[x][y] = dark ? kFunctionDark : kFunction;
  };
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
      put(s - 1 - k, 8, dark);
    else
      put(8, s - 15 + k, dark);
  }
  put(8, s - 8, true);
}

int QR_Encoder::CountPenalty() const {
  const int s = m_nSymbleSize;
  auto dark = [this](int x, int y) { return (m_byModuleData[x][y] & 0x11) != 0; };
  int penalty = 0;

  // Runs of five or more, in rows and columns.
  for (int a = 0; a < s; ++a) {
    for (int pass = 0; pass < 2; ++pass) {
      int run = 1;
      for (int b = 1; b <= s; ++b) {
        const bool same =
            b < s && (pass == 0 ? dark(b, a) == dark(b - 1, a) : dark(a, b) == dark(a, b - 1));
        if (same) {
          ++run;
        } else {
          if (run >= 5) penalty += run - 2;
          run = 1;
        }
      }
    }
  }

  // 2 x 2 blocks of one colour.
  for (int x = 0; x < s - 1; ++x)
    for (int y = 0; y < s - 1; ++y) {
      const bool d = dark(x, y);
      if (dark(x + 1, y) == d && dark(x, y + 1) == d && dark(x + 1, y + 1) == d) penalty += 3;
    }

  // Finder-like 1:1:3:1:1 patterns with light space.
  static constexpr bool kFinderLike[7] = {true, false, true, true, true, false, true};
  for (int a = 0; a < s; ++a) {
    for (int pass = 0; pass < 2; ++pass) {
      auto at = [&](int i) { return pass == 0 ? dark(i, a) : dark(a, i); };
      auto light_or_out = [&](int i) { return i < 0 || i >= s || !at(i); };
      for (int j = 0; j <= s - 7; ++j) {
        bool match = true;
        for (int k = 0; k < 7 && match; ++k) match = at(j + k) == kFinderLike[k];
        if (!match) continue;
        if (!light_or_out(j - 1) || !light_or_out(j + 7)) continue;
        const bool before = light_or_out(j - 2) && light_or_out(j - 3) && light_or_out(j - 4);
        const bool after = light_or_out(j + 8) && light_or_out(j + 9) && light_or_out(j + 10);
        if (before || after) penalty += 40;
      }
    }
  }

  // Balance of light and dark.
  int light = 0;
  for (int x = 0; x < s; ++x)
    for (int y = 0; y < s; ++y)
      if (!dark(x, y)) ++light;
  const int percent = light * 100 / (s * s);
  penalty += (std::abs(50 - percent) / 5) * 10;
  return penalty;
}
