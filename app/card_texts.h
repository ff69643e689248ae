// How a card's addresses and MAC are written, in UTF-8 and without Qt, so
// that the window and the command line write them alike. The window turns
// them into its own strings at its edge.
#pragma once

#include <cstdint>
#include <string>

#include "control_record.h"

namespace kestrum {

// Dotted decimal of an address held in network byte order (first octet first
// in memory), as inet_ntoa writes it.
std::string DottedAddress(std::uint32_t networkOrderAddress);

// Six upper-case two-digit hexadecimal groups joined by ":", first byte first.
std::string MacAddressText(const orvell::record::Mac& mac);

}  // namespace kestrum
