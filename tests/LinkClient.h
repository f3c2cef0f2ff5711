// A client of the azimuth server for tests: a real QLocalSocket, read through
// the event loop (the server runs in the same thread).
#pragma once

#include "link/LinkProtocol.h"

#include <QByteArray>
#include <QLocalSocket>
#include <QtTest>

#include <memory>

struct LinkClient {
    std::unique_ptr<QLocalSocket> socket = std::make_unique<QLocalSocket>();
    QByteArray received;

    bool connectTo(const QString& path) {
        socket->connectToServer(path);
        if (!QTest::qWaitFor([&] { return socket->state() == QLocalSocket::ConnectedState; },
                             10000))
            return false;
        QObject::connect(socket.get(), &QLocalSocket::readyRead, socket.get(),
                         [this] { received += socket->readAll(); });
        return true;
    }
    void send(const QByteArray& bytes) {
        socket->write(bytes);
        socket->flush();
    }
    // Waits until at least n bytes came (or the connection ended).
    bool waitFor(qsizetype n) {
        (void)QTest::qWaitFor(
            [&] {
                return received.size() >= n || socket->state() == QLocalSocket::UnconnectedState;
            },
            10000);
        received += socket->readAll();
        return received.size() >= n;
    }
    // Sends lines and waits for exactly the expected answer's length.
    QByteArray ask(const QByteArray& lines, qsizetype answerSize) {
        received.clear();
        send(lines);
        waitFor(answerSize);
        return received;
    }
    bool closedByServer() {
        return QTest::qWaitFor([&] { return socket->state() == QLocalSocket::UnconnectedState; },
                               20000);
    }
};

inline QByteArray Bytes(const char* s, qsizetype n) {
    return QByteArray(s, n);
}
