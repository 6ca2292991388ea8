// The number formatter each screen that shows amounts owns: the user's locale, or a named one
// (tests name "en_US" so that the texts they expect are fixed).
#pragma once

#include <optional>
#include <string>

#include "platform/format/number_formatter.h"

namespace allot {

NumberFormatter makeAmountFormatter(const std::optional<std::string>& locale);

}  // namespace allot
