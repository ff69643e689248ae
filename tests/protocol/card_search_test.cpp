// GetControlList's algorithm against the scripted socket library: what it
// sends, what it stores, and that it releases every object once, in order.
#include "card_search.h"

#include <gtest/gtest.h>

#include <memory>

#include "pindle_settings.h"
#include "test_datagrams.h"

namespace {

using namespace orvell;
using fake_pindle::FakePindle;
using fake_pindle::Script;
using protocol_test::Answering;
using protocol_test::Bytes;
using protocol_test::Events;
using protocol_test::Join;
using protocol_test::Patterned;

constexpr std::int32_t kTableSize = 255;
constexpr std::uint8_t kUntouched = 0xAA;

const Events kOpening = {"CreatePindle(port=11147)", "Open(255.255.255.255,9999)", "Send(32 bytes)", "Wait(0.6,256)"};
const Events kClosing = {"Release endpoint", "Release manager"};

// Reading and releasing datagrams first..last, in order.
Events ReadAndReleased(std::size_t first, std::size_t last) {
  Events events;
  for (std::size_t i = first; i <= last; ++i) {
    events.push_back("Read#" + std::to_string(i) + "(112)");
    events.push_back("Release datagram#" + std::to_string(i));
  }
  return events;
}

Bytes RecordBytes(const ControlRecord& record) { return Bytes(record.bytes, record.bytes + record::kSize); }
Bytes RecordOf(const Bytes& reply) { return Bytes(reply.begin() + 24, reply.begin() + 107); }

class CardSearchTest : public ::testing::Test {
 protected:
  CardSearchTest() {
    ControlRecord filled;
    std::memset(filled.bytes, kUntouched, record::kSize);
    table_.assign(kTableSize + 1, filled);  // one more than passed: nothing may land past capacity
  }

  std::int32_t Search(Script script, std::int32_t capacity = kTableSize) {
    fake_ = std::make_unique<FakePindle>(std::move(script));
    return SearchCards(&FakePindle::CreatePindle, table_.data(), capacity);
  }

  void TearDown() override {
    if (fake_) {
      EXPECT_EQ(fake_->ReleaseFaults(), Events{});
    }
  }

  bool AllZeroFrom(std::size_t first, std::size_t end) const {
    for (std::size_t i = first; i < end; ++i) {
      if (RecordBytes(table_[i]) != Bytes(record::kSize, 0)) return false;
    }
    return true;
  }
  bool Untouched(std::size_t index) const { return RecordBytes(table_[index]) == Bytes(record::kSize, kUntouched); }

