// The design window's look: the tool pictures and the checked tool, the toolbar's icons,
// rows and tooltips, why a disabled control is disabled, tooltips on sidebar controls that
// say nothing themselves, and sidebar tabs that show whole.

#include "Window_Fixture.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Fonts.h"
#include "window/ui/Window_Icons.h"

#include <QAbstractItemView>
#include <QPushButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>

#include <functional>

namespace {

using test_support::Window_Fixture;

// Pixels that are not fully transparent, and whether any two of them differ (a picture,
// not a filled square).
struct Ink_Count {
  int painted = 0;
  bool varied = false;
};
Ink_Count ink_of(const QImage& picture) {
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  Ink_Count count;
  const QRgb background = image.pixel(0, 0);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qAlpha(pixel) > 0) ++count.painted;
      if (pixel != background) count.varied = true;
    }
  return count;
}

QList<QToolButton*> tool_buttons(QWidget* window) {
  QList<QToolButton*> buttons;
  for (QToolButton* button :
       window->findChild<QWidget*>(QStringLiteral("Tool_Palette"))->findChildren<QToolButton*>())
    if (button->property("tool").isValid()) buttons << button;
  std::sort(buttons.begin(), buttons.end(), [](QToolButton* a, QToolButton* b) {
    return a->property("tool").toInt() < b->property("tool").toInt();
  });
  return buttons;
}

int checked_tool(QWidget* window) {
  int checked = -1;
  for (QToolButton* button : tool_buttons(window))
    if (button->isChecked()) {
      if (checked != -1) return -2;  // more than one
      checked = button->property("tool").toInt();
    }
  return checked;
}

TEST(Window_Look, EveryToolPictureIsDrawnAtTheRatioItIsAskedFor) {
  for (int tool = 0; tool < 16; ++tool) {
    for (qreal ratio : {1.0, 2.0}) {
      const QImage picture = window_icons::Tool_Picture(tool, 28, ratio);
      EXPECT_EQ(picture.size(), QSize(28, 28) * ratio) << tool;
      EXPECT_EQ(picture.devicePixelRatio(), ratio) << tool;
      const Ink_Count ink = ink_of(picture);
      EXPECT_GT(ink.painted, picture.width() * picture.height() / 40) << "tool " << tool;
      EXPECT_TRUE(ink.varied) << "tool " << tool;
    }
    const QIcon icon = window_icons::Tool_Icon(tool, 1.5);
    const QPixmap sharp = icon.pixmap(QSize(28, 28), 2.0);
    EXPECT_EQ(sharp.size(), QSize(56, 56)) << tool;
  }
  // A tool that does not exist draws nothing: the checks above can fail.
  EXPECT_EQ(ink_of(window_icons::Tool_Picture(16, 28, 1.0)).painted, 0);
}

TEST(Window_Look, AnIconTheThemeLacksIsOurOwnDrawing) {
  window_icons::Use_Installed_Icon_Theme();
  const window_icons::Control_Look* undo = window_icons::Find_Look(QStringLiteral("Undo_btn"));
  ASSERT_NE(undo, nullptr);
  EXPECT_TRUE(QIcon::hasThemeIcon(QStringLiteral("edit-undo")))
      << "the icon theme of deps/run/icons.list is not installed";

  window_icons::Control_Look missing = *undo;
  missing.theme_icon = "lumigrove-no-such-icon";
  const QImage fallback =
      window_icons::Command_Icon(missing, 1.0).pixmap(QSize(24, 24), 1.0).toImage();
  const QImage ours =
      window_icons::Painted_Icon(undo->painter, 1.0).pixmap(QSize(24, 24), 1.0).toImage();
  ASSERT_FALSE(ours.isNull());
  EXPECT_TRUE(ink_of(ours).varied);
  EXPECT_EQ(fallback.convertToFormat(QImage::Format_ARGB32),
            ours.convertToFormat(QImage::Format_ARGB32));

  // Every painter of the table draws something.
  for (const window_icons::Control_Look& look : window_icons::Control_Looks())
    if (look.painter)
      EXPECT_TRUE(ink_of(window_icons::Painted_Icon(look.painter, 1.0)
                             .pixmap(QSize(24, 24), 1.0)
                             .toImage())
                      .varied)
          << look.object_name;
}

