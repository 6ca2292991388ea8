// ScreenDriver: runs Allot's real QML window offscreen over a given store and drives it the way
// a person does, with real mouse (or, after useTouch, touch) and key events: find an item by its
// object name on the page on display (or in the alert), click or tap it, type into it, swipe or
// drag it; with the mouse, also hover, right-click and turn the wheel.
#pragma once

#include <QAccessible>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

#include "app/app_delegate.h"
#include "app/qt_screen.h"
#include "platform/defaults/user_defaults.h"
#include "ui/layout_names.h"

namespace allot::testing {

// A text as the window draws it: how far its darkest or brightest pixel stands out from the colour
// most of its box has (the WCAG contrast ratio), and whether it counts as large text.
struct ShownText {
  QString text;
  double contrast;
  bool large;
};

// An item as a test names it: by a name declared in ui/layout_names.h (a row's with its number),
// or by what a screen reader reads (the title of a row action or an alert action).
struct Named {
  Named(const char* readName) : text(QString::fromUtf8(readName)) {}
  template <class Name>
  requires std::is_enum_v<Name> Named(Name name, std::optional<int> row = {})
      : text(QString::fromUtf8(layout::name(name)) + (row ? QString::number(*row) : QString())) {}
  QString text;
};

class ScreenDriver {
 public:
  // `storeFile` names the file behind `defaults`, when they are the SQLite ones.
  explicit ScreenDriver(UserDefaults& defaults,
                        std::optional<std::filesystem::path> storeFile = std::nullopt);

  const BudgetStore& store();
  kit::Application& application() { return application_; }
  QQuickWindow& window() { return *screen_->window(); }

  // The page on display, once the stack has stopped animating.
  QQuickItem* page();
  // The first item of that name (its object name, or a button's accessible name) in the open
  // alert, or else on the page on display or in the window; fails the test when there is none.
  QQuickItem* find(const Named& name);
  QQuickItem* findInPage(QQuickItem* page, const Named& name);
  QString textOf(const Named& name);

  // From now on clicks, swipes and drags are made with a finger on a touch screen.
  void useTouch();
  void resize(int width, int height);

  void click(QQuickItem* item);
  void click(const Named& name) { click(find(name)); }
  void rightClick(QQuickItem* item);
  // Moves the mouse, no button held, to the point of the window.
  void hover(QPoint point);
  void hover(QQuickItem* item);
  // The pointer's shape where the mouse is.
  Qt::CursorShape cursor() { return window().cursor().shape(); }
  // A wheel (or touchpad) event over the item, of `pixels` pixels (a touchpad's pixel delta, and
  // the equivalent wheel angle).
  void wheel(QQuickItem* item, QPoint pixels);
  // What a screen reader does to activate a control: its accessible press action. False when the
  // control offers none.
  bool press(const Named& name);
  // The control's accessible interface, as a screen reader gets it.
  QAccessibleInterface* accessible(const Named& name);
  // Does the named accessible action of the control (a row's "Open", "Delete", ...); false when
  // the control offers no such action.
  bool act(const Named& name, const QString& action);
  // The names of the window's accessible objects in the order a screen reader reads them, hidden
  // ones left out.
  QStringList readingOrder();
  void type(const Named& name, const QString& text);
  // Types into whatever has the keyboard (plain ASCII).
  void typeKeys(const QString& text);
  void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // Presses Tab (or Shift+Tab) until the item of that name has the keyboard focus; false when
  // it never comes.
  bool tabTo(const Named& name, bool backwards = false);
  // The item with the keyboard focus, or null.
  QQuickItem* focused() { return window().activeFocusItem(); }
  bool hasFocus(const Named& name);
  // The focus rings the window shows.
  std::vector<QQuickItem*> shownFocusRings();
  // A horizontal swipe from the right end of the item towards its left, by `distance` pixels.
  void swipeLeft(QQuickItem* item, int distance);
  // Presses on the item and moves down (or up) by `dy` before letting go; `beforeRelease`, if
  // given, looks at the screen while it is still held.
  void dragVertically(QQuickItem* item, int dy, const std::function<void()>& beforeRelease = {});

  // Every text the window draws where it can be seen (only the alert's while one is open).
  std::vector<ShownText> shownTexts();
  // The colour the window draws at that point.
  QColor pixel(QPoint point);

  // Lets the event loop run until `ready` holds (animations, pushed pages); false on time-out.
  bool waitFor(const std::function<bool()>& ready, int milliseconds = 3000);
  void settle();

 private:
  UserDefaults& defaults_;
  kit::Application application_;
  std::unique_ptr<QtScreen> screen_;
  QPointingDevice* touchScreen_ = nullptr;

  // Presses at `from`, moves to `to` in ten steps and lets go there.
  void stroke(QPoint from, QPoint to, const std::function<void()>& beforeRelease = {});
};

}  // namespace allot::testing
