#include "core/envelope_list.h"

#include <cassert>

#include "core/money.h"
#include "core/user_text.h"

namespace allot {

std::string totalText(const BudgetStore& store, NumberFormatter& formatter) {
  return "Total: " + formatAmount(store.totalAmount(), formatter);
}

EnvelopeRowContent envelopeRowContent(const BudgetStore& store, std::size_t n,
                                      NumberFormatter& formatter) {
  assert(n < store.envelopeCount());
  if (n >= store.envelopeCount()) return {"\n", formatAmount(0.0, formatter), 0};
  return {store.categoryNames()[n] + "\n", formatAmount(store.categoryAmounts()[n], formatter),
          store.envelopeColors()[n]};
}

std::string deleteConfirmationMessage(const BudgetStore& store, std::size_t n) {
  assert(n < store.envelopeCount());
  const std::string name = n < store.envelopeCount() ? store.categoryNames()[n] : "";
  return "Permanently delete \"" + isolated(name) + "\" and its balance?";
}

std::string resetConfirmationMessage(const BudgetStore& store, std::size_t n) {
  assert(n < store.envelopeCount());
  const std::string name = n < store.envelopeCount() ? store.categoryNames()[n] : "";
  return "Reset the balance and clear all transactions for \"" + isolated(name) + "\"?";
}

void deleteEnvelope(BudgetStore& store, std::size_t n) {
  assert(n < store.envelopeCount());
  if (n >= store.envelopeCount()) return;
  const double totalBefore = store.totalAmount();
  store.setTotalAmount(totalBefore - store.categoryAmounts()[n]);
  EnvelopeRecord record = store.removeEnvelope(n);
  std::string description = "Deleted the envelope \u201C" + isolated(record.name) + "\u201D.";
  store.history().add(DeletedEnvelope{n, std::move(record), totalBefore, store.totalAmount()},
                      std::move(description));
}

void resetEnvelope(BudgetStore& store, std::size_t n) {
  assert(n < store.envelopeCount());
  if (n >= store.envelopeCount()) return;
  const double balanceBefore = store.categoryAmounts()[n];
  const double totalBefore = store.totalAmount();
  store.setTotalAmount(totalBefore - balanceBefore);
  store.setBalance(n, 0.0);
  auto replaced = store.replaceTransactions(n, {"Reset envelope"}, {0.0});
  store.history().add(
      ResetEnvelope{n, std::move(replaced), balanceBefore, totalBefore, store.totalAmount()},
      "Reset the envelope \u201C" + isolated(store.categoryNames()[n]) + "\u201D.");
}

void moveEnvelope(BudgetStore& store, std::size_t from, std::size_t to) {
  const std::size_t count = store.envelopeCount();
  assert(from < count && to < count);
  if (from >= count || to >= count || from == to) return;
  store.moveEnvelope(from, to);
  store.history().add(MovedEnvelope{from, to}, "Moved the envelope \u201C" +
                                                   isolated(store.categoryNames()[to]) + "\u201D.");
}

bool needsEditButton(std::size_t count) {
  return count >= 2;
}

}  // namespace allot
