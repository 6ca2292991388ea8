#include "platform/qt/table_bridge.h"

#include <algorithm>

#include "platform/kit/gestures.h"
#include "platform/kit/label.h"
#include "platform/kit/table_view.h"
#include "platform/kit/table_view_controller.h"
#include "platform/qt/kit_bridge.h"
#include "platform/qt/kit_color.h"

namespace allot::qt {
namespace {

// The labels anywhere inside the view, by identifier.
void collectLabels(const kit::View& view, CellLabels& labels) {
  for (const auto& subview : view.subviews()) {
    if (const auto* label = dynamic_cast<const kit::Label*>(subview.get())) {
      labels.byIdentifier.insert_or_assign(QString::fromStdString(label->identifier()),
                                           CellLabel::of(label));
    }
    collectLabels(*subview, labels);
  }
}

}  // namespace

TableBridge::TableBridge(KitBridge& kit, kit::TableView& table, QObject* parent)
    : QAbstractListModel(parent), kit_(kit), table_(&table) {
  sync();
}

int TableBridge::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : count_;
}

QVariant TableBridge::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Row& row = rowAt(index.row());
  switch (role) {
    case Qt::DisplayRole:
      return row.textLabel.text;
    case TextLabelRole:
      return QVariant::fromValue(row.textLabel);
    case DetailTextLabelRole:
      return QVariant::fromValue(row.detailTextLabel);
    case LabelsRole:
      return QVariant::fromValue(row.labels);
    default:
      return {};
  }
}

QHash<int, QByteArray> TableBridge::roleNames() const {
  return {{TextLabelRole, "textLabel"},
          {DetailTextLabelRole, "detailTextLabel"},
          {LabelsRole, "labels"}};
}

bool TableBridge::select(int row) {
  kit::TableView* table = table_;
  return table != nullptr && row >= 0 &&
         kit_.performOn(table->controller(), [table, row](kit::Gestures& user) {
           return user.selectRow(*table, static_cast<std::size_t>(row));
         });
}

bool TableBridge::swipe(int row) {
  kit::TableView* table = table_;
  return table != nullptr && row >= 0 &&
         kit_.performOn(table->controller(), [table, row](kit::Gestures& user) {
           return user.swipeRow(*table, static_cast<std::size_t>(row));
         });
}

bool TableBridge::triggerRowAction(int index) {
  kit::TableView* table = table_;
  return table != nullptr && index >= 0 &&
         kit_.performOn(table->controller(), [table, index](kit::Gestures& user) {
           return user.triggerRowAction(*table, static_cast<std::size_t>(index));
         });
}

void TableBridge::hideRowActions() {
  if (table_ == nullptr) return;
  table_->hideRowActions();
  kit_.sync();
}

bool TableBridge::commitDelete(int row) {
  kit::TableView* table = table_;
  return table != nullptr && row >= 0 &&
         kit_.performOn(table->controller(), [table, row](kit::Gestures& user) {
           return user.swipeDelete(*table, static_cast<std::size_t>(row));
         });
}

bool TableBridge::move(int from, int to) {
  kit::TableView* table = table_;
  return table != nullptr && from >= 0 && to >= 0 &&
         kit_.performOn(table->controller(), [table, from, to](kit::Gestures& user) {
           return user.dragRow(*table, static_cast<std::size_t>(from),
                               static_cast<std::size_t>(to));
         });
}

namespace {

RowAction named(RowAction::Kind kind, const char* title) {
  return {.kind = kind,
          .index = 0,
          .title = QString::fromLatin1(title),
          .name = QString::fromLatin1(title),
          .color = {}};
}

RowAction swipedAction(int index, const std::string& title, QColor color = {}) {
  const QString shown = QString::fromStdString(title);
  return {.kind = RowAction::Kind::Swiped,
          .index = index,
          .title = shown,
          .name = QString(shown).replace(u'\n', u' '),
          .color = color};
}

}  // namespace

QList<RowAction> TableBridge::actionsOf(int row) {
  QList<RowAction> actions;
  if (table_ == nullptr || row < 0 || row >= rowCount()) return actions;
  const kit::IndexPath path(static_cast<std::size_t>(row));
  if (table_->isEditing()) {
    if (!table_->controller().tableViewCanMoveRowAtIndexPath(*table_, path)) return actions;
    if (row > 0) actions << named(RowAction::Kind::MoveUp, "Move Up");
    if (row + 1 < rowCount()) actions << named(RowAction::Kind::MoveDown, "Move Down");
    return actions;
  }
  if (table_->selectionSegueForRowAtIndexPath(path)) {
    actions << named(RowAction::Kind::Open, "Open");
  }
  int index = 0;
  for (const std::string& title : table_->rowActionTitlesForRowAtIndexPath(path)) {
    actions << swipedAction(index++, title);
  }
  return actions;
}

