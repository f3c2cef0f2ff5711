// The viewer's live overlays with real windows: the overlay widget over the
// map, the grey line's updates on the fixed clock, the Options items in three
// languages, their settings keys, and the position under the cursor.
#include "ProgramRun.h"

#include "app/Program.h"
#include "app/UnitCarte.h"
#include "geo/Inverse.h"
#include "geo/LocatorGrid.h"
#include "viewer/OverlayAzimut.h"
#include "viewer/UnitAzimut.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <memory>
#include <numbers>

namespace {

void MoveOver(QWidget* w, int x, int y) {
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QString ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

// Great-circle distance in degrees.
double Arc(double lat1, double lon1, double lat2, double lon2) {
    const double r = std::numbers::pi / 180;
    const double c = std::sin(lat1 * r) * std::sin(lat2 * r) +
                     std::cos(lat1 * r) * std::cos(lat2 * r) * std::cos((lon2 - lon1) * r);
    return std::acos(std::clamp(c, -1.0, 1.0)) / r;
}

QDateTime Utc(int month, int day, int hour, int minute = 0) {
    return QDateTime(QDate(2026, month, day), QTime(hour, minute), Qt::UTC);
}

} // namespace

class OverlayViewerTest : public QObject, ProgramRunFixture {
    Q_OBJECT
    TFormAzimut* startViewer(const char* locator = "JN18EU") {
        if (!run->viewer()) run->create();
        AppState& app = run->program.app;
        app.LanguageCode = QStringLiteral("E");
        const auto c = geo::DecodeLocator(locator);
        app.pos.CentreLat = c->lat;
        app.pos.CentreLon = c->lon;
        app.pos.CentreText = geo::FormatPosition(c->lat, c->lon);
        TFormAzimut* v = run->viewer();
        v->show();
        return v;
    }

    QString Readout(TFormAzimut* v, int x, int y) {
        MoveOver(v->ImageAzimut, x, y);
        return v->StaticTextPosition->text();
    }

  private slots:
    void init() { startRun(); }
    void cleanup() { endRun(); }

    void theOverlayLiesOverTheMapAndLetsTheMouseThrough() {
        TFormAzimut* v = startViewer();
        TOverlayAzimut* o = v->findChild<TOverlayAzimut*>(QStringLiteral("OverlayAzimut"));
        QVERIFY(o);
        QCOMPARE(o->geometry(), QRect(0, 0, 600, 600));
        QVERIFY(o->testAttribute(Qt::WA_TransparentForMouseEvents));
        QVERIFY(!o->isVisible()); // nothing chosen
        // Above the map, below the clock fields and the DX markers.
        const QObjectList& order = v->ClientArea->children();
        const auto at = [&](QObject* w) { return order.indexOf(w); };
        QVERIFY(at(o) > at(v->ImageAzimut));
        QVERIFY(at(o) < at(v->StaticTextDate));
        QVERIFY(at(o) < at(v->StaticTextTime));
        QVERIFY(at(o) < at(v->ImageDX));
        QVERIFY(at(o) < at(v->ImageDX45));
        // The readout owns its strip below the readouts, inside the client area.
        QLabel* position = v->findChild<QLabel*>(QStringLiteral("StaticTextPosition"));
        QVERIFY(position);
        QCOMPARE(position->geometry(), QRect(8, 632, 569, 19));
        QVERIFY(position->text().isEmpty());
        QVERIFY(v->ClientArea->height() >= 651);
        QCOMPARE(v->StaticTextAzim->geometry(), QRect(8, 604, 209, 19));
        QCOMPARE(v->StaticTextLP->geometry(), QRect(368, 604, 209, 19));
        // A mouse move over the overlay reaches the map's readout.
        v->MenuLocatorGrid->trigger();
        QVERIFY(o->isVisible());
        QCOMPARE(QApplication::widgetAt(o->mapToGlobal(QPoint(400, 200))),
                 QApplication::widgetAt(v->ImageAzimut->mapToGlobal(QPoint(400, 200))));
    }

