#pragma once
// Undo by registration: whoever changes something registers the call that puts it back.
// Calls registered while an undo runs form the redo group, and calls registered while a
// redo runs form the next undo group, so an action that re-registers its own inverse
// (as the document's property restore does) is undoable and redoable without limit.
//
// Groups: every registration goes into the innermost open group. With grouping by event
// (the default) the first registration outside any group opens a top-level group that
// closes when control returns to the event loop, so one user event is one undo step.
// Groups nest; a closed nested group is an entry of its parent and can be undone on its
// own while the parent stays open (undoNestedGroup).
//
// checkpoint() is sent whenever a group closes and whenever a nested group opens (not
// when a top-level group opens), which is when listeners that collect per-group state
// start afresh.

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class Undo_Manager : public QObject {
  Q_OBJECT

 public:
  using Action = std::function<void()>;

  explicit Undo_Manager(QObject* parent = nullptr);
  ~Undo_Manager() override;

  // Registers an action for the target (any identity; removeAllActionsWithTarget uses it).
  // Ignored while registration is disabled. Outside undo and redo it empties the redo
  // history.
  void registerUndo(const void* target, Action action);

  void beginUndoGrouping();
  void endUndoGrouping();
  int groupingLevel() const { return int(open_.size()); }
  bool groupsByEvent() const { return groups_by_event_; }
  void setGroupsByEvent(bool on) { groups_by_event_ = on; }

  // Registration is enabled while every disable has been matched by an enable.
  void disableUndoRegistration();
  void enableUndoRegistration();
  bool isUndoRegistrationEnabled() const { return disabled_ == 0; }

  bool canUndo() const;
  bool canRedo() const;
  bool isUndoing() const { return undoing_; }
  bool isRedoing() const { return redoing_; }

  // Undoes the last top-level group; an event group still open is closed first.
  void undo();
  // Redoes the last undone group.
  void redo();
  // Undoes the last group: the last closed group inside the innermost open group, or,
  // with no group open, the last top-level group.
  void undoNestedGroup();

  // Forgets every undo and redo action (open groups stay open, emptied).
  void removeAllActions();
  // Forgets every action registered for the target.
  void removeAllActionsWithTarget(const void* target);

 signals:
  void checkpoint();
  void canUndoChanged(bool canUndo);
  void canRedoChanged(bool canRedo);

 private:
  struct Group;
  struct Entry;
  enum class Destination { Parent, Undo_Stack, Redo_Stack };

  void open_group(Destination destination);
  void close_group();
  void run_group(Group& group, Destination record_to);
  void close_event_group();
  void report_changes(bool could_undo, bool could_redo);

  std::vector<std::unique_ptr<Group>> undo_stack_;
  std::vector<std::unique_ptr<Group>> redo_stack_;
  std::vector<std::unique_ptr<Group>> open_;  // innermost last
  int disabled_ = 0;
  int protected_level_ = 0;
  int report_depth_ = 0;  // groups below this level belong to a running undo or redo
  bool groups_by_event_ = true;
  bool event_group_pending_ = false;
  bool undoing_ = false;
  bool redoing_ = false;
};
