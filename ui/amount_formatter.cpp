#include "ui/amount_formatter.h"

namespace allot {

NumberFormatter makeAmountFormatter(const std::optional<std::string>& locale) {
  if (locale) return NumberFormatter(*locale);
  return NumberFormatter();
}

}  // namespace allot