bool TableBridge::perform(int row, const RowAction& action) {
  const QList<RowAction> offered = actionsOf(row);
  const bool offers = std::any_of(offered.begin(), offered.end(), [&](const RowAction& one) {
    return one.kind == action.kind && one.index == action.index;
  });
  if (!offers) return false;
  switch (action.kind) {
    case RowAction::Kind::Open:
      return select(row);
    case RowAction::Kind::MoveUp:
      return move(row, row - 1);
    case RowAction::Kind::MoveDown:
      return move(row, row + 1);
    case RowAction::Kind::Swiped:
      if (!swipe(row)) return false;
      if (triggerRowAction(action.index)) return true;
      hideRowActions();
      return false;
  }
  return false;
}

TableBridge::Row TableBridge::readRow(std::size_t row) const {
  Row shown;
  kit::TableViewCell* cell = table_->cellForRowAtIndexPath(kit::IndexPath(row));
  if (cell == nullptr) return shown;
  shown.textLabel = CellLabel::of(cell->textLabel());
  shown.detailTextLabel = CellLabel::of(cell->detailTextLabel());
  collectLabels(*cell, shown.labels);
  return shown;
}

void TableBridge::sync() {
  if (table_ == nullptr) return;
  if (table_->contentRevision() != shownRevision_) {
    shownRevision_ = table_->contentRevision();
    showRows(static_cast<int>(table_->numberOfRowsInSection(0)));
  }

  if (editing_ != table_->isEditing()) {
    editing_ = table_->isEditing();
    emit editingChanged();
  }
  const int swiped = table_->swipedRow() ? static_cast<int>(table_->swipedRow()->row()) : -1;
  QVariantList actions;
  for (const kit::TableViewRowAction& action : table_->shownRowActions()) {
    actions.append(
        QVariant::fromValue(swipedAction(static_cast<int>(actions.size()), action.title(),
                                         toQColor(action.shownBackgroundColor()))));
  }
  if (swiped != swipedRow_ || actions != rowActions_) {
    swipedRow_ = swiped;
    rowActions_ = actions;
    emit rowActionsChanged();
  }
}

const TableBridge::Row& TableBridge::rowAt(int row) const {
  // Rows far from the one asked for are let go: the view shows a few dozen at most.
  constexpr int kKeptAround = 256;
  if (auto found = kept_.find(row); found != kept_.end()) return found->second;
  if (kept_.size() > 4 * kKeptAround) {
    kept_.erase(kept_.begin(), kept_.lower_bound(row - kKeptAround));
    kept_.erase(kept_.upper_bound(row + kKeptAround), kept_.end());
  }
  return kept_.emplace(row, table_ ? readRow(static_cast<std::size_t>(row)) : Row()).first->second;
}

// Keeps the rows both versions share at the start and at the end, and reports what lies between:
// one insertion, one removal or one changed row is reported as just that. Only kept rows are
// compared, each with the row now at its place counted from the same end; a row not kept matches.
void TableBridge::showRows(int newCount) {
  const int oldCount = count_;
  const int shorter = std::min(oldCount, newCount);
  int head = shorter;
  for (const auto& [row, shown] : kept_) {
    if (row >= shorter) break;
    if (!(shown == readRow(static_cast<std::size_t>(row)))) {
      head = row;
      break;
    }
  }
  const int shift = newCount - oldCount;
  int tail = shorter - head;
  for (auto kept = kept_.rbegin(); kept != kept_.rend(); ++kept) {
    const int row = kept->first;
    if (row < head || row + shift < head) break;
    if (!(kept->second == readRow(static_cast<std::size_t>(row + shift)))) {
      tail = std::min(tail, oldCount - 1 - row);
      break;
    }
  }

  const int oldMiddle = oldCount - head - tail;
  const int newMiddle = newCount - head - tail;
  const int changed = std::min(oldMiddle, newMiddle);
  // What the view shows from here on is read again when it asks.
  kept_.erase(kept_.lower_bound(head), kept_.lower_bound(head + oldMiddle));
  std::map<int, Row> moved;
  for (auto kept = kept_.lower_bound(head + oldMiddle); kept != kept_.end();) {
    auto node = kept_.extract(kept++);
    node.key() += shift;
    moved.insert(std::move(node));
  }
  kept_.merge(moved);

  if (changed > 0) emit dataChanged(index(head), index(head + changed - 1));
  if (oldMiddle > newMiddle) {
    beginRemoveRows({}, head + changed, head + oldMiddle - 1);
    count_ = newCount;
    endRemoveRows();
  } else if (newMiddle > oldMiddle) {
    beginInsertRows({}, head + changed, head + newMiddle - 1);
    count_ = newCount;
    endInsertRows();
  }
  if (oldCount != newCount) emit countChanged();
}

}  // namespace allot::qt
