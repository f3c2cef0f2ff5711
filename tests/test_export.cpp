// The viewer's gap-free option, Export and Print with real windows: the menu
// items and their texts, the option's round trip through korvanta.ini, the
// gap-free generation, the exported files and the overlay hook.
#include "ProgramRun.h"

#include "app/MapExport.h"
#include "app/Program.h"
#include "app/UnitCarte.h"
#include "viewer/UnitAzimut.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QString ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

int IndexOf(const QMenu* menu, const QAction* a) {
    return static_cast<int>(menu->actions().indexOf(const_cast<QAction*>(a)));
}

} // namespace

class ExportTest : public QObject, ProgramRunFixture {
    Q_OBJECT
    TFormAzimut* startViewer(const QString& language = QStringLiteral("E")) {
        return run->showViewer(language);
    }

  private slots:
    void init() { startRun(); }
    void cleanup() { endRun(); }

    void menuItemsSitInTheirPlacesInThreeLanguages() {
        TFormAzimut* v = startViewer();
        QCOMPARE(v->findChild<QAction*>(QStringLiteral("MenuFillGaps")), v->MenuFillGaps);
        QCOMPARE(v->findChild<QAction*>(QStringLiteral("MenuExport")), v->MenuExport);
        QCOMPARE(v->findChild<QAction*>(QStringLiteral("MenuPrint")), v->MenuPrint);
        // File: ... Export…, Print…, then Quit last.
        const QMenu* file = v->MenuFichier;
        QVERIFY(IndexOf(file, v->MenuListeDXCC) < IndexOf(file, v->MenuExport));
        QCOMPARE(IndexOf(file, v->MenuPrint), IndexOf(file, v->MenuExport) + 1);
        QCOMPARE(file->actions().last(), v->MenuQuitter);
        // Options: the classic items, a separator, then the check item.
        const QMenu* options = v->MenuOptions;
        const int fill = IndexOf(options, v->MenuFillGaps);
        QVERIFY(fill > IndexOf(options, v->MenuSeparator->menuAction()));
        bool separatorBefore = false;
        for (int i = IndexOf(options, v->MenuSeparator->menuAction()) + 1; i < fill; ++i)
            separatorBefore = separatorBefore || options->actions().at(i)->isSeparator();
        QVERIFY(separatorBefore);
        QVERIFY(v->MenuFillGaps->isCheckable());
        QVERIFY(!v->MenuFillGaps->isChecked());

        struct Expected {
            const char* code;
            const char* fill;
            const char* exportText;
            const char* print;
        };
        for (const Expected& e :
             {Expected{"E", "&Fill the gaps", "&Export…", "&Print…"},
              Expected{"F", "Com&bler les trous", "E&xporter…", "&Imprimer…"},
              Expected{"S", "&Rellenar los huecos", "&Exportar…", "&Imprimir…"}}) {
            run->program.app.LanguageCode = QString::fromLatin1(e.code);
            v->ButtonLangueClick();
            QCOMPARE(v->MenuFillGaps->text(), QString::fromUtf8(e.fill));
            QCOMPARE(v->MenuExport->text(), QString::fromUtf8(e.exportText));
            QCOMPARE(v->MenuPrint->text(), QString::fromUtf8(e.print));
        }
    }

    void theOptionGoesThroughTheSettingsFile() {
        TFormAzimut* v = startViewer();
        v->MenuFillGaps->trigger();
        QVERIFY(run->program.app.extra.FillGaps);
        run->program.app.MapUnsaved = false;
        v->MenuQuitter->trigger();
        const QString path = dir->filePath(QStringLiteral("korvanta.ini"));
        QVERIFY(ReadFile(path).contains(QStringLiteral("FILLGAPS=1\r\n")));

        // The next run starts with the item checked; unchecked, the key goes.
        run.reset();
        run = std::make_unique<ProgramRun>(dir->path());
        v = startViewer();
        QVERIFY(run->program.app.extra.FillGaps);
        QVERIFY(v->MenuFillGaps->isChecked());
        v->MenuFillGaps->trigger();
        QVERIFY(!run->program.app.extra.FillGaps);
        run->program.app.MapUnsaved = false;
        v->MenuQuitter->trigger();
        QVERIFY(!ReadFile(path).contains(QStringLiteral("FILLGAPS")));
    }

    void theGenerationFillsTheDiscWhenTheOptionIsOn() {
        TFormAzimut* v = startViewer();
        run->carte()->ImageMercatorMouseUp(Qt::LeftButton, 352, 180);
        const geo::PaletteImage forward = v->Map();
        v->MenuFillGaps->trigger();
        v->Menugenerateur->trigger();
        run->carte()->ImageMercatorMouseUp(Qt::LeftButton, 352, 180);
        QVERIFY(v->isVisible());
        QCOMPARE(run->carte()->ProgressBarCalcul->value(), geo::MercatorWidth - 1);
        const geo::PositionState& pos = run->program.app.pos;
        const geo::PaletteImage expected = mapexport::GapFreeMap(pos.CentreLat, pos.CentreLon, 600);
        const geo::PaletteImage filled = v->Map();
        long differ = 0, changed = 0;
        for (int y = 0; y < 580; ++y) // above the centre caption
            for (int x = 0; x < 600; ++x) {
                if (filled.at(x, y) != expected.at(x, y)) ++differ;
                if (filled.at(x, y) != forward.at(x, y)) ++changed;
            }
        QCOMPARE(differ, 0L);
        QVERIFY(changed > 1000); // the classic map's white holes are filled
        // Off again: exactly the classic map.
        v->MenuFillGaps->trigger();
        v->Menugenerateur->trigger();
        run->carte()->ImageMercatorMouseUp(Qt::LeftButton, 352, 180);
        QCOMPARE(v->Map(), forward);
    }

