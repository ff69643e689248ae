// The emulator's card files: every field lands at its place in the record,
// a file survives a round trip, and a file with a mistake is refused with the
// card and field named.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "address_text.h"
#include "card_json.h"
#include "generated_cards.h"

namespace {

namespace rec = orvell::record;
using nlohmann::json;

json OneCard() {
  return json::parse(R"([{"typeVersion": "T16-V3.02", "screenNo": 7, "width": 256, "height": 128,
    "colorStyle": 2, "baudCode": 1, "scanStyle": 4, "lineOrder": 0, "rgChange": 1, "ip": "192.168.1.100",
    "mask": "255.255.255.0", "gateway": "192.168.1.1", "mac": "00:1a:2B:3c:4D:5e", "serverIp": "10.1.2.3",
    "serverPort": 9000, "heartbeat": 30}])");
}

TEST(CardJson, EveryFieldLandsAtItsPlaceInTheRecord) {
  const auto cards = cardsim::CardsFromJson(OneCard());
  ASSERT_EQ(cards.size(), 1u);
  const ControlRecord& card = cards[0];
  EXPECT_EQ(rec::TypeVersion(card), "T16-V3.02");
  EXPECT_EQ(card.bytes[rec::kScreenNoOffset], 7);
  EXPECT_EQ(card.bytes[rec::kWidthOffset], 0x00);  // 256 little-endian
  EXPECT_EQ(card.bytes[rec::kWidthOffset + 1], 0x01);
  EXPECT_EQ(rec::Height(card), 128);
  EXPECT_EQ(rec::ColorStyle(card), 2);
  EXPECT_EQ(rec::BaudCode(card), 1);
  EXPECT_EQ(rec::ScanStyle(card), 4);
  EXPECT_EQ(rec::LineOrder(card), 0);
  EXPECT_EQ(rec::RgChange(card), 1);
  const std::uint8_t ip[] = {192, 168, 1, 100};
  EXPECT_EQ(0, std::memcmp(card.bytes + rec::kIpOffset, ip, 4)) << "addresses first octet first";
  EXPECT_EQ(kestrum::command_line::FormatIpv4(rec::Mask(card)), "255.255.255.0");
  EXPECT_EQ(kestrum::command_line::FormatIpv4(rec::Gateway(card)), "192.168.1.1");
  EXPECT_EQ(kestrum::command_line::FormatMac(rec::MacAddress(card)), "00:1A:2B:3C:4D:5E");
  EXPECT_EQ(kestrum::command_line::FormatIpv4(rec::ServerIp(card)), "10.1.2.3");
  EXPECT_EQ(card.bytes[rec::kServerPortOffset], 0x28);  // 9000 = 0x2328, little-endian at an odd offset
  EXPECT_EQ(card.bytes[rec::kServerPortOffset + 1], 0x23);
  EXPECT_EQ(rec::Heartbeat(card), 30);
}

TEST(CardJson, MissingFieldsAreZero) {
  const auto cards = cardsim::CardsFromJson(json::parse(R"([{"ip": "192.168.1.5"}, {}])"));
  ASSERT_EQ(cards.size(), 2u);
  ControlRecord expected{};
  rec::SetIp(expected, *kestrum::command_line::ParseIpv4("192.168.1.5"));
  EXPECT_EQ(0, std::memcmp(cards[0].bytes, expected.bytes, rec::kSize));
  const ControlRecord zero{};
  EXPECT_EQ(0, std::memcmp(cards[1].bytes, zero.bytes, rec::kSize));
}

TEST(CardJson, GeneratedCardsSurviveAFileRoundTrip) {
  const auto cards = cardsim::GenerateCards(40, *kestrum::command_line::ParseIpv4("192.168.7.200"));
  const std::string path = (std::filesystem::temp_directory_path() / "cardsim-roundtrip-test.json").string();
  cardsim::SaveCardFile(path, cards);
  const auto loaded = cardsim::LoadCardFile(path);
  std::filesystem::remove(path);
  ASSERT_EQ(loaded.size(), cards.size());
  for (std::size_t i = 0; i < cards.size(); ++i)
    EXPECT_EQ(0, std::memcmp(loaded[i].bytes, cards[i].bytes, rec::kSize)) << "card " << i;
}

