#include "crash_reports/exception_description.h"

#include "crash_reports/demangle.h"
#include "crash_reports/fatal/neutralised_text.h"

#if defined(__GLIBCXX__) || defined(_LIBCPP_VERSION)
#include <cxxabi.h>
#define KESTRUM_HAS_CXXABI 1
#endif

namespace kestrum {

namespace {

// The type of the exception being handled, also inside a catch (...).
QString CurrentExceptionTypeName() {
#ifdef KESTRUM_HAS_CXXABI
  const std::type_info* type = abi::__cxa_current_exception_type();
  if (type != nullptr) {
    return DemangledTypeName(*type);
  }
#endif
  return QStringLiteral("unknown");
}

}  // namespace

QString DemangledTypeName(const std::type_info& type) { return DemangledName(type.name()); }

ExceptionDescription DescribeException(const std::exception_ptr& error) {
  if (!error) {
    return {QStringLiteral("std::terminate was called without an active exception"), QStringLiteral("none")};
  }
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    // what() of our own errors and of the standard library is UTF-8 or ASCII;
    // it may quote texts from outside, which a terminal must not obey.
    return {QString::fromStdString(Neutralised(e.what())), DemangledTypeName(typeid(e))};
  } catch (...) {
    return {QStringLiteral("An exception of a type not derived from std::exception was thrown"),
            CurrentExceptionTypeName()};
  }
}

}  // namespace kestrum
