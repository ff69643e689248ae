#include "crash_reports/error_report.h"

namespace kestrum {

namespace {

void AppendField(QString& text, const char* label, const QString& value) {
  text += QLatin1String(label) + QLatin1String(": ") + value + QLatin1Char('\n');
}

void AppendSection(QString& text, const QString& heading, const QStringList& lines) {
  text += QLatin1Char('\n') + heading + QLatin1String(":\n");
  if (lines.isEmpty()) {
    text += QLatin1String("  (not available)\n");
  }
  for (const QString& line : lines) {
    text += QLatin1String("  ") + line + QLatin1Char('\n');
  }
}

}  // namespace

QString ErrorReport::ToText() const {
  QString text;
  AppendField(text, "Message", message);
  AppendField(text, "Type", exceptionType);
  AppendField(text, "Where", caughtWhere);
  AppendField(text, "Time", time.toString(Qt::ISODateWithMs));
  AppendField(text, "Program", program);
  AppendField(text, "Operating system", operatingSystem);
  AppendField(text, "Processor state", processorState);
  const QString stackHeading =
      callStackNote.isEmpty() ? QStringLiteral("Call stack") : QStringLiteral("Call stack (%1)").arg(callStackNote);
  AppendSection(text, stackHeading, callStack);
  AppendSection(text, QStringLiteral("Loaded modules"), loadedModules);
  AppendSection(text, QStringLiteral("Running processes"), processes);
  return text;
}

}  // namespace kestrum
