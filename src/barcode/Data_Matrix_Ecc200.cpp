#include "barcode/Data_Matrix_Ecc200.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kUpper_Shift = 235;
constexpr int kEci = 241;
constexpr int kPad = 129;

// GF(256) with the prime polynomial x^8 + x^5 + x^3 + x^2 + 1 (301), generator 2.
struct Galois_Field {
  std::array<int, 256> log{};
  std::array<int, 512> exp{};
  Galois_Field() {
    int x = 1;
    for (int i = 0; i < 255; ++i) {
      exp[size_t(i)] = x;
      log[size_t(x)] = i;
      x <<= 1;
      if (x & 0x100) x ^= 301;
    }
    for (int i = 255; i < 512; ++i) exp[size_t(i)] = exp[size_t(i - 255)];
  }
  int multiply(int a, int b) const {
    return a && b ? exp[size_t(log[size_t(a)] + log[size_t(b)])] : 0;
  }
};

const Galois_Field& Field() {
  static const Galois_Field field;
  return field;
}

// The error-correction codewords of one block: the remainder of data(x) x^n divided by
// (x - 2^1)(x - 2^2)...(x - 2^n).
std::vector<int> Reed_Solomon(const std::vector<int>& data, int n) {
  const Galois_Field& gf = Field();
  std::vector<int> generator(size_t(n) + 1, 0);  // coefficients, highest power first
  generator[0] = 1;
  for (int i = 1; i <= n; ++i) {
    // Multiply by (x + 2^i).
    for (int j = i; j >= 1; --j)
      generator[size_t(j)] ^= gf.multiply(generator[size_t(j - 1)], gf.exp[size_t(i)]);
  }
  std::vector<int> remainder(size_t(n), 0);
  for (int d : data) {
    const int factor = d ^ remainder[0];
    for (int j = 0; j + 1 < n; ++j)
      remainder[size_t(j)] = remainder[size_t(j + 1)] ^ gf.multiply(factor, generator[size_t(j + 1)]);
    remainder[size_t(n - 1)] = gf.multiply(factor, generator[size_t(n)]);
  }
  return remainder;
}

// The module placement of ISO/IEC 16022 on the mapping matrix (the data regions side by side
// without their edges): each cell holds 10 x codeword number (from 1) + bit (1 the most
// significant), or 1 for the dark corner module of sizes that leave four cells over.
class Placement {
 public:
  Placement(int rows, int columns) : rows_(rows), columns_(columns), cells_(size_t(rows * columns), 0) {
    int codeword = 1, row = 4, column = 0;
    do {
      if (row == rows_ && column == 0) corner1(codeword++);
      if (row == rows_ - 2 && column == 0 && columns_ % 4) corner2(codeword++);
      if (row == rows_ - 2 && column == 0 && columns_ % 8 == 4) corner3(codeword++);
      if (row == rows_ + 4 && column == 2 && !(columns_ % 8)) corner4(codeword++);
      do {  // up and to the right
        if (row < rows_ && column >= 0 && !at(row, column)) utah(row, column, codeword++);
        row -= 2;
        column += 2;
      } while (row >= 0 && column < columns_);
      row += 1;
      column += 3;
      do {  // down and to the left
        if (row >= 0 && column < columns_ && !at(row, column)) utah(row, column, codeword++);
        row += 2;
        column -= 2;
      } while (row < rows_ && column >= 0);
      row += 3;
      column += 1;
    } while (row < rows_ || column < columns_);
    if (!at(rows_ - 1, columns_ - 1)) {
      at(rows_ - 1, columns_ - 1) = 1;
      at(rows_ - 2, columns_ - 2) = 1;
    }
  }
  int cell(int row, int column) const { return cells_[size_t(row * columns_ + column)]; }

