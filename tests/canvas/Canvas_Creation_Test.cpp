// New graphics on the canvas: tool buttons, presses with a creation tool, fills; and the
// control-ID operations of the profile and invitation fills.

#include "Canvas_Test_Support.h"

#include "model/CRDBarcode.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/CRDText.h"
#include "model/Fonts.h"

#include <QDir>

using namespace canvas_test;

namespace {

class Canvas_Creation : public Canvas_Test {
 protected:
  // The tool road: the design window's frame from (0, 0) with the tool's size.
  void create_with_tool(int tool, const QString& class_name, QSizeF size = {50, 50}) {
    window.tool = tool;
    canvas->createGraphicOfClass(class_name, nullptr, true, QRectF(QPointF(0, 0), size),
                                 QStringLiteral("F"), QString(), QString());
  }
  Undo_Manager& undo() { return *document.undoManager(); }
};

TEST_F(Canvas_Creation, ToolButtonsMakeTheirKindAtTheNextPosition) {
  struct Case {
    int tool;
    const char* class_name;
    QSizeF size;
    const char* made;
    QString shape_code;
  } cases[] = {
      {3, "Shape_Control", {50, 50}, "Shape_Control", "R"},
      {7, "Shape_Control", {50, 50}, "Shape_Control", "D"},
      {14, "Shape_Control", {50, 50}, "Shape_Control", "DS"},
      {1, "CRDLine", {50, 50}, "CRDLine", ""},
      {2, "CRDText", {50, 50}, "CRDText", ""},
      {10, "CRDBarcode", {120, 60}, "CRDBarcode", ""},
      {11, "CRDSignature", {100, 50}, "CRDSignature", ""},
      {12, "CRDText", {100, 50}, "CRDSignature", ""},  // the tool decides the kind
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tool);
    window.new_points = {{30, 20}};
    add({Rect_Shape({150, 50, 10, 10})});
    canvas->changeSelectionIndexes({0});
    create_with_tool(c.tool, QString::fromLatin1(c.class_name), c.size);
    ASSERT_EQ(list().size(), 2u);
    const auto& made = list()[0];
    EXPECT_EQ(made->className(), QLatin1String(c.made));
    EXPECT_EQ(made->bounds(), QRectF(QPointF(30, 20), c.size));
    if (!c.shape_code.isEmpty()) {
      EXPECT_EQ(made->Get_shape_type(), c.shape_code);
    }
    EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));
    EXPECT_EQ(canvas->Selected_Graphic(), made);
    EXPECT_EQ(canvas->creatingGraphic(), nullptr);
    EXPECT_EQ(window.new_point_sides.last(), QStringLiteral("F"));
    if (c.tool == 11 || c.tool == 12) {
      EXPECT_EQ(made->sign_or_fingureprint,
                c.tool == 11 ? QStringLiteral("S") : QStringLiteral("F"));
    }
    // The creation is one undo step, and the event grouping is back.
    EXPECT_TRUE(undo().groupsByEvent());
    undo().undo();
    EXPECT_EQ(list().size(), 1u);
    EXPECT_FALSE(undo().canUndo());
    without_undo([&] { canvas->delete_all_control(); });
  }
}

// The window's text defaults reach every graphic it creates, and placing a picture,
// signature or fingerprint resets the picture panel (the constructors do neither).
TEST_F(Canvas_Creation, NewGraphicsTakeTheWindowsDefaults) {
  window.all_text_font = Make_Font(QStringLiteral("Liberation Sans"), 22);
  window.all_text_color = CRDColor::rgb(0.2, 0.4, 0.6);
  struct Case {
    int tool;
    const char* class_name;
    int resets;
  } cases[] = {{2, "CRDText", 0},      {3, "Shape_Control", 0}, {1, "CRDLine", 0},
               {10, "CRDBarcode", 0},  {8, "CRDImage", 1},      {11, "CRDSignature", 1},
               {12, "CRDSignature", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tool);
    window.image_control_resets = 0;
    create_with_tool(c.tool, QString::fromLatin1(c.class_name));
    ASSERT_FALSE(list().empty());
    EXPECT_EQ(list()[0]->text_ctrl_font, window.all_text_font);
    EXPECT_EQ(list()[0]->txt_clr, window.all_text_color);
    EXPECT_EQ(window.image_control_resets, c.resets);
  }
}

