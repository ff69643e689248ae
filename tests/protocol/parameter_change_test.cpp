// ConfigControlPara's algorithm against the scripted socket library: the
// request it sends, which answers confirm, and the release order.
#include "parameter_change.h"

#include <gtest/gtest.h>

#include <memory>

#include "byte_order.h"
#include "parameter_datagrams.h"
#include "pindle_settings.h"
#include "test_datagrams.h"

namespace {

using namespace orvell;
using fake_pindle::FakePindle;
using fake_pindle::Script;
using protocol_test::Answering;
using protocol_test::Bytes;
using protocol_test::Concat;
using protocol_test::Events;
using protocol_test::Join;
using protocol_test::kConfirmationHeader;
using protocol_test::Patterned;

const Events kOpening = {"CreatePindle(port=10000)", "Open(255.255.255.255,9999)", "Send(78 bytes)", "Wait(0.5,3)"};
const Events kClosing = {"Release endpoint", "Release manager"};

Events ReadAndReleased(std::size_t index) {
  return {"Read#" + std::to_string(index) + "(32)", "Release datagram#" + std::to_string(index)};
}

Bytes WithByte(Bytes bytes, std::size_t offset, std::uint8_t value) {
  bytes[offset] = value;
  return bytes;
}

// The change of the worked example; the server address and port vary per
// test.
struct Arguments {
  std::uint32_t serverIp = AddressFromOctets(192, 168, 1, 10);
  std::uint16_t serverPort = 9000;
};

class ParameterChangeTest : public ::testing::Test {
 protected:
  std::int32_t Change(Script script, const Arguments& arguments = {}) {
    fake_ = std::make_unique<FakePindle>(std::move(script));
    return ChangeParameters(
        &FakePindle::CreatePindle,
        {AddressFromOctets(192, 168, 1, 100), AddressFromOctets(192, 168, 1, 1), AddressFromOctets(255, 255, 255, 0),
         AddressFromOctets(192, 168, 1, 200), AddressFromOctets(192, 168, 1, 1), AddressFromOctets(255, 255, 255, 0),
         arguments.serverIp, arguments.serverPort, 30});
  }
  Bytes SentRequest() const { return fake_->Sent().size() == 1 ? fake_->Sent()[0] : Bytes{}; }

  void TearDown() override {
    if (fake_) {
      EXPECT_EQ(fake_->ReleaseFaults(), Events{});
    }
  }

