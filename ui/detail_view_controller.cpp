#include "ui/detail_view_controller.h"

#include <cassert>

#include "core/money.h"
#include "core/transactions.h"
#include "core/user_text.h"
#include "ui/amount_formatter.h"

namespace allot {

DetailViewController::DetailViewController(BudgetStore& store,
                                           const std::optional<std::string>& formatLocale)
    : store_(store), numformat_(makeAmountFormatter(formatLocale)) {}

bool DetailViewController::envelope(std::size_t& n) const {
  const bool valid =
      envelopeNumber_ >= 0 && static_cast<std::size_t>(envelopeNumber_) < store_.envelopeCount();
  assert(valid && "the transaction screen shows an envelope of the store");
  n = static_cast<std::size_t>(envelopeNumber_);
  return valid;
}

void DetailViewController::viewDidLoad() {
  kit::TableViewController::viewDidLoad();
  updateDisplay();
}

void DetailViewController::updateDisplay() {
  std::size_t n = 0;
  if (!envelope(n)) return;
  showEnvelope();
  enterAmount_->setText("");
  optionalNote_->setText("");
}

void DetailViewController::showEnvelope() {
  std::size_t n = 0;
  if (!envelope(n)) return;
  const std::string balance = formatAmount(store_.categoryAmounts()[n], numformat_);
  navigationItem().setTitle(isolated(store_.categoryNames()[n]) + ": " + balance);
  tableView().reloadData();
}

void DetailViewController::addAmount(kit::Sender /*sender*/) {
  record("add");
}

void DetailViewController::subtractAmount(kit::Sender /*sender*/) {
  record("subtract");
}

void DetailViewController::record(std::string_view modeWord) {
  enterAmount_->resignFirstResponder();
  optionalNote_->resignFirstResponder();
  std::size_t n = 0;
  if (!envelope(n)) return;
  std::string note = optionalNote_->text().value_or("");
  // A field never typed into has no text; it counts as empty, like an emptied one.
  const std::string amount = enterAmount_->text().value_or("");
  const RecordResult result =
      recordTransaction(store_, n, std::move(note), amount, modeWord, numformat_);
  resultsLabel_->setText(result.message);
  switch (result.outcome) {
    case RecordOutcome::EmptyAmount:
      break;
    case RecordOutcome::InvalidAmount:
      enterAmount_->setText("");
      break;
    case RecordOutcome::Recorded:
      updateDisplay();
      break;
  }
}

std::size_t DetailViewController::numberOfSectionsInTableView(kit::TableView& /*tableView*/) {
  return 1;
}

std::size_t DetailViewController::tableViewNumberOfRowsInSection(kit::TableView& /*tableView*/,
                                                                 std::size_t /*section*/) {
  std::size_t n = 0;
  return envelope(n) ? store_.detailArrays()[n].size() : 0;
}

kit::TableViewCell& DetailViewController::tableViewCellForRowAtIndexPath(
    kit::TableView& tableView, const kit::IndexPath& indexPath) {
  kit::TableViewCell& cell = tableView.dequeueReusableCellWithIdentifier("detailCell", indexPath);
  std::size_t n = 0;
  if (!envelope(n)) return cell;
  const auto& descriptions = store_.detailArrays()[n];
  const std::size_t k = descriptions.size() - 1 - indexPath.row();
  if (kit::Label* main = cell.textLabel()) main->setText(descriptions[k]);
  if (kit::Label* detail = cell.detailTextLabel()) {
    const double amount = store_.detailAmountArrays()[n][k];
    detail->setText(formatAmount(amount, numformat_));
    detail->setTone(amountTone(amount));
  }
  return cell;
}

bool DetailViewController::tableViewCanEditRowAtIndexPath(kit::TableView& /*tableView*/,
                                                          const kit::IndexPath& /*indexPath*/) {
  return true;
}

void DetailViewController::tableViewCommitEditingStyle(kit::TableView& tableView,
                                                       kit::TableViewCellEditingStyle editingStyle,
                                                       const kit::IndexPath& indexPath) {
  if (editingStyle != kit::TableViewCellEditingStyle::Delete) return;
  std::size_t n = 0;
  if (!envelope(n)) return;
  resultsLabel_->setText(deleteTransaction(store_, n, indexPath.row(), numformat_));
  tableView.deleteRowsAtIndexPaths({indexPath}, kit::TableViewRowAnimation::Fade);
  updateDisplay();
}

}  // namespace allot
