// The cards as kestrum-cli prints them: every field the window shows, as a
// table for people, CSV for spreadsheets, JSON for scripts (with each code's
// number and the record's bytes as well).
#pragma once

#include <span>
#include <string>

#include "cli_arguments.h"
#include "control_record.h"

namespace kestrum::cli {

// The cards in the order given, numbered from 1; for JSON one document.
std::string CardListing(std::span<const ControlRecord> cards, const Listing& listing);

}  // namespace kestrum::cli
