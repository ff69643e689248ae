#include "crash_reports/demangle.h"

#include <cstdlib>
#include <memory>

#if defined(__GLIBCXX__) || defined(_LIBCPP_VERSION)
#include <cxxabi.h>
#define KESTRUM_HAS_CXXABI 1
#endif

namespace kestrum {

#ifdef KESTRUM_HAS_CXXABI
namespace {
struct FreeDeleter {
  void operator()(char* p) const { std::free(p); }
};
}  // namespace

QString DemangledName(const char* mangledName) {
  int status = 0;
  const std::unique_ptr<char, FreeDeleter> name(abi::__cxa_demangle(mangledName, nullptr, nullptr, &status));
  return status == 0 && name ? QString::fromUtf8(name.get()) : QString::fromUtf8(mangledName);
}
#else
QString DemangledName(const char* mangledName) { return QString::fromUtf8(mangledName); }
#endif

}  // namespace kestrum
