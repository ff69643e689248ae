#include "change_confirmation.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace kestrum {

bool AskChangeConfirmation(QWidget* owner, const QStringList& warnings) {
  QMessageBox box(QMessageBox::Warning, QCoreApplication::translate("Kestrum", "提示"), QCoreApplication::translate("Kestrum", "确定要修改参数吗"),
                  QMessageBox::Yes | QMessageBox::No, owner);
  box.setObjectName(QStringLiteral("ChangeConfirmation"));
  if (warnings.isEmpty()) {
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    // More may change than the operator meant: Return must not say Yes.
    box.setInformativeText(warnings.join(QLatin1Char('\n')));
    // Wide enough that a line of MAC addresses is not broken at every colon.
    box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 520px; }"));
    box.setDefaultButton(QMessageBox::No);
  }
  return box.exec() == QMessageBox::Yes;
}

void ShowChangeRefusal(QWidget* owner, const QString& reason) {
  QMessageBox box(QMessageBox::Warning, QCoreApplication::translate("Kestrum", "提示"), reason, QMessageBox::Ok, owner);
  box.setObjectName(QStringLiteral("ChangeRefusal"));
  box.exec();
}

}  // namespace kestrum
