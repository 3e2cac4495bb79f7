// The design file without the window: the array's layout as Python's plistlib reads it,
// files rewritten by plistlib, and damaged files refused whole.

#include "window/Design_File.h"
#include "model/CRDImage.h"
#include "model/Fonts.h"
#include "model/Graphic_Archive.h"
#include "platform/Property_List.h"
#include "support/File_Size_Limit.h"
#include "support/Memory_Limit.h"
#include "support/Sample_Graphics.h"
#include "support/Test_Support.h"
#include "support/Watchdog.h"
#include "window/Card_Side_Settings.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace design_file;

namespace {

const char* const Kinds[] = {"Shape_Control", "CRDLine",      "CRDText",
                             "CRDImage",      "CRDSignature", "CRDBarcode"};

Design_Contents Sample_Design() {
  Design_Contents d;
  Reset_Card_Property(d.front, QFont(QStringLiteral("Arial"), 14), CRDColor::blackColor());
  Reset_Card_Property(d.back, QFont(QStringLiteral("Arial"), 14), CRDColor::blackColor());
  d.front.Card_Size = QSizeF(243, 153.5);
  d.front.Card_border_chk = true;
  d.front.Card_fill_style = QStringLiteral("G");
  d.front.Card_alpha_Stepper = 42.5f;
  d.front.Card_Location = QPointF(3.25, -4);
  d.front.Card_fill_Grd_2_clr = CRDColor::rgb(0.1, 0.8, 0.2, 0.5);
  d.back.Card_fill_style = QStringLiteral("I");
  d.back.Card_BG_Image_Path = QStringLiteral("/pictures/waves & sand <1>.png");
  d.back.Card_Name = QStringLiteral("Rückseite");
  d.excel_binding_use = true;
  d.excel_source_path = QStringLiteral("/data/guests.xlsx");
  d.column_titles = {QStringLiteral("Row No."), QStringLiteral("Name"), QStringLiteral("City")};
  d.rows = {{{"Extension", "1"}, {"Column1", "Ann"}, {"Column2", "Oslo"}},
            {{"Extension", "2"}, {"Column1", "Bo"}, {"Column2", ""}}};
  for (const char* kind : Kinds) {
    d.front_graphics.push_back(test_support::Filled(QString::fromLatin1(kind)));
    d.back_graphics.insert(d.back_graphics.begin(), test_support::Filled(QString::fromLatin1(kind)));
  }
  return d;
}

QByteArray Contents(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Runs Python with the script and arguments; its standard output.
QString Python(const char* script, const QStringList& arguments) {
  const auto result = test_support::Run_Program(test_support::System_Python(),
                                                QStringList{"-c", QString::fromUtf8(script)} + arguments);
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  return QString::fromUtf8(result.out).trimmed();
}

class Design_File_Test : public ::testing::Test {
 protected:
  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir;
};

TEST_F(Design_File_Test, PlistlibReadsTheLayout) {
  const char* script = R"(
import plistlib, sys
a = plistlib.load(open(sys.argv[1], 'rb'))
kinds = ''.join({str: 's', bytes: 'd', list: 'a'}[type(v)] for v in a)
print(len(a), a[0], kinds)
print(a[13], a[18], a[19], a[57], a[59], a[60])
n = int(a[61])
print(n, int(a[62 + n]))
for i in list(range(62, 62 + n)) + [63 + n + k for k in range(int(a[62 + n]))]:
    arc = plistlib.loads(a[i])
    top = arc['$objects'][arc['$top']['root'].data]
    print(arc['$archiver'], arc['$objects'][top['$class'].data]['$classname'])
)";
  Design_Contents empty;
  ASSERT_TRUE(Write_Design_File(path("empty.dcard"), empty));
  QStringList lines = Python(script, {path("empty.dcard")}).split('\n');
  ASSERT_GE(lines.size(), 3);
  // Magic, front settings (flag, colour, width, ...), back settings, binding, titles, rows,
  // and the two counts.
  const QString side = "sdssssdddssds" + QString(13, QChar('s')) + "dd";
  EXPECT_EQ(lines[0], "63 ZELKMACBDAYINVITECARD s" + side + side + "ssaass");
  EXPECT_EQ(lines[2], "0 0");

  Design_Contents two_one = Sample_Design();
  two_one.front_graphics.resize(2);
  two_one.back_graphics.resize(1);
  ASSERT_TRUE(Write_Design_File(path("two_one.dcard"), two_one));
  lines = Python(script, {path("two_one.dcard")}).split('\n');
  ASSERT_EQ(lines.size(), 6) << lines.join('\n').toStdString();
  // Front count and two archives, back count at 64 and its archive at 65.
  EXPECT_EQ(lines[0], "66 ZELKMACBDAYINVITECARD s" + side + side + "ssaasddsd");
  EXPECT_EQ(lines[1], "42.50 {3.25, -4} {243, 153.5} Y ['Row No.', 'Name', 'City'] "
                      "[{'Column1': 'Ann', 'Column2': 'Oslo', 'Extension': '1'}, "
                      "{'Column1': 'Bo', 'Column2': '', 'Extension': '2'}]");
  EXPECT_EQ(lines[2], "2 1");
  EXPECT_EQ(lines[3], "NSKeyedArchiver Shape_Control");
  EXPECT_EQ(lines[4], "NSKeyedArchiver CRDLine");
  EXPECT_EQ(lines[5], "NSKeyedArchiver CRDBarcode");
}

// Rewritten with the keys of each table row in another order too: the order of a row's keys
// plays no part, and the design saved again is the file it was.
TEST_F(Design_File_Test, FileRewrittenByPlistlibReadsTheSame) {
  const Design_Contents design = Sample_Design();
  ASSERT_TRUE(Write_Design_File(path("a.dcard"), design));
  Python(R"(
import plistlib, sys
a = plistlib.load(open(sys.argv[1], 'rb'))
a[60] = [dict(reversed(list(row.items()))) for row in a[60]]
plistlib.dump(a, open(sys.argv[2], 'wb'), fmt=plistlib.FMT_XML, sort_keys=False)
)",
         {path("a.dcard"), path("b.dcard")});
  ASSERT_TRUE(Contents(path("b.dcard")).contains("<key>Extension</key>\n\t\t\t<string>1</string>\n\t\t\t<key>Column2</key>"));
  QString reason;
  const auto read = Read_Design_File(path("b.dcard"), &reason);
  ASSERT_TRUE(read) << reason.toStdString();
  // Same array, element by element: settings, binding, table and every archive.
  const plist::Array expected = Design_To_Array(design);
  const plist::Array got = Design_To_Array(*read);
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_TRUE(got[i] == expected[i]) << "element " << i;
  EXPECT_EQ(read->back.Card_BG_Image_Path, design.back.Card_BG_Image_Path);
  ASSERT_EQ(read->front_graphics.size(), 6u);
  EXPECT_EQ(read->front_graphics[2]->className(), QStringLiteral("CRDText"));
  ASSERT_TRUE(Write_Design_File(path("c.dcard"), *read));
  EXPECT_EQ(Contents(path("c.dcard")), Contents(path("a.dcard")));
}

