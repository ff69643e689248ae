// DelayWithMessages processes what is pending at least once and does not
// return before its time.
#include "delay_with_messages.h"

#include <QElapsedTimer>
#include <QtTest>

#include "offscreen_test_main.h"

using namespace kestrum;

class DelayWithMessagesTest : public QObject {
  Q_OBJECT

 private slots:
  void ProcessesPendingEventsEvenForNoTime_data() {
    QTest::addColumn<int>("milliseconds");
    QTest::newRow("0") << 0;
    QTest::newRow("negative") << -5;
    QTest::newRow("lowest") << std::numeric_limits<int>::min();
  }
  void ProcessesPendingEventsEvenForNoTime() {
    QFETCH(int, milliseconds);
    bool ran = false;
    QMetaObject::invokeMethod(
        this, [&ran] { ran = true; }, Qt::QueuedConnection);
    DelayWithMessages(milliseconds);
    QVERIFY(ran);
  }

  void WaitsAtLeastTheGivenTime() {
    QElapsedTimer clock;
    clock.start();
    DelayWithMessages(20);
    QVERIFY(clock.elapsed() >= 20);
  }
};

KESTRUM_WIDGET_TEST_MAIN(DelayWithMessagesTest)
#include "delay_with_messages_test.moc"
