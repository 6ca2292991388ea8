// The allot program's command line, read before anything needs a display: --help and --version
// print to standard output and end the program, an unknown option or a stray argument ends it
// with a usage error. The options by which Qt's window layer is told where to show the window
// (-platform, -display, -qwindowgeometry) are accepted and left for it to read, except that a
// platform plugin that does not show the window on this machine alone (such as vnc, which serves
// it to the network) is refused, whether named by -platform or by QT_QPA_PLATFORM. It starts
// nothing and changes nothing.
#pragma once

#include <optional>

namespace allot {

// The exit status when the program should end now (0 after --help or --version, 2 after a usage
// error or a refused platform, said on standard error), nothing when it should go on and start.
std::optional<int> handleCommandLine(int argc, char** argv);

}  // namespace allot
