#pragma once

// A shown, active window holding one address edit between two plain edits,
// and helpers that type into whatever has the keyboard focus.

#include "TIPEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>
#include <QtTest>

#include <memory>

class AddressEditWindow {
 public:
  AddressEditWindow() : window_(std::make_unique<QWidget>()) {
    window_->resize(300, 80);
    before = new QLineEdit(window_.get());
    before->setGeometry(10, 10, 80, 21);
    edit = new TIPEdit(window_.get());
    edit->setGeometry(100, 10, 118, 21);
    after = new QLineEdit(window_.get());
    after->setGeometry(230, 10, 60, 21);
    window_->show();
    QApplication::setActiveWindow(window_.get());
    window_->activateWindow();
  }

  bool WaitUntilActive() { return QTest::qWaitForWindowActive(window_.get()); }

  QWidget* Window() const { return window_.get(); }

  TIPFieldEdit* Field(int index) const { return edit->Field(index); }

  // Gives the focus to a field the way the program does, with the caret
  // where the test wants it.
  void FocusField(int index, int caret) const {
    Field(index)->setFocus(Qt::OtherFocusReason);
    Field(index)->SetCurrentPosition(caret);
  }

  static QWidget* Focused() { return QApplication::focusWidget(); }

  // One key press on whatever has the focus now, like an operator typing.
  static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Focused(), key, modifiers);
  }

  static void Type(const QString& characters) {
    for (const QChar c : characters) {
      QTest::keyClick(Focused(), c.toLatin1());
    }
  }

  QLineEdit* before = nullptr;
  TIPEdit* edit = nullptr;
  QLineEdit* after = nullptr;

 private:
  std::unique_ptr<QWidget> window_;
};
