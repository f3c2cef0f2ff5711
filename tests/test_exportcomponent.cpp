// The export component on a hub of its own with the fake platform (no
// viewer): the PNG exports paint the hub's layers at their own size, so the
// locator grid's lines stay thin at 4800 pixels, and the extra drawing comes
// on top in the export frame's pixels.
#include "FakePlatform.h"
#include "app/AppState.h"
#include "viewer/ExportComponent.h"
#include "viewer/MapOverlays.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <cmath>

namespace {

int Difference(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

// The pixels of row y across a nearly vertical line near x that differ
// from the map's colour `reach` pixels to the left.
int WidthAcross(const QImage& img, double x, double y, int reach) {
    const int row = static_cast<int>(std::floor(y + 0.5));
    const int mid = static_cast<int>(std::floor(x + 0.5));
    const QRgb background = img.pixel(mid - reach - 2, row);
    int from = -1, to = -1;
    for (int col = mid - reach; col <= mid + reach; ++col)
        if (Difference(img.pixel(col, row), background) > 60) {
            if (from < 0) from = col;
            to = col;
        }
    return from < 0 ? 0 : to - from + 1;
}

} // namespace

class ExportComponentTest : public QObject {
    Q_OBJECT
  private slots:
    void proposedNames_data() {
        QTest::addColumn<double>("km");
        QTest::addColumn<double>("unit");
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("name");
        QTest::newRow("whole world") << 0.0 << 1.0 << false << 1200 << "korvanta-JN18EU-1200.png";
        QTest::newRow("poster") << 0.0 << 1.609344 << true << 0 << "korvanta-JN18EU-A4.pdf";
        QTest::newRow("500 km") << 500.0 << 1.0 << false << 600 << "korvanta-JN18EU-500km-600.png";
        QTest::newRow("250 miles")
            << 402.336 << 1.609344 << false << 4800 << "korvanta-JN18EU-250mi-4800.png";
        QTest::newRow("regional poster")
            << 2500.0 << 1.0 << true << 0 << "korvanta-JN18EU-2500km-A4.pdf";
    }
    void proposedNames() {
        QFETCH(double, km);
        QFETCH(double, unit);
        QFETCH(bool, pdf);
        QFETCH(int, size);
        QFETCH(QString, name);
        viewer::ExportChoice choice;
        choice.pdf = pdf;
        if (!pdf) choice.size = size;
        QCOMPARE(viewer::ExportFileName(QStringLiteral("JN18EU"), km, unit, choice), name);
    }

    void gridLinesStayThinInTheExports_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("600") << 600;
        QTest::newRow("4800") << 4800;
    }
    void gridLinesStayThinInTheExports() {
        QFETCH(int, size);
        QTemporaryDir dir;
        FakePlatform platform;
        platform.folder = dir.path();
        AppState app;
        app.pos.CentreLat = 48.85L;
        app.pos.CentreLon = 2.35L;
        viewer::ViewerHub hub(platform, app);
        hub.SetFrame(geo::MapFrame(app.pos.CentreLat, app.pos.CentreLon));
        viewer::MapOverlays overlays;
        hub.AddLayer(&overlays.greyLineLayer());
        hub.AddLayer(&overlays.gridLayer());
        overlays.SetLocatorGrid(true);

        QWidget window;
        QMenu file, options;
        QAction* quit = file.addAction(QStringLiteral("Quit"));
        int extraCalls = 0;
        QRectF extraRect;
        const viewer::ExportExtraFn extra = [&](QPainter&, const QRectF& rect) {
            ++extraCalls;
            extraRect = rect;
        };
        viewer::ExportComponent::Callbacks callbacks;
        QImage blue(600, 600, QImage::Format_RGB32);
        blue.fill(QColor(0, 128, 255));
        callbacks.mapPicture = [&] { return blue; };
        callbacks.unitFactor = [] { return 1.0L; };
        callbacks.extra = &extra;
        viewer::ExportComponent component(hub, {&window, &file, quit, &options},
                                          std::move(callbacks), &window);
        // Its items sit in the menus given.
        QCOMPARE(file.actions().indexOf(component.menuExport()), 0);
        QCOMPARE(file.actions().last(), quit);
        QVERIFY(options.actions().contains(component.menuFillGaps()));

        viewer::ExportChoice choice;
        choice.size = size;
        const QString path = dir.filePath(QStringLiteral("grid.png"));
        QVERIFY(component.ExportTo(choice, path));
        QVERIFY(platform.boxes.isEmpty());
        const QImage img = QImage(path).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(img.size(), QSize(size, size));
        QCOMPARE(extraCalls, 1);
        QCOMPARE(extraRect, QRectF(0, 0, size, size));
        // The field boundary at 20 W over the Atlantic: over 3000 km from the
        // centre (no square lines), clear of the parallel at 20 N and 10
        // degrees from the field names.
        const geo::MapFrame frame = hub.frame().Resized(size);
        for (double lat : {22.0, 23.5, 25.0}) {
            const auto at = frame.Project(lat, -20.0);
            QVERIFY(at);
            const int width = WidthAcross(img, at->p.x, at->p.y, 6);
            QVERIFY2(width >= 1 && width <= 3,
                     qPrintable(QStringLiteral("%1 px wide at %2 N").arg(width).arg(lat)));
        }
    }
};

QTEST_MAIN(ExportComponentTest)
#include "test_exportcomponent.moc"
