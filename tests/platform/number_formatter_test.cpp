#include "platform/format/number_formatter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

namespace allot {
namespace {

std::string money(NumberFormatter& formatter, double amount) {
  formatter.setNumberStyle(NumberStyle::Decimal);
  formatter.setMinimumFractionDigits(2);
  formatter.setMaximumFractionDigits(2);
  return formatter.stringFromNumber(amount);
}

TEST(NumberFormatterTest, FormatsMoneyInTheLocalesNotation) {
  const std::tuple<const char*, double, const char*> cases[] = {
      {"en_US", 1234.567, "1,234.57"},
      {"en_US", -12.5, "-12.50"},
      {"en_US", 0.0, "0.00"},
      {"en_US", 10.005, "10.00"},  // 10.00499999... stored
      {"de_DE", 1234.567, "1.234,57"},
      {"fr_FR", 1234.567, "1\u202F234,57"},
      {"hi_IN", 1234567.891, "12,34,567.89"},
  };
  for (const auto& [locale, amount, text] : cases) {
    NumberFormatter formatter(locale);
    for (int round = 0; round < 2; ++round) {  // the second with settings that did not change
      EXPECT_EQ(money(formatter, amount), text) << locale << " " << amount;
    }
  }
  for (const char* locale : {"en_US", "fr_FR", "en_US_POSIX"}) {
    NumberFormatter formatter(locale);
    const double inf = std::numeric_limits<double>::infinity();
    for (double amount : {std::numeric_limits<double>::quiet_NaN(), inf, -inf}) {
      EXPECT_FALSE(money(formatter, amount).empty()) << locale << " " << amount;
    }
  }
}

TEST(NumberFormatterTest, StylesStartFromThePlatformDefaults) {
  NumberFormatter formatter("en_US");
  EXPECT_EQ(formatter.stringFromNumber(1234.6), "1235");  // no style: whole, ungrouped
  formatter.setNumberStyle(NumberStyle::Decimal);
  EXPECT_EQ(formatter.stringFromNumber(1234.5678), "1,234.568");
  formatter.setMinimumFractionDigits(2);
  EXPECT_EQ(formatter.stringFromNumber(1234.0), "1,234.00");
  formatter.setMaximumFractionDigits(0);  // below the minimum: both become 0
  EXPECT_EQ(formatter.stringFromNumber(1234.0), "1,234");
  formatter.setMinimumFractionDigits(4);  // above the maximum: both become 4
  EXPECT_EQ(formatter.stringFromNumber(1.5), "1.5000");
  formatter.setNumberStyle(NumberStyle::None);
  EXPECT_EQ(formatter.stringFromNumber(1234.6), "1235");
}

void setOrUnset(const char* name, const char* value) {
  value ? ::setenv(name, value, 1) : ::unsetenv(name);
}

TEST(NumberFormatterTest, DefaultLocaleComesFromTheEnvironment) {
  const char* names[] = {"LC_ALL", "LC_NUMERIC", "LANG"};
  std::vector<std::optional<std::string>> saved;
  for (const char* name : names) {
    const char* value = std::getenv(name);
    saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
  }

  const std::array<const char*, 4> cases[] = {
      // LC_ALL, LC_NUMERIC, LANG, expected locale
      {"de_DE.UTF-8", "fr_FR", "hi_IN", "de_DE"}, {"", "fr_FR.UTF-8@euro", "de_DE", "fr_FR"},
      {nullptr, nullptr, "de_DE@euro", "de_DE"},  {nullptr, "", "C.UTF-8", "en_US_POSIX"},
      {"POSIX", "de_DE", nullptr, "en_US_POSIX"}, {nullptr, nullptr, nullptr, "en_US_POSIX"},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 3; ++i) setOrUnset(names[i], c[i]);
    NumberFormatter formatter;
    EXPECT_EQ(formatter.localeName(), c[3]);
    const bool german = std::string(c[3]) == "de_DE";
    const bool posix = std::string(c[3]) == "en_US_POSIX";
    if (german || posix) EXPECT_EQ(money(formatter, 1234.567), german ? "1.234,57" : "1234.57");
  }

  for (int i = 0; i < 3; ++i) setOrUnset(names[i], saved[i] ? saved[i]->c_str() : nullptr);
}

}  // namespace
}  // namespace allot
