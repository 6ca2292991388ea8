#include "core/store_change.h"

#include <type_traits>

#include "core/budget_store.h"

namespace allot {
namespace {

// Removes an envelope's newest entry, which the change itself appended.
void dropNewest(BudgetStore& store, std::size_t envelope) {
  store.removeTransaction(envelope, store.transactionCount(envelope) - 1);
}

struct Undo {
  BudgetStore& store;

  void operator()(RecordedTransaction& change) const {
    dropNewest(store, change.envelope);
    if (change.dropped) {
      store.insertTransaction(change.envelope, 0, change.dropped->first, change.dropped->second);
    }
    store.setBalance(change.envelope, change.balanceBefore);
    store.setTotalAmount(change.totalBefore);
  }
  void operator()(DeletedTransaction& change) const {
    store.insertTransaction(change.envelope, change.index, change.description, change.amount);
    store.setBalance(change.envelope, change.balanceBefore);
    store.setTotalAmount(change.totalBefore);
  }
  void operator()(ResetEnvelope& change) const {
    change.other = store.replaceTransactions(change.envelope, std::move(change.other.first),
                                             std::move(change.other.second));
    store.setBalance(change.envelope, change.balanceBefore);
    store.setTotalAmount(change.totalBefore);
  }
  void operator()(EditedEnvelope& change) const {
    dropNewest(store, change.envelope);
    store.setNameAndColor(change.envelope, change.nameBefore, change.colorBefore);
  }
  void operator()(AddedEnvelope& change) const {
    change.record = store.removeEnvelope(change.envelope);
  }
  void operator()(DeletedEnvelope& change) const {
    store.insertEnvelope(change.envelope, std::move(change.record));
    store.setTotalAmount(change.totalBefore);
  }
  void operator()(MovedEnvelope& change) const { store.moveEnvelope(change.to, change.from); }
};

struct Redo {
  BudgetStore& store;

  void operator()(RecordedTransaction& change) const {
    store.appendTransaction(change.envelope, change.description, change.amount);
    if (change.dropped) store.removeTransaction(change.envelope, 0);
    store.setBalance(change.envelope, change.balanceAfter);
    store.setTotalAmount(change.totalAfter);
  }
  void operator()(DeletedTransaction& change) const {
    store.removeTransaction(change.envelope, change.index);
    store.setBalance(change.envelope, change.balanceAfter);
    store.setTotalAmount(change.totalAfter);
  }
  void operator()(ResetEnvelope& change) const {
    change.other = store.replaceTransactions(change.envelope, std::move(change.other.first),
                                             std::move(change.other.second));
    store.setBalance(change.envelope, 0.0);
    store.setTotalAmount(change.totalAfter);
  }
  void operator()(EditedEnvelope& change) const {
    store.setNameAndColor(change.envelope, change.nameAfter, change.colorAfter);
    store.appendTransaction(change.envelope, change.entry, 0.0);
  }
  void operator()(AddedEnvelope& change) const {
    store.insertEnvelope(change.envelope, std::move(change.record));
  }
  void operator()(DeletedEnvelope& change) const {
    change.record = store.removeEnvelope(change.envelope);
    store.setTotalAmount(change.totalAfter);
  }
  void operator()(MovedEnvelope& change) const { store.moveEnvelope(change.from, change.to); }
};

}  // namespace

void undoChange(BudgetStore& store, StoreChange& change) {
  std::visit(Undo{store}, change);
}

void redoChange(BudgetStore& store, StoreChange& change) {
  std::visit(Redo{store}, change);
}

bool changesEnvelopeNumbers(const StoreChange& change) {
  return std::holds_alternative<AddedEnvelope>(change) ||
         std::holds_alternative<DeletedEnvelope>(change) ||
         std::holds_alternative<MovedEnvelope>(change);
}

std::optional<std::size_t> changedEnvelope(const StoreChange& change) {
  return std::visit(
      [](const auto& kind) -> std::optional<std::size_t> {
        if constexpr (std::is_same_v<std::decay_t<decltype(kind)>, MovedEnvelope>) {
          return std::nullopt;
        } else {
          return kind.envelope;
        }
      },
      change);
}

}  // namespace allot
