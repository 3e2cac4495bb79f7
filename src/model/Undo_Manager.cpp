#include "model/Undo_Manager.h"

#include <QDebug>
#include <QMetaObject>

#include <algorithm>

struct Undo_Manager::Entry {
  const void* target = nullptr;
  Action action;
  std::unique_ptr<Group> group;  // a closed nested group in place of an action
};

struct Undo_Manager::Group {
  Destination destination = Destination::Undo_Stack;
  std::vector<Entry> entries;
};

namespace {

// Announces a change of canUndo / canRedo when the outermost call of the manager ends
// (undo calls registerUndo through the actions it runs; one announcement covers both).
template <typename Manager>
class Change_Report {
 public:
  Change_Report(Manager& manager, int& depth, void (Manager::*report)(bool, bool))
      : manager_(manager),
        depth_(depth),
        report_(report),
        could_undo_(manager.canUndo()),
        could_redo_(manager.canRedo()) {
    ++depth_;
  }
  ~Change_Report() {
    if (--depth_ == 0) (manager_.*report_)(could_undo_, could_redo_);
  }

 private:
  Manager& manager_;
  int& depth_;
  void (Manager::*report_)(bool, bool);
  bool could_undo_, could_redo_;
};

}  // namespace

Undo_Manager::Undo_Manager(QObject* parent) : QObject(parent) {}
Undo_Manager::~Undo_Manager() = default;

void Undo_Manager::report_changes(bool could_undo, bool could_redo) {
  const bool can_undo = canUndo(), can_redo = canRedo();
  if (can_undo != could_undo) emit canUndoChanged(can_undo);
  if (can_redo != could_redo) emit canRedoChanged(can_redo);
}

bool Undo_Manager::canUndo() const {
  if (!undo_stack_.empty()) return true;
  if (undoing_ || redoing_) return false;
  return std::any_of(open_.begin(), open_.end(),
                     [](const std::unique_ptr<Group>& g) { return !g->entries.empty(); });
}

bool Undo_Manager::canRedo() const { return !redo_stack_.empty(); }

void Undo_Manager::open_group(Destination destination) {
  const bool nested = !open_.empty();
  auto group = std::make_unique<Group>();
  group->destination = destination;
  open_.push_back(std::move(group));
  if (nested) emit checkpoint();
}

void Undo_Manager::close_group() {
  std::unique_ptr<Group> group = std::move(open_.back());
  open_.pop_back();
  emit checkpoint();
  if (group->entries.empty()) return;  // nothing to undo: no step
  switch (group->destination) {
    case Destination::Parent:
      if (!open_.empty()) {
        Entry entry;
        entry.group = std::move(group);
        open_.back()->entries.push_back(std::move(entry));
      } else {
        undo_stack_.push_back(std::move(group));
      }
      break;
    case Destination::Undo_Stack: undo_stack_.push_back(std::move(group)); break;
    case Destination::Redo_Stack: redo_stack_.push_back(std::move(group)); break;
  }
}

void Undo_Manager::beginUndoGrouping() {
  Change_Report report(*this, report_depth_, &Undo_Manager::report_changes);
  open_group(open_.empty() ? Destination::Undo_Stack : Destination::Parent);
}

void Undo_Manager::endUndoGrouping() {
  Change_Report report(*this, report_depth_, &Undo_Manager::report_changes);
  if (groupingLevel() <= protected_level_) {
    qWarning("Undo_Manager: endUndoGrouping without a matching beginUndoGrouping");
    return;
  }
  close_group();
}

void Undo_Manager::close_event_group() {
  event_group_pending_ = false;
  if (undoing_ || redoing_ || groupingLevel() == 0) return;
  if (groupingLevel() > 1) {
    qWarning("Undo_Manager: a group opened during the event was left open");
    return;
  }
  Change_Report report(*this, report_depth_, &Undo_Manager::report_changes);
  close_group();
}

