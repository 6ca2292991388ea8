// Generations: the chain of budget states that the crash-safety child commits one after another.
// Generation g is the empty store after g steps of the real operations (adding, editing and moving
// envelopes, recording 1.00 with the note "generation <g> ..."), so every committed state names its
// own generation in totalAmount and can be compared whole with the state expected for it. It does
// not save anything; the child and the test do.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "core/envelope_editing.h"
#include "core/envelope_list.h"
#include "core/transactions.h"

namespace allot::hardening {

// The generation a store holds, from its total; nothing when the total is not a whole number of
// steps (a store that no generation ever had).
inline std::optional<std::uint64_t> generationOf(const BudgetStore& store) {
  const double total = store.totalAmount();
  if (!(total >= 0.0) || total > 1e9 || std::trunc(total) != total) return std::nullopt;
  return static_cast<std::uint64_t>(total);
}

// Turns generation g into generation g + 1.
inline void advanceGeneration(BudgetStore& store, NumberFormatter& formatter) {
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
