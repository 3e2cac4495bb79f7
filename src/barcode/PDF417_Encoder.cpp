#include "barcode/PDF417_Encoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

constexpr int kStartPattern = 0x1FEA8;  // 17 modules
constexpr int kStopPattern = 0x3FA29;   // 18 modules

constexpr char MIXED_SET[] = "0123456789&\r\t,:#-.$/+%*=^";
constexpr char PUNCTUATION_SET[] = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";

// Text sub-modes and the byte class, as type bits; the low byte holds the value.
constexpr int ALPHA = 0x10000;
constexpr int LOWER = 0x20000;
constexpr int MIXED = 0x40000;
constexpr int PUNCTUATION = 0x80000;
constexpr int ISBYTE = 0x100000;

constexpr int TEXT_MODE = 900;
constexpr int BYTE_MODE = 901;
constexpr int NUMERIC_MODE = 902;
constexpr int BYTE_MODE_6 = 924;
constexpr int BYTE_SHIFT = 913;
constexpr int ECI_USER_DEFINED = 925;     // then one codeword: number - 810900
constexpr int ECI_GENERAL_PURPOSE = 926;  // then two: number / 900 - 1, number % 900
constexpr int ECI_CHARACTER_SET = 927;    // then one: the number, 0..899

// Generator polynomials (x - 3)(x - 3^2)...(x - 3^k) over GF(929), k = 2^(level + 1): the
// coefficients below the leading term, lowest degree first.
struct Error_Tables {
  std::array<std::vector<int>, 9> level;
  Error_Tables() {
    for (int s = 0; s <= 8; ++s) {
      const int k = 1 << (s + 1);
      std::vector<int> poly(k + 1, 0);  // lowest degree first
      poly[0] = 1;
      int root = 1;
      for (int i = 1; i <= k; ++i) {
        root = root * 3 % 929;
        // poly *= (x - root)
        for (int j = i; j >= 1; --j) poly[j] = (poly[j - 1] + (929 - root) * poly[j]) % 929;
        poly[0] = (929 - root) * poly[0] % 929;
      }
      level[s].assign(poly.begin(), poly.begin() + k);
    }
  }
};

const Error_Tables& Error_Levels() {
  static const Error_Tables tables;
  return tables;
}

struct State {
  PDF417_Param* p;
  const unsigned char* text;
  int cwPtr = 1;  // codewords written, the length descriptor included
  int bitPtr = 0;
};

bool Is_Text_Char(unsigned char c) {
  return (c >= ' ' && c <= '~') || c == '\r' || c == '\n' || c == '\t';
}
bool Is_Digit(unsigned char c) { return c >= '0' && c <= '9'; }

// Text and byte runs of positions a .. b - 1.
void Split_Text_And_Bytes(const unsigned char* text, int a, int b,
                          std::vector<PDF417_Segment>& list) {
  int k = a;
  while (k < b) {
    const bool is_text = Is_Text_Char(text[k]);
    int e = k + 1;
    while (e < b && Is_Text_Char(text[e]) == is_text) ++e;
    list.push_back({is_text ? 'T' : 'B', k, e});
    k = e;
  }
}

bool Is(const std::vector<PDF417_Segment>& list, int i, char type) {
  return i >= 0 && i < int(list.size()) && list[i].type == type;
}
int Length(const std::vector<PDF417_Segment>& list, int i) {
  return i >= 0 && i < int(list.size()) ? list[i].length() : 0;
}

int getTextTypeAndValue(const unsigned char* text, int end, int k) {
  if (k >= end) return 0;
  const unsigned char c = text[k];
  if (c >= 'A' && c <= 'Z') return ALPHA + c - 'A';
  if (c >= 'a' && c <= 'z') return LOWER + c - 'a';
  if (c == ' ') return ALPHA + LOWER + MIXED + 26;
  const char* m = c ? std::strchr(MIXED_SET, c) : nullptr;
  const char* q = c ? std::strchr(PUNCTUATION_SET, c) : nullptr;
  const int ms = m ? int(m - MIXED_SET) : -1;
  const int ps = q ? int(q - PUNCTUATION_SET) : -1;
  if (ms < 0 && ps < 0) return ISBYTE + c;
  if (ms == ps) return MIXED + PUNCTUATION + ms;
  if (ms >= 0) return MIXED + ms;
  return PUNCTUATION + ps;
}

