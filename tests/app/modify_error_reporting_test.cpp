// A heartbeat or port the card cannot take stops the modify button's handler
// with an error that the crash reporting tells the operator; the window goes
// on working. Runs under KestrumApplication, as the program does.
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <vector>

#include "card_fields.h"
#include "crash_reports/application_error.h"
#include "crash_reports/crash_dialog.h"
#include "crash_reports/kestrum_application.h"
#include "scripted_cards.h"
#include "window_driver.h"

using namespace kestrum;
using namespace kestrum::testing;
using namespace Qt::StringLiterals;

namespace {

KestrumApplication* App() { return qobject_cast<KestrumApplication*>(QCoreApplication::instance()); }

}  // namespace

class ModifyErrorReportingTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    reports_.clear();
    App()->SetErrorPresenter([this](const ErrorReport& report) { reports_.push_back(report); });
  }
  void cleanup() { App()->SetErrorPresenter({}); }

  void RefusedTextReachesTheOperatorAndTheWindowGoesOn_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("errorType");
    QTest::newRow("not a number") << u"abc"_s << u"'abc' is not a valid integer value"_s
                                  << u"kestrum::ConversionError"_s;
    QTest::newRow("too large") << u"70000"_s << u"'70000' is not a valid port number (0 to 65535)"_s
                               << u"kestrum::OperatorError"_s;
  }

  void RefusedTextReachesTheOperatorAndTheWindowGoesOn() {
    QFETCH(QString, port);
    QFETCH(QString, message);
    QFETCH(QString, errorType);
    WindowDriver driver({MakeCard(CardFields{})});
    driver.ClickSearch();
    driver.TypeText("edtremoteport", port);
    driver.ClickModify();

    QCOMPARE(reports_.size(), std::size_t{1});  // once: the error went no further than the guard
    QCOMPARE(reports_.front().message, message);
    QCOMPARE(reports_.front().exceptionType, errorType);
    QCOMPARE(reports_.front().caughtWhere, u"TFrm_CardSearch::btnModifyClick"_s);
    QVERIFY(ScriptedCards::Changes().empty());
    QCOMPARE(driver.Status(), u"屏幕总数1"_s);

    driver.TypeText("edtremoteport", u"9000"_s);
    driver.ClickModify();
    QCOMPARE(reports_.size(), std::size_t{1});
    QCOMPARE(ScriptedCards::Changes().size(), std::size_t{1});
    QCOMPARE(driver.Status(), u"修改成功"_s);
  }

  // A megabyte pasted by mistake: the message quotes its beginning, and the
  // dialog that shows it fits the screen.
  void PastedMegabyteGivesAMessageThatFitsTheScreen() {
    WindowDriver driver({MakeCard(CardFields{})});
    driver.ClickSearch();
    auto* port = driver.Find<QLineEdit>("edtremoteport");
    QGuiApplication::clipboard()->setText(QStringLiteral("1234567890").repeated(100 * 1024) + u"\n"_s);
    port->setFocus();
    port->selectAll();
    QTest::keyClick(port, Qt::Key_V, Qt::ControlModifier);
    driver.ClickModify();

    QCOMPARE(reports_.size(), std::size_t{1});
    QCOMPARE(reports_.front().message, u"'12345678901234567890…' is not a valid integer value"_s);
    QVERIFY(ScriptedCards::Changes().empty());
    CrashDialog dialog(reports_.front());
    dialog.show();
    const QRect screen = dialog.screen()->availableGeometry();
    QVERIFY(dialog.frameGeometry().width() < screen.width());
    const auto* close = dialog.findChild<QPushButton*>(u"closeButton"_s);
    QVERIFY(screen.contains(QRect(close->mapToGlobal(QPoint(0, 0)), close->size())));
  }

  // The handler itself does not catch: the error leaves it.
  void TheHandlerLetsTheErrorLeave() {
    WindowDriver driver({MakeCard(CardFields{})});
    driver.ClickSearch();
    driver.TypeText("edt_heart", u"abc"_s);
    QVERIFY_THROWS_EXCEPTION(ConversionError, driver.Window().btnModifyClick());
    QVERIFY(reports_.empty());
    QVERIFY(ScriptedCards::Changes().empty());
  }

 private:
  std::vector<ErrorReport> reports_;
};

int main(int argc, char** argv) {
  // Also run by the build, without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  KestrumApplication application(argc, argv);
  ModifyErrorReportingTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "modify_error_reporting_test.moc"
