// Figures for Allot's window, offscreen: how long a launch takes to its first frame and how much
// memory it holds, and how long a tap on add or subtract takes to reach the next frame. Run by
// bench/run-screen-bench.sh, which starts each launch as a process of its own and sums the runs
// up. It measures and prints; beyond each tap having recorded, it checks nothing.
//   screen_bench prepare FILE ENVELOPES TRANSACTIONS
//       writes a store of that size (notes of a realistic length) into FILE
//   screen_bench launch [wide] [EXEC_REALTIME_US]
//       starts exactly as the allot program does, on $XDG_DATA_HOME/allot/defaults.sqlite3, and
//       quits a second after the first frame (saving, as a quit does); the argument is the
//       wall-clock time, in microseconds, at which the caller exec'd this process. With "wide",
//       the first envelope is opened before the window shows and the window is 1280 x 800, so
//       that the first frame has the list beside the envelope's transactions
//   screen_bench floor quick|controls [EXEC_REALTIME_US]
//       the same launch figures for the floors Allot is measured against: an empty Qt Quick
//       window, and an empty Quick Controls window in Allot's style, each a few lines of QML, on
//       the scene graph Allot would choose; quits a second after the first frame
//   screen_bench load FILE | read FILE
//       in this fresh process, the time to open, check and load the store in FILE (with the
//       resident memory it took), and to its summary (names, colours and balances), the load's
//       first part; or, the floor, to read FILE's bytes into memory
//   screen_bench huge COUNT
//       on a store written as another program could (one envelope of COUNT transactions, past
//       the 200 Allot keeps), opens the envelope and prints how long it took to the next frame
//       and how much the resident memory grew; then scrolls to the oldest entry
//   screen_bench taps COUNT
//       on a 20-envelope store, opens an envelope of 200 transactions and taps add, then
//       subtract, COUNT times each with real mouse clicks, after typing an amount
#include <sys/resource.h>
#include <unistd.h>

#include <QEventLoop>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "app/allot_program.h"
#include "app/app_delegate.h"
#include "app/qt_screen.h"
#include "core/envelope_editing.h"
#include "core/persistence.h"
#include "core/transactions.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "platform/qt/scene_graph_choice.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

std::int64_t wallMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return std::int64_t{now.tv_sec} * 1'000'000 + now.tv_nsec / 1'000;
}

double peakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

int prepare(const std::filesystem::path& file, int envelopes, int transactions) {
  allot::BudgetStore store;
  allot::NumberFormatter formatter("en_US");
  for (int e = 0; e < envelopes; ++e) {
    allot::addEnvelope(store, "Envelope " + std::to_string(e), e % 5);
    for (int t = 0; t < transactions; ++t) {
      allot::recordTransaction(
          store, static_cast<std::size_t>(e), "Groceries at the corner shop #" + std::to_string(t),
          std::to_string(t % 97) + ".25", t % 3 == 0 ? "subtract" : "add", formatter);
    }
  }
  std::filesystem::create_directories(file.parent_path());
  std::filesystem::remove(file);
  allot::SqliteUserDefaults defaults(file);
  allot::saveStore(store, defaults);
  if (allot::Status saved = defaults.synchronize(); !saved.isOk()) {
    std::fprintf(stderr, "cannot write %s: %s\n", file.c_str(), saved.message().c_str());
    return 1;
  }
  return 0;
}

