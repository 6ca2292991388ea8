#include "core/money.h"

#include <gtest/gtest.h>

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

// The locales' notations are NumberFormatterTest's; formatAmount asks for two fraction digits
// on every call, whatever the formatter was set to before.
TEST(FormatAmount, TwoFractionDigitsInTheLocalesNotation) {
  NumberFormatter us("en_US");
  EXPECT_EQ(formatAmount(5, us), "5.00");
  EXPECT_EQ(formatAmount(-1234.567, us), "-1,234.57");
  us.setMaximumFractionDigits(0);
  EXPECT_EQ(formatAmount(1.5, us), "1.50");
  us.setMinimumFractionDigits(4);
  EXPECT_EQ(formatAmount(1.5, us), "1.50");
  NumberFormatter german("de_DE");
  EXPECT_EQ(formatAmount(1234.567, german), "1.234,57");
}

}  // namespace
}  // namespace allot
