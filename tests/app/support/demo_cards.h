// The demo's dozen cards of varied fields, read from the emulator's example
// file (tools/cardsim/examples/demo-cards.json), for the scripted screenshot.
#pragma once

#include <vector>

#include "orvell.h"

namespace kestrum::testing {

std::vector<ControlRecord> DemoCards();

}  // namespace kestrum::testing
