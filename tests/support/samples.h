// Sample budgets and typed amounts for tests, and checks on a whole budget. Header-only, so that
// the fuzz targets (which do not link the test support library) can use them too.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
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

using namespace std::string_literals;

// clang-format off
// Texts that read as exactly these values ("C" syntax, a comma as the decimal point; underflow
// reads as zero). Those beyond 1e15 read, but no recording takes them; none has a separator
// followed by exactly three digits, which a recording refuses where the locale groups with it.
inline const std::pair<std::string, double> kReadAmounts[] = {
    {"12,50", 12.5}, {"12.50", 12.5}, {"-5", -5.0}, {"+5", 5.0}, {"0", 0.0}, {"10.0050", 10.005},
    {"-0,25", -0.25}, {"1E-2", 0.01}, {"0x1p-2", 0.25}, {"1e15", 1e15}, {"-1e16", -1e16},
    {"1e308", 1e308}, {"-1e308", -1e308}, {"1.7976931348623157e308", std::numeric_limits<double>::max()},
    {"0x1.fffffffffffffp1023", std::numeric_limits<double>::max()}, {"1e-320", 1e-320},
    {"0x1p-1074", std::numeric_limits<double>::denorm_min()}, {"4e-324", std::numeric_limits<double>::denorm_min()},
    {"1e-400", 0.0}, {"-1e-9999", -0.0}, {"1E2", 100.0}, {"1e+2", 100.0}, {"0x10", 16.0},
    {"0X1P+4", 16.0}, {".5", 0.5}, {"5.", 5.0}, {"5,", 5.0}, {",5", 0.5}, {"-,25", -0.25},
    {"00012", 12.0}, {"-0", -0.0}, {"+0", 0.0},
};

// Texts that must be refused.
inline const std::string kRefusedAmounts[] = {
    "", "nan", "NaN", "-nan", "inf", "-INF", "Infinity", "1e999", "-1e309", "1e400", "1,234.5",
    "1.234,50", " 5", "5 ", "\t5", "abc", "$5", "5 EUR", "1e", "0x", "--5", "+-5", ".", "-", ",",
    "1..2", "0x1p", "5\0"s, "\0"s "5", "\xEF\xBC\x95", "1_000", "1e5e5", "0x1.8p", "1e9999999999",
};
// clang-format on

}  // namespace allot::testing
