// The card side: the card panel writing the side's settings, the sidebar's standard
// buttons, the edit commands and lock, the three sides, the all-text font and colour and
// the design reset. Pixels come from the card renderer.

#include "canvas/CRDRenderingView.h"
#include "library/ui/Card_Wizard.h"
#include "library/ui/Image_Library.h"
#include "model/CRDDocument.h"
#include "model/CRDText.h"
#include "model/Fonts.h"
#include "model/Graphic_Archive.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"
#include "window/Card_Side_Settings.h"
#include "window/Card_Units.h"
#include "window/Panel_Writeback.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Card_Panel.h"
#include "window/ui/Color_Well.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUrl>

namespace {

QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }
bool Near(const QColor& a, const QColor& b, int tolerance = 10) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

class Card_Side : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    ASSERT_TRUE(scratch.isValid());
    window = std::make_unique<CRDWindowController>(&document,
                                                   scratch.filePath(QStringLiteral("Lumigrove")));
    panel = window->card_panel;
    QGuiApplication::clipboard()->clear();
  }
  void TearDown() override {
    window.reset();
    QGuiApplication::clipboard()->clear();
    Design_Test::TearDown();
  }

  std::shared_ptr<CRDGraphic> add(CRDDocument::Side side, std::shared_ptr<CRDGraphic> graphic,
                                  const QRectF& bounds = {20, 20, 40, 30}) {
    graphic->setBounds(bounds);
    document.Enable_Disable_Undo_Registraion(false);
    EXPECT_TRUE(document.insertGraphics(side, {graphic}, {int(document.list(side).size())}));
    document.Enable_Disable_Undo_Registraion(true);
    return graphic;
  }
  std::shared_ptr<CRDGraphic> shape(CRDDocument::Side side, const QRectF& bounds = {20, 20, 40, 30}) {
    auto s = std::make_shared<Shape_Control>();
    s->Set_Shape_Type(QStringLiteral("R"));
    return add(side, s, bounds);
  }
  // The current side as every output renders it, at one pixel a point.
  QImage render() const {
    return Render_Card_Picture(Current_Card_Side({}), 72).image();
  }
  // A picture file of one colour in the scratch folder.
  QString picture_file(const char* name, QColor colour, QSize size = {40, 20}) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    const QString path = scratch.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(image.save(path));
    return path;
  }
  void mouse(CRDGraphicView* canvas, QEvent::Type type, QPointF point) {
    test_support::Send_Canvas_Mouse(canvas, canvas->zoomFactor(), type, point);
  }
  // Selects an object of the canvas as a click does: the sidebar shows it.
  void select(CRDGraphicView* canvas, int index) {
    canvas->changeSelectionIndexes({index});
    window->Show_RHS_Properties(canvas->graphics()[size_t(index)]);
  }
  // The library answers OK with the picture at that row of its listing.
  void library_chooses(int row) {
    platform.on_run_modal = [row](QObject* window) {
      auto* library = qobject_cast<Image_Library*>(window);
      if (!library) return 0;
      library->imageBrowser->setCurrentIndex(library->images->index(row));
      library->OK_Clicked();
      return 0;
    };
  }

  platform::Scoped_Scripted_Platform platform;
  CRDDocument document;
  QTemporaryDir scratch;
  std::unique_ptr<CRDWindowController> window;
  Card_Panel* panel = nullptr;
};

// ---- Writing the panel ---------------------------------------------------------------------

