// Our keyed archives against an independent implementation of the desktop's keyed
// archiver: GNUstep's NSKeyedUnarchiver reads every key of every graphic kind we archive
// (and standalone colour and font archives), and our readers decode what GNUstep's
// NSKeyedArchiver writes. The Objective-C side is archive_check.m; it runs once for the
// whole suite under a private X server (fonts need a display).
//
// Our side is described from what our own readers decode from the same archive; the
// model's round-trip tests tie that to the graphic written. Where GNUstep differs from
// the desktop's documented behaviour, the comparison covers what both define:
// - GNUstep substitutes fonts that are not installed, so the names of those fonts are
//   compared in a second pass in which stubs decode the NSFont keys as stored;
// - GNUstep's paragraph style neither writes nor reads "NSAlignment", and its text
//   storages give every run a default style: alignments are compared in the second pass,
//   where a stub paragraph style keeps the stored one, and a text written by GNUstep
//   carries none;
// - GNUstep limits colour components to 0..1 (as the desktop does): the alpha of 100 a
//   colour carries after an opacity read is compared as 1.

#include "model/CRDGraphic.h"
#include "model/CRDLine.h"
#include "model/Fonts.h"
#include "model/Graphic_Archive.h"
#include "model/Graphic_Kinds.h"
#include "platform/Keyed_Archive.h"
#include "support/Sample_Graphics.h"
#include "support/Test_Support.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <map>

using keyed_archive::Object;
using keyed_archive::Unarchiver;

namespace {

const QStringList Kinds = {"Shape_Control", "CRDLine",      "CRDText",
                           "CRDImage",      "CRDSignature", "CRDBarcode"};

// ---- What GNUstep printed --------------------------------------------------------------

struct Graphic_Reading {
  QString class_name;
  std::vector<std::pair<QString, QString>> keys;  // in the order decoded
};

struct Reading {
  std::vector<Graphic_Reading> graphics;
  std::map<QString, QString> archives;  // file -> value
  QStringList exceptions;
};

struct Check_Run {
  QString failure;  // why the program could not run
  QSet<QString> installed_fonts;
  Reading real, raw;
};

Check_Run Parse(const QByteArray& out) {
  Check_Run run;
  Reading* pass = nullptr;
  for (const QString& line : QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts)) {
    const QString word = line.section(' ', 0, 0);
    const QString rest = line.section(' ', 1);
    if (word == "installed") {
      run.installed_fonts.insert(rest);
    } else if (word == "pass") {
      pass = rest == "raw" ? &run.raw : &run.real;
    } else if (!pass) {
      continue;
    } else if (word == "graphic") {
      pass->graphics.push_back({rest, {}});
    } else if (word == "archive") {
      pass->archives[rest.section('\t', 0, 0)] = rest.section('\t', 1);
    } else if (word == "exception") {
      pass->exceptions << rest;
    } else if (line != "end" && !pass->graphics.empty()) {
      pass->graphics.back().keys.emplace_back(line.section('\t', 0, 0), line.section('\t', 1));
    }
  }
  return run;
}

// ---- The same descriptions of what our readers decode ----------------------------------

QString Number(double v) { return QString::asprintf("%.17g", v); }

QString Escaped(QString text) {
  return text.replace('\\', "\\\\").replace('\n', "\\n").replace('\t', "\\t").replace('|', "\\|");
}

QString Space_Name(CRDColor::Space space) {
  switch (space) {
    case CRDColor::Space::Calibrated_RGB: return "NSCalibratedRGBColorSpace";
    case CRDColor::Space::Device_RGB: return "NSDeviceRGBColorSpace";
    case CRDColor::Space::Calibrated_White: return "NSCalibratedWhiteColorSpace";
    case CRDColor::Space::Device_White: return "NSDeviceWhiteColorSpace";
  }
  return "?";
}

// Components as the desktop reads them: limited to 0..1, as GNUstep limits them too.
QString Describe_Color(const CRDColor& stored) {
  if (!stored.isValid()) return "nil";
  const CRDColor c = stored.colorWithAlphaComponent(std::clamp(stored.alphaComponent(), 0.0, 1.0));
  if (c.isWhiteSpace())
    return QString("color:%1 %2 %3")
        .arg(Space_Name(c.space()), Number(c.whiteComponent()), Number(c.alphaComponent()));
  return QString("color:%1 %2 %3 %4 %5")
      .arg(Space_Name(c.space()), Number(c.redComponent()), Number(c.greenComponent()),
           Number(c.blueComponent()), Number(c.alphaComponent()));
}

