#include "model/CRDText.h"
#include "model/Fonts.h"
#include "model/Painting_Support.h"

using namespace painting_test;

namespace {

// The rows and columns that hold dark text pixels (alpha and darkness both high).
struct Ink {
  int top = -1, bottom = -1, left = -1, right = -1;
  bool empty() const { return top < 0; }
};

Ink dark_ink(const QImage& image) {
  Ink ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.alpha() < 128 || c.value() > 100) continue;
      if (ink.top < 0) ink.top = y;
      ink.bottom = y;
      if (ink.left < 0 || x < ink.left) ink.left = x;
      ink.right = std::max(ink.right, x);
    }
  return ink;
}

std::unique_ptr<CRDText> text(const QString& value, QRectF bounds, double points = 20) {
  auto t = std::make_unique<CRDText>();
  t->Text_Value = value;
  t->_bounds = bounds;
  t->text_ctrl_font = Make_Font("Arial", points);
  t->txt_clr = CRDColor::blackColor();
  t->_isDrawingFill = false;
  t->_isDrawingStroke = false;
  return t;
}

TEST(Text, EmptyOnceTrimmedDrawsNothingAtAll) {
  auto t = text(" \n\t \n ", {10, 10, 80, 40});
  t->_isDrawingFill = true;
  t->_isDrawingStroke = true;
  t->_fillColor = CRDColor::rgb(1, 0, 0);
  EXPECT_FALSE(Has_Ink(Paint(*t, {100, 60}), 0, 59));
  t->Text_contents()->replaceCharacters("x");
  EXPECT_TRUE(Near(At(Paint(*t, {100, 60}), 80, 45), Qt::red));
}

