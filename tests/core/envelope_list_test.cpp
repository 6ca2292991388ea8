// What the operations do is tested against a reference model in ModelBased; here, the texts the
// list shows and asks with, and the palette, which the model cannot know.
#include "core/envelope_list.h"

#include <gtest/gtest.h>

#include "core/envelope_editing.h"

namespace allot {
namespace {

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

TEST(EnvelopeEditing, PaletteHasFiveTranslucentP3Colours) {
  const auto& palette = colorPalette();
  EXPECT_EQ(palette[2].red, 0.328);
  EXPECT_EQ(palette[2].green, 0.719);
  EXPECT_EQ(palette[4].blue, 0.843);
  for (const P3Color& colour : palette) EXPECT_EQ(colour.alpha, 0.88);
  EXPECT_EQ(defaultColorNumber, 2);
}

}  // namespace
}  // namespace allot