TEST(Card_Panel_Values, EveryControlLandsInItsField) {
  Card_Panel_Values v;
  v.border_on = true;
  v.border_color = CRDColor::rgb(0, 0, 1, 0.7);
  v.border_width = 3;
  v.border_style = 2;
  v.fill_on = true;
  v.fill_kind = QStringLiteral("H");
  v.fill_color = CRDColor::rgb(1, 0, 0);
  v.gradient_start = CRDColor::rgb(0, 1, 0);
  v.gradient_end = CRDColor::rgb(0, 0, 1);
  v.hatch_background = CRDColor::whiteColor();
  v.gradient_angle = 45.7;
  v.hatch_style = QStringLiteral("Dots");
  v.image_path = QStringLiteral("/pictures/a.png");
  v.image_layout = QStringLiteral("Tile");
  v.opacity_percent = 50;
  v.text_color = CRDColor::rgb(1, 0, 0, 0.3);
  v.text_font = Make_Font(QStringLiteral("Arial"), 12);
  v.sides_item = 1;
  v.card_shape = 1;
  v.card_name = QStringLiteral("  Party  ");
  v.front_bounds = QRectF(0, 0, 243, 154);
  v.preset = QStringLiteral("Vertical");
  v.category = QStringLiteral("Paper Card");
  v.size_row = 2;
  v.size_name = QStringLiteral("Durable 1454");

  Card_Property front;
  Write_Card_Panel(v, false, front);
  EXPECT_TRUE(front.Card_border_chk);
  EXPECT_EQ(front.Card_bordr_clr, v.border_color);  // the border keeps its own alpha
  EXPECT_EQ(front.Card_bor_Stepper, 3);
  EXPECT_EQ(front.Card_border_style, QStringLiteral("DO"));
  EXPECT_TRUE(front.Card_fill_chk);
  EXPECT_EQ(front.Card_fill_style, QStringLiteral("H"));
  // The opacity goes into the fill colours, not the border or text colour.
  for (const CRDColor* c : {&front.Card_fill_clr, &front.Card_fill_Grd_1_clr,
                            &front.Card_fill_Grd_2_clr, &front.Card_hatch_bk_clr})
    EXPECT_DOUBLE_EQ(c->alphaComponent(), 0.5);
  EXPECT_FLOAT_EQ(front.Card_alpha_Stepper, 0.5f);
  EXPECT_EQ(front.Card_grad_Stepper, 45);
  EXPECT_EQ(front.Card_hatch_style, QStringLiteral("Dots"));
  EXPECT_EQ(front.Card_BG_Image_Path, QStringLiteral("/pictures/a.png"));
  EXPECT_EQ(front.Card_BG_Image_Layout, QStringLiteral("Tile"));
  EXPECT_EQ(front.Card_Content_clr, v.text_color);
  EXPECT_EQ(front.Card_Content_font, v.text_font);
  EXPECT_EQ(front.Card_Side, QStringLiteral("1"));
  EXPECT_EQ(front.Card_Side_Name, QStringLiteral("F"));
  EXPECT_EQ(front.Card_Shape, QStringLiteral("RR"));
  EXPECT_EQ(front.Card_Name, QStringLiteral("Party"));
  EXPECT_EQ(front.Card_Size, QSizeF(243, 154));
  EXPECT_EQ(front.Card_Preset, QStringLiteral("Vertical"));
  EXPECT_EQ(front.Card_Category, QStringLiteral("Paper Card"));
  EXPECT_EQ(front.Card_Sub_Category, QStringLiteral("Durable 1454"));
  EXPECT_EQ(front.Card_Cat_index, 2);
  EXPECT_EQ(front.Card_Create_Mode, QStringLiteral("W"));

  // Rows whose value depends on another control or on the side.
  struct Case {
    const char* what;
    std::function<void(Card_Panel_Values&)> change;
    bool back;
    std::function<bool(const Card_Property&)> holds;
  };
  const Case cases[] = {
      {"border off keeps colour and width", [](auto& c) { c.border_on = false; c.border_width = 9; },
       false, [](const auto& p) { return !p.Card_border_chk && p.Card_bor_Stepper == 3; }},
      {"no style item keeps the code", [](auto& c) { c.border_style = -1; }, false,
       [](const auto& p) { return p.Card_border_style == QLatin1String("DO"); }},
      {"fill off keeps the plain colour", [](auto& c) { c.fill_on = false; c.fill_color = CRDColor(); },
       false, [](const auto& p) { return p.Card_fill_clr.isValid(); }},
      {"front keeps its kind with the fill off", [](auto& c) { c.fill_on = false; }, false,
       [](const auto& p) { return p.Card_fill_style == QLatin1String("H"); }},
      {"back stores the plain kind with the fill off", [](auto& c) { c.fill_on = false; }, true,
       [](const auto& p) { return p.Card_fill_style == QLatin1String("S"); }},
      {"back side name", [](auto&) {}, true,
       [](const auto& p) { return p.Card_Side_Name == QLatin1String("B"); }},
      {"blank name", [](auto& c) { c.card_name = QStringLiteral("   "); }, false,
       [](const auto& p) { return p.Card_Name == QLatin1String("Untitled"); }},
      {"two sides", [](auto& c) { c.sides_item = 0; }, false,
       [](const auto& p) { return p.Card_Side == QLatin1String("2"); }},
      {"ellipse", [](auto& c) { c.card_shape = 2; }, false,
       [](const auto& p) { return p.Card_Shape == QLatin1String("E"); }},
      {"no size row", [](auto& c) { c.size_row = -1; }, false,
       [](const auto& p) { return p.Card_Cat_index == -1 && p.Card_Sub_Category.isEmpty(); }},
  };
  for (const Case& c : cases) {
    Card_Property side = front;
    Card_Panel_Values changed = v;
    c.change(changed);
    Write_Card_Panel(changed, c.back, side);
    EXPECT_TRUE(c.holds(side)) << c.what;
  }
}

