// Start-up: the application object (which catches what leaves an event
// handler and reports it), the one window, the event loop.
#include "card_search.h"
#include "crash/kestrum_application.h"
#include "orvell.h"

int main(int argc, char* argv[]) {
  kestrum::KestrumApplication application(argc, argv);
  // Both exports bound at load time: without them the program does not start.
  const kestrum::CardProtocol protocol{&::GetControlList, &::ConfigControlPara};
  kestrum::TFrm_CardSearch window(protocol);
  window.show();
  kestrum::KestrumApplication::exec();
  return 0;
}