TEST_F(Canvas_Creation, BothCornersLandOnAConstrainingGrid) {
  CRDGrid grid;
  grid.setConstraining(true);  // spacing 9
  canvas->setGrid(&grid);
  window.new_points = {{20, 20}};
  create_with_tool(3, QStringLiteral("Shape_Control"));
  EXPECT_EQ(list()[0]->bounds(), QRectF(18, 18, 54, 54));
}

TEST_F(Canvas_Creation, FillsKeepTheirRectangleWhenTheyGiveAControlID) {
  window.new_points = {{30, 40}};
  canvas->createGraphicOfClass(QStringLiteral("CRDText"), nullptr, true, {70, 80, 100, 20},
                               QStringLiteral("F"), QStringLiteral("June 1"),
                               QStringLiteral("PARTY_DATE"));
  EXPECT_EQ(list()[0]->bounds(), QRectF(70, 80, 100, 20));
  canvas->createGraphicOfClass(QStringLiteral("CRDText"), nullptr, true, {70, 80, 100, 20},
                               QStringLiteral("F"), QStringLiteral("x"), QString());
  EXPECT_EQ(list()[0]->bounds(), QRectF(30, 40, 100, 20));
  canvas->createGraphicOfClass(QStringLiteral("Shape_Control"), nullptr, false, {70, 80, 1, 1},
                               QStringLiteral("B"), QString(), QString());
  EXPECT_EQ(list()[0]->bounds(), QRectF(10, 10, 50, 50));
  EXPECT_EQ(window.new_point_sides, QStringList({"F", "B"}));
}

TEST_F(Canvas_Creation, InvitationTextsTakeTheirStyling) {
  struct Case {
    const char* id;
    const char* value;
    int alignment;
    QString font;  // empty: the default font
  } cases[] = {
      {"PARTY_TITLE", "Happy Birthday", 2, "TimesNewRomanPS-BoldItalicMT"},
      {"PARTY_MARRINGE_INFO", "Anna & Tom", 2, "TimesNewRomanPS-BoldItalicMT"},
      {"PARTY_VENUE", "Garden", 2, ""},
      {"PARTY_FROM", "Anna", 1, ""},
      {"PARTY_TO", "Tom", 0, ""},
      {"PARTY_TITLE", "", 0, ""},  // no value: the defaults, whatever the ID
  };
  const QFont default_font = window.All_Text_font();  // the window's all-text font
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    canvas->createGraphicOfClass(QStringLiteral("CRDText"), nullptr, true, {10, 10, 100, 20},
                                 QStringLiteral("F"), QString::fromUtf8(c.value),
                                 QString::fromLatin1(c.id));
    const auto& text = list()[0];
    EXPECT_EQ(text->control_ID, QLatin1String(c.id));
    EXPECT_EQ(text->text_alignmnet, c.alignment);
    if (c.font.isEmpty()) {
      EXPECT_EQ(text->text_ctrl_font, default_font);
    } else {
      EXPECT_EQ(text->text_ctrl_font.family(), c.font);
      EXPECT_EQ(text->text_ctrl_font.pointSizeF(), 18.0);
    }
    const bool has_value = *c.value != 0;
    EXPECT_EQ(text->Text_Value,
              has_value ? QString::fromUtf8(c.value) : QStringLiteral("Text here"));
    EXPECT_EQ(text->_isDrawingFill, !has_value);
    EXPECT_EQ(text->_isDrawingStroke, !has_value);
  }
}

TEST_F(Canvas_Creation, PictureToolFallsBackToThePlaceholder) {
  Library_Selected_Image = QDir(resource_path()).filePath(QStringLiteral("missing.png"));
  create_with_tool(8, QStringLiteral("CRDImage"));
  auto* picture = dynamic_cast<CRDImage*>(list()[0].get());
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->_contents.isNull());
  EXPECT_EQ(picture->_contents, Window_Loaded_Picture(QStringLiteral("no_image")));

  Library_Selected_Image = QDir(resource_path()).filePath(QStringLiteral("sign_sample.png"));
  create_with_tool(8, QStringLiteral("CRDImage"));
  picture = dynamic_cast<CRDImage*>(list()[0].get());
  EXPECT_EQ(picture->_file_path, Library_Selected_Image);
  EXPECT_EQ(picture->_contents.image().size(), QImage(Library_Selected_Image).size());
}