 private:
  int& at(int row, int column) { return cells_[size_t(row * columns_ + column)]; }
  void module(int row, int column, int codeword, int bit) {
    if (row < 0) {
      row += rows_;
      column += 4 - ((rows_ + 4) % 8);
    }
    if (column < 0) {
      column += columns_;
      row += 4 - ((columns_ + 4) % 8);
    }
    at(row, column) = 10 * codeword + bit;
  }
  void utah(int row, int column, int c) {
    module(row - 2, column - 2, c, 1);
    module(row - 2, column - 1, c, 2);
    module(row - 1, column - 2, c, 3);
    module(row - 1, column - 1, c, 4);
    module(row - 1, column, c, 5);
    module(row, column - 2, c, 6);
    module(row, column - 1, c, 7);
    module(row, column, c, 8);
  }
  void corner1(int c) {
    module(rows_ - 1, 0, c, 1);
    module(rows_ - 1, 1, c, 2);
    module(rows_ - 1, 2, c, 3);
    module(0, columns_ - 2, c, 4);
    module(0, columns_ - 1, c, 5);
    module(1, columns_ - 1, c, 6);
    module(2, columns_ - 1, c, 7);
    module(3, columns_ - 1, c, 8);
  }
  void corner2(int c) {
    module(rows_ - 3, 0, c, 1);
    module(rows_ - 2, 0, c, 2);
    module(rows_ - 1, 0, c, 3);
    module(0, columns_ - 4, c, 4);
    module(0, columns_ - 3, c, 5);
    module(0, columns_ - 2, c, 6);
    module(0, columns_ - 1, c, 7);
    module(1, columns_ - 1, c, 8);
  }
  void corner3(int c) {
    module(rows_ - 3, 0, c, 1);
    module(rows_ - 2, 0, c, 2);
    module(rows_ - 1, 0, c, 3);
    module(0, columns_ - 2, c, 4);
    module(0, columns_ - 1, c, 5);
    module(1, columns_ - 1, c, 6);
    module(2, columns_ - 1, c, 7);
    module(3, columns_ - 1, c, 8);
  }
  void corner4(int c) {
    module(rows_ - 1, 0, c, 1);
    module(rows_ - 1, columns_ - 1, c, 2);
    module(0, columns_ - 3, c, 3);
    module(0, columns_ - 2, c, 4);
    module(0, columns_ - 1, c, 5);
    module(1, columns_ - 3, c, 6);
    module(1, columns_ - 2, c, 7);
    module(1, columns_ - 1, c, 8);
  }

  int rows_, columns_;
  std::vector<int> cells_;
};

}  // namespace

const std::vector<Data_Matrix_Size>& Data_Matrix_Sizes() {
  static const std::vector<Data_Matrix_Size> sizes = {
      {10, 10, 8, 8, 3, 5, 1},           {12, 12, 10, 10, 5, 7, 1},
      {14, 14, 12, 12, 8, 10, 1},        {16, 16, 14, 14, 12, 12, 1},
      {18, 18, 16, 16, 18, 14, 1},       {20, 20, 18, 18, 22, 18, 1},
      {22, 22, 20, 20, 30, 20, 1},       {24, 24, 22, 22, 36, 24, 1},
      {26, 26, 24, 24, 44, 28, 1},       {32, 32, 14, 14, 62, 36, 1},
      {36, 36, 16, 16, 86, 42, 1},       {40, 40, 18, 18, 114, 48, 1},
      {44, 44, 20, 20, 144, 56, 1},      {48, 48, 22, 22, 174, 68, 1},
      {52, 52, 24, 24, 204, 84, 2},      {64, 64, 14, 14, 280, 112, 2},
      {72, 72, 16, 16, 368, 144, 4},     {80, 80, 18, 18, 456, 192, 4},
      {88, 88, 20, 20, 576, 224, 4},     {96, 96, 22, 22, 696, 272, 4},
      {104, 104, 24, 24, 816, 336, 6},   {120, 120, 18, 18, 1050, 408, 6},
      {132, 132, 20, 20, 1304, 496, 8},  {144, 144, 22, 22, 1558, 620, 10},
      {8, 18, 6, 16, 5, 7, 1},           {8, 32, 6, 14, 10, 11, 1},
      {12, 26, 10, 24, 16, 14, 1},       {12, 36, 10, 16, 22, 18, 1},
      {16, 36, 14, 16, 32, 24, 1},       {16, 48, 14, 22, 49, 28, 1},
  };
  return sizes;
}

std::vector<std::uint8_t> Data_Matrix_Ascii_Codewords(const QByteArray& data, int eci) {
  std::vector<std::uint8_t> out;
  out.reserve(size_t(data.size()) + 4);
  if (eci >= 0 && eci <= 999999) {
    out.push_back(kEci);
    if (eci <= 126) {
      out.push_back(std::uint8_t(eci + 1));
    } else if (eci <= 16382) {
      out.push_back(std::uint8_t((eci - 127) / 254 + 128));
      out.push_back(std::uint8_t((eci - 127) % 254 + 1));
    } else {
      out.push_back(std::uint8_t((eci - 16383) / 64516 + 192));
      out.push_back(std::uint8_t((eci - 16383) / 254 % 254 + 1));
      out.push_back(std::uint8_t((eci - 16383) % 254 + 1));
    }
  }
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  for (qsizetype i = 0; i < data.size(); ++i) {
    const auto c = static_cast<unsigned char>(data[i]);
    if (digit(data[i]) && i + 1 < data.size() && digit(data[i + 1])) {
      out.push_back(std::uint8_t(130 + (c - '0') * 10 + (data[i + 1] - '0')));
      ++i;
    } else if (c > 127) {
      out.push_back(kUpper_Shift);
      out.push_back(std::uint8_t(c - 127));
    } else {
      out.push_back(std::uint8_t(c + 1));
    }
  }
  return out;
}

