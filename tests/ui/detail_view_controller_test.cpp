// The transaction screen: recording, refused amounts and swipe-delete.
#include "ui/detail_view_controller.h"

#include <gtest/gtest.h>

#include "tests/ui/running_app.h"

namespace allot::testing {
namespace {

class TransactionScreen : public EnvelopeListScreen {
 protected:
  TransactionScreen() {
    run.addEnvelopes({"Rent"});
    detail = &run.openEnvelope(0);
  }
  void record(const std::string& amount, const std::string& note, layout::Outlet button) {
    run.user.enterText(*detail->enterAmount(), amount);
    run.user.enterText(*detail->optionalNote(), note);
    run.user.tap(RunningApp::button(*detail, button));
  }
  static constexpr layout::Outlet add = layout::Outlet::AddAmountButton;
  static constexpr layout::Outlet subtract = layout::Outlet::SubtractAmountButton;
  std::pair<std::string, std::string> shownRow(std::size_t r) {
    kit::TableViewCell& cell = *detail->tableView().cellForRowAtIndexPath(kit::IndexPath(r));
    return {cell.textLabel()->text().value_or("?"), cell.detailTextLabel()->text().value_or("?")};
  }
  std::size_t rowCount() { return detail->tableView().numberOfRowsInSection(0); }

  DetailViewController* detail = nullptr;
};

// Refused amounts keep the note, and only an invalid one empties the amount; a recording shows the
// new balance and its entry on top.
TEST_F(TransactionScreen, RefusedAmountsAndARecordingWithAComma) {
  record("1,234.5", "Lunch", add);
  EXPECT_EQ(detail->resultsLabel()->text(), "Please enter a valid number.");
  EXPECT_EQ(detail->enterAmount()->text(), "");
  EXPECT_EQ(detail->optionalNote()->text(), "Lunch");
  EXPECT_EQ(run.app.window().firstResponder(), nullptr);
  record("", "Lunch!", add);
  EXPECT_EQ(detail->resultsLabel()->text(), "Please enter a valid number.");
  EXPECT_EQ(detail->optionalNote()->text(), "Lunch!");
  EXPECT_EQ(detail->navigationItem().title(), "\u2068Rent\u2069: 0.00");
  EXPECT_EQ(rowCount(), 1u);
  EXPECT_EQ(shownRow(0), (std::pair<std::string, std::string>{"Added 'Rent'", "0.00"}));

  record("12,5", "Fuel", subtract);
  EXPECT_EQ(detail->resultsLabel()->text(), "Transaction of -12.50 recorded.");
  EXPECT_EQ(detail->navigationItem().title(), "\u2068Rent\u2069: -12.50");
  EXPECT_EQ(rowCount(), 2u);
  EXPECT_EQ(shownRow(0), (std::pair<std::string, std::string>{"Fuel", "-12.50"}));
  EXPECT_EQ(detail->enterAmount()->text(), "");
  EXPECT_EQ(detail->optionalNote()->text(), "");
  EXPECT_EQ(run.app.window().firstResponder(), nullptr);
  run.user.goBack();
  EXPECT_EQ(run.row(0).envelopeTotalLabel()->text(), "-12.50");
  EXPECT_EQ(run.totalLine(), "Total: -12.50");
}

TEST_F(TransactionScreen, SwipeDeletingTheNewestTakesItsAmountBackOut) {
  record("5", "", add);
  record("2", "Snack", subtract);
  ASSERT_TRUE(run.user.swipeDelete(detail->tableView(), 0));
  EXPECT_EQ(detail->resultsLabel()->text(), "Transaction of -2.00 deleted.");
  EXPECT_EQ(detail->navigationItem().title(), "\u2068Rent\u2069: 5.00");
  EXPECT_EQ(rowCount(), 2u);
  EXPECT_EQ(shownRow(0), (std::pair<std::string, std::string>{"", "5.00"}));

  ASSERT_TRUE(run.user.swipeDelete(detail->tableView(), 1));  // the "Added" entry: no money
  EXPECT_EQ(detail->resultsLabel()->text(), "Transaction of 0.00 deleted.");
  EXPECT_EQ(detail->navigationItem().title(), "\u2068Rent\u2069: 5.00");
}

}  // namespace
}  // namespace allot::testing
