#include "platform/Property_List.h"
#include "support/Test_Support.h"
#include "support/Watchdog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>

#include <sys/stat.h>

using plist::Array;
using plist::Dictionary;
using plist::Format;
using plist::Uid;
using plist::Value;

namespace {

// Every kind of value, nested, with the edges that get lost easily.
Value Sample() {
  Dictionary inner{{"empty array", Array{}}, {"empty dictionary", Dictionary{}}};
  return Dictionary{
      {"string", "plain"},
      {"unicode", QStringLiteral("Grüße ✓ 😀 \u4e2d")},
      {"empty string", ""},
      {"true", true},
      {"false", false},
      {"zero", 0},
      {"negative", qint64(-42)},
      {"large", qint64(1) << 40},
      {"minimum", std::numeric_limits<qint64>::min()},
      {"float real", double(0.1f)},
      {"double real", 0.1},
      {"data", QByteArray("\x00\x01\xfe\xff", 4)},
      {"empty data", QByteArray("")},
      {"date", QDateTime(QDate(2021, 6, 1), QTime(12, 30, 15), Qt::UTC)},
      {"uid", Uid{7}},
      {"array", Array{1, "two", Array{3.5, Uid{0}}, inner}},
      {"inner", inner},
  };
}

// A binary property list from its objects (already encoded) and a trailer.
QByteArray Binary(const std::vector<QByteArray>& objects, quint64 top = 0, int ref_size = 2,
                  int offset_size = 4) {
  QByteArray out("bplist00");
  std::vector<quint64> offsets;
  for (const QByteArray& o : objects) {
    offsets.push_back(quint64(out.size()));
    out += o;
  }
  const quint64 table = quint64(out.size());
  for (quint64 offset : offsets)
    for (int i = offset_size - 1; i >= 0; --i) out += char((offset >> (8 * i)) & 0xFF);
  out += QByteArray(6, '\0');
  out += char(offset_size);
  out += char(ref_size);
  auto be64 = [&](quint64 v) {
    for (int i = 7; i >= 0; --i) out += char((v >> (8 * i)) & 0xFF);
  };
  be64(objects.size());
  be64(top);
  be64(table);
  return out;
}

QByteArray Ref(quint64 index, int size = 2) {
  QByteArray r;
  for (int i = size - 1; i >= 0; --i) r += char((index >> (8 * i)) & 0xFF);
  return r;
}

QByteArray Array_Object(const std::vector<quint64>& refs, int ref_size = 2) {
  QByteArray o;
  if (refs.size() < 15) {
    o += char(0xA0 | refs.size());
  } else {
    o += char(0xAF);
    o += char(0x13);
    for (int i = 7; i >= 0; --i) o += char((quint64(refs.size()) >> (8 * i)) & 0xFF);
  }
  for (quint64 r : refs) o += Ref(r, ref_size);
  return o;
}

TEST(Property_List, RoundTripsEveryKindOfValueInBothFormats) {
  const Value sample = Sample();
  for (Format format : {Format::Xml, Format::Binary}) {
    const QByteArray bytes = plist::Write(sample, format);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes.startsWith("bplist00"), format == Format::Binary);
    Format detected = format == Format::Xml ? Format::Binary : Format::Xml;
    const std::optional<Value> back = plist::Read(bytes, {}, &detected);
    ASSERT_TRUE(back) << (format == Format::Xml ? "XML" : "binary");
    EXPECT_EQ(detected, format);
    EXPECT_TRUE(*back == sample) << bytes.left(2000).toStdString();
    // Keys come back in the order they were set.
    const auto& entries = back->dictionary()->entries();
    EXPECT_EQ(entries.front().key, "string");
    EXPECT_EQ(entries.back().key, "inner");
  }
}

TEST(Property_List, DictionariesKeepOneValuePerKeyInFirstOrder) {
  // Small and large dictionaries are kept differently; both must behave alike.
  for (int size : {5, 13, 100, 2000}) {
    Dictionary d;
    for (int i = 0; i < size; ++i) d.insert(QString("key %1").arg(i), i);
    for (int i = 0; i < size; i += 3) d.insert(QString("key %1").arg(i), -i);  // set again
    ASSERT_EQ(d.size(), size_t(size)) << size;
    for (int i = 0; i < size; ++i) {
      EXPECT_EQ(d.entries()[size_t(i)].key, QString("key %1").arg(i)) << size;
      const Value* v = d.find(QString("key %1").arg(i));
      ASSERT_TRUE(v) << size;
      EXPECT_EQ(*v, Value(i % 3 == 0 ? -i : i)) << size;
    }
    EXPECT_FALSE(d.find("key -1"));
    // Read back from a file, too.
    const std::optional<Value> back = plist::Read(plist::Write(d, Format::Binary));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, Value(d));
  }
}

