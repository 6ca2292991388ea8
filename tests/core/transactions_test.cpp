#include "core/transactions.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/envelope_editing.h"
#include "core/envelope_list.h"

namespace allot {
namespace {

class Transactions : public ::testing::Test {
 protected:
  // Envelope 1 has balance 100 and the total is 300.
  void SetUp() override {
    addEnvelope(store, "Other", 0);
    addEnvelope(store, "Food", 2);
    store.setBalance(0, 200.0);
    store.setBalance(1, 100.0);
    store.setTotalAmount(300.0);
  }

  RecordResult record(std::string_view amount, std::string_view mode, std::string note = "") {
    return recordTransaction(store, 1, std::move(note), amount, mode, us);
  }

  BudgetStore store;
  NumberFormatter us{"en_US"};
};

TEST_F(Transactions, RecordingMovesBalanceAndTotalBySignedAmount) {
  struct Row {
    const char* text;
    const char* mode;
    double stored, balance, total;
    const char* message;
  };
  const Row rows[] = {
      {"5", "add", 5, 105, 305, "Transaction of 5.00 recorded."},
      {"12,5", "subtract", -12.5, 87.5, 287.5, "Transaction of -12.50 recorded."},
      {"-5", "subtract", 5, 105, 305, "Transaction of 5.00 recorded."},
      {"0", "add", 0, 100, 300, "Transaction of 0.00 recorded."},
      {"-5", "take", -5, 95, 295, "Transaction of -5.00 recorded."},
  };
  for (const Row& row : rows) {
    store = BudgetStore();
    SetUp();
    const RecordResult result = record(row.text, row.mode, "note");
    EXPECT_EQ(result.outcome, RecordOutcome::Recorded) << row.text;
    EXPECT_EQ(result.message, row.message);
    EXPECT_EQ(store.detailAmountArrays()[1].back(), row.stored);
    EXPECT_EQ(store.detailArrays()[1].back(), "note");
    EXPECT_EQ(store.categoryAmounts()[1], row.balance);
    EXPECT_EQ(store.totalAmount(), row.total);
    EXPECT_EQ(store.categoryAmounts()[0], 200.0);
  }
}

TEST_F(Transactions, RefusalsChangeNothing) {
  EXPECT_EQ(record("", "add").outcome, RecordOutcome::EmptyAmount);
  for (const char* text : {"1,234.5", " ", "abc", "nan", "inf", "1e999", "1.5e308", "-1e16"}) {
    const RecordResult result = record(text, "add");
    EXPECT_EQ(result.outcome, RecordOutcome::InvalidAmount) << text;
    EXPECT_EQ(result.message, "Please enter a valid number.");
  }
  EXPECT_EQ(store.transactionCount(1), 1u);
  EXPECT_EQ(store.categoryAmounts()[1], 100.0);
  // The largest amount is taken, and no run of them can overflow a figure.
  EXPECT_EQ(record("1e15", "subtract").outcome, RecordOutcome::Recorded);
  store.setBalance(1, std::numeric_limits<double>::max());
  EXPECT_EQ(record("1e15", "add").outcome, RecordOutcome::Recorded);
  EXPECT_EQ(store.categoryAmounts()[1], std::numeric_limits<double>::max());
}

TEST_F(Transactions, TheTwoHundredAndFirstRecordingDropsTheOldestEntryButNotItsMoney) {
  store.replaceTransactions(1, {}, {});
  for (int i = 1; i <= 200; ++i) record(std::to_string(i), "add", "n" + std::to_string(i));
  ASSERT_EQ(store.transactionCount(1), 200u);
  record("1000", "add", "newest");
  EXPECT_EQ(store.transactionCount(1), 200u);
  EXPECT_EQ(store.detailArrays()[1].front(), "n2");
  EXPECT_EQ(store.detailArrays()[1].back(), "newest");
  EXPECT_EQ(store.detailAmountArrays()[1].size(), 200u);
  const double recorded = 200.0 * 201.0 / 2.0 + 1000.0;
  EXPECT_EQ(store.categoryAmounts()[1], 100.0 + recorded) << "the dropped 1 stays counted";
  EXPECT_EQ(store.totalAmount(), 300.0 + recorded);
}

TEST_F(Transactions, DeletingByDisplayRowGivesTheAmountBack) {
  record("7", "add", "older");
  record("12,5", "subtract", "newest");
  EXPECT_EQ(deleteTransaction(store, 1, 0, us), "Transaction of -12.50 deleted.");
  EXPECT_EQ(store.detailArrays()[1], (std::vector<std::string>{"Added 'Food'", "older"}));
  EXPECT_EQ(store.categoryAmounts()[1], 107.0);
  EXPECT_EQ(store.totalAmount(), 307.0);

  EXPECT_EQ(deleteTransaction(store, 1, 1, us), "Transaction of 0.00 deleted.");
  EXPECT_EQ(store.categoryAmounts()[1], 107.0);
  deleteTransaction(store, 1, 0, us);
  EXPECT_TRUE(store.detailArrays()[1].empty());
  EXPECT_TRUE(store.detailAmountArrays()[1].empty());
  EXPECT_EQ(store.categoryAmounts()[1], 100.0);
  EXPECT_EQ(store.envelopeCount(), 2u);
}

TEST_F(Transactions, TotalFollowsTheBalancesThroughEveryOperation) {
  // The total starts equal to the balances' sum and must stay so by deltas alone.
  auto sum = [&] { return store.categoryAmounts()[0] + store.categoryAmounts()[1]; };
  record("0.25", "add");
  record("3,5", "subtract");
  addEnvelope(store, "New", 4);
  recordTransaction(store, 2, "", "8", "add", us);
  moveEnvelope(store, 2, 0);
  EXPECT_EQ(store.totalAmount(), sum() + store.categoryAmounts()[2]);
  updateEnvelope(store, 0, "Renamed", 1);
  deleteTransaction(store, 2, 0, us);
  resetEnvelope(store, 1);
  EXPECT_EQ(store.totalAmount(), store.categoryAmounts()[0] + store.categoryAmounts()[2]);
  deleteEnvelope(store, 0);
  EXPECT_EQ(store.totalAmount(), store.categoryAmounts()[1]);
  EXPECT_EQ(store.totalAmount(), 100.0 + 0.25) << "the deleted -3.5 came back";
}

}  // namespace
}  // namespace allot
