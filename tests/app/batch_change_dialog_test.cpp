// The batch dialog over scripted cards: the addresses counted up past a
// listed card outside the selection, the warnings and refusals of the plan,
// the one confirmation counting the cards, each card's outcome as the search
// afterwards finds it, and one history entry per card with a shared batch;
// a card's last change undone from the history.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "batch_change_dialog.h"
#include "card_fields.h"
#include "history_file.h"
#include "offscreen_test_main.h"
#include "card_row.h"
#include "record_change.h"
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
  return MakeCard(fields);
}

// Cards .100 to .103; .101 is listed but not chosen.
const std::vector<ControlRecord> kListed{Card(100), Card(101), Card(102), Card(103)};
const std::vector<std::size_t> kChosen{0, 2, 3};

void Give(BatchChangeDialog& dialog, const char* field, const QString& value) {
  dialog.findChild<QCheckBox*>(u"change_"_s + QLatin1String(field))->setChecked(true);
  auto* const edit = dialog.findChild<QLineEdit*>(u"value_"_s + QLatin1String(field));
  edit->clear();
  QTest::keyClicks(edit, value);
}

QString Cell(BatchChangeDialog& dialog, int row, int column) {
  return dialog.findChild<QTableWidget*>(u"batchCards"_s)->item(row, column)->text();
}

QString Notes(BatchChangeDialog& dialog) { return dialog.findChild<QPlainTextEdit*>(u"batchNotes"_s)->toPlainText(); }

void Click(BatchChangeDialog& dialog, const char* button) {
  QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
}

}  // namespace

