// Start-up: the fatal-error reporting first, then the application object
// (which catches what leaves an event handler and reports it), the report a
// fatal error of the last run left, if any, the one window with the user's
// change history, the event loop.
#include "card_search_window.h"
#include "crash_reports/fatal_report_notice.h"
#include "crash_reports/fatal_reporting_start.h"
#include "crash_reports/kestrum_application.h"
#include "history_file.h"
#include "orvell.h"
#include "orvell_network.h"
#include "window_language.h"

int main(int argc, char* argv[]) {
  const QString crashReportFolder = kestrum::StartFatalErrorReporting();
  kestrum::KestrumApplication application(argc, argv);
  kestrum::UseLanguage(kestrum::LanguageFromArguments(kestrum::KestrumApplication::arguments())
                           .value_or(kestrum::RememberedLanguage()));
  kestrum::ShowLeftoverFatalReport(crashReportFolder);
  // Both exports bound at load time: without them the program does not start.
  const kestrum::CardProtocol protocol{&::GetControlList, &::ConfigControlPara};
  kestrum::TFrm_CardSearch window(protocol);
  window.SetChangeHistoryFile(kestrum::history::DefaultHistoryFile());
  window.SetBatchSender(kestrum::batch::OrvellNetwork({}).sendTogether);
  window.show();
  kestrum::KestrumApplication::exec();
  return 0;
}
