// The world-map window with real windows under the offscreen platform:
// start-up with and without settings, the generation, the locator boxes, the
// live readout, the language switch and the ways out.
#include "FakePlatform.h"
#include "app/Program.h"
#include "app/ProgramEnd.h"
#include "app/ProgramFolder.h"
#include "app/QtPlatform.h"
#include "app/UnitCarte.h"
#include "dxlists/UnitDX.h"
#include "geo/Bitmap.h"
#include "geo/Position.h"
#include "viewer/UnitAzimut.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <memory>
#include <sys/stat.h>

namespace {

// One start of the program in a folder of its own.
struct Run {
    QTemporaryDir dir;
    FakePlatform platform;
    Program program{platform};

    explicit Run(const QByteArray& ini = QByteArray(), const QStringList& args = {}) {
        platform.folder = dir.path();
        QDir::setCurrent(dir.path());
        if (!ini.isNull()) {
            QFile f(dir.filePath("korvanta.ini"));
            if (f.open(QIODevice::WriteOnly)) f.write(ini);
        }
        program.app.SettingsExisted = QFile::exists(dir.filePath("korvanta.ini"));
        program.arguments = args;
        CreateForms(program);
    }
    ~Run() { DestroyForms(program); }

    TFormCarte* carte() const { return program.forms.FormCarte; }
    TFormAzimut* viewer() const { return program.forms.FormAzimut; }
    template <class T> T* find(const char* name) const {
        return carte()->findChild<T*>(QLatin1String(name));
    }
    QAction* action(const char* name) const { return find<QAction>(name); }
    QString text(const char* label) const { return find<QLabel>(label)->text(); }
    QString centreText() const { return QString::fromStdString(program.app.pos.CentreText); }

    bool showCarte() {
        carte()->show();
        carte()->activateWindow();
        return QTest::qWaitForWindowExposed(carte()) && QTest::qWaitForWindowActive(carte());
    }

