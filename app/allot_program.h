// AllotProgram: what the allot program runs, in order: the lock that keeps one Allot per store,
// the user's SQLite store, the kit application with AppDelegate (launched, so the store is
// loaded), and its Qt Quick screen, ready to show. main() and the launch benchmark both use it, so
// the benchmark measures the program's own start. It needs a QGuiApplication to exist.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "app/instance_lock.h"
#include "app/qt_screen.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "platform/kit/application.h"

namespace allot {

class AllotProgram {
 public:
  explicit AllotProgram(std::filesystem::path storeFile = SqliteUserDefaults::defaultPath());
  ~AllotProgram();

  // Names the host application and sets its icon.
  static void describeHost();

  // False, with the reason on standard error, when another Allot already runs on the store.
  bool start();
  // After a successful start.
  QtScreen& screen() { return *screen_; }

 private:
  std::filesystem::path storeFile_;
  std::optional<InstanceLock> lock_;
  std::unique_ptr<SqliteUserDefaults> defaults_;
  std::unique_ptr<kit::Application> application_;
  std::unique_ptr<QtScreen> screen_;
};

}  // namespace allot
