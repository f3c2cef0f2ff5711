// The link to Hamlib's rotctld over TCP: "P <az> 0" to turn, "S" to stop,
// "K" to park, "p" about once a second for the heading while watched. One
// command in flight; a newer turn, stop or park replaces one that still
// waits; a 2-second limit for the connection and for each answer. Nothing
// here waits: the socket's signals drive it from the event loop.
#pragma once

#include "app/Platform.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>

class QTcpSocket;
class QTimer;

class RotatorLink : public QObject, public RotatorPort {
    Q_OBJECT
  public:
    explicit RotatorLink(QObject* parent = nullptr, int timeoutMs = 2000, int pollMs = 1000);
    ~RotatorLink() override;

    void setup(const RotatorSetup& setup) override;
    void turn(int azimuth) override;
    void stop() override;
    void park(std::optional<int> azimuth) override;
    void watch(bool on) override;

    // Turns to the azimuth through rotctld at "host[:port]" (the address is
    // taken when it differs from the one in use).
    void turnTo(const QString& address, int azimuth);
    // A command is sent or waits for its answer.
    bool busy() const { return state_ != State::Idle; }
    // Connection attempts, commands and polls sent (for tests and benchmarks).
    int pollsSent() const { return pollsSent_; }

  signals:
    // rotctld accepted the azimuth (RPRT 0).
    void turned(int azimuth);
    // rotctld answered a position.
    void headingReported(double heading);
    // Every failure, also those not reported through `failed` again.
    void problem(RotatorPort::Problem problem, const QString& detail);

  private:
    enum class State { Idle, Connecting, Waiting };
    struct Command {
        std::string text;
        std::optional<int> azimuth; // a turn
        bool position = false;      // "p"
    };
    void queue(Command c);
    void next();
    void send();
    void readReplies();
    void socketError();
    void timedOut();
    void pollTick();
    void answered(bool ok, int code);
    void fail(Problem problem, const QString& detail, bool keepConnection = false);
    void setHeading(std::optional<double> h);

    QTcpSocket* socket_ = nullptr;
    QTimer* timer_ = nullptr;
    QTimer* poll_ = nullptr;
    QString address_;
    QString host_;
    quint16 port_ = 0;
    bool addressOk_ = false;
    State state_ = State::Idle;
    std::optional<Command> waiting_; // the turn, stop or park to send next
    bool pollWanted_ = false;
    Command inFlight_;
    int numbersRead_ = 0;   // lines of the position answer read
    bool reported_ = false; // a failure was told; quiet until the link works
    std::optional<double> heading_;
    int pollsSent_ = 0;
};
