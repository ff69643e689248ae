// What the window says of the change history: a row's last recorded change
// in its tooltip, and the notice when the history cannot be written.
#pragma once

#include <QString>
#include <functional>

#include "history_entry.h"

class QWidget;

namespace kestrum {

// "最近一次修改 <time>，修改前 IP <ip>", with "（未确认）" when no card confirmed.
QString LastChangeText(const history::HistoryEntry& entry);

// Tells the operator, once per run, that changes are not being recorded.
using HistoryFailureNotice = std::function<void(QWidget* owner, const QString& reason)>;

// A warning box "提示": the history file, why it cannot be written, and that
// the changes themselves go ahead.
void ShowHistoryFailure(QWidget* owner, const QString& reason);

}  // namespace kestrum
