// Allot's real window, offscreen, driven with mouse and key events: what a person sees after
// each step, and what the budget then holds.
#include <gtest/gtest.h>
#include <QPalette>
#include <QScreen>
#include <QTest>
#include <algorithm>

#include "core/budget_store.h"
#include "platform/defaults/in_memory_user_defaults.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "platform/kit/alert_controller.h"
#include "platform/qt/cell_label.h"
#include "platform/qt/kit_color.h"
#include "tests/qt/screen_driver.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"
#include "ui/palette_color.h"

namespace allot::testing {
namespace {

using enum layout::BarItem;
using enum layout::CellLabel;
using enum layout::Item;
using enum layout::Outlet;

// Every complaint of the QML layout (a binding to a name that does not exist, a view it asked for
// by an unknown name) fails the test that caused it: a wrong name must never pass as a blank
// widget.
std::vector<std::string>& layoutComplaints() {
  static std::vector<std::string> complaints;
  return complaints;
}

void collectLayoutComplaints(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtDebugMsg && type != QtInfoMsg &&
      (message.contains("qrc:/Allot/") || message.startsWith("Allot:"))) {
    layoutComplaints().push_back(message.toStdString());
  }
}

class Screen : public ::testing::Test {
 protected:
  void SetUp() override {
    layoutComplaints().clear();
    qInstallMessageHandler(collectLayoutComplaints);
  }
  void TearDown() override {
    qInstallMessageHandler(nullptr);
    for (const std::string& complaint : layoutComplaints()) ADD_FAILURE() << complaint;
  }

  static void SetUpTestSuite() {
    // The offscreen platform, as it is or with the screens a test run names for it.
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith("offscreen")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "allot_screen_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own globals go first at exit, and it must not outlive them.
    static auto* host = new QGuiApplication(argc, argv);
    (void)host;
  }

  // Adds envelopes through the editor, choosing a colour for each, and comes back to the list.
  void addEnvelopes(const std::vector<std::pair<QString, layout::Outlet>>& namesAndColours) {
    user.click(RightItem);
    for (const auto& [name, colour] : namesAndColours) {
      user.click(colour);
      user.type(EnvelopeName, name);
      user.click(AddButton);
    }
    user.click(BackButton);
  }

  static QString rowText(ScreenDriver& screen, int row, const Named& label) {
    QQuickItem* item = screen.findInPage(screen.find({EnvelopeRow, row}), label);
    return item != nullptr ? item->property("text").toString() : QString();
  }

