#include "core/envelope_editing.h"

#include <gtest/gtest.h>

#include "core/transactions.h"

namespace allot {
namespace {

TEST(EnvelopeEditing, PaletteHasFiveTranslucentP3Colours) {
  const auto& palette = colorPalette();
  EXPECT_EQ(palette[2].red, 0.328);
  EXPECT_EQ(palette[2].green, 0.719);
  EXPECT_EQ(palette[4].blue, 0.843);
  for (const P3Color& colour : palette) EXPECT_EQ(colour.alpha, 0.88);
  EXPECT_EQ(defaultColorNumber, 2);
}

TEST(EnvelopeEditing, NamesAreRefusedOnlyWhenAbsentOrEmpty) {
  EXPECT_FALSE(isValidEnvelopeName(std::nullopt));
  EXPECT_FALSE(isValidEnvelopeName(std::string()));
  EXPECT_TRUE(isValidEnvelopeName(std::string(" ")));
}

TEST(EnvelopeEditing, AddAppendsWithACreationEntryAndLeavesTheTotal) {
  BudgetStore store;
  store.setTotalAmount(5.0);
  EXPECT_EQ(addEnvelope(store, "Rent", 4), "Added 'Rent'");
  EXPECT_EQ(addEnvelope(store, "Rent", 0), "Added 'Rent'");
  ASSERT_EQ(store.envelopeCount(), 2u);
  EXPECT_EQ(store.envelopeColors(), (std::vector<std::int64_t>{4, 0}));
  EXPECT_EQ(store.categoryAmounts()[0], 0.0);
  EXPECT_EQ(store.detailArrays()[0], (std::vector<std::string>{"Added 'Rent'"}));
  EXPECT_EQ(store.detailAmountArrays()[0], (std::vector<double>{0.0}));
  EXPECT_EQ(store.totalAmount(), 5.0);
}

TEST(EnvelopeEditing, UpdateKeepsPlaceBalanceAndEntriesAndAppendsAnEditEntry) {
  BudgetStore store;
  addEnvelope(store, "Food", 2);
  addEnvelope(store, "Car", 0);
  addEnvelope(store, "Fun", 1);
  store.setBalance(1, 40.0);
  updateEnvelope(store, 1, "Auto's", 3);
  EXPECT_EQ(store.categoryNames(), (std::vector<std::string>{"Food", "Auto's", "Fun"}));
  EXPECT_EQ(store.envelopeColors(), (std::vector<std::int64_t>{2, 3, 1}));
  EXPECT_EQ(store.categoryAmounts()[1], 40.0);
  EXPECT_EQ(store.detailArrays()[1],
            (std::vector<std::string>{"Added 'Car'", "Edited 'Auto's'"}));
  EXPECT_EQ(store.detailAmountArrays()[1], (std::vector<double>{0.0, 0.0}));
  EXPECT_EQ(store.detailArrays()[0].size(), 1u);

  updateEnvelope(store, 1, "Auto's", 3);  // unchanged still leaves an entry
  EXPECT_EQ(store.transactionCount(1), 3u);
}

TEST(EnvelopeEditing, EditEntryIsNotTrimmedButTheNextRecordingTrimsByOne) {
  NumberFormatter us("en_US");
  BudgetStore store;
  addEnvelope(store, "Full", 2);
  for (int i = 1; i < 200; ++i) recordTransaction(store, 0, "", "1", "add", us);
  ASSERT_EQ(store.transactionCount(0), 200u);
  updateEnvelope(store, 0, "Fuller", 2);
  EXPECT_EQ(store.transactionCount(0), 201u);
  EXPECT_EQ(store.detailArrays()[0].back(), "Edited 'Fuller'");
  recordTransaction(store, 0, "next", "1", "add", us);
  EXPECT_EQ(store.transactionCount(0), 201u);
  EXPECT_EQ(store.detailArrays()[0].back(), "next");
  EXPECT_EQ(store.detailArrays()[0].front(), "") << "the creation entry was the one dropped";
}

}  // namespace
}  // namespace allot
