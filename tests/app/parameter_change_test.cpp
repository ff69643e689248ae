// The modify button's flow over the recording fake library: the question,
// the conversion of the panel's texts, the eleven arguments of the call, and
// what the window shows and keeps after a confirmed, failed or refused change.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <vector>

#include "card_fields.h"
#include "crash_reports/application_error.h"
#include "offscreen_test_main.h"
#include "scripted_cards.h"
#include "window_driver.h"

using namespace kestrum;
using namespace kestrum::testing;
using namespace Qt::StringLiterals;
using orvell::parameter::ParameterChange;

namespace {

CardFields FirstCard() {
  CardFields fields;
  fields.ip = {192, 168, 1, 100};
  fields.mask = {255, 255, 255, 0};
  fields.gateway = {192, 168, 1, 1};
  fields.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  fields.serverIp = {192, 168, 1, 2};
  fields.serverPort = 9999;
  fields.heartbeat = 10;
  return fields;
}

CardFields SecondCard() {
  CardFields fields = FirstCard();
  fields.ip = {192, 168, 1, 50};
  fields.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x60};
  fields.serverPort = 7000;
  fields.heartbeat = 20;
  return fields;
}

// What the operator types for the first card in most tests.
struct TypedValues {
  QString ip = u"192.168.1.200"_s;
  QString gateway = u"192.168.1.254"_s;
  QString mask = u"255.255.0.0"_s;
  QString serverIp = u"10.0.0.5"_s;
  QString port = u"9000"_s;
  QString heartbeat = u"30"_s;
};

// The first card as it is once it has taken TypedValues.
CardFields FirstCardChanged() {
  CardFields fields = FirstCard();
  fields.ip = {192, 168, 1, 200};
  fields.gateway = {192, 168, 1, 254};
  fields.mask = {255, 255, 0, 0};
  fields.serverIp = {10, 0, 0, 5};
  fields.serverPort = 9000;
  fields.heartbeat = 30;
  return fields;
}

ParameterChange ChangeOfFirstCard() {
  ParameterChange change;
  change.oldIp = Address({192, 168, 1, 100});
  change.oldGateway = Address({192, 168, 1, 1});
  change.oldMask = Address({255, 255, 255, 0});
  change.newIp = Address({192, 168, 1, 200});
  change.newGateway = Address({192, 168, 1, 254});
  change.newMask = Address({255, 255, 0, 0});
  change.serverIp = Address({10, 0, 0, 5});
  change.serverPort = 9000;
  change.heartbeat = 30;
  return change;
}

void Type(WindowDriver& driver, const TypedValues& values) {
  driver.TypeAddress("ipdt_ip", values.ip);
  driver.TypeAddress("ipdt_gateway", values.gateway);
  driver.TypeAddress("ipdt_mask", values.mask);
  driver.TypeAddress("ip_remote", values.serverIp);
  driver.TypeText("edtremoteport", values.port);
  driver.TypeText("edt_heart", values.heartbeat);
}

bool SameRecord(const ControlRecord& actual, const CardFields& expected) {
  const ControlRecord wanted = MakeCard(expected);
  return std::equal(std::begin(actual.bytes), std::end(actual.bytes), std::begin(wanted.bytes));
}

QByteArray HexBytes(const ControlRecord& card, std::size_t offset, std::size_t count) {
  QByteArray bytes;
  for (std::size_t i = 0; i < count; ++i) bytes.append(static_cast<char>(card.bytes[offset + i]));
  return bytes.toHex(' ');
}

ControlRecord RecordAt(const WindowDriver& driver, int index) {
  return driver.State().ControlTable.at(static_cast<std::size_t>(index));
}

// Everything a refused or failed change must leave as it was: the list, the
// two records, the remembered addresses and the status.
struct WindowSnapshot {
  QList<QStringList> columns;
  std::vector<ControlRecord> records;
  std::uint32_t selectedIp = 0;
  std::uint32_t selectedGateway = 0;
  std::uint32_t selectedMask = 0;
  QString status;

