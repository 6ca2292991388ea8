#include "app/app_delegate.h"

#include "core/persistence.h"
#include "core/stored_data_rescue.h"
#include "ui/main_storyboard.h"

namespace allot {

AppDelegate::AppDelegate(Options options, std::ostream& diagnostics)
    : options_(std::move(options)), diagnostics_(diagnostics) {}

std::unique_ptr<kit::Storyboard> AppDelegate::mainStoryboard() {
  return makeMainStoryboard(store_, options_.formatLocale);
}

bool AppDelegate::applicationDidFinishLaunchingWithOptions(kit::Application& application,
                                                           const kit::LaunchOptions& /*options*/) {
  UserDefaults& defaults = application.standardUserDefaults();
  LoadReport report;
  const bool loaded = loadStore(store_, defaults, &report);
  std::string problem = report.unloadable ? report.reason : defaults.readProblem();
  if (!problem.empty()) {
    if (options_.storeFile) {
      // Without a copy, saving would overwrite the only one there is: this session saves nothing.
      const bool keptAside = rescueUnloadableStore(*options_.storeFile, problem, diagnostics_)
                                 .has_value();
      savingAllowed_ = keptAside || !std::filesystem::exists(*options_.storeFile);
      // With a copy kept, a damaged store of ours is replaced by a new one on the next save.
      if (keptAside) defaults.startAfresh();
    } else {
      diagnostics_ << "allot: the stored budget could not be loaded (" << problem
                   << "); starting with an empty budget.\n";
    }
  }
  return loaded;
}

void AppDelegate::applicationWillResignActive(kit::Application& application) {
  if (savingAllowed_) saveStore(store_, application.standardUserDefaults());
}

}  // namespace allot
