#include "crash_reports/fatal/file_sink.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace kestrum {

void FileSink::Write(std::string_view text) {
  while (!text.empty() && !failed_) {
    if (used_ == kBufferBytes) {
      Flush();
    }
    const std::size_t room = kBufferBytes - used_;
    const std::size_t count = text.size() < room ? text.size() : room;
    std::memcpy(buffer_ + used_, text.data(), count);
    used_ += count;
    text.remove_prefix(count);
  }
}

void FileSink::Flush() {
  if (used_ > 0 && !failed_) {
    failed_ = !WriteAll(buffer_, used_);
  }
  used_ = 0;
}

#ifdef _WIN32
bool FileSink::WriteAll(const char* bytes, std::size_t count) {
  const HANDLE file = reinterpret_cast<HANDLE>(file_);
  while (count > 0) {
    DWORD written = 0;
    if (!WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr) || written == 0) {
      return false;
    }
    bytes += written;
    count -= written;
  }
  return true;
}
#else
bool FileSink::WriteAll(const char* bytes, std::size_t count) {
  const int file = static_cast<int>(file_);
  while (count > 0) {
    const ssize_t written = ::write(file, bytes, count);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}
#endif

}  // namespace kestrum
