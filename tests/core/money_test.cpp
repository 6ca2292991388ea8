#include "core/money.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace allot {
namespace {

TEST(ParseAmount, AcceptsCLocaleNumbersWithACommaAsDecimalPoint) {
  const std::pair<const char*, double> accepted[] = {
      {"12,50", 12.5}, {"12.50", 12.5}, {"-5", -5.0}, {"+5", 5.0},      {"0", 0.0},
      {".5", 0.5},     {"5.", 5.0},     {"1e2", 100}, {"0x10", 16.0},   {"-0,25", -0.25},
      {"1E-2", 0.01},  {"0x1p-2", 0.25}};
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
  const std::string refused[] = {"1,234.50", "1.234,50", "",      " 12",  "12 ",  "\t1",
                                 "$5",       "5 EUR",    "abc",   "-",    ".",    "1e",
                                 "0x",       "1..2",     "nan",   "NaN",  "inf",  "-INF",
                                 "Infinity", "1e999",    "-1e999", std::string("1\0002", 3),
                                 std::string("\0001", 2)};
  for (const std::string& typed : refused) {
    EXPECT_FALSE(parseAmount(typed).has_value()) << '"' << typed << '"';
  }
}

TEST(FormatAmount, TwoFractionDigitsInTheLocalesNotation) {
  NumberFormatter us("en_US");
  EXPECT_EQ(formatAmount(0, us), "0.00");
  EXPECT_EQ(formatAmount(5, us), "5.00");
  EXPECT_EQ(formatAmount(-12.5, us), "-12.50");
  EXPECT_EQ(formatAmount(1234.567, us), "1,234.57");
  EXPECT_EQ(formatAmount(10.005, us), "10.00") << "10.005 is stored a hair below";

  NumberFormatter german("de_DE");
  EXPECT_EQ(formatAmount(1234.567, german), "1.234,57");

  // The formatter is configured on every call, whatever it was set to before.
  us.setMaximumFractionDigits(0);
  EXPECT_EQ(formatAmount(1.5, us), "1.50");

  for (double odd : {std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity()}) {
    EXPECT_FALSE(formatAmount(odd, us).empty());
  }
}

}  // namespace
}  // namespace allot
