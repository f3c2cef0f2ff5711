#include "link/RotatorLink.h"

#include "link/LinkProtocol.h"
#include "link/RotatorProtocol.h"

#include <QTcpSocket>
#include <QTimer>

#include <cmath>

RotatorLink::RotatorLink(QObject* parent, int timeoutMs, int pollMs) : QObject(parent) {
    socket_ = new QTcpSocket(this);
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(timeoutMs);
    poll_ = new QTimer(this);
    poll_->setInterval(pollMs);
    poll_->setTimerType(Qt::CoarseTimer);
    connect(poll_, &QTimer::timeout, this, &RotatorLink::pollTick);
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

void RotatorLink::setup(const RotatorSetup& setup) {
    if (setup.address == address_ && state_ != State::Idle) return;
    const auto hp = azlink::ParseHostPort(setup.address.toStdString(),
                                          azlink::DefaultPort(azlink::RotatorKind::Rotctld));
    if (setup.address != address_) {
        // Another rotator: the old connection and its answer no longer count.
        socket_->abort();
        timer_->stop();
        state_ = State::Idle;
        waiting_.reset();
        reported_ = false;
        setHeading(std::nullopt);
    }
    address_ = setup.address;
    addressOk_ = hp.has_value();
    if (hp) {
        host_ = QString::fromStdString(hp->host);
        port_ = static_cast<quint16>(hp->port);
    }
}

void RotatorLink::turnTo(const QString& address, int azimuth) {
    if (address != address_) setup(RotatorSetup{QStringLiteral("ROTCTLD"), address, {}});
    turn(azimuth);
}

void RotatorLink::turn(int azimuth) {
    azimuth = azlink::WholeAzimuth(azimuth);
    queue(Command{azlink::RotctldTurn(azimuth), azimuth, false});
}

void RotatorLink::stop() {
    queue(Command{azlink::RotctldStop(), std::nullopt, false});
}

void RotatorLink::park(std::optional<int> azimuth) {
    if (azimuth)
        turn(*azimuth);
    else
        queue(Command{azlink::RotctldPark(), std::nullopt, false});
}

void RotatorLink::watch(bool on) {
    if (on) {
        if (!poll_->isActive()) poll_->start();
        pollWanted_ = true;
        if (addressOk_ && state_ == State::Idle) next();
    } else {
        poll_->stop();
        pollWanted_ = false;
        setHeading(std::nullopt);
    }
}

void RotatorLink::queue(Command c) {
    if (!addressOk_) {
        fail(Problem::BadAddress, address_);
        return;
    }
    waiting_ = std::move(c);
    if (state_ == State::Idle) next();
}

void RotatorLink::pollTick() {
    // One poll at a time: a tick while a command or the poll is under way
    // waits for the next one.
    if (!addressOk_) return;
    pollWanted_ = true;
    if (state_ == State::Idle) next();
}

void RotatorLink::next() {
    if (!waiting_ && !pollWanted_) return;
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
    if (waiting_) {
        inFlight_ = std::move(*waiting_);
        waiting_.reset();
    } else if (pollWanted_) {
        pollWanted_ = false;
        inFlight_ = Command{azlink::RotctldPosition(), std::nullopt, true};
        ++pollsSent_;
    } else {
        state_ = State::Idle;
        timer_->stop();
        return;
    }
    numbersRead_ = 0;
    state_ = State::Waiting;
    timer_->start();
    socket_->write(inFlight_.text.data(), static_cast<qint64>(inFlight_.text.size()));
}

void RotatorLink::readReplies() {
    while (socket_->canReadLine()) {
        const QByteArray line = socket_->readLine(azlink::MaxAnswerBytes);
        if (state_ != State::Waiting) continue;
        const azlink::RotctldLine r = azlink::ParseRotctldLine(line.toStdString());
        if (r.kind == azlink::RotctldLine::Kind::Report) {
            answered(r.code == 0, r.code);
        } else if (r.kind == azlink::RotctldLine::Kind::Number && inFlight_.position) {
            // Azimuth, then elevation: the second line ends the answer.
            if (numbersRead_++ == 0) {
                double h = std::fmod(r.value, 360.0);
                if (h < 0) h += 360.0;
                if (h >= 360.0) h = 0;
                setHeading(h);
                emit headingReported(h);
            } else {
                answered(true, 0);
            }
        }
        if (state_ == State::Idle && !waiting_ && !pollWanted_) break;
    }
    // A line too long for an answer is no answer.
    if (socket_->bytesAvailable() > 4096) fail(Problem::NoAnswer, address_);
}

void RotatorLink::answered(bool ok, int code) {
    timer_->stop();
    state_ = State::Idle;
    if (ok) {
        reported_ = false;
        if (inFlight_.azimuth) emit turned(*inFlight_.azimuth);
    } else {
        fail(Problem::Error, QString::number(code), true);
    }
    next();
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
        // The command that did not get through is tried again with the next
        // poll or replaced by the next command; a poll is simply asked again.
        if (state_ != State::Idle && !inFlight_.position && !waiting_ && !inFlight_.text.empty())
            waiting_ = inFlight_;
        state_ = State::Idle;
        setHeading(std::nullopt);
    }
    inFlight_ = Command{};
    emit problem(p, detail);
    if (reported_) return;
    reported_ = true;
    if (failed) failed(p, detail);
}

void RotatorLink::setHeading(std::optional<double> h) {
    if (h == heading_) return;
    heading_ = h;
    if (headingChanged) headingChanged(h);
}
