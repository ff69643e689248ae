// What a manager holds between Wait and Collect, without sockets: the fair
// order among sources, copies merged only when asked, and the bounds.
#include "held_datagrams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using pindle::DatagramSource;
using pindle::HeldDatagrams;

constexpr DatagramSource kFlooder{0x0101A8C0u, 40000};  // 192.168.1.1:40000
constexpr DatagramSource kCardA{0x6401A8C0u, 9999};     // 192.168.1.100:9999
constexpr DatagramSource kCardB{0x6501A8C0u, 9999};     // 192.168.1.101:9999
constexpr DatagramSource kCardAOtherPort{0x6401A8C0u, 9998};

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

bool Offer(HeldDatagrams& held, DatagramSource source, const std::string& text) {
  const auto bytes = Bytes(text);
  return held.Offer(source, bytes);
}

std::vector<std::string> TakeAll(HeldDatagrams& held) {
  std::vector<std::string> taken;
  while (auto next = held.TakeNext()) taken.emplace_back(next->begin(), next->end());
  return taken;
}

TEST(HeldDatagrams, HandsOverInRoundsOneDatagramPerSourceInTheOrderOfTheirFirst) {
  HeldDatagrams held;
  held.BeginListening(false);
  for (int i = 0; i < 300; ++i) Offer(held, kFlooder, "junk " + std::to_string(i));
  EXPECT_TRUE(Offer(held, kCardA, "a0"));
  EXPECT_TRUE(Offer(held, kCardB, "b0"));
  EXPECT_TRUE(Offer(held, kCardA, "a1"));
  EXPECT_EQ(held.Count(), pindle::kMaxHeldPerSource + 3) << "one source holds no more than a Collect can take";

  const auto taken = TakeAll(held);
  ASSERT_EQ(taken.size(), pindle::kMaxHeldPerSource + 3);
  const std::vector<std::string> first = {taken.begin(), taken.begin() + 6};
  EXPECT_EQ(first, (std::vector<std::string>{"junk 0", "a0", "b0", "junk 1", "a1", "junk 2"}));
  EXPECT_EQ(taken.back(), "junk 255") << "the oldest of a flood are kept";
  EXPECT_EQ(held.Count(), 0u);
}

TEST(HeldDatagrams, MergesIdenticalAnswersOfOneSourceOnlyWhenAskedAndWithinOneListeningTime) {
  HeldDatagrams held;
  held.BeginListening(false);
  EXPECT_TRUE(Offer(held, kCardA, "answer"));
  EXPECT_TRUE(Offer(held, kCardA, "answer")) << "one request sent: a card answering twice counts twice";

  held.BeginListening(true);
  EXPECT_TRUE(Offer(held, kCardA, "answer")) << "the copies of an earlier listening time do not count";
  EXPECT_FALSE(Offer(held, kCardA, "answer"));
  EXPECT_TRUE(Offer(held, kCardA, "answes")) << "other bytes";
  EXPECT_TRUE(Offer(held, kCardB, "answer")) << "another card with the same bytes";
  EXPECT_TRUE(Offer(held, kCardAOtherPort, "answer")) << "another port of the same address";
  EXPECT_TRUE(Offer(held, kCardA, "")) << "an empty datagram";
  EXPECT_FALSE(Offer(held, kCardA, ""));
  EXPECT_EQ(TakeAll(held).size(), 7u);
}

TEST(HeldDatagrams, LargeDatagramsAreBoundedPerSourceAndInTotal) {
  HeldDatagrams held;
  held.BeginListening(false);
  const std::vector<std::uint8_t> largest(65507, 0x42);
  std::size_t heldOfOne = 0;
  for (int i = 0; i < 100; ++i)
    if (held.Offer(kFlooder, largest)) ++heldOfOne;
  EXPECT_EQ(heldOfOne, pindle::kMaxHeldBytesPerSource / largest.size());

  // Many large senders fill the total; then no more large ones are taken in.
  for (std::uint16_t port = 1; port < 1000; ++port)
    for (int i = 0; i < 4; ++i) held.Offer({kFlooder.address, port}, largest);
  EXPECT_LE(held.Count() * largest.size(), pindle::kMaxHeldBytes);
  EXPECT_GT((held.Count() + 1) * largest.size(), pindle::kMaxHeldBytes);
  EXPECT_FALSE(held.Offer(kCardA, largest));

  held.TakeNext();
  EXPECT_TRUE(held.Offer(kCardA, largest)) << "room again once one is taken";
}

}  // namespace