TEST_F(Design_File_Test, OnlyAPictureFillKeepsItsBackgroundPath) {
  Design_Contents d = Sample_Design();
  d.front.Card_BG_Image_Path = QStringLiteral("/a.png");  // fill "G"
  const plist::Array a = Design_To_Array(d);
  EXPECT_EQ(*a[size_t(Front_Offset + 24)].string(), QString());
  EXPECT_EQ(*a[size_t(Back_Offset + 24)].string(), d.back.Card_BG_Image_Path);
  Clear_Unused_Background_Path(d.front);
  Clear_Unused_Background_Path(d.back);
  EXPECT_TRUE(d.front.Card_BG_Image_Path.isEmpty());
  EXPECT_FALSE(d.back.Card_BG_Image_Path.isEmpty());
}

TEST_F(Design_File_Test, FlagsAreYOnlyForYes) {
  EXPECT_EQ(Flag_Text(true), "Y");
  EXPECT_EQ(Flag_Text(false), "N");
  for (const char* text : {"y", "YES", "Y ", "", "1"}) EXPECT_FALSE(Flag_From_Text(text)) << text;
  EXPECT_TRUE(Flag_From_Text("Y"));
}

TEST_F(Design_File_Test, DamagedFilesAreRefusedWhole) {
  Design_Contents design = Sample_Design();
  design.front_graphics.resize(2);
  design.back_graphics.resize(1);
  ASSERT_TRUE(Write_Design_File(path("good.dcard"), design));
  // Each case: a name, the change plistlib makes to the good array, and the words of the
  // reason the file is refused for. The good array: the mark, the two sides (1-28, 29-56),
  // the binding (57, 58), titles (59), rows (60), the front count "2" (61) and its two
  // graphics, the back count "1" (64) and its graphic (65).
  const char* script = R"(
import plistlib, sys, os
good = plistlib.load(open(sys.argv[1], 'rb'))
out = sys.argv[2]
def case(name, change, reason):
    a = list(good)
    a = change(a) or a
    plistlib.dump(a, open(os.path.join(out, name + '.dcard'), 'wb'))
    print(name + '\t' + reason)
def put(i, v):
    def f(a):
        a[i] = v
    return f
case('magic_space', put(0, good[0] + ' '), 'is not the mark of a design file')
case('not_an_array', lambda a: {'a': 1}, 'not a list of elements')
for n in (1, 30, 62):
    case('cut_%d' % n, lambda a, n=n: a[:n], '%d elements, fewer than a design holds' % n)
case('cut_64', lambda a: a[:64], 'element 64: missing (the file is cut short)')
# The back count "1" with no graphic after it.
case('cut_65', lambda a: a[:65], 'element 64: a count larger than the file')
# Counts larger than the file: refused before anything is made for them (without that
# guard 999 fails later on another element, and ten digits ask for a huge allocation).
for text in ('999', '9999999999', '4294967298'):
    case('front_count_%r' % text, put(61, text), 'element 61: a count larger than the file')
    case('back_count_%r' % text, put(64, text), 'element 64: a count larger than the file')
for text in ('-1', ' 2', '1e3', '2 ', '+2', '0x2', '', '99999999999'):
    case('front_count_%r' % text, put(61, text), 'element 61: not a count')
    case('back_count_%r' % text, put(64, text), 'element 64: not a count')
for i, v in enumerate(good):
    other = b'x' if isinstance(v, str) else 'x'
    if i == 0:
        reason = 'is not the mark of a design file'
    elif isinstance(v, list):
        reason = 'element %d: not a list of %s' % (i, 'titles' if i == 59 else 'rows')
    else:
        reason = 'element %d: not %s' % (i, 'a string' if isinstance(v, str) else 'data')
    case('kind_%d' % i, put(i, other), reason)
case('kind_title', put(59, ['Row No.', 7]), 'element 59: a title that is not a string')
case('kind_row', put(60, ['row']), 'element 60: a row that is not a dictionary')
case('kind_cell', put(60, [{'Extension': 1}]), 'element 60: a cell that is not a string')
case('graphic_cut', put(62, good[62][:len(good[62]) // 2]), 'element 62: not a graphic archive')
case('graphic_foreign', put(63, plistlib.dumps({'$archiver': 'NSKeyedArchiver', '$version': 100000,
     '$top': {'root': plistlib.UID(1)}, '$objects': ['$null', {'$class': plistlib.UID(2)},
     {'$classname': 'NSWindow', '$classes': ['NSWindow', 'NSObject']}]}, fmt=plistlib.FMT_BINARY)),
     'element 63: not a graphic archive')
case('colour_cut', put(2, good[2][:20]), 'element 2: not a colour archive')
case('font_not_archive', put(28, b'plain bytes'), 'element 28: not a font archive')
case('size_nan', put(19, '{nan, nan}'), 'element 19: not a size')
case('size_text', put(19, '{243}'), 'element 19: not a size')
case('size_huge', put(19, '{1e9, 100}'), 'element 19: a card size out of range')
case('size_zero', put(19, '{0, 100}'), 'element 19: a card size out of range')
case('alpha_nan', put(13, 'nan'), 'element 13: not a finite number')
case('alpha_inf', put(13, 'inf'), 'element 13: not a finite number')
case('alpha_beyond_float', put(13, '1e300'), 'element 13: not a finite number')
case('location_nan', put(18, '{nan, 1}'), 'element 18: not a point')
case('width_float', put(3, '1.5'), 'element 3: not a whole number')
)";
  const QStringList lines = Python(script, {path("good.dcard"), dir.path()}).split('\n');
  ASSERT_GT(lines.size(), 80);
  for (const QString& line : lines) {
    const QString name = line.section(u'\t', 0, 0), expected = line.section(u'\t', 1);
    QString reason;
    EXPECT_FALSE(Read_Design_File(dir.filePath(name + ".dcard"), &reason)) << name.toStdString();
    EXPECT_TRUE(reason.contains(expected))
        << name.toStdString() << ": " << reason.toStdString() << "; expected " << expected.toStdString();
  }
  // The good file itself opens.
  EXPECT_TRUE(Read_Design_File(path("good.dcard")));
}

// A write the disk refuses (here: files may not grow past the limit, as on a full disk)
// is reported with the system's reason, and the design saved before stays as it was:
// small designs, which fit a write buffer and fail only when it is flushed, and large
// ones written in many pieces.
TEST_F(Design_File_Test, RefusedWriteKeepsTheOldDesign) {
  struct Case {
    const char* name;
    qint64 limit;
    int rows;  // data rows: the file's size
  } cases[] = {
      {"small design, nothing reaches the disk", 0, 0},
      {"small design, cut after 1 KB", 1024, 0},
      {"large design, cut after 64 KB", 64 * 1024, 20000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Design_Contents d;  // small: the card settings of both sides, no graphics
    if (c.rows > 0) d = Sample_Design();
    for (int r = 0; r < c.rows; ++r)
      d.rows << Data_Table_Row{{"Extension", QString::number(r)}, {"Column1", "Guest"}};
    const QString target = path("card.dcard");
    {
      QFile old(target);
      ASSERT_TRUE(old.open(QIODevice::WriteOnly));
      old.write("the design saved before");
    }
    const test_support::Limited_Write child = test_support::Expect_Refused_Under_Limit(
        target, c.limit, [&](QString* reason) { return Write_Design_File(target, d, reason); });
    // Without a limit the same design is written whole.
    QString error;
    ASSERT_TRUE(Write_Design_File(target, d, &error)) << error.toStdString();
    const qint64 size = QFileInfo(target).size();
    EXPECT_GT(size, c.limit);
    if (c.rows == 0)
      EXPECT_LT(size, 16 * 1024);
    else
      EXPECT_GT(size, 4 * c.limit);
    QFile::remove(target);
  }
}

// Only a regular file of a bounded size is read: a pipe or a device named as a design
// (or a template design) is refused at once, and a file larger than a design can be is
// refused before anything is allocated for it.
TEST_F(Design_File_Test, OnlyARegularFileOfBoundedSizeIsRead) {
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.dcard")).constData(), 0600), 0);
  {
    QFile huge(path("huge.dcard"));  // sparse: takes no room on the disk
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(Max_File_Bytes + 1));
  }
  const struct {
    QString where;
    const char* reason;
  } cases[] = {
      {dir.path(), "is a folder, not a file"},
      {path("missing.dcard"), "cannot be read: No such file or directory"},
      {path("pipe.dcard"), "is not a regular file"},
      {QStringLiteral("/dev/zero"), "is not a regular file"},
      {path("huge.dcard"), "is larger than 256 MB"},
  };
  const test_support::Watchdog watchdog("reading files that are no designs");
  for (const auto& c : cases) {
    QString reason;
    EXPECT_FALSE(Read_Design_File(c.where, &reason));
    EXPECT_TRUE(reason.contains(QString::fromLatin1(c.reason)))
        << c.where.toStdString() << ": " << reason.toStdString();
  }
}

// The archived pictures of one design share a budget of pixels: those beyond it are left
// out unread, the design opens, and the reader is told what was left out.
TEST_F(Design_File_Test, PicturesBeyondTheBudgetAreLeftOut) {
  QImage bars(300, 200, QImage::Format_RGB32);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) bars.setPixel(x, y, (x / 3 + y) % 2 ? 0xFF000000u : 0xFFFFFFFFu);
  Design_Contents design = Sample_Design();
  design.front_graphics.clear();
  design.back_graphics.clear();
  for (auto* side : {&design.front_graphics, &design.front_graphics, &design.back_graphics}) {
    auto barcode = test_support::Filled(QStringLiteral("CRDBarcode"));
    barcode->_barcode_image = Picture(bars, QSizeF(150, 100));
    side->push_back(barcode);
  }
  ASSERT_TRUE(Write_Design_File(path("pictures.dcard"), design));

  Graphic_Read_Budget budget(150000, 100);  // two pictures of 60,000 pixels, not three
  QString reason;
  const std::optional<Design_Contents> read = Read_Design_File(path("pictures.dcard"), &reason, &budget);
  ASSERT_TRUE(read) << reason.toStdString();
  ASSERT_EQ(read->front_graphics.size(), 2u);
  ASSERT_EQ(read->back_graphics.size(), 1u);
  EXPECT_EQ(read->front_graphics[0]->_barcode_image.image().convertToFormat(QImage::Format_RGB32), bars);
  EXPECT_FALSE(read->front_graphics[1]->_barcode_image.isNull());
  EXPECT_TRUE(read->back_graphics[0]->_barcode_image.isNull());
  EXPECT_TRUE(read->left_out.startsWith("1 picture left out unread (the first of 300 x 200 pixels)"))
      << read->left_out.toStdString();

  // Under the default budget the same design opens whole.
  const std::optional<Design_Contents> whole = Read_Design_File(path("pictures.dcard"));
  ASSERT_TRUE(whole);
  EXPECT_FALSE(whole->back_graphics[0]->_barcode_image.isNull());
  EXPECT_TRUE(whole->left_out.isEmpty());
}

// Picture objects read their pictures from their files under the same budget, and a file
// that failed once is not decoded again.
TEST_F(Design_File_Test, PictureFilesCountAgainstTheBudget) {
  QImage noise(300, 200, QImage::Format_RGB32);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) noise.setPixel(x, y, qRgb(x * 7 + y, x ^ y, y * 3));
  ASSERT_TRUE(noise.save(path("photo.png")));
  QFile png(path("photo.png"));
  ASSERT_TRUE(png.open(QIODevice::ReadOnly));
  QByteArray damaged = png.readAll();
  png.close();
  const qsizetype idat = damaged.indexOf("IDAT");
  ASSERT_GT(idat, 0);
  for (qsizetype i = idat + 8; i < idat + 40; ++i) damaged[i] = char(damaged[i] ^ 0x5A);
  {
    QFile out(path("damaged.png"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(damaged);
  }
  for (const char* copy : {"photo_b.png", "photo_c.png"})
    ASSERT_TRUE(QFile::copy(path("photo.png"), path(copy)));
  const struct {
    std::vector<const char*> files;  // of the three picture objects
    std::vector<bool> pictures;
    qint64 decodes;
    bool left_out;
  } cases[] = {
      {{"photo.png", "photo_b.png", "photo_c.png"}, {true, true, false}, 2, true},
      // Objects naming one file share its picture: it is read and counted once.
      {{"photo.png", "photo.png", "photo.png"}, {true, true, true}, 1, false},
      {{"damaged.png", "damaged.png", "damaged.png"}, {false, false, false}, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.files[0]);
    Design_Contents design = Sample_Design();
    design.front_graphics.clear();
    design.back_graphics.clear();
    for (int i = 0; i < 3; ++i) {
      auto image = test_support::Filled(QStringLiteral("CRDImage"));
      image->_barcode_image = Picture();
      image->Set_Control_File_path(path(c.files[size_t(i)]));
      (i < 2 ? design.front_graphics : design.back_graphics).push_back(image);
    }
    ASSERT_TRUE(Write_Design_File(path("photos.dcard"), design));
    Graphic_Read_Budget budget(150000, 100);  // two pictures of 60,000 pixels, not three
    QString reason;
    const std::optional<Design_Contents> read = Read_Design_File(path("photos.dcard"), &reason, &budget);
    ASSERT_TRUE(read) << reason.toStdString();
    std::vector<bool> pictures;
    for (const Graphic_List* list : {&read->front_graphics, &read->back_graphics})
      for (const auto& graphic : *list) {
        const auto* image = dynamic_cast<const CRDImage*>(graphic.get());
        ASSERT_TRUE(image);
        EXPECT_EQ(image->FilePath(), path(c.files[pictures.size()]));
        pictures.push_back(!image->_contents.isNull());
      }
    EXPECT_EQ(pictures, c.pictures);
    EXPECT_EQ(budget.decodes(), c.decodes);
    EXPECT_EQ(read->left_out.isEmpty(), !c.left_out) << read->left_out.toStdString();
  }
}

// A binary list may name one graphic from many places: 200,000 such references (a file of
// 203 KB) once built 1.2 GB of graphics. The graphics of both sides together stop at the
// budget, counted before any of them is made.
TEST_F(Design_File_Test, DesignsOfMoreGraphicsThanTheBudgetAreRefused) {
  Design_Contents design = Sample_Design();
  design.front_graphics.resize(1);
  design.back_graphics.clear();
  ASSERT_TRUE(Write_Design_File(path("one.dcard"), design));
  const int limit = int(Graphic_Read_Budget::Default_Graphics);
  // The front count is element 61, its graphics follow, then the back count.
  const char* script = R"(
import plistlib, sys, os
one = plistlib.load(open(sys.argv[1], 'rb'))
out, limit = sys.argv[2], int(sys.argv[3])
head, graphic = one[:61], one[62]
for name, front, back in (('all_front', limit + 1, 0), ('both_sides', limit // 2, limit // 2 + 1),
                          ('at_the_limit', limit // 2, limit // 2)):
    a = head + [str(front)] + [graphic] * front + [str(back)] + [graphic] * back
    plistlib.dump(a, open(os.path.join(out, name + '.dcard'), 'wb'), fmt=plistlib.FMT_BINARY)
)";
  Python(script, {path("one.dcard"), dir.path(), QString::number(limit)});
  const struct {
    const char* name;
    const char* reason;  // "" for a design that opens
  } cases[] = {
      {"all_front", "element 61: more graphics than the 10000 a design may hold"},
      {"both_sides", "element 5062: more graphics than the 10000 a design may hold"},
      {"at_the_limit", ""},
  };
  for (const auto& c : cases) {
    const QString file = path(c.name) + ".dcard";
    EXPECT_LT(QFileInfo(file).size(), 64 * 1024) << c.name;  // the graphic is stored once
    QString reason;
    const std::optional<Design_Contents> read = Read_Design_File(file, &reason);
    EXPECT_EQ(bool(read), !*c.reason) << c.name << ": " << reason.toStdString();
    if (*c.reason) {
      EXPECT_EQ(reason.toStdString(), c.reason) << c.name;
    } else if (read) {
      EXPECT_EQ(read->front_graphics.size() + read->back_graphics.size(), size_t(limit));
    }
  }
}

// The writer keeps to the reader's limits: a design at a limit is saved and opens whole,
// one just past it is refused before anything is written (the file saved before stays),
// with a reason that says what to remove. Bytes and values are tried under small limits
// (the same code counts them at the real ones; a 256 MB design would take a test's memory
// for nothing); the graphics at the real limit. The table is long enough for its rows to be
// measured in several shares, which must add up to the file exactly.
TEST_F(Design_File_Test, SavedDesignsAlwaysOpenAgain) {
  Design_Contents design = Sample_Design();
  const QString shared(4000, QLatin1Char('w'));  // one text used by many cells
  design.column_titles = {QStringLiteral("Row No."), QStringLiteral("Name")};
  design.rows.clear();
  for (int r = 0; r < 9000; ++r)
    design.rows << Data_Table_Row{{"Extension", QString::number(r + 1)},
                                  {"Column1", r % 3 == 2 ? shared : QStringLiteral("Guest")}};
  plist::Xml_Measure at;
  ASSERT_EQ(Design_Past_Limits(design, {}, &at), QString());
  ASSERT_GT(at.bytes, 12 * 1000 * 1000);
  const File_Limits exact{at.bytes, at.elements, File_Limits{}.max_graphics};
  File_Limits bytes_short = exact, values_short = exact;
  --bytes_short.max_bytes;
  --values_short.max_values;
  const struct {
    const char* name;
    File_Limits limits;
    const char* reason;  // "" when saved
  } cases[] = {
      {"at both limits", exact, ""},
      {"a byte past", bytes_short, "the design's file would be larger than the"},
      {"a value past", values_short, "the design's file would hold more than the"},
  };
  const QString target = path("limits.dcard");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    {
      QFile old(target);
      ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
      old.write("the design saved before");
    }
    QString error;
    const bool written = Write_Design_File(target, design, &error, c.limits);
    if (!*c.reason) {
      ASSERT_TRUE(written) << error.toStdString();
      EXPECT_EQ(QFileInfo(target).size(), at.bytes);
      QString reason;
      const auto read = Read_Design_File(target, &reason, nullptr, c.limits);
      ASSERT_TRUE(read) << reason.toStdString();
      ASSERT_EQ(read->rows.size(), design.rows.size());
      EXPECT_EQ(read->rows.last().value("Column1"), shared);
      EXPECT_EQ(read->front_graphics.size(), design.front_graphics.size());
      continue;
    }
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.startsWith("not saved, as it could not be opened again: ")) << error.toStdString();
    EXPECT_TRUE(error.contains(c.reason)) << error.toStdString();
    EXPECT_TRUE(error.contains("the data table holds 9,000 rows of 1 column")) << error.toStdString();
    EXPECT_TRUE(error.contains("remove data table rows")) << error.toStdString();
    EXPECT_EQ(Contents(target), QByteArray("the design saved before"));
    EXPECT_EQ(Design_Past_Limits(design, c.limits).isEmpty(), false);
    // The file the writer refused is the one the reader refuses.
    File_Limits loose = c.limits;
    loose.max_bytes = loose.max_values = std::numeric_limits<qint64>::max() / 4;
    ASSERT_TRUE(Write_Design_File(target, design, &error, loose)) << error.toStdString();
    EXPECT_FALSE(Read_Design_File(target, nullptr, nullptr, c.limits));
  }

  // A text of a megabyte in 2,000 cells would be a file of 2 GB: refused at once, and
  // nothing is written.
  const QString megabyte(1 << 20, QLatin1Char('m'));
  Design_Contents huge = Sample_Design();
  for (int r = 0; r < 2000; ++r)
    huge.rows << Data_Table_Row{{"Extension", QString::number(r + 1)}, {"Column1", megabyte}};
  const QByteArray before = Contents(target);
  QString error;
  EXPECT_FALSE(Write_Design_File(target, huge, &error));
  EXPECT_TRUE(error.contains("larger than the 256 MB a design file may have")) << error.toStdString();
  EXPECT_EQ(Contents(target), before);

  // Objects at the real limit: 10,000 are saved and open; one more is refused.
  Design_Contents many = Sample_Design();
  const int limit = int(File_Limits{}.max_graphics);
  many.front_graphics.assign(size_t(limit / 2), test_support::Filled(QStringLiteral("Shape_Control")));
  many.back_graphics.assign(size_t(limit / 2), test_support::Filled(QStringLiteral("CRDLine")));
  ASSERT_TRUE(Write_Design_File(target, many, &error)) << error.toStdString();
  QString reason;
  const auto read = Read_Design_File(target, &reason);
  ASSERT_TRUE(read) << reason.toStdString();
  EXPECT_EQ(read->front_graphics.size() + read->back_graphics.size(), size_t(limit));
  const QByteArray saved = Contents(target);
  many.back_graphics.push_back(test_support::Filled(QStringLiteral("CRDText")));
  EXPECT_FALSE(Write_Design_File(target, many, &error));
  EXPECT_EQ(error.toStdString(),
            "not saved, as it could not be opened again: the design has 10,001 objects (front "
            "5,000, back 5,001), and a design may hold at most 10,000: remove at least 1 object. "
            "The file saved before is as it was");
  EXPECT_EQ(Contents(target), saved);
}

// A data table whose rows alone hold more values than a design file may is refused before
// the file's values are made, where memory is short: the table takes little (its rows share
// their cells), the file's values for it would take far more than the 32 MB left.
TEST_F(Design_File_Test, ATableOfTooManyValuesIsRefusedBeforeTheFileIsMade) {
  if (!test_support::kMemory_Limit_Works) GTEST_SKIP() << "no address-space limit here";
  Design_Contents design = Sample_Design();
  design.column_titles = {QStringLiteral("Row No."), QStringLiteral("Name")};
  const Data_Table_Row row{{"Extension", "1"}, {"Column1", "Guest"}};  // five values
  const qint64 most = File_Limits{}.max_values / 5;                    // 400,000 rows
  design.rows = Data_Table_Rows(most + 1, row);
  const QString target = path("table.dcard");
  const QString answer = test_support::Run_With_Memory_Limit(qint64(32) << 20, [&] {
    QString error;
    return Write_Design_File(target, design, &error) ? QStringLiteral("saved") : error;
  });
  EXPECT_EQ(answer.toStdString(),
            "not saved, as it could not be opened again: the design's file would hold more than "
            "the 2,000,000 values a design file may hold (every table cell is two, the data table "
            "holds 400,001 rows of 1 column): remove data table rows or columns. The file saved "
            "before is as it was");
  EXPECT_FALSE(QFileInfo::exists(target));
}

// The writer counts each object's archive as the reader will, inner objects and values
// included: an object at the reader's limit of archived values is saved and opens, one value
// past it is refused before anything is written (and the reader refuses such a file). The
// limit is made small here; the same code counts at the real one.
TEST_F(Design_File_Test, SavingCountsEachObjectsArchiveAsOpeningWill) {
  Design_Contents design = Sample_Design();
  auto styled = test_support::Filled(QStringLiteral("CRDText"));
  std::vector<Text_Attributes> styles(300);
  std::vector<StyledText::Run> runs;
  for (int i = 0; i < 300; ++i) {
    styles[size_t(i)].foreground = CRDColor::rgb(i / 300.0, 0, 0);
    runs.push_back({i, 1, i});
  }
  styled->_Text_contents = std::make_shared<StyledText>(
      *StyledText::fromRuns(QString(300, QLatin1Char('r')), styles, runs));
  design.back_graphics.push_back(styled);
  qint64 objects = 0;
  const QByteArray archive = Archive_Graphic(*styled, &objects);
  const auto measured = plist::Check_Binary_Data(archive);
  ASSERT_TRUE(measured);
  ASSERT_GT(measured->nodes, 3000);  // the largest archive of the design
  File_Limits exact;
  exact.archive.read.max_nodes = measured->nodes;
  File_Limits short_by_one = exact;
  --short_by_one.archive.read.max_nodes;
  File_Limits few_objects = exact;
  few_objects.archive.max_objects = objects - 1;

  const QString target = path("archives.dcard");
  QString error;
  ASSERT_TRUE(Write_Design_File(target, design, &error, exact)) << error.toStdString();
  QString reason;
  const auto read = Read_Design_File(target, &reason, nullptr, exact);
  ASSERT_TRUE(read) << reason.toStdString();
  EXPECT_TRUE(*read->back_graphics.back()->_Text_contents == *styled->_Text_contents);
  const QByteArray saved = Contents(target);
  for (const File_Limits& past : {short_by_one, few_objects}) {
    EXPECT_FALSE(Write_Design_File(target, design, &error, past));
    EXPECT_TRUE(error.startsWith("not saved, as it could not be opened again: the text "
                                 "\u201crrrrrrrrrrrrrrrrrrrrrrrr\u2026\u201d on the back would be stored as "))
        << error.toStdString();
    EXPECT_TRUE(error.contains("the reader takes: simplify or remove that object")) << error.toStdString();
    EXPECT_EQ(Contents(target), saved);
    // What the writer refuses, the reader refuses.
    ASSERT_TRUE(Write_Design_File(path("loose.dcard"), design, &error, exact));
    EXPECT_FALSE(Read_Design_File(path("loose.dcard"), &reason, nullptr, past));
    EXPECT_TRUE(reason.contains("not a graphic archive")) << reason.toStdString();
  }
}

// Many objects sharing one long text: the file would hold the text once per object. The
// refusal comes after about a file's worth of archives, where memory is short, and names the
// objects and the largest of them, not the empty data table.
TEST_F(Design_File_Test, ObjectsSharingALongTextAreRefusedAtOnce) {
  Design_Contents design = Sample_Design();
  design.rows.clear();
  design.column_titles = {QStringLiteral("Row No.")};
  auto text = test_support::Filled(QStringLiteral("CRDText"));
  text->_Text_contents = std::make_shared<StyledText>(QString(1 << 20, QLatin1Char('m')));
  design.front_graphics.clear();
  design.back_graphics.clear();
  for (int i = 0; i < 10000; ++i) design.front_graphics.push_back(text->clone());
  const QString target = path("shared.dcard");
  {
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the design saved before");
  }
  const test_support::Watchdog watchdog("saving 10,000 objects sharing a long text");
  const auto save = [&] {
    QString error;
    return Write_Design_File(target, design, &error) ? QStringLiteral("saved") : error;
  };
  const QString error = test_support::kMemory_Limit_Works
                            ? test_support::Run_With_Memory_Limit(256LL << 20, save)
                            : save();
  EXPECT_TRUE(error.startsWith(
      "not saved, as it could not be opened again: the design's file would be larger than the "
      "256 MB a design file may have: its objects take more than "))
      << error.toStdString();
  EXPECT_TRUE(error.contains("(the largest, the text \u201cmmmmmmmmmmmmmmmmmmmmmmmm\u2026\u201d on "
                             "the front, takes "))
      << error.toStdString();
  EXPECT_TRUE(error.contains("and the data table is empty: remove objects, shorten their texts or "
                             "use smaller pictures"))
      << error.toStdString();
  EXPECT_EQ(Contents(target), QByteArray("the design saved before"));
}

// A picture object whose file is gone opens with an empty frame, and the reader names the
// file; objects bound to a series or column (their files come per record) and those whose
// file is there are not named.
TEST_F(Design_File_Test, OpeningNamesMissingPictureFiles) {
  QImage dot(4, 4, QImage::Format_RGB32);
  dot.fill(Qt::red);
  for (const char* name : {"kept.png", "moved.png", "bound.png"})
    ASSERT_TRUE(dot.save(path(name)));
  Design_Contents design = Sample_Design();
  design.front_graphics.clear();
  design.back_graphics.clear();
  const auto picture = [&](const char* name, int source) {
    auto image = test_support::Filled(QStringLiteral("CRDImage"));
    image->Set_Control_File_path(path(name));
    image->data_source_type = source;
    return image;
  };
  design.front_graphics = {picture("kept.png", 0), picture("moved.png", 0), picture("bound.png", 2)};
  design.back_graphics = {picture("moved.png", 0)};
  ASSERT_TRUE(Write_Design_File(path("pictures.dcard"), design));
  ASSERT_TRUE(QFile::remove(path("moved.png")));
  ASSERT_TRUE(QFile::remove(path("bound.png")));

  QString reason;
  const auto read = Read_Design_File(path("pictures.dcard"), &reason);
  ASSERT_TRUE(read) << reason.toStdString();
  EXPECT_EQ(read->missing_pictures, QStringList{path("moved.png")});
  EXPECT_EQ(Missing_Pictures_Message(read->missing_pictures),
            "A picture file of this design is missing; its frame is empty:\n" + path("moved.png"));
  QStringList many;
  for (int i = 0; i < 12; ++i) many << QStringLiteral("/gone/%1.png").arg(i);
  const QString message = Missing_Pictures_Message(many);
  EXPECT_TRUE(message.startsWith("12 picture files of this design are missing; their frames are empty:\n/gone/0.png\n"));
  EXPECT_TRUE(message.endsWith("/gone/9.png\n(and 2 more)")) << message.toStdString();
}

TEST_F(Design_File_Test, ControlCharactersRefuseTheWrite) {
  Design_Contents d;
  d.excel_source_path = QStringLiteral("a\x01b");
  QString error;
  EXPECT_FALSE(Write_Design_File(path("bad.dcard"), d, &error));
  EXPECT_TRUE(error.contains("control character")) << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(path("bad.dcard")));
}

}  // namespace

