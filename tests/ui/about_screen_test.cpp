// The About screen: reached from the list, a long text shown from its first line after every
// layout.
#include <gtest/gtest.h>

#include <algorithm>

#include "running_app.h"
#include "ui/about_view_controller.h"

namespace allot::testing {
namespace {

TEST(AboutScreen, ShowsItsTextFromTheFirstLineAfterEveryLayout) {
  InMemoryUserDefaults defaults;
  RunningApp run(defaults);
  const auto& left = run.list().navigationItem().leftBarButtonItems();
  ASSERT_TRUE(left);
  ASSERT_TRUE(run.user.tap(*left->back()));
  auto& about = run.onDisplay<AboutViewController>();
  EXPECT_EQ(about.navigationItem().title(), "About");
  const std::string text = about.aboutText()->text().value_or("");
  EXPECT_EQ(text.rfind("Allot", 0), 0u);
  EXPECT_NE(text.find("on this device"), std::string::npos);
  EXPECT_GE(std::count(text.begin(), text.end(), '\n'), 20);  // long enough to scroll

  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));
  run.user.scroll(*about.aboutText(), {0, 640});
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 640}));
  run.user.layOut();
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));
  run.user.scroll(*about.aboutText(), {0, 300});
  run.user.resize({844, 390});  // turned on its side
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));

  EXPECT_TRUE(run.user.goBack());
  EXPECT_EQ(&run.onDisplay<MasterViewController>(), &run.list());
}

}  // namespace
}  // namespace allot::testing
