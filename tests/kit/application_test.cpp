// The run loop, navigation, segues, alerts and focus, walked through the gestures on logging
// controllers over a storyboard of three scenes ("first", "second", "sheet").
#include "platform/kit/application.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/defaults/in_memory_user_defaults.h"
#include "platform/kit/alert_controller.h"
#include "platform/kit/button.h"
#include "platform/kit/gestures.h"
#include "platform/kit/label.h"
#include "platform/kit/navigation_controller.h"
#include "platform/kit/storyboard.h"
#include "platform/kit/text_field.h"
#include "platform/kit/window.h"

namespace allot::kit::testing {
namespace {

using Log = std::vector<std::string>;

// Logs every hook as "<name>.<hook>".
class LoggingController : public ViewController {
 public:
  LoggingController(std::string name, Log& log) : name_(std::move(name)), log_(log) {}

  void viewDidLoad() override { note("viewDidLoad" + std::string(label ? " with outlet" : "")); }
  void viewWillAppear(bool) override { note("viewWillAppear"); }
  void viewDidAppear(bool) override { note("viewDidAppear"); }
  void viewWillDisappear(bool) override { note("viewWillDisappear"); }
  void viewDidLayoutSubviews() override { note("viewDidLayoutSubviews"); }
  void prepareForSegue(StoryboardSegue& segue, Sender) override {
    note("prepareForSegue " + segue.identifier().value_or("?"));
  }
  void unwindHere(StoryboardSegue&) { note("unwindHere"); }

  Label* label = nullptr;
  TextField* field = nullptr;
  Button* button = nullptr;

 private:
  void note(const std::string& what) { log_.push_back(name_ + "." + what); }
  std::string name_;
  Log& log_;
};

// Defaults that can be told to fail their commit.
class FakeDefaults : public InMemoryUserDefaults {
 public:
  Status synchronize() override {
    Status counted = InMemoryUserDefaults::synchronize();
    return failing ? Status::failed("disk full") : counted;
  }
  bool failing = false;
};

// "first" (the navigation root) shows "second" by its button, and "sheet" modally by "present";
// the buttons of both unwind to "first". Each scene has a label outlet and a text field.
class TestDelegate : public ApplicationDelegate {
 public:
  explicit TestDelegate(Log& log) : log_(log) {}

  std::unique_ptr<Storyboard> mainStoryboard() override {
    log_.push_back("mainStoryboard");
    auto board = std::make_unique<Storyboard>();
    for (const auto& [name, segue] : std::vector<std::pair<std::string, std::string>>{
             {"first", "toSecond"}, {"second", "backToFirst"}, {"sheet", "backToFirst"}}) {
      board->addScene<LoggingController>(
          name, [this, name = name] { return std::make_unique<LoggingController>(name, log_); },
          [name = name](LoggingController& c) { c.setTitle(name); },
          [segue = segue](LoggingController& c, View& root) {
            c.label = &root.addSubview<Label>("label");
            c.field = &root.addSubview<TextField>("field");
            c.button = &root.addSubview<Button>("button");
            c.button->addAction([&c, segue](Sender s) { c.performSegueWithIdentifier(segue, s); });
          });
    }
    board->addSegue({"toSecond", "first", "second", SegueKind::Show, {}});
    board->addSegue({"present", "first", "sheet", SegueKind::Modal, {}});
    board->addUnwindSegue("backToFirst", "second", "first", &LoggingController::unwindHere);
    board->addUnwindSegue("backToFirst", "sheet", "first", &LoggingController::unwindHere);
    board->setInitialScene("first", true);
    return board;
  }
  bool applicationDidFinishLaunchingWithOptions(Application&, const LaunchOptions&) override {
    log_.push_back("didFinishLaunching");
    return true;
  }
  void applicationWillResignActive(Application&) override { log_.push_back("willResignActive"); }
  void applicationDidBecomeActive(Application&) override { log_.push_back("didBecomeActive"); }

 private:
  Log& log_;
};

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
  Log fresh() { return std::exchange(log, {}); }  // what was logged since the last call

