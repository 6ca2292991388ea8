// TableView: a list of rows in one section, filled by its controller (the data source and
// delegate). It asks for the row count after each reloadData, and for a row's cell only when that
// row is looked at (cellForRowAtIndexPath), handing out cells made from the prototypes that the
// storyboard registered and reusing freed ones. It keeps the selected row, the editing mode (rows
// show reorder controls) and the row actions a swipe revealed. What the user does to it is in
// Gestures; the table itself never changes the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kit/index_path.h"
#include "platform/kit/table_view_cell.h"
#include "platform/kit/table_view_row_action.h"
#include "platform/kit/view.h"

namespace allot::kit {

class TableViewController;

enum class TableViewCellEditingStyle { None = 0, Delete = 1, Insert = 2 };
enum class TableViewRowAnimation { Fade = 0, Right = 1, Left = 2, Top = 3, Bottom = 4, None = 5 };

class TableView : public View {
 public:
  using CellFactory = std::function<std::unique_ptr<TableViewCell>()>;

  explicit TableView(TableViewController& controller, std::string identifier = "tableView");
  ~TableView() override;

  TableViewController& controller() const { return controller_; }

  // A prototype cell of the storyboard: how to make one, and the segue (if any) that selecting a
  // row with such a cell performs.
  void registerPrototype(std::string reuseIdentifier, CellFactory make,
                         std::optional<std::string> selectionSegue = std::nullopt);
  // A free cell of the prototype, or a new one. An unknown identifier is a storyboard error and
  // stops the program.
  TableViewCell& dequeueReusableCellWithIdentifier(std::string_view identifier,
                                                   const IndexPath& indexPath);

  // Rows. Only section 0 exists.
  void reloadData();
  std::size_t numberOfRowsInSection(std::size_t section);
  // The row's cell, asked of the controller when the row has none yet; null for a row that
  // does not exist.
  TableViewCell* cellForRowAtIndexPath(const IndexPath& indexPath);
  // Removes the rows; the data source must already have dropped them (checked).
  void deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths,
                              TableViewRowAnimation animation);
  // Moves a row's cell; the data source is told by the drag gesture, not here.
  void moveRowAtIndexPath(const IndexPath& from, const IndexPath& to);
  // The segue to perform when the row is selected, from its cell's prototype.
  std::optional<std::string> selectionSegueForRowAtIndexPath(const IndexPath& indexPath);

  // Selection.
  std::optional<IndexPath> indexPathForSelectedRow() const { return selectedRow_; }
  void selectRowAtIndexPath(const IndexPath& indexPath);
  void deselectRowAtIndexPath(const IndexPath& indexPath);

  // Editing mode: rows that the controller lets move show a reorder control.
  bool isEditing() const { return editing_; }
  // Moves whenever the rows may read differently: a reload, a deletion or a move. A display layer
  // reads the rows again only then, not on every change elsewhere on the screen.
  std::uint64_t contentRevision() const { return contentRevision_; }
  void setEditing(bool editing, bool animated);

  // The row actions revealed by a swipe: the controller's own, or a single "Delete" that commits
  // the delete editing style when the controller offers none. False (nothing shown) for a row
  // that cannot be edited or an empty list of actions.
  bool showRowActionsForRowAtIndexPath(const IndexPath& indexPath);
  // The titles of the row actions a swipe on the row would reveal, without revealing them: what
  // a screen reader offers on the row.
  std::vector<std::string> rowActionTitlesForRowAtIndexPath(const IndexPath& indexPath);
  std::optional<IndexPath> swipedRow() const { return swipedRow_; }
  const std::vector<TableViewRowAction>& shownRowActions() const { return shownRowActions_; }
  // Hides the revealed actions, then runs the one at `index`. False when there is none there.
  bool performRowAction(std::size_t index);
  void hideRowActions();

  void attachToWindow(Window* window) override;

 private:
  struct Prototype {
    CellFactory make;
    std::optional<std::string> selectionSegue;
  };

  void countRowsIfNeeded();
  std::vector<TableViewRowAction> rowActionsFor(const IndexPath& indexPath);
  void freeCell(TableViewCell* cell);

  TableViewController& controller_;
  std::map<std::string, Prototype, std::less<>> prototypes_;
  std::vector<std::unique_ptr<TableViewCell>> cells_;  // every cell made, placed or free
  std::vector<TableViewCell*> freeCells_;
  std::optional<std::vector<TableViewCell*>> rows_;  // one slot per row; absent until counted
  std::optional<IndexPath> selectedRow_;
  bool editing_ = false;
  std::uint64_t contentRevision_ = 0;
  std::optional<IndexPath> swipedRow_;
  std::vector<TableViewRowAction> shownRowActions_;
};

}  // namespace allot::kit
