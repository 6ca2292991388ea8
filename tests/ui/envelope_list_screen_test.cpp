// The envelope list: first launch, rows, the Edit button rule, reordering, opening an envelope and
// the About screen; the row actions, Delete and Reset Balance with their confirmations and Edit
// Details into the editor and back. What the operations do to the budget is tested in ModelBased,
// the questions' texts in EnvelopeList.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/envelope_list.h"
#include "running_app.h"
#include "ui/about_view_controller.h"
#include "ui/palette_color.h"

namespace allot::testing {
namespace {

class EnvelopeListScreen : public ::testing::Test {
 protected:
  InMemoryUserDefaults defaults;
  RunningApp run{defaults};
};

TEST_F(EnvelopeListScreen, FirstLaunchShowsNoRowsAndTheTotalLineAlone) {
  EXPECT_EQ(&run.onDisplay<MasterViewController>(), &run.list());
  EXPECT_EQ(run.list().navigationItem().title(), "Envelopes");
  EXPECT_EQ(run.list().tableView().numberOfRowsInSection(0), 0u);
  EXPECT_EQ(run.totalLine(), "Total: 0.00");
  EXPECT_EQ(run.leftItemTitles(), std::vector<std::string>{"About"});
  EXPECT_EQ(run.list().navigationItem().rightBarButtonItem()->title(), "Add");
  EXPECT_EQ(defaults.writeCount(), 0);  // launching saves nothing
}

TEST_F(EnvelopeListScreen, EditButtonStandsFirstWhileThereAreTwoEnvelopesOrMore) {
  run.addEnvelopes({"Food"});
  EXPECT_EQ(run.leftItemTitles(), std::vector<std::string>{"About"});
  run.addEnvelopes({"Rent"});
  EXPECT_EQ(run.leftItemTitles(), (std::vector<std::string>{"Edit", "About"}));
  EXPECT_EQ(run.list().navigationItem().leftBarButtonItems()->front(), run.list().editButtonItem());
  run.addEnvelopes({"Gas"});
  EXPECT_EQ(run.leftItemTitles(), (std::vector<std::string>{"Edit", "About"}));
  // Deleting down to one takes it away again (RowActions).
}

TEST_F(EnvelopeListScreen, WithoutLeftItemsTheEditButtonNeverShows) {
  run.list().navigationItem().setLeftBarButtonItems(std::nullopt);
  run.addEnvelopes({"A", "B", "C"});
  EXPECT_EQ(run.rowNames().size(), 3u);
  EXPECT_EQ(run.list().navigationItem().leftBarButtonItems(), std::nullopt);
}

TEST_F(EnvelopeListScreen, DraggingInEditingModeMovesTheEnvelopeWithItsData) {
  run.addEnvelopes({"A", "B", "C", "D"});
  run.record(0, "10");
  kit::TableView& table = run.list().tableView();
  EXPECT_FALSE(run.user.dragRow(table, 0, 2));  // not in editing mode

  ASSERT_TRUE(run.user.tap(*run.list().editButtonItem()));
  EXPECT_TRUE(table.isEditing());
  EXPECT_EQ(run.leftItemTitles(), (std::vector<std::string>{"Done", "About"}));
  ASSERT_TRUE(run.user.dragRow(table, 0, 2));
  EXPECT_EQ(run.rowNames(), (std::vector<std::string>{"B", "C", "A", "D"}));
  EXPECT_EQ(run.row(2).envelopeTotalLabel()->text(), "10.00");

  run.user.tap(*run.list().editButtonItem());
  EXPECT_FALSE(table.isEditing());
}

// Coming back shows what was recorded (TransactionScreen), and no row stays selected.
TEST_F(EnvelopeListScreen, SelectingARowOpensThatEnvelope) {
  run.addEnvelopes({"A", "B", "C", "D"});
  DetailViewController& detail = run.openEnvelope(3);
  EXPECT_EQ(detail.envelopeNumber(), 3);
  EXPECT_EQ(detail.navigationItem().title(), "D: 0.00");
  EXPECT_EQ(run.navigation().backButtonTitle(), "Envelopes");
  run.user.goBack();
  EXPECT_EQ(run.list().tableView().indexPathForSelectedRow(), std::nullopt);
}

TEST_F(EnvelopeListScreen, AboutShowsItsTextFromTheFirstLineAfterEveryLayout) {
  const auto& left = run.list().navigationItem().leftBarButtonItems();
  ASSERT_TRUE(left);
  ASSERT_TRUE(run.user.tap(*left->back()));
  auto& about = run.onDisplay<AboutViewController>();
  EXPECT_EQ(about.navigationItem().title(), "About");
  const std::string text = about.aboutText()->text().value_or("");
  EXPECT_EQ(text.rfind("Allot", 0), 0u);
  EXPECT_NE(text.find("on this device"), std::string::npos);
  EXPECT_GE(std::count(text.begin(), text.end(), '\n'), 20);  // long enough to scroll

  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));
  run.user.scroll(*about.aboutText(), {0, 640});
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 640}));
  run.user.layOut();
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));
  run.user.scroll(*about.aboutText(), {0, 300});
  run.user.resize({844, 390});  // turned on its side
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));

  EXPECT_TRUE(run.user.goBack());
  EXPECT_EQ(&run.onDisplay<MasterViewController>(), &run.list());
}

