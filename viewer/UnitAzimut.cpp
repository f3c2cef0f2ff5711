#include "viewer/UnitAzimut.h"

#include "app/Program.h"
#include "app/ProgramEnd.h"
#include "app/UnitCarte.h"
#include "app/WindowPlace.h"
#include "dialogs/UnitSave.h"
#include "dxlists/BuiltinLists.h"
#include "viewer/Languages.h"
#include "viewer/MapPicture.h"
#include "viewer/OverlayComponent.h"
#include "viewer/RangeComponent.h"
#include "viewer/Readout.h"
#include "viewer/ViewerHub.h"

#if __has_include("dxlists/UnitDX.h")
#include "dxlists/UnitDX.h"
#define KORVANTA_HAVE_LISTE_DXCC 1
#endif
#if __has_include("dxlists/UnitDXCB.h")
#include "dxlists/UnitDXCB.h"
#define KORVANTA_HAVE_LISTE_DXCB 1
#endif

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTimer>

#include <cmath>

namespace {

constexpr int R = geo::MapRadius;

// Rows of the DX lists are 15 pixels high.
class FixedRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(15);
        return s;
    }
};

QFont ArialBold12() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    f.setBold(true);
    return f;
}

void SetBackground(QWidget* w, QPalette::ColorRole role, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void SetTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

} // namespace

// ---------------------------------------------------------------------------

TPictureLabel::TPictureLabel(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TPictureLabel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseMoved(p.x(), p.y());
    QLabel::mouseMoveEvent(event);
}

void TPictureLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------------------

TFormAzimut::TFormAzimut(Program& program) : program_(program) {
    setObjectName(QStringLiteral("FormAzimut"));
    setWindowTitle(QStringLiteral("Carte azimutale"));
    // The window's default font: a small sans serif of 8 points (11 pixels),
    // metric twin of the usual desktop face.
    QFont defaultFont(QStringLiteral("Liberation Sans"));
    defaultFont.setPixelSize(11);
    setFont(defaultFont);
    resize(950, 698);
    setMaximumSize(950, 700);

    // The picture's own font: the toolkit's default, black, drawn without smoothing
    // so that the caption and labels keep to the palette.
    canvasFont_ = QFont(QStringLiteral("Liberation Sans"));
    canvasFont_.setPixelSize(11);
    canvasFont_.setStyleStrategy(QFont::NoAntialias);

    hub_ = new viewer::ViewerHub(program.platform, program.app, this);
    // The local server's end of the designations: exactly what it always
    // published. The antenna console connects its own end (StartLink).
    connect(hub_, &viewer::ViewerHub::designated, this, [this](const azlink::Designation& d) {
        if (azlink::Publishes(d.reason)) PublishBearing(QString::fromStdString(d.bearing));
    });
    BuildMenus();
    BuildControls();
    FitFonts();
    AddQuitShortcut(this);
    StartLink();
    FormCreate();
}

TFormAzimut::~TFormAzimut() = default;

