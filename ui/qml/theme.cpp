#include "theme.h"

#include "platform/kit/color.h"
#include "platform/qt/kit_color.h"

namespace allot {

void Theme::setDark(bool dark) {
  if (dark_ == dark) return;
  dark_ = dark;
  emit appearanceChanged();
}

QColor Theme::barBackground() const {
  return dark_ ? QColor(0x1c, 0x1c, 0x1e) : QColor(0xf7, 0xf7, 0xf7);
}

QColor Theme::noticeBackground() const {
  return dark_ ? QColor(0x3a, 0x30, 0x00) : QColor(0xff, 0xf4, 0xcc);
}

QColor Theme::negativeText() const {
  return dark_ ? QColor(0xff, 0x69, 0x61) : QColor(0xd7, 0x00, 0x15);
}

QColor Theme::destructiveText() const {
  return qt::toQColor(kit::Color::systemRedColor());
}

QColor Theme::inkOnPalette() const {
  return {0x1c, 0x1c, 0x1e};
}

QColor Theme::inkOnFill() const {
  return Qt::white;
}

QColor Theme::pressedShade() const {
  return QColor(0, 0, 0, 38);
}

QColor Theme::addFill() const {
  return {0x24, 0x8a, 0x3d};
}

QColor Theme::subtractFill() const {
  return {0xd7, 0x00, 0x15};
}

}  // namespace allot
