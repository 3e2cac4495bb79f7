#pragma once
// The export options: which side (both, front, back), both sides as one combined picture,
// the file type (the types this program writes: the files hold that type's data and its
// title in lower case is their extension), the resolution list (enabled for TIFF: the
// pixels per inch of the pictures; every other type is made at 300 dpi) and, when the
// design is bound to data, whether the series and the spreadsheet values are used. OK and
// Cancel end the modal run with 1 and 0.

#include "output/Card_Picture_File.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;

class Export_Window : public QDialog {
  Q_OBJECT

 public:
  explicit Export_Window(QWidget* parent = nullptr);

  QButtonGroup* matrix_export_card_side = nullptr;  // rows: 0 both, 1 front, 2 back
  QCheckBox* export_combined_image_chk = nullptr;
  QButtonGroup* matrix_file_type = nullptr;  // row k selects item k of the pop-up
  QComboBox* fileFormatPopup = nullptr;      // "TIFF", "PNG", "JPEG", "BMP": those written
  QComboBox* saveDPIText = nullptr;          // "300" (item 0), "72", "150", "600"
  QCheckBox* Export_with_batch_chk = nullptr;
  QCheckBox* Export_with_excel_chk = nullptr;

  // The state the export command opens with: resolution item 0 and enabled, type row 0
  // and item 0, combined off, the front side (export_card_side "F"); the data boxes
  // enabled and ticked as the series and spreadsheet sources are in use.
  void Reset(bool use_series, bool use_sheet);
  // The chosen type and its extension: the pop-up's title in lower case ("png").
  Card_File_Type Type() const;
  QString Extension() const;
  // The pictures' resolution in dots per inch for the type (the chosen one when none is
  // given): the resolution list's value for TIFF, 300 for every other type.
  int Resolution(Card_File_Type type) const;
  int Resolution() const { return Resolution(Type()); }
  // The resolution every type but TIFF is made at.
  static constexpr int Fixed_Resolution = 300;

 public slots:
  void export_card_side_CellClick();
  void export_file_type_CellClick();
  void exportFileTypeChanged();
  void exportOkay();
  void exportCancel();
  void reject() override { exportCancel(); }
};
