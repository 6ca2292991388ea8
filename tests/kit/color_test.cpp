// System colours: kept in Display P3, shown in sRGB.
#include "platform/kit/color.h"

#include <gtest/gtest.h>

namespace allot::kit {

TEST(ColorTest, SystemColorsAreKeptInDisplayP3AndShownInSrgb) {
  const Color blue = Color::systemBlueColor();
  EXPECT_NE(blue.red(), 0.0);  // P3 components, not the sRGB ones
  const Color::Components shown = blue.srgb();
  EXPECT_NEAR(shown.red, 0.0, 2e-3);
  EXPECT_NEAR(shown.green, 122.0 / 255.0, 2e-3);
  EXPECT_NEAR(shown.blue, 1.0, 2e-3);
  EXPECT_EQ(shown.alpha, 1.0);
}

}  // namespace allot::kit
