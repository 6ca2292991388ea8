#include "core/envelope_list.h"

#include <gtest/gtest.h>

#include "tests/core/store_fixtures.h"

namespace allot {
namespace {

using testing::fourEnvelopes;

std::vector<std::string> names(const BudgetStore& store) { return store.categoryNames(); }

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

  EXPECT_EQ(deleteConfirmationMessage(store, 1), "Permanently delete \"Say \"hi\"\n\" and its balance?");
  EXPECT_EQ(resetConfirmationMessage(store, 0),
            "Reset the balance and clear all transactions for \"Food\"?");
}

TEST(EnvelopeList, DeleteTakesTheBalanceOutOfTheStoredTotal) {
  BudgetStore store = fourEnvelopes();
  deleteEnvelope(store, 1);
  EXPECT_EQ(names(store), (std::vector<std::string>{"A", "C", "D"}));
  EXPECT_EQ(store.categoryAmounts(), (std::vector<double>{10.0, 0.0, 4.0}));
  EXPECT_EQ(store.envelopeColors()[1], 2);
  EXPECT_EQ(store.detailArrays()[1][0], "C");
  EXPECT_EQ(store.totalAmount(), 14.0);

  // The total is never recomputed: a stored total that disagrees keeps disagreeing.
  store.setTotalAmount(100.0);
  deleteEnvelope(store, 0);
  EXPECT_EQ(store.totalAmount(), 90.0);
  deleteEnvelope(store, 1);
  deleteEnvelope(store, 0);
  EXPECT_EQ(store.envelopeCount(), 0u);
  EXPECT_EQ(store.totalAmount(), 86.0);
}

TEST(EnvelopeList, ResetLeavesOneEntryAndLowersTheTotal) {
  BudgetStore store = fourEnvelopes();
  resetEnvelope(store, 0);
  EXPECT_EQ(store.categoryAmounts()[0], 0.0);
  EXPECT_EQ(store.detailArrays()[0], (std::vector<std::string>{"Reset envelope"}));
  EXPECT_EQ(store.detailAmountArrays()[0], (std::vector<double>{0.0}));
  EXPECT_EQ(store.totalAmount(), 1.5);
  EXPECT_EQ(store.categoryNames()[0], "A");
  EXPECT_EQ(store.envelopeColors()[0], 0);

  resetEnvelope(store, 2);  // balance already 0
  EXPECT_EQ(store.totalAmount(), 1.5);
  EXPECT_EQ(store.detailArrays()[2], (std::vector<std::string>{"Reset envelope"}));
}

TEST(EnvelopeList, MoveCarriesTheWholeEnvelopeInBothDirections) {
  struct Case {
    std::size_t from, to;
    std::vector<std::string> order;
  };
  for (const Case& c : {Case{0, 2, {"B", "C", "A", "D"}}, Case{3, 0, {"D", "A", "B", "C"}},
                        Case{1, 3, {"A", "C", "D", "B"}}, Case{2, 2, {"A", "B", "C", "D"}}}) {
    BudgetStore store = fourEnvelopes();
    moveEnvelope(store, c.from, c.to);
    EXPECT_EQ(names(store), c.order) << c.from << " to " << c.to;
    EXPECT_EQ(store.totalAmount(), 11.5);
    for (std::size_t i = 0; i < 4; ++i) {
      // Every envelope still carries its own colour, balance and entry.
      const std::int64_t original = store.categoryNames()[i][0] - 'A';
      EXPECT_EQ(store.envelopeColors()[i], original);
      EXPECT_EQ(store.detailArrays()[i][0], store.categoryNames()[i]);
      EXPECT_EQ(store.detailAmountArrays()[i][0], store.categoryAmounts()[i]);
    }
  }
}

TEST(EnvelopeList, EditButtonOnlyFromTwoEnvelopes) {
  EXPECT_FALSE(needsEditButton(0));
  EXPECT_FALSE(needsEditButton(1));
  EXPECT_TRUE(needsEditButton(2));
  EXPECT_TRUE(needsEditButton(1000));
}

}  // namespace
}  // namespace allot
