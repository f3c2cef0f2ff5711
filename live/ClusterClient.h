// The connection to a DX cluster node over TCP: logs in with the call when
// the node asks ("login:"), hands every line up, keeps the link alive and,
// when asked to, reconnects with a growing delay. Nothing here waits: the
// socket's signals and timers drive it from the event loop.
//
// Bounded whatever the node sends: a line longer than MaxLineBytes is cut
// (the rest up to its line end is dropped), at most ReadChunk bytes are
// taken per turn of the event loop (the rest on the next turn), so a flood
// neither grows memory nor holds the window.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

namespace live {

class ClusterClient : public QObject {
    Q_OBJECT
  public:
    static constexpr int MaxLineBytes = 1024;
    static constexpr int ReadChunk = 64 * 1024;

    struct Options {
        QString host;
        quint16 port = 7300;
        QString call;                    // sent after the login prompt
        bool reconnect = true;           // after a failure or a close, with back-off
        int connectTimeoutMs = 10000;    // a connection not made by then fails
        int keepAliveMs = 5 * 60000;     // an empty line after this much quiet
        int silenceLimitMs = 20 * 60000; // nothing heard for so long: the link is dead
        int firstRetryMs = 2000;         // back-off: doubles up to maxRetryMs
        int maxRetryMs = 5 * 60000;
    };

    explicit ClusterClient(QObject* parent = nullptr);
    ~ClusterClient() override;

    void Start(const Options& options);
    void Stop();
    bool connected() const;
    bool loggedIn() const { return loggedIn_; }
    // The delay before the next attempt (ms), 0 when none is waiting.
    int retryDelayMs() const;

  signals:
    // Every line, without its line end (control characters still in it).
    void lineReceived(const QByteArray& line);
    void connectedToNode();
    void loginSent();
    // The connection failed or was lost: detail is the socket's text.
    void failed(const QString& detail);
    // The node closed the connection.
    void closedByNode();

  private:
    void Connect();
    void ReadSome();
    void TakeBytes(const QByteArray& data);
    void Lost(bool byNode, const QString& detail);
    void KeepAlive();
    void SendLogin();

    Options options_;
    QTcpSocket* socket_ = nullptr;
    QTimer* connectTimer_ = nullptr;
    QTimer* retryTimer_ = nullptr;
    QTimer* keepAliveTimer_ = nullptr;
    QByteArray partial_;
    bool discarding_ = false; // inside a line longer than MaxLineBytes
    bool loggedIn_ = false;
    bool running_ = false;
    bool readScheduled_ = false;
    int nextDelayMs_ = 0;
    qint64 lastHeardMs_ = 0;
};

} // namespace live
