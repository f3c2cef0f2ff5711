// A small HTTP server on 127.0.0.1 for tests: it listens on a free port and
// answers each request from its own event handling, on the test's thread.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class LocalHttpServer : public QObject {
  public:
    enum class Kind {
        Answer,  // the raw bytes of `raw`, then the connection is closed
        Silent,  // accepts and never answers
        Endless, // a 200 head, then lines without end
    };
    struct Route {
        Kind kind = Kind::Answer;
        QByteArray raw;
    };

    LocalHttpServer() {
        connect(&server_, &QTcpServer::newConnection, this, [this] { accept(); });
        server_.listen(QHostAddress::LocalHost, 0);
    }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool listening() const { return server_.isListening(); }
    quint16 port() const { return server_.serverPort(); }
    QString root() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port()); }
    // The paths asked for, in order.
    QList<QByteArray> requests;

    // A complete answer: status line, headers (with the length), body.
    static QByteArray Response(const QByteArray& body, const QByteArray& status = "200 OK",
                               const QByteArray& headers = "Content-Type: text/plain\r\n") {
        return "HTTP/1.1 " + status + "\r\n" + headers +
               "Content-Length: " + QByteArray::number(body.size()) +
               "\r\nConnection: close\r\n\r\n" + body;
    }
    static QByteArray Redirect(const QByteArray& location, const QByteArray& body = {}) {
        return Response(body, "302 Found", "Location: " + location + "\r\n");
    }

    void answer(const QByteArray& path, const QByteArray& raw) {
        routes_[path] = {Kind::Answer, raw};
    }
    void route(const QByteArray& path, Kind kind) { routes_[path] = {kind, {}}; }

  private:
    void accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                pending_.remove(socket);
                socket->deleteLater();
            });
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        }
    }

    void read(QTcpSocket* socket) {
        QByteArray& buffer = pending_[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        // "GET /path HTTP/1.1"
        const QList<QByteArray> words = buffer.left(buffer.indexOf("\r\n")).split(' ');
        pending_.remove(socket);
        const QByteArray path = words.size() > 1 ? words.at(1) : QByteArray();
        requests.append(path);
        const auto found = routes_.constFind(path);
        const Route route =
            found == routes_.cend() ? Route{Kind::Answer, Response("", "404 Not Found")} : *found;
        switch (route.kind) {
        case Kind::Answer:
            socket->write(route.raw);
            socket->disconnectFromHost();
            break;
        case Kind::Silent:
            break;
        case Kind::Endless: {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n");
            const QPointer<QTcpSocket> guard(socket);
            auto more = [guard] {
                if (guard && guard->state() == QAbstractSocket::ConnectedState &&
                    guard->bytesToWrite() < 16 * 1024)
                    guard->write(QByteArray(8 * 1024, 'a') + "\n");
            };
            connect(socket, &QTcpSocket::bytesWritten, socket, more);
            more();
            break;
        }
        }
    }

    QTcpServer server_;
    QHash<QByteArray, Route> routes_;
    QHash<QTcpSocket*, QByteArray> pending_;
};
