// A file of the state folder, opened so that nothing but the user's own
// folder and regular files is used: no symbolic link (on Windows no reparse
// point) is followed, neither for the folder nor for the file, an open never
// waits on a FIFO or a device, and what stands there instead is named.
#pragma once

#include <cstdint>
#include <string>

namespace kestrum {

// Which file an open handle is, to see later whether the path still names it.
struct FileIdentity {
  std::uint64_t device = 0, index = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// An open state file, closed when it goes.
class StateFile {
 public:
#ifdef _WIN32
  using Handle = void*;
#else
  using Handle = int;
#endif
  StateFile() = default;
  explicit StateFile(Handle handle) : handle_(handle) {}
  StateFile(StateFile&& other) noexcept : handle_(other.Release()) {}
  StateFile& operator=(StateFile&& other) noexcept;
  ~StateFile();

  bool IsOpen() const;
  Handle Native() const { return handle_; }
  FileIdentity Identity() const;
  std::uint64_t Size() const;
  // Up to `size` bytes from `offset`: how many were read, 0 at the end,
  // negative on an error.
  long long ReadAt(std::uint64_t offset, char* buffer, std::size_t size) const;

 private:
  Handle Release();
#ifdef _WIN32
  Handle handle_ = reinterpret_cast<Handle>(-1);
#else
  Handle handle_ = -1;
#endif
};

struct OpenedStateFile {
  StateFile file;
  bool missing = false;  // reading: the folder or the file is not there yet
  // Otherwise, when not open: the path that stopped it (the folder or the
  // file, UTF-8) and what was found there, "is a FIFO, not a regular file".
  std::string path;
  std::string found;
};

enum class StateAccess { kRead, kAppend };

// `name` in `folder`; kAppend makes the folder and the file when missing and
// opens the file for appending (and reading its last byte).
OpenedStateFile OpenStateFile(const std::string& folder, const std::string& name, StateAccess access);

}  // namespace kestrum
