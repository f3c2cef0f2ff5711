#include "app/UnitCarte.h"

#include "app/FittingFont.h"
#include "app/InstallLayout.h"
#include "app/Program.h"
#include "app/ProgramEnd.h"
#include "app/Settings.h"
#include "app/WindowPlace.h"
#include "dialogs/UnitInfo.h"
#include "dxlists/UnitDX.h"
#include "dxlists/UnitDXCB.h"
#include "geo/GapFree.h"
#include "geo/Position.h"
#include "geo/Projection.h"
#include "viewer/UnitAzimut.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QTimer>

#if __has_include("resources/Resources.h")
#include "resources/Resources.h"
#define KORVANTA_HAS_PICTURES 1
#endif

namespace {

const QString FirstPrompt = QStringLiteral(" Cliquez la carte ou entrer un locator >>>");
const QString FirstCaption = QStringLiteral("KORVANTA - Azimuthal Map generator by Tovak");
QStringList AllPrompts();
// The widest position texts of the readout.
const QStringList PositionSamples{QStringLiteral("89\u00B059' S / 179\u00B059' W"),
                                  QStringLiteral("31\u00B011' N / 138\u00B060' W"),
                                  QStringLiteral("90\u00B00' N / 180\u00B00' W")};
constexpr int TovakLeft = 1102;
constexpr int TovakTop = 730;

// The world map as RGB pixels. Without the embedded picture, a plain sea
// with a 30-degree graticule stands in for it.
QImage WorldPicture() {
#ifdef KORVANTA_HAS_PICTURES
    const QImage embedded(QString::fromLatin1(res::WorldMapPath));
    if (embedded.width() == geo::MercatorWidth && embedded.height() == geo::MercatorHeight)
        return embedded;
#endif
    QImage image(geo::MercatorWidth, geo::MercatorHeight, QImage::Format_RGB888);
    image.fill(QColor(0xDE, 0xF7, 0xFF));
    QPainter p(&image);
    p.setPen(QColor(0x73, 0x8C, 0xC6));
    for (int lon = -150; lon < 180; lon += 30) {
        const int x = (lon + 180) * geo::MercatorWidth / 360;
        p.drawLine(x, 0, x, geo::MercatorHeight - 1);
    }
    for (int lat = -60; lat <= 60; lat += 30) {
        const int y = (90 - lat) * geo::MercatorHeight / 180;
        p.drawLine(0, y, geo::MercatorWidth - 1, y);
    }
    return image;
}

const QImage& World() {
    static const QImage image = WorldPicture().convertToFormat(QImage::Format_RGB888);
    return image;
}

// The world map reduced to palette indices, built once.
const geo::WorldIndex& WorldMap() {
    static const geo::WorldIndex index = [] {
        const QImage& img = World();
        return geo::WorldIndex::FromRgb(img.constBits(), img.width(), img.height(),
                                        static_cast<size_t>(img.bytesPerLine()));
    }();
    return index;
}

QPixmap SignaturePicture() {
#ifdef KORVANTA_HAS_PICTURES
    const QPixmap embedded(QString::fromLatin1(res::TovakPath));
    if (!embedded.isNull()) return embedded;
#endif
    QPixmap pixmap(80, 17);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    QFont font = p.font();
    font.setPixelSize(12);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("by Tovak"));
    return pixmap;
}

// Window sizes the settings may ask for: at most the whole desktop (and at
// least the design size of this window, for small or missing screens).
settings::SizeLimits SizeLimits() {
    settings::SizeLimits limits;
    QSize desktop(1228, 875);
    for (const QScreen* screen : QGuiApplication::screens())
        desktop = desktop.expandedTo(screen->virtualGeometry().size());
    limits.maxWidth = desktop.width();
    limits.maxHeight = desktop.height();
    return limits;
}

void UseTooltipBackground(QLabel* label) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
    label->setPalette(pal);
    label->setAutoFillBackground(true);
}

void Bold(QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    w->setFont(f);
}

} // namespace

TMouseImage::TMouseImage(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
}

void TMouseImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (onMove) onMove(p.x(), p.y());
    QLabel::mouseMoveEvent(event);
}

void TMouseImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (onRelease) onRelease(event->button(), p.x(), p.y());
    QLabel::mouseReleaseEvent(event);
}

