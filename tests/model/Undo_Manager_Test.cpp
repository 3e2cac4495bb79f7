#include "model/Undo_Manager.h"
#include "support/Test_Support.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <string>

namespace {

// Control returns to the event loop: the event's undo group closes.
void End_Event() { QCoreApplication::processEvents(); }

// A value whose setter registers its own inverse, as the document's undo actions do.
struct Undoable_Value {
  Undo_Manager& manager;
  int value = 0;
  void set(int v) {
    const int old = value;
    value = v;
    manager.registerUndo(this, [this, old] { set(old); });
  }
};

TEST(Undo_Manager, OneStepPerEvent) {
  Undo_Manager m;
  std::string log;
  const int target = 0;
  m.registerUndo(&target, [&] { log += "a"; });
  m.registerUndo(&target, [&] { log += "b"; });
  EXPECT_EQ(m.groupingLevel(), 1);
  End_Event();
  EXPECT_EQ(m.groupingLevel(), 0);
  m.registerUndo(&target, [&] { log += "c"; });
  End_Event();

  m.undo();
  EXPECT_EQ(log, "c");
  m.undo();
  EXPECT_EQ(log, "cba");  // the group's actions run in reverse order
  EXPECT_FALSE(m.canUndo());

  // Undo ends an event group that is still open.
  m.registerUndo(&target, [&] { log += "d"; });
  m.undo();
  EXPECT_EQ(log, "cbad");
}

TEST(Undo_Manager, UndoFeedsRedoAndBack) {
  Undo_Manager m;
  Undoable_Value v{m};
  v.set(1);
  End_Event();
  v.set(2);
  End_Event();

  m.undo();
  EXPECT_EQ(v.value, 1);
  m.undo();
  EXPECT_EQ(v.value, 0);
  EXPECT_FALSE(m.canUndo());
  m.redo();
  m.redo();
  EXPECT_EQ(v.value, 2);
  EXPECT_FALSE(m.canRedo());
  m.undo();
  m.undo();
  m.redo();
  EXPECT_EQ(v.value, 1);
  // A new change forgets what could be redone.
  v.set(5);
  End_Event();
  EXPECT_FALSE(m.canRedo());
  m.undo();
  EXPECT_EQ(v.value, 1);
  m.undo();
  EXPECT_EQ(v.value, 0);
}

TEST(Undo_Manager, NestedGroups) {
  Undo_Manager m;
  Undoable_Value v{m};
  int checkpoints = 0;
  QObject::connect(&m, &Undo_Manager::checkpoint, [&] { ++checkpoints; });

  m.beginUndoGrouping();
  EXPECT_EQ(checkpoints, 0);  // opening a top-level group is no checkpoint
  v.set(1);
  m.beginUndoGrouping();
  EXPECT_EQ(checkpoints, 1);  // opening a nested one is
  v.set(2);
  m.endUndoGrouping();
  m.beginUndoGrouping();
  v.set(3);
  m.endUndoGrouping();
  EXPECT_EQ(checkpoints, 4);  // and so is every close

  // The last nested group is undone on its own while the outer group stays open.
  m.undoNestedGroup();
  EXPECT_EQ(v.value, 2);
  EXPECT_EQ(m.groupingLevel(), 1);
  m.endUndoGrouping();
  End_Event();

  // The rest of the outer group is one step; its redo brings back everything it undid.
  m.undo();
  EXPECT_EQ(v.value, 0);
  EXPECT_FALSE(m.canUndo());
  m.redo();
  EXPECT_EQ(v.value, 2);

  // Unbalanced closes are refused.
  m.endUndoGrouping();
  EXPECT_EQ(m.groupingLevel(), 0);
}

TEST(Undo_Manager, RegistrationIsOffWhileAnyDisableIsUnmatched) {
  Undo_Manager m;
  Undoable_Value v{m};
  m.disableUndoRegistration();
  m.disableUndoRegistration();
  v.set(1);
  m.enableUndoRegistration();
  v.set(2);
  EXPECT_FALSE(m.isUndoRegistrationEnabled());
  EXPECT_FALSE(m.canUndo());
  m.enableUndoRegistration();
  m.enableUndoRegistration();  // one too many: ignored, the count does not go below zero
  EXPECT_TRUE(m.isUndoRegistrationEnabled());
  m.disableUndoRegistration();
  EXPECT_FALSE(m.isUndoRegistrationEnabled());
  m.enableUndoRegistration();
  v.set(3);
  End_Event();
  m.undo();
  EXPECT_EQ(v.value, 2);
}

TEST(Undo_Manager, RemovingActions) {
  Undo_Manager m;
  std::string log;
  const int a = 0, b = 0;
  m.registerUndo(&a, [&] { log += "a"; });
  m.registerUndo(&b, [&] { log += "b"; });
  End_Event();
  m.beginUndoGrouping();
  m.registerUndo(&a, [&] { log += "A"; });
  m.endUndoGrouping();

  m.removeAllActionsWithTarget(&a);
  m.undo();
  EXPECT_EQ(log, "b");  // the group of only a's action is gone as a whole
  EXPECT_FALSE(m.canUndo());

  QSignalSpy undo_changes(&m, &Undo_Manager::canUndoChanged);
  QSignalSpy redo_changes(&m, &Undo_Manager::canRedoChanged);
  m.registerUndo(&a, [&] { log += "x"; });
  End_Event();
  m.removeAllActions();
  EXPECT_FALSE(m.canUndo());
  EXPECT_FALSE(m.canRedo());
  m.undo();
  EXPECT_EQ(log, "b");
  ASSERT_EQ(undo_changes.size(), 2);
  EXPECT_TRUE(undo_changes[0][0].toBool());
  EXPECT_FALSE(undo_changes[1][0].toBool());
  EXPECT_EQ(redo_changes.size(), 0);  // there was never anything to redo
}

TEST(Undo_Manager, AnnouncesWhatCanBeUndoneAndRedone) {
  Undo_Manager m;
  Undoable_Value v{m};
  QSignalSpy undo_changes(&m, &Undo_Manager::canUndoChanged);
  QSignalSpy redo_changes(&m, &Undo_Manager::canRedoChanged);
  v.set(1);
  v.set(2);  // same group: no second announcement
  End_Event();
  m.undo();
  m.redo();
  auto values = [](const QSignalSpy& spy) {
    std::string s;
    for (const auto& args : spy) s += args[0].toBool() ? '1' : '0';
    return s;
  };
  EXPECT_EQ(values(undo_changes), "101");
  EXPECT_EQ(values(redo_changes), "10");
}

}  // namespace
