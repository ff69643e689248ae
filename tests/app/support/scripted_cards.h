// A stand-in for the protocol library: the search returns the scripted
// records at once, without any network. Plain function pointers, as the
// window takes the library's exports, so the script lives in globals.
#pragma once

#include <functional>
#include <vector>

#include "card_protocol.h"

namespace kestrum::testing {

struct ScriptedCards {
  // The records the next searches find, in answer order.
  static void Set(std::vector<ControlRecord> cards);
  // What the search returns instead of the count, e.g. a library error.
  static void SetResult(std::int32_t result);
  // Runs inside the search call, to look at the window while it waits.
  static void SetDuringSearch(std::function<void()> probe);
  static int SearchCount();
  static void Reset();

  static CardProtocol Protocol();
};

}  // namespace kestrum::testing
