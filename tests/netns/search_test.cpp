// The real Orvell, pindle and cardsim together on the harness's private
// network: searches and parameter changes as the window makes them.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "address_text.h"
#include "control_record.h"
#include "generated_cards.h"
#include "lan.h"
#include "orvell.h"
#include "pindle_settings.h"
#include "search_datagrams.h"

// Records compare as their bytes (found by argument lookup, hence global).
static bool operator<(const ControlRecord& a, const ControlRecord& b) {
  return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) < 0;
}
static bool operator==(const ControlRecord& a, const ControlRecord& b) {
  return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) == 0;
}

namespace {

namespace rec = orvell::record;
using kestrum::lan::CardSim;

constexpr int kTableSize = 255;  // the window's ControlTable
constexpr std::uint8_t kStaleByte = 0xEE;

struct Search {
  std::int32_t found = 0;
  std::vector<ControlRecord> table;
};

Search RunSearch() {
  Search search;
  search.table.resize(kTableSize);
  for (auto& record : search.table) std::memset(record.bytes, kStaleByte, sizeof record.bytes);
  search.found = GetControlList(search.table.data(), kTableSize);
  return search;
}

std::vector<ControlRecord> FoundRecords(const Search& search) {
  return {search.table.begin(), search.table.begin() + std::max(search.found, 0)};
}

std::vector<ControlRecord> Sorted(std::vector<ControlRecord> records) {
  std::sort(records.begin(), records.end());
  return records;
}

std::uint32_t Ip(const char* text) { return *kestrum::command_line::ParseIpv4(text); }

std::size_t LinesContaining(const std::vector<std::string>& lines, const std::string& text) {
  return static_cast<std::size_t>(std::count_if(
      lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; }));
}

std::string Lan1() { return kestrum::lan::Lans().at(0).ns; }

bool AllZeroFrom(const Search& search, std::size_t first) {
  return std::all_of(
      search.table.begin() + static_cast<std::ptrdiff_t>(first), search.table.end(), [](const ControlRecord& r) {
        return std::all_of(std::begin(r.bytes), std::end(r.bytes), [](std::uint8_t b) { return b == 0; });
      });
}

// Three cards whose every field differs from the others'.
constexpr const char* kThreeCards = R"([
  {"typeVersion": "T16-V3.02", "screenNo": 7, "width": 256, "height": 128, "colorStyle": 2, "baudCode": 1,
   "scanStyle": 4, "lineOrder": 0, "rgChange": 1, "ip": "192.168.1.100", "mask": "255.255.255.0",
   "gateway": "192.168.1.1", "mac": "00:1A:2B:3C:4D:5E", "serverIp": "192.168.1.10", "serverPort": 9000,
   "heartbeat": 30},
  {"typeVersion": "A4-V1.10", "screenNo": 200, "width": 64, "height": 32, "colorStyle": 0, "baudCode": 3,
   "scanStyle": 16, "lineOrder": 1, "rgChange": 0, "ip": "192.168.1.177", "mask": "255.255.0.0",
   "gateway": "192.168.0.254", "mac": "00:1A:FF:00:00:01", "serverIp": "10.0.0.5", "serverPort": 65535,
   "heartbeat": 255},
  {"typeVersion": "M3S-V2.00-LONGXX", "screenNo": 0, "width": 1024, "height": 512, "colorStyle": 1,
   "baudCode": 0, "scanStyle": 8, "lineOrder": 2, "rgChange": 3, "ip": "192.168.1.3", "mask": "255.255.255.128",
   "gateway": "192.168.1.126", "mac": "00:1A:00:00:00:00", "serverIp": "0.0.0.0", "serverPort": 1,
   "heartbeat": 0}
])";

std::string WriteCardFile(const std::string& name, const char* json) {
  const std::string path = kestrum::lan::TemporaryPath(name);
  std::ofstream(path) << json;
  return path;
}

TEST(Search, WithNoCardFindsNothingAndClearsTheTable) {
  const Search search = RunSearch();
  EXPECT_EQ(search.found, 0);
  EXPECT_TRUE(AllZeroFrom(search, 0));
}

