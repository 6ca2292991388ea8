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
  void addEnvelopes(const std::vector<std::pair<QString, QString>>& namesAndColours) {
    user.click("rightItem");
    for (const auto& [name, colour] : namesAndColours) {
      user.click(colour);
      user.type("envelopeName", name);
      user.click("addButton");
    }
    user.click("backButton");
  }

  QString rowText(int row, const char* label) {
    QQuickItem* envelope = user.find("envelopeRow" + QString::number(row));
    QQuickItem* item = user.findInPage(envelope, label);
    return item != nullptr ? item->property("text").toString() : QString();
  }

  InMemoryUserDefaults defaults;
  ScreenDriver user{defaults};
};

TEST_F(Screen, AddEnvelopesAndRecordAnAmountWithAComma) {
  EXPECT_TRUE(user.find("emptyHint")->isVisible());
  EXPECT_EQ(user.textOf("totalLabel"), "Total: 0.00");

  // In the editor, a colour or a refused save leaves the keyboard in the name field.
  user.click("rightItem");
  user.click("envelopeName");
  user.click("purpleButton");
  EXPECT_TRUE(user.find("envelopeName")->hasActiveFocus());
  user.click("addButton");
  EXPECT_TRUE(user.find("envelopeName")->hasActiveFocus());
  user.click("backButton");

  addEnvelopes({{"Food", "purpleButton"}, {"Rent", "blueButton"}});
  EXPECT_EQ(rowText(0, "envelopeNameText"), "Food");
  // The name sits on its envelope's colour, converted from Display P3 for the screen.
  QQuickItem* nameLabel = user.findInPage(user.find("envelopeRow0"), "envelopeNameLabel");
  EXPECT_EQ(nameLabel->property("color").value<QColor>(), qt::toQColor(paletteColor(4)));
  EXPECT_EQ(rowText(0, "envelopeTotalLabel"), "0.00");

  user.click("envelopeRow1");
  EXPECT_EQ(user.textOf("navigationTitle"), "\u2068Rent\u2069: 0.00");
  user.type("enterAmount", "12,5");
  user.key(Qt::Key_Return);  // Enter alone records nothing
  EXPECT_EQ(user.store().categoryAmounts()[1], 0.0);
  user.type("optionalNote", "Deposit");
  user.click("addAmountButton");
  EXPECT_EQ(user.textOf("resultsLabel"), "Transaction of 12.50 recorded.");
  EXPECT_EQ(user.textOf("navigationTitle"), "\u2068Rent\u2069: 12.50");
  EXPECT_FALSE(user.find("enterAmount")->hasActiveFocus()) << "the keyboard went away";

  // A transaction without a note shows its empty description, nothing in its place.
  user.type("enterAmount", "1");
  user.click("addAmountButton");
  QQuickItem* newest = user.find("transactionRow0");
  EXPECT_EQ(newest->property("textLabel").value<qt::CellLabel>().text, "");
  EXPECT_EQ(newest->property("accessibleName").toString(), "1.00");

  user.click("backButton");
  EXPECT_EQ(rowText(1, "envelopeTotalLabel"), "13.50");
  EXPECT_EQ(user.textOf("totalLabel"), "Total: 13.50");

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
// then, in landscape and at 320 x 480, every screen's controls stay in view.
TEST_F(Screen, AFingerTapsSwipesAndDrags) {
  user.useTouch();
  user.resize(360, 720);
  addEnvelopes({{"Food", "greenButton"}, {"Rent", "redButton"}, {"Fun", "yellowButton"}});
  ASSERT_EQ(user.store().envelopeCount(), 3u);
  user.swipeLeft(user.find("envelopeRow1"), 200);
  // The three actions, in order.
  QQuickItem* remove = user.find("Delete");
  QQuickItem* edit = user.find("Edit Details");
  QQuickItem* reset = user.find("Reset Balance");
  ASSERT_TRUE(remove && edit && reset);
  EXPECT_LT(remove->mapToScene({0, 0}).x(), edit->mapToScene({0, 0}).x());
  EXPECT_LT(edit->mapToScene({0, 0}).x(), reset->mapToScene({0, 0}).x());
  user.click(remove);
  EXPECT_EQ(user.textOf("alertMessage"),
            "Permanently delete \"\u2068Rent\u2069\" and its balance?");
  user.click("Cancel");
  EXPECT_EQ(user.store().envelopeCount(), 3u);

  // A swipe past most of the width asks at once.
  user.swipeLeft(user.find("envelopeRow1"), 300);
  user.click("Delete");
  EXPECT_EQ(user.store().categoryNames(), (std::vector<std::string>{"Food", "Fun"}));
  // The row goes with the reload: the list has no deletion animation.
  EXPECT_EQ(user.find("envelopeList")->property("remove").value<QObject*>(), nullptr);

  user.click("leftItemEdit");
  QQuickItem* firstRow = user.find("envelopeRow0");
  const qreal top = firstRow->mapToScene({0, 0}).y();
  user.dragVertically(user.findInPage(firstRow, "reorderHandle"),
                      static_cast<int>(firstRow->height()), [&] {
                        user.settle();
                        EXPECT_EQ(user.find("envelopeRow1")->mapToScene({0, 0}).y(), top);
                        QQuickItem* landing = user.findInPage(firstRow, "landingPlace");
                        ASSERT_NE(landing, nullptr);
                        EXPECT_NEAR(landing->mapToScene({0, landing->height() / 2}).y(),
                                    top + firstRow->height() * 1.5, 1);
                      });
  EXPECT_EQ(user.store().categoryNames(), (std::vector<std::string>{"Fun", "Food"}));
  EXPECT_EQ(user.store().envelopeColors(), (std::vector<std::int64_t>{1, 2}));
  user.click("leftItemDone");
  EXPECT_EQ(user.findInPage(user.find("envelopeRow0"), "reorderHandle"), nullptr);

  auto inView = [&](const char* name) {
    QQuickItem* item = user.find(name);
    const QRectF shown = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    return QRectF(0, 0, user.window().width(), user.window().height()).contains(shown);
  };
  for (const QSize size : {QSize(720, 360), QSize(320, 480)}) {
    user.resize(size.width(), size.height());
    EXPECT_TRUE(inView("totalLabel") && inView("rightItem") && inView("leftItemAbout"));
    user.click("envelopeRow0");
    EXPECT_TRUE(inView("addAmountButton") && inView("subtractAmountButton") &&
                inView("resultsLabel"));
    user.click("backButton");
    user.click("rightItem");
    EXPECT_TRUE(inView("envelopeName") && inView("purpleButton") && inView("addButton"));
    user.click("backButton");
  }
}

// The mouse: a row shades under the pointer, which turns into a hand where a click opens
// something; a drag reveals the row actions but never deletes, and they leave the name in view; a
// right-click menu and a touchpad's sideways swipe reach the same actions.
TEST_F(Screen, AMouseHoversRightClicksAndSwipesSideways) {
  addEnvelopes({{"Food", "greenButton"}, {"Rent", "redButton"}, {"Fun", "yellowButton"}});
  QQuickItem* rent = user.find("envelopeRow1");
  const QPoint blank = rent->mapToScene({rent->width() * 0.55, rent->height() / 2}).toPoint();
  const QColor unshaded = user.pixel(blank);
  user.hover(blank);
  EXPECT_NE(user.pixel(blank), unshaded);
  EXPECT_EQ(user.cursor(), Qt::PointingHandCursor);
  user.hover(user.find("totalLabel"));
  EXPECT_EQ(user.cursor(), Qt::ArrowCursor);
  user.hover(user.find("rightItem"));
  EXPECT_EQ(user.cursor(), Qt::PointingHandCursor);

  user.swipeLeft(rent, 300);
  EXPECT_EQ(
      dynamic_cast<kit::AlertController*>(user.application().window().visibleViewController()),
      nullptr);
  ASSERT_NE(user.find("Delete"), nullptr);
  QQuickItem* name = user.findInPage(rent, "envelopeNameText");
  const QRectF nameShown = name->mapRectToScene({0, 0, name->width(), name->height()});
  EXPECT_GE(nameShown.left(), 0);
  EXPECT_LE(nameShown.right(), user.find("Delete")->mapToScene({0, 0}).x());
  EXPECT_FALSE(name->property("truncated").toBool());

  user.rightClick(user.find("envelopeRow0"));
  user.click("Reset Balance");
  EXPECT_EQ(user.textOf("alertMessage"),
            "Reset the balance and clear all transactions for \"\u2068Food\u2069\"?");
  user.click("Cancel");

  QQuickItem* fun = user.find("envelopeRow2");
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
  ASSERT_TRUE(user.press("rightItem"));
  user.type("envelopeName", "Food");
  ASSERT_TRUE(user.press("purpleButton"));
  const QAccessible::State purple = user.accessible("purpleButton")->state();
  EXPECT_EQ(user.accessible("purpleButton")->role(), QAccessible::RadioButton);
  EXPECT_TRUE(purple.checkable && purple.checked);
  EXPECT_FALSE(user.accessible("redButton")->state().checked);
  ASSERT_TRUE(user.press("addButton"));
  ASSERT_TRUE(user.press("backButton"));
  EXPECT_EQ(user.store().envelopeColors(), std::vector<std::int64_t>{4});
  EXPECT_EQ(user.accessible("navigationTitle")->role(), QAccessible::Heading);

  QAccessibleInterface* row = user.accessible("envelopeRow0");
  EXPECT_EQ(row->role(), QAccessible::ListItem);
  EXPECT_EQ(row->text(QAccessible::Name), "Food, balance 0.00");
  EXPECT_EQ(row->actionInterface()->actionNames(),
            (QStringList{"Open", "Delete", "Edit Details", "Reset Balance"}));
  EXPECT_TRUE(user.act("envelopeRow0", "Open"));
  user.type("enterAmount", "3");
  ASSERT_TRUE(user.press("subtractAmountButton"));
  user.type("enterAmount", "1");
  ASSERT_TRUE(user.press("addAmountButton"));
  // Read newest first, as shown; a transaction row's one action deletes it.
  const QStringList order = user.readingOrder();
  EXPECT_LT(order.indexOf("1.00"), order.indexOf("-3.00"));
  EXPECT_TRUE(user.act("transactionRow0", "Delete"));
  EXPECT_EQ(user.store().categoryAmounts()[0], -3.0);
  ASSERT_TRUE(user.press("backButton"));

  // The focus moves as a screen reader hears of it: onto an item that is in the accessible tree
  // and says it has the focus.
  auto focusedControl = [&]() -> QAccessibleInterface* {
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(user.focused());
    return control != nullptr && control->state().focused ? control : nullptr;
  };

  // Actions that Shift+F10 (or a swipe) reveals are the row's children while they show; the focus
  // moves to the first.
  user.key(Qt::Key_F10, Qt::ShiftModifier);
  row = user.accessible("envelopeRow0");
  ASSERT_EQ(row->childCount(), 3);
  QStringList actions;
  for (int i = 0; i < row->childCount(); ++i) actions << row->child(i)->text(QAccessible::Name);
  EXPECT_EQ(actions, (QStringList{"Delete", "Edit Details", "Reset Balance"}));
  ASSERT_NE(focusedControl(), nullptr);
  EXPECT_EQ(focusedControl()->object(), row->child(0)->object());
  EXPECT_EQ(focusedControl()->parent()->object(), row->object());
  EXPECT_EQ(row->indexOfChild(row->child(2)), 2);
  const QPoint reset = row->child(2)->rect().center();
  EXPECT_EQ(row->childAt(reset.x(), reset.y())->object(), row->child(2)->object());
  user.key(Qt::Key_Escape);
  EXPECT_EQ(row->childCount(), 0);

  // A confirmation opens with the focus on Cancel; its message is read before its buttons; Escape
  // cancels it.
  EXPECT_TRUE(user.act("envelopeRow0", "Delete"));
  ASSERT_NE(focusedControl(), nullptr);
  EXPECT_EQ(focusedControl()->object(), user.accessible("Cancel")->object());
  EXPECT_EQ(focusedControl()->role(), QAccessible::Button);
  const QStringList alert = user.readingOrder();
  const qsizetype message =
      alert.indexOf("Permanently delete \"\u2068Food\u2069\" and its balance?");
  EXPECT_GE(message, 0);
  EXPECT_LT(message, alert.indexOf("Cancel"));
  user.key(Qt::Key_Escape);
  EXPECT_EQ(user.store().envelopeCount(), 1u);
  EXPECT_TRUE(user.act("envelopeRow0", "Reset Balance"));
  ASSERT_TRUE(user.press("Reset"));
  EXPECT_EQ(user.store().categoryAmounts()[0], 0.0);

  // The About text is read paragraph by paragraph, its headings as headings.
  ASSERT_TRUE(user.press("leftItemAbout"));
  const QStringList about = user.readingOrder();
  EXPECT_TRUE(about.contains("How envelopes work"));
  EXPECT_TRUE(std::any_of(about.begin(), about.end(),
                          [](const QString& text) { return text.startsWith("Each envelope"); }));
  user.key(Qt::Key_Escape);
  EXPECT_NE(user.findInPage(user.page(), "envelopeList"), nullptr);
}

// The whole journey with the keyboard alone: every control is reached with Tab, rows with the
// arrow keys, each screen opens with the focus on its first field or row, and one focus ring
// surrounds whatever has the focus. Return presses the focused button (and saves from the name
// field), Escape goes back, hides row actions, cancels and leaves editing mode; Ctrl+N, F1 and
// Ctrl+Q press +, About and close the window.
TEST_F(Screen, TheKeyboardAloneDoesEverything) {
  auto focusedName = [&] {
    QQuickItem* item = user.focused();
    if (item == nullptr) return QString();
    if (!item->objectName().isEmpty()) return item->objectName();
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(item);
    return control != nullptr ? control->text(QAccessible::Name) : QString();
  };
  auto ringOnFocus = [&] {
    const std::vector<QQuickItem*> rings = user.shownFocusRings();
    QQuickItem* focus = user.focused();
    if (rings.size() != 1 || focus == nullptr) return false;
    const QRectF ring =
        rings[0]->mapRectToScene(QRectF(0, 0, rings[0]->width(), rings[0]->height()));
    return ring.contains(focus->mapToScene(QPointF(focus->width() / 2, focus->height() / 2)));
  };
  ASSERT_TRUE(user.tabTo("rightItem"));
  EXPECT_TRUE(ringOnFocus()) << "a bar button";
  user.key(Qt::Key_Return);
  EXPECT_EQ(focusedName(), "envelopeName");
  user.typeKeys("Food");
  ASSERT_TRUE(user.tabTo("blueButton"));
  EXPECT_TRUE(ringOnFocus()) << "a colour";
  user.key(Qt::Key_Space);
  ASSERT_TRUE(user.tabTo("envelopeName", true));
  user.key(Qt::Key_Return);
  ASSERT_TRUE(user.tabTo("envelopeName", true));
  user.typeKeys("Rent");
  ASSERT_TRUE(user.tabTo("addButton"));
  EXPECT_TRUE(ringOnFocus()) << "the save button";
  user.key(Qt::Key_Return);
  EXPECT_EQ(user.store().categoryNames(), (std::vector<std::string>{"Food", "Rent"}));
  EXPECT_EQ(user.store().envelopeColors(), (std::vector<std::int64_t>{3, 3}));
  user.key(Qt::Key_Escape);
  EXPECT_EQ(focusedName(), "envelopeRow0");
  EXPECT_TRUE(ringOnFocus()) << "a row";

  // Record two amounts in Rent and delete the newest.
  user.key(Qt::Key_Down);
  EXPECT_EQ(focusedName(), "envelopeRow1");
  user.key(Qt::Key_Return);
  EXPECT_EQ(focusedName(), "enterAmount");
  user.typeKeys("12,5");
  user.key(Qt::Key_Return);  // on to the note
  user.typeKeys("Pay");
  ASSERT_TRUE(user.tabTo("addAmountButton"));
  user.key(Qt::Key_Return);
  ASSERT_TRUE(user.tabTo("enterAmount", true));
  user.typeKeys("2");
  ASSERT_TRUE(user.tabTo("subtractAmountButton"));
  user.key(Qt::Key_Space);
  EXPECT_EQ(user.store().categoryAmounts()[1], 10.5);
  ASSERT_TRUE(user.tabTo("transactionRow0"));
  user.key(Qt::Key_Delete);
  EXPECT_EQ(user.store().categoryAmounts()[1], 12.5);
  EXPECT_EQ(user.store().detailArrays()[1].back(), "Pay");

  // Rent's row actions; the confirmation opens on Cancel, and Return there cancels.
  user.key(Qt::Key_Escape);
  user.key(Qt::Key_Down);
  user.key(Qt::Key_Menu);
  EXPECT_EQ(focusedName(), "Delete");
  EXPECT_TRUE(ringOnFocus()) << "a row action";
  user.key(Qt::Key_Escape);  // hides the actions and stays on the row
  EXPECT_EQ(focusedName(), "envelopeRow1");
  user.key(Qt::Key_Menu);
  ASSERT_TRUE(user.tabTo("Reset Balance"));
  EXPECT_TRUE(ringOnFocus()) << "a row action";
  user.key(Qt::Key_Return);
  EXPECT_EQ(focusedName(), "Cancel");
  EXPECT_TRUE(ringOnFocus()) << "a dialog button";
  user.key(Qt::Key_Return);
  EXPECT_EQ(user.store().categoryAmounts()[1], 12.5);
  EXPECT_EQ(focusedName(), "envelopeRow1") << "back on the row";
  user.key(Qt::Key_Menu);
  ASSERT_TRUE(user.tabTo("Reset Balance"));
  user.key(Qt::Key_Return);
  ASSERT_TRUE(user.tabTo("Reset"));
  user.key(Qt::Key_Return);
  EXPECT_EQ(user.store().categoryAmounts()[1], 0.0);

  // Move Food below Rent in editing mode, which Escape leaves.
  ASSERT_TRUE(user.tabTo("leftItemEdit"));
  user.key(Qt::Key_Return);
  ASSERT_TRUE(user.tabTo("envelopeRow0"));
  user.key(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(user.store().categoryNames(), (std::vector<std::string>{"Rent", "Food"}));
  EXPECT_EQ(focusedName(), "envelopeRow1") << "the moved row keeps the focus";
  user.key(Qt::Key_Escape);
  EXPECT_EQ(user.findInPage(user.find("envelopeRow0"), "reorderHandle"), nullptr);
  EXPECT_TRUE(user.find("leftItemEdit")->isVisible());

  user.key(Qt::Key_F1);
  EXPECT_EQ(focusedName(), "aboutText");
  user.key(Qt::Key_Escape);
  EXPECT_EQ(focusedName(), "envelopeRow0");
  user.key(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(focusedName(), "envelopeName");
  EXPECT_EQ(user.textOf("envelopeName"), "");
  user.typeKeys("Gas");
  user.key(Qt::Key_Return);
  EXPECT_EQ(user.store().categoryNames().back(), "Gas") << "the editor is in add mode";
  user.key(Qt::Key_Escape);
  user.key(Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(user.window().isVisible());
  EXPECT_EQ(user.application().applicationState(), kit::ApplicationState::Inactive)
      << "the quit resigned, saving the budget";
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
  user.click("rightItem");
  user.click("addButton");  // refused: the message, and the placeholder
  expectReadable("the editor");
  user.click("backButton");
  addEnvelopes({{"Food", "purpleButton"}, {"Rent", "redButton"}, {"Fun", "yellowButton"}});
  user.click("envelopeRow1");
  user.type("enterAmount", "5");
  user.click("subtractAmountButton");
  expectReadable("the transactions");
  user.click("backButton");
  expectReadable("the list");
  user.swipeLeft(user.find("envelopeRow0"), 200);
  expectReadable("the row actions");

  const QPoint belowTheRows(8, static_cast<int>(user.window().height()) - 120);
  const double before = user.pixel(belowTheRows).lightnessF();
  user.click("Delete");
  EXPECT_LT(user.pixel(belowTheRows).lightnessF(), before - 0.05);
  expectReadable("the confirmation");
  user.click("Cancel");
  user.click("leftItemAbout");
  expectReadable("About");
}

// In a narrow window a long name gives way in the title; the balance after it is shown whole.
TEST_F(Screen, ALongNameGivesWayInTheTitleAndItsBalanceStaysWhole) {
  user.resize(320, 480);
  addEnvelopes({{QString(40, 'W'), "greenButton"}});
  user.click("envelopeRow0");
  user.type("enterAmount", "99999999.99");
  user.click("addAmountButton");
  EXPECT_EQ(user.textOf("navigationTitle"), "\u2068" + QString(40, 'W') + "\u2069: 99,999,999.99");
  QQuickItem* name = user.find("navigationTitleName");
  QQuickItem* amount = user.find("navigationTitleAmount");
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
  addEnvelopes({{"Food", "greenButton"}, {"Rent", "redButton"}});
  user.click("envelopeRow1");
  auto shown = [](QQuickItem* item) {
    return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
  };
  const QRectF column = shown(user.find("besideColumn"));
  EXPECT_TRUE(column.contains(shown(user.find("envelopeList"))));
  EXPECT_GE(shown(user.find("enterAmount")).left(), column.right());
  user.type("enterAmount", "5");
  user.click("addAmountButton");
  EXPECT_EQ(rowText(1, "envelopeTotalLabel"), "5.00");
  EXPECT_EQ(user.textOf("totalLabel"), "Total: 5.00");
  for (const char* control : {"enterAmount", "addAmountButton", "subtractAmountButton"}) {
    EXPECT_LE(user.find(control)->width(), 560) << control;
  }
  // A row of the list beside opens its envelope in the place of the one shown.
  user.click("envelopeRow0");
  EXPECT_EQ(user.findInPage(user.find("navigationBar"), "navigationTitle")->property("text"),
            "\u2068Food\u2069: 0.00");
  EXPECT_EQ(user.store().categoryAmounts()[1], 5.0);

  user.resize(390, 844);
  EXPECT_EQ(user.findInPage(user.window().contentItem(), "envelopeList"), nullptr);
  user.click("backButton");
  EXPECT_NE(user.findInPage(user.page(), "envelopeList"), nullptr);
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

// Changes reach the file soon after they are made, while the window stays active; typing alone
// changes nothing and saves nothing.
// Changes are committed soon without leaving the window, and each can be taken back: a
// transaction deleted by a swipe, from the notice's Undo; an envelope deleted through its
// confirmation, with Ctrl+Z. Each comes back where it was, on the screen and in the saved store.
TEST_F(Screen, ChangesAreCommittedSoonAndCanBeTakenBack) {
  TemporaryDirectory folder;
  const std::filesystem::path file = folder.path() / "defaults.sqlite3";
  SqliteUserDefaults defaults(file);
  ScreenDriver window(defaults, file);
  auto saved = [&](const char* key, const Value& value) {
    return window.waitFor([&] { return SqliteUserDefaults(file).valueForKey(key) == value; }, 5000);
  };
  window.click("rightItem");
  for (const char* name : {"Food", "Rent"}) {
    window.type("envelopeName", name);
    window.click("addButton");
  }
  window.click("backButton");
  EXPECT_TRUE(saved("categoryNames", Value(Value::List{"Food", "Rent"})));
  EXPECT_EQ(window.application().applicationState(), kit::ApplicationState::Active);
  window.click("envelopeRow1");
  window.type("enterAmount", "5");
  EXPECT_FALSE(window.application().hasUnsavedChanges());
  window.click("addAmountButton");
  window.type("enterAmount", "7");
  window.click("subtractAmountButton");
  EXPECT_EQ(window.textOf("noticeText"), "Recorded the transaction.");

  window.useTouch();  // a finger's full swipe deletes; the mouse's only reveals
  window.swipeLeft(window.find("transactionRow0"), 300);
  EXPECT_EQ(window.textOf("noticeText"), "Deleted the transaction.");
  EXPECT_EQ(window.textOf("navigationTitle"), "\u2068Rent\u2069: 5.00");
  window.click("noticeAction");
  EXPECT_EQ(window.textOf("navigationTitle"), "\u2068Rent\u2069: -2.00");
  EXPECT_EQ(window.find("transactionRow0")->property("accessibleName").toString(), "-7.00");
  EXPECT_EQ(window.window().findChild<QQuickItem*>("noticeBar"), nullptr);

  window.click("backButton");
  window.swipeLeft(window.find("envelopeRow1"), 200);
  window.click("Delete");
  window.click("Delete");
  EXPECT_EQ(window.store().categoryNames(), std::vector<std::string>{"Food"});
  EXPECT_TRUE(saved("categoryNames", Value(Value::List{"Food"})));
  window.key(Qt::Key_Z, Qt::ControlModifier);
  auto rowText = [&](const char* label) {
    return window.findInPage(window.find("envelopeRow1"), label)->property("text").toString();
  };
  EXPECT_EQ(rowText("envelopeNameText"), "Rent");
  EXPECT_EQ(rowText("envelopeTotalLabel"), "-2.00");
  EXPECT_EQ(window.textOf("totalLabel"), "Total: -2.00");
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
  EXPECT_TRUE(window.find("noticeBar")->isVisible());
  EXPECT_TRUE(window.textOf("noticeText").contains("newer version of Allot"));
  EXPECT_GE(window.find("envelopeList")->mapToScene({0, 0}).y(),
            window.find("noticeBar")->mapToScene({0, window.find("noticeBar")->height()}).y());
  // The About text, scrolled down, is back at its first line when the notice goes and the page
  // grows: a layout pass like any other.
  window.click("leftItemAbout");
  window.key(Qt::Key_PageDown);
  QQuickItem* about = window.find("aboutFlickable");
  ASSERT_GT(about->property("contentY").toDouble(), 0.0);
  window.click("noticeDismiss");
  EXPECT_TRUE(window.waitFor(
      [&] { return window.window().findChild<QQuickItem*>("noticeBar") == nullptr; }));
  EXPECT_EQ(about->property("contentY").toDouble(), 0.0);
}

}  // namespace
}  // namespace allot::testing
