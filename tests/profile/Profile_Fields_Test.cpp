// The profile fields' table: default rectangles, the loading of a side's profile objects
// and the validation message.

#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "profile/Profile_Fields.h"
#include "support/Test_Support.h"

namespace {

TEST(Profile_Default_Rect, MirrorsThePlaceholderAndChoosesByTheFrontSize) {
  // y is mirrored against H; width and height are used unchanged.
  EXPECT_EQ(Profile_Template_Rect(QRectF(20, 300, 150, 30), 400), QRectF(20, 100, 150, 30));

  const auto& table = Profile_Field_Table();
  for (int i = 0; i < Profile_Field_Count; ++i) {
    const QString id = QString::fromLatin1(table[size_t(i)].control_id);
    SCOPED_TRACE(id.toStdString());
    // A square card is landscape; 200 x 300 is portrait.
    EXPECT_EQ(Profile_Default_Rect(id, QSizeF(200, 200)), Profile_Template_Rect(table[size_t(i)].landscape));
    EXPECT_EQ(Profile_Default_Rect(id, QSizeF(200, 300)), Profile_Template_Rect(table[size_t(i)].portrait));
  }
  EXPECT_EQ(Profile_Default_Rect(QStringLiteral("fup_name"), QSizeF(200, 200)), QRectF());
  EXPECT_EQ(Profile_Default_Rect(QStringLiteral("PARTY_TITLE"), QSizeF(200, 200)), QRectF());
}

TEST(Profile_Default_Rect, EveryFieldFitsTheDefaultCardWithoutOverlap) {
  // The default card, 85.725 x 54.328 mm, in both orientations.
  for (const QSizeF card : {QSizeF(243, 154), QSizeF(154, 243)}) {
    QList<QRectF> rects;
    for (const auto& info : Profile_Field_Table())
      rects << Profile_Default_Rect(QString::fromLatin1(info.control_id), card);
    for (int i = 0; i < rects.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_FALSE(rects[i].isEmpty());
      EXPECT_TRUE(QRectF(QPointF(), card).contains(rects[i])) << rects[i];
      for (int j = i + 1; j < rects.size(); ++j) EXPECT_FALSE(rects[i].intersects(rects[j])) << j;
    }
  }
}

TEST(Profile_Source_Message, NamesTheCaptionWithoutItsColon) {
  EXPECT_EQ(Profile_Source_Message(QStringLiteral("Position / Title :")),
            QStringLiteral("Please select the source for 'Position / Title'"));
  EXPECT_EQ(Profile_Source_Message(QStringLiteral("Photo :")),
            QStringLiteral("Please select the source for 'Photo'"));
  EXPECT_EQ(Profile_Source_Message(QString()), QStringLiteral("Please select the source"));
}

template <class Kind>
std::shared_ptr<CRDGraphic> Profile_Object(const char* id, const char* value, bool visible = true,
                                           int source = 0, int series_index = 0, int column = 0) {
  auto graphic = std::make_shared<Kind>();
  graphic->control_ID = QString::fromLatin1(id);
  if constexpr (std::is_same_v<Kind, CRDImage>)
    graphic->Set_Control_File_path(QString::fromLatin1(value));  // Text_Value stays "Text here"
  else
    graphic->Text_Value = QString::fromLatin1(value);
  graphic->ctrl_is_visible = visible;
  graphic->data_source_type = source;
  graphic->batch_list_index = series_index;
  graphic->excel_col_indx = column;
  return graphic;
}

TEST(Load_Profile_Fields, TakesVisibleTextAndPictureObjectsByExactId) {
  const Graphic_List side = {
      Profile_Object<CRDText>("Fup_Name", "front-most"),
      Profile_Object<CRDText>("Fup_Name", "back-most", true, 1, 3, 7),   // wins: further back
      Profile_Object<CRDText>("  Fup_Title \t", "blanks around the ID"),
      Profile_Object<CRDText>("fup_company", "other letter case"),
      Profile_Object<CRDText>("Fup_Address", "hidden", false),
      Profile_Object<CRDText>("Fup_Photo", "/photos/a text.png"),
      Profile_Object<CRDBarcode>("Fup_PhoneNO", "a barcode"),
      Profile_Object<CRDSignature>("Fup_FaxNo", "a signature"),
      Profile_Object<CRDImage>("Fup_EmailID", "/a/picture.png", true, 2, 4, 2),
      Profile_Object<CRDText>("Fup_Website", "odd source", true, 5, 4, 2),
      Profile_Object<CRDText>("", "no ID"),
  };
  const Profile_Loaded_Fields loaded = Load_Profile_Fields(side);
  struct Row {
    int field;
    const char* value;  // nullptr: not loaded
    int source, choice;
  } rows[] = {
      {0, "back-most", 1, 3},   {1, "blanks around the ID", 0, 0},
      {2, nullptr, 0, 0},       {3, nullptr, 0, 0},
      {4, nullptr, 0, 0},       {5, nullptr, 0, 0},
      {6, nullptr, 0, 0},       {7, "/a/picture.png", 2, 2},
      {8, "odd source", 5, 0},  {9, nullptr, 0, 0},
      {10, "/photos/a text.png", 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.field);
    const auto& entry = loaded[size_t(row.field)];
    ASSERT_EQ(entry.has_value(), row.value != nullptr);
    if (!entry) continue;
    EXPECT_EQ(entry->value, QString::fromLatin1(row.value));
    EXPECT_EQ(entry->source, row.source);
    EXPECT_EQ(entry->choice, row.choice);
  }
}

}  // namespace
