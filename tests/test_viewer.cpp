// The viewer window with real windows: creation, show and activation
// refreshes, the centre caption, the overlays, the readout, the clock, the
// languages, "Back to map generator" and the close request.
#include "ProgramRun.h"

#include "app/Program.h"
#include "app/UnitCarte.h"
#include "dialogs/UnitSave.h"
#include "viewer/UnitAzimut.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

using Run = ProgramRun;

void MoveOver(QWidget* w, int x, int y) {
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

uint32_t Pixel(const TFormAzimut* v, int x, int y) {
    return v->mapPicture().pixel(x, y) & 0xFFFFFFu;
}

// The pure red of the overlays, as it is stored in the 16-colour map.
uint32_t OverlayRed() {
    return geo::Palette[geo::NearestPaletteIndex(0xFF0000)];
}

// Number of pixels of `colour` in the rectangle.
int Count(const TFormAzimut* v, const QRect& r, uint32_t colour) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (Pixel(v, x, y) == colour) ++n;
    return n;
}

bool RedNear(const TFormAzimut* v, int x, int y) {
    return Count(v, QRect(x - 1, y - 1, 3, 3), OverlayRed()) > 0;
}

QString ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

} // namespace

class ViewerTest : public QObject, ProgramRunFixture {
    Q_OBJECT
    TFormAzimut* startViewer(const QString& language = QStringLiteral("E")) {
        run->create();
        run->program.app.LanguageCode = language;
        run->program.app.pos.CentreText = "48°51' N / 2°22' E";
        TFormAzimut* v = run->viewer();
        v->show();
        return v;
    }

  private slots:
    void init() { startRun(); }
    void cleanup() { endRun(); }

    void creationLeavesTheDesignStateAndTheFrenchMessages() {
        run->create();
        TFormAzimut* v = run->viewer();
        QCOMPARE(v->windowTitle(), QStringLiteral("Carte azimutale"));
        QCOMPARE(v->maximumSize(), QSize(950, 700));
        QCOMPARE(v->size(), QSize(950, 691));
        QCOMPARE(v->findChild<QWidget*>(QStringLiteral("ImageAzimut"))->geometry(),
                 QRect(0, 0, 600, 600));
        QCOMPARE(v->findChild<QWidget*>(QStringLiteral("ListBoxDXW"))->geometry(),
                 QRect(608, 0, 313, 601));
        QCOMPARE(v->findChild<QWidget*>(QStringLiteral("EditCall"))->geometry(),
                 QRect(672, 604, 73, 23));
        QCOMPARE(v->LabelLP->text(), QStringLiteral("<=Direct       Long Pass =>"));
        QVERIFY(v->EditUTC->isReadOnly());
        QVERIFY(!v->TimerSeconde->isActive());
        QVERIFY(!v->TimerDX->isActive());
        QCOMPARE(v->TimerDX->interval(), 400);
        QVERIFY(v->MenuUnitKM->isChecked());
        QVERIFY(v->MenuTimeLocal->isChecked());
        QVERIFY(v->MenuDXCCOM->isChecked());
        QVERIFY(v->SepDefault->isChecked());
        // The map starts as a copy of the blank template.
        QCOMPARE(v->Map(), v->BlankMap());
        // The clock fields hold the local time of creation, without " Z".
        QCOMPARE(v->StaticTextTime->text(), QStringLiteral(" 15:05:09"));
        QCOMPARE(v->StaticTextDate->text(), QStringLiteral(" 07/12/2026"));
        // The message variables hold their French defaults until the first show.
        const ViewerMessages& m = run->program.viewer.msg;
        QCOMPARE(m.AzimuthLabel, QStringLiteral(" Azimut = "));
        QCOMPARE(m.RangeLabel, QStringLiteral(" Distance = "));
        QCOMPARE(m.ConnectedMessage,
                 QStringLiteral("Une application est connectée à Korvanta. Veuillez la fermer"));
        QCOMPARE(m.SaveQuestion,
                 QStringLiteral("Voulez-vous enregistrer la carte pour la session suivante ?"));
        QCOMPARE(m.DxMissingField, QStringLiteral("Renseignez tous les champs d'un DX , svp"));
        QCOMPARE(m.DxLatitudeLetter, QStringLiteral("N ou S"));
        QCOMPARE(m.DxLongitudeLetter, QStringLiteral("E ou W"));
        QCOMPARE(m.DxWrongFormat, QStringLiteral("Format erroné !"));
        QVERIFY(m.NewerReleaseMessage.startsWith(
            QStringLiteral("Une version plus récente est disponible. Voir :\nhttp")));
        QCOMPARE(m.UpToDateMessage, QStringLiteral("Vous êtes à jour"));
    }

