// The question the window asks before it sends a parameter change. Passed to
// the window as a function so that tests can answer it without a modal box.
#pragma once

#include <functional>

class QWidget;

namespace kestrum {

// True when the operator answered Yes.
using ChangeConfirmation = std::function<bool(QWidget* owner)>;

// The message box "确定要修改参数吗" / "提示", owned by `owner`: warning icon,
// Yes and No, Yes as the default button.
bool AskChangeConfirmation(QWidget* owner);

}  // namespace kestrum