  explicit WindowSnapshot(const WindowDriver& driver) {
    for (int column = 0; column < kColumnCount; ++column) columns << driver.ColumnTexts(column);
    for (int i = 0; i < driver.List()->model()->rowCount(); ++i) records.push_back(RecordAt(driver, i));
    selectedIp = driver.State().SelectedIp;
    selectedGateway = driver.State().SelectedGateway;
    selectedMask = driver.State().SelectedMask;
    status = driver.Status();
  }

  bool operator==(const WindowSnapshot& other) const {
    const auto sameBytes = [](const ControlRecord& a, const ControlRecord& b) {
      return std::equal(std::begin(a.bytes), std::end(a.bytes), std::begin(b.bytes));
    };
    return columns == other.columns &&
           std::equal(records.begin(), records.end(), other.records.begin(), other.records.end(), sameBytes) &&
           selectedIp == other.selectedIp && selectedGateway == other.selectedGateway &&
           selectedMask == other.selectedMask && status == other.status;
  }
};

// Runs btnModifyClick and gives the message of the OperatorError it throws
// (empty when it throws none); whether it was a ConversionError goes to
// *conversion.
QString OperatorErrorOf(WindowDriver& driver, bool* conversion) {
  try {
    driver.Window().btnModifyClick();
  } catch (const ConversionError& error) {
    *conversion = true;
    return error.Message();
  } catch (const OperatorError& error) {
    *conversion = false;
    return error.Message();
  }
  return {};
}

// What the real question box showed, and its default button.
struct QuestionSeen {
  QString text;
  QString informativeText;
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  QWidget* owner = nullptr;
};

// Answers the next question box with a key (Return takes the default
// button, Escape says No, Y says Yes) once it is up; it is modal, so this
// runs inside it.
void AnswerNextQuestion(WindowDriver& driver, Qt::Key key, QuestionSeen& seen) {
  QTimer::singleShot(0, &driver.Window(), [&driver, key, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      AnswerNextQuestion(driver, key, seen);
      return;
    }
    seen = {box->text(),        box->informativeText(), box->windowTitle(),
            box->icon(),        box->standardButtons(), box->standardButton(box->defaultButton()),
            box->parentWidget()};
    if (key == Qt::Key_Escape)
      box->button(QMessageBox::No)->click();
    else if (key == Qt::Key_Y)
      box->button(QMessageBox::Yes)->click();
    else
      QTest::keyClick(box, key);
  });
}

}  // namespace

class ParameterChangeTest : public QObject {
  Q_OBJECT

 private slots:
  void AnsweringNoSendsNothingAndChangesNothing() {
    WindowDriver driver({MakeCard(FirstCard()), MakeCard(SecondCard())});
    driver.ClickSearch();
    const WindowSnapshot before(driver);
    Type(driver, TypedValues{});
    driver.AnswerConfirmation(false);
    driver.ClickModify();
    QCOMPARE(driver.Confirmations(), 1);
    QCOMPARE(driver.ConfirmationOwner(), static_cast<QWidget*>(&driver.Window()));
    QVERIFY(ScriptedCards::Changes().empty());
    QVERIFY(WindowSnapshot(driver) == before);
    // The panel keeps what the operator typed.
    QCOMPARE(driver.AddressText("ipdt_ip"), u"192.168.1.200"_s);
    QCOMPARE(driver.EditText("edtremoteport"), u"9000"_s);
  }

