// cardsim: emulates LED-display control cards on the private test network.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "address_text.h"
#include "card_json.h"
#include "card_responder.h"
#include "card_server.h"
#include "cardsim_options.h"
#include "generated_cards.h"
#include "private_network_guard.h"

namespace {

// A state file that exists holds the cards as they were last left, changes
// included, as a card's flash would; otherwise the cards come from the
// options and the state file starts from them.
std::vector<ControlRecord> InitialCards(const cardsim::Options& options) {
  if (!options.stateFile.empty() && std::filesystem::exists(options.stateFile))
    return cardsim::LoadCardFile(options.stateFile);
  std::vector<ControlRecord> cards =
      options.count ? cardsim::GenerateCards(*options.count, options.firstIp) : cardsim::LoadCardFile(options.cardFile);
  if (!options.stateFile.empty()) cardsim::SaveCardFile(options.stateFile, cards);
  return cards;
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed = cardsim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.options) {
    std::fputs(parsed.message.c_str(), parsed.message.rfind("usage:", 0) == 0 ? stdout : stderr);
    return parsed.message.rfind("usage:", 0) == 0 ? 0 : 2;
  }
  const cardsim::Options& options = *parsed.options;
  kestrum::RequirePrivateNetwork("cardsim");
  try {
    cardsim::CardResponder responder(InitialCards(options), options.replyExtraBytes);
    std::vector<orvell::record::Mac> deaf;
    for (const std::string& mac : options.ignoreChangesOf) deaf.push_back(*kestrum::command_line::ParseMac(mac));
    responder.IgnoreChangesOf(std::move(deaf));
    const cardsim::CardsChanged saveState = [&options](const std::vector<ControlRecord>& cards) {
      if (!options.stateFile.empty()) cardsim::SaveCardFile(options.stateFile, cards);
    };
    return cardsim::ServeCards(options, responder, saveState);
  } catch (const cardsim::CardFileError& e) {
    std::fprintf(stderr, "cardsim: %s\n", e.what());
    return 2;
  }
}