class Window_Look_Test : public Window_Fixture {
 protected:
  QList<QToolButton*> toolbar_buttons() const {
    QList<QToolButton*> buttons;
    for (QToolBar* toolbar : window->findChildren<QToolBar*>())
      for (QAction* action : toolbar->actions())
        if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action)))
          buttons << button;
    return buttons;
  }
  std::shared_ptr<CRDGraphic> put(std::shared_ptr<CRDGraphic> graphic) {
    graphic->setBounds(QRectF(20, 20, 60, 40));
    document.Enable_Disable_Undo_Registraion(false);
    EXPECT_TRUE(document.insertGraphics(CRDDocument::Side::Front, {graphic}, {0}));
    document.Enable_Disable_Undo_Registraion(true);
    return graphic;
  }
};

TEST_F(Window_Look_Test, ToolButtonsShowPicturesAndTheCheckedOneFollowsTheTool) {
  const QList<QToolButton*> buttons = tool_buttons(window.get());
  ASSERT_EQ(buttons.size(), 16);
  for (QToolButton* button : buttons) {
    EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
    EXPECT_TRUE(ink_of(button->icon().pixmap(button->iconSize(), 1.0).toImage()).varied)
        << button->objectName().toStdString();
    EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
  }
  EXPECT_EQ(checked_tool(window.get()), 0);

  // Whenever the tool is announced, the checked button is the tool's, also in the middle
  // of a creation that puts the arrow back.
  QList<std::pair<int, int>> seen;
  QObject::connect(window.get(), &CRDWindowController::Selected_Tool_Did_Change, window.get(),
                   [&] { seen.append({window->Selected_Control_Tool, checked_tool(window.get())}); });
  for (int tool : {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 15, 0}) {
    seen.clear();
    buttons[tool]->click();
    ASSERT_FALSE(seen.isEmpty()) << tool;
    for (const auto& [current, checked] : seen) EXPECT_EQ(checked, current) << "tool " << tool;
    EXPECT_EQ(checked_tool(window.get()), window->Selected_Control_Tool) << tool;
  }
  // A tool chosen without a button (as the profile fill does) checks its button too.
  window->Selected_Control_Tool = 13;
  window->Show_Current_Tool();
  EXPECT_EQ(checked_tool(window.get()), 13);
}

TEST_F(Window_Look_Test, EveryToolbarCommandHasAnIconATooltipAndRoomAtTheDefaultWidth) {
  window->resize(1000, 800);
  QTest::qWait(0);
  ASSERT_EQ(window->width(), 1000);
  const QList<QToolButton*> buttons = toolbar_buttons();
  ASSERT_GE(buttons.size(), 20);
  for (QToolButton* button : buttons) {
    const std::string name = button->objectName().toStdString();
    EXPECT_FALSE(button->icon().isNull()) << name;
    EXPECT_FALSE(button->toolTip().isEmpty()) << name;
    EXPECT_FALSE(button->text().isEmpty()) << name;
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon) << name;
    // In sight, not in the toolbar's overflow menu.
    EXPECT_TRUE(button->isVisible()) << name;
    const QToolBar* toolbar = qobject_cast<QToolBar*>(button->parentWidget());
    ASSERT_NE(toolbar, nullptr) << name;
    EXPECT_LE(button->geometry().right(), toolbar->contentsRect().right()) << name;
  }
  // Rows by the table: the clipboard above, output below.
  EXPECT_EQ(window->Cut_btn->parentWidget()->objectName(), QStringLiteral("Main_Toolbar"));
  EXPECT_EQ(window->Mail_btn->parentWidget()->objectName(), QStringLiteral("Card_Toolbar"));
}

