// Small screens for the toolkit's tests: controllers that log their hooks, a table of words, and
// an application delegate over a storyboard of three scenes ("first", "second", "sheet").
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/defaults/in_memory_user_defaults.h"
#include "platform/kit/application.h"
#include "platform/kit/button.h"
#include "platform/kit/label.h"
#include "platform/kit/storyboard.h"
#include "platform/kit/table_view_controller.h"
#include "platform/kit/text_field.h"

namespace allot::kit::testing {

using Log = std::vector<std::string>;

// Logs every hook as "<name>.<hook>".
class LoggingController : public ViewController {
 public:
  LoggingController(std::string name, Log& log) : name_(std::move(name)), log_(log) {}

  void viewDidLoad() override { note("viewDidLoad" + std::string(label ? " with outlet" : "")); }
  void viewWillAppear(bool) override { note("viewWillAppear"); }
  void viewDidAppear(bool) override { note("viewDidAppear"); }
  void viewWillDisappear(bool) override { note("viewWillDisappear"); }
  void viewDidLayoutSubviews() override { note("viewDidLayoutSubviews"); }
  void prepareForSegue(StoryboardSegue& segue, Sender) override {
    note("prepareForSegue " + segue.identifier().value_or("?"));
  }
  void unwindHere(StoryboardSegue&) { note("unwindHere"); }

  Label* label = nullptr;
  TextField* field = nullptr;
  Button* button = nullptr;

 private:
  void note(const std::string& what) { log_.push_back(name_ + "." + what); }
  std::string name_;
  Log& log_;
};

// A table of words; rows can be edited and moved unless told otherwise.
class WordsController : public TableViewController {
 public:
  explicit WordsController(std::vector<std::string> words) : words(std::move(words)) {}

  std::size_t tableViewNumberOfRowsInSection(TableView&, std::size_t) override {
    ++countQuestions;
    return words.size();
  }
  TableViewCell& tableViewCellForRowAtIndexPath(TableView& table, const IndexPath& path) override {
    TableViewCell& cell = table.dequeueReusableCellWithIdentifier("word", path);
    cell.textLabel()->setText(words[path.row()]);
    return cell;
  }
  bool tableViewCanEditRowAtIndexPath(TableView&, const IndexPath&) override { return editable; }
  bool tableViewCanMoveRowAtIndexPath(TableView&, const IndexPath&) override { return true; }
  void tableViewCommitEditingStyle(TableView& table, TableViewCellEditingStyle style,
                                   const IndexPath& path) override {
    if (style != TableViewCellEditingStyle::Delete) return;
    words.erase(words.begin() + static_cast<std::ptrdiff_t>(path.row()));
    table.deleteRowsAtIndexPaths({path}, TableViewRowAnimation::Fade);
  }
  void tableViewMoveRowAtIndexPath(TableView&, const IndexPath& from,
                                   const IndexPath& to) override {
    moves.emplace_back(from.row(), to.row());
  }

  std::vector<std::string> words;
  bool editable = true;
  int countQuestions = 0;
  std::vector<std::pair<std::size_t, std::size_t>> moves;
};

// Defaults that can be told to fail their commit.
class FakeDefaults : public InMemoryUserDefaults {
 public:
  bool synchronize() override { return InMemoryUserDefaults::synchronize() && !failing; }
  std::string lastError() const override { return failing ? "disk full" : ""; }
  bool failing = false;
};

// "first" (root of a navigation controller): a label outlet, a text field, a button that shows
// "second". "second": a button that unwinds to "first". "sheet": shown modally from "first" by
// the segue "present", with a button that unwinds to "first".
class TestDelegate : public ApplicationDelegate {
 public:
  explicit TestDelegate(Log& log) : log_(log) {}

  std::unique_ptr<Storyboard> mainStoryboard() override {
    log_.push_back("mainStoryboard");
    auto board = std::make_unique<Storyboard>();
    for (const auto& [name, segue] : std::vector<std::pair<std::string, std::string>>{
             {"first", "toSecond"}, {"second", "backToFirst"}, {"sheet", "backToFirst"}}) {
      board->addScene<LoggingController>(
          name, [this, name = name] { return std::make_unique<LoggingController>(name, log_); },
          [name = name](LoggingController& c) { c.setTitle(name); },
          [segue = segue](LoggingController& c, View& root) {
            c.label = &root.addSubview<Label>("label");
            c.field = &root.addSubview<TextField>("field");
            c.button = &root.addSubview<Button>("button");
            c.button->addAction([&c, segue](Sender s) { c.performSegueWithIdentifier(segue, s); });
          });
    }
    board->addSegue({"toSecond", "first", "second", SegueKind::Show, {}});
    board->addSegue({"present", "first", "sheet", SegueKind::Modal, {}});
    board->addUnwindSegue("backToFirst", "second", "first", &LoggingController::unwindHere);
    board->addUnwindSegue("backToFirst", "sheet", "first", &LoggingController::unwindHere);
    board->setInitialScene("first", true);
    return board;
  }
  bool applicationDidFinishLaunchingWithOptions(Application&, const LaunchOptions&) override {
    log_.push_back("didFinishLaunching");
    return true;
  }
  void applicationWillResignActive(Application&) override { log_.push_back("willResignActive"); }
  void applicationDidBecomeActive(Application&) override { log_.push_back("didBecomeActive"); }

 private:
  Log& log_;
};

}  // namespace allot::kit::testing
