#include "tools/screenshot_support.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QTimer>
#include <iostream>

#include "core/envelope_editing.h"
#include "core/persistence.h"
#include "core/transactions.h"
#include "platform/defaults/sqlite_user_defaults.h"

namespace allot::screenshots {

void writeSampleBudget(const std::filesystem::path& file) {
  BudgetStore store;
  NumberFormatter formatter("en_US");
  const struct {
    const char* name;
    int color;
    const char* amounts[4];
  } envelopes[] = {{"Groceries", 2, {"400", "-82,45", "-19.99", "-54,10"}},
                   {"Rent", 3, {"1250", "-1250", "1250", nullptr}},
                   {"Fun money", 4, {"120", "-35", "-12,50", nullptr}},
                   {"Car", 0, {"200", "-260.75", nullptr, nullptr}}};
  const char* notes[] = {"Pay day", "Market", "Bakery", "Corner shop"};
  for (std::size_t e = 0; e < std::size(envelopes); ++e) {
    addEnvelope(store, envelopes[e].name, envelopes[e].color);
    for (int t = 0; t < 4 && envelopes[e].amounts[t] != nullptr; ++t) {
      recordTransaction(store, e, notes[t], envelopes[e].amounts[t], "add", formatter);
    }
  }
  SqliteUserDefaults defaults(file);
  saveStore(store, defaults);
  if (Status saved = defaults.synchronize(); !saved.isOk()) qFatal("%s", saved.message().c_str());
}

void settle(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

qt::SceneBridge* topScene(QtScreen& screen) {
  return screen.bridge().sceneList().back();
}

qt::TableBridge* table(qt::SceneBridge* scene) {
  return scene->table();
}

namespace {

QQuickItem* findItem(QQuickItem* root, const QString& objectName) {
  if (root == nullptr || !root->isVisible()) return nullptr;
  if (root->objectName() == objectName) return root;
  for (QQuickItem* child : root->childItems()) {
    if (QQuickItem* found = findItem(child, objectName)) return found;
  }
  return nullptr;
}

}  // namespace

bool rightClick(QtScreen& screen, const QString& objectName) {
  QQuickWindow* window = screen.window();
  QQuickItem* item = findItem(window->contentItem(), objectName);
  if (item == nullptr) return false;
  const QPointF at = item->mapToScene({item->width() / 2, item->height() / 2});
  QTest::mouseClick(window, Qt::RightButton, Qt::NoModifier, at.toPoint());
  return true;
}

void pressKey(QtScreen& screen, Qt::Key key) {
  QTest::keyClick(screen.window(), key);
}

bool save(QtScreen& screen, const QDir& folder, const QString& name) {
  settle();
  const QImage image = screen.window()->grabWindow();
  const QString path = folder.filePath(name + ".png");
  if (!image.save(path)) {
    std::cerr << "cannot write " << path.toStdString() << '\n';
    return false;
  }
  std::cout << path.toStdString() << '\n';
  return true;
}

}  // namespace allot::screenshots
