#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace allot {

namespace {

constexpr int usageErrorStatus = 2;
const QString kLocalPlatforms = "xcb, wayland, offscreen, minimal, eglfs, linuxfb";

void print(std::FILE* stream, const QString& text) {
  std::fputs(qPrintable(text), stream);
}

int usageError(const QString& problem) {
  print(stderr, "allot: " + problem + "\nTry 'allot --help' for more information.\n");
  return usageErrorStatus;
}

// The platform plugins that draw on this machine's own display or framebuffer, or nowhere.
bool isLocalPlatform(const QString& name) {
  return name.startsWith("wayland") ||
         QStringList{"xcb", "offscreen", "minimal", "eglfs", "linuxfb"}.contains(name);
}

// The first platform in `choice` that is not local, nothing when all are. Qt reads a choice as
// "name[:options]", or several of them tried in turn, separated by ';'; it ignores case.
std::optional<QString> firstForeignPlatform(const QString& choice) {
  const QStringList entries = choice.split(';', Qt::SkipEmptyParts);
  if (entries.isEmpty()) return choice;
  for (const QString& entry : entries) {
    const QString name = entry.section(':', 0, 0).toLower();
    if (!isLocalPlatform(name)) return name;
  }
  return std::nullopt;
}

// Every platform named, on the command line (in any form the parser took, including
// -platform=NAME, which Qt itself would ignore) or in QT_QPA_PLATFORM, must be local.
std::optional<int> refuseForeignPlatform(const QStringList& commandLineChoices) {
  QStringList choices = commandLineChoices;
  const QString fromEnvironment = qEnvironmentVariable("QT_QPA_PLATFORM");
  if (!fromEnvironment.isEmpty()) choices.append(fromEnvironment);
  for (const QString& choice : choices) {
    const std::optional<QString> name = firstForeignPlatform(choice);
    if (!name) continue;
    const bool remote = *name == "vnc" || *name == "webgl";
    print(stderr, "allot: the platform \"" + *name + "\" " +
                      (remote ? "would show the window to other machines"
                              : "is not one that shows the window on this machine") +
                      "; Allot shows it only on this one (" + kLocalPlatforms + ")\n");
    return usageErrorStatus;
  }
  return std::nullopt;
}

// Reads the options; the platforms named are added to `platforms`.
std::optional<int> readOptions(int argc, char** argv, QStringList& platforms) {
  // QCommandLineParser names the program from a QCoreApplication's arguments; this one lives
  // only while the command line is read, so no platform plugin is ever loaded for it.
  int hostArgc = argc;
  QCoreApplication host(hostArgc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription("Allot keeps your money in named envelopes.");
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help({"h", "help"}, "Print this help and exit.");
  const QCommandLineOption version({"v", "version"}, "Print the version and exit.");
  const QCommandLineOption platform(
      "platform",
      "The Qt platform plugin that shows the window on this machine: one of " + kLocalPlatforms +
          " (or a variant of wayland). Others, such as vnc, are refused.",
      "name");
  parser.addOptions({
      help,
      version,
      platform,
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
  platforms = parser.values(platform);
  return std::nullopt;
}

}  // namespace

std::optional<int> handleCommandLine(int argc, char** argv) {
  QStringList platforms;
  if (argc > 1) {
    if (const std::optional<int> status = readOptions(argc, argv, platforms)) return status;
  }
  return refuseForeignPlatform(platforms);
}

}  // namespace allot