  // The real question: a warning box of the window with Yes as default.
  void TheQuestionBox() {
    WindowDriver driver({MakeCard(FirstCard())});
    driver.Window().SetChangeConfirmation(AskChangeConfirmation);
    driver.ClickSearch();

    QuestionSeen seen;
    AnswerNextQuestion(driver, Qt::Key_Escape, seen);
    driver.ClickModify();
    QCOMPARE(seen.text, u"确定要修改参数吗"_s);
    QCOMPARE(seen.informativeText, QString());
    QCOMPARE(seen.caption, u"提示"_s);
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(seen.defaultButton, QMessageBox::Yes);
    QCOMPARE(seen.owner, static_cast<QWidget*>(&driver.Window()));
    QVERIFY(ScriptedCards::Changes().empty());

    AnswerNextQuestion(driver, Qt::Key_Return, seen);
    driver.ClickModify();
    QCOMPARE(ScriptedCards::Changes().size(), std::size_t{1});
    QCOMPARE(driver.Status(), u"修改成功"_s);
  }

  // Three cards fresh from the factory share one address: the same question
  // names all three, and Return says No.
  void SharedAddressIsToldAndNoIsTheDefault() {
    CardFields second = FirstCard(), third = FirstCard();
    second.mac[5] = 0x61;
    third.mac[5] = 0x62;
    WindowDriver driver({MakeCard(FirstCard()), MakeCard(second), MakeCard(third)});
    driver.Window().SetChangeConfirmation(AskChangeConfirmation);
    driver.ClickSearch();
    Type(driver, TypedValues{});

    QuestionSeen seen;
    AnswerNextQuestion(driver, Qt::Key_Return, seen);
    driver.ClickModify();
    QCOMPARE(seen.text, u"确定要修改参数吗"_s);
    QCOMPARE(seen.caption, u"提示"_s);
    QCOMPARE(seen.defaultButton, QMessageBox::No);
    QVERIFY2(seen.informativeText.contains(u"3 张卡"_s), qPrintable(seen.informativeText));
    for (const QString& mac : {u"00:1A:2B:3C:4D:5E"_s, u"00:1A:2B:3C:4D:61"_s, u"00:1A:2B:3C:4D:62"_s})
      QVERIFY2(seen.informativeText.contains(mac), qPrintable(mac));
    QVERIFY(ScriptedCards::Changes().empty());

    // Yes sends the request exactly as without the warning; the other rows
    // keep their texts, since the window cannot know which cards took it.
    AnswerNextQuestion(driver, Qt::Key_Y, seen);
    driver.ClickModify();
    QCOMPARE(ScriptedCards::Changes().size(), std::size_t{1});
    QVERIFY(ScriptedCards::Changes().front().change == ChangeOfFirstCard());
    QCOMPARE(driver.Status(), u"修改成功"_s);
    QCOMPARE(driver.ColumnTexts(kColumnIp), (QStringList{u"192.168.1.200"_s, u"192.168.1.100"_s, u"192.168.1.100"_s}));
  }

  // Junk in the IP edit becomes 255 in every field: refused with the reason,
  // nothing asked and nothing sent.
  void AddressNoCardCanUseIsRefused() {
    WindowDriver driver({MakeCard(FirstCard())});
    driver.ClickSearch();
    const WindowSnapshot before(driver);
    TypedValues values;
    values.ip = u"999.999.999.999"_s;
    Type(driver, values);
    QCOMPARE(driver.AddressText("ipdt_ip"), u"255.255.255.255"_s);
    driver.ClickModify();
    QCOMPARE(driver.Refusals().size(), 1);
    QVERIFY2(driver.Refusals().front().contains(u"255.255.255.255"_s), qPrintable(driver.Refusals().front()));
    QCOMPARE(driver.Confirmations(), 0);
    QVERIFY(ScriptedCards::Changes().empty());
    QVERIFY(WindowSnapshot(driver) == before);
  }