TEST_F(Card_Side, PanelEditsChangeTheCardAndComeBackAfterASideSwitch) {
  // Opacity 50 on a plain red fill; the border stays opaque.
  panel->Card_fill_chk->click();
  panel->Card_fill_clr->setColor(CRDColor::rgb(1, 0, 0));
  panel->Set_Card_Clr();
  panel->Card_alpha_Stepper->setValue(50);
  panel->Card_bor_Stepper->setValue(3);
  EXPECT_FLOAT_EQ(window->Front_card_Prop.Card_alpha_Stepper, 0.5f);
  QImage card = render();
  EXPECT_TRUE(Near(At(card, 120, 77), QColor(255, 128, 128))) << At(card, 120, 77).name();
  EXPECT_TRUE(Near(At(card, 120, 0), Qt::black));

  // A gradient and a hatch pattern take the same opacity.
  panel->Card_gradient_fill_rd->click();
  panel->Card_fill_Grd_1_clr->setColor(CRDColor::rgb(0, 0, 1));
  panel->Card_fill_Grd_2_clr->setColor(CRDColor::rgb(0, 0, 1));
  panel->Set_Card_Clr();
  EXPECT_EQ(window->Front_card_Prop.Card_fill_style, QStringLiteral("G"));
  card = render();
  EXPECT_TRUE(Near(At(card, 120, 77), QColor(128, 128, 255))) << At(card, 120, 77).name();
  panel->Card_Style_fill_rd->click();
  panel->Card_hatch_bk_clr->setColor(CRDColor::rgb(0, 1, 0));
  window->Select_Combo_Item(panel->Card_hatch_style, -1);  // no pattern: the colour alone
  panel->Set_Card_Clr();
  card = render();
  EXPECT_TRUE(Near(At(card, 120, 77), QColor(128, 255, 128))) << At(card, 120, 77).name();

  // A dashed border: "DA" is 8 on, 2 off along the top edge.
  window->Select_Combo_Item(panel->Card_border_style, 1);
  EXPECT_EQ(window->Front_card_Prop.Card_border_style, QStringLiteral("DA"));
  card = render();
  int gaps = 0;
  for (int x = 4; x < 120; ++x) gaps += Near(At(card, x, 0), Qt::black) ? 0 : 1;
  EXPECT_GT(gaps, 10);

  // The outline and the size. Each outline has one name, here as in the card wizard.
  for (int row = 0; row < 3; ++row)
    EXPECT_EQ(panel->card_shape_group->button(row)->text(),
              Card_Wizard::defaultInstance()->matrix_card_shape->button(row)->text());
  EXPECT_EQ(panel->card_shape_group->button(1)->text(), QStringLiteral("Rounded rectangle"));
  panel->card_shape_group->button(2)->click();
  EXPECT_EQ(Card_Shape, 2);
  EXPECT_EQ(window->Front_card_Prop.Card_Shape, QStringLiteral("E"));
  window->width_Stepper->setValue(0);  // a card keeps a size
  EXPECT_GT(window->Front_Canvas_Bounds().width(), 0);
  window->width_Stepper->setValue(100);
  EXPECT_NEAR(window->Front_Canvas_Bounds().width(), 283.46, 0.01);
  EXPECT_NEAR(window->Front_card_Prop.Card_Size.width(), 283.46, 0.01);
  panel->card_name->setText(QStringLiteral("Birthday"));
  emit panel->card_name->editingFinished();
  EXPECT_EQ(window->Front_card_Prop.Card_Name, QStringLiteral("Birthday"));
  window->Select_Combo_Item(window->Sides_ComboBox, 1);
  EXPECT_EQ(CARD_SIDE_STR, QStringLiteral("1"));
  EXPECT_FALSE(window->Back_Side_btn->isEnabled());
  window->Select_Combo_Item(window->Sides_ComboBox, 0);

  // The back side has its own settings; the front's come back with it.
  window->Back_Side_btn->click();
  EXPECT_EQ(Card_Front_Or_Back, 1);
  EXPECT_FALSE(panel->Card_fill_chk->isChecked());
  EXPECT_EQ(panel->Card_alpha_Stepper->value(), 100);
  EXPECT_EQ(panel->card_name->text(), QStringLiteral("Untitled"));
  panel->Card_bor_Stepper->setValue(5);
  EXPECT_EQ(window->Back_card_Prop.Card_bor_Stepper, 5);
  EXPECT_EQ(window->Front_card_Prop.Card_bor_Stepper, 3);
  window->Front_Card_Btn->click();
  EXPECT_TRUE(panel->Card_fill_chk->isChecked());
  EXPECT_TRUE(panel->Card_Style_fill_rd->isChecked());
  EXPECT_EQ(panel->Card_alpha_Stepper->value(), 50);
  EXPECT_EQ(panel->Card_bor_Stepper->value(), 3);
  EXPECT_EQ(panel->Card_border_style->currentIndex(), 1);
  EXPECT_EQ(panel->card_name->text(), QStringLiteral("Birthday"));
  EXPECT_TRUE(panel->card_shape_group->button(2)->isChecked());

  // While the panels fill, nothing is written.
  {
    const Prop_Change_Guard filling;
    panel->Card_bor_Stepper->setValue(7);
  }
  EXPECT_EQ(window->Front_card_Prop.Card_bor_Stepper, 3);
  EXPECT_FALSE(Not_Draw_Only_Prop_Change);
}

