// The shared objects loaded into the program with their load addresses, so
// that the addresses of a call stack can be placed: the fatal-error reports'
// list (/proc/self/maps on Linux, ToolHelp on Windows).
#pragma once

#include <QStringList>

namespace kestrum {

QStringList LoadedModules();

}  // namespace kestrum
