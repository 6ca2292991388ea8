#include "platform/kit/table_view_row_action.h"

namespace allot::kit {

Color TableViewRowAction::shownBackgroundColor() const {
  if (backgroundColor_) return *backgroundColor_;
  return style_ == TableViewRowActionStyle::Default ? Color::systemRedColor()
                                                    : Color::systemGrayColor();
}

void TableViewRowAction::run(const IndexPath& indexPath) {
  if (handler_) handler_(*this, indexPath);
}

}  // namespace allot::kit
