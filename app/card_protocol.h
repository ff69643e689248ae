// The window's two calls into the card protocol library, passed in so that
// tests can script the cards. The program passes the library's exports.
#pragma once

#include <cstdint>

#include "orvell.h"

namespace kestrum {

struct CardProtocol {
  // The library's own declarations give the types; nothing restates them.
  using GetControlListCall = decltype(&::GetControlList);
  using ConfigControlParaCall = decltype(&::ConfigControlPara);

  GetControlListCall GetControlList = nullptr;
  ConfigControlParaCall ConfigControlPara = nullptr;
};

}  // namespace kestrum
