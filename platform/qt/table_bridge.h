// TableBridge: a kit table as a Qt list model. A row's cell is asked of the table's controller
// only when the view asks for that row (the rows on screen and a few beyond), and is exposed as
// typed labels: the built-in text and detail labels each in its own role, and the labels the cell
// adds in one role, by identifier (CellLabel). The rows read are kept, a window of them
// around the last one asked for. When the table's rows may read differently (a reload, a deletion,
// a move; not a keystroke elsewhere on the screen) it compares the rows it has kept with what the
// table now says at the same places, counted from either end, and reports only the rows that
// changed, were inserted or were removed, so a list keeps its place and its animations; a row not
// kept is not on screen and needs no report. The row gestures (select, swipe for row actions,
// delete, drag) go through the kit, on a table shown beside the top screen after bringing its
// screen to the top.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QAbstractListModel>
#include <QColor>
#include <QStringList>
#include <QVariantList>
#include <limits>
#include <map>

#include "platform/qt/cell_label.h"
#include "platform/qt/row_action.h"

namespace allot::kit {
class TableView;
}

namespace allot::qt {

class KitBridge;

class TableBridge : public QAbstractListModel {
  Q_OBJECT
  QML_ELEMENT
  QML_UNCREATABLE("Tables come from their scene.")
  Q_PROPERTY(bool editing READ editing NOTIFY editingChanged)
  Q_PROPERTY(int count READ rowCount NOTIFY countChanged)
  Q_PROPERTY(int swipedRow READ swipedRow NOTIFY rowActionsChanged)
  Q_PROPERTY(QVariantList rowActions READ rowActions NOTIFY rowActionsChanged)

 public:
  enum Role { TextLabelRole = Qt::UserRole + 1, DetailTextLabelRole, LabelsRole };

  TableBridge(KitBridge& kit, kit::TableView& table, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QHash<int, QByteArray> roleNames() const override;

  bool editing() const { return editing_; }
  int swipedRow() const { return swipedRow_; }
  // The actions a swipe revealed: a RowAction each, in order.
  QVariantList rowActions() const { return rowActions_; }

  Q_INVOKABLE bool select(int row);
  Q_INVOKABLE bool swipe(int row);
  Q_INVOKABLE bool triggerRowAction(int index);
  Q_INVOKABLE void hideRowActions();
  Q_INVOKABLE bool commitDelete(int row);
  Q_INVOKABLE bool move(int from, int to);

  // What a screen reader or the keyboard can do to a row: Open when selecting it opens a screen,
  // its row actions, and Move Up and Move Down in editing mode where the row can go. perform does
  // one of them as the gestures would: a swipe then a tap on the action, a selection, a drag by
  // one place; it refuses an action the row does not offer.
  QList<RowAction> actionsOf(int row);
  bool perform(int row, const RowAction& action);

  void sync();
  void forget() { table_ = nullptr; }

 signals:
  void editingChanged();
  void countChanged();
  void rowActionsChanged();

 private:
  struct Row {
    CellLabel textLabel;
    CellLabel detailTextLabel;
    CellLabels labels;
    friend bool operator==(const Row&, const Row&) = default;
  };

  Row readRow(std::size_t row) const;
  // The row as kept, read first when it is not.
  const Row& rowAt(int row) const;
  void showRows(int newCount);

  KitBridge& kit_;
  kit::TableView* table_;
  int count_ = 0;
  mutable std::map<int, Row> kept_;  // by row number
  std::uint64_t shownRevision_ = std::numeric_limits<std::uint64_t>::max();
  bool editing_ = false;
  int swipedRow_ = -1;
  QVariantList rowActions_;
};

}  // namespace allot::qt
