#include "canvas/CRDGrid.h"
#include "model/Design_Window_Services.h"
#include "model/Shared_Design_State.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "support/Test_Support.h"
#include "support/Deadlock_Guard.h"

namespace {

TEST(Grid, SnappingAndAligning) {
  CRDGrid grid;
  const QPointF a(13.4, 4.5), b(13.5, 4.4);
  EXPECT_EQ(grid.constrainedPoint(a), a);  // not constraining
  grid.setConstraining(true);
  EXPECT_EQ(grid.constrainedPoint(a), QPointF(9, 9));
  EXPECT_EQ(grid.constrainedPoint(b), QPointF(18, 0));
  grid._spacing = 0;
  EXPECT_EQ(grid.constrainedPoint(a), a);
  EXPECT_FALSE(grid.canAlign());
  grid._spacing = 9;
  EXPECT_EQ(grid.alignedRect(QRectF(4, 4, 10, 10)), QRectF(0, 0, 18, 18));
  EXPECT_EQ(grid.alignedRect(QRectF(-4.6, 13.6, 0.2, 0)), QRectF(-9, 18, 9, 0));
}

TEST(Grid, DerivedSettings) {
  CRDGrid grid;
  EXPECT_TRUE(grid.isUsable());
  EXPECT_FALSE(grid.canSetColor());
  EXPECT_FALSE(grid.canSetSpacing());
  grid.setConstraining(true);
  EXPECT_TRUE(grid.canSetSpacing());
  grid.setAlwaysShown(true);
  EXPECT_TRUE(grid.canSetColor());
}

// Counts the grid pixels drawn into a small raster.
int grid_pixels(const CRDGrid& grid, const QRectF& rect, QSize size = QSize(40, 40)) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    grid.drawRect(painter, rect);
  }
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != qRgb(255, 255, 255)) ++count;
  return count;
}

TEST(Grid, TemporaryShowingAfterSpacingChanges) {
  CRDGrid grid;
  QSignalSpy spy(&grid, &CRDGrid::valueChanged);
  EXPECT_EQ(grid_pixels(grid, QRectF(0, 0, 40, 40)), 0);  // hidden

  // A whole second after the second change, not the rest of the first change's second: a
  // precise timer of 0.9 s started as the second change is made must go off first (a
  // coarse timer may end 5 % early, never more). Timers go off in the order they are due.
  QTimer reference;
  reference.setSingleShot(true);
  reference.setTimerType(Qt::PreciseTimer);
  bool watching = false, reference_went_off = false, ended = false, ended_after_reference = false;
  QObject::connect(&reference, &QTimer::timeout, [&] { reference_went_off = true; });
  QObject::connect(&grid, &CRDGrid::valueChanged, [&] {
    if (ended || !watching || grid.isShownTemporarily()) return;
    ended = true;
    ended_after_reference = reference_went_off;
  });

  grid.setSpacing(12);
  EXPECT_TRUE(grid.isShownTemporarily());
  EXPECT_GT(grid_pixels(grid, QRectF(0, 0, 40, 40)), 0);
  QTest::qWait(300);
  watching = true;
  reference.start(900);
  grid.setSpacing(15);  // restarts the second
  EXPECT_TRUE(grid.isShownTemporarily());
  spy.clear();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ended; }, test_support::kDeadlock_Guard_Ms)) << "the showing never ended";
  EXPECT_TRUE(ended_after_reference) << "the showing ended within 0.9 s of the second change";
  EXPECT_FALSE(grid.isShownTemporarily());
  EXPECT_TRUE(spy.contains(QVariantList{CRDGridAnyKey}));  // the canvas redraws without it
  EXPECT_EQ(grid_pixels(grid, QRectF(0, 0, 40, 40)), 0);

  // The same spacing again starts nothing but still notifies.
  spy.clear();
  grid.setSpacing(15);
  EXPECT_FALSE(grid.isShownTemporarily());
  EXPECT_EQ(spy.count(), 2);
}

TEST(Grid, AlwaysShownCancelsTheTemporaryShowingAndEnablesAlignButton) {
  struct Services : Design_Window_Services {
    QList<bool> align_enabled;
    QFont All_Text_font() const override { return QFont(); }
    CRDColor All_Text_clr() const override { return {}; }
    QPointF Control_New_Point(const QString&) override { return {}; }
    QRectF Front_Canvas_Bounds() const override { return {}; }
    void Set_Align_With_Grid_Enabled(bool on) override { align_enabled << on; }
    void Refresh_Canvas() override {}
  } services;
  Set_Main_App_wnd(nullptr, &services);
  CRDGrid grid;
  grid.setSpacing(12);
  ASSERT_TRUE(grid.isShownTemporarily());
  grid.setAlwaysShown(true);
  EXPECT_FALSE(grid.isShownTemporarily());
  EXPECT_GT(grid_pixels(grid, QRectF(0, 0, 40, 40)), 0);
  grid.setSpacing(20);  // no timer while always shown
  EXPECT_FALSE(grid.isShownTemporarily());
  grid.setAlwaysShown(true);  // unchanged: the button is not touched again
  grid.setAlwaysShown(false);
  EXPECT_EQ(services.align_enabled, (QList<bool>{true, false}));
  Set_Main_App_wnd(nullptr, nullptr);
}

TEST(Grid, LinesLieAtMultiplesOfTheSpacing) {
  CRDGrid grid;
  grid.setAlwaysShown(true);
  grid._spacing = 10;
  grid._color = CRDColor::blackColor();
  QImage image(31, 31, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    grid.drawRect(painter, QRectF(0, 0, 31, 31));
  }
  // Hairlines at x = 10 and 20 (and y likewise); the middle of a cell stays white.
  EXPECT_NE(image.pixel(10, 5), qRgb(255, 255, 255));
  EXPECT_NE(image.pixel(5, 20), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(15, 15), qRgb(255, 255, 255));
  // A rectangle narrower than the spacing holding no multiple gets no vertical line.
  EXPECT_EQ(grid_pixels(grid, QRectF(12, 12, 6, 6)), 0);
}

}  // namespace