TEST(Property_List, BinaryRealsKeepTheirWidth) {
  // A value that a 32-bit real holds exactly is stored in four bytes; others in eight.
  const QByteArray narrow = plist::Write(Array{double(0.1f)}, Format::Binary);
  const QByteArray wide = plist::Write(Array{0.1}, Format::Binary);
  EXPECT_TRUE(narrow.contains(char(0x22)));
  EXPECT_TRUE(wide.contains(char(0x23)));
  EXPECT_EQ(wide.size() - narrow.size(), 4);
}

TEST(Property_List, FilesAreWrittenWhole) {
  QTemporaryDir dir;
  const QString path = dir.filePath("settings.plist");
  ASSERT_TRUE(plist::Write_File(path, Sample(), Format::Xml));
  const std::optional<Value> back = plist::Read_File(path);
  ASSERT_TRUE(back);
  EXPECT_TRUE(*back == Sample());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"settings.plist"});

  // A folder that does not exist: nothing written, the failure reported.
  QString error;
  EXPECT_FALSE(
      plist::Write_File(dir.filePath("missing/settings.plist"), Sample(), Format::Xml, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(plist::Read_File(dir.filePath("missing/settings.plist")));
}

// A settings file is named by a path anything may stand at: a pipe without a writer once
// blocked the reader for ever, /dev/zero ended in std::bad_alloc. Only a regular file within
// the limit is read, and the reason says what stands there instead.
TEST(Property_List, FilesAreReadOnlyWhenRegularAndWithinTheLimit) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath("pipe.plist");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString big = dir.filePath("big.plist");
  ASSERT_TRUE(plist::Write_File(big, Value(Array(200, Value("some text"))), Format::Xml));
  plist::Read_Limits small;
  small.max_bytes = 1024;
  const struct {
    QString path;
    plist::Read_Limits limits;
    const char* reason;
  } cases[] = {
      {fifo, {}, "is not a regular file"},
      {QStringLiteral("/dev/zero"), {}, "is not a regular file"},
      {dir.path(), {}, "is a folder, not a file"},
      {big, small, "is larger than 1 KB"},
  };
  const test_support::Watchdog watchdog("reading property lists that are no files");
  for (const auto& c : cases) {
    QString error;
    EXPECT_FALSE(plist::Read_File(c.path, c.limits, nullptr, &error)) << c.path.toStdString();
    EXPECT_TRUE(error.contains(QString::fromLatin1(c.reason)))
        << c.path.toStdString() << ": " << error.toStdString();
  }
  EXPECT_TRUE(plist::Read_File(big));
}