    QByteArray written() const {
        QFile f(dir.filePath("korvanta.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList writtenLines() const {
        QStringList lines = QString::fromLatin1(written()).split("\r\n");
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
};

void MoveOver(QWidget* w, QPoint p) {
    QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(w->mapToGlobal(p)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

QString Position(int x, int y) {
    const geo::LatLon p = geo::PixelToLatLon(x, y);
    return QString::fromStdString(geo::FormatPosition(p.lat, p.lon));
}

QString LocatorCentre(const char* locator) {
    const auto p = geo::DecodeLocator(locator);
    return p ? QString::fromStdString(geo::FormatPosition(p->lat, p->lon)) : QString();
}

const QString FirstPrompt = QStringLiteral(" Cliquez la carte ou entrer un locator >>>");

} // namespace

class TestCarte : public QObject {
    Q_OBJECT
  private slots:
    void startsWithoutSettings();
    void startsWithSettings();
    void settingsFailureSkipsTheRestOfTheCreation();
    void locatorArgumentGeneratesAfterTheFirstPaint();
    void otherArgumentIsIgnored();
    void clickGeneratesTheMap();
    void rightClickIsIgnored();
    void confirmHandler();
    void confirmOnEnterAndOnFocus();
    void locatorBoxesKeptInStep();
    void liveReadout();
    void languageSwitch_data();
    void languageSwitch();
    void languageFromSettings();
    void helpOpensThePageOfTheLanguage();
    void quitWritesTheSettingsAndTerminates();
    void quitRefusedWhileConnected();
    void settingsBesideAReadOnlyProgramAreRead();
    void theEndWritesOnceWhateverAsks();
    void ctrlQMakesTheCloseRequestOfBothWindows();
    void endSignalsEndLikeAClose_data();
    void endSignalsEndLikeAClose();
    void quitStopsTheLoopWithoutClosingTheWindows();
    void choicesWrittenBackWithoutTheViewer();
    void failedWriteIsReported();
    void paintHidesWhileTheViewerIsShown();
    void savedMapShownOnFirstActivation();
    void displayAndReturn();
    void savedMapFromTheSettings();
    void viewerChoicesWrittenAtExit();
    void wildWindowPlacesKeptOnScreenSizesBounded();
    void damagedSettingsFile();
    void settingsOfSomeoneElseAreLeftAlone();
    void northPoleRow();
    void backFromTheViewerLeavesTheFocus();
};

void TestCarte::startsWithoutSettings() {
    Run run;
    TFormCarte* w = run.carte();
    QCOMPARE(w->windowTitle(), QStringLiteral("KORVANTA - Azimuthal Map generator by Tovak"));
    QCOMPARE(w->pos(), QPoint(11, 11));
    QCOMPARE(w->size(), QSize(1228, 875));
    QCOMPARE(run.text("StaticText1"), FirstPrompt);
    QCOMPARE(run.text("Label2"), QStringLiteral("locator="));
    QVERIFY(run.program.app.LanguageCode.isEmpty());
    QVERIFY(run.program.app.IdlePrompt.isEmpty());
    QCOMPARE(run.program.app.HelpFile, QStringLiteral("korvanta_en.html"));

    QCOMPARE(run.find<QWidget>("ImageMercator")->geometry(), QRect(0, 0, 1194, 765));
    QCOMPARE(run.find<QWidget>("ImageTovak")->geometry(), QRect(1102, 730, 80, 17));
    QCOMPARE(run.find<QWidget>("StaticText1")->geometry(), QRect(0, 779, 249, 23));
    QCOMPARE(run.find<QWidget>("EditQRA")->geometry(), QRect(304, 779, 89, 21));
    QCOMPARE(run.find<QWidget>("BitBtn1")->geometry(), QRect(392, 781, 25, 22));
    QCOMPARE(run.find<QWidget>("StaticTextPos")->geometry(), QRect(424, 779, 129, 24));
    QCOMPARE(run.find<QWidget>("ProgressBarCalcul")->geometry(), QRect(560, 779, 633, 24));
    QCOMPARE(run.find<QProgressBar>("ProgressBarCalcul")->maximum(), 1194);
    QCOMPARE(run.find<QWidget>("EditLocator")->pos(), QPoint(40, 3));
    QVERIFY(run.find<QWidget>("EditLocator")->isHidden());
    QVERIFY(run.find<QWidget>("BitBtn2")->isHidden());
    auto* timer = run.find<QTimer>("TimerFinImage");
    QCOMPARE(timer->interval(), 100);
    QVERIFY(!timer->isActive());

    QStringList bar;
    for (QAction* a : w->menuBar()->actions())
        bar << a->objectName();
    QCOMPARE(bar, (QStringList{"Menuquitter", "menuLocator", "MenuVoir", "MenuLangue", "MenuInfo",
                               "MenuAide"}));
    QCOMPARE(run.action("MenuVoir")->text(), QStringLiteral("Display the azimuthal map"));
    QVERIFY(!run.action("MenuVoir")->isEnabled());
    QVERIFY(run.action("MenuEnglish")->isChecked());
    QVERIFY(!run.action("MenuFrancais")->isChecked());
    QVERIFY(!run.action("MenuEspagnol")->isChecked());
    QVERIFY(run.platform.boxes.isEmpty());

    // The window shows, gets painted, and nothing is generated.
    QVERIFY(run.showCarte());
    QTRY_VERIFY(!timer->isActive() && run.program.app.MapUnsaved == false);
    QVERIFY(w->isVisible());
    QVERIFY(!run.viewer()->isVisible());
}

void TestCarte::startsWithSettings() {
    Run run("[KORVANTA]\r\nLANGUAGE=FRENCH\r\nUNIT=MILE\r\nWTOPC=20\r\nWLEFTC=30\r\n"
            "WHEIGHTC=820\r\nWWIDTHC=1210\r\nCENTRE_IMAGE=45\xB0"
            "30' N / 10\xB0"
            "15' W\r\n");
    TFormCarte* w = run.carte();
    QCOMPARE(w->windowTitle(),
             QStringLiteral("KORVANTA V2.2.1 - Générateur de cartes azimutales par Tovak"));
    QVERIFY(run.action("MenuFrancais")->isChecked());
    QVERIFY(!run.action("MenuEnglish")->isChecked());
    QCOMPARE(run.program.app.LanguageCode, QStringLiteral("F"));
    QVERIFY(!run.program.app.LanguageFromSettings);
    QCOMPARE(run.text("StaticText1"), QStringLiteral("Cliquer la carte ou entrer un locator >>>"));
    QCOMPARE(w->pos(), QPoint(30, 20));
    QCOMPARE(w->size(), QSize(1210, 820));
    QCOMPARE(run.program.viewer.UnitFactor, 1.609344L);
    QCOMPARE(run.centreText(), QStringLiteral("45°30' N / 10°15' W"));
    QCOMPARE(double(run.program.app.pos.CentreLat), 45.5);
    QVERIFY(!run.program.app.pos.LocatorPending);
    QCOMPARE(run.find<QProgressBar>("ProgressBarCalcul")->maximum(), 1194);
    QVERIFY(run.platform.boxes.isEmpty());

    // A locator on the command line overrides the centre read from the settings.
    Run located("CENTRE_IMAGE=45\xB0"
                "30' N / 10\xB0"
                "15' W\r\n",
                {"JN18EU"});
    QVERIFY(located.program.app.pos.LocatorPending);
    QCOMPARE(double(located.program.app.pos.CentreLon), 2.375);
}

void TestCarte::settingsFailureSkipsTheRestOfTheCreation() {
    Run run("WTOPC=40\r\nUNIT=MILE\r\nWTOP=abc\r\nWLEFTC=50\r\nUTC=Y\r\n", {"JN18EU"});
    QCOMPARE(run.platform.boxes.size(), 1);
    QCOMPARE(run.platform.boxes[0].kind, Platform::Box::Error);
    QCOMPARE(run.platform.boxes[0].text, QStringLiteral("'abc' is not a valid integer value"));
    QCOMPARE(run.carte()->y(), 40);
    QCOMPARE(run.carte()->x(), 11);
    QCOMPARE(run.program.viewer.UnitFactor, 1.609344L);
    QVERIFY(!run.program.app.ClockIsUTC);
    QVERIFY2(!run.program.app.pos.LocatorPending, "the locator was skipped");
    QCOMPARE(run.find<QProgressBar>("ProgressBarCalcul")->maximum(), 1194);
}

void TestCarte::locatorArgumentGeneratesAfterTheFirstPaint() {
    Run run(QByteArray(), {"jn18eu"});
    QVERIFY(run.program.app.pos.LocatorPending);
    auto* timer = run.find<QTimer>("TimerFinImage");
    QVERIFY2(!timer->isActive(), "nothing before the first paint");
    QVERIFY(!run.viewer()->isVisible());

    QVERIFY(run.showCarte());
    QTRY_VERIFY(!run.program.app.pos.LocatorPending);
    QCOMPARE(run.centreText(), QStringLiteral("48°51' N / 2°22' E"));
    QCOMPARE(run.text("StaticTextPos"), QStringLiteral("48°51' N / 2°22' E"));
    QVERIFY(run.program.app.MapUnsaved);
    QTRY_VERIFY(run.viewer()->isVisible());
    QTRY_VERIFY(!run.carte()->isVisible());

    // Later ticks do nothing once the locator was used.
    run.carte()->TimerFinImageTimer();
    QVERIFY(!run.carte()->isVisible());
}

void TestCarte::otherArgumentIsIgnored() {
    Run run(QByteArray(), {"paris.bmp"});
    QVERIFY(!run.program.app.pos.LocatorPending);
    QVERIFY(run.showCarte());
    QTRY_VERIFY(!run.find<QTimer>("TimerFinImage")->isActive());
    QVERIFY(!run.program.app.MapUnsaved);
    QVERIFY(run.carte()->isVisible());
    QVERIFY(run.platform.boxes.isEmpty());
}

void TestCarte::clickGeneratesTheMap() {
    Run run;
    run.carte()->MenuEnglishClick();
    QVERIFY(run.showCarte());
    auto* progress = run.find<QProgressBar>("ProgressBarCalcul");
    auto* prompt = run.find<QLabel>("StaticText1");
    run.find<QLineEdit>("EditQRA")->setText("JN18");

    QStringList promptsDuring;
    int busyDuring = 0;
    bool generatingDuring = false;
    int updates = 0;
    connect(progress, &QProgressBar::valueChanged, this, [&](int) {
        if (updates++ == 0) {
            promptsDuring << prompt->text();
            busyDuring = run.platform.busyCursor;
            generatingDuring = run.program.app.Generating;
        }
    });
    QTest::mouseClick(run.find<QWidget>("ImageMercator"), Qt::LeftButton, {}, QPoint(597, 382));

    QCOMPARE(promptsDuring, QStringList{"Generation in progress. Wait please !"});
    QCOMPARE(busyDuring, 1);
    QVERIFY(generatingDuring);
    QCOMPARE(updates, 1193); // once per column (the first leaves the bar at 0)
    QCOMPARE(progress->value(), 1193);
    QCOMPARE(run.centreText(), QStringLiteral("0°7' N / 0°0' E"));
    QCOMPARE(run.text("StaticTextPos"), QStringLiteral("0°7' N / 0°0' E"));
    QCOMPARE(prompt->text(), QStringLiteral("Click the map or enter a grid square >>>"));
    QCOMPARE(run.platform.busyCursor, 0);
    QVERIFY(run.platform.eventPasses >= 1);
    QVERIFY(!run.program.app.Generating);
    QVERIFY(run.program.app.MapUnsaved);
    QVERIFY(run.action("MenuVoir")->isEnabled());
    QVERIFY(run.find<QLineEdit>("EditQRA")->text().isEmpty());
    QVERIFY(!run.carte()->isVisible());
    QVERIFY(run.viewer()->isVisible());
}

void TestCarte::rightClickIsIgnored() {
    Run run;
    QVERIFY(run.showCarte());
    run.program.app.pos.LocatorPending = true;
    QTest::mouseClick(run.find<QWidget>("ImageMercator"), Qt::RightButton, {}, QPoint(597, 382));
    QVERIFY(run.program.app.pos.LocatorPending);
    QCOMPARE(run.find<QProgressBar>("ProgressBarCalcul")->value(), 0);
    QVERIFY(!run.program.app.MapUnsaved);
    QVERIFY(run.carte()->isVisible());
    QVERIFY(!run.viewer()->isVisible());

    // A release over the signature picture is no click on the map.
    run.program.app.pos.LocatorPending = false;
    QTest::mouseClick(run.find<QWidget>("ImageTovak"), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!run.program.app.MapUnsaved);
    QVERIFY(run.carte()->isVisible());
}

void TestCarte::confirmHandler() {
    for (const char* bad : {"JN18", "JN18EU1", "JS18EU", "JN1AEU", "JN18EZ"}) {
        Run run;
        QVERIFY(run.showCarte());
        auto* qra = run.find<QLineEdit>("EditQRA");
        QTest::keyClicks(qra, QLatin1String(bad));
        QTest::mouseClick(run.find<QWidget>("BitBtn1"), Qt::LeftButton);
        QCOMPARE(qra->text(), QLatin1String(bad));
        QVERIFY2(!run.program.app.MapUnsaved, bad);
        QVERIFY(!run.program.app.pos.LocatorPending);
        QVERIFY(run.carte()->isVisible());
        QVERIFY(run.platform.boxes.isEmpty());
    }

    Run run;
    QVERIFY(run.showCarte());
    auto* qra = run.find<QLineEdit>("EditQRA");
    QTest::keyClicks(qra, "io91wm");
    QTest::mouseClick(run.find<QWidget>("BitBtn1"), Qt::LeftButton);
    QVERIFY(run.program.app.MapUnsaved);
    QVERIFY(!run.program.app.pos.LocatorPending);
    QCOMPARE(run.centreText(), LocatorCentre("IO91WM"));
    QVERIFY(run.centreText().endsWith("0°8' W"));
    QVERIFY(qra->text().isEmpty());
    QVERIFY(run.find<QLineEdit>("EditLocator")->text().isEmpty());
    QVERIFY(run.find<QWidget>("EditLocator")->isHidden());
    QVERIFY(run.viewer()->isVisible());
}

void TestCarte::confirmOnEnterAndOnFocus() {
    {
        Run run;
        QVERIFY(run.showCarte());
        auto* qra = run.find<QLineEdit>("EditQRA");
        qra->setFocus();
        QTest::keyClicks(qra, "JN18EU");
        QTest::keyClick(qra, Qt::Key_Return);
        QVERIFY(run.program.app.MapUnsaved);
        QCOMPARE(run.centreText(), QStringLiteral("48°51' N / 2°22' E"));
    }
    {
        // Entering the box runs the confirm handler with its text.
        Run run;
        QVERIFY(run.showCarte());
        auto* qra = run.find<QLineEdit>("EditQRA");
        qra->clearFocus();
        qra->setText("AA00AA");
        QVERIFY(!run.program.app.MapUnsaved);
        qra->setFocus(Qt::TabFocusReason);
        QVERIFY(run.program.app.MapUnsaved);
        QCOMPARE(run.centreText(), QStringLiteral("89°59' S / 179°57' W"));
    }
    {
        // "Locator" shows the second box, copies the first and confirms at once.
        Run run;
        QVERIFY(run.showCarte());
        run.find<QLineEdit>("EditQRA")->setText("RR99XX");
        run.action("menuLocator")->trigger();
        QVERIFY(run.program.app.MapUnsaved);
        QCOMPARE(run.centreText(), QStringLiteral("89°59' N / 179°57' E"));
        QVERIFY2(run.find<QWidget>("EditLocator")->isHidden(), "hidden again after generating");
        QVERIFY(run.find<QWidget>("BitBtn2")->isHidden());
    }
    {
        Run run;
        QVERIFY(run.showCarte());
        run.action("menuLocator")->trigger();
        QVERIFY(!run.find<QWidget>("EditLocator")->isHidden());
        QVERIFY(!run.find<QWidget>("BitBtn2")->isHidden());
        QVERIFY(!run.program.app.MapUnsaved);
        QTest::keyClicks(run.find<QLineEdit>("EditLocator"), "JN18EU");
        QTest::mouseClick(run.find<QWidget>("BitBtn2"), Qt::LeftButton);
        QVERIFY(run.program.app.MapUnsaved);
        QCOMPARE(run.centreText(), QStringLiteral("48°51' N / 2°22' E"));
    }
}

void TestCarte::locatorBoxesKeptInStep() {
    Run run;
    auto* qra = run.find<QLineEdit>("EditQRA");
    auto* locator = run.find<QLineEdit>("EditLocator");
    int changes = 0;
    connect(qra, &QLineEdit::textChanged, this, [&] { ++changes; });
    QTest::keyClicks(qra, "jn1");
    QCOMPARE(locator->text(), QStringLiteral("jn1"));
    QCOMPARE(changes, 3);
    locator->setText("IO91");
    QCOMPARE(qra->text(), QStringLiteral("IO91"));
    QCOMPARE(changes, 4); // the copying stops after one round
}

void TestCarte::liveReadout() {
    Run run;
    QVERIFY(run.showCarte());
    QWidget* map = run.find<QWidget>("ImageMercator");
    MoveOver(map, QPoint(0, 0));
    QCOMPARE(run.text("StaticTextPos"), QStringLiteral("90°0' N / 180°0' W"));
    MoveOver(map, QPoint(597, 382));
    QCOMPARE(run.text("StaticTextPos"), QStringLiteral("0°7' N / 0°0' E"));
    MoveOver(map, QPoint(1193, 764));
    QCOMPARE(run.text("StaticTextPos"), QStringLiteral("89°46' S / 179°42' E"));
    MoveOver(map, QPoint(136, 10));
    QVERIFY(run.text("StaticTextPos").endsWith("138°60' W"));
    // Over the signature the readout goes on with the picture's offset.
    MoveOver(run.find<QWidget>("ImageTovak"), QPoint(5, 3));
    QCOMPARE(run.text("StaticTextPos"), Position(1107, 733));
    QVERIFY2(run.program.app.pos.CentreText.empty(), "the shared state is not touched");
    QCOMPARE(double(run.program.app.pos.CentreLat), 0.0);
}

void TestCarte::languageSwitch_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("menus"); // Quit, Language, Help, Display
    QTest::addColumn<QString>("help");
    QTest::addColumn<QString>("idle");
    QTest::addColumn<QString>("busy");
    QTest::newRow("English") << "MenuEnglish"
                             << "E"
                             << "KORVANTA V2.2.1 - Azimuth World Map Generator by Tovak"
                             << QStringList{"Quit", "Language", "Help", "Display the azimuth map"}
                             << "korvanta_en.html"
                             << "Click the map or enter a grid square >>>"
                             << "Generation in progress. Wait please !";
    QTest::newRow("French") << "MenuFrancais"
                            << "F"
                            << "KORVANTA V2.2.1 - Générateur de cartes azimutales par Tovak"
                            << QStringList{"Quitter", "Langue", "Aide",
                                           "Afficher la carte azimutale"}
                            << "korvanta_fr.html"
                            << "Cliquer la carte ou entrer un locator >>>"
                            << "Génération en cours. Patientez S.V.P.!";
    QTest::newRow("Spanish") << "MenuEspagnol"
                             << "S"
                             << "KORVANTA V2.2.1 - Azimuth, Generador de mapas del mundo, por Tovak"
                             << QStringList{"Cierre", "Idioma", "Ayuda",
                                            "Despliegue el mapa azimut"}
                             << "korvanta_es.html"
                             << "Haga clic en el mapa o introducir una cuadrícula"
                             << "Generación en curso. Espere por favor!";
}

void TestCarte::languageSwitch() {
    QFETCH(QString, item);
    QFETCH(QString, code);
    QFETCH(QString, caption);
    QFETCH(QStringList, menus);
    QFETCH(QString, help);
    QFETCH(QString, idle);
    QFETCH(QString, busy);

    Run run;
    // Start from another language so that every text really changes.
    (item == "MenuFrancais" ? run.action("MenuEspagnol") : run.action("MenuFrancais"))->trigger();
    run.action(item.toLatin1().constData())->trigger();
    QCOMPARE(run.carte()->windowTitle(), caption);
    QCOMPARE(run.program.app.LanguageCode, code);
    QCOMPARE(run.action("Menuquitter")->text(), menus[0]);
    QCOMPARE(run.find<QMenu>("MenuLangue")->title(), menus[1]);
    QCOMPARE(run.action("MenuAide")->text(), menus[2]);
    QCOMPARE(run.action("MenuVoir")->text(), menus[3]);
    QCOMPARE(run.program.app.HelpFile, help);
    QCOMPARE(run.program.app.IdlePrompt, idle);
    QCOMPARE(run.program.app.BusyPrompt, busy);
    QCOMPARE(run.text("StaticText1"), idle);
    for (const char* other : {"MenuEnglish", "MenuFrancais", "MenuEspagnol"})
        QCOMPARE(run.action(other)->isChecked(), item == QLatin1String(other));
    // Texts that stay in every language.
    QCOMPARE(run.action("menuLocator")->text(), QStringLiteral("Locator"));
    QCOMPARE(run.action("MenuEnglish")->text(), QStringLiteral("English"));
    QCOMPARE(run.action("MenuFrancais")->text(), QStringLiteral("Français"));
    QCOMPARE(run.action("MenuEspagnol")->text(), QStringLiteral("Español"));
    QCOMPARE(run.text("Label2"), QStringLiteral("locator="));
    QVERIFY(!run.program.app.LanguageFromSettings);
}

void TestCarte::languageFromSettings() {
    // Two LANGUAGE= lines apply both in turn; the second stays.
    Run run("LANGUAGE=FRENCH\r\nLANGUAGE=SPANISH\r\nLANGUAGE=KLINGON\r\n");
    QCOMPARE(run.program.app.LanguageCode, QStringLiteral("S"));
    QVERIFY(run.action("MenuEspagnol")->isChecked());
    QVERIFY(!run.action("MenuFrancais")->isChecked());
    QCOMPARE(run.program.app.HelpFile, QStringLiteral("korvanta_es.html"));
}

void TestCarte::helpOpensThePageOfTheLanguage() {
    Run run;
    run.action("MenuAide")->trigger();
    run.action("MenuFrancais")->trigger();
    run.action("MenuAide")->trigger();
    QCOMPARE(run.platform.opened, (QStringList{QDir(run.dir.path()).filePath("korvanta_en.html"),
                                               QDir(run.dir.path()).filePath("korvanta_fr.html")}));
}

void TestCarte::quitWritesTheSettingsAndTerminates() {
    Run run;
    QVERIFY(run.showCarte());
    run.action("MenuEspagnol")->trigger();
    run.program.app.FocusViewerOnActivate = true;
    QDir::setCurrent(QDir::tempPath());
    run.action("Menuquitter")->trigger();
    QCOMPARE(run.platform.terminations, 1);
    QVERIFY(run.platform.boxes.isEmpty());
    QVERIFY(!run.program.app.FocusViewerOnActivate);
    QVERIFY2(run.carte()->isVisible(), "the close request never closes the window");
    QCOMPARE(QDir::currentPath(), QDir(run.dir.path()).absolutePath());

    const QStringList lines = run.writtenLines();
    QVERIFY(lines.size() >= 14);
    QCOMPARE(lines.mid(0, 4),
             (QStringList{"[KORVANTA]", "LANGUAGE=SPANISH", "UNIT=KM", "SEPARATOR=0"}));
    QVERIFY(lines[4].startsWith("WTOP="));
    const qsizetype c = lines.indexOf(QRegularExpression("WTOPC=.*"));
    QVERIFY(c > 0);
    const QPoint pos = run.carte()->pos();
    QCOMPARE(lines.mid(c, 4),
             (QStringList{QStringLiteral("WTOPC=%1").arg(pos.y()),
                          QStringLiteral("WLEFTC=%1").arg(pos.x()),
                          QStringLiteral("WHEIGHTC=%1").arg(run.carte()->height()),
                          QStringLiteral("WWIDTHC=%1").arg(run.carte()->width())}));
    QCOMPARE(lines.mid(lines.size() - 2), (QStringList{"UTC=N", "VERSTART=0"}));
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(run.dir.filePath("korvanta.ini")).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, 0444u);
}

void TestCarte::quitRefusedWhileConnected() {
    Run run("UTC=Y\r\n");
    QVERIFY(run.showCarte());
    run.program.viewer.DdeClientConnected = true;
    run.action("Menuquitter")->trigger();
    QCOMPARE(run.platform.terminations, 0);
    QCOMPARE(run.platform.boxes.size(), 1);
    QCOMPARE(run.platform.boxes[0].kind, Platform::Box::Warning);
    QCOMPARE(run.platform.boxes[0].text,
             QStringLiteral("Une application est connectée à Korvanta. Veuillez la fermer"));
    QCOMPARE(run.written(), QByteArray("UTC=Y\r\n")); // the settings are not written
    QVERIFY(run.carte()->isVisible());

    run.program.viewer.DdeClientConnected = false;
    run.carte()->close();
    QCOMPARE(run.platform.terminations, 1);
}

void TestCarte::choicesWrittenBackWithoutTheViewer() {
    Run run("[KORVANTA]\r\nLANGUAGE=ENGLISH\r\nPELMARINPATH=/opt/pelmarin\r\nUNIT=MILE\r\n"
            "LIST=CB\r\nSEPARATOR=2\r\nDX=F\tFrance\t46\tN\t2\tE\t1\r\nDX=\r\n"
            "DXCB=14\tFrance\t46\tN\t2\tE\r\nUTC=Y\r\nVERSTART=1\r\n");
    QVERIFY(run.showCarte());
    run.action("Menuquitter")->trigger();
    QCOMPARE(run.platform.terminations, 1);
    const QStringList lines = run.writtenLines();
    QCOMPARE(lines.mid(0, 6),
             (QStringList{"[KORVANTA]", "LANGUAGE=ENGLISH", "PELMARINPATH=/opt/pelmarin",
                          "UNIT=MILE", "LIST=CB", "SEPARATOR=2"}));
    QCOMPARE(lines.mid(lines.size() - 4),
             (QStringList{"DX=F\tFrance\t46\tN\t2\tE\t1", "DXCB=14\tFrance\t46\tN\t2\tE", "UTC=Y",
                          "VERSTART=1"}));
}

void TestCarte::failedWriteIsReported() {
    Run run("UTC=Y\r\n");
    QVERIFY(QDir(run.dir.path()).mkdir("korvanta.~in"));
    run.carte()->MenuquitterClick();
    QCOMPARE(run.platform.boxes.size(), 1);
    QCOMPARE(run.platform.boxes[0].kind, Platform::Box::Error);
    QCOMPARE(run.platform.boxes[0].text, QStringLiteral("Ne peut créer korvanta.ini"));
    QCOMPARE(run.written(), QByteArray("UTC=Y\r\n"));
    QCOMPARE(run.platform.terminations, 1); // the program still ends
}

void TestCarte::paintHidesWhileTheViewerIsShown() {
    Run run;
    QVERIFY(run.showCarte());
    run.program.viewer.ReturningToGenerator = true;
    run.viewer()->show();
    run.carte()->show();
    run.carte()->repaint();
    QVERIFY2(run.carte()->isVisible(), "not while the viewer hands over");

    run.program.viewer.ReturningToGenerator = false;
    run.carte()->repaint();
    QVERIFY(!run.carte()->isVisible());
    QVERIFY2(run.find<QTimer>("TimerFinImage")->isActive(), "started on every paint");
}

void TestCarte::savedMapShownOnFirstActivation() {
    Run run;
    run.program.viewer.SavedMapLoaded = true;
    run.carte()->show();
    QTRY_VERIFY(!run.program.viewer.SavedMapLoaded);
    QVERIFY(run.action("MenuVoir")->isEnabled());
    QVERIFY(run.viewer()->isVisible());
    QVERIFY2(!run.program.app.MapUnsaved, "no generation");
    QTRY_VERIFY(!run.carte()->isVisible());
}

void TestCarte::displayAndReturn() {
    Run run;
    QVERIFY(run.showCarte());
    QTest::mouseClick(run.find<QWidget>("ImageMercator"), Qt::LeftButton, {}, QPoint(100, 100));
    QVERIFY(run.viewer()->isVisible());
    // Back to the generator: this window again, the viewer hidden.
    run.program.viewer.ReturningToGenerator = true;
    run.carte()->menuMontrerFenetreCarteClick();
    run.viewer()->hide();
    run.carte()->ResetAfterReturn();
    run.program.viewer.ReturningToGenerator = false;
    QVERIFY(run.carte()->isVisible());
    QCOMPARE(run.find<QProgressBar>("ProgressBarCalcul")->value(), 0);
    QVERIFY(run.action("MenuVoir")->isEnabled());
    // "Display the azimuthal map" turns them round again.
    run.action("MenuVoir")->trigger();
    QVERIFY(!run.carte()->isVisible());
    QVERIFY(run.viewer()->isVisible());
}

void TestCarte::savedMapFromTheSettings() {
    QTemporaryDir maps;
    const QString bmp = QDir(maps.path()).filePath("paris.bmp");
    QVERIFY(geo::WriteBmp4(geo::BlankBackground(), bmp.toStdString()).empty());
    const QByteArray ini = "IMAGE=" + QFile::encodeName(bmp) +
                           "\r\nCENTRE_IMAGE=48\xB0"
                           "51' N / 2\xB0"
                           "22' E\r\n";
    {
        Run run(ini);
        QVERIFY(run.program.viewer.SavedMapLoaded);
        QVERIFY(!run.action("MenuVoir")->isEnabled());
        run.carte()->show();
        QTRY_VERIFY(run.viewer()->isVisible());
        QVERIFY(run.action("MenuVoir")->isEnabled());
        QVERIFY(!run.program.viewer.SavedMapLoaded);
        QCOMPARE(run.centreText(), QStringLiteral("48°51' N / 2°22' E"));
        QVERIFY(!run.program.app.MapUnsaved);
        QTRY_VERIFY(!run.carte()->isVisible());
        // The saved map is written back at the end.
        run.carte()->SettingsWrite();
        QVERIFY(run.writtenLines().contains("IMAGE=" + bmp));
        QVERIFY(run.writtenLines().contains(QStringLiteral("CENTRE_IMAGE=48°51' N / 2°22' E")));
    }
    {
        // A locator on the command line wins over the saved map.
        Run run(ini, {"IO91WM"});
        QVERIFY(!run.program.viewer.SavedMapLoaded);
        QVERIFY(run.showCarte());
        QTRY_VERIFY(run.program.app.MapUnsaved);
        QCOMPARE(run.centreText(), LocatorCentre("IO91WM"));
    }
}

void TestCarte::viewerChoicesWrittenAtExit() {
    Run run("UTC=N\r\nSEPARATOR=0\r\n");
    QVERIFY(run.showCarte());
    QTest::mouseClick(run.find<QWidget>("ImageMercator"), Qt::LeftButton, {}, QPoint(597, 382));
    TFormAzimut* viewer = run.viewer();
    QVERIFY(viewer->isVisible());
    for (const char* item : {"MenuTimeUTC", "MenuDXCCCB", "SepSlash", "MenuUnitmile"}) {
        QAction* a = viewer->findChild<QAction*>(QLatin1String(item));
        QVERIFY2(a, item);
        a->trigger();
    }
    viewer->move(40, 50);
    run.carte()->SettingsWrite();
    const QStringList lines = run.writtenLines();
    for (const char* line : {"UNIT=MILE", "LIST=CB", "SEPARATOR=2", "UTC=Y"})
        QVERIFY2(lines.contains(QLatin1String(line)), line);
    QVERIFY(lines.contains(QStringLiteral("WTOP=%1").arg(viewer->y())));
    QVERIFY(lines.contains(QStringLiteral("WLEFT=%1").arg(viewer->x())));
    QVERIFY(lines.contains(QStringLiteral("WWIDTH=%1").arg(viewer->width())));
}

void TestCarte::wildWindowPlacesKeptOnScreenSizesBounded() {
    Run run("WTOPC=2000000000\r\nWLEFTC=-2000000000\r\nWHEIGHTC=2147483647\r\n"
            "WWIDTHC=-5\r\nWTOP=-2147483648\r\nWLEFT=2147483647\r\nWHEIGHT=0\r\n"
            "WWIDTH=2147483647\r\nWHSB=2147483647\r\n",
            {"JN18EU"});
    QVERIFY(run.platform.boxes.isEmpty());
    TFormCarte* w = run.carte();
    // Each window keeps at least its title bar on a screen.
    auto onAScreen = [](const QWidget* window) {
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QRect bar(window->x(), window->y(), window->width(), 24);
            const QRect inside = bar & screen->availableGeometry();
            if (inside.height() == 24 && inside.width() >= std::min(100, window->width()))
                return true;
        }
        return false;
    };
    QVERIFY(onAScreen(w));
    QVERIFY(onAScreen(run.viewer()));
    // A window larger than the desktop cannot be painted (no picture buffer
    // that large): the size stays within the desktop, and the first paint
    // still starts the command-line locator.
    QSize desktop(1228, 875);
    for (const QScreen* screen : QGuiApplication::screens())
        desktop = desktop.expandedTo(screen->virtualGeometry().size());
    QCOMPARE(w->height(), desktop.height());
    QCOMPARE(w->width(), 100);
    w->show();
    QTRY_VERIFY(run.program.app.MapUnsaved);
    QTRY_VERIFY(run.viewer()->isVisible());
    QVERIFY(run.viewer()->width() >= 100);
    QVERIFY(onAScreen(run.viewer()));
    run.carte()->MenuquitterClick();
    const QStringList lines = run.writtenLines();
    for (const QString& line :
         {QStringLiteral("WTOPC=%1").arg(w->y()), QStringLiteral("WLEFTC=%1").arg(w->x()),
          QStringLiteral("WWIDTHC=100")})
        QVERIFY2(lines.contains(line), qPrintable(line));
}

void TestCarte::damagedSettingsFile() {
    // Binary bytes, a NUL in the saved map's name, a very long centre text.
    QByteArray ini = "[KORVANTA]\r\n\x00\x01\xFF\xFE=\x80\r\nIMAGE=map\x00.bmp\r\n";
    ini += "CENTRE_IMAGE=45\xB0"
           "30' N / " +
           QByteArray(2000000, 'x') + "\r\nLANGUAGE=FRENCH\x00\r\n";
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            ini += "DX=" + QByteArray(3, char(b)) + "\t" + QByteArray(1, char(255 - b)) + "\r\n";
    ini += "DX=F\tFrance\t46\tN\t2\tE\t1\r\nUTC=Y\r\n";
    Run run(ini);
    QVERIFY(run.platform.boxes.isEmpty());
    QCOMPARE(run.program.app.pos.CentreLat, 45.5L);
    QVERIFY(run.program.app.ClockIsUTC);
    QVERIFY(run.program.app.LanguageCode.isEmpty());
    run.carte()->show();
    QTest::qWait(150);
    QTest::mouseClick(run.find<QWidget>("ImageMercator"), Qt::LeftButton, {}, QPoint(300, 300));
    QVERIFY(run.viewer()->isVisible());
    run.carte()->MenuquitterClick();
    QCOMPARE(run.platform.terminations, 1);
    const QStringList lines = run.writtenLines();
    QVERIFY(lines.contains("UTC=Y"));
    // The editors skip the damaged rows; the good one (beyond their 99 rows) is kept.
    QVERIFY(lines.contains("DX=F\tFrance\t46\tN\t2\tE\t1"));

    // A settings file too large to be anyone's settings is not read: the
    // failure is told and the start goes on without it.
    Run big(QByteArray("UTC=Y\r\n") + QByteArray(5 * 1024 * 1024, 'x'), {"JN18EU"});
    QCOMPARE(big.platform.boxes.size(), 1);
    QCOMPARE(big.platform.boxes[0].kind, Platform::Box::Error);
    QVERIFY(!big.program.app.ClockIsUTC);
    QVERIFY2(!big.program.app.pos.LocatorPending, "the rest of the creation is skipped");
}

void TestCarte::settingsOfSomeoneElseAreLeftAlone() {
    Run run;
    QVERIFY(!run.program.app.SettingsExisted);
    {
        QFile f(run.dir.filePath("korvanta.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("LANGUAGE=SPANISH\r\n");
    }
    run.action("MenuFrancais")->trigger();
    run.carte()->MenuquitterClick();
    QCOMPARE(run.platform.terminations, 1);
    QVERIFY(run.platform.boxes.isEmpty());
    QCOMPARE(run.written(), QByteArray("LANGUAGE=SPANISH\r\n"));
    QFile temp(run.dir.filePath("korvanta.~in"));
    QVERIFY(temp.open(QIODevice::ReadOnly));
    QVERIFY(temp.readAll().contains("LANGUAGE=FRENCH\r\n"));
}

void TestCarte::northPoleRow() {
    Run run;
    QVERIFY(run.showCarte());
    QTest::mouseClick(run.find<QWidget>("ImageMercator"), Qt::LeftButton, {}, QPoint(597, 0));
    QVERIFY(run.program.app.MapUnsaved);
    QCOMPARE(run.centreText(), QStringLiteral("90°0' N / 0°0' E"));
    QCOMPARE(run.program.app.pos.CentreLat, 89.9L);
}

void TestCarte::backFromTheViewerLeavesTheFocus() {
    // The viewer's hand-back shows this window at the platform level: the
    // show handler does not run, so the focus stays where the user left it
    // and the second locator box's text is not confirmed.
    Run run;
    QVERIFY(run.showCarte());
    run.action("menuLocator")->trigger();
    QVERIFY(!run.find<QWidget>("EditLocator")->isHidden());
    auto* qra = run.find<QLineEdit>("EditQRA");
    qra->setFocus(Qt::MouseFocusReason);
    QCOMPARE(run.carte()->focusWidget(), qra);
    run.carte()->MenuCacherFenetreCarteClick();
    qra->setText("JN18EU");
    run.carte()->menuMontrerFenetreCarteClick();
    run.carte()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(run.carte()));
    QCOMPARE(run.carte()->focusWidget(), qra);
    QVERIFY(!run.program.app.MapUnsaved);
    QVERIFY(run.carte()->isVisible());
}

void TestCarte::settingsBesideAReadOnlyProgramAreRead() {
    QTemporaryDir exe;
    QTemporaryDir config;
    const QByteArray beside = "DX=F\tFrance\t46\tN\t2\tE\tUTC+1\r\nUTC=Y\r\n";
    {
        QFile f(exe.filePath("korvanta.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(beside);
    }
    FakePlatform platform;
    platform.folder = config.path();
    Program program(platform);
    program.app.SettingsExisted = false;
    program.app.SettingsSource = SettingsFileToRead(config.path(), exe.path());
    CreateForms(program);
    QVERIFY(program.app.ClockIsUTC);
    QCOMPARE(program.forms.FormListeDXCC->Cell(0, 1), QStringLiteral("F"));
    EndProgram(program);
    DestroyForms(program);
    // Written into the configuration folder; the file beside the program stays.
    QFile written(config.filePath("korvanta.ini"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QVERIFY(bytes.contains("DX=F\tFrance\t46\tN\t2\tE\tUTC+1\r\n"));
    QVERIFY(bytes.contains("UTC=Y\r\n"));
    QFile old(exe.filePath("korvanta.ini"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), beside);
}

// A viewer showing a map that was generated and not saved, on a first run.
void ShowUnsavedMap(Run& run) {
    run.program.app.MapUnsaved = true;
    run.viewer()->show();
    QVERIFY(QTest::qWaitForWindowExposed(run.viewer()));
}

void TestCarte::theEndWritesOnceWhateverAsks() {
    Run run;
    ShowUnsavedMap(run);
    // The world-map window's close asks nothing of the viewer's.
    run.carte()->close();
    QCOMPARE(run.platform.terminations, 1);
    QVERIFY(run.platform.boxes.isEmpty());
    QVERIFY(QFile::exists(run.dir.filePath("korvanta.ini")));
    // Close requests arriving while the program ends (the toolkit closing its
    // windows) neither ask nor write again: a second write of a first run
    // would leave korvanta.~in behind.
    run.viewer()->close();
    run.carte()->close();
    QCOMPARE(run.platform.terminations, 1);
    QVERIFY(run.platform.boxes.isEmpty());
    QVERIFY(!QFile::exists(run.dir.filePath("korvanta.~in")));
}

void TestCarte::ctrlQMakesTheCloseRequestOfBothWindows() {
    {
        Run run;
        QVERIFY(run.showCarte());
        QTest::keyClick(run.carte(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(run.platform.terminations, 1);
        QCOMPARE(run.action("Menuquitter")->text(), QStringLiteral("Quit"));
    }
    Run run;
    ShowUnsavedMap(run);
    run.viewer()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(run.viewer()));
    run.platform.confirmations = {false};
    QTest::keyClick(run.viewer(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(run.platform.boxes.size(), 1); // the viewer's own save question
    QCOMPARE(run.platform.boxes[0].kind, Platform::Box::Confirm);
    QCOMPARE(run.platform.terminations, 1);
}

void TestCarte::endSignalsEndLikeAClose_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestCarte::endSignalsEndLikeAClose() {
    QFETCH(int, signal);
    Run run;
    ShowUnsavedMap(run);
    run.viewer()->MenuTimeUTC->trigger();
    QList<int> received;
    const EndSignals watcher([&](int s) {
        received.append(s);
        EndProgram(run.program);
    });
    QCOMPARE(::raise(signal), 0);
    QTRY_COMPARE(run.platform.terminations, 1);
    QCOMPARE(received, QList<int>{signal});
    QVERIFY(run.platform.boxes.isEmpty()); // no question
    QVERIFY(run.writtenLines().contains(QStringLiteral("UTC=Y")));
}

namespace {

class CountingWindow : public QWidget {
  public:
    int closes = 0;

  protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        event->ignore();
    }
};

} // namespace

void TestCarte::quitStopsTheLoopWithoutClosingTheWindows() {
    QtPlatform platform(QDir::tempPath());
    CountingWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTimer::singleShot(0, &window, [&platform] { platform.terminate(); });
    // Should a refused close keep the loop running, the test ends anyway.
    QTimer::singleShot(20000, &window, [] { QCoreApplication::exit(1); });
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(window.closes, 0);
    QVERIFY(window.isVisible());
}

QTEST_MAIN(TestCarte)
#include "test_carte.moc"
