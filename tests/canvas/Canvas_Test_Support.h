#pragma once
// A canvas on screen (offscreen platform) bound to a document, a design window double
// that records what the canvas asks of it, and mouse helpers in canvas points.

#include "canvas/CRDGrid.h"
#include "canvas/ui/CRDGraphicView.h"
#include "model/CRDDocument.h"
#include "model/Card_Property.h"
#include "model/Design_Window_Services.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>

namespace canvas_test {

// The design window as the canvas sees it.
class Window_Double : public Design_Window_Services {
 public:
  Window_Double() { Set_Main_App_wnd(nullptr, this); }
  ~Window_Double() override { Set_Main_App_wnd(nullptr, nullptr); }
  Window_Double(const Window_Double&) = delete;
  Window_Double& operator=(const Window_Double&) = delete;

  QFont All_Text_font() const override { return all_text_font; }
  CRDColor All_Text_clr() const override { return all_text_color; }
  void Reset_Image_Editing_Controls() override { ++image_control_resets; }
  // The scripted positions first, then (10, 10).
  QPointF Control_New_Point(const QString& side) override {
    new_point_sides << side;
    if (new_points.empty()) return {10, 10};
    const QPointF p = new_points.front();
    new_points.pop_front();
    return p;
  }
  QRectF Front_Canvas_Bounds() const override { return front_bounds; }
  void Set_Align_With_Grid_Enabled(bool) override {}
  void Refresh_Canvas() override { ++refreshes; }
  Card_Property* Side_Card_Property(int side) override { return side == 0 ? &front : &back; }
  QString currentGraphicClass() const override { return tool_class; }
  int Current_Control_Tool() const override { return tool; }
  void Show_RHS_Properties(const std::shared_ptr<CRDGraphic>& graphic) override {
    sidebar << graphic;
  }
  void Undo_Redo_Button_state() override { ++undo_button_updates; }
  void Set_Paste_Button_Status() override { ++paste_button_updates; }
  void Open_Barcode_Window() override { ++barcode_windows; }
  void Set_Same_Size_Buttons_Enabled(bool enabled) override { same_size_buttons << enabled; }
  QString Design_Refuses_Graphics(const Graphic_List& added) override {
    offered_graphics << int(added.size());
    return graphics_refusal;
  }

  // Answers.
  QFont all_text_font;
  CRDColor all_text_color = CRDColor::blackColor();
  std::deque<QPointF> new_points;
  QRectF front_bounds;
  Card_Property front, back;
  QString tool_class;
  QString graphics_refusal;      // what the design answers to graphics coming in
  QList<int> offered_graphics;   // how many came in, each time
  int tool = 0;
  // Requests.
  QStringList new_point_sides;
  int refreshes = 0;
  QList<std::shared_ptr<CRDGraphic>> sidebar;  // null: the card
  int undo_button_updates = 0;
  int paste_button_updates = 0;
  int barcode_windows = 0;
  int image_control_resets = 0;
  QList<bool> same_size_buttons;
};

// A blue rectangle shape with the bounds (stroke off, so the drawing bounds are the bounds
// grown by 3 points, plus one in width and height).
inline std::shared_ptr<CRDGraphic> Rect_Shape(const QRectF& bounds) {
  auto shape = std::make_shared<Shape_Control>();
  shape->Set_Shape_Type(QStringLiteral("R"));
  shape->_isDrawingStroke = false;
  shape->_fillColor = CRDColor::rgb(0, 0, 1);
  shape->setBounds(bounds);
  return shape;
}

// The i-th of a row of mixed shapes: every figure in turn, solid and gradient fills,
// solid and dashed strokes of 1 to 3 points.
inline std::shared_ptr<CRDGraphic> Mixed_Shape(int i, const QRectF& bounds) {
  static const QStringList codes = {"R", "C", "RR", "T", "D", "S", "DS", "P"};
  auto shape = std::make_shared<Shape_Control>();
  shape->Set_Shape_Type(codes[i % codes.size()]);
  shape->setBounds(bounds);
  shape->_fill_type = i % 2 ? QStringLiteral("G") : QStringLiteral("S");
  shape->_fillColor = CRDColor::rgb((i % 5) / 5.0, 0.5, 0.8);
  shape->_fill_Grad_clr1 = CRDColor::rgb(1, 0.6, 0);
  shape->_fill_Grad_clr2 = CRDColor::rgb(0, 0.2, 1);
  shape->_fill_grad_angle = i * 20;
  shape->_strokeWidth = 1 + i % 3;
  shape->_stroke_border_type = i % 3 ? QStringLiteral("DA") : QStringLiteral("S");
  return shape;
}

class Canvas_Test : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    canvas = std::make_unique<CRDGraphicView>();
    canvas->setFrameSize(QSizeF(200, 100));
    window.front_bounds = canvas->bounds();
    ASSERT_TRUE(canvas->bind(CRDGraphicViewGraphicsBindingName, &document));
    canvas->show();
    canvas->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(canvas.get()));
  }
  void TearDown() override {
    canvas.reset();
    Design_Test::TearDown();
  }

  // Graphics inserted at the end of the side's list, in order, without undo history.
  void add(const Graphic_List& graphics, CRDDocument::Side side = CRDDocument::Side::Front) {
    QList<int> indexes;
    const int count = int(document.list(side).size());
    for (int i = 0; i < int(graphics.size()); ++i) indexes << count + i;
    document.Enable_Disable_Undo_Registraion(false);
    ASSERT_TRUE(document.insertGraphics(side, graphics, indexes));
    document.Enable_Disable_Undo_Registraion(true);
  }
  // Runs the changes without undo history.
  void without_undo(const std::function<void()>& changes) {
    document.Enable_Disable_Undo_Registraion(false);
    changes();
    document.Enable_Disable_Undo_Registraion(true);
  }
  const Graphic_List& list() const { return canvas->graphics(); }
  QList<QRectF> bounds_of_list() const {
    QList<QRectF> all;
    for (const auto& g : list()) all << g->bounds();
    return all;
  }

  // Mouse events at canvas points (the canvas's zoom applied).
  void mouse(QEvent::Type type, QPointF point, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF local = point * canvas->zoomFactor();
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, local, canvas->mapToGlobal(local), button, buttons, modifiers);
    QApplication::sendEvent(canvas.get(), &event);
  }
  void press(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseButtonPress, p, m); }
  void move(QPointF p) { mouse(QEvent::MouseMove, p); }
  void release(QPointF p) { mouse(QEvent::MouseButtonRelease, p); }
  void click(QPointF p, Qt::KeyboardModifiers m = {}) {
    press(p, m);
    release(p);
  }
  void drag(QPointF from, QPointF to, Qt::KeyboardModifiers m = {}) {
    press(from, m);
    move((from + to) / 2);
    move(to);
    release(to);
  }
  void double_click(QPointF p) {
    click(p);
    mouse(QEvent::MouseButtonDblClick, p);
    release(p);
  }
  void key(Qt::Key k) { QTest::keyClick(canvas.get(), k); }

  platform::Scoped_Scripted_Platform platform;
  Window_Double window;
  CRDDocument document;
  std::unique_ptr<CRDGraphicView> canvas;
};

}  // namespace canvas_test
