// The accessible interface of a TableRowItem: a focusable list item named by its row, whose
// actions are the row's named actions (with their keys), and which hides the row's inner layout
// so that a screen reader reads the row once; its children are the row actions while they show.
// installTableRowAccessibility makes Qt use it for every TableRowItem; calling it again does
// nothing.
#pragma once

namespace allot::qt {

void installTableRowAccessibility();

}  // namespace allot::qt
