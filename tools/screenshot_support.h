// What the screenshot renderer's parts share: a sample budget, waiting for the window to settle,
// the bridges of the screen on display, a right-click and a key as the mouse and keyboard make
// them, and saving the window to a PNG file.
#pragma once

#include <QDir>
#include <QString>
#include <filesystem>

#include "app/qt_screen.h"
#include "platform/qt/scene_bridge.h"
#include "platform/qt/table_bridge.h"

namespace allot::screenshots {

// A small budget: four envelopes with a few transactions each, committed to `file`.
void writeSampleBudget(const std::filesystem::path& file);
void settle(int milliseconds = 500);
qt::SceneBridge* topScene(QtScreen& screen);
qt::TableBridge* table(qt::SceneBridge* scene);
// A right-click in the middle of the item of that object name; false when there is none.
bool rightClick(QtScreen& screen, const QString& objectName);
void pressKey(QtScreen& screen, Qt::Key key);
// Saves the window as folder/name.png and prints the path; false when it cannot.
bool save(QtScreen& screen, const QDir& folder, const QString& name);

// The notices and alerts about the stored budget, each over a store prepared for it. The
// read-only one needs a user other than root, so as root it runs in a child that gives up root.
bool renderStoreProblems(const QDir& folder);
bool renderReadOnlyStore(const QDir& folder);

}  // namespace allot::screenshots
