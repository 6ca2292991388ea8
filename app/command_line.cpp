#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace allot {

namespace {

constexpr int usageErrorStatus = 2;

void print(std::FILE* stream, const QString& text) {
  std::fputs(qPrintable(text), stream);
}

int usageError(const QString& problem) {
  print(stderr, "allot: " + problem + "\nTry 'allot --help' for more information.\n");
  return usageErrorStatus;
}

}  // namespace

std::optional<int> handleCommandLine(int argc, char** argv) {
  if (argc <= 1) return std::nullopt;

  // QCommandLineParser names the program from a QCoreApplication's arguments; this one lives
  // only while the command line is read, so no platform plugin is ever loaded for it.
  int hostArgc = argc;
  QCoreApplication host(hostArgc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription("Allot keeps your money in named envelopes.");
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help({"h", "help"}, "Print this help and exit.");
  const QCommandLineOption version({"v", "version"}, "Print the version and exit.");
  parser.addOptions({
      help,
      version,
      {"platform", "The Qt platform plugin that shows the window (xcb, wayland, offscreen).",
       "name"},
      {"display", "The X display to show the window on.", "display"},
      {"qwindowgeometry", "The window's size and place, as WIDTHxHEIGHT+X+Y.", "geometry"},
  });

  if (!parser.parse(QCoreApplication::arguments())) return usageError(parser.errorText());
  if (!parser.positionalArguments().isEmpty()) {
    return usageError("unexpected argument '" + parser.positionalArguments().first() + "'");
  }
  if (parser.isSet(help)) {
    print(stdout, parser.helpText());
    return 0;
  }
  if (parser.isSet(version)) {
    print(stdout, QStringLiteral("allot " ALLOT_VERSION "\n"));
    return 0;
  }
  return std::nullopt;
}

}  // namespace allot
