// Ruler arithmetic: the division chosen for a unit and zoom, the ticks and labels of a
// ruler at a scroll position, labels, and device pixels.

#include "canvas/Ruler_Geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double Millimetre = 2.834645669291;  // card points

// Room the labels and ticks need, as a ruler with a small font asks.
constexpr double Label_Room = 26;
constexpr double Tick_Room = 4;

struct Ruler_Case {
  const char* name;
  Ruler_Unit unit;
  double zoom, offset, length;
  // The division expected.
  double major;
  int divisions;
  // The first tick on the ruler.
  double first_value;
  int first_level;
  // A labelled tick: its value, label and pixel.
  double labelled_value;
  const char* label;
  double labelled_pixel;
};

const Ruler_Case ruler_cases[] = {
    // 1 mm is 2.83 px: labels every 10 mm (28.3 px), a tick every 2 mm (5.7 px).
    {"mm_100", Ruler_Unit::Millimetres, 1, 0, 100, 10, 5, 0, 0, 30, "30", 30 * Millimetre},
    // 25 %: labels every 50 mm (35.4 px), a tick every 10 mm; the card centred 100
    // points from the ruler's start, so ticks left of the card count down from 0.
    {"mm_25_centred", Ruler_Unit::Millimetres, 0.25, -100, 200, 50, 5, -30, 2, 50, "50",
     (50 * Millimetre + 100) * 0.25},
    // 400 %: labels every 5 mm (56.7 px), a tick every millimetre.
    {"mm_400", Ruler_Unit::Millimetres, 4, 0, 300, 5, 5, 0, 0, 5, "5", 5 * Millimetre * 4},
    // 400 % scrolled 100 points into the card: the first tick is 36 mm, 8.19 px in.
    {"mm_400_scrolled", Ruler_Unit::Millimetres, 4, 100, 300, 5, 5, 36, 2, 40, "40",
     (40 * Millimetre - 100) * 4},
    // 25 %: an inch is 18 px: labels every 2 inches, quarters of them (half inches), the
    // middle one (1 inch) longer.
    {"in_25", Ruler_Unit::Inches, 0.25, 0, 200, 2, 4, 0, 0, 2, "2", 2 * 72 * 0.25},
    // 400 %: labels every eighth of an inch (36 px), ticks every 1/64 inch (4.5 px).
    {"in_400", Ruler_Unit::Inches, 4, 0, 200, 0.125, 8, 0, 0, 0.375, "0.375", 0.375 * 288},
    // 400 % scrolled by a third of an inch (24 points): the first tick is 22/64 inch.
    {"in_400_scrolled", Ruler_Unit::Inches, 4, 24, 200, 0.125, 8, 22.0 / 64, 2, 0.5, "0.5",
     (0.5 * 72 - 24) * 4},
    // Points at 100 %: labels every 50 points, ticks every 10.
    {"pt_100", Ruler_Unit::Points, 1, 0, 120, 50, 5, 0, 0, 100, "100", 100},
    // Points at 25 %: labels every 200 points (50 px), ticks every 50.
    {"pt_25", Ruler_Unit::Points, 0.25, 0, 120, 200, 4, 0, 0, 400, "400", 100},
    // Points at 400 % scrolled to 37.5: labels every 10 points, ticks every point, the
    // fifth longer; the first tick is 38 points, 2 px in.
    {"pt_400_scrolled", Ruler_Unit::Points, 4, 37.5, 120, 10, 10, 38, 2, 50, "50", 50},
};

class Ruler_Ticks_Table : public ::testing::TestWithParam<Ruler_Case> {};

