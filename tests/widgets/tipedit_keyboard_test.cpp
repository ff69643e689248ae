// Typing into the address edit: the change check, moving between fields,
// the keys a field filters, and entering the control.

#include "address_edit_window.h"
#include "offscreen_test_main.h"

#include <QSignalSpy>

#include <memory>

class TIPEditKeyboardTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void ThreeDigitsMoveOnWithNextTextSelected();
  void NumberAbove255Becomes255AfterOnError();
  void RejectedTextIsReportedBeforeItIsReplaced();
  void DotMovesOnOnlyAfterUnselectedDigits();
  void DotInLastFieldStays();
  void BackspaceAtStartMovesToEndOfPreviousField();
  void BackspaceAtStartOfFirstFieldDoesNothing();
  void BackspaceOnSelectionAtStartAlsoDeletesIt();
  void ArrowsCrossFieldEdges();
  void ArrowsInsideTextMoveTheCaret();
  void OtherCharactersAreDiscarded_data();
  void OtherCharactersAreDiscarded();
  void EmptiedFieldKeepsItsValue();
  void DeletingDigitByDigitKeepsTheLastNumber();
  void TabEntersFieldZeroWithoutSelecting();
  void TabPassesThroughTheFieldsBothWays();
  void WindowTabOrderMovesTheControlAsAWhole();
  void ProgramFocusOnControlReachesFieldZero();
  void ClickOnSurfaceFocusesFieldZeroOnlyWhenNoFieldHasFocus();
  void ReadOnlyFieldsTakeNoDigits();
  void NarrowerRangeReplacesRejectedTextWithItsMaximum();

 private:
  std::unique_ptr<AddressEditWindow> window_;
  TIPEdit* Edit() const { return window_->edit; }
  TIPFieldEdit* Field(int index) const { return window_->Field(index); }
};

void TIPEditKeyboardTest::init() {
  window_ = std::make_unique<AddressEditWindow>();
  QVERIFY(window_->WaitUntilActive());
}

void TIPEditKeyboardTest::cleanup() { window_.reset(); }

void TIPEditKeyboardTest::ThreeDigitsMoveOnWithNextTextSelected() {
  QSignalSpy changes(Edit(), &TIPEdit::OnChange);
  Field(0)->clear();
  window_->FocusField(0, 0);

  AddressEditWindow::Type("192");
  QVERIFY(Field(1)->hasFocus());
  QCOMPARE(Field(1)->selectedText(), QStringLiteral("0"));

  AddressEditWindow::Type("168");
  QVERIFY(Field(2)->hasFocus());
  QCOMPARE(Field(2)->selectedText(), QStringLiteral("0"));
  QCOMPARE(Field(1)->text(), QStringLiteral("168"));
  QCOMPARE(Edit()->IPString(), QStringLiteral("192.168.0.0"));
  // 1, 19, 192, then 1 over the selected 0, 16, 168: each a new number.
  QCOMPARE(changes.count(), 6);
}

void TIPEditKeyboardTest::NumberAbove255Becomes255AfterOnError() {
  QSignalSpy errors(Edit(), &TIPEdit::OnError);
  QSignalSpy changes(Edit(), &TIPEdit::OnChange);
  Field(2)->clear();
  window_->FocusField(2, 0);

  AddressEditWindow::Type("256");

  QCOMPARE(errors.count(), 1);
  QCOMPARE(errors.at(0).at(0).toInt(), 2);
  QCOMPARE(Field(2)->text(), QStringLiteral("255"));
  QCOMPARE(Field(2)->Value(), quint8{255});
  QCOMPARE(Field(2)->CurrentPosition(), 0);
  QVERIFY(!Field(2)->hasSelectedText());
  QVERIFY(Field(2)->hasFocus());
  QVERIFY(!Edit()->Error());
  QCOMPARE(Edit()->IPString(), QStringLiteral("0.0.255.0"));
  QCOMPARE(changes.count(), 3);  // 2, 25, then 255 in place of 256
}

void TIPEditKeyboardTest::RejectedTextIsReportedBeforeItIsReplaced() {
  QString textWhenReported;
  bool errorWhenReported = false;
  connect(Edit(), &TIPEdit::OnError, this, [&](int index) {
    textWhenReported = Field(index)->text();
    errorWhenReported = Edit()->Error();
  });
  Field(1)->setText(QStringLiteral("99"));
  window_->FocusField(1, 2);

  AddressEditWindow::Type("9");

  QCOMPARE(textWhenReported, QStringLiteral("999"));
  QVERIFY(errorWhenReported);
  QCOMPARE(Field(1)->text(), QStringLiteral("255"));
}