TEST_F(Canvas_Creation, PressWithACreationToolDrawsTheGraphicOut) {
  window.tool_class = QStringLiteral("Shape_Control");
  window.tool = 4;
  press({20, 20});
  EXPECT_TRUE(canvas->creatingGraphic());
  move({35, 30});
  release({50, 40});
  ASSERT_EQ(list().size(), 1u);
  EXPECT_EQ(list()[0]->bounds(), QRectF(20, 20, 30, 20));
  EXPECT_EQ(list()[0]->Get_shape_type(), QStringLiteral("C"));
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0}));
  EXPECT_EQ(canvas->creatingGraphic(), nullptr);
  // A click creation is not remembered: the sidebar turns to the card.
  EXPECT_EQ(canvas->Selected_Graphic(), nullptr);
  EXPECT_EQ(window.sidebar.last(), nullptr);
  EXPECT_TRUE(undo().groupsByEvent());
  undo().undo();
  EXPECT_TRUE(list().empty());

  // A line is drawn out by its end point.
  window.tool_class = QStringLiteral("CRDLine");
  window.tool = 1;
  drag({100, 80}, {60, 90});
  auto* line = dynamic_cast<CRDLine*>(list()[0].get());
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->beginPoint(), QPointF(100, 80));
  EXPECT_EQ(line->endPoint(), QPointF(60, 90));
}

// A press released where it began makes nothing, and leaves the undo history as it was on
// every side: an earlier change stays undoable and nothing can be redone.
TEST_F(Canvas_Creation, AnEmptyPressLeavesNoTrace) {
  for (CRDDocument::Side side :
       {CRDDocument::Side::Front, CRDDocument::Side::Back, CRDDocument::Side::Temp}) {
    SCOPED_TRACE(int(side));
    CRDDocument fresh;
    const QString names[] = {CRDGraphicViewGraphicsBindingName,
                             CRDGraphicViewGraphicsBindingName_back,
                             CRDGraphicViewGraphicsBindingName_temp};
    ASSERT_TRUE(canvas->bind(names[int(side)], &fresh));
    auto earlier = Rect_Shape({10, 10, 30, 30});
    fresh.insertGraphics({earlier}, {0});  // an undoable change on the front
    QApplication::processEvents();         // its event ends
    ASSERT_TRUE(fresh.undoManager()->canUndo());

    window.tool_class = QStringLiteral("Shape_Control");
    window.tool = 3;
    click({100, 60});
    EXPECT_EQ(fresh.list(side).size(), side == CRDDocument::Side::Front ? 1u : 0u);
    EXPECT_TRUE(canvas->selectionIndexes().isEmpty());
    EXPECT_FALSE(fresh.undoManager()->canRedo());
    EXPECT_TRUE(fresh.undoManager()->groupsByEvent());
    fresh.undoManager()->undo();
    EXPECT_TRUE(fresh.graphics().empty()) << "the earlier insertion is still the last step";
    EXPECT_FALSE(fresh.undoManager()->canUndo());
    canvas->unbind(names[int(side)]);
  }
}

// ---- Control IDs -------------------------------------------------------------------------

class Canvas_Control_ID : public Canvas_Test {
 protected:
  static std::shared_ptr<CRDGraphic> text(const QString& id,
                                          const QRectF& bounds = {0, 0, 80, 20}) {
    auto t = std::make_shared<CRDText>();
    t->control_ID = id;
    t->setBounds(bounds);
    return t;
  }
  static std::shared_ptr<CRDGraphic> picture(const QString& id) {
    auto p = std::make_shared<CRDImage>();
    p->control_ID = id;
    p->setBounds({100, 0, 40, 40});
    return p;
  }
  void refill(const char* class_name, const QString& value, const QString& id) {
    canvas->ReplaceGraphicText(QString::fromLatin1(class_name), true, {5, 60, 90, 15},
                               QStringLiteral("F"), value, id);
  }
};

