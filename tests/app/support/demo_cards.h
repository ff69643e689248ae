// A dozen emulated cards with varied fields, for the demo and screenshot.
#pragma once

#include <vector>

#include "orvell.h"

namespace kestrum::testing {

std::vector<ControlRecord> DemoCards();

}  // namespace kestrum::testing
