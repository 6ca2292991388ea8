// TableRowItem: the item a table row's layout is built on. It tells assistive technology what the
// row is: a list item with a name, and the row's named actions (Open, the row actions, Move Up and
// Move Down in editing mode), which the keyboard and a screen reader use instead of a swipe, a tap
// or a drag. With the keyboard focus, Return or Space opens the row, Delete does what a full swipe
// does, the Menu key (or Shift+F10) reveals the row actions as a swipe does (then
// `actionsRevealed` is emitted; Escape hides them again and takes the focus back), and Ctrl+Up or
// Ctrl+Down moves the row in editing mode (then `moved` says where it went); other keys go on to
// the list. A sideways wheel (a touchpad's two-finger swipe) reveals the row actions as a finger's
// swipe does when it moves the content left, and hides them when it moves it back; an upright one
// goes on to the list, which scrolls. Among its sibling rows it keeps itself in row order, which is
// the order a screen reader reads them in (a list makes new rows' items last). The buttons inside
// `actionsItem` (the revealed row actions) are the row's children for assistive technology while
// they show. It draws nothing;
// the layout inside it does.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QPointer>
#include <QQuickItem>
#include <QStringList>
#include <QVariantList>

#include "platform/qt/table_bridge.h"

namespace allot::qt {

class TableRowItem : public QQuickItem {
  Q_OBJECT
  QML_ELEMENT
  Q_PROPERTY(allot::qt::TableBridge* table READ table WRITE setTable NOTIFY tableChanged)
  Q_PROPERTY(int rowIndex READ rowIndex WRITE setRowIndex NOTIFY rowIndexChanged)
  Q_PROPERTY(QString accessibleName READ accessibleName WRITE setAccessibleName NOTIFY
                 accessibleNameChanged)
  Q_PROPERTY(
      QQuickItem* actionsItem READ actionsItem WRITE setActionsItem NOTIFY actionsItemChanged)

 public:
  explicit TableRowItem(QQuickItem* parent = nullptr);

  TableBridge* table() const { return table_; }
  void setTable(TableBridge* table);
  int rowIndex() const { return rowIndex_; }
  void setRowIndex(int row);
  QString accessibleName() const { return accessibleName_; }
  void setAccessibleName(const QString& name);
  QQuickItem* actionsItem() const { return actionsItem_; }
  void setActionsItem(QQuickItem* item);
  // The row actions on display, in order: the buttons inside actionsItem that can be seen.
  QList<QQuickItem*> shownActionButtons() const;

  // The row's actions (a RowAction each), and one of them done; for the right-click menu.
  Q_INVOKABLE QVariantList offeredActions() const;
  Q_INVOKABLE bool perform(const allot::qt::RowAction& action);
  // The same actions by the names a screen reader calls them.
  QStringList actionNames() const;
  bool doAction(const QString& name);

 signals:
  void tableChanged();
  void rowIndexChanged();
  void accessibleNameChanged();
  void actionsItemChanged();
  void moved(int to);
  void actionsRevealed();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void itemChange(ItemChange change, const ItemChangeData& value) override;

 private:
  void keepRowOrder();
  bool showsActions() const;

  QPointer<TableBridge> table_;
  int rowIndex_ = -1;
  QString accessibleName_;
  QPointer<QQuickItem> actionsItem_;
  qreal sideways_ = 0;  // the sideways wheel travel not yet acted on, in pixels
};

}  // namespace allot::qt
