// What leaves the card list for other programs: the selected row on the
// clipboard (Ctrl+C and the context menu), and the whole list exported as
// CSV, read back here by a CSV reader.
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "card_fields.h"
#include "offscreen_test_main.h"
#include "scripted_cards.h"
#include "window_driver.h"

using namespace kestrum;
using namespace kestrum::testing;
using namespace Qt::StringLiterals;

namespace {

ControlRecord Card(std::uint8_t last, const std::string& typeVersion = "LS2A-V3.1") {
  CardFields fields;
  fields.ip = {192, 168, 1, last};
  fields.screenNo = last;
  fields.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, last};
  fields.typeVersion = typeVersion;
  return MakeCard(fields);
}

// RFC 4180 as spreadsheets read it: quoted fields with doubled quotes,
// CR LF between records.
QList<QStringList> ReadCsv(const QString& text) {
  QList<QStringList> records{{}};
  QString field;
  bool quoted = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
        field += c;
        ++i;
      } else if (c == u'"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == u'"') {
      quoted = true;
    } else if (c == u',') {
      records.last() << std::exchange(field, QString());
    } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      records.last() << std::exchange(field, QString());
      records.append(QStringList());
      ++i;
    } else {
      field += c;
    }
  }
  if (records.last().isEmpty() && field.isEmpty()) records.removeLast();
  return records;
}

void Trigger(WindowDriver& driver, const char* action) {
  auto* found = driver.List()->findChild<QAction*>(QString::fromLatin1(action));
  QVERIFY2(found != nullptr, action);
  QVERIFY(driver.List()->actions().contains(found));  // in the list's context menu
  found->trigger();
}

}  // namespace

class CardListExportTest : public QObject {
  Q_OBJECT

 private slots:
  void CopyPutsTheSelectedRowUnderTheHeadings() {
    WindowDriver driver({Card(30), Card(10), Card(20)});
    driver.ClickSearch();
    driver.ClickRow(1);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(driver.List(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(
        QGuiApplication::clipboard()->text(),
        u"\t屏号\tIP\t子网掩码\t网关\tMac地址\n2\t10\t192.168.1.10\t255.255.255.0\t192.168.1.1\t00:1A:2B:3C:4D:0A"_s);
    Trigger(driver, "copyIp");
    QCOMPARE(QGuiApplication::clipboard()->text(), u"192.168.1.10"_s);
    Trigger(driver, "copyMac");
    QCOMPARE(QGuiApplication::clipboard()->text(), u"00:1A:2B:3C:4D:0A"_s);
  }

  void ExportReadsBackAsTheListShowsIt() {
    QTemporaryDir folder;
    const QString file = folder.filePath(u"cards.csv"_s);
    WindowDriver driver({Card(30, "=SUM(A1)-V,1"), Card(10), Card(20)});
    driver.ClickSearch();
    driver.ClickHeading(2);  // by IP: the rows now come in another order than the answers
    driver.Window().SetExportFileChooser([&](QWidget*) { return file; });
    Trigger(driver, "exportList");

    QFile exported(file);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const QByteArray bytes = exported.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> records = ReadCsv(QString::fromUtf8(bytes.mid(3)));
    QCOMPARE(records.size(), 4);
    QCOMPARE(records[0].size(), 18);
    QCOMPARE(records[0].mid(0, 4), (QStringList{u"number"_s, u"screenNo"_s, u"type"_s, u"version"_s}));
    const auto column = [&](const QString& name) {
      QStringList values;
      for (const QStringList& record : records.mid(1)) values << record.at(records[0].indexOf(name));
      return values;
    };
    QCOMPARE(column(u"number"_s), driver.ColumnTexts(0));
    QCOMPARE(column(u"ip"_s), driver.ColumnTexts(2));
    QCOMPARE(column(u"mac"_s), driver.ColumnTexts(5));
    QCOMPARE(column(u"type"_s), (QStringList{u"LS2A"_s, u"LS2A"_s, u"'=SUM(A1)"_s}));
    QCOMPARE(column(u"version"_s), (QStringList{u"V3.1"_s, u"V3.1"_s, u"V,1"_s}));
  }
};

KESTRUM_WIDGET_TEST_MAIN(CardListExportTest)
#include "card_list_export_test.moc"
