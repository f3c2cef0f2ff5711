// The version check against a real HTTP server on 127.0.0.1: how answers are
// read, the bounds of a download (time, size, redirects) and a whole check
// run through the program that leaves the user's own versions.txt alone.
#include "LocalHttpServer.h"
#include "ProgramRun.h"

#include "app/HttpDownload.h"
#include "app/UnitCarte.h"
#include "dialogs/UnitInfo.h"
#include "viewer/VersionCheck.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

using Kind = LocalHttpServer::Kind;
using Limits = Platform::DownloadLimits;

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The root of a port that was listened on and is closed again.
QString ClosedRoot() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const QString root = QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort());
    probe.close();
    return root;
}

// Through the real download, as the program does it.
std::string Fetch(const QString& url, const Limits& limits = {}) {
    return version::FetchPublishedVersion(
        version::ProgramKey, url.toStdString(), [&](const std::string& u, const std::string& f) {
            return HttpDownloadToFile(QString::fromStdString(u), QString::fromStdString(f), limits);
        });
}

} // namespace

class VersionServerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<QTemporaryDir> work;

    QString url(const char* path) const { return server->root() + QLatin1String(path); }

  private slots:
    void initTestCase() {
        // A proxy of the machine running the tests must not see the local server.
        for (const char* name : {"no_proxy", "NO_PROXY"}) {
            const QByteArray old = qgetenv(name);
            qputenv(name, old.isEmpty() ? QByteArray("127.0.0.1,localhost")
                                        : old + ",127.0.0.1,localhost");
        }
        server = std::make_unique<LocalHttpServer>();
        QVERIFY(server->listening());
        using S = LocalHttpServer;
        server->route("/silent", Kind::Silent);
        server->route("/endless", Kind::Endless);
        server->answer("/list", S::Response("pelmarin=1.4\r\nkorvanta=2.3.0\r\n"));
        // Whatever comes with a redirect is not part of the answer.
        server->answer("/moved", S::Redirect("/list", "korvanta=9.9.9\r\n"));
        server->answer("/r1", S::Redirect("/r2"));
        server->answer("/r2", S::Redirect("/r3"));
        server->answer("/r3", S::Redirect("/list"));
        server->answer("/r0", S::Redirect("/r1"));
        server->answer("/loop", S::Redirect("/loop"));
        server->answer("/tofile", S::Redirect("file:///etc/passwd"));
        server->answer("/toftp", S::Redirect("ftp://127.0.0.1/versions.txt"));
    }
    void init() {
        work = std::make_unique<QTemporaryDir>();
        QVERIFY(work->isValid());
    }

    // What is published in an answer, read from the real transfer.
    void publishedVersion_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("published");
        using S = LocalHttpServer;
        const auto row = [](const char* name, const QByteArray& raw, const char* published) {
            QTest::newRow(name) << raw << QString::fromUtf8(published);
        };
        row("one line", S::Response("korvanta=2.3.0"), "2.3.0");
        row("trailing blank kept", S::Response("korvanta=2.3.0 \n"), "2.3.0 ");
        row("CR LF lines", S::Response("pelmarin=1.4\r\nkorvanta=2.3.0\r\nx=1\r\n"), "2.3.0");
        row("LF lines", S::Response("pelmarin=1.4\nkorvanta=2.3.0\nx=1\n"), "2.3.0");
        row("CR lines", S::Response("pelmarin=1.4\rkorvanta=2.3.0\rx=1\r"), "2.3.0");
        row("other keys only", S::Response("xkorvanta=9.9.9\nKorvanta=9.9.9\nkorvanta =9\n"), "");
        row("= at the start", S::Response("=korvanta=9.9.9\nkorvanta=2.2.0\n"), "2.2.0");
        row("first line wins", S::Response("korvanta=2.3.0\nkorvanta=9.9.9\n"), "2.3.0");
        row("value after the first =", S::Response("korvanta==2.3.0\n"), "=2.3.0");
        row("empty value", S::Response("korvanta=\nkorvanta=2.3.0\n"), "");
        row("no key line", S::Response("pelmarin=1.4\r\ncartoon=3.0\r\n"), "");
        row("shorter than 3 bytes", S::Response("k="), "");
        row("empty answer", S::Response(""), "");
        row("< in the first 3 bytes", S::Response("ab<\nkorvanta=2.3.0\n"), "");
        row("html error page",
            S::Response("<html><body><h1>404 Not Found</h1>korvanta=9.9.9</body></html>",
                        "404 Not Found", "Content-Type: text/html\r\n"),
            "");
        row("status not looked at", S::Response("korvanta=2.3.0\n", "500 Internal Server Error"),
            "2.3.0");
        row("no length, ends at close",
            "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nkorvanta=2.3.0\n", "2.3.0");
        row("chunked",
            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
            "5\r\nkorva\r\n0A\r\nnta=2.3.0\n\r\n0\r\n\r\n",
            "2.3.0");
        // 64 KiB in all, then one byte more.
        row("the size bound itself",
            S::Response(QByteArray(64 * 1024 - 16, 'x') + "\nkorvanta=2.3.0\n"), "2.3.0");
        row("beyond the size bound",
            S::Response(QByteArray(64 * 1024 - 15, 'x') + "\nkorvanta=2.3.0\n"), "");
    }
    void publishedVersion() {
        QFETCH(QByteArray, raw);
        QFETCH(QString, published);
        server->answer("/index_fichiers/versions.txt", raw);
        const QString list = QString::fromStdString(
            version::VersionsUrl(version::SiteRoot(nullptr, server->root().toStdString())));
        QCOMPARE(QString::fromStdString(Fetch(list)), published);
        QCOMPARE(server->requests.last(), QByteArray("/index_fichiers/versions.txt"));
    }

    // Downloads that must fail, and return well within the default 10 s.
    void failures_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("timeoutMs");
        QTest::newRow("no server")
            << ClosedRoot() + QStringLiteral("index_fichiers/versions.txt") << Limits{}.timeoutMs;
        QTest::newRow("never answers") << url("silent") << 300;
        QTest::newRow("endless answer") << url("endless") << Limits{}.timeoutMs;
        QTest::newRow("redirect loop") << url("loop") << Limits{}.timeoutMs;
        QTest::newRow("four redirects") << url("r0") << Limits{}.timeoutMs;
        QTest::newRow("redirect to file:") << url("tofile") << Limits{}.timeoutMs;
        QTest::newRow("redirect to ftp:") << url("toftp") << Limits{}.timeoutMs;
        QTest::newRow("file: address")
            << QStringLiteral("file:///etc/passwd") << Limits{}.timeoutMs;
    }
    void failures() {
        QFETCH(QString, address);
        QFETCH(int, timeoutMs);
        Limits limits;
        limits.timeoutMs = timeoutMs;
        const QString file = work->filePath(QStringLiteral("answer"));
        QVERIFY(WriteFile(file, ""));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!HttpDownloadToFile(address, file, limits));
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        const QByteArray kept = ReadFile(file);
        QVERIFY(kept.size() <= limits.maxBytes);
        QVERIFY(!kept.contains("root:"));
        QVERIFY(!kept.contains("9.9.9"));
    }

    void redirects_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("one, its own body dropped") << url("moved");
        QTest::newRow("three in a row") << url("r1");
    }
    void redirects() {
        QFETCH(QString, address);
        const QString file = work->filePath(QStringLiteral("answer"));
        QVERIFY(WriteFile(file, "old contents, longer than the answer itself\n"));
        QVERIFY(HttpDownloadToFile(address, file, Limits{}));
        QCOMPARE(ReadFile(file), QByteArray("pelmarin=1.4\r\nkorvanta=2.3.0\r\n"));
        QCOMPARE(server->requests.last(), QByteArray("/list"));
    }

    // A whole run: the start-up check, then manual checks from the Info
    // window, with the user's own versions.txt in the program folder and in
    // the current folder.
    void usersVersionsFileSurvives() {
        QTemporaryDir folder, current, temporary;
        QVERIFY(folder.isValid() && current.isValid() && temporary.isValid());
        const QByteArray mine = "korvanta=9.9.9\r\nmy own notes\xB0\n";
        const QString inFolder = folder.filePath(QStringLiteral("versions.txt"));
        const QString inCurrent = current.filePath(QStringLiteral("versions.txt"));
        QVERIFY(WriteFile(inFolder, mine));
        QVERIFY(WriteFile(inCurrent, mine + "x"));
        server->answer("/site/index_fichiers/versions.txt",
                       LocalHttpServer::Response("korvanta=2.2.1\r\n"));
        qputenv(version::SiteUrlVariable, (server->root() + QStringLiteral("site")).toUtf8());
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", temporary.path().toUtf8());

        {
            ProgramRun run(folder.path());
            FakePlatform& p = run.platform;
            p.download = [](const QString& u, const QString& f, const Limits& l) {
                return HttpDownloadToFile(u, f, l);
            };
            run.program.app.VersionCheckAtStart = true;
            run.showViewer(QStringLiteral("E"));
            // The start-up check: the same version is published, so silence.
            QTRY_COMPARE_WITH_TIMEOUT(p.downloads.size(), 1, 20000);
            QCOMPARE(p.downloads.first(),
                     server->root() + QStringLiteral("site/index_fichiers/versions.txt"));
            QVERIFY(p.boxes.isEmpty());

            QDir::setCurrent(current.path());
            run.carte()->MenuInfoClick();
            TFormInfo* info = run.program.forms.FormInfo;
            QTest::mouseClick(info->BitBtnNewRelease, Qt::LeftButton);
            QCOMPARE(p.lastText(), QStringLiteral("You are up to date"));

            server->answer("/site/index_fichiers/versions.txt",
                           LocalHttpServer::Response("korvanta=2.3.0\r\n"));
            QTest::mouseClick(info->BitBtnNewRelease, Qt::LeftButton);
            QCOMPARE(p.lastText(),
                     QStringLiteral("A more recent release is available on Tovak's web site"));
            QCOMPARE(p.beeps, 1);

            qputenv(version::SiteUrlVariable, ClosedRoot().toUtf8());
            QTest::mouseClick(info->BitBtnNewRelease, Qt::LeftButton);
            QCOMPARE(p.boxes.last().kind, Platform::Box::Warning);
            QCOMPARE(p.lastText(), QStringLiteral("Internet failure !"));
            QCOMPARE(p.busyCursor, 0);
        }
        qunsetenv(version::SiteUrlVariable);
        if (oldTmp.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", oldTmp);

        QCOMPARE(ReadFile(inFolder), mine);
        QCOMPARE(ReadFile(inCurrent), mine + "x");
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("versions.txt")});
        QCOMPARE(QDir(current.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("versions.txt")});
        QCOMPARE(QDir(temporary.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{});
    }
};

QTEST_MAIN(VersionServerTest)
#include "test_versionserver.moc"
