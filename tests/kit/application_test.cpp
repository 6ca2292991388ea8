// The run loop, navigation, segues, alerts and focus, walked through the gestures.
#include <gtest/gtest.h>

#include <sstream>

#include "kit_test_screens.h"
#include "platform/kit/alert_controller.h"
#include "platform/kit/gestures.h"
#include "platform/kit/navigation_controller.h"

namespace allot::kit::testing {
namespace {

class ApplicationTest : public ::testing::Test {
 protected:
  ApplicationTest()
      : app(
            defaults, [this] { return std::make_unique<TestDelegate>(log); }, diagnostics),
        user(app) {}

  NavigationController& navigation() {
    return static_cast<NavigationController&>(*app.window().rootViewController());
  }
  LoggingController& top() {
    return static_cast<LoggingController&>(*navigation().topViewController());
  }
  Log logSince(std::size_t mark) const { return Log(log.begin() + mark, log.end()); }

  Log log;
  FakeDefaults defaults;
  std::ostringstream diagnostics;
  Application app;
  Gestures user;
};

// Launching makes the screen after the storyboard and shows it after launching.
TEST_F(ApplicationTest, LaunchSeguesAndBackRunTheHooksInOrder) {
  EXPECT_TRUE(app.launch());
  EXPECT_EQ(log, (Log{"mainStoryboard", "didFinishLaunching", "first.viewDidLoad with outlet",
                      "first.viewWillAppear", "first.viewDidLayoutSubviews", "first.viewDidAppear",
                      "didBecomeActive"}));
  EXPECT_EQ(app.applicationState(), ApplicationState::Active);
  EXPECT_EQ(navigation().navigationItem().title(), std::nullopt);
  EXPECT_EQ(top().navigationItem().title(), "first");
  LoggingController& first = top();
  std::size_t mark = log.size();
  ASSERT_TRUE(user.tap(*first.button));
  EXPECT_EQ(logSince(mark), (Log{"first.prepareForSegue toSecond", "second.viewDidLoad with outlet",
                                 "first.viewWillDisappear", "second.viewWillAppear",
                                 "second.viewDidLayoutSubviews", "second.viewDidAppear"}));
  EXPECT_EQ(navigation().backButtonTitle(), "first");
  // The first screen's controls are out of reach while the second is on top.
  EXPECT_FALSE(user.tap(*first.button));
  const Log backToFirst = {"second.viewWillDisappear", "first.viewWillAppear",
                           "first.viewDidLayoutSubviews", "first.viewDidAppear"};
  mark = log.size();
  EXPECT_TRUE(user.goBack());
  EXPECT_EQ(logSince(mark), backToFirst);
  EXPECT_EQ(&top(), &first);
  EXPECT_FALSE(user.goBack());  // at the root

  // An unwind prepares, calls the action, and goes back the same way.
  user.tap(*first.button);
  mark = log.size();
  ASSERT_TRUE(user.tap(*top().button));
  Log unwound = {"second.prepareForSegue backToFirst", "first.unwindHere"};
  unwound.insert(unwound.end(), backToFirst.begin(), backToFirst.end());
  EXPECT_EQ(logSince(mark), unwound);
  EXPECT_EQ(&top(), &first);

  // Out of a modal presentation too.
  first.performSegueWithIdentifier("present", nullptr);
  auto* sheet = dynamic_cast<LoggingController*>(first.presentedViewController());
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(app.window().visibleViewController(), sheet);
  EXPECT_FALSE(user.goBack());  // no navigation bar over a presented screen
  mark = log.size();
  ASSERT_TRUE(user.tap(*sheet->button));
  EXPECT_EQ(logSince(mark)[1], "first.unwindHere");
  EXPECT_EQ(first.presentedViewController(), nullptr);
  EXPECT_EQ(app.window().visibleViewController(), &first);
}

TEST_F(ApplicationTest, AlertBlocksTheScreenBehindAndGoesBeforeItsHandlerRuns) {
  app.launch();
  LoggingController& first = top();
  bool presentedDuringHandler = true;
  auto alert = std::make_unique<AlertController>("Sure?", "Really.", AlertControllerStyle::Alert);
  alert->addAction(AlertAction("No", AlertActionStyle::Cancel, {}));
  alert->addAction(AlertAction("Yes", AlertActionStyle::Destructive, [&](AlertAction& action) {
    presentedDuringHandler = first.presentedViewController() != nullptr;
    EXPECT_EQ(action.title(), "Yes");
  }));
  first.presentViewController(std::move(alert), true, {});
  first.presentViewController(
      std::make_unique<AlertController>("Other", std::nullopt, AlertControllerStyle::Alert), true,
      {});
  EXPECT_EQ(dynamic_cast<AlertController&>(*first.presentedViewController()).title(), "Sure?");

  EXPECT_FALSE(user.tap(*first.button));
  EXPECT_FALSE(user.enterText(*first.field, "x"));
  EXPECT_FALSE(user.tapAlertAction(2));
  const std::size_t mark = log.size();
  EXPECT_TRUE(user.tapAlertAction(1));
  EXPECT_FALSE(presentedDuringHandler);
  EXPECT_EQ(first.presentedViewController(), nullptr);
  EXPECT_EQ(logSince(mark), Log{});  // an alert does not make the screen behind reappear
  EXPECT_FALSE(user.tapAlertAction(0));
}

TEST_F(ApplicationTest, TheKeyboardGoesToOneFieldOfTheScreenOnDisplay) {
  app.launch();
  LoggingController& first = top();
  EXPECT_EQ(first.field->text(), std::nullopt);
  TextField& other = first.view().addSubview<TextField>("other");
  ASSERT_TRUE(user.enterText(*first.field, "12"));
  EXPECT_EQ(first.field->text(), "12");
  EXPECT_TRUE(first.field->isFirstResponder());
  user.enterText(other, "");
  EXPECT_FALSE(first.field->isFirstResponder());
  EXPECT_TRUE(other.isFirstResponder());
  EXPECT_TRUE(first.view().endEditing(true));
  EXPECT_EQ(app.window().firstResponder(), nullptr);
  EXPECT_FALSE(first.view().endEditing(true));

  // A screen that leaves takes its keyboard with it.
  user.tap(*first.button);
  user.enterText(*top().field, "a");
  user.goBack();
  EXPECT_EQ(app.window().firstResponder(), nullptr);
}

TEST_F(ApplicationTest, RevisionMovesWithEveryChangeOnScreenOnly) {
  app.launch();
  Label& label = *top().label;
  std::uint64_t before = app.revision();
  label.setText("one");
  EXPECT_GT(app.revision(), before);
  before = app.revision();
  label.setText("one");
  top().view().setBackgroundColor(std::nullopt);
  EXPECT_EQ(app.revision(), before);

  Label detached;
  detached.setText("unseen");
  EXPECT_EQ(app.revision(), before);
  user.tap(*top().button);
  EXPECT_GT(app.revision(), before);
}

TEST_F(ApplicationTest, EachResignReportsThenCommitsAndSaysWhenTheCommitFails) {
  app.resignActive();  // not launched yet: nothing to report
  EXPECT_EQ(defaults.synchronizeCount(), 0);
  app.launch();
  app.resignActive();
  EXPECT_EQ(app.applicationState(), ApplicationState::Inactive);
  EXPECT_EQ(log.back(), "willResignActive");
  EXPECT_EQ(defaults.synchronizeCount(), 1);
  EXPECT_EQ(diagnostics.str(), "");

  defaults.failing = true;
  app.resignActive();
  EXPECT_EQ(defaults.synchronizeCount(), 2);
  EXPECT_EQ(diagnostics.str(), "Could not save the application's data: disk full\n");
  app.becomeActive();
  EXPECT_EQ(log.back(), "didBecomeActive");
}

TEST(ColorTest, SystemColorsAreKeptInDisplayP3AndShownInSrgb) {
  const Color blue = Color::systemBlueColor();
  EXPECT_NE(blue.red(), 0.0);  // P3 components, not the sRGB ones
  const Color::Components shown = blue.srgb();
  EXPECT_NEAR(shown.red, 0.0, 2e-3);
  EXPECT_NEAR(shown.green, 122.0 / 255.0, 2e-3);
  EXPECT_NEAR(shown.blue, 1.0, 2e-3);
  EXPECT_EQ(shown.alpha, 1.0);
  EXPECT_NE(blue, Color::systemRedColor());
}

}  // namespace
}  // namespace allot::kit::testing
