// A child process that fails (a null pointer, or on Windows reserved memory;
// an abort; a division by zero; a stack overflow on a thread of its own)
// leaves exactly one complete report, which names the failing function, the
// error, the registers and the running processes, and the child still ends
// as it would have without the reporter.
// On Windows a minidump lies beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <vector>

#include "crash_reports/fatal/report_layout.h"
#include "crashing_child.h"
#include "temp_folder.h"

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>

#include <csignal>
#endif

namespace kestrum::testing {
namespace {

namespace fs = std::filesystem;

// The words for a program counter outside every module.
constexpr std::string_view kOutsideModules = "pc not in any module";

struct CrashRow {
  CrashKind kind;
  // Linux: the ending signal; Windows: the exit code.
  unsigned long endedBy;
  const char* errorLine;
  // What the call stack says beside the frames, if anything.
  std::string_view stackMention = {};
};

#ifdef _WIN32
const CrashRow kRows[] = {
    {CrashKind::kReservedMemory, 0xC0000005, "Error: EXCEPTION_ACCESS_VIOLATION (0xc0000005), writing address 0x"},
    // The C runtime's abort ends the program with exit code 3.
    {CrashKind::kAbort, 3, "Error: SIGABRT (abort)"},
    {CrashKind::kDivideByZero, 0xC0000094, "Error: EXCEPTION_INT_DIVIDE_BY_ZERO (0xc0000094)"},
    {CrashKind::kBadFunctionPointer, 0xC0000005, "Error: EXCEPTION_ACCESS_VIOLATION (0xc0000005)", kOutsideModules},
    {CrashKind::kThreadStackOverflow, 0xC00000FD, "Error: EXCEPTION_STACK_OVERFLOW (0xc00000fd)\n"},
};
#else
const CrashRow kRows[] = {
    {CrashKind::kNullPointer, SIGSEGV, "Error: SIGSEGV (invalid memory access), code 1, address 0x0"},
    {CrashKind::kAbort, SIGABRT, "Error: SIGABRT (abort), sent by process"},
    {CrashKind::kDivideByZero, SIGFPE, "Error: SIGFPE (arithmetic error), code 1, address 0x"},
    {CrashKind::kBadFunctionPointer, SIGSEGV, "Error: SIGSEGV (invalid memory access), code 1, address 0xdead0000\n",
     kOutsideModules},
    {CrashKind::kNullFunctionPointer, SIGSEGV, "Error: SIGSEGV (invalid memory access), code 1, address 0x0\n",
     kOutsideModules},
    {CrashKind::kSmashedReturnAddress, SIGSEGV, "Error: SIGSEGV (invalid memory access), code 1, address 0x0\n",
     "the walk stopped at a fault, reading address 0xdead0000"},
    {CrashKind::kTruncatedMapping, SIGSEGV, "Error: SIGSEGV (invalid memory access), code 1, address 0x0\n"},
    {CrashKind::kThreadStackOverflow, SIGSEGV, "Error: SIGSEGV (invalid memory access), code "},
};
#endif

// Test names and messages show the row by its kind.
void PrintTo(const CrashRow& row, std::ostream* out) { *out << CrashKindName(row.kind); }

std::string FileText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::vector<fs::path> FilesEndingWith(const fs::path& folder, std::string_view suffix) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().string().ends_with(suffix)) {
      found.push_back(entry.path());
    }
  }
  return found;
}

// The text between "heading:\n" and the next empty line.
std::string Section(const std::string& report, const std::string& heading) {
  const std::size_t start = report.find("\n" + heading + ":\n");
  if (start == std::string::npos) {
    return {};
  }
  const std::size_t body = start + heading.size() + 3;
  return report.substr(body, report.find("\n\n", body) - body);
}

class FatalReportTest : public ::testing::TestWithParam<CrashRow> {
 protected:
  TempFolder folder;
};

