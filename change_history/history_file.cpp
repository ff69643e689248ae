#include "history_file.h"

#include <array>
#include <filesystem>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#include "output_text.h"
#include "state_folder.h"

namespace kestrum::history {
namespace {

constexpr char kFileName[] = "change-history.jsonl";
// A line longer than any entry is damaged; past this it is not kept whole.
constexpr std::size_t kLongestLine = 1 << 20;

std::string FolderOf(const std::string& file) {
  const std::filesystem::path path(std::u8string(file.begin(), file.end()));
  const std::u8string folder = path.parent_path().u8string();
  return std::string(folder.begin(), folder.end());
}

std::string NameOf(const std::string& file) {
  const std::filesystem::path path(std::u8string(file.begin(), file.end()));
  const std::u8string name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

// Paths come from the environment: shown, never obeyed.
std::string Refused(const OpenedStateFile& opened) {
  return card_text::Shown(opened.path) + " " + opened.found;
}

OpenedStateFile Open(const std::string& file, StateAccess access) {
  return OpenStateFile(FolderOf(file), NameOf(file), access);
}

#ifdef _WIN32
std::string LastError() {
  char message[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, message,
                 sizeof message, nullptr);
  std::string text(message);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

// Writers take turns on one byte far past any history's end: Windows puts
// each write of an append-only handle at the end as one piece, but wine
// finds the end and writes in two steps, and two writers there lost entries.
// No write touches the locked byte, so the lock holds back writers only.
OVERLAPPED TurnByte() {
  OVERLAPPED turn{};
  turn.OffsetHigh = 0x7FFFFFFF;
  return turn;
}

// Empty when the whole text is written at the end, else why not.
std::string WriteAtEnd(const StateFile& file, std::string text) {
  const HANDLE handle = file.Native();
  OVERLAPPED turn = TurnByte();
  const bool locked = LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn) != 0;
  char last = '\n';
  const std::uint64_t size = file.Size();
  if (size > 0 && file.ReadAt(size - 1, &last, 1) == 1 && last != '\n') text.insert(0, 1, '\n');
  DWORD written = 0;
  const BOOL wrote = WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  const std::string error = wrote ? std::string() : LastError();
  if (locked) UnlockFileEx(handle, 0, 1, 0, &turn);
  if (!wrote) return "cannot be written: " + error;
  return written == text.size() ? std::string() : "took only part of the entry";
}
#else
// A line that a crash cut short has no line end: the next entry starts on
// a line of its own, or it would be lost with the cut one.
std::string WriteAtEnd(const StateFile& file, std::string text) {
  char last = '\n';
  const std::uint64_t size = file.Size();
  if (size > 0 && file.ReadAt(size - 1, &last, 1) == 1 && last != '\n') text.insert(0, 1, '\n');
  ssize_t written = 0;
  do {
    written = write(file.Native(), text.data(), text.size());
  } while (written < 0 && errno == EINTR);  // nothing was written: the one write is still to come
  if (written < 0) return std::string("cannot be written: ") + std::strerror(errno);
  return static_cast<std::size_t>(written) == text.size() ? std::string() : "took only part of the entry";
}
#endif

// A whole line: an entry handed on, or a damaged line counted. False when
// `each` wants no more.
bool TakeLine(std::string& line, const std::function<bool(HistoryEntry&&)>& each, HistoryScan& scan) {
  std::string_view text(line);
  if (text.ends_with('\r')) text.remove_suffix(1);
  bool more = true;
  if (!text.empty()) {
    auto entry = line.size() > kLongestLine ? std::nullopt : EntryFromLine(text);
    if (entry)
      more = each(std::move(*entry));
    else
      ++scan.skipped;
  }
  line.clear();
  return more;
}

}  // namespace

std::string DefaultHistoryFile() { return PathIn(StateFolder(), kFileName); }

std::string AppendEntry(const std::string& file, const HistoryEntry& entry) {
  if (file.empty()) return "there is no folder for the history: neither the state folder nor a home is set";
  const OpenedStateFile opened = Open(file, StateAccess::kAppend);
  if (!opened.file.IsOpen())
    return opened.path == file ? "the history " + Refused(opened)
                               : "the history " + card_text::Shown(file) + " cannot be kept: " + Refused(opened);
  const std::string error = WriteAtEnd(opened.file, EntryLine(entry));
  return error.empty() ? error : "the history " + card_text::Shown(file) + " " + error;
}

HistoryScan ScanHistory(const std::string& file, const HistoryCursor& from,
                        const std::function<bool(HistoryEntry&&)>& each, std::uint64_t until) {
  HistoryScan scan;
  const OpenedStateFile opened = file.empty() ? OpenedStateFile{StateFile(), true, {}, {}} : Open(file, StateAccess::kRead);
  if (!opened.file.IsOpen()) {
    scan.missing = opened.missing;
    scan.startedOver = from.offset != 0;
    if (!opened.missing) scan.error = Refused(opened);
    return scan;
  }
  const FileIdentity identity = opened.file.Identity();
  const std::uint64_t size = opened.file.Size();
  const bool same = from.file == identity && from.offset <= size;
  scan.startedOver = !same;
  std::uint64_t offset = same ? from.offset : 0;
  std::uint64_t taken = offset;  // past the last whole line
  std::array<char, 64 * 1024> buffer{};
  std::string line;
  bool more = true;
  while (more && offset < until) {
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), until - offset));
    const long long read = opened.file.ReadAt(offset, buffer.data(), wanted);
    if (read < 0) {
      scan.error = card_text::Shown(file) + " cannot be read to its end";
      return scan;
    }
    if (read == 0) break;
    for (std::size_t i = 0; more && i < static_cast<std::size_t>(read); ++i) {
      if (buffer[i] == '\n') {
        taken = offset + i + 1;
        more = TakeLine(line, each, scan);
      } else if (line.size() <= kLongestLine) {
        line.push_back(buffer[i]);
      }
    }
    offset += static_cast<std::uint64_t>(read);
  }
  scan.cursor = {taken, identity};
  scan.end = taken;
  // The last line has no end yet: cut by a crash, or being written.
  if (more && taken < offset) {
    TakeLine(line, each, scan);
    scan.end = offset;
  }
  return scan;
}

HistoryRead ReadHistory(const std::string& file) {
  HistoryRead read;
  const HistoryScan scan = ScanHistory(file, {}, [&](HistoryEntry&& entry) {
    read.entries.push_back(std::move(entry));
    return true;
  });
  read.skipped = scan.skipped;
  read.missing = scan.missing;
  read.error = scan.error;
  if (!read.error.empty()) read.entries.clear();
  return read;
}

}  // namespace kestrum::history
