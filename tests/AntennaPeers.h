// Peers for the antenna tests, all on 127.0.0.1: a real Hamlib `rotctld -m 1`
// (the dummy rotator) on a free port, and a UDP stand-in that records the
// datagrams a rotator channel sends and can answer or broadcast.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QUdpSocket>

#include <memory>

// A port nobody listens on right now (TCP or UDP).
inline quint16 FreeTcpPort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

// rotctld -m 1 on a free loopback port; empty port when rotctld is missing.
struct DummyRotctld {
    QProcess process;
    quint16 port = 0;
    bool start() {
        const QString exe = QStandardPaths::findExecutable(QStringLiteral("rotctld"));
        if (exe.isEmpty()) return false;
        for (int attempt = 0; attempt < 5; ++attempt) {
            port = FreeTcpPort();
            process.start(exe, {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                                QStringLiteral("127.0.0.1"), QStringLiteral("-t"),
                                QString::number(port)});
            if (!process.waitForStarted(5000)) return false;
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < 5000 && process.state() == QProcess::Running) {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port);
                if (probe.waitForConnected(200)) {
                    probe.abort();
                    return true;
                }
                QThread::msleep(50);
            }
            process.kill();
            process.waitForFinished(2000);
        }
        return false;
    }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port); }
    ~DummyRotctld() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
};

// A UDP peer on 127.0.0.1 that keeps the datagrams it gets.
struct UdpStandIn {
    QUdpSocket socket;
    QList<QByteArray> got;
    QHostAddress lastSender;
    // Binds a free port P such that P + 1 is free too (for the PST answers).
    bool bindPair() {
        for (int attempt = 0; attempt < 50; ++attempt) {
            QUdpSocket probe;
            if (!probe.bind(QHostAddress::LocalHost, 0)) continue;
            const quint16 p = probe.localPort();
            QUdpSocket next;
            if (p == 65535 || !next.bind(QHostAddress::LocalHost, p + 1)) continue;
            next.close();
            probe.close();
            if (bind(p)) return true;
        }
        return false;
    }
    bool bind(quint16 port = 0) {
        if (!socket.bind(QHostAddress::LocalHost, port)) return false;
        QObject::connect(&socket, &QUdpSocket::readyRead, &socket, [this] {
            while (socket.hasPendingDatagrams()) {
                QByteArray d(int(socket.pendingDatagramSize()), '\0');
                QHostAddress from;
                socket.readDatagram(d.data(), d.size(), &from);
                lastSender = from;
                got.append(d);
            }
        });
        return true;
    }
    quint16 port() const { return socket.localPort(); }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port()); }
    void sendTo(quint16 port, const QByteArray& d) {
        socket.writeDatagram(d, QHostAddress::LocalHost, port);
    }
};
