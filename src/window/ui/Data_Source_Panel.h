#pragma once
// The data-source page of texts and pictures: where the value comes from (typed by the
// user, a data series, or a column of the imported spreadsheet), which series or column,
// the view and help buttons. A choice records the binding in the graphic the page shows
// and shows the first value at once; choosing the series or column already chosen fetches
// it again. Loading the page shows the graphic's binding and fetches the bound first value
// into that graphic's text or picture: it writes nothing else, into no other graphic.

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
  // source item, then the bound series or column; a bound text or picture then shows the
  // first value of its series or column.
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
  // The bound first value fetched again for the graphic loaded, when the page shows its
  // binding: its text or picture path only.
  void show_bound_value(const std::shared_ptr<CRDGraphic>& graphic);
  // A text's characters or a picture's file (and the page's view of it) become `value`.
  void show_value(const std::shared_ptr<CRDGraphic>& graphic, const QString& value);
  // A user's choice of the series combo (also of the item already chosen).
  void series_activated();
  // The graphic the page shows: the one loaded last, else the canvas's selected graphic.
  std::shared_ptr<CRDGraphic> shown_graphic() const;
  CRDWindowController& window_;
  std::weak_ptr<CRDGraphic> shown_;
  // Set by a change of the series combo's item: the activation that follows a user's
  // choice of another item then adds nothing. The page's own selections (loading, the
  // value source choice) clear it when they are done.
  bool index_change_handled_ = false;
};
