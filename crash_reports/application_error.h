// Errors the window raises on purpose to stop a handler and tell the operator
// why, such as a port text that is not a number. They leave the handler and
// are caught and shown by KestrumApplication like any other error; their
// message reaches the operator exactly as given.
#pragma once

#include <QString>
#include <stdexcept>

namespace kestrum {

class OperatorError : public std::runtime_error {
 public:
  // what() holds the message as UTF-8, so Chinese texts survive.
  explicit OperatorError(const QString& message) : std::runtime_error(message.toStdString()) {}

  QString Message() const { return QString::fromUtf8(what()); }
};

// A text the operator typed that cannot be read as the number it stands for.
class ConversionError : public OperatorError {
 public:
  using OperatorError::OperatorError;

  // "'abc' is not a valid integer value".
  static ConversionError NotAnInteger(const QString& text) {
    return ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
  }
};

}  // namespace kestrum