void TIPEditKeyboardTest::DotMovesOnOnlyAfterUnselectedDigits() {
  Field(0)->clear();
  window_->FocusField(0, 0);
  AddressEditWindow::Type("10.");
  QVERIFY(Field(1)->hasFocus());
  QCOMPARE(Field(1)->selectedText(), QStringLiteral("0"));
  QCOMPARE(Field(0)->text(), QStringLiteral("10"));

  // Text selected: the dot does nothing.
  AddressEditWindow::Type(".");
  QVERIFY(Field(1)->hasFocus());
  QCOMPARE(Field(1)->text(), QStringLiteral("0"));

  // Empty field: the dot does nothing.
  Field(1)->clear();
  AddressEditWindow::Type(".");
  QVERIFY(Field(1)->hasFocus());
  QCOMPARE(Field(1)->text(), QString());
  QCOMPARE(Edit()->IPString(), QStringLiteral("10.0.0.0"));
}

void TIPEditKeyboardTest::DotInLastFieldStays() {
  window_->FocusField(3, 1);
  AddressEditWindow::Type(".");
  QVERIFY(Field(3)->hasFocus());
  QCOMPARE(Field(3)->text(), QStringLiteral("0"));
}

void TIPEditKeyboardTest::BackspaceAtStartMovesToEndOfPreviousField() {
  Edit()->SetIPString(QStringLiteral("192.168.1.100"));
  window_->FocusField(2, 0);

  AddressEditWindow::Press(Qt::Key_Backspace);

  QVERIFY(Field(1)->hasFocus());
  QCOMPARE(Field(1)->cursorPosition(), 3);
  QVERIFY(!Field(1)->hasSelectedText());
  QCOMPARE(Field(1)->text(), QStringLiteral("168"));
  QCOMPARE(Field(2)->text(), QStringLiteral("1"));

  // On a shorter text the caret stops at its end.
  Edit()->SetIPString(QStringLiteral("192.7.1.100"));
  window_->FocusField(2, 0);
  AddressEditWindow::Press(Qt::Key_Backspace);
  QVERIFY(Field(1)->hasFocus());
  QCOMPARE(Field(1)->cursorPosition(), 1);
}

void TIPEditKeyboardTest::BackspaceAtStartOfFirstFieldDoesNothing() {
  Edit()->SetIPString(QStringLiteral("192.168.1.100"));
  window_->FocusField(0, 0);
  AddressEditWindow::Press(Qt::Key_Backspace);
  QVERIFY(Field(0)->hasFocus());
  QCOMPARE(Field(0)->text(), QStringLiteral("192"));
  QCOMPARE(Field(0)->CurrentPosition(), 0);
}

// The key moves the focus back first, then still deletes what was selected
// in the field where it was typed.
void TIPEditKeyboardTest::BackspaceOnSelectionAtStartAlsoDeletesIt() {
  Edit()->SetIPString(QStringLiteral("192.168.100.1"));
  window_->FocusField(2, 0);
  Field(2)->setSelection(0, 2);

  AddressEditWindow::Press(Qt::Key_Backspace);

  QVERIFY(Field(1)->hasFocus());
  QCOMPARE(Field(2)->text(), QStringLiteral("0"));
  QCOMPARE(Edit()->IPString(), QStringLiteral("192.168.0.1"));
}

void TIPEditKeyboardTest::ArrowsCrossFieldEdges() {
  Edit()->SetIPString(QStringLiteral("192.168.1.100"));

  window_->FocusField(0, 3);
  AddressEditWindow::Press(Qt::Key_Right);
  QVERIFY(Field(1)->hasFocus());
  QCOMPARE(Field(1)->cursorPosition(), 0);
  QVERIFY(!Field(1)->hasSelectedText());

  AddressEditWindow::Press(Qt::Key_Left);
  QVERIFY(Field(0)->hasFocus());
  QCOMPARE(Field(0)->cursorPosition(), 3);

  // A selection starting at 0 counts as the caret at 0.
  window_->FocusField(2, 0);
  Field(2)->selectAll();
  AddressEditWindow::Press(Qt::Key_Left);
  QVERIFY(Field(1)->hasFocus());
  QVERIFY(!Field(2)->hasSelectedText());

  window_->FocusField(3, 3);
  AddressEditWindow::Press(Qt::Key_Right);
  QVERIFY(Field(3)->hasFocus());

  window_->FocusField(0, 0);
  AddressEditWindow::Press(Qt::Key_Left);
  QVERIFY(Field(0)->hasFocus());
  QCOMPARE(Edit()->IPString(), QStringLiteral("192.168.1.100"));
}

