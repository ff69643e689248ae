// What the window says before it sends a parameter change: the question, and
// the notice when a change is refused. Passed to the window as functions so
// that tests can answer them without a modal box.
#pragma once

#include <QStringList>
#include <functional>

class QWidget;

namespace kestrum {

// True when the operator answered Yes; `warnings` are what the checks found,
// one line each.
using ChangeConfirmation = std::function<bool(QWidget* owner, const QStringList& warnings)>;
// Tells the operator why a change is refused.
using ChangeRefusalNotice = std::function<void(QWidget* owner, const QString& reason)>;

// The message box "确定要修改参数吗" / "提示", owned by `owner`: warning icon,
// Yes and No. Without warnings Yes is the default button; with warnings they
// are listed under the question and No is the default.
bool AskChangeConfirmation(QWidget* owner, const QStringList& warnings);

// A warning box "提示" with the reason and OK.
void ShowChangeRefusal(QWidget* owner, const QString& reason);

}  // namespace kestrum
