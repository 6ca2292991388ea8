// The About screen: its text, shown from the first line after every layout.
#include "ui/about_view_controller.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/ui/running_app.h"

namespace allot::testing {
TEST_F(EnvelopeListScreen, AboutShowsItsTextFromTheFirstLineAfterEveryLayout) {
  ASSERT_TRUE(run.user.tap(*run.list().navigationItem().leftBarButtonItems().value().back()));
  auto& about = run.onDisplay<AboutViewController>();
  EXPECT_EQ(about.navigationItem().title(), "About");
  const std::string text = about.aboutText()->text().value_or("");
  EXPECT_GE(std::count(text.begin(), text.end(), '\n'), 20);  // shown, and long enough to scroll

  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));
  run.user.scroll(*about.aboutText(), {0, 640});
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 640}));
  run.user.layOut();
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));
  run.user.scroll(*about.aboutText(), {0, 300});
  run.user.resize({844, 390});  // turned on its side
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));
}

}  // namespace allot::testing
