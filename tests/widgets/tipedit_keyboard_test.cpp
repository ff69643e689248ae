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

  void three_digits_move_on_with_next_text_selected();
  void number_above_255_becomes_255_after_OnError();
  void rejected_text_is_reported_before_it_is_replaced();
  void dot_moves_on_only_after_unselected_digits();
  void dot_in_last_field_stays();
  void backspace_at_start_moves_to_end_of_previous_field();
  void backspace_at_start_of_first_field_does_nothing();
  void backspace_on_selection_at_start_also_deletes_it();
  void arrows_cross_field_edges();
  void arrows_inside_text_move_the_caret();
  void other_characters_are_discarded_data();
  void other_characters_are_discarded();
  void emptied_field_keeps_its_value();
  void deleting_digit_by_digit_keeps_the_last_number();
  void tab_enters_field_zero_without_selecting();
  void tab_passes_through_the_fields_both_ways();
  void window_tab_order_moves_the_control_as_a_whole();
  void program_focus_on_control_reaches_field_zero();
  void click_on_surface_focuses_field_zero_only_when_no_field_has_focus();
  void read_only_fields_take_no_digits();
  void narrower_range_replaces_rejected_text_with_its_maximum();

 private:
  std::unique_ptr<AddressEditWindow> m_window;
  TIPEdit* edit() const { return m_window->edit; }
  TIPFieldEdit* field(int index) const { return m_window->field(index); }
};

void TIPEditKeyboardTest::init() {
  m_window = std::make_unique<AddressEditWindow>();
  QVERIFY(m_window->WaitUntilActive());
}

void TIPEditKeyboardTest::cleanup() { m_window.reset(); }

void TIPEditKeyboardTest::three_digits_move_on_with_next_text_selected() {
  QSignalSpy changes(edit(), &TIPEdit::OnChange);
  field(0)->clear();
  m_window->FocusField(0, 0);

  AddressEditWindow::Type("192");
  QVERIFY(field(1)->hasFocus());
  QCOMPARE(field(1)->selectedText(), QStringLiteral("0"));

  AddressEditWindow::Type("168");
  QVERIFY(field(2)->hasFocus());
  QCOMPARE(field(2)->selectedText(), QStringLiteral("0"));
  QCOMPARE(field(1)->text(), QStringLiteral("168"));
  QCOMPARE(edit()->IPString(), QStringLiteral("192.168.0.0"));
  // 1, 19, 192, then 1 over the selected 0, 16, 168: each a new number.
  QCOMPARE(changes.count(), 6);
}

void TIPEditKeyboardTest::number_above_255_becomes_255_after_OnError() {
  QSignalSpy errors(edit(), &TIPEdit::OnError);
  QSignalSpy changes(edit(), &TIPEdit::OnChange);
  field(2)->clear();
  m_window->FocusField(2, 0);

  AddressEditWindow::Type("256");

  QCOMPARE(errors.count(), 1);
  QCOMPARE(errors.at(0).at(0).toInt(), 2);
  QCOMPARE(field(2)->text(), QStringLiteral("255"));
  QCOMPARE(field(2)->Value(), quint8{255});
  QCOMPARE(field(2)->CurrentPosition(), 0);
  QVERIFY(!field(2)->hasSelectedText());
  QVERIFY(field(2)->hasFocus());
  QVERIFY(!edit()->Error());
  QCOMPARE(edit()->IPString(), QStringLiteral("0.0.255.0"));
  QCOMPARE(changes.count(), 3);  // 2, 25, then 255 in place of 256
}

void TIPEditKeyboardTest::rejected_text_is_reported_before_it_is_replaced() {
  QString textWhenReported;
  bool errorWhenReported = false;
  connect(edit(), &TIPEdit::OnError, this, [&](int index) {
    textWhenReported = field(index)->text();
    errorWhenReported = edit()->Error();
  });
  field(1)->setText(QStringLiteral("99"));
  m_window->FocusField(1, 2);

  AddressEditWindow::Type("9");

  QCOMPARE(textWhenReported, QStringLiteral("999"));
  QVERIFY(errorWhenReported);
  QCOMPARE(field(1)->text(), QStringLiteral("255"));
}