QStringList SettingsDxLines(const Program& program) {
    // The two editors' grids as they stand (rows 1 to 99 with a key), each
    // followed by the stored lines beyond the 99th it kept unchanged; the
    // holders read at start while the editors do not exist.
    const Forms& f = program.forms;
    if (!f.FormListeDXCC || !f.FormListeDXCB)
        return settings::DxSettingsLines(program.app.MemoDX, program.app.MemoDXCB);
    QStringList lines;
    for (const QString& value : f.FormListeDXCC->StoredLines())
        lines.append(QStringLiteral("DX=") + value);
    for (const QString& value : f.FormListeDXCB->StoredLines())
        lines.append(QStringLiteral("DXCB=") + value);
    return lines;
}

TFormCarte::TFormCarte(Program& program) : program_(program) {
    setObjectName(QStringLiteral("FormCarte"));
    setWindowTitle(FirstCaption);
    move(11, 11);
    resize(1228, 875);

    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("ClientArea"));
    content->setFixedSize(1200, 810);
    scroll->setWidget(content);
    setCentralWidget(scroll);

    ImageMercator = new TMouseImage(content);
    ImageMercator->setObjectName(QStringLiteral("ImageMercator"));
    ImageMercator->setGeometry(0, 0, geo::MercatorWidth, geo::MercatorHeight);
    ImageMercator->setPixmap(QPixmap::fromImage(World()));
    ImageMercator->onMove = [this](int x, int y) { ImageMercatorMouseMove(x, y); };
    ImageMercator->onRelease = [this](Qt::MouseButton b, int x, int y) {
        ImageMercatorMouseUp(b, x, y);
    };

    ImageTovak = new TMouseImage(content);
    ImageTovak->setObjectName(QStringLiteral("ImageTovak"));
    ImageTovak->setGeometry(TovakLeft, TovakTop, 80, 17);
    ImageTovak->setPixmap(SignaturePicture());
    ImageTovak->onMove = [this](int x, int y) { ImageTovakMouseMove(x, y); };
    ImageTovak->raise();

    StaticText1 = new QLabel(FirstPrompt, content);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(0, 779, 249, 23);
    StaticText1->setAlignment(Qt::AlignCenter);
    UseTooltipBackground(StaticText1);
    // Each text field gets the face in which all its texts fit, at 11 pixels.
    FitFont(StaticText1, 11, false, AllPrompts());

    Label2 = new QLabel(QStringLiteral("locator="), content);
    Label2->setObjectName(QStringLiteral("Label2"));
    // The label has 48 pixels before the box.
    FitFont(Label2, 11, true, {Label2->text()}, 47);
    Label2->move(256, 784);
    Label2->adjustSize();

    EditQRA = new QLineEdit(content);
    EditQRA->setObjectName(QStringLiteral("EditQRA"));
    EditQRA->setGeometry(304, 779, 89, 21);
    Bold(EditQRA);

    const QIcon okIcon = style()->standardIcon(QStyle::SP_DialogApplyButton);
    auto makeConfirm = [&](const char* name) {
        auto* b = new QPushButton(content);
        b->setObjectName(QLatin1String(name));
        if (okIcon.isNull())
            b->setText(QStringLiteral("OK"));
        else
            b->setIcon(okIcon);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
        return b;
    };
    BitBtn1 = makeConfirm("BitBtn1");
    BitBtn1->setGeometry(392, 781, 25, 22);

    StaticTextPos = new QLabel(content);
    StaticTextPos->setObjectName(QStringLiteral("StaticTextPos"));
    StaticTextPos->setGeometry(424, 779, 129, 24);
    StaticTextPos->setAlignment(Qt::AlignCenter);
    FitFont(StaticTextPos, 11, true, PositionSamples);
    UseTooltipBackground(StaticTextPos);

    ProgressBarCalcul = new QProgressBar(content);
    ProgressBarCalcul->setObjectName(QStringLiteral("ProgressBarCalcul"));
    ProgressBarCalcul->setGeometry(560, 779, 633, 24);
    ProgressBarCalcul->setRange(0, 100);
    ProgressBarCalcul->setValue(0);
    ProgressBarCalcul->setTextVisible(false);

    EditLocator = new QLineEdit(content);
    EditLocator->setObjectName(QStringLiteral("EditLocator"));
    EditLocator->setGeometry(40, 3, 89, 21);
    Bold(EditLocator);
    EditLocator->hide();
    BitBtn2 = makeConfirm("BitBtn2");
    BitBtn2->setGeometry(128, 5, 25, 22);
    BitBtn2->hide();

    connect(EditQRA, &QLineEdit::textChanged, this, [this] { EditQRAChange(); });
    connect(EditLocator, &QLineEdit::textChanged, this, [this] { EditLocatorChange(); });
    EditQRA->installEventFilter(this);
    EditLocator->installEventFilter(this);
    // Both confirm buttons are the window's default buttons: Enter confirms.
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        connect(enter, &QShortcut::activated, this, [this] { BitBtn1Click(); });
    }

    TimerFinImage = new QTimer(this);
    TimerFinImage->setObjectName(QStringLiteral("TimerFinImage"));
    TimerFinImage->setInterval(100);
    TimerFinImage->setSingleShot(true);
    connect(TimerFinImage, &QTimer::timeout, this, [this] { TimerFinImageTimer(); });

    QMenuBar* bar = menuBar();
    Menuquitter = bar->addAction(QStringLiteral("Quit"));
    Menuquitter->setObjectName(QStringLiteral("Menuquitter"));
    connect(Menuquitter, &QAction::triggered, this, [this] { MenuquitterClick(); });
    menuLocator = bar->addAction(QStringLiteral("Locator"));
    menuLocator->setObjectName(QStringLiteral("menuLocator"));
    connect(menuLocator, &QAction::triggered, this, [this] { menuLocatorClick(); });
    MenuVoir = bar->addAction(QStringLiteral("Display the azimuthal map"));
    MenuVoir->setObjectName(QStringLiteral("MenuVoir"));
    MenuVoir->setEnabled(false);
    connect(MenuVoir, &QAction::triggered, this, [this] { MenuVoirClick(); });
    MenuLangue = bar->addMenu(QStringLiteral("Language"));
    MenuLangue->setObjectName(QStringLiteral("MenuLangue"));
    MenuLangue->menuAction()->setObjectName(QStringLiteral("MenuLangue"));
    auto* languages = new QActionGroup(this);
    languages->setExclusive(true);
    auto addLanguage = [&](const char* name, const QString& caption, void (TFormCarte::*click)()) {
        QAction* a = MenuLangue->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        languages->addAction(a);
        connect(a, &QAction::triggered, this, [this, click] { (this->*click)(); });
        return a;
    };
    MenuEnglish =
        addLanguage("MenuEnglish", QStringLiteral("English"), &TFormCarte::MenuEnglishClick);
    MenuFrancais =
        addLanguage("MenuFrancais", QStringLiteral("Français"), &TFormCarte::MenuFrancaisClick);
    MenuEspagnol =
        addLanguage("MenuEspagnol", QStringLiteral("Español"), &TFormCarte::MenuEspagnolClick);
    MenuEnglish->setChecked(true);
    MenuInfo = bar->addAction(QStringLiteral("Info"));
    MenuInfo->setObjectName(QStringLiteral("MenuInfo"));
    connect(MenuInfo, &QAction::triggered, this, [this] { MenuInfoClick(); });
    MenuAide = bar->addAction(QStringLiteral("Help"));
    MenuAide->setObjectName(QStringLiteral("MenuAide"));
    connect(MenuAide, &QAction::triggered, this, [this] { MenuAideClick(); });

    AddQuitShortcut(this);
    FormCreate();
}

