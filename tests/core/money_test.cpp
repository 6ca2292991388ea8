// Amounts read from what the user types and shown in the locale's notation. The amounts that no
// recording takes are in RecordTransaction and ModelBased.
#include "core/money.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "tests/support/samples.h"

namespace allot {

TEST(ParseAmount, ReadsCLocaleNumbersWithACommaAsDecimalPointAndRefusesEverythingElse) {
  for (const auto& [typed, expected] : testing::kReadAmounts) {
    EXPECT_EQ(parseAmount(typed), expected) << typed;
  }
  for (const std::string& typed : testing::kRefusedAmounts) {
    EXPECT_FALSE(parseAmount(typed).has_value()) << '"' << typed << '"';
  }
  // A megabyte of text is read or refused like a short one.
  const std::string ones(1 << 20, '1');
  for (const std::string& typed :
       {ones, "5" + std::string(1 << 20, ' '), std::string(1 << 20, ',')})
    EXPECT_FALSE(parseAmount(typed).has_value());
  EXPECT_EQ(parseAmount("0," + ones), 1.0 / 9.0);
  EXPECT_EQ(parseAmount("0." + std::string(1 << 20, '0') + "1"), 0.0) << "underflow reads as 0";
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

}  // namespace allot
