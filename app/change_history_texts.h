// What the window says of the change history: a row's last recorded change
// in its tooltip, and the notice when the history cannot be written.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "history_entry.h"

class QWidget;

namespace kestrum {

// What a row's tooltip tells of its card's last change: all the window keeps
// of a history entry, so that a history of every card costs little memory.
struct LastChange {
  std::string time;
  std::string ipBefore;
  bool confirmed = false;
};
LastChange LastChangeOf(const history::HistoryEntry& entry);

// "最近一次修改 <time>，修改前 IP <ip>", with "（未确认）" when no card confirmed.
QString LastChangeText(const LastChange& change);

// Tells the operator, once per run, that changes are not being recorded.
using HistoryFailureNotice = std::function<void(QWidget* owner, const QString& reason)>;

// A warning box "提示": the history file, why it cannot be written, and that
// the changes themselves go ahead.
void ShowHistoryFailure(QWidget* owner, const QString& reason);

}  // namespace kestrum
