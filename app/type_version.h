// The type-version text of a card ("type-version", up to 16 bytes of 8-bit
// text) and its split into the two labels of the panel.
#pragma once

#include <QString>

#include "control_record.h"

namespace kestrum {

struct TypeAndVersion {
  QString type;
  QString version;
};

// The record's typeVersion bytes decoded with the system code page.
QString TypeVersionText(const ControlRecord& record);

// Split at the first "-": the type before it, the version after it. A text
// without "-" is all type and no version.
TypeAndVersion SplitTypeVersion(const QString& text);

}  // namespace kestrum
