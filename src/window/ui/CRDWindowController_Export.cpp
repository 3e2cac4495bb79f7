// The design window's export command, single and batch export, and the batch record
// binding of the live design.

#include "window/ui/CRDWindowController.h"

#include "canvas/CRDRenderingView.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "output/Batch_Export.h"
#include "output/Card_Picture_File.h"
#include "output/Record_Renderer.h"
#include "output/ui/Export_Window.h"
#include "output/ui/Send_Modeless.h"
#include "platform/Platform.h"
#include "series/Data_From_Excel.h"
#include "window/Image_Saving.h"

#include <QCheckBox>
#include <QToolBar>
#include <QToolButton>

void CRDWindowController::add_export_button(QToolBar* toolbar) {
  Export_btn = new QToolButton(toolbar);
  Export_btn->setObjectName(QStringLiteral("Export_btn"));
  Export_btn->setText(QStringLiteral("Export"));
  Export_btn->setToolTip(QStringLiteral("Export the card as pictures"));
  toolbar->addWidget(Export_btn);
  connect(Export_btn, &QToolButton::clicked, this, &CRDWindowController::Export_Button);
  toolbar->addSeparator();
}

// ---- Batch record binding -------------------------------------------------------------------

void CRDWindowController::Check_Series_Or_Excel_Use_or_not() {
  batch_values = Batch_Check(Get_Front_Controls_Array(), Get_Back_Controls_Array(),
                             CARD_SIDE_STR == QLatin1String("2"),
                             Data_From_Excel::defaultInstance()->ListData());
  Use_Data_Sheet_Values = batch_values.use_series;
  Use_Excel_Binding_Values = batch_values.use_sheet;
  Data_table_rows = batch_values.series_rows;
  Excel_table_rows = batch_values.sheet_rows;
  Total_Batch_Excel_Card = batch_values.total;
}

void CRDWindowController::Get_total_Card_count() {
  batch_values.use_series = batch_values.use_series && Use_Data_Sheet_Values;
  batch_values.use_sheet = batch_values.use_sheet && Use_Excel_Binding_Values;
  batch_values.Recount();
  Data_table_rows = batch_values.series_rows;
  Excel_table_rows = batch_values.sheet_rows;
  Total_Batch_Excel_Card = batch_values.total;
}

Picture CRDWindowController::Set_data_table_value_to_card(int record, const QString& card_side,
                                                          bool print_box, Binding_Report* report) {
  const bool front = card_side == QLatin1String("F");
  Card_Front_Or_Back = front ? 0 : 1;
  const Graphic_List& side = front ? Get_Front_Controls_Array() : Get_Back_Controls_Array();
  Binding_Report binding;
  const Picture barcode =
      Assign_Batch_Values(side, record, batch_values, batch_designer, nullptr, &binding);
  if (!barcode.isNull()) Barcode_output_image = barcode;
  if (report) *report = binding;
  else if (!binding.barcode_failure.isEmpty()) Show_MessageBox(binding.barcode_failure);
  return CRDRenderingView::image_From_Card_Graphics(side, print_box);
}

void CRDWindowController::Select_first_row_value_for_design(bool print_box) {
  Binding_Report reported_by_the_run;
  Set_data_table_value_to_card(0, QStringLiteral("F"), print_box, &reported_by_the_run);
  Card_Value_In_Process = false;
  Refresh_Canvas();
}

// ---- Export ---------------------------------------------------------------------------------

void CRDWindowController::Export_Button() {
  if (!ExportWindow) ExportWindow = new Export_Window(this);
  Check_Series_Or_Excel_Use_or_not();
  ExportWindow->Reset(Use_Data_Sheet_Values, Use_Excel_Binding_Values);
  if (platform::Run_Modal(ExportWindow) == 0) return;
  ExportWindow->hide();
  if (!ExportWindow->Export_with_batch_chk->isChecked()) Use_Data_Sheet_Values = false;
  if (!ExportWindow->Export_with_excel_chk->isChecked()) Use_Excel_Binding_Values = false;
  Get_total_Card_count();
  if (!Use_Data_Sheet_Values && !Use_Excel_Binding_Values) {
    platform::Save_Panel_Options options;
    options.title = QStringLiteral("Export Card");
    options.file_name = QStringLiteral("Card");
    options.extension = ExportWindow->Extension();
    const QString path = platform::Save_Panel(options);
    if (path.isEmpty()) return;
    raise();
    activateWindow();
    Export_Single_File(path, true);
    return;
  }
  platform::Open_Panel_Options options;
  options.title = QStringLiteral("Choose the folder for the cards");
  options.choose_folders = true;
  const QString folder = platform::Open_File_Panel(options);
  if (!folder.isEmpty()) Export_Batch_File(folder);
}

Card_Side_Snapshot CRDWindowController::export_snapshot(int side) {
  const int before = Card_Front_Or_Back;
  Card_Front_Or_Back = side;
  Card_Side_Snapshot snapshot =
      Current_Card_Side(side == 0 ? Get_Front_Controls_Array() : Get_Back_Controls_Array());
  Card_Front_Or_Back = before;
  return snapshot;
}

