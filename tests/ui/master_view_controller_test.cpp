// The envelope list: first launch, the Edit button rule, opening and reordering envelopes, and
// the row actions with their confirmations (their texts are tested in EnvelopeList's tests).
#include "ui/master_view_controller.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "core/envelope_list.h"
#include "tests/ui/running_app.h"

namespace allot::testing {
namespace {

// The Edit button stands first while there are two envelopes or more (deleting down to one takes
// it away again: RowActions.DeleteAndResetAskFirst), and never shows without left items.
TEST_F(EnvelopeListScreen, FirstLaunchShowsTheTotalLineAloneAndTheEditButtonComesWithTwoEnvelopes) {
  EXPECT_EQ(&run.onDisplay<MasterViewController>(), &run.list());
  EXPECT_EQ(run.list().navigationItem().title(), "Envelopes");
  EXPECT_EQ(run.list().tableView().numberOfRowsInSection(0), 0u);
  EXPECT_EQ(run.totalLine(), "Total: 0.00");
  EXPECT_EQ(run.leftItemTitles(), std::vector<std::string>{"About"});
  EXPECT_EQ(run.list().navigationItem().rightBarButtonItem()->title(), "Add");
  EXPECT_EQ(defaults.writeCount(), 0);  // launching saves nothing

  run.addEnvelopes({"Food"});
  EXPECT_EQ(run.leftItemTitles(), std::vector<std::string>{"About"});
  run.addEnvelopes({"Rent"});
  EXPECT_EQ(run.leftItemTitles(), (std::vector<std::string>{"Edit", "About"}));
  EXPECT_EQ(run.list().navigationItem().leftBarButtonItems()->front(), run.list().editButtonItem());
  run.list().navigationItem().setLeftBarButtonItems(std::nullopt);
  run.addEnvelopes({"Fun"});
  EXPECT_EQ(run.list().navigationItem().leftBarButtonItems(), std::nullopt);
}

// Coming back shows what was recorded (TransactionScreen), and no row stays selected.
TEST_F(EnvelopeListScreen, SelectingOpensAnEnvelopeAndDraggingInEditingModeMovesIt) {
  run.addEnvelopes({"A", "B", "C", "D"});
  DetailViewController& detail = run.openEnvelope(3);
  EXPECT_EQ(detail.envelopeNumber(), 3);
  EXPECT_EQ(detail.navigationItem().title(), "\u2068D\u2069: 0.00");
  run.user.goBack();
  EXPECT_EQ(run.list().tableView().indexPathForSelectedRow(), std::nullopt);

  run.record(0, "10");
  kit::TableView& table = run.list().tableView();
  ASSERT_TRUE(run.user.tap(*run.list().editButtonItem()));
  EXPECT_TRUE(table.isEditing());
  EXPECT_EQ(run.leftItemTitles(), (std::vector<std::string>{"Done", "About"}));
  ASSERT_TRUE(run.user.dragRow(table, 0, 2));
  EXPECT_EQ(run.rowNames(), (std::vector<std::string>{"B", "C", "A", "D"}));
  EXPECT_EQ(run.row(2).envelopeTotalLabel()->text(), "10.00");
  run.user.tap(*run.list().editButtonItem());
  EXPECT_FALSE(table.isEditing());
}

class RowActions : public EnvelopeListScreen {
 protected:
  // A with balance 12 and B with balance 8: a total of 20.
  RowActions() {
    run.addEnvelopes({"A", "B"});
    run.record(0, "12");
    run.record(1, "8");
  }
  kit::TableView& table() { return run.list().tableView(); }
  kit::AlertController& alert() { return run.onDisplay<kit::AlertController>(); }
  void trigger(std::size_t row, std::size_t action) {
    ASSERT_TRUE(run.user.swipeRow(table(), row));
    ASSERT_TRUE(run.user.triggerRowAction(table(), action));
  }
};

// A swipe reveals Delete, Edit Details and Reset Balance (on system blue); Delete and Reset ask
// first, and deleting down to one takes the Edit button away but not the editing mode.
TEST_F(RowActions, DeleteAndResetAskFirst) {
  ASSERT_TRUE(run.user.swipeRow(table(), 1));
  using Style = kit::TableViewRowActionStyle;
  std::vector<std::tuple<std::string, Style, std::optional<kit::Color>>> shown;
  for (const auto& action : table().shownRowActions()) {
    shown.emplace_back(action.title(), action.style(), action.backgroundColor());
  }
  EXPECT_EQ(shown,
            (decltype(shown){{"Delete", Style::Default, std::nullopt},
                             {"Edit\nDetails", Style::Normal, std::nullopt},
                             {"Reset\nBalance", Style::Normal, kit::Color::systemBlueColor()}}));

  trigger(0, 0);
  EXPECT_EQ(alert().title(), "Confirm Delete");
  EXPECT_EQ(alert().message(), deleteConfirmationMessage(run.store(), 0));
  EXPECT_EQ(alert().preferredStyle(), kit::AlertControllerStyle::Alert);
  EXPECT_EQ(run.alertActionTitles(), (std::vector<std::string>{"Cancel", "Delete"}));
  EXPECT_EQ(alert().actions()[0].style(), kit::AlertActionStyle::Cancel);
  EXPECT_EQ(alert().actions()[1].style(), kit::AlertActionStyle::Destructive);
  run.user.tapAlertAction(0);

  trigger(0, 2);
  EXPECT_EQ(alert().title(), "Confirm Reset");
  EXPECT_EQ(alert().message(), resetConfirmationMessage(run.store(), 0));
  EXPECT_EQ(run.alertActionTitles(), (std::vector<std::string>{"Cancel", "Reset"}));
  run.user.tapAlertAction(0);
  EXPECT_EQ(run.rowNames(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(run.store().detailArrays()[0].size(), 2u);
  EXPECT_EQ(run.totalLine(), "Total: 20.00");

  trigger(0, 2);
  run.user.tapAlertAction(1);
  EXPECT_EQ(run.row(0).envelopeTotalLabel()->text(), "0.00");
  EXPECT_EQ(run.totalLine(), "Total: 8.00");
  run.user.tap(*run.list().editButtonItem());  // deleting down to one stays in editing mode
  ASSERT_TRUE(table().isEditing());
  trigger(0, 0);
  run.user.tapAlertAction(1);
  EXPECT_EQ(&run.onDisplay<MasterViewController>(), &run.list());
  EXPECT_EQ(run.rowNames(), std::vector<std::string>{"B"});
  EXPECT_EQ(run.row(0).envelopeTotalLabel()->text(), "8.00");
  EXPECT_EQ(run.totalLine(), "Total: 8.00");
  EXPECT_EQ(run.leftItemTitles(), std::vector<std::string>{"About"});
  EXPECT_TRUE(run.list().isEditing()) << "only the Edit button changes the mode";
  run.addEnvelopes({"C"});
  EXPECT_EQ(run.leftItemTitles(), (std::vector<std::string>{"Done", "About"}));
  run.user.tap(*run.list().editButtonItem());
  EXPECT_FALSE(table().isEditing());
}

}  // namespace
}  // namespace allot::testing
