// A TextSink that writes into an open file through a fixed buffer, with the
// system's own write call: usable inside a signal handler or an
// unhandled-exception filter. A failed write (a full disk) is remembered and
// the rest is dropped; it never stops the report's writer.
#pragma once

#include <cstdint>

#include "crash_reports/fatal/text_sink.h"

namespace kestrum {

class FileSink final : public TextSink {
 public:
  // A file descriptor on POSIX, a HANDLE on Windows.
  using NativeFile = std::intptr_t;

  explicit FileSink(NativeFile file) : file_(file) {}
  ~FileSink() override { Flush(); }
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  void Write(std::string_view text) override;
  void Flush();
  bool Failed() const { return failed_; }

 private:
  bool WriteAll(const char* bytes, std::size_t count);

  // Small enough for the alternate signal stack it lives on.
  static constexpr std::size_t kBufferBytes = 4096;
  NativeFile file_;
  char buffer_[kBufferBytes];
  std::size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace kestrum
