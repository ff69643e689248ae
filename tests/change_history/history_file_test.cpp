// The history file as two programs and a crash leave it: every entry
// appended at the same time is read back, and a cut entry costs only itself.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "history_file.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif
#include "local_time.h"

namespace kestrum::history {

// Failures show the entry as its line.
void PrintTo(const HistoryEntry& entry, std::ostream* out) { *out << EntryLine(entry); }

namespace {

class HistoryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("kestrum-history-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    file_ = (folder_ / "state" / "change-history.jsonl").string();  // the folder is made by the first entry
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
  std::string file_;
};

// Which writer and which of its entries, in the port and heartbeat.
HistoryEntry Numbered(std::uint8_t writer, std::uint16_t number) {
  HistoryEntry entry;
  entry.time = "2026-12-10T05:01:02+01:00";
  entry.program = writer == 0 ? kProgramWindow : kProgramCli;
  entry.mac = "00:1A:4B:00:00:07";
  entry.before = {"192.168.1.100", "255.255.255.0", "192.168.1.1", "192.168.1.10", 9000, 10};
  entry.sent = {"192.168.1.200", "255.255.255.0", "192.168.1.1", "192.168.1.10", number, writer};
  entry.confirmed = number % 2 == 0;
  entry.warnings = {"另一张卡 00:1A:4B:00:00:08 已使用 192.168.1.200", "a second line\nand a \"quote\""};
  return entry;
}

TEST_F(HistoryFileTest, TwoWritersAppendingAtOnceLoseNothing) {
  constexpr std::uint16_t kEntriesPerWriter = 400;
  std::vector<std::thread> writers;
  std::vector<int> failures(2, 0);
  for (std::uint8_t writer = 0; writer < 2; ++writer)
    writers.emplace_back([&, writer] {
      // Every entry opens the file anew, as two programs do.
      for (std::uint16_t n = 0; n < kEntriesPerWriter; ++n)
        if (!AppendEntry(file_, Numbered(writer, n)).empty()) ++failures[writer];
    });
  for (auto& writer : writers) writer.join();
  EXPECT_EQ(failures, (std::vector<int>{0, 0}));

  const HistoryRead read = ReadHistory(file_);
  EXPECT_EQ(read.skipped, 0u);
  EXPECT_TRUE(read.error.empty()) << read.error;
  std::set<std::pair<int, int>> seen;
  for (const HistoryEntry& entry : read.entries) {
    EXPECT_EQ(entry, Numbered(entry.sent.heartbeat, entry.sent.serverPort));
    seen.emplace(entry.sent.heartbeat, entry.sent.serverPort);
  }
  EXPECT_EQ(read.entries.size(), 2u * kEntriesPerWriter);
  EXPECT_EQ(seen.size(), 2u * kEntriesPerWriter);
}

// A line a crash cut short, or one whose numbers no card holds (the file
// is anybody's to edit), is damaged: skipped, counted, and spoils no other.
TEST_F(HistoryFileTest, DamagedLineIsSkippedCountedAndSpoilsNoOther) {
  const std::string whole = EntryLine(Numbered(0, 2));
  const auto withPort = [&](const char* port) {
    std::string line = whole;
    const std::string field = "\"serverPort\":2";
    return line.replace(line.find(field), field.size(), std::string("\"serverPort\":") + port);
  };
  for (const std::string& damaged :
       {whole.substr(0, whole.size() / 2), withPort("9000.9"), withPort("1e300"), withPort("-1"),
        withPort("65536"), withPort("18446744073709551615"), withPort("\"9000\"")}) {
    std::filesystem::remove_all(folder_);
    ASSERT_EQ(AppendEntry(file_, Numbered(0, 1)), "");
    std::ofstream(file_, std::ios::binary | std::ios::app) << damaged;
    ASSERT_EQ(AppendEntry(file_, Numbered(0, 3)), "");

    const HistoryRead read = ReadHistory(file_);
    EXPECT_EQ(read.entries, (std::vector<HistoryEntry>{Numbered(0, 1), Numbered(0, 3)})) << damaged;
    EXPECT_EQ(read.skipped, 1u) << damaged;
  }
}

TEST_F(HistoryFileTest, NoFileYetIsAnEmptyHistory) {
  const HistoryRead read = ReadHistory(file_);
  EXPECT_TRUE(read.missing);
  EXPECT_TRUE(read.entries.empty());
  EXPECT_EQ(AppendEntry("", Numbered(0, 1)).empty(), false);
}

#ifdef _WIN32
// A folder of another user is not read from. scripts/windows-tests.sh gives
// one: a folder that another Unix user owns, which wine shows with another
// owner than the user's.
TEST(HistoryOwnerTest, FolderOfAnotherUserIsRefused) {
  const char* others = std::getenv("KESTRUM_TEST_OTHERS_FOLDER");
  if (others == nullptr) {
    GTEST_SKIP() << "no folder of another user given in KESTRUM_TEST_OTHERS_FOLDER";
  }
  const HistoryRead read = ReadHistory(std::string(others) + "\\change-history.jsonl");
  EXPECT_NE(read.error.find("is owned by another user"), std::string::npos) << read.error;
}
#endif

#ifndef _WIN32
// Only the user's own regular file in the user's own folder is the history:
// anything else in either place is refused by name, neither read nor written
// through, and no open waits on it.
TEST_F(HistoryFileTest, WhatIsNoRegularFileOfTheUsersIsRefusedByName) {
  const std::filesystem::path file(file_);
  const std::filesystem::path target = folder_ / "target.jsonl";
  const std::pair<const char*, std::function<void()>> kinds[] = {
      {"is a directory", [&] { std::filesystem::create_directories(file); }},
      {"is a FIFO", [&] { ASSERT_EQ(mkfifo(file_.c_str(), 0600), 0); }},
      {"is a symbolic link", [&] { std::filesystem::create_symlink(target, file); }},
      {"is a symbolic link", [&] { std::filesystem::create_symlink(folder_ / "none", file); }},
      {"is a symbolic link, not a folder", [&] {
         std::filesystem::remove(file.parent_path());
         std::filesystem::create_directory_symlink(folder_, file.parent_path());
       }},
  };
  for (const auto& [found, make] : kinds) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(target) << EntryLine(Numbered(0, 1));
    make();
    const HistoryRead read = ReadHistory(file_);
    EXPECT_NE(read.error.find(found), std::string::npos) << read.error;
    EXPECT_TRUE(read.entries.empty()) << found;
    EXPECT_NE(AppendEntry(file_, Numbered(0, 2)).find(found), std::string::npos) << found;
    EXPECT_EQ(std::filesystem::file_size(target), EntryLine(Numbered(0, 1)).size()) << found;
    EXPECT_FALSE(std::filesystem::exists(folder_ / "none")) << found;
  }
}

TEST(LocalTimeTest, OffsetFromUtcWithItsMinutes) {
  const std::string savedZone = std::getenv("TZ") != nullptr ? std::getenv("TZ") : "";
  for (const auto& [zone, text] :
       {std::pair{"IST-5:30", "1970-01-01T05:30:00+05:30"}, std::pair{"NST3:30", "1969-12-31T20:30:00-03:30"},
        std::pair{"UTC0", "1970-01-01T00:00:00+00:00"}}) {
    setenv("TZ", zone, 1);
    tzset();
    EXPECT_EQ(LocalTimeText(0), text) << zone;
  }
  savedZone.empty() ? unsetenv("TZ") : setenv("TZ", savedZone.c_str(), 1);
  tzset();
}
#endif

}  // namespace
}  // namespace kestrum::history
