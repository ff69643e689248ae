// The search request, the search reply, ControlRecord and PindleSettings,
// against the bytes the cards and the socket library expect.
#include <gtest/gtest.h>

#include "control_record.h"
#include "pindle_settings.h"
#include "search_datagrams.h"
#include "test_datagrams.h"

namespace {

using namespace orvell;
using protocol_test::Bytes;
using protocol_test::Patterned;

TEST(SearchRequest, IsTheThirtyTwoBytesCardsAnswer) {
  const Bytes expected = {
      0x55, 0xAA, 0x00, 0x00, 0x01, 0x01, 0x00, 0xA3,  //
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00,  //
      0x00, 0x00, 0x08, 0x00, 0xBF, 0x03, 0x00, 0x00,  //
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0D, 0x0A,  //
  };
  const search::Request request = search::BuildRequest();
  EXPECT_EQ(Bytes(request.begin(), request.end()), expected);
}

TEST(SearchRequest, IsRecognisedOnlyWhenExact) {
  search::Request request = search::BuildRequest();
  EXPECT_TRUE(search::IsRequest(request.data(), request.size()));
  EXPECT_FALSE(search::IsRequest(request.data(), request.size() - 1));
  EXPECT_FALSE(search::IsRequest(nullptr, request.size()));
  request[20] = 0x05;
  EXPECT_FALSE(search::IsRequest(request.data(), request.size()));
}

TEST(SearchReply, RecordIsBytes24To106WhateverHeaderAndTail) {
  for (int seed : {0, 1, 77, 200}) {
    const Bytes reply = Patterned(search::kReplySize, static_cast<std::uint8_t>(seed));
    const auto record = search::ReadReply(reply.data(), reply.size());
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(Bytes(record->bytes, record->bytes + record::kSize), Bytes(reply.begin() + 24, reply.begin() + 107));
  }
}

TEST(SearchReply, OnlyExactly111BytesCarryARecord) {
  const Bytes longer = Patterned(112, 3);
  EXPECT_FALSE(search::ReadReply(longer.data(), 110));
  EXPECT_FALSE(search::ReadReply(longer.data(), 112));
  EXPECT_FALSE(search::ReadReply(longer.data(), 0));
  EXPECT_FALSE(search::ReadReply(nullptr, 111));
  const search::Request request = search::BuildRequest();
  EXPECT_FALSE(search::ReadReply(request.data(), request.size()));
}

TEST(SearchReply, BuiltReplyCarriesTheRecordBack) {
  const Bytes source = Patterned(search::kReplySize, 9);
  const ControlRecord record = *search::ReadReply(source.data(), source.size());
  const search::Reply reply = search::BuildReply(record);
  const auto again = search::ReadReply(reply.data(), reply.size());
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(0, std::memcmp(again->bytes, record.bytes, record::kSize));
  EXPECT_EQ(reply[0], 0x55);
  EXPECT_EQ(reply[109], 0x0D);
  EXPECT_EQ(reply[110], 0x0A);
}

// A reply as a card would fill it, each field written at its reply offset.
TEST(ControlRecordFields, ReadFromTheirReplyOffsets) {
  Bytes reply(search::kReplySize, 0);
  const char text[] = "LX-2.31";
  std::memcpy(&reply[24], text, sizeof text - 1);
  reply[40] = 4;                       // baud code
  reply[41] = 12;                      // screen number
  reply[44] = 0x80, reply[45] = 0x02;  // width 640
  reply[46] = 0xE0, reply[47] = 0x01;  // height 480
  reply[48] = 2;                       // colour
  reply[67] = 7, reply[68] = 1, reply[69] = 0;
  const Bytes addresses = {0xC0, 0xA8, 0x01, 0x64, 0xFF, 0xFF, 0xFF, 0x00, 0xC0,
                           0xA8, 0x01, 0x01, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  std::copy(addresses.begin(), addresses.end(), reply.begin() + 75);
  reply[97] = 10, reply[98] = 0, reply[99] = 0, reply[100] = 5;
  reply[101] = 0x0F, reply[102] = 0x27;  // server port 9999
  reply[103] = 30;

  const ControlRecord r = *search::ReadReply(reply.data(), reply.size());
  EXPECT_EQ(record::TypeVersion(r), "LX-2.31");
  EXPECT_EQ(record::BaudCode(r), 4);
  EXPECT_EQ(record::ScreenNo(r), 12);
  EXPECT_EQ(record::Width(r), 640);
  EXPECT_EQ(record::Height(r), 480);
  EXPECT_EQ(record::ColorStyle(r), 2);
  EXPECT_EQ(record::ScanStyle(r), 7);
  EXPECT_EQ(record::LineOrder(r), 1);
  EXPECT_EQ(record::RgChange(r), 0);
  EXPECT_EQ(record::Ip(r), AddressFromOctets(192, 168, 1, 100));
  EXPECT_EQ(record::Mask(r), AddressFromOctets(255, 255, 255, 0));
  EXPECT_EQ(record::Gateway(r), AddressFromOctets(192, 168, 1, 1));
  EXPECT_EQ(record::MacAddress(r), (record::Mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
  EXPECT_EQ(record::ServerIp(r), AddressFromOctets(10, 0, 0, 5));
  EXPECT_EQ(record::ServerPort(r), 9999);
  EXPECT_EQ(record::Heartbeat(r), 30);
}

TEST(ControlRecordFields, TypeVersionNeverReadsPastSixteenBytes) {
  ControlRecord r{};
  std::memset(r.bytes, 'A', record::kSize);  // no zero anywhere, baud code included
  EXPECT_EQ(record::TypeVersion(r), std::string(16, 'A'));
  record::SetTypeVersion(r, "a-much-longer-type-version");
  EXPECT_EQ(record::TypeVersion(r), "a-much-longer-ty");
  EXPECT_EQ(record::BaudCode(r), 'A');
}

TEST(ControlRecordFields, WritersLandOnTheReadersOffsets) {
  ControlRecord r{};
  record::SetIp(r, AddressFromOctets(192, 168, 1, 200));
  record::SetMask(r, AddressFromOctets(255, 255, 0, 0));
  record::SetGateway(r, AddressFromOctets(192, 168, 1, 254));
  record::SetServerPort(r, 9000);
  EXPECT_EQ(Bytes(r.bytes + 51, r.bytes + 63),
            (Bytes{0xC0, 0xA8, 0x01, 0xC8, 0xFF, 0xFF, 0x00, 0x00, 0xC0, 0xA8, 0x01, 0xFE}));
  EXPECT_EQ(r.bytes[77], 0x28);
  EXPECT_EQ(r.bytes[78], 0x23);
}

TEST(PindleSettingsRecord, IsTheFiftySixBytesOfTheTable) {
  Bytes expected(56, 0);
  const Bytes head = {0x38, 0x00, 0x00, 0x00, 0x00, 0x13, 0x00, 0x13};
  std::copy(head.begin(), head.end(), expected.begin());
  expected[20] = 0x8B;  // 11147 = 0x2B8B
  expected[21] = 0x2B;
  expected[22] = 0;
  expected[23] = 1;
  const PindleSettings search = MakePindleSettings(kSearchLocalPort);
  EXPECT_EQ(Bytes(search.bytes, search.bytes + 56), expected);

  expected[20] = 0x10;  // 10000 = 0x2710
  expected[21] = 0x27;
  const PindleSettings change = MakePindleSettings(kParameterLocalPort);
  EXPECT_EQ(Bytes(change.bytes, change.bytes + 56), expected);
}

}  // namespace
