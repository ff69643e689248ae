#include "history_command.h"

#include <cstdio>

#include "history_file.h"
#include "history_listing.h"
#include "output_text.h"

namespace kestrum::cli {
namespace {

// Every entry of the chosen card, up to byte `until`.
history::HistoryScan ScanChosen(const std::string& file, const Command& command, std::uint64_t until,
                                const std::function<void(const history::HistoryEntry&)>& each) {
  return history::ScanHistory(
      file, {},
      [&](history::HistoryEntry&& entry) {
        if (!command.history.card || IsChangeOf(entry, *command.history.card)) each(entry);
        return true;
      },
      until);
}

}  // namespace

int RunHistory(const Command& command) {
  const std::string file = history::DefaultHistoryFile();
  HistoryListingWriter writer(command.listing, stdout);
  std::size_t count = 0;
  // The table measures its columns in a first pass and writes what that
  // pass saw in a second; the other formats are written in one.
  std::uint64_t until = std::numeric_limits<std::uint64_t>::max();
  history::HistoryScan scan;
  if (writer.MeasuresFirst()) {
    scan = ScanChosen(file, command, until, [&](const history::HistoryEntry& entry) { writer.Measure(entry); });
    until = scan.end;
  }
  if (scan.error.empty()) {
    writer.Begin();
    const std::size_t skippedBefore = scan.skipped;
    scan = ScanChosen(file, command, until, [&](const history::HistoryEntry& entry) {
      writer.Write(entry);
      ++count;
    });
    if (writer.MeasuresFirst()) scan.skipped = skippedBefore;
    if (scan.error.empty()) writer.End();
  }
  if (!scan.error.empty()) {
    std::fprintf(stderr, "kestrum-cli: the history cannot be read: %s\n", scan.error.c_str());
    return 1;
  }
  const std::string shownFile = card_text::Shown(file);
  if (scan.skipped > 0)
    std::fprintf(stderr, "kestrum-cli: %zu line%s of %s cut short or damaged, skipped\n", scan.skipped,
                 scan.skipped == 1 ? "" : "s", shownFile.c_str());
  if (command.listing.format == Format::kTable)
    std::printf("%zu change%s recorded in %s%s\n", count, count == 1 ? "" : "s", shownFile.c_str(),
                scan.missing ? " (none yet)" : "");
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

}  // namespace kestrum::cli
