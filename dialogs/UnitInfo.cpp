#include "dialogs/UnitInfo.h"

#include "app/Program.h"
#include "dialogs/LabelUrl.h"
#include "viewer/Languages.h"
#include "viewer/UnitAzimut.h"
#include "viewer/UnitAzimutVersion.h"

#if __has_include("resources/Resources.h")
#include "resources/Resources.h"
#define KORVANTA_HAVE_RESOURCES 1
#endif

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>

namespace {

QFont Bold(const QFont& base) {
    QFont f = base;
    f.setBold(true);
    return f;
}

void SetTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::ButtonText, colour);
    w->setPalette(p);
}

const QColor Green(0, 128, 0);

// Breaks a text at blanks into lines no wider than `width` (a check box does
// not wrap its caption by itself).
QString Wrapped(const QString& text, const QFontMetrics& fm, int width) {
    QString out;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && fm.horizontalAdvance(candidate) > width) {
            out += line + QLatin1Char('\n');
            line = word;
        } else {
            line = candidate;
        }
    }
    return out + line;
}

} // namespace

const InfoTexts* InfoTextsFor(const QString& code) {
    static const InfoTexts e{
        QStringLiteral("Other softwares are available on Tovak's web site"),
        QStringLiteral("Check if I am up to date"),
        QStringLiteral("Always check if I am up to date when starting Korvanta"),
        QStringLiteral("Internet failure !"),
        QStringLiteral("Designed and written by Tovak"),
        QStringLiteral("Donate")};
    static const InfoTexts f{
        QStringLiteral("Autres logiciels disponibles sur le site de Tovak"),
        QStringLiteral("Voir si je suis à jour"),
        QStringLiteral("Toujours vérifier si je suis à jour au démarrage d'Korvanta"),
        QStringLiteral("Echec Internet !"),
        QStringLiteral("Conçu et écrit par Tovak"),
        QStringLiteral("Faire un don")};
    static const InfoTexts s{
        QStringLiteral("Otros programas libres están disponibles en mi sitio Web"),
        QStringLiteral("Compruebe si estoy al día"),
        QStringLiteral("Siempre buscar una nueva versión cuando se inicia Korvanta"),
        QStringLiteral("Fracaso de Internet !"),
        QStringLiteral("Diseñado y escrito por Tovak"),
        QStringLiteral("Donar")};
    if (code == QLatin1String("E")) return &e;
    if (code == QLatin1String("F")) return &f;
    if (code == QLatin1String("S")) return &s;
    return nullptr;
}

QString DonationPage() {
    return QString::fromLatin1(viewer::MakerSite) + QStringLiteral("donate.htm");
}

QPixmap DonatePicture(const QString& word) {
    // The picture leaves its lower band (from y = 86) free for the word.
    QPixmap picture(96, 109);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
#ifdef KORVANTA_HAVE_RESOURCES
    p.drawPixmap(0, 0, QPixmap(QString::fromLatin1(res::DonatePath)));
#endif
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setBold(true);
    const QRect band(1, 86, picture.width() - 2, picture.height() - 86);
    for (int size = 17; size >= 9; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(word) <= band.width()) break;
    }
    p.setFont(font);
    p.setPen(QColor(0, 110, 0));
    p.drawText(band, Qt::AlignHCenter | Qt::AlignVCenter, word);
    return picture;
}

TFormInfo::TFormInfo(Program& program) : QWidget(nullptr, Qt::Window), program_(program) {
    setObjectName(QStringLiteral("FormInfo"));
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(290, 494);
    QFont base(QStringLiteral("Liberation Sans"));
    base.setPixelSize(11);
    setFont(base);
    const QFont bold = Bold(base);
    const int w = width();

    // The banner: a heavy grey italic sans face where Arial Black is missing.
    Panel1 = new QLabel(QStringLiteral("Tovak"), this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, w - 16, 81);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAlignment(Qt::AlignCenter);
    QFont banner;
    banner.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans"),
                        QStringLiteral("DejaVu Sans")});
    banner.setPixelSize(53);
    banner.setWeight(QFont::Black);
    banner.setItalic(true);
    Panel1->setFont(banner);
    SetTextColour(Panel1, Qt::gray);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(24, 100, 33, 33);
    Image1->setScaledContents(true);
#ifdef KORVANTA_HAVE_RESOURCES
    Image1->setPixmap(QPixmap(QString::fromLatin1(res::IconPath))
                          .scaled(33, 33, Qt::KeepAspectRatio, Qt::SmoothTransformation));
