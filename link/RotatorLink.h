// The link to Hamlib's rotctld over TCP: "P <az> 0" per bearing, one command
// in flight, a newer bearing replacing one that still waits, a 2-second limit
// for the connection and for each answer. Nothing here waits: the socket's
// signals drive it from the event loop.
#pragma once

#include "app/Platform.h"

#include <QObject>
#include <QString>

#include <optional>

class QTcpSocket;
class QTimer;

class RotatorLink : public QObject, public RotatorPort {
    Q_OBJECT
  public:
    explicit RotatorLink(QObject* parent = nullptr, int timeoutMs = 2000);
    ~RotatorLink() override;

    void turnTo(const QString& address, int azimuth) override;
    // A command is sent or waits for its answer.
    bool busy() const { return state_ != State::Idle; }

  signals:
    // rotctld accepted the azimuth (RPRT 0).
    void turned(int azimuth);
    // Every failure, also those not reported through `failed` again.
    void problem(RotatorPort::Problem problem, const QString& detail);

  private:
    enum class State { Idle, Connecting, Waiting };
    void next();
    void send();
    void readReplies();
    void socketError();
    void timedOut();
    void fail(Problem problem, const QString& detail, bool keepConnection = false);

    QTcpSocket* socket_ = nullptr;
    QTimer* timer_ = nullptr;
    QString address_;
    QString host_;
    quint16 port_ = 0;
    State state_ = State::Idle;
    std::optional<int> waiting_; // the azimuth to send next
    int inFlight_ = 0;
    bool reported_ = false; // a failure was told; quiet until the link works
};
