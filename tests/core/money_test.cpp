#include "core/money.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace allot {
namespace {

TEST(ParseAmount, AcceptsCLocaleNumbersWithACommaAsDecimalPoint) {
  const std::pair<const char*, double> accepted[] = {
      {"12,50", 12.5}, {"12.50", 12.5},  {"-5", -5.0},   {"+5", 5.0},
      {"0", 0.0},      {".5", 0.5},      {"5.", 5.0},    {"1e2", 100},
      {"0x10", 16.0},  {"-0,25", -0.25}, {"1E-2", 0.01}, {"0x1p-2", 0.25}};
  for (const auto& [typed, expected] : accepted) {
    const std::optional<double> parsed = parseAmount(typed);
    ASSERT_TRUE(parsed.has_value()) << typed;
    EXPECT_EQ(*parsed, expected) << typed;
  }
  // Stored unrounded.
  EXPECT_EQ(parseAmount("10.005"), 10.005);
  // Underflow yields a finite amount and is kept.
  EXPECT_TRUE(parseAmount("1e-400").has_value());
}

TEST(ParseAmount, RefusesEverythingElse) {
  using namespace std::string_literals;
  const std::string refused[] = {"1,234.50", "1.234,50", "",       " 12",     "12 ",   "\t1",
                                 "$5",       "5 EUR",    "abc",    "-",       ".",     "1e",
                                 "0x",       "1..2",     "nan",    "NaN",     "inf",   "-INF",
                                 "Infinity", "1e999",    "-1e999", "1\0002"s, "\0001"s};
  for (const std::string& typed : refused) {
    EXPECT_FALSE(parseAmount(typed).has_value()) << '"' << typed << '"';
  }
}

// Two fraction digits in the locale's own notation, on every call, whatever the formatter was set
// to before; a text even for what no amount should be.
TEST(FormatAmount, TwoFractionDigitsInTheLocalesNotation) {
  const std::tuple<const char*, double, const char*> cases[] = {
      {"en_US", 1234.567, "1,234.57"},
      {"en_US", -12.5, "-12.50"},
      {"en_US", 0.0, "0.00"},
      {"en_US", 10.005, "10.00"},  // 10.00499999... stored
      {"de_DE", 1234.567, "1.234,57"},
      {"fr_FR", 1234.567, "1\u202F234,57"},
      {"hi_IN", 1234567.891, "12,34,567.89"},
      {"en_US_POSIX", 1234.567, "1234.57"},
  };
  for (const auto& [locale, amount, text] : cases) {
    NumberFormatter formatter(locale);
    EXPECT_EQ(formatAmount(amount, formatter), text) << locale << " " << amount;
    formatter.setMaximumFractionDigits(0);
    formatter.setMinimumFractionDigits(4);
    EXPECT_EQ(formatAmount(amount, formatter), text) << locale << " after other settings";
    const double inf = std::numeric_limits<double>::infinity();
    for (double odd : {std::numeric_limits<double>::quiet_NaN(), inf, -inf}) {
      EXPECT_FALSE(formatAmount(odd, formatter).empty()) << locale << " " << odd;
    }
  }
}

}  // namespace
}  // namespace allot
