#include "platform/kit/table_view.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>

#include "platform/kit/table_view_controller.h"

namespace allot::kit {

TableView::TableView(TableViewController& controller, std::string identifier)
    : View(std::move(identifier)), controller_(controller) {}

TableView::~TableView() = default;

void TableView::registerPrototype(std::string reuseIdentifier, CellFactory make,
                                  std::optional<std::string> selectionSegue) {
  prototypes_[std::move(reuseIdentifier)] = Prototype{std::move(make), std::move(selectionSegue)};
}

TableViewCell& TableView::dequeueReusableCellWithIdentifier(std::string_view identifier,
                                                            const IndexPath& /*indexPath*/) {
  auto reusable = std::find_if(freeCells_.begin(), freeCells_.end(), [&](TableViewCell* cell) {
    return cell->reuseIdentifier() == identifier;
  });
  if (reusable != freeCells_.end()) {
    TableViewCell* cell = *reusable;
    freeCells_.erase(reusable);
    return *cell;
  }
  auto prototype = prototypes_.find(identifier);
  if (prototype == prototypes_.end()) {
    std::fprintf(stderr, "no prototype cell with the reuse identifier \"%.*s\"\n",
                 static_cast<int>(identifier.size()), identifier.data());
    std::abort();
  }
  cells_.push_back(prototype->second.make());
  cells_.back()->attachToWindow(window());
  return *cells_.back();
}

void TableView::reloadData() {
  if (rows_) {
    for (TableViewCell* cell : *rows_) freeCell(cell);
  }
  rows_.reset();
  selectedRow_.reset();
  hideRowActions();
  ++contentRevision_;
  noteChange();
}

void TableView::countRowsIfNeeded() {
  if (rows_) return;
  [[maybe_unused]] const std::size_t sections = controller_.numberOfSectionsInTableView(*this);
  assert(sections == 1 && "tables have one section");
  rows_.emplace(controller_.tableViewNumberOfRowsInSection(*this, 0), nullptr);
}

std::size_t TableView::numberOfRowsInSection(std::size_t section) {
  assert(section == 0);
  if (section != 0) return 0;
  countRowsIfNeeded();
  return rows_->size();
}

TableViewCell* TableView::cellForRowAtIndexPath(const IndexPath& indexPath) {
  if (indexPath.section() != 0 || indexPath.row() >= numberOfRowsInSection(0)) return nullptr;
  TableViewCell*& slot = (*rows_)[indexPath.row()];
  if (slot == nullptr) slot = &controller_.tableViewCellForRowAtIndexPath(*this, indexPath);
  return slot;
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths,
                                       TableViewRowAnimation /*animation*/) {
  countRowsIfNeeded();
  std::vector<std::size_t> doomed;
  for (const IndexPath& path : indexPaths) {
    if (path.section() == 0 && path.row() < rows_->size()) doomed.push_back(path.row());
  }
  std::sort(doomed.rbegin(), doomed.rend());
  doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
  for (std::size_t row : doomed) {
    freeCell((*rows_)[row]);
    rows_->erase(rows_->begin() + static_cast<std::ptrdiff_t>(row));
  }
  selectedRow_.reset();
  hideRowActions();
  // The data source must agree with what is left; when it does not, show what it says.
  const std::size_t expected = controller_.tableViewNumberOfRowsInSection(*this, 0);
  assert(expected == rows_->size() && "the data source did not drop the deleted rows");
  if (expected != rows_->size()) reloadData();
  ++contentRevision_;
  noteChange();
}

void TableView::moveRowAtIndexPath(const IndexPath& from, const IndexPath& to) {
  const std::size_t count = numberOfRowsInSection(0);
  if (from.row() >= count || to.row() >= count || from.row() == to.row()) return;
  TableViewCell* moving = (*rows_)[from.row()];
  rows_->erase(rows_->begin() + static_cast<std::ptrdiff_t>(from.row()));
  rows_->insert(rows_->begin() + static_cast<std::ptrdiff_t>(to.row()), moving);
  selectedRow_.reset();
  hideRowActions();
  ++contentRevision_;
  noteChange();
}

std::optional<std::string> TableView::selectionSegueForRowAtIndexPath(const IndexPath& indexPath) {
  TableViewCell* cell = cellForRowAtIndexPath(indexPath);
  if (cell == nullptr) return std::nullopt;
  auto prototype = prototypes_.find(cell->reuseIdentifier());
  if (prototype == prototypes_.end()) return std::nullopt;
  return prototype->second.selectionSegue;
}

void TableView::selectRowAtIndexPath(const IndexPath& indexPath) {
  if (selectedRow_ == indexPath) return;
  selectedRow_ = indexPath;
  noteChange();
}

void TableView::deselectRowAtIndexPath(const IndexPath& indexPath) {
  if (selectedRow_ != indexPath) return;
  selectedRow_.reset();
  noteChange();
}

void TableView::setEditing(bool editing, bool /*animated*/) {
  hideRowActions();
  if (editing_ == editing) return;
  editing_ = editing;
  noteChange();
}

std::vector<TableViewRowAction> TableView::rowActionsFor(const IndexPath& indexPath) {
  if (indexPath.section() != 0 || indexPath.row() >= numberOfRowsInSection(0)) return {};
  if (!controller_.tableViewCanEditRowAtIndexPath(*this, indexPath)) return {};
  auto actions = controller_.tableViewEditActionsForRowAtIndexPath(*this, indexPath);
  if (actions) return std::move(*actions);
  std::vector<TableViewRowAction> standard;
  standard.emplace_back(TableViewRowActionStyle::Default, "Delete",
                        [this](TableViewRowAction&, const IndexPath& path) {
                          controller_.tableViewCommitEditingStyle(
                              *this, TableViewCellEditingStyle::Delete, path);
                        });
  return standard;
}

bool TableView::showRowActionsForRowAtIndexPath(const IndexPath& indexPath) {
  std::vector<TableViewRowAction> actions = rowActionsFor(indexPath);
  if (actions.empty()) return false;
  swipedRow_ = indexPath;
  shownRowActions_ = std::move(actions);
  noteChange();
  return true;
}

std::vector<std::string> TableView::rowActionTitlesForRowAtIndexPath(const IndexPath& indexPath) {
  std::vector<std::string> titles;
  for (const TableViewRowAction& action : rowActionsFor(indexPath)) {
    titles.push_back(action.title());
  }
  return titles;
}

bool TableView::performRowAction(std::size_t index) {
  if (!swipedRow_ || index >= shownRowActions_.size()) return false;
  // Taken out first: the handler may reload this table, or take its screen away.
  std::vector<TableViewRowAction> actions = std::move(shownRowActions_);
  const IndexPath row = *swipedRow_;
  hideRowActions();
  actions[index].run(row);
  return true;
}

void TableView::hideRowActions() {
  if (!swipedRow_ && shownRowActions_.empty()) return;
  swipedRow_.reset();
  shownRowActions_.clear();
  noteChange();
}

void TableView::attachToWindow(Window* window) {
  View::attachToWindow(window);
  for (auto& cell : cells_) cell->attachToWindow(window);
}

void TableView::freeCell(TableViewCell* cell) {
  if (cell != nullptr) freeCells_.push_back(cell);
}

}  // namespace allot::kit
