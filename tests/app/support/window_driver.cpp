#include "window_driver.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include "TIPEdit.h"
#include "gradient_label.h"
#include "scripted_cards.h"

namespace kestrum::testing {

WindowDriver::WindowDriver(std::vector<ControlRecord> cards) : WindowDriver(ScriptedCards::Protocol()) {
  // The window calls the library only when searching, after this.
  ScriptedCards::Reset();
  ScriptedCards::Set(std::move(cards));
}

WindowDriver::WindowDriver(const CardProtocol& protocol) : window_(std::make_unique<TFrm_CardSearch>(protocol)) {
  window_->SetChangeConfirmation([this](QWidget* owner, const QStringList& warnings) {
    ++confirmations_;
    confirmationOwner_ = owner;
    confirmationWarnings_ = warnings;
    return confirmationAnswer_;
  });
  window_->SetChangeRefusalNotice([this](QWidget*, const QString& reason) { refusals_ << reason; });
  window_->show();
  QApplication::setActiveWindow(window_.get());
  static_cast<void>(QTest::qWaitForWindowExposed(window_.get()));
}

WindowDriver::~WindowDriver() { ScriptedCards::Reset(); }

void WindowDriver::ClickSearch() {
  QTest::mouseClick(Find<QToolButton>("btnControlSearch"), Qt::LeftButton);
  // The busy popup came and went; the window is active again once the
  // platform has said so.
  static_cast<void>(QTest::qWaitForWindowActive(window_.get()));
}

void WindowDriver::ClickHeading(int column) {
  QHeaderView* headings = List()->horizontalHeader();
  const QPoint middle(headings->sectionViewportPosition(column) + headings->sectionSize(column) / 2,
                      headings->height() / 2);
  QTest::mouseClick(headings->viewport(), Qt::LeftButton, Qt::NoModifier, middle);
}

void WindowDriver::ClickRow(int row, Qt::KeyboardModifiers modifiers) {
  const QRect cell = List()->visualRect(List()->model()->index(row, 2));
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, modifiers, cell.center());
}

void WindowDriver::ClickModify() { QTest::mouseClick(Find<QPushButton>("btnModify"), Qt::LeftButton); }

void WindowDriver::TypeText(const char* edit, const QString& text) {
  auto* control = Find<QLineEdit>(edit);
  control->setFocus();
  control->selectAll();
  if (text.isEmpty()) {
    QTest::keyClick(control, Qt::Key_Delete);
  } else {
    QTest::keyClicks(control, text);
  }
}

void WindowDriver::TypeAddress(const char* edit, const QString& dotted) {
  const QStringList octets = dotted.split(QLatin1Char('.'));
  auto* control = Find<TIPEdit>(edit);
  for (int i = 0; i < TIPEdit::kFieldCount && i < octets.size(); ++i) {
    TIPFieldEdit* field = control->Field(i);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, octets.at(i));
  }
}

QTableView* WindowDriver::List() const { return Find<QTableView>("rzlistview1"); }

QStringList WindowDriver::ColumnTexts(int column) const {
  const QAbstractItemModel* model = List()->model();
  QStringList texts;
  for (int row = 0; row < model->rowCount(); ++row) texts << model->index(row, column).data().toString();
  return texts;
}

QList<int> WindowDriver::SelectedRows() const {
  QList<int> rows;
  for (const QModelIndex& index : List()->selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

QString WindowDriver::LabelText(const char* name) const { return Find<QLabel>(name)->text(); }
QString WindowDriver::AddressText(const char* name) const { return Find<TIPEdit>(name)->IPString(); }
QString WindowDriver::EditText(const char* name) const { return Find<QLineEdit>(name)->text(); }
QString WindowDriver::Status() const { return Find<GradientLabel>("idsres")->Caption(); }

}  // namespace kestrum::testing
