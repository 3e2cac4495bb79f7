#include "model/CRDGraphic.h"
#include "model/Design_Window_Services.h"
#include "model/Shared_Design_State.h"
#include "support/Test_Support.h"

namespace {

class Flip_Counting : public CRDGraphic {
 public:
  int horizontal = 0, vertical = 0;
  void flipHorizontally() override { ++horizontal; }
  void flipVertically() override { ++vertical; }
};

TEST(GraphicGeometry, DrawingBoundsGrowByHandleOrHalfStroke) {
  struct Case {
    double stroke;
    bool stroking;
    QRectF expected;
  } cases[] = {
      {1, true, {7, 17, 107, 57}},
      {10, true, {5, 15, 111, 61}},
      {10, false, {7, 17, 107, 57}},
  };
  for (const auto& c : cases) {
    CRDGraphic g;
    g._bounds = QRectF(10, 20, 100, 50);
    g._strokeWidth = c.stroke;
    g._isDrawingStroke = c.stroking;
    EXPECT_EQ(g.drawingBounds(), c.expected) << c.stroke << " " << c.stroking;
  }
}

TEST(GraphicGeometry, ResizingFlipsWhenAnEdgeCrossesTheOther) {
  struct Case {
    int handle;
    QPointF to;
    QRectF bounds;
    int answer, h_flips, v_flips;
  } cases[] = {
      {5, {0, 30}, {0, 10, 10, 50}, 4, 1, 0},   {1, {120, 70}, {110, 60, 10, 10}, 8, 1, 1},
      {2, {500, 5}, {10, 5, 100, 55}, 2, 0, 0},  // a middle handle ignores x
      {3, {10, 10}, {10, 10, 0, 50}, 3, 0, 0},   // width 0 does not flip
      {7, {60, 0}, {10, 0, 100, 10}, 2, 0, 1},
  };
  for (const auto& c : cases) {
    Flip_Counting g;
    g._bounds = QRectF(10, 10, 100, 50);
    EXPECT_EQ(g.resizeByMovingHandle(c.handle, c.to), c.answer) << c.handle;
    EXPECT_EQ(g.bounds(), c.bounds) << c.handle;
    EXPECT_EQ(g.horizontal, c.h_flips) << c.handle;
    EXPECT_EQ(g.vertical, c.v_flips) << c.handle;
  }
}

TEST(GraphicGeometry, HandleHitTest) {
  CRDGraphic g;
  g._bounds = QRectF(0, 0, 4, 4);
  EXPECT_EQ(g.handleUnderPoint({2, 2}), 1);  // every square holds it; the lowest code wins
  g._bounds = QRectF(10, 10, 100, 50);
  EXPECT_EQ(g.handleUnderPoint({110, 60}), 8);
  EXPECT_EQ(g.handleUnderPoint({112.9, 62.9}), 8);
  EXPECT_EQ(g.handleUnderPoint({113, 60}), 0);  // right edge of the square is outside
  EXPECT_EQ(g.handleUnderPoint({60, 35}), 0);
  EXPECT_EQ(g.handleUnderPoint({60, 7}), 2);
}

TEST(GraphicGeometry, NaturalSizeSquaresUnlessLocked) {
  CRDGraphic g;
  g._bounds = QRectF(0, 0, 30, 80);
  EXPECT_TRUE(g.canMakeNaturalSize());
  g.makeNaturalSize();
  EXPECT_EQ(g.bounds(), QRectF(0, 0, 30, 30));
  EXPECT_FALSE(g.canMakeNaturalSize());
  g._bounds = QRectF(0, 0, 80, 30);
  g.ctrl_is_locked = true;
  g.makeNaturalSize();
  EXPECT_EQ(g.bounds(), QRectF(0, 0, 80, 30));
  g.ctrl_is_locked = false;
  g.makeNaturalSize();
  EXPECT_EQ(g.bounds(), QRectF(0, 0, 30, 30));
}

TEST(GraphicGeometry, BasePathThrowsAndContentsHitIsTheBounds) {
  CRDGraphic g;
  g._bounds = QRectF(0, 0, 10, 10);
  EXPECT_THROW(g.bezierPathForDrawing(), std::logic_error);
  EXPECT_TRUE(g.isContentsUnderPoint({0, 0}));
  EXPECT_FALSE(g.isContentsUnderPoint({10, 5}));
}

class Placement_Services : public Design_Window_Services {
 public:
  int asked = 0;
  QRectF front{0, 0, 243, 154};
  QFont All_Text_font() const override { return QFont(); }
  CRDColor All_Text_clr() const override { return CRDColor::blackColor(); }
  QPointF Control_New_Point(const QString&) override {
    ++asked;
    return QPointF(100 + 10 * asked, 200 + 10 * asked);
  }
  QRectF Front_Canvas_Bounds() const override { return front; }
  void Set_Align_With_Grid_Enabled(bool) override {}
  void Refresh_Canvas() override {}
};

class Graphic_Lists : public ::testing::Test {
 protected:
  void SetUp() override { Set_Main_App_wnd(nullptr, &services); }
  void TearDown() override { Set_Main_App_wnd(nullptr, nullptr); }
  static Graphic_List make(std::initializer_list<QRectF> rects) {
    Graphic_List list;
    for (const QRectF& r : rects) {
      auto g = std::make_shared<CRDGraphic>();
      g->_bounds = r;
      list.push_back(g);
    }
    return list;
  }
  Placement_Services services;
};

TEST_F(Graphic_Lists, UnionsSkipEmptyRectanglesAndEmptyListsHaveTheirOwnAnswers) {
  EXPECT_EQ(CRDGraphic::boundsOfGraphics({}), QRectF());
  EXPECT_EQ(CRDGraphic::drawingBoundsOfGraphics({}), services.front);
  Card_Front_Or_Back = 1;  // the front canvas also while the back side is current
  EXPECT_EQ(CRDGraphic::drawingBoundsOfGraphics({}), services.front);
  Card_Front_Or_Back = 0;
  const auto list = make({{0, 0, 10, 10}, {20, 20, 0, 5}, {5, 5, 10, 10}});
  EXPECT_EQ(CRDGraphic::boundsOfGraphics(list), QRectF(0, 0, 15, 15));
}

TEST_F(Graphic_Lists, PastingPlacesGraphicsAndLeavesLockedOnes) {
  auto list = make({{0, 0, 10, 20}, {1, 1, 5, 5}, {2, 2, 7, 8}});
  list[1]->ctrl_is_locked = true;
  CRDGraphic::Paste_Location_Of_Graphics(list, 40, 60, "F");
  EXPECT_EQ(list[0]->bounds(), QRectF(40, 60, 10, 20));
  EXPECT_EQ(list[1]->bounds(), QRectF(1, 1, 5, 5));
  // The first placement point went to the locked graphic and is not used.
  EXPECT_EQ(list[2]->bounds(), QRectF(120, 220, 7, 8));
  EXPECT_EQ(services.asked, 2);

  CRDGraphic::translateGraphics(list, 5, -5);
  EXPECT_EQ(list[0]->bounds(), QRectF(45, 55, 10, 20));
  EXPECT_EQ(list[1]->bounds(), QRectF(1, 1, 5, 5));
}

class Recording_Observer : public Graphic_Observer {
 public:
  QStringList events;
  void graphicWillChange(CRDGraphic& g, const QString& key) override {
    events << "will " + key + " " + QString::number(g.bounds().x());
  }
  void graphicDidChange(CRDGraphic& g, const QString& key) override {
    events << "did " + key + " " + QString::number(g.bounds().x());
  }
};

TEST(GraphicObserving, KeyedChangesNotifyAndDirectWritesDoNot) {
  CRDGraphic g;
  Recording_Observer observer;
  g.setObserver(&observer);
  g.setXPosition(5);
  EXPECT_EQ(observer.events, (QStringList{"will bounds 0", "did bounds 5"}));
  observer.events.clear();
  g._fillColor = CRDColor::redColor();  // a panel's direct write
  EXPECT_TRUE(observer.events.isEmpty());
  EXPECT_TRUE(g.setValueForKey("strokeWidth", 3.0));
  EXPECT_EQ(g.strokeWidth(), 3.0);
  EXPECT_FALSE(g.setValueForKey("noSuchKey", 1));
  EXPECT_EQ(observer.events.size(), 2);
  EXPECT_TRUE(g.keysAffectedBy("bounds").contains("drawingBounds"));
  EXPECT_TRUE(g.keysAffectedBy("fillColor").contains("drawingContents"));
  EXPECT_EQ(g.keysForValuesToObserveForUndo().size(), 6);
  // A clone has no observer.
  auto copy = g.clone();
  copy->setXPosition(9);
  EXPECT_EQ(observer.events.size(), 2);
}

}  // namespace
