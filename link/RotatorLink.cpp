#include "link/RotatorLink.h"

#include "link/LinkProtocol.h"

#include <QTcpSocket>
#include <QTimer>

RotatorLink::RotatorLink(QObject* parent, int timeoutMs) : QObject(parent) {
    socket_ = new QTcpSocket(this);
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(timeoutMs);
    connect(timer_, &QTimer::timeout, this, &RotatorLink::timedOut);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        if (state_ == State::Connecting) send();
    });
    connect(socket_, &QTcpSocket::readyRead, this, &RotatorLink::readReplies);
    connect(socket_, &QTcpSocket::errorOccurred, this, &RotatorLink::socketError);
}

RotatorLink::~RotatorLink() {
    socket_->disconnect(this);
    socket_->abort();
}

void RotatorLink::turnTo(const QString& address, int azimuth) {
    const auto hp = azlink::ParseHostPort(address.toStdString());
    if (!hp) {
        fail(Problem::Unreachable, address);
        return;
    }
    if (address != address_) {
        // Another rotator: the old connection and its answer no longer count.
        socket_->abort();
        timer_->stop();
        state_ = State::Idle;
        address_ = address;
        host_ = QString::fromStdString(hp->host);
        port_ = static_cast<quint16>(hp->port);
    }
    waiting_ = azimuth;
    if (state_ == State::Idle) next();
}

void RotatorLink::next() {
    if (!waiting_) return;
    if (socket_->state() == QAbstractSocket::ConnectedState) {
        send();
        return;
    }
    socket_->abort();
    state_ = State::Connecting;
    timer_->start();
    socket_->connectToHost(host_, port_);
}

void RotatorLink::send() {
    if (!waiting_) {
        state_ = State::Idle;
        timer_->stop();
        return;
    }
    inFlight_ = *waiting_;
    waiting_.reset();
    const std::string command = azlink::RotatorCommand(inFlight_);
    state_ = State::Waiting;
    timer_->start();
    socket_->write(command.data(), static_cast<qint64>(command.size()));
}

void RotatorLink::readReplies() {
    while (socket_->canReadLine()) {
        const QByteArray line = socket_->readLine(256);
        if (state_ != State::Waiting) continue;
        const auto code = azlink::RotatorReply(line.toStdString());
        if (!code) continue; // not the answer to a set command
        timer_->stop();
        state_ = State::Idle;
        if (*code == 0) {
            reported_ = false;
            emit turned(inFlight_);
        } else {
            fail(Problem::Error, QString::number(*code), true);
        }
        next();
        if (state_ == State::Idle && !waiting_) break;
    }
    // A line too long for an answer is no answer.
    if (socket_->bytesAvailable() > 4096) fail(Problem::NoAnswer, address_);
}

void RotatorLink::socketError() {
    if (state_ == State::Idle) return; // closed between commands: reconnect next time
    const auto e = socket_->error();
    const bool unreachable = e == QAbstractSocket::ConnectionRefusedError ||
                             e == QAbstractSocket::HostNotFoundError ||
                             e == QAbstractSocket::NetworkError;
    fail(unreachable ? Problem::Unreachable : Problem::NoAnswer, address_);
}

void RotatorLink::timedOut() {
    if (state_ != State::Idle) fail(Problem::NoAnswer, address_);
}

void RotatorLink::fail(Problem p, const QString& detail, bool keepConnection) {
    timer_->stop();
    if (!keepConnection) {
        socket_->abort();
        state_ = State::Idle;
        waiting_.reset(); // the next bearing tries again
    }
    emit problem(p, detail);
    if (reported_) return;
    reported_ = true;
    if (failed) failed(p, detail);
}
