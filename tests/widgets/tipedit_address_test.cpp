// Reading and writing the address as text and as a number, pasted text, and
// texts that must never leave a field holding anything but nothing or a
// number from 0 to 255.

#include "address_edit_window.h"
#include "integer_text.h"
#include "offscreen_test_main.h"

#include <QClipboard>
#include <QSignalSpy>

#include <memory>

namespace {

QStringList FieldTexts(const TIPEdit& edit) {
  QStringList texts;
  for (int i = 0; i < TIPEdit::kFieldCount; ++i) {
    texts << edit.Field(i)->text();
  }
  return texts;
}

// Nothing, or a number from 0 to 255 (as the change check reads it) that is
// also the field's value.
bool HoldsNothingOrOctet(const TIPFieldEdit& field) {
  if (field.text().isEmpty()) {
    return true;
  }
  const std::optional<int32_t> number = ParseIntegerText(field.text());
  return number && *number >= 0 && *number <= 255 && *number == field.Value();
}

}  // namespace

class TIPEditAddressTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void NewControlReadsZeros();
  void WritingText_data();
  void WritingText();
  void WritingTextRaisesNoSignalAndLeavesCaretAtStart();
  void AddressNumberBothWays();
  void SettingFieldTextPutsCaretAtStartAndStays();
  void FieldValueMinMax();
  void PastedText_data();
  void PastedText();
  void AnyTextLeavesNothingOrAnOctet_data();
  void AnyTextLeavesNothingOrAnOctet();

 private:
  std::unique_ptr<AddressEditWindow> window_;
  TIPEdit* Edit() const { return window_->edit; }
  TIPFieldEdit* Field(int index) const { return window_->Field(index); }
};

void TIPEditAddressTest::init() {
  window_ = std::make_unique<AddressEditWindow>();
  QVERIFY(window_->WaitUntilActive());
}

void TIPEditAddressTest::cleanup() { window_.reset(); }

void TIPEditAddressTest::NewControlReadsZeros() {
  TIPEdit fresh;
  QCOMPARE(fresh.IPString(), QStringLiteral("0.0.0.0"));
  QCOMPARE(fresh.Addr(), quint32{0});
  QCOMPARE(FieldTexts(fresh), QStringList({"0", "0", "0", "0"}));
  QVERIFY(!fresh.Error());
  QVERIFY(!fresh.ReadOnly());
}

void TIPEditAddressTest::WritingText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("expected");
  QTest::addColumn<QStringList>("shown");

  // The control holds 7.7.7.7 before each row.
  QTest::newRow("plain") << "10.0.0.1"
                         << "10.0.0.1" << QStringList{"10", "0", "0", "1"};
  QTest::newRow("leading zeros") << "010.001.000.099"
                                 << "10.1.0.99" << QStringList{"10", "1", "0", "99"};
  QTest::newRow("three octets") << "192.168.1"
                                << "7.7.7.7" << QStringList{"7", "7", "7", "7"};
  QTest::newRow("empty") << ""
                         << "7.7.7.7" << QStringList{"7", "7", "7", "7"};
  QTest::newRow("letters") << "abc"
                           << "7.7.7.7" << QStringList{"7", "7", "7", "7"};
  QTest::newRow("octet above 255") << "300.1.2.3"
                                   << "255.1.2.3" << QStringList{"255", "1", "2", "3"};
  QTest::newRow("five octets") << "1.2.3.4.5"
                               << "1.2.3.4" << QStringList{"1", "2", "3", "4"};
  QTest::newRow("trailing garbage") << "1.2.3.4x"
                                    << "1.2.3.255" << QStringList{"1", "2", "3", "255"};
  QTest::newRow("empty octet") << "1..2.3"
                               << "1.255.2.3" << QStringList{"1", "255", "2", "3"};
  QTest::newRow("empty last octet") << "1.2.3."
                                    << "1.2.3.255" << QStringList{"1", "2", "3", "255"};
  QTest::newRow("negative octet") << "-1.2.3.4"
                                  << "255.2.3.4" << QStringList{"255", "2", "3", "4"};
  QTest::newRow("hex and signs") << "$C0.0xA8.+1.x64"
                                 << "192.168.1.100" << QStringList{"192", "168", "1", "100"};
  QTest::newRow("leading spaces") << " 1.  2.3.4"
                                  << "1.2.3.4" << QStringList{"1", "2", "3", "4"};
  QTest::newRow("space before dot") << "1 .2.3.4"
                                    << "255.2.3.4" << QStringList{"255", "2", "3", "4"};
  QTest::newRow("dots only") << "..."
                             << "255.255.255.255" << QStringList{"255", "255", "255", "255"};
  QTest::newRow("huge number") << "99999999999.0.0.0"
                               << "255.0.0.0" << QStringList{"255", "0", "0", "0"};
  QTest::newRow("unchanged text") << "7.7.7.7"
                                  << "7.7.7.7" << QStringList{"7", "7", "7", "7"};
}

