#include "live/LiveFeeds.h"

#include "live/Endpoint.h"

namespace live {

LiveFeeds::LiveFeeds(QObject* parent) : QObject(parent) {
    connect(&cluster_, &ClusterClient::lineReceived, this, [this](const QByteArray& line) {
        if (clusterLine) clusterLine(line);
    });
    connect(&cluster_, &ClusterClient::connectedToNode, this, [this] {
        if (clusterState) clusterState(true, QString());
    });
    connect(&cluster_, &ClusterClient::failed, this, [this](const QString& detail) {
        if (clusterState) clusterState(false, detail);
    });
    connect(&cluster_, &ClusterClient::closedByNode, this, [this] {
        if (clusterState) clusterState(false, QStringLiteral("closed by the node"));
    });
    connect(&udp_, &UdpListener::datagramReceived, this, [this](const QByteArray& d) {
        if (datagram) datagram(d);
    });
}

void LiveFeeds::SetRetry(int firstMs, int maxMs) {
    firstRetryMs_ = firstMs;
    maxRetryMs_ = maxMs;
}

void LiveFeeds::startCluster(const QString& host, quint16 port, const QString& call) {
    ClusterClient::Options o;
    o.host = host;
    o.port = port;
    o.call = call;
    o.reconnect = true;
    o.firstRetryMs = firstRetryMs_;
    o.maxRetryMs = maxRetryMs_;
    cluster_.Start(o);
}

void LiveFeeds::stopCluster() {
    cluster_.Stop();
}

bool LiveFeeds::startUdp(const QString& endpoint, QString* error) {
    const auto e = ParseUdpEndpoint(endpoint.toStdString());
    if (!e) {
        if (error) *error = QStringLiteral("not a port or group:port: %1").arg(endpoint);
        return false;
    }
    return udp_.Start(*e, error);
}

void LiveFeeds::stopUdp() {
    udp_.Stop();
}

} // namespace live
