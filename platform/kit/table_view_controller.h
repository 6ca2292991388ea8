// TableViewController: a controller whose screen centres on a table. Its root view holds the
// table view (identifier "tableView"); the storyboard adds the scene's other views beside it. It
// is the table's data source and delegate: subclasses give the row count and the cells, and say
// which rows can be edited (swiped) or moved. By default no row can be edited or moved and a
// swipe shows a single "Delete" that commits the delete editing style. The selection is cleared
// each time the screen is about to appear.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "platform/kit/index_path.h"
#include "platform/kit/table_view.h"
#include "platform/kit/table_view_cell.h"
#include "platform/kit/table_view_row_action.h"
#include "platform/kit/view_controller.h"

namespace allot::kit {

class TableViewController : public ViewController {
 public:
  TableView& tableView();

  // Data source.
  virtual std::size_t numberOfSectionsInTableView(TableView& /*tableView*/) { return 1; }
  virtual std::size_t tableViewNumberOfRowsInSection(TableView& tableView, std::size_t section) = 0;
  virtual TableViewCell& tableViewCellForRowAtIndexPath(TableView& tableView,
                                                        const IndexPath& indexPath) = 0;
  virtual bool tableViewCanEditRowAtIndexPath(TableView& /*tableView*/,
                                              const IndexPath& /*indexPath*/) {
    return false;
  }
  virtual void tableViewCommitEditingStyle(TableView& /*tableView*/,
                                           TableViewCellEditingStyle /*editingStyle*/,
                                           const IndexPath& /*indexPath*/) {}
  virtual bool tableViewCanMoveRowAtIndexPath(TableView& /*tableView*/,
                                              const IndexPath& /*indexPath*/) {
    return false;
  }
  virtual void tableViewMoveRowAtIndexPath(TableView& /*tableView*/, const IndexPath& /*from*/,
                                           const IndexPath& /*to*/) {}

  // Delegate. No list (std::nullopt) means the standard "Delete" action.
  virtual std::optional<std::vector<TableViewRowAction>> tableViewEditActionsForRowAtIndexPath(
      TableView& /*tableView*/, const IndexPath& /*indexPath*/) {
    return std::nullopt;
  }
  virtual void tableViewDidSelectRowAtIndexPath(TableView& /*tableView*/,
                                                const IndexPath& /*indexPath*/) {}

  void viewWillAppear(bool animated) override;
  void setEditing(bool editing, bool animated) override;

 protected:
  std::unique_ptr<View> loadView() override;

 private:
  TableView* tableView_ = nullptr;
};

}  // namespace allot::kit