TFormCarte::~TFormCarte() = default;

// ---- Creation, show, activation, paint, close ----

void TFormCarte::FormCreate() {
    ProgressBarCalcul->setMaximum(geo::MercatorWidth);
    AppState& app = program_.app;
    // A settings failure skips the rest of the creation, the locator too.
    const bool settingsToRead = app.SettingsExisted || !app.SettingsSource.isEmpty();
    if (settingsToRead && !ReadSettings()) return;
    if (!program_.arguments.isEmpty()) {
        if (const auto centre = geo::DecodeLocator(program_.arguments.first().toStdString())) {
            app.pos.CentreLat = centre->lat;
            app.pos.CentreLon = centre->lon;
            app.pos.LocatorPending = true;
        }
    }
}

bool TFormCarte::ReadSettings() {
    AppState& app = program_.app;
    const QString path =
        app.SettingsExisted || app.SettingsSource.isEmpty()
            ? QDir(program_.platform.programFolder()).filePath(settings::SettingsFile)
            : app.SettingsSource;
    QString error;
    bool failed = false;
    if (!settings::LoadSettingsFile(path, MemoFileInit, error)) {
        failed = true;
    } else {
        // The world-map window's position and size keys apply to it at once.
        const settings::WindowGeometry before{y(), x(), height(), width()};
        const settings::ReadResult r = settings::ApplySettingsLines(
            MemoFileInit, app, program_.viewer, before, [this](char code) { ApplyLanguage(code); },
            SizeLimits());
        if (r.carte != before)
            PlaceWindow(this, QRect(r.carte.left, r.carte.top, r.carte.width, r.carte.height));
        failed = r.failed;
        error = r.errorText;
    }
    if (failed)
        program_.platform.message(this, Platform::Box::Error, QStringLiteral("Korvanta"), error);
    return !failed;
}

