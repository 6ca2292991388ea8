// The number formatter: styles from the platform's defaults, and the locale from the environment.
#include "platform/format/number_formatter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace allot {
namespace {

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
  }

  for (int i = 0; i < 3; ++i) setOrUnset(names[i], saved[i] ? saved[i]->c_str() : nullptr);
}

}  // namespace
}  // namespace allot
