#include "temp_folder.h"

#include <atomic>
#include <chrono>
#include <string>
#include <system_error>

namespace kestrum::testing {

TempFolder::TempFolder() {
  static std::atomic<int> made{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = std::filesystem::temp_directory_path() /
          ("kestrum-crash-test-" + std::to_string(stamp) + "-" + std::to_string(made++));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace kestrum::testing
