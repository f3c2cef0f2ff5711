// The two UDP rotator channels and the switch that holds the chosen channel.
// - PstRotatorLink: PstRotator-style datagrams to HOST:PORT (default 12000);
//   answers "AZ:123" arrive on PORT + 1, where it listens while watched and
//   asks "<PST>AZ?</PST>" about once a second.
// - N1mmRotatorLink: N1MM-style rotor datagrams to HOST:PORT (default
//   12040) for the rotor NAME; while watched it listens for the heading
//   broadcast on 13010 (shared with other programs: SO_REUSEADDR).
// - RotatorSwitch: the RotatorPort the program uses; setup() creates the
//   channel of the chosen kind and hands it every later call.
// Nothing here waits: host names are looked up in the background and the
// last command waits for the answer.
#pragma once

#include "app/Platform.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <string>

class QTimer;
class QUdpSocket;

// Sends datagrams to one HOST:PORT, looking a host name up first.
class UdpPeer : public QObject {
    Q_OBJECT
  public:
    explicit UdpPeer(QObject* parent = nullptr);
    // Host and port; a change drops the datagram that waits for a lookup.
    void setTarget(const QString& host, quint16 port);
    // Sends now, or after the lookup (only the last datagram waits).
    void send(const std::string& datagram);
    quint16 port() const { return port_; }
    // Datagrams sent (tests, benchmarks).
    int sent() const { return sent_; }

  signals:
    // The host name has no address.
    void unreachable();

  private:
    void write(const std::string& datagram);
    QUdpSocket* socket_ = nullptr;
    QString host_;
    quint16 port_ = 0;
    QHostAddress address_;
    bool lookingUp_ = false;
    int lookupId_ = -1;
    std::optional<std::string> waiting_;
    int sent_ = 0;
};

class PstRotatorLink : public QObject, public RotatorPort {
    Q_OBJECT
  public:
    // `silentPolls`: unanswered queries before "no answer" is reported.
    explicit PstRotatorLink(QObject* parent = nullptr, int pollMs = 1000, int silentPolls = 3);
    void setup(const RotatorSetup& setup) override;
    void turn(int azimuth) override;
    void stop() override;
    void park(std::optional<int> azimuth) override;
    void watch(bool on) override;
    UdpPeer& peer() { return *peer_; }

  signals:
    void headingReported(double heading);

  private:
    void command(const std::string& datagram);
    bool listen();
    void readAnswers();
    void pollTick();
    void report(Problem p, const QString& detail);
    void setHeading(std::optional<double> h);

    UdpPeer* peer_ = nullptr;
    QUdpSocket* answers_ = nullptr;
    QTimer* poll_ = nullptr;
    QString address_;
    bool addressOk_ = false;
    int silentPolls_ = 3;
    int unanswered_ = 0;
    bool reported_ = false;
    std::optional<double> heading_;
};

class N1mmRotatorLink : public QObject, public RotatorPort {
    Q_OBJECT
  public:
    explicit N1mmRotatorLink(QObject* parent = nullptr, quint16 headingPort = 13010);
    void setup(const RotatorSetup& setup) override;
    void turn(int azimuth) override;
    void stop() override;
    void park(std::optional<int> azimuth) override;
    void watch(bool on) override;
    UdpPeer& peer() { return *peer_; }

  signals:
    void headingReported(double heading);

  private:
    void command(const std::string& datagram);
    void readBroadcasts();
    void report(Problem p, const QString& detail);

    UdpPeer* peer_ = nullptr;
    QUdpSocket* broadcasts_ = nullptr;
    quint16 headingPort_;
    QString address_;
    std::string name_;
    bool addressOk_ = false;
    bool reported_ = false;
    std::optional<double> heading_;
};

class RotatorSwitch : public QObject, public RotatorPort {
    Q_OBJECT
  public:
    // The N1MM-style heading port and the rotctld time limit can be chosen
    // for tests.
    explicit RotatorSwitch(QObject* parent = nullptr, quint16 n1mmHeadingPort = 13010,
                           int timeoutMs = 2000);
    ~RotatorSwitch() override;
    void setup(const RotatorSetup& setup) override;
    void turn(int azimuth) override;
    void stop() override;
    void park(std::optional<int> azimuth) override;
    void watch(bool on) override;
    // The channel in use (null before the first setup).
    RotatorPort* channel() const { return channel_.get(); }
    QObject* channelObject() const { return object_; }

  private:
    std::unique_ptr<RotatorPort> channel_;
    QObject* object_ = nullptr;
    QString kind_;
    bool watching_ = false;
    quint16 n1mmHeadingPort_;
    int timeoutMs_;
};