  std::unique_ptr<FakePindle> fake_;
  std::vector<ControlRecord> table_;
};

TEST_F(CardSearchTest, ThreeCardsFillThreeRecordsInCollectOrder) {
  const Bytes a = Patterned(111, 1), b = Patterned(111, 2), c = Patterned(111, 3);
  EXPECT_EQ(Search(Answering({a, b, c})), 3);

  EXPECT_EQ(fake_->Events(), Join({kOpening, {"Collect(256)"}, ReadAndReleased(0, 2), kClosing}));
  const search::Request request = search::BuildRequest();
  EXPECT_EQ(fake_->Sent(), std::vector<Bytes>{Bytes(request.begin(), request.end())});
  const PindleSettings expected = MakePindleSettings(kSearchLocalPort);
  ASSERT_TRUE(fake_->Settings().has_value());
  EXPECT_EQ(0, std::memcmp(fake_->Settings()->bytes, expected.bytes, sizeof expected.bytes));

  EXPECT_EQ(RecordBytes(table_[0]), RecordOf(a));
  EXPECT_EQ(RecordBytes(table_[1]), RecordOf(b));
  EXPECT_EQ(RecordBytes(table_[2]), RecordOf(c));
  EXPECT_TRUE(AllZeroFrom(3, kTableSize));
  EXPECT_TRUE(Untouched(kTableSize));
}

TEST_F(CardSearchTest, DatagramsOfAnyOtherLengthAreReadReleasedAndSkipped) {
  const Bytes a = Patterned(111, 1), b = Patterned(111, 2);
  const search::Request request = search::BuildRequest();  // heard back from our own broadcast
  Script script = Answering(
      {Patterned(50, 7), a, Patterned(110, 8), Patterned(112, 9), {}, b, Bytes(request.begin(), request.end())});
  script.datagrams.push_back({Patterned(111, 5), -1});  // a failed read takes no record
  EXPECT_EQ(Search(script), 2);
  EXPECT_EQ(fake_->Events(), Join({kOpening, {"Collect(256)"}, ReadAndReleased(0, 7), kClosing}));
  EXPECT_EQ(RecordBytes(table_[0]), RecordOf(a));
  EXPECT_EQ(RecordBytes(table_[1]), RecordOf(b));
  EXPECT_TRUE(AllZeroFrom(2, kTableSize));
}

TEST_F(CardSearchTest, ACardAnsweringTwiceGivesTwoRecords) {
  const Bytes a = Patterned(111, 1);
  EXPECT_EQ(Search(Answering({a, a})), 2);
  EXPECT_EQ(RecordBytes(table_[0]), RecordOf(a));
  EXPECT_EQ(RecordBytes(table_[1]), RecordOf(a));
}

TEST_F(CardSearchTest, RepliesBeyondCapacityAreReadAndReleasedButNotStored) {
  const Bytes a = Patterned(111, 1), b = Patterned(111, 2), c = Patterned(111, 3);
  EXPECT_EQ(Search(Answering({a, b, c}), 2), 2);
  EXPECT_EQ(fake_->Events(), Join({kOpening, {"Collect(256)"}, ReadAndReleased(0, 2), kClosing}));
  EXPECT_EQ(RecordBytes(table_[0]), RecordOf(a));
  EXPECT_EQ(RecordBytes(table_[1]), RecordOf(b));
  EXPECT_TRUE(Untouched(2));
}

TEST_F(CardSearchTest, BadArgumentsAreRefusedBeforeAnythingIsTouched) {
  for (std::int32_t capacity : {0, -1, -255, INT32_MIN}) {
    EXPECT_EQ(Search(Answering({Patterned(111, 1)}), capacity), ORVELL_BAD_ARGUMENTS) << capacity;
    EXPECT_EQ(fake_->Events(), Events{});
    EXPECT_TRUE(Untouched(0));
  }
  fake_ = std::make_unique<FakePindle>(Script{});
  EXPECT_EQ(SearchCards(&FakePindle::CreatePindle, nullptr, kTableSize), ORVELL_BAD_ARGUMENTS);
  EXPECT_EQ(fake_->Events(), Events{});
}

TEST_F(CardSearchTest, WaitBelowTwoCollectsNothingAndStillReleases) {
  for (std::int32_t waitResult : {1, 0, -1}) {
    EXPECT_EQ(Search(Answering({Patterned(111, 1)}).WaitGives(waitResult)), 0);
    EXPECT_EQ(fake_->Events(), Join({kOpening, kClosing})) << waitResult;
    EXPECT_TRUE(AllZeroFrom(0, kTableSize));
  }
}

TEST_F(CardSearchTest, NothingCollectedGivesZeroAndAClearedTable) {
  EXPECT_EQ(Search(Script().WaitGives(2)), 0);
  EXPECT_EQ(fake_->Events(), Join({kOpening, {"Collect(256)"}, kClosing}));
  EXPECT_TRUE(AllZeroFrom(0, kTableSize));
}

TEST_F(CardSearchTest, MissingManagerGivesZeroAndNoFurtherCall) {
  EXPECT_EQ(Search(Script().WithoutManager()), 0);
  EXPECT_EQ(fake_->Events(), Events{"CreatePindle(port=11147)"});
  EXPECT_TRUE(AllZeroFrom(0, kTableSize));
}

TEST_F(CardSearchTest, MissingEndpointReleasesTheManagerOnly) {
  EXPECT_EQ(Search(Script().WithoutEndpoint()), 0);
  EXPECT_EQ(fake_->Events(), (Events{"CreatePindle(port=11147)", "Open(255.255.255.255,9999)", "Release manager"}));
}

TEST_F(CardSearchTest, ACollectClaimingMoreThanItsCapacityIsHeldToIt) {
  Script script = Script().CollectClaims(100000);
  for (std::uint8_t i = 0; i < 255; ++i) script.datagrams.push_back({Patterned(111, i), std::nullopt});
  for (int i = 0; i < 45; ++i) script.datagrams.push_back({Patterned(111, 0), std::nullopt});
  EXPECT_EQ(Search(script), kTableSize);
  EXPECT_EQ(fake_->Events(), Join({kOpening, {"Collect(256)"}, ReadAndReleased(0, 255), kClosing}));
  EXPECT_EQ(RecordBytes(table_[254]), RecordOf(Patterned(111, 254)));
  EXPECT_TRUE(Untouched(kTableSize));
}

}  // namespace
