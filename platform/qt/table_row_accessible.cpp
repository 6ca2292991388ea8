#include "platform/qt/table_row_accessible.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QQuickItem>
#include <QQuickWindow>

#include "platform/qt/table_row_item.h"

namespace allot::qt {
namespace {

class TableRowAccessible : public QAccessibleObject, public QAccessibleActionInterface {
 public:
  explicit TableRowAccessible(TableRowItem* row) : QAccessibleObject(row) {}

  QWindow* window() const override { return row()->window(); }

  // The nearest enclosing item whose interface counts this row among its children.
  QAccessibleInterface* parent() const override {
    for (QQuickItem* item = row()->parentItem(); item != nullptr; item = item->parentItem()) {
      QAccessibleInterface* candidate = QAccessible::queryAccessibleInterface(item);
      if (candidate != nullptr && candidate->indexOfChild(this) >= 0) return candidate;
    }
    return row()->window() ? QAccessible::queryAccessibleInterface(row()->window()) : nullptr;
  }
  // The row actions on display, which take the keyboard focus and are read by their titles.
  QAccessibleInterface* child(int index) const override {
    const QList<QQuickItem*> buttons = row()->shownActionButtons();
    return index >= 0 && index < buttons.size()
               ? QAccessible::queryAccessibleInterface(buttons[index])
               : nullptr;
  }
  int childCount() const override { return static_cast<int>(row()->shownActionButtons().size()); }
  int indexOfChild(const QAccessibleInterface* child) const override {
    auto* item = child != nullptr ? qobject_cast<QQuickItem*>(child->object()) : nullptr;
    return item != nullptr ? static_cast<int>(row()->shownActionButtons().indexOf(item)) : -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (QQuickItem* button : row()->shownActionButtons()) {
      QAccessibleInterface* action = QAccessible::queryAccessibleInterface(button);
      if (action != nullptr && action->rect().contains(x, y)) return action;
    }
    return nullptr;
  }

  QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Name ? row()->accessibleName() : QString();
  }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.focusable = true;
    state.focused = row()->hasActiveFocus();
    state.invisible = !row()->isVisible();
    state.selectable = true;
    state.selected = row()->hasActiveFocus();
    return state;
  }
  QRect rect() const override {
    if (row()->window() == nullptr) return {};
    const QRectF inScene = row()->mapRectToScene(QRectF(0, 0, row()->width(), row()->height()));
    return QRect(row()->window()->mapToGlobal(inScene.topLeft().toPoint()),
                 inScene.size().toSize());
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : QAccessibleObject::interface_cast(type);
  }
  QStringList actionNames() const override { return row()->actionNames(); }
  void doAction(const QString& name) override { row()->doAction(name); }
  QStringList keyBindingsForAction(const QString& name) const override {
    if (name == QLatin1String("Open")) return {QStringLiteral("Return")};
    if (name == QLatin1String("Move Up")) return {QStringLiteral("Ctrl+Up")};
    if (name == QLatin1String("Move Down")) return {QStringLiteral("Ctrl+Down")};
    if (name == QLatin1String("Delete")) return {QStringLiteral("Delete")};
    return {};
  }

 private:
  TableRowItem* row() const { return static_cast<TableRowItem*>(object()); }
};

QAccessibleInterface* makeTableRowAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String(TableRowItem::staticMetaObject.className())) return nullptr;
  return new TableRowAccessible(static_cast<TableRowItem*>(object));
}

}  // namespace

void installTableRowAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(makeTableRowAccessible);
    return true;
  }();
  (void)installed;
}

}  // namespace allot::qt
