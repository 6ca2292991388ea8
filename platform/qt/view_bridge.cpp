#include "platform/qt/view_bridge.h"

#include "platform/kit/button.h"
#include "platform/kit/label.h"
#include "platform/kit/text_field.h"
#include "platform/kit/text_view.h"
#include "platform/qt/kit_bridge.h"
#include "platform/qt/kit_color.h"

namespace allot::qt {
namespace {

QString fromKit(const std::optional<std::string>& text) {
  return text ? QString::fromStdString(*text) : QString();
}

template <class T>
void update(T& field, const T& value, ViewBridge* bridge, void (ViewBridge::*changed)()) {
  if (field == value) return;
  field = value;
  emit(bridge->*changed)();
}

}  // namespace

ViewBridge::ViewBridge(KitBridge& kit, kit::View& view, QObject* parent)
    : QObject(parent), kit_(kit), view_(&view) {
  sync();
}

bool ViewBridge::tap() {
  auto* button = dynamic_cast<kit::Button*>(view_);
  return button != nullptr &&
         kit_.perform([button](kit::Gestures& user) { return user.tap(*button); });
}

bool ViewBridge::edit(const QString& text) {
  auto* field = dynamic_cast<kit::TextField*>(view_);
  return field != nullptr && kit_.perform([field, typed = text.toStdString()](kit::Gestures& user) {
    return user.enterText(*field, typed);
  });
}

bool ViewBridge::scroll(qreal contentY) {
  auto* textView = dynamic_cast<kit::TextView*>(view_);
  return textView != nullptr && kit_.perform([textView, contentY](kit::Gestures& user) {
    return user.scroll(*textView, {0.0, static_cast<double>(contentY)});
  });
}

void ViewBridge::sync() {
  if (view_ == nullptr) return;
  QString text, placeholder, title;
  qreal contentY = 0;
  bool focused = false;
  bool selected = false;
  if (auto* label = dynamic_cast<kit::Label*>(view_)) {
    text = fromKit(label->text());
  } else if (auto* field = dynamic_cast<kit::TextField*>(view_)) {
    text = fromKit(field->text());
    placeholder = fromKit(field->placeholder());
    focused = field->isFirstResponder();
  } else if (auto* button = dynamic_cast<kit::Button*>(view_)) {
    title = fromKit(button->currentTitle());
    selected = button->isSelected();
  } else if (auto* textView = dynamic_cast<kit::TextView*>(view_)) {
    text = fromKit(textView->text());
    contentY = textView->contentOffset().y;
  }
  QString accessibleName = fromKit(view_->accessibilityLabel());
  if (accessibleName.isEmpty()) accessibleName = !title.isEmpty() ? title : placeholder;

  update(text_, text, this, &ViewBridge::textChanged);
  update(placeholder_, placeholder, this, &ViewBridge::placeholderChanged);
  update(title_, title, this, &ViewBridge::titleChanged);
  update(accessibleName_, accessibleName, this, &ViewBridge::accessibleNameChanged);
  update(backgroundColor_, toQColor(view_->backgroundColor()), this,
         &ViewBridge::backgroundColorChanged);
  update(contentY_, contentY, this, &ViewBridge::contentYChanged);
  update(focused_, focused, this, &ViewBridge::focusedChanged);
  update(selected_, selected, this, &ViewBridge::selectedChanged);
}

}  // namespace allot::qt
