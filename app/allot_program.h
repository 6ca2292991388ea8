// AllotProgram: what the allot program runs, in order: the private folder of the store, the lock
// that keeps one Allot per store (a second launch raises the first one's window instead), the
// user's SQLite store and its LaunchLoad (the budget read on a thread of its own while the QML
// compiles), the kit application with AppDelegate (launched on the whole loaded budget), and its
// Qt Quick screen, ready to show. main() and the launch
// benchmark both use it, so the benchmark measures the program's own start. It needs a
// QGuiApplication to exist.
#pragma once

#include <QObject>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/app_delegate.h"
#include "app/instance_channel.h"
#include "app/instance_lock.h"
#include "app/launch_load.h"
#include "app/qt_screen.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "platform/kit/application.h"

namespace allot {

class AllotProgram {
 public:
  // How a start that was not refused went on.
  enum class Start {
    Running,      // the screen is ready to show
    RaisedOther,  // another Allot runs on the store and brought its window to the front
    Stopped,      // a quit signal came while the store was loading
  };

  explicit AllotProgram(std::filesystem::path storeFile = SqliteUserDefaults::defaultPath());
  ~AllotProgram();

  // Names the host application; the window gets its icon after its first frame.
  static void describeHost();

  // Not ok when Allot cannot run here, saying why in a sentence for the user; otherwise *started
  // says how it went on.
  Status start(Start* started);
  // After Running: shows the window and listens for later launches; false when QML failed.
  bool show();
  QtScreen& screen() { return *screen_; }

  // After Qt's loop ended: the exit status. Changes that could not be saved make it 1, with one
  // line on standard error.
  int finish(int loopStatus);

  // Shows why Allot cannot run in a small window until the user closes it; returns 1.
  static int explain(const std::string& refusal);

 private:
  static void afterFirstFrame(QQuickWindow& window);

  std::filesystem::path storeFile_;
  InstanceLock lock_;
  std::unique_ptr<InstanceChannel> channel_;
  std::unique_ptr<SqliteUserDefaults> defaults_;
  std::unique_ptr<LaunchLoad> launchLoad_;
  std::unique_ptr<kit::Application> application_;
  std::unique_ptr<QtScreen> screen_;
};

}  // namespace allot
