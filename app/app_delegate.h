// AppDelegate: the application's delegate. It owns the one BudgetStore of the process and hands
// it to the main storyboard, which hands it to every screen. When launching finishes it loads the
// store from the per-user defaults, or takes it whole from a LaunchLoad the program began early;
// each time the application resigns the active state it saves the whole store (the toolkit then
// commits the defaults), and between resigns it saves whatever changed when the toolkit asks.
//
// What it does when the stored budget is not simply there is told to the user twice, in one
// sentence: on the diagnostics stream and in the window's notice. Data of ours that cannot be
// loaded is copied aside and the application starts empty, with a new store in its place (when no
// copy can be made, nothing is saved over it in this session). Data that is not ours, a store of a
// newer version or one that cannot be written is never written. A store that another program
// holds locked is waited for: an alert offers Retry and Quit, and nothing is saved until it loads.
// A commit that fails keeps the changes for the next one and says so until one succeeds; a quit
// with changes that could not be saved asks first.
//
// Undo: after each event that changed the budget, the notice offers to take the change back
// (unless it is telling something about the stored budget); the user's undo and redo take changes
// back and make them again from the store's history, and show the result: in place on the
// transactions of the envelope that changed, else on the envelope list.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "core/budget_store.h"
#include "platform/defaults/user_defaults.h"
#include "platform/kit/alert_action.h"
#include "platform/kit/application.h"
#include "platform/kit/application_delegate.h"
#include "platform/kit/storyboard.h"

namespace allot {

class LaunchLoad;

class AppDelegate : public kit::ApplicationDelegate {
 public:
  struct Options {
    // The file behind the per-user defaults, copied aside when its data cannot be loaded; none
    // for defaults that live in memory.
    std::optional<std::filesystem::path> storeFile;
    // The locale amounts are shown in; none means the user's.
    std::optional<std::string> formatLocale;
    // The launch's load, when the program began it early (on another thread, while the window's
    // QML compiles); it must outlive the launch. None: the delegate loads at launch itself.
    // Loading again after a busy store always does.
    LaunchLoad* launchLoad = nullptr;
    // Set when the budget may be shown but never saved (no lock could be taken on a folder that
    // cannot be written), with the sentence that says so.
    std::optional<std::string> readOnlyReason;
  };

  explicit AppDelegate(Options options, std::ostream& diagnostics = std::cerr);

  std::unique_ptr<kit::Storyboard> mainStoryboard() override;
  bool applicationDidFinishLaunchingWithOptions(kit::Application& application,
                                                const kit::LaunchOptions& options) override;
  void applicationWillResignActive(kit::Application& application) override;
  void applicationDidBecomeActive(kit::Application& application) override;
  bool hasUnsavedChanges() const override;
  void saveChanges(kit::Application& application) override;
  void applicationDidCommit(kit::Application& application, const Status& outcome) override;
  bool applicationShouldQuit(kit::Application& application) override;

  const BudgetStore& store() const { return store_; }

  // Whether the stored budget is loaded (false while another program holds it locked).
  bool storeLoaded() const { return !waitingForStore_; }

 private:
  void loadFromStore(kit::Application& application);
  void takeLaunchLoad(kit::Application& application);
  // What the user is told, and whether saving is allowed, after a load that found `loaded`.
  void takeOutcome(kit::Application& application, const Status& loaded);
  void keepUnloadableData(kit::Application& application, const Status& problem);
  void tell(const std::string& sentence, bool dismissible = true);
  void askToRetryLoading(kit::Application& application);
  void askBeforeQuitting(kit::Application& application);
  void presentAlert(std::string title, std::string message, std::string cancelTitle,
                    std::function<void()> cancel, std::string actionTitle,
                    std::function<void()> action,
                    kit::AlertActionStyle cancelStyle = kit::AlertActionStyle::Cancel);
  void refreshList();
  void offerUndo();
  bool takeBack(bool redo);
  void showResult(const UndoHistory::Outcome& outcome);

  Options options_;
  std::ostream& diagnostics_;
  BudgetStore store_;
  UserDefaults* defaults_ = nullptr;  // the application's, from launch on
  bool savingAllowed_ = true;
  bool waitingForStore_ = false;
  bool askAfterLaunch_ = false;
  bool showingCommitFailure_ = false;
  std::uint64_t savedRevision_ = 0;      // the store's revision when it was last written
  std::uint64_t committedRevision_ = 0;  // the last revision known to be in the store's file
  std::uint64_t offeredChanges_ = 0;     // the history's changes when undo was last offered
};

}  // namespace allot
