#pragma once
// The data-source page of texts and pictures: where the value comes from (typed by the
// user, a data series, or a column of the imported spreadsheet), which series or column,
// the view and help buttons. A choice records the binding in the graphic the page shows
// and shows the first value at once. Loading the page only shows the graphic's binding:
// the choices it makes then write into no graphic.

#include "model/CRDGraphic.h"

#include <QObject>

class CRDWindowController;
class QComboBox;
class QLabel;
class QPushButton;

class Data_Source_Panel : public QObject {
  Q_OBJECT

 public:
  explicit Data_Source_Panel(CRDWindowController& window);

  // The page's title and the data-source controls of a text, picture or signature: the
  // source item, then the bound series or column.
  void Load(CRDGraphic& graphic, const QString& title);

  // The value source choice (Data_source_type changed) and the series or column choice
  // (Batch_Series changed).
  void Value_Source_Choice();
  void Series_Choice();

  QLabel* data_source_title = nullptr;
  QComboBox* Data_source_type = nullptr;
  QComboBox* Batch_Series = nullptr;
  QPushButton* view_series_btn = nullptr;
  QPushButton* data_source_help_btn = nullptr;

 private:
  // Controls for a typed value (manual) or for a bound one.
  void enable_for(bool manual);
  // The graphic the page shows: the one loaded last, else the canvas's selected graphic.
  std::shared_ptr<CRDGraphic> shown_graphic() const;
  CRDWindowController& window_;
  std::weak_ptr<CRDGraphic> shown_;
};