// raw: as the keys of the archive, which hold the flags we write with every font.
QString Describe_Font(const QFont& font, bool raw) {
  const QString name_and_size = Font_Name(font) + "@" + Number(font.pointSizeF());
  return raw ? "rawfont:" + name_and_size + " 16" : "font:" + name_and_size;
}

// raw: fonts and paragraph styles as their stored keys. GNUstep's own paragraph style
// reads no alignment, so the comparison with it leaves alignments out.
QString Describe_Text(const StyledText& text, bool raw) {
  QString s = "text:" + Escaped(text.string());
  for (const StyledText::Run& run : text.runs()) {
    s += QString("|run:%1 %2").arg(run.start).arg(run.length);
    // Attribute names in their sorted order.
    const Text_Attributes& a = text.attributes(run);
    if (a.foreground.isValid()) s += "|NSColor=" + Describe_Color(a.foreground);
    if (a.font) s += "|NSFont=" + Describe_Font(*a.font, raw);
    if (a.kerning) s += "|NSKern=number:" + Number(*a.kerning);
    if (a.alignment && raw) s += QString("|NSParagraphStyle=rawparagraph:%1").arg(*a.alignment);
  }
  return s;
}

QString Describe_Picture(const Picture& picture) {
  const QImage image = picture.image().convertToFormat(QImage::Format_ARGB32);
  QString s = QString("image:%1 %2 reps:1 pixels:%3 %4")
                  .arg(Number(picture.size().width()), Number(picture.size().height()))
                  .arg(image.width())
                  .arg(image.height());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      s += QString::asprintf(" %02x%02x%02x%02x", qRed(p), qGreen(p), qBlue(p), qAlpha(p));
    }
  return s;
}

// An object of our archive as our readers decode it, described as archive_check describes
// what GNUstep decodes (raw: its second pass).
QString Describe(const Object& o, bool raw) {
  if (o.isNull()) return "nil";
  if (o.isKindOf(QLatin1String("NSColor")))
    return Describe_Color(Decode_Color(o).value_or(CRDColor()));
  if (o.isKindOf(QLatin1String("NSFont"))) {
    const std::optional<QFont> font = Decode_Font(o);
    return font ? Describe_Font(*font, raw) : "undecodable font";
  }
  if (o.isKindOf(QLatin1String("NSAttributedString"))) {
    const std::optional<StyledText> text = Decode_Styled_Text(o);
    return text ? Describe_Text(*text, raw) : "undecodable text";
  }
  if (o.isKindOf(QLatin1String("NSImage"))) {
    const std::optional<Picture> picture = Decode_Picture(o);
    return picture ? Describe_Picture(*picture) : "undecodable picture";
  }
  if (const std::optional<QString> text = o.toString()) return "string:" + Escaped(*text);
  if (const std::optional<double> n = o.toNumber()) return "number:" + Number(*n);
  return "object:" + o.className();
}

// A key of our archive, read the way GNUstep's line says it read it.
QString Describe_Key(const Object& root, const QString& key, const QString& gnustep_value,
                     bool raw) {
  if (!root.containsKey(key)) return "missing";
  const QString type = gnustep_value.section(':', 0, 0);
  if (type == "rect") {
    const QRectF r = root.decodeRect(key).value_or(QRectF(-1, -1, -1, -1));
    return QString("rect:%1 %2 %3 %4")
        .arg(Number(r.x()), Number(r.y()), Number(r.width()), Number(r.height()));
  }
  if (type == "bool") return QString("bool:%1").arg(root.decodeBool(key).value_or(false) ? 1 : 0);
  if (type == "int") return QString("int:%1").arg(root.decodeInt32(key).value_or(-999999));
  if (type == "float") return "float:" + Number(root.decodeFloat(key).value_or(-999999.f));
  return Describe(root.decodeObject(key), raw);
}

// GNUstep gives every run of a text a paragraph style: its default where the archive has
// none, and in the first pass always its own, which reads no alignment. Those are left out.
QString Without_Default_Paragraphs(QString text) {
  static const QRegularExpression paragraph(QStringLiteral("\\|NSParagraphStyle=alignment:\\d+"));
  return text.remove(paragraph);
}

