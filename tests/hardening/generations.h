// Generations: the chain of budget states that the crash-safety child commits one after another.
// Generation g is the empty store after g steps of the real operations (adding, editing and moving
// envelopes, recording 1.00 with the note "generation <g> ..."), so every committed state names its
// own generation in totalAmount and can be compared whole with the state expected for it. It does
// not save anything; the child and the test do.
#pragma once

#include <cstdint>
#include <optional>

#include "core/budget_store.h"
#include "platform/format/number_formatter.h"

namespace allot::hardening {

// Turns generation g into generation g + 1.
void advanceGeneration(BudgetStore& store, NumberFormatter& formatter);

// The generation a store holds, from its total; nothing when the total is not a whole number of
// steps (a store that no generation ever had).
std::optional<std::uint64_t> generationOf(const BudgetStore& store);

}  // namespace allot::hardening
