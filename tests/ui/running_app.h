// The whole application run headless for the screens' tests, walked through the gestures; and
// the fixture that runs it over defaults in memory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/app_delegate.h"
#include "app/launch_load.h"
#include "platform/defaults/in_memory_user_defaults.h"
#include "platform/kit/alert_controller.h"
#include "platform/kit/application.h"
#include "platform/kit/gestures.h"
#include "platform/kit/navigation_controller.h"
#include "ui/detail_view_controller.h"
#include "ui/envelope_details_view_controller.h"
#include "ui/layout_names.h"
#include "ui/master_table_view_cell.h"
#include "ui/master_view_controller.h"

namespace allot::testing {

// The whole application over the given defaults, amounts in en_US, and the helpers the tests
// share: the screen on display, the list's rows, adding envelopes and recording as a user does.
class RunningApp {
 public:
  explicit RunningApp(UserDefaults& defaults,
                      std::optional<std::filesystem::path> storeFile = std::nullopt,
                      LaunchLoad* launchLoad = nullptr)
      : app(
            defaults,
            [this, storeFile, launchLoad] {
              return std::make_unique<AppDelegate>(
                  AppDelegate::Options{
                      .storeFile = storeFile, .formatLocale = "en_US", .launchLoad = launchLoad},
                  diagnostics);
            },
            diagnostics),
        user(app) {
    app.launch();
  }

  AppDelegate& delegate() { return static_cast<AppDelegate&>(app.delegate()); }
  const BudgetStore& store() { return delegate().store(); }
  kit::NavigationController& navigation() {
    return static_cast<kit::NavigationController&>(*app.window().rootViewController());
  }
  MasterViewController& list() {
    return static_cast<MasterViewController&>(*navigation().viewControllers().front());
  }

  // The screen taking input, which must be of class C.
  template <class C>
  C& onDisplay() {
    auto* screen = dynamic_cast<C*>(app.window().visibleViewController());
    if (screen == nullptr) {
      ADD_FAILURE() << "another screen is on display";
      throw std::logic_error("wrong screen");
    }
    return *screen;
  }

  MasterTableViewCell& row(std::size_t r) {
    return static_cast<MasterTableViewCell&>(
        *list().tableView().cellForRowAtIndexPath(kit::IndexPath(r)));
  }
  // The names shown on the list, without their line feeds.
  std::vector<std::string> rowNames() {
    std::vector<std::string> names;
    for (std::size_t r = 0; r < list().tableView().numberOfRowsInSection(0); ++r) {
      std::string text = row(r).envelopeNameLabel()->text().value_or("");
      if (!text.empty() && text.back() == '\n') text.pop_back();
      names.push_back(text);
    }
    return names;
  }
  std::string totalLine() { return list().totalLabel()->text().value_or(""); }
  std::vector<std::string> leftItemTitles() {
    std::vector<std::string> titles;
    for (const auto& item :
         list().navigationItem().leftBarButtonItems().value_or(kit::BarButtonItems{})) {
      titles.push_back(item->title());
    }
    return titles;
  }

  // Opens the editor with the list's Add button, adds the envelopes, and goes back.
  void addEnvelopes(const std::vector<std::string>& names) {
    ASSERT_TRUE(user.tap(*list().navigationItem().rightBarButtonItem()));
    auto& editor = onDisplay<EnvelopeDetailsViewController>();
    for (const std::string& name : names) {
      user.enterText(*editor.envelopeName(), name);
      user.tap(*editor.addButton());
    }
    ASSERT_TRUE(user.goBack());
  }

  // Adds an amount to row r's envelope with the add button, and goes back.
  void record(std::size_t r, const std::string& amount, const std::string& note = "") {
    DetailViewController& detail = openEnvelope(r);
    user.enterText(*detail.enterAmount(), amount);
    user.enterText(*detail.optionalNote(), note);
    user.tap(button(detail, layout::Outlet::AddAmountButton));
    EXPECT_TRUE(user.goBack());
  }

  // The alert on display, if any, and the titles of its actions.
  kit::AlertController* alert() {
    return dynamic_cast<kit::AlertController*>(app.window().visibleViewController());
  }
  std::vector<std::string> alertActionTitles() {
    std::vector<std::string> titles;
    if (kit::AlertController* shown = alert()) {
      for (const kit::AlertAction& action : shown->actions()) titles.push_back(action.title());
    }
    return titles;
  }

  static kit::Button& button(kit::ViewController& screen, layout::Outlet outlet) {
    auto* found =
        dynamic_cast<kit::Button*>(screen.view().viewWithIdentifier(layout::name(outlet)));
    if (found == nullptr) throw std::logic_error("no such button");
    return *found;
  }

  // Opens the transaction screen of row r.
  DetailViewController& openEnvelope(std::size_t r) {
    EXPECT_TRUE(user.selectRow(list().tableView(), r));
    return onDisplay<DetailViewController>();
  }

  std::ostringstream diagnostics;
  kit::Application app;
  kit::Gestures user;
};

// The application over defaults in memory.
class EnvelopeListScreen : public ::testing::Test {
 protected:
  InMemoryUserDefaults defaults;
  RunningApp run{defaults};
};

}  // namespace allot::testing
