#pragma once
// The QR Code front end of the barcode designer: checks a value against the capacity of the
// chosen version and error-correction level, runs QR_Encoder, hands the modules back as a
// square grid and draws such a grid into a square picture rasterised at USED_DPI_VALUE.
//
// `DataMatrix` is the square module grid of a QR symbol (the name is historical: it has
// nothing to do with the Data Matrix symbology).

#include "model/Picture.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class DataMatrix {
 public:
  explicit DataMatrix(int dimension);  // n x n cells, all 0

  void set(std::uint8_t value, int x, int y);  // ignored outside the grid
  std::uint8_t valueAt(int x, int y) const;    // 0 outside the grid
  int dimension() const { return dimension_; }
  // Each row from y = 0: its cells from x = 0 in decimal without separator, then "\n".
  QString description() const;

 private:
  int dimension_ = 0;
  std::vector<std::uint8_t> data_;  // row y holds cells x = 0 .. n - 1
};

class QREncoder {
 public:
  // Level 0..3 (L, M, Q, H); version 0 ("Auto") or 1..40. The bytes up to the first zero byte
  // are encoded. nullptr when the level or version is out of range or the value is longer
  // than the version holds in its mode ("Auto": than version 40 holds); a grid of dimension
  // 0 when the encoder refuses the data (nothing to encode, or it fits no version). An ECI
  // assignment number (not below 0) opens the stream with its header.
  static std::unique_ptr<DataMatrix> encodeCStringWithECLevel(int level, int version,
                                                              const QByteArray& cstring,
                                                              int eci = -1);
  // The text's UTF-8 bytes in 8-bit byte mode (no Kanji detection on UTF-8 sequences). Text
  // beyond ASCII is marked as UTF-8 (ECI 26), so that no reader guesses another encoding;
  // ASCII text has no mark.
  static std::unique_ptr<DataMatrix> encodeWithECLevel(int level, int version,
                                                       const QString& string);

  // The grid drawn into a d x d pixel square, d points wide, centred with a transparent
  // margin, light modules opaque white and dark ones opaque black, then rasterised at
  // USED_DPI_VALUE. A d below the module count is raised to it, so every module gets at
  // least one pixel. Null for no grid or a grid of dimension 0.
  static Picture renderDataMatrix(const DataMatrix* grid, int imageDimension);
  // The same, rasterised at `dpi` dots per inch. A square too large to be drawn gives a null
  // picture and the reason: in *failure when given (workers report it as a value), else in
  // a message box.
  static Picture renderDataMatrix(const DataMatrix* grid, int imageDimension, double dpi,
                                  QString* failure = nullptr);

  // Characters that a symbol of the version (1..40) and level holds in each mode
  // (0 numeric, 1 alphanumeric, 2 8-bit byte, 3 Kanji); 0 outside the ranges.
  static int Capacity(int mode, int version, int level);
  // The same, less what the header of the ECI assignment number takes (none below 0).
  static int Capacity(int mode, int version, int level, int eci);

  // The ECI assignment number of UTF-8.
  static constexpr int kEci_Utf8 = 26;
};
