#pragma once
// Cell references of the A1 notation used by workbooks: columns A to XFD (1 to 16384),
// rows 1 to 1048576, and the test that decides which texts a workbook stores as numbers.

#include <QString>
#include <QStringView>

#include <string_view>

constexpr int kMax_Sheet_Columns = 16384;  // XFD
constexpr int kMax_Sheet_Rows = 1048576;

// 1 -> "A", 26 -> "Z", 27 -> "AA", 702 -> "ZZ", 703 -> "AAA", 16384 -> "XFD"; the empty text
// outside 1..16384.
QString Column_Letters(int column);

// The column of upper-case letters ("A" -> 1, "XFD" -> 16384); 0 when they name none.
int Column_Number(std::string_view letters);
int Column_Number(QStringView letters);

// A cell reference such as "C12" (with or without "$" marks): its 1-based column and row.
// False for any other text.
bool Parse_Cell_Reference(std::string_view text, int* column, int* row = nullptr);

// The number of columns, counted from column A, that a sheet dimension such as "A1:D20",
// "B2:D20" or the single cell "C3" covers (4, 4 and 3); 0 when the text is no reference.
int Dimension_Columns(std::string_view ref);
int Dimension_Columns(QStringView ref);

// True when the text is a plain decimal number that every spreadsheet program shows again
// as the same text, whatever the user's locale: an optional "-", digits without leading
// zeros, optionally "." and digits without trailing zeros, at most 15 significant digits,
// and not below 1E-14.
// "12", "-3.25" and "0.5" are numbers; "007", "1,5", "1.50", "+1", "1e3", "-0" are texts.
bool Is_Plain_Number(QStringView text);
