#include "scripted_cards.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace kestrum::testing {
namespace {

struct Script {
  std::vector<ControlRecord> cards;
  std::optional<std::int32_t> result;
  std::function<void()> duringSearch;
  int searches = 0;
};

Script& TheScript() {
  static Script script;
  return script;
}

std::int32_t ORVELL_CALL ScriptedGetControlList(ControlRecord* records, std::int32_t capacity) {
  Script& script = TheScript();
  ++script.searches;
  if (script.duringSearch) script.duringSearch();
  if (records == nullptr || capacity < 1) return ORVELL_BAD_ARGUMENTS;
  std::memset(records, 0, sizeof(ControlRecord) * static_cast<std::size_t>(capacity));
  const std::size_t filled = std::min(script.cards.size(), static_cast<std::size_t>(capacity));
  std::copy_n(script.cards.begin(), filled, records);
  return script.result.value_or(static_cast<std::int32_t>(filled));
}

std::int32_t ORVELL_CALL RefusedConfigControlPara(std::uint32_t, std::uint32_t, std::uint32_t, const char*,
                                                  std::uint32_t, std::uint32_t, std::uint32_t, const char*, const char*,
                                                  std::uint16_t, std::uint8_t) {
  return 0;
}

}  // namespace

void ScriptedCards::Set(std::vector<ControlRecord> cards) { TheScript().cards = std::move(cards); }
void ScriptedCards::SetResult(std::int32_t result) { TheScript().result = result; }
void ScriptedCards::SetDuringSearch(std::function<void()> probe) { TheScript().duringSearch = std::move(probe); }
int ScriptedCards::SearchCount() { return TheScript().searches; }
void ScriptedCards::Reset() { TheScript() = Script{}; }

CardProtocol ScriptedCards::Protocol() { return CardProtocol{&ScriptedGetControlList, &RefusedConfigControlPara}; }

}  // namespace kestrum::testing
