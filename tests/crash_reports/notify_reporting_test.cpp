// Errors that leave a slot or an event handler are caught by
// KestrumApplication::notify, reach the presenter with what happened, and the
// program goes on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <stdexcept>
#include <vector>

#include "crash_reports/application_error.h"
#include "crash_reports/crash_dialog.h"
#include "crash_reports/kestrum_application.h"

namespace kestrum {
namespace {

KestrumApplication* App() { return qobject_cast<KestrumApplication*>(QCoreApplication::instance()); }

// A receiver whose every event handling fails.
class FailingReceiver : public QObject {
 public:
  using QObject::QObject;
  bool event(QEvent*) override { throw std::logic_error("receiver fails"); }
};

class NotifyReportingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(App(), nullptr);
    App()->SetErrorPresenter([this](const ErrorReport& report) { reports.push_back(report); });
    window.resize(200, 100);
    button = new QPushButton(QStringLiteral("修改"), &window);
    button->setObjectName(QStringLiteral("btnModify"));
    button->setGeometry(10, 10, 80, 30);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  void TearDown() override { App()->SetErrorPresenter({}); }

  template <typename Throw>
  void ClickThrowing(Throw throwIt) {
    QObject::disconnect(button, &QPushButton::clicked, nullptr, nullptr);
    QObject::connect(button, &QPushButton::clicked, button, [throwIt] { throwIt(); });
    QTest::mouseClick(button, Qt::LeftButton);
  }

  std::vector<ErrorReport> reports;
  QWidget window;
  QPushButton* button = nullptr;
};

TEST_F(NotifyReportingTest, ExceptionFromClickedSlotIsReportedAndTheProgramGoesOn) {
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, button, [&clicks] {
    ++clicks;
    throw std::runtime_error("the card table is full");
  });

  // Through the window, as the window system delivers a real click.
  const QPoint buttonCentre = button->geometry().center();
  QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, buttonCentre);

  ASSERT_EQ(reports.size(), 1u);
  const ErrorReport& report = reports.front();
  EXPECT_EQ(report.message, QStringLiteral("the card table is full"));
  EXPECT_EQ(report.exceptionType, QStringLiteral("std::runtime_error"));
  EXPECT_EQ(report.caughtWhere, QStringLiteral("QPushButton \"btnModify\", handling a MouseButtonRelease event"));
  EXPECT_EQ(report.program.left(7), QStringLiteral("Kestrum"));
  EXPECT_TRUE(report.time.isValid());
  EXPECT_FALSE(report.operatingSystem.isEmpty());
  EXPECT_TRUE(report.processorState.startsWith(QStringLiteral("no fault context")));
  const QString ownProcess = QStringLiteral("%1 ").arg(QCoreApplication::applicationPid());
  EXPECT_FALSE(report.processes.filter(QRegularExpression(QStringLiteral("^") + ownProcess)).isEmpty())
      << report.ToText().toStdString();
#ifdef __GLIBC__
  EXPECT_EQ(report.callStackNote, QStringLiteral("stack at the point of catching"));
  // The stack is caught inside the window system's event delivery.
  EXPECT_FALSE(report.callStack.filter(QStringLiteral("libQt6Gui")).isEmpty()) << report.ToText().toStdString();
  EXPECT_FALSE(report.loadedModules.filter(QStringLiteral("libQt6Widgets")).isEmpty());
#endif

  // The button was not left pressed, and clicking it again runs the slot again.
  EXPECT_FALSE(button->isDown());
  QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, buttonCentre);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(reports.size(), 2u);

  // A click on another button reaches that button, not the one that failed.
  auto* other = new QPushButton(QStringLiteral("搜索"), &window);
  other->setGeometry(100, 10, 80, 30);
  other->show();
  int otherClicks = 0;
  QObject::connect(other, &QPushButton::clicked, other, [&otherClicks] { ++otherClicks; });
  QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, other->geometry().center());
  EXPECT_EQ(otherClicks, 1);
  EXPECT_EQ(clicks, 2);

  // Other events are still delivered.
  bool timerRan = false;
  QTimer::singleShot(0, button, [&timerRan] { timerRan = true; });
  QCoreApplication::processEvents();
  EXPECT_TRUE(timerRan);
}

TEST_F(NotifyReportingTest, ExceptionOfNoStandardTypeIsReportedWithTheTypeThrown) {
  ClickThrowing([] { throw 42; });

  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports.front().message,
            QStringLiteral("An exception of a type not derived from std::exception was thrown"));
