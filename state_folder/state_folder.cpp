#include "state_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kestrum {

namespace {

std::filesystem::path PathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

}  // namespace

#ifdef _WIN32
std::string EnvironmentVariable(const char* name) {
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

std::string StateFolder() {
  const std::string localAppData = EnvironmentVariable("LOCALAPPDATA");
  return localAppData.empty() ? std::string() : localAppData + "\\Kestrum";
}
#else
std::string EnvironmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string StateFolder() {
  // A relative XDG_STATE_HOME would depend on the working folder: the XDG
  // rules say to ignore it.
  const std::string state = EnvironmentVariable("XDG_STATE_HOME");
  if (state.starts_with('/')) {
    return state + "/Kestrum";
  }
  const std::string home = EnvironmentVariable("HOME");
  return home.empty() ? std::string() : home + "/.local/state/Kestrum";
}
#endif

std::string PathIn(const std::string& folder, const std::string& name) {
  return folder.empty() ? std::string() : folder + kSeparator + name;
}

bool MakeFolder(const std::string& folder) {
  if (folder.empty()) {
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(PathFromUtf8(folder), error);
  return std::filesystem::is_directory(PathFromUtf8(folder), error);
}

}  // namespace kestrum