void TFormAzimut::BuildControls() {
    const QColor tip = palette().color(QPalette::ToolTipBase);
    const QFont arial = ArialBold12();

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ClientArea = new QWidget;
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    ClientArea->setFixedSize(934, 632);
    ScrollBox->setWidget(ClientArea);
    ScrollBox->setWidgetResizable(false);
    setCentralWidget(ScrollBox);
    // The settings writer stores the horizontal scroll position of the moment.
    connect(ScrollBox->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { program_.app.ViewerScroll = value; });

    original_ = viewer::BlankTemplate();
    map_ = original_;

    auto* imageOriginale = new QLabel(ClientArea);
    imageOriginale->setObjectName(QStringLiteral("ImageOriginale"));
    imageOriginale->setGeometry(0, 0, geo::MapSize, geo::MapSize);
    imageOriginale->setPixmap(QPixmap::fromImage(original_));
    imageOriginale->hide();

    ImageAzimut = new TPictureLabel(ClientArea);
    ImageAzimut->setObjectName(QStringLiteral("ImageAzimut"));
    ImageAzimut->setGeometry(0, 0, geo::MapSize, geo::MapSize);
    ImageAzimut->setPixmap(QPixmap::fromImage(map_));
    connect(ImageAzimut, &TPictureLabel::mouseMoved, this,
            [this](int x, int y) { ImageAzimutMouseMove(x, y); });
    connect(ImageAzimut, &TPictureLabel::clicked, this, [this] { ImageAzimutClick(); });

    auto staticText = [&](const char* name, int x, int y, int w, int h) {
        auto* l = new QLabel(ClientArea);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(x, y, w, h);
        return l;
    };
    StaticTextDate = staticText("StaticTextDate", 8, 8, 113, 17);
    StaticTextDate->setAlignment(Qt::AlignCenter);
    SetBackground(StaticTextDate, QPalette::Window, tip);
    StaticTextTime = staticText("StaticTextTime", 480, 8, 112, 17);
    StaticTextTime->setAlignment(Qt::AlignCenter);
    SetBackground(StaticTextTime, QPalette::Window, tip);

    StaticTextAzim = staticText("StaticTextAzim", 8, 604, 209, 19);
    StaticTextAzim->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SetBackground(StaticTextAzim, QPalette::Window, tip);
    LabelLP = staticText("LabelLP", 220, 604, 0, 0);
    LabelLP->setFont(arial);
    LabelLP->setText(QStringLiteral("<=Direct       Long Pass =>"));
    LabelLP->adjustSize();
    StaticTextLP = staticText("StaticTextLP", 368, 604, 209, 19);
    StaticTextLP->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SetBackground(StaticTextLP, QPalette::Window, palette().color(QPalette::Midlight));

    auto dxList = [&](const char* name) {
        auto* l = new QListWidget(ClientArea);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(608, 0, 313, 601);
        l->setFont(arial);
        l->setItemDelegate(new FixedRowDelegate(l));
        l->setUniformItemSizes(true);
        SetBackground(l, QPalette::Base, tip);
        return l;
    };
    ListBoxDX = dxList("ListBoxDX");
    ListBoxDX->hide();
    ListBoxDXCB = dxList("ListBoxDXCB");
    ListBoxDXCB->hide();
    // The two hidden lists hold the built-in rows from the start.
    for (const std::string& row : dx::BuiltinHamRows())
        ListBoxDX->addItem(QString::fromStdString(row));
    for (const std::string& row : dx::BuiltinCbRows())
        ListBoxDXCB->addItem(QString::fromStdString(row));
    ListBoxDXW = dxList("ListBoxDXW");
    ListBoxDXW->setMouseTracking(true);
    ListBoxDXW->viewport()->setMouseTracking(true);
    ListBoxDXW->viewport()->installEventFilter(this);
    ListBoxDXW->installEventFilter(this);
    connect(ListBoxDXW, &QListWidget::itemClicked, this, [this] { ListBoxDXWClick(); });

    LabelCall = staticText("LabelCall", 627, 608, 0, 0);
    LabelCall->setFont(arial);
    LabelCall->setText(QStringLiteral("CALL : "));
    LabelCall->adjustSize();
    EditCall = new QLineEdit(ClientArea);
    EditCall->setObjectName(QStringLiteral("EditCall"));
    EditCall->setGeometry(672, 604, 73, 23);
    EditCall->setFont(arial);
    SetBackground(EditCall, QPalette::Base, tip);
    connect(EditCall, &QLineEdit::textChanged, this, [this] { EditCallChange(); });
    LabelUTC = staticText("LabelUTC", 776, 608, 0, 0);
    LabelUTC->setFont(arial);
    LabelUTC->setText(QStringLiteral("UTC:"));
    LabelUTC->adjustSize();
    EditUTC = new QLineEdit(ClientArea);
    EditUTC->setObjectName(QStringLiteral("EditUTC"));
    EditUTC->setGeometry(816, 604, 89, 23);
    EditUTC->setFont(arial);
    EditUTC->setReadOnly(true);

    ButtonLangue = new QPushButton(QStringLiteral("Langue"), ClientArea);
    ButtonLangue->setObjectName(QStringLiteral("ButtonLangue"));
    ButtonLangue->setGeometry(8, 80, 49, 25);
    ButtonLangue->hide();
    connect(ButtonLangue, &QPushButton::clicked, this, [this] { ButtonLangueClick(); });

    // The DX markers lie over the map (created last, so above it).
    auto marker = [&](const char* name, bool turned) {
        auto* m = new TPictureLabel(ClientArea);
        m->setObjectName(QString::fromLatin1(name));
        m->setGeometry(0, 0, 29, 29);
        m->setPixmap(viewer::MarkerPicture(turned));
        m->hide();
        return m;
    };
    ImageDX = marker("ImageDX", false);
    connect(ImageDX, &TPictureLabel::mouseMoved, this,
            [this](int x, int y) { ImageDXMouseMove(x, y); });
    ImageDX45 = marker("ImageDX45", true);
    connect(ImageDX45, &TPictureLabel::mouseMoved, this,
            [this](int x, int y) { ImageDX45MouseMove(x, y); });

    TimerDX = new QTimer(this);
    TimerDX->setObjectName(QStringLiteral("TimerDX"));
    TimerDX->setInterval(400);
    connect(TimerDX, &QTimer::timeout, this, [this] { TimerDXTimer(); });
    TimerSeconde = new QTimer(this);
    TimerSeconde->setObjectName(QStringLiteral("TimerSeconde"));
    TimerSeconde->setInterval(1000);
    connect(TimerSeconde, &QTimer::timeout, this, [this] { TimerSecondeTimer(); });
    BuildComponents();

    BuildPelmarinPanel();
}

