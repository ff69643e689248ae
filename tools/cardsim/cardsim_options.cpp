#include "cardsim_options.h"

#include <limits>

#include "address_text.h"
#include "argument_cursor.h"

namespace cardsim {

using kestrum::command_line::ArgumentCursor;
using kestrum::command_line::ParseDecimal;
using kestrum::command_line::ParseIpv4;
using kestrum::command_line::ParseMac;

namespace {

// The largest UDP/IPv4 payload (65,535 - 20 IP - 8 UDP) less the
// confirmation's 24 header bytes.
constexpr std::size_t kMaxReplyExtraBytes = 65507 - 24;
constexpr std::size_t kMaxCards = 65536;

ParsedOptions Refuse(const std::string& message) { return {std::nullopt, message + "\n" + UsageText()}; }

template <typename Integer>
bool TakeNumber(ArgumentCursor& cursor, Integer max, Integer& out) {
  const auto text = cursor.TakeValue();
  if (!text) return false;
  const auto value = ParseDecimal<Integer>(*text, max);
  if (!value) return false;
  out = *value;
  return true;
}

}  // namespace

std::string UsageText() {
  return "usage: cardsim (--count N [--base-ip A.B.C.D] | --cards FILE.json) [--state FILE.json]\n"
         "               [--port P] [--broadcast-replies] [--answer-twice] [--also-send N] [--ignore-changes MAC]\n"
         "               [--max-delay-ms N] [--reply-extra N] [--seed N] [--verbose]\n"
         "Emulates control cards on UDP port P (9999): answers search requests with one reply per\n"
         "card and applies parameter requests addressed to a card's current IP, gateway and mask.\n"
         "Each card answers from its own IP address, as real cards do (root in the namespace).\n"
         "--also-send N: after the answers to a search, an N-byte datagram that is no answer, as\n"
         "another device on the port would send. --state keeps the cards in FILE.json across runs\n"
         "(read at start when it exists).\n";
}

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
  options.firstIp = *ParseIpv4("192.168.1.100");
  ArgumentCursor cursor(arguments);
  while (!cursor.Done()) {
    const std::string name = cursor.Take();
    bool ok = true;
    if (name == "--help" || name == "-h") {
      return {std::nullopt, UsageText()};
    } else if (name == "--count") {
      std::size_t count = 0;
      ok = TakeNumber(cursor, kMaxCards, count);
      options.count = count;
    } else if (name == "--cards") {
      const auto value = cursor.TakeValue();
      ok = value.has_value() && !value->empty();
      if (ok) options.cardFile = *value;
    } else if (name == "--state") {
      const auto value = cursor.TakeValue();
      ok = value.has_value() && !value->empty();
      if (ok) options.stateFile = *value;
    } else if (name == "--base-ip") {
      const auto value = cursor.TakeValue();
      const auto address = value ? ParseIpv4(*value) : std::nullopt;
      ok = address.has_value();
      if (ok) options.firstIp = *address;
    } else if (name == "--port") {
      ok = TakeNumber(cursor, std::numeric_limits<std::uint16_t>::max(), options.port);
    } else if (name == "--broadcast-replies") {
      options.broadcastReplies = true;
    } else if (name == "--answer-twice") {
      options.answerTwice = true;
    } else if (name == "--also-send") {
      std::size_t bytes = 0;
      ok = TakeNumber(cursor, std::size_t{65507}, bytes);
      options.alsoSend = bytes;
    } else if (name == "--max-delay-ms") {
      ok = TakeNumber(cursor, std::uint32_t{60000}, options.maxDelayMs);
    } else if (name == "--reply-extra") {
      ok = TakeNumber(cursor, kMaxReplyExtraBytes, options.replyExtraBytes);
    } else if (name == "--seed") {
      std::uint32_t seed = 0;
      ok = TakeNumber(cursor, std::numeric_limits<std::uint32_t>::max(), seed);
      options.seed = seed;
    } else if (name == "--ignore-changes") {
      const auto value = cursor.TakeValue();
      ok = value.has_value() && ParseMac(*value).has_value();
      if (ok) options.ignoreChangesOf.push_back(*value);
    } else if (name == "--verbose") {
      options.verbose = true;
    } else {
      return Refuse("cardsim: unknown option '" + name + "'");
    }
    if (!ok) return Refuse("cardsim: " + name + " needs a valid value");
  }
  if (options.count && !options.cardFile.empty()) return Refuse("cardsim: give --count or --cards, not both");
  if (!options.count && options.cardFile.empty() && options.stateFile.empty())
    return Refuse("cardsim: give --count N, --cards FILE.json or --state FILE.json");
  return {options, {}};
}

}  // namespace cardsim
