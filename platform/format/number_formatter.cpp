#include "platform/format/number_formatter.h"

#include <unicode/unum.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <vector>

namespace allot {
namespace {

// Fraction digits beyond this are clamped: a double has no more to show.
constexpr int kMaxFractionDigits = 100;

struct StyleDefaults {
  bool grouping;
  int minimumFractionDigits;
  int maximumFractionDigits;
};

// What the phone platform's formatter does when a style is chosen: the decimal style groups
// digits and shows up to three fraction digits; no style shows a plain whole number.
StyleDefaults defaultsFor(NumberStyle style) {
  if (style == NumberStyle::Decimal) return {true, 0, 3};
  return {false, 0, 0};
}

// "de_DE.UTF-8@euro" -> "de_DE"; "C", "POSIX" or nothing -> plain English without grouping.
std::string localeFromEnvironment() {
  std::string name;
  for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* text = std::getenv(variable);
    if (text != nullptr && *text != '\0') {
      name = text;
      break;
    }
  }
  name = name.substr(0, name.find_first_of(".@"));
  if (name.empty() || name == "C" || name == "POSIX") return "en_US_POSIX";
  return name;
}

}  // namespace

// The ICU formatter, with the settings last pushed to it so that unchanged ones are not pushed
// again, and buffers reused from one call to the next.
class NumberFormatter::Engine {
 public:
  explicit Engine(const std::string& locale) {
    UErrorCode status = U_ZERO_ERROR;
    format_ = unum_open(UNUM_DECIMAL, nullptr, 0, locale.c_str(), nullptr, &status);
    if (U_FAILURE(status)) {
      if (format_ != nullptr) unum_close(format_);
      format_ = nullptr;
    }
  }
  ~Engine() {
    if (format_ != nullptr) unum_close(format_);
  }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  void apply(bool grouping, int minimumFractionDigits, int maximumFractionDigits) {
    maximumFractionDigits_ = maximumFractionDigits;
    if (format_ == nullptr) return;
    unum_setAttribute(format_, UNUM_GROUPING_USED, grouping ? 1 : 0);
    // The pair arrives with minimum <= maximum, so ICU adjusts neither to meet the other.
    unum_setAttribute(format_, UNUM_MAX_FRACTION_DIGITS, maximumFractionDigits);
    unum_setAttribute(format_, UNUM_MIN_FRACTION_DIGITS, minimumFractionDigits);
  }

  std::string groupingSeparator() {
    if (format_ == nullptr || unum_getAttribute(format_, UNUM_GROUPING_SIZE) <= 0) return {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = unum_getSymbol(format_, UNUM_GROUPING_SEPARATOR_SYMBOL, utf16_.data(),
                                          static_cast<int32_t>(utf16_.size()), &status);
    if (U_FAILURE(status) || length <= 0) return {};
    return toUtf8(length);
  }

  std::string format(double number) {
    if (format_ != nullptr) {
      UErrorCode status = U_ZERO_ERROR;
      int32_t length = unum_formatDouble(format_, number, utf16_.data(),
                                         static_cast<int32_t>(utf16_.size()), nullptr, &status);
      if (status == U_BUFFER_OVERFLOW_ERROR) {
        utf16_.resize(static_cast<std::size_t>(length) + 1);
        status = U_ZERO_ERROR;
        length = unum_formatDouble(format_, number, utf16_.data(),
                                   static_cast<int32_t>(utf16_.size()), nullptr, &status);
      }
      if (U_SUCCESS(status) && length > 0) {
        std::string text = toUtf8(length);
        if (!text.empty()) return text;
      }
    }
    return fallback(number);
  }

 private:
  std::string toUtf8(int32_t utf16Length) {
    std::string text(static_cast<std::size_t>(utf16Length) * 3, '\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strToUTF8(text.data(), static_cast<int32_t>(text.size()), &length, utf16_.data(), utf16Length,
                &status);
    if (U_FAILURE(status)) return {};
    text.resize(static_cast<std::size_t>(length));
    return text;
  }

  // Only reached when ICU could not open the locale's data: plain notation, never empty.
  std::string fallback(double number) const {
    std::array<char, 512> buffer{};
    auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number,
                                      std::chars_format::fixed, maximumFractionDigits_);
    if (error != std::errc()) return number < 0 ? "-" : "0";
    return std::string(buffer.data(), end);
  }

  UNumberFormat* format_ = nullptr;
  std::vector<UChar> utf16_ = std::vector<UChar>(64);
  int maximumFractionDigits_ = 0;
};

NumberFormatter::NumberFormatter() : NumberFormatter(localeFromEnvironment()) {}

NumberFormatter::NumberFormatter(std::string_view locale)
    : locale_(locale), engine_(std::make_unique<Engine>(locale_)) {}

NumberFormatter::~NumberFormatter() = default;

void NumberFormatter::setNumberStyle(NumberStyle style) {
  if (style == style_) return;
  style_ = style;
  const StyleDefaults defaults = defaultsFor(style);
  minimumFractionDigits_ = defaults.minimumFractionDigits;
  maximumFractionDigits_ = defaults.maximumFractionDigits;
  dirty_ = true;
}

void NumberFormatter::setMinimumFractionDigits(int digits) {
  digits = std::clamp(digits, 0, kMaxFractionDigits);
  if (digits == minimumFractionDigits_) return;
  minimumFractionDigits_ = digits;
  maximumFractionDigits_ = std::max(maximumFractionDigits_, digits);
  dirty_ = true;
}

void NumberFormatter::setMaximumFractionDigits(int digits) {
  digits = std::clamp(digits, 0, kMaxFractionDigits);
  if (digits == maximumFractionDigits_) return;
  maximumFractionDigits_ = digits;
  minimumFractionDigits_ = std::min(minimumFractionDigits_, digits);
  dirty_ = true;
}

void NumberFormatter::applySettings() const {
  if (!dirty_) return;
  engine_->apply(defaultsFor(style_).grouping, minimumFractionDigits_, maximumFractionDigits_);
  dirty_ = false;
}

std::string NumberFormatter::groupingSeparator() const {
  return engine_->groupingSeparator();
}

std::string NumberFormatter::stringFromNumber(double number) const {
  applySettings();
  return engine_->format(number);
}

}  // namespace allot
