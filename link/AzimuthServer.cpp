#include "link/AzimuthServer.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

AzimuthServer::AzimuthServer(QObject* parent) : QObject(parent) {}

AzimuthServer::~AzimuthServer() {
    // The program ends: no conversation events any more.
    stopping_ = true;
    for (auto& c : clients_) {
        c->socket->disconnect(this);
        c->socket->abort();
        delete c->socket;
    }
    clients_.clear();
    if (server_) server_->close();
}

QString AzimuthServer::start(const QString& service) {
    return listenAt(azlink::SocketPlaceFor(service.toStdString()));
}

QString AzimuthServer::listenAt(const azlink::SocketPlace& place) {
    if (const auto problem = azlink::PrepareSocketFolder(place, ::getuid()))
        return QString::fromStdString(*problem);
    const QString path = QString::fromStdString(place.path);
    struct stat st {};
    if (::lstat(place.path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) return path + QStringLiteral(" exists and is not a socket");
        // A socket that a running instance answers stays its own; one left
        // by a run that ended without removing it is replaced.
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(1000)) {
            probe.abort();
            return QStringLiteral("another instance already serves ") + path;
        }
        QLocalServer::removeServer(path);
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        const QString why = path + QStringLiteral(": ") + server_->errorString();
        delete server_;
        server_ = nullptr;
        return why;
    }
    path_ = path;
    connect(server_, &QLocalServer::newConnection, this, &AzimuthServer::accept);
    return {};
}

bool AzimuthServer::isListening() const {
    return server_ && server_->isListening();
}

int AzimuthServer::openConversations() const {
    int n = 0;
    for (const auto& c : clients_)
        if (c->conversation.open) ++n;
    return n;
}

int AzimuthServer::advisingClients() const {
    int n = 0;
    for (const auto& c : clients_)
        if (c->conversation.pushed() && !c->closing) ++n;
    return n;
}

void AzimuthServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (static_cast<int>(clients_.size()) >= azlink::MaxConnections) {
            socket->write((std::string(azlink::BusyLine) + '\n').c_str());
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            socket->disconnectFromServer();
            continue;
        }
        auto c = std::make_unique<Client>();
        c->socket = socket;
        // A connection that opens no conversation in time is closed: idle
        // connections would otherwise fill the places for ever.
        c->deadline = new QTimer(socket);
        c->deadline->setSingleShot(true);
        connect(c->deadline, &QTimer::timeout, this, [this, socket] {
            if (Client* idle = find(socket); idle && !idle->conversation.open) drop(*idle);
        });
        c->deadline->start(openDeadlineMs_);
        clients_.push_back(std::move(c));
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { lost(socket); });
        if (socket->bytesAvailable() > 0) readFrom(socket);
    }
}

AzimuthServer::Client* AzimuthServer::find(QLocalSocket* socket) {
    for (auto& c : clients_)
        if (c->socket == socket) return c.get();
    return nullptr;
}

void AzimuthServer::closeConversation(Client& c) {
    if (!c.conversation.open) return;
    c.conversation = {};
    if (stopping_) return;
    if (closed) closed();
    emit conversationClosed();
}

void AzimuthServer::readFrom(QLocalSocket* socket) {
    Client* c = find(socket);
    if (!c) return;
    if (c->closing) {
        socket->readAll();
        return;
    }
    if (static_cast<std::size_t>(socket->bytesAvailable()) > azlink::MaxPendingBytes) {
        drop(*c);
        return;
    }
    const QByteArray data = socket->readAll();
    std::vector<std::string> lines;
    const bool fine = c->lines.feed(std::string_view(data.constData(), data.size()), lines);
    for (const std::string& line : lines) {
        const azlink::Answer a = azlink::HandleLine(c->conversation, line, value_);
        socket->write(a.reply.data(), static_cast<qint64>(a.reply.size()));
        if (a.opened && c->deadline) c->deadline->stop();
        if (a.opened && !stopping_) {
            if (opened) opened();
            emit conversationOpened();
        }
        if (a.closeAfter) {
            c->closing = true;
            if (a.closed && !stopping_) {
                if (closed) closed();
                emit conversationClosed();
            }
            socket->disconnectFromServer();
            return;
        }
    }
    if (!fine || static_cast<std::size_t>(socket->bytesToWrite()) > azlink::MaxPendingBytes)
        drop(*c);
}

void AzimuthServer::drop(Client& c) {
    QLocalSocket* socket = c.socket;
    closeConversation(c);
    socket->disconnect(this);
    socket->abort();
    remove(socket);
}

void AzimuthServer::lost(QLocalSocket* socket) {
    Client* c = find(socket);
    if (!c) return;
    closeConversation(*c);
    socket->disconnect(this);
    remove(socket);
}

void AzimuthServer::remove(QLocalSocket* socket) {
    for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        if ((*it)->socket == socket) {
            clients_.erase(it);
            break;
        }
    }
    socket->deleteLater();
}

void AzimuthServer::publish(const QString& digits) {
    value_ = azlink::ItemValue(digits.toStdString());
    const std::string push = azlink::AdviseMessage(value_);
    std::vector<Client*> slow;
    for (auto& c : clients_) {
        if (!c->conversation.pushed() || c->closing) continue;
        c->socket->write(push.data(), static_cast<qint64>(push.size()));
        // A client that never reads its pushes is not kept at our expense.
        if (static_cast<std::size_t>(c->socket->bytesToWrite()) > azlink::MaxPendingBytes)
            slow.push_back(c.get());
    }
    for (Client* c : slow)
        drop(*c);
}