TEST(CardJson, TypeVersionsInTheCardsCodePageSurviveAsHex) {
  std::vector<ControlRecord> cards(2);
  rec::SetTypeVersion(cards[0], "\xFF");                 // one byte that is no text in any code page
  rec::SetTypeVersion(cards[1], "\xC6\xC1\xBA\xC5-V1");  // GB18030 屏号-V1
  const json written = cardsim::CardsToJson(cards);
  EXPECT_EQ(written[0]["typeVersionHex"], "ff");
  const auto read = cardsim::CardsFromJson(written);
  ASSERT_EQ(read.size(), 2u);
  for (std::size_t i = 0; i < cards.size(); ++i) EXPECT_EQ(rec::TypeVersion(read[i]), rec::TypeVersion(cards[i]));
}

TEST(CardJson, RefusesMistakesNamingCardAndField) {
  struct Case {
    const char* json;
    const char* mentions;
  };
  const Case cases[] = {
      {R"({"ip": "1.2.3.4"})", "array"},
      {R"([{"ip": "1.2.3.4"}, 5])", "card 1"},
      {R"([{"screenNo": 256}])", "screenNo"},
      {R"([{"width": -1}])", "width"},
      {R"([{"serverPort": 65536}])", "serverPort"},
      {R"([{"heartbeat": 1.5}])", "heartbeat"},
      {R"([{"ip": "192.168.1"}])", "ip"},
      {R"([{"gateway": "192.168.1.256"}])", "gateway"},
      {R"([{"mask": 24}])", "mask"},
      {R"([{"mac": "00:1A:2B:3C:4D"}])", "mac"},
      {R"([{"mac": "00-1A-2B-3C-4D-5E"}])", "mac"},
      {R"([{"typeVersion": "ABCDEFGHIJKLMNOPQ"}])", "typeVersion"},
      {R"([{"typeVersionHex": "c6c"}])", "typeVersionHex"},
      {R"([{"typeVersionHex": "zz"}])", "typeVersionHex"},
      {R"([{"screenno": 1}])", "screenno"},
  };
  for (const auto& c : cases) {
    try {
      cardsim::CardsFromJson(json::parse(c.json));
      ADD_FAILURE() << "accepted " << c.json;
    } catch (const cardsim::CardFileError& e) {
      EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos) << e.what();
    }
  }
}

TEST(CardJson, AFileThatIsNotJsonIsRefusedWithItsName) {
  const std::string path = (std::filesystem::temp_directory_path() / "cardsim-broken-test.json").string();
  std::ofstream(path) << "[{\"ip\": ";
  EXPECT_THROW(cardsim::LoadCardFile(path), cardsim::CardFileError);
  std::filesystem::remove(path);
  EXPECT_THROW(cardsim::LoadCardFile(path), cardsim::CardFileError);
}

TEST(AddressText, ParsesOnlyFourDecimalOctets) {
  EXPECT_EQ(kestrum::command_line::FormatIpv4(*kestrum::command_line::ParseIpv4("0.0.0.0")), "0.0.0.0");
  EXPECT_EQ(kestrum::command_line::FormatIpv4(*kestrum::command_line::ParseIpv4("255.255.255.255")), "255.255.255.255");
  EXPECT_EQ(kestrum::command_line::FormatIpv4(*kestrum::command_line::ParseIpv4("10.020.3.4")), "10.20.3.4");
  for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.4 ", "1..3.4", "1.2.3.0004", "1.2.3.x", "-1.2.3.4"})
    EXPECT_FALSE(kestrum::command_line::ParseIpv4(bad)) << bad;
}

}  // namespace
