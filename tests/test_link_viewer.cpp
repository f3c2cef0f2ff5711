// The viewer's side of the azimuth server and the rotator, with real windows:
// what a real client receives and when, the close refusal of both main
// windows while clients are connected, and the rotator's menu items, right
// click and notice.
#include "LinkClient.h"
#include "ProgramRun.h"

#include "app/UnitCarte.h"
#include "link/AzimuthServer.h"
#include "viewer/UnitAzimut.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <memory>

namespace {

void MoveOver(QWidget* w, int x, int y) {
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QByteArray Push(const char* digits) {
    const std::string v = azlink::AdviseMessage(azlink::ItemValue(digits));
    return QByteArray(v.data(), static_cast<qsizetype>(v.size()));
}

} // namespace

class LinkViewerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<AzimuthServer> server;
    std::unique_ptr<ProgramRun> run;

    TFormAzimut* start(bool realServer) {
        if (realServer) run->platform.server = server.get();
        run->create();
        run->program.app.LanguageCode = "E";
        TFormAzimut* v = run->viewer();
        v->show();
        return v;
    }
    std::unique_ptr<LinkClient> advising() {
        auto c = std::make_unique<LinkClient>();
        if (!c->connectTo(server->socketPath())) return nullptr;
        if (c->ask("CONNECT Data\nADVISE Azimuth CF_TEXT\n", 6) != "OK\nOK\n") return nullptr;
        c->received.clear();
        return c;
    }
    // The value as a request reads it now (also proves no push came before).
    static QByteArray Requested(LinkClient& c, const char* digits) {
        const std::string v = azlink::DataMessage(azlink::ItemValue(digits));
        return c.ask("REQUEST Azimuth CF_TEXT\n", static_cast<qsizetype>(v.size()));
    }