void textCompaction(State& s, int start, int length) {
  std::vector<int> dest;
  dest.reserve(static_cast<size_t>(length) * 4);
  int mode = ALPHA;
  int shifted_bytes = 0;
  const int end = start + length;
  auto next_two = [&](int k, int type) {
    return (getTextTypeAndValue(s.text, end, k + 1) & type) &&
           (getTextTypeAndValue(s.text, end, k + 2) & type);
  };
  for (int k = start; k < end; ++k) {
    const int v = getTextTypeAndValue(s.text, end, k);
    const int value = v & 0xFF;
    if (v & mode) {
      dest.push_back(value);
      continue;
    }
    if (v & ISBYTE) {
      if (dest.size() & 1) {
        dest.push_back(29);
        if (mode == PUNCTUATION) mode = ALPHA;
      }
      dest.push_back(BYTE_SHIFT);
      dest.push_back(value);
      ++shifted_bytes;
      continue;
    }
    switch (mode) {
      case ALPHA:
        if (v & LOWER) {
          dest.insert(dest.end(), {27, value});
          mode = LOWER;
        } else if (v & MIXED) {
          dest.insert(dest.end(), {28, value});
          mode = MIXED;
        } else if (next_two(k, PUNCTUATION)) {
          dest.insert(dest.end(), {28, 25, value});
          mode = PUNCTUATION;
        } else {
          dest.insert(dest.end(), {29, value});
        }
        break;
      case LOWER:
        if (v & ALPHA) {
          if (next_two(k, ALPHA)) {
            dest.insert(dest.end(), {28, 28, value});
            mode = ALPHA;
          } else {
            dest.insert(dest.end(), {27, value});
          }
        } else if (v & MIXED) {
          dest.insert(dest.end(), {28, value});
          mode = MIXED;
        } else if (next_two(k, PUNCTUATION)) {
          dest.insert(dest.end(), {28, 25, value});
          mode = PUNCTUATION;
        } else {
          dest.insert(dest.end(), {29, value});
        }
        break;
      case MIXED:
        if (v & LOWER) {
          dest.insert(dest.end(), {27, value});
          mode = LOWER;
        } else if (v & ALPHA) {
          dest.insert(dest.end(), {28, value});
          mode = ALPHA;
        } else if (next_two(k, PUNCTUATION)) {
          dest.insert(dest.end(), {25, value});
          mode = PUNCTUATION;
        } else {
          dest.insert(dest.end(), {29, value});
        }
        break;
      default:  // punctuation: back to alphabetic, then the same character again
        dest.push_back(29);
        mode = ALPHA;
        --k;
        break;
    }
  }
  if (dest.size() & 1) dest.push_back(29);
  const int size = int(dest.size());
  if ((size + 2 * shifted_bytes) / 2 + s.cwPtr > PDF417_MAX_DATA_CODEWORDS) {
    s.p->error = PDF417_ERROR_TEXT_TOO_BIG;
    return;
  }
  for (int i = 0; i < size; i += 2) {
    if (dest[i] == BYTE_SHIFT) {
      s.p->codewords[s.cwPtr++] = BYTE_SHIFT;
      s.p->codewords[s.cwPtr++] = dest[i + 1];
    } else {
      s.p->codewords[s.cwPtr++] = dest[i] * 30 + dest[i + 1];
    }
  }
}

void basicNumberCompaction(State& s, int start, int length) {
  const int count = length / 3 + 1;
  int* ret = s.p->codewords + s.cwPtr;
  std::fill(ret, ret + count, 0);
  // A leading 1, then the digits, as a number in base 900.
  for (int k = -1; k < length; ++k) {
    int carry = k < 0 ? 1 : s.text[start + k] - '0';
    for (int i = count - 1; i >= 0; --i) {
      const int t = ret[i] * 10 + carry;
      ret[i] = t % 900;
      carry = t / 900;
    }
  }
  s.cwPtr += count;
}

void numberCompaction(State& s, int start, int length) {
  const int full = (length / 44) * 15;
  const int rest = length % 44;
  const int needed = full + (rest ? rest / 3 + 1 : 0);
  if (needed + s.cwPtr > PDF417_MAX_DATA_CODEWORDS) {
    s.p->error = PDF417_ERROR_TEXT_TOO_BIG;
    return;
  }
  for (int k = 0; k < length; k += 44)
    basicNumberCompaction(s, start + k, std::min(44, length - k));
}

void byteCompaction6(State& s, int start) {
  std::uint64_t value = 0;
  for (int k = 0; k < 6; ++k) value = (value << 8) | s.text[start + k];
  int* ret = s.p->codewords + s.cwPtr;
  for (int i = 4; i >= 0; --i) {
    ret[i] = int(value % 900);
    value /= 900;
  }
  s.cwPtr += 5;
}