// The preset list names the card's preset only while the card has its size: a size of the
// user's own (from the start wizard, or typed) selects none, also once the list is filled
// anew for another orientation.
TEST_F(Card_Side, ThePresetListNamesTheCardsSizeOrNone) {
  auto selected = [&] {
    const QModelIndexList rows = window->ColList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
  };
  EXPECT_EQ(selected(), 0);  // the start card, 243 x 154 points, is CR80

  // The start wizard's 150 x 100 mm, as its hook sets them; then the card's sidebar.
  window->Set_Card_Size_In_Control({150, 100});
  window->SetDocumentCanvasSize(QSizeF(MM_to_Points_Convert(150), MM_to_Points_Convert(100)));
  window->Show_RHS_Properties(nullptr);
  EXPECT_EQ(selected(), -1);
  EXPECT_EQ(window->Front_card_Prop.Card_Cat_index, -1);  // what a saved file keeps
  window->Select_Combo_Item(window->Preset_ComboBox, 1);
  EXPECT_EQ(selected(), -1);
  window->Select_Combo_Item(window->Preset_ComboBox, 0);
  EXPECT_EQ(selected(), -1);

  // Typed sizes: the preset that has one, kept with the side; none again for another.
  window->width_Stepper->setValue(88.9);
  window->height_Stepper->setValue(44.45);
  EXPECT_EQ(selected(), 4);
  EXPECT_EQ(window->Front_card_Prop.Card_Cat_index, 4);
  EXPECT_EQ(window->Front_card_Prop.Card_Sub_Category, QStringLiteral("CR50"));
  window->width_Stepper->setValue(100);
  EXPECT_EQ(selected(), -1);
  EXPECT_EQ(window->Front_card_Prop.Card_Cat_index, -1);
  EXPECT_TRUE(window->Front_card_Prop.Card_Sub_Category.isEmpty());
}

TEST_F(Card_Side, FillCheckBoxAndRadiosEnableTheirControls) {
  panel->Card_fill_chk->click();
  panel->Card_gradient_fill_rd->click();
  EXPECT_TRUE(panel->Card_grad_Stepper->isEnabled());
  EXPECT_FALSE(panel->Card_fill_clr->isEnabled());
  EXPECT_FALSE(panel->Card_Image_path->isEnabled());
  // Off: the box goes grey but the fill kind's controls stay usable; the front keeps "G".
  panel->Card_fill_chk->click();
  EXPECT_FALSE(panel->Card_Style_fill_rd->isEnabled());
  EXPECT_TRUE(panel->Card_grad_Stepper->isEnabled());
  EXPECT_EQ(window->Front_card_Prop.Card_fill_style, QStringLiteral("G"));
  panel->Card_fill_chk->click();
  EXPECT_TRUE(panel->Card_gradient_fill_rd->isChecked());

  panel->Card_border_chk->click();
  EXPECT_FALSE(window->Front_card_Prop.Card_border_chk);
  EXPECT_FALSE(panel->Card_bor_Stepper->isEnabled());
}

