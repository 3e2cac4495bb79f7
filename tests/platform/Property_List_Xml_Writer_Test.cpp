// The direct XML writer: every kind of value read back the same by our reader and by
// Python's plistlib, and what it refuses.

#include "platform/Property_List.h"
#include "support/Test_Support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

plist::Value Every_Kind() {
  plist::Dictionary inner;
  inner.insert("escaped <&> \"'", "a < b && c > d");
  inner.insert("empty array", plist::Array{});
  inner.insert("empty dict", plist::Dictionary{});
  inner.insert("uid", plist::Uid{42});
  return plist::Array{
      true,
      false,
      qint64(-9007199254740993LL),
      qint64(std::numeric_limits<qint64>::max()),
      0.1,
      -2.0,
      1e300,
      5e-324,
      QString(),
      QStringLiteral("Grüße, 日本, tab\tand\nnewline \U0001F389"),
      QByteArray("\x00\x01\xff binary", 10),
      QByteArray(),
      QDateTime(QDate(2026, 12, 10), QTime(17, 5, 9), QTimeZone::utc()),
      plist::Value(std::move(inner)),
      plist::Array{plist::Array{plist::Array{QStringLiteral("deep")}}},
  };
}

TEST(Property_List_Xml_Writer, OurReaderReadsBackEveryKind) {
  const plist::Value value = Every_Kind();
  QString error;
  const QByteArray xml = plist::Write_Xml_Direct(value, &error);
  ASSERT_FALSE(xml.isEmpty()) << error.toStdString();
  plist::Format format{};
  const auto read = plist::Read(xml, {}, &format, &error);
  ASSERT_TRUE(read) << error.toStdString();
  EXPECT_EQ(format, plist::Format::Xml);
  EXPECT_TRUE(*read == value);
  // The same tree as libplist's writer gives.
  const auto theirs = plist::Read(plist::Write(value, plist::Format::Xml));
  ASSERT_TRUE(theirs);
  EXPECT_TRUE(*read == *theirs);
}

TEST(Property_List_Xml_Writer, PlistlibReadsIt) {
  QTemporaryDir dir;
  const QString path = dir.filePath("every.plist");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(plist::Write_Xml_Direct(Every_Kind()));
  file.close();
  const char* script = R"(
import plistlib, sys
a = plistlib.load(open(sys.argv[1], 'rb'))
print(a[:8])
print(repr(a[9]), a[10], a[11], a[12].isoformat())
d = a[13]
print(d['escaped <&> "\''], d['empty array'], d['empty dict'], d['uid'], a[14])
)";
  const auto result = test_support::Run_Program(test_support::System_Python(),
                                                {"-c", QString::fromUtf8(script), path});
  ASSERT_EQ(result.exit_code, 0) << result.err.toStdString();
  const QStringList lines = QString::fromUtf8(result.out).trimmed().split('\n');
  ASSERT_EQ(lines.size(), 3) << result.out.toStdString();
  EXPECT_EQ(lines[0], "[True, False, -9007199254740993, 9223372036854775807, 0.1, -2.0, 1e+300, 5e-324]");
  EXPECT_EQ(lines[1], QString::fromUtf8("'Grüße, 日本, tab\\tand\\nnewline 🎉' "
                                        "b'\\x00\\x01\\xff binary' b'' 2026-12-10T17:05:09"));
  // XML has no UID element: plistlib shows the dictionary that stands for one.
  EXPECT_EQ(lines[2], "a < b && c > d [] {} {'CF$UID': 42} [[['deep']]]");
}

// XML readers turn a raw carriage return (alone or before a line feed) into a line feed.
TEST(Property_List_Xml_Writer, CarriageReturnsReadBackAsWritten) {
  const plist::Value value = plist::Dictionary{
      {QStringLiteral("key\rwith return"), plist::Array{QStringLiteral("cell\r\nline"),
                                                         QStringLiteral("\r"),
                                                         QStringLiteral("a\r\rb\n")}}};
  const QByteArray xml = plist::Write_Xml_Direct(value);
  ASSERT_FALSE(xml.isEmpty());
  EXPECT_FALSE(xml.contains('\r'));
  const auto read = plist::Read(xml);
  ASSERT_TRUE(read);
  EXPECT_TRUE(*read == value);

  QTemporaryDir dir;
  const QString path = dir.filePath("returns.plist");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(xml);
  file.close();
  const char* script = R"(
import plistlib, sys
d = plistlib.load(open(sys.argv[1], 'rb'))
print(repr(d))
)";
  const auto result = test_support::Run_Program(test_support::System_Python(),
                                                {"-c", QString::fromUtf8(script), path});
  ASSERT_EQ(result.exit_code, 0) << result.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(result.out).trimmed(),
            "{'key\\rwith return': ['cell\\r\\nline', '\\r', 'a\\r\\rb\\n']}");
}

