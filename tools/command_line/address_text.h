// Dotted-decimal IPv4 and colon-separated MAC texts as people type them, on a
// command line or in the emulator's card files; written as the card list
// shows them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "control_record.h"

namespace kestrum::command_line {

// Four decimal octets, nothing else; the address in network order (first
// octet first in memory, as ControlRecord holds it).
std::optional<std::uint32_t> ParseIpv4(const std::string& text);
std::string FormatIpv4(std::uint32_t networkOrder);

// Two hexadecimal digits (either case) as one byte.
std::optional<std::uint8_t> HexByte(char high, char low);

// Six two-digit hexadecimal groups joined by ':' (either case accepted).
std::optional<orvell::record::Mac> ParseMac(const std::string& text);
// Upper-case, as the card list shows it.
std::string FormatMac(const orvell::record::Mac& mac);

}  // namespace kestrum::command_line
