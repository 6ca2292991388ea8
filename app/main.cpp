// The entry point: one Allot per store, shown in a Qt Quick window until the user quits.
#include <QGuiApplication>

#include "app/allot_program.h"
#include "app/command_line.h"

int main(int argc, char** argv) {
  if (const std::optional<int> status = allot::handleCommandLine(argc, argv)) return *status;
  QGuiApplication host(argc, argv);
  allot::AllotProgram::describeHost();
  allot::AllotProgram program;
  if (!program.start() || !program.screen().show()) return 1;
  return QGuiApplication::exec();
}
