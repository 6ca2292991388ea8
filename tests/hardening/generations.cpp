#include "tests/hardening/generations.h"

#include <cmath>
#include <string>

#include "core/envelope_editing.h"
#include "core/envelope_list.h"
#include "core/transactions.h"

namespace allot::hardening {

std::optional<std::uint64_t> generationOf(const BudgetStore& store) {
  const double total = store.totalAmount();
  if (!(total >= 0.0) || total > 1e9 || std::trunc(total) != total) return std::nullopt;
  return static_cast<std::uint64_t>(total);
}

void advanceGeneration(BudgetStore& store, NumberFormatter& formatter) {
  const std::uint64_t next = generationOf(store).value_or(0) + 1;
  const std::string tag = std::to_string(next);
  if (store.envelopeCount() == 0 || next % 8 == 0) {
    addEnvelope(store, "Envelope " + tag, static_cast<std::int64_t>(next % 5));
  }
  const std::size_t count = store.envelopeCount();
  if (next % 50 == 0) updateEnvelope(store, next / 50 % count, "Renamed in " + tag, 1);
  if (next % 11 == 0) moveEnvelope(store, count - 1, 0);
  // Notes of varying length, so that commits change different numbers of pages.
  std::string note = "generation " + tag + " " + std::string(next % 97, '.');
  recordTransaction(store, next % count, std::move(note), "1", "add", formatter);
}

}  // namespace allot::hardening