void TIPEditAddressTest::WritingText() {
  QFETCH(QString, text);
  QFETCH(QString, expected);
  QFETCH(QStringList, shown);
  Edit()->SetIPString(QStringLiteral("7.7.7.7"));

  Edit()->SetIPString(text);

  QCOMPARE(Edit()->IPString(), expected);
  QCOMPARE(FieldTexts(*Edit()), shown);
  QVERIFY(!Edit()->Error());
}

void TIPEditAddressTest::WritingTextRaisesNoSignalAndLeavesCaretAtStart() {
  QSignalSpy changes(Edit(), &TIPEdit::OnChange);
  QSignalSpy errors(Edit(), &TIPEdit::OnError);
  window_->FocusField(1, 1);
  Field(2)->setText(QStringLiteral("12"));
  Field(2)->setCursorPosition(2);
  changes.clear();

  Edit()->SetIPString(QStringLiteral("300.168.12.100"));

  QCOMPARE(changes.count(), 0);
  QCOMPARE(errors.count(), 0);
  for (int i = 0; i < TIPEdit::kFieldCount; ++i) {
    QCOMPARE(Field(i)->CurrentPosition(), 0);
    QVERIFY(!Field(i)->hasSelectedText());
  }
  // Writing never moves the focus, not even with three-digit octets.
  QVERIFY(Field(1)->hasFocus());
}

void TIPEditAddressTest::AddressNumberBothWays() {
  QSignalSpy changes(Edit(), &TIPEdit::OnChange);
  // Bytes C0 A8 00 01, least significant first.
  Edit()->SetAddr(0x0100A8C0u);
  QCOMPARE(Edit()->IPString(), QStringLiteral("192.168.0.1"));
  QCOMPARE(FieldTexts(*Edit()), QStringList({"192", "168", "0", "1"}));
  QCOMPARE(Edit()->Addr(), quint32{0x0100A8C0u});

  Edit()->SetIPString(QStringLiteral("10.20.30.255"));
  QCOMPARE(Edit()->Addr(), quint32{0xFF1E140Au});
  Edit()->SetAddr(0xFFFFFFFFu);
  QCOMPARE(Edit()->IPString(), QStringLiteral("255.255.255.255"));
  QCOMPARE(changes.count(), 0);
}

void TIPEditAddressTest::SettingFieldTextPutsCaretAtStartAndStays() {
  QSignalSpy changes(Edit(), &TIPEdit::OnChange);
  window_->FocusField(1, 1);

  Field(1)->setText(QStringLiteral("123"));

  QCOMPARE(Field(1)->CurrentPosition(), 0);
  QVERIFY(!Field(1)->hasSelectedText());
  QVERIFY(Field(1)->hasFocus());  // three digits set by the program: no move
  QCOMPARE(Field(1)->Value(), quint8{123});
  QCOMPARE(changes.count(), 1);

  // The same text again still leaves the caret at the start.
  Field(1)->SetCurrentPosition(2);
  Field(1)->SetValue(123);
  QCOMPARE(Field(1)->CurrentPosition(), 0);
  QCOMPARE(changes.count(), 1);
}

void TIPEditAddressTest::FieldValueMinMax() {
  TIPFieldEdit field;
  QCOMPARE(field.Min(), quint8{0});
  QCOMPARE(field.Max(), quint8{255});
  field.SetValue(42);
  QCOMPARE(field.text(), QStringLiteral("42"));

  field.SetMin(100);
  QCOMPARE(field.Max(), quint8{255});
  field.SetMax(50);
  QCOMPARE(field.Max(), quint8{50});
  QCOMPARE(field.Min(), quint8{50});
  field.SetMin(60);
  QCOMPARE(field.Max(), quint8{60});

  field.setText(QStringLiteral("7"));
  QCOMPARE(field.text(), QStringLiteral("60"));
  QCOMPARE(field.Value(), quint8{60});

  field.setText(QStringLiteral("12"));
  field.SetCurrentPosition(-5);
  QCOMPARE(field.CurrentPosition(), 0);
  field.SetCurrentPosition(99);
  QCOMPARE(field.CurrentPosition(), 2);
}

