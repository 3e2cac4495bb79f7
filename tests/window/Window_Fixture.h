#pragma once
// The design window on a document of its own, shown and active, with helpers to put
// shapes on a side, to press tool buttons and to send mouse events at canvas points.

#include "canvas/ui/CRDGraphicView.h"
#include "model/CRDDocument.h"
#include "model/Shape_Control.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"
#include "window/ui/CRDWindowController.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace test_support {

class Window_Fixture : public Design_Test {
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

  void press_tool(const char* name) {
    auto* button = window->findChild<QToolButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
  }
  QAction* menu_item(const char* name) const {
    return window->Edit_menu->findChild<QAction*>(QString::fromLatin1(name));
  }
  // Shapes put on a side without undo history.
  std::shared_ptr<CRDGraphic> add_shape(CRDDocument::Side side, const char* code,
                                        const QRectF& bounds) {
    auto shape = std::make_shared<Shape_Control>();
    shape->Set_Shape_Type(QString::fromLatin1(code));
    shape->setBounds(bounds);
    document.Enable_Disable_Undo_Registraion(false);
    EXPECT_TRUE(document.insertGraphics(side, {shape}, {int(document.list(side).size())}));
    document.Enable_Disable_Undo_Registraion(true);
    return shape;
  }
  // Mouse events at canvas points.
  void mouse(CRDGraphicView* canvas, QEvent::Type type, QPointF point) {
    test_support::Send_Canvas_Mouse(canvas, canvas->zoomFactor(), type, point);
  }
  void click(CRDGraphicView* canvas, QPointF point) {
    mouse(canvas, QEvent::MouseButtonPress, point);
    mouse(canvas, QEvent::MouseButtonRelease, point);
  }
  QWidget* first_page() const { return window->sett_tab->widget(0); }

  platform::Scoped_Scripted_Platform platform;
  CRDDocument document;
  QTemporaryDir scratch;
  std::unique_ptr<CRDWindowController> window;
};

}  // namespace test_support