// One load of a store as the application's launch does it, or the plain read of its bytes.
int loadOnce(const std::filesystem::path& file, bool plainRead) {
  const double residentBefore = peakResidentMegabytes();
  const auto start = Clock::now();
  std::size_t measure = 0;
  double summary = 0;
  double summaryGrowth = 0;
  if (plainRead) {
    std::FILE* stream = std::fopen(file.c_str(), "rb");
    if (stream == nullptr) return 1;
    std::vector<char> bytes(std::filesystem::file_size(file));
    measure = std::fread(bytes.data(), 1, bytes.size(), stream);
    std::fclose(stream);
  } else {
    // As the launch loads: the summary the list shows, then the transaction lists.
    allot::SqliteUserDefaults defaults(file);
    allot::BudgetFields fields;
    if (!defaults.beginReading().isOk() || !allot::loadSummary(defaults, fields).isOk()) return 1;
    summary = millisecondsBetween(start, Clock::now());
    summaryGrowth = peakResidentMegabytes() - residentBefore;
    if (!allot::loadTransactions(defaults, fields).isOk()) return 1;
    defaults.endReading();
    allot::BudgetStore store;
    if (!defaults.readStatus().isOk() || !store.assign(std::move(fields))) return 1;
    measure = store.envelopeCount();
  }
  const double took = millisecondsBetween(start, Clock::now());
  std::printf(
      "%s took_ms=%.2f rss_growth_mb=%.1f summary_ms=%.2f summary_rss_growth_mb=%.1f "
      "size=%zu\n",
      plainRead ? "read" : "load", took, peakResidentMegabytes() - residentBefore, summary,
      summaryGrowth, measure);
  return 0;
}

// Records when a window's frames were rendered (afterRendering) and shown (frameSwapped), from
// whichever thread the render loop emits them on, and the peak resident memory when the first
// frame was shown: watched before the program's own handlers, it sees none of what they start
// once the first frame is out.
class FrameWatch {
 public:
  void watch(QQuickWindow* window) {
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window,
        [this] {
          if (swaps().empty()) residentAtFirstFrame_ = peakResidentMegabytes();
          record(swaps_);
        },
        Qt::DirectConnection);
    QObject::connect(
        window, &QQuickWindow::afterRendering, window, [this] { record(renders_); },
        Qt::DirectConnection);
  }
  double residentAtFirstFrame() const { return residentAtFirstFrame_; }
  std::vector<Clock::time_point> swaps() const {
    const std::lock_guard<std::mutex> hold(mutex_);
    return swaps_;
  }
  std::vector<Clock::time_point> renders() const {
    const std::lock_guard<std::mutex> hold(mutex_);
    return renders_;
  }

 private:
  void record(std::vector<Clock::time_point>& times) {
    const auto now = Clock::now();
    const std::lock_guard<std::mutex> hold(mutex_);
    times.push_back(now);
  }

  mutable std::mutex mutex_;
  std::atomic<double> residentAtFirstFrame_ = 0;
  std::vector<Clock::time_point> swaps_;
  std::vector<Clock::time_point> renders_;
};

// Runs the event loop, as the application's own would, until the window has shown more than
// `shown` frames; false after `milliseconds` without one.
bool waitForFrame(QQuickWindow& window, const FrameWatch& frames, std::size_t shown,
                  int milliseconds) {
  if (frames.swaps().size() > shown) return true;
  QEventLoop loop;
  QObject::connect(&window, &QQuickWindow::frameSwapped, &loop, &QEventLoop::quit,
                   Qt::QueuedConnection);
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
  return frames.swaps().size() > shown;
}

int report(QQuickWindow& window, const FrameWatch& frames, Clock::time_point mainStart,
           std::int64_t mainWall, std::int64_t execWall);

