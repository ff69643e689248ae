#include "history_command.h"

#include <cstdio>

#include "history_file.h"
#include "history_listing.h"

namespace kestrum::cli {

int RunHistory(const Command& command) {
  const std::string file = history::DefaultHistoryFile();
  const history::HistoryRead read = history::ReadHistory(file);
  if (!read.error.empty()) {
    std::fprintf(stderr, "kestrum-cli: the history %s cannot be read: %s\n", file.c_str(), read.error.c_str());
    return 1;
  }
  if (read.skipped > 0)
    std::fprintf(stderr, "kestrum-cli: %zu line%s of %s cut short or damaged, skipped\n", read.skipped,
                 read.skipped == 1 ? "" : "s", file.c_str());
  const auto entries = command.history.card ? ChangesOf(read.entries, *command.history.card) : read.entries;
  std::fputs(HistoryListing(entries, command.listing).c_str(), stdout);
  if (command.listing.format == Format::kTable)
    std::printf("%zu change%s recorded in %s%s\n", entries.size(), entries.size() == 1 ? "" : "s", file.c_str(),
                read.missing ? " (none yet)" : "");
  return 0;
}

}  // namespace kestrum::cli
