#include "platform/kit/table_view_cell.h"

namespace allot::kit {

TableViewCell::TableViewCell(TableViewCellStyle style, std::string reuseIdentifier)
    : View(reuseIdentifier), style_(style), reuseIdentifier_(std::move(reuseIdentifier)) {
  if (style == TableViewCellStyle::Custom) return;
  textLabel_ = &addSubview<Label>("textLabel");
  if (style != TableViewCellStyle::Default)
    detailTextLabel_ = &addSubview<Label>("detailTextLabel");
}

}  // namespace allot::kit
