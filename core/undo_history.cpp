#include "core/undo_history.h"

#include "core/budget_store.h"

namespace allot {

void UndoHistory::add(StoreChange change, std::string description) {
  entries_.resize(applied_);
  entries_.push_back({std::move(change), std::move(description)});
  if (entries_.size() > kDepth) entries_.pop_front();
  applied_ = entries_.size();
  ++added_;
}

void UndoHistory::clear() {
  entries_.clear();
  applied_ = 0;
}

const std::string& UndoHistory::lastDescription() const {
  static const std::string none;
  return canUndo() ? entries_[applied_ - 1].description : none;
}

UndoHistory::Outcome UndoHistory::outcomeOf(const Entry& entry) {
  return {entry.description, changesEnvelopeNumbers(entry.change), changedEnvelope(entry.change)};
}

std::optional<UndoHistory::Outcome> UndoHistory::undo(BudgetStore& store) {
  if (!canUndo()) return std::nullopt;
  Entry& entry = entries_[--applied_];
  undoChange(store, entry.change);
  return outcomeOf(entry);
}

std::optional<UndoHistory::Outcome> UndoHistory::redo(BudgetStore& store) {
  if (!canRedo()) return std::nullopt;
  Entry& entry = entries_[applied_++];
  redoChange(store, entry.change);
  return outcomeOf(entry);
}

}  // namespace allot
