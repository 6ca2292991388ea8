#include "platform/qt/table_row_item.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "platform/qt/table_row_accessible.h"

namespace allot::qt {

TableRowItem::TableRowItem(QQuickItem* parent) : QQuickItem(parent) {
  installTableRowAccessibility();
  setActiveFocusOnTab(true);
}

void TableRowItem::setTable(TableBridge* table) {
  if (table_ == table) return;
  table_ = table;
  emit tableChanged();
}

void TableRowItem::setRowIndex(int row) {
  if (rowIndex_ == row) return;
  rowIndex_ = row;
  keepRowOrder();
  emit rowIndexChanged();
}

void TableRowItem::setAccessibleName(const QString& name) {
  if (accessibleName_ == name) return;
  accessibleName_ = name;
  emit accessibleNameChanged();
  if (QAccessible::isActive()) {
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
  }
}

void TableRowItem::setActionsItem(QQuickItem* item) {
  if (actionsItem_ == item) return;
  actionsItem_ = item;
  emit actionsItemChanged();
}

QList<QQuickItem*> TableRowItem::shownActionButtons() const {
  QList<QQuickItem*> buttons;
  if (actionsItem_ == nullptr || !actionsItem_->isVisible()) return buttons;
  for (QQuickItem* child : actionsItem_->childItems()) {
    if (child->isVisible() && child->inherits("QQuickAbstractButton")) buttons << child;
  }
  return buttons;
}

void TableRowItem::itemChange(ItemChange change, const ItemChangeData& value) {
  QQuickItem::itemChange(change, value);
  if (change == ItemParentHasChanged) keepRowOrder();
}

// Stacks this row just before the first sibling row that comes after it.
void TableRowItem::keepRowOrder() {
  if (parentItem() == nullptr || rowIndex_ < 0) return;
  const QList<QQuickItem*> siblings = parentItem()->childItems();
  for (QQuickItem* sibling : siblings) {
    auto* other = qobject_cast<TableRowItem*>(sibling);
    if (other != nullptr && other != this && other->rowIndex_ > rowIndex_) {
      stackBefore(other);
      return;
    }
  }
  const auto last = std::find_if(siblings.rbegin(), siblings.rend(), [](QQuickItem* item) {
    return qobject_cast<TableRowItem*>(item) != nullptr;
  });
  if (last != siblings.rend() && *last != this) stackAfter(*last);
}

QVariantList TableRowItem::offeredActions() const {
  QVariantList actions;
  if (table_) {
    for (const RowAction& action : table_->actionsOf(rowIndex_)) {
      actions << QVariant::fromValue(action);
    }
  }
  return actions;
}

bool TableRowItem::perform(const RowAction& action) {
  return table_ && table_->perform(rowIndex_, action);
}

QStringList TableRowItem::actionNames() const {
  QStringList names;
  if (table_) {
    for (const RowAction& action : table_->actionsOf(rowIndex_)) names << action.name;
  }
  return names;
}

bool TableRowItem::doAction(const QString& name) {
  if (!table_) return false;
  for (const RowAction& action : table_->actionsOf(rowIndex_)) {
    if (action.name == name) return table_->perform(rowIndex_, action);
  }
  return false;
}

bool TableRowItem::showsActions() const {
  return table_ != nullptr && table_->swipedRow() == rowIndex_;
}

// Escape belongs to the revealed row actions before the window's own Escape (going back).
bool TableRowItem::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && showsActions()) {
    event->accept();
    return true;
  }
  return QQuickItem::event(event);
}

void TableRowItem::keyPressEvent(QKeyEvent* event) {
  if (table_ == nullptr) return QQuickItem::keyPressEvent(event);
  if (event->key() == Qt::Key_Escape && showsActions()) {
    table_->hideRowActions();
    forceActiveFocus(Qt::OtherFocusReason);
    return event->accept();
  }
  const bool control = event->modifiers().testFlag(Qt::ControlModifier);
  const int row = rowIndex_;
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (!table_->editing()) table_->select(row);
      return event->accept();
    case Qt::Key_Delete:
      if (!table_->editing()) table_->commitDelete(row);
      return event->accept();
    case Qt::Key_Menu:
    case Qt::Key_F10:
      if (event->key() == Qt::Key_F10 && !event->modifiers().testFlag(Qt::ShiftModifier)) break;
      if (!table_->editing() && table_->swipe(row)) emit actionsRevealed();
      return event->accept();
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (control) {
        const int to = event->key() == Qt::Key_Up ? row - 1 : row + 1;
        if (table_->editing() && to >= 0 && to < table_->rowCount() && table_->move(row, to)) {
          emit moved(to);
        }
        return event->accept();
      }
      break;
    default:
      break;
  }
  QQuickItem::keyPressEvent(event);
}

void TableRowItem::wheelEvent(QWheelEvent* event) {
  // A wheel's notch (120) counts as 40 pixels; a touchpad reports pixels itself.
  const QPointF travel = event->pixelDelta().isNull() ? QPointF(event->angleDelta()) / 3.0
                                                      : QPointF(event->pixelDelta());
  if (table_ == nullptr || table_->editing() || std::abs(travel.x()) <= std::abs(travel.y())) {
    return event->ignore();
  }
  constexpr qreal kEnough = 40;
  if (event->phase() == Qt::ScrollBegin || (sideways_ < 0) != (travel.x() < 0)) sideways_ = 0;
  sideways_ += travel.x();
  if (sideways_ <= -kEnough) {
    sideways_ = 0;
    if (!showsActions()) table_->swipe(rowIndex_);
  } else if (sideways_ >= kEnough) {
    sideways_ = 0;
    if (showsActions()) table_->hideRowActions();
  }
  event->accept();
}

}  // namespace allot::qt