    void optionsItemsAfterASeparatorInThreeLanguages() {
        TFormAzimut* v = startViewer();
        const QList<QAction*> actions = v->MenuOptions->actions();
        const qsizetype sep = actions.indexOf(v->MenuSeparator->menuAction());
        const qsizetype grey = actions.indexOf(v->MenuGreyLine);
        const qsizetype grid = actions.indexOf(v->MenuLocatorGrid);
        QVERIFY(sep >= 0);
        QVERIFY(grey > sep + 1);
        QCOMPARE(grid, grey + 1);
        bool separator = false;
        for (qsizetype i = sep + 1; i < grey; ++i)
            separator = separator || actions[i]->isSeparator();
        QVERIFY(separator);
        QVERIFY(v->MenuGreyLine->isCheckable());
        QVERIFY(v->MenuLocatorGrid->isCheckable());
        const struct {
            const char* code;
            QString grey, grid;
        } texts[] = {
            {"E", QStringLiteral("&Grey line"), QStringLiteral("&Locator grid")},
            {"F", QStringLiteral("Ligne &grise"), QStringLiteral("Grille des &locators")},
            {"S", QStringLiteral("Línea &gris"), QStringLiteral("Cu&adrícula de locators")},
        };
        for (const auto& t : texts) {
            run->program.app.LanguageCode = QString::fromLatin1(t.code);
            v->ButtonLangueClick();
            QCOMPARE(v->MenuGreyLine->text(), t.grey);
            QCOMPARE(v->MenuLocatorGrid->text(), t.grid);
        }
    }

    void greyLineFollowsThePlatformClock() {
        run->platform.utc = Utc(6, 21, 12);
        TFormAzimut* v = startViewer();
        const geo::PaletteImage before = v->Map();
        v->MenuGreyLine->trigger();
        QVERIFY(run->program.app.extra.GreyLine);
        viewer::MapOverlays& o = v->OverlayAzimut->overlays();
        QVERIFY(v->OverlayAzimut->isVisible());
        QCOMPARE(o.time(), Utc(6, 21, 12).toSecsSinceEpoch());
        // Night in the far north-west of Paris at noon UTC (the Pacific), day at
        // the centre: the layer shades the one and leaves the other clear.
        const auto pacific = geo::MapPixelToLatLon(run->program.app.pos.CentreLat,
                                                   run->program.app.pos.CentreLon, 150, 150);
        QVERIFY(pacific);
        const QImage& layer = o.Layer();
        QCOMPARE(qAlpha(layer.pixel(300, 320)), 0);
        const geo::Daylight there = geo::DaylightAt(*o.sun(), static_cast<double>(pacific->lat),
                                                    static_cast<double>(pacific->lon));
        QCOMPARE(qAlpha(layer.pixel(150, 150)) > 0, there != geo::Daylight::Day);
        // The map picture itself is untouched (the saved map stays as it was).
        QCOMPARE(v->Map(), before);

        // A clock-mode change updates at once.
        run->platform.utc = Utc(6, 21, 12, 7);
        v->MenuTimeUTC->trigger();
        QCOMPARE(o.time(), Utc(6, 21, 12, 7).toSecsSinceEpoch());
        // The minute timer runs while shown.
        QVERIFY(v->TimerGreyLine->isActive());
        QCOMPARE(v->TimerGreyLine->interval(), 60000);
        run->platform.utc = Utc(6, 21, 12, 8);
        v->TimerGreyLineTimer();
        QCOMPARE(o.time(), Utc(6, 21, 12, 8).toSecsSinceEpoch());
        // Every update reuses the positions of this centre.
        QCOMPARE(o.centreComputations(), 1);
        // Hidden, the timer stops at its next tick; shown again, the grey line
        // is brought up to date at once.
        v->hide();
        run->platform.utc = Utc(12, 21, 18);
        v->TimerGreyLineTimer();
        QVERIFY(!v->TimerGreyLine->isActive());
        QCOMPARE(o.time(), Utc(6, 21, 12, 8).toSecsSinceEpoch());
        v->show();
        QCOMPARE(o.time(), Utc(12, 21, 18).toSecsSinceEpoch());
        QVERIFY(v->TimerGreyLine->isActive());
        // A new centre: its positions are computed once more.
        v->hide();
        startViewer("FN31PR");
        o.Layer();
        QCOMPARE(o.centreComputations(), 2);
        // Off: the widget goes, the map is as it was.
        v->MenuGreyLine->trigger();
        QVERIFY(!run->program.app.extra.GreyLine);
        QVERIFY(!v->OverlayAzimut->isVisible());
    }