TEST(Property_List, RefusesMalformedAndHostileData) {
  const QByteArray good = plist::Write(Sample(), Format::Binary);
  const QByteArray good_xml = plist::Write(Sample(), Format::Xml);

  QByteArray deep_xml("<?xml version=\"1.0\"?><plist version=\"1.0\">");
  deep_xml += QByteArray("<array>").repeated(100000) + QByteArray("</array>").repeated(100000);
  deep_xml += "</plist>";
  // The depth check cannot be fooled: end tags inside attribute values or a document type,
  // or more end tags than start tags, do not make room for 200,000 real levels.
  const QByteArray levels = QByteArray("<array>").repeated(200000) +
                            QByteArray("</array>").repeated(200000);
  const QByteArray header("<?xml version=\"1.0\"?>");
  const QByteArray hidden_in_values =
      header + "<plist>" + QByteArray("<array x=\"</array>\">").repeated(200000) +
      QByteArray("</array>").repeated(200000) + "</plist>";
  const QByteArray hidden_in_doctype = header + "<!DOCTYPE plist [" +
                                       QByteArray("</array>").repeated(200000) + "]><plist>" +
                                       levels + "</plist>";
  const QByteArray ends_first =
      header + QByteArray("</array>").repeated(200000) + "<plist>" + levels + "</plist>";

  // 100,000 arrays each holding the next.
  std::vector<QByteArray> chain;
  for (quint64 i = 0; i < 100000; ++i) chain.push_back(Array_Object({i + 1}, 4));
  chain.push_back(QByteArray(1, char(0x09)));

  // A few kilobytes that expand to 3,003,004 values: three uses of an array that holds a
  // thousand uses of one of a thousand strings (a real pasteboard never comes near).
  const QByteArray shared_refs =
      Binary({Array_Object({1, 1, 1}), Array_Object(std::vector<quint64>(1000, 2)),
              Array_Object(std::vector<quint64>(1000, 3)), QByteArray(1, char(0x51)) + "x"});

  // 60 arrays each holding the next one twice: 2^60 values once expanded.
  std::vector<QByteArray> doubling;
  for (quint64 i = 0; i < 60; ++i) doubling.push_back(Array_Object({i + 1, i + 1}));
  doubling.push_back(QByteArray(1, char(0x09)));

  QByteArray huge_array;
  huge_array += char(0xAF);
  huge_array += char(0x13);
  huge_array += QByteArray::fromHex("0000010000000000");  // 2^40 entries

  QByteArray huge_string;
  huge_string += char(0x5F);
  huge_string += char(0x13);
  huge_string += QByteArray::fromHex("4000000000000000");

  QByteArray bad_trailer = Binary({QByteArray(1, char(0x09))});
  bad_trailer.replace(bad_trailer.size() - 24, 8, QByteArray::fromHex("1000000000000000"));

  const struct {
    const char* name;
    QByteArray data;
  } cases[] = {
      {"empty", QByteArray()},
      {"text", QByteArray("hello, world")},
      {"truncated binary", good.left(good.size() / 2)},
      {"binary without its last byte", good.chopped(1)},
      {"truncated XML", good_xml.left(good_xml.size() / 2)},
      {"array holding itself", Binary({Array_Object({0})})},
      {"two arrays holding each other", Binary({Array_Object({1}), Array_Object({0})})},
      {"reference past the end", Binary({Array_Object({5})})},
      {"nested too deeply (binary)", Binary(chain, 0, 4)},
      {"nested too deeply (XML)", deep_xml},
      {"end tags in attribute values (XML)", hidden_in_values},
      {"end tags in a document type (XML)", hidden_in_doctype},
      {"end tags before start tags (XML)", ends_first},
      {"shared objects expanding without bound", Binary(doubling)},
      {"shared objects expanding to three million values", shared_refs},
      {"array claiming 2^40 entries", Binary({huge_array})},
      {"string claiming 2^62 bytes", Binary({huge_string})},
      {"object count past the table", bad_trailer},
      {"unknown object kind", Binary({QByteArray(1, char(0x70))})},
  };
  for (const auto& c : cases) {
    test_support::Watchdog watchdog(c.name);  // refused, not worked through
    QString error;
    EXPECT_FALSE(plist::Read(c.data, {}, nullptr, &error)) << c.name;
    EXPECT_FALSE(error.isEmpty()) << c.name;
  }

  // The limits themselves: a list just inside them is read.
  plist::Read_Limits limits;
  limits.max_depth = 3;
  // (Each level is made on its own: Array{Array{}} may be a copy of the inner array.)
  const auto nested = [](int depth) {
    Value v = Array{};
    for (int i = 1; i < depth; ++i) v = Array{v};
    return v;
  };
  for (const Format format : {Format::Binary, Format::Xml}) {
    EXPECT_TRUE(plist::Read(plist::Write(nested(3), format), limits));
    EXPECT_FALSE(plist::Read(plist::Write(nested(4), format), limits));
  }
  // Deeper than the limit is refused, never cut short and taken as read; up to it, read whole.
  limits.max_depth = 1100;
  for (const Format format : {Format::Binary, Format::Xml}) {
    EXPECT_EQ(plist::Read(plist::Write(nested(1100), format), limits), nested(1100));
    EXPECT_FALSE(plist::Read(plist::Write(nested(1101), format), limits));
  }
  limits = {};
  limits.max_nodes = 4000000;
  EXPECT_TRUE(plist::Read(shared_refs, limits));
  limits = {};
  limits.max_bytes = good.size() - 1;
  EXPECT_FALSE(plist::Read(good, limits));
}

// ---- Cross-check with Python's plistlib ----------------------------------------------

