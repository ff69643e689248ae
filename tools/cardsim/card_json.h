// The emulator's card files: a JSON array with one object per card, fields
// named as in ControlRecord (typeVersion, screenNo, width, height, colorStyle,
// baudCode, scanStyle, lineOrder, rgChange, ip, mask, gateway, mac, serverIp,
// serverPort, heartbeat). Addresses are dotted text, the MAC "00:1A:...".
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "control_record.h"

namespace cardsim {

// A card file that cannot be read or does not describe cards; the message
// names the card and the field.
class CardFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Missing fields are zero (or empty); unknown fields and values outside a
// field's width are refused, so a typo never silently yields a zero.
std::vector<ControlRecord> CardsFromJson(const nlohmann::json& cards);
nlohmann::json CardsToJson(const std::vector<ControlRecord>& cards);

std::vector<ControlRecord> LoadCardFile(const std::string& path);
// Replaces the file as a whole (written beside it, then renamed), so a reader
// or a crash never sees half a file.
void SaveCardFile(const std::string& path, const std::vector<ControlRecord>& cards);

}  // namespace cardsim
