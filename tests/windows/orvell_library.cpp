#include "orvell_library.h"

#include <windows.h>

#include <cstring>

namespace kestrum::windows_tests {
namespace {

// GetProcAddress hands out every export under one generic type; the export's
// own type is known only from its name.
template <typename Function>
Function Export(HMODULE module, const char* name, std::string& failure) {
  const FARPROC found = GetProcAddress(module, name);
  if (found == nullptr) {
    failure += std::string(failure.empty() ? "" : "; ") + "Orvell.dll exports no \"" + name + "\"";
    return nullptr;
  }
  Function typed = nullptr;
  static_assert(sizeof typed == sizeof found);
  std::memcpy(&typed, &found, sizeof typed);
  return typed;
}

OrvellLibrary Load() {
  OrvellLibrary library;
  const HMODULE module = LoadLibraryA("Orvell.dll");
  if (module == nullptr) {
    library.failure = "LoadLibrary(\"Orvell.dll\") failed with error " + std::to_string(GetLastError());
    return library;
  }
  library.getControlList = Export<GetControlListFunction>(module, "GetControlList", library.failure);
  library.configControlPara = Export<ConfigControlParaFunction>(module, "ConfigControlPara", library.failure);
  return library;
}

}  // namespace

const OrvellLibrary& Orvell() {
  static const OrvellLibrary library = Load();
  return library;
}

}  // namespace kestrum::windows_tests