#endif
    Label1 = new QLabel(QStringLiteral("KORVANTA V") + program_.app.VersionText, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(60, 108, w - 60 - 24, 17);
    Label1->setAlignment(Qt::AlignCenter);
    QFont title = bold;
    title.setPixelSize(14);
    Label1->setFont(title);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(8, 142, w - 16, 17);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(bold);

    LabelOther = new QLabel(this);
    LabelOther->setObjectName(QStringLiteral("LabelOther"));
    LabelOther->setGeometry(16, 168, w - 32, 32);
    LabelOther->setAlignment(Qt::AlignCenter);
    LabelOther->setWordWrap(true);
    LabelOther->setFont(bold);
    SetTextColour(LabelOther, Green);

    LabelUrl3 = new TLabelUrl(program_.platform, this);
    LabelUrl3->setObjectName(QStringLiteral("LabelUrl3"));
    LabelUrl3->setGeometry(8, 204, w - 16, 19);
    LabelUrl3->setAlignment(Qt::AlignCenter);
    LabelUrl3->SetUrl(QString::fromLatin1(viewer::MakerSite));

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry((w - 100) / 2, 230, 100, 113);
    SpeedButton1->setCursor(Qt::PointingHandCursor);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIconSize(QSize(96, 109));
    SpeedButton1->setToolTip(DonationPage());

    BitBtnNewRelease = new QPushButton(this);
    BitBtnNewRelease->setObjectName(QStringLiteral("BitBtnNewRelease"));
    BitBtnNewRelease->setGeometry(35, 352, w - 70, 29);
    BitBtnNewRelease->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    BitBtnNewRelease->setFont(bold);
    SetTextColour(BitBtnNewRelease, Green);

    CheckBoxVersion = new QCheckBox(this);
    CheckBoxVersion->setObjectName(QStringLiteral("CheckBoxVersion"));
    CheckBoxVersion->setGeometry(24, 390, w - 40, 40);
    CheckBoxVersion->setFont(bold);
    SetTextColour(CheckBoxVersion, Green);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry((w - 89) / 2, 446, 89, 29);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtn1->setDefault(true);

    // The English texts until a language is applied at a showing.
    if (const InfoTexts* t = InfoTextsFor(QStringLiteral("E"))) ApplyTexts(*t);

    connect(BitBtnNewRelease, &QPushButton::clicked, this, [this] { BitBtnNewReleaseClick(); });
    // The state, however it changed (a click, the keyboard, an assistive
    // technology's toggle), is the setting.
    connect(CheckBoxVersion, &QCheckBox::toggled, this, [this] { CheckBoxVersionClick(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

TFormInfo::~TFormInfo() = default;

void TFormInfo::SetCheckBoxText(const QString& text) {
    // The box and its gap take about 24 pixels of the width.
    CheckBoxVersion->setText(
        Wrapped(text, QFontMetrics(CheckBoxVersion->font()), CheckBoxVersion->width() - 26));
    // Screen readers read the caption as one line.
    CheckBoxVersion->setAccessibleName(text);
}

void TFormInfo::ApplyTexts(const InfoTexts& t) {
    LabelOther->setText(t.LabelOther);
    BitBtnNewRelease->setText(t.BitBtnNewRelease);
    SetCheckBoxText(t.CheckBoxVersion);
    Label2->setText(t.Credit);
    SpeedButton1->setAccessibleName(t.Donate);
    SpeedButton1->setIcon(QIcon(DonatePicture(t.Donate)));
}

void TFormInfo::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFormInfo::FormShow() {
    const AppState& app = program_.app;
    Label1->setText(QStringLiteral("KORVANTA V") + app.VersionText);
    if (const InfoTexts* t = InfoTextsFor(app.LanguageCode)) {
        ApplyTexts(*t);
        InternetFailureMessage = t->InternetFailureMessage;
    }
    CheckBoxVersion->setChecked(app.VersionCheckAtStart);
    BitBtn1->setFocus(Qt::OtherFocusReason);
}

void TFormInfo::keyPressEvent(QKeyEvent* event) {
    // Enter presses the button that has the focus, otherwise OK (the
    // window's default button); Escape is the close box.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget());
            button && button != CheckBoxVersion && button->isEnabled())
            button->click();
        else
            BitBtn1->click();
        return;
    case Qt::Key_Escape:
        close();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TFormInfo::BitBtnNewReleaseClick() {
    Platform& platform = program_.platform;
    const ViewerMessages& m = program_.viewer.msg;
    const QString published = viewer::FetchPublishedVersion(program_);
    const QString title = QStringLiteral("Korvanta");
    if (published.isEmpty()) {
        platform.message(this, Platform::Box::Warning, title, InternetFailureMessage);
    } else if (viewer::IsNewerRelease(program_, published)) {
        platform.beep();
        platform.message(this, Platform::Box::Plain, title, m.NewerReleaseMessage);
    } else {
        platform.message(this, Platform::Box::Plain, title, m.UpToDateMessage);
    }
}

void TFormInfo::CheckBoxVersionClick() {
    const bool on = CheckBoxVersion->isChecked();
    program_.app.VersionCheckAtStart = on;
    if (TFormAzimut* v = program_.forms.FormAzimut) v->MenuInfoVersion->setChecked(on);
}

void TFormInfo::SpeedButton1Click() {
    program_.platform.openDocument(DonationPage());
}

void TFormInfo::BitBtn1Click() {
    program_.viewer.ReturningFromDialog = true;
    hide();
}

void TFormInfo::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept(); // the window is only hidden
}

void TFormInfo::FormClose() {
    program_.viewer.ReturningFromDialog = true;
}
