#include "platform/Keyed_Archive.h"
#include "support/Test_Support.h"

#include <cmath>

using keyed_archive::Archive_Error;
using keyed_archive::Archiver;
using keyed_archive::Object;
using keyed_archive::Object_Encoder;
using keyed_archive::Unarchiver;
using plist::Array;
using plist::Dictionary;
using plist::Uid;
using plist::Value;

namespace {

// An object with a key of every kind, a shared string, a nested object, collections and
// a null reference.
QByteArray Sample_Archive() {
  Archiver a;
  const Uid root = a.Encode_Object({"Sample_Kind", "Sample_Base"}, [&](Object_Encoder& e) {
    e.Encode_Bool("flag", true);
    e.Encode_Int32("count", -7);
    e.Encode_Float("ratio", 0.1f);
    e.Encode_Double("exact", 0.1);
    e.Encode_Rect("frame", QRectF(10, 20.5, 100, 50));
    e.Encode_Size("size", QSizeF(3, 4));
    e.Encode_Object("name", a.Encode_String("shared"));
    e.Encode_Object("alias", a.Encode_String("shared"));
    e.Encode_Object("nothing", Archiver::Null());
    e.Encode_Object("child", a.Encode_Object({"Sample_Child"}, [&](Object_Encoder& c) {
      c.Encode_Int32("depth", 1);
    }));
    e.Encode_Object("list", a.Encode_Array({a.Encode_Integer(5), a.Encode_String("five")}));
    e.Encode_Object("map", a.Encode_Dictionary({{a.Encode_String("k"), a.Encode_Real(2.5)}}));
  });
  return a.Archived_Data(root);
}

const Value& At(const Value& dictionary, const QString& key) {
  static const Value none;
  const Value* v = dictionary.dictionary() ? dictionary.dictionary()->find(key) : nullptr;
  return v ? *v : none;
}

TEST(Keyed_Archive, WritesTheDesktopForm) {
  const QByteArray data = Sample_Archive();
  ASSERT_TRUE(data.startsWith("bplist00"));
  const std::optional<Value> top = plist::Read(data);
  ASSERT_TRUE(top);
  EXPECT_EQ(At(*top, "$archiver"), Value("NSKeyedArchiver"));
  EXPECT_EQ(At(*top, "$version"), Value(100000));
  EXPECT_EQ(At(*top, "$top"), Value(Dictionary{{"root", Uid{1}}}));
  const Array& objects = *At(*top, "$objects").array();
  EXPECT_EQ(objects.front(), Value("$null"));

  const Value& root = objects[1];
  EXPECT_EQ(root.dictionary()->entries().front().key, "$class");
  EXPECT_EQ(At(root, "flag"), Value(true));
  EXPECT_EQ(At(root, "count"), Value(-7));
  EXPECT_EQ(At(root, "ratio"), Value(double(0.1f)));
  // Geometry is a string object the key refers to, never a string in the dictionary.
  ASSERT_TRUE(At(root, "frame").uid());
  ASSERT_TRUE(At(root, "size").uid());
  EXPECT_EQ(objects[At(root, "frame").uid()->value], Value("{{10, 20.5}, {100, 50}}"));
  EXPECT_EQ(objects[At(root, "size").uid()->value], Value("{3, 4}"));
  EXPECT_EQ(At(root, "nothing"), Value(Uid{0}));
  // One string object however often it is used.
  EXPECT_EQ(At(root, "name"), At(root, "alias"));
  EXPECT_EQ(objects[At(root, "name").uid()->value], Value("shared"));

  // The class description follows everything the object holds, and names its chain.
  const quint64 class_uid = At(root, "$class").uid()->value;
  for (const auto& entry : root.dictionary()->entries())
    if (entry.key != "$class" && entry.value.uid()) {
      EXPECT_LT(entry.value.uid()->value, class_uid);
    }
  EXPECT_EQ(objects[class_uid],
            Value(Dictionary{{"$classname", "Sample_Kind"},
                             {"$classes", Array{"Sample_Kind", "Sample_Base", "NSObject"}}}));
  const Value& list = objects[At(root, "list").uid()->value];
  EXPECT_EQ(
      objects[At(list, "$class").uid()->value],
      Value(Dictionary{{"$classname", "NSArray"}, {"$classes", Array{"NSArray", "NSObject"}}}));
}

TEST(Keyed_Archive, ReadsBackEveryKindOfKey) {
  const auto archive = Unarchiver::Open(Sample_Archive());
  ASSERT_TRUE(archive);
  const Object root = archive->root();
  EXPECT_EQ(root.className(), "Sample_Kind");
  EXPECT_EQ(root.classes(), (QStringList{"Sample_Kind", "Sample_Base", "NSObject"}));
  EXPECT_EQ(root.decodeBool("flag"), true);
  EXPECT_EQ(root.decodeInt32("count"), -7);
  EXPECT_EQ(root.decodeFloat("ratio"), 0.1f);
  EXPECT_EQ(root.decodeDouble("exact"), 0.1);
  EXPECT_EQ(root.decodeRect("frame"), QRectF(10, 20.5, 100, 50));
  EXPECT_EQ(root.decodeSize("size"), QSizeF(3, 4));
  EXPECT_EQ(root.decodeObject("name").toString(), "shared");
  EXPECT_TRUE(root.decodeObject("nothing").isNull());
  EXPECT_EQ(root.decodeObject("child").decodeInt32("depth"), 1);

  const std::vector<Object> list = root.decodeObject("list").arrayItems();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].toNumber(), 5.0);
  EXPECT_EQ(list[1].toString(), "five");
  const auto map = root.decodeObject("map").dictionaryEntries();
  ASSERT_EQ(map.size(), 1u);
  EXPECT_EQ(map[0].first.toString(), "k");
  EXPECT_EQ(map[0].second.toNumber(), 2.5);

  // Missing keys and values of another type answer nothing.
  EXPECT_FALSE(root.decodeBool("missing"));
  EXPECT_TRUE(root.decodeObject("missing").isNull());
  EXPECT_FALSE(root.decodeInt32("frame"));
  EXPECT_FALSE(root.decodeRect("count"));
  EXPECT_FALSE(root.decodeObject("count").toString());
}

