// kestrum-cli: search, change and diagnose LED-display control cards from a
// terminal or a script, and list the changes made. It searches and changes
// through the Orvell library, bound at load time like the window.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "batch_commands.h"
#include "card_listing.h"
#include "cli_arguments.h"
#include "diagnose.h"
#include "history_command.h"
#include "orvell.h"
#include "output_language.h"
#include "set_command.h"

namespace {

using namespace kestrum::cli;

int RunSearch(const Listing& listing) {
  const std::vector<ControlRecord> table = SearchCards().cards;
  std::fputs(CardListing(table, listing).c_str(), stdout);
  if (listing.format == Format::kTable && OutputLanguage() == kestrum::Language::kChinese)
    std::printf("找到 %zu 张卡\n", table.size());
  else if (listing.format == Format::kTable)
    std::printf("%zu card%s found\n", table.size(), table.size() == 1 ? "" : "s");
  return table.empty() ? 1 : 0;
}

// Output is UTF-8 with the line ends the format gives (CSV's are CR LF): a
// Windows console shows it as such, and nothing is added to a line end.
void UseUtf8Output() {
#if defined(_WIN32)
  SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

// A write to a closed pipe then fails and is told as such, instead of ending
// the program silently.
void TellWritesToClosedPipes() {
#if !defined(_WIN32)
  std::signal(SIGPIPE, SIG_IGN);
#endif
}

constexpr int kNotWritten = 1;

// Whether everything written reached the output; a full disk or a closed
// pipe must not pass for a listing a script can trust.
bool OutputWritten() {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  std::fprintf(stderr, "kestrum-cli: the output could not be written: %s\n", std::strerror(errno));
  return false;
}

int Run(const Command& command) {
  switch (command.kind) {
    case CommandKind::kHelp:
      std::fputs(HelpText(command.helpTopic).c_str(), stdout);
      return 0;
    case CommandKind::kSearch:
      return RunSearch(command.listing);
    case CommandKind::kSet:
      return RunSet(command);
    case CommandKind::kDiagnose:
      return RunDiagnose();
    case CommandKind::kHistory:
      return RunHistory(command);
  }
  return kBadUsage;
}

}  // namespace

int main(int argc, char** argv) {
  UseUtf8Output();
  TellWritesToClosedPipes();
  std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string languageError;
  const std::optional<kestrum::Language> language = TakeLanguageOption(arguments, languageError);
  if (!languageError.empty()) {
    std::fprintf(stderr, "kestrum-cli: %s\n", languageError.c_str());
    return kBadUsage;
  }
  SetOutputLanguage(language.value_or(SystemLanguage()));
  if (const auto status = RunBatchCommand(arguments)) return OutputWritten() ? *status : kNotWritten;
  const ParsedCommand parsed = ParseArguments(arguments);
  if (!parsed.command) {
    std::fprintf(stderr, "kestrum-cli: %s\n", parsed.error.c_str());
    return kBadUsage;
  }
  const int status = Run(*parsed.command);
  return OutputWritten() ? status : kNotWritten;
}