class BatchChangeDialogTest final : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { UseLanguage(Language::kChinese); }

  void PreviewCountsUpPastCardsOutsideAndWarns() {
    BatchChangeDialog dialog(kListed, kChosen, {}, nullptr);
    Give(dialog, "ip", u"192.168.1.101"_s);
    Give(dialog, "gateway", u"10.0.0.1"_s);
    Click(dialog, "batchPreview");
    QVERIFY2(Cell(dialog, 0, 2).startsWith(u"192.168.1.102 / 255.255.255.0 / 10.0.0.1"_s), qPrintable(Cell(dialog, 0, 2)));
    QVERIFY(Cell(dialog, 1, 2).startsWith(u"192.168.1.103 "_s));
    QVERIFY(Cell(dialog, 2, 2).startsWith(u"192.168.1.104 "_s));
    QVERIFY(Cell(dialog, 0, 1).startsWith(u"192.168.1.100 / 255.255.255.0 / 192.168.1.1"_s));
    QCOMPARE(Notes(dialog).count(u"警告"_s), 3);  // the gateway outside each card's subnet
    QVERIFY(dialog.findChild<QPushButton*>(u"batchApply"_s)->isEnabled());
  }

  void RefusedPlanCannotBeSent() {
    BatchChangeDialog dialog(kListed, kChosen, {}, nullptr);
    Give(dialog, "mask", u"255.0.255.0"_s);
    Click(dialog, "batchPreview");
    QVERIFY2(Notes(dialog).contains(u"不能修改"_s), qPrintable(Notes(dialog)));
    UseLanguage(Language::kEnglish);  // the next preview says it in English
    Click(dialog, "batchPreview");
    QVERIFY2(Notes(dialog).contains(u"Card 00:1A:2B:3C:4D:64: Subnet mask 255.0.255.0"_s), qPrintable(Notes(dialog)));
    UseLanguage(Language::kChinese);
    QVERIFY(!dialog.findChild<QPushButton*>(u"batchApply"_s)->isEnabled());
    dialog.findChild<QCheckBox*>(u"change_mask"_s)->setChecked(false);
    Give(dialog, "heartbeat", u"300"_s);
    Click(dialog, "batchPreview");
    QVERIFY2(Notes(dialog).contains(u"心跳"_s), qPrintable(Notes(dialog)));
    QVERIFY(!dialog.findChild<QPushButton*>(u"batchApply"_s)->isEnabled());
  }

  // The first card takes its values, the second keeps its own, the third
  // answers neither search; each said in the window's language.
  void OutcomesAsTheSearchFindsThem_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("outcomes");
    QTest::newRow("Chinese") << false << QStringList{u"已确认"_s, u"未修改"_s, u"未找到"_s};
    QTest::newRow("English") << true << QStringList{u"Confirmed"_s, u"Not changed"_s, u"Not found"_s};
  }
  void OutcomesAsTheSearchFindsThem() {
    QFETCH(bool, english);
    QFETCH(QStringList, outcomes);
    UseLanguage(english ? Language::kEnglish : Language::kChinese);
    QTemporaryDir folder;
    std::vector<orvell::parameter::ParameterChange> sent;
    int searches = 0;
    batch::BatchNetwork network;
    network.sendTogether = [&](std::span<const orvell::parameter::ParameterChange> step) {
      sent.insert(sent.end(), step.begin(), step.end());
    };
    network.search = [&] {
      ++searches;
      ControlRecord first = kListed[0];
      orvell::parameter::ApplyToRecord(first, sent.at(0));
      return std::vector<ControlRecord>{first, kListed[1], kListed[2]};
    };
    BatchChangeDialog dialog(kListed, kChosen, network, nullptr);
    const QString history = folder.filePath(u"change-history.jsonl"_s);
    dialog.SetHistoryFile(history.toStdString());
    int asked = 0;
    dialog.SetConfirmation([&](QWidget*, int cards, const QStringList&) {
      asked = cards;
      return true;
    });
    Give(dialog, "serverPort", u"9100"_s);
    Click(dialog, "batchPreview");
    Click(dialog, "batchApply");
    QCOMPARE(asked, 3);
    QCOMPARE(sent.size(), std::size_t{3});
    QCOMPARE(searches, 2);  // the card not found is searched for once more
    QCOMPARE((QStringList{Cell(dialog, 0, 3), Cell(dialog, 1, 3), Cell(dialog, 2, 3)}), outcomes);
    const history::HistoryRead read = history::ReadHistory(history.toStdString());
    QCOMPARE(read.entries.size(), std::size_t{3});
    QVERIFY(!read.entries[0].batch.empty());
    QCOMPARE(read.entries[2].batch, read.entries[0].batch);
    QVERIFY(read.entries[0].confirmed && !read.entries[1].confirmed);
  }

  // Ctrl clicks select several rows; their plan's search refreshes the list.
  void WindowSendsTheSelectedRowsAndRefreshesTheList() {
    WindowDriver driver(kListed);
    driver.ClickSearch();
    driver.ClickRow(0);
    driver.ClickRow(2, Qt::ControlModifier);
    driver.ClickRow(3, Qt::ControlModifier);
    QCOMPARE(driver.SelectedRows(), (QList<int>{0, 2, 3}));
    driver.Window().SetBatchConfirmation([](QWidget*, int, const QStringList&) { return true; });
    driver.Window().SetBatchSender([](std::span<const orvell::parameter::ParameterChange> step) {
      std::vector<ControlRecord> cards = kListed;  // the scripted cards take what names them
      for (const auto& change : step)
        for (ControlRecord& card : cards)
          if (orvell::record::Ip(card) == change.oldIp) orvell::parameter::ApplyToRecord(card, change);
      ScriptedCards::Set(cards);
    });
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<BatchChangeDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      Give(*dialog, "ip", u"192.168.1.110"_s);
      Click(*dialog, "batchPreview");
      Click(*dialog, "batchApply");
      QCOMPARE(Cell(*dialog, 2, 3), u"已确认"_s);
      dialog->accept();
    });
    driver.Window().ChangeSelectedCards();
    QCOMPARE(driver.ColumnTexts(kColumnIp),
             (QStringList{u"192.168.1.110"_s, u"192.168.1.101"_s, u"192.168.1.111"_s, u"192.168.1.112"_s}));
  }

  // A card's last confirmed change undone: the card is searched for, must
  // still have what that change gave it, and takes back what it had before;
  // once it has other values, nothing is sent.
  void RestoreUndoesTheLastChangeUnlessTheCardChangedSince() {
    QTemporaryDir folder;
    const std::string file = folder.filePath(u"change-history.jsonl"_s).toStdString();
    ControlRecord changed = kListed[1];
    orvell::record::SetIp(changed, orvell::record::Ip(Card(201)));
    orvell::record::SetHeartbeat(changed, 77);
    history::HistoryEntry entry;
    entry.time = "2026-12-10T05:01:02+00:00";
    entry.program = history::kProgramWindow;
    entry.mac = "00:1A:2B:3C:4D:65";
    entry.before = history::ValuesOf(kListed[1]);
    entry.sent = history::ValuesOf(changed);
    entry.confirmed = true;
    QCOMPARE(history::AppendEntry(file, entry), std::string());

    std::vector<ControlRecord> cards{kListed[0], changed};
    WindowDriver driver(cards);
    driver.Window().SetChangeHistoryFile(file);
    std::size_t sent = 0;
    driver.Window().SetBatchSender([&](std::span<const orvell::parameter::ParameterChange> step) {
      for (const auto& change : step)
        for (ControlRecord& card : cards)
          if (orvell::record::Ip(card) == change.oldIp) orvell::parameter::ApplyToRecord(card, change);
      sent += step.size();
      ScriptedCards::Set(cards);
    });
    driver.ClickSearch();
    driver.ClickRow(1);
    driver.Window().RestoreSelectedCard();
    QCOMPARE(sent, std::size_t{1});
    QCOMPARE(driver.ColumnTexts(kColumnIp), (QStringList{u"192.168.1.100"_s, u"192.168.1.101"_s}));
    QCOMPARE(driver.Status(), u"已确认"_s);
    UseLanguage(Language::kEnglish);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(driver.Status(), u"Confirmed"_s);
    UseLanguage(Language::kChinese);
    const history::HistoryRead read = history::ReadHistory(file);
    QCOMPARE(read.entries.size(), std::size_t{2});
    QVERIFY(read.entries[1].sent == entry.before && read.entries[1].confirmed && !read.entries[1].batch.empty());

    orvell::record::SetHeartbeat(cards[1], 31);  // changed by someone else since
    ScriptedCards::Set(cards);
    driver.ClickSearch();
    driver.ClickRow(1);
    driver.Window().RestoreSelectedCard();
    QCOMPARE(sent, std::size_t{1});
    QCOMPARE(driver.Refusals().size(), 1);
    QVERIFY2(driver.Refusals().at(0).contains(u"心跳 31"_s), qPrintable(driver.Refusals().at(0)));
  }
};

KESTRUM_WIDGET_TEST_MAIN(BatchChangeDialogTest)
#include "batch_change_dialog_test.moc"
