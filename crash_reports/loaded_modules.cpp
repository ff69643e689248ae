#include "crash_reports/loaded_modules.h"

#include "crash_reports/fatal/report_details.h"
#include "crash_reports/sink_lines.h"

namespace kestrum {

// The fatal-error report's module list: one for both reports on each platform.
QStringList LoadedModules() { return SinkLines(WriteLoadedModules); }

}  // namespace kestrum
