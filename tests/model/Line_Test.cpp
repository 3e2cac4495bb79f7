#include "model/CRDLine.h"
#include "model/Painting_Support.h"

using namespace painting_test;

namespace {

CRDLine line_from(QPointF begin, QPointF end) {
  CRDLine line;
  line.setBeginPoint(begin);
  line.setEndPoint(end);
  return line;
}

TEST(Line, EndPointsBoundsAndDirection) {
  struct Case {
    QPointF begin, end;
    QRectF bounds;
    bool right, down;
  } cases[] = {
      {{10, 10}, {60, 40}, {10, 10, 50, 30}, true, true},
      {{60, 10}, {10, 40}, {10, 10, 50, 30}, false, true},
      {{10, 40}, {60, 10}, {10, 10, 50, 30}, true, false},
      {{60, 40}, {10, 10}, {10, 10, 50, 30}, false, false},
      {{10, 20}, {10, 20}, {10, 20, 0, 0}, false, false},  // equal coordinates: not right, not down
  };
  for (const auto& c : cases) {
    bool right = !c.right, down = !c.down;
    EXPECT_EQ(CRDLine::boundsWithBeginPoint(c.begin, c.end, &right, &down), c.bounds);
    EXPECT_EQ(right, c.right);
    EXPECT_EQ(down, c.down);
    const CRDLine line = line_from(c.begin, c.end);
    EXPECT_EQ(line.bounds(), c.bounds) << c.begin << c.end;
    EXPECT_EQ(line.beginPoint(), c.begin);
    EXPECT_EQ(line.endPoint(), c.end);
  }
}

TEST(Line, NewLineRunsFromBottomRightAndMovingKeepsTheDiagonal) {
  CRDLine line;
  line.setBounds({0, 0, 30, 20});
  EXPECT_EQ(line.beginPoint(), QPointF(30, 20));
  EXPECT_EQ(line.endPoint(), QPointF(0, 0));
  CRDLine rising = line_from({10, 40}, {60, 10});
  rising.setBounds({100, 100, 10, 10});
  EXPECT_EQ(rising.beginPoint(), QPointF(100, 110));
  EXPECT_EQ(rising.endPoint(), QPointF(110, 100));
}

TEST(Line, HandlesMoveOneEndAndNeverSwap) {
  CRDLine line = line_from({10, 10}, {60, 40});
  EXPECT_EQ(line.handleUnderPoint({11, 9}), 1);
  EXPECT_EQ(line.handleUnderPoint({58, 41}), 2);
  EXPECT_EQ(line.handleUnderPoint({35, 25}), 0);
  EXPECT_EQ(line.handleUnderPoint({60, 10}), 0);  // a corner that is not an end

  EXPECT_EQ(line.resizeByMovingHandle(5, {0, 0}), 5);
  EXPECT_EQ(line.bounds(), QRectF(10, 10, 50, 30));
  // Dragging the end across the begin point changes the direction only.
  EXPECT_EQ(line.resizeByMovingHandle(2, {0, 0}), 2);
  EXPECT_EQ(line.beginPoint(), QPointF(10, 10));
  EXPECT_EQ(line.endPoint(), QPointF(0, 0));
  EXPECT_EQ(line.resizeByMovingHandle(1, {20, 5}), 1);
  EXPECT_EQ(line.beginPoint(), QPointF(20, 5));
  EXPECT_EQ(line.endPoint(), QPointF(0, 0));
  EXPECT_EQ(line.creationSizingHandle(), 2);
}

TEST(Line, HitTestMeasuresVerticalDistance) {
  CRDLine line = line_from({0, 50}, {200, 40});  // shallow
  line._strokeWidth = 4;                         // tolerance 4
  const double on_line_y = 50 - 10 * (100.0 / 200.0);
  EXPECT_TRUE(line.isContentsUnderPoint({100, on_line_y - 3.9}));
  EXPECT_FALSE(line.isContentsUnderPoint({100, on_line_y - 4.1}));
  EXPECT_TRUE(line.isContentsUnderPoint({100, on_line_y + 3.9}));
  EXPECT_FALSE(line.isContentsUnderPoint({250, 40}));

  // Exactly horizontal and vertical lines have bounds of zero height or width; the
  // tolerance around the bounds lets them be clicked.
  struct Case {
    QPointF begin, end, point;
    bool hit;
  } cases[] = {
      {{0, 20}, {100, 20}, {50, 22}, true},  {{0, 20}, {100, 20}, {50, 17.5}, true},
      {{0, 20}, {100, 20}, {50, 24}, false}, {{30, 0}, {30, 100}, {32.4, 50}, true},
      {{30, 0}, {30, 100}, {26, 50}, false}, {{30, 0}, {30, 100}, {30, 101}, true},
  };
  for (const auto& c : cases) {
    CRDLine l = line_from(c.begin, c.end);
    l._strokeWidth = 1;  // tolerance 2.5
    EXPECT_EQ(l.isContentsUnderPoint(c.point), c.hit) << c.begin << c.end << c.point;
  }
}

TEST(Line, DashesTakeTheCapStyle) {
  // "DO": 4 on, 6 off. Round caps of a 2-point line add 1 point to each end of a dash.
  struct Case {
    int cap;
    int on, off;
  } cases[] = {{0, 4, 6}, {1, 6, 4}, {2, 6, 4}};
  for (const auto& c : cases) {
    CRDLine line = line_from({0, 10}, {100, 10});
    line._strokeWidth = 2;
    line._stroke_border_type = "DO";
    line._line_cap_style = c.cap;
    const QImage image = Paint(line, {110, 20}, 4);
    const auto runs = Runs(image, 40, 0, 200);
    ASSERT_GE(runs.size(), 4u) << c.cap;
    // Runs after the first whole period, in pixels (4 per point).
    EXPECT_NEAR(runs[2].second, c.on * 4, 2) << c.cap;
    EXPECT_NEAR(runs[3].second, c.off * 4, 2) << c.cap;
  }
}

TEST(Line, PaintsItsStrokeWhateverTheSwitches) {
  CRDLine line = line_from({10, 10}, {90, 10});
  line._isDrawingStroke = false;
  line._isDrawingFill = true;
  line._strokeWidth = 4;
  line._strokeColor = CRDColor::rgb(1, 0, 0);
  EXPECT_FALSE(line.isDrawingFill());
  EXPECT_TRUE(line.isDrawingStroke());
  EXPECT_FALSE(line.canSetDrawingFill());
  EXPECT_FALSE(line.canSetDrawingStroke());
  EXPECT_FALSE(line.canMakeNaturalSize());
  const QImage image = Paint(line, {100, 20});
  EXPECT_TRUE(Near(At(image, 50, 10), Qt::red));
  line.Set_Ctrl_Is_Visible(false);
  EXPECT_FALSE(Has_Ink(Paint(line, {100, 20}), 0, 19));
}

class Recording_Observer : public Graphic_Observer {
 public:
  void graphicWillChange(CRDGraphic& g, const QString& key) override {
    log << "will " + key + " " + point_text(g);
  }
  void graphicDidChange(CRDGraphic& g, const QString& key) override {
    log << "did " + key + " " + point_text(g);
  }
  static QString point_text(CRDGraphic& g) {
    const QPointF p = g.valueForKey(CRDLineBeginPointKey).toPointF();
    return QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
  }
  QStringList log;
};

TEST(Line, PointsAreObservedThroughTheBoundsAndUndoneByKey) {
  CRDLine line = line_from({10, 40}, {60, 10});
  Recording_Observer observer;
  line.setObserver(&observer);
  EXPECT_TRUE(line.setValueForKey(CRDLineBeginPointKey, QPointF(70, 50)));
  // Observers read the old begin point before the change and the new one after it.
  EXPECT_EQ(observer.log, QStringList({"will bounds 10,40", "did bounds 70,50"}));
  EXPECT_EQ(line.valueForKey(CRDLineEndPointKey).toPointF(), QPointF(60, 10));

  const QStringList undo_keys = line.keysForValuesToObserveForUndo();
  EXPECT_FALSE(undo_keys.contains(CRDGraphicBoundsKey));
  EXPECT_TRUE(undo_keys.contains(CRDLineBeginPointKey));
  EXPECT_TRUE(undo_keys.contains(CRDLineEndPointKey));
  EXPECT_TRUE(undo_keys.contains(CRDGraphicStrokeWidthKey));
  const QStringList affected = line.keysAffectedBy(CRDGraphicBoundsKey);
  EXPECT_TRUE(affected.contains(CRDLineBeginPointKey));
  EXPECT_TRUE(affected.contains(CRDLineEndPointKey));
  EXPECT_TRUE(affected.contains(CRDGraphicDrawingBoundsKey));
  EXPECT_EQ(line.presentablePropertyNameForKey(CRDLineBeginPointKey), "Beginpoint");
  EXPECT_EQ(line.presentablePropertyNameForKey(CRDLineEndPointKey), "Endpoint");

  line.setColor(CRDColor::rgb(0, 1, 0));
  EXPECT_EQ(line._strokeColor, CRDColor::rgb(0, 1, 0));
  line.setObserver(nullptr);
}

TEST(Line, CloneKeepsTheDirection) {
  const CRDLine line = line_from({60, 10}, {10, 40});
  const auto copy = line.clone();
  auto* copied = dynamic_cast<CRDLine*>(copy.get());
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->beginPoint(), QPointF(60, 10));
  EXPECT_EQ(copied->endPoint(), QPointF(10, 40));
}

}  // namespace
