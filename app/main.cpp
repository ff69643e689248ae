// Start-up: the application object, the one window, the event loop.
#include <QApplication>

#include "card_search.h"
#include "orvell.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const kestrum::CardProtocol protocol{&::GetControlList, &::ConfigControlPara};
  kestrum::TFrm_CardSearch window(protocol);
  window.show();
  application.exec();
  return 0;
}