// ---------------------------------------------------------------------------
// The map picture.

geo::PaletteImage TFormAzimut::BlankMap() const {
    return viewer::ToPalette(original_);
}

void TFormAzimut::SetMap(const geo::PaletteImage& map) {
    map_ = viewer::FromPalette(map);
    axesDrawn_ = circlesDrawn_ = false;
    mapGapFree_ = program_.app.extra.FillGaps;
    UpdateFrame();
    ShowMapPicture();
}

geo::PaletteImage TFormAzimut::Map() const {
    return viewer::ToPalette(map_);
}

void TFormAzimut::MapChanged() {
    viewer::ReduceToPalette(map_);
    ShowMapPicture();
}

void TFormAzimut::CanvasTextOut(QPainter& painter, int x, int y, const QString& text, bool boxed) {
    painter.setFont(canvasFont_);
    const QFontMetrics fm(canvasFont_);
    const QRect box(x, y, fm.horizontalAdvance(text), fm.height());
    if (boxed || !canvasBrushHollow_) painter.fillRect(box, Qt::white);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

// ---------------------------------------------------------------------------
// Creation, showing, activation.

void TFormAzimut::FormCreate() {
    AppState& app = program_.app;
    ViewerState& v = program_.viewer;
    PlaceWindow(this, QRect(app.ViewerLeft, app.ViewerTop, app.ViewerWidth, app.ViewerHeight));

    v.SourceIsCB = MenuDXCCCB->isChecked();

    if (!app.SavedImagePath.isEmpty() && !app.pos.LocatorPending) {
        const QString path = app.SavedImagePath;
        QFile file(path);
        // Only a plain file can be opened: a pipe, a device or a folder given
        // that name counts as a file that cannot be opened (opening a pipe
        // would wait for a writer for ever).
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
            program_.platform.message(this, Platform::Box::Plain, QStringLiteral("Korvanta"),
                                      QStringLiteral("Bitmap error"));
            return;
        }
        file.close();
        QImage loaded;
        if (path.right(4) != QLatin1String(".bmp") || !loaded.load(path)) {
            program_.platform.message(this, Platform::Box::Plain, QStringLiteral("Korvanta"),
                                      QStringLiteral("Bitmap error"));
            return;
        }
        // The saved picture replaces the map, from the top-left corner.
        QImage picture = original_;
        QPainter painter(&picture);
        painter.drawImage(0, 0, loaded.convertToFormat(QImage::Format_RGB32));
        painter.end();
        map_ = picture;
        MapChanged();
        v.SavedMapLoaded = true;
    }

    RebuildDisplayedDxList();

    Platform& platform = program_.platform;
    const QDateTime now = platform.localNow();
    StaticTextTime->setText(
        viewer::ClockTimeText(now, platform.longTimeFormat(), false, platform.formatLocale()));
    StaticTextDate->setText(
        viewer::ClockDateText(now, platform.shortDateFormat(), platform.formatLocale()));
}

