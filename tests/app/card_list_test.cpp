// The search and the card list: what a search shows, how the list sorts and
// renumbers, and that the sort direction outlives a search.
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include "busy_popup.h"
#include "card_fields.h"
#include "offscreen_test_main.h"
#include "scripted_cards.h"
#include "window_driver.h"

using namespace kestrum;
using namespace kestrum::testing;
using namespace Qt::StringLiterals;

namespace {

ControlRecord CardAt(const Octets& ip, std::uint8_t screenNo = 1) {
  CardFields fields;
  fields.ip = ip;
  fields.screenNo = screenNo;
  fields.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, screenNo};
  return MakeCard(fields);
}

std::vector<ControlRecord> NumberedCards(int count) {
  std::vector<ControlRecord> cards;
  for (int i = 1; i <= count; ++i) {
    const auto n = static_cast<std::uint8_t>(i);
    cards.push_back(CardAt({10, 0, 0, n}, n));
  }
  return cards;
}

QStringList Numbers(int first, int last) {
  QStringList numbers;
  for (int n = first; n <= last; ++n) numbers << QString::number(n);
  return numbers;
}

}  // namespace

class CardListTest : public QObject {
  Q_OBJECT

 private slots:
  void ThreeCardsListedInTableOrder() {
    WindowDriver driver({CardAt({192, 168, 1, 30}, 7), CardAt({192, 168, 1, 10}, 8), CardAt({192, 168, 1, 20}, 9)});
    driver.ClickSearch();
    QCOMPARE(ScriptedCards::SearchCount(), 1);
    QCOMPARE(driver.ColumnTexts(0), Numbers(1, 3));
    QCOMPARE(driver.ColumnTexts(1), (QStringList{u"7"_s, u"8"_s, u"9"_s}));
    QCOMPARE(driver.ColumnTexts(2), (QStringList{u"192.168.1.30"_s, u"192.168.1.10"_s, u"192.168.1.20"_s}));
    QCOMPARE(driver.ColumnTexts(3), QStringList(3, u"255.255.255.0"_s));
    QCOMPARE(driver.ColumnTexts(4), QStringList(3, u"192.168.1.1"_s));
    QCOMPARE(driver.SelectedRows(), QList<int>{0});
    QCOMPARE(driver.List()->currentIndex().row(), 0);
    QCOMPARE(driver.AddressText("ipdt_ip"), u"192.168.1.30"_s);
    QVERIFY(driver.Find<QPushButton>("btnModify")->isEnabled());
    QVERIFY(driver.Find<QToolButton>("btnControlSearch")->isEnabled());
    QCOMPARE(driver.Status(), u"屏幕总数3"_s);
    QVERIFY(driver.Window().findChild<BusyPopup*>() == nullptr);
  }

