// The Information window with real windows: its texts in each language at
// each showing, the start-up check option kept in step with the viewer's menu
// item, the way back to the viewer, and the start-up check at the first idle
// moment of a run.
#include "ProgramRun.h"

#include "app/ProgramEnd.h"
#include "app/UnitCarte.h"
#include "dialogs/LabelUrl.h"
#include "dialogs/UnitInfo.h"
#include "viewer/UnitAzimut.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// The check box breaks its caption into lines; read it as one.
QString OneLine(QString text) {
    return text.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

// A download that answers `answer`, or fails when it is null.
auto Answering(const QByteArray& answer) {
    return [answer](const QString&, const QString& file, const Platform::DownloadLimits&) {
        if (answer.isNull()) return false;
        QFile f(file);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(answer) >= 0;
    };
}

// Waits until the events posted so far (the first idle moment) were handled.
bool IdlePassed() {
    bool passed = false;
    QTimer::singleShot(0, [&passed] { passed = true; });
    return QTest::qWaitFor([&passed] { return passed; }, 20000);
}

const QString NewerFrenchDefault =
    QStringLiteral("Une version plus récente est disponible. Voir :\nhttp://www.tovak.example/");

} // namespace

class InfoWindowTest : public QObject, ProgramRunFixture {
    Q_OBJECT
    TFormInfo* info() const { return run->program.forms.FormInfo; }
    // Opens the window through the world-map window's Info command.
    TFormInfo* openInfo() {
        run->carte()->MenuInfoClick();
        return info();
    }

  private slots:
    void init() { startRun(); }
    void cleanup() { endRun(); }

