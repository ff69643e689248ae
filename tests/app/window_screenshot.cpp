// Shows the window, runs one search as soon as it is up, and saves a
// picture of the window to the given file.
//
//   window_screenshot PICTURE.png                  the real library: inside
//       the private network of scripts/private-lan.sh only (it broadcasts)
//   window_screenshot --scripted-cards PICTURE.png a dozen scripted cards,
//       no network at all
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "card_search.h"
#include "demo_cards.h"
#include "private_network_guard.h"
#include "scripted_cards.h"

using namespace kestrum;
using namespace kestrum::testing;

namespace {

constexpr const char* kScriptedFlag = "--scripted-cards";
// Time for the window to be mapped and painted before and after the search.
constexpr int kSettleMilliseconds = 300;

int Usage() {
  std::fprintf(stderr, "usage: window_screenshot [%s] PICTURE.png\n", kScriptedFlag);
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  const bool scripted = argc == 3 && std::strcmp(argv[1], kScriptedFlag) == 0;
  if (argc != 2 && !scripted) return Usage();
  if (!scripted) RequirePrivateNetwork(argv[0]);
  const QString picture = QString::fromLocal8Bit(argv[argc - 1]);

  QApplication application(argc, argv);
  ScriptedCards::Set(DemoCards());
  const CardProtocol protocol =
      scripted ? ScriptedCards::Protocol() : CardProtocol{&::GetControlList, &::ConfigControlPara};
  TFrm_CardSearch window(protocol);
  window.show();
  QTimer::singleShot(kSettleMilliseconds, &window, [&] {
    window.btnControlSearchClick();
    QTimer::singleShot(kSettleMilliseconds, &window, [&] {
      if (!window.grab().save(picture)) {
        std::fprintf(stderr, "window_screenshot: cannot write %s\n", qPrintable(picture));
        QApplication::exit(1);
        return;
      }
      std::printf("window_screenshot: %s\n", qPrintable(picture));
      QApplication::quit();
    });
  });
  return QApplication::exec();
}
