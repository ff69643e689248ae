#include "state_file.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#include "file_owner.h"
#include "state_folder.h"

namespace kestrum {
namespace {

constexpr char kNotAFile[] = ", not a regular file";
constexpr char kNotAFolder[] = ", not a folder";

#ifdef _WIN32
const HANDLE kClosed = INVALID_HANDLE_VALUE;

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

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// A reparse point (a symbolic link, a junction) is opened as itself and
// refused; a folder opens too, so that it can be named. Its owner can be read.
HANDLE OpenItself(const std::string& path, DWORD access, DWORD disposition) {
  return CreateFileW(Wide(path).c_str(), access | READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                     nullptr);
}

// What stands at an open handle when it is not what is wanted; empty when it
// is the user's own folder or regular file.
std::string Unwanted(HANDLE handle, bool wantFolder) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(handle, &information)) return "cannot be examined: " + SystemError(GetLastError());
  const DWORD attributes = information.dwFileAttributes;
  const char* notWanted = wantFolder ? kNotAFolder : kNotAFile;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return std::string("is a reparse point (a link)") + notWanted;
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (folder && !wantFolder) return std::string("is a directory") + kNotAFile;
  if (!folder && wantFolder) return std::string("is a file") + kNotAFolder;
  if (!wantFolder && GetFileType(handle) != FILE_TYPE_DISK) return std::string("is a device") + kNotAFile;
  if (IsOwnedByAnotherUser(handle)) return "is owned by another user";
  return {};
}

#else
const int kClosed = -1;

std::string TypeOf(mode_t mode) {
  if (S_ISLNK(mode)) return "is a symbolic link";
  if (S_ISDIR(mode)) return "is a directory";
  if (S_ISFIFO(mode)) return "is a FIFO";
  if (S_ISSOCK(mode)) return "is a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device";
  if (S_ISREG(mode)) return "is a regular file";
  return "is of an unknown kind";
}

// What stands at an open descriptor when it is not what is wanted; empty
// when it is the user's own folder or regular file.
std::string Unwanted(int descriptor, bool wantFolder) {
  struct stat status {};
  if (fstat(descriptor, &status) != 0) return std::string("cannot be examined: ") + std::strerror(errno);
  const bool right = wantFolder ? S_ISDIR(status.st_mode) : S_ISREG(status.st_mode);
  if (!right) return TypeOf(status.st_mode) + (wantFolder ? kNotAFolder : kNotAFile);
  if (status.st_uid != geteuid()) return "is owned by another user";
  // Root may open any folder: the owner's permissions say what the user meant.
  if (wantFolder && (status.st_mode & S_IRWXU) != S_IRWXU) return "cannot be read: its owner may not read, write or enter it";
  return {};
}

// Why an open of `name` in `folder` (AT_FDCWD and a whole path for the
// folder itself) failed, naming what stands there when that is the cause.
std::string WhyNotOpened(int folder, const char* name, int error, bool wantFolder) {
  struct stat status {};
  if (fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0) {
    const bool right = wantFolder ? S_ISDIR(status.st_mode) : S_ISREG(status.st_mode);
    if (!right) return TypeOf(status.st_mode) + (wantFolder ? kNotAFolder : kNotAFile);
  }
  return std::string(error == EACCES ? "cannot be read: " : "cannot be opened: ") + std::strerror(error);
}

#endif

OpenedStateFile Stopped(std::string path, std::string found) {
  OpenedStateFile opened;
  opened.path = std::move(path);
  opened.found = std::move(found);
  return opened;
}

OpenedStateFile Missing() {
  OpenedStateFile opened;
  opened.missing = true;
  return opened;
}

}  // namespace

StateFile& StateFile::operator=(StateFile&& other) noexcept {
  if (this != &other) {
    StateFile gone(Release());
    handle_ = other.Release();
  }
  return *this;
}

StateFile::Handle StateFile::Release() { return std::exchange(handle_, kClosed); }

bool StateFile::IsOpen() const { return handle_ != kClosed; }

#ifdef _WIN32
StateFile::~StateFile() {
  if (IsOpen()) CloseHandle(handle_);
}

FileIdentity StateFile::Identity() const {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(handle_, &information)) return {};
  return {information.dwVolumeSerialNumber,
          (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
}

std::uint64_t StateFile::Size() const {
  LARGE_INTEGER size{};
  return GetFileSizeEx(handle_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

long long StateFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) const {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD read = 0;
  if (ReadFile(handle_, buffer, static_cast<DWORD>(size), &read, &at)) return read;
  return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}

OpenedStateFile OpenStateFile(const std::string& folder, const std::string& name, StateAccess access) {
  const bool append = access == StateAccess::kAppend;
  if (append) MakeFolder(folder);
  {
    const HANDLE opened = OpenItself(folder, FILE_READ_ATTRIBUTES, OPEN_EXISTING);
    if (opened == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (!append && IsMissing(error)) return Missing();
      return Stopped(folder, "cannot be opened: " + SystemError(error));
    }
    const StateFile folderHandle(opened);
    if (std::string found = Unwanted(opened, true); !found.empty()) return Stopped(folder, std::move(found));
  }
  const std::string path = PathIn(folder, name);
  const HANDLE opened = OpenItself(path, append ? FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES : GENERIC_READ,
                                   append ? OPEN_ALWAYS : OPEN_EXISTING);
  if (opened == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (!append && IsMissing(error)) return Missing();
    return Stopped(path, "cannot be opened: " + SystemError(error));
  }
  OpenedStateFile result;
  result.file = StateFile(opened);
  if (std::string found = Unwanted(opened, false); !found.empty()) return Stopped(path, std::move(found));
  return result;
}
#else
StateFile::~StateFile() {
  if (IsOpen()) close(handle_);
}

FileIdentity StateFile::Identity() const {
  struct stat status {};
  if (fstat(handle_, &status) != 0) return {};
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

std::uint64_t StateFile::Size() const {
  struct stat status {};
  return fstat(handle_, &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
}

long long StateFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) const {
  ssize_t read = 0;
  do {
    read = pread(handle_, buffer, size, static_cast<off_t>(offset));
  } while (read < 0 && errno == EINTR);
  return read;
}

OpenedStateFile OpenStateFile(const std::string& folder, const std::string& name, StateAccess access) {
  const bool append = access == StateAccess::kAppend;
  if (append) MakeFolder(folder);
  // Non-blocking, so that a FIFO or a device in either place cannot hold
  // the open; what was opened is examined before anything is read.
  constexpr int kNeither = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  const StateFile folderFile(open(folder.c_str(), O_RDONLY | O_DIRECTORY | kNeither));
  if (!folderFile.IsOpen()) {
    const int error = errno;
    if (!append && error == ENOENT) return Missing();
    return Stopped(folder, WhyNotOpened(AT_FDCWD, folder.c_str(), error, true));
  }
  if (std::string found = Unwanted(folderFile.Native(), true); !found.empty()) return Stopped(folder, std::move(found));
  const int flags = append ? O_RDWR | O_APPEND | O_CREAT : O_RDONLY;
  OpenedStateFile result;
  result.file = StateFile(openat(folderFile.Native(), name.c_str(), flags | kNeither, 0600));
  const std::string path = PathIn(folder, name);
  if (!result.file.IsOpen()) {
    const int error = errno;
    if (!append && error == ENOENT) return Missing();
    return Stopped(path, WhyNotOpened(folderFile.Native(), name.c_str(), error, false));
  }
  if (std::string found = Unwanted(result.file.Native(), false); !found.empty()) return Stopped(path, std::move(found));
  return result;
}
#endif

}  // namespace kestrum