void byteCompaction(State& s, int start, int length) {
  const int size = (length / 6) * 5 + length % 6;
  if (size + s.cwPtr > PDF417_MAX_DATA_CODEWORDS) {
    s.p->error = PDF417_ERROR_TEXT_TOO_BIG;
    return;
  }
  const int end = start + length;
  for (int k = start; k < end; k += 6) {
    if (end - k >= 6) {
      byteCompaction6(s, k);
    } else {
      for (int j = k; j < end; ++j) s.p->codewords[s.cwPtr++] = s.text[j];
    }
  }
}

void assemble(State& s, const std::vector<PDF417_Segment>& list) {
  for (size_t i = 0; i < list.size() && s.p->error == PDF417_ERROR_SUCCESS; ++i) {
    const PDF417_Segment& seg = list[i];
    switch (seg.type) {
      case 'B':
        s.p->codewords[s.cwPtr++] = seg.length() % 6 ? BYTE_MODE : BYTE_MODE_6;
        byteCompaction(s, seg.start, seg.length());
        break;
      case 'N':
        s.p->codewords[s.cwPtr++] = NUMERIC_MODE;
        numberCompaction(s, seg.start, seg.length());
        break;
      default:
        if (i != 0) s.p->codewords[s.cwPtr++] = TEXT_MODE;
        textCompaction(s, seg.start, seg.length());
        break;
    }
  }
}

void getMaxSquare(PDF417_Param* p) {
  if (p->codeColumns > 21) {
    p->codeColumns = 29;
    p->codeRows = 32;
  } else {
    p->codeColumns = 16;
    p->codeRows = 58;
  }
}

void calculateErrorCorrection(PDF417_Param* p, int dest) {
  if (p->errorLevel < 0 || p->errorLevel > 8) p->errorLevel = 0;
  const std::vector<int>& A = Error_Levels().level[p->errorLevel];
  const int k = 2 << p->errorLevel;
  int* e = p->codewords + dest;
  std::fill(e, e + k, 0);
  for (int w = 0; w < p->lenCodewords; ++w) {
    const int t = p->codewords[w] + e[0];
    for (int j = 0; j < k; ++j) {
      const int next = j + 1 < k ? e[j + 1] : 0;
      e[j] = (next - (t * A[k - 1 - j]) % 929 + 929) % 929;
    }
  }
  for (int j = 0; j < k; ++j) e[j] = (929 - e[j]) % 929;
}

void outBits(State& s, int bits, int count) {
  for (int i = count - 1; i >= 0; --i, ++s.bitPtr)
    if (bits & (1 << i)) s.p->outBits[s.bitPtr / 8] |= std::uint8_t(0x80 >> (s.bitPtr % 8));
}

void outPaintCode(State& s) {
  PDF417_Param* p = s.p;
  p->bitColumns = 17 * (p->codeColumns + 3) + 18;
  const int row_bytes = (p->bitColumns - 1) / 8 + 1;
  p->lenBits = row_bytes * p->codeRows;
  p->outBits.assign(static_cast<size_t>(p->lenBits), 0);
  int cw = 0;
  const int rows = p->codeRows, columns = p->codeColumns, level = p->errorLevel;
  for (int r = 0; r < rows; ++r) {
    s.bitPtr = row_bytes * 8 * r;
    const int table = r % 3;
    const int base = 30 * (r / 3);
    outBits(s, kStartPattern, 17);
    int left, right;
    switch (table) {
      case 0:
        left = base + (rows - 1) / 3;
        right = base + columns - 1;
        break;
      case 1:
        left = base + 3 * level + (rows - 1) % 3;
        right = base + (rows - 1) / 3;
        break;
      default:
        left = base + columns - 1;
        right = base + 3 * level + (rows - 1) % 3;
        break;
    }
    outBits(s, PDF417_Pattern(table, left), 17);
    for (int c = 0; c < columns; ++c) outBits(s, PDF417_Pattern(table, p->codewords[cw++]), 17);
    outBits(s, PDF417_Pattern(table, right), 17);
    outBits(s, kStopPattern, 18);
  }
  if (p->options & PDF417_INVERT_BITMAP)
    for (auto& byte : p->outBits) byte = std::uint8_t(~byte);
}

}  // namespace

int maxPossibleErrorLevel(int n) {
  for (int level = 8; level >= 1; --level)
    if ((2 << level) <= n) return level;
  return 0;
}

