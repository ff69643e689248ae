#include "parameter_datagrams.h"

#include <algorithm>
#include <cstring>

#include "byte_order.h"

namespace orvell::parameter {
namespace {

constexpr std::uint8_t kFillByte = 0xFF;

using RequestHeader = std::array<std::uint8_t, frame::kHeaderSize>;

RequestHeader BuildRequestHeader() {
  RequestHeader header{};
  frame::WriteHeader(header.data(), frame::kDirectionRequest, kCommand, kRequestPayloadSize, kRequestSubcode);
  return header;
}

}  // namespace

Request BuildRequest(const ParameterChange& change) {
  Request request{};  // the zero fields stay zero
  const RequestHeader header = BuildRequestHeader();
  std::copy(header.begin(), header.end(), request.begin());
  std::uint8_t* const bytes = request.data();
  WriteAddress(bytes + kOldIpOffset, change.oldIp);
  WriteAddress(bytes + kOldGatewayOffset, change.oldGateway);
  WriteAddress(bytes + kOldMaskOffset, change.oldMask);
  std::memset(bytes + kOldMacFillOffset, kFillByte, kMacFillSize);
  WriteAddress(bytes + kNewIpOffset, change.newIp);
  WriteAddress(bytes + kNewGatewayOffset, change.newGateway);
  WriteAddress(bytes + kNewMaskOffset, change.newMask);
  std::memset(bytes + kNewMacFillOffset, kFillByte, kMacFillSize);
  WriteAddress(bytes + kServerIpOffset, change.serverIp);
  WriteLE16(bytes + kServerPortOffset, change.serverPort);
  bytes[kHeartbeatOffset] = change.heartbeat;
  std::memset(bytes + kTailFillOffset, kFillByte, kTailFillSize);
  std::memcpy(bytes + kTrailerOffset, frame::kTrailer, frame::kTrailerSize);
  return request;
}

std::optional<ParameterChange> ReadRequest(const std::uint8_t* data, std::size_t length) {
  if (data == nullptr || length != kRequestSize) return std::nullopt;
  const RequestHeader header = BuildRequestHeader();
  if (!std::equal(header.begin(), header.end(), data)) return std::nullopt;
  if (std::memcmp(data + kTrailerOffset, frame::kTrailer, frame::kTrailerSize) != 0) return std::nullopt;
  ParameterChange change;
  change.oldIp = ReadAddress(data + kOldIpOffset);
  change.oldGateway = ReadAddress(data + kOldGatewayOffset);
  change.oldMask = ReadAddress(data + kOldMaskOffset);
  change.newIp = ReadAddress(data + kNewIpOffset);
  change.newGateway = ReadAddress(data + kNewGatewayOffset);
  change.newMask = ReadAddress(data + kNewMaskOffset);
  change.serverIp = ReadAddress(data + kServerIpOffset);
  change.serverPort = ReadLE16(data + kServerPortOffset);
  change.heartbeat = data[kHeartbeatOffset];
  return change;
}

ReplyHeader BuildReplyHeader() {
  ReplyHeader header{};
  frame::WriteHeader(header.data(), frame::kDirectionReply, kCommand, kReplyPayloadLength, kReplySubcode);
  return header;
}

bool IsConfirmation(const std::uint8_t* data, std::size_t length) {
  if (data == nullptr || length < kReplyHeaderSize) return false;
  const ReplyHeader expected = BuildReplyHeader();
  return std::equal(expected.begin(), expected.end(), data);
}

}  // namespace orvell::parameter
