#pragma once
// The print dialog: prints the design as sheets of cards. The user picks the printer, the
// paper and orientation, the side ("F", "B", "BOTH" with front above or left of back), the
// card (cell) size, rows and columns, the gaps, the position of the block of cells or
// automatic centring, and how many cards; the dialog keeps the sheet layout fitted to the
// paper and redraws its sheet preview. Print hands the sheets to a print run (Print_Run),
// which draws every card on the printer as drawing (texts as text, barcodes as rectangles;
// the cards made on worker threads) while the progress sheet shows the sheets and offers
// Stop; the window stays live, and at the end a message says how many sheets were sent.
// Preview shows the job's sheets (at most 50, card pictures painted on the GUI thread) on
// the dialog's paper, with no page controls of its own; its Print runs the same print run
// as Print here, every sheet. Both take the design from one snapshot per job; with a bound
// series or spreadsheet each card is a record, made by the record renderer from that
// snapshot. The Copies field is the job's copy count.
//
// The dialog reaches the design window only through the hooks it is given. Stepper and
// field pairs copy their values both ways; the refit runs as the handlers below say. A
// stepper shows only its arrows: the number is its field's.

#include "model/Picture.h"
#include "output/Record_Renderer.h"
#include "output/Sheet_Pages.h"

#include <QDialog>
#include <QImage>
#include <QPageLayout>
#include <QPointer>

#include <functional>
#include <memory>

class Print_Run;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QScrollArea;
class QSpinBox;
class QDoubleSpinBox;
class QToolButton;
class Sample_Preview;

// What the dialog needs of the design window.
struct Print_Hooks {
  std::function<Picture(int side)> render_side;  // the design's side (0 front, 1 back)
  std::function<void()> batch_check;             // Check_Series_Or_Excel_Use_or_not
  std::function<void()> recount;                 // Get_total_Card_count
  // A renderer of the records from a snapshot of the design taken now (GUI thread).
  std::function<std::shared_ptr<Record_Renderer>()> record_renderer;
  std::function<void()> write_back;  // record 0 back into the front side
};

// The dialog's print info: the printer and its page layout (paper, orientation, margins).
struct Print_Info {
  QString printer;
  QPageLayout page;
  bool operator==(const Print_Info& o) const {
    return printer == o.printer && page.isEquivalentTo(o.page) &&
           page.margins() == o.page.margins();
  }
};

class Print_Wnd : public QDialog {
  Q_OBJECT

 public:
  static Print_Wnd* defaultInstance();
  explicit Print_Wnd(QWidget* parent = nullptr);
  ~Print_Wnd() override;

  Print_Hooks hooks;

 signals:
  // A print run is about to start (its sheets are then painted on its own thread).
  void runStarting(Print_Run* run);

 public:

  QScrollArea* Print_sclview = nullptr;
  Sample_Preview* PrintView = nullptr;
  QComboBox* Printer_ComboBox = nullptr;
  QComboBox* Orient_ComboBox = nullptr;  // "Portrait", "Landscape"
  QLabel *Paper_id = nullptr, *Size_id = nullptr;
  QLabel *l_mar_id = nullptr, *r_mar_id = nullptr, *t_mar_id = nullptr, *b_mar_id = nullptr;
  QDoubleSpinBox *horz_mar_Stepper = nullptr, *vert_mar_Stepper = nullptr;
  QDoubleSpinBox *width_Stepper = nullptr, *height_Stepper = nullptr;
  QSpinBox *Row_Stepper = nullptr, *Col_Stepper = nullptr, *Total_Stepper = nullptr,
           *Copies_Stepper = nullptr;
  QLineEdit *horz_mar_Text = nullptr, *vert_mar_Text = nullptr, *width_Text = nullptr,
            *height_Text = nullptr, *Row_Text = nullptr, *Col_Text = nullptr,
            *Total_Text = nullptr, *Copies_Text = nullptr;
  QCheckBox* Show_Margins = nullptr;
  QLabel* test_image_view = nullptr;
  QToolButton *top_left_btn = nullptr, *top_center_btn = nullptr, *top_rite_btn = nullptr,
              *mid_left_btn = nullptr, *mid_center_btn = nullptr, *mid_rite_btn = nullptr,
              *bot_left_btn = nullptr, *bot_center_btn = nullptr, *bot_rite_btn = nullptr;
  QGroupBox* align_Gp_Bx = nullptr;
  QCheckBox* Auto_Center_chk_bx = nullptr;
  QImage position_images[9], position_images_sel[9];  // plain and chosen, button order
  QString card_side_str = QStringLiteral("F");
  Picture front_image, back_image;
  QCheckBox* print_with_batch_chk = nullptr;
  QCheckBox* print_with_excel_chk = nullptr;
  QButtonGroup* matrix_card_side = nullptr;  // rows: 0 "BOTH", 1 "F", 2 "B"
  QComboBox* print_alignment = nullptr;      // 0 "U", other "L"
  QPointer<QDialog> preview_dialog;          // the preview while it is open

  // Resets the dialog, renders the card pictures and runs it; true unless the opening
  // failed.
  bool Open_Print_Wnd();
  const Print_Info& printInfo() const { return print_info_; }
  void setPrintInfo(const Print_Info& info);
  void Set_values_From_Printer();
  void Check_Max_Cell_Value();
  void Refresh_Preview();
  void Set_Reset_Alignemnt_Image();
  void Verify_Card_Count();
  // Starts a print (false) or a preview (true).
  void Execute_Printing(bool preview);
  static QString Find_Papaer_Name_From_Size(const QString& width, const QString& height);
  // The print info of a printer: its own page layout with this paper and orientation.
  static Print_Info Print_Info_For(const QString& printer, const QPageLayout& page);
  // Paints every page of the job on the printer; false when the job could not start.
  static bool Paint_Sheets(QPrinter& printer, Sheet_Pages& pages, bool preview);
  // The printer of a job: the print info's queue and page, full page, the copy count.
  static std::unique_ptr<QPrinter> Job_Printer(const Print_Info& info, int copies);

 public slots:
  void Horz_Margin_Changed();
  void Vert_Margin_Changed();
  void Width_Changed();
  void Height_Changed();
  void Row_Changed();
  void Col_Changed();
  void Total_Val_Changed();
  void Copies_Val_Changed();
  void Show_Margin_Checked();
  void Auto_Center_Checked();
  void Position_Clicked(int position);  // the nine Top_left_btn_clicked: .. handlers
  void card_side_CellClick();
  void comboBoxSelectionDidChange(QComboBox* combo);
  void pagesetup();
  void Print_With_Batch_Changed();
  void Print_With_Excel_Changed();
  void PreviewButtonPressed() { Execute_Printing(true); }
  void PrintButtonPressed() { Execute_Printing(false); }
  void CancelButtonPressed();
  void reject() override { CancelButtonPressed(); }

 private:
  void pair_changed(QObject* sender, QLineEdit* field, QDoubleSpinBox* stepper);
  void pair_changed(QObject* sender, QLineEdit* field, QSpinBox* stepper);
  void set_count(int count);
  // Runs the job on the printer of the print info: every sheet, with the progress sheet
  // and its Stop, then the result.
  void print_sheets(Sheet_Job job, const std::shared_ptr<Record_Renderer>& renderer);
  Print_Info print_info_;
};