    void textsOfEachLanguage_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("failure");
        QTest::newRow("E") << "E"
                           << "Other softwares are available on Tovak's web site"
                           << "Check if I am up to date"
                           << "Always check if I am up to date when starting Korvanta"
                           << "Internet failure !";
        QTest::newRow("F") << "F"
                           << "Autres logiciels disponibles sur le site de Tovak"
                           << "Voir si je suis à jour"
                           << "Toujours vérifier si je suis à jour au démarrage d'Korvanta"
                           << "Echec Internet !";
        QTest::newRow("S") << "S"
                           << "Otros programas libres están disponibles en mi sitio Web"
                           << "Compruebe si estoy al día"
                           << "Siempre buscar una nueva versión cuando se inicia Korvanta"
                           << "Fracaso de Internet !";
    }
    // The texts follow the language at each showing; a manual check without
    // network answers with the warning of that language.
    void textsOfEachLanguage() {
        QFETCH(QString, language);
        QFETCH(QString, other);
        QFETCH(QString, button);
        QFETCH(QString, box);
        QFETCH(QString, failure);
        run->showViewer(language == QLatin1String("E") ? QStringLiteral("F") : QStringLiteral("E"));
        TFormInfo* w = openInfo();
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Info"));
        QCOMPARE(w->size(), QSize(290, 494));
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        QVERIFY(!w->isVisible());

        run->program.app.LanguageCode = language;
        // The viewer's "Info" item opens the same window.
        run->viewer()->menuInfo->trigger();
        QVERIFY(w->isVisible());
        QCOMPARE(w->LabelOther->text(), other);
        QCOMPARE(w->BitBtnNewRelease->text(), button);
        QCOMPARE(OneLine(w->CheckBoxVersion->text()), box);
        QCOMPARE(w->CheckBoxVersion->accessibleName(), box);
        QCOMPARE(w->Label1->text(), QStringLiteral("KORVANTA V2.2.1"));
        QCOMPARE(w->Panel1->text(), QStringLiteral("Tovak"));
        QCOMPARE(w->LabelUrl3->text(), QStringLiteral("http://www.tovak.example/"));

        run->platform.boxes.clear();
        QTest::mouseClick(w->BitBtnNewRelease, Qt::LeftButton);
        QCOMPARE(run->platform.boxes.size(), 1);
        QCOMPARE(run->platform.boxes[0].kind, Platform::Box::Warning);
        QCOMPARE(run->platform.boxes[0].text, failure);
        QCOMPARE(run->platform.beeps, 0);
        QCOMPARE(run->platform.busyCursor, 0);
    }

    void manualCheckAnswers_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::newRow("same") << QByteArray("korvanta=2.2.1\r\n") << "You are up to date" << 0;
        QTest::newRow("newer") << QByteArray("korvanta=2.3.0\r\n")
                               << "A more recent release is available on Tovak's web site" << 1;
        QTest::newRow("2.10.0 reads 210")
            << QByteArray("korvanta=2.10.0\r\n") << "You are up to date" << 0;
        QTest::newRow("no number") << QByteArray("korvanta=beta\r\n") << "You are up to date" << 0;
    }
    void manualCheckAnswers() {
        QFETCH(QByteArray, answer);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        run->showViewer(QStringLiteral("E"));
        run->platform.download = Answering(answer);
        QTest::mouseClick(openInfo()->BitBtnNewRelease, Qt::LeftButton);
        QCOMPARE(run->platform.boxes.last().kind, Platform::Box::Plain);
        QCOMPARE(run->platform.lastText(), text);
        QCOMPARE(run->platform.beeps, beeps);
    }

    // The box and the viewer's menu item are two views of one setting, also
    // while the window is hidden; the next settings file holds it.
    void checkBoxAndMenuItemAgree() {
        QFile ini(dir->filePath(QStringLiteral("korvanta.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[KORVANTA]\r\nLANGUAGE=ENGLISH\r\nVERSTART=1\r\n");
        ini.close();
        run = std::make_unique<ProgramRun>(dir->path());
        TFormAzimut* v = run->showViewer(QStringLiteral("E"));
        QVERIFY(v->MenuInfoVersion->isChecked());
        TFormInfo* w = openInfo();
        QVERIFY(w->CheckBoxVersion->isChecked());

        QTest::mouseClick(w->CheckBoxVersion, Qt::LeftButton);
        QVERIFY(!w->CheckBoxVersion->isChecked());
        QVERIFY(!v->MenuInfoVersion->isChecked());
        QVERIFY(!run->program.app.VersionCheckAtStart);

        w->close();
        QVERIFY(!w->isVisible());
        v->MenuInfoVersion->trigger();
        QVERIFY(v->MenuInfoVersion->isChecked());
        QVERIFY(w->CheckBoxVersion->isChecked());
        QVERIFY(run->program.app.VersionCheckAtStart);
        v->MenuInfoVersion->trigger();
        QVERIFY(!w->CheckBoxVersion->isChecked());

        // The viewer's activation refresh takes the setting as it is (the
        // first activation after the window was closed skips it).
        run->program.app.VersionCheckAtStart = true;
        v->FormActivate();
        QVERIFY(!v->MenuInfoVersion->isChecked());
        v->FormActivate();
        QVERIFY(v->MenuInfoVersion->isChecked());
        QVERIFY(openInfo()->CheckBoxVersion->isChecked());
        QTest::mouseClick(w->CheckBoxVersion, Qt::LeftButton);

        EndProgram(run->program);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = ini.readAll().split('\n');
        QVERIFY(lines.contains("VERSTART=0\r"));
        QVERIFY(!lines.contains("VERSTART=1\r"));
    }

    void wayBackSkipsTheViewersRefresh_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("OK") << "OK";
        QTest::newRow("close box") << "close";
        QTest::newRow("Enter") << "Enter";
        QTest::newRow("Escape") << "Escape";
    }
    void wayBackSkipsTheViewersRefresh() {
        QFETCH(QString, way);
        TFormAzimut* v = run->showViewer(QStringLiteral("E"));
        TFormInfo* w = openInfo();
        QVERIFY(!run->program.viewer.ReturningFromDialog);
        run->program.app.LanguageCode = QStringLiteral("F");
        if (way == QLatin1String("OK")) {
            QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        } else if (way == QLatin1String("close")) {
            QVERIFY(w->close());
        } else if (way == QLatin1String("Enter")) {
            // Enter on the focused check button runs the check, elsewhere it is OK.
            w->BitBtnNewRelease->setFocus();
            QTest::keyClick(w->BitBtnNewRelease, Qt::Key_Return);
            QCOMPARE(run->platform.boxes.size(), 1);
            QVERIFY(w->isVisible());
            w->CheckBoxVersion->setFocus();
            QTest::keyClick(w->CheckBoxVersion, Qt::Key_Enter);
            QCOMPARE(run->platform.boxes.size(), 1);
        } else {
            QTest::keyClick(w->CheckBoxVersion, Qt::Key_Escape);
        }
        QVERIFY(!w->isVisible());
        QVERIFY(run->program.viewer.ReturningFromDialog);
        QVERIFY(run->program.forms.FormInfo == w); // only hidden

        v->FormActivate(); // coming back: no refresh
        QVERIFY(!run->program.viewer.ReturningFromDialog);
        QCOMPARE(v->MenuLangue->title(), QStringLiteral("&Language"));
        v->FormActivate();
        QCOMPARE(v->MenuLangue->title(), QStringLiteral("&Langue"));
    }

    void mainWindowActivationSetsTheVersion() {
        run->create();
        info()->Label1->setText(QString());
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(run->carte(), &activate);
        QCOMPARE(info()->Label1->text(), QStringLiteral("KORVANTA V2.2.1"));
    }

    void startUpCheck_data() {
        QTest::addColumn<bool>("setting");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("viewerShown");
        QTest::addColumn<QString>("shown"); // empty: nothing
        QTest::newRow("newer, before the viewer")
            << true << QByteArray("korvanta=2.3.0\r\n") << false << NewerFrenchDefault;
        QTest::newRow("newer, viewer in English")
            << true << QByteArray("korvanta=2.3.0 \n") << true
            << "A more recent release is available on Tovak's web site";
        QTest::newRow("same") << true << QByteArray("korvanta=2.2.1\r\n") << true << "";
        QTest::newRow("older") << true << QByteArray("korvanta=2.1.9\r\n") << true << "";
        QTest::newRow("2.10.0 reads 210") << true << QByteArray("korvanta=2.10.0") << true << "";
        QTest::newRow("failure") << true << QByteArray() << true << "";
        QTest::newRow("error page") << true << QByteArray("<html>korvanta=9.9.9") << true << "";
        QTest::newRow("setting off") << false << QByteArray("korvanta=9.9.9") << true << "";
    }
    // Once per run at the first idle moment, whatever the setting: a setting
    // turned on later never starts one.
    void startUpCheck() {
        QFETCH(bool, setting);
        QFETCH(QByteArray, answer);
        QFETCH(bool, viewerShown);
        QFETCH(QString, shown);
        FakePlatform& p = run->platform;
        p.download = Answering(answer);
        run->program.app.VersionCheckAtStart = setting;
        if (viewerShown)
            run->showViewer(QStringLiteral("E"));
        else
            run->create();
        QVERIFY(IdlePassed());
        QCOMPARE(p.downloads.size(), setting ? 1 : 0);
        if (shown.isEmpty()) {
            QVERIFY(p.boxes.isEmpty());
            QCOMPARE(p.beeps, 0);
        } else {
            QCOMPARE(p.boxes.size(), 1);
            QCOMPARE(p.boxes[0].kind, Platform::Box::Plain);
            QCOMPARE(p.boxes[0].text, shown);
            QCOMPARE(p.beeps, 1);
        }
        QCOMPARE(p.busyCursor, 0);

        run->program.app.VersionCheckAtStart = true;
        QVERIFY(IdlePassed());
        QVERIFY(IdlePassed());
        QCOMPARE(p.downloads.size(), setting ? 1 : 0);
    }
};

QTEST_MAIN(InfoWindowTest)
#include "test_infowindow.moc"
