// The budget store: whole fields or none, transaction lists that arrive later, and indexes out of
// range.
#include "core/budget_store.h"

#include <gtest/gtest.h>

namespace allot {
namespace {

EnvelopeRecord record(std::string name, double balance) {
  return {std::move(name), 1, balance, {"x", "y"}, {1.0, 2.0}};
}

TEST(BudgetStore, AssignRefusesFieldsOfUnequalLength) {
  BudgetStore store;
  store.appendEnvelope(record("kept", 5.0));
  BudgetFields uneven{1.0, {"a"}, {1}, {}, {{}}, {{}}};  // no balance
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
