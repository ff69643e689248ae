#include "delay_with_messages.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace kestrum {

void DelayWithMessages(std::int32_t milliseconds) {
  QElapsedTimer clock;
  clock.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  } while (milliseconds > clock.elapsed());
}

}  // namespace kestrum