void TFormCarte::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Showing the window again at the platform level (the viewer handing
    // back) is no showing of the window: the show handler does not run.
    if (!platformShow_) FormShow();
}

void TFormCarte::FormShow() {
    if (!EditLocator->isVisible()) return;
    // Giving the box the focus confirms its locator; when the window is not
    // active yet the focus arrives later, so confirm here.
    const int before = confirmRuns_;
    EditLocator->setFocus(Qt::OtherFocusReason);
    if (confirmRuns_ == before) BitBtn1Click();
}

bool TFormCarte::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return handled;
}

void TFormCarte::FormActivate() {
    AppState& app = program_.app;
    TFormAzimut* viewer = program_.forms.FormAzimut;
    if (TFormInfo* info = program_.forms.FormInfo)
        info->Label1->setText(QStringLiteral("KORVANTA V") + app.VersionText);
    if (app.FocusViewerOnActivate) {
        app.FocusViewerOnActivate = false;
        if (viewer) {
            viewer->raise();
            viewer->activateWindow();
        }
    } else if (program_.viewer.SavedMapLoaded) {
        program_.viewer.SavedMapLoaded = false;
        MenuVoir->setEnabled(true);
        if (viewer) viewer->show();
        app.FocusViewerOnActivate = true;
    }
}

void TFormCarte::MenuInfoClick() {
    if (TFormInfo* info = program_.forms.FormInfo) {
        info->show();
        info->raise();
        info->activateWindow();
    }
}

void TFormCarte::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    FormPaint();
}

void TFormCarte::FormPaint() {
    const TFormAzimut* viewer = program_.forms.FormAzimut;
    if (viewer && viewer->isVisible() && !program_.viewer.ReturningToGenerator)
        MenuCacherFenetreCarteClick();
    // Enabling a running timer leaves it running: the first paint counts.
    if (!TimerFinImage->isActive()) TimerFinImage->start();
}

void TFormCarte::closeEvent(QCloseEvent* event) {
    // The window itself never closes: the request either ends the program
    // or is refused.
    event->ignore();
    FormClose();
}

void TFormCarte::FormClose() {
    if (program_.ending) return;
    if (program_.viewer.DdeClientConnected) {
        program_.platform.message(this, Platform::Box::Warning, QStringLiteral("Korvanta"),
                                  program_.viewer.msg.ConnectedMessage);
        return;
    }
    EndProgram(program_);
}

void TFormCarte::MenuquitterClick() {
    close();
}

// ---- Menus ----

void TFormCarte::MenuVoirClick() {
    MenuCacherFenetreCarteClick();
    if (TFormAzimut* viewer = program_.forms.FormAzimut) viewer->show();
}

void TFormCarte::MenuAideClick() {
    // The help pages ship beside the program, or in its data folder once
    // installed, while the program may keep its own folder elsewhere.
    program_.platform.openDocument(SharedFilePath(program_.platform.programFolder(),
                                                  QCoreApplication::applicationDirPath(),
                                                  program_.app.HelpFile));
}

void TFormCarte::MenuCacherFenetreCarteClick() {
    hide();
}

void TFormCarte::menuMontrerFenetreCarteClick() {
    platformShow_ = true;
    showNormal();
    platformShow_ = false;
}

void TFormCarte::MenuEnglishClick() {
    ApplyLanguage('E');
}

void TFormCarte::MenuFrancaisClick() {
    ApplyLanguage('F');
}

void TFormCarte::MenuEspagnolClick() {
    ApplyLanguage('S');
}

