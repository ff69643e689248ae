// Benchmark of the card search window (not a test; prints figures):
//  - a search over 255 scripted cards that answer at once, from the click
//    until the rows are listed, the first is shown in the panel and the
//    window has painted: the window's own cost, since the stand-in library
//    does not listen (a real search adds its 0.6 s listening time);
//  - a sort of those 255 rows by a heading click;
//  - start-up to the first painted window, measured from outside: this
//    program starts itself again and times it until it reports its paint;
//  - resident memory after the searches;
//  - with `--history FILE` (bench/bench-history.sh makes one of 1 M
//    entries, of these cards' MACs): the same search without a history and
//    with FILE beside it, the first search (made at once, while the file is
//    still being read) told apart from the later ones (every row named from
//    the history), and how long the read took until the rows were named.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "card_fields.h"
#include "card_search_window.h"
#include "scripted_cards.h"
#include "window_driver.h"

using namespace kestrum;
using namespace kestrum::testing;

namespace {

constexpr int kRuns = 20;
constexpr const char* kStartupChildFlag = "--startup-child";

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.at(values.size() / 2);
}

double Milliseconds(const QElapsedTimer& clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e6; }

std::vector<ControlRecord> FullTable() {
  std::vector<ControlRecord> cards;
  for (int i = 0; i < kControlTableCapacity; ++i) {
    CardFields fields;
    fields.ip = {10, static_cast<std::uint8_t>(i / 100), static_cast<std::uint8_t>(i % 100), 1};
    fields.screenNo = static_cast<std::uint8_t>(i);
    fields.mac = {0x00, 0x1A, 0x4B, 0x00, static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)};
    cards.push_back(MakeCard(fields));
  }
  return cards;
}

QString StatusLine(const char* key) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return QStringLiteral("?");
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(key)) return QString::fromLatin1(line.mid(static_cast<qsizetype>(qstrlen(key)))).simplified();
  }
  return QStringLiteral("?");
}

// Stops the event loop at the window's first paint and says so on stdout.
class FirstPaintReporter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      std::printf("painted\n");
      std::fflush(stdout);
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
      watched->removeEventFilter(this);
    }
    return false;
  }
};

int RunStartupChild(int argc, char* argv[]) {
  QApplication application(argc, argv);
  TFrm_CardSearch window(ScriptedCards::Protocol());
  FirstPaintReporter reporter;
  window.installEventFilter(&reporter);
  window.show();
  return QApplication::exec();
}

void BenchSearch() {
  WindowDriver driver(FullTable());
  std::vector<double> searches;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(driver.Find<QToolButton>("btnControlSearch"), Qt::LeftButton);
    driver.Window().repaint();  // the list's one repaint, done now
    searches.push_back(Milliseconds(clock));
    if (driver.List()->model()->rowCount() != kControlTableCapacity) std::printf("ERROR: rows missing\n");
  }
  std::vector<double> sorts;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer clock;
    clock.start();
    driver.ClickHeading(2);
    driver.Window().repaint();
    sorts.push_back(Milliseconds(clock));
  }
  std::printf(
      "search of 255 instant cards, click to listed + first shown + painted: median %.1f ms, worst %.1f ms"
      " (of which 20 ms is the popup's DelayWithMessages)\n",
      Median(searches), *std::max_element(searches.begin(), searches.end()));
  std::printf("sort of 255 rows by a heading click, with repaint: median %.2f ms, worst %.2f ms\n", Median(sorts),
              *std::max_element(sorts.begin(), sorts.end()));
  std::printf("resident memory after the searches: VmRSS %s, peak VmHWM %s\n", qPrintable(StatusLine("VmRSS:")),
              qPrintable(StatusLine("VmHWM:")));
}

double SearchTime(WindowDriver& driver) {
  QElapsedTimer clock;
  clock.start();
  QTest::mouseClick(driver.Find<QToolButton>("btnControlSearch"), Qt::LeftButton);
  driver.Window().repaint();
  return Milliseconds(clock);
}

double MedianSearchTime(WindowDriver& driver) {
  std::vector<double> searches;
  for (int run = 0; run < kRuns; ++run) searches.push_back(SearchTime(driver));
  return Median(searches);
}

void BenchHistory(const char* file) {
  WindowDriver without(FullTable());
  const double firstWithout = SearchTime(without);
  const double medianWithout = MedianSearchTime(without);
  WindowDriver with(FullTable());
  QSignalSpy read(&with.Window(), &TFrm_CardSearch::ChangeHistoryRead);
  QElapsedTimer sinceSet;
  sinceSet.start();
  with.Window().SetChangeHistoryFile(file);
  const double firstWith = SearchTime(with);
  if (read.isEmpty() && !read.wait(600000)) std::printf("ERROR: the history was not read in 10 minutes\n");
  const double readTook = Milliseconds(sinceSet) / 1000;
  if (with.List()->model()->index(0, 2).data(Qt::ToolTipRole).toString().isEmpty())
    std::printf("ERROR: the rows were not named from the history\n");
  const double medianWith = MedianSearchTime(with);
  std::printf("search of 255 instant cards without a history: first %.1f ms, later median %.1f ms\n", firstWithout,
              medianWithout);
  std::printf("search of 255 instant cards with %s beside it: first %.1f ms (%+.1f %%, the history still being read),"
              " later median %.1f ms (%+.1f %%, every row named from it)\n",
              file, firstWith, (firstWith / firstWithout - 1) * 100, medianWith, (medianWith / medianWithout - 1) * 100);
  std::printf("the history read and the listed rows named %.1f s after it was set\n", readTook);
  std::printf("resident memory: VmRSS %s, peak VmHWM %s\n", qPrintable(StatusLine("VmRSS:")),
              qPrintable(StatusLine("VmHWM:")));
}

void BenchStartup(const QString& program) {
  std::vector<double> startups;
  for (int run = 0; run < 10; ++run) {
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(program, {QString::fromLatin1(kStartupChildFlag)});
    if (!child.waitForReadyRead(10000)) {
      std::printf("ERROR: start-up child did not paint\n");
      return;
    }
    startups.push_back(Milliseconds(clock));
    child.waitForFinished(10000);
  }
  std::printf("start-up to the first painted window (exec, libraries, Qt, window): median %.1f ms, worst %.1f ms\n",
              Median(startups), *std::max_element(startups.begin(), startups.end()));
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc > 1 && qstrcmp(argv[1], kStartupChildFlag) == 0) return RunStartupChild(argc, argv);
  QApplication application(argc, argv);
  std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
  if (argc > 2 && qstrcmp(argv[1], "--history") == 0) {
    BenchHistory(argv[2]);
    return 0;
  }
  BenchSearch();
  BenchStartup(QCoreApplication::applicationFilePath());
  return 0;
}