TEST(Text, CaseTransforms) {
  struct Case {
    int code;
    QString expected;
  } cases[] = {
      {0, "hello wORLD\tnew-line"}, {1, "HELLO WORLD\tNEW-LINE"}, {2, "hello world\tnew-line"},
      {3, "Hello World\tNew-line"}, {7, "hello wORLD\tnew-line"}, {-1, "hello wORLD\tnew-line"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CRDText::Apply_Text_Case("hello wORLD\tnew-line", c.code), c.expected) << c.code;

  // Drawing transforms what is shown, never what is stored.
  auto t = text("  mixed Case  ", {0, 0, 200, 40});
  t->text_transfrom_case = 1;
  EXPECT_EQ(t->Drawn_Text(), "MIXED CASE");
  Paint(*t, {200, 40});
  EXPECT_EQ(t->Text_contents()->string(), "  mixed Case  ");
}

TEST(Text, UpperCaseIsDrawnTaller) {
  auto lower = text("xxxx", {0, 0, 200, 40}, 30);
  auto upper = text("xxxx", {0, 0, 200, 40}, 30);
  upper->text_transfrom_case = 1;
  const Ink small = dark_ink(Paint(*lower, {200, 40}));
  const Ink capital = dark_ink(Paint(*upper, {200, 40}));
  ASSERT_FALSE(small.empty());
  EXPECT_EQ(small.bottom, capital.bottom);  // same baseline
  EXPECT_LT(capital.top, small.top - 3);
}

TEST(Text, FillBorderAndHatchCode) {
  auto t = text("Hi", {10, 10, 80, 40});
  t->_isDrawingFill = true;
  t->_fill_type = "H";  // a text has no hatch: plain colour
  t->_fill_hatch_type = "anything";
  t->_fillColor = CRDColor::rgb(0, 0, 1);
  t->_isDrawingStroke = true;
  t->_strokeWidth = 2;
  t->_strokeColor = CRDColor::rgb(1, 0, 0);
  const QImage image = Paint(*t, {100, 60});
  EXPECT_TRUE(Near(At(image, 80, 40), Qt::blue));
  EXPECT_TRUE(Near(At(image, 10, 30), Qt::red));
  EXPECT_TRUE(Transparent(image, 5, 5));
  EXPECT_FALSE(t->canSetDrawingStroke());
  EXPECT_EQ(t->drawingBounds(), QRectF(7, 7, 87, 47));  // the record's: bounds + 3, + 1
}

TEST(Text, WhileCreatedOnlyAFrameOutsideTheBounds) {
  auto t = text("Hello", {10, 10, 40, 20});
  t->_isDrawingFill = true;
  t->_fillColor = CRDColor::rgb(1, 0, 0);
  const QImage image = Paint(*t, {60, 40}, 1, true);
  EXPECT_FALSE(Transparent(image, 9, 20));   // frame column left of the bounds
  EXPECT_FALSE(Transparent(image, 30, 30));  // frame row below the bounds
  EXPECT_FALSE(Transparent(image, 50, 9));
  EXPECT_TRUE(Transparent(image, 11, 11));  // nothing inside: no fill, no text
  EXPECT_TRUE(Transparent(image, 30, 20));
  EXPECT_TRUE(Transparent(image, 8, 20));
}

TEST(Text, WrapsAtTheWidthAndIsCutAtTheBottom) {
  auto one_line = text("word word", {0, 0, 300, 100});
  auto wrapped = text("word word", {0, 0, 60, 100});
  const Ink wide = dark_ink(Paint(*one_line, {300, 100}));
  const Ink narrow = dark_ink(Paint(*wrapped, {300, 100}));
  EXPECT_GT(narrow.bottom, wide.bottom + 15);  // a second line
  EXPECT_LE(narrow.right, 60);

  auto cut = text("one two three four five six seven", {0, 0, 60, 30});
  const QImage image = Paint(*cut, {100, 100});
  EXPECT_TRUE(Has_Ink(image, 0, 29));
  EXPECT_FALSE(Has_Ink(image, 30, 99));
}

TEST(Text, Alignment) {
  struct Case {
    int code;
    int expected_left, expected_right;  // ink columns, with a few points of slack
  } cases[] = {{0, 0, 60}, {1, 140, 200}, {2, 70, 130}};
  for (const auto& c : cases) {
    auto t = text("HHH", {0, 0, 200, 40});
    t->text_alignmnet = c.code;
    const Ink ink = dark_ink(Paint(*t, {200, 40}));
    EXPECT_GE(ink.left, c.expected_left) << c.code;
    EXPECT_LE(ink.right, c.expected_right) << c.code;
  }
}

TEST(Text, SizeInPointsAtEveryResolution) {
  auto t = text("H", {0, 0, 100, 100}, 72);
  const Ink at_1 = dark_ink(Paint(*t, {100, 100}, 1));
  const Ink at_4 = dark_ink(Paint(*t, {100, 100}, 4));
  // A 72-point capital of the Liberation Sans face is about 49.5 points high.
  EXPECT_NEAR(at_1.bottom - at_1.top, 49.5, 2);
  EXPECT_NEAR((at_4.bottom - at_4.top) / 4.0, at_1.bottom - at_1.top, 1.5);
}

TEST(Text, NaturalSizeMeasuresTheTextAsDrawn) {
  auto t = text("Hello", {5, 6, 400, 10}, 20);
  const QSizeF plain = t->naturalSize();
  EXPECT_GT(plain.width(), 40);
  EXPECT_LT(plain.width(), 60);
  EXPECT_NEAR(plain.height(), 23, 2);

  // The drawing font, kerning and case count.
  t->text_ctrl_font = Make_Font("Arial", 40);
  EXPECT_NEAR(t->naturalSize().width(), 2 * plain.width(), 2);
  t->text_ctrl_font = Make_Font("Arial", 20);
  t->text_kerning = 3;
  EXPECT_NEAR(t->naturalSize().width(), plain.width() + 15, 1);
  t->text_kerning = 0;
  t->text_transfrom_case = 1;
  EXPECT_GT(t->naturalSize().width(), plain.width() + 5);
  t->text_transfrom_case = 0;

  // Taken at the current width: a narrow box gives more lines.
  auto narrow = text("Hello Hello Hello", {0, 0, 60, 10}, 20);
  EXPECT_NEAR(narrow->naturalSize().height(), 3 * plain.height(), 1);

  t->ctrl_is_locked = true;
  t->makeNaturalSize();
  EXPECT_EQ(t->bounds(), QRectF(5, 6, 400, 10));
  t->ctrl_is_locked = false;
  t->makeNaturalSize();
  EXPECT_EQ(t->bounds().topLeft(), QPointF(5, 6));
  EXPECT_EQ(t->bounds().size(), plain);
}

TEST(Text, NaturalSizeShowsTheWholeText) {
  // After sizing to the text, nothing is cut and nothing wraps differently.
  auto t = text("Greetings from all of us", {0, 0, 150, 5}, 18);
  t->text_kerning = 1.5f;
  t->makeNaturalSize();
  auto big = text("Greetings from all of us", {0, 0, 150, 200}, 18);
  big->text_kerning = 1.5f;
  const Ink sized = dark_ink(Paint(*t, {160, 200}, 2));
  const Ink roomy = dark_ink(Paint(*big, {160, 200}, 2));
  EXPECT_EQ(sized.top, roomy.top);
  EXPECT_EQ(sized.bottom, roomy.bottom);
  EXPECT_EQ(sized.right, roomy.right);
}

}  // namespace
