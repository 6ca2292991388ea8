#include "platform/qt/auto_save.h"

#include <algorithm>

#include "platform/defaults/stop_request.h"
#include "platform/kit/application.h"
#include "platform/qt/kit_bridge.h"

namespace allot::qt {

AutoSave::AutoSave(kit::Application& application, KitBridge& bridge, QObject* parent)
    : QObject(parent), application_(application), bridge_(bridge) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &AutoSave::save);
  connect(&bridge_, &KitBridge::performed, this, &AutoSave::noteChanges);
}

void AutoSave::noteChanges() {
  if (timer_.isActive() || !application_.hasUnsavedChanges()) return;
  timer_.start(retryMs_);
}

void AutoSave::save() {
  // A quit is on its way and saves as it goes; a save now would only be stopped half-way.
  if (StopRequest::isRaised()) return;
  if (application_.saveChanges()) {
    retryMs_ = kDelayMs;
  } else {
    retryMs_ = std::min(retryMs_ * 2, kLongestRetryMs);
    timer_.start(retryMs_);
  }
  bridge_.sync();
}

}  // namespace allot::qt
