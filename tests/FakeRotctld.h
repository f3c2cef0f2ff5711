// A stand-in for rotctld on 127.0.0.1 for tests: records the command lines it
// gets and answers each with `answer`, from the event loop of the test.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

struct FakeRotctld {
    QTcpServer server;
    QByteArray commands;
    QByteArray answer = "RPRT 0\n";

    // Listens on `port` (a free one for 0).
    bool listen(quint16 port = 0) {
        if (!server.listen(QHostAddress::LocalHost, port)) return false;
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            QTcpSocket* s = server.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                while (s->canReadLine()) {
                    commands += s->readLine();
                    s->write(answer);
                }
            });
        });
        return true;
    }
    quint16 port() const { return server.serverPort(); }
    // Stops listening and drops the connections it has.
    void close() {
        server.close();
        for (QTcpSocket* s : server.findChildren<QTcpSocket*>())
            s->abort();
    }
};
