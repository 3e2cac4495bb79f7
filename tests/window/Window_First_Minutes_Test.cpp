// What a new user meets in the first minutes with the design window: the Edit commands
// and the keys reach the selection wherever the focus went, handles of a covered object
// stay in reach, and the layout keeps the card in place and in sight.

#include "canvas/ui/CRDGraphicView.h"
#include "canvas/ui/CRDZoomingScrollView.h"
#include "model/CRDDocument.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"
#include "window/ui/CRDWindowController.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

namespace {

class First_Minutes : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    ASSERT_TRUE(scratch.isValid());
    window = std::make_unique<CRDWindowController>(&document,
                                                   scratch.filePath(QStringLiteral("Lumigrove")));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  void TearDown() override {
    window.reset();
    Design_Test::TearDown();
  }
  platform::Scoped_Scripted_Platform platform;
  CRDDocument document;
  QTemporaryDir scratch;
  std::unique_ptr<CRDWindowController> window;
};

TEST_F(First_Minutes, Debug) {
  qDebug() << QGuiApplication::primaryScreen()->availableGeometry() << window->geometry()
           << window->frameGeometry() << window->minimumSize() << window->minimumSizeHint()
           << window->sett_tab->width() << window->myTargetView->size()
           << window->findChild<QWidget*>("Tool_Palette")->size();
}

}  // namespace