    void exportsCarryTheLiveOverlaysThatAreOn() {
        TFormAzimut* v = startViewer();
        run->carte()->ImageMercatorMouseUp(Qt::LeftButton, 597, 382);
        TFormAzimut::ExportChoice png;
        const QString plainPath = dir->filePath(QStringLiteral("plain.png"));
        QVERIFY(v->ExportTo(png, plainPath));
        QCOMPARE(QImage(plainPath).convertToFormat(QImage::Format_RGB32),
                 v->mapPicture().convertToFormat(QImage::Format_RGB32));
        v->MenuGreyLine->trigger(); // the night side of the fixed clock gets its shade
        QVERIFY(v->MenuGreyLine->isChecked());
        const QString shadedPath = dir->filePath(QStringLiteral("shaded.png"));
        QVERIFY(v->ExportTo(png, shadedPath));
        const QImage shaded = QImage(shadedPath).convertToFormat(QImage::Format_RGB32);
        const QImage map = v->mapPicture().convertToFormat(QImage::Format_RGB32);
        int changed = 0;
        for (int y = 0; y < 600; y += 10)
            for (int x = 0; x < 600; x += 10)
                if (shaded.pixel(x, y) != map.pixel(x, y)) ++changed;
        QVERIFY(changed > 100);
        QCOMPARE(shaded.pixel(5, 5), map.pixel(5, 5)); // outside the disc
        v->MenuGreyLine->trigger();
    }

    void exportsWritePngAndPdfOrTellWhyNot() {
        TFormAzimut* v = startViewer();
        run->carte()->ImageMercatorMouseUp(Qt::LeftButton, 597, 382);
        int overlayCalls = 0;
        QRectF lastRect;
        v->ExportOverlay = [&](QPainter& p, const QRectF& mapRect) {
            ++overlayCalls;
            lastRect = mapRect;
            p.fillRect(QRectF(mapRect.center(), QSizeF(8, 8)), QColor(255, 0, 255));
        };
        TFormAzimut::ExportChoice png;
        png.size = 1200;
        const QString pngPath = dir->filePath(QStringLiteral("big.png"));
        QVERIFY(v->ExportTo(png, pngPath));
        const QImage big(pngPath);
        QCOMPARE(big.size(), QSize(1200, 1200));
        QCOMPARE(lastRect, QRectF(0, 0, 1200, 1200));
        QCOMPARE(big.pixel(602, 602) & 0xFFFFFFu, 0xFF00FFu); // the hook drew into it
        // 600: the map as shown.
        png.size = 600;
        const QString smallPath = dir->filePath(QStringLiteral("small.png"));
        QVERIFY(v->ExportTo(png, smallPath));
        const QImage small(smallPath);
        QCOMPARE(small.size(), QSize(600, 600));
        QCOMPARE(small.pixel(100, 590) & 0xFFFFFFu, v->mapPicture().pixel(100, 590) & 0xFFFFFFu);

        TFormAzimut::ExportChoice pdf;
        pdf.pdf = true;
        pdf.paper = poster::Paper::A3;
        const QString pdfPath = dir->filePath(QStringLiteral("poster.pdf"));
        QVERIFY(v->ExportTo(pdf, pdfPath));
        QVERIFY(ReadFile(pdfPath).startsWith(QStringLiteral("%PDF-")));
        QCOMPARE(overlayCalls, 3);
        QVERIFY(run->platform.boxes.isEmpty());

        // A folder that does not exist: the error box, and no file.
        const QString bad = dir->filePath(QStringLiteral("missing/poster.pdf"));
        QVERIFY(!v->ExportTo(pdf, bad));
        QCOMPARE(run->platform.boxes.size(), 1);
        QCOMPARE(run->platform.boxes.last().kind, Platform::Box::Error);
        QVERIFY(run->platform.boxes.last().text.contains(bad));
        QVERIFY(!QFile::exists(bad));
        // An existing file is replaced only by a complete one.
        QFile old(dir->filePath(QStringLiteral("old.png")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        QVERIFY(QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::ExeOwner));
        const bool refused = !v->ExportTo(png, old.fileName());
        QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (refused) QCOMPARE(ReadFile(old.fileName()), QStringLiteral("old"));
    }

    void printingDrawsThePoster() {
        TFormAzimut* v = startViewer(QStringLiteral("F"));
        run->carte()->ImageMercatorMouseUp(Qt::LeftButton, 597, 382);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = dir->filePath(QStringLiteral("printed.pdf"));
        printer.setOutputFileName(path);
        QVERIFY(v->PrintTo(printer));
        QVERIFY(ReadFile(path).startsWith(QStringLiteral("%PDF-")));
        QVERIFY(QFileInfo(path).size() > 10000);
    }
};

QTEST_MAIN(ExportTest)
#include "test_export.moc"