Data_Matrix_Symbol Data_Matrix_From_Codewords(const std::vector<std::uint8_t>& codewords,
                                              int width, int height) {
  Data_Matrix_Symbol symbol;
  const Data_Matrix_Size* size = nullptr;
  for (const Data_Matrix_Size& s : Data_Matrix_Sizes()) {
    if (width || height) {
      if (s.columns == width && s.rows == height) size = &s;
    } else if (s.data >= int(codewords.size()) && (!size || s.data < size->data)) {
      size = &s;  // the smallest that holds them; a square one on a tie (listed first)
    }
  }
  symbol.encoded_length = int(codewords.size());
  symbol.width = width;
  symbol.height = height;
  if (!size) {
    symbol.error = width || height ? QStringLiteral("%1x%2 is no Data Matrix size").arg(width).arg(height)
                                   : QStringLiteral("The value is too long for any size");
    return symbol;
  }
  symbol.capacity = size->data;
  symbol.ecc = size->ecc;
  if (int(codewords.size()) > size->data) {
    symbol.error = QStringLiteral("The value is too long for the size");
    return symbol;
  }

  // Padding: 129, then 129 randomised by the 253-state rule of each position.
  std::vector<int> all(codewords.begin(), codewords.end());
  if (int(all.size()) < size->data) all.push_back(kPad);
  while (int(all.size()) < size->data) {
    const int position = int(all.size()) + 1;
    const int value = kPad + (149 * position) % 253 + 1;
    all.push_back(value <= 254 ? value : value - 254);
  }

  // Blocks: codeword i of the data belongs to block i % blocks, each block gets its error
  // correction after its data, and the blocks are interleaved whole, one codeword of each in
  // turn, a block that has run out passed over. With blocks of one length this puts the data
  // first; in 144 x 144, whose last two blocks hold a data codeword less, their correction
  // begins one round early.
  const int blocks = size->blocks;
  const int per_block = size->ecc / blocks;
  std::vector<std::vector<int>> block(static_cast<size_t>(blocks));
  for (int i = 0; i < size->data; ++i) block[size_t(i % blocks)].push_back(all[size_t(i)]);
  size_t longest = 0;
  for (std::vector<int>& b : block) {
    const std::vector<int> ecc = Reed_Solomon(b, per_block);
    b.insert(b.end(), ecc.begin(), ecc.end());
    longest = std::max(longest, b.size());
  }
  all.clear();
  for (size_t k = 0; k < longest; ++k)
    for (const std::vector<int>& b : block)
      if (k < b.size()) all.push_back(b[k]);

  // The data regions and their edges: solid left column and bottom row, alternating top row
  // (dark from the left) and right column (dark from the bottom).
  const int regions_across = size->columns / (size->region_columns + 2);
  const int regions_down = size->rows / (size->region_rows + 2);
  const Placement placement(size->region_rows * regions_down, size->region_columns * regions_across);
  const int W = size->columns, H = size->rows;
  std::vector<std::uint8_t> top_down(size_t(W * H), 0);  // row 0 at the top
  for (int y = 0; y < H; ++y) {
    const int ry = y % (size->region_rows + 2);
    for (int x = 0; x < W; ++x) {
      const int rx = x % (size->region_columns + 2);
      bool dark;
      if (rx == 0 || ry == size->region_rows + 1)
        dark = true;
      else if (ry == 0)
        dark = rx % 2 == 0;
      else if (rx == size->region_columns + 1)
        dark = ry % 2 == 1;
      else {
        const int row = (y / (size->region_rows + 2)) * size->region_rows + ry - 1;
        const int column = (x / (size->region_columns + 2)) * size->region_columns + rx - 1;
        const int v = placement.cell(row, column);
        dark = v == 1 || (v >= 10 && (all[size_t(v / 10 - 1)] >> (8 - v % 10) & 1));
      }
      top_down[size_t(y * W + x)] = dark ? 1 : 0;
    }
  }
  symbol.width = W;
  symbol.height = H;
  symbol.modules.resize(size_t(W * H));
  for (int row = 0; row < H; ++row)  // the symbol keeps its bottom row first
    std::copy_n(top_down.begin() + (H - 1 - row) * W, W, symbol.modules.begin() + row * W);
  return symbol;
}
