// What the user types and reads: amounts read and shown, and the texts of the envelope list. What
// the operations do is tested against a reference model in ModelBased.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "core/envelope_list.h"
#include "core/money.h"
#include "tests/support/samples.h"

namespace allot {
namespace {

// A megabyte of digits, and the amounts that no recording takes, are in BadInput and ModelBased.
TEST(ParseAmount, ReadsCLocaleNumbersWithACommaAsDecimalPointAndRefusesEverythingElse) {
  for (const auto& [typed, expected] : testing::kReadAmounts) {
    EXPECT_EQ(parseAmount(typed), expected) << typed;
  }
  for (const std::string& typed : testing::kRefusedAmounts) {
    EXPECT_FALSE(parseAmount(typed).has_value()) << '"' << typed << '"';
  }
}

// Two fraction digits in the locale's own notation, on every call, whatever the formatter was set
// to before (10.005 is stored as 10.00499999...); a text even for what no amount should be.
TEST(FormatAmount, TwoFractionDigitsInTheLocalesNotation) {
  const std::tuple<const char*, double, const char*> cases[] = {
      {"en_US", 1234.567, "1,234.57"},
      {"en_US", -12.5, "-12.50"},
      {"en_US", 0.0, "0.00"},
      {"en_US", 10.005, "10.00"},
      {"de_DE", 1234.567, "1.234,57"},
      {"fr_FR", 1234.567, "1\u202F234,57"},
      {"hi_IN", 1234567.891, "12,34,567.89"},
      {"en_US_POSIX", 1234.567, "1234.57"}};
  const double inf = std::numeric_limits<double>::infinity();
  for (const auto& [locale, amount, text] : cases) {
    NumberFormatter formatter(locale);
    EXPECT_EQ(formatAmount(amount, formatter), text) << locale << " " << amount;
    formatter.setMaximumFractionDigits(0);
    formatter.setMinimumFractionDigits(4);
    EXPECT_EQ(formatAmount(amount, formatter), text) << locale << " after other settings";
    for (double odd : {std::numeric_limits<double>::quiet_NaN(), inf, -inf}) {
      EXPECT_FALSE(formatAmount(odd, formatter).empty()) << locale << " " << odd;
    }
  }
}

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
            "Permanently delete \"Say \"hi\"\n\" and its balance?");
  EXPECT_EQ(resetConfirmationMessage(store, 0),
            "Reset the balance and clear all transactions for \"Food\"?");
}

}  // namespace
}  // namespace allot
