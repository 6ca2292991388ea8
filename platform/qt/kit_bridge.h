// KitBridge: the one object QML talks to. It shows the kit application's navigation stack as a
// list of scenes and the alert on display, and runs every gesture through the kit: one Qt event,
// one gesture, then sync(), which re-reads the kit only when its revision moved and lets each
// bridge report just what changed. It knows nothing of budgets.
#pragma once

#include <QObject>
#include <QVariantList>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/kit/application.h"
#include "platform/kit/gestures.h"

namespace allot::qt {

class AlertBridge;
class SceneBridge;

class KitBridge : public QObject {
  Q_OBJECT
  Q_PROPERTY(QVariantList scenes READ scenes NOTIFY scenesChanged)
  Q_PROPERTY(QObject* alert READ alert NOTIFY alertChanged)

 public:
  explicit KitBridge(kit::Application& application, QObject* parent = nullptr);

  // The screens of the navigation stack, the root first.
  QVariantList scenes() const;
  QObject* alert() const;

  Q_INVOKABLE bool goBack();
  Q_INVOKABLE bool touchBackground();
  Q_INVOKABLE bool resize(qreal width, qreal height);

  // Runs one gesture, then shows what it changed.
  template <class Gesture>
  bool perform(Gesture&& gesture) {
    const bool reached = gesture(gestures_);
    sync();
    return reached;
  }
  void sync();

 signals:
  void scenesChanged();
  void alertChanged();

 private:
  void syncScenes();
  void syncAlert();
  // Bridges whose screen is gone stop reading the kit at once and are freed a little later,
  // after the page that showed them has animated away.
  void retire(QObject* bridge);

  kit::Application& application_;
  kit::Gestures gestures_;
  std::uint64_t shownRevision_ = std::numeric_limits<std::uint64_t>::max();
  std::vector<SceneBridge*> scenes_;
  AlertBridge* alert_ = nullptr;
};

}  // namespace allot::qt
