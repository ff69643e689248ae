#include "crash_reports/fatal/report_folder.h"

#include "crash_reports/fatal/neutralised_text.h"
#include "file_owner.h"
#include "state_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrum {

namespace {

constexpr char kFolderVariable[] = "KESTRUM_CRASH_REPORT_DIR";

// What lies at the folder's path when it is not a folder of the user's own.
const char* WhatIsFoundInstead(const std::string& folder) {
#ifdef _WIN32
  wchar_t wide[1024];
  if (MultiByteToWideChar(CP_UTF8, 0, folder.c_str(), -1, wide, 1024) == 0) {
    return nullptr;
  }
  const DWORD attributes = GetFileAttributesW(wide);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return nullptr;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return "a link (a reparse point)";
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return "a file, not a folder";
  }
  const HANDLE opened = CreateFileW(wide, READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  const bool others = opened == INVALID_HANDLE_VALUE || IsOwnedByAnotherUser(opened);
  if (opened != INVALID_HANDLE_VALUE) {
    CloseHandle(opened);
  }
  return others ? "a folder of another user" : nullptr;
#else
  struct stat found {};
  if (::lstat(folder.c_str(), &found) != 0) {
    return nullptr;
  }
  if (S_ISLNK(found.st_mode)) {
    return "a symbolic link";
  }
  if (!S_ISDIR(found.st_mode)) {
    return "not a folder";
  }
  return found.st_uid != ::geteuid() ? "a folder of another user" : nullptr;
#endif
}

}  // namespace

std::string DefaultCrashReportFolder() {
  const std::string chosen = EnvironmentVariable(kFolderVariable);
  return chosen.empty() ? PathIn(StateFolder(), "crash-reports") : chosen;
}

std::string FolderRefusal(const std::string& folder) {
  const char* found = WhatIsFoundInstead(folder);
  return found == nullptr ? std::string()
                          : "The crash report folder " + Neutralised(folder) + " is " + found + ", so it is not used.";
}

}  // namespace kestrum
