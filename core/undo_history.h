// UndoHistory: the changes made to the budget in this session, newest last, so that the user can
// take them back one by one (undo) and make them again (redo), strictly last in, first out. The
// operations of envelope_list.h, envelope_editing.h and transactions.h add to it as they change the
// store; a new change forgets whatever had been undone. It is kept in memory only, holds the
// latest kDepth changes, and is emptied when the store is loaded anew.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "core/store_change.h"

namespace allot {

class BudgetStore;

class UndoHistory {
 public:
  static constexpr std::size_t kDepth = 100;

  // What undo or redo did: the sentence that described the change, and what a screen needs to
  // know to show its result.
  struct Outcome {
    std::string description;
    bool envelopeNumbersChanged = false;  // envelopes were added, deleted or moved
    std::optional<std::size_t> envelope;  // the envelope whose content changed
  };

  // After an operation changed the store; `description` says what was done ("Deleted the
  // transaction.").
  void add(StoreChange change, std::string description);
  void clear();

  // How many changes were ever added; it only grows, so that a caller can tell a new one.
  std::uint64_t changesAdded() const { return added_; }
  bool canUndo() const { return applied_ > 0; }
  bool canRedo() const { return applied_ < entries_.size(); }
  // The description of the change undo would take back; empty when there is none.
  const std::string& lastDescription() const;

  // Takes back the latest change still applied, or makes the latest undone one again; nothing
  // when there is none.
  std::optional<Outcome> undo(BudgetStore& store);
  std::optional<Outcome> redo(BudgetStore& store);

 private:
  struct Entry {
    StoreChange change;
    std::string description;
  };
  static Outcome outcomeOf(const Entry& entry);

  std::deque<Entry> entries_;
  std::size_t applied_ = 0;  // entries_[0, applied_) are in the store
  std::uint64_t added_ = 0;
};

}  // namespace allot
