#include "crash_reports/leftover_fatal_report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "crash_reports/fatal/report_layout.h"

namespace kestrum {

namespace {

QString Latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

QString ShownPath(const QString& pendingPath) {
  return pendingPath.chopped(Latin1(kPendingReportSuffix).size()) + Latin1(kShownReportSuffix);
}

QString MinidumpBeside(const QString& shownPath) {
  return shownPath.chopped(Latin1(kShownReportSuffix).size()) + Latin1(kMinidumpSuffix);
}

// Newest first: the reports' names and times agree.
QFileInfoList ReportsEndingWith(const QString& folder, std::string_view suffix) {
  const QString pattern = Latin1(kReportFilePrefix) + QLatin1Char('*') + Latin1(suffix);
  // Regular files only: a link in a report's place is not followed.
  return QDir(folder).entryInfoList({pattern}, QDir::Files | QDir::NoSymLinks, QDir::Time);
}

void DeleteOldShownReports(const QString& folder) {
  const QFileInfoList shown = ReportsEndingWith(folder, kShownReportSuffix);
  for (qsizetype i = kMostKeptShownReports; i < shown.size(); ++i) {
    QFile::remove(shown[i].filePath());
    QFile::remove(MinidumpBeside(shown[i].filePath()));
  }
}

// Gives why it failed, or an empty text.
QString MarkShown(const QString& pendingPath) {
  QFile file(pendingPath);
  return file.rename(ShownPath(pendingPath)) ? QString() : file.errorString();
}

bool EndsWithEndLine(QFile& file) {
  const qint64 endLineBytes = static_cast<qint64>(kReportEndLine.size());
  return file.size() >= endLineBytes && file.seek(file.size() - endLineBytes) &&
         file.read(endLineBytes) == QByteArray(kReportEndLine.data(), endLineBytes);
}

void ReadBounded(const QString& path, LeftoverFatalReport& report) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    report.text = QStringLiteral("(the report could not be read: %1)").arg(file.errorString());
    return;
  }
  report.fileBytes = file.size();
  QByteArray bytes = file.read(kMostShownReportBytes);
  report.truncated = report.fileBytes > bytes.size();
  report.complete = EndsWithEndLine(file);
  // A damaged file may hold zero bytes, which would end the text for a view.
  bytes.replace('\0', "\xEF\xBF\xBD");
  report.text = QString::fromUtf8(bytes);
}

}  // namespace

std::optional<LeftoverFatalReport> TakeLeftoverFatalReport(const QString& folder) {
  const QFileInfoList pending = ReportsEndingWith(folder, kPendingReportSuffix);
  if (pending.isEmpty()) {
    return std::nullopt;
  }
  LeftoverFatalReport report;
  const QString newest = pending.front().filePath();
  ReadBounded(newest, report);
  report.markingError = MarkShown(newest);
  report.path = report.markingError.isEmpty() ? ShownPath(newest) : newest;
  report.olderReports = static_cast<int>(pending.size() - 1);
  for (qsizetype i = 1; i < pending.size(); ++i) {
    MarkShown(pending[i].filePath());
  }
  DeleteOldShownReports(folder);
  return report;
}

}  // namespace kestrum
