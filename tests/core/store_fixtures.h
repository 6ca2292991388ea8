// Small stores for the core tests.
#pragma once

#include "core/budget_store.h"

namespace allot::testing {

// Envelopes A, B, C, D with balances 10, -2.5, 0 and 4, colours 0 to 3, total 11.5; each holds
// one entry named after it whose amount is its balance.
inline BudgetStore fourEnvelopes() {
  BudgetStore store;
  const char* names[] = {"A", "B", "C", "D"};
  const double balances[] = {10.0, -2.5, 0.0, 4.0};
  for (int i = 0; i < 4; ++i) {
    store.appendEnvelope({names[i], i, balances[i], {names[i]}, {balances[i]}});
  }
  store.setTotalAmount(11.5);
  return store;
}

}  // namespace allot::testing
