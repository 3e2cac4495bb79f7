#include "barcode/Data_Matrix_Symbol.h"

#include "barcode/Data_Matrix_Ecc200.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"

#include <QImage>

#include <cmath>
#include <cstdlib>
#include <mutex>

extern "C" {
#include <iec16022ecc200.h>
}

static_assert(MAXBARCODE == kData_Matrix_Max_Bytes, "iec16022 changed its data limit");

namespace {

// The library keeps global state.
std::mutex& Library_Mutex() {
  static std::mutex mutex;
  return mutex;
}

bool All_Ascii_Encoding(const QByteArray& encoding, int length) {
  if (encoding.size() < length) return false;
  for (int i = 0; i < length; ++i)
    if (encoding.at(i) != 'A') return false;
  return true;
}

Data_Matrix_Symbol Call_Library(const QByteArray& data, int width, int height,
                                const QByteArray& encoding) {
  Data_Matrix_Symbol symbol;
  int w = width, h = height, length = 0, capacity = 0, ecc = 0;
  QByteArray bytes = data;  // the library takes a non-const pointer
  QByteArray letters = encoding;
  char* encoding_ptr = letters.isEmpty() ? nullptr : letters.data();
  unsigned char* grid = nullptr;
  {
    std::lock_guard<std::mutex> lock(Library_Mutex());
    grid = iec16022ecc200(&w, &h, &encoding_ptr, int(bytes.size()),
                          reinterpret_cast<unsigned char*>(bytes.data()), &length, &capacity, &ecc);
  }
  symbol.encoded_length = length;
  symbol.capacity = capacity;
  symbol.ecc = ecc;
  if (encoding_ptr) symbol.encoding = QByteArray(encoding_ptr);
  // In automatic mode the library hands out the encoding it chose, malloc'd.
  if (letters.isEmpty() && encoding_ptr) std::free(encoding_ptr);
  if (!grid || w <= 0 || h <= 0) {
    std::free(grid);
    symbol.width = w;  // what was asked for, for the report
    symbol.height = h;
    symbol.error = QStringLiteral("the encoder made no symbol");
    return symbol;
  }
  symbol.width = w;
  symbol.height = h;
  symbol.modules.assign(grid, grid + static_cast<size_t>(w) * static_cast<size_t>(h));
  std::free(grid);
  for (auto& m : symbol.modules) m = m ? 1 : 0;
  return symbol;
}

}  // namespace

Data_Matrix_Symbol Encode_Data_Matrix(const QByteArray& data, int width, int height,
                                      const QByteArray& encoding, int eci) {
  Data_Matrix_Symbol symbol;
  if (data.isEmpty()) {
    symbol.error = QStringLiteral("Nothing to encode");
    return symbol;
  }
  if (data.size() > kData_Matrix_Max_Bytes) {
    symbol.error = QStringLiteral("The value is longer than %1 bytes").arg(kData_Matrix_Max_Bytes);
    return symbol;
  }
  if (width < 0 || height < 0) {
    symbol.error = QStringLiteral("Invalid size %1x%2").arg(width).arg(height);
    return symbol;
  }
  // The library has no way to write the ECI codeword: such symbols are made by our own
  // ECC200 maker, in ASCII encodation like the library's for bytes above 127.
  if (eci >= 0) return Data_Matrix_From_Codewords(Data_Matrix_Ascii_Codewords(data, eci), width, height);
  const int length = int(data.size());
  bool extended = false;
  for (char c : data) extended = extended || static_cast<unsigned char>(c) > 127;
  QByteArray letters = extended ? QByteArray(length, 'A') : encoding.left(length);
  if (!letters.isEmpty() && letters.size() < length)
    letters.append(QByteArray(length - letters.size(), letters.back()));
  symbol = Call_Library(data, width, height, letters);
  if (!symbol.isValid() && !All_Ascii_Encoding(letters, length)) {
    Data_Matrix_Symbol ascii = Call_Library(data, width, height, QByteArray(length, 'A'));
    if (ascii.isValid()) return ascii;
  }
  return symbol;
}

void Data_Matrix_Size_From_Format(const QString& item, int* width, int* height) {
  *width = 0;
  *height = 0;
  if (item.isEmpty() || item == QLatin1String("Auto")) return;
  const QString rest = item.mid(1);
  const qsizetype x = rest.indexOf(QLatin1Char('X'));
  if (x < 0) return;
  *height = Trim_Str(rest.left(x)).toInt();
  *width = Trim_Str(rest.mid(x + 1)).toInt();
}

QByteArray Data_Matrix_Encoding_String(const QString& item, int length) {
  char letter = 0;
  if (item == QLatin1String("Ascii"))
    letter = 'A';
  else if (item == QLatin1String("C40"))
    letter = 'C';
  else if (item == QLatin1String("Text"))
    letter = 'T';
  else if (item == QLatin1String("Base256"))
    letter = 'B';
  if (!letter || length <= 0) return {};
  return QByteArray(length, letter);
}

