#pragma once
// The preview of the printed sheets: the pages of a print job as the printer will get
// them, with zoom and page buttons, and Print and Close. The paper, orientation and margins
// are the print dialog's; the preview offers no page controls of its own, because the
// sheet layout was fitted to that paper and is drawn only on it. Print closes the preview
// with Print_Chosen, and the print dialog then runs the whole job as its own Print does
// (every sheet, the progress sheet with Stop, the result). The pages are painted on the
// GUI thread whenever the preview asks (paintRequested).

#include <QDialog>

class QAction;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class QToolBar;

class Sheet_Preview_Window : public QDialog {
  Q_OBJECT

 public:
  // The codes the modal run ends with.
  enum Code { Closed = 0, Print_Chosen = 2 };

  // The printer gives the pages' paper; it must outlive the window.
  Sheet_Preview_Window(QPrinter* printer, QWidget* parent = nullptr);

  QPrintPreviewWidget* preview = nullptr;
  QToolBar* toolbar = nullptr;
  QAction *fit_width = nullptr, *fit_page = nullptr, *zoom_in = nullptr, *zoom_out = nullptr;
  QAction *first_page = nullptr, *previous_page = nullptr, *next_page = nullptr,
          *last_page = nullptr;
  QLabel* page_label = nullptr;  // "Sheet 3 of 50"
  QPushButton* Print_btn = nullptr;
  QPushButton* Close_btn = nullptr;

 signals:
  void paintRequested(QPrinter* printer);

 public slots:
  void reject() override;

 private:
  void show_page();
};
