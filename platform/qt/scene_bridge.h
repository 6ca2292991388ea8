// SceneBridge: one screen of the kit's navigation stack as QML sees it: its title, bar items and
// editing mode, and its table; and, for the layer that knows the storyboard's names, the scene's
// name (which QML file lays it out), its views by identifier and its bar items by identifier. Once
// the screen leaves the stack the bridge forgets the kit objects and keeps showing its last state
// while the page animates away.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/qt/shown_bar_item.h"
#include "platform/qt/table_bridge.h"
#include "platform/qt/view_bridge.h"

namespace allot::kit {
class ViewController;
}

namespace allot::qt {

class KitBridge;

class SceneBridge : public QObject {
  Q_OBJECT
  QML_ELEMENT
  QML_UNCREATABLE("Scenes come from the kit.")
  Q_PROPERTY(QString title READ title NOTIFY titleChanged)
  Q_PROPERTY(QVariantList leftItems READ leftItems NOTIFY barItemsChanged)
  Q_PROPERTY(QString rightItem READ rightItem NOTIFY barItemsChanged)
  // The right item is the system's Add item, drawn as a plus sign.
  Q_PROPERTY(bool rightItemIsAdd READ rightItemIsAdd NOTIFY barItemsChanged)
  Q_PROPERTY(bool editing READ editing NOTIFY editingChanged)
  Q_PROPERTY(allot::qt::TableBridge* table READ table CONSTANT)

 public:
  SceneBridge(KitBridge& kit, kit::ViewController& controller, QObject* parent);

  std::uint64_t controllerId() const { return controllerId_; }
  const std::string& sceneName() const { return sceneName_; }
  QString title() const { return title_; }
  // The left bar items (a ShownBarItem each), in order.
  QVariantList leftItems() const { return leftItems_; }
  QString rightItem() const { return rightItem_; }
  bool rightItemIsAdd() const { return rightItemIsAdd_; }
  bool editing() const { return editing_; }
  TableBridge* table() const { return table_; }

  // The view that carries the identifier; null when the scene has none of that name.
  ViewBridge* outlet(std::string_view identifier);
  // Taps the bar item that carries the identifier; false when the bar shows none.
  bool tapBarItem(std::string_view identifier);
  // A touch on the screen outside any control.
  Q_INVOKABLE bool touchBackground();
  Q_INVOKABLE bool tapLeftItem(int index);
  Q_INVOKABLE bool tapRightItem();
  // Taps the Edit (or Done) button when the bar shows it; false otherwise.
  Q_INVOKABLE bool tapEditButton();
  // The screen's page was laid out anew at another size, whatever changed it (the window, the
  // notice above the pages): a layout pass of the screens on display.
  Q_INVOKABLE bool layOut();

  void sync();
  void forget();

 signals:
  void titleChanged();
  void barItemsChanged();
  void editingChanged();

 private:
  KitBridge& kit_;
  kit::ViewController* controller_;
  std::uint64_t controllerId_;
  std::string sceneName_;
  QString title_;
  QVariantList leftItems_;
  QString rightItem_;
  bool rightItemIsAdd_ = false;
  bool editing_ = false;
  TableBridge* table_ = nullptr;
  std::map<std::string, ViewBridge*, std::less<>> outlets_;
};

}  // namespace allot::qt
