#pragma once
// Data Matrix ECC200 symbols (ISO/IEC 16022) through the iec16022 library, and their
// module pictures.

#include "model/Picture.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// One symbol as the library made it.
struct Data_Matrix_Symbol {
  int width = 0;   // modules per row (W)
  int height = 0;  // rows (H)
  // W x H bytes, row after row, 1 dark and 0 light; row 0 is the bottom row of the symbol
  // (the row of the solid finder edge).
  std::vector<std::uint8_t> modules;
  int encoded_length = 0;  // codewords of data
  int capacity = 0;        // data codewords the size holds
  int ecc = 0;             // error-correction codewords
  QByteArray encoding;     // the per-byte encoding letters used ("A", "C", "T", "B", ...)
  QString error;           // why there is no symbol

  bool isValid() const { return width > 0 && height > 0 && !modules.empty(); }
  bool dark(int x, int row_from_bottom) const {
    return modules[static_cast<size_t>(row_from_bottom) * width + x] != 0;
  }
};

// The library's limit on the data length.
inline constexpr int kData_Matrix_Max_Bytes = 3116;

// Encodes the bytes at the size W x H (0 x 0: the smallest that holds them) with one
// encoding letter per byte (empty: the library chooses). Empty data and data over the
// library's limit are refused without calling it. Data with bytes above 127 is always
// encoded in ASCII (upper shift): the library's C40 and Text encodings write some of those
// bytes wrongly, and its automatic and Base256 encodings refuse them. Any other encoding that
// fails is tried once more in ASCII, which holds every byte. With an ECI assignment number
// (not below 0) the symbol opens with that ECI and the bytes are in ASCII encodation, whatever
// the encoding letters say (the library cannot write an ECI: Data_Matrix_Ecc200.h).
// Safe from any thread: calls into the library are serialised.
Data_Matrix_Symbol Encode_Data_Matrix(const QByteArray& data, int width, int height,
                                      const QByteArray& encoding = {}, int eci = -1);

// The ECI assignment number of UTF-8.
inline constexpr int kData_Matrix_Eci_Utf8 = 26;

// The designer's format item: "Auto" gives 0 x 0; "C<rows>X<columns>" gives W = columns and
// H = rows; anything else 0 x 0 as well.
void Data_Matrix_Size_From_Format(const QString& item, int* width, int* height);
// The designer's encoding item ("Auto", "Ascii", "C40", "Text", "Base256") as one letter per
// data byte; empty for "Auto" or an unknown item.
QByteArray Data_Matrix_Encoding_String(const QString& item, int length);

// The symbol as an Encapsulated PostScript description: a 1-bit image of W x H samples one
// point each, placed one point in from the lower left of a (W + 2) x (H + 2) bounding box.
// Line breaks in the value are written as spaces in its comment line.
QByteArray makeEPS_Data_Matrix(const QByteArray& value, const Data_Matrix_Symbol& symbol);

// The picture of that description: rasterised at `dpi` from its (W + 2) x (H + 2) point
// bounding box (the border is transparent, modules opaque black and white), then given the
// size W x module_size by H x module_size points. Null for an invalid symbol or module size.
Picture Data_Matrix_Picture(const Data_Matrix_Symbol& symbol, int module_size, double dpi);

// The designer's Data Matrix drawing: the value's UTF-8 bytes at the format and encoding
// items (marked with the UTF-8 ECI, in ASCII encodation, when any is beyond ASCII), drawn
// with Barcode_module_size points per module at USED_DPI_VALUE. When no symbol
// comes out, the diagnostic report is logged and the picture is null.
Picture Draw_DataMatrix_Barcode(const QString& value, const QString& format_item,
                                const QString& encoding_item);
// The same with its own module size (points) and resolution instead of the globals.
Picture Draw_DataMatrix_Barcode(const QString& value, const QString& format_item,
                                const QString& encoding_item, int module_size, double dpi);
