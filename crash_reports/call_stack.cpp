#include "crash_reports/call_stack.h"

#include <cstdlib>
#include <memory>

#include "crash_reports/demangle.h"

#if defined(__GLIBC__)
#include <execinfo.h>

#include "crash_reports/fatal/neutralised_text.h"
#define KESTRUM_HAS_BACKTRACE 1
#elif defined(_WIN32)
#include "crash_reports/fatal/report_details.h"
#include "crash_reports/sink_lines.h"
#endif

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

#ifdef KESTRUM_HAS_BACKTRACE
namespace {
constexpr int kMostFrames = 64;

struct FreeDeleter {
  void operator()(char** p) const { std::free(p); }
};
}  // namespace

QStringList CaptureCallStack(int framesToSkip) {
  void* frames[kMostFrames];
  const int count = backtrace(frames, kMostFrames);
  const std::unique_ptr<char*, FreeDeleter> symbols(backtrace_symbols(frames, count));
  QStringList lines;
  if (!symbols) {
    return lines;
  }
  // Frame 0 is CaptureCallStack itself.
  for (int i = 1 + framesToSkip; i < count; ++i) {
    // Module paths from outside, which a terminal must not obey.
    lines.append(DemangleStackLine(QString::fromStdString(Neutralised(symbols.get()[i]))));
  }
  return lines;
}
#elif defined(_WIN32)
// CaptureStackBackTrace and DbgHelp's symbols, as in a fatal-error report.
QStringList CaptureCallStack(int framesToSkip) {
  void* frames[kMostReportedFrames];
  const int count = CaptureCurrentFrames(frames, kMostReportedFrames, 1 + framesToSkip);
  return SinkLines([&](TextSink& sink) { WriteCallStack(sink, frames, count); });
}
#else
QStringList CaptureCallStack(int) { return {}; }
#endif

}  // namespace kestrum