TEST(Keyed_Archive, ReadsTheCommonVariants) {
  // A hand-made archive: XML, no "$archiver", the root under another top key, a string in
  // an NSMutableString object, data in an NSMutableData object, a 64-bit integer where a
  // 32-bit one is read, a real where an integer is read, and geometry as strings in the
  // dictionary itself (as earlier versions wrote it) or in an NSString object.
  const Dictionary string_class{{"$classname", "NSMutableString"},
                                {"$classes", Array{"NSMutableString", "NSString", "NSObject"}}};
  const Dictionary data_class{{"$classname", "NSMutableData"},
                              {"$classes", Array{"NSMutableData", "NSData", "NSObject"}}};
  const Value archive = Dictionary{
      {"$version", 100000},
      {"$top", Dictionary{{"$0", Uid{1}}}},
      {"$objects",
       Array{"$null",
             Dictionary{{"$class", Uid{5}},
                        {"text", Uid{2}},
                        {"bytes", Uid{4}},
                        {"small", qint64(12)},
                        {"big", qint64(1) << 40},
                        {"real", 7.9},
                        {"frame", "{{1, 2}, {3, 4}}"},
                        {"size", "{5, 6}"},
                        {"wrapped frame", Uid{7}}},
             Dictionary{{"$class", Uid{3}}, {"NS.string", "wrapped"}}, string_class,
             Dictionary{{"$class", Uid{6}}, {"NS.bytes", QByteArray("ab")}},
             Dictionary{{"$classname", "Variant"}, {"$classes", Array{"Variant", "NSObject"}}},
             data_class, Dictionary{{"$class", Uid{3}}, {"NS.string", "{{-1, 0.5}, {2, 3}}"}}}},
  };
  const auto unarchiver = Unarchiver::Open(plist::Write(archive, plist::Format::Xml));
  ASSERT_TRUE(unarchiver);
  const Object root = unarchiver->root();
  EXPECT_EQ(root.className(), "Variant");
  EXPECT_EQ(root.decodeObject("text").toString(), "wrapped");
  EXPECT_EQ(root.decodeObject("bytes").toData(), QByteArray("ab"));
  EXPECT_EQ(root.decodeInt32("small"), 12);
  EXPECT_FALSE(root.decodeInt32("big"));  // does not fit
  EXPECT_EQ(root.decodeInt64("big"), qint64(1) << 40);
  EXPECT_EQ(root.decodeInt32("real"), 7);  // truncated like a number's integer value
  EXPECT_EQ(root.decodeRect("frame"), QRectF(1, 2, 3, 4));
  EXPECT_EQ(root.decodeSize("size"), QSizeF(5, 6));
  EXPECT_EQ(root.decodeRect("wrapped frame"), QRectF(-1, 0.5, 2, 3));
  EXPECT_FALSE(root.decodeSize("wrapped frame"));
}

