// The design window's look: the tool pictures and the checked tool, the toolbar's icons,
// rows and groups, tooltips (with why a control is disabled), and a sidebar wide enough
// for its tabs. What each control shows comes from the table in Window_Icons.

#include "window/Object_Panel_Values.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Window_Icons.h"

#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int Tool_Icon_Size = 28;

}  // namespace

void CRDWindowController::Apply_Window_Look() {
  window_icons::Use_Installed_Icon_Theme();
  if (auto* toolbar = findChild<QToolBar*>(QStringLiteral("Main_Toolbar")))
    window_icons::Arrange_Toolbars(this, toolbar);
  window_icons::Apply_Looks(this);

  const qreal ratio = devicePixelRatioF();
  if (auto* palette = findChild<QWidget*>(QStringLiteral("Tool_Palette"))) {
    for (QToolButton* button : palette->findChildren<QToolButton*>()) {
      const QVariant tool = button->property("tool");
      if (!tool.isValid()) continue;
      button->setIcon(window_icons::Tool_Icon(tool.toInt(), ratio));
      button->setIconSize(QSize(Tool_Icon_Size, Tool_Icon_Size));
      // The tooltip names the tool; the picture shows it.
      button->setToolButtonStyle(Qt::ToolButtonIconOnly);
      button->setCheckable(true);
      button->setAutoRaise(true);
      button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
  }
  connect(this, &CRDWindowController::Selected_Tool_Did_Change, this,
          &CRDWindowController::Show_Current_Tool, Qt::UniqueConnection);
  Show_Current_Tool();
}

void CRDWindowController::Show_Current_Tool() {
  auto* palette = findChild<QWidget*>(QStringLiteral("Tool_Palette"));
  if (!palette) return;
  for (QToolButton* button : palette->findChildren<QToolButton*>()) {
    const QVariant tool = button->property("tool");
    if (tool.isValid() && button->isCheckable())
      button->setChecked(tool.toInt() == Selected_Control_Tool);
  }
}

int CRDWindowController::Widest_Tab_Row() const {
  // The tabs that show together, as the sidebar shows them for the card and each kind of
  // object (Alignment follows every unlocked object's pages).
  const QString alignment = aligmnt_tab->windowTitle();
  QList<QStringList> rows = {
      {card_setting_tab->windowTitle(), card_bkgd_tab->windowTitle(),
       card_brdr_tab->windowTitle()},
      {text_edtng_tab->windowTitle(), text_prop_tab->windowTitle(), QStringLiteral("Text Source"),
       alignment},
      {QStringLiteral("Image Source"), image_tab->windowTitle(), alignment},
      {line_tab->windowTitle(), alignment},
      {barcode_tab->windowTitle(), alignment},
      {QStringLiteral("Signature Properties"), alignment},
      {QStringLiteral("FingrePrint Properties"), alignment},
  };
  for (const char* code : {"R", "C", "RR", "T", "D", "S", "DS", "P"})
    rows.append({Shape_Panel_Title(QString::fromLatin1(code)), alignment});

  // Measured with a tab bar like the sidebar's own.
  QTabBar measure;
  measure.setFont(sett_tab->tabBar()->font());
  measure.setDocumentMode(sett_tab->documentMode());
  measure.setUsesScrollButtons(false);
  int widest = 0;
  for (const QStringList& row : rows) {
    while (measure.count()) measure.removeTab(0);
    for (const QString& title : row) measure.addTab(title);
    widest = std::max(widest, measure.sizeHint().width());
  }
  // The tab view's frame around the bar.
  return widest + 2 * sett_tab->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4;
}
