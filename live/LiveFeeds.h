// The program's SpotFeeds (app/Platform.h): the cluster client and the UDP
// listener behind the platform, so windows never create sockets themselves.
#pragma once

#include "app/Platform.h"
#include "live/ClusterClient.h"
#include "live/UdpListener.h"

#include <QObject>

namespace live {

class LiveFeeds : public QObject, public SpotFeeds {
    Q_OBJECT
  public:
    explicit LiveFeeds(QObject* parent = nullptr);
    // Back-off bounds of the reconnection (tests shorten them).
    void SetRetry(int firstMs, int maxMs);

    void startCluster(const QString& host, quint16 port, const QString& call) override;
    void stopCluster() override;
    bool startUdp(const QString& endpoint, QString* error) override;
    void stopUdp() override;

    ClusterClient& cluster() { return cluster_; }
    UdpListener& udp() { return udp_; }

  private:
    ClusterClient cluster_;
    UdpListener udp_;
    int firstRetryMs_ = 2000;
    int maxRetryMs_ = 5 * 60000;
};

} // namespace live
