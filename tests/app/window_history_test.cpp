// The window's change history: every change sent is recorded with its
// values before and sent, its outcome and the warnings gone ahead with; a
// row's tooltip names its card's last change, in later runs too; a history
// that cannot be written is told once and stops no change.
#include <QAbstractItemModel>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "card_fields.h"
#include "history_file.h"
#include "offscreen_test_main.h"
#include "scripted_cards.h"
#include "window_driver.h"

using namespace kestrum;
using namespace kestrum::testing;
using namespace Qt::StringLiterals;

namespace {

ControlRecord Card(std::uint8_t last) {
  CardFields fields;
  fields.ip = {192, 168, 1, last};
  fields.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, last};
  fields.serverPort = 9999;
  fields.heartbeat = 10;
  return MakeCard(fields);
}

QString ToolTip(WindowDriver& driver, int row) {
  return driver.List()->model()->index(row, 2).data(Qt::ToolTipRole).toString();
}

}  // namespace

class WindowHistoryTest : public QObject {
  Q_OBJECT

 private slots:
  void ChangesAreRecordedAndTheRowsNameTheLast() {
    QTemporaryDir folder;
    const std::string file = folder.filePath(u"state/change-history.jsonl"_s).toStdString();
    {
      WindowDriver driver({Card(100), Card(101)});
      driver.Window().SetChangeHistoryFile(file);
      driver.ClickSearch();
      driver.TypeAddress("ipdt_ip", u"192.168.1.200"_s);
      driver.TypeAddress("ipdt_gateway", u"10.0.0.1"_s);  // outside the subnet: a warning
      driver.TypeText("edt_heart", u"30"_s);
      driver.ClickModify();
      QCOMPARE(driver.ConfirmationWarnings().size(), 1);
      ScriptedCards::SetChangeResult(0);
      driver.TypeText("edt_heart", u"40"_s);
      driver.ClickModify();
      QCOMPARE(driver.Status(), u"修改失败"_s);

      const history::HistoryRead read = history::ReadHistory(file);
      QCOMPARE(read.entries.size(), std::size_t{2});
      const history::HistoryEntry& first = read.entries[0];
      QCOMPARE(first.program, std::string("window"));
      QCOMPARE(first.mac, std::string("00:1A:2B:3C:4D:64"));
      QVERIFY(first.before ==
              (history::CardValues{"192.168.1.100", "255.255.255.0", "192.168.1.1", "192.168.1.2", 9999, 10}));
      QVERIFY(first.sent ==
              (history::CardValues{"192.168.1.200", "255.255.255.0", "10.0.0.1", "192.168.1.2", 9999, 30}));
      QVERIFY(first.confirmed);
      QCOMPARE(QString::fromStdString(first.warnings.at(0)), driver.ConfirmationWarnings().at(0));
      const history::HistoryEntry& second = read.entries[1];
      QCOMPARE(second.before.ip, std::string("192.168.1.200"));  // the list followed the confirmed change
      QCOMPARE(second.sent.heartbeat, 40);
      QVERIFY(!second.confirmed);
      const QString lastChange =
          u"最近一次修改 %1，修改前 IP 192.168.1.200（未确认）"_s.arg(QString::fromStdString(second.time));
      QCOMPARE(ToolTip(driver, 0), lastChange);
    }
    WindowDriver later({Card(100), Card(101)});
    later.Window().SetChangeHistoryFile(file);
    later.ClickSearch();
    QVERIFY(ToolTip(later, 0).startsWith(u"最近一次修改 "_s));
    QVERIFY(ToolTip(later, 0).endsWith(u"，修改前 IP 192.168.1.200（未确认）"_s));
    QCOMPARE(ToolTip(later, 1), QString());  // never changed
  }

  void HistoryThatCannotBeWrittenIsToldOnceAndStopsNoChange() {
    QTemporaryDir folder;
    QFile blocking(folder.filePath(u"state"_s));  // a file where the folder should be
    QVERIFY(blocking.open(QIODevice::WriteOnly));
    blocking.close();
    WindowDriver driver({Card(100)});
    driver.Window().SetChangeHistoryFile(folder.filePath(u"state/change-history.jsonl"_s).toStdString());
    QStringList notices;
    driver.Window().SetHistoryFailureNotice([&](QWidget*, const QString& reason) { notices << reason; });
    driver.ClickSearch();
    for (const QString& heartbeat : {u"30"_s, u"40"_s}) {
      driver.TypeText("edt_heart", heartbeat);
      driver.ClickModify();
      QCOMPARE(driver.Status(), u"修改成功"_s);
    }
    QCOMPARE(ScriptedCards::Changes().size(), std::size_t{2});
    QCOMPARE(notices.size(), 1);
    QVERIFY2(notices[0].contains(u"change-history.jsonl"_s), qPrintable(notices[0]));
  }
};

KESTRUM_WIDGET_TEST_MAIN(WindowHistoryTest)
#include "window_history_test.moc"