    void layoutOfTheControls() {
        run->create();
        TFormAzimut* v = run->viewer();
        const struct {
            const char* name;
            QRect geometry;
            bool hidden;
        } controls[] = {
            {"ImageOriginale", QRect(0, 0, 600, 600), true},
            {"StaticTextDate", QRect(8, 8, 113, 17), false},
            {"StaticTextTime", QRect(480, 8, 112, 17), false},
            {"StaticTextAzim", QRect(8, 604, 209, 19), false},
            {"StaticTextLP", QRect(368, 604, 209, 19), false},
            {"ListBoxDX", QRect(608, 0, 313, 601), true},
            {"ListBoxDXCB", QRect(608, 0, 313, 601), true},
            {"EditUTC", QRect(816, 604, 89, 23), false},
            {"ButtonLangue", QRect(8, 80, 49, 25), true},
        };
        for (const auto& c : controls) {
            auto* w = v->findChild<QWidget*>(QString::fromLatin1(c.name));
            QVERIFY2(w, c.name);
            QCOMPARE(w->geometry(), c.geometry);
            QCOMPARE(w->isHidden(), c.hidden);
        }
        QCOMPARE(v->LabelLP->pos(), QPoint(220, 604));
        QCOMPARE(v->LabelCall->pos(), QPoint(627, 608));
        QCOMPARE(v->LabelCall->text(), QStringLiteral("CALL : "));
        QCOMPARE(v->LabelUTC->pos(), QPoint(776, 608));
        QCOMPARE(v->LabelUTC->text(), QStringLiteral("UTC:"));
        QCOMPARE(v->ButtonLangue->text(), QStringLiteral("Langue"));
        QVERIFY(v->ImageDX->isHidden());
        QVERIFY(v->ImageDX45->isHidden());
        // The tooltip background of the fields and the list, the light 3-D
        // colour of the long-path readout; centred clock fields.
        const QColor tip = v->palette().color(QPalette::ToolTipBase);
        for (QWidget* w :
             {static_cast<QWidget*>(v->StaticTextDate), static_cast<QWidget*>(v->StaticTextTime),
              static_cast<QWidget*>(v->StaticTextAzim)})
            QCOMPARE(w->palette().color(QPalette::Window), tip);
        QCOMPARE(v->ListBoxDXW->palette().color(QPalette::Base), tip);
        QCOMPARE(v->EditCall->palette().color(QPalette::Base), tip);
        QCOMPARE(v->StaticTextLP->palette().color(QPalette::Window),
                 v->palette().color(QPalette::Midlight));
        QCOMPARE(v->StaticTextDate->alignment(), Qt::AlignCenter);
        QCOMPARE(v->StaticTextTime->alignment(), Qt::AlignCenter);
        // Arial bold, 12 pixels: the list, the call-sign field and the labels below the map.
        for (QWidget* w : {static_cast<QWidget*>(v->ListBoxDXW), static_cast<QWidget*>(v->EditCall),
                           static_cast<QWidget*>(v->LabelLP), static_cast<QWidget*>(v->LabelCall),
                           static_cast<QWidget*>(v->LabelUTC)}) {
            QCOMPARE(w->font().pixelSize(), 12);
            QVERIFY(w->font().bold());
        }
    }

