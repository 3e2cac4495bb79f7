#include "model/CRDDocument.h"
#include "model/Graphic_Archive.h"
#include "model/Shape_Control.h"
#include "support/Test_Support.h"

#include <QCoreApplication>
#include <QSignalSpy>

namespace {

using Side = CRDDocument::Side;

// Control returns to the event loop: the event's undo group closes.
void End_Event() { QCoreApplication::processEvents(); }

// A kind with observed keys of its own, handled only through the graphic's virtuals:
// "anchor" (the top-left corner, changed through the bounds, as a line's end points are)
// replaces "bounds" among the undo keys, and "nickname" has no presentable name.
class Anchored : public Shape_Control {
 public:
  QString nickname;

  QPointF anchor() const { return _bounds.topLeft(); }
  void setAnchor(const QPointF& point) {
    willChangeValueForKey("anchor");
    QRectF b = bounds();
    b.moveTopLeft(point);
    setBounds(b);
    didChangeValueForKey("anchor");
  }
  void setNickname(const QString& name) {
    willChangeValueForKey("nickname");
    nickname = name;
    didChangeValueForKey("nickname");
  }
  QVariant valueForKey(const QString& key) override {
    if (key == "anchor") return anchor();
    if (key == "nickname") return nickname;
    return Shape_Control::valueForKey(key);
  }
  bool setValueForKey(const QString& key, const QVariant& value) override {
    if (key == "anchor") {
      setAnchor(value.toPointF());
      return true;
    }
    if (key == "nickname") {
      setNickname(value.toString());
      return true;
    }
    return Shape_Control::setValueForKey(key, value);
  }
  QStringList keysForValuesToObserveForUndo() const override {
    QStringList keys = Shape_Control::keysForValuesToObserveForUndo();
    keys.removeAll("bounds");
    return keys << "anchor"
                << "nickname";
  }
  QString presentablePropertyNameForKey(const QString& key) const override {
    if (key == "anchor") return "Anchor";
    if (key == "nickname") return QString();
    return Shape_Control::presentablePropertyNameForKey(key);
  }
};

std::shared_ptr<Shape_Control> Shape(double x = 0) {
  auto shape = std::make_shared<Shape_Control>();
  shape->_bounds = QRectF(x, 0, 10, 10);
  return shape;
}

class Document : public test_support::Design_Test {
 protected:
  CRDDocument doc;
  Undo_Manager& undo() { return *doc.undoManager(); }
};

TEST_F(Document, StartsWithThreeEmptyLists) {
  for (Side side : {Side::Front, Side::Back, Side::Temp}) EXPECT_TRUE(doc.list(side).empty());
  EXPECT_FALSE(undo().canUndo());
  EXPECT_FALSE(undo().canRedo());
}

TEST_F(Document, InsertingAndRemovingAreUndoable) {
  const auto a = Shape(1), b = Shape(2), c = Shape(3);
  ASSERT_TRUE(doc.insertGraphics({a, b, c}, {0, 1, 2}));
  End_Event();
  EXPECT_EQ(a->_scriptingContainer, &doc);

  ASSERT_TRUE(doc.removeGraphicsAtIndexes({1}));
  End_Event();
  EXPECT_EQ(doc.graphics(), (Graphic_List{a, c}));
  EXPECT_EQ(b->_scriptingContainer, nullptr);
  undo().undo();
  EXPECT_EQ(doc.graphics(), (Graphic_List{a, b, c}));  // the same object at the same place
  undo().undo();
  EXPECT_TRUE(doc.graphics().empty());
  undo().redo();
  EXPECT_EQ(doc.graphics(), (Graphic_List{a, b, c}));

  // Insertion at several places at once, each index the graphic's place afterwards.
  const auto x = Shape(), y = Shape();
  ASSERT_TRUE(doc.insertGraphics({x, y}, {0, 4}));
  EXPECT_EQ(doc.graphics(), (Graphic_List{x, a, b, c, y}));
  End_Event();
  undo().undo();
  EXPECT_EQ(doc.graphics(), (Graphic_List{a, b, c}));
}

TEST_F(Document, RefusesImpossibleChangesOfAList) {
  const auto a = Shape();
  ASSERT_TRUE(doc.insertGraphics({a}, {0}));
  const auto b = Shape();
  const struct {
    const char* name;
    Graphic_List graphics;
    QList<int> indexes;
  } insertions[] = {
      {"more graphics than indexes", {b, Shape()}, {0}},
      {"index past the end", {b}, {2}},
      {"negative index", {b}, {-1}},
      {"indexes not rising", {b, Shape()}, {1, 0}},
      {"the same graphic twice", {b, b}, {0, 1}},
      {"a graphic already in a list", {a}, {0}},
      {"no graphic", {nullptr}, {0}},
  };
  for (const auto& c : insertions)
    EXPECT_FALSE(doc.insertGraphics(Side::Back, c.graphics, c.indexes)) << c.name;
  EXPECT_TRUE(doc.graphics_back().empty());
  EXPECT_FALSE(doc.removeGraphicsAtIndexes({1}));
  EXPECT_FALSE(doc.removeGraphicsAtIndexes({0, 0}));
  EXPECT_EQ(doc.graphics(), Graphic_List{a});
}

TEST_F(Document, PropertyChangesOfOneGroupAreUndoneTogether) {
  const auto a = Shape(), b = Shape(20);
  doc.Enable_Disable_Undo_Registraion(false);
  doc.insertGraphics({a, b}, {0, 1});
  doc.Enable_Disable_Undo_Registraion(true);
  const CRDColor before = a->fillColor();

  a->setFillColor(CRDColor::redColor());
  a->setFillColor(CRDColor::rgb(0, 0, 1));
  a->setBounds(QRectF(5, 5, 30, 30));
  b->setStrokeWidth(4);
  End_Event();

  undo().undo();
  EXPECT_EQ(a->_fillColor, before);  // the value from before the first change
  EXPECT_EQ(a->bounds(), QRectF(0, 0, 10, 10));
  EXPECT_EQ(b->_strokeWidth, 1.0);
  EXPECT_FALSE(undo().canUndo());  // one action restored both graphics

  undo().redo();
  // The last value, as read through the opacity getter (which stores the opacity back).
  EXPECT_EQ(a->_fillColor, CRDColor::rgb(0, 0, 1, 100));
  EXPECT_EQ(a->bounds(), QRectF(5, 5, 30, 30));
  EXPECT_EQ(b->_strokeWidth, 4.0);
  undo().undo();
  EXPECT_EQ(a->_fillColor, before);
}

TEST_F(Document, WhatRegistersNoPropertyUndo) {
  // Changes of a graphic inserted in the same group: undoing the group removes it.
  const auto a = Shape();
  doc.insertGraphics({a}, {0});
  a->setFillColor(CRDColor::redColor());
  End_Event();
  undo().undo();
  EXPECT_TRUE(doc.graphics().empty());
  EXPECT_FALSE(undo().canUndo());
  undo().redo();
  End_Event();

  // A value equal to the current one.
  a->setStrokeWidth(a->_strokeWidth);
  a->setBounds(a->bounds());
  End_Event();
  undo().undo();
  EXPECT_TRUE(doc.graphics().empty());  // the only step left was the insertion

  // Graphics of the other sides.
  undo().redo();
  const auto back = Shape(), temp = Shape();
  doc.insertGraphics(Side::Back, {back}, {0});
  doc.insertGraphics(Side::Temp, {temp}, {0});
  back->setFillColor(CRDColor::redColor());
  temp->setBounds(QRectF(1, 2, 3, 4));
  End_Event();
  EXPECT_TRUE(undo().canUndo());
  undo().undo();  // the redone insertion of the front graphic
  EXPECT_FALSE(undo().canUndo());
  EXPECT_EQ(doc.graphics_back(), Graphic_List{back});
  EXPECT_EQ(back->_fillColor, CRDColor::redColor());
  EXPECT_EQ(temp->_scriptingContainer, nullptr);  // only front graphics carry the document
}

TEST_F(Document, DisabledRegistrationLeavesNoHistory) {
  const auto a = Shape();
  doc.Enable_Disable_Undo_Registraion(false);
  doc.insertGraphics({a}, {0});
  a->setFillColor(CRDColor::redColor());
  doc.Enable_Disable_Undo_Registraion(true);
  End_Event();
  EXPECT_FALSE(undo().canUndo());

  // Once registration is back on, the next change is undoable again.
  a->setFillColor(CRDColor::blackColor());
  End_Event();
  ASSERT_TRUE(undo().canUndo());
  undo().undo();
  EXPECT_EQ(a->_fillColor, CRDColor::rgb(1, 0, 0, 100));
}

TEST_F(Document, ChangesWhileRegistrationIsOffDoNotSwallowLaterOnes) {
  const auto a = Shape();
  doc.insertGraphics({a}, {0});
  End_Event();
  // Loading a design switches registration off and on within one event.
  doc.Enable_Disable_Undo_Registraion(false);
  a->setFillColor(CRDColor::redColor());
  doc.Enable_Disable_Undo_Registraion(true);
  a->setStrokeWidth(6);
  End_Event();
  undo().undo();
  EXPECT_EQ(a->_strokeWidth, 1.0);
  EXPECT_EQ(a->_fillColor, CRDColor::redColor());
}

TEST_F(Document, ClearingForgetsHistoryAndTheFrontList) {
  const auto front = Shape(), back = Shape(), temp = Shape();
  doc.insertGraphics({front}, {0});
  doc.insertGraphics(Side::Back, {back}, {0});
  doc.insertGraphics(Side::Temp, {temp}, {0});
  End_Event();
  front->setFillColor(CRDColor::redColor());
  End_Event();
  undo().undo();
  QSignalSpy removed(&doc, &CRDDocument::graphicsRemoved);

  doc.Clear_All_Undo_Redo();
  EXPECT_TRUE(doc.graphics().empty());
  EXPECT_EQ(doc.graphics_back(), Graphic_List{back});
  EXPECT_EQ(doc.graphics_temp(), Graphic_List{temp});
  EXPECT_FALSE(undo().canUndo());
  EXPECT_FALSE(undo().canRedo());
  ASSERT_EQ(removed.size(), 1);
  EXPECT_EQ(removed[0][0].value<Side>(), Side::Front);
  // The removed graphic is no longer observed.
  EXPECT_EQ(front->observer(), nullptr);
  EXPECT_TRUE(undo().isUndoRegistrationEnabled());
}

TEST_F(Document, AnnouncesListAndGraphicChanges) {
  QSignalSpy inserted(&doc, &CRDDocument::graphicsInserted);
  QSignalSpy removed(&doc, &CRDDocument::graphicsRemoved);
  QSignalSpy changed(&doc, &CRDDocument::graphicChanged);
  const auto a = Shape(), b = Shape();
  doc.insertGraphics(Side::Back, {a, b}, {0, 1});
  ASSERT_EQ(inserted.size(), 1);
  EXPECT_EQ(inserted[0][0].value<Side>(), Side::Back);
  EXPECT_EQ(inserted[0][1].value<QList<int>>(), (QList<int>{0, 1}));

  a->setBounds(QRectF(50, 50, 10, 10));
  ASSERT_EQ(changed.size(), 1);
  EXPECT_EQ(changed[0][0].value<Side>(), Side::Back);
  EXPECT_EQ(changed[0][1].value<std::shared_ptr<CRDGraphic>>(), a);
  EXPECT_EQ(changed[0][2].toString(), "bounds");
  EXPECT_EQ(changed[0][3].toRectF(), QRectF(-3, -3, 17, 17));  // where it was drawn before

  b->setStrokeWidth(20);
  doc.removeGraphicsAtIndexes(Side::Back, {1});
  ASSERT_EQ(removed.size(), 1);
  EXPECT_EQ(removed[0][1].value<QList<int>>(), QList<int>{1});
  EXPECT_EQ(removed[0][2].value<Graphic_List>(), Graphic_List{b});
  EXPECT_EQ(removed[0][3].value<QList<QRectF>>(), QList<QRectF>{QRectF(-10, -10, 31, 31)});

  // A graphic that left the document is no longer announced.
  b->setStrokeWidth(2);
  EXPECT_EQ(changed.size(), 2);
}

TEST_F(Document, KindsOwnKeysGoThroughTheirVirtuals) {
  auto g = std::make_shared<Anchored>();
  g->_bounds = QRectF(10, 10, 20, 20);
  doc.insertGraphics({g}, {0});
  End_Event();
  QSignalSpy changed(&doc, &CRDDocument::graphicChanged);

  g->setAnchor(QPointF(40, 50));
  g->setAnchor(QPointF(60, 70));
  EXPECT_EQ(doc.undoGroupPresentablePropertyName(), "Anchor");
  EXPECT_EQ(changed.size(), 4);  // each anchor change and the bounds change inside it
  End_Event();
  undo().undo();
  EXPECT_EQ(g->bounds(), QRectF(10, 10, 20, 20));
  undo().redo();
  EXPECT_EQ(g->bounds(), QRectF(60, 70, 20, 20));

  // Bounds are not among this kind's undo keys: undo goes back to the anchor step.
  g->setBounds(QRectF(0, 0, 5, 5));
  End_Event();
  undo().undo();
  EXPECT_EQ(g->bounds(), QRectF(10, 10, 5, 5));

  // Properties of different names leave the group without a name.
  g->setAnchor(QPointF(1, 1));
  g->setStrokeWidth(3);
  EXPECT_EQ(doc.undoGroupPresentablePropertyName(), "");
  End_Event();

  // A key without a presentable name is a mistake of the kind: reported, still undone.
  g->setNickname("Sam");
  End_Event();
  undo().undo();
  EXPECT_EQ(g->nickname, "");
}

TEST_F(Document, DocumentServices) {
  EXPECT_EQ(CRDDocument::canvasSize(true, QSizeF(500, 300)), QSizeF(243, 154));
  EXPECT_EQ(CRDDocument::canvasSize(false, QSizeF(500, 300)), QSizeF(500, 300));
  EXPECT_EQ(doc.displayName(), QCoreApplication::applicationName());
  EXPECT_FALSE(doc.isDocumentEdited());
  EXPECT_FALSE(doc.readFromData(QByteArray("anything"), CRDDocumentNewTypeName));

  // The document's own data: the version and the front list's archives.
  auto front = Shape(7);
  doc.insertGraphics({front}, {0});
  doc.insertGraphics(Side::Back, {Shape()}, {0});
  for (const QString& type : {CRDDocumentNewTypeName, CRDDocumentOldTypeName}) {
    const std::optional<plist::Value> data = plist::Read(doc.dataOfType(type));
    ASSERT_TRUE(data && data->dictionary());
    EXPECT_EQ(*data->dictionary()->find("version"), plist::Value(2));
    const Graphic_List graphics =
        graphicsWithProperties(*data->dictionary()->find("graphics")->array());
    ASSERT_EQ(graphics.size(), 1u);
    EXPECT_EQ(graphics[0]->bounds(), front->bounds());
  }
  EXPECT_TRUE(doc.dataOfType("public.plain-text").isEmpty());

  // Pictures of the front list come from the installed renderer.
  QString asked;
  size_t count = 0;
  CRDDocument::Set_Image_Data_Renderer([&](const QString& type, const Graphic_List& g, CRDError*) {
    asked = type;
    count = g.size();
    return QByteArray("%PDF");
  });
  EXPECT_EQ(doc.dataOfType("com.adobe.pdf"), "%PDF");
  EXPECT_EQ(asked, "com.adobe.pdf");
  EXPECT_EQ(count, 1u);
  CRDDocument::Set_Image_Data_Renderer(nullptr);
  EXPECT_TRUE(doc.dataOfType("public.tiff").isEmpty());
}

TEST_F(Document, OnlyTheFirstDocumentGetsAWindow) {
  const int saved = CRDDocument::first;
  CRDDocument::first = 0;
  int made = 0;
  CRDDocument::Set_Window_Controller_Factory([&](CRDDocument&) {
    ++made;
    return new QObject;
  });
  doc.makeWindowControllers();
  doc.makeWindowControllers();
  CRDDocument other;
  other.makeWindowControllers();
  EXPECT_EQ(made, 1);
  EXPECT_EQ(CRDDocument::first, 1);
  CRDDocument::Set_Window_Controller_Factory(nullptr);
  CRDDocument::first = saved;
}

}  // namespace