// GNUstep answers another font for a name it does not have: where our name is not
// installed, both names are left out (their sizes still count); the names of installed
// fonts are compared. Answers the two texts so masked, as standard strings (readable in
// test messages).
std::pair<std::string, std::string> Without_Substituted_Fonts(QString ours, QString theirs,
                                                              const QSet<QString>& installed) {
  static const QRegularExpression font(QStringLiteral("font:([^@|\t]*)@"));
  theirs = Without_Default_Paragraphs(theirs);
  std::vector<QRegularExpressionMatch> our_fonts, their_fonts;
  for (auto it = font.globalMatch(ours); it.hasNext();) our_fonts.push_back(it.next());
  for (auto it = font.globalMatch(theirs); it.hasNext();) their_fonts.push_back(it.next());
  if (our_fonts.size() == their_fonts.size())
    for (size_t i = our_fonts.size(); i-- > 0;) {
      if (installed.contains(our_fonts[i].captured(1))) continue;
      ours.replace(our_fonts[i].capturedStart(1), our_fonts[i].capturedLength(1), "(substituted)");
      theirs.replace(their_fonts[i].capturedStart(1), their_fonts[i].capturedLength(1),
                     "(substituted)");
    }
  return {ours.toStdString(), theirs.toStdString()};
}

// ---- The run ---------------------------------------------------------------------------

std::shared_ptr<CRDGraphic> Line_Pointing_Right() {
  auto line = test_support::Filled("CRDLine");
  std::static_pointer_cast<CRDLine>(line)->_pointsRight = true;
  return line;
}