  Log log;
  FakeDefaults defaults;
  std::ostringstream diagnostics;
  Application app;
  Gestures user;
};

// Launching makes the screen after the storyboard and shows it after launching.
TEST_F(ApplicationTest, LaunchSeguesAndBackRunTheHooksInOrder) {
  EXPECT_TRUE(app.launch());
  EXPECT_EQ(fresh(), (Log{"mainStoryboard", "didFinishLaunching", "first.viewDidLoad with outlet",
                          "first.viewWillAppear", "first.viewDidLayoutSubviews",
                          "first.viewDidAppear", "didBecomeActive"}));
  EXPECT_EQ(app.applicationState(), ApplicationState::Active);
  EXPECT_EQ(navigation().navigationItem().title(), std::nullopt);
  EXPECT_EQ(top().navigationItem().title(), "first");
  LoggingController& first = top();
  ASSERT_TRUE(user.tap(*first.button));
  EXPECT_EQ(fresh(), (Log{"first.prepareForSegue toSecond", "second.viewDidLoad with outlet",
                          "first.viewWillDisappear", "second.viewWillAppear",
                          "second.viewDidLayoutSubviews", "second.viewDidAppear"}));
  EXPECT_EQ(navigation().backButtonTitle(), "first");
  // The first screen's controls are out of reach while the second is on top.
  EXPECT_FALSE(user.tap(*first.button));
  const Log backToFirst = {"second.viewWillDisappear", "first.viewWillAppear",
                           "first.viewDidLayoutSubviews", "first.viewDidAppear"};
  EXPECT_TRUE(user.goBack());
  EXPECT_EQ(fresh(), backToFirst);
  EXPECT_EQ(&top(), &first);
  EXPECT_FALSE(user.goBack());  // at the root

  // An unwind prepares, calls the action, and goes back the same way.
  user.tap(*first.button);
  fresh();
  ASSERT_TRUE(user.tap(*top().button));
  Log unwound = {"second.prepareForSegue backToFirst", "first.unwindHere"};
  unwound.insert(unwound.end(), backToFirst.begin(), backToFirst.end());
  EXPECT_EQ(fresh(), unwound);
  EXPECT_EQ(&top(), &first);

  // Out of a modal presentation too.
  first.performSegueWithIdentifier("present", nullptr);
  auto* sheet = dynamic_cast<LoggingController*>(first.presentedViewController());
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(app.window().visibleViewController(), sheet);
  EXPECT_FALSE(user.goBack());  // no navigation bar over a presented screen
  fresh();
  ASSERT_TRUE(user.tap(*sheet->button));
  EXPECT_EQ(fresh()[1], "first.unwindHere");
  EXPECT_EQ(first.presentedViewController(), nullptr);
  EXPECT_EQ(app.window().visibleViewController(), &first);
}

// An alert blocks the screen behind and goes before its handler runs.
TEST_F(ApplicationTest, AlertsAndTheKeyboardGoToTheScreenOnDisplay) {
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
  fresh();
  EXPECT_TRUE(user.tapAlertAction(1));
  EXPECT_FALSE(presentedDuringHandler);
  EXPECT_EQ(first.presentedViewController(), nullptr);
  EXPECT_EQ(fresh(), Log{});  // an alert does not make the screen behind reappear
  EXPECT_FALSE(user.tapAlertAction(0));

  // The keyboard goes to one field of the screen on display.
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

// With room for two screens the root stands beside the top: after each event that changed
// anything it is refreshed as on appearing, and a gesture on it first brings it back to the top.
TEST_F(ApplicationTest, TheRootShownBesideTheTopIsRefreshedAndComesForwardWhenUsed) {
  app.launch();
  LoggingController& first = top();
  ASSERT_TRUE(user.showRootBeside(true));
  user.tap(*first.button);
  LoggingController& second = top();
  EXPECT_EQ(app.window().controllersOnDisplay(), (std::vector<ViewController*>{&first, &second}));
  const Log refreshed = {"first.viewWillAppear", "first.viewDidLayoutSubviews",
                         "first.viewDidAppear"};
  fresh();
  ASSERT_TRUE(user.enterText(*second.field, "5"));
  EXPECT_EQ(fresh(), refreshed);
  user.enterText(*second.field, "5");  // changes nothing
  EXPECT_EQ(fresh(), Log{});

  EXPECT_FALSE(user.tap(*first.button)) << "out of reach until it is brought forward";
  ASSERT_TRUE(user.bringForward(first));
  EXPECT_EQ(&top(), &first);
  EXPECT_FALSE(user.bringForward(first));
  user.tap(*first.button);
  fresh();
  ASSERT_TRUE(user.showRootBeside(false));
  EXPECT_EQ(fresh(), Log{"first.viewWillDisappear"});
  EXPECT_EQ(app.window().controllersOnDisplay(), std::vector<ViewController*>{&top()});
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
  EXPECT_EQ(app.lastCommit(), Status::failed("disk full"));
  app.becomeActive();
  EXPECT_EQ(log.back(), "didBecomeActive");
}

}  // namespace
}  // namespace allot::kit::testing
