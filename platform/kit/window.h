// Window: the screen of the application. It owns the root controller, knows which text field has
// the keyboard, and counts changes: every change to what a screen shows moves its revision, so a
// display layer that re-reads the kit's state whenever the revision moved never misses one.
// Controllers that left the screen during an event are kept here until the event is over. A
// display with room for two screens may show the root of the navigation stack beside its top.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/kit/geometry.h"
#include "platform/kit/notice.h"

namespace allot::kit {

class TextField;
class ViewController;

class Window {
 public:
  Window();
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  void setRootViewController(std::unique_ptr<ViewController> controller);
  ViewController* rootViewController() const { return root_.get(); }
  // Shows the root controller: its view loads and appears. Once only.
  void makeKeyAndVisible();
  bool isVisible() const { return visible_; }

  // The controllers on display, from the bottom: the root shown beside the top (if any), each
  // navigation stack's top and whatever is presented over it. The last one takes the user's input.
  std::vector<ViewController*> controllersOnDisplay() const;
  ViewController* visibleViewController() const;

  Size size() const { return size_; }
  // A new size lays out every controller on display again.
  void setSize(Size size);

  // Whether the root of the navigation stack stands beside the stack's top, when that is another
  // screen. The root is then on display: it is laid out with the others and, at the end of every
  // event that changed anything, refreshed as when it appears (viewWillAppear, a layout pass,
  // viewDidAppear), so that it shows what was changed beside it. Taken away, it disappears.
  void setShowsRootBeside(bool beside);
  bool showsRootBeside() const { return showsRootBeside_; }
  // The root shown beside the top, or null.
  ViewController* controllerBeside() const;

  std::uint64_t revision() const { return revision_; }
  void noteChange() { ++revision_; }

  TextField* firstResponder() const { return firstResponder_; }
  void setFirstResponder(TextField* field);

  // The notice shown above the screens, if any. Showing one replaces the one shown; `action` runs
  // when the user presses the notice's action button (runNoticeAction), which also takes the
  // notice away.
  const std::optional<Notice>& notice() const { return notice_; }
  void showNotice(Notice notice, std::function<void()> action = {});
  void clearNotice();
  bool runNoticeAction();

  // What the application does when the user asks to undo (or redo) the last change; the handler
  // returns false when there was nothing to do.
  void setUndoHandler(std::function<bool(bool redo)> handler) { undoHandler_ = std::move(handler); }
  bool undo(bool redo) { return undoHandler_ && undoHandler_(redo); }
  // Told at the end of every event, once the controllers that left the screen are freed.
  void setEndOfEventHandler(std::function<void()> handler) {
    endOfEventHandler_ = std::move(handler);
  }

  void retire(std::unique_ptr<ViewController> controller);
  // The end of one event (a gesture): refreshes the root shown beside the top, then frees the
  // controllers that left the screen during it.
  void endOfEvent();

 private:
  std::uint64_t revision_ = 0;
  TextField* firstResponder_ = nullptr;
  Size size_{390.0, 844.0};
  bool showsRootBeside_ = false;
  std::uint64_t besideRefreshedAt_ = 0;  // the revision after the last refresh of the root beside
  bool visible_ = false;
  std::optional<Notice> notice_;
  std::function<void()> noticeAction_;
  std::function<bool(bool)> undoHandler_;
  std::function<void()> endOfEventHandler_;
  std::unique_ptr<ViewController> root_;
  std::vector<std::unique_ptr<ViewController>> retired_;
};

}  // namespace allot::kit
