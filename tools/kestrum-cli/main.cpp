// kestrum-cli: search, change and diagnose LED-display control cards from a
// terminal or a script. It searches and changes through the Orvell library,
// bound at load time like the window.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "card_listing.h"
#include "cli_arguments.h"
#include "diagnose.h"
#include "orvell.h"
#include "set_command.h"

namespace {

using namespace kestrum::cli;

int RunSearch(Format format) {
  const std::vector<ControlRecord> table = SearchCards();
  std::fputs(CardListing(table, format).c_str(), stdout);
  if (format == Format::kTable) std::printf("%zu card%s found\n", table.size(), table.size() == 1 ? "" : "s");
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

}  // namespace

int main(int argc, char** argv) {
  UseUtf8Output();
  const ParsedCommand parsed = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.command) {
    std::fprintf(stderr, "kestrum-cli: %s\n", parsed.error.c_str());
    return kBadUsage;
  }
  const Command& command = *parsed.command;
  switch (command.kind) {
    case CommandKind::kHelp:
      std::fputs(HelpText(command.helpTopic).c_str(), stdout);
      return 0;
    case CommandKind::kSearch:
      return RunSearch(command.format);
    case CommandKind::kSet:
      return RunSet(command);
    case CommandKind::kDiagnose:
      return RunDiagnose();
  }
  return kBadUsage;
}
