// Gestures: what the user does, as calls. Tests drive the application through them and the
// display layer turns each touch or key into one of them. A gesture reaches only what is on
// display and takes input: a control of another screen, or of a screen under an alert, is out of
// reach and the call returns false having done nothing. Each gesture is one event: controllers
// that left the screen during it are freed when it is over.
#pragma once

#include <cstddef>
#include <string>

#include "platform/kit/application.h"
#include "platform/kit/bar_button_item.h"
#include "platform/kit/button.h"
#include "platform/kit/geometry.h"
#include "platform/kit/table_view.h"
#include "platform/kit/text_field.h"
#include "platform/kit/text_view.h"

namespace allot::kit {

class Gestures {
 public:
  explicit Gestures(Application& application) : window_(application.window()) {}
  explicit Gestures(Window& window) : window_(window) {}

  // Buttons and the navigation bar.
  bool tap(Button& button);
  bool tap(BarButtonItem& item);  // an item of the navigation bar on display
  bool goBack();                  // the back button of the navigation bar on display

  // Text: the field takes the keyboard and then holds exactly `text` (what a display layer reports
  // after each keystroke); clearing empties it.
  bool enterText(TextField& field, std::string text);
  bool clearText(TextField& field);
  // A touch on the screen outside any control.
  bool touchBackground();

  // Tables. Selecting is refused in editing mode; dragging works only in editing mode, for rows
  // the controller lets move, and a drop at the starting place changes nothing.
  bool selectRow(TableView& table, std::size_t row);
  bool swipeRow(TableView& table, std::size_t row);  // reveals the row actions
  bool triggerRowAction(TableView& table, std::size_t index);
  bool swipeDelete(TableView& table, std::size_t row);  // a full swipe: the first row action
  bool dragRow(TableView& table, std::size_t from, std::size_t to);

  // The alert on display.
  bool tapAlertAction(std::size_t index);
  // The dismiss button of the notice on display, when it has one, and its action button.
  bool dismissNotice();
  bool tapNoticeAction();
  // Undo and redo of the last change (keys, or a shake of the device); refused while an alert is
  // on display, since the alert asks about the screen under it.
  bool undo();
  bool redo();

  // Scrolling a text, and laying the screens out again (with the window's size unchanged, or at
  // a new size).
  bool scroll(TextView& textView, Point offset);
  bool layOut();
  bool resize(Size size);

  // A display with room for two screens shows the root of the navigation stack beside its top
  // (Window::setShowsRootBeside), or stops doing so.
  bool showRootBeside(bool beside);
  // A gesture on the root shown beside the top first brings it to the top, as going back would:
  // every screen above it goes. False, and nothing happens, when `controller` is not shown beside
  // or input goes elsewhere (an alert).
  bool bringForward(ViewController& controller);

 private:
  ViewController* inputController() const;
  bool reachable(const View& view) const;
  bool finish(bool reached);

  Window& window_;
};

}  // namespace allot::kit
