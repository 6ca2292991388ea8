// TableViewCell: one row's view in a table. Built-in styles give it a main label, and a detail
// label for the two-label styles; a custom cell (a storyboard prototype of its own class) has
// neither and adds its own labels. Cells are made from the prototypes the storyboard registers
// with a table, and reused by reuse identifier.
#pragma once

#include <string>

#include "platform/kit/label.h"
#include "platform/kit/view.h"

namespace allot::kit {

enum class TableViewCellStyle {
  Default = 0,   // a main label
  Value1 = 1,    // a main label, and the detail label at the right
  Value2 = 2,    // a detail label, with a small main label before it
  Subtitle = 3,  // a main label with the detail label under it
  Custom = 4,    // no built-in labels
};

class TableViewCell : public View {
 public:
  TableViewCell(TableViewCellStyle style, std::string reuseIdentifier);

  TableViewCellStyle style() const { return style_; }
  const std::string& reuseIdentifier() const { return reuseIdentifier_; }
  // Null when the style has no such label.
  Label* textLabel() const { return textLabel_; }
  Label* detailTextLabel() const { return detailTextLabel_; }

 private:
  TableViewCellStyle style_;
  std::string reuseIdentifier_;
  Label* textLabel_ = nullptr;
  Label* detailTextLabel_ = nullptr;
};

}  // namespace allot::kit
