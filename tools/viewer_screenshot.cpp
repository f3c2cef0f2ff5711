// Pictures of the viewer for the documentation: the program's windows on a
// clock fixed at a chosen UTC moment, the map of a locator, the chosen live
// overlays, the viewer grabbed into a PNG file.
//
//   viewer_screenshot LOCATOR TIME OUT.png [greyline] [grid] [spots] [x,y]
//
// `spots` feeds the live stations a set of cluster spots and FT8 decodes
// and puts the spot list beside the viewer in the picture.
// TIME is an ISO 8601 UTC moment (2026-06-21T18:00Z); x,y moves the mouse
// readout to that map pixel. Run it on a display (Xvfb) or offscreen.
#include "app/Program.h"
#include "app/QtPlatform.h"
#include "app/UnitCarte.h"
#include "geo/Sun.h"
#include "live/Wsjtx.h"
#include "viewer/LiveStations.h"
#include "viewer/SpotList.h"
#include "viewer/UnitAzimut.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
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

QByteArray Bytes(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

// Spots of an afternoon on the HF bands, and the antenna pointing north-west.
void FeedSpots(viewer::LiveStations& live) {
    const char* lines[] = {
        "DX de G4XYZ:     14025.0  K1ABC        cq test                        1302Z",
        "DX de W3OA-#:    14029.0  VU2TMP       CW  8 dB 27 WPM CQ             1658Z",
        "DX de DL1ABC:    21074.0  JA1XYZ       FT8 -12 dB                     0815Z JO62",
        "DX de F5ABC:     7010.0  EA6AB        up 1                           1301Z",
        "DX de K3LR:     28074.0  PY2XYZ       FT8                            1300Z",
        "DX de OH2BH:    18080.0  ZS6ABC       cq dx                          1259Z",
        "DX de EA8TL:    10115.0  W6ABC        599 tnx                        1258Z",
        "DX de ON4ABC:   14200.0  VK2ABC       long path                      1257Z",
        "DX de SM5ABC:    3525.0  UA9ABC       cq                             1256Z",
        "DX de I2ABC:    24915.0  LU1ABC       FT8 -5                         1255Z",
        "DX de DK0ABC:   50313.0  EA8ABC       IN80>IL18 ES                   1254Z",
        "DX de G3ABC:    21025.0  5Z4ABC       cq                             1253Z",
        "DX de PA3ABC:   14074.0  VE3ABC       FT8                            1252Z",
        "DX de HB9ABC:    7074.0  JA7ABC       FT8 -18                        1251Z",
        "DX de OK1ABC:   28025.0  ZL2ABC       cq                             1250Z",
        "DX de S5ABC:    18100.0  4X4ABC       FT8                            1249Z",
    };
    for (const char* l : lines)
        live.TakeClusterLine(l);
    live.TakeDatagram(Bytes(live::WsjtxWriter::Status("WSJT-X", 14074000, "FT8")));
    const char* decodes[] = {"CQ KP4ABC FK68", "CQ DX 9M2ABC OJ03", "G4XYZ TF3ABC HP94",
                             "CQ SV1ABC KM18", "CQ N7ABC DN31"};
    int df = 600;
    for (const char* d : decodes)
        live.TakeDatagram(Bytes(live::WsjtxWriter::Decode("WSJT-X", d, -9, df += 210)));
    live.SetBeam(300.0, 60.0);
    live.list()->show();
}

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
    bool spots = false;
    for (int i = 4; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("greyline")) program.app.extra.GreyLine = true;
        if (a == QLatin1String("grid")) program.app.extra.LocatorGrid = true;
        if (a == QLatin1String("spots")) spots = true;
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
    if (spots) QTimer::singleShot(1100, [&] { FeedSpots(*viewer->LiveStations); });
    QTimer::singleShot(1500, [&] {
        QPixmap picture = viewer->grab();
        if (spots) {
            viewer->LiveStations->Tick();
            const QPixmap list = viewer->LiveStations->list()->grab();
            QPixmap both(picture.width() + list.width(), std::max(picture.height(), list.height()));
            both.fill(Qt::white);
            QPainter p(&both);
            p.drawPixmap(0, 0, picture);
            p.drawPixmap(picture.width(), 0, list);
            p.end();
            picture = both;
        }
        picture.save(out);
        DestroyForms(program);
        QApplication::quit();
    });
    return QApplication::exec();
}
