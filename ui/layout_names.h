// The names that tie the storyboard's scenes to their layout in QML, declared once: the scenes,
// the outlets of each scene, the labels of the table cells, the bar items keys tap and the
// layout's own items the screen tests find, as enumerations, each with the identifier the kit's
// views (or the layout's items) carry. The storyboard names its views through them; the QML
// module sees the same enumerations as the QML namespace Storyboard (the build of the QML module
// defines ALLOT_LAYOUT_NAMES_FOR_QML, and moc reads this header), and the screen tests find items
// by them, so neither spells an identifier itself. Everything else about a screen lives in its
// controller and its QML file.
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

// QML sees the values of all these enumerations in one scope (Storyboard.X): no two share a name.

// The storyboard's scenes; each has a QML file of its own (see LayoutNamesBridge::fileOf).
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

// The bar items that a key of the layout taps or that the screen tests find.
enum class BarItem { AboutItem, EditItem };

// The layout's own items that the screen tests find, by their object names (a row's name is
// followed by its number).
enum class Item {
  Stack,
  NavigationBar,
  BesideBar,
  BesideColumn,
  ChooseHint,
  BackButton,
  RightItem,
  NavigationTitle,
  NavigationTitleName,
  NavigationTitleAmount,
  EnvelopeListView,
  EnvelopeRow,
  EnvelopeNameText,
  EmptyHint,
  TransactionsColumn,
  TransactionList,
  TransactionRow,
  ReorderHandle,
  LandingPlace,
  RowMenu,
  FocusRing,
  AlertDialog,
  AlertTitle,
  AlertMessage,
  NoticeBar,
  NoticeText,
  NoticeAction,
  NoticeDismiss,
  AboutFlickable,

};

#if defined(Q_MOC_RUN) || defined(ALLOT_LAYOUT_NAMES_FOR_QML)
Q_ENUM_NS(Scene)
Q_ENUM_NS(Outlet)
Q_ENUM_NS(CellLabel)
Q_ENUM_NS(BarItem)
Q_ENUM_NS(Item)
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
    case BarItem::EditItem:
      return "editItem";
  }
  return {};
}

constexpr std::string_view name(Item item) {
  switch (item) {
    case Item::Stack:
      return "stack";
    case Item::NavigationBar:
      return "navigationBar";
    case Item::BesideBar:
      return "besideBar";
    case Item::BesideColumn:
      return "besideColumn";
    case Item::ChooseHint:
      return "chooseHint";
    case Item::BackButton:
      return "backButton";
    case Item::RightItem:
      return "rightItem";
    case Item::NavigationTitle:
      return "navigationTitle";
    case Item::NavigationTitleName:
      return "navigationTitleName";
    case Item::NavigationTitleAmount:
      return "navigationTitleAmount";
    case Item::EnvelopeListView:
      return "envelopeListView";
    case Item::EnvelopeRow:
      return "envelopeRow";
    case Item::EnvelopeNameText:
      return "envelopeNameText";
    case Item::EmptyHint:
      return "emptyHint";
    case Item::TransactionsColumn:
      return "transactionsColumn";
    case Item::TransactionList:
      return "transactionList";
    case Item::TransactionRow:
      return "transactionRow";
    case Item::ReorderHandle:
      return "reorderHandle";
    case Item::LandingPlace:
      return "landingPlace";
    case Item::RowMenu:
      return "rowMenu";
    case Item::FocusRing:
      return "focusRing";
    case Item::AlertDialog:
      return "alertDialog";
    case Item::AlertTitle:
      return "alertTitle";
    case Item::AlertMessage:
      return "alertMessage";
    case Item::NoticeBar:
      return "noticeBar";
    case Item::NoticeText:
      return "noticeText";
    case Item::NoticeAction:
      return "noticeAction";
    case Item::NoticeDismiss:
      return "noticeDismiss";
    case Item::AboutFlickable:
      return "aboutFlickable";
  }
  return {};
}

}  // namespace allot::layout
