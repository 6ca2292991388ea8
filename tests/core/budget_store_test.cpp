#include "core/budget_store.h"

#include <gtest/gtest.h>

namespace allot {
namespace {

EnvelopeRecord record(std::string name, double balance) {
  return {std::move(name), 1, balance, {"x", "y"}, {1.0, 2.0}};
}

TEST(BudgetStore, FreshStoreIsEmpty) {
  BudgetStore store;
  EXPECT_EQ(store.envelopeCount(), 0u);
  EXPECT_EQ(store.totalAmount(), 0.0);
  EXPECT_TRUE(store.detailAmountArrays().empty());
}

TEST(BudgetStore, EnvelopesMoveAsUnitsThroughAllFiveCollections) {
  BudgetStore store;
  store.appendEnvelope(record("first", 1.0));
  store.appendEnvelope(record("third", 3.0));
  store.insertEnvelope(1, record("second", 2.0));
  EXPECT_EQ(store.categoryNames(), (std::vector<std::string>{"first", "second", "third"}));
  EXPECT_EQ(store.categoryAmounts(), (std::vector<double>{1.0, 2.0, 3.0}));

  const EnvelopeRecord removed = store.removeEnvelope(0);
  EXPECT_EQ(removed, record("first", 1.0));
  EXPECT_EQ(store.categoryNames(), (std::vector<std::string>{"second", "third"}));
  EXPECT_EQ(store.envelopeColors().size(), 2u);
  EXPECT_EQ(store.detailArrays().size(), 2u);
  EXPECT_EQ(store.detailAmountArrays().size(), 2u);
  EXPECT_EQ(store.totalAmount(), 0.0) << "no primitive touches the total";
}

TEST(BudgetStore, TransactionsAreAppendedAndRemovedInPairs) {
  BudgetStore store;
  store.appendEnvelope(record("e", 0.0));
  store.appendTransaction(0, "z", 3.0);
  EXPECT_EQ(store.detailArrays()[0], (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_EQ(store.removeTransaction(0, 1), (std::pair<std::string, double>{"y", 2.0}));
  EXPECT_EQ(store.detailAmountArrays()[0], (std::vector<double>{1.0, 3.0}));
  store.replaceTransactions(0, {"only"}, {0.0});
  EXPECT_EQ(store.transactionCount(0), 1u);
  EXPECT_EQ(store.categoryAmounts()[0], 0.0) << "no primitive touches a balance";
}

TEST(BudgetStore, AssignRefusesFieldsOfUnequalLength) {
  BudgetStore store;
  store.appendEnvelope(record("kept", 5.0));
  BudgetFields uneven;
  uneven.categoryNames = {"a"};
  EXPECT_FALSE(store.assign(uneven));
  BudgetFields unpaired{1.0, {"a"}, {0}, {0.0}, {{"d"}}, {{}}};
  EXPECT_FALSE(store.assign(unpaired));
  EXPECT_EQ(store.categoryNames()[0], "kept");
  EXPECT_TRUE(store.assign({2.0, {"a"}, {4}, {1.0}, {{"d"}}, {{1.0}}}));
  EXPECT_EQ(store.totalAmount(), 2.0);
}

TEST(BudgetStoreDeathTest, OutOfRangeIndexesAssertInDebugAndChangeNothingOtherwise) {
  BudgetStore store;
  store.appendEnvelope(record("e", 1.0));
  EXPECT_DEBUG_DEATH(store.removeEnvelope(1), "out of range");
  EXPECT_DEBUG_DEATH(store.removeTransaction(0, 2), "out of range");
  EXPECT_DEBUG_DEATH(store.insertEnvelope(3, record("f", 0.0)), "out of range");
  EXPECT_DEBUG_DEATH(store.setBalance(7, 9.0), "out of range");
  EXPECT_EQ(store.envelopeCount(), 1u);
  EXPECT_EQ(store.transactionCount(0), 2u);
  EXPECT_EQ(store.categoryAmounts()[0], 1.0);
}

}  // namespace
}  // namespace allot
