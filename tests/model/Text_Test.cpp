#include "model/CRDText.h"
#include "model/Fonts.h"
#include "model/Painting_Support.h"
#include "support/Watchdog.h"

#include <QTextLayout>

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

// The size of the whole text laid out at once at the box's width, as drawing lays it out
// (in sixteenths of a point).
QSizeF Whole_Layout_Size(const QString& text, double points, double width) {
  QFont font = Drawing_Font(Make_Font("Arial", points));
  font.setPixelSize(int(std::lround(points * 16)));
  font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
  font.setHintingPreference(QFont::PreferNoHinting);
  QString shown = text.trimmed();  // as drawing trims it
  shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
  QTextLayout layout(shown, font);
  QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  double height = 0, used = 0;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width * 16);
    line.setPosition(QPointF(0, height));
    height += line.height();
    used = std::max(used, line.naturalTextWidth());
  }
  layout.endLayout();
  return QSizeF(used / 16, height / 16);
}

// The natural size lays a long text out a piece at a time; its lines are the ones the whole
// text gives, however words, long runs without a break and line breaks fall across the
// pieces' ends.
TEST(Text, NaturalSizeOfALongTextIsThatOfTheWholeLayout) {
  QString mixed;
  for (int i = 0; mixed.size() < 30000; ++i) {
    mixed += QStringLiteral("Greetings to all of you ");
    if (i % 40 == 7) mixed += QString(1500 + i, QLatin1Char('w'));
    if (i % 23 == 5) mixed += QLatin1Char('\n');
  }
  const struct {
    const char* name;
    QString text;
  } cases[] = {
      {"no break", QString(20000, QLatin1Char('x'))},
      {"words, long runs and line breaks", mixed},
  };
  for (const auto& c : cases) {
    for (const double width : {35.0, 180.0, 900.0}) {
      SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(width));
      auto t = text(c.text, {0, 0, width, 10}, 12);
      const QSizeF whole = Whole_Layout_Size(c.text, 12, width);
      const QSizeF natural = t->naturalSize();
      EXPECT_NEAR(natural.width(), whole.width(), 1e-6);
      EXPECT_NEAR(natural.height(), whole.height(), 1e-6);
    }
  }
}

// A box shows at most the first Max_Laid_Out_Characters of its text, and its natural size is
// the size of those: a million characters without a break measure as their shown start does
// (once this took half a minute on the window's thread, and sized the box for characters it
// never shows).
TEST(Text, NaturalSizeOfAMillionCharactersIsThatOfWhatTheBoxShows) {
  const test_support::Watchdog watchdog("the natural size of a million characters");
  const QString million(1000 * 1000, QLatin1Char('x'));
  auto whole = text(million, {0, 0, 200, 10}, 12);
  auto shown = text(million.left(CRDText::Max_Laid_Out_Characters), {0, 0, 200, 10}, 12);
  EXPECT_EQ(whole->naturalSize(), shown->naturalSize());
  // Leading and trailing white space counts as drawing trims it, however much there is.
  auto spaced = text(QString(300000, QLatin1Char(' ')) + QStringLiteral("Hello") +
                         QString(300000, QLatin1Char(' ')),
                     {0, 0, 200, 10}, 12);
  EXPECT_EQ(spaced->naturalSize(), text(QStringLiteral("Hello"), {0, 0, 200, 10}, 12)->naturalSize());
}

// A long text paints the lines its box shows and no more: the layout gets a piece from the
// text's start that covers the box, not the whole text (1,048,576 characters without a
// break once took half a minute to paint). What shows is what the whole text shows.
TEST(Text, ALongTextIsLaidOutOnlyAsFarAsTheBoxShows) {
  const auto repeat = [](const QString& unit, qsizetype length) {
    QString text;
    text.reserve(length + unit.size());
    while (text.size() < length) text += unit;
    text.truncate(length);
    return text;
  };
  const qsizetype million = qsizetype(1) << 20;
  const struct Case {
    const char* name;
    QString text;
    QRectF box;
    double points;
    int alignment;
    qsizetype shown;  // a prefix long enough for every line the box shows
  } cases[] = {
      // Prefixes of up to 4,096 characters are laid out whole.
      {"no break", repeat("abcdefghij", million), {0, 0, 200, 100}, 20, 0, 2000},
      {"words", repeat("Greetings to you all ", million), {0, 0, 200, 100}, 20, 0, 2000},
      {"justified words", repeat("Greetings to everyone of us ", million), {0, 0, 200, 100}, 14, 3,
       2000},
      {"centred lines", repeat("Happy birthday\nto you\n", million), {0, 0, 200, 100}, 12, 2, 2000},
      {"right to left", repeat(QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd"), million),
       {0, 0, 200, 100}, 20, 4, 2000},
      // A box that shows more than a first piece.
      {"a box of many pieces", repeat("0123456789", million), {0, 0, 600, 600}, 5, 0, 200000},
  };
  const test_support::Watchdog watchdog("painting long texts");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto whole = text(c.text, c.box, c.points);
    whole->text_alignmnet = c.alignment;
    auto prefix = text(c.text.left(c.shown), c.box, c.points);
    prefix->text_alignmnet = c.alignment;
    const QSizeF area(c.box.width() + 10, c.box.height() + 10);

    const CRDText::Layout_Work before = CRDText::Painting_Layout_Work();
    const QImage painted = Paint(*whole, area, 2);
    const CRDText::Layout_Work after = CRDText::Painting_Layout_Work();
    const qint64 characters = after.characters - before.characters;
    EXPECT_LE(characters, 2 * CRDText::Max_Laid_Out_Characters);
    EXPECT_LT(after.lines - before.lines, 4 * c.box.height() / c.points + 8);

    const QImage expected = Paint(*prefix, area, 2);
    EXPECT_EQ(painted, expected) << "not what the start of the text shows";
    // Down to the bottom of the box.
    EXPECT_TRUE(Has_Ink(painted, int(c.box.height() - 2 * c.points) * 2, int(c.box.height()) * 2 - 1));
  }
}

// A box that shows more characters than the layout takes shows the first ones, painted
// with the layout's bound; the part beyond is left blank.
TEST(Text, ABoxOfMoreCharactersThanTheBoundShowsTheFirst) {
  const test_support::Watchdog watchdog("painting a long text in a large box");
  QString digits;
  for (int i = 0; i < (1 << 20); ++i) digits += QChar(u'0' + i % 10);
  auto t = text(digits, {0, 0, 1000, 1000}, 4);
  const CRDText::Layout_Work before = CRDText::Painting_Layout_Work();
  const QImage image = Paint(*t, {1000, 1000});
  const CRDText::Layout_Work after = CRDText::Painting_Layout_Work();
  EXPECT_LE(after.characters - before.characters, 2 * CRDText::Max_Laid_Out_Characters);
  EXPECT_TRUE(Has_Ink(image, 0, 10));
  EXPECT_FALSE(Has_Ink(image, 990, 999)) << "more than the bound was laid out";
}

}  // namespace