namespace {

// The temporary list shares the graphics of a real side: each change is announced for
// both lists, undo stays with the front list, and emptying the temporary list leaves the
// side's graphics observed.
TEST_F(Document, TemporaryListSharesTheGraphicsOfASide) {
  const auto a = Shape(), b = Shape(20);
  ASSERT_TRUE(doc.insertGraphics({a, b}, {0, 1}));
  End_Event();
  ASSERT_TRUE(doc.insertGraphics(Side::Temp, {a, b}, {0, 1}));
  EXPECT_EQ(doc.graphics_temp(), (Graphic_List{a, b}));
  EXPECT_EQ(doc.sideOf(*a), Side::Front);
  EXPECT_TRUE(doc.holds(Side::Temp, *a));
  // Once per list, and never into the other real side.
  EXPECT_FALSE(doc.insertGraphics(Side::Temp, {a}, {0}));
  EXPECT_FALSE(doc.insertGraphics(Side::Back, {a}, {0}));

  QSignalSpy changed(&doc, &CRDDocument::graphicChanged);
  a->setBounds(QRectF(5, 5, 30, 30));
  ASSERT_EQ(changed.size(), 2);
  EXPECT_EQ(changed[0][0].value<Side>(), Side::Front);
  EXPECT_EQ(changed[1][0].value<Side>(), Side::Temp);
  End_Event();

  ASSERT_TRUE(doc.removeGraphicsAtIndexes(Side::Temp, {0, 1}));
  EXPECT_TRUE(doc.graphics_temp().empty());
  EXPECT_EQ(a->observer(), &doc);
  EXPECT_FALSE(doc.holds(Side::Temp, *a));
  changed.clear();
  b->setStrokeWidth(4);
  ASSERT_EQ(changed.size(), 1);
  EXPECT_EQ(changed[0][0].value<Side>(), Side::Front);
  End_Event();

  // The move made while the graphic was on the temporary side is undone like any other;
  // the removal from the temporary list left nothing in the history.
  undo().undo();
  EXPECT_EQ(b->_strokeWidth, 1.0);
  undo().undo();
  EXPECT_EQ(a->bounds(), QRectF(0, 0, 10, 10));

  // Taken off its side, a graphic still on the temporary list keeps being observed.
  ASSERT_TRUE(doc.insertGraphics(Side::Temp, {a}, {0}));
  ASSERT_TRUE(doc.removeGraphicsAtIndexes({0}));
  EXPECT_EQ(a->observer(), &doc);
  EXPECT_EQ(doc.sideOf(*a), Side::Temp);
}

}  // namespace
