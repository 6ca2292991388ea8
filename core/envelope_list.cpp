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
  store.setTotalAmount(store.totalAmount() - store.categoryAmounts()[n]);
  store.removeEnvelope(n);
}

void resetEnvelope(BudgetStore& store, std::size_t n) {
  assert(n < store.envelopeCount());
  if (n >= store.envelopeCount()) return;
  store.setTotalAmount(store.totalAmount() - store.categoryAmounts()[n]);
  store.setBalance(n, 0.0);
  store.replaceTransactions(n, {"Reset envelope"}, {0.0});
}

void moveEnvelope(BudgetStore& store, std::size_t from, std::size_t to) {
  const std::size_t count = store.envelopeCount();
  assert(from < count && to < count);
  if (from >= count || to >= count) return;
  store.moveEnvelope(from, to);
}

bool needsEditButton(std::size_t count) {
  return count >= 2;
}

}  // namespace allot
