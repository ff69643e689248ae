// One change in the history: when, from which program, to which card, what
// the card had before and what was sent, whether a card confirmed, and the
// warnings the operator went ahead despite. Stored as one JSON object on one
// line, so that a person reads it and a script parses it line by line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control_record.h"
#include "parameter_datagrams.h"

namespace kestrum::history {

// A card's network values, addresses as dotted texts.
struct CardValues {
  std::string ip, mask, gateway, serverIp;
  std::uint16_t serverPort = 0;
  std::uint8_t heartbeat = 0;

  friend bool operator==(const CardValues&, const CardValues&) = default;
};

inline constexpr char kProgramWindow[] = "window";
inline constexpr char kProgramCli[] = "cli";

struct HistoryEntry {
  std::string time;     // local time with its UTC offset, 2026-12-10T05:01:02+01:00
  std::string program;  // kProgramWindow or kProgramCli
  std::string mac;      // 00:1A:4B:00:00:02
  CardValues before;    // from the list the card was chosen from
  CardValues sent;
  bool confirmed = false;
  std::vector<std::string> warnings;  // one line each, as the operator saw them
  std::string batch;                  // shared by the entries of one plan; empty for a single change

  friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

// The card's values as its record holds them.
CardValues ValuesOf(const ControlRecord& card);
// The new values a parameter request carries.
CardValues ValuesSent(const orvell::parameter::ParameterChange& change);

// An entry of a change sent now, the time taken from the clock.
HistoryEntry ChangeSentNow(const char* program, const ControlRecord& before,
                           const orvell::parameter::ParameterChange& sent, bool confirmed,
                           std::vector<std::string> warnings);

// The entry as one line of JSON, ending in "\n".
std::string EntryLine(const HistoryEntry& entry);
// The entry a line holds; nothing for a line cut short, damaged or of
// another shape.
std::optional<HistoryEntry> EntryFromLine(std::string_view line);

}  // namespace kestrum::history