    void showRefreshAppliesTheSettingsAndStartsTheClock() {
        run->create();
        AppState& app = run->program.app;
        app.LanguageCode = QStringLiteral("E");
        app.ClockIsUTC = true;
        app.ViewerLeft = 20;
        app.ViewerTop = 30;
        run->program.viewer.UnitFactor = 1.609344L;
        TFormAzimut* v = run->viewer();
        v->show();
        QCOMPARE(v->windowTitle(), QStringLiteral("KORVANTA V2.2.1"));
        QCOMPARE(v->pos(), QPoint(20, 30));
        QVERIFY(v->MenuTimeUTC->isChecked());
        QVERIFY(!v->MenuTimeLocal->isChecked());
        QCOMPARE(v->StaticTextTime->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(v->MenuUnitmile->isChecked());
        QCOMPARE(v->MenuEnregistrer->text(), QStringLiteral("&Save this azimuth map"));
        QCOMPARE(run->program.viewer.msg.AzimuthLabel, QStringLiteral(" Azimuth = "));
        QVERIFY(v->TimerSeconde->isActive());
        QCOMPARE(v->TimerSeconde->interval(), 1000);
    }

    void activationRefreshAndTheDialogSkip() {
        TFormAzimut* v = startViewer();
        v->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(v));
        // Another window takes the focus; the language changes behind the viewer.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        run->program.app.LanguageCode = QStringLiteral("F");
        run->program.viewer.ReturningFromDialog = true;
        v->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(v));
        // Coming back from a dialog: the flag is consumed, nothing refreshed.
        QVERIFY(!run->program.viewer.ReturningFromDialog);
        QCOMPARE(v->MenuFichier->title(), QStringLiteral("&File"));
        // Coming back from another program is no activation of the viewer.
        QApplication::setActiveWindow(nullptr);
        QVERIFY(!v->isActiveWindow());
        QApplication::setActiveWindow(v);
        QVERIFY(v->isActiveWindow());
        QCOMPARE(v->MenuFichier->title(), QStringLiteral("&File"));
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        v->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(v));
        QCOMPARE(v->MenuFichier->title(), QStringLiteral("&Fichier"));
    }

    void activationRefreshRunsTheLookupLast() {
        TFormAzimut* v = startViewer();
        v->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(v));
        v->EditCall->setText(QStringLiteral("F"));
        QVERIFY(v->StaticTextAzim->text().startsWith(QStringLiteral(" Azimuth = ")));
        QVERIFY(v->StaticTextAzim->text().endsWith(QStringLiteral(" km")));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        run->program.app.LanguageCode = QStringLiteral("F");
        run->program.app.SeparatorIndex = 3;
        run->program.viewer.UnitFactor = 1.609344L;
        v->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(v));
        // The lookup comes after the language, the separator and the unit:
        // it finds its row in the rebuilt list and reads in French and miles.
        QVERIFY(v->SepEqual->isChecked());
        QVERIFY(v->MenuUnitmile->isChecked());
        QVERIFY(v->ListBoxDXW->currentItem());
        QVERIFY(v->ListBoxDXW->currentItem()->text().contains(QLatin1Char('=')));
        QVERIFY2(v->StaticTextAzim->text().startsWith(QStringLiteral(" Azimut = ")),
                 qPrintable(v->StaticTextAzim->text()));
        QVERIFY(v->StaticTextAzim->text().endsWith(QStringLiteral(" miles")));
    }

    void closingTheSaveDialogSkipsTheNextActivationRefresh() {
        TFormAzimut* v = startViewer();
        v->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(v));
        v->MenuEnregistrer->trigger();
        TFormSave* save = run->program.forms.FormSave;
        save->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(save));
        run->program.app.LanguageCode = QStringLiteral("F");
        QTest::mouseClick(save->findChild<QPushButton*>(QStringLiteral("ButtonCancel")),
                          Qt::LeftButton);
        QVERIFY(!save->isVisible());
        QVERIFY(run->program.viewer.ReturningFromDialog);
        v->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(v));
        // Back from the dialog: the flag is used up and the texts stay.
        QVERIFY(!run->program.viewer.ReturningFromDialog);
        QCOMPARE(v->MenuFichier->title(), QStringLiteral("&File"));
        QCOMPARE(run->platform.terminations, 0);
    }

    void centreCaptionOverAWhiteBox() {
        TFormAzimut* v = startViewer();
        // (2, 585) lies on the black outside the disc: the caption's box is white.
        const QRect box(2, 585, 150, 10);
        QVERIFY(Count(v, box, 0xFFFFFF) > 200);
        QVERIFY(Count(v, box, 0x000000) > 20);
        // Just left of the box the background stays black.
        QCOMPARE(Pixel(v, 1, 590), 0x000000u);
        // A longer centre text gives a longer box.
        const int whiteBefore = Count(v, QRect(2, 585, 300, 12), 0xFFFFFF);
        run->program.app.pos.CentreText = "48°51' N / 2°22' E  48°51' N / 2°22' E";
        v->DrawCentreCaption();
        QVERIFY(Count(v, QRect(2, 585, 300, 12), 0xFFFFFF) > whiteBefore);
    }

    void axesAreRedLinesWithLabels() {
        TFormAzimut* v = startViewer();
        v->SetMap(geo::PaletteImage(600, 600, 10)); // all sea
        v->MenuAxes->trigger();
        const uint32_t red = OverlayRed();
        for (const QPoint p : {QPoint(300, 50), QPoint(300, 550), QPoint(50, 300), QPoint(550, 300),
                               QPoint(150, 150), QPoint(450, 450), QPoint(150, 450),
                               QPoint(450, 150), QPoint(88, 88)})
            QVERIFY2(Pixel(v, p.x(), p.y()) == red, qPrintable(QString::number(p.x())));
        QVERIFY(Pixel(v, 310, 50) != red);
        QVERIFY(Pixel(v, 86, 86) != red);
        // The labels sit on white boxes (the brush is still solid).
        QVERIFY(Count(v, QRect(297, 1, 3, 10), 0xFFFFFF) > 5);    // "0"
        QVERIFY(Count(v, QRect(584, 294, 10, 10), 0xFFFFFF) > 5); // "90"
        QVERIFY(Count(v, QRect(88, 89, 15, 10), 0x000000) > 5);   // "315" in black
        // A second time leaves the picture as after the first.
        const geo::PaletteImage once = v->Map();
        v->MenuAxes->trigger();
        QCOMPARE(v->Map(), once);
    }

    void circlesMakeTheBrushHollowForTheLabels() {
        TFormAzimut* v = startViewer();
        v->SetMap(geo::PaletteImage(600, 600, 10));
        v->MenuDistances->trigger();
        for (const int a : {75, 150, 225}) {
            QVERIFY(RedNear(v, 300, a));
            QVERIFY(RedNear(v, a, 300));
            QVERIFY(RedNear(v, 300, 600 - a));
            QVERIFY(RedNear(v, 600 - a, 300));
        }
        QVERIFY(!RedNear(v, 300, 300));
        QVERIFY(!RedNear(v, 300, 110));
        v->MenuAxes->trigger();
        // No white at all: the labels are drawn without their box.
        QCOMPARE(Count(v, QRect(0, 0, 600, 600), 0xFFFFFF), 0);
        QVERIFY(Count(v, QRect(584, 294, 12, 12), 0x000000) > 5);
        // The caption alone keeps its white box: black on the black corner
        // would not be read, on screen or in the saved map.
        v->MenuDistances->trigger();
        v->DrawCentreCaption();
        QVERIFY(Count(v, QRect(2, 585, 150, 10), 0xFFFFFF) > 200);
        QVERIFY(Count(v, QRect(2, 585, 150, 10), 0x000000) > 20);
        QCOMPARE(Count(v, QRect(0, 0, 600, 580), 0xFFFFFF), 0);
    }

    void readoutFollowsTheMouse() {
        TFormAzimut* v = startViewer();
        ViewerState& vs = run->program.viewer;
        v->ImageDX->show();
        v->TimerDX->start();
        MoveOver(v->ImageAzimut, 400, 200);
        QCOMPARE(v->StaticTextAzim->text(), QStringLiteral(" Azimuth = 45° /  Range = 9428 km"));
        QCOMPARE(v->StaticTextLP->text(), QStringLiteral(" Azimuth = 225° /  Range = 30572 km"));
        QCOMPARE(vs.PointedBearingText, QStringLiteral("45"));
        QVERIFY(!v->ImageDX->isVisible());
        QVERIFY(!v->ImageDX45->isVisible());
        QVERIFY(!v->TimerDX->isActive());
        MoveOver(v->ImageAzimut, 299, 10);
        QCOMPARE(vs.PointedBearingText, QStringLiteral("360"));
        MoveOver(v->ImageAzimut, 0, 0);
        QCOMPARE(v->StaticTextAzim->text(), QStringLiteral(" Azimuth =  /  Range = "));
        QCOMPARE(v->StaticTextLP->text(), v->StaticTextAzim->text());
        QVERIFY(vs.PointedBearingText.isEmpty());
        // Miles: nothing changes until the mouse moves again.
        MoveOver(v->ImageAzimut, 300, 0);
        v->MenuUnitmile->trigger();
        QCOMPARE(vs.UnitFactor, 1.609344L);
        QVERIFY(!v->MenuUnitKM->isChecked());
        QCOMPARE(v->StaticTextAzim->text(), QStringLiteral(" Azimuth = 0° /  Range = 20000 km"));
        MoveOver(v->ImageAzimut, 300, 0);
        QCOMPARE(v->StaticTextAzim->text(), QStringLiteral(" Azimuth = 0° /  Range = 12427 miles"));
        QCOMPARE(v->StaticTextLP->text(), QStringLiteral(" Azimuth = 180° /  Range = 12427 miles"));
        v->MenuUnitKM->trigger();
        QCOMPARE(vs.UnitFactor, 1.0L);
        // French labels.
        run->program.app.LanguageCode = QStringLiteral("F");
        v->ButtonLangueClick();
        MoveOver(v->ImageAzimut, 100, 500);
        QCOMPARE(v->StaticTextAzim->text(),
                 QStringLiteral(" Azimut = 225° /  Distance = 18856 km"));
    }

    void clockInBothModes() {
        TFormAzimut* v = startViewer();
        v->MenuTimeUTC->trigger();
        // Red at once; the " Z" comes with the next tick.
        QCOMPARE(v->StaticTextTime->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(v->StaticTextDate->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(v->StaticTextTime->text(), QStringLiteral(" 15:05:09"));
        v->TimerSecondeTimer();
        QCOMPARE(v->StaticTextTime->text(), QStringLiteral(" 14:05:09 Z"));
        QCOMPARE(v->StaticTextDate->text(), QStringLiteral(" 07/12/2026"));
        v->MenuTimeLocal->trigger();
        QCOMPARE(v->StaticTextTime->palette().color(QPalette::WindowText), QColor(Qt::black));
        v->TimerSecondeTimer();
        QCOMPARE(v->StaticTextTime->text(), QStringLiteral(" 15:05:09"));
        // A US locale's formats.
        run->platform.timeFormat = QStringLiteral("h:mm:ss AP t");
        run->platform.dateFormat = QStringLiteral("M/d/yyyy");
        v->TimerSecondeTimer();
        QCOMPARE(v->StaticTextTime->text(), QStringLiteral(" 3:05:09 PM"));
        QCOMPARE(v->StaticTextDate->text(), QStringLiteral(" 12/7/2026"));
    }

    void menuChoicesSurviveTheNextShowAndAreWritten() {
        TFormAzimut* v = startViewer();
        v->MenuTimeUTC->trigger();
        v->SepSlash->trigger();
        v->MenuDXCCCB->trigger();
        QVERIFY(run->program.app.ClockIsUTC);
        QCOMPARE(run->program.app.SeparatorIndex, 2);
        QVERIFY(run->program.app.ListIsCB);
        v->hide();
        v->show();
        QVERIFY(v->MenuTimeUTC->isChecked());
        v->MenuTimeLocal->trigger();
        QVERIFY(!run->program.app.ClockIsUTC);
        v->MenuTimeUTC->trigger();
        run->program.app.MapUnsaved = false;
        v->MenuQuitter->trigger();
        QCOMPARE(run->platform.terminations, 1);
        const QString ini = ReadFile(dir->filePath(QStringLiteral("korvanta.ini")));
        QVERIFY(ini.contains(QStringLiteral("UTC=Y\r\n")));
        QVERIFY(ini.contains(QStringLiteral("SEPARATOR=2\r\n")));
        QVERIFY(ini.contains(QStringLiteral("LIST=CB\r\n")));
    }

    void languagesOfTheViewer() {
        TFormAzimut* v = startViewer(QStringLiteral("F"));
        const ViewerMessages& m = run->program.viewer.msg;
        QCOMPARE(v->MenuFichier->title(), QStringLiteral("&Fichier"));
        QCOMPARE(v->MenuEnregistrer->text(), QStringLiteral("&Enregister la carte azimutale"));
        QCOMPARE(v->MenuSeparator->title(), QStringLiteral("Séparateur"));
        QCOMPARE(v->SepSlash->text(), QStringLiteral("Barre de fraction / "));
        QCOMPARE(m.ConnectedMessage,
                 QStringLiteral("Une application est connectée à Korvanta. SVP, déconnectez-là."));
        QVERIFY(v->MenuFrancais->isChecked());
        QVERIFY(!v->MenuEnglish->isChecked());

        run->program.app.LanguageCode = QStringLiteral("S");
        v->ButtonLangueClick();
        QCOMPARE(v->SepDefault->text(), QStringLiteral("Por defecto \t"));
        QCOMPARE(v->SepUnderscore->text(), QStringLiteral("Underscore _"));
        QCOMPARE(v->SepSlash->text(), QStringLiteral("Raya vertical /"));
        QCOMPARE(v->SepEqual->text(), QStringLiteral("Igualdad ="));
        QCOMPARE(v->MenuAide->text(), QStringLiteral("A&yuda"));
        QCOMPARE(m.DxLongitudeLetter, QStringLiteral("E or O"));
        QCOMPARE(m.RangeLabel, QStringLiteral(" Rango = "));
        QVERIFY(v->MenuEspagnol->isChecked());
        QVERIFY(!v->MenuFrancais->isChecked());
        // Texts that read the same in every language.
        for (const char* code : {"E", "F", "S"}) {
            run->program.app.LanguageCode = QString::fromLatin1(code);
            v->ButtonLangueClick();
            QCOMPARE(v->MenuQuitter->text(), QStringLiteral("Quit"));
            QCOMPARE(v->MenuUnitKM->text(), QStringLiteral("Km"));
            QCOMPARE(v->MenuUnitmile->text(), QStringLiteral("Mile"));
            QCOMPARE(v->MenuTimeLocal->text(), QStringLiteral("Local"));
            QCOMPARE(v->MenuTimeUTC->text(), QStringLiteral("UTC (Z)"));
            QCOMPARE(v->MenuXXX->title(), QStringLiteral("?"));
        }
        // Another code changes nothing.
        run->program.app.LanguageCode = QStringLiteral("D");
        v->ButtonLangueClick();
        QCOMPARE(v->MenuOptions->title(), QStringLiteral("&Opciones"));
        QVERIFY(v->MenuEspagnol->isChecked());
    }

    void viewerLanguageMenuDrivesTheMainWindow() {
        TFormAzimut* v = startViewer();
        v->MenuFrancais->trigger();
        QCOMPARE(run->program.app.LanguageCode, QStringLiteral("F"));
        QVERIFY(run->carte()->MenuFrancais->isChecked());
        QVERIFY(!run->carte()->MenuEnglish->isChecked());
        QVERIFY(run->carte()->windowTitle().contains(QStringLiteral("Générateur")));
        QVERIFY(v->MenuFrancais->isChecked());
        QVERIFY(!v->MenuEnglish->isChecked());
        QCOMPARE(v->Menugenerateur->text(), QStringLiteral("&Retour au générateur de cartes"));
        v->MenuEspagnol->trigger();
        QVERIFY(run->carte()->MenuEspagnol->isChecked());
        QCOMPARE(v->MenuLangue->title(), QStringLiteral("&Idioma"));
        QVERIFY(v->MenuEspagnol->isChecked());
        QVERIFY(!v->MenuFrancais->isChecked());
    }

    void backToTheGenerator() {
        TFormAzimut* v = startViewer();
        v->MenuAxes->trigger();
        const geo::PaletteImage withAxes = v->Map();
        MoveOver(v->ImageAzimut, 400, 200);
        v->ListBoxDXW->addItem(QStringLiteral("1A\tMalta (Eu)\t35.83N\t14.58E\tUTC+1*"));
        v->ListBoxDXW->setCurrentRow(0);
        v->ListBoxDXW->setToolTip(QStringLiteral("  1A  Malta (Eu)"));
        v->DxAzimText = QStringLiteral("x");
        v->EditCall->setText(QStringLiteral("1A"));
        v->TimerDX->start();
        run->carte()->ProgressBarCalcul->setValue(500);
        run->carte()->EditQRA->setText(QStringLiteral("JN18EU"));
        v->Menugenerateur->trigger();
        QVERIFY(!v->isVisible());
        QVERIFY(run->carte()->isVisible());
        QVERIFY(!run->program.viewer.ReturningToGenerator);
        QVERIFY(!v->TimerDX->isActive());
        QVERIFY(!v->TimerSeconde->isActive());
        QVERIFY(v->ListBoxDXW->selectedItems().isEmpty());
        QVERIFY(v->StaticTextAzim->text().isEmpty());
        QVERIFY(v->StaticTextLP->text().isEmpty());
        QVERIFY(v->EditCall->text().isEmpty());
        QVERIFY(v->DxAzimText.isEmpty());
        QVERIFY(v->ListBoxDXW->toolTip().isEmpty());
        QCOMPARE(run->carte()->ProgressBarCalcul->value(), 0);
        QVERIFY(run->carte()->EditQRA->text().isEmpty());
        // The overlays stay on the map until the next generation.
        QCOMPARE(v->Map(), withAxes);
        run->carte()->ImageMercatorMouseUp(Qt::LeftButton, 597, 382);
        QVERIFY(v->isVisible());
        QCOMPARE(QString::fromStdString(run->program.app.pos.CentreText),
                 QStringLiteral("0°7' N / 0°0' E"));
        QVERIFY(Count(v, QRect(300, 0, 1, 580), OverlayRed()) < 290);
        QVERIFY(Count(v, QRect(0, 300, 600, 1), OverlayRed()) < 300);
        // The new map carries its own centre caption.
        QVERIFY(Count(v, QRect(2, 585, 150, 10), 0xFFFFFF) > 200);
    }

    void theHollowBrushOutlivesTheNextGeneration() {
        TFormAzimut* v = startViewer();
        v->MenuDistances->trigger();
        v->Menugenerateur->trigger();
        run->carte()->ImageMercatorMouseUp(Qt::LeftButton, 597, 382);
        QVERIFY(v->isVisible());
        // The new map has no circles, its caption has its white box, and the
        // brush of the picture stayed hollow for the axis labels.
        QVERIFY(!RedNear(v, 300, 75));
        QVERIFY(Count(v, QRect(2, 585, 150, 10), 0xFFFFFF) > 200);
        v->SetMap(geo::PaletteImage(600, 600, 10)); // all sea
        v->MenuAxes->trigger();
        QCOMPARE(Count(v, QRect(0, 0, 600, 580), 0xFFFFFF), 0);
    }

    // Every label and field text of every language against its control's
    // room, with the fonts the program gives the controls.
    void everyTextOfEveryLanguageFitsItsField() {
        TFormAzimut* v = startViewer();
        TFormCarte* c = run->carte();
        QStringList cut;
        auto lineRoom = [](const QLineEdit* e) {
            const int frame = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e);
            return e->width() - 2 * frame - 4;
        };
        auto check = [&](const QWidget* w, const QString& text, int room) {
            const int width = QFontMetrics(w->font()).horizontalAdvance(text);
            if (width > room)
                cut << QStringLiteral("%1 \"%2\" %3 > %4")
                           .arg(w->objectName(), text)
                           .arg(width)
                           .arg(room);
        };
        auto label = [&](const QLabel* l) { check(l, l->text(), l->contentsRect().width()); };
        // A label that ends where the next control begins.
        auto before = [&](const QLabel* l, const QWidget* next) {
            check(l, l->text(), next->x() - l->x());
        };
        for (QAction* language : {c->MenuEnglish, c->MenuFrancais, c->MenuEspagnol}) {
            for (const bool busy : {false, true}) {
                run->program.app.Generating = busy;
                language->trigger();
                label(c->StaticText1);
            }
            run->program.app.Generating = false;
            before(c->Label2, c->EditQRA);
            for (const QPoint p : {QPoint(0, 764), QPoint(1, 700), QPoint(1193, 1), QPoint(5, 5)}) {
                c->ImageMercatorMouseMove(p.x(), p.y());
                label(c->StaticTextPos);
            }
            before(v->LabelLP, v->StaticTextLP);
            before(v->LabelCall, v->EditCall);
            before(v->LabelUTC, v->EditUTC);
            for (const bool miles : {false, true}) {
                if (miles)
                    v->MenuUnitmile->trigger();
                else
                    v->MenuUnitKM->trigger();
                for (int y = 0; y < 600; y += 23)
                    for (int x = 0; x < 600; x += 23) {
                        v->ImageAzimutMouseMove(x, y);
                        label(v->StaticTextAzim);
                        label(v->StaticTextLP);
                    }
                // Every entity of the list, in both readouts and the UTC field.
                for (int row = 0; row < v->ListBoxDXW->count(); ++row) {
                    v->ListBoxDXW->setCurrentRow(row);
                    v->ListBoxDXWClick();
                    label(v->StaticTextAzim);
                    label(v->StaticTextLP);
                    check(v->EditUTC, v->EditUTC->text(), lineRoom(v->EditUTC));
                }
            }
            v->TimerSeconde->start();
            v->TimerSecondeTimer();
            label(v->StaticTextDate);
            label(v->StaticTextTime);
            v->MenuTimeUTCClick();
            v->TimerSecondeTimer();
            label(v->StaticTextTime);
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.mid(0, 10).join('\n')));
    }

    void showPutsTheViewerWhereTheUserLeftIt() {
        TFormAzimut* v = startViewer();
        QVERIFY(QTest::qWaitForWindowExposed(v));
        v->move(40, 50);
        v->resize(800, 600);
        v->Menugenerateur->trigger();
        run->carte()->ImageMercatorMouseUp(Qt::LeftButton, 597, 382);
        QVERIFY(v->isVisible());
        QCOMPARE(v->pos(), QPoint(40, 50));
        QCOMPARE(v->size(), QSize(800, 600));
    }

    void closeAsksTheSaveQuestionAfterAGeneration() {
        TFormAzimut* v = startViewer();
        run->program.app.MapUnsaved = true;
        // No: settings written, program ended.
        run->platform.confirmations = {false};
        v->close();
        QCOMPARE(run->platform.boxes.size(), 1);
        QCOMPARE(run->platform.boxes[0].kind, Platform::Box::Confirm);
        QCOMPARE(run->platform.boxes[0].text,
                 QStringLiteral("Do you want to save this map for the next session ?"));
        QCOMPARE(run->platform.terminations, 1);
        QVERIFY(QFile::exists(dir->filePath(QStringLiteral("korvanta.ini"))));
        QVERIFY(v->isVisible()); // the request never closes the window itself
    }

    void closeWithYesOpensTheSaveDialog() {
        TFormAzimut* v = startViewer();
        run->program.app.MapUnsaved = true;
        run->platform.confirmations = {true};
        v->MenuQuitter->trigger();
        QCOMPARE(run->platform.terminations, 0);
        QVERIFY(run->program.viewer.QuitAfterSave);
        QVERIFY(run->program.forms.FormSave->isVisible());
        QVERIFY(!run->carte()->isVisible());
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("korvanta.ini"))));
    }

    void closeWithoutANewMapDoesNotAsk() {
        TFormAzimut* v = startViewer();
        run->program.viewer.SavedMapLoaded = true;
        v->close();
        QVERIFY(run->platform.boxes.isEmpty());
        QVERIFY(!run->program.viewer.SavedMapLoaded);
        QCOMPARE(run->platform.terminations, 1);
    }

    void closeWhileADdeClientIsConnectedOnlyWarns() {
        TFormAzimut* v = startViewer();
        run->program.app.MapUnsaved = true;
        run->program.viewer.DdeClientConnected = true;
        const geo::PaletteImage map = v->Map();
        v->close();
        QCOMPARE(run->platform.boxes.size(), 1);
        QCOMPARE(run->platform.boxes[0].kind, Platform::Box::Warning);
        QCOMPARE(run->platform.boxes[0].text,
                 QStringLiteral("An application is connected to Korvanta. Please, disconnect it."));
        QCOMPARE(run->platform.terminations, 0);
        QVERIFY(v->isVisible());
        QCOMPARE(v->Map(), map);
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("korvanta.ini"))));
    }

    void keyboardSelectionSelectsLikeAClick() {
        TFormAzimut* v = startViewer();
        QVERIFY(v->ListBoxDXW->count() > 2);
        v->ListBoxDXW->setCurrentRow(0);
        QTest::keyClick(v->ListBoxDXW, Qt::Key_Down);
        QCOMPARE(v->ListBoxDXW->currentRow(), 1);
        QCOMPARE(v->EditCall->text(),
                 v->ListBoxDXW->item(1)->text().section(QLatin1Char('\t'), 0, 0));
        QVERIFY(v->StaticTextAzim->text().startsWith(QStringLiteral(" Azimuth = ")));
    }

    void helpGoesThroughTheMainWindow() {
        TFormAzimut* v = startViewer();
        v->MenuAide->trigger();
        QCOMPARE(run->platform.opened.size(), 1);
        QVERIFY(run->platform.opened[0].endsWith(run->program.app.HelpFile));
    }
};

QTEST_MAIN(ViewerTest)
#include "test_viewer.moc"