void TIPEditKeyboardTest::dot_moves_on_only_after_unselected_digits() {
  field(0)->clear();
  m_window->FocusField(0, 0);
  AddressEditWindow::Type("10.");
  QVERIFY(field(1)->hasFocus());
  QCOMPARE(field(1)->selectedText(), QStringLiteral("0"));
  QCOMPARE(field(0)->text(), QStringLiteral("10"));

  // Text selected: the dot does nothing.
  AddressEditWindow::Type(".");
  QVERIFY(field(1)->hasFocus());
  QCOMPARE(field(1)->text(), QStringLiteral("0"));

  // Empty field: the dot does nothing.
  field(1)->clear();
  AddressEditWindow::Type(".");
  QVERIFY(field(1)->hasFocus());
  QCOMPARE(field(1)->text(), QString());
  QCOMPARE(edit()->IPString(), QStringLiteral("10.0.0.0"));
}

void TIPEditKeyboardTest::dot_in_last_field_stays() {
  m_window->FocusField(3, 1);
  AddressEditWindow::Type(".");
  QVERIFY(field(3)->hasFocus());
  QCOMPARE(field(3)->text(), QStringLiteral("0"));
}

void TIPEditKeyboardTest::backspace_at_start_moves_to_end_of_previous_field() {
  edit()->setIPString(QStringLiteral("192.168.1.100"));
  m_window->FocusField(2, 0);

  AddressEditWindow::Press(Qt::Key_Backspace);

  QVERIFY(field(1)->hasFocus());
  QCOMPARE(field(1)->cursorPosition(), 3);
  QVERIFY(!field(1)->hasSelectedText());
  QCOMPARE(field(1)->text(), QStringLiteral("168"));
  QCOMPARE(field(2)->text(), QStringLiteral("1"));

  // On a shorter text the caret stops at its end.
  edit()->setIPString(QStringLiteral("192.7.1.100"));
  m_window->FocusField(2, 0);
  AddressEditWindow::Press(Qt::Key_Backspace);
  QVERIFY(field(1)->hasFocus());
  QCOMPARE(field(1)->cursorPosition(), 1);
}

void TIPEditKeyboardTest::backspace_at_start_of_first_field_does_nothing() {
  edit()->setIPString(QStringLiteral("192.168.1.100"));
  m_window->FocusField(0, 0);
  AddressEditWindow::Press(Qt::Key_Backspace);
  QVERIFY(field(0)->hasFocus());
  QCOMPARE(field(0)->text(), QStringLiteral("192"));
  QCOMPARE(field(0)->CurrentPosition(), 0);
}

// The key moves the focus back first, then still deletes what was selected
// in the field where it was typed.
void TIPEditKeyboardTest::backspace_on_selection_at_start_also_deletes_it() {
  edit()->setIPString(QStringLiteral("192.168.100.1"));
  m_window->FocusField(2, 0);
  field(2)->setSelection(0, 2);

  AddressEditWindow::Press(Qt::Key_Backspace);

  QVERIFY(field(1)->hasFocus());
  QCOMPARE(field(2)->text(), QStringLiteral("0"));
  QCOMPARE(edit()->IPString(), QStringLiteral("192.168.0.1"));
}

