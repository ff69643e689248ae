// kestrum-cli's command line: which command, with what. Parsing sends
// nothing, so every bad argument is refused before the network is touched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "control_record.h"

namespace kestrum::cli {

enum class Format { kTable, kCsv, kJson };

// How the cards are printed.
struct Listing {
  Format format = Format::kTable;
  bool csvByteOrderMark = true;  // UTF-8's byte-order mark first, for spreadsheets
};

// The card a change is for: its current IP address or its MAC.
struct CardChoice {
  std::optional<std::uint32_t> ip;  // network byte order
  std::optional<orvell::record::Mac> mac;
  std::string text;  // as given
};

// What `set` changes; a value not given is kept from the card's record.
struct SetArguments {
  CardChoice card;
  std::optional<std::uint32_t> ip, mask, gateway, server;  // network byte order
  std::optional<std::uint16_t> port;
  std::optional<std::uint8_t> heartbeat;
  bool yes = false;         // do not ask
  bool allSharing = false;  // go on although other cards share the address
};

// What `history` lists: every change, or those of one card.
struct HistoryArguments {
  std::optional<CardChoice> card;
};

enum class CommandKind { kHelp, kSearch, kSet, kDiagnose, kHistory };

struct Command {
  CommandKind kind = CommandKind::kHelp;
  std::string helpTopic;  // for kHelp: "", "search", "set", "diagnose" or "history"
  Listing listing;
  SetArguments set;
  HistoryArguments history;
};

// The command, or one line saying what is wrong with the arguments.
struct ParsedCommand {
  std::optional<Command> command;
  std::string error;
};

ParsedCommand ParseArguments(const std::vector<std::string>& arguments);

std::string HelpText(const std::string& topic);

}  // namespace kestrum::cli
