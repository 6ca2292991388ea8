// Money text: amounts shown in the user's locale with exactly two fraction digits, and amounts
// read from what the user typed in "C" locale syntax, with a comma taken as the decimal point.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/format/number_formatter.h"

namespace allot {

// Configures the formatter (decimal style, two fraction digits) and formats. Never empty.
std::string formatAmount(double amount, NumberFormatter& formatter);

// The typed amount, or nothing when the text is not a whole finite number: empty text, leading
// white space, anything left over, NaN, infinity and overflow are all refused.
std::optional<double> parseAmount(std::string_view typed);

}  // namespace allot
