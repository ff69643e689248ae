#include "change_history_texts.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "card_field_texts.h"

namespace kestrum {

LastChange LastChangeOf(const history::HistoryEntry& entry) { return {entry.time, entry.before.ip, entry.confirmed}; }

QString LastChangeText(const LastChange& change) {
  // The history is anybody's to edit: its texts are shown, never obeyed.
  return QCoreApplication::translate("Kestrum", "最近一次修改 %1，修改前 IP %2%3")
      .arg(ShownText(QString::fromStdString(change.time)), ShownText(QString::fromStdString(change.ipBefore)),
           change.confirmed ? QString() : QCoreApplication::translate("Kestrum", "（未确认）"));
}

void ShowHistoryFailure(QWidget* owner, const QString& reason) {
  QMessageBox box(QMessageBox::Warning, QCoreApplication::translate("Kestrum", "提示"),
                  QCoreApplication::translate(
                      "Kestrum", "修改记录无法写入：%1\n修改照常进行，但不会被记录。本次运行中不再提示。")
                      .arg(ShownText(reason)),
                  QMessageBox::Ok, owner);
  box.setTextFormat(Qt::PlainText);  // the reason names a path, which may hold markup
  box.exec();
}

}  // namespace kestrum
