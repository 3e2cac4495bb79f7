#include "output/ui/Sheet_Preview_Window.h"

#include "platform/Platform.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

Sheet_Preview_Window::Sheet_Preview_Window(QPrinter* printer, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Print_Preview"));
  setWindowTitle(QStringLiteral("Print Preview"));
  auto* layout = new QVBoxLayout(this);

  toolbar = new QToolBar(this);
  toolbar->setObjectName(QStringLiteral("Print_Preview_Toolbar"));
  toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  layout->addWidget(toolbar);

  preview = new QPrintPreviewWidget(printer, this);
  preview->setObjectName(QStringLiteral("Print_Preview_Pages"));
  layout->addWidget(preview, 1);
  connect(preview, &QPrintPreviewWidget::paintRequested, this,
          &Sheet_Preview_Window::paintRequested);

  auto add = [this](const QString& text, const QString& name, auto slot) {
    QAction* action = toolbar->addAction(text);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  fit_width = add(QStringLiteral("Fit Width"), QStringLiteral("fit_width"), [this] {
    preview->setZoomMode(QPrintPreviewWidget::FitToWidth);
  });
  fit_page = add(QStringLiteral("Fit Page"), QStringLiteral("fit_page"), [this] {
    preview->setZoomMode(QPrintPreviewWidget::FitInView);
  });
  zoom_in = add(QStringLiteral("Zoom In"), QStringLiteral("zoom_in"), [this] { preview->zoomIn(); });
  zoom_out = add(QStringLiteral("Zoom Out"), QStringLiteral("zoom_out"), [this] { preview->zoomOut(); });
  toolbar->addSeparator();
  first_page = add(QStringLiteral("First"), QStringLiteral("first_page"), [this] {
    preview->setCurrentPage(1);
  });
  previous_page = add(QStringLiteral("Previous"), QStringLiteral("previous_page"), [this] {
    preview->setCurrentPage(preview->currentPage() - 1);
  });
  page_label = new QLabel(toolbar);
  page_label->setObjectName(QStringLiteral("page_label"));
  page_label->setContentsMargins(8, 0, 8, 0);
  toolbar->addWidget(page_label);
  next_page = add(QStringLiteral("Next"), QStringLiteral("next_page"), [this] {
    preview->setCurrentPage(preview->currentPage() + 1);
  });
  last_page = add(QStringLiteral("Last"), QStringLiteral("last_page"), [this] {
    preview->setCurrentPage(preview->pageCount());
  });
  // The sheet shown changes with the buttons and with scrolling; the preview tells only
  // of a new layout or zoom.
  connect(preview, &QPrintPreviewWidget::previewChanged, this, &Sheet_Preview_Window::show_page);
  for (QAction* action : {first_page, previous_page, next_page, last_page})
    connect(action, &QAction::triggered, this, &Sheet_Preview_Window::show_page);
  for (QScrollBar* bar : preview->findChildren<QScrollBar*>())
    connect(bar, &QScrollBar::valueChanged, this, &Sheet_Preview_Window::show_page);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  Print_btn = new QPushButton(QStringLiteral("Print..."), this);
  Print_btn->setObjectName(QStringLiteral("Print_btn"));
  Print_btn->setToolTip(QStringLiteral("Print every sheet of the job"));
  Close_btn = new QPushButton(QStringLiteral("Close"), this);
  Close_btn->setObjectName(QStringLiteral("Close_btn"));
  Close_btn->setDefault(true);
  buttons->addWidget(Print_btn);
  buttons->addWidget(Close_btn);
  layout->addLayout(buttons);
  connect(Print_btn, &QPushButton::clicked, this,
          [this] { platform::Stop_Modal(this, Print_Chosen); });
  connect(Close_btn, &QPushButton::clicked, this, &Sheet_Preview_Window::reject);

  resize(900, 760);
}

void Sheet_Preview_Window::reject() { platform::Stop_Modal(this, Closed); }

void Sheet_Preview_Window::show_page() {
  const int count = preview->pageCount();
  const int page = preview->currentPage();
  page_label->setText(QStringLiteral("Sheet %1 of %2").arg(page).arg(count));
  first_page->setEnabled(page > 1);
  previous_page->setEnabled(page > 1);
  next_page->setEnabled(page < count);
  last_page->setEnabled(page < count);
}