bool CRDWindowController::Export_Single_File(const QString& given_path, bool show_msg) {
  if (!ExportWindow) ExportWindow = new Export_Window(this);
  const int side_before = Card_Front_Or_Back;
  const QString side = export_card_side.get();
  // The name decides the data: "card.png" is PNG whatever type the options show (the
  // template preview relies on it); a name without a type's extension gets the chosen one.
  QString path = given_path;
  const Card_File_Type type = Card_File_Type_For_Path(&path, ExportWindow->Type());
  const int dpi = ExportWindow->Resolution(type);
  auto render = [this, dpi](int card_side) {
    Card_Front_Or_Back = card_side;
    return CRDRenderingView::image_From_Card_Graphics(
        card_side == 0 ? Get_Front_Controls_Array() : Get_Back_Controls_Array(), false, dpi);
  };
  // A side the renderer could not make (too large, no memory) is not saved: the renderer
  // has said why, and a second message about an empty picture would only hide that.
  auto save = [type](const Picture& picture, const QString& file) {
    return !picture.isNull() && Save_Card_Picture(picture, file, type);
  };
  QString shown_path;
  bool written = false;
  if (side == QLatin1String("BOTH")) {
    const bool combined = ExportWindow->export_combined_image_chk->isChecked();
    shown_path = combined ? path : Create_Front_Card_Path(path);
    if (combined) {
      // Both sides, the picture of the two and its data are held at once: within what the
      // card pictures of an export may take, as in a batch.
      if (const QString refusal = Combined_Export_Refusal(
              Current_Card_Side(Get_Front_Controls_Array()).frame, dpi,
              Record_Renderer::Run_Picture_Bytes);
          !refusal.isEmpty()) {
        Show_MessageBox(refusal);
      } else {
        const Picture back = render(1);
        const Picture both = Combine_Card_Pictures(render(0), back);
        if (both.isNull()) Show_NSLog_Message(QStringLiteral("Invalid image"));
        else written = save(both, shown_path);
      }
    } else if (const QString back_path = Create_Back_Card_Path(path); save(render(1), back_path)) {
      // The back is let go before the front is made.
      // Both files or neither (the save has said why one failed).
      written = save(render(0), shown_path);
      if (!written) {
        QString reason;
        Remove_Written_Side(back_path, &reason);
        if (!reason.isEmpty()) Show_NSLog_Message(reason.trimmed());
      }
    }
  } else if (side == QLatin1String("F")) {
    shown_path = Create_Front_Card_Path(path);
    written = save(render(0), shown_path);
  } else {
    shown_path = Create_Back_Card_Path(path);
    written = save(render(1), shown_path);
  }
  Card_Front_Or_Back = side_before;
  if (show_msg && written) {
    Export_File_Path = shown_path;
    Export_File_Message = With_Missing_Picture_Files(
        QStringLiteral("Card has been exported successfully."), exported_missing_pictures(side));
    Open_Export_File_Box();
  }
  return written;
}

void CRDWindowController::Export_Batch_File(const QString& folder) {
  if (batch_export_ && !batch_export_->isFinished()) return;  // one run at a time
  delete batch_export_;
  if (!ExportWindow) ExportWindow = new Export_Window(this);
  Card_Value_In_Process = true;
  const int side_before = Card_Front_Or_Back;
  Stop_SMS_Sending_Now = false;
  QString why;
  const QString output = Batch_Output_Folder(folder, &why);
  if (output.isEmpty()) {
    Show_MessageBox(why.isEmpty() ? unable_saving_Msg
                                  : unable_saving_Msg + QStringLiteral("\n\n") + why);
    Card_Value_In_Process = false;
    return;
  }
  Batch_Export_Options options;
  options.folder = output;
  options.side = export_card_side.get();
  options.combined = ExportWindow->export_combined_image_chk->isChecked();
  options.type = ExportWindow->Type();
  // Both sides are copied once per worker here, on the GUI thread; the run never reads
  // the live design.
  const Record_Renderer prototype(export_snapshot(0), export_snapshot(1), batch_values,
                                  batch_designer, ExportWindow->Resolution());
  auto* run = new Batch_Export(prototype, options, this);
  batch_export_ = run;
  if (!send_modls_wnd) send_modls_wnd = Send_Modeless::defaultInstance();
  Send_Models_Window = send_modls_wnd;
  send_modls_wnd->Start_Run(this, prototype.Record_Count(), QStringLiteral("%d / %d Card"));
  const QStringList missing = exported_missing_pictures(options.side);
  connect(run, &Batch_Export::finished, this, [this, output, side_before, missing] {
    batch_export_ended(output, side_before, missing);
  });
  run->start();
}

QStringList CRDWindowController::exported_missing_pictures(const QString& side) {
  const Graphic_List front = Get_Front_Controls_Array();
  const Graphic_List back = Get_Back_Controls_Array();
  if (side == QLatin1String("BOTH")) return Missing_Picture_Files({&front, &back});
  return Missing_Picture_Files({side == QLatin1String("F") ? &front : &back});
}

void CRDWindowController::batch_export_ended(const QString& folder, int side_before,
                                             const QStringList& missing_pictures) {
  if (send_modls_wnd) send_modls_wnd->End_Run();
  Export_File_Path = folder;
  Export_File_Message = With_Missing_Picture_Files(
      batch_export_ ? Batch_Result_Message(batch_export_->result()) : QString(), missing_pictures);
  Select_first_row_value_for_design(false);
  Card_Front_Or_Back = side_before;
  Refresh_Canvas();
  Open_Export_File_Box();
}

Batch_Export* CRDWindowController::Current_Batch_Export() const { return batch_export_.data(); }