TEST(Search, ThreeCardsGiveTheirExactRecordsInOrder) {
  CardSim cards(Lan1(), {"--cards", WriteCardFile("three.json", kThreeCards)});
  const Search search = RunSearch();
  ASSERT_EQ(search.found, 3);
  const ControlRecord& first = search.table[0];
  EXPECT_EQ(rec::TypeVersion(first), "T16-V3.02");
  EXPECT_EQ(rec::ScreenNo(first), 7);
  EXPECT_EQ(rec::Width(first), 256);
  EXPECT_EQ(rec::Height(first), 128);
  EXPECT_EQ(rec::ColorStyle(first), 2);
  EXPECT_EQ(rec::BaudCode(first), 1);
  EXPECT_EQ(rec::ScanStyle(first), 4);
  EXPECT_EQ(rec::LineOrder(first), 0);
  EXPECT_EQ(rec::RgChange(first), 1);
  EXPECT_EQ(rec::Ip(first), orvell::AddressFromOctets(192, 168, 1, 100));
  EXPECT_EQ(rec::Mask(first), orvell::AddressFromOctets(255, 255, 255, 0));
  EXPECT_EQ(rec::Gateway(first), orvell::AddressFromOctets(192, 168, 1, 1));
  EXPECT_EQ(rec::MacAddress(first), (rec::Mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
  EXPECT_EQ(rec::ServerIp(first), orvell::AddressFromOctets(192, 168, 1, 10));
  EXPECT_EQ(rec::ServerPort(first), 9000);
  EXPECT_EQ(rec::Heartbeat(first), 30);

  const ControlRecord& second = search.table[1];
  EXPECT_EQ(rec::TypeVersion(second), "A4-V1.10");
  EXPECT_EQ(rec::ScreenNo(second), 200);
  EXPECT_EQ(rec::Ip(second), orvell::AddressFromOctets(192, 168, 1, 177));
  EXPECT_EQ(rec::Mask(second), orvell::AddressFromOctets(255, 255, 0, 0));
  EXPECT_EQ(rec::Gateway(second), orvell::AddressFromOctets(192, 168, 0, 254));
  EXPECT_EQ(rec::MacAddress(second), (rec::Mac{0x00, 0x1A, 0xFF, 0x00, 0x00, 0x01}));
  EXPECT_EQ(rec::ServerPort(second), 65535);
  EXPECT_EQ(rec::Heartbeat(second), 255);

  const ControlRecord& third = search.table[2];
  EXPECT_EQ(rec::TypeVersion(third), "M3S-V2.00-LONGXX");  // all 16 bytes, no end mark
  EXPECT_EQ(rec::Width(third), 1024);
  EXPECT_EQ(rec::Height(third), 512);
  EXPECT_EQ(rec::Mask(third), orvell::AddressFromOctets(255, 255, 255, 128));
  EXPECT_EQ(rec::ServerPort(third), 1);

  EXPECT_TRUE(AllZeroFrom(search, 3));
}

TEST(Search, FindsAll255CardsAnsweringAtOnce) {
  CardSim cards(Lan1(), {"--count", "255", "--base-ip", "192.168.1.1"});
  const Search search = RunSearch();
  ASSERT_EQ(search.found, 255);
  EXPECT_EQ(Sorted(FoundRecords(search)), Sorted(cardsim::GenerateCards(255, Ip("192.168.1.1"))));
}

TEST(Search, FindsCardsThatBroadcastTheirAnswers) {
  CardSim cards(Lan1(), {"--count", "3", "--broadcast-replies", "--verbose"});
  const Search search = RunSearch();
  ASSERT_EQ(search.found, 3);
  EXPECT_EQ(Sorted(FoundRecords(search)), Sorted(cardsim::GenerateCards(3, Ip("192.168.1.100"))));
  const auto output = cards.OutputOnce("to 255.255.255.255:", 3);
  EXPECT_EQ(LinesContaining(output, "to 255.255.255.255:"), 3u) << "the cards must really have broadcast their answers";
}

TEST(Search, FindsCardsAnsweringAfterRandomDelaysInTheOrderTheyArrive) {
  CardSim cards(Lan1(), {"--count", "20", "--max-delay-ms", "300", "--seed", "7"});
  const Search search = RunSearch();
  ASSERT_EQ(search.found, 20);
  const auto generated = cardsim::GenerateCards(20, Ip("192.168.1.100"));
  EXPECT_EQ(Sorted(FoundRecords(search)), Sorted(generated));
  EXPECT_NE(FoundRecords(search), generated) << "delayed answers should arrive out of card order";
}

// Sends each datagram from the PC to the card LAN's port 9999.
void SendToCards(const std::vector<std::vector<std::uint8_t>>& datagrams) {
  const int fd = kestrum::lan::OpenUdpSocketIn("", 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(9999);
  to.sin_addr.s_addr = Ip((kestrum::lan::Lans().at(0).subnet + ".1").c_str());
  for (const auto& datagram : datagrams)
    EXPECT_EQ(::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to),
              static_cast<ssize_t>(datagram.size()));
  ::close(fd);
}

TEST(Search, CardsIgnoreMalformedDatagramsOfAnySizeAndStillAnswer) {
  CardSim cards(Lan1(), {"--count", "3", "--verbose"});
  const auto request = orvell::search::BuildRequest();
  std::vector<std::uint8_t> requestThenMore(request.begin(), request.end());
  requestThenMore.push_back(0);
  // A request followed by 65,475 more bytes: a short receive buffer would cut
  // it to a well-formed request.
  std::vector<std::uint8_t> largest(request.begin(), request.end());
  largest.resize(65507, 0xAB);
  SendToCards({{}, {request.begin(), request.end() - 1}, requestThenMore, largest});

  EXPECT_EQ(RunSearch().found, 3);
  const auto output = cards.OutputOnce(" answered ", 3);
  EXPECT_EQ(LinesContaining(output, "not a request, ignored"), 4u);
  EXPECT_EQ(LinesContaining(output, "received 65507 bytes"), 1u);
  EXPECT_EQ(LinesContaining(output, ": search request"), 1u);
  EXPECT_EQ(LinesContaining(output, " answered "), 3u);
}

TEST(Search, FindsCardsWhileAnotherProgramHoldsTheSearchPort) {
  const int holder = kestrum::lan::OpenUdpSocketIn("", 11147);
  CardSim cards(Lan1(), {"--count", "3"});
  const Search search = RunSearch();
  EXPECT_EQ(search.found, 3);
  char byte = 0;
  EXPECT_EQ(::recv(holder, &byte, 1, MSG_DONTWAIT), -1) << "an answer went to the other program's socket";
  EXPECT_EQ(errno, EAGAIN);
  ::close(holder);
}

TEST(Search, FindsTheCardsOfBothLansThePcIsAttachedTo) {
  const auto lans = kestrum::lan::Lans();
  ASSERT_GE(lans.size(), 2u) << "run through scripts/private-lan.sh --lans 2";
  CardSim first(lans[0].ns, {"--count", "3", "--base-ip", "192.168.1.100"});
  CardSim second(lans[1].ns, {"--count", "4", "--base-ip", "192.168.2.100"});
  const Search search = RunSearch();
  ASSERT_EQ(search.found, 7);
  auto expected = cardsim::GenerateCards(3, Ip("192.168.1.100"));
  const auto other = cardsim::GenerateCards(4, Ip("192.168.2.100"));
  expected.insert(expected.end(), other.begin(), other.end());
  EXPECT_EQ(Sorted(FoundRecords(search)), Sorted(expected));
}

// A change as the window makes it: the card's current addresses and MAC text
// from its record, the new values from the panel.
std::int32_t ChangeCard(const ControlRecord& card, const char* newIp, const char* serverIp, std::uint16_t port,
                        std::uint8_t heartbeat) {
  const std::string mac = kestrum::command_line::FormatMac(rec::MacAddress(card));
  return ConfigControlPara(rec::Ip(card), rec::Gateway(card), rec::Mask(card), mac.c_str(), Ip(newIp),
                           rec::Gateway(card), rec::Mask(card), mac.c_str(), serverIp, port, heartbeat);
}

const ControlRecord* FindByIp(const std::vector<ControlRecord>& records, const char* ip) {
  const auto at =
      std::find_if(records.begin(), records.end(), [&](const ControlRecord& r) { return rec::Ip(r) == Ip(ip); });
  return at == records.end() ? nullptr : &*at;
}

TEST(ParameterChange, MovesTheAddressedCardAndNoOther) {
  CardSim cards(Lan1(), {"--count", "3"});
  const auto before = FoundRecords(RunSearch());
  ASSERT_EQ(before.size(), 3u);
  const ControlRecord target = *FindByIp(before, "192.168.1.101");

  EXPECT_EQ(ChangeCard(target, "192.168.1.201", "192.168.1.20", 9100, 45), 1);

  const auto after = FoundRecords(RunSearch());
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(FindByIp(after, "192.168.1.101"), nullptr);
  const ControlRecord* moved = FindByIp(after, "192.168.1.201");
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(rec::MacAddress(*moved), rec::MacAddress(target));
  EXPECT_EQ(rec::ServerIp(*moved), Ip("192.168.1.20"));
  EXPECT_EQ(rec::ServerPort(*moved), 9100);
  EXPECT_EQ(rec::Heartbeat(*moved), 45);
  EXPECT_EQ(rec::Gateway(*moved), rec::Gateway(target));
  EXPECT_EQ(rec::Mask(*moved), rec::Mask(target));
  EXPECT_EQ(*FindByIp(after, "192.168.1.100"), *FindByIp(before, "192.168.1.100"));
  EXPECT_EQ(*FindByIp(after, "192.168.1.102"), *FindByIp(before, "192.168.1.102"));
}

TEST(ParameterChange, OldAddressesThatMatchNoCardGiveZeroAndChangeNothing) {
  CardSim cards(Lan1(), {"--count", "3"});
  const auto before = FoundRecords(RunSearch());
  ASSERT_EQ(before.size(), 3u);
  ControlRecord unknown = before[0];
  rec::SetIp(unknown, Ip("192.168.1.150"));
  EXPECT_EQ(ChangeCard(unknown, "192.168.1.201", "192.168.1.20", 9100, 45), 0);
  // Right IP and gateway, another mask: still not this card.
  ControlRecord otherMask = before[0];
  rec::SetMask(otherMask, Ip("255.255.0.0"));
  EXPECT_EQ(ChangeCard(otherMask, "192.168.1.202", "192.168.1.20", 9100, 45), 0);

  EXPECT_EQ(FoundRecords(RunSearch()), before);
}

TEST(ParameterChange, ConfirmationWithExtraBytesStillCounts) {
  CardSim cards(Lan1(), {"--count", "1", "--reply-extra", "8"});
  const auto before = FoundRecords(RunSearch());
  ASSERT_EQ(before.size(), 1u);
  EXPECT_EQ(ChangeCard(before[0], "192.168.1.210", "192.168.1.20", 9100, 45), 1);
}

TEST(ParameterChange, RestartedEmulatorRemembersTheChangeInItsStateFile) {
  const std::string state = kestrum::lan::TemporaryPath("state.json");
  {
    CardSim cards(Lan1(), {"--count", "2", "--state", state});
    const auto before = FoundRecords(RunSearch());
    ASSERT_EQ(before.size(), 2u);
    ASSERT_EQ(ChangeCard(before[1], "192.168.1.99", "192.168.1.20", 9100, 45), 1);
    EXPECT_EQ(cards.Stop(), 0);
  }
  CardSim restarted(Lan1(), {"--count", "2", "--state", state});
  const auto after = FoundRecords(RunSearch());
  ASSERT_EQ(after.size(), 2u);
  EXPECT_NE(FindByIp(after, "192.168.1.99"), nullptr);
  EXPECT_NE(FindByIp(after, "192.168.1.100"), nullptr);
}

// Run through the harness with --links 2: the PC reaches LAN 1 through two
// adapters, so every card hears each request twice and answers both.
class TwoAdapters : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_STREQ(std::getenv("KESTRUM_LAN_LINKS"), "2") << "run through scripts/private-lan.sh --links 2";
  }
};

