// AppDelegate: the application's delegate. It owns the one BudgetStore of the process and hands
// it to the main storyboard, which hands it to every screen. When launching finishes it loads the
// store from the per-user defaults; stored data it cannot take is first copied aside (with one
// line on the diagnostics stream) and the application starts empty; when no copy can be made,
// nothing is saved over it in this session. Each time the application
// resigns the active state it saves the whole store; the toolkit then commits the defaults.
#pragma once

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "core/budget_store.h"
#include "platform/kit/application.h"
#include "platform/kit/application_delegate.h"
#include "platform/kit/storyboard.h"

namespace allot {

class AppDelegate : public kit::ApplicationDelegate {
 public:
  struct Options {
    // The file behind the per-user defaults, copied aside when its data cannot be loaded; none
    // for defaults that live in memory.
    std::optional<std::filesystem::path> storeFile;
    // The locale amounts are shown in; none means the user's.
    std::optional<std::string> formatLocale;
  };

  explicit AppDelegate(Options options = {}, std::ostream& diagnostics = std::cerr);

  std::unique_ptr<kit::Storyboard> mainStoryboard() override;
  bool applicationDidFinishLaunchingWithOptions(kit::Application& application,
                                                const kit::LaunchOptions& options) override;
  void applicationWillResignActive(kit::Application& application) override;

  const BudgetStore& store() const { return store_; }

 private:
  Options options_;
  std::ostream& diagnostics_;
  BudgetStore store_;
  bool savingAllowed_ = true;
};

}  // namespace allot
