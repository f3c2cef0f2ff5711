// korvanta-link: reads the bearing that Korvanta publishes, for scripts and
// bridges; optionally turns a rotator through rotctld with each new value.
#include "link/LinkProtocol.h"
#include "link/RotatorLink.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitNoServer = 3;
constexpr int ExitProtocol = 4;
constexpr int ExitBusy = 5;
constexpr int ExitUntrusted = 6;

const char* const Help =
    "Usage: korvanta-link [--service NAME] get\n"
    "  or:  korvanta-link [--service NAME] follow [--watch] [--rotctld HOST[:PORT]]\n"
    "\n"
    "Reads the bearing (whole degrees) that Korvanta publishes on its local\n"
    "azimuth server.\n"
    "\n"
    "  get                    print the current value (digits, or nothing) and exit\n"
    "  follow                 print each published value on its own line as it\n"
    "                         arrives. This holds a conversation with Korvanta:\n"
    "                         while it runs, Korvanta refuses to close and asks to\n"
    "                         disconnect the application. It ends with Ctrl-C, or\n"
    "                         when Korvanta's server goes away.\n"
    "  --watch                with follow: subscribe without a conversation, so\n"
    "                         Korvanta closes as usual; follow then ends (status 0)\n"
    "  --rotctld HOST[:PORT]  with follow: also turn the rotator served by Hamlib's\n"
    "                         rotctld (default port 4533) to each value\n"
    "  --service NAME         the service of a renamed program (default: korvanta)\n"
    "  --help                 this text\n"
    "\n"
    "Exit status: 0 done, 2 wrong usage, 3 no server running, 4 the server\n"
    "answered something unexpected, 5 the server is busy (too many connections),\n"
    "6 the socket's folder is not private to the user (another user may have\n"
    "made it), so nothing is read from it.\n";

void Error(const std::string& text) {
    std::fprintf(stderr, "korvanta-link: %s\n", text.c_str());
}

