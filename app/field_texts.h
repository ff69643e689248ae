// How a card's addresses and MAC are written in the list and the panel.
#pragma once

#include <QString>
#include <cstdint>

#include "control_record.h"

namespace kestrum {

// Dotted decimal of an address held in network byte order (first octet first
// in memory), as inet_ntoa writes it.
QString AddressText(std::uint32_t networkOrderAddress);

// Six upper-case two-digit hexadecimal groups joined by ":", first byte first.
QString MacText(const orvell::record::Mac& mac);

}  // namespace kestrum