TEST_F(Window_Look_Test, ADisabledCommandSaysWhyInItsTooltip) {
  struct Case {
    QAbstractButton* button;
    const char* why;  // while nothing is selected
  };
  const Case cases[] = {{window->Cut_btn, "Select an object"},
                        {window->Copy_btn, "Select an object"},
                        {window->Delete_btn, "Select an object"},
                        {window->Begin_Front_btn, "Select an object"},
                        {window->Send_Back_btn, "Select an object"},
                        {window->Lock_btn, "Select an object"},
                        {window->Unlock_btn, "Select a locked object"},
                        {window->Undo_btn, "Nothing to undo"},
                        {window->Make_same_width_btn, "two or more objects"}};
  window->Show_RHS_Properties(nullptr);
  for (const Case& c : cases) {
    ASSERT_FALSE(c.button->isEnabled()) << c.button->objectName().toStdString();
    EXPECT_TRUE(c.button->toolTip().contains(QString::fromLatin1(c.why)))
        << c.button->objectName().toStdString() << ": " << c.button->toolTip().toStdString();
  }
  press_tool("Rect_Tool_btn");
  ASSERT_TRUE(window->Cut_btn->isEnabled());
  for (QToolButton* button : {window->Cut_btn, window->Lock_btn, window->Undo_btn}) {
    EXPECT_TRUE(button->isEnabled());
    EXPECT_FALSE(button->toolTip().isEmpty());
    EXPECT_FALSE(button->toolTip().contains(QLatin1Char('\n'))) << button->toolTip().toStdString();
  }
  EXPECT_TRUE(window->Unlock_btn->toolTip().contains(QStringLiteral("Select a locked object")));
}

// A control that says what it is for: a text of its own, a label naming it (buddy, form
// row or the label just before it in its row), or a tooltip.
bool says_what_it_is_for(QWidget* control) {
  if (!control->toolTip().isEmpty()) return true;
  if (auto* button = qobject_cast<QAbstractButton*>(control); button && !button->text().isEmpty())
    return true;
  QWidget* parent = control->parentWidget();
  for (QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    if (label->buddy() == control) return true;
  // Form rows: the label of the row whose field is the control or holds it.
  for (QFormLayout* form : parent->findChildren<QFormLayout*>()) {
    for (int row = 0; row < form->rowCount(); ++row) {
      QLayoutItem* field = form->itemAt(row, QFormLayout::FieldRole);
      QLayoutItem* label = form->itemAt(row, QFormLayout::LabelRole);
      if (!field || !label) continue;
      const bool holds = field->widget() == control ||
                         (field->layout() && field->layout()->indexOf(control) >= 0);
      auto* text = qobject_cast<QLabel*>(label->widget());
      auto* named = qobject_cast<QAbstractButton*>(label->widget());
      if (holds && ((text && !text->text().isEmpty()) || (named && !named->text().isEmpty())))
        return true;
    }
  }
  // Rows of a box or grid layout: a label just before the control.
  for (QLayout* layout : parent->findChildren<QLayout*>()) {
    const int index = layout->indexOf(control);
    if (index < 0) continue;
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
      int row, column, rows, columns;
      grid->getItemPosition(index, &row, &column, &rows, &columns);
      if (column > 0)
        if (QLayoutItem* before = grid->itemAtPosition(row, column - 1))
          if (auto* text = qobject_cast<QLabel*>(before->widget()); text && !text->text().isEmpty())
            return true;
    } else if (index > 0) {
      if (auto* text = qobject_cast<QLabel*>(layout->itemAt(index - 1)->widget());
          text && !text->text().isEmpty())
        return true;
    }
  }
  return false;
}

