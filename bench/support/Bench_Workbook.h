#pragma once
// The workbook the spreadsheet benchmarks read: 100,000 rows x 10 columns, five text
// columns (a city, the row and the column) and five number columns (the row number, then
// amounts with two decimals), the same every run.

#include "series/SpreadsheetWriter.h"

#include <random>

constexpr int Bench_Workbook_Rows_Count = 100000;
constexpr int Bench_Workbook_Columns = 10;

inline Sheet_Rows Bench_Workbook_Rows() {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> cents(0, 9999999);
  const QStringList cities = {"Oslo", "Lisboa", "Z\u00fcrich", "Krak\u00f3w", "Kyoto", "Lima"};
  Sheet_Rows rows;
  rows.reserve(Bench_Workbook_Rows_Count);
  for (int r = 0; r < Bench_Workbook_Rows_Count; ++r) {
    QStringList row;
    row.reserve(Bench_Workbook_Columns);
    for (int c = 0; c < Bench_Workbook_Columns; ++c) {
      if (c % 2 == 0)
        row << QStringLiteral("%1 %2-%3").arg(cities.at((r + c) % cities.size())).arg(r).arg(c);
      else if (c == 1)
        row << QString::number(r + 1);
      else
        row << QStringLiteral("%1.%2").arg(cents(random) / 100).arg(1 + cents(random) % 99);
    }
    rows << row;
  }
  return rows;
}