TEST_F(Canvas_Control_ID, SearchFindsTheFrontMostTextOrPicture) {
  auto shape = Rect_Shape({0, 0, 10, 10});
  shape->control_ID = QStringLiteral("Fup_Name");
  const Graphic_List graphics = {shape, text("Fup_Name"), text("Fup_Title"), picture("Fup_Photo"),
                                 text("Fup_Name")};
  add(graphics);
  EXPECT_EQ(canvas->Selcect_Ctrl_With_ID(QStringLiteral("Fup_Name")), graphics[1]);
  EXPECT_EQ(canvas->Selcect_Ctrl_With_ID(QStringLiteral("Fup_Photo")), graphics[3]);
  EXPECT_EQ(canvas->Selcect_Ctrl_With_ID(QStringLiteral("fup_name")), nullptr);

  canvas->Hide_all_Text_control_FUP_Control();
  EXPECT_TRUE(shape->ctrl_is_visible);
  for (size_t i = 1; i < graphics.size(); ++i) EXPECT_FALSE(graphics[i]->ctrl_is_visible) << i;
}

TEST_F(Canvas_Control_ID, RefillPutsTheValueIntoTheGraphic) {
  auto name = text("Fup_Name");
  name->_isDrawingFill = name->_isDrawingStroke = true;
  name->Set_Ctrl_Is_Visible(false);
  auto photo = picture("Fup_Photo");
  photo->setFilePath(QDir(resource_path()).filePath(QStringLiteral("no.png")));
  add({name, photo});

  refill("CRDText", QString(), QStringLiteral("Fup_Name"));
  EXPECT_FALSE(name->ctrl_is_visible);
  EXPECT_EQ(name->Text_Value, QStringLiteral("Text here"));

  refill("CRDText", QStringLiteral("Ada Lovelace"), QStringLiteral("Fup_Name"));
  EXPECT_TRUE(name->ctrl_is_visible);
  EXPECT_EQ(name->Text_Value, QStringLiteral("Ada Lovelace"));
  EXPECT_EQ(name->Text_contents()->string(), QStringLiteral("Ada Lovelace"));
  EXPECT_FALSE(name->_isDrawingFill);
  EXPECT_FALSE(name->_isDrawingStroke);
  EXPECT_EQ(canvas->Selected_Graphic(), name);

  const QString sample = QDir(resource_path()).filePath(QStringLiteral("sign_sample.png"));
  refill("CRDImage", sample, QStringLiteral("Fup_Photo"));
  EXPECT_EQ(photo->_file_path, sample);
  refill("CRDImage", sample + QStringLiteral(".missing"), QStringLiteral("Fup_Photo"));
  EXPECT_EQ(photo->_file_path, sample);
  EXPECT_EQ(list().size(), 2u);
  EXPECT_EQ(canvas->Selected_Graphic(), photo);
}

TEST_F(Canvas_Control_ID, RefillCreatesWhatIsMissingOrOfAnotherKind) {
  auto photo_as_text_id = picture("Fup_Company");
  add({photo_as_text_id});
  refill("CRDText", QStringLiteral("Acme"), QStringLiteral("Fup_Company"));
  ASSERT_EQ(list().size(), 2u);
  const auto& made = list()[0];
  EXPECT_EQ(made->className(), QStringLiteral("CRDText"));
  EXPECT_EQ(made->control_ID, QStringLiteral("Fup_Company"));
  EXPECT_EQ(made->Text_Value, QStringLiteral("Acme"));
  EXPECT_EQ(made->bounds(), QRectF(5, 60, 90, 15));  // a control ID keeps the rectangle
  EXPECT_EQ(canvas->Selected_Graphic(), made);
  EXPECT_EQ(photo_as_text_id->control_ID, QStringLiteral("Fup_Company"));
  EXPECT_TRUE(photo_as_text_id->ctrl_is_visible);
}

TEST_F(Canvas_Control_ID, DeletingEveryGraphicIsOneUndoStepOnTheFront) {
  canvas->delete_all_control();  // nothing to do
  EXPECT_FALSE(document.undoManager()->canUndo());
  add({text("a"), text("b"), picture("c")});
  canvas->changeSelectionIndexes({1});
  canvas->delete_all_control();
  EXPECT_TRUE(list().empty());
  EXPECT_TRUE(canvas->selectionIndexes().isEmpty());
  canvas->undo();
  EXPECT_EQ(list().size(), 3u);
  EXPECT_EQ(canvas->selectionIndexes(), Index_Set({0, 1, 2}));
}

}  // namespace