  std::unique_ptr<FakePindle> fake_;
};

TEST_F(ParameterChangeTest, SendsTheExampleRequestOnceAndAcceptsTheHeader) {
  EXPECT_EQ(Change(Answering({kConfirmationHeader})), 1);
  EXPECT_EQ(fake_->Events(), Join({kOpening, {"Collect(256)"}, ReadAndReleased(0), kClosing}));

  const parameter::Request expected = parameter::BuildRequest(protocol_test::ExampleChange());
  EXPECT_EQ(SentRequest(), Bytes(expected.begin(), expected.end()));

  ASSERT_TRUE(fake_->Settings().has_value());
  const PindleSettings settings = MakePindleSettings(kParameterLocalPort);
  EXPECT_EQ(0, std::memcmp(fake_->Settings()->bytes, settings.bytes, sizeof settings.bytes));
  EXPECT_EQ(ReadLE16(fake_->Settings()->bytes + 20), 10000);
}

TEST_F(ParameterChangeTest, ServerAddressAndLittleEndianPortSit64BytesIn) {
  Change({}, {.serverIp = AddressFromOctets(10, 0, 0, 5), .serverPort = 9000});
  const Bytes sent = SentRequest();
  ASSERT_EQ(sent.size(), 78u);
  EXPECT_EQ(Bytes(sent.begin() + 64, sent.begin() + 70), (Bytes{0x0A, 0x00, 0x00, 0x05, 0x28, 0x23}));
}

TEST_F(ParameterChangeTest, LongerRepliesBeginningWithTheHeaderConfirm) {
  for (std::size_t extra : {4u, 8u, 100u}) {
    EXPECT_EQ(Change(Answering({Concat(kConfirmationHeader, Patterned(extra, 1))})), 1) << extra;
  }
}

TEST_F(ParameterChangeTest, EachWrongHeaderFieldAloneGivesZero) {
  const Bytes reply = Concat(kConfirmationHeader, Bytes(4, 0));
  const std::vector<std::pair<const char*, Bytes>> wrong = {
      {"subcode 2", WithByte(reply, 20, 2)},    {"direction 1", WithByte(reply, 5, 1)},
      {"command A3", WithByte(reply, 7, 0xA3)}, {"length 54", WithByte(WithByte(reply, 14, 0x36), 18, 0x36)},
      {"sync bytes", WithByte(reply, 0, 0x00)}, {"second sync", WithByte(reply, 1, 0x00)},
  };
  for (const auto& [what, bytes] : wrong) {
    EXPECT_EQ(Change(Answering({bytes})), 0) << what;
    EXPECT_EQ(fake_->Events(), Join({kOpening, {"Collect(256)"}, ReadAndReleased(0), kClosing})) << what;
  }
  // The request heard back from our own broadcast is no confirmation either.
  Change({});
  EXPECT_EQ(Change(Answering({SentRequest()})), 0);
}

TEST_F(ParameterChangeTest, ThirdReplyAfterAnAcceptedSecondIsReleasedUnread) {
  const Bytes wrong = WithByte(kConfirmationHeader, 20, 2);
  EXPECT_EQ(Change(Answering({wrong, kConfirmationHeader, kConfirmationHeader})), 1);
  EXPECT_EQ(
      fake_->Events(),
      Join({kOpening, {"Collect(256)"}, ReadAndReleased(0), ReadAndReleased(1), {"Release datagram#2"}, kClosing}));
}

TEST_F(ParameterChangeTest, WaitBelowTwoCollectsNothingAndStillReleases) {
  for (std::int32_t waitResult : {1, 0, -5}) {
    EXPECT_EQ(Change(Answering({kConfirmationHeader}).WaitGives(waitResult)), 0);
    EXPECT_EQ(fake_->Events(), Join({kOpening, kClosing})) << waitResult;
  }
}

TEST_F(ParameterChangeTest, NothingCollectedGivesZero) {
  EXPECT_EQ(Change(Script().WaitGives(3)), 0);
  EXPECT_EQ(fake_->Events(), Join({kOpening, {"Collect(256)"}, kClosing}));
}

TEST_F(ParameterChangeTest, EmptyAndFailedReadsAreSkipped) {
  Script script = Answering({{}});
  script.datagrams.push_back({kConfirmationHeader, -1});  // bytes copied, but the read reports failure
  script.datagrams.push_back({kConfirmationHeader, std::nullopt});
  EXPECT_EQ(Change(script), 1);
  EXPECT_EQ(fake_->Events(),
            Join({kOpening, {"Collect(256)"}, ReadAndReleased(0), ReadAndReleased(1), ReadAndReleased(2), kClosing}));
}

TEST_F(ParameterChangeTest, AShortDatagramNeverPassesOnBytesAnEarlierOneLeft) {
  // Each earlier datagram leaves in the buffer exactly what the short one
  // lacks, and is itself wrong in what the short one then supplies.
  const Bytes firstTwenty(kConfirmationHeader.begin(), kConfirmationHeader.begin() + 20);
  const Bytes firstTwentyThree(kConfirmationHeader.begin(), kConfirmationHeader.begin() + 23);
  EXPECT_EQ(Change(Answering({WithByte(kConfirmationHeader, 5, 1), firstTwenty})), 0);
  EXPECT_EQ(Change(Answering({WithByte(kConfirmationHeader, 7, 0xA3), firstTwentyThree})), 0);
  EXPECT_EQ(Change(Answering({Concat(WithByte(kConfirmationHeader, 0, 0), Bytes(8, 0)),
                              Bytes(kConfirmationHeader.begin(), kConfirmationHeader.begin() + 1)})),
            0);
  // On its own a short prefix meets a cleared buffer.
  EXPECT_EQ(Change(Answering({firstTwentyThree})), 0);
}

TEST_F(ParameterChangeTest, MissingManagerGivesZeroAndNoFurtherCall) {
  EXPECT_EQ(Change(Script().WithoutManager()), 0);
  EXPECT_EQ(fake_->Events(), Events{"CreatePindle(port=10000)"});
}

TEST_F(ParameterChangeTest, MissingEndpointReleasesTheManagerOnly) {
  EXPECT_EQ(Change(Script().WithoutEndpoint()), 0);
  EXPECT_EQ(fake_->Events(), (Events{"CreatePindle(port=10000)", "Open(255.255.255.255,9999)", "Release manager"}));
}

TEST_F(ParameterChangeTest, ACollectClaimingMoreThanItsCapacityIsHeldToIt) {
  Script script = Script().CollectClaims(4000);
  for (int i = 0; i < 300; ++i) script.datagrams.push_back({Patterned(24, 1), std::nullopt});
  EXPECT_EQ(Change(script), 0);
  Events expected = Join({kOpening, {"Collect(256)"}});
  for (std::size_t i = 0; i < 256; ++i) expected = Join({expected, ReadAndReleased(i)});
  EXPECT_EQ(fake_->Events(), Join({expected, kClosing}));
}

}  // namespace
