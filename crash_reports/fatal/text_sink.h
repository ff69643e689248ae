// Where the parts of a fatal-error report write their text. A report is
// written from inside a signal handler or an unhandled-exception filter, so a
// sink takes text piece by piece and the helpers below format numbers into
// buffers on the stack: nothing here allocates or locks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrum {

class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void Write(std::string_view text) = 0;
};

// For reports gathered outside a handler (the report of a C++ exception, the
// tests): the text in a std::string, which does allocate.
class StringSink final : public TextSink {
 public:
  void Write(std::string_view text) override { text_.append(text); }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

void WriteDecimal(TextSink& sink, std::uint64_t value);
// "0x" and the digits, zero-filled to at least `digits`.
void WriteHex(TextSink& sink, std::uint64_t value, int digits = 1);
// A text of at most `limit` bytes that may lack its ending zero; empty for
// none.
std::string_view Bounded(const char* text, std::size_t limit);
void WriteBounded(TextSink& sink, const char* text, std::size_t limit);

}  // namespace kestrum