TEST_P(Ruler_Ticks_Table, DivisionTicksAndLabels) {
  const Ruler_Case& c = GetParam();
  const Ruler_Spacing spacing = Ruler_Tick_Spacing(c.unit, c.zoom, Label_Room, Tick_Room);
  EXPECT_DOUBLE_EQ(spacing.major, c.major);
  EXPECT_EQ(spacing.divisions, c.divisions);

  const Ruler_Scale scale{c.zoom, c.offset, c.length};
  const std::vector<Ruler_Tick> ticks = Ruler_Ticks(c.unit, scale, spacing);
  ASSERT_GE(ticks.size(), 3u);
  EXPECT_NEAR(ticks.front().value, c.first_value, 1e-9);
  EXPECT_EQ(ticks.front().level, c.first_level);

  const double unit_points = Points_Per_Ruler_Unit(c.unit);
  const double step = c.major / c.divisions;
  const Ruler_Tick* labelled = nullptr;
  for (size_t i = 0; i < ticks.size(); ++i) {
    const Ruler_Tick& tick = ticks[i];
    SCOPED_TRACE(i);
    // On the ruler, evenly spaced, at the pixel of their value.
    EXPECT_GE(tick.pixel, -1e-9);
    EXPECT_LE(tick.pixel, c.length + 1e-9);
    EXPECT_NEAR(tick.value, c.first_value + double(i) * step, 1e-9);
    EXPECT_NEAR(tick.pixel, (tick.value * unit_points - c.offset) * c.zoom, 1e-9);
    // Labelled exactly at the multiples of the major step; the middle tick is longer.
    const double parts = std::round(tick.value / step);
    const int part = int(std::fmod(std::fmod(parts, c.divisions) + c.divisions, c.divisions));
    const int level = part == 0 ? 0 : c.divisions % 2 == 0 && part == c.divisions / 2 ? 1 : 2;
    EXPECT_EQ(tick.level, level) << tick.value;
    EXPECT_EQ(tick.label.isEmpty(), level != 0);
    if (std::abs(tick.value - c.labelled_value) < 1e-9) labelled = &tick;
  }
  ASSERT_NE(labelled, nullptr);
  EXPECT_EQ(labelled->label, QString::fromLatin1(c.label));
  EXPECT_NEAR(labelled->pixel, c.labelled_pixel, 1e-9);
  // The next tick beyond the ruler's end is not drawn.
  EXPECT_GT((ticks.back().value + step) * unit_points, c.offset + c.length / c.zoom);
  EXPECT_LT((ticks.front().value - step) * unit_points, c.offset);
}

INSTANTIATE_TEST_SUITE_P(Units, Ruler_Ticks_Table, ::testing::ValuesIn(ruler_cases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every zoom of the pop-up keeps labels apart and ticks apart, and the division stays
// finer as the zoom grows.
TEST(Ruler_Geometry, EveryZoomKeepsLabelsAndTicksApart) {
  for (Ruler_Unit unit : {Ruler_Unit::Millimetres, Ruler_Unit::Inches, Ruler_Unit::Points}) {
    double previous_major = HUGE_VAL;
    for (double zoom : {double(0.1f), 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 4.0, 8.0, 16.0}) {
      SCOPED_TRACE(Ruler_Unit_Abbreviation(unit).toStdString() + " " + std::to_string(zoom));
      const Ruler_Spacing s = Ruler_Tick_Spacing(unit, zoom, Label_Room, Tick_Room);
      const double unit_pixels = Points_Per_Ruler_Unit(unit) * zoom;
      EXPECT_GE(s.major * unit_pixels, Label_Room);
      if (s.divisions > 1) {
        EXPECT_GE(s.major / s.divisions * unit_pixels, Tick_Room);
      }
      EXPECT_LE(s.major, previous_major);
      previous_major = s.major;
    }
  }
}

TEST(Ruler_Geometry, LabelsAndDevicePixels) {
  const std::pair<double, const char*> labels[] = {
      {0, "0"}, {-0.0, "0"}, {-0.0001, "0"}, {10, "10"}, {-50, "-50"},
      {0.125, "0.125"}, {0.5, "0.5"}, {1.25, "1.25"}, {2.0000000001, "2"}};
  for (const auto& [value, text] : labels)
    EXPECT_EQ(Ruler_Label(value), QString::fromLatin1(text)) << value;

  // {position, ratio, first device pixel}
  const double pixels[][3] = {{10.7, 1, 10},   {10.7, 2, 10.5},     {10.25, 2, 10},
                              {9.9999999, 1, 10}, {-0.3, 2, -0.5}, {3.4, 1.5, 10.0 / 3}};
  for (const auto& p : pixels) EXPECT_DOUBLE_EQ(Ruler_Device_Pixel(p[0], p[1]), p[2]) << p[0];
}

TEST(Ruler_Geometry, InvalidScalesHaveNoTicks) {
  const Ruler_Spacing spacing{10, 5};
  const Ruler_Scale invalid[] = {{0, 0, 100}, {-1, 0, 100}, {NAN, 0, 100}, {1, NAN, 100},
                                 {1, 0, -5},  {1, 0, INFINITY}};
  for (const Ruler_Scale& s : invalid)
    EXPECT_TRUE(Ruler_Ticks(Ruler_Unit::Millimetres, s, spacing).empty()) << s.zoom;
  EXPECT_TRUE(Ruler_Ticks(Ruler_Unit::Points, {1, 0, 100}, {0, 5}).empty());
  // A ruler of no length at a tick has that one tick.
  EXPECT_EQ(Ruler_Ticks(Ruler_Unit::Points, {1, 50, 0}, spacing).size(), 1u);
}

}  // namespace
