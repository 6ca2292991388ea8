// The entry point: one Allot per store, shown in a Qt Quick window until the user quits.
#include <QGuiApplication>
#include <csignal>
#include <iostream>

#include "app/allot_program.h"
#include "app/command_line.h"
#include "platform/qt/application_lifecycle.h"

int main(int argc, char** argv) {
  // A write past the file-size limit (ulimit -f) would otherwise end the process with SIGXFSZ in
  // the middle of a save; ignored, the write fails with EFBIG and the save reports it as it does
  // a full disk, keeping the store as it was.
  std::signal(SIGXFSZ, SIG_IGN);
  if (const std::optional<int> status = allot::handleCommandLine(argc, argv)) return *status;
  // From here on, so that a quit during the load ends it at once.
  allot::qt::ApplicationLifecycle::catchQuitSignals();
  QGuiApplication host(argc, argv);
  allot::AllotProgram::describeHost();
  allot::AllotProgram program;
  allot::AllotProgram::Start started{};
  if (const allot::Status status = program.start(&started); !status.isOk()) {
    return allot::AllotProgram::explain(status.message());
  }
  switch (started) {
    case allot::AllotProgram::Start::Running:
      if (!program.show()) return 1;
      return program.finish(QGuiApplication::exec());
    case allot::AllotProgram::Start::RaisedOther:
      std::cerr << "allot: Allot is already running; its window was brought to the front.\n";
      return 0;
    case allot::AllotProgram::Start::Stopped:
      break;
  }
  std::cerr << "allot: stopped while loading the budget; nothing was changed.\n";
  return 1;
}
