// The title test against a real X server: a window of another program,
// titled "Pelmarin", is found while it is up and not once it has gone.
// Run by x11windows.sh, which starts its own Xvfb (and a window manager for
// the second pass); on any other display the cases are skipped.
#include "app/QtPlatform.h"
#include "app/X11Windows.h"

#include <QApplication>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include <unistd.h>

namespace {

// The other program: shows one window with the given title, says "shown",
// destroys it on "close" (and says "closed"), and ends when its input ends.
int ShowWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(QString::fromUtf8(argv[2]));
    window->resize(200, 100);
    window->show();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
            return;
        }
        if (window && QByteArray(buffer, int(n)).contains("close")) {
            window.reset();
            // The server has forgotten the window once the request is through.
            if (auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>())
                std::free(xcb_get_input_focus_reply(
                    x11->connection(), xcb_get_input_focus(x11->connection()), nullptr));
            std::fputs("closed\n", stdout);
            std::fflush(stdout);
        }
    });
    // Shown once the window is mapped on the server.
    QTimer::singleShot(0, &app, [] {
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
    });
    return app.exec();
}

// Whether the desktop has a window manager's client list.
bool HasClientList() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11->connection();
    const char name[] = "_NET_CLIENT_LIST";
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof name - 1, name), nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE) return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> value(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1),
                               nullptr),
        &std::free);
    return value && value->type == XCB_ATOM_WINDOW;
}

bool ReadLine(QProcess& p, const QByteArray& expected) {
    while (!p.canReadLine())
        if (!p.waitForReadyRead(30000)) return false;
    return p.readLine().trimmed() == expected;
}

} // namespace

class X11WindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server of its own: run through x11windows.sh");
        // With a window manager, wait until it has published its list.
        if (qEnvironmentVariableIsSet("KORVANTA_TEST_WM"))
            QTRY_VERIFY_WITH_TIMEOUT(HasClientList(), 30000);
        else
            QVERIFY(!HasClientList());
    }

    void findsAnotherProgramsWindowByItsExactTitle() {
        QTemporaryDir dir;
        QtPlatform platform(dir.path());
        const QString title = QStringLiteral("Pelmarin");
        QVERIFY(!platform.topLevelWindowExists(title));

        QProcess other;
        other.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--window"), title});
        QVERIFY(other.waitForStarted(30000));
        QVERIFY(ReadLine(other, "shown"));
        QTRY_VERIFY_WITH_TIMEOUT(platform.topLevelWindowExists(title), 30000);
        for (const char* near : {"pelmarin", "Pelmari", "Pelmarin ", "Pelmarin - map", ""})
            QVERIFY2(!X11TopLevelWindowExists(QString::fromLatin1(near)), near);

        // Closed while its program runs on.
        other.write("close\n");
        QVERIFY(ReadLine(other, "closed"));
        QTRY_VERIFY_WITH_TIMEOUT(!platform.topLevelWindowExists(title), 30000);
        QCOMPARE(other.state(), QProcess::Running);

        other.closeWriteChannel();
        QVERIFY(other.waitForFinished(30000));
        QVERIFY(!platform.topLevelWindowExists(title));
    }

    void findsATitleOutsideLatin1() {
        QTemporaryDir dir;
        QtPlatform platform(dir.path());
        const QString title = QStringLiteral("Pelmarin — карта");
        QProcess other;
        other.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--window"), title});
        QVERIFY(other.waitForStarted(30000));
        QVERIFY(ReadLine(other, "shown"));
        QTRY_VERIFY_WITH_TIMEOUT(platform.topLevelWindowExists(title), 30000);
        QVERIFY(!platform.topLevelWindowExists(QStringLiteral("Pelmarin")));
        other.closeWriteChannel();
        QVERIFY(other.waitForFinished(30000));
        QTRY_VERIFY_WITH_TIMEOUT(!platform.topLevelWindowExists(title), 30000);
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--window") == 0) return ShowWindow(argc, argv);
    QApplication app(argc, argv);
    X11WindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_x11windows.moc"