namespace {

// A font dialog's bold or italic face is a flag on the family; the file keeps it in the
// stored name, and drawing finds the face again.
TEST_F(Design_File_Test, BoldAndItalicFacesSurviveTheFile) {
  struct Case {
    const char* family;
    bool bold, italic;
    const char* stored;
  } cases[] = {
      {"DejaVu Serif", true, false, "DejaVu Serif-Bold"},
      {"DejaVu Serif", true, true, "DejaVu Serif-BoldItalic"},
      {"DejaVu Serif", false, false, "DejaVu Serif"},
      {"TimesNewRomanPS-ItalicMT", true, false, "TimesNewRomanPS-BoldItalic"},
      {"TimesNewRomanPS-BoldMT", true, false, "TimesNewRomanPS-BoldMT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    QFont font = Make_Font(QString::fromLatin1(c.family), 20);
    font.setBold(c.bold);
    font.setItalic(c.italic);
    EXPECT_EQ(Font_Stored_Name(font), c.stored);

    Design_Contents d = Sample_Design();
    d.front.Card_Content_font = font;
    d.front_graphics[2]->text_ctrl_font = font;  // the text
    ASSERT_TRUE(Write_Design_File(path("fonts.dcard"), d));
    const auto read = Read_Design_File(path("fonts.dcard"));
    ASSERT_TRUE(read);
    for (const QFont& back : {read->front.Card_Content_font, read->front_graphics[2]->text_ctrl_font}) {
      const QFont drawn = Drawing_Font(back);
      EXPECT_EQ(drawn.bold(), Drawing_Font(font).bold());
      EXPECT_EQ(drawn.italic(), Drawing_Font(font).italic());
      EXPECT_EQ(back.pointSizeF(), 20);
    }
    // Stored again, the name stays.
    EXPECT_EQ(Font_Stored_Name(read->front.Card_Content_font), c.stored);
  }
}

}  // namespace
