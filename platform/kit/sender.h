// Sender: whoever started an action or a segue (a button, a bar item, a cell, a controller). It
// only identifies the sender; the screens of this application never look at it.
#pragma once

namespace allot::kit {

using Sender = const void*;

}  // namespace allot::kit