#if defined(__GLIBCXX__) || defined(_LIBCPP_VERSION)
  EXPECT_EQ(reports.front().exceptionType, QStringLiteral("int"));
#else
  EXPECT_EQ(reports.front().exceptionType, QStringLiteral("unknown"));
#endif
}

TEST_F(NotifyReportingTest, ConversionErrorReachesTheOperatorWithItsMessageExactly) {
  ClickThrowing([] { throw ConversionError::NotAnInteger(QStringLiteral("abc")); });
  ClickThrowing([] { throw ConversionError::NotAnInteger(QString()); });
  ClickThrowing([] { throw OperatorError(QStringLiteral("'端口' is not a valid port number (0 to 65535)")); });

  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0].message, QStringLiteral("'abc' is not a valid integer value"));
  EXPECT_EQ(reports[0].exceptionType, QStringLiteral("kestrum::ConversionError"));
  EXPECT_EQ(reports[1].message, QStringLiteral("'' is not a valid integer value"));
  EXPECT_EQ(reports[2].message, QStringLiteral("'端口' is not a valid port number (0 to 65535)"));
  EXPECT_EQ(reports[2].exceptionType, QStringLiteral("kestrum::OperatorError"));
}

TEST_F(NotifyReportingTest, WithoutAPresenterTheOperatorSeesTheCrashDialog) {
  App()->SetErrorPresenter({});
  QString shownMessage;
  // The dialog is modal; read and close it from inside its own event loop.
  QTimer::singleShot(0, button, [&shownMessage] {
    auto* dialog = qobject_cast<CrashDialog*>(QApplication::activeModalWidget());
    if (dialog != nullptr) {
      shownMessage = dialog->findChild<QLabel*>(QStringLiteral("message"))->text();
      dialog->accept();
    }
  });

  ClickThrowing([] { throw ConversionError::NotAnInteger(QStringLiteral("abc")); });

  EXPECT_EQ(shownMessage, QStringLiteral("'abc' is not a valid integer value"));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(NotifyReportingTest, ExceptionFromQueuedCallNamesTheReceiverAndTheCall) {
  QObject receiver;
  receiver.setObjectName(QStringLiteral("searcher"));
  QMetaObject::invokeMethod(
      &receiver, [] { throw std::out_of_range("row 300"); }, Qt::QueuedConnection);
  QCoreApplication::processEvents();

  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports.front().exceptionType, QStringLiteral("std::out_of_range"));
  EXPECT_EQ(reports.front().caughtWhere, QStringLiteral("QObject \"searcher\", handling a MetaCall event"));
}

TEST_F(NotifyReportingTest, ErrorWhileAnErrorIsShownDoesNotOpenASecondReport) {
  FailingReceiver failing;
  int presented = 0;
  // As if the dialog's own event loop delivered an event that fails again.
  App()->SetErrorPresenter([&](const ErrorReport&) {
    ++presented;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&failing, &event);
  });

  ClickThrowing([] { throw std::runtime_error("first"); });

  EXPECT_EQ(presented, 1);
  // Once the first report is closed, the next error is shown again.
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&failing, &event);
  EXPECT_EQ(presented, 2);
}

TEST_F(NotifyReportingTest, PresenterThatFailsDoesNotTakeTheProgramDown) {
  App()->SetErrorPresenter([](const ErrorReport&) { throw std::runtime_error("no screen"); });
  ClickThrowing([] { throw std::runtime_error("first"); });

  QObject::disconnect(button, &QPushButton::clicked, nullptr, nullptr);
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, button, [&clicks] { ++clicks; });
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

TEST_F(NotifyReportingTest, ExceptionInAnotherThreadIsShownOnTheUserInterfaceThread) {
  QThread worker;
  worker.start();
  QObject onWorker;
  onWorker.moveToThread(&worker);
  Qt::HANDLE presentingThread = nullptr;
  App()->SetErrorPresenter([&](const ErrorReport& report) {
    presentingThread = QThread::currentThreadId();
    reports.push_back(report);
  });

  QMetaObject::invokeMethod(
      &onWorker, [] { throw std::runtime_error("worker failed"); }, Qt::QueuedConnection);

  EXPECT_TRUE(QTest::qWaitFor([this] { return !reports.empty(); }));
  worker.quit();
  worker.wait();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports.front().message, QStringLiteral("worker failed"));
  EXPECT_EQ(presentingThread, QThread::currentThreadId());
}

}  // namespace
}  // namespace kestrum
