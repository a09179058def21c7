// The desktop asks the program to end with a signal: its event loop quits
// and it ends normally, status 0.
#include <QtTest>
#include <csignal>

#include "termination.h"

class TestTermination : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { zelvane::QuitOnTerminationSignals(*QCoreApplication::instance()); }
    void signalQuitsTheEventLoop_data();
    void signalQuitsTheEventLoop();
};

void TestTermination::signalQuitsTheEventLoop_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestTermination::signalQuitsTheEventLoop() {
    QFETCH(int, signal);
    QTimer::singleShot(0, [signal] { std::raise(signal); });
    // Should the signal not end the loop, this ends it with a failure.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(10000);
    QCOMPARE(QCoreApplication::exec(), 0);
}

QTEST_GUILESS_MAIN(TestTermination)
#include "tst_termination.moc"
