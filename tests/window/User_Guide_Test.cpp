// The user guide ("Help.pdf", made from tools/support_resources/user_guide.html) held
// against the design window: every name it sets in bold is a command the user can press,
// and what it says a command does is what the command does.

#include "Window_Fixture.h"
#include "model/Shared_Design_State.h"

#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QWidget>

#include <functional>

namespace {

QString guide_html() {
  QFile file(QStringLiteral(LUMIGROVE_SOURCE_DIR "/tools/support_resources/user_guide.html"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
  return QString::fromUtf8(file.readAll());
}

// Text as the reader sees it: tags gone, entities decoded, white space made single.
QString plain(const QString& html) {
  return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

// The names set in bold.
QStringList bold_names(const QString& html) {
  QStringList names;
  const QRegularExpression bold(QStringLiteral("<b>(.*?)</b>"),
                                QRegularExpression::DotMatchesEverythingOption);
  for (auto match = bold.globalMatch(html); match.hasNext();)
    names << plain(match.next().captured(1));
  return names;
}

// The first list item or paragraph that names the command in bold, as plain text.
QString block_about(const QString& html, const QString& name) {
  const QRegularExpression block(QStringLiteral("<(li|p)>(.*?)</\\1>"),
                                 QRegularExpression::DotMatchesEverythingOption);
  for (auto match = block.globalMatch(html); match.hasNext();) {
    const QString inner = match.next().captured(2);
    if (bold_names(inner).contains(name)) return plain(inner);
  }
  return {};
}

QString without_mnemonic(QString text) { return text.remove(QLatin1Char('&')); }

class User_Guide : public test_support::Window_Fixture {
 protected:
  // What the user can press: "Menu > Item" for menu items, the toolbar buttons' texts,
  // the tools' and grid buttons' names.
  QSet<QString> commands() const {
    QSet<QString> all;
    for (QAction* title : window->menuBar()->actions()) {
      if (!title->menu()) continue;
      for (QAction* item : title->menu()->actions())
        if (!item->isSeparator())
          all << without_mnemonic(title->text()) + QStringLiteral(" > ") +
                     without_mnemonic(item->text());
    }
    for (const QToolBar* toolbar : window->findChildren<QToolBar*>())
      for (const QToolButton* button : toolbar->findChildren<QToolButton*>())
        if (!button->text().isEmpty()) all << without_mnemonic(button->text());
    for (const QToolButton* button :
         window->findChild<QWidget*>(QStringLiteral("Tool_Palette"))->findChildren<QToolButton*>())
      all << (button->property("tool").isValid() ? button->toolTip().section(QLatin1Char(':'), 0, 0)
                                                 : button->text());
    return all;
  }
  // The title of the window the next modal run shows (none: "").
  QString run_and_see_window(const std::function<void()>& command) {
    QString title;
    platform.on_run_modal = [&](QObject* shown) {
      if (title.isEmpty()) title = qobject_cast<QWidget*>(shown)->windowTitle();
      return 0;
    };
    command();
    platform.on_run_modal = nullptr;
    return title;
  }
};

TEST_F(User_Guide, EveryNameInBoldIsACommandOfTheWindow) {
  const QStringList names = bold_names(guide_html());
  ASSERT_GE(names.size(), 30);
  const QSet<QString> known = commands();
  for (const QString& name : names)
    EXPECT_TRUE(known.contains(name))
        << "the guide names \"" << name.toStdString() << "\", which the window does not have";
}

// The guide once described another program: an empty card from New, a click on the card to
// place an object, data filled in by Preview. Each command here runs, and the guide's words
// about it must name what it shows.
TEST_F(User_Guide, WhatItSaysTheCommandsDoIsWhatTheyDo) {
  const QString html = guide_html();
  struct Case {
    const char* command;  // as the guide sets it in bold
    std::function<QString()> shows;
  };
  const Case cases[] = {
      {"File > New",
       [&] {
         return run_and_see_window(
             [&] { window->findChild<QAction*>(QStringLiteral("New_menu_item"))->trigger(); });
       }},
      {"File > Exit",
       [&] {
         return run_and_see_window(
             [&] { window->findChild<QAction*>(QStringLiteral("Exit_menu_item"))->trigger(); });
       }},
      {"Preview",
       [&] {
         window->Temp_Card_Btn->click();
         return window->Front_back_label->text();
       }},
      {"Text",  // a tool places its object without a click on the card
       [&] {
         const size_t before = document.graphics().size();
         press_tool("Text_Tool_btn");
         return document.graphics().size() == before + 1 ? QStringLiteral("at once") : QString();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const QString said = block_about(html, QString::fromLatin1(c.command));
    ASSERT_FALSE(said.isEmpty()) << "the guide says nothing about it";
    const QString shown = c.shows();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(said.contains(shown))
        << "shows \"" << shown.toStdString() << "\"; the guide says: " << said.toStdString();
  }
}

}  // namespace
