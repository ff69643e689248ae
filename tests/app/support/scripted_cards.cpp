#include "scripted_cards.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <QString>
#include <QTest>

#include "card_field_texts.h"
#include "inet_address.h"

namespace kestrum::testing {
namespace {

struct Script {
  std::vector<ControlRecord> cards;
  std::optional<std::int32_t> result;
  std::function<void()> duringSearch;
  int searches = 0;
  std::int32_t changeResult = 1;
  std::vector<RecordedChange> changes;
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

std::optional<std::string> TextCopy(const char* text) {
  if (text == nullptr) return std::nullopt;
  return std::string(text);
}

std::int32_t ORVELL_CALL RecordingConfigControlPara(std::uint32_t oldIp, std::uint32_t oldGateway,
                                                    std::uint32_t oldMask, const char* oldMac, std::uint32_t newIp,
                                                    std::uint32_t newGateway, std::uint32_t newMask, const char* newMac,
                                                    const char* newServerIp, std::uint16_t newServerPort,
                                                    std::uint8_t newHeartbeat) {
  RecordedChange call;
  call.change = {oldIp,         oldGateway,  oldMask, newIp, newGateway, newMask, orvell::InetAddr(newServerIp),
                 newServerPort, newHeartbeat};
  call.oldMac = TextCopy(oldMac);
  call.newMac = TextCopy(newMac);
  call.serverIpText = TextCopy(newServerIp).value_or(std::string());
  TheScript().changes.push_back(std::move(call));
  return TheScript().changeResult;
}

}  // namespace

void ScriptedCards::Set(std::vector<ControlRecord> cards) { TheScript().cards = std::move(cards); }
void ScriptedCards::SetResult(std::int32_t result) { TheScript().result = result; }
void ScriptedCards::SetDuringSearch(std::function<void()> probe) { TheScript().duringSearch = std::move(probe); }
int ScriptedCards::SearchCount() { return TheScript().searches; }
void ScriptedCards::SetChangeResult(std::int32_t result) { TheScript().changeResult = result; }
const std::vector<RecordedChange>& ScriptedCards::Changes() { return TheScript().changes; }
void ScriptedCards::Reset() { TheScript() = Script{}; }

CardProtocol ScriptedCards::Protocol() { return CardProtocol{&ScriptedGetControlList, &RecordingConfigControlPara}; }

}  // namespace kestrum::testing

namespace orvell::parameter {

char* toString(const ParameterChange& change) {
  const auto dotted = [](std::uint32_t address) { return kestrum::AddressText(address); };
  const QString text =
      QStringLiteral("old %1 gw %2 mask %3, new %4 gw %5 mask %6, server %7:%8, heartbeat %9")
          .arg(dotted(change.oldIp), dotted(change.oldGateway), dotted(change.oldMask), dotted(change.newIp),
               dotted(change.newGateway), dotted(change.newMask), dotted(change.serverIp),
               QString::number(change.serverPort), QString::number(change.heartbeat));
  return QTest::toString(text);
}

}  // namespace orvell::parameter
