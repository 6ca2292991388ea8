// The text of the About screen.
#pragma once

#include <string_view>

namespace allot {

std::string_view aboutAllotText();

}  // namespace allot
