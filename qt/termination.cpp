#include "termination.h"

#include <QCoreApplication>

#if defined(Q_OS_UNIX)
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace zelvane {

#if defined(Q_OS_UNIX)
namespace {

// A signal handler may do almost nothing; it writes one byte into a socket
// that the event loop watches, and the loop does the rest. The socket never
// blocks (a full socket already holds a byte that will quit the loop), and
// errno is kept for the code the signal interrupted.
int signalSockets[2] = {-1, -1};

void OnSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

}  // namespace

void QuitOnTerminationSignals(QCoreApplication& application) {
    // Close-on-exec: a program started from this one does not inherit them.
    if (signalSockets[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, &application, [] {
        char bytes[16];
        while (::read(signalSockets[1], bytes, sizeof bytes) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // A signal ignored at start stays ignored: started with nohup, the
    // program outlives its terminal.
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            sigaction(signal, &action, nullptr);
        }
    }
}

#else

void QuitOnTerminationSignals(QCoreApplication&) {}

#endif

}  // namespace zelvane