void TIPEditKeyboardTest::arrows_cross_field_edges() {
  edit()->setIPString(QStringLiteral("192.168.1.100"));

  m_window->FocusField(0, 3);
  AddressEditWindow::Press(Qt::Key_Right);
  QVERIFY(field(1)->hasFocus());
  QCOMPARE(field(1)->cursorPosition(), 0);
  QVERIFY(!field(1)->hasSelectedText());

  AddressEditWindow::Press(Qt::Key_Left);
  QVERIFY(field(0)->hasFocus());
  QCOMPARE(field(0)->cursorPosition(), 3);

  // A selection starting at 0 counts as the caret at 0.
  m_window->FocusField(2, 0);
  field(2)->selectAll();
  AddressEditWindow::Press(Qt::Key_Left);
  QVERIFY(field(1)->hasFocus());
  QVERIFY(!field(2)->hasSelectedText());

  m_window->FocusField(3, 3);
  AddressEditWindow::Press(Qt::Key_Right);
  QVERIFY(field(3)->hasFocus());

  m_window->FocusField(0, 0);
  AddressEditWindow::Press(Qt::Key_Left);
  QVERIFY(field(0)->hasFocus());
  QCOMPARE(edit()->IPString(), QStringLiteral("192.168.1.100"));
}

void TIPEditKeyboardTest::arrows_inside_text_move_the_caret() {
  edit()->setIPString(QStringLiteral("192.168.1.100"));
  m_window->FocusField(1, 1);
  AddressEditWindow::Press(Qt::Key_Right);
  QVERIFY(field(1)->hasFocus());
  QCOMPARE(field(1)->cursorPosition(), 2);
  AddressEditWindow::Press(Qt::Key_Left);
  AddressEditWindow::Press(Qt::Key_Left);
  QVERIFY(field(1)->hasFocus());
  QCOMPARE(field(1)->cursorPosition(), 0);
  AddressEditWindow::Press(Qt::Key_End);
  QCOMPARE(field(1)->cursorPosition(), 3);
}

