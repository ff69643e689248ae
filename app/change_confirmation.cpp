#include "change_confirmation.h"

#include <QMessageBox>

namespace kestrum {

bool AskChangeConfirmation(QWidget* owner) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("提示"), QStringLiteral("确定要修改参数吗"),
                  QMessageBox::Yes | QMessageBox::No, owner);
  box.setObjectName(QStringLiteral("ChangeConfirmation"));
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace kestrum
