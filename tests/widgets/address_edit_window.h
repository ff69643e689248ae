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
  AddressEditWindow() : m_window(std::make_unique<QWidget>()) {
    m_window->resize(300, 80);
    before = new QLineEdit(m_window.get());
    before->setGeometry(10, 10, 80, 21);
    edit = new TIPEdit(m_window.get());
    edit->setGeometry(100, 10, 118, 21);
    after = new QLineEdit(m_window.get());
    after->setGeometry(230, 10, 60, 21);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    m_window->activateWindow();
  }

  bool WaitUntilActive() { return QTest::qWaitForWindowActive(m_window.get()); }

  QWidget* window() const { return m_window.get(); }

  TIPFieldEdit* field(int index) const { return edit->Field(index); }

  // Gives the focus to a field the way the program does, with the caret
  // where the test wants it.
  void FocusField(int index, int caret) const {
    field(index)->setFocus(Qt::OtherFocusReason);
    field(index)->setCurrentPosition(caret);
  }

  static QWidget* focused() { return QApplication::focusWidget(); }

  // One key press on whatever has the focus now, like an operator typing.
  static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(focused(), key, modifiers);
  }

  static void Type(const QString& characters) {
    for (const QChar c : characters) {
      QTest::keyClick(focused(), c.toLatin1());
    }
  }

  QLineEdit* before = nullptr;
  TIPEdit* edit = nullptr;
  QLineEdit* after = nullptr;

 private:
  std::unique_ptr<QWidget> m_window;
};