void TIPEditKeyboardTest::other_characters_are_discarded_data() {
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

void TIPEditKeyboardTest::other_characters_are_discarded() {
  QFETCH(int, key);
  QFETCH(QString, text);
  field(1)->setText(QStringLiteral("1"));
  m_window->FocusField(1, 1);
  QSignalSpy changes(edit(), &TIPEdit::OnChange);
  QSignalSpy errors(edit(), &TIPEdit::OnError);

  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(field(1), &press);

  QCOMPARE(field(1)->text(), QStringLiteral("1"));
  QVERIFY(field(1)->hasFocus());
  QCOMPARE(changes.count(), 0);
  QCOMPARE(errors.count(), 0);
}

void TIPEditKeyboardTest::emptied_field_keeps_its_value() {
  edit()->setIPString(QStringLiteral("192.168.1.100"));
  m_window->FocusField(3, 0);
  field(3)->selectAll();
  AddressEditWindow::Press(Qt::Key_Delete);

  QCOMPARE(field(3)->text(), QString());
  QCOMPARE(edit()->IPString(), QStringLiteral("192.168.1.100"));
  QCOMPARE(edit()->Addr(), quint32{0x6401A8C0});
}

void TIPEditKeyboardTest::deleting_digit_by_digit_keeps_the_last_number() {
  edit()->setIPString(QStringLiteral("192.168.1.100"));
  m_window->FocusField(3, 3);
  for (int i = 0; i < 3; ++i) {
    AddressEditWindow::Press(Qt::Key_Backspace);
  }
  QCOMPARE(field(3)->text(), QString());
  QVERIFY(field(3)->hasFocus());
  QCOMPARE(edit()->IPString(), QStringLiteral("192.168.1.1"));
}

void TIPEditKeyboardTest::tab_enters_field_zero_without_selecting() {
  edit()->setIPString(QStringLiteral("192.168.1.100"));
  m_window->before->setFocus();
  AddressEditWindow::Press(Qt::Key_Tab);

  QCOMPARE(AddressEditWindow::focused(), field(0));
  QVERIFY(!field(0)->hasSelectedText());
  QCOMPARE(field(0)->cursorPosition(), 0);
}

void TIPEditKeyboardTest::tab_passes_through_the_fields_both_ways() {
  m_window->before->setFocus();
  for (int i = 0; i < TIPEdit::FieldCount; ++i) {
    AddressEditWindow::Press(Qt::Key_Tab);
    QCOMPARE(AddressEditWindow::focused(), field(i));
    QVERIFY(!field(i)->hasSelectedText());
  }
  AddressEditWindow::Press(Qt::Key_Tab);
  QCOMPARE(AddressEditWindow::focused(), m_window->after);

  for (int i = TIPEdit::FieldCount - 1; i >= 0; --i) {
    AddressEditWindow::Press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(AddressEditWindow::focused(), field(i));
  }
  AddressEditWindow::Press(Qt::Key_Backtab, Qt::ShiftModifier);
  QCOMPARE(AddressEditWindow::focused(), m_window->before);
}

// The window orders its controls with setTabOrder; the fields go with their
// control.
void TIPEditKeyboardTest::window_tab_order_moves_the_control_as_a_whole() {
  QWidget::setTabOrder(m_window->before, m_window->after);
  QWidget::setTabOrder(m_window->after, edit());
  m_window->before->setFocus();

  AddressEditWindow::Press(Qt::Key_Tab);
  QCOMPARE(AddressEditWindow::focused(), m_window->after);
  for (int i = 0; i < TIPEdit::FieldCount; ++i) {
    AddressEditWindow::Press(Qt::Key_Tab);
    QCOMPARE(AddressEditWindow::focused(), field(i));
  }
}

void TIPEditKeyboardTest::program_focus_on_control_reaches_field_zero() {
  m_window->after->setFocus();
  edit()->setFocus();
  QCOMPARE(AddressEditWindow::focused(), field(0));
  QVERIFY(edit()->hasFocus());
}

void TIPEditKeyboardTest::click_on_surface_focuses_field_zero_only_when_no_field_has_focus() {
  // Just right of field 1, in the gap where the second dot stands.
  const QPoint gap = field(1)->mapTo(edit(), QPoint(field(1)->width() + 1, 5));
  QWidget* surface = edit()->childAt(gap);
  QVERIFY(surface != nullptr);
  QVERIFY(qobject_cast<TIPFieldEdit*>(surface) == nullptr);
  m_window->after->setFocus();
  QTest::mouseClick(surface, Qt::LeftButton, {}, surface->mapFrom(edit(), gap));
  QCOMPARE(AddressEditWindow::focused(), field(0));

  m_window->FocusField(2, 0);
  QTest::mouseClick(edit(), Qt::LeftButton, {}, QPoint(1, 1));
  QCOMPARE(AddressEditWindow::focused(), field(2));

  QTest::mouseClick(field(3), Qt::LeftButton, {}, QPoint(5, 5));
  QCOMPARE(AddressEditWindow::focused(), field(3));
}

void TIPEditKeyboardTest::read_only_fields_take_no_digits() {
  edit()->setReadOnly(true);
  for (int i = 0; i < TIPEdit::FieldCount; ++i) {
    QVERIFY(field(i)->isReadOnly());
  }
  QVERIFY(edit()->ReadOnly());
  m_window->FocusField(0, 1);
  AddressEditWindow::Type("5");
  QCOMPARE(field(0)->text(), QStringLiteral("0"));

  edit()->setReadOnly(false);
  QVERIFY(!field(3)->isReadOnly());
}

// Over a narrower range 255 would be rejected again and again; the field
// falls back to its highest accepted number instead.
void TIPEditKeyboardTest::narrower_range_replaces_rejected_text_with_its_maximum() {
  QSignalSpy errors(edit(), &TIPEdit::OnError);
  field(0)->setMax(100);
  field(0)->clear();
  m_window->FocusField(0, 0);

  AddressEditWindow::Type("200");

  QCOMPARE(errors.count(), 1);
  QCOMPARE(field(0)->text(), QStringLiteral("100"));
  QCOMPARE(field(0)->Value(), quint8{100});
  QVERIFY(field(0)->hasFocus());
}

KESTRUM_WIDGET_TEST_MAIN(TIPEditKeyboardTest)
#include "tipedit_keyboard_test.moc"
