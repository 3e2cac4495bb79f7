// The spreadsheet data table: rows numbered from 1, cells trimmed, column 0 is the row
// number, edits and restores that cannot corrupt the table.

#include "series/Data_From_Excel.h"
#include "support/Test_Support.h"

namespace {

TEST(Data_From_Excel, AppendsNumberedTrimmedRows) {
  Data_From_Excel table;
  table.Set_Columns({"Name", "City", "Code"});
  EXPECT_EQ(table.Row_Count(), 0);
  EXPECT_EQ(table.Column_Count(), 4) << "the row-number column counts";
  table.Create_List_By_Array({"  Ann ", "Oslo\n", "007"}, 3);
  table.Create_List_By_Array({"Bob", "Rome", "1", "extra"}, 2);  // extra cells left out
  table.Create_List_By_Array({"short"}, 3);                      // fewer cells: no row
  table.Create_List_By_Array({}, 0);                             // only the number
  ASSERT_EQ(table.Row_Count(), 3);
  struct Case {
    int record, column;
    const char* value;
  };
  const Case cases[] = {
      {0, 0, "1"}, {0, 1, "Ann"}, {0, 2, "Oslo"}, {0, 3, "007"}, {1, 0, "2"}, {1, 2, "Rome"},
      {1, 3, ""},  // the row lacks the column
      {2, 0, "3"}, {2, 1, ""}, {3, 0, ""},  // past the last row
      {-1, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.record << ", " << c.column);
    EXPECT_EQ(table.Value(c.record, c.column), QString::fromUtf8(c.value));
  }
  EXPECT_EQ(table.Column_Titles(), (QStringList{Data_From_Excel::Row_Number_Title, "Name", "City", "Code"}));
  EXPECT_EQ(table.headerData(2, Qt::Horizontal).toString(), QStringLiteral("City"));
  EXPECT_EQ(table.data(table.index(0, 1)).toString(), QStringLiteral("Ann"));
  EXPECT_FALSE(table.data(table.index(1, 3)).isValid()) << "no value, not an empty one";

  // A new import numbers its rows from 1 again.
  table.Set_Columns({"Only"});
  table.Create_List_By_Array({"x"}, 1);
  EXPECT_EQ(table.Value(0, 0), QStringLiteral("1"));
  EXPECT_EQ(table.Column_Count(), 2);
  table.Create_Value_List("   ");
  table.Create_Value_List(" 42 ");
  EXPECT_EQ(table.Row_Count(), 2);
  EXPECT_EQ(table.Value(1, 0), QStringLiteral("42"));
}

TEST(Data_From_Excel, RestoresWhatADesignStoresAndEditsOnlyRealRows) {
  Data_From_Excel table;
  const Data_Table_Rows stored = {{{"Extension", "1"}, {"Column1", "a"}},
                                  {{"Extension", "2"}}};  // a row missing its cell
  table.Restore({"Row", "First", "Second"}, stored);
  EXPECT_EQ(table.Column_Count(), 3);
  EXPECT_EQ(table.Value(1, 1), QString());
  EXPECT_EQ(table.Get_First_Value_Of_Excel_Binding(1), QStringLiteral("a"));
  // The rows handed out are shared, not copied, and stay as they were when the table
  // changes afterwards.
  const Data_Table_Rows copy = table.ListData();
  EXPECT_TRUE(table.setData(table.index(0, 1), QStringLiteral("b")));
  EXPECT_EQ(Sheet_Value(copy, 0, 1), QStringLiteral("a"));
  EXPECT_EQ(table.Value(0, 1), QStringLiteral("b"));
  EXPECT_FALSE(table.setData(table.index(5, 1), QStringLiteral("x")));
  EXPECT_EQ(table.Row_Count(), 2);
  // An empty title list keeps the columns.
  table.Restore({}, {});
  EXPECT_EQ(table.Column_Count(), 3);
  EXPECT_EQ(table.Row_Count(), 0);
  EXPECT_EQ(table.Get_First_Value_Of_Excel_Binding(1), QString());
}

}  // namespace