void Undo_Manager::registerUndo(const void* target, Action action) {
  if (disabled_ > 0 || !action) return;
  Change_Report report(*this, report_depth_, &Undo_Manager::report_changes);
  if (open_.empty()) {
    if (!groups_by_event_) {
      qWarning("Undo_Manager: registration outside any group is ignored");
      return;
    }
    open_group(Destination::Undo_Stack);
    if (!event_group_pending_) {
      event_group_pending_ = true;
      QMetaObject::invokeMethod(this, &Undo_Manager::close_event_group, Qt::QueuedConnection);
    }
  }
  Entry entry;
  entry.target = target;
  entry.action = std::move(action);
  open_.back()->entries.push_back(std::move(entry));
  if (!undoing_ && !redoing_) redo_stack_.clear();
}

void Undo_Manager::disableUndoRegistration() { ++disabled_; }

void Undo_Manager::enableUndoRegistration() {
  if (disabled_ == 0) {
    qWarning("Undo_Manager: enableUndoRegistration without a matching disable");
    return;
  }
  --disabled_;
}

void Undo_Manager::run_group(Group& group, Destination record_to) {
  // Everything registered while the group runs goes into one recording group.
  const int base = groupingLevel();
  open_group(record_to);
  const int saved_protection = protected_level_;
  protected_level_ = groupingLevel();
  struct Finish {
    Undo_Manager& m;
    int base, saved;
    ~Finish() {
      m.protected_level_ = saved;
      while (m.groupingLevel() > base) m.close_group();
    }
  } finish{*this, base, saved_protection};

  std::function<void(Group&)> run = [&](Group& g) {
    for (auto it = g.entries.rbegin(); it != g.entries.rend(); ++it) {
      if (it->group)
        run(*it->group);
      else
        it->action();
    }
  };
  run(group);
}

void Undo_Manager::undo() {
  if (undoing_ || redoing_) return;
  Change_Report report(*this, report_depth_, &Undo_Manager::report_changes);
  if (groups_by_event_ && groupingLevel() == 1) close_group();
  if (groupingLevel() > 0) {
    qWarning("Undo_Manager: undo while a group is open; use undoNestedGroup");
    return;
  }
  undoNestedGroup();
}

void Undo_Manager::undoNestedGroup() {
  if (undoing_ || redoing_) return;
  Change_Report report(*this, report_depth_, &Undo_Manager::report_changes);
  std::unique_ptr<Group> group;
  if (!open_.empty()) {
    Group& parent = *open_.back();
    if (parent.entries.empty() || !parent.entries.back().group) return;
    group = std::move(parent.entries.back().group);
    parent.entries.pop_back();
  } else {
    if (undo_stack_.empty()) return;
    group = std::move(undo_stack_.back());
    undo_stack_.pop_back();
  }
  undoing_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{undoing_};
  run_group(*group, Destination::Redo_Stack);
}

void Undo_Manager::redo() {
  if (undoing_ || redoing_) return;
  Change_Report report(*this, report_depth_, &Undo_Manager::report_changes);
  if (groups_by_event_ && groupingLevel() == 1) close_group();
  if (groupingLevel() > 0) {
    qWarning("Undo_Manager: redo while a group is open");
    return;
  }
  if (redo_stack_.empty()) return;
  std::unique_ptr<Group> group = std::move(redo_stack_.back());
  redo_stack_.pop_back();
  redoing_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{redoing_};
  run_group(*group, Destination::Undo_Stack);
}

void Undo_Manager::removeAllActions() {
  Change_Report report(*this, report_depth_, &Undo_Manager::report_changes);
  undo_stack_.clear();
  redo_stack_.clear();
  for (auto& group : open_) group->entries.clear();
}

namespace {
template <typename Group>
void Remove_Target(Group& group, const void* target) {
  auto& entries = group.entries;
  for (auto& entry : entries)
    if (entry.group) Remove_Target(*entry.group, target);
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [&](const auto& entry) {
                                 return entry.group ? entry.group->entries.empty()
                                                    : entry.target == target;
                               }),
                entries.end());
}
}  // namespace

void Undo_Manager::removeAllActionsWithTarget(const void* target) {
  Change_Report report(*this, report_depth_, &Undo_Manager::report_changes);
  for (auto* stack : {&undo_stack_, &redo_stack_}) {
    for (auto& group : *stack) Remove_Target(*group, target);
    stack->erase(std::remove_if(stack->begin(), stack->end(),
                                [](const std::unique_ptr<Group>& g) { return g->entries.empty(); }),
                 stack->end());
  }
  for (auto& group : open_) Remove_Target(*group, target);
}
