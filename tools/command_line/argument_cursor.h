// The words of a command line taken one after another, and the decimal
// numbers among them; cardsim and kestrum-cli read their options with these.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace kestrum::command_line {

class ArgumentCursor {
 public:
  explicit ArgumentCursor(const std::vector<std::string>& arguments) : arguments_(arguments) {}
  bool Done() const { return next_ >= arguments_.size(); }
  const std::string& Take() { return arguments_[next_++]; }
  // The option's value; nothing when the line ends first.
  std::optional<std::string> TakeValue() {
    if (Done()) return std::nullopt;
    return Take();
  }

 private:
  const std::vector<std::string>& arguments_;
  std::size_t next_ = 0;
};

// Decimal digits only, from 0 to max; nothing for any other text.
template <typename Integer>
std::optional<Integer> ParseDecimal(const std::string& text, Integer max) {
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value > max) return std::nullopt;
  return static_cast<Integer>(value);
}

}  // namespace kestrum::command_line
