#include "link/RotatorChannels.h"

#include "link/LinkProtocol.h"
#include "link/RotatorLink.h"
#include "link/RotatorProtocol.h"

#include <QHostInfo>
#include <QTimer>
#include <QUdpSocket>

namespace {

// Datagrams longer than this are cut (and then fail to parse).
constexpr qint64 MaxDatagram = 2048;
// Datagrams read per wake-up: a flood waits for the next turn of the event loop.
constexpr int MaxDatagramsPerRead = 64;

// Reads the pending datagrams (bounded) and hands each to `f`.
template <typename F> void ReadDatagrams(QUdpSocket* s, F f) {
    char buffer[MaxDatagram];
    for (int i = 0; i < MaxDatagramsPerRead && s->hasPendingDatagrams(); ++i) {
        const qint64 n = s->readDatagram(buffer, sizeof buffer);
        if (n < 0) break;
        f(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
    if (s->hasPendingDatagrams()) QTimer::singleShot(0, s, [s] { emit s->readyRead(); });
}

// A UDP socket on `port` of every IPv4 address, shared with other programs.
bool BindShared(QUdpSocket* s, quint16 port) {
    if (s->state() == QAbstractSocket::BoundState && s->localPort() == port) return true;
    s->abort();
    return s->bind(QHostAddress::AnyIPv4, port,
                   QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
}

QString Normal(const std::string& host) {
    return QString::fromStdString(host);
}

} // namespace

// ---------------------------------------------------------------------------

UdpPeer::UdpPeer(QObject* parent) : QObject(parent) {
    socket_ = new QUdpSocket(this);
}

void UdpPeer::setTarget(const QString& host, quint16 port) {
    if (host == host_ && port == port_) return;
    host_ = host;
    port_ = port;
    waiting_.reset();
    if (lookingUp_) QHostInfo::abortHostLookup(lookupId_);
    lookingUp_ = false;
    address_ = QHostAddress();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        address_ = QHostAddress(QHostAddress::LocalHost);
    else
        address_ = QHostAddress(host);
}

void UdpPeer::send(const std::string& datagram) {
    if (!address_.isNull()) {
        write(datagram);
        return;
    }
    waiting_ = datagram;
    if (lookingUp_) return;
    lookingUp_ = true;
    lookupId_ = QHostInfo::lookupHost(host_, this, [this](const QHostInfo& info) {
        lookingUp_ = false;
        for (const QHostAddress& a : info.addresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                address_ = a;
                break;
            }
        if (address_.isNull()) {
            waiting_.reset();
            emit unreachable();
            return;
        }
        if (waiting_) {
            const std::string d = *waiting_;
            waiting_.reset();
            write(d);
        }
    });
}

void UdpPeer::write(const std::string& datagram) {
    ++sent_;
    socket_->writeDatagram(datagram.data(), static_cast<qint64>(datagram.size()), address_, port_);
}

// ---------------------------------------------------------------------------

PstRotatorLink::PstRotatorLink(QObject* parent, int pollMs, int silentPolls)
    : QObject(parent), silentPolls_(silentPolls) {
    peer_ = new UdpPeer(this);
    answers_ = new QUdpSocket(this);
    poll_ = new QTimer(this);
    poll_->setInterval(pollMs);
    poll_->setTimerType(Qt::CoarseTimer);
    connect(poll_, &QTimer::timeout, this, &PstRotatorLink::pollTick);
    connect(answers_, &QUdpSocket::readyRead, this, &PstRotatorLink::readAnswers);
    connect(peer_, &UdpPeer::unreachable, this, [this] { report(Problem::Unreachable, address_); });
}

void PstRotatorLink::setup(const RotatorSetup& s) {
    const auto hp = azlink::ParseHostPort(s.address.toStdString(),
                                          azlink::DefaultPort(azlink::RotatorKind::Pst));
    if (s.address != address_) {
        reported_ = false;
        unanswered_ = 0;
        setHeading(std::nullopt);
    }
    address_ = s.address;
    addressOk_ = hp && hp->port < 65535; // the answers come on port + 1
    if (!addressOk_) return;
    peer_->setTarget(Normal(hp->host), static_cast<quint16>(hp->port));
    if (poll_->isActive()) listen();
}

void PstRotatorLink::command(const std::string& datagram) {
    if (!addressOk_) {
        report(Problem::BadAddress, address_);
        return;
    }
    peer_->send(datagram);
}

void PstRotatorLink::turn(int azimuth) {
    command(azlink::PstTurn(azlink::WholeAzimuth(azimuth) * 10));
}

void PstRotatorLink::stop() {
    command(azlink::PstStop());
}

void PstRotatorLink::park(std::optional<int> azimuth) {
    if (azimuth)
        turn(*azimuth);
    else
        command(azlink::PstPark());
}

bool PstRotatorLink::listen() {
    const quint16 port = static_cast<quint16>(peer_->port() + 1);
    if (BindShared(answers_, port)) return true;
    report(Problem::NoListen, QString::number(port));
    return false;
}

void PstRotatorLink::watch(bool on) {
    if (!on) {
        poll_->stop();
        answers_->abort();
        unanswered_ = 0;
        setHeading(std::nullopt);
        return;
    }
    if (poll_->isActive()) return;
    poll_->start();
    if (addressOk_ && listen()) pollTick();
}

void PstRotatorLink::pollTick() {
    if (!addressOk_) return;
    if (answers_->state() != QAbstractSocket::BoundState && !listen()) return;
    if (++unanswered_ > silentPolls_) {
        setHeading(std::nullopt);
        report(Problem::NoAnswer, address_);
    }
    peer_->send(azlink::PstQuery());
}

void PstRotatorLink::readAnswers() {
    ReadDatagrams(answers_, [this](std::string_view d) {
        if (const auto h = azlink::ParsePstAnswer(d)) {
            unanswered_ = 0;
            reported_ = false;
            setHeading(*h);
            emit headingReported(*h);
        }
    });
}

void PstRotatorLink::report(Problem p, const QString& detail) {
    if (reported_) return;
    reported_ = true;
    if (failed) failed(p, detail);
}

void PstRotatorLink::setHeading(std::optional<double> h) {
    if (h == heading_) return;
    heading_ = h;
    if (headingChanged) headingChanged(h);
}

// ---------------------------------------------------------------------------

N1mmRotatorLink::N1mmRotatorLink(QObject* parent, quint16 headingPort)
    : QObject(parent), headingPort_(headingPort) {
    peer_ = new UdpPeer(this);
    broadcasts_ = new QUdpSocket(this);
    connect(broadcasts_, &QUdpSocket::readyRead, this, &N1mmRotatorLink::readBroadcasts);
    connect(peer_, &UdpPeer::unreachable, this, [this] { report(Problem::Unreachable, address_); });
}

void N1mmRotatorLink::setup(const RotatorSetup& s) {
    const auto hp = azlink::ParseHostPort(s.address.toStdString(),
                                          azlink::DefaultPort(azlink::RotatorKind::N1mm));
    if (s.address != address_ || s.name.toStdString() != name_) {
        reported_ = false;
        if (heading_ && headingChanged) headingChanged(std::nullopt);
        heading_.reset();
    }
    address_ = s.address;
    name_ = s.name.toStdString();
    addressOk_ = hp.has_value();
    if (hp) peer_->setTarget(Normal(hp->host), static_cast<quint16>(hp->port));
}

void N1mmRotatorLink::command(const std::string& datagram) {
    if (!addressOk_) {
        report(Problem::BadAddress, address_);
        return;
    }
    peer_->send(datagram);
}

void N1mmRotatorLink::turn(int azimuth) {
    command(azlink::N1mmTurn(name_, azlink::WholeAzimuth(azimuth) * 10));
}

void N1mmRotatorLink::stop() {
    command(azlink::N1mmStop(name_));
}

void N1mmRotatorLink::park(std::optional<int> azimuth) {
    if (azimuth)
        turn(*azimuth);
    else
        report(Problem::NoPark, address_);
}

void N1mmRotatorLink::watch(bool on) {
    if (!on) {
        broadcasts_->abort();
        if (heading_ && headingChanged) headingChanged(std::nullopt);
        heading_.reset();
        return;
    }
    if (!BindShared(broadcasts_, headingPort_))
        report(Problem::NoListen, QString::number(headingPort_));
}

void N1mmRotatorLink::readBroadcasts() {
    ReadDatagrams(broadcasts_, [this](std::string_view d) {
        const auto h = azlink::ParseN1mmHeading(d);
        if (!h || !azlink::SameRotorName(name_, h->name)) return;
        reported_ = false;
        emit headingReported(h->heading);
        if (heading_ == h->heading) return;
        heading_ = h->heading;
        if (headingChanged) headingChanged(heading_);
    });
}

void N1mmRotatorLink::report(Problem p, const QString& detail) {
    if (reported_) return;
    reported_ = true;
    if (failed) failed(p, detail);
}

// ---------------------------------------------------------------------------

RotatorSwitch::RotatorSwitch(QObject* parent, quint16 n1mmHeadingPort, int timeoutMs)
    : QObject(parent), n1mmHeadingPort_(n1mmHeadingPort), timeoutMs_(timeoutMs) {}

RotatorSwitch::~RotatorSwitch() = default;

void RotatorSwitch::setup(const RotatorSetup& s) {
    const azlink::RotatorKind kind =
        azlink::RotatorKindFromText(s.kind.toStdString()).value_or(azlink::RotatorKind::Rotctld);
    const QString kindText = QString::fromStdString(azlink::RotatorKindText(kind));
    if (!channel_ || kindText != kind_) {
        if (channel_) {
            channel_->watch(false);
            channel_->failed = nullptr;
            channel_->headingChanged = nullptr;
        }
        channel_.reset();
        object_ = nullptr;
        switch (kind) {
        case azlink::RotatorKind::Pst: {
            auto* c = new PstRotatorLink();
            object_ = c;
            channel_.reset(c);
            break;
        }
        case azlink::RotatorKind::N1mm: {
            auto* c = new N1mmRotatorLink(nullptr, n1mmHeadingPort_);
            object_ = c;
            channel_.reset(c);
            break;
        }
        case azlink::RotatorKind::Rotctld: {
            auto* c = new RotatorLink(nullptr, timeoutMs_);
            object_ = c;
            channel_.reset(c);
            break;
        }
        }
        kind_ = kindText;
        // The callbacks read the switch's at each call, so a later
        // assignment to `failed` or `headingChanged` counts.
        channel_->failed = [this](Problem p, const QString& d) {
            if (failed) failed(p, d);
        };
        channel_->headingChanged = [this](std::optional<double> h) {
            if (headingChanged) headingChanged(h);
        };
        channel_->setup(s);
        if (watching_) channel_->watch(true);
        return;
    }
    channel_->setup(s);
}

void RotatorSwitch::turn(int azimuth) {
    if (channel_) channel_->turn(azimuth);
}
void RotatorSwitch::stop() {
    if (channel_) channel_->stop();
}
void RotatorSwitch::park(std::optional<int> azimuth) {
    if (channel_) channel_->park(azimuth);
}
void RotatorSwitch::watch(bool on) {
    watching_ = on;
    if (channel_) channel_->watch(on);
}