TEST_F(Window_Look_Test, EverySidebarControlThatSaysNothingHasATooltip) {
  QStringList silent;
  for (QWidget* control : window->sett_tab->findChildren<QWidget*>()) {
    const bool interactive =
        qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
        qobject_cast<QAbstractSpinBox*>(control) || qobject_cast<QAbstractItemView*>(control) ||
        (qobject_cast<QAbstractSlider*>(control) && !qobject_cast<QScrollBar*>(control)) ||
        qobject_cast<QLineEdit*>(control);
    // Hidden on purpose: no user sees it.
    if (!interactive || control->isHidden()) continue;
    // Parts of other controls (a spin box's or combo's editor and list, a table's headers,
    // the tab bar's arrows).
    bool part = false;
    for (QWidget* up = control->parentWidget(); up && up != window->sett_tab; up = up->parentWidget())
      part = part || qobject_cast<QAbstractSpinBox*>(up) || qobject_cast<QComboBox*>(up) ||
             qobject_cast<QTabBar*>(up) || qobject_cast<QAbstractItemView*>(up);
    if (part) continue;
    if (!says_what_it_is_for(control))
      silent << control->objectName() + QLatin1Char('(') + control->metaObject()->className() +
                    QLatin1Char(')');
  }
  EXPECT_TRUE(silent.isEmpty()) << silent.join(QLatin1Char(' ')).toStdString();
}

// A font's "name ( 14.00 )" reads on one line, for all texts on the card's page and for a
// text on its properties page, at the default size and at the window's minimum size: the
// size never wraps away from the name.
TEST_F(Window_Look_Test, FontNamesAndSizesShowOnOneLine) {
  auto text = std::make_shared<CRDText>();
  text->text_ctrl_font = Make_Font(QStringLiteral("TimesNewRomanPS-BoldItalicMT"), 18.0);
  put(text);
  const struct {
    const char* what;
    std::shared_ptr<CRDGraphic> shown;
    QWidget* page;
    const char* label;
  } cases[] = {
      {"all texts", nullptr, window->card_setting_tab, "All_Text_font_value"},
      {"a text", text, window->text_prop_tab, "Text_font_value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    window->Show_RHS_Properties(c.shown);
    window->sett_tab->setCurrentWidget(c.page);
    const QLabel* label = c.page->findChild<QLabel*>(QString::fromLatin1(c.label));
    ASSERT_NE(label, nullptr);
    ASSERT_TRUE(label->text().endsWith(QStringLiteral(".00 )"))) << label->text().toStdString();
    for (const QSize size : {QSize(1000, 800), window->minimumSize()}) {
      window->resize(size);
      QTest::qWait(0);
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                label->contentsRect().width())
          << label->text().toStdString() << " at " << size.width() << " x " << size.height();
    }
  }
}

TEST_F(Window_Look_Test, EveryTabOfASelectionShowsWhole) {
  const std::function<std::shared_ptr<CRDGraphic>()> kinds[] = {
      [] { return std::shared_ptr<CRDGraphic>(); },
      [] { return std::make_shared<CRDText>(); },
      [] { return std::make_shared<CRDImage>(); },
      [] { return std::make_shared<CRDLine>(); },
      [] { return std::make_shared<CRDBarcode>(); },
      [] {
        auto fingerprint = std::make_shared<CRDSignature>();
        fingerprint->Set_Sign_Or_FP(QStringLiteral("F"));
        return fingerprint;
      },
      [] {
        auto star = std::make_shared<Shape_Control>();
        star->Set_Shape_Type(QStringLiteral("DS"));
        return star;
      },
  };
  window->resize(1000, 800);
  QTabBar* bar = window->sett_tab->tabBar();
  const int width = window->sett_tab->width();
  for (const auto& make : kinds) {
    std::shared_ptr<CRDGraphic> graphic = make();
    if (graphic) put(graphic);
    window->Show_RHS_Properties(graphic);
    QTest::qWait(0);
    const QString kind = graphic ? graphic->className() : QStringLiteral("card");
    EXPECT_EQ(window->sett_tab->width(), width) << kind.toStdString();
    ASSERT_GE(bar->count(), graphic ? 2 : 3) << kind.toStdString();
    for (int i = 0; i < bar->count(); ++i)
      EXPECT_TRUE(bar->rect().contains(bar->tabRect(i)))
          << kind.toStdString() << ": " << bar->tabText(i).toStdString();
  }
}

}  // namespace
