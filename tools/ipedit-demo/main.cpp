// Shows the address edit holding 192.168.1.100 in a small window. With
// --screenshot FILE it saves a picture of the whole screen once the window
// has been painted, and exits.

#include "TIPEdit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

constexpr int kPollMilliseconds = 20;
constexpr int kEditFontPixels = 12;  // 9 pt at 96 dpi

// The font the card search window gives its address edits. Where that
// family is missing, Arial or one of its metric twins keeps the digits as narrow as the
// fields expect; the usual fallback is too wide for three bold digits.
QFont WindowEditFont() {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Nimbus Sans")});
  font.setPixelSize(kEditFontPixels);
  font.setBold(true);
  return font;
}

// Saves the screen as soon as the window is on it and painted.
void SaveScreenWhenShown(QWidget& window, const QString& path) {
  auto* poll = new QTimer(&window);
  QObject::connect(poll, &QTimer::timeout, &window, [&window, path, poll] {
    if (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
      return;
    }
    poll->stop();
    window.repaint();
    const bool saved = window.screen()->grabWindow(0).save(path);
    QCoreApplication::exit(saved ? 0 : 1);
  });
  poll->start(kPollMilliseconds);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.addHelpOption();
  const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                      QStringLiteral("Save the screen to <file> and exit."), QStringLiteral("file"));
  parser.addOption(screenshot);
  parser.process(app);

  QWidget window;
  window.setWindowTitle(QStringLiteral("TIPEdit"));
  window.resize(236, 56);
  auto* caption = new QLabel(QStringLiteral("IP 地址"), &window);
  caption->setGeometry(12, 20, 70, 16);
  auto* edit = new TIPEdit(&window);
  edit->setGeometry(89, 18, 118, 21);
  edit->setFont(WindowEditFont());
  edit->SetIPString(QStringLiteral("192.168.1.100"));
  window.show();

  if (parser.isSet(screenshot)) {
    SaveScreenWhenShown(window, parser.value(screenshot));
  }
  return QApplication::exec();
}
