// Recording: the amounts a locale's grouping makes ambiguous, and figures at the largest double;
// every other rule of recording and deleting is checked against the reference in ModelBased.
#include "core/transactions.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <tuple>

#include "tests/support/samples.h"

namespace allot {

// Thousands grouped the locale's way are refused like any invalid amount (not read a thousand
// times too small); elsewhere, and for every other text, the comma stays a decimal point.
TEST(RecordTransaction, ThousandsGroupedInTheUsersLocaleAreRefused) {
  const std::tuple<const char*, const char*, std::optional<double>> cases[] = {
      {"en_US", "1,000", {}},       {"en_US", "12,500", {}},  {"en_US", "1,000.50", {}},
      {"en_US", "-1,000", {}},      {"en_US", "12,5", 12.5},  {"en_US", "12,50", 12.5},
      {"en_US", "12.50", 12.5},     {"en_US", "1,0000", 1.0}, {"en_US", "1.000", 1.0},
      {"de_DE", "1.000", {}},       {"de_DE", "12.500", {}},  {"de_DE", "1,000", 1.0},
      {"de_DE", "12,5", 12.5},      {"de_DE", "12.50", 12.5}, {"fr_FR", "1,000", 1.0},
      {"fr_FR", "1.000", 1.0},      {"fr_FR", "12,50", 12.5}, {"en_US_POSIX", "1,000", 1.0},
      {"en_US_POSIX", "12,5", 12.5}};
  for (const auto& [locale, typed, amount] : cases) {
    NumberFormatter formatter(locale);
    BudgetStore store = testing::budgetWith("Rent");
    const BudgetStore before = store;
    const RecordResult result = recordTransaction(store, 0, "Note", typed, "add", formatter);
    if (!amount) {
      EXPECT_EQ(result.outcome, RecordOutcome::InvalidAmount) << locale << " " << typed;
      EXPECT_EQ(result.message, "Please enter a valid number.") << locale << " " << typed;
      EXPECT_TRUE(testing::sameBudget(store, before)) << locale << " " << typed;
    } else {
      EXPECT_EQ(result.outcome, RecordOutcome::Recorded) << locale << " " << typed;
      EXPECT_EQ(store.categoryAmounts()[0], *amount) << locale << " " << typed;
    }
  }
}

// No recording makes a figure infinite (ModelBased); one at the largest double still takes them.
TEST(RecordTransaction, AFigureAtTheLargestDoubleStillTakesAmounts) {
  NumberFormatter formatter("en_US");
  BudgetStore store = testing::budgetWith("Rent");
  const double largest = std::numeric_limits<double>::max();
  store.setBalance(0, largest);
  store.setTotalAmount(largest);
  EXPECT_EQ(recordTransaction(store, 0, "", "1e15", "add", formatter).outcome,
            RecordOutcome::Recorded);
  EXPECT_EQ(store.categoryAmounts()[0], largest);
  EXPECT_EQ(store.totalAmount(), largest);
}

}  // namespace allot
