// The screens, walked through the gestures: the envelope list (first launch, rows, the Edit button
// rule, reordering, opening an envelope, the About screen); its row actions (Delete and Reset
// Balance with their confirmations, Edit Details into the editor and back); the editor; the
// transaction screen. What the operations do to the budget is tested in ModelBased, the texts
// they show in core's texts test.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>

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

// The Edit button stands first while there are two envelopes or more (deleting down to one takes
// it away again: RowActions), and never shows without left items.
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
  run.addEnvelopes({"Gas"});
  EXPECT_EQ(run.leftItemTitles(), (std::vector<std::string>{"Edit", "About"}));
  run.list().navigationItem().setLeftBarButtonItems(std::nullopt);
  run.addEnvelopes({"Fun"});
  EXPECT_EQ(run.list().navigationItem().leftBarButtonItems(), std::nullopt);
}

// Coming back shows what was recorded (TransactionScreen), and no row stays selected.
TEST_F(EnvelopeListScreen, SelectingOpensAnEnvelopeAndDraggingInEditingModeMovesIt) {
  run.addEnvelopes({"A", "B", "C", "D"});
  DetailViewController& detail = run.openEnvelope(3);
  EXPECT_EQ(detail.envelopeNumber(), 3);
  EXPECT_EQ(detail.navigationItem().title(), "D: 0.00");
  EXPECT_EQ(run.navigation().backButtonTitle(), "Envelopes");
  run.user.goBack();
  EXPECT_EQ(run.list().tableView().indexPathForSelectedRow(), std::nullopt);

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

// A swipe reveals Delete, Edit Details and Reset Balance, only Reset on the system blue.
TEST_F(RowActions, DeleteAndResetAskFirstAndCancelChangesNothing) {
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

// The envelope editor in add mode: colours, results, refused names and the keyboard.
class EnvelopeEditor : public ::testing::Test {
 protected:
  EnvelopeEditor() { run.user.tap(*run.list().navigationItem().rightBarButtonItem()); }
  EnvelopeDetailsViewController& editor() { return run.onDisplay<EnvelopeDetailsViewController>(); }
  void save(const std::string& name) {
    run.user.enterText(*editor().envelopeName(), name);
    run.user.tap(*editor().addButton());
  }

  InMemoryUserDefaults defaults;
  RunningApp run{defaults};
};

TEST_F(EnvelopeEditor, AddModeStaysOpenAndKeepsTheChosenColourForTheNextEnvelope) {
  EXPECT_EQ(editor().addButton()->currentTitle(), "Add Envelope");
  EXPECT_EQ(editor().addButton()->backgroundColor(), paletteColor(2));
  save("Food");
  EXPECT_EQ(editor().resultsLabel()->text(), "Added 'Food'");
  EXPECT_EQ(editor().envelopeName()->text(), "");
  EXPECT_FALSE(editor().envelopeName()->isFirstResponder());

  run.user.tap(RunningApp::button(editor(), "purpleButton"));
  EXPECT_EQ(editor().addButton()->backgroundColor(), paletteColor(4));
  EXPECT_EQ(editor().resultsLabel()->text(), "Added 'Food'");  // choosing changes nothing else
  save("Rent");
  save("Gas");
  EXPECT_EQ(editor().resultsLabel()->text(), "Added 'Gas'");
  EXPECT_EQ(run.store().envelopeColors(), (std::vector<std::int64_t>{2, 4, 4}));

  run.user.goBack();
  EXPECT_EQ(run.rowNames(), (std::vector<std::string>{"Food", "Rent", "Gas"}));
  EXPECT_EQ(run.row(2).envelopeNameLabel()->backgroundColor(), paletteColor(4));
}

TEST_F(EnvelopeEditor, EmptyAndMissingNamesAreRefusedAndASpaceIsAName) {
  run.user.tap(*editor().addButton());  // nothing ever typed: the field has no text
  EXPECT_EQ(editor().resultsLabel()->text(), "Please enter a valid name.");
  run.user.clearText(*editor().envelopeName());
  run.user.tap(*editor().addButton());
  EXPECT_EQ(editor().resultsLabel()->text(), "Please enter a valid name.");
  EXPECT_TRUE(editor().envelopeName()->isFirstResponder());  // still ready for typing
  EXPECT_EQ(run.store().envelopeCount(), 0u);

  // Touching the background hides the keyboard and saves nothing.
  run.user.enterText(*editor().envelopeName(), "Hol");
  run.user.touchBackground();
  EXPECT_FALSE(editor().envelopeName()->isFirstResponder());
  EXPECT_EQ(editor().envelopeName()->text(), "Hol");
  EXPECT_EQ(run.store().envelopeCount(), 0u);

  save(" ");
  EXPECT_EQ(run.store().categoryNames(), std::vector<std::string>{" "});
  run.user.goBack();
  EXPECT_EQ(run.app.window().firstResponder(), nullptr);
}

// The transaction screen: recording, refused amounts and swipe-delete.
class TransactionScreen : public ::testing::Test {
 protected:
  TransactionScreen() {
    run.addEnvelopes({"Rent"});
    detail = &run.openEnvelope(0);
  }
  void tap(const char* button) { run.user.tap(RunningApp::button(*detail, button)); }
  void record(const std::string& amount, const std::string& note, const char* button) {
    run.user.enterText(*detail->enterAmount(), amount);
    run.user.enterText(*detail->optionalNote(), note);
    tap(button);
  }
  std::pair<std::string, std::string> shownRow(std::size_t r) {
    kit::TableViewCell& cell = *detail->tableView().cellForRowAtIndexPath(kit::IndexPath(r));
    return {cell.textLabel()->text().value_or("?"), cell.detailTextLabel()->text().value_or("?")};
  }
  std::size_t rowCount() { return detail->tableView().numberOfRowsInSection(0); }

  InMemoryUserDefaults defaults;
  RunningApp run{defaults};
  DetailViewController* detail = nullptr;
};

TEST_F(TransactionScreen, RecordingWithACommaShowsTheNewBalanceAndTheEntryOnTop) {
  EXPECT_EQ(detail->navigationItem().title(), "Rent: 0.00");
  EXPECT_EQ(shownRow(0), (std::pair<std::string, std::string>{"Added 'Rent'", "0.00"}));
  record("12,5", "Fuel", "subtractAmountButton");
  EXPECT_EQ(detail->resultsLabel()->text(), "Transaction of -12.50 recorded.");
  EXPECT_EQ(detail->navigationItem().title(), "Rent: -12.50");
  EXPECT_EQ(rowCount(), 2u);
  EXPECT_EQ(shownRow(0), (std::pair<std::string, std::string>{"Fuel", "-12.50"}));
  EXPECT_EQ(detail->enterAmount()->text(), "");
  EXPECT_EQ(detail->optionalNote()->text(), "");
  EXPECT_EQ(run.app.window().firstResponder(), nullptr);

  run.user.goBack();
  EXPECT_EQ(run.row(0).envelopeTotalLabel()->text(), "-12.50");
  EXPECT_EQ(run.totalLine(), "Total: -12.50");
}

TEST_F(TransactionScreen, RefusedAmountsKeepTheNoteAndOnlyAnInvalidOneEmptiesTheAmount) {
  record("1,234.5", "Lunch", "addAmountButton");
  EXPECT_EQ(detail->resultsLabel()->text(), "Please enter a valid number.");
  EXPECT_EQ(detail->enterAmount()->text(), "");
  EXPECT_EQ(detail->optionalNote()->text(), "Lunch");
  EXPECT_EQ(run.app.window().firstResponder(), nullptr);

  record("", "Lunch!", "addAmountButton");
  EXPECT_EQ(detail->resultsLabel()->text(), "Please enter a valid number.");
  EXPECT_EQ(detail->optionalNote()->text(), "Lunch!");
  EXPECT_EQ(detail->navigationItem().title(), "Rent: 0.00");
  EXPECT_EQ(rowCount(), 1u);
}

TEST_F(TransactionScreen, SwipeDeletingTheNewestTakesItsAmountBackOut) {
  record("5", "", "addAmountButton");
  record("2", "Snack", "subtractAmountButton");
  ASSERT_TRUE(run.user.swipeDelete(detail->tableView(), 0));
  EXPECT_EQ(detail->resultsLabel()->text(), "Transaction of -2.00 deleted.");
  EXPECT_EQ(detail->navigationItem().title(), "Rent: 5.00");
  EXPECT_EQ(rowCount(), 2u);
  EXPECT_EQ(shownRow(0), (std::pair<std::string, std::string>{"", "5.00"}));

  ASSERT_TRUE(run.user.swipeDelete(detail->tableView(), 1));  // the "Added" entry: no money
  EXPECT_EQ(detail->resultsLabel()->text(), "Transaction of 0.00 deleted.");
  EXPECT_EQ(detail->navigationItem().title(), "Rent: 5.00");
}

}  // namespace
}  // namespace allot::testing