int launch(int argc, char** argv, Clock::time_point mainStart, std::int64_t mainWall) {
  const bool wide = argc > 2 && std::string(argv[2]) == "wide";
  const int execArgument = wide ? 3 : 2;
  const std::int64_t execWall = argc > execArgument ? std::stoll(argv[execArgument]) : 0;

  // What the allot program's main() does, in the same order.
  QGuiApplication host(argc, argv);
  allot::AllotProgram::describeHost();
  allot::AllotProgram program;
  allot::AllotProgram::Start started{};
  if (!program.start(&started).isOk() || started != allot::AllotProgram::Start::Running) return 1;
  allot::QtScreen& screen = program.screen();

  FrameWatch frames;
  QQuickWindow* window = nullptr;
  QObject::connect(&screen.engine(), &QQmlApplicationEngine::objectCreated, &host,
                   [&](QObject* object, const QUrl&) {
                     window = qobject_cast<QQuickWindow*>(object);
                     if (window != nullptr) frames.watch(window);
                   });
  if (wide) {
    allot::qt::TableBridge* envelopes = screen.bridge().sceneList().front()->table();
    if (envelopes == nullptr || !envelopes->select(0)) return 1;
  }
  if (!program.show() || window == nullptr) return 1;
  if (wide) window->resize(1280, 800);
  return report(*window, frames, mainStart, mainWall, execWall);
}

// Waits for the first frame, runs a second more (then quits, saving as the application does when
// it is Allot) and prints the launch line.
int report(QQuickWindow& window, const FrameWatch& frames, Clock::time_point mainStart,
           std::int64_t mainWall, std::int64_t execWall) {
  const bool shown = waitForFrame(window, frames, 0, 10000);
  QTimer::singleShot(1000, qApp, &QCoreApplication::quit);
  const int status = QGuiApplication::exec();

  const auto swaps = frames.swaps();
  const auto renders = frames.renders();
  const double mainToRender = renders.empty() ? -1 : millisecondsBetween(mainStart, renders[0]);
  if (!shown) {
    std::printf("launch no_frame_swapped main_to_render_ms=%.1f\n", mainToRender);
    return 1;
  }
  const double mainToFrame = millisecondsBetween(mainStart, swaps[0]);
  const double execToMain = execWall > 0 ? static_cast<double>(mainWall - execWall) / 1000 : -1;
  std::printf(
      "launch main_to_frame_ms=%.1f main_to_render_ms=%.1f exec_to_main_ms=%.1f "
      "exec_to_frame_ms=%.1f rss_first_frame_mb=%.1f rss_peak_mb=%.1f\n",
      mainToFrame, mainToRender, execToMain, execWall > 0 ? execToMain + mainToFrame : -1,
      frames.residentAtFirstFrame(), peakResidentMegabytes());
  return status;
}

// An empty window: plain Qt Quick, or Quick Controls in the style Allot uses.
int floor(int argc, char** argv, Clock::time_point mainStart, std::int64_t mainWall) {
  const bool controls = argc > 2 && std::string(argv[2]) == "controls";
  const std::int64_t execWall = argc > 3 ? std::stoll(argv[3]) : 0;
  QGuiApplication host(argc, argv);
  if (controls) QQuickStyle::setStyle("Material");
  allot::qt::SceneGraphChoice::apply();
  QQmlApplicationEngine engine;
  engine.loadData(controls ? "import QtQuick\nimport QtQuick.Controls\n"
                             "ApplicationWindow { width: 390; height: 844; visible: true\n"
                             "  header: ToolBar { Label { text: \"Envelopes\" } }\n"
                             "  Label { text: \"Total: 0.00\" } }\n"
                           : "import QtQuick\n"
                             "Window { width: 390; height: 844; visible: true\n"
                             "  Text { text: \"Envelopes\" } }\n");
  auto* window = engine.rootObjects().isEmpty()
                     ? nullptr
                     : qobject_cast<QQuickWindow*>(engine.rootObjects().first());
  if (window == nullptr) return 1;
  FrameWatch frames;
  frames.watch(window);
  return report(*window, frames, mainStart, mainWall, execWall);
}

QQuickItem* findItem(QQuickItem* root, const QString& objectName) {
  if (root == nullptr) return nullptr;
  if (root->objectName() == objectName && root->isVisible()) return root;
  for (QQuickItem* child : root->childItems()) {
    if (QQuickItem* found = findItem(child, objectName)) return found;
  }
  return nullptr;
}

QPoint centreOf(QQuickItem* item) {
  return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
}