namespace {

// The texts of the language switch.
struct CarteTexts {
    const char* code;
    const char* captionTail;
    const char* quit;
    const char* language;
    const char* help;
    const char* helpFile;
    const char* display;
    const char* idle;
    const char* busy;
};
const CarteTexts English{"E",
                         " - Azimuth World Map Generator by Tovak",
                         "Quit",
                         "Language",
                         "Help",
                         "korvanta_en.html",
                         "Display the azimuth map",
                         "Click the map or enter a grid square >>>",
                         "Generation in progress. Wait please !"};
const CarteTexts French{"F",
                        " - Générateur de cartes azimutales par Tovak",
                        "Quitter",
                        "Langue",
                        "Aide",
                        "korvanta_fr.html",
                        "Afficher la carte azimutale",
                        "Cliquer la carte ou entrer un locator >>>",
                        "Génération en cours. Patientez S.V.P.!"};
const CarteTexts Spanish{"S",
                         " - Azimuth, Generador de mapas del mundo, por Tovak",
                         "Cierre",
                         "Idioma",
                         "Ayuda",
                         "korvanta_es.html",
                         "Despliegue el mapa azimut",
                         "Haga clic en el mapa o introducir una cuadrícula",
                         "Generación en curso. Espere por favor!"};

// Every text the prompt field shows, in every language.
QStringList AllPrompts() {
    QStringList texts{FirstPrompt};
    for (const CarteTexts* t : {&English, &French, &Spanish})
        texts << QString::fromUtf8(t->idle) << QString::fromUtf8(t->busy);
    return texts;
}

} // namespace

void TFormCarte::ApplyLanguage(char code) {
    const CarteTexts& t = code == 'F' ? French : code == 'S' ? Spanish : English;
    QAction* const checked = code == 'F' ? MenuFrancais : code == 'S' ? MenuEspagnol : MenuEnglish;

    AppState& app = program_.app;
    for (QAction* item : {MenuEnglish, MenuFrancais, MenuEspagnol})
        item->setChecked(item == checked);
    app.LanguageCode = QString::fromUtf8(t.code);
    program_.platform.setLanguage(app.LanguageCode);
    setWindowTitle(QStringLiteral("KORVANTA V") + app.VersionText +
                   QString::fromUtf8(t.captionTail));
    Menuquitter->setText(QString::fromUtf8(t.quit));
    MenuLangue->setTitle(QString::fromUtf8(t.language));
    MenuAide->setText(QString::fromUtf8(t.help));
    app.HelpFile = QString::fromUtf8(t.helpFile);
    MenuVoir->setText(QString::fromUtf8(t.display));
    app.IdlePrompt = QString::fromUtf8(t.idle);
    app.BusyPrompt = QString::fromUtf8(t.busy);
    StaticText1->setText(app.Generating ? app.BusyPrompt : app.IdlePrompt);
    // While the settings are read the viewer does not exist yet; it applies
    // the language itself when it is first shown.
    if (!app.LanguageFromSettings) {
        if (TFormAzimut* viewer = program_.forms.FormAzimut) viewer->ButtonLangueClick();
    }
}

// ---- Locator boxes and live readout ----

void TFormCarte::EditQRAChange() {
    // Setting a box to the text it holds raises no change: the copying stops.
    if (EditLocator->text() != EditQRA->text()) EditLocator->setText(EditQRA->text());
}

void TFormCarte::EditLocatorChange() {
    if (EditQRA->text() != EditLocator->text()) EditQRA->setText(EditLocator->text());
}

bool TFormCarte::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == EditQRA || watched == EditLocator) && event->type() == QEvent::FocusIn) {
        // Entering a box confirms its locator; the focus coming back with
        // the window or from a menu is no entering.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) BitBtn1Click();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormCarte::BitBtn1Click() {
    ++confirmRuns_;
    const auto centre = geo::DecodeLocator(EditQRA->text().toStdString());
    if (!centre) return;
    geo::PositionState& pos = program_.app.pos;
    pos.CentreLat = centre->lat;
    pos.CentreLon = centre->lon;
    pos.LocatorPending = true;
    ImageMercatorMouseUp(Qt::LeftButton, 0, 0);
}

void TFormCarte::menuLocatorClick() {
    EditLocator->show();
    BitBtn2->show();
    if (!EditQRA->text().isEmpty()) EditLocator->setText(EditQRA->text());
    // Giving the box the focus confirms at once; when the window is not
    // active the focus arrives later, so confirm here.
    const int before = confirmRuns_;
    EditLocator->setFocus(Qt::OtherFocusReason);
    if (confirmRuns_ == before) BitBtn1Click();
}

void TFormCarte::ImageMercatorMouseMove(int x, int y) {
    const geo::LatLon p = geo::PixelToLatLon(x, y);
    StaticTextPos->setText(QString::fromStdString(geo::FormatPosition(p.lat, p.lon)));
}

void TFormCarte::ImageTovakMouseMove(int x, int y) {
    ImageMercatorMouseMove(x + TovakLeft, y + TovakTop);
}

// ---- Generation ----

