// The antenna console on loopback: from a designation (Enter in CALL) until
// the command is on the wire at the rotator's stand-in, for each channel,
// side by side with a bare UDP datagram (the floor); and the heading poll's
// cost with the window idle: timer wake-ups per second while the rotator is
// on and answers every poll.
#include "tests/AntennaPeers.h"
#include "tests/FakePlatform.h"
#include "tests/FakeRotctld.h"

#include "app/AppState.h"
#include "link/RotatorChannels.h"
#include "viewer/AntennaConsole.h"
#include "viewer/ViewerHub.h"

#include <QApplication>
#include <QEventLoop>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QApplication* App() {
    static int argc = 1;
    static char name[] = "bench_antenna";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return app;
}

// The console as the viewer makes it, on a window of its own.
struct Console {
    FakePlatform platform;
    AppState app;
    QMainWindow window;
    RotatorSwitch rotator{nullptr, FreeTcpPort()};
    std::unique_ptr<viewer::ViewerHub> hub;
    viewer::AntennaConsole* console = nullptr;
    Console(const QString& kind, const QString& address) {
        app.LanguageCode = QStringLiteral("E");
        app.extra.RotatorOn = true;
        app.extra.RotatorKind = kind;
        app.extra.RotatorAddress = address;
        app.extra.RotatorName = QStringLiteral("Tower");
        platform.rotatorPort = &rotator;
        window.menuBar()->addMenu(QStringLiteral("?"));
        window.setCentralWidget(new QWidget);
        hub = std::make_unique<viewer::ViewerHub>(platform, app);
        console =
            new viewer::AntennaConsole(*hub, window.menuBar(), window.centralWidget(), nullptr);
    }
    ~Console() { delete console; }
    void designate(int i) {
        azlink::Designation d;
        d.reason = azlink::DesignationReason::CallEnter;
        d.bearing = std::to_string(i % 2 ? 10 : 100); // apart: the gate lets each through
        hub->Designate(d);
    }
};

void BM_DesignationToWire_Rotctld(benchmark::State& state) {
    App();
    FakeRotctld fake;
    fake.listen();
    Console c(QStringLiteral("ROTCTLD"), QStringLiteral("127.0.0.1:%1").arg(fake.port()));
    c.rotator.watch(false); // no polls in the way
    int i = 0;
    for (auto _ : state) {
        const qsizetype before = fake.commands.size();
        c.designate(i++);
        while (fake.commands.size() == before || !fake.commands.endsWith('\n'))
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}
BENCHMARK(BM_DesignationToWire_Rotctld)->UseRealTime();

void UdpDesignations(benchmark::State& state, const QString& kind) {
    App();
    UdpStandIn peer;
    peer.bindPair();
    Console c(kind, peer.address());
    c.rotator.watch(false);
    int i = 0;
    for (auto _ : state) {
        const qsizetype before = peer.got.size();
        c.designate(i++);
        while (peer.got.size() == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void BM_DesignationToWire_Pst(benchmark::State& state) {
    UdpDesignations(state, QStringLiteral("PST"));
}
BENCHMARK(BM_DesignationToWire_Pst)->UseRealTime();

void BM_DesignationToWire_N1mm(benchmark::State& state) {
    UdpDesignations(state, QStringLiteral("N1MM"));
}
BENCHMARK(BM_DesignationToWire_N1mm)->UseRealTime();

void BM_BareUdpDatagram(benchmark::State& state) {
    App();
    UdpStandIn peer;
    peer.bind();
    QUdpSocket sender;
    const QByteArray d("<PST><AZIMUTH>100</AZIMUTH></PST>");
    for (auto _ : state) {
        const qsizetype before = peer.got.size();
        sender.writeDatagram(d, QHostAddress::LocalHost, peer.port());
        while (peer.got.size() == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}
BENCHMARK(BM_BareUdpDatagram)->UseRealTime();

// Counts the timer events the whole program receives.
struct TimerCounter : QObject {
    int timers = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Timer) ++timers;
        return false;
    }
};

// The window idle for `seconds` with the rotator on (rotctld answers every
// poll with a position): timer wake-ups and polls per second.
void IdlePoll(benchmark::State& state, const QString& kind) {
    App();
    FakeRotctld fake;
    fake.answer = "123.000000\n0.000000\n";
    fake.listen();
    UdpStandIn peer;
    peer.bindPair();
    const QString address = kind == QLatin1String("ROTCTLD")
                                ? QStringLiteral("127.0.0.1:%1").arg(fake.port())
                                : peer.address();
    Console c(kind, address);
    TimerCounter counter;
    QCoreApplication::instance()->installEventFilter(&counter);
    const int seconds = 5;
    double polls = 0;
    for (auto _ : state) {
        counter.timers = 0;
        const qsizetype before = fake.commands.size() + peer.got.size();
        // The event loop sleeps between events, as the program's does; the
        // one timer that ends the wait is not counted.
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        --counter.timers;
        polls = double(fake.commands.count('p') + peer.got.size() - before);
    }
    QCoreApplication::instance()->removeEventFilter(&counter);
    state.counters["timer_wakeups_per_s"] = double(counter.timers) / seconds;
    state.counters["polls_per_s"] = polls / seconds;
}

void BM_IdleHeadingPoll_Rotctld(benchmark::State& state) {
    IdlePoll(state, QStringLiteral("ROTCTLD"));
}
BENCHMARK(BM_IdleHeadingPoll_Rotctld)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

void BM_IdleHeadingPoll_Pst(benchmark::State& state) {
    IdlePoll(state, QStringLiteral("PST"));
}
BENCHMARK(BM_IdleHeadingPoll_Pst)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

void BM_IdleHeadingPoll_N1mm(benchmark::State& state) {
    IdlePoll(state, QStringLiteral("N1MM"));
}
BENCHMARK(BM_IdleHeadingPoll_N1mm)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