  private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        ::chmod(dir->path().toLocal8Bit().constData(), 0700);
        server = std::make_unique<AzimuthServer>();
        azlink::SocketPlace place;
        place.folder = dir->path().toStdString();
        place.path = place.folder + "/korvanta.sock";
        QCOMPARE(server->listenAt(place), QString());
        run = std::make_unique<ProgramRun>(dir->path());
    }
    void cleanup() {
        run.reset();
        server.reset();
        dir.reset();
    }

    void clicksPublishThePointedBearingOnly() {
        TFormAzimut* v = start(true);
        auto client = advising();
        QVERIFY(client);
        MoveOver(v->ImageAzimut, 400, 200); // 45 degrees, moving alone publishes nothing
        QCOMPARE(Requested(*client, ""), QByteArray("DATA 1\n", 7) + QByteArray(1, '\0'));
        client->received.clear();
        MoveOver(v->ImageAzimut, 299, 10); // 359.80
        QTest::mouseClick(v->ImageAzimut, Qt::LeftButton, {}, QPoint(299, 10));
        QVERIFY(client->waitFor(Push("360").size()));
        QCOMPARE(client->received, Push("360"));
        // Outside the disc a click keeps the value and pushes nothing.
        MoveOver(v->ImageAzimut, 2, 2);
        QTest::mouseClick(v->ImageAzimut, Qt::LeftButton, {}, QPoint(2, 2));
        const std::string keep = azlink::DataMessage(azlink::ItemValue("360"));
        QCOMPARE(Requested(*client, "360"), QByteArray(keep.data(), qsizetype(keep.size())));
    }

    void dxSelectionPublishesWithoutTheMouseOnTheMap() {
        TFormAzimut* v = start(true);
        auto client = advising();
        QVERIFY(client);
        QListWidget* list = v->ListBoxDXW;
        QVERIFY(list->count() > 0);
        list->setCurrentRow(list->count() / 2);
        v->ListBoxDXWClick();
        QVERIFY(!v->PublishedBearing.isEmpty());
        const QByteArray expected = Push(v->PublishedBearing.toLatin1().constData());
        QVERIFY(client->waitFor(expected.size()));
        QCOMPARE(client->received, expected);
        QVERIFY(run->program.viewer.PointedBearingText.isEmpty());
    }

    void bothWindowsRefuseToCloseWhileAClientIsConnected() {
        TFormAzimut* v = start(true);
        v->ButtonLangueClick();
        LinkClient a, b;
        QVERIFY(a.connectTo(server->socketPath()));
        QVERIFY(b.connectTo(server->socketPath()));
        QCOMPARE(a.ask("CONNECT Data\n", 3), QByteArray("OK\n"));
        QCOMPARE(b.ask("CONNECT Data\n", 3), QByteArray("OK\n"));
        QVERIFY(run->program.viewer.DdeClientConnected);
        const QString refusal = "An application is connected to Korvanta. Please, disconnect it.";
        const QString ini = QDir(dir->path()).filePath("korvanta.ini");
        auto refused = [&](QWidget* w) {
            const int before = int(run->platform.boxes.size());
            w->close();
            return run->platform.boxes.size() == before + 1 &&
                   run->platform.boxes.last().kind == Platform::Box::Warning &&
                   run->platform.lastText() == refusal && run->platform.terminations == 0 &&
                   !QFile::exists(ini) && v->isVisible();
        };
        QVERIFY(refused(v));
        QVERIFY(refused(run->carte()));
        // One of two disconnects: the other still holds the windows.
        QCOMPARE(a.ask("DISCONNECT\n", 3), QByteArray("OK\n"));
        QVERIFY(a.closedByServer());
        QCOMPARE(run->program.viewer.OpenConversations, 1);
        QVERIFY(refused(v));
        QVERIFY(refused(run->carte()));
        // The other drops its connection: now the program may end.
        b.socket->abort();
        QTRY_VERIFY_WITH_TIMEOUT(!run->program.viewer.DdeClientConnected, 10000);
        run->carte()->close();
        QCOMPARE(run->platform.terminations, 1);
        QVERIFY(QFile::exists(ini));
    }

    void rotatorItemsFollowTheSettingsAndTheLanguage() {
        run->program.app.extra.RotatorOn = true;
        TFormAzimut* v = start(false);
        QAction* on = v->findChild<QAction*>("MenuRotator");
        QAction* address = v->findChild<QAction*>("MenuRotatorAddress");
        QVERIFY(on && address);
        QVERIFY(v->MenuOptions->actions().contains(on));
        const QList<QAction*> items = v->MenuOptions->actions();
        // After the classic items and the one separator before the added ones.
        const qsizetype separator = items.indexOf(v->findChild<QAction*>("MenuOptionsAdded"));
        QVERIFY(separator > items.indexOf(v->MenuSeparator->menuAction()));
        QVERIFY(items.indexOf(on) > separator);
        QCOMPARE(std::count_if(items.begin() + separator + 1, items.end(),
                               [](QAction* a) { return a->isSeparator(); }),
                 0);
        QCOMPARE(items.at(items.indexOf(on) + 1), address);
        QVERIFY(on->isCheckable() && on->isChecked());
        on->trigger();
        QVERIFY(!run->program.app.extra.RotatorOn);
        run->program.app.LanguageCode = "F";
        v->ButtonLangueClick();
        QCOMPARE(on->text(), QString("&Tourner le rotor"));
        QCOMPARE(address->text(), QString("Adresse du &rotor…"));
        run->program.app.LanguageCode = "S";
        v->ButtonLangueClick();
        QCOMPARE(on->text(), QString("Girar el r&otor"));
    }

    void rotatorAddressIsAskedAndChecked() {
        TFormAzimut* v = start(false);
        FakePlatform& p = run->platform;
        p.answers = {QString("no port:"), QString(" rotor.lan:4600 ")};
        v->MenuRotatorAddress->trigger();
        QCOMPARE(p.boxes.size(), 1); // the bad one is told, then asked again
        QCOMPARE(p.boxes.first().kind, Platform::Box::Warning);
        QCOMPARE(run->program.app.extra.RotatorAddress, QString("rotor.lan:4600"));
        p.answers = {QString("shack")};
        v->MenuRotatorAddress->trigger();
        QCOMPARE(run->program.app.extra.RotatorAddress, QString("shack:4533"));
        v->MenuRotatorAddress->trigger(); // cancelled
        QCOMPARE(run->program.app.extra.RotatorAddress, QString("shack:4533"));
    }

    void rotatorTakesPublicationsAndTheLongPathOfARightClick() {
        TFormAzimut* v = start(false);
        FakePlatform& p = run->platform;
        MoveOver(v->ImageAzimut, 299, 10);
        QTest::mouseClick(v->ImageAzimut, Qt::LeftButton, {}, QPoint(299, 10));
        QCOMPARE(p.recordingRotator.turns, QStringList()); // off
        v->MenuRotator->trigger();
        QTest::mouseClick(v->ImageAzimut, Qt::LeftButton, {}, QPoint(299, 10));
        QCOMPARE(p.recordingServer.published, QStringList({"360", "360"}));
        QCOMPARE(p.recordingRotator.turns, QStringList{"localhost:4533 0"});
        // Right click at 45 degrees: the long path, 225, and nothing published.
        QTest::mouseClick(v->ImageAzimut, Qt::RightButton, {}, QPoint(400, 200));
        QCOMPARE(p.recordingRotator.turns, QStringList({"localhost:4533 0", "localhost:4533 225"}));
        QCOMPARE(p.recordingServer.published.size(), 2);
        QTest::mouseClick(v->ImageAzimut, Qt::RightButton, {}, QPoint(2, 2)); // outside the disc
        QCOMPARE(p.recordingRotator.turns.size(), 2);
    }

    void rotatorFailureIsANoticeWithoutABox() {
        TFormAzimut* v = start(false);
        v->ButtonLangueClick();
        QLabel* notice = v->findChild<QLabel*>("LabelRotatorNotice");
        QVERIFY(notice && notice->isHidden());
        run->platform.recordingRotator.failed(RotatorPort::Problem::NoAnswer, "localhost:4533");
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text().trimmed(), QString("Rotator: localhost:4533 does not answer."));
        QVERIFY(run->platform.boxes.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(notice->isHidden(), 20000); // goes by itself
    }
};

QTEST_MAIN(LinkViewerTest)
#include "test_link_viewer.moc"