  void RefusedTexts_data() {
    QTest::addColumn<QString>("heartbeat");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("conversion");
    QTest::newRow("port not a number") << u"30"_s << u"abc"_s << u"'abc' is not a valid integer value"_s << true;
    QTest::newRow("empty heartbeat") << u""_s << u"9000"_s << u"'' is not a valid integer value"_s << true;
    QTest::newRow("port with a trailing space")
        << u"30"_s << u"9000 "_s << u"'9000 ' is not a valid integer value"_s << true;
    QTest::newRow("spaces only") << u"   "_s << u"9000"_s << u"'   ' is not a valid integer value"_s << true;
    QTest::newRow("hex prefix without digits") << u"30"_s << u"$"_s << u"'$' is not a valid integer value"_s << true;
    QTest::newRow("beyond 32 bits") << u"30"_s << u"2147483648"_s << u"'2147483648' is not a valid integer value"_s
                                    << true;
    QTest::newRow("both not numbers: the heartbeat is named")
        << u"x1g"_s << u"abc"_s << u"'x1g' is not a valid integer value"_s << true;
    QTest::newRow("port too large") << u"30"_s << u"70000"_s << u"'70000' is not a valid port number (0 to 65535)"_s
                                    << false;
    QTest::newRow("port negative") << u"30"_s << u"-1"_s << u"'-1' is not a valid port number (0 to 65535)"_s << false;
    QTest::newRow("heartbeat too large") << u"300"_s << u"9000"_s
                                         << u"'300' is not a valid heartbeat value (0 to 255)"_s << false;
    QTest::newRow("heartbeat negative") << u"-1"_s << u"9000"_s << u"'-1' is not a valid heartbeat value (0 to 255)"_s
                                        << false;
    QTest::newRow("heartbeat as hex -1") << u"$FFFFFFFF"_s << u"9000"_s
                                         << u"'$FFFFFFFF' is not a valid heartbeat value (0 to 255)"_s << false;
    QTest::newRow("heartbeat too large, port not a number: the heartbeat is named")
        << u"300"_s << u"abc"_s << u"'300' is not a valid heartbeat value (0 to 255)"_s << false;
    QTest::newRow("heartbeat not a number, port too large: the heartbeat is named")
        << u"abc"_s << u"70000"_s << u"'abc' is not a valid integer value"_s << true;
  }

  void RefusedTexts() {
    QFETCH(QString, heartbeat);
    QFETCH(QString, port);
    QFETCH(QString, message);
    QFETCH(bool, conversion);
    WindowDriver driver({MakeCard(FirstCard()), MakeCard(SecondCard())});
    driver.ClickSearch();
    const WindowSnapshot before(driver);
    TypedValues values;
    values.heartbeat = heartbeat;
    values.port = port;
    Type(driver, values);
    bool wasConversion = !conversion;
    QCOMPARE(OperatorErrorOf(driver, &wasConversion), message);
    QCOMPARE(wasConversion, conversion);
    QVERIFY(ScriptedCards::Changes().empty());
    QVERIFY(WindowSnapshot(driver) == before);
  }

  void AcceptedTexts_data() {
    QTest::addColumn<QString>("heartbeat");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("sentHeartbeat");
    QTest::addColumn<int>("sentPort");
    QTest::newRow("leading spaces") << u"30"_s << u"  9000"_s << 30 << 9000;
    QTest::newRow("dollar hex") << u"30"_s << u"$2328"_s << 30 << 9000;
    QTest::newRow("0x hex and X hex") << u"X1e"_s << u"0x2328"_s << 30 << 9000;
    QTest::newRow("plus sign") << u"+30"_s << u"+9000"_s << 30 << 9000;
    QTest::newRow("smallest values") << u"0"_s << u"-0"_s << 0 << 0;
    QTest::newRow("largest values") << u"$FF"_s << u"65535"_s << 255 << 65535;
  }

