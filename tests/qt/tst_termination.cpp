// The desktop asks the program to end with a signal: its event loop quits
// and it ends normally, status 0. A signal ignored at start (nohup) stays
// ignored, and the handler leaves errno as it found it.
#include <QtTest>
#include <cerrno>
#include <csignal>

#include "termination.h"

namespace {

struct Row {
    const char* name;
    int signal;
    bool ignoredAtStart;
};
constexpr Row kSignals[] = {
    {"SIGTERM", SIGTERM, false},
    {"SIGINT", SIGINT, false},
    {"SIGHUP ignored at start, as under nohup", SIGHUP, true},
};

}  // namespace

class TestTermination : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void signalQuitsTheEventLoop_data();
    void signalQuitsTheEventLoop();
    void errnoIsKept();
};

void TestTermination::initTestCase() {
    for (const Row& row : kSignals) {
        if (row.ignoredAtStart) {
            std::signal(row.signal, SIG_IGN);
        }
    }
    zelvane::QuitOnTerminationSignals(*QCoreApplication::instance());
}

void TestTermination::signalQuitsTheEventLoop_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("ignoredAtStart");
    for (const Row& row : kSignals) {
        QTest::newRow(row.name) << row.signal << row.ignoredAtStart;
    }
}

void TestTermination::signalQuitsTheEventLoop() {
    QFETCH(int, signal);
    QFETCH(bool, ignoredAtStart);
    struct sigaction current {};
    QCOMPARE(sigaction(signal, nullptr, &current), 0);
    QCOMPARE(current.sa_handler == SIG_IGN, ignoredAtStart);
    QTimer::singleShot(0, [signal] { std::raise(signal); });
    // A signal that should not end the loop is outwaited; one that should
    // and does not is caught by the guard.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [ignoredAtStart] { QCoreApplication::exit(ignoredAtStart ? 7 : 1); });
    guard.start(ignoredAtStart ? 300 : 10000);
    QCOMPARE(QCoreApplication::exec(), ignoredAtStart ? 7 : 0);
}

// Signals faster than the loop reads them fill the socket: the handler's
// write then fails (it must not block), and errno must still be the
// interrupted code's.
void TestTermination::errnoIsKept() {
    errno = EDOM;
    for (int i = 0; i < 300000; ++i) {
        std::raise(SIGTERM);
    }
    QCOMPARE(errno, EDOM);
    QCoreApplication::processEvents();  // the quit request is taken up here, outside a loop
}

QTEST_GUILESS_MAIN(TestTermination)
#include "tst_termination.moc"
