#include "platform/kit/table_view_controller.h"

namespace allot::kit {

TableView& TableViewController::tableView() {
  loadViewIfNeeded();
  return *tableView_;
}

std::unique_ptr<View> TableViewController::loadView() {
  auto root = std::make_unique<View>("view");
  tableView_ = &root->addSubview<TableView>(*this);
  tableView_->setEditing(isEditing(), false);
  return root;
}

void TableViewController::viewWillAppear(bool animated) {
  ViewController::viewWillAppear(animated);
  if (auto selected = tableView().indexPathForSelectedRow()) {
    tableView().deselectRowAtIndexPath(*selected);
  }
}

void TableViewController::setEditing(bool editing, bool animated) {
  ViewController::setEditing(editing, animated);
  if (tableView_ != nullptr) tableView_->setEditing(editing, animated);
}

}  // namespace allot::kit
