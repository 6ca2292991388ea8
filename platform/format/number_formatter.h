// NumberFormatter: locale-aware number text over ICU, configured like the phone platform's number
// formatter (a style and the minimum and maximum fraction digits). It formats; it does not parse.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace allot {

enum class NumberStyle { None = 0, Decimal = 1 };

class NumberFormatter {
 public:
  // The user's locale: LC_ALL, then LC_NUMERIC, then LANG; "C", "POSIX" or nothing set means
  // plain English notation.
  NumberFormatter();
  // A named ICU locale such as "en_US" or "de_DE".
  explicit NumberFormatter(std::string_view locale);
  ~NumberFormatter();
  NumberFormatter(const NumberFormatter&) = delete;
  NumberFormatter& operator=(const NumberFormatter&) = delete;

  // The decimal style groups digits and shows up to three fraction digits until told otherwise;
  // None shows a whole number without grouping.
  void setNumberStyle(NumberStyle style);
  void setMinimumFractionDigits(int digits);
  void setMaximumFractionDigits(int digits);

  // Never empty: NaN and infinities get the locale's symbols.
  std::string stringFromNumber(double number) const;

  // The text the locale's decimal notation groups digits with ("," in en_US, "." in de_DE), or
  // the empty text when that notation does not group (en_US_POSIX). Any style leaves it alone.
  std::string groupingSeparator() const;

  const std::string& localeName() const { return locale_; }

 private:
  class Engine;
  void applySettings() const;

  std::string locale_;
  NumberStyle style_ = NumberStyle::None;
  int minimumFractionDigits_ = 0;
  int maximumFractionDigits_ = 0;
  mutable bool dirty_ = true;
  std::unique_ptr<Engine> engine_;
};

}  // namespace allot
