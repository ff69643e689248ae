#include "demo_cards.h"

#include "card_json.h"

namespace kestrum::testing {

std::vector<ControlRecord> DemoCards() { return cardsim::LoadCardFile(KESTRUM_DEMO_CARDS); }

}  // namespace kestrum::testing