  InMemoryUserDefaults defaults;
  ScreenDriver user{defaults};
};

TEST_F(Screen, AddEnvelopesAndRecordAnAmountWithAComma) {
  EXPECT_TRUE(user.find(EmptyHint)->isVisible());
  EXPECT_EQ(user.textOf(TotalLabel), "Total: 0.00");

  // In the editor, a colour or a refused save leaves the keyboard in the name field.
  user.click(RightItem);
  user.click(EnvelopeName);
  user.click(PurpleButton);
  EXPECT_TRUE(user.find(EnvelopeName)->hasActiveFocus());
  user.click(AddButton);
  EXPECT_TRUE(user.find(EnvelopeName)->hasActiveFocus());
  user.click(BackButton);

  addEnvelopes({{"Food", PurpleButton}, {"Rent", BlueButton}});
  EXPECT_EQ(rowText(user, 0, EnvelopeNameText), "Food");
  // The name sits on its envelope's colour, converted from Display P3 for the screen.
  QQuickItem* nameLabel = user.findInPage(user.find({EnvelopeRow, 0}), EnvelopeNameLabel);
  EXPECT_EQ(nameLabel->property("color").value<QColor>(), qt::toQColor(paletteColor(4)));
  EXPECT_EQ(rowText(user, 0, EnvelopeTotalLabel), "0.00");

  user.click({EnvelopeRow, 1});
  EXPECT_EQ(user.textOf(NavigationTitle), "\u2068Rent\u2069: 0.00");
  user.type(EnterAmount, "12,5");
  user.key(Qt::Key_Return);  // Enter alone records nothing
  EXPECT_EQ(user.store().categoryAmounts()[1], 0.0);
  user.type(OptionalNote, "Deposit");
  user.click(AddAmountButton);
  EXPECT_EQ(user.textOf(ResultsLabel), "Transaction of 12.50 recorded.");
  EXPECT_EQ(user.textOf(NavigationTitle), "\u2068Rent\u2069: 12.50");
  EXPECT_FALSE(user.find(EnterAmount)->hasActiveFocus()) << "the keyboard went away";

  // A transaction without a note shows its empty description, nothing in its place.
  user.type(EnterAmount, "1");
  user.click(AddAmountButton);
  QQuickItem* newest = user.find({TransactionRow, 0});
  EXPECT_EQ(newest->property("textLabel").value<qt::CellLabel>().text, "");
  EXPECT_EQ(newest->property("accessibleName").toString(), "1.00");

  user.click(BackButton);
  EXPECT_EQ(rowText(user, 1, EnvelopeTotalLabel), "13.50");
  EXPECT_EQ(user.textOf(TotalLabel), "Total: 13.50");

  // Leaving the active state saves and commits what the screen shows; coming back saves nothing.
  const int commits = defaults.synchronizeCount();
  emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
  EXPECT_EQ(defaults.synchronizeCount(), commits + 1);
  EXPECT_EQ(*defaults.valueForKey("categoryNames"), Value(Value::List{"Food", "Rent"}));
  emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
  EXPECT_EQ(defaults.synchronizeCount(), commits + 1);
  EXPECT_EQ(user.application().applicationState(), kit::ApplicationState::Active);
}

// A finger on a touch screen of 360 x 720: taps, the swipe to the row actions, the full swipe and
// the reorder drag (the row passed moves aside, and a frame shows where the dragged one lands);
// then, in landscape and at 320 x 480, every screen's controls stay in view, and a list longer
// than the window scrolls under a row dragged to its edge.
TEST_F(Screen, AFingerTapsSwipesAndDrags) {
  user.useTouch();
  user.resize(360, 720);
  addEnvelopes({{"Food", GreenButton}, {"Rent", RedButton}, {"Fun", YellowButton}});
  ASSERT_EQ(user.store().envelopeCount(), 3u);
  user.swipeLeft(user.find({EnvelopeRow, 1}), 200);
  // The three actions, in order.
  QQuickItem* remove = user.find("Delete");
  QQuickItem* edit = user.find("Edit Details");
  QQuickItem* reset = user.find("Reset Balance");
  ASSERT_TRUE(remove && edit && reset);
  EXPECT_LT(remove->mapToScene({0, 0}).x(), edit->mapToScene({0, 0}).x());
  EXPECT_LT(edit->mapToScene({0, 0}).x(), reset->mapToScene({0, 0}).x());
  user.click(remove);
  EXPECT_EQ(user.textOf(AlertMessage), "Permanently delete \"\u2068Rent\u2069\" and its balance?");
  user.click("Cancel");
  EXPECT_EQ(user.store().envelopeCount(), 3u);

  // A swipe past most of the width asks at once.
  user.swipeLeft(user.find({EnvelopeRow, 1}), 300);
  user.click("Delete");
  EXPECT_EQ(user.store().categoryNames(), (std::vector<std::string>{"Food", "Fun"}));
  // The row goes with the reload: the list has no deletion animation.
  EXPECT_EQ(user.find(EnvelopeListView)->property("remove").value<QObject*>(), nullptr);

  user.click(EditItem);
  QQuickItem* firstRow = user.find({EnvelopeRow, 0});
  const qreal top = firstRow->mapToScene({0, 0}).y();
  user.dragVertically(user.findInPage(firstRow, ReorderHandle),
                      static_cast<int>(firstRow->height()), [&] {
                        user.settle();
                        EXPECT_EQ(user.find({EnvelopeRow, 1})->mapToScene({0, 0}).y(), top);
                        QQuickItem* landing = user.findInPage(firstRow, LandingPlace);
                        ASSERT_NE(landing, nullptr);
                        EXPECT_NEAR(landing->mapToScene({0, landing->height() / 2}).y(),
                                    top + firstRow->height() * 1.5, 1);
                      });
  EXPECT_EQ(user.store().categoryNames(), (std::vector<std::string>{"Fun", "Food"}));
  EXPECT_EQ(user.store().envelopeColors(), (std::vector<std::int64_t>{1, 2}));
  user.click(EditItem);
  EXPECT_EQ(user.findInPage(user.find({EnvelopeRow, 0}), ReorderHandle), nullptr);

  auto inView = [&](const Named& name) {
    QQuickItem* item = user.find(name);
    const QRectF shown = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    return QRectF(0, 0, user.window().width(), user.window().height()).contains(shown);
  };
  for (const QSize size : {QSize(720, 360), QSize(320, 480)}) {
    user.resize(size.width(), size.height());
    EXPECT_TRUE(inView(TotalLabel) && inView(RightItem) && inView(AboutItem));
    user.click({EnvelopeRow, 0});
    EXPECT_TRUE(inView(AddAmountButton) && inView(SubtractAmountButton) && inView(ResultsLabel));
    user.click(BackButton);
    user.click(RightItem);
    EXPECT_TRUE(inView(EnvelopeName) && inView(PurpleButton) && inView(AddButton));
    user.click(BackButton);
  }

  user.resize(720, 360);
  addEnvelopes(
      {{"Gas", BlueButton}, {"Pets", BlueButton}, {"Tax", BlueButton}, {"Car", RedButton}});
  user.click(EditItem);
  QQuickItem* list = user.find(EnvelopeListView);
  QQuickItem* fun = user.find({EnvelopeRow, 0});
  const qreal edge = list->mapToScene({0, list->height() - 8}).y();
  user.dragVertically(user.findInPage(fun, ReorderHandle),
                      static_cast<int>(edge - fun->mapToScene({0, fun->height() / 2}).y()), [&] {
                        EXPECT_TRUE(user.waitFor([&] { return list->property("atYEnd") == true; }));
                      });
  EXPECT_EQ(user.store().categoryNames().back(), "Fun");
}

// The mouse: a row shades under the pointer, which turns into a hand where a click opens
// something; a drag reveals the row actions but never deletes, and they leave the name in view; a
// right-click menu and a touchpad's sideways swipe reach the same actions.
TEST_F(Screen, AMouseHoversRightClicksAndSwipesSideways) {
  addEnvelopes({{"Food", GreenButton}, {"Rent", RedButton}, {"Fun", YellowButton}});
  QQuickItem* rent = user.find({EnvelopeRow, 1});
  const QPoint blank = rent->mapToScene({rent->width() * 0.55, rent->height() / 2}).toPoint();
  const QColor unshaded = user.pixel(blank);
  user.hover(blank);
  EXPECT_NE(user.pixel(blank), unshaded);
  EXPECT_EQ(user.cursor(), Qt::PointingHandCursor);
  user.hover(user.find(TotalLabel));
  EXPECT_EQ(user.cursor(), Qt::ArrowCursor);
  user.hover(user.find(RightItem));
  EXPECT_EQ(user.cursor(), Qt::PointingHandCursor);

  user.swipeLeft(rent, 300);
  EXPECT_EQ(
      dynamic_cast<kit::AlertController*>(user.application().window().visibleViewController()),
      nullptr);
  ASSERT_NE(user.find("Delete"), nullptr);
  QQuickItem* name = user.findInPage(rent, EnvelopeNameText);
  const QRectF nameShown = name->mapRectToScene({0, 0, name->width(), name->height()});
  EXPECT_GE(nameShown.left(), 0);
  EXPECT_LE(nameShown.right(), user.find("Delete")->mapToScene({0, 0}).x());
  EXPECT_FALSE(name->property("truncated").toBool());

  user.rightClick(user.find({EnvelopeRow, 0}));
  user.click("Reset Balance");
  EXPECT_EQ(user.textOf(AlertMessage),
            "Reset the balance and clear all transactions for \"\u2068Food\u2069\"?");
  user.click("Cancel");

  QQuickItem* fun = user.find({EnvelopeRow, 2});
  user.wheel(fun, {0, -60});
  EXPECT_FALSE(fun->property("revealed").toBool()) << "an upright wheel scrolls";
  user.wheel(fun, {-60, 0});
  EXPECT_TRUE(fun->property("revealed").toBool());
  user.wheel(fun, {60, 0});
  EXPECT_FALSE(fun->property("revealed").toBool());
  EXPECT_EQ(user.store().envelopeCount(), 3u);
}

// What a screen reader reads, in order, and does: every button through its press action, every
// row through its named actions, the colours as radio buttons.
TEST_F(Screen, AScreenReaderReadsAndActsOnEveryControl) {
  ASSERT_TRUE(user.press(RightItem));
  user.type(EnvelopeName, "Food");
  ASSERT_TRUE(user.press(PurpleButton));
  const QAccessible::State purple = user.accessible(PurpleButton)->state();
  EXPECT_EQ(user.accessible(PurpleButton)->role(), QAccessible::RadioButton);
  EXPECT_TRUE(purple.checkable && purple.checked);
  EXPECT_FALSE(user.accessible(RedButton)->state().checked);
  ASSERT_TRUE(user.press(AddButton));
  ASSERT_TRUE(user.press(BackButton));
  EXPECT_EQ(user.store().envelopeColors(), std::vector<std::int64_t>{4});
  EXPECT_EQ(user.accessible(NavigationTitle)->role(), QAccessible::Heading);

  QAccessibleInterface* row = user.accessible({EnvelopeRow, 0});
  EXPECT_EQ(row->role(), QAccessible::ListItem);
  EXPECT_EQ(row->text(QAccessible::Name), "Food, balance 0.00");
  EXPECT_EQ(row->actionInterface()->actionNames(),
            (QStringList{"Open", "Delete", "Edit Details", "Reset Balance"}));
  EXPECT_TRUE(user.act({EnvelopeRow, 0}, "Open"));
  user.type(EnterAmount, "3");
  ASSERT_TRUE(user.press(SubtractAmountButton));
  user.type(EnterAmount, "1");
  ASSERT_TRUE(user.press(AddAmountButton));
  // Read newest first, as shown; a transaction row's one action deletes it.
  const QStringList order = user.readingOrder();
  EXPECT_LT(order.indexOf("1.00"), order.indexOf("-3.00"));
  EXPECT_TRUE(user.act({TransactionRow, 0}, "Delete"));
  EXPECT_EQ(user.store().categoryAmounts()[0], -3.0);
  ASSERT_TRUE(user.press(BackButton));

  // Actions that Shift+F10 (or a swipe) reveals are the row's children while they show (what a
  // screen reader hears of them, and of the focus, is checked over AT-SPI by the desktop session
  // test).
  user.key(Qt::Key_F10, Qt::ShiftModifier);
  row = user.accessible({EnvelopeRow, 0});
  ASSERT_EQ(row->childCount(), 3);
  EXPECT_EQ(row->indexOfChild(row->child(2)), 2);
  const QPoint reset = row->child(2)->rect().center();
  EXPECT_EQ(row->childAt(reset.x(), reset.y())->object(), row->child(2)->object());
  user.key(Qt::Key_Escape);
  EXPECT_EQ(row->childCount(), 0);

  // A confirmation's message is read before its buttons; Escape cancels it.
  EXPECT_TRUE(user.act({EnvelopeRow, 0}, "Delete"));
  const QStringList alert = user.readingOrder();
  const qsizetype message =
      alert.indexOf("Permanently delete \"\u2068Food\u2069\" and its balance?");
  EXPECT_GE(message, 0);
  EXPECT_LT(message, alert.indexOf("Cancel"));
  user.key(Qt::Key_Escape);
  EXPECT_EQ(user.store().envelopeCount(), 1u);
  EXPECT_TRUE(user.act({EnvelopeRow, 0}, "Reset Balance"));
  ASSERT_TRUE(user.press("Reset"));
  EXPECT_EQ(user.store().categoryAmounts()[0], 0.0);

  // The About text is read paragraph by paragraph, its headings as headings.
  ASSERT_TRUE(user.press(AboutItem));
  const QStringList about = user.readingOrder();
  EXPECT_TRUE(about.contains("How envelopes work"));
  EXPECT_TRUE(std::any_of(about.begin(), about.end(),
                          [](const QString& text) { return text.startsWith("Each envelope"); }));
  user.key(Qt::Key_Escape);
  EXPECT_NE(user.findInPage(user.page(), EnvelopeListView), nullptr);
}

// The whole journey with the keyboard alone: every control is reached with Tab, rows with the
// arrow keys, each screen opens with the focus on its first field or row, and one focus ring
// surrounds whatever has the focus. Return presses the focused button (and saves from the name
// field), Escape goes back, hides row actions, cancels and leaves editing mode; F1 opens About
// (Ctrl+N and Ctrl+Q are the desktop session test's, on the real program).
TEST_F(Screen, TheKeyboardAloneDoesEverything) {
  auto ringOnFocus = [&] {
    const std::vector<QQuickItem*> rings = user.shownFocusRings();
    QQuickItem* focus = user.focused();
    if (rings.size() != 1 || focus == nullptr) return false;
    const QRectF ring =
        rings[0]->mapRectToScene(QRectF(0, 0, rings[0]->width(), rings[0]->height()));
    return ring.contains(focus->mapToScene(QPointF(focus->width() / 2, focus->height() / 2)));
  };
  ASSERT_TRUE(user.tabTo(RightItem));
  EXPECT_TRUE(ringOnFocus()) << "a bar button";
  user.key(Qt::Key_Return);
  EXPECT_TRUE(user.hasFocus(EnvelopeName));
  user.typeKeys("Food");
  ASSERT_TRUE(user.tabTo(BlueButton));
  EXPECT_TRUE(ringOnFocus()) << "a colour";
  user.key(Qt::Key_Space);
  ASSERT_TRUE(user.tabTo(EnvelopeName, true));
  user.key(Qt::Key_Return);
  ASSERT_TRUE(user.tabTo(EnvelopeName, true));
  user.typeKeys("Rent");
  ASSERT_TRUE(user.tabTo(AddButton));
  EXPECT_TRUE(ringOnFocus()) << "the save button";
  user.key(Qt::Key_Return);
  EXPECT_EQ(user.store().categoryNames(), (std::vector<std::string>{"Food", "Rent"}));
  EXPECT_EQ(user.store().envelopeColors(), (std::vector<std::int64_t>{3, 3}));
  user.key(Qt::Key_Escape);
  EXPECT_TRUE(user.hasFocus({EnvelopeRow, 0}));
  EXPECT_TRUE(ringOnFocus()) << "a row";

  // Record two amounts in Rent and delete the newest.
  user.key(Qt::Key_Down);
  EXPECT_TRUE(user.hasFocus({EnvelopeRow, 1}));
  user.key(Qt::Key_Return);
  EXPECT_TRUE(user.hasFocus(EnterAmount));
  user.typeKeys("12,5");
  user.key(Qt::Key_Return);  // on to the note
  user.typeKeys("Pay");
  ASSERT_TRUE(user.tabTo(AddAmountButton));
  user.key(Qt::Key_Return);
  ASSERT_TRUE(user.tabTo(EnterAmount, true));
  user.typeKeys("2");
  ASSERT_TRUE(user.tabTo(SubtractAmountButton));
  user.key(Qt::Key_Space);
  EXPECT_EQ(user.store().categoryAmounts()[1], 10.5);
  ASSERT_TRUE(user.tabTo({TransactionRow, 0}));
  user.key(Qt::Key_Delete);
  EXPECT_EQ(user.store().categoryAmounts()[1], 12.5);
  EXPECT_EQ(user.store().detailArrays()[1].back(), "Pay");

  // Rent's row actions; the confirmation opens on Cancel, and Return there cancels.
  user.key(Qt::Key_Escape);
  user.key(Qt::Key_Down);
  user.key(Qt::Key_Menu);
  EXPECT_TRUE(user.hasFocus("Delete"));
  EXPECT_TRUE(ringOnFocus()) << "a row action";
  user.key(Qt::Key_Escape);  // hides the actions and stays on the row
  EXPECT_TRUE(user.hasFocus({EnvelopeRow, 1}));
  user.key(Qt::Key_Menu);
  ASSERT_TRUE(user.tabTo("Reset Balance"));
  EXPECT_TRUE(ringOnFocus()) << "a row action";
  user.key(Qt::Key_Return);
  EXPECT_TRUE(user.hasFocus("Cancel"));
  EXPECT_TRUE(ringOnFocus()) << "a dialog button";
  user.key(Qt::Key_Return);
  EXPECT_EQ(user.store().categoryAmounts()[1], 12.5);
  EXPECT_TRUE(user.hasFocus({EnvelopeRow, 1})) << "back on the row";
  user.key(Qt::Key_Menu);
  ASSERT_TRUE(user.tabTo("Reset Balance"));
  user.key(Qt::Key_Return);
  ASSERT_TRUE(user.tabTo("Reset"));
  user.key(Qt::Key_Return);
  EXPECT_EQ(user.store().categoryAmounts()[1], 0.0);

  // Move Food below Rent in editing mode, which Escape leaves.
  ASSERT_TRUE(user.tabTo(EditItem));
  user.key(Qt::Key_Return);
  ASSERT_TRUE(user.tabTo({EnvelopeRow, 0}));
  user.key(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(user.store().categoryNames(), (std::vector<std::string>{"Rent", "Food"}));
  EXPECT_TRUE(user.hasFocus({EnvelopeRow, 1})) << "the moved row keeps the focus";
  user.key(Qt::Key_Escape);
  EXPECT_EQ(user.findInPage(user.find({EnvelopeRow, 0}), ReorderHandle), nullptr);
  EXPECT_EQ(user.textOf(EditItem), "Edit");

  user.key(Qt::Key_F1);
  EXPECT_TRUE(user.hasFocus(AboutText));
  user.key(Qt::Key_Escape);
  EXPECT_TRUE(user.hasFocus({EnvelopeRow, 0}));
}

// Every text on every screen stands out from what it is drawn on, in the palette the platform
// gives: light here, dark where the desktop's platform theme is dark (this test runs there too,
// with ALLOT_TEST_DARK_DESKTOP set); and the layer behind a confirmation darkens what it covers.
TEST_F(Screen, EveryTextStandsOutInThePlatformsPaletteAndDialogsDimWhatIsBehind) {
  const bool dark = QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
  ASSERT_EQ(dark, qEnvironmentVariableIsSet("ALLOT_TEST_DARK_DESKTOP"));
  auto expectReadable = [&](const char* screen) {
    for (const ShownText& shown : user.shownTexts()) {
      EXPECT_GE(shown.contrast, shown.large ? 3.0 : 4.5)
          << screen << ": " << shown.text.toStdString();
    }
  };
  expectReadable("the empty list");
  user.click(RightItem);
  user.click(AddButton);  // refused: the message, and the placeholder
  expectReadable("the editor");
  user.click(BackButton);
  addEnvelopes({{"Food", PurpleButton}, {"Rent", RedButton}, {"Fun", YellowButton}});
  user.click({EnvelopeRow, 1});
  user.type(EnterAmount, "5");
  user.click(SubtractAmountButton);
  expectReadable("the transactions");
  user.click(BackButton);
  expectReadable("the list");
  user.swipeLeft(user.find({EnvelopeRow, 0}), 200);
  expectReadable("the row actions");

  const QPoint belowTheRows(8, static_cast<int>(user.window().height()) - 120);
  const double before = user.pixel(belowTheRows).lightnessF();
  user.click("Delete");
  EXPECT_LT(user.pixel(belowTheRows).lightnessF(), before - 0.05);
  expectReadable("the confirmation");
  user.click("Cancel");
  user.click(AboutItem);
  expectReadable("About");
}

// In a narrow window a long name gives way in the title; the balance after it is shown whole.
TEST_F(Screen, ALongNameGivesWayInTheTitleAndItsBalanceStaysWhole) {
  user.resize(320, 480);
  addEnvelopes({{QString(40, 'W'), GreenButton}});
  user.click({EnvelopeRow, 0});
  user.type(EnterAmount, "99999999.99");
  user.click(AddAmountButton);
  EXPECT_EQ(user.textOf(NavigationTitle), "\u2068" + QString(40, 'W') + "\u2069: 99,999,999.99");
  QQuickItem* name = user.find(NavigationTitleName);
  QQuickItem* amount = user.find(NavigationTitleAmount);
  EXPECT_TRUE(name->property("truncated").toBool());
  EXPECT_EQ(amount->property("text").toString(), ": 99,999,999.99");
  EXPECT_FALSE(amount->property("truncated").toBool());
  EXPECT_LE(amount->mapToScene({amount->width(), 0}).x(), user.window().width());
}

// A window wide enough for two pages shows the envelope list beside the open envelope, and the
// list stays current while both are shown; the form keeps to a readable measure. Narrow again, it
// shows one page at a time.
TEST_F(Screen, AWideWindowShowsTheListBesideTheOpenEnvelope) {
  user.resize(1280, 800);
  addEnvelopes({{"Food", GreenButton}, {"Rent", RedButton}});
  user.click({EnvelopeRow, 1});
  auto shown = [](QQuickItem* item) {
    return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
  };
  const QRectF column = shown(user.find(BesideColumn));
  EXPECT_TRUE(column.contains(shown(user.find(EnvelopeListView))));
  EXPECT_GE(shown(user.find(EnterAmount)).left(), column.right());
  user.type(EnterAmount, "5");
  user.click(AddAmountButton);
  EXPECT_EQ(rowText(user, 1, EnvelopeTotalLabel), "5.00");
  EXPECT_EQ(user.textOf(TotalLabel), "Total: 5.00");
  for (const layout::Outlet control : {EnterAmount, AddAmountButton, SubtractAmountButton}) {
    EXPECT_LE(user.find(control)->width(), 560) << layout::name(control);
  }
  // A row of the list beside opens its envelope in the place of the one shown.
  user.click({EnvelopeRow, 0});
  EXPECT_EQ(user.findInPage(user.find(NavigationBar), NavigationTitle)->property("text"),
            "\u2068Food\u2069: 0.00");
  EXPECT_EQ(user.store().categoryAmounts()[1], 5.0);

  user.resize(390, 844);
  EXPECT_EQ(user.findInPage(user.window().contentItem(), EnvelopeListView), nullptr);
  user.click(BackButton);
  EXPECT_NE(user.findInPage(user.page(), EnvelopeListView), nullptr);
}

// The window opens at a phone's proportions where the screen has room for them, never larger than
// the screen's free area (this test runs again on a 1366 x 768 screen, and on a 900-pixel-high one
// at a scale factor of 2), and stays freely resizable.
TEST_F(Screen, TheFirstSizeFitsTheScreenAndTheWindowResizesFreely) {
  const QRect room = user.window().screen()->availableGeometry();
  EXPECT_EQ(user.window().width(), std::min(390, room.width()));
  EXPECT_LE(user.window().height(), room.height());
  if (room.height() >= 900) EXPECT_EQ(user.window().height(), 844);
  EXPECT_LE(user.window().minimumHeight(), user.window().height());
  user.resize(1280, 800);
  EXPECT_EQ(user.window().size(), QSize(1280, 800));
}

// Changes are committed soon without leaving the window (typing alone is no change), and each can
// be taken back: a transaction deleted by a swipe, from the notice's Undo; an envelope deleted
// through its confirmation, with Ctrl+Z. Each comes back where it was, on screen and in the store.
TEST_F(Screen, ChangesAreCommittedSoonAndCanBeTakenBack) {
  TemporaryDirectory folder;
  const std::filesystem::path file = folder.path() / "defaults.sqlite3";
  SqliteUserDefaults defaults(file);
  ScreenDriver window(defaults, file);
  auto saved = [&](const char* key, const Value& value) {
    return window.waitFor([&] { return SqliteUserDefaults(file).valueForKey(key) == value; }, 5000);
  };
  window.click(RightItem);
  for (const char* name : {"Food", "Rent"}) {
    window.type(EnvelopeName, name);
    window.click(AddButton);
  }
  window.click(BackButton);
  EXPECT_TRUE(saved("categoryNames", Value(Value::List{"Food", "Rent"})));
  EXPECT_EQ(window.application().applicationState(), kit::ApplicationState::Active);
  window.click({EnvelopeRow, 1});
  window.type(EnterAmount, "5");
  EXPECT_FALSE(window.application().hasUnsavedChanges());
  window.click(AddAmountButton);
  window.type(EnterAmount, "7");
  window.click(SubtractAmountButton);
  EXPECT_EQ(window.textOf(NoticeText), "Recorded the transaction.");

  window.useTouch();  // a finger's full swipe deletes; the mouse's only reveals
  window.swipeLeft(window.find({TransactionRow, 0}), 300);
  EXPECT_EQ(window.textOf(NoticeText), "Deleted the transaction.");
  EXPECT_EQ(window.textOf(NavigationTitle), "\u2068Rent\u2069: 5.00");
  window.click(NoticeAction);
  EXPECT_EQ(window.textOf(NavigationTitle), "\u2068Rent\u2069: -2.00");
  EXPECT_EQ(window.find({TransactionRow, 0})->property("accessibleName").toString(), "-7.00");
  EXPECT_EQ(window.window().findChild<QQuickItem*>(Named(NoticeBar).text), nullptr);

  window.click(BackButton);
  window.swipeLeft(window.find({EnvelopeRow, 1}), 200);
  window.click("Delete");
  window.click("Delete");
  EXPECT_EQ(window.store().categoryNames(), std::vector<std::string>{"Food"});
  EXPECT_TRUE(saved("categoryNames", Value(Value::List{"Food"})));
  window.key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(rowText(window, 1, EnvelopeNameText), "Rent");
  EXPECT_EQ(rowText(window, 1, EnvelopeTotalLabel), "-2.00");
  EXPECT_EQ(window.textOf(TotalLabel), "Total: -2.00");
  EXPECT_TRUE(saved("categoryAmounts", Value(Value::List{0.0, -2.0})));
  EXPECT_TRUE(saved("totalAmount", Value(-2.0)));
}

// A notice about the stored budget stands above the screens until it is dismissed.
TEST_F(Screen, ANoticeAboutTheStoredBudgetShowsAboveTheScreens) {
  TemporaryDirectory folder;
  const std::filesystem::path file = folder.path() / "defaults.sqlite3";
  runSql(file, "PRAGMA application_id = 1097624692; PRAGMA user_version = 9;");
  SqliteUserDefaults defaults(file);
  ScreenDriver window(defaults, file);
  EXPECT_TRUE(window.find(NoticeBar)->isVisible());
  EXPECT_TRUE(window.textOf(NoticeText).contains("newer version of Allot"));
  EXPECT_GE(window.find(EnvelopeListView)->mapToScene({0, 0}).y(),
            window.find(NoticeBar)->mapToScene({0, window.find(NoticeBar)->height()}).y());
  // The About text, scrolled down, is back at its first line when the notice goes and the page
  // grows: a layout pass like any other.
  window.click(AboutItem);
  window.key(Qt::Key_PageDown);
  QQuickItem* about = window.find(AboutFlickable);
  ASSERT_GT(about->property("contentY").toDouble(), 0.0);
  window.click(NoticeDismiss);
  EXPECT_TRUE(window.waitFor(
      [&] { return window.window().findChild<QQuickItem*>(Named(NoticeBar).text) == nullptr; }));
  EXPECT_EQ(about->property("contentY").toDouble(), 0.0);
}

}  // namespace
}  // namespace allot::testing
