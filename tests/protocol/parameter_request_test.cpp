// The parameter request and the confirmation test, byte for byte.
#include <gtest/gtest.h>

#include "byte_order.h"
#include "parameter_datagrams.h"
#include "test_datagrams.h"

namespace {

using namespace orvell;
using protocol_test::Bytes;
using protocol_test::Concat;
using protocol_test::ExampleChange;
using protocol_test::kConfirmationHeader;
using protocol_test::Patterned;

TEST(ParameterRequest, ExampleChangeGivesTheExampleBytes) {
  const Bytes expected = {
      0x55, 0xAA, 0x00, 0x00, 0x01, 0x01, 0x00, 0xCA,  //
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00,  //
      0x00, 0x00, 0x36, 0x00, 0x05, 0x00, 0x00, 0x00,  //
      0x00, 0x00, 0x00, 0x00, 0xC0, 0xA8, 0x01, 0x64,  //
      0xC0, 0xA8, 0x01, 0x01, 0xFF, 0xFF, 0xFF, 0x00,  //
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xC0, 0xA8,  //
      0x01, 0xC8, 0xC0, 0xA8, 0x01, 0x01, 0xFF, 0xFF,  //
      0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  //
      0xC0, 0xA8, 0x01, 0x0A, 0x28, 0x23, 0x1E, 0xFF,  //
      0xFF, 0xFF, 0x00, 0x00, 0x0D, 0x0A,              //
  };
  const parameter::Request request = parameter::BuildRequest(ExampleChange());
  EXPECT_EQ(Bytes(request.begin(), request.end()), expected);
}

TEST(ParameterRequest, GatewayComesBeforeMaskInBothGroups) {
  parameter::ParameterChange change;
  change.oldGateway = AddressFromOctets(1, 1, 1, 1);
  change.oldMask = AddressFromOctets(2, 2, 2, 2);
  change.newGateway = AddressFromOctets(3, 3, 3, 3);
  change.newMask = AddressFromOctets(4, 4, 4, 4);
  const parameter::Request request = parameter::BuildRequest(change);
  EXPECT_EQ(request[32], 1);
  EXPECT_EQ(request[36], 2);
  EXPECT_EQ(request[50], 3);
  EXPECT_EQ(request[54], 4);
}

TEST(ParameterRequest, ReadsBackWhatItCarries) {
  const parameter::Request request = parameter::BuildRequest(ExampleChange());
  EXPECT_EQ(parameter::ReadRequest(request.data(), request.size()), ExampleChange());
  EXPECT_FALSE(parameter::ReadRequest(request.data(), request.size() - 1));
  EXPECT_FALSE(parameter::ReadRequest(nullptr, request.size()));
  parameter::Request searchLike = request;
  searchLike[7] = 0xA3;
  EXPECT_FALSE(parameter::ReadRequest(searchLike.data(), searchLike.size()));
  parameter::Request noTrailer = request;
  noTrailer[77] = 0;
  EXPECT_FALSE(parameter::ReadRequest(noTrailer.data(), noTrailer.size()));
}

TEST(Confirmation, ExpectedHeaderIsTheTablesBytes) {
  const parameter::ReplyHeader header = parameter::BuildReplyHeader();
  EXPECT_EQ(Bytes(header.begin(), header.end()), kConfirmationHeader);
}

TEST(Confirmation, HeaderAloneOrFollowedByAnythingConfirms) {
  EXPECT_TRUE(parameter::IsConfirmation(kConfirmationHeader.data(), 24));
  for (std::size_t extra : {4u, 8u, 40u}) {
    const Bytes reply = Concat(kConfirmationHeader, Patterned(extra, 5));
    EXPECT_TRUE(parameter::IsConfirmation(reply.data(), reply.size())) << extra;
  }
}

TEST(Confirmation, AnyWrongHeaderByteRefuses) {
  struct Change {
    const char* what;
    std::size_t offset;
    std::uint8_t value;
  };
  const Change changes[] = {
      {"subcode 2", 20, 0x02},       {"subcode high byte", 23, 0x01}, {"direction 1", 5, 0x01},
      {"command A3", 7, 0xA3},       {"length32 54", 14, 0x36},       {"length16 54", 18, 0x36},
      {"first sync byte", 0, 0xAA},  {"second sync byte", 1, 0x55},   {"version", 4, 0x00},
      {"fixed zero byte", 10, 0x01},
  };
  for (const Change& change : changes) {
    Bytes reply = Concat(kConfirmationHeader, Bytes(8, 0));
    reply[change.offset] = change.value;
    EXPECT_FALSE(parameter::IsConfirmation(reply.data(), reply.size())) << change.what;
  }
}

TEST(Confirmation, OnlyBytesReallyCarriedCount) {
  // However the buffer continues past them, 23 carried bytes never confirm.
  EXPECT_FALSE(parameter::IsConfirmation(kConfirmationHeader.data(), 23));
  EXPECT_FALSE(parameter::IsConfirmation(kConfirmationHeader.data(), 20));
  EXPECT_FALSE(parameter::IsConfirmation(kConfirmationHeader.data(), 0));
  EXPECT_FALSE(parameter::IsConfirmation(nullptr, 24));
}

}  // namespace
