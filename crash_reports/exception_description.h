// The message and the type name of an exception held in an exception_ptr,
// whatever was thrown: std::exception and its kinds, or anything else.
#pragma once

#include <QString>
#include <exception>
#include <typeinfo>

namespace kestrum {

struct ExceptionDescription {
  QString message;
  QString typeName;
};

// Readable form of a type's name ("std::runtime_error", not "St13runtime_error").
QString DemangledTypeName(const std::type_info& type);

// An empty pointer describes a terminate reached without an exception.
ExceptionDescription DescribeException(const std::exception_ptr& error);

}  // namespace kestrum
