// Conversion of a stored Value to the plain types the budget keeps: a text, a number, a whole
// number, or lists (and lists of lists) of them. Numbers convert between the two kinds where
// nothing is lost: an integer to the nearest double, a whole, in-range double to an integer;
// nothing else converts between kinds. Texts are moved out of the value rather than copied.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/defaults/value.h"

namespace allot {

// False when the value is of another shape; `out` is then unspecified.
bool take(Value& value, std::string& out);
bool take(const Value& value, double& out);
bool take(const Value& value, std::int64_t& out);
bool take(Value& value, std::vector<std::string>& out);
bool take(Value& value, std::vector<double>& out);
bool take(Value& value, std::vector<std::int64_t>& out);
bool takeLists(Value& value, std::vector<std::vector<std::string>>& out);
bool takeLists(Value& value, std::vector<std::vector<double>>& out);

}  // namespace allot
