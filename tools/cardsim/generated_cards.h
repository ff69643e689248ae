// Cards made up for tests and demos: every field varies from card to card, and
// MAC and IP addresses are distinct.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "control_record.h"

namespace cardsim {

// count cards; the first takes firstIp (network order), the next ones the
// following addresses, skipping those ending in .0 and .255. The mask is
// 255.255.255.0 and the gateway .1 of the first card's subnet; cards of
// different subnets differ in MAC.
std::vector<ControlRecord> GenerateCards(std::size_t count, std::uint32_t firstIp);

}  // namespace cardsim