QByteArray makeEPS_Data_Matrix(const QByteArray& value, const Data_Matrix_Symbol& symbol) {
  if (!symbol.isValid()) return {};
  const int W = symbol.width, H = symbol.height;
  QByteArray comment = value;
  comment.replace('\r', ' ').replace('\n', ' ');
  const qsizetype zero = comment.indexOf('\0');
  if (zero >= 0) comment.truncate(zero);

  QByteArray eps;
  eps += "%!PS-Adobe-3.0 EPSF-3.0\n%%Creator: IEC16022 barcode/stamp generator\n%%BarcodeData: ";
  eps += comment;
  eps += '\n';
  eps += QByteArrayLiteral("%%BarcodeSize: ") + QByteArray::number(W) + 'x' +
         QByteArray::number(H) +
         "\n%%BarcodeFormat: ECC200\n%%DocumentData: Clean7Bit\n%%LanguageLevel: 1\n%%Pages: 1\n";
  eps += QByteArrayLiteral("%%BoundingBox: 0 0 ") + QByteArray::number(W + 2) + ' ' +
         QByteArray::number(H + 2) + "\n%%EndComments\n%%Page: 1 1\n" + QByteArray::number(W) +
         ' ' + QByteArray::number(H) + " 1[1 0 0 1 -1 -1]{<\n";

  static const char hex[] = "0123456789ABCDEF";
  int groups = 0;
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; x += 8) {
      unsigned byte = 0;
      for (int b = 0; b < 8; ++b)
        if (x + b < W && symbol.dark(x + b, y)) byte |= 0x80u >> b;
      byte ^= 0xFF;
      eps += hex[byte >> 4];
      eps += hex[byte & 0x0F];
      ++groups;
    }
    eps += ' ';
    if (++groups > 79) {
      eps += '\n';
      groups = 0;
    }
  }
  if (groups) eps += '\n';
  eps += "\n>}image\n";
  return eps;
}

Picture Data_Matrix_Picture(const Data_Matrix_Symbol& symbol, int module_size, double dpi) {
  if (!symbol.isValid() || module_size <= 0) return {};
  const int W = symbol.width, H = symbol.height;
  // The bounding box of the description, W + 2 by H + 2 points, at the resolution.
  const float pw = std::ceil(float(dpi) * float(W + 2) / 72.0f);
  const float ph = std::ceil(float(dpi) * float(H + 2) / 72.0f);
  constexpr float kMaxSide = 32768.0f;
  if (!(pw >= 1.0f) || !(ph >= 1.0f) || pw > kMaxSide || ph > kMaxSide) {
    Show_NSLog_Message(QStringLiteral("Unable to render the picture at %1 dpi").arg(dpi));
    return {};
  }
  QImage image(int(pw), int(ph), QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) {
    Show_NSLog_Message(QStringLiteral("Unable to render the picture at %1 dpi").arg(dpi));
    return {};
  }
  image.fill(Qt::transparent);
  const int dots_per_meter = int(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dots_per_meter);
  image.setDotsPerMeterY(dots_per_meter);
  // Pixel edges of the point grid: the module in column x covers points x + 1 .. x + 2 of
  // the box; rows are counted from the top, so the library's row 0 is the last one.
  auto edge_x = [&](int points) { return int(std::lround(points * pw / float(W + 2))); };
  auto edge_y = [&](int points) { return int(std::lround(points * ph / float(H + 2))); };
  for (int row = 0; row < H; ++row) {
    const int y0 = edge_y(row + 1), y1 = edge_y(row + 2);
    const int library_row = H - 1 - row;
    for (int py = y0; py < y1; ++py) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(py));
      for (int x = 0; x < W; ++x) {
        const QRgb colour =
            symbol.dark(x, library_row) ? qRgba(0, 0, 0, 255) : qRgba(255, 255, 255, 255);
        for (int px = edge_x(x + 1), end = edge_x(x + 2); px < end; ++px) line[px] = colour;
      }
    }
  }
  return Picture(std::move(image), QSizeF(W * module_size, H * module_size));
}

Picture Draw_DataMatrix_Barcode(const QString& value, const QString& format_item,
                                const QString& encoding_item) {
  return Draw_DataMatrix_Barcode(value, format_item, encoding_item, Barcode_module_size.load(),
                                 USED_DPI_VALUE.load());
}

Picture Draw_DataMatrix_Barcode(const QString& value, const QString& format_item,
                                const QString& encoding_item, int module_size, double dpi) {
  const QByteArray data = value.toUtf8();
  int width = 0, height = 0;
  Data_Matrix_Size_From_Format(format_item, &width, &height);
  const QByteArray encoding = Data_Matrix_Encoding_String(encoding_item, int(data.size()));
  // Text beyond ASCII is marked as UTF-8, so that no reader guesses another encoding.
  bool beyond_ascii = false;
  for (char c : data) beyond_ascii = beyond_ascii || static_cast<unsigned char>(c) > 127;
  const Data_Matrix_Symbol symbol =
      Encode_Data_Matrix(data, width, height, encoding, beyond_ascii ? kData_Matrix_Eci_Utf8 : -1);
  if (!symbol.isValid()) {
    Show_NSLog_Message(
        QStringLiteral("No barcode produced: %1\nSize    : %2x%3\nEncoded : %4 of %5 bytes with "
                       "%6 bytes of ecc\nBarcode : %7\nEncoding: %8")
            .arg(symbol.error)
            .arg(width)
            .arg(height)
            .arg(symbol.encoded_length)
            .arg(symbol.capacity)
            .arg(symbol.ecc)
            .arg(value.left(200), QString::fromLatin1(encoding.left(200))));
    return {};
  }
  return Data_Matrix_Picture(symbol, module_size, dpi);
}
