#include "platform/qt/cell_label.h"

#include "platform/qt/kit_color.h"

namespace allot::qt {

CellLabel CellLabel::of(const kit::Label* label) {
  CellLabel shown;
  if (label == nullptr) return shown;
  if (label->text()) shown.text = QString::fromStdString(*label->text());
  if (shown.text.endsWith(u'\n')) shown.text.chop(1);
  shown.tone = label->tone();
  shown.color = toQColor(label->backgroundColor());
  shown.painted = shown.color.alpha() > 0;
  return shown;
}

const CellLabel* CellLabels::find(std::string_view identifier) const {
  const auto found = byIdentifier.find(
      QString::fromUtf8(identifier.data(), static_cast<qsizetype>(identifier.size())));
  return found != byIdentifier.end() ? &found->second : nullptr;
}

}  // namespace allot::qt
