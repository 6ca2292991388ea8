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
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant TableBridge::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Row& row = rows_[static_cast<std::size_t>(index.row())];
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
  return table != nullptr && row >= 0 && kit_.perform([table, row](kit::Gestures& user) {
    return user.selectRow(*table, static_cast<std::size_t>(row));
  });
}

bool TableBridge::swipe(int row) {
  kit::TableView* table = table_;
  return table != nullptr && row >= 0 && kit_.perform([table, row](kit::Gestures& user) {
    return user.swipeRow(*table, static_cast<std::size_t>(row));
  });
}

bool TableBridge::triggerRowAction(int index) {
  kit::TableView* table = table_;
  return table != nullptr && index >= 0 && kit_.perform([table, index](kit::Gestures& user) {
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
  return table != nullptr && row >= 0 && kit_.perform([table, row](kit::Gestures& user) {
    return user.swipeDelete(*table, static_cast<std::size_t>(row));
  });
}

bool TableBridge::move(int from, int to) {
  kit::TableView* table = table_;
  return table != nullptr && from >= 0 && to >= 0 &&
         kit_.perform([table, from, to](kit::Gestures& user) {
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
    const std::size_t count = table_->numberOfRowsInSection(0);
    std::vector<Row> rows;
    rows.reserve(count);
    for (std::size_t row = 0; row < count; ++row) rows.push_back(readRow(row));
    showRows(std::move(rows));
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

// Keeps the rows both lists share at the start and at the end, and replaces what lies between:
// one insertion, one removal or one changed row is reported as just that.
void TableBridge::showRows(std::vector<Row> rows) {
  const std::size_t oldCount = rows_.size();
  const std::size_t newCount = rows.size();
  std::size_t head = 0;
  while (head < oldCount && head < newCount && rows_[head] == rows[head]) ++head;
  std::size_t tail = 0;
  while (tail < oldCount - head && tail < newCount - head &&
         rows_[oldCount - 1 - tail] == rows[newCount - 1 - tail]) {
    ++tail;
  }
  const int first = static_cast<int>(head);
  const std::size_t oldMiddle = oldCount - head - tail;
  const std::size_t newMiddle = newCount - head - tail;
  const std::size_t changed = std::min(oldMiddle, newMiddle);

  for (std::size_t i = 0; i < changed; ++i) rows_[head + i] = rows[head + i];
  if (changed > 0) {
    emit dataChanged(index(first), index(first + static_cast<int>(changed) - 1));
  }
  if (oldMiddle > newMiddle) {
    const int from = first + static_cast<int>(changed);
    beginRemoveRows({}, from, from + static_cast<int>(oldMiddle - newMiddle) - 1);
    rows_.erase(rows_.begin() + from, rows_.begin() + from + (oldMiddle - newMiddle));
    endRemoveRows();
  } else if (newMiddle > oldMiddle) {
    const int from = first + static_cast<int>(changed);
    beginInsertRows({}, from, from + static_cast<int>(newMiddle - oldMiddle) - 1);
    rows_.insert(rows_.begin() + from, rows.begin() + from,
                 rows.begin() + from + (newMiddle - oldMiddle));
    endInsertRows();
  }
  if (oldCount != newCount) emit countChanged();
}

}  // namespace allot::qt
