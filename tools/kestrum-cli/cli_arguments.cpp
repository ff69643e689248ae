#include "cli_arguments.h"

#include <limits>
#include <set>

#include "address_text.h"
#include "argument_cursor.h"

namespace kestrum::cli {
namespace {

using command_line::ArgumentCursor;
using command_line::ParseDecimal;

ParsedCommand Refuse(std::string error) { return {std::nullopt, std::move(error)}; }

std::optional<Format> FormatNamed(const std::string& name) {
  if (name == "table") return Format::kTable;
  if (name == "csv") return Format::kCsv;
  if (name == "json") return Format::kJson;
  return std::nullopt;
}

std::optional<CardChoice> CardNamed(const std::string& text) {
  CardChoice card;
  card.text = text;
  card.ip = command_line::ParseIpv4(text);
  if (!card.ip) card.mac = command_line::ParseMac(text);
  if (!card.ip && !card.mac) return std::nullopt;
  return card;
}

// --format or --no-bom, which search and set both take; an error line when
// the value is bad.
std::string TakeListingOption(const std::string& name, ArgumentCursor& cursor, Listing& listing) {
  if (name == "--no-bom") return listing.csvByteOrderMark = false, "";
  const auto value = cursor.TakeValue();
  const auto format = value ? FormatNamed(*value) : std::nullopt;
  if (!format) return "--format takes table, csv or json";
  listing.format = *format;
  return "";
}

bool IsListingOption(const std::string& name) { return name == "--format" || name == "--no-bom"; }

// One option of `set`; an error line when it is not one or its value is bad.
std::string TakeSetOption(const std::string& name, ArgumentCursor& cursor, Command& command) {
  SetArguments& set = command.set;
  if (name == "--yes") return set.yes = true, "";
  if (name == "--all-sharing") return set.allSharing = true, "";
  if (IsListingOption(name)) return TakeListingOption(name, cursor, command.listing);
  std::optional<std::uint32_t>* address = name == "--ip"        ? &set.ip
                                          : name == "--mask"    ? &set.mask
                                          : name == "--gateway" ? &set.gateway
                                          : name == "--server"  ? &set.server
                                                                : nullptr;
  if (address == nullptr && name != "--port" && name != "--heartbeat")
    return "unknown option '" + name + "' (see kestrum-cli set --help)";
  const auto value = cursor.TakeValue();
  if (!value) return name + " needs a value";
  if (address != nullptr) {
    *address = command_line::ParseIpv4(*value);
    return *address ? "" : name + ": '" + *value + "' is not a dotted IPv4 address";
  }
  if (name == "--port") {
    set.port = ParseDecimal(*value, std::numeric_limits<std::uint16_t>::max());
    return set.port ? "" : "--port: '" + *value + "' is not a port number (0 to 65535)";
  }
  set.heartbeat = ParseDecimal(*value, std::numeric_limits<std::uint8_t>::max());
  return set.heartbeat ? "" : "--heartbeat: '" + *value + "' is not a heartbeat (0 to 255)";
}

// One option of `history`; an error line when it is not one or its value is bad.
std::string TakeHistoryOption(const std::string& name, ArgumentCursor& cursor, Command& command) {
  if (IsListingOption(name)) return TakeListingOption(name, cursor, command.listing);
  if (name != "--card") return "unknown option '" + name + "' for history (see kestrum-cli history --help)";
  const auto value = cursor.TakeValue();
  if (!value) return "--card needs a value";
  command.history.card = CardNamed(*value);
  return command.history.card ? "" : "--card: '" + *value + "' is neither a card's IP address nor its MAC";
}

bool ChangesSomething(const SetArguments& set) {
  return set.ip || set.mask || set.gateway || set.server || set.port || set.heartbeat;
}

}  // namespace

ParsedCommand ParseArguments(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return Refuse("no command given (see kestrum-cli --help)");
  ArgumentCursor cursor(arguments);
  const std::string name = cursor.Take();
  Command command;
  if (name == "--help" || name == "-h" || name == "help") {
    command.helpTopic = cursor.Done() ? "" : cursor.Take();
    return {command, {}};
  }
  if (name == "search") {
    command.kind = CommandKind::kSearch;
  } else if (name == "set") {
    command.kind = CommandKind::kSet;
  } else if (name == "diagnose") {
    command.kind = CommandKind::kDiagnose;
  } else if (name == "history") {
    command.kind = CommandKind::kHistory;
  } else {
    return Refuse("unknown command '" + name + "' (see kestrum-cli --help)");
  }
  bool cardGiven = false;
  std::set<std::string> given;  // a second --ip would silently win over the first
  while (!cursor.Done()) {
    const std::string option = cursor.Take();
    if (option == "--help" || option == "-h") return {Command{CommandKind::kHelp, name, {}, {}, {}}, {}};
    const bool isOption = option.rfind("--", 0) == 0;
    if (isOption && !given.insert(option).second) return Refuse(option + " is given twice");
    if (command.kind == CommandKind::kSet && !cardGiven && !isOption) {
      const auto card = CardNamed(option);
      if (!card) return Refuse("'" + option + "' is neither a card's IP address nor its MAC");
      command.set.card = *card;
      cardGiven = true;
    } else if (command.kind == CommandKind::kSet) {
      if (const std::string error = TakeSetOption(option, cursor, command); !error.empty()) return Refuse(error);
    } else if (command.kind == CommandKind::kHistory) {
      if (const std::string error = TakeHistoryOption(option, cursor, command); !error.empty()) return Refuse(error);
    } else if (command.kind == CommandKind::kSearch && IsListingOption(option)) {
      if (const std::string error = TakeListingOption(option, cursor, command.listing); !error.empty())
        return Refuse(error);
    } else {
      return Refuse("unknown option '" + option + "' for " + name + " (see kestrum-cli " + name + " --help)");
    }
  }
  if (command.kind == CommandKind::kSet && !cardGiven)
    return Refuse("set needs the card: its current IP address or its MAC");
  if (command.kind == CommandKind::kSet && !ChangesSomething(command.set))
    return Refuse("set needs a value to change: --ip, --mask, --gateway, --server, --port or --heartbeat");
  return {command, {}};
}

std::string HelpText(const std::string& topic) {
  if (topic == "search")
    return "usage: kestrum-cli search [--format table|csv|json] [--no-bom]\n"
           "Searches the network for control cards once (a UDP broadcast to port 9999, 0.6 s of\n"
           "listening) and lists every card that answered, once each, in the order of their answers.\n"
           "A search hands over at most 256 answers: when it hands over that many, the list may be\n"
           "cut, and kestrum-cli says so.\n"
           "A card's texts come from the network: characters a terminal would obey are shown as\n"
           "U+FFFD (in JSON written as \\u escapes). In CSV a field that starts with =, +, -, @,\n"
           "a tab or a CR gets a leading ' so that a spreadsheet does not run it as a formula; the\n"
           "CSV starts with UTF-8's byte-order mark, so that a spreadsheet reads it as UTF-8\n"
           "(--no-bom leaves it out, for scripts).\n"
           "Exit status: 0 when at least one card answered, 1 when none did or the output could\n"
           "not be written.\n";
  if (topic == "set")
    return "usage: kestrum-cli set CARD [--ip A] [--mask M] [--gateway G] [--server A] [--port N]\n"
           "                        [--heartbeat N] [--yes] [--all-sharing] [--format table|csv|json]\n"
           "                        [--no-bom]\n"
           "CARD is the card's current IP address or its MAC (00:1A:2B:3C:4D:5E). Searches first;\n"
           "a CARD that more than one card answers to is refused, listing them. Keeps every value\n"
           "not given from the card, checks the change as the window does, asks y/N on a terminal\n"
           "(--yes: do not ask; without a terminal --yes is needed), sends the change, then\n"
           "searches again for that card with the new values and prints it.\n"
           "Cards that share the card's current addresses all take a change: it is refused unless\n"
           "--all-sharing is given, and so is a change after a search that may have missed cards.\n"
           "Exit status: 0 confirmed and found with the new values; 1 not confirmed, not found,\n"
           "not wanted, or the output could not be written; 2 bad usage (nothing sent, or only the\n"
           "first search when --yes is missing); 3 refused by a check or an ambiguous CARD (only\n"
           "the first search sent).\n";
  if (topic == "diagnose")
    return "usage: kestrum-cli diagnose\n"
           "Tells why a card may not be found: the adapters a search leaves through, the local port\n"
           "the answers arrive on, every datagram one search receives and what became of it, and a\n"
           "hint where one fits. Exit status: 0 when a card answered, 1 when none did.\n";
  if (topic == "history")
    return "usage: kestrum-cli history [--card MAC|IP] [--format table|csv|json] [--no-bom]\n"
           "Lists the parameter changes that the window and kestrum-cli set sent from this user\n"
           "account, oldest first, newest last: the local time with its UTC offset, the program,\n"
           "the card's MAC, its values before and the values sent, whether a card confirmed, and\n"
           "the warnings the operator went ahead despite. --card lists the changes of the card with\n"
           "that MAC, or of cards that had or were given that IP address. The CSV follows search's\n"
           "rules. The history is the file change-history.jsonl in ~/.local/state/Kestrum\n"
           "($XDG_STATE_HOME/Kestrum; %LOCALAPPDATA%\\Kestrum on Windows), one JSON object a line;\n"
           "a line cut short (by a crash) is skipped and counted on the standard error.\n"
           "Exit status: 0 when the history was read (also when it is empty), 1 when it cannot be\n"
           "read or the output could not be written.\n";
  return "usage: kestrum-cli COMMAND [OPTIONS]\n"
         "Finds and changes LED-display control cards on the local network.\n"
         "  search     list the cards that answer a search\n"
         "  set        change a card's IP address, mask, gateway, server address, port, heartbeat\n"
         "  diagnose   why is my card not found?\n"
         "  history    the changes sent so far, by the window, by set and by plans\n"
         "  plan       a plan of changes for many cards, as CSV to review or edit\n"
         "  apply      send a plan to its cards at once, each verified by a search\n"
         "  restore    give a card, or a plan's cards, the values before their last change\n"
         "kestrum-cli COMMAND --help tells more of each.\n";
}

}  // namespace kestrum::cli
