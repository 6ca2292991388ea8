#include "app/app_delegate.h"

#include "app/launch_load.h"
#include "core/persistence.h"
#include "core/stored_data_rescue.h"
#include "platform/kit/alert_controller.h"
#include "platform/kit/navigation_controller.h"
#include "platform/kit/window.h"
#include "ui/detail_view_controller.h"
#include "ui/main_storyboard.h"
#include "ui/master_view_controller.h"

namespace allot {
namespace {

// A reason as the end of a sentence.
std::string withFullStop(std::string text) {
  if (text.empty() || text.back() != '.') text += '.';
  return text;
}

}  // namespace

AppDelegate::AppDelegate(Options options, std::ostream& diagnostics)
    : options_(std::move(options)), diagnostics_(diagnostics) {}

std::unique_ptr<kit::Storyboard> AppDelegate::mainStoryboard() {
  return makeMainStoryboard(store_, options_.formatLocale);
}

bool AppDelegate::applicationDidFinishLaunchingWithOptions(kit::Application& application,
                                                           const kit::LaunchOptions& /*options*/) {
  defaults_ = &application.standardUserDefaults();
  if (window() != nullptr) {
    window()->setUndoHandler([this](bool redo) { return takeBack(redo); });
    window()->setEndOfEventHandler([this] { offerUndo(); });
  }
  if (options_.launchLoad != nullptr) {
    takeLaunchLoad(application);
  } else {
    loadFromStore(application);
  }
  askAfterLaunch_ = waitingForStore_;
  return true;
}

void AppDelegate::loadFromStore(kit::Application& application) {
  takeOutcome(application, loadStore(store_, *defaults_));
}

// The load began on its own thread while the window's QML compiled; the store takes it whole,
// before any screen reads it.
void AppDelegate::takeLaunchLoad(kit::Application& application) {
  BudgetFields fields;
  const Status loaded = options_.launchLoad->takeWhole(fields);
  options_.launchLoad = nullptr;
  store_.assign(std::move(fields));
  takeOutcome(application, loaded);
}

void AppDelegate::takeOutcome(kit::Application& application, const Status& loaded) {
  UserDefaults& defaults = *defaults_;
  savedRevision_ = committedRevision_ = store_.revision();
  waitingForStore_ = loaded.kind() == Status::Kind::Busy;
  const Status writability = defaults.writability();
  savingAllowed_ = loaded.isOk() && writability.isOk() && !options_.readOnlyReason;
  if (waitingForStore_) {
    diagnostics_ << "allot: " << loaded.message() << " Waiting for it before loading.\n";
  } else if (!loaded.isOk() && loaded.kind() == Status::Kind::Unreadable && writability.isOk()) {
    keepUnloadableData(application, loaded);
  } else if (!loaded.isOk()) {
    tell("Your stored budget could not be loaded: " + withFullStop(loaded.message()) +
         " Nothing will be saved over it.");
  } else if (writability.kind() == Status::Kind::Newer) {
    tell(
        "Your budget was written by a newer version of Allot. It is shown read-only: changes "
        "made here will not be saved.");
  } else if (!writability.isOk()) {
    tell("Your budget is read-only. " + withFullStop(writability.message()));
  } else if (options_.readOnlyReason) {
    tell(*options_.readOnlyReason);
  }
}

// Data of ours that the load could not take is copied aside before anything is saved over it.
// What became of it comes first in the sentence, why last.
void AppDelegate::keepUnloadableData(kit::Application& /*application*/, const Status& problem) {
  const std::string why = " (" + withFullStop(problem.message()) + ")";
  if (!options_.storeFile) {
    tell("Your stored budget could not be loaded, so Allot started with an empty one." + why);
    return;
  }
  std::filesystem::path copy;
  const Status copied = copyStoreAside(*options_.storeFile, &copy);
  const bool existed = std::filesystem::exists(*options_.storeFile);
  // Without a copy, saving would overwrite the only one there is: this session saves nothing.
  savingAllowed_ = copied.isOk() || !existed;
  if (copied.isOk()) {
    // A damaged store of ours is replaced by a new one on the next save.
    if (Status fresh = defaults_->startAfresh(); !fresh.isOk()) {
      diagnostics_ << "allot: " << fresh.message() << '\n';
    }
    tell(
        "Your stored budget could not be loaded, so Allot started a new, empty one in its place; "
        "a copy of the old one was kept at " +
        copy.string() + "." + why);
  } else {
    tell("Your stored budget could not be loaded, and no copy of it could be made (" +
         copied.message() +
         "), so Allot started with an empty budget that will not be saved over it." + why);
  }
}

// One sentence, on the diagnostics stream and in the window.
void AppDelegate::tell(const std::string& sentence, bool dismissible) {
  diagnostics_ << "allot: " << sentence << '\n';
  if (window() != nullptr)
    window()->showNotice({.text = sentence, .dismissible = dismissible, .actionTitle = {}});
}

void AppDelegate::applicationDidBecomeActive(kit::Application& application) {
  if (!askAfterLaunch_) return;
  askAfterLaunch_ = false;
  askToRetryLoading(application);
}

void AppDelegate::askToRetryLoading(kit::Application& application) {
  presentAlert(
      "Budget in Use", "Your budget is in use by another program.", "Quit",
      [&application] { application.quit(); }, "Retry",
      [this, &application] {
        loadFromStore(application);
        if (waitingForStore_) {
          askToRetryLoading(application);
        } else {
          refreshList();
        }
      });
}

void AppDelegate::applicationWillResignActive(kit::Application& application) {
  saveChanges(application);
}

bool AppDelegate::hasUnsavedChanges() const {
  // Only what the user changed counts: a commit that failed with nothing new in it (the store
  // locked by another program at the quit, say) loses nothing.
  return savingAllowed_ && defaults_ != nullptr && store_.revision() != committedRevision_;
}

void AppDelegate::saveChanges(kit::Application& application) {
  if (!savingAllowed_) return;
  saveStore(store_, application.standardUserDefaults());
  savedRevision_ = store_.revision();
}

void AppDelegate::applicationDidCommit(kit::Application& /*application*/, const Status& outcome) {
  if (outcome.isOk()) {
    committedRevision_ = savedRevision_;
    if (showingCommitFailure_ && window() != nullptr) window()->clearNotice();
    showingCommitFailure_ = false;
    return;
  }
  // The toolkit already said it on the diagnostics stream; the window says it until a commit
  // succeeds, unless nothing of the user's waits for it.
  if (!hasUnsavedChanges()) return;
  showingCommitFailure_ = true;
  if (window() != nullptr) {
    window()->showNotice({.text = "Allot could not save your latest changes; it keeps them and "
                                  "tries again. " +
                                  withFullStop(outcome.message()),
                          .dismissible = false,
                          .actionTitle = {}});
  }
}

bool AppDelegate::applicationShouldQuit(kit::Application& application) {
  if (!hasUnsavedChanges()) return true;
  askBeforeQuitting(application);
  return false;
}

void AppDelegate::askBeforeQuitting(kit::Application& application) {
  presentAlert(
      "Changes Not Saved",
      "Your latest changes could not be saved. " + withFullStop(application.lastCommit().message()),
      "Quit Without Saving", [&application] { application.quit(); }, "Try Again",
      [this, &application] {
        if (application.saveChanges()) {
          application.quit();
        } else {
          askBeforeQuitting(application);
        }
      },
      kit::AlertActionStyle::Destructive);
}

// An alert over whatever is on display (taking the place of an alert already shown), whose two
// buttons each dismiss it before running their part.
void AppDelegate::presentAlert(std::string title, std::string message, std::string cancelTitle,
                               std::function<void()> cancel, std::string actionTitle,
                               std::function<void()> action, kit::AlertActionStyle cancelStyle) {
  if (window() == nullptr) return;
  kit::ViewController* presenter = window()->visibleViewController();
  if (auto* shown = dynamic_cast<kit::AlertController*>(presenter)) {
    presenter = shown->presentingViewController();
    shown->dismissViewControllerAnimated(false, {});
  }
  if (presenter == nullptr) return;
  using kit::AlertAction;
  using kit::AlertActionStyle;
  auto alert = std::make_unique<kit::AlertController>(std::move(title), std::move(message),
                                                      kit::AlertControllerStyle::Alert);
  alert->addAction(AlertAction(std::move(cancelTitle), cancelStyle,
                               [cancel = std::move(cancel)](AlertAction&) { cancel(); }));
  alert->addAction(AlertAction(std::move(actionTitle), AlertActionStyle::Default,
                               [action = std::move(action)](AlertAction&) { action(); }));
  presenter->presentViewController(std::move(alert), true, {});
}

void AppDelegate::offerUndo() {
  const UndoHistory& history = store_.history();
  if (history.changesAdded() == offeredChanges_) return;
  offeredChanges_ = history.changesAdded();
  if (!history.canUndo() || window() == nullptr) return;
  // A notice about the stored budget stays; the keys still undo.
  const std::optional<kit::Notice>& shown = window()->notice();
  if (shown && shown->actionTitle.empty()) return;
  window()->showNotice({.text = history.lastDescription(), .actionTitle = "Undo"},
                       [this] { takeBack(false); });
}

bool AppDelegate::takeBack(bool redo) {
  const std::optional<UndoHistory::Outcome> outcome =
      redo ? store_.history().redo(store_) : store_.history().undo(store_);
  if (!outcome) return false;
  if (window() != nullptr && window()->notice() && !window()->notice()->actionTitle.empty()) {
    window()->clearNotice();
  }
  showResult(*outcome);
  return true;
}

// The transactions on display stay when the change was theirs alone; anything else shows the
// envelope list, where every change shows.
void AppDelegate::showResult(const UndoHistory::Outcome& outcome) {
  auto* navigation = window() != nullptr
                         ? dynamic_cast<kit::NavigationController*>(window()->rootViewController())
                         : nullptr;
  if (navigation == nullptr || navigation->viewControllers().empty()) return;
  auto* detail = dynamic_cast<DetailViewController*>(navigation->topViewController());
  if (detail != nullptr && !outcome.envelopeNumbersChanged && outcome.envelope &&
      detail->envelopeNumber() == static_cast<std::int64_t>(*outcome.envelope)) {
    detail->showEnvelope();
    return;
  }
  if (navigation->viewControllers().size() > 1) {
    navigation->popToViewController(*navigation->viewControllers().front(), false);
  } else {
    refreshList();
  }
}

void AppDelegate::refreshList() {
  auto* navigation = window() != nullptr
                         ? dynamic_cast<kit::NavigationController*>(window()->rootViewController())
                         : nullptr;
  if (navigation == nullptr || navigation->viewControllers().empty()) return;
  if (auto* list = dynamic_cast<MasterViewController*>(navigation->viewControllers().front())) {
    list->refreshList();
  }
}

}  // namespace allot