TEST_P(FatalReportTest, ChildLeavesOneCompleteReportAndEndsAsWithoutIt) {
  const CrashRow& row = GetParam();
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizers take SIGSEGV and SIGFPE themselves (and UBSan the null
  // pointer and the zero divisor before the processor sees them).
  if (row.kind != CrashKind::kAbort) {
    GTEST_SKIP() << "intercepted by the sanitizer in this build";
  }
#endif
  const fs::path reports = folder.Path() / "reports";
  const fs::path output = folder.Path() / "child-output.txt";

  const ChildOutcome outcome = RunCrashingChild(row.kind, reports.string(), output.string());

  ASSERT_TRUE(outcome.ended) << "the child did not end within its time";
  EXPECT_EQ(outcome.endedBy, row.endedBy) << FileText(output);
  const std::vector<fs::path> pending = FilesEndingWith(reports, kPendingReportSuffix);
  ASSERT_EQ(pending.size(), 1u) << FileText(output);
  const std::string report = FileText(pending.front());
  SCOPED_TRACE(report);
  EXPECT_TRUE(report.starts_with(kReportTitleLine));
  // Complete: no part was cut short by a second fault, and the end line.
  EXPECT_EQ(report.find("stopped here"), std::string::npos);
  EXPECT_TRUE(report.ends_with(kReportEndLine));
  EXPECT_NE(report.find("Program: Kestrum crash test (process " + std::to_string(outcome.processId) + ")"),
            std::string::npos);
  EXPECT_NE(report.find(row.errorLine), std::string::npos);
  const std::size_t faulting = report.find("Failing function: ");
  ASSERT_NE(faulting, std::string::npos);
  EXPECT_NE(report.substr(faulting, report.find('\n', faulting) - faulting).find(CrashingFunctionName(row.kind)),
            std::string::npos);
  const std::string stack = Section(report, "Call stack (at the fault)");
  EXPECT_NE(stack.find(CrashingFunctionName(row.kind)), std::string::npos);
  EXPECT_NE(stack.find(row.stackMention), std::string::npos);
  EXPECT_NE(Section(report, "Processor state at the fault").find("=0x"), std::string::npos);
#ifdef _WIN32
  EXPECT_NE(Section(report, "Loaded modules").find("kernel32.dll"), std::string::npos);
  const std::vector<fs::path> minidumps = FilesEndingWith(reports, kMinidumpSuffix);
  ASSERT_EQ(minidumps.size(), 1u);
  EXPECT_EQ(FileText(minidumps.front()).substr(0, 4), "MDMP");
  EXPECT_NE(report.find("Minidump: " + minidumps.front().string() + "\n"), std::string::npos);
#else
  EXPECT_NE(Section(report, "Loaded modules").find("libc.so"), std::string::npos);
#endif
  // The child itself among the running processes: "  <id> <name>".
  EXPECT_NE(Section(report, "Running processes").find("  " + std::to_string(outcome.processId) + " "),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Crashes, FatalReportTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<CrashRow>& row) {
                           std::string name = CrashKindName(row.param.kind);
                           std::erase(name, '-');
                           return name;
                         });

TEST(FatalReportFolderTest, FolderThatCannotBeMadeLeavesTheReportOnStandardError) {
  TempFolder folder;
  // Below a plain file no folder can be made, not even by root.
  const fs::path blocker = folder.Path() / "a-file";
  std::ofstream(blocker) << "not a folder";
  const fs::path output = folder.Path() / "child-output.txt";

  const ChildOutcome outcome = RunCrashingChild(CrashKind::kAbort, (blocker / "reports").string(), output.string());

  ASSERT_TRUE(outcome.ended);
  EXPECT_EQ(outcome.endedBy, kRows[1].endedBy);
  const std::string text = FileText(output);
  EXPECT_NE(text.find("the report could not be written to its folder"), std::string::npos) << text;
  EXPECT_NE(text.find(kReportEndLine), std::string::npos) << text;
}

#ifndef _WIN32
// A report folder on a full disk: a tmpfs of one page, filled, in a mount
// namespace of this test's own, which needs root.
TEST(FatalReportFolderTest, FullDiskLeavesNoEmptyReportAndTheReportOnStandardError) {
  TempFolder folder;
  const fs::path reports = folder.Path() / "reports";
  fs::create_directories(reports);
  if (unshare(CLONE_NEWNS) != 0) {
    GTEST_SKIP() << "a mount namespace of its own needs root";
  }
  ASSERT_EQ(mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
  ASSERT_EQ(mount("tmpfs", reports.c_str(), "tmpfs", 0, "size=4k"), 0);
  std::ofstream(reports / "filler") << std::string(8192, 'x');
  const fs::path output = folder.Path() / "child-output.txt";

  const ChildOutcome outcome = RunCrashingChild(CrashKind::kAbort, reports.string(), output.string());

  const std::vector<fs::path> pending = FilesEndingWith(reports, kPendingReportSuffix);
  umount2(reports.c_str(), MNT_DETACH);
  ASSERT_TRUE(outcome.ended);
  EXPECT_EQ(outcome.endedBy, static_cast<unsigned long>(SIGABRT));
  EXPECT_TRUE(pending.empty()) << pending.front();
  const std::string text = FileText(output);
  EXPECT_NE(text.find("the report folder could not take the report"), std::string::npos) << text;
  EXPECT_NE(text.find("was left empty and is removed"), std::string::npos) << text;
  EXPECT_TRUE(text.ends_with(kReportEndLine)) << text;
}
#endif

}  // namespace
}  // namespace kestrum::testing
