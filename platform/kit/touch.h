// Touch and Event: what a controller is told when the user touches its screen outside any
// control. There is no tracking of moving touches; a touch is where the finger came down.
#pragma once

#include <vector>

#include "platform/kit/geometry.h"

namespace allot::kit {

struct Touch {
  Point location;
};

struct Event {
  std::vector<Touch> allTouches;
};

}  // namespace allot::kit