TEST(Property_List_Xml_Writer, RefusesWhatXmlCannotCarry) {
  struct Case {
    const char* name;
    plist::Value value;
  } cases[] = {
      {"no root", plist::Value()},
      {"control character in a string", plist::Array{QStringLiteral("bell\x07")}},
      {"control character in a key", plist::Dictionary{{QStringLiteral("k\x01"), 1}}},
  };
  for (const Case& c : cases) {
    QString error;
    EXPECT_TRUE(plist::Write_Xml_Direct(c.value, &error).isEmpty()) << c.name;
    EXPECT_FALSE(error.isEmpty()) << c.name;
  }
  // Values of no type inside containers are left out, as Write does.
  const auto read = plist::Read(plist::Write_Xml_Direct(plist::Array{1, plist::Value(), 2}));
  ASSERT_TRUE(read);
  EXPECT_TRUE(*read == plist::Value(plist::Array{1, 2}));
}

TEST(Property_List_Xml_Writer, NonFiniteRealsUseTheDesktopsWords) {
  const QByteArray xml = plist::Write_Xml_Direct(
      plist::Array{std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                   -std::numeric_limits<double>::infinity()});
  EXPECT_TRUE(xml.contains("<real>nan</real>"));
  EXPECT_TRUE(xml.contains("<real>+infinity</real>"));
  EXPECT_TRUE(xml.contains("<real>-infinity</real>"));
}

// The measure is what the writer writes and what the reader counts: a list measured at
// exactly the reader's limits is read, one byte or one value less refuses it. A measure
// past the limits stops early, without going through the rest of the list.
TEST(Property_List_Xml_Writer, MeasureMatchesTheWriterAndTheReadersCount) {
  plist::Dictionary rows;
  rows.insert(QStringLiteral("<key & more>"), plist::Array{QStringLiteral("x"), plist::Array{}});
  const struct {
    const char* name;
    plist::Value value;
  } cases[] = {
      {"every kind", Every_Kind()},
      {"empty and escaped containers", plist::Array{plist::Array{}, plist::Value(std::move(rows)),
                                                    plist::Dictionary{}, QStringLiteral("<<>>&&")}},
      {"one string", QStringLiteral("alone")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QByteArray xml = plist::Write_Xml_Direct(c.value);
    QString error;
    const auto m = plist::Measure_Xml(c.value, {}, &error);
    ASSERT_TRUE(m) << error.toStdString();
    EXPECT_FALSE(m->stopped);
    EXPECT_EQ(m->bytes, xml.size());
    plist::Read_Limits exact;
    exact.max_bytes = m->bytes;
    exact.max_nodes = m->elements;
    EXPECT_TRUE(plist::Read(xml, exact, nullptr, &error)) << error.toStdString();
    plist::Read_Limits fewer_values = exact, fewer_bytes = exact;
    --fewer_values.max_nodes;
    --fewer_bytes.max_bytes;
    EXPECT_FALSE(plist::Read(xml, fewer_values));
    EXPECT_FALSE(plist::Read(xml, fewer_bytes));
    EXPECT_TRUE(plist::Measure_Xml(c.value, fewer_values)->stopped);
    EXPECT_TRUE(plist::Measure_Xml(c.value, fewer_bytes)->stopped);
  }

  // A million uses of one string of a megabyte would be a terabyte: counting stops at once.
  const QString megabyte(1 << 20, QLatin1Char('m'));
  const plist::Value huge(plist::Array(1000 * 1000, plist::Value(megabyte)));
  plist::Read_Limits limits;
  limits.max_bytes = 64 << 20;
  const auto m = plist::Measure_Xml(huge, limits);
  ASSERT_TRUE(m);
  EXPECT_TRUE(m->stopped);
  EXPECT_GT(m->bytes, limits.max_bytes);
  EXPECT_LT(m->bytes, limits.max_bytes + (2 << 20));

  // What the writer refuses, the measure refuses too.
  QString error;
  EXPECT_FALSE(plist::Measure_Xml(plist::Array{QStringLiteral("bell\x07")}, {}, &error));
  EXPECT_TRUE(error.contains("control character")) << error.toStdString();
}

}  // namespace
