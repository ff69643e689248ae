// The window's change history: every change sent is recorded with its
// values before and sent, its outcome and the warnings gone ahead with; a
// row's tooltip names its card's last change, in later runs too and in the
// language of the moment, and rows listed before the history was read are
// named once it is; a history that cannot be written is told once and stops
// no change; a history that is no regular file stops no search; a tooltip
// shows text, never markup.
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractItemModel>
#include <QFile>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>
#include <fstream>

#include "card_fields.h"
#include "history_file.h"
#include "offscreen_test_main.h"
#include "scripted_cards.h"
#include "window_driver.h"
#include "window_language.h"

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

// The tooltip's text as a tooltip shows it: what looks like markup drawn.
QString ToolTip(WindowDriver& driver, int row) {
  const QString tip = driver.List()->model()->index(row, 2).data(Qt::ToolTipRole).toString();
  if (!Qt::mightBeRichText(tip)) return tip;
  QTextDocument drawn;
  drawn.setHtml(tip);
  return drawn.toPlainText();
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
    QTRY_VERIFY(ToolTip(later, 0).startsWith(u"最近一次修改 "_s));
    QVERIFY(ToolTip(later, 0).endsWith(u"，修改前 IP 192.168.1.200（未确认）"_s));
    QCOMPARE(ToolTip(later, 1), QString());  // never changed
    // The tooltip speaks the language chosen after the search too.
    UseLanguage(Language::kEnglish);
    QVERIFY2(ToolTip(later, 0).endsWith(u", IP before the change 192.168.1.200 (not confirmed)"_s),
             qPrintable(ToolTip(later, 0)));
    UseLanguage(Language::kChinese);
  }

  // A search never waits for the history: rows it listed before the history
  // was read are named when it is, without a second search.
  void RowsListedBeforeTheHistoryIsReadAreNamedWhenItIs() {
    QTemporaryDir folder;
    const std::string file = folder.filePath(u"change-history.jsonl"_s).toStdString();
    history::HistoryEntry entry{"2026-12-10T05:01:02+01:00", "cli", "00:1A:2B:3C:4D:64", {}, {}, true, {}, {}};
    entry.before.ip = "192.168.1.100";
    std::ofstream(file) << history::EntryLine(entry);
    WindowDriver driver({Card(100), Card(101)});
    driver.ClickSearch();
    QCOMPARE(ToolTip(driver, 0), QString());
    driver.Window().SetChangeHistoryFile(file);
    QTRY_COMPARE(ToolTip(driver, 0), u"最近一次修改 2026-12-10T05:01:02+01:00，修改前 IP 192.168.1.100"_s);
    QCOMPARE(ToolTip(driver, 1), QString());
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

#ifndef _WIN32
  // What may stand where the history should be: the search goes on, its
  // button usable again, with no tooltip from it.
  void SearchSurvivesAHistoryThatIsNoFile_data() {
    QTest::addColumn<QString>("standing");
    for (const char* standing : {"directory", "fifo", "symlink", "dangling symlink"})
      QTest::newRow(standing) << QString::fromLatin1(standing);
  }
  void SearchSurvivesAHistoryThatIsNoFile() {
    QFETCH(QString, standing);
    QTemporaryDir folder;
    const std::string state = folder.filePath(u"state"_s).toStdString();
    const std::string file = state + "/change-history.jsonl";
    const std::string target = folder.filePath(u"target.jsonl"_s).toStdString();
    QVERIFY(mkdir(state.c_str(), 0700) == 0);
    {
      // A valid entry of the card where a link may lead: it must not be read.
      history::HistoryEntry entry{"2026-12-10T05:01:02+01:00", "cli", "00:1A:2B:3C:4D:64", {}, {}, true, {}, {}};
      std::ofstream(target) << history::EntryLine(entry);
    }
    if (standing == u"directory"_s) QVERIFY(mkdir(file.c_str(), 0700) == 0);
    if (standing == u"fifo"_s) QVERIFY(mkfifo(file.c_str(), 0600) == 0);
    if (standing == u"symlink"_s) QVERIFY(symlink(target.c_str(), file.c_str()) == 0);
    if (standing == u"dangling symlink"_s) QVERIFY(symlink((target + ".none").c_str(), file.c_str()) == 0);
    WindowDriver driver({Card(100)});
    QSignalSpy read(&driver.Window(), &TFrm_CardSearch::ChangeHistoryRead);
    driver.Window().SetChangeHistoryFile(file);
    driver.ClickSearch();
    QVERIFY(!read.isEmpty() || read.wait());
    QCOMPARE(driver.List()->model()->rowCount(), 1);
    QCOMPARE(ToolTip(driver, 0), QString());
    QVERIFY(driver.Window().findChild<QWidget*>(u"btnControlSearch"_s)->isEnabled());
  }
#endif

  void TooltipShowsMarkupAndBidiControlsAsText() {
    QTemporaryDir folder;
    const std::string file = folder.filePath(u"change-history.jsonl"_s).toStdString();
    const std::string markup = "<h1><font color=red>x</font><img src=/tmp/kestrum.png>";
    history::HistoryEntry entry{markup + "\u202E", "cli", "00:1A:2B:3C:4D:64", {}, {}, true, {}, {}};
    entry.before.ip = "192.168.1.100";
    std::ofstream(file) << history::EntryLine(entry);
    WindowDriver driver({Card(100)});
    driver.Window().SetChangeHistoryFile(file);
    driver.ClickSearch();
    QTRY_COMPARE(ToolTip(driver, 0),
                 u"最近一次修改 %1\uFFFD，修改前 IP 192.168.1.100"_s.arg(QString::fromStdString(markup)));
  }
};

KESTRUM_WIDGET_TEST_MAIN(WindowHistoryTest)
#include "window_history_test.moc"