void printFigures(const char* name, std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  std::printf("%-34s n=%zu median=%.2f ms max=%.2f ms\n", name, n, median, values.back());
}

// Allot's application over the store in `file` (amounts in en_US), on its window, with its frames
// watched from the start and its launch animations given half a second to end.
class ShownStore {
 public:
  explicit ShownStore(const std::filesystem::path& file)
      : defaults_(file), application_(defaults_, [file] {
          return std::make_unique<allot::AppDelegate>(
              allot::AppDelegate::Options{.storeFile = file, .formatLocale = "en_US"});
        }) {
    application_.launch();
    screen_ = std::make_unique<allot::QtScreen>(application_);
    if (!screen_->show()) {
      screen_.reset();
      return;
    }
    frames_.watch(screen_->window());
    QTest::qWait(500);
  }
  // Null when the window did not load.
  QQuickWindow* window() const { return screen_ ? screen_->window() : nullptr; }
  const FrameWatch& frames() const { return frames_; }

 private:
  allot::SqliteUserDefaults defaults_;
  allot::kit::Application application_;
  std::unique_ptr<allot::QtScreen> screen_;
  FrameWatch frames_;
};

std::int64_t residentKilobytes() {
  long pages = 0, resident = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// A folder of this process's own for the store it writes.
std::filesystem::path scratchFolder() {
  return std::filesystem::temp_directory_path() /
         ("allot-screen-bench-" + std::to_string(QCoreApplication::applicationPid()));
}

int huge(int argc, char** argv, int count) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication host(argc, argv);
  const auto scratch = scratchFolder();
  const auto file = scratch / "defaults.sqlite3";
  {
    std::filesystem::create_directories(scratch);
    std::vector<std::string> notes(static_cast<std::size_t>(count));
    std::vector<double> amounts(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      // Short notes: one envelope's list is one value, and no value may pass 16 MiB.
      notes[static_cast<std::size_t>(i)] = "#" + std::to_string(i);
      amounts[static_cast<std::size_t>(i)] = 1.25;
    }
    allot::SqliteUserDefaults writer(file);
    writer.setDouble(1.25 * count, "totalAmount");
    writer.setObject(allot::Value(allot::Value::List{"Everything"}), "categoryNames");
    writer.setObject(allot::Value(allot::Value::List{std::int64_t{2}}), "envelopeColors");
    writer.setObject(allot::Value(allot::Value::List{1.25 * count}), "categoryAmounts");
    writer.setTextLists({notes}, "detailArrays");
    writer.setNumberLists({amounts}, "detailAmountArrays");
    if (!writer.synchronize().isOk()) return 1;
  }

  ShownStore app(file);
  if (app.window() == nullptr) return 1;
  QQuickWindow& window = *app.window();
  const FrameWatch& frames = app.frames();
  QQuickItem* stack = findItem(window.contentItem(), "stack");
  auto page = [&] { return stack->property("currentItem").value<QQuickItem*>(); };

  const std::int64_t before = residentKilobytes();
  const std::size_t shown = frames.swaps().size();
  const auto tapped = Clock::now();
  QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier,
                    centreOf(findItem(page(), "envelopeRow0")));
  if (!waitForFrame(window, frames, shown, 5000)) return 1;
  const double toFrame = millisecondsBetween(tapped, frames.swaps()[shown]);
  QTest::qWait(800);
  QQuickItem* list = findItem(page(), "transactionList");
  if (list == nullptr || list->property("count").toInt() != count) {
    std::fprintf(stderr, "the envelope does not show %d transactions\n", count);
    return 1;
  }
  const std::int64_t opened = residentKilobytes();
  QMetaObject::invokeMethod(list, "positionViewAtEnd");
  QTest::qWait(500);
  std::printf(
      "huge rows=%d open_to_frame_ms=%.1f rss_growth_open_mb=%.1f "
      "rss_growth_after_scroll_to_end_mb=%.1f\n",
      count, toFrame, static_cast<double>(opened - before) / 1024,
      static_cast<double>(residentKilobytes() - before) / 1024);
  std::filesystem::remove_all(scratch);
  return 0;
}

