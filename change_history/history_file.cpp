#include "history_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#include "state_folder.h"

namespace kestrum::history {
namespace {

constexpr char kFileName[] = "change-history.jsonl";

std::filesystem::path PathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string FolderOf(const std::string& file) {
  const std::u8string folder = PathFromUtf8(file).parent_path().u8string();
  return std::string(folder.begin(), folder.end());
}

#ifdef _WIN32
std::wstring Wide(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::string SystemError(DWORD code) {
  char message[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, message, sizeof message,
                 nullptr);
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

std::string AppendLine(const std::string& file, const std::string& line) {
  const HANDLE handle = CreateFileW(Wide(file).c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return SystemError(GetLastError());
  OVERLAPPED turn = TurnByte();
  const bool locked = LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn) != 0;
  std::string text = line;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(handle, &size) && size.QuadPart > 0) {
    OVERLAPPED last{};
    last.Offset = static_cast<DWORD>((size.QuadPart - 1) & 0xFFFFFFFF);
    last.OffsetHigh = static_cast<DWORD>((size.QuadPart - 1) >> 32);
    char byte = '\n';
    DWORD read = 0;
    if (ReadFile(handle, &byte, 1, &read, &last) && read == 1 && byte != '\n') text.insert(0, 1, '\n');
  }
  DWORD written = 0;
  const BOOL wrote = WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  const DWORD error = GetLastError();
  if (locked) UnlockFileEx(handle, 0, 1, 0, &turn);
  CloseHandle(handle);
  if (!wrote) return SystemError(error);
  return written == text.size() ? std::string() : "the disk took only part of the entry";
}
#else
// A line that a crash cut short has no line end: the next entry starts on
// a line of its own, or it would be lost with the cut one.
bool EndsMidLine(int descriptor) {
  struct stat status {};
  if (fstat(descriptor, &status) != 0 || status.st_size == 0) return false;
  char last = '\n';
  return pread(descriptor, &last, 1, status.st_size - 1) == 1 && last != '\n';
}

std::string AppendLine(const std::string& file, const std::string& line) {
  const int descriptor = open(file.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (descriptor < 0) return std::strerror(errno);
  const std::string text = EndsMidLine(descriptor) ? "\n" + line : line;
  ssize_t written = 0;
  do {
    written = write(descriptor, text.data(), text.size());
  } while (written < 0 && errno == EINTR);  // nothing was written: the one write is still to come
  const int writeError = errno;
  const bool closed = close(descriptor) == 0;
  if (written < 0) return std::strerror(writeError);
  if (static_cast<std::size_t>(written) != text.size()) return "the disk took only part of the entry";
  return closed ? std::string() : std::strerror(errno);
}
#endif

}  // namespace

std::string DefaultHistoryFile() { return PathIn(StateFolder(), kFileName); }

std::string AppendEntry(const std::string& file, const HistoryEntry& entry) {
  if (file.empty()) return "there is no folder for it: neither the state folder nor a home is set";
  const std::string folder = FolderOf(file);
  if (!folder.empty() && !MakeFolder(folder)) return "its folder " + folder + " cannot be made";
  return AppendLine(file, EntryLine(entry));
}

HistoryRead ReadHistory(const std::string& file) {
  HistoryRead read;
  std::error_code error;
  if (file.empty() || !std::filesystem::exists(PathFromUtf8(file), error)) {
    read.missing = true;
    return read;
  }
  std::ifstream stream(PathFromUtf8(file), std::ios::binary);
  if (!stream.is_open()) {
    read.error = "it cannot be read";
    return read;
  }
  const std::string content((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  for (std::size_t start = 0; start < content.size();) {
    const std::size_t end = std::min(content.find('\n', start), content.size());
    std::string_view line(content.data() + start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!line.empty()) {
      if (auto entry = EntryFromLine(line))
        read.entries.push_back(std::move(*entry));
      else
        ++read.skipped;
    }
    start = end + 1;
  }
  return read;
}

}  // namespace kestrum::history
