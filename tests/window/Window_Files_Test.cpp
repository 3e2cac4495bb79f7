// Folder listings, the series in-use test, dates and times, and path checks.

#include "window/Window_Files.h"
#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDText.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"

#include <QDir>
#include <QFile>

namespace {

void touch(const QString& path) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path;
  file.write("x\n");
}

TEST(Folder_Listing, NamesFilesSortedWithoutLastExtension) {
  QTemporaryDir dir;
  const QString d = dir.path();
  for (const char* name : {"Names.txt", "cities.txt", "Zeta.png", "archive.tar.gz", ".hidden",
                           "item10.txt", "item9.txt", "noextension"})
    touch(d + QLatin1Char('/') + QLatin1String(name));
  ASSERT_TRUE(QDir(d).mkdir(QStringLiteral("Folder.txt")));
  QFile::link(d + QStringLiteral("/missing"), d + QStringLiteral("/broken.lnk"));

  EXPECT_EQ(Get_Files_Array_At_Path(d),
            (QStringList{QStringLiteral(".hidden"), QStringLiteral("archive.tar"),
                         QStringLiteral("cities"), QStringLiteral("item9"),
                         QStringLiteral("item10"), QStringLiteral("Names"),
                         QStringLiteral("noextension"), QStringLiteral("Zeta")}));
}

TEST(Folder_Listing, MissingFolderOrFileAnswersEmptyList) {
  QTemporaryDir dir;
  touch(dir.filePath(QStringLiteral("plain.txt")));
  EXPECT_TRUE(Get_Files_Array_At_Path(dir.filePath(QStringLiteral("absent"))).isEmpty());
  EXPECT_TRUE(Get_Files_Array_At_Path(dir.filePath(QStringLiteral("plain.txt"))).isEmpty());
  EXPECT_TRUE(Get_Files_Array_At_Path(QString()).isEmpty());
}

class Series_In_Use : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    ASSERT_TRUE(QDir().mkpath(Data_Folder_Path));
    touch(Data_Folder_Path + QStringLiteral("/Names.txt"));
    touch(Data_Folder_Path + QStringLiteral("/Cities.txt"));
  }
  template <class Kind>
  static std::shared_ptr<CRDGraphic> bound(const QString& series, int source = 1) {
    auto graphic = std::make_shared<Kind>();
    graphic->data_source_type = source;
    graphic->batch_list_name = series;
    return graphic;
  }
};

TEST_F(Series_In_Use, DataSeriesFolderListsTheSeries) {
  ASSERT_TRUE(QDir(Data_Folder_Path).mkdir(QStringLiteral("Sub")));
  EXPECT_EQ(Get_datasheet_File_Name_Array(),
            (QStringList{QStringLiteral("Cities"), QStringLiteral("Names")}));
}

TEST_F(Series_In_Use, CountsBoundTextsPicturesAndBarcodesOnTheSidesInUse) {
  const QString names = QStringLiteral("Names");
  const Graphic_List none;
  struct Case {
    const char* what;
    Graphic_List front;
    Graphic_List back;
    const char* sides;
    bool in_use;
  };
  const Case cases[] = {
      {"text on front", {bound<CRDText>(names)}, none, "1", true},
      {"picture on front", {bound<CRDImage>(names)}, none, "1", true},
      {"barcode on front", {bound<CRDBarcode>(names)}, none, "1", true},
      {"shape on front", {bound<Shape_Control>(names)}, none, "2", false},
      {"line on front", {bound<CRDLine>(names)}, none, "2", false},
      {"bound to a spreadsheet column", {bound<CRDText>(names, 2)}, none, "2", false},
      {"name differs in case", {bound<CRDText>(QStringLiteral("names"))}, none, "2", false},
      {"other series", {bound<CRDText>(QStringLiteral("Cities"))}, none, "2", false},
      {"back side of a two-sided card", none, {bound<CRDText>(names)}, "2", true},
      {"back side of a one-sided card", none, {bound<CRDText>(names)}, "1", false},
      {"second object counts",
       {bound<Shape_Control>(names), bound<CRDImage>(names)},
       none,
       "1",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CARD_SIDE_STR = QString::fromLatin1(c.sides);
    EXPECT_EQ(Check_Batch_File_In_Use_Validation(names, c.front, c.back), c.in_use);
  }
}

TEST_F(Series_In_Use, SeriesWithoutItsFileIsNeverInUse) {
  CARD_SIDE_STR = QStringLiteral("2");
  const QString missing = QStringLiteral("Streets");
  EXPECT_FALSE(Check_Batch_File_In_Use_Validation(missing, {bound<CRDText>(missing)},
                                                  {bound<CRDText>(missing)}));
}

TEST(Date_And_Time, WritesPatternsOfDateFieldSymbols) {
  const QDateTime afternoon(QDate(2026, 12, 9), QTime(15, 5, 0));
  const QDateTime morning(QDate(2026, 3, 4), QTime(9, 7, 8));
  struct Case {
    const char* pattern;
    QDateTime when;
    const char* expected;
  };
  const Case cases[] = {
      {"dd-MM-yyyy", afternoon, "09-12-2026"},
      {"HH:mm:ss", afternoon, "15:05:00"},
      {"H:mm:ss", morning, "9:07:08"},
      {"M-d-yy", morning, "3-4-26"},
      {"yyyy-MM-dd", morning, "2026-03-04"},
      {"d-M-yy", afternoon, "9-12-26"},
      {"hh:mm:ss a", afternoon, "03:05:00 PM"},
      {"h:mm:ss a", morning, "9:07:08 AM"},
      {"dd-MMM-yy", afternoon, "09-Dec-26"},
      {"'Day' d", afternoon, "Day 9"},  // quoted text stays as typed
      {"d 'o''clock' ''", afternoon, "9 o'clock '"},
      {"d t", afternoon, "9 t"},  // a letter without a meaning is plain text
  };
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(Get_date_Value(QString::fromLatin1(c.pattern), c.when),
              QString::fromLatin1(c.expected));
  }
  EXPECT_EQ(Get_time_Value(QStringLiteral("HH:mm:ss"), afternoon), QStringLiteral("15:05:00"));
  QLocale::setDefault(QLocale::system());
}

TEST(File_Paths, ConvertsAddressesAndChecksPaths) {
  EXPECT_EQ(Convert_Path_From_URL(QUrl::fromLocalFile(QStringLiteral("/tmp/a b/c.png"))),
            QStringLiteral("/tmp/a b/c.png"));

  QTemporaryDir dir;
  touch(dir.filePath(QStringLiteral("sheet.xlsx")));
  platform::Scoped_Scripted_Platform platform;
  EXPECT_FALSE(Check_And_Validate_File_Path(dir.path()));
  EXPECT_FALSE(Check_And_Validate_File_Path(QStringLiteral("  ") + dir.filePath("sheet.xlsx")));
  EXPECT_TRUE(platform.messages.isEmpty());

  EXPECT_TRUE(Check_And_Validate_File_Path(QStringLiteral("  ")));
  EXPECT_TRUE(Check_And_Validate_File_Path(dir.filePath(QStringLiteral("absent.xlsx"))));
  EXPECT_EQ(platform.messages, QStringList(2, QStringLiteral("\nPlease select valid file path.")));
}

}  // namespace
