#include "series/ui/Import_Excel.h"

#include "model/Common_Functions.h"
#include "model/Design_Window_Services.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "series/Data_From_Excel.h"
#include "series/Import_Text.h"
#include "series/Sheet_Import.h"
#include "series/ui/BatchWizard.h"
#include "series/ui/Series_Dialog_Parts.h"
#include "series/ui/Work_Progress.h"

#include <QComboBox>

#include <QLineEdit>

namespace {
Import_Excel* Import_Excel_Instance = nullptr;
}

Import_Excel* Import_Excel::defaultInstance() {
  if (!Import_Excel_Instance) Import_Excel_Instance = new Import_Excel;
  return Import_Excel_Instance;
}

Import_Excel::Import_Excel()
    : Sheet_Picker("Import_Excel", QStringLiteral("Import from Spreadsheet"), false) {}

void Import_Excel::OKPressed() {
  if (!Check_Choice()) return;
  if (open_mode == QLatin1String("D"))
    Insert_file_Func();
  else
    Create_Excel_List_Func();
}

void Import_Excel::Insert_file_Func() {
  QString reason;
  const Sheet_Rows rows = Read_Rows(&reason);
  if (rows.isEmpty()) {
    Show_MessageBox(With_Reason(Import_File_Corrupted, reason));
  } else if (const Import_Values taken = Row_Major_Values(rows, ListData_xl->Ticked(), Header_On());
             !taken.refusal.isEmpty()) {
    Show_MessageBox(QStringLiteral("Nothing was imported.\n\n") + taken.refusal);
  } else {
    BatchWizard::defaultInstance()->Append_Values(taken.values);
  }
  platform::Stop_Modal(this, 1);
}

void Import_Excel::Create_Excel_List_Func() {
  QList<int> columns;
  QStringList titles;
  for (int j : ListData_xl->Ticked()) {
    columns << j;
    titles << ListData_xl->row(j).title;
  }
  // The rows are read and the table's rows made on a worker; the table is filled here. A
  // table of more rows than the design's file can hold is refused before its rows are made
  // (they would take far more memory than the sheet).
  const qint64 most_rows = Window_Design_Table_Most_Rows(int(columns.size()));
  struct Made {
    bool read = false;
    QString reason;  // why the sheet could not be read
    qsizetype count = 0;  // the table's rows
    Data_Table_Rows rows;  // made only when they are no more than most_rows
  };
  Excel_Sheet_Number = Sheet_ComboBox->currentIndex() + 1;
  const bool header_on = Header_On();
  const Made made = Run_With_Progress<Made>(this, QStringLiteral("Reading the workbook…"),
                                            [columns, header_on, most_rows] {
    QString reason;
    const Sheet_Rows rows = Sheet_Data_Rows(&reason);
    Made made{!rows.isEmpty(), reason, Data_Table_Row_Count(rows, header_on), {}};
    if (made.read && made.count <= most_rows)
      made.rows = Data_Table_Rows_Of(rows, columns, header_on);
    return made;
  });
  // A table the design's file could not hold is not loaded: the table stays as it was.
  const auto refuse = [](const QString& refusal) {
    Show_MessageBox(QStringLiteral("The table was not loaded: with it, %1.").arg(refusal));
  };
  if (!made.read) {  // the table stays as it was
    Show_MessageBox(With_Reason(Import_File_Corrupted, made.reason));
  } else if (made.count > most_rows) {
    refuse(Window_Design_Refuses_Table_Rows(titles, made.count));
  } else if (const QString refusal = Window_Design_Refuses_Table(titles, made.rows);
             !refusal.isEmpty()) {
    refuse(refusal);
  } else {
    Fill_Data_Table(*Data_From_Excel::defaultInstance(), made.rows, titles);
  }
  platform::Stop_Modal(this, 1);
}
