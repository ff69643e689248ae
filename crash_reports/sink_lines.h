// The lines a report part of the fatal-error reporting writes, for the
// report of a C++ exception: one list entry per line, without its indent.
#pragma once

#include <QStringList>
#include <functional>

#include "crash_reports/fatal/text_sink.h"

namespace kestrum {

QStringList SinkLines(const std::function<void(TextSink&)>& writePart);

}  // namespace kestrum
