// Pictures of the viewer for the documentation: the program's windows on a
// clock fixed at a chosen UTC moment, the map of a locator, the chosen live
// overlays, the viewer grabbed into a PNG file.
//
//   viewer_screenshot LOCATOR TIME OUT.png [greyline] [grid] [x,y]
//
// TIME is an ISO 8601 UTC moment (2026-06-21T18:00Z); x,y moves the mouse
// readout to that map pixel. Run it on a display (Xvfb) or offscreen.
#include "app/Program.h"
#include "app/QtPlatform.h"
#include "app/UnitCarte.h"
#include "geo/Sun.h"
#include "viewer/UnitAzimut.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

struct FixedClockPlatform : QtPlatform {
    using QtPlatform::QtPlatform;
    QDateTime utc;
    QDateTime localNow() override { return utc.toLocalTime(); }
    QDateTime utcNow() override { return utc; }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 4) {
        std::fputs("usage: viewer_screenshot LOCATOR TIME OUT.png [greyline] [grid] [x,y]\n",
                   stderr);
        return 2;
    }
    const auto when = geo::ParseUtcTime(argv[2]);
    if (!when) {
        std::fprintf(stderr, "viewer_screenshot: bad time %s\n", argv[2]);
        return 2;
    }
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    FixedClockPlatform platform(folder.path());
    platform.utc = QDateTime::fromSecsSinceEpoch(*when, Qt::UTC);
    Program program(platform);
    program.app.LanguageCode = QStringLiteral("E");
    int mouseX = -1, mouseY = -1;
    for (int i = 4; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("greyline")) program.app.extra.GreyLine = true;
        if (a == QLatin1String("grid")) program.app.extra.LocatorGrid = true;
        if (a.contains(QLatin1Char(','))) {
            mouseX = a.section(QLatin1Char(','), 0, 0).toInt();
            mouseY = a.section(QLatin1Char(','), 1, 1).toInt();
        }
    }
    CreateForms(program);
    TFormCarte* carte = program.forms.FormCarte;
    carte->MenuEnglishClick();
    carte->show();
    carte->EditQRA->setText(QString::fromLocal8Bit(argv[1]));
    carte->BitBtn1Click();
    TFormAzimut* viewer = program.forms.FormAzimut;
    viewer->UpdateGreyLine();
    if (mouseX >= 0) viewer->ImageAzimutMouseMove(mouseX, mouseY);
    const QString out = QString::fromLocal8Bit(argv[3]);
    QTimer::singleShot(1500, [&] {
        viewer->grab().save(out);
        DestroyForms(program);
        QApplication::quit();
    });
    return QApplication::exec();
}
