// The rotator link against a real rotctld, a closed port, a listener that
// never answers and one that answers an error; the event loop runs on.
#include "FakeRotctld.h"

#include "link/RotatorLink.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

namespace {

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString At(quint16 port) {
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

struct Failures {
    QList<RotatorPort::Problem> problems;
    QStringList details;
    void attach(RotatorLink& link) {
        link.failed = [this](RotatorPort::Problem p, const QString& d) {
            problems.append(p);
            details.append(d);
        };
    }
};

} // namespace

class LinkRotatorTest : public QObject {
    Q_OBJECT
  private slots:
    void realRotctldTakesTheAzimuths() {
        const QString rotctld = QStandardPaths::findExecutable("rotctld");
        if (rotctld.isEmpty()) QSKIP("rotctld (libhamlib-utils) is not installed");
        const quint16 port = FreePort();
        QProcess daemon;
        daemon.start(rotctld, {"-m", "1", "-t", QString::number(port), "-T", "127.0.0.1"});
        QVERIFY(daemon.waitForStarted(10000));
        QTcpSocket probe;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                probe.abort();
                probe.connectToHost(QHostAddress::LocalHost, port);
                return probe.waitForConnected(200);
            }(),
            15000);
        probe.abort();

        RotatorLink link;
        Failures failures;
        failures.attach(link);
        QSignalSpy turned(&link, &RotatorLink::turned);
        link.turnTo(At(port), 237);
        QTRY_COMPARE_WITH_TIMEOUT(turned.count(), 1, 10000);
        QCOMPARE(turned.at(0).at(0).toInt(), 237);
        // While one command is in flight, newer bearings replace the waiting one.
        link.turnTo(At(port), 10);
        link.turnTo(At(port), 20);
        link.turnTo(At(port), 30);
        QTRY_VERIFY_WITH_TIMEOUT(!turned.isEmpty() && turned.last().at(0).toInt() == 30, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!link.busy(), 10000);
        QList<int> seen;
        for (const auto& s : turned)
            seen.append(s.at(0).toInt());
        QVERIFY2(!seen.contains(20), qPrintable(QString::number(seen.size())));
        QVERIFY(failures.problems.isEmpty());
        daemon.kill();
        daemon.waitForFinished(5000);
    }

    void closedPortIsToldOnceUntilTheLinkWorks() {
        const quint16 port = FreePort();
        RotatorLink link;
        Failures failures;
        failures.attach(link);
        QSignalSpy problems(&link, &RotatorLink::problem);
        link.turnTo(At(port), 90);
        QTRY_COMPARE_WITH_TIMEOUT(problems.count(), 1, 10000);
        link.turnTo(At(port), 91); // tried again, not told again
        QTRY_COMPARE_WITH_TIMEOUT(problems.count(), 2, 10000);
        QCOMPARE(failures.problems, QList<RotatorPort::Problem>{RotatorPort::Problem::Unreachable});

        // The link works in between: the next failure is told again.
        FakeRotctld rotator;
        QVERIFY(rotator.listen(port));
        QSignalSpy turned(&link, &RotatorLink::turned);
        link.turnTo(At(port), 92);
        QTRY_COMPARE_WITH_TIMEOUT(turned.count(), 1, 10000);
        rotator.close();
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                link.turnTo(At(port), 93);
                return failures.problems.size() == 2;
            }(),
            15000);
    }

    void silentListenerEndsInOneNoticeWhileTheLoopRuns() {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        RotatorLink link;
        Failures failures;
        failures.attach(link);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);
        link.turnTo(At(silent.serverPort()), 180);
        QVERIFY(link.busy()); // it returned at once, the command still waiting
        QTRY_COMPARE_WITH_TIMEOUT(failures.problems.size(), 1, 15000);
        QCOMPARE(failures.problems.first(), RotatorPort::Problem::NoAnswer);
        QVERIFY(ticks > 0);
        QVERIFY(!link.busy());
    }

    void errorAnswerIsTold() {
        FakeRotctld rotator;
        rotator.answer = "RPRT -1\n";
        QVERIFY(rotator.listen());
        RotatorLink link;
        Failures failures;
        failures.attach(link);
        link.turnTo(At(rotator.port()), 0);
        QTRY_COMPARE_WITH_TIMEOUT(failures.problems.size(), 1, 10000);
        QCOMPARE(failures.problems.first(), RotatorPort::Problem::Error);
        QCOMPARE(failures.details.first(), QString("-1"));
        QCOMPARE(rotator.commands, QByteArray("P 0 0\n"));
    }
};

QTEST_GUILESS_MAIN(LinkRotatorTest)
#include "test_link_rotator.moc"