void TIPEditAddressTest::PastedText_data() {
  QTest::addColumn<QString>("pasted");
  QTest::addColumn<QString>("shown");
  QTest::addColumn<int>("value");
  QTest::addColumn<int>("errors");

  QTest::newRow("digits") << "42"
                          << "42" << 42 << 0;
  QTest::newRow("dollar hex") << "$FF"
                              << "$FF" << 255 << 0;
  QTest::newRow("0x hex") << "0xA"
                          << "0xA" << 10 << 0;
  QTest::newRow("x hex") << "x1f"
                         << "x1f" << 31 << 0;
  QTest::newRow("plus sign") << "+7"
                             << "+7" << 7 << 0;
  QTest::newRow("leading space") << " 12"
                                 << " 12" << 12 << 0;
  QTest::newRow("minus sign") << "-1"
                              << "255" << 255 << 1;
  QTest::newRow("letters") << "abc"
                           << "255" << 255 << 1;
  QTest::newRow("too large") << "300"
                             << "255" << 255 << 1;
  QTest::newRow("prefix only") << "0x"
                               << "255" << 255 << 1;
  QTest::newRow("cut to three characters") << "12345"
                                           << "123" << 123 << 0;
  QTest::newRow("address") << "1.2.3.4"
                           << "255" << 255 << 1;
  QTest::newRow("chinese") << QStringLiteral("一二三") << "255" << 255 << 1;
}

void TIPEditAddressTest::PastedText() {
  QFETCH(QString, pasted);
  QFETCH(QString, shown);
  QFETCH(int, value);
  QFETCH(int, errors);
  QSignalSpy errorSpy(Edit(), &TIPEdit::OnError);
  Field(1)->SetValue(9);
  window_->FocusField(1, 0);
  Field(1)->selectAll();
  QApplication::clipboard()->setText(pasted);

  AddressEditWindow::Press(Qt::Key_V, Qt::ControlModifier);

  QCOMPARE(Field(1)->text(), shown);
  QCOMPARE(int(Field(1)->Value()), value);
  QCOMPARE(errorSpy.count(), errors);
  QVERIFY(!Edit()->Error());
}

void TIPEditAddressTest::AnyTextLeavesNothingOrAnOctet_data() {
  QTest::addColumn<QString>("text");
  for (const char* text : {"",          "0",   "255", "256", "999", "-0",  "+",  "-", "$",    "0x",
                           "$FFFFFFFF", "   ", "1e3", "1.5", "abc", "\t1", "١٢", "①", "1\n2", "00000"}) {
    QTest::newRow(text) << QString::fromUtf8(text);
  }
  QTest::newRow("nul") << QString(QChar(0));
  QTest::newRow("lone surrogate") << QString(QChar(0xD800));
}

// Set by the program, typed into the middle of existing text, or inserted
// where the caret stands: the field never keeps a text it cannot read.
void TIPEditAddressTest::AnyTextLeavesNothingOrAnOctet() {
  QFETCH(QString, text);
  window_->FocusField(0, 0);

  Field(0)->setText(text);
  QVERIFY2(HoldsNothingOrOctet(*Field(0)), qPrintable(Field(0)->text()));

  Field(1)->setText(QStringLiteral("1"));
  window_->FocusField(1, 1);
  Field(1)->insert(text);
  QVERIFY2(HoldsNothingOrOctet(*Field(1)), qPrintable(Field(1)->text()));

  Edit()->SetIPString(text + "." + text + "." + text + "." + text);
  for (int i = 0; i < TIPEdit::kFieldCount; ++i) {
    QVERIFY(HoldsNothingOrOctet(*Field(i)));
  }
  QVERIFY(!Edit()->Error());
  const QStringList octets = Edit()->IPString().split(u'.');
  QCOMPARE(octets.size(), 4);
}

KESTRUM_WIDGET_TEST_MAIN(TIPEditAddressTest)
#include "tipedit_address_test.moc"
