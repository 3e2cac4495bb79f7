#include "window/ui/Data_Source_Panel.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "model/ui/Set_Obj_Enabled.h"
#include "output/Batch_Binding.h"
#include "output/Design_Binding.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Panel_Controls.h"
#include "window/ui/Picture_Panel.h"
#include "window/ui/Text_Panel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <utility>

Data_Source_Panel::Data_Source_Panel(CRDWindowController& window) : QObject(&window), window_(window) {
  setObjectName(QStringLiteral("Data_Source_Panel"));
  QWidget* page = window.datasource_tab;
  auto* layout = Fresh_Page_Layout(page);
  data_source_title = Named(new QLabel(QStringLiteral("Text Source"), page), "data_source_title");
  QFont bold = data_source_title->font();
  bold.setBold(true);
  data_source_title->setFont(bold);
  Data_source_type = Named(new QComboBox(page), "Data_source_type");
  Data_source_type->addItems({Source_Manual_Item, Source_Series_Item});
  Batch_Series = Named(new QComboBox(page), "Batch_Series");
  Batch_Series->setMinimumContentsLength(12);
  Batch_Series->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  view_series_btn = Named(new QPushButton(QStringLiteral("View"), page), "view_series_btn");
  data_source_help_btn = Named(new QPushButton(QStringLiteral("Help"), page), "data_source_help_btn");
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Source"), Data_source_type);
  form->addRow(QStringLiteral("Values"), Batch_Series);
  layout->addWidget(data_source_title);
  layout->addLayout(form);
  layout->addLayout(Row_Of({view_series_btn, data_source_help_btn}));
  // The picture panel adds its file box below.
  enable_for(true);

  // Choosing the item already shown fetches its first value again (a change of item is
  // reported as a change of the combo's selection).
  connect(Batch_Series, &QComboBox::activated, this, &Data_Source_Panel::series_activated);
  connect(view_series_btn, &QPushButton::clicked, &window, &CRDWindowController::View_batch_Series_Button);
  connect(data_source_help_btn, &QPushButton::clicked, &window, &CRDWindowController::Data_Source_Help_Button);
}

void Data_Source_Panel::Load(CRDGraphic& graphic, const QString& title) {
  // The items selected here are the program's: no activation follows them.
  const auto programs_choices = qScopeGuard([this] { index_change_handled_ = false; });
  shown_ = graphic.weak_from_this();
  if (!title.isEmpty()) {
    window_.datasource_tab->setWindowTitle(title);
    data_source_title->setText(title);
  }
  const QString bound = graphic.batch_list_name;
  window_.Select_Combo_Item(Data_source_type, graphic.data_source_type);
  if (!bound.isEmpty() && Batch_Series->currentText() != bound)
    Batch_Series->setCurrentIndex(Batch_Series->findText(bound));
  show_bound_value(graphic.weak_from_this().lock());
}

void Data_Source_Panel::show_bound_value(const std::shared_ptr<CRDGraphic>& graphic) {
  if (!graphic) return;
  const QString kind = graphic->className();
  if (kind != QLatin1String("CRDText") && kind != QLatin1String("CRDImage")) return;
  // Only what the page shows: the graphic's own source, series or column.
  QString value;
  if (graphic->data_source_type == Source_Series) {
    const QString name = Trim_Str(Batch_Series->currentText());
    if (Data_source_type->currentText() != Source_Series_Item || name.isEmpty() ||
        name != Trim_Str(graphic->batch_list_name))
      return;
    value = window_.Get_First_Value_Of_Dataset(name);
  } else if (graphic->data_source_type == Source_Sheet) {
    const int column = Batch_Series->currentIndex();
    if (Data_source_type->currentText() != Source_Excel_Item || column < 0 ||
        column != graphic->excel_col_indx)
      return;
    value = window_.Get_First_Value_Of_Excel_Binding(column);
  } else {
    return;
  }
  const bool same = kind == QLatin1String("CRDText")
                        ? graphic->Text_contents()->string() == value
                        : graphic->_file_path == value;
  if (same) return;
  show_value(graphic, value);
  window_.Refresh_Canvas();
}

