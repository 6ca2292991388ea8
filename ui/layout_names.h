// The names that tie the storyboard's scenes to their layout in QML, declared once: the scenes,
// the outlets of each scene, the labels of the table cells and the bar items keys tap, as
// enumerations, each with the identifier the kit's views carry. The storyboard names its views
// through them; the QML module sees the same enumerations as the QML namespace Storyboard (the
// build of the QML module defines ALLOT_LAYOUT_NAMES_FOR_QML, and moc reads this header), so a QML
// file never spells an identifier itself. Everything else about a screen lives in its controller
// and its QML file.
#pragma once

#include <string_view>

#if defined(Q_MOC_RUN) || defined(ALLOT_LAYOUT_NAMES_FOR_QML)
#include <QtCore/qobjectdefs.h>
#include <QtQml/qqmlregistration.h>
#endif

namespace allot::layout {
#if defined(Q_MOC_RUN) || defined(ALLOT_LAYOUT_NAMES_FOR_QML)
Q_NAMESPACE
QML_NAMED_ELEMENT(Storyboard)
#endif

// The storyboard's scenes; each is laid out by the QML file of the same name plus "Scene.qml".
enum class Scene { EnvelopeList, Transactions, EnvelopeEditor, About };

// The views of the scenes that their controllers or their layout reach.
enum class Outlet {
  TotalLabel,
  EnterAmount,
  OptionalNote,
  AddAmountButton,
  SubtractAmountButton,
  ResultsLabel,
  EnvelopeName,
  RedButton,
  YellowButton,
  GreenButton,
  BlueButton,
  PurpleButton,
  AddButton,
  AboutText,
};

// The labels of the envelope list's cells.
enum class CellLabel { EnvelopeNameLabel, EnvelopeTotalLabel };

// The bar items that a key of the layout taps.
enum class BarItem { AboutItem };

#if defined(Q_MOC_RUN) || defined(ALLOT_LAYOUT_NAMES_FOR_QML)
Q_ENUM_NS(Scene)
Q_ENUM_NS(Outlet)
Q_ENUM_NS(CellLabel)
Q_ENUM_NS(BarItem)
#endif

constexpr std::string_view name(Scene scene) {
  switch (scene) {
    case Scene::EnvelopeList:
      return "EnvelopeList";
    case Scene::Transactions:
      return "Transactions";
    case Scene::EnvelopeEditor:
      return "EnvelopeEditor";
    case Scene::About:
      return "About";
  }
  return {};
}

constexpr std::string_view name(Outlet outlet) {
  switch (outlet) {
    case Outlet::TotalLabel:
      return "totalLabel";
    case Outlet::EnterAmount:
      return "enterAmount";
    case Outlet::OptionalNote:
      return "optionalNote";
    case Outlet::AddAmountButton:
      return "addAmountButton";
    case Outlet::SubtractAmountButton:
      return "subtractAmountButton";
    case Outlet::ResultsLabel:
      return "resultsLabel";
    case Outlet::EnvelopeName:
      return "envelopeName";
    case Outlet::RedButton:
      return "redButton";
    case Outlet::YellowButton:
      return "yellowButton";
    case Outlet::GreenButton:
      return "greenButton";
    case Outlet::BlueButton:
      return "blueButton";
    case Outlet::PurpleButton:
      return "purpleButton";
    case Outlet::AddButton:
      return "addButton";
    case Outlet::AboutText:
      return "aboutText";
  }
  return {};
}

constexpr std::string_view name(CellLabel label) {
  switch (label) {
    case CellLabel::EnvelopeNameLabel:
      return "envelopeNameLabel";
    case CellLabel::EnvelopeTotalLabel:
      return "envelopeTotalLabel";
  }
  return {};
}

constexpr std::string_view name(BarItem item) {
  switch (item) {
    case BarItem::AboutItem:
      return "aboutItem";
  }
  return {};
}

}  // namespace allot::layout
