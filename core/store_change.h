// StoreChange: what one operation on the budget changed, kept so that it can be taken back (undo)
// and made again (redo) exactly. Each kind keeps only what the operation changed (an entry, a
// name, a whole envelope when it is deleted) and the figures before and after it, so that undo
// puts the very same values back, bit for bit, rather than computing them again. Taking a change
// back is only right when the store is as the change left it: UndoHistory sees to that by undoing
// and redoing strictly last in, first out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/envelope_record.h"

namespace allot {

class BudgetStore;

// A transaction recorded at the end of an envelope's list, and the oldest entry it dropped.
struct RecordedTransaction {
  std::size_t envelope;
  std::string description;
  double amount;
  std::optional<std::pair<std::string, double>> dropped;
  double balanceBefore, balanceAfter, totalBefore, totalAfter;
};

// A transaction taken out of an envelope's list at a storage index.
struct DeletedTransaction {
  std::size_t envelope;
  std::size_t index;
  std::string description;
  double amount;
  double balanceBefore, balanceAfter, totalBefore, totalAfter;
};

// An envelope whose lists were replaced and balance set to zero; `other` holds the lists that
// are not in the store now (the old ones after the reset, the reset's after an undo).
struct ResetEnvelope {
  std::size_t envelope;
  std::pair<std::vector<std::string>, std::vector<double>> other;
  double balanceBefore, totalBefore, totalAfter;
};

// An envelope renamed or recoloured, with the entry that says so.
struct EditedEnvelope {
  std::size_t envelope;
  std::string nameBefore, nameAfter;
  std::int64_t colorBefore, colorAfter;
  std::string entry;
};

// An envelope added at the end (`record` holds it while it is taken back).
struct AddedEnvelope {
  std::size_t envelope;
  EnvelopeRecord record;
};

// An envelope deleted with its balance (`record` holds it while it is gone).
struct DeletedEnvelope {
  std::size_t envelope;
  EnvelopeRecord record;
  double totalBefore, totalAfter;
};

struct MovedEnvelope {
  std::size_t from, to;
};

using StoreChange = std::variant<RecordedTransaction, DeletedTransaction, ResetEnvelope,
                                 EditedEnvelope, AddedEnvelope, DeletedEnvelope, MovedEnvelope>;

// Takes the change back, or makes it again, on a store as the change (or its undo) left it.
void undoChange(BudgetStore& store, StoreChange& change);
void redoChange(BudgetStore& store, StoreChange& change);

// Whether the change added, deleted or moved envelopes, so that envelope numbers shown on a
// screen may no longer be the same envelopes.
bool changesEnvelopeNumbers(const StoreChange& change);
// The envelope whose own content the change touched; none for a move.
std::optional<std::size_t> changedEnvelope(const StoreChange& change);

}  // namespace allot
