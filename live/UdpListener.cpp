#include "live/UdpListener.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

namespace live {

UdpListener::UdpListener(QObject* parent) : QObject(parent) {}

UdpListener::~UdpListener() {
    Stop();
}

bool UdpListener::Start(const UdpEndpoint& endpoint, QString* error) {
    Stop();
    const QHostAddress address(QString::fromStdString(endpoint.address));
    if (address.isNull()) {
        if (error)
            *error =
                QStringLiteral("not an address: %1").arg(QString::fromStdString(endpoint.address));
        return false;
    }
    socket_ = new QUdpSocket(this);
    const auto mode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    const QHostAddress bindTo = endpoint.multicast ? QHostAddress(QHostAddress::AnyIPv4) : address;
    bool ok = socket_->bind(bindTo, endpoint.port, mode);
    if (ok && endpoint.multicast) ok = socket_->joinMulticastGroup(address);
    if (!ok) {
        if (error) *error = socket_->errorString();
        delete socket_;
        socket_ = nullptr;
        return false;
    }
    connect(socket_, &QUdpSocket::readyRead, this, &UdpListener::ReadSome);
    return true;
}

void UdpListener::Stop() {
    if (!socket_) return;
    socket_->disconnect(this);
    socket_->close();
    socket_->deleteLater();
    socket_ = nullptr;
}

bool UdpListener::listening() const {
    return socket_ != nullptr;
}

quint16 UdpListener::localPort() const {
    return socket_ ? socket_->localPort() : 0;
}

void UdpListener::ReadSome() {
    readScheduled_ = false;
    for (int i = 0; i < MaxPerTurn && socket_ && socket_->hasPendingDatagrams(); ++i) {
        const QNetworkDatagram d = socket_->receiveDatagram(MaxDatagram);
        if (d.isValid()) emit datagramReceived(d.data());
    }
    if (socket_ && socket_->hasPendingDatagrams() && !readScheduled_) {
        readScheduled_ = true;
        QTimer::singleShot(0, this, &UdpListener::ReadSome);
    }
}

} // namespace live
