// Every text a plan of changes gives the operator: why it is refused, what
// it warns of, how each card ended. One table: each row holds the text in
// both languages and a stable ASCII code that scripts read instead.
#pragma once

#include <initializer_list>
#include <string>

#include "text_language.h"

namespace kestrum::batch {

enum class PlanText {
  kCardNotListed,         // %1 MAC
  kCardListedTwice,       // %1 MAC
  kCardPlannedTwice,      // %1 MAC
  kValueRefused,          // %1 MAC, %2 the single change's refusal
  kSameNewIp,             // %1 IP, %2 MACs
  kIpHeldOutsidePlan,     // %1 MAC, %2 IP, %3 MAC of the card holding it
  kSharedAddress,         // %1 IP, %2 MACs
  kSharedWithOutside,     // %1 IP, %2 MACs in the plan, %3 MACs outside it
  kCycle,                 // %1 MACs
  kTooManyCards,          // %1 most
  kNoChangeToUndo,        // %1 MAC or batch id
  kChangedSince,          // %1 MAC, %2 the values the change gave, %3 those found
  kOneRequestServes,      // %1 count, %2 IP, %3 MACs
  kCardWarning,           // %1 MAC, %2 the single change's warning
  kOutcomeConfirmed,
  kOutcomeAlreadyAtValues,
  kOutcomeNotChanged,
  kOutcomeOtherValues,
  kOutcomeNotFound,
  kTextCount
};

// The text in `language` with %1, %2, ... replaced by the arguments in
// order, UTF-8.
std::string Text(PlanText text, Language language, std::initializer_list<std::string> arguments = {});

// The text's code, the same in every language ("confirmed", "address-cycle").
const char* Code(PlanText text);

// The separator of a list of MACs in a text.
const char* ListSeparator(Language language);

}  // namespace kestrum::batch