void TIPEditKeyboardTest::ArrowsInsideTextMoveTheCaret() {
  Edit()->SetIPString(QStringLiteral("192.168.1.100"));
  window_->FocusField(1, 1);
  AddressEditWindow::Press(Qt::Key_Right);
  QVERIFY(Field(1)->hasFocus());
  QCOMPARE(Field(1)->cursorPosition(), 2);
  AddressEditWindow::Press(Qt::Key_Left);
  AddressEditWindow::Press(Qt::Key_Left);
  QVERIFY(Field(1)->hasFocus());
  QCOMPARE(Field(1)->cursorPosition(), 0);
  AddressEditWindow::Press(Qt::Key_End);
  QCOMPARE(Field(1)->cursorPosition(), 3);
}

void TIPEditKeyboardTest::OtherCharactersAreDiscarded_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<QString>("text");

  QTest::newRow("letter") << int(Qt::Key_A) << "a";
  QTest::newRow("capital") << int(Qt::Key_F) << "F";
  QTest::newRow("space") << int(Qt::Key_Space) << " ";
  QTest::newRow("minus") << int(Qt::Key_Minus) << "-";
  QTest::newRow("plus") << int(Qt::Key_Plus) << "+";
  QTest::newRow("dollar") << int(Qt::Key_Dollar) << "$";
  QTest::newRow("comma") << int(Qt::Key_Comma) << ",";
  QTest::newRow("chinese") << int(Qt::Key_unknown) << QStringLiteral("一");
  QTest::newRow("enter") << int(Qt::Key_Return) << "\r";
}

void TIPEditKeyboardTest::OtherCharactersAreDiscarded() {
  QFETCH(int, key);
  QFETCH(QString, text);
  Field(1)->setText(QStringLiteral("1"));
  window_->FocusField(1, 1);
  QSignalSpy changes(Edit(), &TIPEdit::OnChange);
  QSignalSpy errors(Edit(), &TIPEdit::OnError);

  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(Field(1), &press);

  QCOMPARE(Field(1)->text(), QStringLiteral("1"));
  QVERIFY(Field(1)->hasFocus());
  QCOMPARE(changes.count(), 0);
  QCOMPARE(errors.count(), 0);
}

void TIPEditKeyboardTest::EmptiedFieldKeepsItsValue() {
  Edit()->SetIPString(QStringLiteral("192.168.1.100"));
  window_->FocusField(3, 0);
  Field(3)->selectAll();
  AddressEditWindow::Press(Qt::Key_Delete);

  QCOMPARE(Field(3)->text(), QString());
  QCOMPARE(Edit()->IPString(), QStringLiteral("192.168.1.100"));
  QCOMPARE(Edit()->Addr(), quint32{0x6401A8C0});
}

void TIPEditKeyboardTest::DeletingDigitByDigitKeepsTheLastNumber() {
  Edit()->SetIPString(QStringLiteral("192.168.1.100"));
  window_->FocusField(3, 3);
  for (int i = 0; i < 3; ++i) {
    AddressEditWindow::Press(Qt::Key_Backspace);
  }
  QCOMPARE(Field(3)->text(), QString());
  QVERIFY(Field(3)->hasFocus());
  QCOMPARE(Edit()->IPString(), QStringLiteral("192.168.1.1"));
}

void TIPEditKeyboardTest::TabEntersFieldZeroWithoutSelecting() {
  Edit()->SetIPString(QStringLiteral("192.168.1.100"));
  window_->before->setFocus();
  AddressEditWindow::Press(Qt::Key_Tab);

  QCOMPARE(AddressEditWindow::Focused(), Field(0));
  QVERIFY(!Field(0)->hasSelectedText());
  QCOMPARE(Field(0)->cursorPosition(), 0);
}