    void settingsKeysRoundTripThroughTheWindow() {
        TFormAzimut* v = startViewer();
        QVERIFY(!v->MenuGreyLine->isChecked());
        QVERIFY(!v->MenuLocatorGrid->isChecked());
        v->MenuGreyLine->trigger();
        v->MenuLocatorGrid->trigger();
        run->program.app.MapUnsaved = false;
        v->MenuQuitter->trigger();
        QCOMPARE(run->platform.terminations, 1);
        QString ini = ReadFile(dir->filePath(QStringLiteral("korvanta.ini")));
        QVERIFY(ini.contains(QStringLiteral("GREYLINE=1\r\n")));
        QVERIFY(ini.contains(QStringLiteral("GRID=1\r\n")));

        // The next run reads them back: both items checked, both overlays on.
        run.reset();
        run = std::make_unique<ProgramRun>(dir->path());
        run->create();
        QVERIFY(run->program.app.extra.GreyLine);
        QVERIFY(run->program.app.extra.LocatorGrid);
        v = startViewer();
        QVERIFY(v->MenuGreyLine->isChecked());
        QVERIFY(v->MenuLocatorGrid->isChecked());
        QVERIFY(v->OverlayAzimut->isVisible());
        v->MenuGreyLine->trigger();
        run->program.app.MapUnsaved = false;
        v->MenuQuitter->trigger();
        ini = ReadFile(dir->filePath(QStringLiteral("korvanta.ini")));
        QVERIFY(!ini.contains(QStringLiteral("GREYLINE=")));
        QVERIFY(ini.contains(QStringLiteral("GRID=1\r\n")));
    }

    void positionUnderTheCursor() {
        TFormAzimut* v = startViewer();
        const geo::Real lat = run->program.app.pos.CentreLat, lon = run->program.app.pos.CentreLon;
        // The centre pixel of JN18EU's map reads JN18EU.
        QCOMPARE(Readout(v, 300, 300), QStringLiteral(" 48°51' N / 2°22' E   JN18EU"));
        // Straight up on the rim: the antipode, within one pixel's angle (0.6 degree).
        const auto rim = geo::MapPixelToLatLon(lat, lon, 300, 0);
        QVERIFY(rim);
        QVERIFY(Arc(static_cast<double>(rim->lat), static_cast<double>(rim->lon),
                    -static_cast<double>(lat), static_cast<double>(lon) - 180) < 0.6);
        QVERIFY(Readout(v, 300, 0).endsWith(
            QStringLiteral("   ") +
            QString::fromStdString(geo::EncodeLocator(-lat, static_cast<double>(lon) - 180))));
        // Outside the disc: empty.
        QCOMPARE(Readout(v, 0, 0), QString());
        QCOMPARE(Readout(v, 590, 100), QString());
        // Other pixels: the text of the inverse formula's position, and the
        // locator whose sub-square holds that position; forward again, the
        // position lands on the pixel.
        const QPoint pixels[] = {{400, 200}, {120, 480}, {310, 305}, {1, 300}, {500, 120}};
        for (const QPoint& px : pixels) {
            const auto p = geo::MapPixelToLatLon(lat, lon, px.x(), px.y());
            QVERIFY(p);
            const QString text = Readout(v, px.x(), px.y());
            const std::string locator = geo::EncodeLocator(p->lat, p->lon);
            QCOMPARE(text, QStringLiteral(" ") +
                               QString::fromStdString(geo::FormatPosition(p->lat, p->lon)) +
                               QStringLiteral("   ") + QString::fromStdString(locator));
            const auto square = geo::DecodeLocator(locator);
            QVERIFY(square);
            QVERIFY(std::fabs(static_cast<double>(p->lat - square->lat)) <= 1.0 / 48 + 1e-12);
            QVERIFY(std::fabs(static_cast<double>(p->lon - square->lon)) <= 1.0 / 24 + 1e-12);
            const auto back =
                geo::ProjectToMap(static_cast<double>(lat), static_cast<double>(lon),
                                  static_cast<double>(p->lat), static_cast<double>(p->lon));
            QVERIFY(back);
            QVERIFY(std::hypot(back->p.x - px.x(), back->p.y - px.y()) < 1e-6);
        }
        // Leaving the map picture empties it too.
        QVERIFY(!Readout(v, 300, 1).isEmpty());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(v->ImageAzimut, &leave);
        QVERIFY(v->StaticTextPosition->text().isEmpty());
        // "Back to map generator" empties it with the other readouts.
        Readout(v, 400, 200);
        v->Menugenerateur->trigger();
        QVERIFY(v->StaticTextPosition->text().isEmpty());
    }
};

QTEST_MAIN(OverlayViewerTest)
#include "test_overlayviewer.moc"
