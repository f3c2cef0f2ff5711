// korvanta-spots: the live stations a DX cluster and an FT8 program report,
// placed and measured as the viewer's spot layer does, one tab-separated
// line per spot, for scripts. No windows.
#include "app/OptionArgs.h"
#include "dxlists/CtyDat.h"
#include "live/ClusterClient.h"
#include "live/ClusterLine.h"
#include "live/Endpoint.h"
#include "live/Locator.h"
#include "live/Placement.h"
#include "live/SpotFeed.h"
#include "live/UdpListener.h"
#include "live/Wsjtx.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <string>

namespace {

constexpr const char* Usage =
    "Usage: korvanta-spots [--cluster HOST:PORT --login CALL] [--wsjtx [GROUP:]PORT] [--from "
    "LOCATOR] "
    "[--for SECONDS] [--cty FILE]\n"
    "Prints the live stations that a DX cluster node and an FT8 program report,\n"
    "one line per spot as it arrives, placed as Korvanta's map places them.\n"
    "Fields, separated by TAB: UTC time of receipt, source (cluster, ft8, wspr),\n"
    "spotter, frequency in kHz, band, call, entity, latitude, longitude, bearing\n"
    "and distance in km from LOCATOR (short path), comment. Unknown values are\n"
    "empty fields.\n"
    "\n"
    "  --cluster HOST:PORT  the DX cluster node to connect to (telnet, e.g.\n"
    "                       dxc.example.org:7300)\n"
    "  --login CALL         the call sign sent after the node's login prompt\n"
    "  --wsjtx [GROUP:]PORT the FT8 program's UDP messages: a port of this\n"
    "                       machine (2237) or a multicast group and port\n"
    "                       (239.255.0.1:2237)\n"
    "  --from LOCATOR       where bearings and distances are measured from: a\n"
    "                       four- or six-character Maidenhead locator\n"
    "  --for SECONDS        stop after this many seconds (default: run until\n"
    "                       the cluster closes, or until interrupted)\n"
    "  --cty FILE           the country file (default\n"
    "                       /usr/share/hamradio-files/cty.dat when present;\n"
    "                       without one, calls are placed by the built-in list)\n"
    "  -h, --help           show this text\n"
    "\n"
    "Options take their value as the next argument or after '=' (--for=60).\n"
    "A spot is placed at the locator its source gives, else at the country\n"
    "file's position of the call, else at the built-in list's row.\n"
    "Exit status: 0 at the end of --for or when the cluster closes; 2 on bad\n"
    "arguments or a country file that cannot be read; 3 when no source can be\n"
    "reached (the cluster refuses or does not answer, the UDP port cannot be\n"
    "opened).\n";

constexpr const char* DefaultCty = "/usr/share/hamradio-files/cty.dat";

int Fail(const std::string& text) {
    std::fprintf(stderr, "korvanta-spots: %s\n", text.c_str());
    return 2;
}

void Warn(const QString& text) {
    std::fprintf(stderr, "korvanta-spots: %s\n", text.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv) {
    std::optional<std::string> cluster, login, wsjtx, from, cty, forSeconds;
    for (int i = 1; i < argc; ++i) {
        const cli::OptionArg option = cli::SplitOption(argv[i]);
        const std::string& arg = option.name;
        auto take = [&] { return cli::OptionValue(option, i, argc, argv); };
        std::optional<std::string>* slot = nullptr;
        if (arg == "-h" || arg == "--help") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg == "--cluster") {
            slot = &cluster;
        } else if (arg == "--login") {
            slot = &login;
        } else if (arg == "--wsjtx") {
            slot = &wsjtx;
        } else if (arg == "--from") {
            slot = &from;
        } else if (arg == "--cty") {
            slot = &cty;
        } else if (arg == "--for") {
            slot = &forSeconds;
        } else {
            return Fail("unknown argument " + arg + " (see --help)");
        }
        *slot = take();
        if (!*slot || (*slot)->empty()) return Fail(arg + " needs a value (see --help)");
    }

    std::optional<live::HostPort> node;
    if (cluster) {
        node = live::ParseHostPort(*cluster);
        if (!node) return Fail("--cluster needs HOST:PORT, not " + *cluster);
        if (!login) return Fail("--cluster needs --login CALL");
        for (char c : *login)
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                  c == '/' || c == '-') ||
                login->size() > 16)
                return Fail("--login needs a call sign, not " + *login);
    } else if (login) {
        return Fail("--login goes with --cluster");
    }
    std::optional<live::UdpEndpoint> udp;
    if (wsjtx) {
        udp = live::ParseUdpEndpoint(*wsjtx);
        if (!udp) return Fail("--wsjtx needs PORT or GROUP:PORT, not " + *wsjtx);
    }
    if (!node && !udp) return Fail("nothing to listen to: give --cluster or --wsjtx (see --help)");
    live::Placer placer;
    if (from) {
        const auto p = live::LocatorCentre(*from);
        if (!p) return Fail("not a four- or six-character locator: " + *from);
        placer.SetCentre(p->lat, p->lon);
    }
    int seconds = 0;
    if (forSeconds) {
        const std::string& t = *forSeconds;
        bool digits = !t.empty() && t.size() <= 7;
        for (char c : t)
            digits = digits && c >= '0' && c <= '9';
        if (!digits || std::stoi(t) < 1)
            return Fail("--for needs a number of seconds (1 to 9999999)");
        seconds = std::stoi(t);
    }
    std::optional<dx::CtyDatabase> db;
    if (cty || QFile::exists(QString::fromLatin1(DefaultCty))) {
        const std::string path = cty ? *cty : DefaultCty;
        dx::CtyError error;
        db = dx::CtyDatabase::Load(path, error);
        if (!db) return Fail(path + ": " + dx::DescribeCtyError(error));
        placer.SetCountryFile(&*db);
    }

    QCoreApplication app(argc, argv);
    const bool measured = from.has_value();
    auto print = [&](live::Spot s) {
        placer.Place(s);
        std::printf("%s\n", live::SpotTsv(s, measured).c_str());
        std::fflush(stdout);
    };

    bool udpOpen = false;
    live::UdpListener listener;
    live::WsjtxSpotter spotter;
    if (udp) {
        QString error;
        udpOpen = listener.Start(*udp, &error);
        if (!udpOpen) {
            Warn(QStringLiteral("cannot listen on %1: %2")
                     .arg(QString::fromStdString(*wsjtx), error));
            if (!node) return 3;
        }
        QObject::connect(&listener, &live::UdpListener::datagramReceived, [&](const QByteArray& d) {
            live::WsjtxMessage m;
            if (live::ReadWsjtx(reinterpret_cast<const std::uint8_t*>(d.constData()),
                                static_cast<std::size_t>(d.size()), m) != live::WsjtxResult::Ok)
                return;
            if (auto s = spotter.Take(m, QDateTime::currentMSecsSinceEpoch())) print(*s);
        });
    }

    live::ClusterClient client;
    bool everConnected = false;
    if (node) {
        QObject::connect(&client, &live::ClusterClient::lineReceived, [&](const QByteArray& line) {
            const live::ClusterLine r = live::ReadClusterLine(
                std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
            if (r.kind == live::ClusterLineKind::Spot)
                print(live::SpotFromCluster(r.spot, QDateTime::currentMSecsSinceEpoch()));
        });
        QObject::connect(&client, &live::ClusterClient::connectedToNode,
                         [&] { everConnected = true; });
        QObject::connect(&client, &live::ClusterClient::closedByNode, [&] { app.exit(0); });
        QObject::connect(&client, &live::ClusterClient::failed, [&](const QString& detail) {
            Warn(QStringLiteral("cluster %1: %2").arg(QString::fromStdString(*cluster), detail));
            if (everConnected)
                app.exit(0);
            else if (!udpOpen)
                app.exit(3);
        });
        live::ClusterClient::Options o;
        o.host = QString::fromStdString(node->host);
        o.port = node->port;
        o.call = QString::fromStdString(*login).toUpper();
        o.reconnect = false;
        // Started from the event loop, so that an early failure can end it.
        QTimer::singleShot(0, &client, [&client, o] { client.Start(o); });
    }
    if (seconds > 0) QTimer::singleShot(seconds * 1000LL, &app, [&] { app.exit(0); });
    return app.exec();
}