TEST_F(Card_Side, BackgroundsFromBrowseAndLibraryOnEitherSide) {
  // The browse button: a red picture stretched over the card, at the side's opacity.
  const QString red = picture_file("red.png", Qt::red);
  platform.open_answers.push_back({red});
  panel->Card_Image_Browse_Btn();
  ASSERT_EQ(platform.open_requests.size(), 1);
  EXPECT_TRUE(platform.open_requests[0].extensions.contains(QStringLiteral("jfif")));
  EXPECT_TRUE(window->Front_card_Prop.Card_fill_chk);
  EXPECT_EQ(window->Front_card_Prop.Card_fill_style, QStringLiteral("I"));
  EXPECT_EQ(panel->Card_Image_path->text(), red);
  EXPECT_TRUE(panel->Card_Image_fill_rd->isChecked());
  QImage card = render();
  EXPECT_TRUE(Near(At(card, 120, 77), Qt::red));
  panel->Card_alpha_Stepper->setValue(50);
  card = render();
  EXPECT_TRUE(Near(At(card, 120, 77), QColor(255, 128, 128))) << At(card, 120, 77).name();

  // Cancelled: nothing changes.
  panel->Card_Image_Browse_Btn();
  EXPECT_EQ(window->Front_card_Prop.Card_BG_Image_Path, red);

  // The toolbar's background button on the back side: a library picture, tiled.
  const QString backgrounds = Resource_Path + QStringLiteral("/Background");
  for (const QString& name : QDir(backgrounds).entryList(QDir::Files)) QFile::remove(backgrounds + "/" + name);
  const QString blue = QDir(backgrounds).filePath(QStringLiteral("blue.png"));
  QImage blue_picture(20, 20, QImage::Format_ARGB32);
  blue_picture.fill(Qt::blue);
  ASSERT_TRUE(blue_picture.save(blue));
  window->Back_Side_btn->click();
  library_chooses(0);
  window->Card_Bckgrnd_btn->click();
  EXPECT_EQ(lib_window_sel_file, blue);
  EXPECT_EQ(window->Back_card_Prop.Card_BG_Image_Path, blue);
  EXPECT_EQ(window->Back_card_Prop.Card_fill_style, QStringLiteral("I"));
  EXPECT_EQ(window->Front_card_Prop.Card_BG_Image_Path, red);
  EXPECT_EQ(window->sett_tab->currentWidget(), window->card_bkgd_tab);
  window->Select_Combo_Item(panel->Card_image_layout, panel->Card_image_layout->findText("Tile"));
  EXPECT_EQ(window->Back_card_Prop.Card_BG_Image_Layout, QStringLiteral("Tile"));
  card = render();
  EXPECT_TRUE(Near(At(card, 120, 77), Qt::blue));
  EXPECT_TRUE(Near(At(card, 230, 140), Qt::blue));

  // The panel's library button, cancelled: the side keeps its picture.
  platform.on_run_modal = nullptr;
  panel->Card_Image_Library_Btn();
  EXPECT_EQ(window->Back_card_Prop.Card_BG_Image_Path, blue);
}

// ---- Standard buttons, edit commands, lock ---------------------------------------------------

TEST_F(Card_Side, StandardButtonsFollowWhatTheSidebarShows) {
  const auto a = shape(CRDDocument::Side::Front);
  struct Buttons {
    bool cut, copy, paste, del, front, back, lock, unlock;
  };
  auto state = [&] {
    return Buttons{window->Cut_btn->isEnabled(),         window->Copy_btn->isEnabled(),
                   window->Paste_btn->isEnabled(),       window->Delete_btn->isEnabled(),
                   window->Begin_Front_btn->isEnabled(), window->Send_Back_btn->isEnabled(),
                   window->Lock_btn->isEnabled(),        window->Unlock_btn->isEnabled()};
  };
  auto expect = [&](Buttons b, const char* what) {
    const Buttons s = state();
    EXPECT_EQ(s.cut, b.cut) << what;
    EXPECT_EQ(s.copy, b.copy) << what;
    EXPECT_EQ(s.paste, b.paste) << what;
    EXPECT_EQ(s.del, b.del) << what;
    EXPECT_EQ(s.front, b.front) << what;
    EXPECT_EQ(s.back, b.back) << what;
    EXPECT_EQ(s.lock, b.lock) << what;
    EXPECT_EQ(s.unlock, b.unlock) << what;
  };
  window->Show_RHS_Properties(nullptr);
  expect({false, false, false, false, false, false, false, false}, "card");
  window->_graphicView->changeSelectionIndexes({0});
  window->Show_RHS_Properties(a);
  expect({true, true, false, true, true, true, true, false}, "object");

  // Copy from the toolbar: Paste follows the clipboard.
  window->Copy_btn->click();
  expect({true, true, true, true, true, true, true, false}, "object after copy");
  window->Lock_btn->click();
  EXPECT_TRUE(a->ctrl_is_locked);
  expect({false, false, false, false, false, false, false, true}, "locked");
  EXPECT_EQ(window->sett_tab->widget(0), window->Lock_tab);
  EXPECT_EQ(window->sett_tab->count(), 1);
  // The locked page says why nothing can be changed and how to change it again.
  QStringList said;
  for (const QLabel* label : window->Lock_tab->findChildren<QLabel*>())
    if (label->isVisibleTo(window->Lock_tab)) said << label->text();
  EXPECT_TRUE(said.join(' ').contains(QStringLiteral("locked"))) << said.join(' ').toStdString();
  EXPECT_TRUE(said.join(' ').contains(QStringLiteral("Unlock"))) << said.join(' ').toStdString();
  window->Unlock_btn->click();
  EXPECT_FALSE(a->ctrl_is_locked);
  EXPECT_EQ(window->sett_tab->widget(0), window->shape_tab);
  expect({true, true, true, true, true, true, true, false}, "unlocked");

  // Lock with nothing selected: the message, and the buttons stay.
  window->_graphicView->changeSelectionIndexes({});
  window->Lock_btn->click();
  EXPECT_EQ(platform.messages.value(0).trimmed(), QStringLiteral("Please select a control to Lock."));
  expect({true, true, true, true, true, true, true, false}, "lock without selection");
  window->Unlock_btn->setEnabled(true);
  window->Unlock_btn->click();
  EXPECT_EQ(platform.messages.value(1).trimmed(), QStringLiteral("Please select a control to Unlock."));
}

