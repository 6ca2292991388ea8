// Point and Size: the two plain geometry values the toolkit needs (a scroll offset, a window's
// size). Views carry no frames: where things go on the screen is the display layer's business.
#pragma once

namespace allot::kit {

struct Point {
  double x = 0.0;
  double y = 0.0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  double width = 0.0;
  double height = 0.0;
  friend bool operator==(const Size&, const Size&) = default;
};

}  // namespace allot::kit
