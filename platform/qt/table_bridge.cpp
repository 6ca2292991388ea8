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

QString textOf(const kit::Label* label) {
  return label != nullptr && label->text() ? QString::fromStdString(*label->text()) : QString();
}

int toneOf(const kit::Label* label) {
  return label != nullptr && label->tone() == kit::Label::Tone::Negative ? TableBridge::Negative
                                                                         : TableBridge::Plain;
}

static_assert(TableBridge::Plain == static_cast<int>(kit::Label::Tone::Plain) &&
              TableBridge::Negative == static_cast<int>(kit::Label::Tone::Negative));

// The labels anywhere inside the view, by identifier.
void collectLabels(const kit::View& view, QVariantMap& texts, QVariantMap& tones,
                   QVariantMap& colors) {
  for (const auto& subview : view.subviews()) {
    if (const auto* label = dynamic_cast<const kit::Label*>(subview.get())) {
      const QString name = QString::fromStdString(label->identifier());
      texts.insert(name, textOf(label));
      tones.insert(name, toneOf(label));
      colors.insert(name, toQColor(label->backgroundColor()));
    }
    collectLabels(*subview, texts, tones, colors);
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
    case TextsRole:
      return row.texts;
    case TonesRole:
      return row.tones;
    case ColorsRole:
      return row.colors;
    case MainTextRole:
    case Qt::DisplayRole:
      return row.mainText;
    case DetailTextRole:
      return row.detailText;
    case DetailToneRole:
      return row.detailTone;
    default:
      return {};
  }
}

QHash<int, QByteArray> TableBridge::roleNames() const {
  return {{TextsRole, "texts"},           {TonesRole, "tones"},
          {ColorsRole, "colors"},         {MainTextRole, "mainText"},
          {DetailTextRole, "detailText"}, {DetailToneRole, "detailTone"}};
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

const QString kOpen = QStringLiteral("Open");
const QString kMoveUp = QStringLiteral("Move Up");
const QString kMoveDown = QStringLiteral("Move Down");

QString oneLine(const std::string& title) {
  return QString::fromStdString(title).replace(u'\n', u' ');
}

}  // namespace

QStringList TableBridge::rowActionNames(int row) {
  QStringList names;
  if (table_ == nullptr || row < 0 || row >= rowCount()) return names;
  const kit::IndexPath path(static_cast<std::size_t>(row));
  if (table_->isEditing()) {
    if (!table_->controller().tableViewCanMoveRowAtIndexPath(*table_, path)) return names;
    if (row > 0) names << kMoveUp;
    if (row + 1 < rowCount()) names << kMoveDown;
    return names;
  }
  if (table_->selectionSegueForRowAtIndexPath(path)) names << kOpen;
  for (const std::string& title : table_->rowActionTitlesForRowAtIndexPath(path)) {
    names << oneLine(title);
  }
  return names;
}

bool TableBridge::performRowAction(int row, const QString& name) {
  if (!rowActionNames(row).contains(name)) return false;
  if (name == kOpen) return select(row);
  if (name == kMoveUp) return move(row, row - 1);
  if (name == kMoveDown) return move(row, row + 1);
  if (!swipe(row)) return false;
  const QVariantList shown = rowActions_;
  for (int index = 0; index < shown.size(); ++index) {
    if (shown[index].toMap().value("title").toString().replace(u'\n', u' ') == name) {
      return triggerRowAction(index);
    }
  }
  hideRowActions();
  return false;
}

TableBridge::Row TableBridge::readRow(std::size_t row) const {
  Row shown;
  kit::TableViewCell* cell = table_->cellForRowAtIndexPath(kit::IndexPath(row));
  if (cell == nullptr) return shown;
  shown.mainText = textOf(cell->textLabel());
  shown.detailText = textOf(cell->detailTextLabel());
  shown.detailTone = toneOf(cell->detailTextLabel());
  collectLabels(*cell, shown.texts, shown.tones, shown.colors);
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
    actions.append(QVariantMap{{"title", QString::fromStdString(action.title())},
                               {"color", toQColor(action.shownBackgroundColor())}});
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
