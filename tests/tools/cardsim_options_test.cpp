#include <gtest/gtest.h>

#include "address_text.h"
#include "cardsim_options.h"

namespace {

cardsim::ParsedOptions Parse(std::vector<std::string> arguments) { return cardsim::ParseOptions(arguments); }

TEST(CardsimOptions, TakesEveryOption) {
  const auto parsed =
      Parse({"--count", "12", "--base-ip", "192.168.5.10", "--state", "s.json", "--port", "10999",
             "--broadcast-replies", "--answer-twice", "--also-send", "50", "--max-delay-ms", "250", "--reply-extra", "4", "--seed", "9", "--verbose"});
  ASSERT_TRUE(parsed.options) << parsed.message;
  const auto& o = *parsed.options;
  EXPECT_EQ(o.count, 12u);
  EXPECT_EQ(kestrum::command_line::FormatIpv4(o.firstIp), "192.168.5.10");
  EXPECT_EQ(o.stateFile, "s.json");
  EXPECT_EQ(o.port, 10999);
  EXPECT_TRUE(o.broadcastReplies);
  EXPECT_TRUE(o.answerTwice);
  EXPECT_EQ(o.alsoSend, 50u);
  EXPECT_EQ(o.maxDelayMs, 250u);
  EXPECT_EQ(o.replyExtraBytes, 4u);
  EXPECT_EQ(o.seed, 9u);
  EXPECT_TRUE(o.verbose);
}

TEST(CardsimOptions, DefaultsToPort9999AndImmediateUnicastAnswers) {
  const auto parsed = Parse({"--cards", "cards.json"});
  ASSERT_TRUE(parsed.options) << parsed.message;
  EXPECT_EQ(parsed.options->port, 9999);
  EXPECT_FALSE(parsed.options->broadcastReplies);
  EXPECT_FALSE(parsed.options->answerTwice);
  EXPECT_EQ(parsed.options->maxDelayMs, 0u);
  EXPECT_EQ(parsed.options->cardFile, "cards.json");
}

TEST(CardsimOptions, RefusesWhatItCannotUse) {
  const std::vector<std::vector<std::string>> refused = {
      {},
      {"--verbose"},
      {"--count", "3", "--cards", "x.json"},
      {"--count"},
      {"--count", "-1"},
      {"--count", "3x"},
      {"--count", "3", "--port", "65536"},
      {"--count", "3", "--base-ip", "192.168.1"},
      {"--count", "3", "--reply-extra", "65484"},
      {"--count", "3", "--bogus"},
  };
  for (const auto& arguments : refused) {
    const auto parsed = Parse(arguments);
    EXPECT_FALSE(parsed.options) << testing::PrintToString(arguments);
    EXPECT_NE(parsed.message.find("usage:"), std::string::npos);
  }
  EXPECT_TRUE(Parse({"--count", "3", "--reply-extra", "65483"}).options) << "65,507 bytes in all is the largest";
  EXPECT_TRUE(Parse({"--state", "only.json"}).options) << "a state file alone may hold the cards";
}

}  // namespace