void TFormAzimut::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFormAzimut::FormShow() {
    AppState& app = program_.app;
    lostToOtherProgram_ = false; // a show is always followed by the activation refresh
    UpdateFrame();
    // The place and size the user last gave the window (those read from the
    // settings until it was first hidden).
    PlaceWindow(this, QRect(app.ViewerLeft, app.ViewerTop, app.ViewerWidth, app.ViewerHeight));
    ScrollBox->horizontalScrollBar()->setValue(app.ViewerScroll);
    ButtonLangueClick();
    ListBoxDXW->setFocus();
    if (app.ClockIsUTC)
        MenuTimeUTCClick();
    else
        MenuTimeLocalClick();
    setWindowTitle(QStringLiteral("KORVANTA V") + app.VersionText);
    if (program_.viewer.UnitFactor != 1.0L) MenuUnitmileClick();
    if (app.ListIsCB)
        MenuDXCCCBClick();
    else
        MenuDXCCOMClick();
    DrawCentreCaption();
    if (!ListBoxDXW->selectedItems().isEmpty())
        SelectDxRow(azlink::DesignationReason::ActivationRefresh);
    TimerSeconde->start();
    overlays_->Show();
}

void TFormAzimut::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    // Where the user left the window is where the next show puts it.
    if (event->spontaneous()) return;
    AppState& app = program_.app;
    app.ViewerLeft = x();
    app.ViewerTop = y();
    app.ViewerWidth = width();
    app.ViewerHeight = height();
}

void TFormAzimut::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    // The activation refresh runs when the viewer becomes the program's active
    // window, not when the user merely comes back from another program.
    const bool active = isActiveWindow();
    if (!active && activeBefore_) lostToOtherProgram_ = QApplication::activeWindow() == nullptr;
    const bool becameActive = active && !activeBefore_;
    activeBefore_ = active;
    if (!becameActive) return;
    if (lostToOtherProgram_) {
        lostToOtherProgram_ = false;
        return;
    }
    FormActivate();
}

void TFormAzimut::FormActivate() {
    ViewerState& v = program_.viewer;
    if (v.ReturningFromDialog) {
        v.ReturningFromDialog = false;
        return;
    }
    ButtonLangueClick();
    switch (program_.app.SeparatorIndex) {
    case 0:
        SepDefaultClick();
        break;
    case 1:
        SepUnderscoreClick();
        break;
    case 2:
        SepSlashClick();
        break;
    case 3:
        SepEqualClick();
        break;
    default:
        break;
    }
    MenuInfoVersion->setChecked(program_.app.VersionCheckAtStart);
    EditPelmarinpath->setText(program_.app.PelmarinPath);
    if (v.UnitFactor != 1.0L) MenuUnitmileClick();
    DrawCentreCaption();
    if (!EditCall->text().isEmpty()) {
        activationRefresh_ = true;
        EditCallChange();
        activationRefresh_ = false;
    }
}

