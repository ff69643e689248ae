// Regression driver: arbitrary and edge-length datagrams through both
// operations and every parser. The sanitizer build turns any read or write
// outside a buffer into a failure; the results are checked against what the
// rules say they must be.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "card_search.h"
#include "parameter_change.h"
#include "parameter_datagrams.h"
#include "search_datagrams.h"
#include "test_datagrams.h"

namespace {

using namespace orvell;
using fake_pindle::FakePindle;
using fake_pindle::Script;
using fake_pindle::ScriptedDatagram;
using protocol_test::Bytes;
using protocol_test::kConfirmationHeader;

constexpr std::size_t kEdgeLengths[] = {0, 1, 23, 24, 25, 31, 32, 33, 78, 110, 111, 112, 255, 256, 257, 65535};

class DatagramSource {
 public:
  explicit DatagramSource(std::uint32_t seed) : random_(seed) {}

  // Random bytes of a random or edge length; some begin with a confirmation
  // header or a search reply's header, so both acceptance paths are taken.
  Bytes Next() {
    const std::size_t length = Pick(4) == 0 ? kEdgeLengths[Pick(std::size(kEdgeLengths))] : Pick(300);
    Bytes bytes(length);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(Pick(256));
    if (Pick(3) == 0) {
      std::copy_n(kConfirmationHeader.begin(), std::min(length, kConfirmationHeader.size()), bytes.begin());
    }
    if (Pick(8) == 0) bytes.resize(search::kReplySize);
    return bytes;
  }
  std::size_t Pick(std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_); }

 private:
  std::mt19937 random_;
};

std::vector<ScriptedDatagram> RandomDatagrams(DatagramSource& source, std::size_t count) {
  std::vector<ScriptedDatagram> datagrams;
  for (std::size_t i = 0; i < count; ++i) {
    ScriptedDatagram datagram{source.Next(), std::nullopt};
    // Now and then a faulty Read: failure, nothing, or more than it was asked for.
    if (source.Pick(20) == 0) datagram.readResult = std::array<std::int32_t, 4>{-1, 0, 300, 65535}[source.Pick(4)];
    datagrams.push_back(std::move(datagram));
  }
  return datagrams;
}

TEST(ArbitraryDatagrams, EveryParserTakesAnyBytes) {
  DatagramSource source(1);
  for (int i = 0; i < 20000; ++i) {
    const Bytes bytes = source.Next();
    const auto record = search::ReadReply(bytes.data(), bytes.size());
    EXPECT_EQ(record.has_value(), bytes.size() == search::kReplySize);
    EXPECT_EQ(parameter::IsConfirmation(bytes.data(), bytes.size()),
              bytes.size() >= 24 && std::equal(kConfirmationHeader.begin(), kConfirmationHeader.end(), bytes.begin()));
    EXPECT_FALSE(parameter::ReadRequest(bytes.data(), bytes.size()).has_value() && bytes.size() != 78);
    EXPECT_FALSE(search::IsRequest(bytes.data(), bytes.size()) && bytes.size() != 32);
  }
}

TEST(ArbitraryDatagrams, SearchStoresExactlyTheWholeRepliesInOrder) {
  DatagramSource source(2);
  for (int round = 0; round < 300; ++round) {
    Script script;
    script.datagrams = RandomDatagrams(source, source.Pick(300));
    const auto capacity = static_cast<std::int32_t>(1 + source.Pick(255));
    std::vector<ControlRecord> table(static_cast<std::size_t>(capacity));
    FakePindle fake(script);
    const std::int32_t stored = SearchCards(&FakePindle::CreatePindle, table.data(), capacity);

    // What the rules store: each datagram of exactly a reply's length, in order, while there is room.
    std::vector<Bytes> expected;
    const std::size_t handed = std::min<std::size_t>(script.datagrams.size(), kSearchCollectCapacity);
    for (std::size_t i = 0; i < handed && expected.size() < table.size(); ++i) {
      const ScriptedDatagram& datagram = script.datagrams[i];
      if (!datagram.readResult && datagram.bytes.size() == search::kReplySize) {
        expected.emplace_back(datagram.bytes.begin() + 24, datagram.bytes.begin() + 107);
      }
    }
    ASSERT_EQ(stored, static_cast<std::int32_t>(expected.size())) << "round " << round;
    for (std::size_t i = 0; i < table.size(); ++i) {
      const Bytes actual(table[i].bytes, table[i].bytes + record::kSize);
      EXPECT_EQ(actual, i < expected.size() ? expected[i] : Bytes(record::kSize, 0)) << round << ":" << i;
    }
    EXPECT_EQ(fake.ReleaseFaults(), std::vector<std::string>{});
  }
}

TEST(ArbitraryDatagrams, ParameterChangeConfirmsOnlyOnAWholeHeader) {
  DatagramSource source(3);
  for (int round = 0; round < 1000; ++round) {
    Script script;
    script.datagrams = RandomDatagrams(source, source.Pick(12));
    FakePindle fake(script);
    const std::int32_t result =
        ChangeParameters(&FakePindle::CreatePindle, {1, 2, 3, 4, 5, 6, AddressFromOctets(1, 2, 3, 4), 9000, 30});
    bool confirmed = false;
    for (const ScriptedDatagram& datagram : script.datagrams) {
      const bool honest = !datagram.readResult.has_value();
      confirmed =
          confirmed || (honest && datagram.bytes.size() >= 24 &&
                        std::equal(kConfirmationHeader.begin(), kConfirmationHeader.end(), datagram.bytes.begin()));
    }
    // A faulty Read claiming more than it copied may confirm on bytes an
    // earlier datagram left; that is the socket library's fault, not judged here.
    const bool anyFaultyRead = std::any_of(script.datagrams.begin(), script.datagrams.end(),
                                           [](const ScriptedDatagram& d) { return d.readResult.value_or(0) > 0; });
    if (!anyFaultyRead) {
      EXPECT_EQ(result, confirmed ? 1 : 0) << "round " << round;
    }
    EXPECT_TRUE(result == 0 || result == 1);
    EXPECT_EQ(fake.ReleaseFaults(), std::vector<std::string>{});
  }
}

}  // namespace
