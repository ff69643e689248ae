#include "crash_reports/report_dialog_parts.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace kestrum {

QLabel* MakeReportLabel(const QString& text, const char* name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QSizePolicy policy = label->sizePolicy();
  policy.setHorizontalPolicy(QSizePolicy::Ignored);
  label->setSizePolicy(policy);
  return label;
}

QLabel* MakeReportHeadline(const QString& text, const char* name, QWidget* parent) {
  QLabel* label = MakeReportLabel(text, name, parent);
  QFont font = label->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.25);
  label->setFont(font);
  return label;
}

QPlainTextEdit* MakeReportView(const QString& text, const char* name, QWidget* parent) {
  auto* view = new QPlainTextEdit(text, parent);
  view->setObjectName(QString::fromLatin1(name));
  view->setReadOnly(true);
  view->setLineWrapMode(QPlainTextEdit::NoWrap);
  view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return view;
}

QPushButton* AddReportButton(QDialogButtonBox* buttons, const QString& text, const char* name,
                             QDialogButtonBox::ButtonRole role) {
  QPushButton* button = buttons->addButton(text, role);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

}  // namespace kestrum
