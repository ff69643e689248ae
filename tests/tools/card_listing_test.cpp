// kestrum-cli's CSV and JSON of cards whose texts a host on the LAN chose:
// no formula a spreadsheet would run, nothing a terminal would obey.
#include "card_listing.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace {

using kestrum::cli::CardListing;
using kestrum::cli::Format;
using kestrum::cli::Listing;

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

std::vector<ControlRecord> CardsTyped(const std::vector<std::string>& typeVersions) {
  std::vector<ControlRecord> cards;
  for (const std::string& typeVersion : typeVersions) {
    ControlRecord card{};
    orvell::record::SetTypeVersion(card, typeVersion);
    cards.push_back(card);
  }
  return cards;
}

// Each CSV line's type and version fields as written, quotes kept; the
// header left out.
std::vector<std::string> TypeAndVersionFields(const std::string& csv) {
  std::vector<std::string> written;
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (const char c : line) {
      if (c == '"') quoted = !quoted;
      if (c == ',' && !quoted)
        fields.emplace_back();
      else
        fields.back() += c;
    }
    written.push_back(fields.at(2) + "," + fields.at(3));
  }
  return written;
}

TEST(CardListing, CsvNeutralisesFormulasAndWhatATerminalObeys) {
  const auto cards = CardsTyped({"=1+2-@SUM(1)", "+1--2", "\x1b]0;x\x07-V1", "=A,B-1+2"});
  const std::string csv = CardListing(cards, Listing{Format::kCsv, false});
  EXPECT_EQ(TypeAndVersionFields(csv), (std::vector<std::string>{
                                           "'=1+2,'@SUM(1)",
                                           "'+1,'-2",
                                           "\xEF\xBF\xBD]0;x\xEF\xBF\xBD,V1",
                                           "\"'=A,B\",1+2",
                                       }));
}

TEST(CardListing, CsvStartsWithTheByteOrderMarkUnlessLeftOut) {
  const auto cards = CardsTyped({"T8-V1"});
  EXPECT_EQ(CardListing(cards, Listing{Format::kCsv, true}).rfind(std::string(kByteOrderMark) + "number,", 0), 0u);
  EXPECT_EQ(CardListing(cards, Listing{Format::kCsv, false}).rfind("number,", 0), 0u);
  EXPECT_EQ(CardListing(cards, Listing{Format::kJson, true}).rfind("{", 0), 0u);
}

TEST(CardListing, JsonEscapesWhatADisplayObeysAndReadsBackAsTheCardsText) {
  // DEL, U+0085 (a C1 control) and U+202E; then U+2028 and U+200B, in GB18030.
  const auto cards = CardsTyped({"A\x7f\x81\x30\x81\x35\x81\x36\xa7\x31-V", "B-\x81\x36\xa6\x35\x81\x36\xa4\x37"});
  const std::string json = CardListing(cards, Listing{Format::kJson, true});
  for (const char* raw : {"\x7f", "\xC2\x85", "\xE2\x80\xAE", "\xE2\x80\xA8", "\xE2\x80\x8B"})
    EXPECT_EQ(json.find(raw), std::string::npos) << json;
  const auto read = nlohmann::json::parse(json)["cards"];
  EXPECT_EQ(read[0]["type"], "A\x7f\xC2\x85\xE2\x80\xAE");
  EXPECT_EQ(read[1]["version"], "\xE2\x80\xA8\xE2\x80\x8B");
}

}  // namespace
