// The emulator's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cardsim {

struct Options {
  std::optional<std::size_t> count;   // --count N: generated cards
  std::string cardFile;               // --cards FILE.json
  std::string stateFile;              // --state FILE.json: remembered across runs
  std::uint32_t firstIp = 0;          // --base-ip A.B.C.D (network order), for --count
  std::uint16_t port = 9999;          // --port P
  bool broadcastReplies = false;      // --broadcast-replies
  bool answerTwice = false;           // --answer-twice: every answer sent twice, as a faulty card may
  std::optional<std::size_t> alsoSend;  // --also-send N: an N-byte datagram after the answers to a search
  std::uint32_t maxDelayMs = 0;       // --max-delay-ms N
  std::size_t replyExtraBytes = 0;    // --reply-extra N
  std::optional<std::uint32_t> seed;  // --seed N: repeatable delays
  bool verbose = false;               // --verbose
  std::vector<std::string> ignoreChangesOf;  // --ignore-changes MAC: that card drops parameter requests
};

// The options, or an error message (the usage text for --help).
struct ParsedOptions {
  std::optional<Options> options;
  std::string message;
};

ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace cardsim
