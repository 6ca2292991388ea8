// Conversion of a stored Value to a list of lists of texts or of numbers, the shapes in which the
// budget keeps each envelope's transactions. An integer converts to the nearest double; nothing
// else converts between kinds. Texts are moved out of the value rather than copied.
#pragma once

#include <string>
#include <vector>

#include "platform/defaults/value.h"

namespace allot {

// False when the value is of another shape; `out` is then unspecified.
bool takeLists(Value& value, std::vector<std::vector<std::string>>& out);
bool takeLists(Value& value, std::vector<std::vector<double>>& out);

}  // namespace allot