TEST(Keyed_Archive, RefusesWhatIsNotAKeyedArchive) {
  const Array objects{"$null", Dictionary{}};
  const struct {
    const char* name;
    Value archive;
  } cases[] = {
      {"not a dictionary", Array{1, 2}},
      {"another archiver", Dictionary{{"$archiver", "NSArchiver"},
                                      {"$top", Dictionary{{"root", Uid{1}}}},
                                      {"$objects", objects}}},
      {"no objects", Dictionary{{"$top", Dictionary{{"root", Uid{1}}}}}},
      {"objects not a list", Dictionary{{"$top", Dictionary{{"root", Uid{1}}}}, {"$objects", "x"}}},
      {"no top", Dictionary{{"$objects", objects}}},
      {"root not a reference",
       Dictionary{{"$top", Dictionary{{"root", 1}}}, {"$objects", objects}}},
      {"root outside", Dictionary{{"$top", Dictionary{{"root", Uid{9}}}}, {"$objects", objects}}},
  };
  for (const auto& c : cases) {
    QString error;
    EXPECT_FALSE(Unarchiver::Open(c.archive, {}, &error)) << c.name;
    EXPECT_FALSE(error.isEmpty()) << c.name;
  }
  EXPECT_FALSE(Unarchiver::Open(QByteArray("not a property list")));

  keyed_archive::Limits few;
  few.max_objects = 1;
  EXPECT_FALSE(Unarchiver::Open(Sample_Archive(), few));
}

// Follows "next" references as a decoder of a linked structure would.
int Chain_Length(const Object& object) {
  int length = 0;
  for (Object o = object; !o.isNull(); o = o.decodeObject("next")) ++length;
  return length;
}

TEST(Keyed_Archive, StopsAtBrokenReferencesCyclesAndExcessiveWork) {
  auto archive_with = [](Array objects) {
    return Dictionary{{"$top", Dictionary{{"root", Uid{1}}}}, {"$objects", std::move(objects)}};
  };
  const Dictionary node_class{{"$classname", "Node"}, {"$classes", Array{"Node", "NSObject"}}};

  // A reference past the end of "$objects".
  auto broken = Unarchiver::Open(
      archive_with({"$null", Dictionary{{"$class", Uid{2}}, {"next", Uid{40}}}, node_class}));
  ASSERT_TRUE(broken);
  EXPECT_THROW(Chain_Length(broken->root()), Archive_Error);

  // An object that refers to itself: decoding would never end.
  auto cycle = Unarchiver::Open(
      archive_with({"$null", Dictionary{{"$class", Uid{2}}, {"next", Uid{1}}}, node_class}));
  ASSERT_TRUE(cycle);
  EXPECT_THROW(Chain_Length(cycle->root()), Archive_Error);

  // A chain within the limits is followed to its end.
  Array objects{"$null"};
  for (quint64 i = 1; i <= 20; ++i)
    objects.push_back(Dictionary{{"$class", Uid{21}}, {"next", Uid{i == 20 ? 0 : i + 1}}});
  objects.push_back(node_class);
  auto chain = Unarchiver::Open(archive_with(objects));
  ASSERT_TRUE(chain);
  EXPECT_EQ(Chain_Length(chain->root()), 20);

  // Work is bounded even where nesting is not deep: the same list read over and over.
  keyed_archive::Limits limits;
  limits.max_visits = 100;
  auto busy = Unarchiver::Open(archive_with(objects), limits);
  ASSERT_TRUE(busy);
  EXPECT_THROW(
      {
        for (int i = 0; i < 10; ++i) Chain_Length(busy->root());
      },
      Archive_Error);
}

TEST(Keyed_Archive, GeometryTextForms) {
  EXPECT_EQ(keyed_archive::Rect_Text(QRectF(0, -0.0, 1e-7, 123456789.25)),
            "{{0, 0}, {1e-07, 123456789.25}}");
  EXPECT_EQ(keyed_archive::Rect_Text(QRectF(0.1, 2.0 / 3.0, 100, 50)),
            "{{0.1, 0.6666666666666666}, {100, 50}}");
  EXPECT_EQ(keyed_archive::Size_Text(QSizeF(243, 154)), "{243, 154}");
  EXPECT_EQ(keyed_archive::Point_Text(QPointF(-4.5, 3)), "{-4.5, 3}");

  const struct {
    const char* text;
    std::optional<QRectF> rect;
  } cases[] = {
      {"{{10, 20}, {30, 40}}", QRectF(10, 20, 30, 40)},
      {"{{10,20},{30,40}}", QRectF(10, 20, 30, 40)},
      {" { { -1.5 , +2 } , { 3e2 , .5 } } ", QRectF(-1.5, 2, 300, 0.5)},
      {"{{0.10000000000000001, 0}, {0, 0}}", QRectF(0.1, 0, 0, 0)},
      {"{{10, 20}, {30}}", std::nullopt},
      {"{{1, 2}, {3, 4}, {5}}", std::nullopt},
      {"bounds", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(keyed_archive::Rect_From_Text(c.text), c.rect) << c.text;
  // Every rectangle survives its text exactly.
  for (const QRectF& r : {QRectF(0.1, 0.2, 0.3, 1.0 / 3.0), QRectF(-1e300, 5e-324, 1, 2)})
    EXPECT_EQ(keyed_archive::Rect_Text(*keyed_archive::Rect_From_Text(keyed_archive::Rect_Text(r))),
              keyed_archive::Rect_Text(r));
}

}  // namespace