TEST_F(Card_Side, PasteFollowsWhatTheClipboardOffers) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  struct Case {
    const char* what;
    std::function<QMimeData*()> data;
    bool paste;
  };
  const Case cases[] = {
      {"our graphics",
       [] {
         auto* d = new QMimeData;
         d->setData(CRDGraphicViewPasteboardMimeType, QByteArray("x"));
         return d;
       },
       true},
      {"our graphics with file names",
       [] {
         auto* d = new QMimeData;
         d->setUrls({QUrl::fromLocalFile("/tmp/a.png")});
         d->setData(CRDGraphicViewPasteboardMimeType, QByteArray("x"));
         return d;
       },
       true},
      {"text",
       [] {
         auto* d = new QMimeData;
         d->setText("hello");
         return d;
       },
       false},
      {"file names",
       [] {
         auto* d = new QMimeData;
         d->setUrls({QUrl::fromLocalFile("/tmp/a.png")});
         return d;
       },
       false},
      {"nothing", [] { return new QMimeData; }, false},
  };
  for (const Case& c : cases) {
    clipboard->setMimeData(c.data());
    window->Set_Paste_Button_Status();
    EXPECT_EQ(window->Paste_btn->isEnabled(), c.paste) << c.what;
  }
}

TEST_F(Card_Side, EditCommandsActOnTheCurrentRealSide) {
  const auto front = shape(CRDDocument::Side::Front);
  const auto back = shape(CRDDocument::Side::Back, {60, 60, 20, 20});
  window->Back_Side_btn->click();
  window->Temp_Card_Btn->click();  // the back side's objects; commands still go to the back
  select(window->_graphicView_BACK, 0);
  window->Copy_btn->click();
  window->Paste_btn->click();
  EXPECT_EQ(document.graphics_back().size(), 2u);
  EXPECT_EQ(document.graphics().size(), 1u);
  select(window->_graphicView_BACK, 0);
  window->Delete_btn->click();
  EXPECT_EQ(document.graphics_back().size(), 1u);

  // Undo and Redo of the front side from the toolbar.
  window->Front_Card_Btn->click();
  select(window->_graphicView, 0);
  window->Copy_btn->click();
  window->Paste_btn->click();
  QCoreApplication::processEvents();
  EXPECT_EQ(document.graphics().size(), 2u);
  EXPECT_TRUE(window->Undo_btn->isEnabled());
  window->Undo_btn->click();
  EXPECT_EQ(document.graphics().size(), 1u);
  // The pasted shape is gone: the sidebar shows the card, not a page of a removed object.
  EXPECT_EQ(window->sett_tab->widget(0), window->card_setting_tab);
  EXPECT_FALSE(window->Cut_btn->isEnabled());
  EXPECT_TRUE(window->Redo_btn->isEnabled());
  window->Redo_btn->click();
  EXPECT_EQ(document.graphics().size(), 2u);
  // The shape brought back is selected and shows its own page.
  ASSERT_NE(window->_graphicView->Selected_Graphic(), nullptr);
  EXPECT_NE(window->_graphicView->Selected_Graphic(), front);
  EXPECT_EQ(window->sett_tab->widget(0), window->shape_tab);
  EXPECT_TRUE(window->Cut_btn->isEnabled());
}

