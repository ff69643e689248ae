// The window over a dozen scripted cards, without any network: runs one
// search as soon as the window shows. With a file name it saves a picture
// of the window there and quits; without, it stays open.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "card_search.h"
#include "demo_cards.h"
#include "scripted_cards.h"

using namespace kestrum;
using namespace kestrum::testing;

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  ScriptedCards::Set(DemoCards());
  TFrm_CardSearch window(ScriptedCards::Protocol());
  window.show();
  const QString picture = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  QTimer::singleShot(200, &window, [&] {
    window.btnControlSearchClick();
    if (picture.isEmpty()) return;
    QTimer::singleShot(300, &window, [&] {
      if (!window.grab().save(picture)) {
        std::fprintf(stderr, "window_demo_cards: cannot write %s\n", qPrintable(picture));
        QApplication::exit(1);
        return;
      }
      std::printf("window_demo_cards: picture saved to %s\n", qPrintable(picture));
      QApplication::quit();
    });
  });
  return QApplication::exec();
}