TEST_F(TwoAdapters, ListEveryCardOnceWhetherItAnswersTheSenderOrBroadcasts) {
  for (const bool broadcast : {false, true}) {
    std::vector<std::string> arguments = {"--count", "3", "--verbose"};
    if (broadcast) arguments.push_back("--broadcast-replies");
    CardSim cards(Lan1(), arguments);
    const Search search = RunSearch();
    EXPECT_EQ(Sorted(FoundRecords(search)), Sorted(cardsim::GenerateCards(3, Ip("192.168.1.100"))))
        << (broadcast ? "broadcast answers" : "answers to the sender");
    const auto output = cards.OutputOnce(" answered ", 6);
    EXPECT_EQ(LinesContaining(output, ": search request"), 2u) << "the cards must have heard the request twice";
  }
}

TEST_F(TwoAdapters, List255CardsOnce) {
  CardSim cards(Lan1(), {"--count", "255", "--base-ip", "192.168.1.100"});
  const Search search = RunSearch();
  ASSERT_EQ(search.found, 255);
  EXPECT_EQ(Sorted(FoundRecords(search)), Sorted(cardsim::GenerateCards(255, Ip("192.168.1.100"))));
}

TEST_F(TwoAdapters, ConfirmAChangeAndFindTheCardOnceAtItsNewAddress) {
  CardSim cards(Lan1(), {"--count", "3", "--verbose"});
  const auto before = FoundRecords(RunSearch());
  ASSERT_EQ(before.size(), 3u);
  EXPECT_EQ(ChangeCard(*FindByIp(before, "192.168.1.101"), "192.168.1.201", "192.168.1.20", 9100, 45), 1);
  const auto after = FoundRecords(RunSearch());
  ASSERT_EQ(after.size(), 3u);
  EXPECT_NE(FindByIp(after, "192.168.1.201"), nullptr);
  EXPECT_EQ(LinesContaining(cards.Output(), ": parameter request"), 2u) << "both copies of the request arrived";
}

