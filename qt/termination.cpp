#include "termination.h"

#include <QCoreApplication>

#if defined(Q_OS_UNIX)
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace zelvane {

#if defined(Q_OS_UNIX)
namespace {

// A signal handler may do almost nothing; it writes one byte into a socket
// that the event loop watches, and the loop does the rest.
int signalSockets[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
}

}  // namespace

void QuitOnTerminationSignals(QCoreApplication& application) {
    if (signalSockets[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSockets) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, &application, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(signalSockets[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

#else

void QuitOnTerminationSignals(QCoreApplication&) {}

#endif

}  // namespace zelvane
