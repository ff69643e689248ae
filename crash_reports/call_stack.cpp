#include "crash_reports/call_stack.h"

#include "crash_reports/demangle.h"
#include "crash_reports/fatal/report_details.h"
#include "crash_reports/sink_lines.h"

namespace kestrum {

QString DemangleStackLine(const QString& line) {
  // "%s(%s+%#tx) [%p]": the last parentheses, since the path may hold some.
  const qsizetype close = line.lastIndexOf(QLatin1Char(')'));
  const qsizetype open = close < 0 ? -1 : line.lastIndexOf(QLatin1Char('('), close);
  if (open < 0) {
    return line;
  }
  const QString inside = line.mid(open + 1, close - open - 1);
  const qsizetype plus = inside.lastIndexOf(QLatin1Char('+'));
  const QString symbol = plus < 0 ? inside : inside.left(plus);
  if (symbol.isEmpty()) {
    return line;
  }
  const QString offset = plus < 0 ? QString() : inside.mid(plus);
  return line.left(open + 1) + DemangledName(symbol.toUtf8().constData()) + offset + line.mid(close);
}

// The fatal-error report's walk and symbols: one stack walker for both
// reports on each platform.
QStringList CaptureCallStack(int framesToSkip) {
  void* frames[kMostReportedFrames];
  const int count = CaptureCurrentFrames(frames, kMostReportedFrames, 1 + framesToSkip);
  QStringList lines = SinkLines([&](TextSink& sink) { WriteCallStack(sink, frames, count); });
  for (QString& line : lines) {
    line = DemangleStackLine(line);
  }
  return lines;
}

}  // namespace kestrum
