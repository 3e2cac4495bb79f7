// The object panels of the sidebar: shape, line, text, picture and signature panels
// writing into the selected graphics and loading from them, the picture tools, and the
// data-source page binding texts and pictures to series and spreadsheet columns. Pixels
// come from the card renderer.

#include "Window_Fixture.h"

#include "canvas/CRDRenderingView.h"
#include "library/ui/Image_Library.h"
#include "model/CRDImage.h"
#include "model/CRDLine.h"
#include "model/CRDSignature.h"
#include "model/Graphic_Archive.h"
#include "model/CRDText.h"
#include "model/Fonts.h"
#include "model/Shared_Design_State.h"
#include "output/Design_Binding.h"
#include "series/ui/View_Data_Series.h"
#include "window/Design_File.h"
#include "window/Object_Panel_Values.h"
#include "window/ui/Card_Panel.h"
#include "window/ui/Color_Well.h"
#include "window/ui/Data_Source_Panel.h"
#include "window/ui/Line_Panel.h"
#include "window/ui/Picture_Panel.h"
#include "window/ui/Shape_Panel.h"
#include "window/ui/Signature_Panel.h"
#include "window/ui/Text_Panel.h"
#include "support/Watchdog.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

#include <functional>

namespace {

using test_support::Window_Fixture;

class Object_Panels : public Window_Fixture {
 protected:
  template <class Kind>
  std::shared_ptr<CRDGraphic> add(const QRectF& bounds = {20, 20, 60, 40}) {
    auto graphic = std::make_shared<Kind>();
    graphic->setBounds(bounds);
    document.Enable_Disable_Undo_Registraion(false);
    EXPECT_TRUE(document.insertGraphics(CRDDocument::Side::Front, {graphic},
                                        {int(document.graphics().size())}));
    document.Enable_Disable_Undo_Registraion(true);
    return graphic;
  }
  std::shared_ptr<CRDGraphic> shape(const char* code) {
    auto s = add<Shape_Control>();
    s->Set_Shape_Type(QString::fromLatin1(code));
    return s;
  }
  std::shared_ptr<CRDGraphic> text(const QString& value) {
    auto t = add<CRDText>();
    t->Text_contents()->replaceCharacters(value);
    return t;
  }
  // Selects graphics of the front side as a click does; the sidebar shows the first.
  void select(std::initializer_list<std::shared_ptr<CRDGraphic>> graphics) {
    Index_Set indexes;
    for (const auto& g : graphics) {
      const auto& list = document.graphics();
      indexes.append(int(std::find(list.begin(), list.end(), g) - list.begin()));
    }
    window->_graphicView->changeSelectionIndexes(indexes);
    window->Show_RHS_Properties(*graphics.begin());
  }
  // A picture file: left half red, right half blue.
  QString picture_file(const char* name, QColor left = Qt::red, QColor right = Qt::blue) {
    QImage image(40, 20, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 20, 20, left);
    p.fillRect(20, 0, 20, 20, right);
    p.end();
    const QString path = scratch.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(image.save(path));
    return path;
  }
  void write_series(const QString& name, const QByteArray& content) {
    ASSERT_TRUE(QDir().mkpath(Data_Folder_Path));
    QFile file(Data_Folder_Path + QLatin1Char('/') + name + QStringLiteral(".txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QImage rendered() { return Render_Card_Picture(Current_Card_Side(document.graphics()), 72).image(); }
  // The library answers OK with the picture at that row, or cancels.
  void library_answers(int row) {
    platform.on_run_modal = [row](QObject* w) {
      auto* library = qobject_cast<Image_Library*>(w);
      if (!library || row < 0) return 0;
      library->imageBrowser->setCurrentIndex(library->images->index(row));
      library->OK_Clicked();
      return 0;
    };
  }

  // The user opens the combo's list and chooses the item shown already.
  static void choose_shown_item(QComboBox* combo) {
    combo->showPopup();
    QTest::keyClick(combo->view(), Qt::Key_Return);
  }

  Shape_Panel& shapes() { return *window->shape_panel; }
  Line_Panel& lines() { return *window->line_panel; }
  Text_Panel& texts() { return *window->text_panel; }
  Picture_Panel& pictures() { return *window->picture_panel; }
  Data_Source_Panel& sources() { return *window->data_source_panel; }
  // Saves the design the window holds and opens the file again: the pictures it shows on
  // both sides (-1 when it does not save or open whole).
  int Pictures_Shown_When_Reopened(const char* name) {
    const QString saved = scratch.filePath(QString::fromLatin1(name));
    QString error;
    if (!design_file::Write_Design_File(saved, window->Current_Design_Contents(), &error)) {
      ADD_FAILURE() << error.toStdString();
      return -1;
    }
    QString reason;
    const auto opened = design_file::Read_Design_File(saved, &reason);
    if (!opened || !opened->left_out.isEmpty()) {
      ADD_FAILURE() << reason.toStdString() << (opened ? opened->left_out.toStdString() : "");
      return -1;
    }
    int shown = 0;
    for (const Graphic_List* side : {&opened->front_graphics, &opened->back_graphics})
      for (const auto& g : *side)
        if (auto* image = dynamic_cast<CRDImage*>(g.get()); image && !image->_contents.isNull())
          ++shown;
    return shown;
  }
};

bool Near(const QColor& a, const QColor& b, int tolerance = 12) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

// ---- Shape and line panels -----------------------------------------------------------------

TEST_F(Object_Panels, ShapePanelLoadsAndWritesEveryControl) {
  auto s = shape("R");
  s->_isDrawingFill = true;
  s->_fillColor = CRDColor::rgb(0, 1, 0, 1);
  s->_fill_type = QStringLiteral("H");
  s->_fill_hatch_type = shapes().shape_hatch_style->itemText(1);
  s->alpha_val = 0.4f;
  s->_isDrawingStroke = true;
  s->_strokeWidth = 3.7;
  s->_stroke_border_type = QStringLiteral("DO");
  select({s});
  EXPECT_EQ(window->sett_tab->widget(0), window->shape_tab);
  // Loading writes nothing and shows the stored values.
  EXPECT_TRUE(shapes().Shape_Style_fill_rd->isChecked());
  EXPECT_EQ(shapes().shape_hatch_style->currentIndex(), 1);
  EXPECT_EQ(shapes().shape_alpha_Stepper->value(), 40);
  EXPECT_EQ(shapes().border.width->value(), 3);
  EXPECT_EQ(shapes().border.style->currentIndex(), 2);
  EXPECT_TRUE(shapes().shape_hatch_bk_clr->isEnabled());
  EXPECT_FALSE(shapes().shape_fill_clr->isEnabled());
  EXPECT_DOUBLE_EQ(s->_strokeWidth, 3.7);

  // Each control writes its field.
  shapes().shape_alpha_Stepper->setValue(70);
  EXPECT_FLOAT_EQ(s->alpha_val, 0.7f);
  EXPECT_DOUBLE_EQ(s->_strokeWidth, 3);
  shapes().border.style->setCurrentIndex(4);
  EXPECT_EQ(s->_stroke_border_type, QStringLiteral("DDD"));
  shapes().shape_grad_Stepper->setValue(45);
  EXPECT_DOUBLE_EQ(s->_fill_grad_angle, 45);
  shapes().shape_hatch_style->setCurrentIndex(0);
  EXPECT_EQ(s->_fill_hatch_type, shapes().shape_hatch_style->itemText(0));
  // A hatch written with no pattern chosen stores no pattern name.
  shapes().shape_hatch_style->setCurrentIndex(-1);
  EXPECT_EQ(s->_fill_hatch_type, QString());
  EXPECT_EQ(s->_fill_type, QStringLiteral("H"));
}

TEST_F(Object_Panels, FillKindFollowsTheRadioWhileTheFillIsOn) {
  auto s = shape("C");
  s->_isDrawingFill = true;
  s->_fill_type = QStringLiteral("S");
  select({s});
  shapes().Shape_gradient_fill_rd->click();
  EXPECT_EQ(s->_fill_type, QStringLiteral("G"));
  EXPECT_TRUE(shapes().shape_fill_Grd_1_clr->isEnabled());
  EXPECT_FALSE(shapes().shape_fill_clr->isEnabled());
  // Fill off: "S" and no fill; on again: the gradient radio still holds.
  shapes().Shape_fill_chk->click();
  EXPECT_FALSE(s->_isDrawingFill);
  EXPECT_EQ(s->_fill_type, QStringLiteral("S"));
  shapes().Shape_fill_chk->click();
  EXPECT_TRUE(s->_isDrawingFill);
  EXPECT_EQ(s->_fill_type, QStringLiteral("G"));
}

TEST_F(Object_Panels, VariantGroupsAndTitlesFollowTheShapeCode) {
  const struct {
    const char* code;
    const char* title;
    bool corner, star, polygon;
  } cases[] = {
      {"R", "Rectangle Properties", false, false, false},
      {"RR", "Rounded Rectangle Properties", true, false, false},
      {"DS", "Double Star Properties", false, true, false},
      {"P", "Polygon Properties", false, false, true},
      {"S", "Star Properties", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    auto s = shape(c.code);
    select({s});
    EXPECT_EQ(window->sett_tab->tabText(0), QString::fromLatin1(c.title));
    EXPECT_EQ(shapes().Shape_prop_title->text(), QString::fromLatin1(c.title));
    EXPECT_EQ(shapes().shape_cor_radius_Stepper->isVisible(), c.corner);
    EXPECT_EQ(shapes().shape_cor_radius_Label->isVisible(), c.corner);
    EXPECT_EQ(shapes().double_star_Stepper->isVisible(), c.star);
    EXPECT_EQ(shapes().polygon_Stepper->isVisible(), c.polygon);
  }
}

TEST_F(Object_Panels, AMixedSelectionTakesThePanelsValuesWhateverTheKind) {
  auto s = shape("RR");
  auto t = text(QStringLiteral("Hello"));
  select({s, t});
  shapes().shape_cor_radius_Stepper->setValue(7.5);
  shapes().double_star_Stepper->setValue(3);
  for (const auto& g : {s, t}) {
    EXPECT_FLOAT_EQ(g->cor_rad_val_val, 7.5f);
    EXPECT_EQ(g->double_star_type, 3);
    EXPECT_EQ(g->_fill_type, s->_fill_type);
  }
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Hello"));

  // A line update switches the shape's border on with the line's settings.
  auto l = add<CRDLine>();
  select({l, s});
  s->_isDrawingStroke = false;
  lines().Line_Wdt_Stepper->setValue(6);
  EXPECT_TRUE(s->_isDrawingStroke);
  EXPECT_DOUBLE_EQ(s->_strokeWidth, 6);
  EXPECT_EQ(s->_strokeColor, l->_strokeColor);
  EXPECT_EQ(s->_stroke_border_type, l->_stroke_border_type);
}

TEST_F(Object_Panels, LinePanelWritesCapOrientationAndOpacity) {
  auto l = add<CRDLine>();
  l->_line_cap_style = 2;
  l->_line_ori = 1;
  select({l});
  EXPECT_EQ(lines().Line_cap_style->currentIndex(), 2);
  EXPECT_EQ(lines().Line_ori_style->currentIndex(), 1);
  lines().Line_alpha_Stepper->setValue(25);
  EXPECT_FLOAT_EQ(l->alpha_val_stroke, 0.25f);
  // No cap or orientation chosen writes 0.
  lines().Line_cap_style->setCurrentIndex(-1);
  EXPECT_EQ(l->_line_cap_style, 0);
  lines().Line_ori_style->setCurrentIndex(-1);
  EXPECT_EQ(l->_line_ori, 0);
  lines().Line_border_style->setCurrentIndex(1);
  EXPECT_EQ(l->_stroke_border_type, QStringLiteral("DA"));
}

// ---- Text panel ----------------------------------------------------------------------------

TEST_F(Object_Panels, TypingBehindThePlaceholderKeepsOnlyTheLetter) {
  auto t = text(QStringLiteral("Text here"));
  select({t});
  QPlainTextEdit* editor = texts().Text_value_Edit;
  EXPECT_EQ(editor->toPlainText(), QStringLiteral("Text here"));
  QTextCursor end = editor->textCursor();
  end.movePosition(QTextCursor::End);
  editor->setTextCursor(end);
  editor->setFocus();
  QTest::keyClicks(editor, QStringLiteral("A"));
  EXPECT_EQ(editor->toPlainText(), QStringLiteral("A"));
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("A"));
  QTest::keyClicks(editor, QStringLiteral("b"));
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Ab"));

  // Pasting 300 characters keeps 250.
  editor->selectAll();
  editor->insertPlainText(QString(300, QLatin1Char('x')));
  EXPECT_EQ(editor->toPlainText().size(), 250);
  EXPECT_EQ(t->Text_contents()->string(), QString(250, QLatin1Char('x')));
}

// A text longer than a box shows (a million characters without a break) loads the start
// of it into the editor, as the box shows it; the other controls leave its characters as
// they are, and an edit makes the editor's text the object's text, kept to 250 characters.
TEST_F(Object_Panels, ALongTextShowsItsStartAndKeepsItsCharacters) {
  const test_support::Watchdog watchdog("selecting a text of a million characters");
  const QString million(1000 * 1000, QLatin1Char('x'));
  auto t = text(million);
  select({t});
  QPlainTextEdit* editor = texts().Text_value_Edit;
  EXPECT_EQ(editor->toPlainText(), million.left(Text_Panel::Editor_Shown_Characters));
  EXPECT_TRUE(texts().Editor_Holds_Part());
  texts().Text_clr->setColor(CRDColor::rgb(0, 0, 1, 1));
  emit texts().Text_clr->colorChanged();
  EXPECT_EQ(t->txt_clr, CRDColor::rgb(0, 0, 1, 1));
  EXPECT_EQ(t->Text_contents()->string(), million);
  // Typing over the selection (loading selected all) replaces the whole text.
  editor->setFocus();
  QTest::keyClicks(editor, QStringLiteral("Hi"));
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Hi"));
  EXPECT_FALSE(texts().Editor_Holds_Part());

  // A text the editor holds whole is written back as before.
  auto short_text = text(QStringLiteral("Dear friends"));
  select({short_text});
  EXPECT_FALSE(texts().Editor_Holds_Part());
  emit texts().Text_clr->colorChanged();
  EXPECT_EQ(short_text->Text_contents()->string(), QStringLiteral("Dear friends"));
}

TEST_F(Object_Panels, TwoTextsTakeAttributesButNotCharacters) {
  auto a = text(QStringLiteral("First"));
  auto b = text(QStringLiteral("Second"));
  select({a, b});
  texts().Text_align_combo->setCurrentIndex(2);
  texts().Text_clr->setColor(CRDColor::rgb(1, 0, 0, 1));
  emit texts().Text_clr->colorChanged();
  texts().Text_value_Edit->setPlainText(QStringLiteral("typed"));
  platform.font_answers.push_back(Make_Font(QStringLiteral("DejaVu Serif"), 30));
  texts().Text_font_btn->click();
  for (const auto& g : {a, b}) {
    EXPECT_EQ(g->text_alignmnet, 2);
    EXPECT_EQ(g->txt_clr, CRDColor::rgb(1, 0, 0, 1));
    EXPECT_EQ(g->text_ctrl_font.pointSizeF(), 30);
    EXPECT_EQ(g->text_ctrl_font.family(), QStringLiteral("DejaVu Serif"));
  }
  EXPECT_EQ(a->Text_contents()->string(), QStringLiteral("First"));
  EXPECT_EQ(b->Text_contents()->string(), QStringLiteral("Second"));
  EXPECT_TRUE(texts().Text_font_value->text().contains(QStringLiteral("30.00")));

  // An alignment or case combo with nothing chosen leaves the field.
  texts().Text_case_combo->setCurrentIndex(1);
  texts().Text_align_combo->setCurrentIndex(-1);
  texts().Text_case_combo->setCurrentIndex(-1);
  EXPECT_EQ(a->text_alignmnet, 2);
  EXPECT_EQ(a->text_transfrom_case, 1);
}

TEST_F(Object_Panels, DatesGoOverTheSelectionOrAtTheCaret) {
  auto t = text(QStringLiteral("Party"));
  select({t});
  texts().now = [] { return QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9)); };
  texts().Text_Date_style->setCurrentIndex(texts().Text_Date_style->findText(QStringLiteral("yyyy-MM-dd")));
  // Loading selected the whole text: the date replaces it.
  texts().Text_Insert_Date_btn->click();
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("2026-03-07"));
  QTextCursor caret = texts().Text_value_Edit->textCursor();
  caret.setPosition(4);
  texts().Text_value_Edit->setTextCursor(caret);
  texts().Text_Time_style->setCurrentIndex(texts().Text_Time_style->findText(QStringLiteral("HH:mm:ss")));
  texts().Text_Insert_Time_btn->click();
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("202614:05:09-03-07"));
  // No pattern: the message, nothing changes.
  texts().Text_Date_style->setCurrentIndex(-1);
  texts().Text_Insert_Date_btn->click();
  EXPECT_EQ(platform.messages.value(0).trimmed(), QStringLiteral("Please select Date format."));
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("202614:05:09-03-07"));
}