int taps(int argc, char** argv, int count) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication host(argc, argv);
  const auto scratch = scratchFolder();
  const auto file = scratch / "defaults.sqlite3";
  if (prepare(file, 20, 200) != 0) return 1;

  ShownStore app(file);
  if (app.window() == nullptr) return 1;
  QQuickWindow& window = *app.window();
  const FrameWatch& frames = app.frames();

  auto find = [&](const QString& name) {
    QQuickItem* stack = findItem(window.contentItem(), "stack");
    auto* page = stack->property("currentItem").value<QQuickItem*>();
    return findItem(page, name);
  };
  auto click = [&](QQuickItem* item) {
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, centreOf(item));
  };
  click(find("envelopeRow0"));
  QTest::qWait(800);
  QQuickItem* list = find("transactionList");
  if (list == nullptr || list->property("count").toInt() != 200) {
    std::fprintf(stderr, "the envelope does not show 200 transactions\n");
    return 1;
  }

  std::vector<double> toFrame[2], handled[2];
  const char* buttons[2] = {"addAmountButton", "subtractAmountButton"};
  for (int i = 0; i < 2 * count; ++i) {
    const int which = i % 2;
    click(find("enterAmount"));
    for (const char key : std::string("12.5")) QTest::keyClick(&window, key);
    QQuickItem* button = find(buttons[which]);
    QTest::qWait(400);  // the field's and the list's animations are over

    const std::size_t before = frames.swaps().size();
    const auto tapped = Clock::now();
    click(button);
    const auto done = Clock::now();
    if (!waitForFrame(window, frames, before, 1000)) {
      std::fprintf(stderr, "no frame after tap %d\n", i);
      return 1;
    }
    toFrame[which].push_back(millisecondsBetween(tapped, frames.swaps()[before]));
    handled[which].push_back(millisecondsBetween(tapped, done));
    if (!find("resultsLabel")->property("text").toString().endsWith("recorded.")) {
      std::fprintf(stderr, "tap %d recorded nothing\n", i);
      return 1;
    }
  }
  const QString result = find("resultsLabel")->property("text").toString();
  std::printf("rows=%d last result: %s\n", list->property("count").toInt(),
              result.toStdString().c_str());
  printFigures("add: tap to next frame", toFrame[0]);
  printFigures("add: tap handled (press+release)", handled[0]);
  printFigures("subtract: tap to next frame", toFrame[1]);
  printFigures("subtract: tap handled (press+release)", handled[1]);
  std::filesystem::remove_all(scratch);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const auto mainStart = Clock::now();
  const std::int64_t mainWall = wallMicroseconds();
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "prepare" && argc == 5) {
    return prepare(argv[2], std::stoi(argv[3]), std::stoi(argv[4]));
  }
  if (mode == "launch") return launch(argc, argv, mainStart, mainWall);
  if (mode == "floor") return floor(argc, argv, mainStart, mainWall);
  if ((mode == "load" || mode == "read") && argc == 3) return loadOnce(argv[2], mode == "read");
  if (mode == "huge") return huge(argc, argv, argc > 2 ? std::stoi(argv[2]) : 1000000);
  if (mode == "taps") return taps(argc, argv, argc > 2 ? std::stoi(argv[2]) : 25);
  std::fprintf(stderr,
               "usage: screen_bench prepare FILE ENVELOPES TRANSACTIONS\n"
               "       screen_bench launch [wide] [EXEC_REALTIME_US]\n"
               "       screen_bench floor quick|controls [EXEC_REALTIME_US]\n"
               "       screen_bench load|read FILE\n"
               "       screen_bench huge [COUNT]\n"
               "       screen_bench taps [COUNT]\n");
  return 2;
}
