#include "crash_reports/report_file.h"

#include <QDir>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cstdio>

namespace kestrum {

namespace {

QByteArray ReportBytes(const ErrorReport& report) { return report.ToText().toUtf8(); }

}  // namespace

bool WriteReportFile(const ErrorReport& report, const QString& path, QString* errorText) {
  // QSaveFile: an existing report is replaced only by a complete new one.
  QSaveFile file(path);
  const bool written =
      file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(ReportBytes(report)) >= 0 && file.commit();
  if (!written && errorText != nullptr) {
    *errorText = file.errorString();
  }
  return written;
}

QString SuggestedReportFileName(const ErrorReport& report) {
  return QStringLiteral("kestrum-error-%1.txt").arg(report.time.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

void WriteReportToStandardError(const QString& heading, const ErrorReport& report) {
  std::fputs((heading + QLatin1Char('\n') + report.ToText()).toLocal8Bit().constData(), stderr);
  std::fflush(stderr);
}

QString WriteReportToTempDirectory(const ErrorReport& report) {
  // A unique name: two programs failing in the same second keep both reports.
  QTemporaryFile file(QDir::temp().filePath(QStringLiteral("kestrum-error-XXXXXX.txt")));
  file.setAutoRemove(false);
  if (!file.open() || file.write(ReportBytes(report)) < 0 || !file.flush()) {
    return {};
  }
  return file.fileName();
}

}  // namespace kestrum
