// kestrum-cli's command line: what it refuses before anything is sent.
#include "cli_arguments.h"

#include <gtest/gtest.h>

namespace {

using kestrum::cli::Format;
using kestrum::cli::ParseArguments;

TEST(CliArguments, RefusesRepeatsAndChangesOfNothing) {
  const std::vector<std::vector<std::string>> refused = {
      {"set", "192.168.1.7", "--ip", "192.168.1.8", "--ip", "192.168.1.9", "--yes"},
      {"set", "192.168.1.7", "--heartbeat", "5", "--yes", "--yes"},
      {"search", "--format", "csv", "--format", "json"},
      {"search", "--no-bom", "--no-bom"},
      {"set", "192.168.1.7", "--yes"},
      {"set", "00:1A:4B:00:00:01", "--all-sharing", "--format", "json", "--yes"},
      {"history", "--card", "192.168.1"},
      {"history", "--card", "00:1A:4B:00:00:01", "--yes"},
  };
  for (const auto& arguments : refused) {
    const auto parsed = ParseArguments(arguments);
    EXPECT_FALSE(parsed.command) << arguments.back();
    EXPECT_FALSE(parsed.error.empty());
  }
}

TEST(CliArguments, TakesTheListingOptionsForSearchAndSet) {
  const auto search = ParseArguments({"search", "--no-bom", "--format", "csv"});
  ASSERT_TRUE(search.command) << search.error;
  EXPECT_EQ(search.command->listing.format, Format::kCsv);
  EXPECT_FALSE(search.command->listing.csvByteOrderMark);
  const auto set = ParseArguments({"set", "192.168.1.7", "--port", "9100", "--format", "csv", "--yes"});
  ASSERT_TRUE(set.command) << set.error;
  EXPECT_EQ(set.command->listing.format, Format::kCsv);
  EXPECT_TRUE(set.command->listing.csvByteOrderMark);
  EXPECT_EQ(set.command->set.port, 9100);
}

}  // namespace
