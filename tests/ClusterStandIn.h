// A DX cluster node stand-in on loopback for the tests: asks "login: "
// (without a line end) on every connection, remembers the call it receives,
// then sends what the test queued, and can close.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class ClusterStandIn : public QObject {
  public:
    ClusterStandIn() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                ++connections;
                peer = s;
                received.clear();
                loggedIn = false;
                s->write("Welcome to the stand-in node\r\n" + prompt);
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] {
                    received += s->readAll();
                    if (!loggedIn && received.contains("\r\n")) {
                        loggedIn = true;
                        call = received.left(received.indexOf("\r\n"));
                        if (!afterLogin.isEmpty()) s->write(afterLogin);
                        if (closeAfterLogin) s->disconnectFromHost();
                    }
                });
            }
        });
    }
    quint16 port() const { return server.serverPort(); }
    // Sends to the connected client now.
    void send(const QByteArray& bytes) {
        if (peer) peer->write(bytes);
    }
    void close() {
        if (peer) peer->disconnectFromHost();
    }

    QTcpServer server;
    QPointer<QTcpSocket> peer;
    int connections = 0;
    bool loggedIn = false;
    bool closeAfterLogin = false;
    QByteArray call;
    QByteArray received;
    QByteArray afterLogin; // sent right after the login line arrived
    QByteArray prompt = "login: ";
};