// ---- Sides ---------------------------------------------------------------------------------

TEST_F(Card_Side, TemporarySideShowsTheSidesOwnObjects) {
  const auto a = shape(CRDDocument::Side::Front, {10, 10, 20, 20});
  const auto b = shape(CRDDocument::Side::Front, {40, 10, 20, 20});
  const auto c = shape(CRDDocument::Side::Back, {70, 10, 20, 20});
  struct Case {
    QToolButton* before;
    int side;
    Graphic_List shown;
  };
  for (const Case& k : {Case{window->Front_Card_Btn, 0, {a, b}}, Case{window->Back_Side_btn, 1, {c}}}) {
    k.before->click();
    for (int press = 0; press < 2; ++press) {  // twice: each object once
      window->Temp_Card_Btn->click();
      EXPECT_EQ(window->Front_back_label->text(), QStringLiteral("TEMP"));
      EXPECT_EQ(Card_Front_Or_Back, k.side);
      EXPECT_EQ(document.graphics_temp(), k.shown);  // the same objects, in order
      EXPECT_EQ(window->_graphicView_TEMP->graphics(), k.shown);
    }
    EXPECT_FALSE(window->temp_design_view->isHidden());
    EXPECT_EQ(window->sett_tab->widget(0), window->card_setting_tab);
  }
  EXPECT_EQ(document.graphics_back(), Graphic_List{c});

  // A drag on the temporary side moves the side's object; both canvases hear of it.
  window->Front_Card_Btn->click();
  window->Temp_Card_Btn->click();
  QSignalSpy changed(&document, &CRDDocument::graphicChanged);
  CRDGraphicView* temp = window->_graphicView_TEMP;
  mouse(temp, QEvent::MouseButtonPress, {20, 20});
  mouse(temp, QEvent::MouseMove, {30, 25});
  mouse(temp, QEvent::MouseButtonRelease, {50, 40});
  EXPECT_EQ(a->bounds(), QRectF(40, 30, 20, 20));
  QSet<int> sides;
  for (const auto& call : changed) sides << int(call[0].value<CRDDocument::Side>());
  EXPECT_TRUE(sides.contains(int(CRDDocument::Side::Front)));
  EXPECT_TRUE(sides.contains(int(CRDDocument::Side::Temp)));
  // Emptied again, the side keeps its objects.
  window->Back_Side_btn->click();
  window->Temp_Card_Btn->click();
  EXPECT_EQ(document.graphics(), (Graphic_List{a, b}));
  EXPECT_EQ(a->observer(), &document);
}

// ---- All-text font and colour --------------------------------------------------------------

TEST_F(Card_Side, AllTextFontAndColourGoToTheCurrentSidesTexts) {
  const auto front_text = add(CRDDocument::Side::Front, std::make_shared<CRDText>());
  const auto front_shape = shape(CRDDocument::Side::Front);
  const auto back_text = add(CRDDocument::Side::Back, std::make_shared<CRDText>());
  const QFont back_font = back_text->text_ctrl_font;
  const CRDColor shape_stroke = front_shape->_strokeColor;

  // Nothing changed since loading: only the side's settings are stored.
  window->Update_All_Card_Content();
  EXPECT_EQ(front_text->txt_clr, window->Front_card_Prop.Card_Content_clr);

  platform.color_answers.push_back(QColor(Qt::red));
  panel->All_Text_clr_well->click();
  EXPECT_EQ(front_text->txt_clr.toQColor(), QColor(Qt::red));
  EXPECT_NE(back_text->txt_clr.toQColor(), QColor(Qt::red));
  EXPECT_EQ(front_shape->_strokeColor, shape_stroke);
  EXPECT_EQ(window->Front_card_Prop.Card_Content_clr.toQColor(), QColor(Qt::red));
  const QFont text_font = front_text->text_ctrl_font;

  // The font dialog starts from the common font; its answer goes to the texts.
  QFont bold = Make_Font(QStringLiteral("Liberation Sans"), 14);
  bold.setBold(true);
  platform.font_answers.push_back(bold);
  panel->All_Text_font_btn->click();
  EXPECT_EQ(front_text->text_ctrl_font, bold);
  EXPECT_EQ(back_text->text_ctrl_font, back_font);
  EXPECT_EQ(window->All_Text_font(), bold);
  EXPECT_EQ(panel->All_Text_font_value->text(), QStringLiteral("Liberation Sans Bold ( 14.00 )"));
  EXPECT_NE(text_font, bold);

  // A text recoloured by its own panel gets the common colour again at a new size.
  front_text->txt_clr = CRDColor::rgb(0, 1, 0);
  window->width_Stepper->setValue(90);
  EXPECT_EQ(front_text->txt_clr.toQColor(), QColor(Qt::red));
  EXPECT_NE(back_text->txt_clr.toQColor(), QColor(Qt::red));
}

