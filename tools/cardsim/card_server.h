// The emulator's socket side: one UDP socket on every local address, answers
// sent when due (each card's own random delay, interleaved in time), and a
// clean stop on SIGTERM or SIGINT.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "card_responder.h"
#include "cardsim_options.h"

namespace cardsim {

using CardsChanged = std::function<void(const std::vector<ControlRecord>&)>;

// Binds the options' port; on success prints the ready line and serves until
// a stop signal, then returns 0. Returns non-zero, with a message on stderr,
// when the port cannot be had.
int ServeCards(const Options& options, CardResponder& responder, const CardsChanged& onCardsChanged);

}  // namespace cardsim