bool TFormAzimut::eventFilter(QObject* watched, QEvent* event) {
    // Moving the selection with the keyboard selects like a click.
    if (watched == ListBoxDXW && event->type() == QEvent::KeyPress) {
        const int before = ListBoxDXW->currentRow();
        static_cast<QObject*>(ListBoxDXW)->event(event);
        // Enter chooses the row shown; moving through the list only shows it.
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (ListBoxDXW->currentRow() >= 0 && (enter || ListBoxDXW->currentRow() != before))
            SelectDxRow(enter ? azlink::DesignationReason::ListRowChosen
                              : azlink::DesignationReason::ListRowMoved);
        return true;
    }
    if (watched == ListBoxDXW->viewport() && event->type() == QEvent::MouseMove) {
        const QPoint p = ListBoxDXW->viewport()->mapTo(
            ListBoxDXW, static_cast<QMouseEvent*>(event)->position().toPoint());
        ListBoxDXWMouseMove(p.x(), p.y());
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Overlays and caption.

void TFormAzimut::DrawCentreCaption() {
    UpdateFrame();
    QPainter painter(&map_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    PaintCentreCaption(painter);
    painter.end();
    MapChanged();
}

void TFormAzimut::PaintCentreCaption(QPainter& painter) {
    // Always over its white box: over the map's black corner a hollow
    // brush would leave black text on black.
    CanvasTextOut(painter, 2, 585,
                  QStringLiteral(" Centre : ") +
                      QString::fromStdString(program_.app.pos.CentreText) + QStringLiteral(" "),
                  true);
}

void TFormAzimut::MenuAxesClick() {
    QPainter painter(&map_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    axesBoxed_ = !canvasBrushHollow_;
    PaintAxes(painter);
    axesDrawn_ = true;
    painter.end();
    MapChanged();
    ButtonLangueClick();
}

void TFormAzimut::PaintAxes(QPainter& painter) {
    const int d = static_cast<int>(geo::Round((1 - std::sqrt(2.0L) / 2) * R));
    painter.setPen(QPen(QColor(255, 0, 0), 1, Qt::SolidLine));
    painter.drawLine(R, 0, R, 2 * R);
    painter.drawLine(0, R, 2 * R, R);
    painter.drawLine(d, d, 2 * R - d, 2 * R - d);
    painter.drawLine(d, 2 * R - d, 2 * R - d, d);
    static const struct {
        const char* text;
        int x, y;
    } labels[] = {{"0", 297, 1},     {"45", 498, 89},  {"90", 584, 294}, {"135", 492, 499},
                  {"180", 291, 586}, {"225", 89, 500}, {"270", 1, 294},  {"315", 88, 89}};
    for (const auto& l : labels)
        CanvasTextOut(painter, l.x, l.y, QString::fromLatin1(l.text), axesBoxed_);
}

void TFormAzimut::MenuDistancesClick() {
    QPainter painter(&map_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    PaintCircles(painter);
    circlesDrawn_ = true;
    painter.end();
    canvasBrushHollow_ = true;
    MapChanged();
    ButtonLangueClick();
}

void TFormAzimut::PaintCircles(QPainter& painter) {
    painter.setPen(QPen(QColor(255, 0, 0), 1, Qt::SolidLine));
    painter.setBrush(Qt::NoBrush);
    for (const geo::Real part : {R / 4.0L, R / 2.0L, 3.0L * R / 4.0L}) {
        const int a = static_cast<int>(geo::Round(part));
        painter.drawEllipse(QRect(a, a, 2 * R - 2 * a, 2 * R - 2 * a));
    }
}

// ---------------------------------------------------------------------------
// Leaving the viewer.

void TFormAzimut::MenugenerateurClick() {
    ViewerState& v = program_.viewer;
    v.ReturningToGenerator = true;
    TimerDX->stop();
    ImageDX->hide(); // the selection goes: no marker stays behind
    dxMarkerAt_.reset();
    ImageDX45->hide();
    TimerSeconde->stop();
    ListBoxDXW->clearSelection();
    StaticTextAzim->clear();
    EditCall->clear();
    StaticTextLP->clear();
    StaticTextPosition->clear();
    DxAzimText.clear();
    DxLongPathText.clear();
    ListBoxDXW->setToolTip(QString());
#ifdef KORVANTA_HAVE_LISTE_DXCC
    if (program_.forms.FormListeDXCC) program_.forms.FormListeDXCC->hide();
#endif
    if (TFormCarte* carte = program_.forms.FormCarte) carte->menuMontrerFenetreCarteClick();
    hide();
    if (TFormCarte* carte = program_.forms.FormCarte) carte->ResetAfterReturn();
    v.ReturningToGenerator = false;
}

void TFormAzimut::MenuEnregistrerClick() {
    if (TFormSave* save = program_.forms.FormSave) {
        save->show();
        save->raise();
        save->activateWindow();
    }
}

void TFormAzimut::MenuQuitterClick() {
    FormCloseQuery();
}

void TFormAzimut::closeEvent(QCloseEvent* event) {
    event->ignore();
    FormCloseQuery();
}

void TFormAzimut::FormCloseQuery() {
    ViewerState& v = program_.viewer;
    AppState& app = program_.app;
    Platform& platform = program_.platform;
    const QString title = QStringLiteral("Korvanta");
    if (program_.ending) return;
    if (v.DdeClientConnected) {
        platform.message(this, Platform::Box::Warning, title, v.msg.ConnectedMessage);
        return;
    }
    v.SavedMapLoaded = false;
    if (app.MapUnsaved &&
        platform.message(this, Platform::Box::Confirm, title, v.msg.SaveQuestion)) {
        if (TFormCarte* carte = program_.forms.FormCarte) carte->MenuCacherFenetreCarteClick();
        v.QuitAfterSave = true;
        MenuEnregistrerClick();
        return;
    }
    EndProgram(program_);
}

void TFormAzimut::MenuAideClick() {
    if (TFormCarte* carte = program_.forms.FormCarte) carte->MenuAideClick();
}

// ---------------------------------------------------------------------------
// Languages.

void TFormAzimut::MenuEnglishClick() {
    if (TFormCarte* carte = program_.forms.FormCarte) carte->MenuEnglishClick();
    ButtonLangueClick();
}

void TFormAzimut::MenuFrancaisClick() {
    if (TFormCarte* carte = program_.forms.FormCarte) carte->MenuFrancaisClick();
    ButtonLangueClick();
}

void TFormAzimut::MenuEspagnolClick() {
    if (TFormCarte* carte = program_.forms.FormCarte) carte->MenuEspagnolClick();
    ButtonLangueClick();
}

void TFormAzimut::ButtonLangueClick() {
    const QString& code = program_.app.LanguageCode;
    const viewer::ViewerTexts* t = viewer::ViewerTextsFor(code);
    if (!t) return;
    MenuLangue->setTitle(t->MenuLangue);
    MenuOptions->setTitle(t->MenuOptions);
    MenuAide->setText(t->MenuAide);
    MenuFichier->setTitle(t->MenuFichier);
    MenuUnit->setTitle(t->MenuUnit);
    MenuTime->setTitle(t->MenuTime);
    MenuAxes->setText(t->MenuAxes);
    MenuDistances->setText(t->MenuDistances);
    MenuEnregistrer->setText(t->MenuEnregistrer);
    Menugenerateur->setText(t->Menugenerateur);
    MenuListeDXCC->setText(t->MenuListeDXCC);
    MenuChoixListe->setTitle(t->MenuChoixListe);
    MenuDXCCOM->setText(t->MenuDXCCOM);
    MenuDXCCCB->setText(t->MenuDXCCCB);
    MenuSeparator->setTitle(t->MenuSeparator);
    SepDefault->setText(t->SepDefault);
    SepEqual->setText(t->SepEqual);
    SepSlash->setText(t->SepSlash);
    ApplyPelmarinTexts(*t);

    // The list editors' captions and the "My DX" grid's country header.
#ifdef KORVANTA_HAVE_LISTE_DXCC
    if (auto* dx = program_.forms.FormListeDXCC)
        dx->SetLanguageTexts(t->ListeDXCCCaption, t->CountryHeader);
#endif
#ifdef KORVANTA_HAVE_LISTE_DXCB
    if (auto* cb = program_.forms.FormListeDXCB) cb->SetLanguageCaption(t->ListeDXCBCaption);
#endif

    ViewerMessages& m = program_.viewer.msg;
    m.SaveQuestion = t->SaveQuestion;
    m.AzimuthLabel = t->AzimuthLabel;
    m.RangeLabel = t->RangeLabel;
    m.ConnectedMessage = t->ConnectedMessage;
    m.DxMissingField = t->DxMissingField;
    m.DxLatitudeLetter = t->DxLatitudeLetter;
    m.DxLongitudeLetter = t->DxLongitudeLetter;
    m.DxWrongFormat = t->DxWrongFormat;
    m.NewerReleaseMessage = t->NewerReleaseMessage;
    m.UpToDateMessage = t->UpToDateMessage;

    MenuEnglish->setChecked(code == QLatin1String("E"));
    MenuFrancais->setChecked(code == QLatin1String("F"));
    MenuEspagnol->setChecked(code == QLatin1String("S"));
    hub_->LanguageApplied();
}

// ---------------------------------------------------------------------------
// Readout.

void TFormAzimut::ImageAzimutMouseMove(int X, int Y) {
    ShowPointerReadout(X, Y);
    ImageDX->hide();
    dxMarkerAt_.reset();
    ImageDX45->hide();
    TimerDX->stop();
}

void TFormAzimut::ShowPointerReadout(int X, int Y) {
    ViewerState& v = program_.viewer;
    const viewer::Readout r =
        viewer::ReadoutAt(hub_->frame(), X, Y, v.UnitFactor, v.msg.AzimuthLabel, v.msg.RangeLabel);
    v.PointedBearingText = r.pointedBearing;
    pointed_ = hub_->frame().PositionAt(X, Y);
    lastPointer_ = QPoint(X, Y);
    StaticTextAzim->setText(r.direct);
    StaticTextLP->setText(r.longPath);
    StaticTextAzim->setToolTip(QString());
    StaticTextLP->setToolTip(QString());
    overlays_->MouseMove(X, Y);
}

void TFormAzimut::ImageAzimutClick() {
    const QString& bearing = program_.viewer.PointedBearingText;
    if (!bearing.isEmpty()) Designate(azlink::DesignationReason::PointerClick, bearing, pointed_);
}

void TFormAzimut::MenuUnitKMClick() {
    MenuUnitKM->setChecked(true);
    MenuUnitmile->setChecked(false);
    program_.viewer.UnitFactor = 1.0L;
    if (range_) range_->Retranslate();
}

void TFormAzimut::MenuUnitmileClick() {
    MenuUnitmile->setChecked(true);
    MenuUnitKM->setChecked(false);
    program_.viewer.UnitFactor = 1.609344L;
    if (range_) range_->Retranslate();
}

// ---------------------------------------------------------------------------
// Clock.

void TFormAzimut::TimerSecondeTimer() {
    Platform& platform = program_.platform;
    const bool utc = MenuTimeUTC->isChecked();
    const QDateTime now = utc ? platform.utcNow() : platform.localNow();
    StaticTextTime->setText(
        viewer::ClockTimeText(now, platform.longTimeFormat(), utc, platform.formatLocale()));
    StaticTextDate->setText(
        viewer::ClockDateText(now, platform.shortDateFormat(), platform.formatLocale()));
}

void TFormAzimut::MenuTimeLocalClick() {
    MenuTimeLocal->setChecked(true);
    MenuTimeUTC->setChecked(false);
    SetTextColour(StaticTextTime, Qt::black);
    SetTextColour(StaticTextDate, Qt::black);
    UpdateGreyLine();
}

void TFormAzimut::MenuTimeUTCClick() {
    MenuTimeLocal->setChecked(false);
    MenuTimeUTC->setChecked(true);
    SetTextColour(StaticTextTime, Qt::red);
    SetTextColour(StaticTextDate, Qt::red);
    UpdateGreyLine();
}

// ---------------------------------------------------------------------------
// The user's choices in the application state.

void TFormAzimut::RememberClockChoice(bool utc) {
    program_.app.ClockIsUTC = utc;
}

void TFormAzimut::RememberListChoice(bool cb) {
    program_.app.ListIsCB = cb;
}

void TFormAzimut::RememberSeparatorChoice(int index) {
    program_.app.SeparatorIndex = index;
}
