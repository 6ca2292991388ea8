#include "ui/amount_formatter.h"

namespace allot {

NumberFormatter makeAmountFormatter(const std::optional<std::string>& locale) {
  if (locale) return NumberFormatter(*locale);
  return NumberFormatter();
}

kit::Label::Tone amountTone(double amount) {
  return amount < 0 ? kit::Label::Tone::Negative : kit::Label::Tone::Plain;
}

}  // namespace allot
