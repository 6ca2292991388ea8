// Tables: asking for rows, reusing cells, swiping, deleting, selecting and dragging rows, on a
// table of words.
#include "platform/kit/table_view.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/kit/gestures.h"
#include "platform/kit/table_view_controller.h"
#include "platform/kit/window.h"

namespace allot::kit::testing {
namespace {

// A table of words; rows can be edited and moved unless told otherwise.
class WordsController : public TableViewController {
 public:
  explicit WordsController(std::vector<std::string> words) : words(std::move(words)) {}

  std::size_t tableViewNumberOfRowsInSection(TableView&, std::size_t) override {
    ++countQuestions;
    return words.size();
  }
  TableViewCell& tableViewCellForRowAtIndexPath(TableView& table, const IndexPath& path) override {
    TableViewCell& cell = table.dequeueReusableCellWithIdentifier("word", path);
    cell.textLabel()->setText(words[path.row()]);
    return cell;
  }
  bool tableViewCanEditRowAtIndexPath(TableView&, const IndexPath&) override { return editable; }
  bool tableViewCanMoveRowAtIndexPath(TableView&, const IndexPath&) override { return true; }
  void tableViewCommitEditingStyle(TableView& table, TableViewCellEditingStyle style,
                                   const IndexPath& path) override {
    if (style != TableViewCellEditingStyle::Delete) return;
    words.erase(words.begin() + static_cast<std::ptrdiff_t>(path.row()));
    table.deleteRowsAtIndexPaths({path}, TableViewRowAnimation::Fade);
  }
  void tableViewMoveRowAtIndexPath(TableView&, const IndexPath& from,
                                   const IndexPath& to) override {
    moves.emplace_back(from.row(), to.row());
  }

  std::vector<std::string> words;
  bool editable = true;
  int countQuestions = 0;
  std::vector<std::pair<std::size_t, std::size_t>> moves;
};

class TableViewTest : public ::testing::Test {
 protected:
  TableViewTest() {
    auto controller = std::make_unique<WordsController>(std::vector<std::string>{"a", "b", "c"});
    words = controller.get();
    words->tableView().registerPrototype("word", [] {
      return std::make_unique<TableViewCell>(TableViewCellStyle::Default, "word");
    });
    window.setRootViewController(std::move(controller));
    window.makeKeyAndVisible();
  }

  TableView& table() { return words->tableView(); }
  std::string shown(std::size_t row) {
    return table().cellForRowAtIndexPath(IndexPath(row))->textLabel()->text().value_or("?");
  }

  Window window;
  Gestures user{window};
  WordsController* words = nullptr;
};

TEST_F(TableViewTest, RowsAreAskedForAgainAfterReloadAndCellsAreReused) {
  EXPECT_EQ(table().numberOfRowsInSection(0), 3u);
  EXPECT_EQ(shown(2), "c");
  TableViewCell* cell = table().cellForRowAtIndexPath(IndexPath(0));
  EXPECT_EQ(table().cellForRowAtIndexPath(IndexPath(3)), nullptr);
  EXPECT_EQ(cell->detailTextLabel(), nullptr);  // the default style has a main label only

  words->words = {"x", "y"};
  EXPECT_EQ(shown(0), "a");  // nothing asked again before the reload
  const int asked = words->countQuestions;
  table().reloadData();
  EXPECT_EQ(table().numberOfRowsInSection(0), 2u);
  EXPECT_EQ(words->countQuestions, asked + 1);
  EXPECT_EQ(shown(0), "x");
  EXPECT_EQ(table().cellForRowAtIndexPath(IndexPath(0)), cell);  // a freed cell came back
}

TEST_F(TableViewTest, SwipeOffersTheStandardDeleteOnlyOnEditableRows) {
  words->editable = false;
  EXPECT_FALSE(user.swipeRow(table(), 0));
  words->editable = true;
  ASSERT_TRUE(user.swipeRow(table(), 1));
  ASSERT_EQ(table().shownRowActions().size(), 1u);
  EXPECT_EQ(table().shownRowActions()[0].title(), "Delete");
  EXPECT_EQ(table().shownRowActions()[0].shownBackgroundColor(), Color::systemRedColor());
  EXPECT_TRUE(user.triggerRowAction(table(), 0));
  EXPECT_EQ(words->words, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(table().numberOfRowsInSection(0), 2u);
  EXPECT_EQ(shown(1), "c");
  EXPECT_TRUE(table().shownRowActions().empty());
  EXPECT_FALSE(user.triggerRowAction(table(), 0));  // nothing revealed any more
}

// Rows are dragged only in editing mode, and then not selected; selecting outside it is walked
// through on the envelope list (EnvelopeListScreen).
TEST_F(TableViewTest, InEditingModeRowsAreDraggedAndNotSelected) {
  EXPECT_FALSE(user.dragRow(table(), 0, 2));  // not in editing mode
  words->setEditing(true, false);
  EXPECT_FALSE(user.selectRow(table(), 0));
  for (std::size_t row = 0; row < 3; ++row) shown(row);  // the move must carry the cells along
  EXPECT_TRUE(user.dragRow(table(), 0, 2));
  EXPECT_TRUE(user.dragRow(table(), 1, 1));  // dropped where it started: nothing to report
  EXPECT_FALSE(user.dragRow(table(), 0, 3));
  EXPECT_EQ(words->moves, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 2}}));
  EXPECT_EQ(shown(2), "a");
  EXPECT_EQ(shown(0), "b");
}

}  // namespace
}  // namespace allot::kit::testing
