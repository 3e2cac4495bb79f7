// The design window's print commands: the toolbar's Print (sheets of cards through the
// print dialog) and File > Print... (the document's front side).

#include "window/ui/CRDWindowController.h"

#include "canvas/CRDRenderingView.h"
#include "model/CRDDocument.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "output/Record_Renderer.h"
#include "output/ui/Print_Wnd.h"
#include "platform/Platform.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QToolBar>
#include <QToolButton>

#include <exception>
#include <memory>

void CRDWindowController::add_print_button(QToolBar* toolbar) {
  Print_btn = new QToolButton(toolbar);
  Print_btn->setObjectName(QStringLiteral("Print_btn"));
  Print_btn->setText(QStringLiteral("Print"));
  Print_btn->setToolTip(QStringLiteral("Print the cards as sheets"));
  toolbar->addWidget(Print_btn);
  connect(Print_btn, &QToolButton::clicked, this, &CRDWindowController::Print_Button);

  Print_menu_item = File_menu()->addAction(QStringLiteral("Print..."));
  Print_menu_item->setObjectName(QStringLiteral("Print_menu_item"));
  Print_menu_item->setShortcut(QKeySequence::Print);
  connect(Print_menu_item, &QAction::triggered, this, &CRDWindowController::Print_Document);
}

QMenu* CRDWindowController::File_menu() {
  if (auto* menu = menuBar()->findChild<QMenu*>(QStringLiteral("File_menu"))) return menu;
  auto* menu = new QMenu(QStringLiteral("&File"), menuBar());
  menu->setObjectName(QStringLiteral("File_menu"));
  const QList<QAction*> existing = menuBar()->actions();
  menuBar()->insertMenu(existing.isEmpty() ? nullptr : existing.first(), menu);
  return menu;
}

void CRDWindowController::install_print_hooks() {
  // Hooks of a window that is gone do nothing.
  QPointer<CRDWindowController> self(this);
  Print_Hooks& hooks = Print_Wnd::defaultInstance()->hooks;
  hooks.render_side = [self](int side) {
    if (!self) return Picture();
    Card_Front_Or_Back = side;
    return CRDRenderingView::image_From_Card_Graphics(
        side == 0 ? self->Get_Front_Controls_Array() : self->Get_Back_Controls_Array(), false);
  };
  hooks.batch_check = [self] {
    if (self) self->Check_Series_Or_Excel_Use_or_not();
  };
  hooks.recount = [self] {
    if (self) self->Get_total_Card_count();
  };
  // One snapshot of the design per job; the job renders its records from it.
  hooks.record_renderer = [self]() -> std::shared_ptr<Record_Renderer> {
    if (!self) return nullptr;
    return std::make_shared<Record_Renderer>(self->export_snapshot(0), self->export_snapshot(1),
                                             self->batch_values, self->batch_designer);
  };
  hooks.write_back = [self] {
    if (self) self->Select_first_row_value_for_design(true);
  };
}

void CRDWindowController::Print_Button() {
  try {
    Check_Series_Or_Excel_Use_or_not();
    if ((Use_Data_Sheet_Values || Use_Excel_Binding_Values) && Total_Batch_Excel_Card == 0) {
      Show_MessageBox(QStringLiteral("List is empty."));
      return;
    }
    Print_method();
  } catch (const std::exception& error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void CRDWindowController::Print_method() {
  try {
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
      Show_MessageBox(QStringLiteral("No printer found."));
      return;
    }
    Print_Wnd* dialog = Print_Wnd::defaultInstance();
    if (!dialog->parent()) {
      dialog->setParent(this, dialog->windowFlags());
    }
    install_print_hooks();
    dialog->Open_Print_Wnd();
  } catch (const std::exception& error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void CRDWindowController::Print_Document() {
  try {
    const QSizeF size = CRDDocument::canvasSize(true, QSizeF());
    const QString title = document_ ? document_->displayName() : QString();
    const CRDRenderingView view(QRectF(QPointF(0, 0), size), Get_Front_Controls_Array(), title);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(view.printJobTitle());
    // The document's print info gives the job its orientation and margins; the print
    // dialog keeps them, and on a CUPS printer puts the printer's default paper in place
    // of the print info's (which nothing here lets the user choose).
    if (document_) printer.setPageLayout(document_->printInfo());
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("Print_Dialog"));
    if (platform::Run_Modal(&dialog) != QDialog::Accepted) return;
    QPainter painter;
    if (!painter.begin(&printer)) {
      Show_MessageBox(QStringLiteral("The print job could not be started on the printer \"%1\".")
                          .arg(printer.printerName()));
      return;
    }
    const double scale = printer.resolution() / 72.0;
    painter.scale(scale, scale);
    const int before = Card_Front_Or_Back;
    Card_Front_Or_Back = 0;
    view.drawRect(painter, view.bounds());
    Card_Front_Or_Back = before;
    painter.end();
  } catch (const std::exception& error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}