void TIPEditKeyboardTest::TabPassesThroughTheFieldsBothWays() {
  window_->before->setFocus();
  for (int i = 0; i < TIPEdit::kFieldCount; ++i) {
    AddressEditWindow::Press(Qt::Key_Tab);
    QCOMPARE(AddressEditWindow::Focused(), Field(i));
    QVERIFY(!Field(i)->hasSelectedText());
  }
  AddressEditWindow::Press(Qt::Key_Tab);
  QCOMPARE(AddressEditWindow::Focused(), window_->after);

  for (int i = TIPEdit::kFieldCount - 1; i >= 0; --i) {
    AddressEditWindow::Press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(AddressEditWindow::Focused(), Field(i));
  }
  AddressEditWindow::Press(Qt::Key_Backtab, Qt::ShiftModifier);
  QCOMPARE(AddressEditWindow::Focused(), window_->before);
}

// The window orders its controls with setTabOrder; the fields go with their
// control.
void TIPEditKeyboardTest::WindowTabOrderMovesTheControlAsAWhole() {
  QWidget::setTabOrder(window_->before, window_->after);
  QWidget::setTabOrder(window_->after, Edit());
  window_->before->setFocus();

  AddressEditWindow::Press(Qt::Key_Tab);
  QCOMPARE(AddressEditWindow::Focused(), window_->after);
  for (int i = 0; i < TIPEdit::kFieldCount; ++i) {
    AddressEditWindow::Press(Qt::Key_Tab);
    QCOMPARE(AddressEditWindow::Focused(), Field(i));
  }
}

void TIPEditKeyboardTest::ProgramFocusOnControlReachesFieldZero() {
  window_->after->setFocus();
  Edit()->setFocus();
  QCOMPARE(AddressEditWindow::Focused(), Field(0));
  QVERIFY(Edit()->hasFocus());
}

void TIPEditKeyboardTest::ClickOnSurfaceFocusesFieldZeroOnlyWhenNoFieldHasFocus() {
  // Just right of field 1, in the gap where the second dot stands.
  const QPoint gap = Field(1)->mapTo(Edit(), QPoint(Field(1)->width() + 1, 5));
  QWidget* surface = Edit()->childAt(gap);
  QVERIFY(surface != nullptr);
  QVERIFY(qobject_cast<TIPFieldEdit*>(surface) == nullptr);
  window_->after->setFocus();
  QTest::mouseClick(surface, Qt::LeftButton, {}, surface->mapFrom(Edit(), gap));
  QCOMPARE(AddressEditWindow::Focused(), Field(0));

  window_->FocusField(2, 0);
  QTest::mouseClick(Edit(), Qt::LeftButton, {}, QPoint(1, 1));
  QCOMPARE(AddressEditWindow::Focused(), Field(2));

  QTest::mouseClick(Field(3), Qt::LeftButton, {}, QPoint(5, 5));
  QCOMPARE(AddressEditWindow::Focused(), Field(3));
}

void TIPEditKeyboardTest::ReadOnlyFieldsTakeNoDigits() {
  Edit()->SetReadOnly(true);
  for (int i = 0; i < TIPEdit::kFieldCount; ++i) {
    QVERIFY(Field(i)->isReadOnly());
  }
  QVERIFY(Edit()->ReadOnly());
  window_->FocusField(0, 1);
  AddressEditWindow::Type("5");
  QCOMPARE(Field(0)->text(), QStringLiteral("0"));

  Edit()->SetReadOnly(false);
  QVERIFY(!Field(3)->isReadOnly());
}

// Over a narrower range 255 would be rejected again and again; the field
// falls back to its highest accepted number instead.
void TIPEditKeyboardTest::NarrowerRangeReplacesRejectedTextWithItsMaximum() {
  QSignalSpy errors(Edit(), &TIPEdit::OnError);
  Field(0)->SetMax(100);
  Field(0)->clear();
  window_->FocusField(0, 0);

  AddressEditWindow::Type("200");

  QCOMPARE(errors.count(), 1);
  QCOMPARE(Field(0)->text(), QStringLiteral("100"));
  QCOMPARE(Field(0)->Value(), quint8{100});
  QVERIFY(Field(0)->hasFocus());
}

KESTRUM_WIDGET_TEST_MAIN(TIPEditKeyboardTest)
#include "tipedit_keyboard_test.moc"