std::vector<PDF417_Segment> breakString(const char* chars, int length) {
  const auto* text = reinterpret_cast<const unsigned char*>(chars);
  std::vector<PDF417_Segment> list;
  list.reserve(20);
  int pending = 0, run_start = 0, run = 0;
  for (int k = 0; k < length; ++k) {
    if (Is_Digit(text[k])) {
      if (run == 0) run_start = k;
      ++run;
      continue;
    }
    if (run >= 13) {
      if (run_start != pending) Split_Text_And_Bytes(text, pending, run_start, list);
      list.push_back({'N', run_start, k});
      pending = k;
    }
    run = 0;
  }
  if (run >= 13) {
    if (run_start != pending) Split_Text_And_Bytes(text, pending, run_start, list);
    list.push_back({'N', run_start, length});
  } else if (pending < length) {
    Split_Text_And_Bytes(text, pending, length, list);
  }

  auto remove = [&list](int i) { list.erase(list.begin() + i); };

  // Single bytes between texts.
  for (int k = 0; k < int(list.size()); ++k) {
    if (list[k].type == 'B' && list[k].length() == 1 && Is(list, k - 1, 'T') &&
        Is(list, k + 1, 'T') && Length(list, k - 1) + Length(list, k + 1) >= 3) {
      list[k - 1].end = list[k + 1].end;
      remove(k + 1);
      remove(k);
      k = -1;
    }
  }
  // Long texts absorb single bytes and texts around them.
  for (int k = 0; k < int(list.size()); ++k) {
    if (list[k].type != 'T' || list[k].length() < 5) continue;
    bool changed = false;
    if ((Is(list, k - 1, 'B') && Length(list, k - 1) == 1) || Is(list, k - 1, 'T')) {
      list[k].start = list[k - 1].start;
      remove(k - 1);
      --k;
      changed = true;
    }
    if ((Is(list, k + 1, 'B') && Length(list, k + 1) == 1) || Is(list, k + 1, 'T')) {
      list[k].end = list[k + 1].end;
      remove(k + 1);
      changed = true;
    }
    if (changed) k = -1;
  }
  // Bytes absorb short texts and bytes around them.
  for (int k = 0; k < int(list.size()); ++k) {
    if (list[k].type != 'B') continue;
    bool changed = false;
    if ((Is(list, k - 1, 'T') && Length(list, k - 1) < 5) || Is(list, k - 1, 'B')) {
      list[k].start = list[k - 1].start;
      remove(k - 1);
      --k;
      changed = true;
    }
    if ((Is(list, k + 1, 'T') && Length(list, k + 1) < 5) || Is(list, k + 1, 'B')) {
      list[k].end = list[k + 1].end;
      remove(k + 1);
      changed = true;
    }
    if (changed) k = -1;
  }
  // A text of digits only.
  if (list.size() == 1 && list[0].type == 'T' && list[0].length() >= 8) {
    bool digits = true;
    for (int k = list[0].start; k < list[0].end && digits; ++k) digits = Is_Digit(text[k]);
    if (digits) list[0].type = 'N';
  }
  return list;
}

void PDF417_Init(PDF417_Param* p) {
  p->options = 0;
  p->outBits.clear();
  p->lenBits = 0;
  p->error = PDF417_ERROR_SUCCESS;
  p->lenText = -1;
  p->eci = -1;
  p->text = "";
  p->yHeight = 3.0f;
  p->aspectRatio = 0.5f;
}

void PDF417_Free(PDF417_Param* p) {
  p->outBits.clear();
  p->outBits.shrink_to_fit();
  p->lenBits = 0;
}

