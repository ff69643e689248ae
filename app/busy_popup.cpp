#include "busy_popup.h"

#include <QLabel>

namespace kestrum {

BusyPopup::BusyPopup(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), message_(new QLabel(tr("正在搜寻......"), this)) {
  setObjectName(QStringLiteral("BusyPopup"));
  setFixedSize(kSize);
  // A notice only: the window keeps the activation and its focus.
  setAttribute(Qt::WA_ShowWithoutActivating);
  move(owner->frameGeometry().center() - QPoint(kSize.width() / 2, kSize.height() / 2));

  message_->setObjectName(QStringLiteral("lblSearching"));
  QFont font = message_->font();
  font.setPointSize(12);
  message_->setFont(font);
  QPalette palette = message_->palette();
  palette.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
  message_->setPalette(palette);
  message_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // One line high at (82, 42), 257 wide; the text does not resize it.
  message_->setGeometry(82, 42, 257, message_->fontMetrics().height());
}

}  // namespace kestrum