class RowActions : public ::testing::Test {
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

  InMemoryUserDefaults defaults;
  RunningApp run{defaults};
};

TEST_F(RowActions, ASwipeRevealsDeleteEditDetailsAndResetBalanceWithOnlyResetBlue) {
  ASSERT_TRUE(run.user.swipeRow(table(), 1));
  const auto& actions = table().shownRowActions();
  ASSERT_EQ(actions.size(), 3u);
  EXPECT_EQ(actions[0].title(), "Delete");
  EXPECT_EQ(actions[1].title(), "Edit\nDetails");
  EXPECT_EQ(actions[2].title(), "Reset\nBalance");
  EXPECT_EQ(actions[0].style(), kit::TableViewRowActionStyle::Default);
  EXPECT_EQ(actions[1].style(), kit::TableViewRowActionStyle::Normal);
  EXPECT_EQ(actions[2].style(), kit::TableViewRowActionStyle::Normal);
  EXPECT_EQ(actions[0].backgroundColor(), std::nullopt);
  EXPECT_EQ(actions[1].backgroundColor(), std::nullopt);
  EXPECT_EQ(actions[2].backgroundColor(), kit::Color::systemBlueColor());
}

TEST_F(RowActions, DeleteAndResetAskFirstAndCancelChangesNothing) {
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
  trigger(0, 0);
  run.user.tapAlertAction(1);
  EXPECT_EQ(&run.onDisplay<MasterViewController>(), &run.list());
  EXPECT_EQ(run.rowNames(), std::vector<std::string>{"B"});
  EXPECT_EQ(run.row(0).envelopeTotalLabel()->text(), "8.00");
  EXPECT_EQ(run.totalLine(), "Total: 8.00");
}

TEST_F(RowActions, DeletingDownToOneEnvelopeInEditingModeLeavesEditingMode) {
  run.user.tap(*run.list().editButtonItem());
  ASSERT_TRUE(table().isEditing());
  trigger(1, 0);
  run.user.tapAlertAction(1);
  EXPECT_EQ(run.leftItemTitles(), std::vector<std::string>{"About"});
  EXPECT_FALSE(table().isEditing());
  EXPECT_FALSE(run.list().isEditing());
}

TEST_F(RowActions, EditDetailsOpensTheEditorForTheRowAndSavingUnwindsToTheList) {
  trigger(1, 1);
  auto& editor = run.onDisplay<EnvelopeDetailsViewController>();
  EXPECT_FALSE(run.list().editingEnvelope());
  EXPECT_TRUE(editor.editingEnvelope());
  EXPECT_EQ(editor.editNumber(), 1);
  EXPECT_EQ(editor.envelopeName()->text(), "B");
  EXPECT_EQ(editor.addButton()->currentTitle(), "Save");
  EXPECT_EQ(editor.addButton()->backgroundColor(), paletteColor(2));

  run.user.clearText(*editor.envelopeName());
  run.user.tap(*editor.addButton());  // refused, as in add mode: the editor stays
  EXPECT_EQ(&run.onDisplay<EnvelopeDetailsViewController>(), &editor);

  run.user.enterText(*editor.envelopeName(), "Bills");
  run.user.tap(RunningApp::button(editor, "blueButton"));
  run.user.tap(*editor.addButton());
  EXPECT_EQ(&run.onDisplay<MasterViewController>(), &run.list());
  EXPECT_EQ(run.navigation().viewControllers().size(), 1u);
  EXPECT_EQ(run.rowNames(), (std::vector<std::string>{"A", "Bills"}));
  EXPECT_EQ(run.row(1).envelopeNameLabel()->backgroundColor(), paletteColor(3));
  EXPECT_EQ(run.row(1).envelopeTotalLabel()->text(), "8.00");
  EXPECT_EQ(run.app.window().firstResponder(), nullptr);

  // Any other way into the editor is add mode.
  run.user.tap(*run.list().navigationItem().rightBarButtonItem());
  EXPECT_FALSE(run.onDisplay<EnvelopeDetailsViewController>().editingEnvelope());
}

}  // namespace
}  // namespace allot::testing