  void AcceptedTexts() {
    QFETCH(QString, heartbeat);
    QFETCH(QString, port);
    QFETCH(int, sentHeartbeat);
    QFETCH(int, sentPort);
    WindowDriver driver({MakeCard(FirstCard())});
    driver.ClickSearch();
    TypedValues values;
    values.heartbeat = heartbeat;
    values.port = port;
    Type(driver, values);
    driver.ClickModify();
    QCOMPARE(ScriptedCards::Changes().size(), std::size_t{1});
    QCOMPARE(static_cast<int>(ScriptedCards::Changes().front().change.heartbeat), sentHeartbeat);
    QCOMPARE(static_cast<int>(ScriptedCards::Changes().front().change.serverPort), sentPort);
    QCOMPARE(driver.Status(), u"修改成功"_s);
  }

  void ConfirmedChangeFollowsTheCard() {
    WindowDriver driver({MakeCard(FirstCard()), MakeCard(SecondCard())});
    driver.ClickSearch();
    Type(driver, TypedValues{});
    driver.ClickModify();

    QCOMPARE(ScriptedCards::Changes().size(), std::size_t{1});
    const RecordedChange& call = ScriptedCards::Changes().front();
    QCOMPARE(call.change, ChangeOfFirstCard());
    QCOMPARE(call.oldMac, std::optional<std::string>("00:1A:2B:3C:4D:5E"));
    QCOMPARE(call.newMac, std::optional<std::string>("00:1A:2B:3C:4D:5E"));
    QCOMPARE(call.serverIpText, std::string("10.0.0.5"));

    QCOMPARE(driver.Status(), u"修改成功"_s);
    QCOMPARE(driver.ColumnTexts(kColumnIp), QStringList({u"192.168.1.200"_s, u"192.168.1.50"_s}));
    QCOMPARE(driver.ColumnTexts(kColumnGateway), QStringList({u"192.168.1.254"_s, u"192.168.1.1"_s}));
    QCOMPARE(driver.ColumnTexts(kColumnMask), QStringList({u"255.255.0.0"_s, u"255.255.255.0"_s}));
    QCOMPARE(driver.ColumnTexts(kColumnMac), QStringList({u"00:1A:2B:3C:4D:5E"_s, u"00:1A:2B:3C:4D:60"_s}));
    const ControlRecord changed = RecordAt(driver, 0);
    QCOMPARE(HexBytes(changed, orvell::record::kIpOffset, 4), QByteArray("c0 a8 01 c8"));
    QVERIFY(SameRecord(changed, FirstCardChanged()));  // and nothing else of it changed
    QVERIFY(SameRecord(RecordAt(driver, 1), SecondCard()));
    QCOMPARE(driver.State().SelectedIp, Address({192, 168, 1, 200}));
    QCOMPARE(driver.State().SelectedGateway, Address({192, 168, 1, 254}));
    QCOMPARE(driver.State().SelectedMask, Address({255, 255, 0, 0}));

    // Back to the changed card from another: the panel shows what it now holds.
    driver.ClickRow(1);
    driver.ClickRow(0);
    QCOMPARE(driver.AddressText("ipdt_ip"), u"192.168.1.200"_s);
    QCOMPARE(driver.AddressText("ip_remote"), u"10.0.0.5"_s);
    QCOMPARE(driver.EditText("edtremoteport"), u"9000"_s);
    QCOMPARE(driver.EditText("edt_heart"), u"30"_s);
  }

  void SecondChangeNamesTheCardByItsNewAddresses() {
    WindowDriver driver({MakeCard(FirstCard())});
    driver.ClickSearch();
    Type(driver, TypedValues{});
    driver.ClickModify();
    driver.TypeAddress("ipdt_ip", u"192.168.1.201"_s);
    driver.ClickModify();

    QCOMPARE(ScriptedCards::Changes().size(), std::size_t{2});
    ParameterChange second = ChangeOfFirstCard();
    second.oldIp = Address({192, 168, 1, 200});
    second.oldGateway = Address({192, 168, 1, 254});
    second.oldMask = Address({255, 255, 0, 0});
    second.newIp = Address({192, 168, 1, 201});
    QCOMPARE(ScriptedCards::Changes().back().change, second);
    QCOMPARE(driver.ColumnTexts(kColumnIp), QStringList({u"192.168.1.201"_s}));
    QCOMPARE(driver.State().SelectedIp, Address({192, 168, 1, 201}));
  }

