#include "core/money.h"

#include <locale.h>
#include <clocale>
#include <cmath>
#include <cstdlib>

namespace allot {
namespace {

// The "C" locale, created once: the full stop is its only decimal separator, whatever the
// user's own locale says.
locale_t cLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

bool startsWithRefusedCharacter(const std::string& text) {
  switch (text.front()) {
    case '\0':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
    case ' ':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string formatAmount(double amount, NumberFormatter& formatter) {
  formatter.setNumberStyle(NumberStyle::Decimal);
  formatter.setMinimumFractionDigits(2);
  formatter.setMaximumFractionDigits(2);
  return formatter.stringFromNumber(amount);
}

std::optional<double> parseAmount(std::string_view typed) {
  std::string text(typed);
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  if (text.empty() || startsWithRefusedCharacter(text)) return std::nullopt;

  const char* begin = text.c_str();
  char* end = nullptr;
  const double value = strtod_l(begin, &end, cLocale());
  // An embedded NUL stops the conversion early, so it is refused like any other leftover.
  if (end != begin + text.size()) return std::nullopt;
  // NaN, infinity and overflow would make every later sum unrecoverable. Underflow is kept: it
  // yields a finite (zero or subnormal) amount.
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace allot