// ---- Design reset --------------------------------------------------------------------------

TEST_F(Card_Side, NewRestoresTheDefaults) {
  const auto front = shape(CRDDocument::Side::Front);
  shape(CRDDocument::Side::Back);
  window->Temp_Card_Btn->click();
  ASSERT_EQ(document.graphics_temp().size(), 1u);
  window->Front_Card_Btn->click();
  panel->Card_fill_chk->click();
  panel->Card_bor_Stepper->setValue(6);
  window->Back_Side_btn->click();
  panel->Card_alpha_Stepper->setValue(20);
  EXPECT_EQ(window->TEMP_user_profile.Name_id, QStringLiteral("Fup_Name"));  // reset when made
  window->TEMP_user_profile.Name = QStringLiteral("preview");
  window->Front_user_profile.Name = QStringLiteral("front");
  window->Back_user_profile.Name = QStringLiteral("back");
  last_ctrl_X = 80;
  Project_File_Name = QStringLiteral("/tmp/x.dcard");
  window->Front_Card_Btn->click();
  select(window->_graphicView, 0);
  window->Copy_btn->click();
  window->Paste_btn->click();
  QCoreApplication::processEvents();
  ASSERT_TRUE(document.undoManager()->canUndo());

  window->New_btn->click();
  Card_Property expected;
  Reset_Card_Property(expected, Make_Font(Text_Ctrl_Font, 14), CRDColor::blackColor());
  for (const Card_Property* side : {&window->Front_card_Prop, &window->Back_card_Prop}) {
    EXPECT_TRUE(side->Card_border_chk);
    EXPECT_EQ(side->Card_bor_Stepper, 1);
    EXPECT_EQ(side->Card_bordr_clr, CRDColor::blackColor());
    EXPECT_FALSE(side->Card_fill_chk);
    EXPECT_FLOAT_EQ(side->Card_alpha_Stepper, 100.0f);
    EXPECT_EQ(side->Card_Side_Name, QStringLiteral("F"));  // the back side too
    EXPECT_EQ(side->Card_Sub_Category, QStringLiteral("CR80-Credit Card Size"));
    EXPECT_EQ(side->Card_BG_Image_Layout, QStringLiteral("Stretch"));
    EXPECT_EQ(side->Card_Content_font, expected.Card_Content_font);
  }
  EXPECT_EQ(Card_Front_Or_Back, 0);
  EXPECT_TRUE(document.graphics().empty());
  EXPECT_TRUE(document.graphics_back().empty());
  EXPECT_EQ(document.graphics_temp().size(), 1u);  // the temporary side stays
  EXPECT_FALSE(document.undoManager()->canUndo());
  EXPECT_FALSE(window->Undo_btn->isEnabled());
  EXPECT_FALSE(window->Paste_btn->isEnabled());  // our graphics left the clipboard
  const QMimeData* left = QGuiApplication::clipboard()->mimeData();
  EXPECT_TRUE(!left || !left->hasFormat(CRDGraphicViewPasteboardMimeType));
  EXPECT_EQ(last_ctrl_X, 10.0f);
  EXPECT_EQ(last_ctrl_Y, 10.0f);
  EXPECT_TRUE(Project_File_Name.isEmpty());
  EXPECT_EQ(window->windowTitle(), window->App_Name);
  EXPECT_TRUE(window->Front_user_profile.Name.isEmpty());
  EXPECT_TRUE(window->Back_user_profile.Name.isEmpty());
  EXPECT_EQ(window->TEMP_user_profile.Name, QStringLiteral("preview"));
  EXPECT_FALSE(Not_Draw_Only_Prop_Change);
  EXPECT_EQ(panel->Card_bor_Stepper->value(), 1);
  EXPECT_FALSE(panel->Card_fill_chk->isChecked());
  EXPECT_EQ(window->sett_tab->widget(0), window->card_setting_tab);
  EXPECT_EQ(document.graphics_temp()[0], front);  // still shown there, still observed
  EXPECT_EQ(front->observer(), &document);

  // Another program's data stays on the clipboard.
  QGuiApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
  window->New_Project();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("from elsewhere"));
}

}  // namespace
