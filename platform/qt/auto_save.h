// AutoSave: saves the kit application's changes soon after they are made, so that a crash, a
// power cut or a killed process loses at most the last moments of work even when the window never
// stops being active. The first change after a save starts a short timer and later changes ride
// along (one save for a burst); typing into a field changes nothing and starts nothing. A save that
// fails is tried again, less and less often. It does not decide what is saved: the application's
// delegate does.
#pragma once

#include <QObject>
#include <QTimer>

namespace allot::kit {
class Application;
}

namespace allot::qt {

class KitBridge;

class AutoSave : public QObject {
  Q_OBJECT

 public:
  // How long after the first change the save runs; well within a second.
  static constexpr int kDelayMs = 400;
  // The longest wait between tries of a save that keeps failing.
  static constexpr int kLongestRetryMs = 30000;

  AutoSave(kit::Application& application, KitBridge& bridge, QObject* parent = nullptr);

  // Starts the timer when there is something to save and it is not already running.
  void noteChanges();

 private:
  void save();

  kit::Application& application_;
  KitBridge& bridge_;
  QTimer timer_;
  int retryMs_ = kDelayMs;
};

}  // namespace allot::qt
