// A stand-in for the protocol library: the search returns the scripted
// records at once, without any network, and every parameter change is
// recorded with the answer scripted for it. Plain function pointers, as the
// window takes the library's exports, so the script lives in globals.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "card_protocol.h"
#include "parameter_datagrams.h"

namespace kestrum::testing {

// One ConfigControlPara call, its texts copied while they were valid.
struct RecordedChange {
  // What the request carries; serverIp as the library converts serverIpText.
  orvell::parameter::ParameterChange change;
  std::optional<std::string> oldMac;  // nullopt for a null pointer
  std::optional<std::string> newMac;
  std::string serverIpText;
};

struct ScriptedCards {
  // The records the next searches find, in answer order.
  static void Set(std::vector<ControlRecord> cards);
  // What the search returns instead of the count, e.g. a library error.
  static void SetResult(std::int32_t result);
  // Runs inside the search call, to look at the window while it waits.
  static void SetDuringSearch(std::function<void()> probe);
  static int SearchCount();
  // What ConfigControlPara returns; 1 (a card confirmed) unless set.
  static void SetChangeResult(std::int32_t result);
  static const std::vector<RecordedChange>& Changes();
  static void Reset();

  static CardProtocol Protocol();
};

}  // namespace kestrum::testing

namespace orvell::parameter {
// For QCOMPARE: every field, addresses dotted.
char* toString(const ParameterChange& change);
}  // namespace orvell::parameter
