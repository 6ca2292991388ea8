// ApplicationLifecycle: maps the host's lifecycle onto the kit application's. Qt's application
// state leaving Active resigns the active state (the delegate saves, the kit commits) and coming
// back regains it; quitting for any reason (the window closed, SIGTERM, SIGINT or SIGHUP) resigns
// first, so nothing the user did is lost, and the kit's own quit (an alert's Quit) ends Qt's loop.
// Signals are turned into a quit through a self-pipe, the only safe way out of a signal handler;
// they also raise the StopRequest, so that a long load, save or wait for a lock that is running
// when one arrives gives up at once.
#pragma once

#include <QObject>

namespace allot::kit {
class Application;
}

class QSocketNotifier;

namespace allot::qt {

class KitBridge;

class ApplicationLifecycle : public QObject {
  Q_OBJECT

 public:
  ApplicationLifecycle(kit::Application& application, KitBridge& bridge, QObject* parent = nullptr);
  ~ApplicationLifecycle() override;

  // Resigns the active state, as before every quit; exposed for tests.
  void resign();

  // Catches the quit signals from now on, before any window exists, so that one arriving during
  // the load ends the program without waiting. Their quit reaches Qt once a lifecycle exists.
  static void catchQuitSignals();

 private:
  void applicationStateChanged(Qt::ApplicationState state);
  void watchQuitSignals();
  void quitForSignal();

  kit::Application& application_;
  KitBridge& bridge_;
  QSocketNotifier* signalNotifier_ = nullptr;
};

}  // namespace allot::qt
