#include "crash_reports/sink_lines.h"

namespace kestrum {

QStringList SinkLines(const std::function<void(TextSink&)>& writePart) {
  StringSink sink;
  writePart(sink);
  QStringList lines = QString::fromStdString(sink.Text()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  for (QString& line : lines) {
    line = line.trimmed();
  }
  return lines;
}

}  // namespace kestrum
