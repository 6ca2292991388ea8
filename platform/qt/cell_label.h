// CellLabel: what one label of a table cell shows, as a typed value for the layout: its text (a
// final line feed draws no line of its own, so it is left out), its tone, and its background
// colour, `painted` when it has one that shows. CellLabels: the labels a cell adds to its built-in
// ones, by the identifiers they carry; the layout reaches one through a typed call of its own.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QString>
#include <map>
#include <string_view>

#include "platform/kit/label.h"

namespace allot::qt {

struct CellLabel {
  Q_GADGET
  QML_VALUE_TYPE(cellLabel)
  Q_PROPERTY(QString text MEMBER text)
  Q_PROPERTY(allot::kit::label_tone::Tone tone MEMBER tone)
  Q_PROPERTY(QColor color MEMBER color)
  Q_PROPERTY(bool painted MEMBER painted)

 public:
  // An absent label shows nothing, in the plain tone.
  static CellLabel of(const kit::Label* label);

  QString text;
  kit::Label::Tone tone = kit::Label::Tone::Plain;
  QColor color;
  bool painted = false;
  friend bool operator==(const CellLabel&, const CellLabel&) = default;
};

struct CellLabels {
  Q_GADGET
  QML_VALUE_TYPE(cellLabels)

 public:
  // The label of that identifier; null when the cell has none.
  const CellLabel* find(std::string_view identifier) const;

  std::map<QString, CellLabel> byIdentifier;
  friend bool operator==(const CellLabels&, const CellLabels&) = default;
};

}  // namespace allot::qt
