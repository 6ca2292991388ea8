#include "tests/qt/screen_driver.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <map>

namespace allot::testing {
namespace {

// An item is found by its object name or, when it has none the test knows (a row action, an alert
// action, a menu item), by the name a screen reader reads.
bool isNamed(QQuickItem* item, const QString& name) {
  if (item->objectName() == name) return true;
  if (!item->objectName().isEmpty()) return false;
  QAccessibleInterface* control = QAccessible::queryAccessibleInterface(item);
  return control != nullptr &&
         (control->role() == QAccessible::Button || control->role() == QAccessible::MenuItem) &&
         control->text(QAccessible::Name) == name;
}

QQuickItem* findItem(QQuickItem* root, const QString& objectName) {
  if (root == nullptr) return nullptr;
  if (root->isVisible() && isNamed(root, objectName)) return root;
  for (QQuickItem* child : root->childItems()) {
    if (QQuickItem* found = findItem(child, objectName)) return found;
  }
  return nullptr;
}

// The WCAG relative luminance of a colour, and the contrast ratio of two.
double luminance(QColor colour) {
  auto linear = [](float channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
         0.0722 * linear(colour.blueF());
}

double contrast(QColor a, QColor b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool drawsText(QQuickItem* item) {
  return item->inherits("QQuickText") || item->inherits("QQuickTextInput") ||
         item->inherits("QQuickTextEdit");
}

// The part of the item's box the window shows: inside the window and every clipping ancestor,
// and only when nothing on the way up makes it transparent.
QRect shownBox(QQuickItem* item, QSize window) {
  QRectF box = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
  box &= QRectF(QPointF(0, 0), QSizeF(window));
  for (QQuickItem* up = item; up != nullptr && !box.isEmpty(); up = up->parentItem()) {
    if (up->opacity() < 0.01) return {};
    if (up->clip()) box &= up->mapRectToScene(QRectF(0, 0, up->width(), up->height()));
  }
  return box.toAlignedRect() & QRect(QPoint(0, 0), window);
}

void collectShownTexts(QQuickItem* item, const QImage& image, std::vector<ShownText>& texts) {
  if (!item->isVisible()) return;
  const QString text = item->property("text").toString().trimmed();
  const QRect box = drawsText(item) && !text.isEmpty() ? shownBox(item, image.size()) : QRect();
  if (!box.isEmpty()) {
    std::map<QRgb, int> counts;
    for (int y = box.top(); y <= box.bottom(); ++y) {
      for (int x = box.left(); x <= box.right(); ++x) ++counts[image.pixel(x, y)];
    }
    const QColor background(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                              return a.second < b.second;
                            })->first);
    double best = 1.0;
    for (const auto& [rgb, count] : counts)
      best = std::max(best, contrast(QColor(rgb), background));
    const QFont font = item->property("font").value<QFont>();
    const double pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96 / 72;
    texts.push_back({text, best, pixels >= 24 || (font.bold() && pixels >= 18.66)});
  }
  for (QQuickItem* child : item->childItems()) collectShownTexts(child, image, texts);
}

void collectFocusRings(QQuickItem* item, std::vector<QQuickItem*>& rings) {
  if (!item->isVisible()) return;
  if (item->objectName() == Named(layout::Item::FocusRing).text) rings.push_back(item);
  for (QQuickItem* child : item->childItems()) collectFocusRings(child, rings);
}

QPoint centreOf(QQuickItem* item) {
  return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
}

}  // namespace

ScreenDriver::ScreenDriver(UserDefaults& defaults, std::optional<std::filesystem::path> storeFile)
    : defaults_(defaults), application_(defaults, [storeFile] {
        return std::make_unique<AppDelegate>(
            AppDelegate::Options{.storeFile = storeFile, .formatLocale = "en_US"});
      }) {
  application_.launch();
  screen_ = std::make_unique<QtScreen>(application_);
  if (!screen_->show()) throw std::runtime_error("the QML window did not load");
  window().show();
  settle();
}

const BudgetStore& ScreenDriver::store() {
  return static_cast<AppDelegate&>(application_.delegate()).store();
}

QQuickItem* ScreenDriver::page() {
  QQuickItem* stack = findItem(window().contentItem(), Named(layout::Item::Stack).text);
  waitFor([stack] { return !stack->property("busy").toBool(); });
  return stack->property("currentItem").value<QQuickItem*>();
}

QQuickItem* ScreenDriver::findInPage(QQuickItem* page, const Named& name) {
  return findItem(page, name.text);
}

QQuickItem* ScreenDriver::find(const Named& name) {
  QAccessible::setActive(true);
  QQuickItem* found = nullptr;
  waitFor([&] {
    // An open alert (or menu) takes all input: only its buttons can be reached.
    QQuickItem* overlay = nullptr;
    for (QQuickItem* item : window().contentItem()->childItems()) {
      if (item->inherits("QQuickOverlay")) overlay = item;
    }
    const QList<QQuickItem*> popups = overlay ? overlay->childItems() : QList<QQuickItem*>();
    if (std::any_of(popups.begin(), popups.end(),
                    [](QQuickItem* item) { return item->isVisible(); })) {
      return (found = findItem(overlay, name.text)) != nullptr;
    }
    found = findItem(page(), name.text);
    if (found == nullptr) found = findItem(window().contentItem(), name.text);
    return found != nullptr;
  });
  if (found == nullptr) ADD_FAILURE() << "nothing on screen is named " << name.text.toStdString();
  return found;
}

QString ScreenDriver::textOf(const Named& name) {
  QQuickItem* item = find(name);
  return item != nullptr ? item->property("text").toString() : QString();
}

void ScreenDriver::useTouch() {
  static QPointingDevice* const device = QTest::createTouchDevice();
  touchScreen_ = device;
}

void ScreenDriver::resize(int width, int height) {
  window().resize(width, height);
  settle();
}

void ScreenDriver::click(QQuickItem* item) {
  if (item == nullptr) return;
  if (touchScreen_ != nullptr) {
    stroke(centreOf(item), centreOf(item));
    return;
  }
  QTest::mouseClick(&window(), Qt::LeftButton, Qt::NoModifier, centreOf(item));
  settle();
}

void ScreenDriver::rightClick(QQuickItem* item) {
  QTest::mouseClick(&window(), Qt::RightButton, Qt::NoModifier, centreOf(item));
  settle();
}

void ScreenDriver::hover(QPoint point) {
  QTest::mouseMove(&window(), point);
  settle();
}

void ScreenDriver::hover(QQuickItem* item) {
  hover(centreOf(item));
}

void ScreenDriver::wheel(QQuickItem* item, QPoint pixels) {
  const QPointF at = centreOf(item);
  QWheelEvent event(at, window().mapToGlobal(at), pixels, pixels * 3, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QGuiApplication::sendEvent(&window(), &event);
  settle();
}

void ScreenDriver::stroke(QPoint from, QPoint to, const std::function<void()>& beforeRelease) {
  if (touchScreen_ != nullptr) {
    QTest::touchEvent(&window(), touchScreen_).press(0, from, &window());
    for (int step = 1; step <= 10 && from != to; ++step) {
      QTest::qWait(10);
      QTest::touchEvent(&window(), touchScreen_).move(0, from + (to - from) * step / 10, &window());
    }
    if (beforeRelease) beforeRelease();
    QTest::touchEvent(&window(), touchScreen_).release(0, to, &window());
  } else {
    QTest::mousePress(&window(), Qt::LeftButton, Qt::NoModifier, from);
    for (int step = 1; step <= 10; ++step) {
      QTest::mouseMove(&window(), from + (to - from) * step / 10, 10);
    }
    if (beforeRelease) beforeRelease();
    QTest::mouseRelease(&window(), Qt::LeftButton, Qt::NoModifier, to);
  }
  settle();
}

bool ScreenDriver::press(const Named& name) {
  return act(name, QAccessibleActionInterface::pressAction());
}

QAccessibleInterface* ScreenDriver::accessible(const Named& name) {
  QAccessible::setActive(true);
  return QAccessible::queryAccessibleInterface(find(name));
}

bool ScreenDriver::act(const Named& name, const QString& action) {
  QAccessibleInterface* control = accessible(name);
  QAccessibleActionInterface* actions = control ? control->actionInterface() : nullptr;
  if (actions == nullptr || !actions->actionNames().contains(action)) return false;
  actions->doAction(action);
  settle();
  return true;
}

namespace {

void readInto(QAccessibleInterface* node, QStringList& names) {
  if (node == nullptr || node->state().invisible) return;
  if (const QString name = node->text(QAccessible::Name); !name.isEmpty()) names << name;
  for (int i = 0; i < node->childCount(); ++i) readInto(node->child(i), names);
}

}  // namespace

QStringList ScreenDriver::readingOrder() {
  QAccessible::setActive(true);
  QStringList names;
  readInto(QAccessible::queryAccessibleInterface(&window()), names);
  return names;
}

void ScreenDriver::type(const Named& name, const QString& text) {
  click(name);
  typeKeys(text);
}

void ScreenDriver::typeKeys(const QString& text) {
  for (const QChar character : text) QTest::keyClick(&window(), character.toLatin1());
  settle();
}

void ScreenDriver::key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(&window(), key, modifiers);
  settle();
}

bool ScreenDriver::tabTo(const Named& name, bool backwards) {
  for (int presses = 0; presses < 40; ++presses) {
    if (hasFocus(name)) return true;
    QTest::keyClick(&window(), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                    backwards ? Qt::ShiftModifier : Qt::NoModifier);
    QTest::qWait(20);
  }
  return false;
}

bool ScreenDriver::hasFocus(const Named& name) {
  QQuickItem* item = focused();
  return item != nullptr && item->isVisible() && isNamed(item, name.text);
}

std::vector<QQuickItem*> ScreenDriver::shownFocusRings() {
  std::vector<QQuickItem*> rings;
  collectFocusRings(window().contentItem(), rings);
  auto* overlay = window().property("overlay").value<QQuickItem*>();
  if (overlay != nullptr && overlay->parentItem() != window().contentItem()) {
    collectFocusRings(overlay, rings);
  }
  return rings;
}

void ScreenDriver::swipeLeft(QQuickItem* item, int distance) {
  const QPoint start = item->mapToScene(QPointF(item->width() - 20, item->height() / 2)).toPoint();
  stroke(start, start - QPoint(distance, 0));
}

void ScreenDriver::dragVertically(QQuickItem* item, int dy,
                                  const std::function<void()>& beforeRelease) {
  stroke(centreOf(item), centreOf(item) + QPoint(0, dy), beforeRelease);
}

std::vector<ShownText> ScreenDriver::shownTexts() {
  settle();
  const QImage image = window().grabWindow().convertToFormat(QImage::Format_RGB32);
  // An open alert hides what is behind it: only its own texts count.
  QQuickItem* root = findItem(window().contentItem(), Named(layout::Item::AlertMessage).text);
  while (root != nullptr && root->parentItem() != nullptr &&
         !root->parentItem()->inherits("QQuickOverlay")) {
    root = root->parentItem();
  }
  std::vector<ShownText> texts;
  collectShownTexts(root != nullptr ? root : window().contentItem(), image, texts);
  return texts;
}

QColor ScreenDriver::pixel(QPoint point) {
  settle();
  return window().grabWindow().pixelColor(point);
}

bool ScreenDriver::waitFor(const std::function<bool()>& ready, int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (!ready()) {
    if (timer.elapsed() > milliseconds) return false;
    QTest::qWait(10);
  }
  return true;
}

void ScreenDriver::settle() {
  // Long enough for a push, a pop, a swipe and a dialog to finish animating.
  QTest::qWait(450);
}

}  // namespace allot::testing
