// The shared objects loaded into the program with their load addresses, so
// that the addresses of a call stack can be placed (dl_iterate_phdr on Linux,
// ToolHelp on Windows); empty where the platform does not list them cheaply.
#pragma once

#include <QStringList>

namespace kestrum {

QStringList LoadedModules();

}  // namespace kestrum