void TFormCarte::ImageMercatorMouseUp(Qt::MouseButton button, int x, int y) {
    AppState& app = program_.app;
    if (button == Qt::RightButton || app.Generating) return;
    TFormAzimut* viewer = program_.forms.FormAzimut;
    if (viewer) viewer->hide();
    app.MapUnsaved = false;

    geo::PaletteImage target = viewer ? viewer->BlankMap() : geo::PaletteImage();
    if (target.width != geo::MapSize || target.height != geo::MapSize)
        target = geo::BlankBackground();

    app.Generating = true;
    ProgressBarCalcul->setValue(0);
    MenuVoir->setEnabled(false);
    StaticText1->setText(app.BusyPrompt);

    geo::PositionState& pos = app.pos;
    if (pos.LocatorPending) {
        pos.LocatorPending = false;
    } else {
        const geo::LatLon p = geo::PixelToLatLon(x, y);
        pos.CentreLat = p.lat;
        pos.CentreLon = p.lon;
        EditQRA->clear();
        EditLocator->clear();
    }
    pos.CentreText = geo::FormatPosition(pos.CentreLat, pos.CentreLon);
    StaticTextPos->setText(QString::fromStdString(pos.CentreText));

    Platform& platform = program_.platform;
    platform.setBusyCursor(true);
    if (app.extra.FillGaps)
        geo::GenerateGapFreeMap(WorldMap(), geo::PaletteImage(target), pos, target,
                                [this](int column) { ProgressBarCalcul->setValue(column); });
    else
        geo::Generate(
            WorldMap(), pos, target, [&platform] { platform.beep(); },
            [this](int column) { ProgressBarCalcul->setValue(column); });

    app.Generating = false;
    app.MapUnsaved = true;
    platform.setBusyCursor(false);
    MenuVoir->setEnabled(true);
    StaticText1->setText(app.IdlePrompt);
    EditLocator->hide();
    BitBtn2->hide();
    EditQRA->clear();
    EditLocator->clear();
    platform.processEvents();

    MenuCacherFenetreCarteClick();
    viewer = program_.forms.FormAzimut;
    if (viewer) {
        viewer->SetMap(target);
        viewer->show();
    }
}

void TFormCarte::TimerFinImageTimer() {
    TimerFinImage->stop();
    if (program_.app.pos.LocatorPending) ImageMercatorMouseUp(Qt::LeftButton, 0, 0);
}

void TFormCarte::ResetAfterReturn() {
    ProgressBarCalcul->setValue(0);
    EditQRA->clear();
    EditLocator->clear();
}

// ---- Settings ----

void TFormCarte::SettingsWrite() {
    const QString folder = program_.platform.programFolder();
    QDir::setCurrent(folder);
    const AppState& app = program_.app;

    settings::Snapshot s;
    if (MenuEnglish->isChecked()) s.languages.append(QStringLiteral("ENGLISH"));
    if (MenuFrancais->isChecked()) s.languages.append(QStringLiteral("FRENCH"));
    if (MenuEspagnol->isChecked()) s.languages.append(QStringLiteral("SPANISH"));
    s.pelmarinPath = app.PelmarinPath;
    s.unitFactor = program_.viewer.UnitFactor;
    s.listIsCB = app.ListIsCB;
    s.separatorIndex = app.SeparatorIndex;
    s.savedImagePath = app.SavedImagePath;
    s.savedImageCentre = app.SavedImageCentre;
    if (const TFormAzimut* viewer = program_.forms.FormAzimut) {
        s.viewerTop = viewer->y();
        s.viewerLeft = viewer->x();
        s.viewerHeight = viewer->height();
        s.viewerWidth = viewer->width();
    } else {
        s.viewerTop = app.ViewerTop;
        s.viewerLeft = app.ViewerLeft;
        s.viewerHeight = app.ViewerHeight;
        s.viewerWidth = app.ViewerWidth;
    }
    s.viewerScroll = app.ViewerScroll;
    s.carte = {y(), x(), height(), width()};
    s.dxLines = SettingsDxLines(program_);
    s.clockIsUTC = app.ClockIsUTC;
    s.versionCheckAtStart = app.VersionCheckAtStart;
    s.extra = app.extra;

    MemoFileInit = settings::SettingsLines(s);
    const QString error = settings::WriteSettingsFile(folder, MemoFileInit, app.SettingsExisted);
    if (!error.isEmpty())
        program_.platform.message(this, Platform::Box::Error, QStringLiteral("Korvanta"),
                                  settings::SettingsErrorText);
}