void PDF417_Codewords(PDF417_Param* p) {
  p->error = PDF417_ERROR_SUCCESS;
  p->outBits.clear();
  p->lenBits = 0;
  if (p->options & PDF417_USE_RAW_CODEWORDS) {
    if (p->lenCodewords > PDF417_MAX_DATA_CODEWORDS || p->lenCodewords < 1 ||
        p->lenCodewords != p->codewords[0]) {
      p->error = PDF417_ERROR_INVALID_PARAMS;
      return;
    }
    for (int i = 0; i < p->lenCodewords; ++i)
      if (p->codewords[i] < 0 || p->codewords[i] > 928) {
        p->error = PDF417_ERROR_INVALID_PARAMS;
        return;
      }
  } else {
    const char* text = p->text ? p->text : "";
    if (p->lenText < 0) p->lenText = int(std::strlen(text));
    if (p->lenText > PDF417_MAX_TEXT) {
      p->error = PDF417_ERROR_TEXT_TOO_BIG;
      return;
    }
    if (p->lenText == 0) {
      p->error = PDF417_ERROR_EMPTY_TEXT;
      return;
    }
    State s{p, reinterpret_cast<const unsigned char*>(text)};
    // The ECI that tells readers how the bytes are encoded comes before the data.
    if (p->eci >= 0) {
      if (p->eci < 900) {
        p->codewords[s.cwPtr++] = ECI_CHARACTER_SET;
        p->codewords[s.cwPtr++] = p->eci;
      } else if (p->eci < 810900) {
        p->codewords[s.cwPtr++] = ECI_GENERAL_PURPOSE;
        p->codewords[s.cwPtr++] = p->eci / 900 - 1;
        p->codewords[s.cwPtr++] = p->eci % 900;
      } else if (p->eci < 811800) {
        p->codewords[s.cwPtr++] = ECI_USER_DEFINED;
        p->codewords[s.cwPtr++] = p->eci - 810900;
      } else {
        p->error = PDF417_ERROR_INVALID_PARAMS;
        return;
      }
    }
    assemble(s, breakString(text, p->lenText));
    if (p->error != PDF417_ERROR_SUCCESS) return;
    p->lenCodewords = p->codewords[0] = s.cwPtr;
  }

  const int maxErr = maxPossibleErrorLevel(PDF417_MAX_CODEWORDS - p->lenCodewords);
  if (!(p->options & PDF417_USE_ERROR_LEVEL)) {
    p->errorLevel = p->lenCodewords <= 40    ? 2
                    : p->lenCodewords <= 160 ? 3
                    : p->lenCodewords <= 320 ? 4
                                             : 5;
  }
  p->errorLevel = std::clamp(p->errorLevel, 0, maxErr);
  p->codeColumns = std::clamp(p->codeColumns, 1, 30);
  p->codeRows = std::clamp(p->codeRows, 3, 90);
  int tot = p->lenCodewords + (2 << p->errorLevel);

  bool fixed_column = !(p->options & PDF417_FIXED_ROWS);
  bool skip_layout = false;
  if (p->options & PDF417_FIXED_RECTANGLE) {
    const int given = p->codeColumns * p->codeRows;
    int room = given;
    if (given > PDF417_MAX_CODEWORDS) {
      getMaxSquare(p);
      room = PDF417_MAX_CODEWORDS;
    }
    if (tot <= room) {
      skip_layout = true;
      tot = room;
    }
  } else if (!(p->options & (PDF417_FIXED_COLUMNS | PDF417_FIXED_ROWS))) {
    const float a = std::clamp(p->aspectRatio, 0.001f, 1000.0f);
    const float y = p->yHeight;
    const float b = 73.0f * a - 4.0f;
    const float c = (-b + std::sqrt(b * b + 68.0f * a * float(tot) * y)) / (34.0f * a);
    p->codeColumns = std::clamp(int(c + 0.5f), 1, 30);
    fixed_column = true;
  }
  if (!skip_layout) {
    if (fixed_column) {
      p->codeRows = (tot - 1) / p->codeColumns + 1;
      if (p->codeRows < 3) {
        p->codeRows = 3;
      } else if (p->codeRows > 90) {
        p->codeRows = 90;
        p->codeColumns = (tot - 1) / 90 + 1;
      }
    } else {
      p->codeColumns = (tot - 1) / p->codeRows + 1;
      if (p->codeColumns > 30) {
        p->codeColumns = 30;
        p->codeRows = (tot - 1) / 30 + 1;
      }
    }
    tot = p->codeRows * p->codeColumns;
  }
  if (tot > PDF417_MAX_CODEWORDS) {
    getMaxSquare(p);
    tot = PDF417_MAX_CODEWORDS;
  }

  p->errorLevel = maxPossibleErrorLevel(tot - p->lenCodewords);
  const int ecc = 2 << p->errorLevel;
  const int pad = tot - ecc - p->lenCodewords;
  for (int i = 0; i < pad; ++i) p->codewords[p->lenCodewords++] = TEXT_MODE;
  p->codewords[0] = p->lenCodewords;
  calculateErrorCorrection(p, p->lenCodewords);
  p->lenCodewords = tot;
}

void paintCode(PDF417_Param* p) {
  PDF417_Codewords(p);
  if (p->error != PDF417_ERROR_SUCCESS) return;
  if (!PDF417_Pattern(0, 0)) {
    p->error = PDF417_ERROR_NO_SYMBOL_TABLE;
    return;
  }
  State s{p, nullptr};
  outPaintCode(s);
}
