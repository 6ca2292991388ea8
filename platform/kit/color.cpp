#include "platform/kit/color.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace allot::kit {
namespace {

// Both colour spaces share the sRGB transfer curve and the D65 white point; they differ in their
// primaries, so a 3x3 matrix on the linear components converts between them.
using Matrix = std::array<std::array<double, 3>, 3>;

constexpr Matrix kSrgbToP3{
    {{0.8224621, 0.1775380, 0.0}, {0.0331941, 0.9668058, 0.0}, {0.0170827, 0.0723974, 0.9105199}}};
constexpr Matrix kP3ToSrgb{{{1.2249401, -0.2249404, 0.0},
                            {-0.0420569, 1.0420571, 0.0},
                            {-0.0196376, -0.0786361, 1.0982735}}};

double toLinear(double encoded) {
  return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

double toEncoded(double linear) {
  return linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

std::array<double, 3> convert(const Matrix& m, double r, double g, double b) {
  const std::array<double, 3> in{toLinear(r), toLinear(g), toLinear(b)};
  std::array<double, 3> out{};
  for (int row = 0; row < 3; ++row) {
    const double linear = m[row][0] * in[0] + m[row][1] * in[1] + m[row][2] * in[2];
    out[row] = toEncoded(std::clamp(linear, 0.0, 1.0));
  }
  return out;
}

}  // namespace

Color Color::fromSrgb(double red, double green, double blue, double alpha) {
  const auto p3 = convert(kSrgbToP3, red, green, blue);
  return Color(p3[0], p3[1], p3[2], alpha);
}

Color Color::systemBlueColor() {
  return fromSrgb(0.0, 122.0 / 255.0, 1.0, 1.0);
}
Color Color::systemRedColor() {
  return fromSrgb(1.0, 59.0 / 255.0, 48.0 / 255.0, 1.0);
}
Color Color::systemGrayColor() {
  return fromSrgb(142.0 / 255.0, 142.0 / 255.0, 147.0 / 255.0, 1.0);
}

Color::Components Color::srgb() const {
  const auto s = convert(kP3ToSrgb, red_, green_, blue_);
  return {s[0], s[1], s[2], alpha_};
}

}  // namespace allot::kit
