// The report parts, taken in this process: its stack names the calling
// function, its modules include the program and the system's C or kernel
// library with base addresses, the processes include this one; the time and
// the report folder are what they say.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <vector>

#include "crash_reports/fatal/file_sink.h"
#include "crash_reports/fatal/prepared_report.h"
#include "crash_reports/fatal/report_details.h"
#include "crash_reports/fatal/report_folder.h"
#include "crash_reports/fatal/report_layout.h"
#include "crash_reports/fatal/text_sink.h"
#include "temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#define KESTRUM_TEST_EXPORT extern "C" __declspec(dllexport) __attribute__((noinline))
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>
#define KESTRUM_TEST_EXPORT extern "C" __attribute__((visibility("default"), noinline))
#endif

// Exported so that its name is known from the program's own symbol table.
KESTRUM_TEST_EXPORT std::string KestrumTestStackHere() {
  void* frames[kestrum::kMostReportedFrames];
  const int count = kestrum::CaptureCurrentFrames(frames, kestrum::kMostReportedFrames);
  kestrum::StringSink stack;
  kestrum::WriteCallStack(stack, frames, count);
  return stack.Text();
}

namespace kestrum {
namespace {

unsigned long OwnProcessId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

#ifdef _WIN32
constexpr const char* kSystemLibrary = "kernel32.dll";
constexpr const char* kProgram = "fatal_report_tests.exe";
#else
constexpr const char* kSystemLibrary = "libc.so";
constexpr const char* kProgram = "fatal_report_tests";
#endif

TEST(ReportDetailsTest, StackStartsInTheCallerAndNamesIt) {
  const std::string stack = KestrumTestStackHere();
  const std::string firstLine = stack.substr(0, stack.find('\n'));
  EXPECT_NE(firstLine.find("KestrumTestStackHere"), std::string::npos) << stack;
  EXPECT_GT(std::count(stack.begin(), stack.end(), '\n'), 3) << stack;
}

TEST(ReportDetailsTest, ModulesIncludeTheProgramAndTheSystemLibraryWithBaseAddresses) {
  StringSink modules;
  WriteLoadedModules(modules);
  const std::string& text = modules.Text();
  for (const char* name : {kProgram, kSystemLibrary}) {
    const std::size_t at = text.find(name);
    ASSERT_NE(at, std::string::npos) << name << " missing in\n" << text;
    const std::size_t lineStart = text.rfind('\n', at) + 1;  // npos + 1 == 0 for the first line
    EXPECT_EQ(text.substr(lineStart, 4), "  0x") << text;
  }
}

TEST(ReportDetailsTest, ProcessesIncludeThisOneByIdAndName) {
  StringSink processes;
  WriteRunningProcesses(processes);
  // Linux keeps 15 characters of a process name.
  const std::string ownLine = "  " + std::to_string(OwnProcessId()) + " " + std::string(kProgram).substr(0, 15);
  EXPECT_NE(processes.Text().find(ownLine), std::string::npos) << processes.Text();
  EXPECT_GT(std::count(processes.Text().begin(), processes.Text().end(), '\n'), 1);
}

#ifndef _WIN32
// Any process may name itself, and any file be mapped, with escape sequences
// (a title change, a screen clear) for the terminal that the report reaches.
TEST(ReportDetailsTest, ProcessNamesAndModulePathsReachTheReportNeutralised) {
  char ownName[16] = {};
  ASSERT_EQ(prctl(PR_GET_NAME, ownName), 0);
  ASSERT_EQ(prctl(PR_SET_NAME, "\x1b]0;owned\x07"), 0);
  StringSink processes;
  WriteRunningProcesses(processes);
  prctl(PR_SET_NAME, ownName);

  testing::TempFolder folder;
  const std::string modulePath = (folder.Path() / "screen\x1b[2J.so").string();
  constexpr char kElfMagic[] = {0x7f, 'E', 'L', 'F'};
  std::ofstream(modulePath).write(kElfMagic, sizeof kElfMagic);
  const int module = ::open(modulePath.c_str(), O_RDONLY);
  ASSERT_GE(module, 0);
  void* const mapped = mmap(nullptr, sizeof kElfMagic, PROT_READ, MAP_PRIVATE, module, 0);
  ::close(module);
  ASSERT_NE(mapped, MAP_FAILED);
  StringSink modules;
  WriteLoadedModules(modules);
  munmap(mapped, sizeof kElfMagic);

  EXPECT_NE(processes.Text().find("  " + std::to_string(OwnProcessId()) + " \uFFFD]0;owned\uFFFD\n"), std::string::npos)
      << processes.Text();
  EXPECT_NE(modules.Text().find("/screen\uFFFD[2J.so\n"), std::string::npos) << modules.Text();
  for (const std::string& text : {processes.Text(), modules.Text()}) {
    EXPECT_EQ(text.find('\x1b'), std::string::npos);
  }
}

// A full disk, as /dev/full plays it: the failure is remembered, the rest of
// the report dropped, and the writer goes on without harm.
TEST(FileSinkTest, FullDiskIsRememberedAndTheRestDropped) {
  const int full = ::open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  {
    FileSink sink(full);
    const std::string line(1000, 'x');
    for (int i = 0; i < 10; ++i) {
      sink.Write(line);
    }
    sink.Flush();
    EXPECT_TRUE(sink.Failed());
    sink.Write(line);
  }
  ::close(full);
}
#endif

TEST(ReportDetailsTest, OperatingSystemIsNamed) { EXPECT_FALSE(OperatingSystemDescription().empty()); }

struct TimeRow {
  std::int64_t seconds;
  const char* text;
};

void PrintTo(const TimeRow& row, std::ostream* out) { *out << row.text; }

class UtcTimeTest : public ::testing::TestWithParam<TimeRow> {};

TEST_P(UtcTimeTest, ReadsAsTheCalendarDoes) {
  StringSink time;
  WriteUtcTime(time, GetParam().seconds);
  EXPECT_EQ(time.Text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Dates, UtcTimeTest,
                         ::testing::Values(TimeRow{0, "1970-01-01T00:00:00Z"},
                                           TimeRow{951782400, "2000-02-29T00:00:00Z"},   // a leap day of a 400th year
                                           TimeRow{4107542399, "2100-02-28T23:59:59Z"},  // 2100 has no leap day
                                           TimeRow{1796816999, "2026-12-09T11:49:59Z"}));

TEST(ReportFolderTest, EnvironmentVariableChoosesTheFolder) {
#ifdef _WIN32
  _putenv_s("KESTRUM_CRASH_REPORT_DIR", "C:\\reports here");
  EXPECT_EQ(DefaultCrashReportFolder(), "C:\\reports here");
  _putenv_s("KESTRUM_CRASH_REPORT_DIR", "");
  EXPECT_TRUE(DefaultCrashReportFolder().ends_with("\\Kestrum\\crash-reports")) << DefaultCrashReportFolder();
#else
  setenv("KESTRUM_CRASH_REPORT_DIR", "/reports here", 1);
  EXPECT_EQ(DefaultCrashReportFolder(), "/reports here");
  unsetenv("KESTRUM_CRASH_REPORT_DIR");
  setenv("XDG_STATE_HOME", "/state", 1);
  EXPECT_EQ(DefaultCrashReportFolder(), "/state/Kestrum/crash-reports");
  unsetenv("XDG_STATE_HOME");
  EXPECT_TRUE(DefaultCrashReportFolder().ends_with("/.local/state/Kestrum/crash-reports"));
#endif
}

#ifdef _WIN32
// A folder of another user is refused and named. scripts/windows-tests.sh
// gives one: a folder that another Unix user owns, which wine shows with
// another owner than the user's.
TEST(ReportFolderTest, OtherUsersFolderIsRefusedAndNamed) {
  const char* others = std::getenv("KESTRUM_TEST_OTHERS_FOLDER");
  if (others == nullptr) {
    GTEST_SKIP() << "no folder of another user given in KESTRUM_TEST_OTHERS_FOLDER";
  }
  const std::string refusal = FolderRefusal(others);
  EXPECT_NE(refusal.find(std::string(others) + " is a folder of another user,"), std::string::npos) << refusal;
}
#endif

#ifndef _WIN32
// The handlers keep the report's path in fixed storage. A folder whose path
// does not fit there is refused, not made, and never cut: a cut path names a
// file in another folder, where the next start never looks.
struct ReportPathRow {
  std::size_t reportPathBytes;
  bool accepted;
};

void PrintTo(const ReportPathRow& row, std::ostream* out) { *out << row.reportPathBytes << " bytes"; }

class ReportPathLengthTest : public ::testing::TestWithParam<ReportPathRow> {};

constexpr std::size_t kReportPathRoom = sizeof(PreparedReport::reportPath);

// A folder below base whose path is exactly `bytes` long, in parts a folder
// name can hold.
std::string FolderOfLength(const std::string& base, std::size_t bytes) {
  std::string folder = base;
  while (folder.size() < bytes) {
    std::size_t part = std::min<std::size_t>(201, bytes - folder.size());
    if (bytes - folder.size() - part == 1) {
      --part;  // leaves two bytes: "/" and a name
    }
    folder += "/" + std::string(part - 1, 'a');
  }
  return folder;
}

TEST_P(ReportPathLengthTest, FolderWhosePathDoesNotFitIsRefusedNeverCut) {
  testing::TempFolder temp;
  PreparedReport probe;
  ASSERT_TRUE(PrepareReport({(temp.Path() / "probe").string(), "Kestrum test"}, probe));
  const std::size_t nameBytes = std::string_view(probe.reportPath).size() - (temp.Path() / "probe").string().size();
  const std::string folder = FolderOfLength(temp.Path().string(), GetParam().reportPathBytes - nameBytes);

  PreparedReport prepared;
  const bool accepted = PrepareReport({folder, "Kestrum test"}, prepared);

  EXPECT_EQ(accepted, GetParam().accepted);
  EXPECT_EQ(std::filesystem::is_directory(folder), GetParam().accepted);
  const std::string path = prepared.reportPath;
  EXPECT_EQ(path.empty(), !GetParam().accepted) << path;
  if (GetParam().accepted) {
    EXPECT_EQ(path.size(), GetParam().reportPathBytes);
    EXPECT_TRUE(path.starts_with(folder + "/")) << path;
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReportPathLengthTest,
                         ::testing::Values(ReportPathRow{kReportPathRoom - 1, true},
                                           ReportPathRow{kReportPathRoom, false},
                                           ReportPathRow{kReportPathRoom + 500, false}));

// A link in the folder's place, or another user's folder, is refused: the
// reports then go to stderr, and the sentence says what was found there.
TEST(ReportFolderTest, LinkOrOtherUsersFolderIsRefusedAndNamed) {
  testing::TempFolder temp;
  const std::filesystem::path own = temp.Path() / "own";
  std::filesystem::create_directory(own);
  const std::filesystem::path link = temp.Path() / "link";
  std::filesystem::create_directory_symlink(own, link);
  const std::filesystem::path others = temp.Path() / "others";
  std::filesystem::create_directory(others);
  const bool canGiveAway = ::chown(others.c_str(), ::geteuid() + 1, ::getegid()) == 0;
  struct Row {
    std::filesystem::path folder;
    const char* found;
  };
  std::vector<Row> rows{{own, nullptr}, {link, " is a symbolic link,"}};
  if (canGiveAway) {  // root only
    rows.push_back({others, " is a folder of another user,"});
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folder.string());
    PreparedReport prepared;
    EXPECT_EQ(PrepareReport({row.folder.string(), "Kestrum test"}, prepared), row.found == nullptr);
    EXPECT_EQ(std::string_view(prepared.reportPath).empty(), row.found != nullptr);
    const std::string refusal = FolderRefusal(row.folder.string());
    EXPECT_EQ(refusal.find(row.folder.string() + (row.found ? row.found : "")) != std::string::npos,
              row.found != nullptr)
        << refusal;
  }
}
#endif

}  // namespace
}  // namespace kestrum
