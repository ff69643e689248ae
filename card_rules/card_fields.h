// A card as a row of texts: every field the window shows, in the order and
// under the names of kestrum-cli's listings and the window's export.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "control_record.h"
#include "text_language.h"

namespace kestrum::card_text {

inline constexpr std::array<const char*, 18> kCardColumns = {
    "number",   "screenNo", "type", "version", "width",   "height", "colour",   "baudRate",   "scanMode",
    "decoding", "redGreen", "ip",   "mask",    "gateway", "mac",    "serverIp", "serverPort", "heartbeat"};

// The card's texts under kCardColumns, the first its running number; the
// codes' texts in `language` (the column names never change).
std::vector<std::string> CardFields(const ControlRecord& card, std::size_t number,
                                    Language language = Language::kChinese);

}  // namespace kestrum::card_text