  void UnconfirmedChangeChangesNothing_data() {
    QTest::addColumn<int>("result");
    QTest::newRow("no card confirmed") << 0;
    QTest::newRow("anything but 1") << 2;
    QTest::newRow("negative") << -1;
  }

  void UnconfirmedChangeChangesNothing() {
    QFETCH(int, result);
    WindowDriver driver({MakeCard(FirstCard()), MakeCard(SecondCard())});
    ScriptedCards::SetChangeResult(result);
    driver.ClickSearch();
    WindowSnapshot expected(driver);
    expected.status = u"修改失败"_s;
    Type(driver, TypedValues{});
    driver.ClickModify();
    QCOMPARE(ScriptedCards::Changes().size(), std::size_t{1});
    QCOMPARE(ScriptedCards::Changes().front().change, ChangeOfFirstCard());
    QCOMPARE(driver.Status(), u"修改失败"_s);
    QVERIFY(WindowSnapshot(driver) == expected);
    QCOMPARE(driver.AddressText("ipdt_ip"), u"192.168.1.200"_s);  // what was typed stays
  }

  void AfterASortTheSelectedRowsOwnRecordChanges() {
    WindowDriver driver({MakeCard(FirstCard()), MakeCard(SecondCard())});
    driver.ClickSearch();
    driver.ClickHeading(kColumnIp);
    driver.ClickHeading(kColumnIp);  // descending texts: 192.168.1.50 (record 1) to the top
    QCOMPARE(driver.ColumnTexts(kColumnIp), QStringList({u"192.168.1.50"_s, u"192.168.1.100"_s}));
    driver.ClickRow(1);  // the first card, record 0, now the second row
    Type(driver, TypedValues{});
    driver.ClickModify();

    QCOMPARE(ScriptedCards::Changes().front().change, ChangeOfFirstCard());
    QCOMPARE(driver.ColumnTexts(kColumnIp), QStringList({u"192.168.1.50"_s, u"192.168.1.200"_s}));
    QVERIFY(SameRecord(RecordAt(driver, 0), FirstCardChanged()));
    QVERIFY(SameRecord(RecordAt(driver, 1), SecondCard()));
  }

  void WithoutASelectedRowNothingIsAskedOrSent() {
    WindowDriver driver({MakeCard(FirstCard()), MakeCard(SecondCard())});
    driver.Window().btnModifyClick();  // before any search
    driver.ClickSearch();
    driver.ClickRow(0, Qt::ControlModifier);  // takes the selection off the row
    QVERIFY(driver.SelectedRows().isEmpty());
    const WindowSnapshot before(driver);
    Type(driver, TypedValues{});
    driver.Window().btnModifyClick();  // the button is disabled; the handler still refuses
    QCOMPARE(driver.Confirmations(), 0);
    QVERIFY(ScriptedCards::Changes().empty());
    QVERIFY(WindowSnapshot(driver) == before);
  }

  // A search while the question is open takes the row away: nothing is sent
  // to the card that row stood for.
  void RowGoneWhileAskingSendsNothing() {
    WindowDriver driver({MakeCard(FirstCard())});
    driver.ClickSearch();
    driver.Window().SetChangeConfirmation([&driver](QWidget*, const QStringList&) {
      ScriptedCards::Set({});
      driver.Window().btnControlSearchClick();
      return true;
    });
    driver.ClickModify();
    QVERIFY(ScriptedCards::Changes().empty());
    QCOMPARE(driver.Status(), u"屏幕总数0"_s);
  }
};

KESTRUM_WIDGET_TEST_MAIN(ParameterChangeTest)
#include "parameter_change_test.moc"
