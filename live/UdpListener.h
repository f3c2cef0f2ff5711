// Listens for an FT8 program's datagrams on a UDP port of this machine or a
// multicast group (the port shared with other listeners). Hands each
// datagram up as bytes; at most MaxPerTurn datagrams per turn of the event
// loop, so a flood does not hold the window.
#pragma once

#include "live/Endpoint.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QUdpSocket;

namespace live {

class UdpListener : public QObject {
    Q_OBJECT
  public:
    static constexpr int MaxDatagram = 64 * 1024;
    static constexpr int MaxPerTurn = 500;

    explicit UdpListener(QObject* parent = nullptr);
    ~UdpListener() override;

    // Opens the port (and joins the group); false with `error` when it cannot.
    bool Start(const UdpEndpoint& endpoint, QString* error);
    void Stop();
    bool listening() const;
    // The local port bound (useful when 0 was asked for in tests).
    quint16 localPort() const;

  signals:
    void datagramReceived(const QByteArray& datagram);

  private:
    void ReadSome();

    QUdpSocket* socket_ = nullptr;
    bool readScheduled_ = false;
};

} // namespace live