// Both font dialogs open at the font they change, drawn as it shows (a stored PostScript
// name is no installed family); an answer that changes the size only keeps the font's
// name and style.
TEST_F(Object_Panels, FontDialogsOpenAtTheFontTheyChange) {
  auto t = text(QStringLiteral("Hello"));
  const struct {
    const char* what;
    std::function<void(const QFont&)> set;  // the font, shown in its panel
    std::function<QFont()> get;
    std::function<void()> press;
  } cases[] = {
      {"text",
       [&](const QFont& f) {
         t->text_ctrl_font = f;
         window->Show_RHS_Properties(nullptr);
         select({t});
       },
       [&] { return t->text_ctrl_font; }, [&] { texts().Text_font_btn->click(); }},
      {"all texts",
       [&](const QFont& f) {
         window->Front_card_Prop.Card_Content_font = f;
         window->Show_RHS_Properties(nullptr);
       },
       [&] { return window->All_Text_font(); },
       [&] { window->card_panel->All_Text_font_btn->click(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    platform.font_requests.clear();
    c.set(Make_Font(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14));
    QFont bigger = Drawing_Font(Make_Font(QStringLiteral("TimesNewRomanPS-ItalicMT"), 20));
    bigger.setStyleName(QStringLiteral("Italic"));
    platform.font_answers.push_back(bigger);
    c.press();
    ASSERT_EQ(platform.font_requests.size(), 1);
    const QFont opened = platform.font_requests[0].initial;
    EXPECT_EQ(opened.family(), QStringLiteral("Liberation Serif"));
    EXPECT_TRUE(opened.italic());
    EXPECT_FALSE(opened.bold());
    EXPECT_DOUBLE_EQ(opened.pointSizeF(), 14);
    EXPECT_EQ(Font_Name(c.get()), QStringLiteral("TimesNewRomanPS-ItalicMT"));
    EXPECT_DOUBLE_EQ(c.get().pointSizeF(), 20);

    // Another face is taken as chosen.
    QFont bold = Make_Font(QStringLiteral("Liberation Sans"), 12);
    bold.setBold(true);
    platform.font_answers.push_back(bold);
    c.press();
    ASSERT_EQ(platform.font_requests.size(), 2);
    EXPECT_DOUBLE_EQ(platform.font_requests[1].initial.pointSizeF(), 20);
    EXPECT_EQ(Font_Name(c.get()), QStringLiteral("Liberation Sans"));
    EXPECT_TRUE(c.get().bold());
    EXPECT_DOUBLE_EQ(c.get().pointSizeF(), 12);
  }
}

TEST_F(Object_Panels, TemplateButtonFollowsTheControlId) {
  const struct {
    const char* id;
    const char* title;  // "" hidden
  } cases[] = {{"PARTY_TITLE", "Use Template Title"}, {"PARTY_MSG", "Use Template Message"}, {"", ""}, {"OTHER", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    auto t = text(QStringLiteral("x"));
    t->control_ID = QString::fromLatin1(c.id);
    select({t});
    EXPECT_EQ(!texts().insert_template_btn->isHidden(), *c.title != 0);
    if (*c.title) {
      EXPECT_EQ(texts().insert_template_btn->text(), QString::fromLatin1(c.title));
    }
    EXPECT_TRUE(texts().insert_template_btn->isEnabled());  // opens the greeting picker
  }
}

// A greeting would overwrite the value a bound text takes from its series or column: the
// template button works for a typed text only, whether the source is chosen or loaded.
TEST_F(Object_Panels, TemplateButtonOnlyForATypedText) {
  write_series(QStringLiteral("Names"), "Anna\n");
  Data_From_Excel* table = Data_From_Excel::defaultInstance();
  table->Set_Columns({QStringLiteral("Name")});
  table->Create_List_By_Array({QStringLiteral("Ben")}, 1);
  window->Add_Excel_Col_Name_In_Combo(sources().Data_source_type);
  auto t = text(QStringLiteral("Hello"));
  t->control_ID = QStringLiteral("PARTY_TITLE");
  select({t});
  const struct {
    int item;  // 0 Manual, 1 Series, 2 Excel
    bool live;
  } cases[] = {{1, false}, {0, true}, {2, false}, {0, true}, {1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    sources().Data_source_type->setCurrentIndex(c.item);
    EXPECT_EQ(texts().insert_template_btn->isEnabled(), c.live);
  }
  for (int source : {2, 0, 1}) {
    SCOPED_TRACE(source);
    t->data_source_type = source;
    window->Show_RHS_Properties(nullptr);
    select({t});
    EXPECT_EQ(texts().insert_template_btn->isEnabled(), source == 0);
  }
  table->Set_Columns({});
}

// Lock and Unlock of several objects show the panels of the last one while the canvas
// remembers the front-most: loading the panels writes into neither of them. (The manual
// text is shown first: a bound text shown in the sidebar takes its series' first value.)
TEST_F(Object_Panels, LoadingThePanelsWritesIntoNoObject) {
  write_series(QStringLiteral("Names"), "Anna\nBen\n");
  write_series(QStringLiteral("Cities"), "Oslo\n");
  for (QToolButton* button : {window->Lock_btn, window->Unlock_btn}) {
    SCOPED_TRACE(button->objectName().toStdString());
    document.Clear_All_Undo_Redo();
    auto bound = text(QStringLiteral("stale"));
    bound->data_source_type = 1;
    bound->batch_list_name = QStringLiteral("Names");
    bound->batch_list_index = 1;
    auto other = text(QStringLiteral("Rome"));
    other->data_source_type = 1;
    other->batch_list_name = QStringLiteral("Cities");
    other->batch_list_index = 0;
    auto manual = text(QStringLiteral("typed"));
    for (const auto& t : {bound, other, manual}) t->ctrl_is_locked = button == window->Unlock_btn;
    select({manual, bound, other});
    button->click();
    EXPECT_EQ(bound->data_source_type, 1);
    EXPECT_EQ(bound->batch_list_name, QStringLiteral("Names"));
    EXPECT_EQ(bound->batch_list_index, 1);
    EXPECT_EQ(bound->Text_contents()->string(), QStringLiteral("stale"));
    EXPECT_EQ(other->batch_list_name, QStringLiteral("Cities"));
    EXPECT_EQ(other->Text_contents()->string(), QStringLiteral("Rome"));
    EXPECT_EQ(manual->data_source_type, 0);
    EXPECT_EQ(manual->Text_contents()->string(), QStringLiteral("typed"));

    // Shown alone, a bound text shows its binding and its series' first value; the
    // binding and the other texts stay as they were.
    select({other});
    EXPECT_EQ(sources().Data_source_type->currentIndex(), 1);
    EXPECT_EQ(sources().Batch_Series->currentText(), QStringLiteral("Cities"));
    EXPECT_EQ(other->Text_contents()->string(), QStringLiteral("Oslo"));
    EXPECT_EQ(other->batch_list_index, 0);
    EXPECT_EQ(bound->Text_contents()->string(), QStringLiteral("stale"));
    EXPECT_EQ(manual->Text_contents()->string(), QStringLiteral("typed"));
  }
}

// ---- Picture and signature panels ----------------------------------------------------------

TEST_F(Object_Panels, SlidersMoveFieldAndPictureAndResetAsksFirst) {
  const QString path = picture_file("halves.png");
  auto p = add<CRDImage>({0, 0, 80, 40});
  p->setFilePath(path);
  p->img_trnsp_val = 100;
  p->sat_val = p->con_val = 1;
  select({p});
  EXPECT_EQ(window->sett_tab->widget(0), window->datasource_tab);
  EXPECT_EQ(pictures().Manual_image_path->text(), path);
  EXPECT_TRUE(pictures().manual_brws_box->isVisible());

  pictures().slider(Picture_Slider::Blur)->setDecimalValue(2.5);
  EXPECT_FLOAT_EQ(p->blr_val, 2.5f);
  EXPECT_EQ(pictures().slider_values[int(Picture_Slider::Blur)]->text(), QStringLiteral("2.50"));
  pictures().slider(Picture_Slider::Blur)->setDecimalValue(0);
  pictures().Image_FIH_chk->click();
  pictures().Image_Gray_Scale_chk->click();
  pictures().slider(Picture_Slider::Saturation)->setDecimalValue(1.5);
  EXPECT_TRUE(p->_isFlippedHorizontally);
  EXPECT_TRUE(p->gray_Scale);
  EXPECT_FALSE(Near(rendered().pixelColor(10, 20), Qt::red));

  // No: nothing happens.
  pictures().Image_reset->click();
  EXPECT_EQ(platform.questions.value(0), QStringLiteral("Are you sure you want to continue?"));
  EXPECT_TRUE(p->_isFlippedHorizontally);
  platform.yes_no_answers.push_back(true);
  pictures().Image_reset->click();
  const float neutral[] = {100, 0, 0, 1, 0, 1, 0, 0, 0};
  for (int i = 0; i < Picture_Slider_Count; ++i) EXPECT_EQ(Slider_Field(*p, Picture_Slider(i)), neutral[i]) << i;
  EXPECT_FALSE(p->_isFlippedHorizontally || p->gray_Scale || p->Sepia || p->invert_clr);
  const QImage side = rendered();
  EXPECT_TRUE(Near(side.pixelColor(10, 20), Qt::red)) << side.pixelColor(10, 20);
  EXPECT_TRUE(Near(side.pixelColor(70, 20), Qt::blue)) << side.pixelColor(70, 20);
}

// With several pictures selected a slider writes its own value only, and no setting but
// the file choice gives one picture another's file or reloads a selected signature.
TEST_F(Object_Panels, ASliderWritesItsOwnValueOnly) {
  const QString first = picture_file("first.png");
  const QString second = picture_file("second.png", Qt::green, Qt::green);
  auto p = add<CRDImage>({0, 0, 80, 40});
  p->setFilePath(first);
  auto q = add<CRDImage>({100, 0, 40, 20});
  q->setFilePath(second);
  q->sat_val = 1.75f;
  q->hue_val = 0.5f;
  auto sign = add<CRDSignature>({0, 60, 60, 30});
  sign->_file_path = QStringLiteral("/pictures/sign.png");
  select({p, q, sign});
  const auto keeps_its_own = [&] {
    EXPECT_EQ(p->_file_path, first);
    EXPECT_EQ(q->_file_path, second);
    EXPECT_TRUE(Near(std::dynamic_pointer_cast<CRDImage>(q)->_contents.image().pixelColor(5, 5),
                     Qt::green));
    EXPECT_EQ(sign->_file_path, QStringLiteral("/pictures/sign.png"));
  };

  const struct {
    Picture_Slider slider;
    double value;
  } moves[] = {{Picture_Slider::Blur, 2}, {Picture_Slider::Rotation, 90},
               {Picture_Slider::Transparency, 40}};
  for (const auto& m : moves) {
    SCOPED_TRACE(int(m.slider));
    pictures().slider(m.slider)->setDecimalValue(m.value);
    for (const auto& g : {p, q, sign}) EXPECT_FLOAT_EQ(Slider_Field(*g, m.slider), float(m.value));
    EXPECT_FLOAT_EQ(q->sat_val, 1.75f);  // the panel shows the first picture's 1
    EXPECT_FLOAT_EQ(q->hue_val, 0.5f);
    keeps_its_own();
  }
  pictures().Image_Sepia_chk->click();
  pictures().border.check->click();
  EXPECT_TRUE(q->Sepia);
  keeps_its_own();
}

TEST_F(Object_Panels, PictureToolsChooseAFileOrALibraryPictureFirst) {
  const QString path = picture_file("chosen.png");
  // Tool 8: cancelled makes nothing; a chosen file makes the picture of it.
  press_tool("Image_Tool_btn");
  EXPECT_TRUE(document.graphics().empty());
  EXPECT_EQ(Library_Selected_Image, QString());
  // Making a picture puts the panel's adjustments back to neutral.
  pictures().slider(Picture_Slider::Blur)->setDecimalValue(3);
  pictures().Image_Sepia_chk->setChecked(true);
  platform.open_answers.push_back({path});
  press_tool("Image_Tool_btn");
  ASSERT_EQ(document.graphics().size(), 1u);
  EXPECT_EQ(pictures().slider(Picture_Slider::Blur)->decimalValue(), 0);
  EXPECT_FALSE(pictures().Image_Sepia_chk->isChecked());
  auto made = std::dynamic_pointer_cast<CRDImage>(document.graphics()[0]);
  ASSERT_TRUE(made);
  EXPECT_EQ(made->_file_path, path);
  EXPECT_EQ(made->_contents.size(), QSizeF(40, 20));
  EXPECT_EQ(pictures().Manual_image_path->text(), path);
  EXPECT_EQ(platform.open_requests.value(0).extensions, Picture_File_Types());

  // Tool 9: cancelled makes nothing; OK makes the library's picture.
  library_answers(-1);
  press_tool("Image_Library_Tool_btn");
  EXPECT_EQ(document.graphics().size(), 1u);
  library_answers(0);
  press_tool("Image_Library_Tool_btn");
  ASSERT_EQ(document.graphics().size(), 2u);
  EXPECT_EQ(document.graphics()[0]->_file_path, lib_window_sel_file);
  EXPECT_FALSE(lib_window_sel_file.isEmpty());
  EXPECT_FALSE(std::dynamic_pointer_cast<CRDImage>(document.graphics()[0])->_contents.isNull());
  EXPECT_EQ(window->Selected_Control_Tool, 0);
}

TEST_F(Object_Panels, BrowseAndLibraryLoadTheShownPicture) {
  const QString first = picture_file("first.png");
  const QString second = picture_file("second.png", Qt::green, Qt::green);
  auto p = add<CRDImage>({0, 0, 80, 40});
  p->setFilePath(first);
  auto other = add<CRDImage>({100, 0, 40, 20});
  other->setFilePath(first);
  select({p, other});
  // Cancelled: nothing changes.
  pictures().Manual_Image_Browse->click();
  EXPECT_EQ(p->_file_path, first);
  platform.open_answers.push_back({second});
  pictures().Manual_Image_Browse->click();
  // Every selected picture now shows the path it holds.
  for (const auto& g : {p, other}) {
    EXPECT_EQ(g->_file_path, second);
    EXPECT_TRUE(Near(std::dynamic_pointer_cast<CRDImage>(g)->_contents.image().pixelColor(5, 5), Qt::green));
  }
  library_answers(1);
  pictures().Manual_Library_Browse->click();
  EXPECT_EQ(p->_file_path, lib_window_sel_file);
  EXPECT_EQ(pictures().Manual_image_path->text(), lib_window_sel_file);
}

// What the window lets a user place, its design file opens again whole: a picture that
// would take the design's pictures past what a design opens with is refused where it comes
// in (picture tool, Browse, paste), and pictures of one file count once.
TEST_F(Object_Panels, PicturesComeInOnlyWhileTheDesignWouldOpenWhole) {
  // Four distinct pictures of 25 million pixels: three fit the 96 million, four do not.
  QStringList big;
  for (int i = 0; i < 5; ++i) {
    QImage grey(5000, 5000, QImage::Format_Grayscale8);
    grey.fill(40 * i);
    big << scratch.filePath(QStringLiteral("big%1.png").arg(i));
    ASSERT_TRUE(grey.save(big.last()));
  }
  const auto place = [&](const QString& path) {
    platform.open_answers.push_back({path});
    press_tool("Image_Tool_btn");
  };
  for (int i : {0, 1, 2, 0}) place(big[i]);  // the second picture of file 0 costs nothing
  ASSERT_EQ(document.graphics().size(), 4u);
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;

  place(big[3]);
  EXPECT_EQ(document.graphics().size(), 4u);
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_EQ(platform.messages[0].toStdString(),
            "\nThe picture was not placed. The picture has 5000 x 5000 pixels, and the pictures "
            "of one design may hold 96 million pixels together (one picture 32 million): this "
            "design's take 75 million already. Use a smaller picture, or remove pictures first.");
  EXPECT_EQ(pictures().Manual_image_path->text(), big[0]) << "the selected picture's file";

  // Browse: a picture whose file another picture still shows frees nothing; the only
  // picture of a file gives its share to the one that replaces it.
  const auto image_of = [&](const QString& path) {
    for (const auto& g : document.graphics())
      if (g->_file_path == path) return g;
    return std::shared_ptr<CRDGraphic>();
  };
  platform.messages.clear();
  select({image_of(big[0])});
  platform.open_answers.push_back({big[3]});
  pictures().Manual_Image_Browse->click();
  EXPECT_EQ(image_of(big[3]), nullptr);
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_TRUE(platform.messages[0].startsWith("\nThe picture was not changed. The picture has"))
      << platform.messages[0].toStdString();
  EXPECT_EQ(pictures().Manual_image_path->text(), big[0]);
  platform.messages.clear();
  pictures().Manual_image_path->setText(big[3]);  // typed into the field
  emit pictures().Manual_image_path->editingFinished();
  EXPECT_EQ(image_of(big[3]), nullptr);
  EXPECT_EQ(platform.messages.size(), 1);
  EXPECT_EQ(pictures().Manual_image_path->text(), big[0]);
  platform.messages.clear();
  const auto second = image_of(big[1]);
  select({second});
  platform.open_answers.push_back({big[3]});
  pictures().Manual_Image_Browse->click();
  EXPECT_EQ(second->_file_path, big[3]);
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;

  // Paste: copies of the design's pictures cost nothing; a new one past the budget is left
  // out, and the user is told.
  select({image_of(big[0])});
  window->current_canvas()->copy();
  window->current_canvas()->paste();
  EXPECT_EQ(document.graphics().size(), 5u);
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
  {
    auto stranger = std::make_shared<CRDImage>();
    stranger->setBounds({0, 0, 50, 50});
    stranger->_file_path = big[4];
    auto* data = new QMimeData;
    data->setData(CRDGraphicViewPasteboardMimeType, pasteboardDataWithGraphics({stranger}));
    QGuiApplication::clipboard()->setMimeData(data);
  }
  window->current_canvas()->paste();
  EXPECT_EQ(document.graphics().size(), 5u) << "no empty frame naming the file is pasted";
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_TRUE(platform.messages[0].startsWith("\n1 object was not pasted: "))
      << platform.messages[0].toStdString();
  EXPECT_TRUE(platform.messages[0].endsWith(
      "its picture is past that:\n" + big[4] + " (5000 x 5000 pixels)"))
      << platform.messages[0].toStdString();

  // The design the window holds opens again with every picture it shows.
  EXPECT_EQ(Pictures_Shown_When_Reopened("pictures.dcard"), 5);
}

// The pictures of the back count with those of the front: with two of 25 million pixels on
// the back, a third fits on the front (75 of the 96 million) and a fourth is refused there;
// the design the window holds opens again with every picture it shows.
TEST_F(Object_Panels, PicturesOnTheBackCountWhenAPictureIsPlacedOnTheFront) {
  QStringList big;
  for (int i = 0; i < 4; ++i) {
    QImage grey(5000, 5000, QImage::Format_Grayscale8);
    grey.fill(30 + 50 * i);
    big << scratch.filePath(QStringLiteral("big%1.png").arg(i));
    ASSERT_TRUE(grey.save(big.last()));
  }
  const auto place = [&](const QString& path) {
    platform.open_answers.push_back({path});
    press_tool("Image_Tool_btn");
  };
  window->Back_Side_btn->click();
  ASSERT_EQ(Card_Front_Or_Back, 1);
  place(big[0]);
  place(big[1]);
  ASSERT_EQ(document.list(CRDDocument::Side::Back).size(), 2u);
  window->Front_Card_Btn->click();
  ASSERT_EQ(Card_Front_Or_Back, 0);
  place(big[2]);
  ASSERT_EQ(document.list(CRDDocument::Side::Front).size(), 1u);
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
  place(big[3]);
  EXPECT_EQ(document.list(CRDDocument::Side::Front).size(), 1u);
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_TRUE(platform.messages[0].contains("this design's take 75 million already"))
      << platform.messages[0].toStdString();

  EXPECT_EQ(Pictures_Shown_When_Reopened("both_sides.dcard"), 3);
}

TEST_F(Object_Panels, SignaturesShowTheirOwnPathAndKeepItWithANewBorder) {
  auto a = add<CRDSignature>();
  a->Set_Sign_Or_FP(QStringLiteral("S"));
  a->_file_path = QStringLiteral("/pictures/a.png");
  auto b = add<CRDSignature>();
  b->Set_Sign_Or_FP(QStringLiteral("F"));
  b->_file_path = QStringLiteral("/pictures/b.png");
  b->_isDrawingStroke = false;
  select({a});
  EXPECT_EQ(window->signature_panel->Sign_image_path->text(), QStringLiteral("/pictures/a.png"));
  select({b});
  EXPECT_EQ(window->sett_tab->tabText(0), QStringLiteral("FingrePrint Properties"));
  EXPECT_EQ(window->signature_panel->Sign_image_path->text(), QStringLiteral("/pictures/b.png"));
  window->signature_panel->border.check->click();
  window->signature_panel->border.width->setValue(4);
  EXPECT_TRUE(b->_isDrawingStroke);
  EXPECT_DOUBLE_EQ(b->_strokeWidth, 4);
  EXPECT_EQ(b->_file_path, QStringLiteral("/pictures/b.png"));
  EXPECT_EQ(a->_file_path, QStringLiteral("/pictures/a.png"));
}

TEST(Picture_Files, AFifoOrADeviceLoadsNothingAtOnce) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath(QStringLiteral("pipe.png"));
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  test_support::Watchdog watchdog("opening a FIFO and a device as pictures");
  CRDImage picture;
  picture.setFilePath(fifo);
  EXPECT_TRUE(picture._contents.isNull());
  EXPECT_EQ(picture._file_path, fifo);
  EXPECT_TRUE(Picture::fromFile(QStringLiteral("/dev/zero")).isNull());
}

// ---- Data sources --------------------------------------------------------------------------

TEST_F(Object_Panels, SeriesChoiceListsNamesAndShowsTheFirstLine) {
  write_series(QStringLiteral("Names"), "Anna\nBen\n");
  write_series(QStringLiteral("cities"), "Oslo\n");
  write_series(QStringLiteral("Addresses"), "1 Main St\n");
  auto t = text(QStringLiteral("typed"));
  t->batch_list_name = QStringLiteral("Names");
  select({t});
  EXPECT_EQ(sources().Data_source_type->currentIndex(), 0);
  EXPECT_FALSE(sources().Batch_Series->isEnabled());
  EXPECT_FALSE(texts().Text_value_Edit->isReadOnly());

  sources().Data_source_type->setCurrentIndex(1);
  QStringList items;
  for (int i = 0; i < sources().Batch_Series->count(); ++i) items << sources().Batch_Series->itemText(i);
  EXPECT_EQ(items, (QStringList{"Addresses", "cities", "Names"}));
  EXPECT_EQ(sources().Batch_Series->currentText(), QStringLiteral("Names"));
  EXPECT_EQ(t->data_source_type, 1);
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Anna"));
  EXPECT_EQ(texts().Text_value_Edit->toPlainText(), QStringLiteral("Anna"));
  EXPECT_TRUE(texts().Text_value_Edit->isReadOnly());

  sources().Batch_Series->setCurrentIndex(1);
  EXPECT_EQ(t->batch_list_name, QStringLiteral("cities"));
  EXPECT_EQ(t->batch_list_index, 1);
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Oslo"));

  // View shows the chosen series in the viewer.
  QString viewed;
  platform.on_run_modal = [&viewed](QObject* w) {
    if (auto* viewer = qobject_cast<View_Data_Series*>(w)) viewed = viewer->file_name;
    return 1;
  };
  sources().view_series_btn->click();
  EXPECT_EQ(viewed, QStringLiteral("cities"));

  // Manual: editable again, binding and text kept; a series change then does nothing.
  sources().Data_source_type->setCurrentIndex(0);
  EXPECT_EQ(t->data_source_type, 0);
  EXPECT_EQ(t->batch_list_name, QStringLiteral("cities"));
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Oslo"));
  window->Select_Combo_Item(sources().Batch_Series, 0);
  EXPECT_EQ(t->batch_list_name, QStringLiteral("cities"));
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Oslo"));

  // Selecting a bound text again shows its binding and fetches its first value anew;
  // choosing the series already shown fetches it again too.
  t->data_source_type = 1;
  t->Text_contents()->replaceCharacters(QStringLiteral("stale"));
  window->Show_RHS_Properties(nullptr);
  select({t});
  EXPECT_EQ(sources().Batch_Series->currentText(), QStringLiteral("cities"));
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Oslo"));
  EXPECT_EQ(texts().Text_value_Edit->toPlainText(), QStringLiteral("Oslo"));
  write_series(QStringLiteral("cities"), "Bergen\n");
  choose_shown_item(sources().Batch_Series);
  EXPECT_EQ(sources().Batch_Series->currentIndex(), 1);
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Bergen"));
  EXPECT_EQ(texts().Text_value_Edit->toPlainText(), QStringLiteral("Bergen"));
  // Another item chosen by the user is fetched once and bound.
  sources().Batch_Series->showPopup();
  QTest::keyClick(sources().Batch_Series->view(), Qt::Key_Down);
  QTest::keyClick(sources().Batch_Series->view(), Qt::Key_Return);
  EXPECT_EQ(t->batch_list_name, QStringLiteral("Names"));
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Anna"));
}

// Selecting a picture or a text bound to a series or column shows the first value of
// what it is bound to, in that graphic only: its binding and the other selected graphics
// stay as they are.
TEST_F(Object_Panels, SelectingABoundGraphicShowsItsFirstValue) {
  const QString green = picture_file("green.png", Qt::green, Qt::green);
  write_series(QStringLiteral("Photos"), (green + QStringLiteral("\n")).toUtf8());
  write_series(QStringLiteral("Names"), "Anna\nBen\n");
  Data_From_Excel* table = Data_From_Excel::defaultInstance();
  table->Set_Columns({QStringLiteral("Name"), QStringLiteral("City")});
  table->Create_List_By_Array({QStringLiteral("Carla"), QStringLiteral("Oslo")}, 2);
  QComboBox* source = sources().Data_source_type;
  window->Add_Excel_Col_Name_In_Combo(source);

  auto picture = add<CRDImage>({0, 0, 80, 40});
  picture->img_trnsp_val = 100;
  picture->sat_val = picture->con_val = 1;
  picture->data_source_type = 1;
  picture->batch_list_name = QStringLiteral("Photos");
  picture->batch_list_index = 7;  // not where the combo lists it: kept
  auto series_text = text(QStringLiteral("stale"));
  series_text->data_source_type = 1;
  series_text->batch_list_name = QStringLiteral("Names");
  auto column_text = text(QStringLiteral("stale"));
  column_text->data_source_type = 2;
  column_text->excel_col_indx = 2;
  auto typed = text(QStringLiteral("typed"));
  typed->batch_list_name = QStringLiteral("Names");  // a binding left from before: not used

  select({picture, series_text});
  EXPECT_EQ(picture->_file_path, green);
  EXPECT_EQ(pictures().Manual_image_path->text(), green);
  EXPECT_EQ(picture->batch_list_index, 7);
  EXPECT_EQ(picture->data_source_type, 1);
  EXPECT_EQ(series_text->Text_contents()->string(), QStringLiteral("stale"));
  EXPECT_TRUE(Near(rendered().pixelColor(40, 20), Qt::green));

  struct Case {
    std::shared_ptr<CRDGraphic> shown;
    QString text;
  };
  for (const Case& c : {Case{series_text, QStringLiteral("Anna")}, Case{column_text, QStringLiteral("Oslo")},
                        Case{typed, QStringLiteral("typed")}}) {
    SCOPED_TRACE(c.text.toStdString());
    const int source_before = c.shown->data_source_type;
    select({c.shown});
    EXPECT_EQ(c.shown->Text_contents()->string(), c.text);
    EXPECT_EQ(texts().Text_value_Edit->toPlainText(), c.text);
    EXPECT_EQ(c.shown->data_source_type, source_before);
  }
  EXPECT_EQ(column_text->excel_col_indx, 2);
  table->Set_Columns({});
}

TEST_F(Object_Panels, APictureBoundToASeriesShowsThePictureItNames) {
  const QString path = picture_file("bound.png", Qt::green, Qt::green);
  write_series(QStringLiteral("Photos"), (path + QStringLiteral("\n/nowhere.png\n")).toUtf8());
  auto p = add<CRDImage>({0, 0, 80, 40});
  p->img_trnsp_val = 100;
  p->sat_val = p->con_val = 1;
  select({p});
  sources().Data_source_type->setCurrentIndex(1);
  sources().Batch_Series->setCurrentIndex(0);
  EXPECT_EQ(p->_file_path, path);
  EXPECT_EQ(pictures().Manual_image_path->text(), path);
  EXPECT_FALSE(pictures().manual_brws_box->isEnabled() && pictures().Manual_Image_Browse->isEnabled());
  EXPECT_TRUE(Near(rendered().pixelColor(40, 20), Qt::green));
}

TEST_F(Object_Panels, WithoutSeriesTheChoiceSaysSoAndKeepsTheSource) {
  auto t = text(QStringLiteral("typed"));
  select({t});
  sources().Data_source_type->setCurrentIndex(1);
  EXPECT_EQ(platform.messages.size(), 1);
  EXPECT_EQ(platform.messages.value(0).trimmed(), QStringLiteral("Please create batch processing series first."));
  EXPECT_EQ(t->data_source_type, 0);
  EXPECT_EQ(sources().Batch_Series->count(), 0);
  // The view button with no series chosen.
  sources().view_series_btn->click();
  EXPECT_EQ(platform.messages.value(1).trimmed(), QStringLiteral("Please select the series."));
  EXPECT_TRUE(platform.modal_runs.isEmpty());
}

TEST_F(Object_Panels, SpreadsheetColumnsBindWithTheExcelChoice) {
  Data_From_Excel* table = Data_From_Excel::defaultInstance();
  table->Set_Columns({QStringLiteral("Name"), QStringLiteral("City")});
  table->Create_List_By_Array({QStringLiteral("Anna"), QStringLiteral("Oslo")}, 2);
  table->Create_List_By_Array({QStringLiteral("Ben"), QStringLiteral("Rome")}, 2);
  QComboBox* source = sources().Data_source_type;
  window->Add_Excel_Col_Name_In_Combo(source);
  window->Add_Excel_Col_Name_In_Combo(source);
  EXPECT_EQ(source->count(), 3);
  EXPECT_EQ(source->itemText(2), QStringLiteral("Excel"));

  auto t = text(QStringLiteral("typed"));
  t->excel_col_indx = 2;
  select({t});
  source->setCurrentIndex(2);
  QStringList items;
  for (int i = 0; i < sources().Batch_Series->count(); ++i) items << sources().Batch_Series->itemText(i);
  EXPECT_EQ(items, table->Column_Titles());
  EXPECT_EQ(items.size(), 3);
  EXPECT_EQ(t->data_source_type, 2);
  EXPECT_EQ(t->excel_col_indx, 2);
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Oslo"));
  sources().Batch_Series->setCurrentIndex(1);
  EXPECT_EQ(t->excel_col_indx, 1);
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("Anna"));
  sources().Batch_Series->setCurrentIndex(0);
  EXPECT_EQ(t->Text_contents()->string(), QStringLiteral("1"));

  // Removed only from three items; a removed choice that was shown reports the change.
  window->Remove_Excel_Col_Name_In_Combo(source);
  EXPECT_EQ(source->count(), 2);
  window->Remove_Excel_Col_Name_In_Combo(source);
  EXPECT_EQ(source->count(), 2);
  table->Set_Columns({});
}

TEST(Design_Binding, ExcelChoiceOnlyBesideTheTwoFixedItems) {
  const QStringList two{"Manual", "Series"}, three{"Manual", "Series", "Excel"};
  EXPECT_EQ(With_Excel_Choice(two), three);
  EXPECT_EQ(With_Excel_Choice(three), three);
  EXPECT_EQ(With_Excel_Choice({"Manual"}), QStringList{"Manual"});
  EXPECT_EQ(Without_Excel_Choice(three), two);
  EXPECT_EQ(Without_Excel_Choice(two), two);
}

TEST_F(Object_Panels, DataSourceHelpShowsItsText) {
  platform.on_run_modal = [](QObject*) { return 1; };
  window->data_source_panel->data_source_help_btn->click();
  EXPECT_EQ(Cutom_Msg_Title, QStringLiteral("Batch Processing Settings Help :"));
  EXPECT_TRUE(Cutom_Msg_Val.startsWith(QStringLiteral("Select Data Source as 'Manual'")));
  EXPECT_EQ(platform.modal_runs.size(), 1);
}

}  // namespace
