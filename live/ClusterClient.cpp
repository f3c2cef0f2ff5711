#include "live/ClusterClient.h"

#include "live/ClusterLine.h"

#include <QDateTime>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace live {

ClusterClient::ClusterClient(QObject* parent) : QObject(parent) {
    connectTimer_ = new QTimer(this);
    connectTimer_->setSingleShot(true);
    connect(connectTimer_, &QTimer::timeout, this,
            [this] { Lost(false, QStringLiteral("no connection within the time limit")); });
    retryTimer_ = new QTimer(this);
    retryTimer_->setSingleShot(true);
    connect(retryTimer_, &QTimer::timeout, this, &ClusterClient::Connect);
    keepAliveTimer_ = new QTimer(this);
    connect(keepAliveTimer_, &QTimer::timeout, this, &ClusterClient::KeepAlive);
}

ClusterClient::~ClusterClient() {
    Stop();
}

void ClusterClient::Start(const Options& options) {
    Stop();
    options_ = options;
    running_ = true;
    nextDelayMs_ = std::max(1, options_.firstRetryMs);
    Connect();
}

void ClusterClient::Stop() {
    running_ = false;
    connectTimer_->stop();
    retryTimer_->stop();
    keepAliveTimer_->stop();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    partial_.clear();
    discarding_ = false;
    loggedIn_ = false;
}

bool ClusterClient::connected() const {
    return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
}

int ClusterClient::retryDelayMs() const {
    return retryTimer_->isActive() ? retryTimer_->interval() : 0;
}

void ClusterClient::Connect() {
    if (!running_) return;
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
    }
    partial_.clear();
    discarding_ = false;
    loggedIn_ = false;
    socket_ = new QTcpSocket(this);
    // A bounded read buffer: the socket stops reading from the network when
    // it is full, until the lines waiting are taken.
    socket_->setReadBufferSize(4 * ReadChunk);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        connectTimer_->stop();
        socket_->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
        lastHeardMs_ = QDateTime::currentMSecsSinceEpoch();
        keepAliveTimer_->start(
            std::max(50, std::min(options_.keepAliveMs, options_.silenceLimitMs)));
        emit connectedToNode();
    });
    connect(socket_, &QTcpSocket::readyRead, this, &ClusterClient::ReadSome);
    connect(socket_, &QTcpSocket::disconnected, this, [this] { Lost(true, QString()); });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError) return; // `disconnected` follows
        Lost(false, socket_ ? socket_->errorString() : QString());
    });
    connectTimer_->start(options_.connectTimeoutMs);
    socket_->connectToHost(options_.host, options_.port);
}

void ClusterClient::ReadSome() {
    readScheduled_ = false;
    if (!socket_) return;
    const QByteArray data = socket_->read(ReadChunk);
    if (!data.isEmpty()) {
        lastHeardMs_ = QDateTime::currentMSecsSinceEpoch();
        TakeBytes(data);
    }
    // More waiting: take it on the next turn so the window keeps painting.
    if (socket_ && socket_->bytesAvailable() > 0 && !readScheduled_) {
        readScheduled_ = true;
        QTimer::singleShot(0, this, &ClusterClient::ReadSome);
    }
}

void ClusterClient::TakeBytes(const QByteArray& data) {
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype nl = data.indexOf('\n', start);
        const qsizetype end = nl < 0 ? data.size() : nl;
        if (!discarding_) {
            const qsizetype room = MaxLineBytes - partial_.size();
            const qsizetype take = std::min(room, end - start);
            if (take > 0) partial_.append(data.constData() + start, take);
            if (end - start > take) discarding_ = true;
        }
        if (nl < 0) break;
        QByteArray line;
        line.swap(partial_);
        if (line.endsWith('\r')) line.chop(1);
        discarding_ = false;
        start = nl + 1;
        // Some nodes end the login prompt with a line end.
        if (!loggedIn_ &&
            IsLoginPrompt(std::string_view(line.constData(), static_cast<size_t>(line.size()))))
            SendLogin();
        emit lineReceived(line);
        if (!socket_) return; // stopped by a receiver
    }
    // The login prompt usually comes without a line end.
    if (!loggedIn_ && !partial_.isEmpty() &&
        IsLoginPrompt(
            std::string_view(partial_.constData(), static_cast<size_t>(partial_.size())))) {
        partial_.clear();
        SendLogin();
    }
}

void ClusterClient::SendLogin() {
    loggedIn_ = true;
    socket_->write(options_.call.toLatin1() + "\r\n");
    emit loginSent();
    nextDelayMs_ = std::max(1, options_.firstRetryMs);
}

void ClusterClient::KeepAlive() {
    if (!connected()) return;
    const qint64 quiet = QDateTime::currentMSecsSinceEpoch() - lastHeardMs_;
    if (quiet >= options_.silenceLimitMs) {
        // A half-open connection: nothing comes back, whatever is sent.
        // (Lost disconnects the socket's signals before it aborts it, so the
        // abort is not taken for a close by the node.)
        Lost(false, QStringLiteral("the node has been silent too long"));
        return;
    }
    if (loggedIn_) socket_->write("\r\n");
}

void ClusterClient::Lost(bool byNode, const QString& detail) {
    if (!socket_) return;
    if (byNode) {
        // The lines the node sent before it closed (bounded by the read buffer).
        const QByteArray rest = socket_->readAll();
        if (!rest.isEmpty()) TakeBytes(rest);
        if (!socket_) return;
    }
    connectTimer_->stop();
    keepAliveTimer_->stop();
    QTcpSocket* s = socket_;
    socket_ = nullptr;
    s->disconnect(this);
    s->abort();
    s->deleteLater();
    if (byNode)
        emit closedByNode();
    else
        emit failed(detail);
    if (running_ && options_.reconnect) {
        retryTimer_->start(nextDelayMs_);
        nextDelayMs_ = std::min(std::max(1, options_.maxRetryMs), nextDelayMs_ * 2);
    } else {
        running_ = false;
    }
}

} // namespace live
