// Readable C++ names from the compiler's encoded ones, where the C++ runtime
// offers a demangler; the encoded name unchanged otherwise.
#pragma once

#include <QString>

namespace kestrum {

QString DemangledName(const char* mangledName);

}  // namespace kestrum