  void WhileTheLibraryListens() {
    WindowDriver driver({CardAt({10, 0, 0, 1})});
    driver.ClickSearch();  // leaves a row behind, which the next search must clear first
    bool probed = false;
    ScriptedCards::SetDuringSearch([&] {
      probed = true;
      QVERIFY(!driver.Find<QToolButton>("btnControlSearch")->isEnabled());
      QCOMPARE(driver.List()->model()->rowCount(), 0);
      auto* popup = driver.Window().findChild<BusyPopup*>();
      QVERIFY(popup != nullptr);
      QVERIFY(popup->isVisible());
      QVERIFY(!popup->isModal());
      QVERIFY(popup->windowFlags().testFlag(Qt::FramelessWindowHint));
      QCOMPARE(popup->size(), QSize(360, 120));
      QVERIFY((popup->frameGeometry().center() - driver.Window().frameGeometry().center()).manhattanLength() <= 2);
      auto* message = popup->findChild<QLabel*>();
      QCOMPARE(message->text(), u"正在搜寻......"_s);
      QCOMPARE(message->pos(), QPoint(82, 42));
      QCOMPARE(message->width(), 257);
      QCOMPARE(message->height(), message->fontMetrics().height());
      QCOMPARE(message->font().pointSize(), 12);
      QCOMPARE(message->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    });
    driver.ClickSearch();
    QVERIFY(probed);
  }

  void NoCardKeepsThePanel_data() {
    QTest::addColumn<int>("result");
    QTest::newRow("no card answers") << 0;
    QTest::newRow("library error") << -2;
  }
  void NoCardKeepsThePanel() {
    QFETCH(int, result);
    CardFields fields;
    fields.ip = {172, 16, 0, 5};
    fields.typeVersion = "T1-V9";
    WindowDriver driver({MakeCard(fields)});
    driver.ClickSearch();
    const std::uint32_t selectedIp = driver.State().SelectedIp;

    ScriptedCards::Set({});
    ScriptedCards::SetResult(result);
    driver.ClickSearch();

    QCOMPARE(driver.List()->model()->rowCount(), 0);
    QVERIFY(driver.SelectedRows().isEmpty());
    QCOMPARE(driver.Status(), u"屏幕总数0"_s);
    QVERIFY(!driver.Find<QPushButton>("btnModify")->isEnabled());
    QVERIFY(driver.Find<QToolButton>("btnControlSearch")->isEnabled());
    QCOMPARE(driver.AddressText("ipdt_ip"), u"172.16.0.5"_s);
    QCOMPARE(driver.LabelText("IDSControlType"), u"T1"_s);
    QCOMPARE(driver.State().SelectedIp, selectedIp);
  }

  void MacAndScreenNumber() {
    CardFields fields;
    fields.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    fields.screenNo = 255;
    CardFields second;
    second.mac = {0xab, 0xcd, 0xef, 0x0a, 0x0b, 0x0c};
    second.screenNo = 0;
    WindowDriver driver({MakeCard(fields), MakeCard(second)});
    driver.ClickSearch();
    QCOMPARE(driver.ColumnTexts(5), (QStringList{u"00:1A:2B:3C:4D:5E"_s, u"AB:CD:EF:0A:0B:0C"_s}));
    QCOMPARE(driver.ColumnTexts(1), (QStringList{u"255"_s, u"0"_s}));
    QCOMPARE(driver.EditText("ControlMac"), u"00:1A:2B:3C:4D:5E"_s);
  }

  void IpSortBothWaysWithRenumbering() {
    WindowDriver driver({CardAt({192, 168, 1, 9}), CardAt({192, 168, 1, 10})});
    driver.ClickSearch();
    driver.ClickHeading(2);
    QCOMPARE(driver.ColumnTexts(2), (QStringList{u"192.168.1.10"_s, u"192.168.1.9"_s}));
    QCOMPARE(driver.ColumnTexts(0), Numbers(1, 2));
    QCOMPARE(driver.State().SortedColumn, 2);
    QCOMPARE(driver.State().Descending, false);
    driver.ClickHeading(2);
    QCOMPARE(driver.ColumnTexts(2), (QStringList{u"192.168.1.9"_s, u"192.168.1.10"_s}));
    QCOMPARE(driver.ColumnTexts(0), Numbers(1, 2));
    QCOMPARE(driver.State().Descending, true);
  }

  void TwelveRowsByNumberColumn() {
    WindowDriver driver(NumberedCards(12));
    driver.ClickSearch();
    driver.ClickHeading(0);  // first click on column 0 runs descending
    QCOMPARE(driver.ColumnTexts(1), (QStringList{u"9"_s, u"8"_s, u"7"_s, u"6"_s, u"5"_s, u"4"_s, u"3"_s, u"2"_s,
                                                 u"12"_s, u"11"_s, u"10"_s, u"1"_s}));
    QCOMPARE(driver.ColumnTexts(0), Numbers(1, 12));
    QCOMPARE(driver.State().SortedColumn, 0);
    QCOMPARE(driver.State().Descending, true);
  }

  void SortKeepsTheSelectedCard() {
    WindowDriver driver(NumberedCards(3));
    driver.ClickSearch();  // row of card 1 selected
    driver.ClickHeading(1);
    driver.ClickHeading(1);  // descending: card 1 at the bottom
    QCOMPARE(driver.ColumnTexts(1), (QStringList{u"3"_s, u"2"_s, u"1"_s}));
    QCOMPARE(driver.SelectedRows(), QList<int>{2});
  }

  void DirectionRememberedAcrossSearch() {
    WindowDriver driver(NumberedCards(4));
    driver.ClickSearch();
    driver.ClickHeading(5);  // by MAC, ascending
    driver.ClickHeading(5);  // descending
    QCOMPARE(driver.ColumnTexts(1), (QStringList{u"4"_s, u"3"_s, u"2"_s, u"1"_s}));
    driver.ClickHeading(5);  // ascending again
    QCOMPARE(driver.State().Descending, false);

    driver.ClickSearch();
    QCOMPARE(driver.ColumnTexts(1), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));  // table order
    QCOMPARE(driver.ColumnTexts(0), Numbers(1, 4));
    QCOMPARE(driver.State().SortedColumn, 5);
    QCOMPARE(driver.State().Descending, false);

    driver.ClickHeading(5);  // the same heading again reverses: descending
    QCOMPARE(driver.State().Descending, true);
    QCOMPARE(driver.ColumnTexts(1), (QStringList{u"4"_s, u"3"_s, u"2"_s, u"1"_s}));
  }

  void AnotherHeadingStartsAscending() {
    WindowDriver driver(NumberedCards(3));
    driver.ClickSearch();
    driver.ClickHeading(5);
    driver.ClickHeading(5);
    QCOMPARE(driver.State().Descending, true);
    driver.ClickHeading(2);
    QCOMPARE(driver.State().SortedColumn, 2);
    QCOMPARE(driver.State().Descending, false);
    QCOMPARE(driver.ColumnTexts(2), (QStringList{u"10.0.0.1"_s, u"10.0.0.2"_s, u"10.0.0.3"_s}));
  }

  void EqualKeysKeepTheirOrder() {
    WindowDriver driver({CardAt({10, 0, 0, 2}, 1), CardAt({10, 0, 0, 1}, 1)});
    driver.ClickSearch();
    driver.ClickHeading(1);  // equal screen numbers
    QCOMPARE(driver.ColumnTexts(2), (QStringList{u"10.0.0.2"_s, u"10.0.0.1"_s}));
  }

  void MoreRecordsClaimedThanTheTableHolds() {
    WindowDriver driver(NumberedCards(2));
    ScriptedCards::SetResult(1000);
    driver.ClickSearch();
    QCOMPARE(driver.List()->model()->rowCount(), 255);
    QCOMPARE(driver.Status(), u"屏幕总数255"_s);
  }
};

KESTRUM_WIDGET_TEST_MAIN(CardListTest)
#include "card_list_test.moc"