void Data_Source_Panel::show_value(const std::shared_ptr<CRDGraphic>& graphic, const QString& value) {
  const QString kind = graphic->className();
  if (kind == QLatin1String("CRDText")) {
    graphic->Text_contents()->replaceCharacters(value);
    window_.text_panel->Set_Editor_Text(value);
  } else if (kind == QLatin1String("CRDImage")) {
    graphic->setFilePath(value);
    window_.picture_panel->Manual_image_path->setText(value);
  }
}

void Data_Source_Panel::series_activated() {
  if (std::exchange(index_change_handled_, false)) return;
  Series_Choice();
}

std::shared_ptr<CRDGraphic> Data_Source_Panel::shown_graphic() const {
  if (auto shown = shown_.lock()) return shown;
  return window_.current_canvas()->Selected_Graphic();
}

void Data_Source_Panel::enable_for(bool manual) {
  view_series_btn->setEnabled(!manual);
  Batch_Series->setEnabled(!manual);
  if (window_.text_panel) {
    window_.text_panel->Text_value_Edit->setReadOnly(!manual);
    // A greeting would overwrite the value a bound text takes from its data.
    window_.text_panel->insert_template_btn->setEnabled(manual);
  }
  if (window_.picture_panel) SetObjEnabled(window_.picture_panel->manual_brws_box, manual);
}

void Data_Source_Panel::Value_Source_Choice() {
  const auto programs_choices = qScopeGuard([this] { index_change_handled_ = false; });
  const auto shown = shown_graphic();
  // While the page is being loaded it only shows: the choice writes into no graphic.
  const auto graphic = Not_Draw_Only_Prop_Change ? nullptr : shown;
  const QString choice = Data_source_type->currentText();
  if (choice.isEmpty()) return;
  if (choice == Source_Manual_Item) {
    enable_for(true);
    if (graphic) graphic->Set_Data_source_type(Source_Manual);
    return;
  }
  enable_for(false);
  if (choice == Source_Series_Item) {
    window_.Fill_Data_Set_File_Name_In_Combo(Batch_Series);
    if (Batch_Series->count() == 0) {
      Show_MessageBox(QStringLiteral("Please create batch processing series first."));
      return;
    }
    if (shown && !shown->batch_list_name.isEmpty())
      Batch_Series->setCurrentIndex(Batch_Series->findText(shown->batch_list_name));
    if (graphic) graphic->Set_Data_source_type(Source_Series);
    return;
  }
  window_.Fill_Excel_Col_Name_In_Combo(Batch_Series);
  if (shown) {
    // Choosing the item reports it; the binding itself changes only with a choice.
    window_.Select_Combo_Item(Batch_Series, shown->excel_col_indx);
    if (graphic) graphic->Set_Data_source_type(Source_Sheet);
  }
}

void Data_Source_Panel::Series_Choice() {
  // A user's choice of another item reports the change first, then the activation.
  index_change_handled_ = true;
  const QString choice = Data_source_type->currentText();
  const QString name = Trim_Str(Batch_Series->currentText());
  const int index = Batch_Series->currentIndex();
  // Loading the page shows the binding and writes nothing.
  if (Not_Draw_Only_Prop_Change) return;
  const auto graphic = shown_graphic();
  // Nothing to fetch for a typed value: the text or picture path stays.
  if (name.isEmpty() || !graphic || choice == Source_Manual_Item || choice.isEmpty()) return;
  QString value;
  if (choice == Source_Series_Item) {
    graphic->Set_Data_source_type(Source_Series);
    graphic->Set_Batch_List_Name(name);
    graphic->Set_Batch_List_Index(index);
    value = window_.Get_First_Value_Of_Dataset(name);
  } else {
    graphic->Set_Data_source_type(Source_Sheet);
    graphic->Set_Excel_binding_Index(index);
    value = window_.Get_First_Value_Of_Excel_Binding(index);
  }
  show_value(graphic, value);
  if (graphic->className() == QLatin1String("CRDImage")) window_.picture_panel->Update_Image_Graphics();
  window_.Refresh_Canvas();
  window_.current_canvas()->startEditingGraphic(graphic);
  window_.Refresh_Canvas();
}
