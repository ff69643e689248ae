#include "crash/fatal/report_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kestrum {

namespace {

constexpr char kFolderVariable[] = "KESTRUM_CRASH_REPORT_DIR";

std::filesystem::path PathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

#ifdef _WIN32
// The environment as UTF-8: getenv gives the ANSI code page on Windows.
std::string Variable(const char* name) {
  wchar_t wideName[64];
  MultiByteToWideChar(CP_UTF8, 0, name, -1, wideName, 64);
  wchar_t value[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(wideName, value, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return {};
  }
  char utf8[MAX_PATH * 3];
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, value, static_cast<int>(length), utf8, sizeof utf8, nullptr, nullptr);
  return std::string(utf8, bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
}

std::string PlatformDefaultFolder() {
  const std::string localAppData = Variable("LOCALAPPDATA");
  return localAppData.empty() ? std::string() : localAppData + "\\Kestrum\\crash-reports";
}
#else
std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string PlatformDefaultFolder() {
  const std::string state = Variable("XDG_STATE_HOME");
  if (!state.empty()) {
    return state + "/Kestrum/crash-reports";
  }
  const std::string home = Variable("HOME");
  return home.empty() ? std::string() : home + "/.local/state/Kestrum/crash-reports";
}
#endif

}  // namespace

std::string DefaultCrashReportFolder() {
  const std::string chosen = Variable(kFolderVariable);
  return chosen.empty() ? PlatformDefaultFolder() : chosen;
}

bool MakeReportFolder(const std::string& folder) {
  if (folder.empty()) {
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(PathFromUtf8(folder), error);
  return std::filesystem::is_directory(PathFromUtf8(folder), error);
}

}  // namespace kestrum
