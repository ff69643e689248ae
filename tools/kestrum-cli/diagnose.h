// kestrum-cli diagnose: why a card is not found. It looks below the
// library's exports, at the adapters and at every datagram one search gets.
#pragma once

namespace kestrum::cli {

// 0 when a card answered, 1 when none did.
int RunDiagnose();

}  // namespace kestrum::cli
