// The azimuth server: the designated bearing offered to the programs of this
// machine over a local socket (docs/protocol.md), one conversation per
// connection, at most 32 connections, nothing accepted from clients.
#pragma once

#include "app/Platform.h"
#include "link/LinkProtocol.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;
class QTimer;

class AzimuthServer : public QObject, public BearingServer {
    Q_OBJECT
  public:
    explicit AzimuthServer(QObject* parent = nullptr);
    ~AzimuthServer() override;

    // Listens at the usual place of the service. Returns why it does not
    // (the folder is not private, another instance serves there, ...), or
    // an empty text when it listens.
    QString start(const QString& service);
    QString listenAt(const azlink::SocketPlace& place);
    bool isListening() const;
    QString socketPath() const { return path_; }

    void publish(const QString& digits) override;

    // How long a connection may stay without a conversation before it is
    // closed (azlink::OpenDeadlineMs; tests use a shorter one). Applies to
    // connections accepted afterwards.
    void setOpenDeadline(int milliseconds) { openDeadlineMs_ = milliseconds; }

    int connectionCount() const { return static_cast<int>(clients_.size()); }
    int openConversations() const;
    // Connections that receive the pushes (ADVISE in a conversation, or WATCH).
    int advisingClients() const;

  signals:
    void conversationOpened();
    void conversationClosed();

  private:
    struct Client {
        QLocalSocket* socket = nullptr;
        azlink::LineSplitter lines;
        azlink::Conversation conversation;
        bool closing = false;       // DISCONNECT answered: the rest is ignored
        QTimer* deadline = nullptr; // runs until the conversation opens
    };

    void accept();
    void readFrom(QLocalSocket* socket);
    void lost(QLocalSocket* socket);
    // Closes a connection at once (hostile input); counts as its close.
    void drop(Client& c);
    void remove(QLocalSocket* socket);
    Client* find(QLocalSocket* socket);
    void closeConversation(Client& c);

    QLocalServer* server_ = nullptr;
    QString path_;
    std::string value_ = azlink::ItemValue({});
    std::vector<std::unique_ptr<Client>> clients_;
    bool stopping_ = false;
    int openDeadlineMs_ = azlink::OpenDeadlineMs;
};