QString Python_Describe() {
  // Prints the sample as Python sees it, in a form independent of our writer.
  return QStringLiteral(R"(
import plistlib, sys, datetime
with open(sys.argv[1], 'rb') as f:
    v = plistlib.load(f)
def show(x):
    if isinstance(x, bool): return 'bool:%s' % x
    if isinstance(x, int): return 'int:%d' % x
    if isinstance(x, float): return 'real:%r' % x
    if isinstance(x, str): return 'str:%s' % x.encode('unicode_escape').decode()
    if isinstance(x, bytes): return 'data:%s' % x.hex()
    if isinstance(x, datetime.datetime): return 'date:%s' % x.strftime('%Y-%m-%dT%H:%M:%S')
    if isinstance(x, plistlib.UID): return 'uid:%d' % x.data
    if isinstance(x, dict) and list(x) == ['CF$UID']: return 'uid:%d' % x['CF$UID']  # XML form
    if isinstance(x, list): return '[' + ','.join(show(i) for i in x) + ']'
    if isinstance(x, dict): return '{' + ','.join('%s=%s' % (k, show(v)) for k, v in sorted(x.items())) + '}'
    return '?'
print(show(v))
)");
}

TEST(Property_List, PythonReadsWhatWeWrite) {
  QTemporaryDir dir;
  const QString expected = QStringLiteral(
      "{array=[int:1,str:two,[real:3.5,uid:0],{empty array=[],empty dictionary={}}],"
      "data=data:0001feff,date=date:2021-06-01T12:30:15,double real=real:0.1,empty data=data:,"
      "empty string=str:,false=bool:False,float real=real:0.10000000149011612,"
      "inner={empty array=[],empty dictionary={}},large=int:1099511627776,"
      "minimum=int:-9223372036854775808,negative=int:-42,string=str:plain,true=bool:True,"
      "uid=uid:7,unicode=str:Gr\\xfc\\xdfe \\u2713 \\U0001f600 \\u4e2d,zero=int:0}");
  for (Format format : {Format::Xml, Format::Binary}) {
    const QString path = dir.filePath(format == Format::Xml ? "ours.xml" : "ours.bin");
    ASSERT_TRUE(plist::Write_File(path, Sample(), format));
    const auto result =
        test_support::Run_Program(test_support::System_Python(), {"-c", Python_Describe(), path});
    ASSERT_EQ(result.exit_code, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.trimmed().toStdString(), expected.toStdString());
  }
}

TEST(Property_List, WeReadWhatPythonWrites) {
  QTemporaryDir dir;
  const QString script = QStringLiteral(R"(
import plistlib, sys, datetime
v = {'name': 'Grüße', 'count': -3, 'ratio': 0.25, 'flag': True, 'blob': b'\x00\xff',
     'when': datetime.datetime(2020, 2, 29, 23, 59, 58), 'list': [1, [2, {'x': 'y'}], []]}
with open(sys.argv[1], 'wb') as f: plistlib.dump(v, f, fmt=plistlib.FMT_XML)
v['ref'] = plistlib.UID(12)  # binary lists only
with open(sys.argv[2], 'wb') as f: plistlib.dump(v, f, fmt=plistlib.FMT_BINARY)
)");
  const QString xml = dir.filePath("python.xml"), binary = dir.filePath("python.bin");
  const auto result =
      test_support::Run_Program(test_support::System_Python(), {"-c", script, xml, binary});
  ASSERT_EQ(result.exit_code, 0) << result.err.toStdString();

  Value expected = Dictionary{
      {"name", QStringLiteral("Grüße")},
      {"count", qint64(-3)},
      {"ratio", 0.25},
      {"flag", true},
      {"blob", QByteArray("\x00\xff", 2)},
      {"when", QDateTime(QDate(2020, 2, 29), QTime(23, 59, 58), Qt::UTC)},
      {"list", Array{1, Array{2, Dictionary{{"x", "y"}}}, Array{}}},
  };
  const std::optional<Value> from_xml = plist::Read_File(xml);
  ASSERT_TRUE(from_xml);
  EXPECT_TRUE(*from_xml == expected);
  expected.dictionary()->insert("ref", Uid{12});
  const std::optional<Value> from_binary = plist::Read_File(binary);
  ASSERT_TRUE(from_binary);
  EXPECT_TRUE(*from_binary == expected);
}

}  // namespace
