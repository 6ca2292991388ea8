// MasterViewController: the envelope list, the application's first screen. It shows each
// envelope's name on its colour and its balance, the total line under the list, and offers the
// Edit button (reordering) while there are two envelopes or more. Selecting a row opens the
// envelope's transactions ("showDetail"); a swipe reveals Delete, Edit Details and Reset
// Balance, the first and last after a confirmation. It reads the store whenever it fills the
// screen and changes it only through the envelope list operations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/budget_store.h"
#include "platform/format/number_formatter.h"
#include "platform/kit/label.h"
#include "platform/kit/storyboard_segue.h"
#include "platform/kit/table_view_controller.h"

namespace allot {

class MasterViewController : public kit::TableViewController {
 public:
  explicit MasterViewController(BudgetStore& store,
                                const std::optional<std::string>& formatLocale = std::nullopt);

  // Set by Edit Details until the segue "editEnvelope" hands them to the editor.
  bool editingEnvelope() const { return editingEnvelope_; }
  void setEditingEnvelope(bool editing) { editingEnvelope_ = editing; }
  std::optional<std::int64_t> editNumber() const { return editNumber_; }
  void setEditNumber(std::optional<std::int64_t> number) { editNumber_ = number; }

  kit::Label* totalLabel() const { return totalLabel_; }
  void setTotalLabel(kit::Label* label) { totalLabel_ = label; }

  // The target of the editor's unwind segue "goBack"; the list refreshes as it reappears.
  void unwindToMasterWithSegue(kit::StoryboardSegue& segue);

  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void prepareForSegue(kit::StoryboardSegue& segue, kit::Sender sender) override;

  std::size_t numberOfSectionsInTableView(kit::TableView& tableView) override;
  std::size_t tableViewNumberOfRowsInSection(kit::TableView& tableView,
                                             std::size_t section) override;
  kit::TableViewCell& tableViewCellForRowAtIndexPath(kit::TableView& tableView,
                                                     const kit::IndexPath& indexPath) override;
  bool tableViewCanEditRowAtIndexPath(kit::TableView& tableView,
                                      const kit::IndexPath& indexPath) override;
  bool tableViewCanMoveRowAtIndexPath(kit::TableView& tableView,
                                      const kit::IndexPath& indexPath) override;
  void tableViewMoveRowAtIndexPath(kit::TableView& tableView, const kit::IndexPath& from,
                                   const kit::IndexPath& to) override;
  std::optional<std::vector<kit::TableViewRowAction>> tableViewEditActionsForRowAtIndexPath(
      kit::TableView& tableView, const kit::IndexPath& indexPath) override;

  // The total line, every row, and the Edit button, from the store.
  void refreshList();

 private:
  void applyEditButtonRule();
  void editDetails(std::size_t n);
  void confirmDelete(std::size_t n);
  void confirmReset(std::size_t n);
  void askToConfirm(std::string title, std::string message, std::string actionTitle,
                    std::function<void()> change);

  BudgetStore& store_;
  bool editingEnvelope_ = false;
  std::optional<std::int64_t> editNumber_;
  NumberFormatter numformat_;
  kit::Label* totalLabel_ = nullptr;
};

}  // namespace allot
