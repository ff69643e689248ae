// Texts that a report takes from outside the program: process names, module
// and symbol names, exception messages, the operating system's name. Any
// process may name itself with escape sequences that a terminal would obey
// when the report goes to the standard error, so every character that a
// display obeys rather than shows becomes U+FFFD, by the rule the window and
// kestrum-cli share; so does every byte that begins no UTF-8 character.
#pragma once

#include <string>
#include <string_view>

#include "crash_reports/fatal/text_sink.h"

namespace kestrum {

// Allocates nothing: usable inside the fatal-error handlers.
void WriteNeutralised(TextSink& sink, std::string_view text);

// The same as a string, for what is prepared outside the handlers.
std::string Neutralised(std::string_view text);

}  // namespace kestrum