// A barcode whose picture takes another of the stored layouts (the sample's is RGBA):
// grey bars, or colours without alpha.
std::shared_ptr<CRDGraphic> Barcode_With_Picture(bool grey) {
  QImage image(40, 6, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixel(x, y, grey ? ((x / 3) % 2 ? 0xFF000000 : 0xFFFFFFFF) | (x == 7 ? 0x7F7F7F : 0)
                                : qRgb(6 * x, 40 * y, 255 - 6 * x));
  auto barcode = test_support::Filled("CRDBarcode");
  barcode->Set_Barcode_image(Picture(image, QSizeF(20, 3)));
  return barcode;
}

// What we give GNUstep to read.
Graphic_List Sample_Graphics() {
  Graphic_List graphics;
  for (const QString& kind : Kinds)
    graphics.push_back(kind == "CRDLine" ? Line_Pointing_Right() : test_support::Filled(kind));
  // Pictures are stored deflated: every layout must come through.
  graphics.push_back(Barcode_With_Picture(true));
  graphics.push_back(Barcode_With_Picture(false));
  graphics.push_back(Make_Bare_Graphic("Shape_Control"));  // every key at zero or none
  return graphics;
}

const std::map<QString, CRDColor>& Sample_Colors() {
  static const std::map<QString, CRDColor> colors = {
      {"color-1.bin", CRDColor::rgb(1, 0, 0.5, 0.5)},
      {"color-2.bin", CRDColor::rgb(0.1, 0.2, 0.3, 1, CRDColor::Space::Device_RGB)},
      {"color-3.bin", CRDColor::white(2.0 / 3.0)},
      {"color-4.bin", CRDColor::white(0.25, 0.5, CRDColor::Space::Device_White)},
      {"color-5.bin", CRDColor()},
  };
  return colors;
}

const std::map<QString, QFont>& Sample_Fonts() {
  static const std::map<QString, QFont> fonts = {
      {"font-1.bin", Make_Font("DejaVuSans-Bold", 13.5)},  // installed with GNUstep's back end
      {"font-2.bin", Make_Font("TimesNewRomanPS-ItalicMT", 14)},
      {"font-3.bin", Make_Font("Times New Roman", 10)},
      {"font-4.bin", QFont()},  // never set
  };
  return fonts;
}

bool Write_File(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class GNUstep_Archive : public test_support::Design_Test {
 protected:
  // Empty when gnustep-config was missing as the build was configured.
  static bool Check_Built() { return *GNUSTEP_ARCHIVE_CHECK != '\0'; }

  static void SetUpTestSuite() {
    if (!Check_Built()) return;
    folder_ = std::make_unique<QTemporaryDir>();
    run_ = std::make_unique<Check_Run>(Run_Check());
  }
  static void TearDownTestSuite() {
    run_.reset();
    folder_.reset();
  }

  void SetUp() override {
    if (!Check_Built())
      GTEST_SKIP() << "gnustep-config was not found when the build was configured, so the "
                      "GNUstep archive check is not built: install deps/test/gnustep.list "
                      "(make deps) and configure again";
    Design_Test::SetUp();
    if (!run_->failure.isEmpty()) GTEST_FAIL() << run_->failure;
  }

  // An archive GNUstep wrote.
  static QByteArray written_data(const QString& name) {
    QFile file(folder_->filePath("out/" + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  static std::unique_ptr<QTemporaryDir> folder_;
  static std::unique_ptr<Check_Run> run_;

 private:
  static Check_Run Run_Check() {
    Check_Run failed;
    const QDir dir(folder_->path());
    if (!folder_->isValid() || !dir.mkpath("in") || !dir.mkpath("out") || !dir.mkpath("home")) {
      failed.failure = "no temporary folder";
      return failed;
    }
    bool ok = Write_File(dir.filePath("in/pasteboard.bin"),
                         pasteboardDataWithGraphics(Sample_Graphics()));
    for (const auto& [file, color] : Sample_Colors())
      ok = ok && Write_File(dir.filePath("in/" + file), Archive_Color(color));
    for (const auto& [file, font] : Sample_Fonts())
      ok = ok && Write_File(dir.filePath("in/" + file), Archive_Font(font));
    if (!ok) {
      failed.failure = "could not write the archives";
      return failed;
    }
    // GNUstep keeps its defaults under HOME: a private one. xvfb-run picks a free
    // display; when another run takes it first, the server fails to start: try again.
    test_support::Process_Result result;
    for (int attempt = 0; attempt < 3; ++attempt) {
      result = test_support::Run_Program(
          "env",
          {"HOME=" + dir.filePath("home"), "xvfb-run", "-a", GNUSTEP_ARCHIVE_CHECK,
           dir.filePath("in"), dir.filePath("out")});
      if (result.exit_code == 0 || !result.err.contains("Xvfb failed to start")) break;
    }
    if (result.exit_code != 0) {
      failed.failure = QString("archive_check failed (%1): %2")
                           .arg(result.exit_code)
                           .arg(QString::fromUtf8(result.err.right(2000)));
      return failed;
    }
    return Parse(result.out);
  }
};

std::unique_ptr<QTemporaryDir> GNUstep_Archive::folder_;
std::unique_ptr<Check_Run> GNUstep_Archive::run_;

// ---- GNUstep reads our archives ----------------------------------------------------------

TEST_F(GNUstep_Archive, ReadsEveryKeyOfEveryGraphicKind) {
  const Graphic_List graphics = Sample_Graphics();
  for (const bool raw : {false, true}) {
    const Reading& reading = raw ? run_->raw : run_->real;
    EXPECT_TRUE(reading.exceptions.isEmpty()) << reading.exceptions;
    ASSERT_EQ(reading.graphics.size(), graphics.size());
    for (size_t i = 0; i < graphics.size(); ++i) {
      const QByteArray archive = Archive_Graphic(*graphics[i]);
      const auto ours = Unarchiver::Open(archive);
      ASSERT_TRUE(ours);
      const Object root = ours->root();
      const Graphic_Reading& theirs = reading.graphics[i];
      EXPECT_EQ(theirs.class_name, graphics[i]->className());

      QStringList expected_keys = Graphic_Archive_Keys();
      if (theirs.class_name == "CRDLine")
        expected_keys << "_pointsRight"
                      << "_pointsDown";
      QStringList keys;
      for (const auto& [key, value] : theirs.keys) {
        keys << key;
        const QString expected = Describe_Key(root, key, value, raw);
        if (raw) {
          EXPECT_EQ(Without_Default_Paragraphs(value).toStdString(), expected.toStdString())
              << theirs.class_name << " " << key;
        } else {
          const auto [ours, gnustep] =
              Without_Substituted_Fonts(expected, value, run_->installed_fonts);
          EXPECT_EQ(gnustep, ours) << theirs.class_name << " " << key;
        }
      }
      EXPECT_EQ(keys, expected_keys);
    }
  }
  // The line's direction and the bare shape's empty values came through as such.
  const auto& line = run_->real.graphics[1].keys;
  EXPECT_EQ(line[line.size() - 2].second, "bool:1");
  const auto& bare = run_->real.graphics.back().keys;
  EXPECT_EQ(bare.front(), std::make_pair(QString("_bounds"), QString("rect:0 0 0 0")));
  EXPECT_EQ(bare[3], std::make_pair(QString("_fillColor"), QString("nil")));
}

TEST_F(GNUstep_Archive, ReadsStandaloneColorAndFontArchives) {
  for (const auto& [file, color] : Sample_Colors())
    EXPECT_EQ(run_->real.archives[file].toStdString(), Describe_Color(color).toStdString()) << file;
  for (const auto& [file, font] : Sample_Fonts()) {
    const bool set = font.resolveMask() != 0;  // a font never set archives as nil
    EXPECT_EQ(run_->raw.archives[file].toStdString(),
              (set ? Describe_Font(font, true) : "nil").toStdString())
        << file;
    const auto [ours, gnustep] = Without_Substituted_Fonts(
        set ? Describe_Font(font, false) : "nil", run_->real.archives[file], run_->installed_fonts);
    EXPECT_EQ(gnustep, ours) << file;
  }
  // The installed font keeps its name through GNUstep's NSFont.
  EXPECT_EQ(run_->real.archives["font-1.bin"].toStdString(), "font:DejaVuSans-Bold@13.5");
}

// ---- We read GNUstep's archives ----------------------------------------------------------

TEST_F(GNUstep_Archive, OurReadersDecodeWhatGNUstepWrites) {
  {
    const auto archive = Unarchiver::Open(written_data("collections.bin"));
    ASSERT_TRUE(archive);
    const std::vector<Object> items = archive->root().arrayItems();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].toString(), "one");
    EXPECT_EQ(items[1].toNumber(), 2.0);
    EXPECT_EQ(items[2].toNumber(), 3.25);
    const std::vector<Object> nested = items[3].arrayItems();
    ASSERT_EQ(nested.size(), 2u);
    EXPECT_EQ(nested[0].toString(), "nested");
    std::map<QString, QString> entries;
    for (const auto& [key, value] : nested[1].dictionaryEntries())
      entries[key.toString().value_or("?")] = Describe(value, false);
    EXPECT_EQ(entries, (std::map<QString, QString>{{"a", "string:b"}, {"n", "number:-4"}}));
  }
  EXPECT_EQ(Unarchive_Color(written_data("color-rgb.bin")), CRDColor::rgb(0.1, 0.2, 0.3, 0.4));
  EXPECT_EQ(Unarchive_Color(written_data("color-white.bin")), CRDColor::white(0.75));
  {
    const std::optional<QFont> font = Unarchive_Font(written_data("font.bin"));
    ASSERT_TRUE(font);
    EXPECT_EQ(Describe_Font(*font, false), "font:DejaVuSans-Bold@13.5");
  }
  {
    const auto archive = Unarchiver::Open(written_data("image.bin"));
    ASSERT_TRUE(archive);
    const std::optional<Picture> picture = Decode_Picture(archive->root());
    ASSERT_TRUE(picture);
    // Premultiplied in GNUstep's bitmap: the half-transparent pixel is full green.
    EXPECT_EQ(Describe_Picture(*picture),
              "image:4 3 reps:1 pixels:2 2 ff0000ff 00ff0080 0000ffff 00000000");
  }
  {
    const auto archive = Unarchiver::Open(written_data("text.bin"));
    ASSERT_TRUE(archive);
    const std::optional<StyledText> text = Decode_Styled_Text(archive->root());
    ASSERT_TRUE(text);
    // GNUstep's paragraph styles carry no alignment.
    EXPECT_EQ(Describe_Text(*text, false),
              "text:Dear Anna, welcome|run:0 4|NSFont=font:DejaVuSans@15|run:4 1"
              "|run:5 4|NSColor=color:NSCalibratedRGBColorSpace 1 0 0 1|run:9 2"
              "|run:11 7|NSKern=number:1.5");
  }
  {
    const auto archive = Unarchiver::Open(written_data("geometry.bin"));
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->root().decodeRect("frame"), QRectF(0.5, 1.25, 300, 0.125));
    EXPECT_EQ(archive->root().decodeSize("paper"), QSizeF(612, 792));
  }
  {
    const std::shared_ptr<CRDGraphic> graphic = Unarchive_Graphic(written_data("graphic.bin"));
    ASSERT_TRUE(graphic);
    const CRDGraphic_Record& r = *graphic;
    EXPECT_EQ(graphic->className(), "CRDText");
    EXPECT_EQ(r._bounds, QRectF(12.5, -3, 200, 80.25));
    EXPECT_TRUE(r._isDrawingFill);
    EXPECT_EQ(r._fillColor, CRDColor::rgb(0.25, 0.5, 0.75));
    EXPECT_EQ(r._strokeWidth, 2.5);
    EXPECT_EQ(r.qr_size_val, 7);
    EXPECT_EQ(r.control_ID, "GUEST_NAME");
    EXPECT_TRUE(r.ctrl_is_visible);
    EXPECT_EQ(r.polygon_type, 0);  // not written
  }
}

}  // namespace
