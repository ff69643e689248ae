// Orvell.dll bound the way the program binds it: loaded by file name, its two
// operations found by their plain export names.
#pragma once

#include <cstdint>
#include <string>

#include "orvell.h"

namespace kestrum::windows_tests {

// The library's own declarations give the types; nothing restates them.
using GetControlListFunction = decltype(&::GetControlList);
using ConfigControlParaFunction = decltype(&::ConfigControlPara);

struct OrvellLibrary {
  GetControlListFunction getControlList = nullptr;
  ConfigControlParaFunction configControlPara = nullptr;
  std::string failure;  // why an export is missing; empty when both were found
};

// Loads Orvell.dll (and through it pindle.dll) once for the whole program;
// it stays loaded until the program ends.
const OrvellLibrary& Orvell();

}  // namespace kestrum::windows_tests
