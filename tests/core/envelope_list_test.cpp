// The texts of the envelope list: the total line, the rows and the questions before deleting or
// resetting.
#include "core/envelope_list.h"

#include <gtest/gtest.h>

namespace allot {

TEST(EnvelopeList, TextsOfTheTotalRowsAndQuestions) {
  NumberFormatter us("en_US");
  BudgetStore store;
  store.appendEnvelope({"Food", 3, -7.0, {}, {}});
  store.appendEnvelope({"Say \"hi\"\n", 1, 1234.567, {}, {}});
  store.setTotalAmount(1234.5);
  EXPECT_EQ(totalText(store, us), "Total: 1,234.50");
  store.setTotalAmount(-3);
  EXPECT_EQ(totalText(store, us), "Total: -3.00");
  const EnvelopeRowContent food = envelopeRowContent(store, 0, us);
  EXPECT_EQ(food.nameText, "Food\n");
  EXPECT_EQ(food.balanceText, "-7.00");
  EXPECT_EQ(food.colorNumber, 3);
  EXPECT_EQ(envelopeRowContent(store, 1, us).nameText, "Say \"hi\"\n\n");
  EXPECT_EQ(deleteConfirmationMessage(store, 1),
            "Permanently delete \"\u2068Say \"hi\"\n\u2069\" and its balance?");
  EXPECT_EQ(resetConfirmationMessage(store, 0),
            "Reset the balance and clear all transactions for \"\u2068Food\u2069\"?");
}

// Deleting an envelope takes its balance out of the total; undo puts both back, and redo takes
// them out again.
TEST(EnvelopeList, DeletingAnEnvelopeTakesItsBalanceAndIsTakenBackWhole) {
  BudgetStore store;
  store.appendEnvelope({"Food", 3, 40.0, {}, {}});
  store.setTotalAmount(100.0);
  deleteEnvelope(store, 0);
  EXPECT_EQ(store.totalAmount(), 60.0);
  ASSERT_TRUE(store.history().undo(store));
  EXPECT_EQ(store.totalAmount(), 100.0);
  EXPECT_EQ(store.categoryAmounts(), std::vector<double>{40.0});
  ASSERT_TRUE(store.history().redo(store));
  EXPECT_EQ(store.totalAmount(), 60.0);
  EXPECT_EQ(store.envelopeCount(), 0u);
}

}  // namespace allot
