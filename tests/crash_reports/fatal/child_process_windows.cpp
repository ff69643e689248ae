// Windows: the child by CreateProcess of this program, waited for with a
// deadline; its exit code tells how it ended.
#include <windows.h>

#include <string>

#include "crashing_child.h"

namespace kestrum::testing {

namespace {

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size() + 1, L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
  return wide;
}

// Under wine the system's crash handling starts its debugger for a moment
// before the child ends.
constexpr DWORD kChildDeadlineMs = 60000;

}  // namespace

ChildOutcome RunCrashingChild(CrashKind kind, const std::string& reportFolder, const std::string& outputPath) {
  wchar_t program[MAX_PATH];
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring commandLine = L"\"" + std::wstring(program) + L"\" --crash-child=" + Wide(CrashKindName(kind)) +
                             L" \"--report-folder=" + Wide(reportFolder) + L"\"";

  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  const HANDLE output = CreateFileW(Wide(outputPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION process{};
  ChildOutcome outcome;
  const BOOL started =
      CreateProcessW(program, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(output);
  if (!started) {
    return outcome;
  }
  outcome.processId = process.dwProcessId;
  if (WaitForSingleObject(process.hProcess, kChildDeadlineMs) == WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    outcome.ended = true;
    outcome.endedBy = exitCode;
  } else {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kChildDeadlineMs);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return outcome;
}

}  // namespace kestrum::testing
