#include "crash_reports/loaded_modules.h"

#if defined(__GLIBC__) || defined(__linux__)
#include <link.h>

#include "crash_reports/fatal/neutralised_text.h"
#define KESTRUM_HAS_DL_ITERATE_PHDR 1
#elif defined(_WIN32)
#include "crash_reports/fatal/report_details.h"
#include "crash_reports/sink_lines.h"
#endif

namespace kestrum {

#ifdef KESTRUM_HAS_DL_ITERATE_PHDR
namespace {

// Enough for the program, Qt and the system libraries it pulls in.
constexpr qsizetype kMostModules = 200;

int AppendModule(dl_phdr_info* info, size_t, void* data) {
  auto* modules = static_cast<QStringList*>(data);
  if (modules->size() >= kMostModules) {
    return 1;
  }
  const bool isProgram = info->dlpi_name == nullptr || info->dlpi_name[0] == '\0';
  const QString name =
      isProgram ? QStringLiteral("(the program)") : QString::fromStdString(Neutralised(info->dlpi_name));
  modules->append(QStringLiteral("0x%1 %2").arg(quint64{info->dlpi_addr}, 12, 16, QLatin1Char('0')).arg(name));
  return 0;
}

}  // namespace

QStringList LoadedModules() {
  QStringList modules;
  dl_iterate_phdr(AppendModule, &modules);
  return modules;
}
#elif defined(_WIN32)
QStringList LoadedModules() { return SinkLines(WriteLoadedModules); }
#else
QStringList LoadedModules() { return {}; }
#endif

}  // namespace kestrum
