// Card-size presets, the preset list and the millimetre/point conversion.

#include "support/Test_Support.h"
#include "library/Card_Presets.h"
#include "window/Card_Units.h"

#include <QSignalSpy>

namespace {

TEST(Card_Units, ConvertsBetweenMillimetresAndPoints) {
  EXPECT_FLOAT_EQ(MM_to_Points_Convert(25.4f), 72.0f);
  EXPECT_FLOAT_EQ(Points_to_MM_Convert(72.0f), 25.4f);
  EXPECT_FLOAT_EQ(MM_to_Points_Convert(85.598f), 242.64f);  // CR80 width, about the start canvas
  EXPECT_FLOAT_EQ(Points_to_MM_Convert(MM_to_Points_Convert(54.102f)), 54.102f);
  EXPECT_FLOAT_EQ(MM_to_Points_Convert(0), 0);
}

TEST(Card_Presets, NamesInIndexOrder) {
  ASSERT_EQ(Paper_Card_Names().size(), 8);
  ASSERT_EQ(PVC_Card_Names().size(), 7);
  EXPECT_EQ(Paper_Card_Names().first(), QStringLiteral("Durable 1452 - Name Badge"));
  EXPECT_EQ(Paper_Card_Names().last(), QStringLiteral("Durable 1459 - Name Badge"));
  EXPECT_EQ(PVC_Card_Names().first(), QStringLiteral("CR80-Credit Card Size"));
  EXPECT_EQ(PVC_Card_Names()[3], QStringLiteral("CR100-Military Size"));
  EXPECT_EQ(PVC_Card_Names().last(), QStringLiteral("CR70"));
}

TEST(Card_Presets, SizeOfEveryKindOfLookup) {
  struct Case {
    const char* category;
    const char* orientation;
    int index;
    float width_mm;
    float height_mm;
  };
  const Case cases[] = {
      {"PVC Card", "H", 0, 85.598f, 54.102f},
      {"PVC Card", "V", 0, 54.102f, 85.598f},
      {"PVC Card", "H", 4, 88.9f, 44.45f},
      {"PVC Card", "H", 6, 73.152f, 53.848f},
      {"PVC Card", "H", 7, 762, 762},  // past the PVC table
      {"Paper Card", "H", 0, 59.944f, 40.132f},
      {"Paper Card", "H", 2, 74.93f, 40.132f},   // same size as index 1
      {"Paper Card", "H", 5, 59.944f, 89.916f},  // taller than wide when horizontal
      {"Paper Card", "V", 5, 89.916f, 59.944f},
      {"Paper Card", "H", 7, 150.114f, 125.984f},
      {"", "H", 7, 150.114f, 125.984f},          // any other category is paper
      {"pvc card", "H", 7, 150.114f, 125.984f},  // compared exactly
      {"Paper Card", "H", 8, 762, 762},
      {"Paper Card", "H", -2, 762, 762},
      {"PVC Card", "H", -1, 30, 30},  // no row chosen: millimetres, not inches
      {"Paper Card", "V", -1, 30, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.category) + " " + c.orientation + " " + std::to_string(c.index));
    const QSizeF size = Get_My_card_Size(QString::fromLatin1(c.category),
                                         QString::fromLatin1(c.orientation), c.index);
    EXPECT_FLOAT_EQ(float(size.width()), c.width_mm);
    EXPECT_FLOAT_EQ(float(size.height()), c.height_mm);
  }
}

TEST(Card_Presets, RowOfTheCardsSize) {
  struct Case {
    const char* what;
    const char* category;
    const char* orientation;
    QSizeF size_mm;
    int preferred;
    int row;
  };
  const Case cases[] = {
      {"CR80", "PVC Card", "H", {85.598, 54.102}, 0, 0},
      {"the start card of 243 x 154 points is CR80", "PVC Card", "H", {85.725, 54.328}, 0, 0},
      {"CR80 standing", "PVC Card", "V", {54.102, 85.598}, 0, 0},
      {"CR80 lying, listed standing", "PVC Card", "V", {85.598, 54.102}, 0, -1},
      {"a preferred row of another size", "PVC Card", "H", {88.9, 44.45}, 0, 4},
      {"150 x 100 is no preset", "PVC Card", "H", {150, 100}, 0, -1},
      {"a millimetre off is another size", "PVC Card", "H", {86.6, 54.102}, 0, -1},
      {"two presets of one size: the preferred", "Paper Card", "H", {74.93, 40.132}, 2, 2},
      {"two presets of one size: the first", "Paper Card", "H", {74.93, 40.132}, 7, 1},
      {"taller than wide when horizontal", "Paper Card", "H", {59.944, 89.916}, -1, 5},
      {"no row preferred", "PVC Card", "H", {73.152, 53.848}, -1, 6},
      {"a preferred row past the list", "PVC Card", "H", {150, 100}, 9, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Preset_Row_For_Size(QString::fromLatin1(c.category),
                                  QString::fromLatin1(c.orientation), c.size_mm, c.preferred),
              c.row);
  }
}

TEST(Preset_List, KeepsTrimmedNamesAndAnswersMissingRowsWithEmptyText) {
  Preset_List list;
  list.Create_List(QStringLiteral("  CR79 \n"));
  list.Create_List(QStringLiteral(" \t "));
  list.Create_List(QString());
  ASSERT_EQ(list.rowCount(), 1);
  EXPECT_EQ(list.Get_Item_Text(0), QStringLiteral("CR79"));
  EXPECT_EQ(list.data(list.index(0, 0)).toString(), QStringLiteral("CR79"));
  EXPECT_EQ(list.Get_Item_Text(1), QStringLiteral(""));
  EXPECT_EQ(list.Get_Item_Text(-1), QStringLiteral(""));
  EXPECT_EQ(list.ListData().first().value(Preset_Name_Key).toString(), QStringLiteral("CR79"));

  list.Remove_All();
  EXPECT_EQ(list.rowCount(), 0);
}

TEST(Preset_List, StoresEditedValuesOnlyInExistingRows) {
  Preset_List list;
  list.Create_List(QStringLiteral("CR50"));
  QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
  EXPECT_TRUE(list.setData(list.index(0, 0), QStringLiteral("Custom")));
  EXPECT_EQ(list.Get_Item_Text(0), QStringLiteral("Custom"));
  EXPECT_EQ(changed.count(), 1);

  // An index that does not name a row of this list changes nothing.
  Preset_List other;
  for (int i = 0; i < 3; ++i) other.Create_List(QStringLiteral("Row %1").arg(i));
  EXPECT_FALSE(list.setData(other.index(2, 0), QStringLiteral("Lost")));
  EXPECT_FALSE(list.setData(QModelIndex(), QStringLiteral("Lost")));
  EXPECT_EQ(list.rowCount(), 1);
  EXPECT_EQ(list.Get_Item_Text(0), QStringLiteral("Custom"));
}

}  // namespace
