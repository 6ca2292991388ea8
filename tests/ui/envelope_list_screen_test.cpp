// The envelope list: first launch, rows, the Edit button rule, reordering and opening an envelope.
#include <gtest/gtest.h>

#include "running_app.h"

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
  EXPECT_EQ(detail.navigationItem().title(), "\u2068D\u2069: 0.00");
  EXPECT_EQ(run.navigation().backButtonTitle(), "Envelopes");
  run.user.goBack();
  EXPECT_EQ(run.list().tableView().indexPathForSelectedRow(), std::nullopt);
}

}  // namespace
}  // namespace allot::testing
