#include "search_datagrams.h"

#include <algorithm>
#include <cstring>

namespace orvell::search {

Request BuildRequest() {
  Request request{};
  frame::WriteHeader(request.data(), frame::kDirectionRequest, kCommand, kRequestPayloadSize, kSubcode);
  std::memcpy(request.data() + kRequestSize - frame::kTrailerSize, frame::kTrailer, frame::kTrailerSize);
  return request;
}

bool IsRequest(const std::uint8_t* data, std::size_t length) {
  if (data == nullptr || length != kRequestSize) return false;
  const Request expected = BuildRequest();
  return std::equal(expected.begin(), expected.end(), data);
}

std::optional<ControlRecord> ReadReply(const std::uint8_t* data, std::size_t length) {
  if (data == nullptr || length != kReplySize) return std::nullopt;
  ControlRecord record;
  std::memcpy(record.bytes, data + kReplyRecordOffset, record::kSize);
  return record;
}

Reply BuildReply(const ControlRecord& record) {
  Reply reply{};
  constexpr auto kPayloadSize = static_cast<std::uint16_t>(kReplySize - frame::kHeaderSize);
  frame::WriteHeader(reply.data(), frame::kDirectionReply, kCommand, kPayloadSize, kSubcode);
  std::memcpy(reply.data() + kReplyRecordOffset, record.bytes, record::kSize);
  std::memcpy(reply.data() + kReplySize - frame::kTrailerSize, frame::kTrailer, frame::kTrailerSize);
  return reply;
}

}  // namespace orvell::search
