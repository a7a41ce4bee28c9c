// The signal handler only writes a byte to a socket; the Qt event loop reads it and
// runs the handler on the UI thread.
#include "platform/qt/close_on_signal.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

namespace platform {

namespace {

int g_signalSocket[2] = {-1, -1};

void OnSignal(int) {
  char byte = 1;
  ssize_t ignored = ::write(g_signalSocket[0], &byte, 1);
  (void)ignored;
}

}  // namespace

void OnTerminationSignals(std::function<void()> handler) {
  if (g_signalSocket[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSocket) != 0) return;
  auto* notifier =
      new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [handler] {
    char byte;
    ssize_t ignored = ::read(g_signalSocket[1], &byte, 1);
    (void)ignored;
    handler();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

}  // namespace platform
