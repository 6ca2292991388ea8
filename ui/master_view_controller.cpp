#include "ui/master_view_controller.h"

#include <algorithm>
#include <memory>

#include "core/envelope_list.h"
#include "platform/kit/alert_controller.h"
#include "ui/amount_formatter.h"
#include "ui/detail_view_controller.h"
#include "ui/envelope_details_view_controller.h"
#include "ui/master_table_view_cell.h"
#include "ui/palette_color.h"

namespace allot {

MasterViewController::MasterViewController(BudgetStore& store,
                                           const std::optional<std::string>& formatLocale)
    : store_(store), numformat_(makeAmountFormatter(formatLocale)) {}

void MasterViewController::unwindToMasterWithSegue(kit::StoryboardSegue& /*segue*/) {}

void MasterViewController::viewDidLoad() {
  kit::TableViewController::viewDidLoad();
}

void MasterViewController::viewWillAppear(bool animated) {
  kit::TableViewController::viewWillAppear(animated);
  refreshList();
}

void MasterViewController::refreshList() {
  totalLabel_->setText(totalText(store_, numformat_));
  tableView().reloadData();
  applyEditButtonRule();
}

// The Edit button stands first among the left items while there are two envelopes or more, and
// is only ever added to a list of left items that exists.
void MasterViewController::applyEditButtonRule() {
  kit::NavigationItem& item = navigationItem();
  const std::shared_ptr<kit::BarButtonItem> edit = editButtonItem();
  const bool wanted = needsEditButton(store_.envelopeCount());
  const auto& left = item.leftBarButtonItems();
  const bool shown = left && std::find(left->begin(), left->end(), edit) != left->end();
  if (left && !shown) {
    if (!wanted) return;
    kit::BarButtonItems items = *item.leftBarButtonItems();
    items.insert(items.begin(), edit);
    item.setLeftBarButtonItems(std::move(items));
    return;
  }
  if (wanted) return;
  std::optional<kit::BarButtonItems> items = item.leftBarButtonItems();
  if (items) std::erase(*items, edit);
  item.setLeftBarButtonItems(std::move(items));
}

void MasterViewController::prepareForSegue(kit::StoryboardSegue& segue, kit::Sender /*sender*/) {
  if (!segue.identifier()) return;
  const std::string& identifier = *segue.identifier();
  if (identifier == "showDetail") {
    auto* detail = dynamic_cast<DetailViewController*>(&segue.destinationViewController());
    const auto selected = tableView().indexPathForSelectedRow();
    if (detail != nullptr && selected) {
      detail->setEnvelopeNumber(static_cast<std::int64_t>(selected->row()));
    }
  } else if (identifier == "editEnvelope") {
    auto* editor = dynamic_cast<EnvelopeDetailsViewController*>(&segue.destinationViewController());
    if (editor != nullptr && editingEnvelope_) {
      editor->setEditingEnvelope(true);
      editor->setEditNumber(editNumber_);
      editingEnvelope_ = false;
    }
  }
}

std::size_t MasterViewController::numberOfSectionsInTableView(kit::TableView& /*tableView*/) {
  return 1;
}

std::size_t MasterViewController::tableViewNumberOfRowsInSection(kit::TableView& /*tableView*/,
                                                                 std::size_t /*section*/) {
  return store_.envelopeCount();
}

kit::TableViewCell& MasterViewController::tableViewCellForRowAtIndexPath(
    kit::TableView& tableView, const kit::IndexPath& indexPath) {
  auto& cell = static_cast<MasterTableViewCell&>(
      tableView.dequeueReusableCellWithIdentifier("envelopeCell", indexPath));
  const EnvelopeRowContent row = envelopeRowContent(store_, indexPath.row(), numformat_);
  cell.envelopeNameLabel()->setText(row.nameText);
  cell.envelopeTotalLabel()->setText(row.balanceText);
  cell.envelopeTotalLabel()->setTone(amountTone(store_.categoryAmounts()[indexPath.row()]));
  cell.envelopeNameLabel()->setBackgroundColor(paletteColor(row.colorNumber));
  return cell;
}

bool MasterViewController::tableViewCanEditRowAtIndexPath(kit::TableView& /*tableView*/,
                                                          const kit::IndexPath& /*indexPath*/) {
  return true;
}

bool MasterViewController::tableViewCanMoveRowAtIndexPath(kit::TableView& /*tableView*/,
                                                          const kit::IndexPath& /*indexPath*/) {
  return true;
}

void MasterViewController::tableViewMoveRowAtIndexPath(kit::TableView& tableView,
                                                       const kit::IndexPath& from,
                                                       const kit::IndexPath& to) {
  moveEnvelope(store_, from.row(), to.row());
  tableView.reloadData();
}

std::optional<std::vector<kit::TableViewRowAction>>
MasterViewController::tableViewEditActionsForRowAtIndexPath(kit::TableView& /*tableView*/,
                                                            const kit::IndexPath& /*indexPath*/) {
  using kit::TableViewRowAction;
  using kit::TableViewRowActionStyle;
  TableViewRowAction deleteAction(
      TableViewRowActionStyle::Default, "Delete",
      [this](TableViewRowAction&, const kit::IndexPath& path) { confirmDelete(path.row()); });
  TableViewRowAction resetAction(
      TableViewRowActionStyle::Normal, "Reset\nBalance",
      [this](TableViewRowAction&, const kit::IndexPath& path) { confirmReset(path.row()); });
  resetAction.setBackgroundColor(kit::Color::systemBlueColor());
  TableViewRowAction editAction(
      TableViewRowActionStyle::Normal, "Edit\nDetails",
      [this](TableViewRowAction&, const kit::IndexPath& path) { editDetails(path.row()); });
  return std::vector<TableViewRowAction>{deleteAction, editAction, resetAction};
}

void MasterViewController::editDetails(std::size_t n) {
  editingEnvelope_ = true;
  editNumber_ = static_cast<std::int64_t>(n);
  performSegueWithIdentifier("editEnvelope", this);
}

void MasterViewController::confirmDelete(std::size_t n) {
  askToConfirm("Confirm Delete", deleteConfirmationMessage(store_, n), "Delete",
               [this, n] { deleteEnvelope(store_, n); });
}

void MasterViewController::confirmReset(std::size_t n) {
  askToConfirm("Confirm Reset", resetConfirmationMessage(store_, n), "Reset",
               [this, n] { resetEnvelope(store_, n); });
}

// An alert with Cancel, which only dismisses it, and the destructive action, which changes the
// store, dismisses the alert and refreshes the list, in that order.
void MasterViewController::askToConfirm(std::string title, std::string message,
                                        std::string actionTitle, std::function<void()> change) {
  using kit::AlertAction;
  using kit::AlertActionStyle;
  auto alert = std::make_unique<kit::AlertController>(std::move(title), std::move(message),
                                                      kit::AlertControllerStyle::Alert);
  kit::AlertController* shown = alert.get();
  alert->addAction(AlertAction("Cancel", AlertActionStyle::Cancel, [shown](AlertAction&) {
    shown->dismissViewControllerAnimated(true, {});
  }));
  alert->addAction(AlertAction(std::move(actionTitle), AlertActionStyle::Destructive,
                               [this, shown, change = std::move(change)](AlertAction&) {
                                 change();
                                 shown->dismissViewControllerAnimated(true, {});
                                 refreshList();
                               }));
  presentViewController(std::move(alert), true, {});
}

}  // namespace allot
