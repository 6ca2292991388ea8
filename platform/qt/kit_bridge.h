// KitBridge: the one object QML talks to. It shows the kit application's navigation stack as a
// list of scenes, the alert and the notice on display, and runs every gesture through the kit:
// one Qt event, one gesture, then sync(), which re-reads the kit only when its revision moved and
// lets each bridge report just what changed; performed() then tells whoever saves the
// application's changes. A gesture on a screen shown beside the top one (the root, on a wide
// window) first brings that screen to the top, as going back would. It knows nothing of budgets.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QQmlListProperty>
#include <QString>
#include <QVariantList>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/kit/application.h"
#include "platform/kit/gestures.h"
#include "platform/qt/alert_bridge.h"
#include "platform/qt/scene_bridge.h"

namespace allot::qt {

class KitBridge : public QObject {
  Q_OBJECT
  QML_ELEMENT
  QML_UNCREATABLE("The kit is made by the program and handed to the window.")
  Q_PROPERTY(QQmlListProperty<allot::qt::SceneBridge> scenes READ scenes NOTIFY scenesChanged)
  Q_PROPERTY(allot::qt::AlertBridge* alert READ alert NOTIFY alertChanged)
  // The notice shown above the screens; empty when there is none.
  Q_PROPERTY(QString noticeText READ noticeText NOTIFY noticeChanged)
  Q_PROPERTY(bool noticeDismissible READ noticeDismissible NOTIFY noticeChanged)
  // The title of the notice's action button ("Undo"); empty when it has none.
  Q_PROPERTY(QString noticeActionTitle READ noticeActionTitle NOTIFY noticeChanged)

 public:
  explicit KitBridge(kit::Application& application, QObject* parent = nullptr);

  // The screens of the navigation stack, the root first.
  QQmlListProperty<SceneBridge> scenes();
  const std::vector<SceneBridge*>& sceneList() const { return scenes_; }
  AlertBridge* alert() const { return alert_; }
  QString noticeText() const { return noticeText_; }
  bool noticeDismissible() const { return noticeDismissible_; }
  QString noticeActionTitle() const { return noticeActionTitle_; }

  Q_INVOKABLE bool goBack();
  Q_INVOKABLE bool dismissNotice();
  Q_INVOKABLE bool tapNoticeAction();
  Q_INVOKABLE bool undo();
  Q_INVOKABLE bool redo();
  // The page that shows `scene` owns its bridge from now on: the bridge goes when the page goes
  // (after the page has animated away), or with this bridge when no page ever took it.
  Q_INVOKABLE void keepWithPage(allot::qt::SceneBridge* scene, QObject* page);
  // The user closes the window: true when the application may quit now. Otherwise it asks the
  // user first (an alert) and quits later, through the kit, if told to.
  Q_INVOKABLE bool mayQuit();
  Q_INVOKABLE bool touchBackground();
  Q_INVOKABLE bool resize(qreal width, qreal height);
  // The window has room for two screens: the root stands beside the top one (or no longer does).
  Q_INVOKABLE bool showRootBeside(bool beside);

  // Runs one gesture, then shows what it changed.
  template <class Gesture>
  bool perform(Gesture&& gesture) {
    const bool reached = gesture(gestures_);
    sync();
    emit performed();
    return reached;
  }
  // Runs one gesture on `controller`'s screen, brought to the top first when it stands beside.
  template <class Gesture>
  bool performOn(kit::ViewController& controller, Gesture&& gesture) {
    return perform([&controller, &gesture](kit::Gestures& user) {
      user.bringForward(controller);
      return gesture(user);
    });
  }
  void sync();

 signals:
  void scenesChanged();
  void alertChanged();
  void noticeChanged();
  // After every gesture.
  void performed();

 private:
  void syncScenes();
  void syncAlert();
  void syncNotice();

  kit::Application& application_;
  kit::Gestures gestures_;
  std::uint64_t shownRevision_ = std::numeric_limits<std::uint64_t>::max();
  std::vector<SceneBridge*> scenes_;
  AlertBridge* alert_ = nullptr;
  QString noticeText_;
  bool noticeDismissible_ = false;
  QString noticeActionTitle_;
};

}  // namespace allot::qt
