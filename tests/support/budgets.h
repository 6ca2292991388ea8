// Budgets made for tests, and checks on a whole budget. Header-only, so that the fuzz targets
// (which do not link the test support library) can use them too.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "core/envelope_editing.h"
#include "core/transactions.h"

namespace allot::testing {

// One envelope with that name, and a total of 7.
inline BudgetStore budgetWith(const std::string& name) {
  BudgetStore store;
  addEnvelope(store, name, 1);
  store.setTotalAmount(7.0);
  return store;
}

// Envelopes "Envelope <i>" with `entries` recordings of 2.50 each, big enough to span many
// database pages.
inline BudgetStore sizeableBudget(int envelopes = 6, int entries = 150) {
  BudgetStore store;
  NumberFormatter formatter("en_US");
  for (int i = 0; i < envelopes; ++i) {
    addEnvelope(store, "Envelope " + std::to_string(i), i % 5);
    for (int k = 0; k < entries; ++k) {
      recordTransaction(store, static_cast<std::size_t>(i), std::string(40, 'a' + i % 26), "2,5",
                        "add", formatter);
    }
  }
  return store;
}

// Every per-envelope list as long as the names, and each envelope's two transaction lists paired.
inline bool hasWholeShape(const BudgetStore& store) {
  const std::size_t count = store.envelopeCount();
  bool whole = store.envelopeColors().size() == count && store.categoryAmounts().size() == count &&
               store.detailArrays().size() == count && store.detailAmountArrays().size() == count;
  for (std::size_t i = 0; whole && i < count; ++i) {
    whole = store.detailArrays()[i].size() == store.detailAmountArrays()[i].size();
  }
  return whole;
}

// Figures as bits, so that NaN equals the same NaN and -0.0 differs from 0.0.
inline std::vector<std::uint64_t> bitsOf(const std::vector<double>& figures) {
  std::vector<std::uint64_t> bits;
  for (double figure : figures) bits.push_back(std::bit_cast<std::uint64_t>(figure));
  return bits;
}

// The same contents in every field, figures compared bit for bit.
inline bool sameBudget(const BudgetStore& a, const BudgetStore& b) {
  bool same = std::bit_cast<std::uint64_t>(a.totalAmount()) ==
                  std::bit_cast<std::uint64_t>(b.totalAmount()) &&
              a.categoryNames() == b.categoryNames() && a.envelopeColors() == b.envelopeColors() &&
              bitsOf(a.categoryAmounts()) == bitsOf(b.categoryAmounts()) &&
              a.detailArrays() == b.detailArrays() &&
              a.detailAmountArrays().size() == b.detailAmountArrays().size();
  for (std::size_t i = 0; same && i < a.detailAmountArrays().size(); ++i) {
    same = bitsOf(a.detailAmountArrays()[i]) == bitsOf(b.detailAmountArrays()[i]);
  }
  return same;
}

}  // namespace allot::testing
