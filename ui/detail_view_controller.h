// DetailViewController: the transactions of one envelope. The title shows the envelope's name and
// balance, the table its transactions newest first; the amount and note fields with the add and
// subtract buttons record a transaction, a swipe deletes one, and the results label shows how
// the last action went. It reads the store on every display and changes it only through the
// transaction operations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/budget_store.h"
#include "platform/format/number_formatter.h"
#include "platform/kit/label.h"
#include "platform/kit/table_view_controller.h"
#include "platform/kit/text_field.h"

namespace allot {

class DetailViewController : public kit::TableViewController {
 public:
  explicit DetailViewController(BudgetStore& store,
                                const std::optional<std::string>& formatLocale = std::nullopt);

  // The envelope shown; the list sets it before the screen loads.
  std::int64_t envelopeNumber() const { return envelopeNumber_; }
  void setEnvelopeNumber(std::int64_t number) { envelopeNumber_ = number; }

  kit::TextField* optionalNote() const { return optionalNote_; }
  void setOptionalNote(kit::TextField* field) { optionalNote_ = field; }
  kit::TextField* enterAmount() const { return enterAmount_; }
  void setEnterAmount(kit::TextField* field) { enterAmount_ = field; }
  kit::Label* resultsLabel() const { return resultsLabel_; }
  void setResultsLabel(kit::Label* label) { resultsLabel_ = label; }

  void addAmount(kit::Sender sender);
  void subtractAmount(kit::Sender sender);

  void viewDidLoad() override;
  std::size_t numberOfSectionsInTableView(kit::TableView& tableView) override;
  std::size_t tableViewNumberOfRowsInSection(kit::TableView& tableView,
                                             std::size_t section) override;
  kit::TableViewCell& tableViewCellForRowAtIndexPath(kit::TableView& tableView,
                                                     const kit::IndexPath& indexPath) override;
  bool tableViewCanEditRowAtIndexPath(kit::TableView& tableView,
                                      const kit::IndexPath& indexPath) override;
  void tableViewCommitEditingStyle(kit::TableView& tableView,
                                   kit::TableViewCellEditingStyle editingStyle,
                                   const kit::IndexPath& indexPath) override;

  // Title, table and emptied fields from the store; the results label keeps its message.
  void updateDisplay();
  // Title and table from the store, after a change made elsewhere (an undo); what the user typed
  // stays.
  void showEnvelope();

 private:
  void record(std::string_view modeWord);
  // The envelope number as an index; false when it names no envelope (the list never lets
  // that happen).
  bool envelope(std::size_t& n) const;

  BudgetStore& store_;
  std::int64_t envelopeNumber_ = 0;
  NumberFormatter numformat_;
  kit::TextField* optionalNote_ = nullptr;
  kit::TextField* enterAmount_ = nullptr;
  kit::Label* resultsLabel_ = nullptr;
};

}  // namespace allot
