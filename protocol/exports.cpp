// The library's C exports. Nothing may leave them as an exception.
#include "card_search.h"
#include "orvell.h"

extern "C" ORVELL_API std::int32_t ORVELL_CALL GetControlList(ControlRecord* records, std::int32_t capacity) {
  try {
    return orvell::SearchCards(&CreatePindle, records, capacity);
  } catch (...) {
    return 0;
  }
}