void Print(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Reads messages until `want` of them came (blocking: the tool does nothing else).
bool ReadMessages(QLocalSocket& socket, azlink::ReplyReader& reader,
                  std::vector<azlink::ServerMessage>& out, std::size_t want) {
    while (out.size() < want) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(5000)) return false;
        const QByteArray data = socket.readAll();
        if (!reader.feed(std::string_view(data.constData(), data.size()), out)) return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    QString service = QStringLiteral("korvanta");
    QString rotctld;
    QString command;
    bool watch = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(Help, stdout);
            return 0;
        }
        if (a == QLatin1String("--watch")) {
            watch = true;
            continue;
        }
        if (a == QLatin1String("--service") || a == QLatin1String("--rotctld")) {
            if (i + 1 >= args.size()) {
                Error(a.toStdString() + " needs a value (see --help)");
                return ExitUsage;
            }
            (a == QLatin1String("--service") ? service : rotctld) = args[++i];
            continue;
        }
        if (command.isEmpty() && (a == QLatin1String("get") || a == QLatin1String("follow"))) {
            command = a;
            continue;
        }
        Error("unexpected argument \"" + a.toStdString() + "\" (see --help)");
        return ExitUsage;
    }
    if (command.isEmpty()) {
        Error("say get or follow (see --help)");
        return ExitUsage;
    }
    if (service.isEmpty() || service.contains(QLatin1Char('/'))) {
        Error("the service is a plain name, such as korvanta");
        return ExitUsage;
    }
    if (watch && command != QLatin1String("follow")) {
        Error("--watch goes with follow");
        return ExitUsage;
    }
    if (!rotctld.isEmpty() && command != QLatin1String("follow")) {
        Error("--rotctld goes with follow");
        return ExitUsage;
    }
    if (!rotctld.isEmpty() && !azlink::ParseHostPort(rotctld.toStdString())) {
        Error("--rotctld takes HOST or HOST:PORT, for example localhost:4533");
        return ExitUsage;
    }
    if (!rotctld.isEmpty() && !rotctld.contains(QLatin1Char(':')))
        rotctld += QStringLiteral(":%1").arg(azlink::DefaultRotatorPort);

    const azlink::SocketPlace place = azlink::SocketPlaceFor(service.toStdString());
    // The server's own checks: a folder that is not the user's private one
    // may hold a stranger's socket, whose values must not turn a rotator.
    struct stat folder {};
    if (::lstat(place.folder.c_str(), &folder) == 0) {
        if (const auto problem = azlink::CheckSocketFolder(place, ::getuid())) {
            Error("not reading " + place.path + ": " + *problem);
            return ExitUntrusted;
        }
    }
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(place.path));
    if (!socket.waitForConnected(2000)) {
        Error("no Korvanta server is running (nothing answers at " + place.path + ")");
        return ExitNoServer;
    }

    azlink::ReplyReader reader;
    std::vector<azlink::ServerMessage> messages;
    using Kind = azlink::ServerMessage::Kind;
    auto isOk = [](const azlink::ServerMessage& m) {
        return m.kind == Kind::Line && m.text == "OK";
    };
    // Every place taken: the server says so and closes the connection.
    auto unexpected = [&] {
        if (!messages.empty() && messages[0].kind == Kind::Line &&
            messages[0].text == azlink::BusyLine) {
            Error("the Korvanta server is busy (too many connections); try again later");
            return ExitBusy;
        }
        Error("the server did not answer as expected");
        return ExitProtocol;
    };

    if (command == QLatin1String("get")) {
        socket.write("CONNECT Data\nREQUEST Azimuth CF_TEXT\nDISCONNECT\n");
        if (!ReadMessages(socket, reader, messages, 3) || !isOk(messages[0]) ||
            messages[1].kind != Kind::Data)
            return unexpected();
        const std::string digits = azlink::ValueDigits(messages[1].text);
        if (!digits.empty()) Print(digits);
        return 0;
    }

    // follow
    // A watch is one answer (no conversation); a conversation is two.
    const std::size_t answers = watch ? 1 : 2;
    socket.write(watch ? "WATCH Azimuth CF_TEXT\n" : "CONNECT Data\nADVISE Azimuth CF_TEXT\n");
    if (!ReadMessages(socket, reader, messages, answers) || !isOk(messages[0]) ||
        !isOk(messages[answers - 1])) {
        return unexpected();
    }
    RotatorLink* rotator = nullptr;
    if (!rotctld.isEmpty()) {
        rotator = new RotatorLink(&app);
        rotator->failed = [](RotatorPort::Problem p, const QString& detail) {
            switch (p) {
            case RotatorPort::Problem::Unreachable:
                Error("rotator: no connection to " + detail.toStdString());
                break;
            case RotatorPort::Problem::NoAnswer:
                Error("rotator: " + detail.toStdString() + " does not answer");
                break;
            case RotatorPort::Problem::Error:
                Error("rotator: rotctld refused the azimuth (RPRT " + detail.toStdString() + ")");
                break;
            }
        };
    }
    int status = 0;
    auto handle = [&](const std::vector<azlink::ServerMessage>& ms) {
        for (const auto& m : ms) {
            if (m.kind != Kind::Advise) continue;
            const std::string digits = azlink::ValueDigits(m.text);
            Print(digits);
            if (rotator && !digits.empty() && digits.size() < 10 &&
                digits.find_first_not_of("0123456789") == std::string::npos)
                rotator->turnTo(rotctld, azlink::RotatorAzimuth(std::stoll(digits)));
        }
    };
    messages.erase(messages.begin(), messages.begin() + static_cast<std::ptrdiff_t>(answers));
    handle(messages);
    QObject::connect(&socket, &QLocalSocket::readyRead, &app, [&] {
        const QByteArray data = socket.readAll();
        std::vector<azlink::ServerMessage> ms;
        if (!reader.feed(std::string_view(data.constData(), data.size()), ms)) {
            Error("the server sent something unexpected");
            status = ExitProtocol;
            QCoreApplication::exit(status);
        }
        handle(ms);
    });
    QObject::connect(&socket, &QLocalSocket::disconnected, &app,
                     [&] { QCoreApplication::exit(status); });
    if (socket.state() != QLocalSocket::ConnectedState) return 0;
    return QCoreApplication::exec();
}