TEST(OneAdapter, ACardAnsweringTwiceGivesTwoRecords) {
  CardSim cards(Lan1(), {"--count", "1", "--answer-twice"});
  const Search search = RunSearch();
  ASSERT_EQ(search.found, 2);
  EXPECT_EQ(search.table[0], search.table[1]);
}

// A host on the card LAN floods the PC's answer port with empty datagrams
// from before the request until after the listening time.
kestrum::lan::Flood FloodPc(std::uint16_t port) {
  return {Lan1(), kestrum::lan::Lans().at(0).pcIp, port, 0, 40, std::chrono::milliseconds(1500)};
}

TEST(UnderFlood, ASearchFindsTheCardsAndKeepsItsListeningTime) {
  CardSim cards(Lan1(), {"--count", "255", "--base-ip", "192.168.1.100"});
  const auto flood = FloodPc(orvell::kSearchLocalPort);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto start = std::chrono::steady_clock::now();
  const Search search = RunSearch();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(search.found, 254);
  // Generous: the benchmark measures the overhead; only a Wait that reads on
  // past its time breaks this.
  EXPECT_LT(elapsed, std::chrono::milliseconds(600 + 300));
  EXPECT_GT(flood.Sent(), 1000u) << "the flood must really have run";
}

TEST(UnderFlood, AChangeIsConfirmedAndApplied) {
  CardSim cards(Lan1(), {"--count", "1"});
  const auto before = FoundRecords(RunSearch());
  ASSERT_EQ(before.size(), 1u);
  {
    const auto flood = FloodPc(orvell::kParameterLocalPort);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ChangeCard(before[0], "192.168.1.201", "192.168.1.20", 9100, 45), 1);
  }
  const auto after = FoundRecords(RunSearch());
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(rec::Ip(after[0]), Ip("192.168.1.201"));
}

}  // namespace
