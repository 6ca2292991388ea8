#include "theme.h"

#include <cmath>

namespace allot {

void Theme::setDark(bool dark) {
  if (dark_ == dark) return;
  dark_ = dark;
  emit appearanceChanged();
}

QColor Theme::barBackground() const {
  return dark_ ? QColor(0x1c, 0x1c, 0x1e) : QColor(0xf7, 0xf7, 0xf7);
}

QColor Theme::barText() const {
  return dark_ ? QColor(Qt::white) : QColor(0, 0, 0, 0xde);
}

QColor Theme::noticeBackground() const {
  return dark_ ? QColor(0x3a, 0x30, 0x00) : QColor(0xff, 0xf4, 0xcc);
}

QColor Theme::negativeText() const {
  return dark_ ? QColor(0xff, 0x69, 0x61) : QColor(0xd7, 0x00, 0x15);
}

QColor Theme::destructiveText() const {
  return dark_ ? QColor(0xff, 0x69, 0x61) : QColor(0xd7, 0x00, 0x15);
}

QColor Theme::actionText() const {
  return dark_ ? QColor(0x81, 0xc9, 0x95) : QColor(0x1e, 0x7b, 0x34);
}

QColor Theme::dialogBackground() const {
  return dark_ ? QColor(0x2c, 0x2c, 0x2e) : QColor(Qt::white);
}

QColor Theme::inkOnPalette() const {
  return {0x1c, 0x1c, 0x1e};
}

QColor Theme::inkOn(const QColor& background) const {
  // Relative luminance: black stands out more than white above about 0.18.
  auto linear = [](float channel) {
    return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
  };
  const double luminance = 0.2126 * linear(background.redF()) +
                           0.7152 * linear(background.greenF()) +
                           0.0722 * linear(background.blueF());
  return (luminance + 0.05) * (luminance + 0.05) > 1.05 * 0.05 ? QColor(Qt::black)
                                                               : QColor(Qt::white);
}

QColor Theme::placeholderText() const {
  return dark_ ? QColor(255, 255, 255, 178) : QColor(0, 0, 0, 158);
}

QColor Theme::dimLayer() const {
  return dark_ ? QColor(0, 0, 0, 140) : QColor(0, 0, 0, 100);
}

QColor Theme::inkOnFill() const {
  return Qt::white;
}

QColor Theme::pressedShade() const {
  return QColor(0, 0, 0, 38);
}

QColor Theme::focusRing() const {
  return dark_ ? QColor(0x8a, 0xb4, 0xf8) : QColor(0x0b, 0x57, 0xd0);
}

QColor Theme::focusHalo() const {
  return dark_ ? QColor(Qt::black) : QColor(Qt::white);
}

QColor Theme::hoverShade() const {
  return dark_ ? QColor(255, 255, 255, 20) : QColor(0, 0, 0, 14);
}

QColor Theme::addFill() const {
  return {0x1e, 0x7b, 0x34};
}

QColor Theme::subtractFill() const {
  return {0xd7, 0x00, 0x15};
}

}  // namespace allot
