#include "viewer/UnitAzimutCall.h"

#include "app/Program.h"
#include "viewer/UnitAzimut.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include <algorithm>

namespace {

// A country file is a few hundred kilobytes; anything far larger is not one.
constexpr qint64 LargestCountryFile = 16 * 1024 * 1024;

} // namespace

void TFormAzimut::BuildCallResolver() {
    CallResolver = new TCallResolverLine(*this, program_);
}

void TFormAzimut::CallResolverLanguage() {
    if (CallResolver) CallResolver->ApplyLanguage();
}

TCallResolverLine::TCallResolverLine(TFormAzimut& form, Program& program)
    : QObject(&form), form_(form), program_(program) {
    setObjectName(QStringLiteral("CallResolver"));
    // The line lies in the strip under the readouts, right of the map.
    QWidget* area = form.ClientArea;
    area->setFixedSize(area->width(), std::max(area->height(), 652));
    LabelCallResolver = new QLabel(area);
    LabelCallResolver->setObjectName(QStringLiteral("LabelCallResolver"));
    LabelCallResolver->setGeometry(608, 632, 313, 19);
    LabelCallResolver->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LabelCallResolver->setTextFormat(Qt::PlainText);
    LabelCallResolver->setAutoFillBackground(true);
    QPalette p = LabelCallResolver->palette();
    p.setColor(QPalette::Window, form.palette().color(QPalette::ToolTipBase));
    LabelCallResolver->setPalette(p);
    LabelCallResolver->show();

    MenuCountryFile = new QAction(Texts().MenuCountryFile, &form);
    MenuCountryFile->setObjectName(QStringLiteral("MenuCountryFile"));
    form.MenuFichier->insertAction(form.MenuQuitter, MenuCountryFile);
    connect(MenuCountryFile, &QAction::triggered, this, [this] { MenuCountryFileClick(); });

    connect(form.EditCall, &QLineEdit::textChanged, this, [this] { Refresh(); });
    connect(form.EditCall, &QLineEdit::returnPressed, this, [this] { EditCallReturnPressed(); });
    for (QAction* a : {form.MenuUnitKM, form.MenuUnitmile, form.MenuDXCCOM})
        connect(a, &QAction::toggled, this, [this] { Refresh(); });
    // The entity's clock moves on.
    connect(form.TimerSeconde, &QTimer::timeout, this, [this] { Refresh(); });

    watcher_ = new QFileSystemWatcher(this);
    reloadTimer_ = new QTimer(this);
    reloadTimer_->setSingleShot(true);
    // A file being replaced changes several times in a row: read it once it
    // has been quiet for a moment.
    reloadTimer_->setInterval(300);
    connect(reloadTimer_, &QTimer::timeout, this, [this] { ReloadCountryFile(); });
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { reloadTimer_->start(); });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        // A file replaced by renaming leaves the watch list: follow the new one.
        if (!watcher_->files().contains(loadedPath_) && QFileInfo(loadedPath_).isFile())
            reloadTimer_->start();
    });

    const QString path = CountryFilePath();
    // The default file may simply not be installed: that is no fault to tell.
    Load(path, !program_.app.extra.CountryFile.isEmpty());
    Watch(path);
}

QString TCallResolverLine::DefaultCountryFile() {
    return QStringLiteral("/usr/share/hamradio-files/cty.dat");
}

QString TCallResolverLine::CountryFilePath() const {
    const QString& chosen = program_.app.extra.CountryFile;
    return chosen.isEmpty() ? DefaultCountryFile() : chosen;
}

const viewer::CallTexts& TCallResolverLine::Texts() const {
    // Before a language is applied the menus keep their English captions.
    const viewer::CallTexts* t = viewer::CallTextsFor(program_.app.LanguageCode);
    return t ? *t : *viewer::CallTextsFor(QStringLiteral("E"));
}

long double TCallResolverLine::UnitFactor() const {
    return form_.MenuUnitmile->isChecked() ? 1.609344L : 1.0L;
}

bool TCallResolverLine::Load(const QString& path, bool tellUnreadable) {
    dx::CtyError error;
    std::optional<dx::CtyDatabase> db;
    QFile file(path);
    // Only a plain file is read (a pipe would wait for a writer for ever).
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > LargestCountryFile || !file.open(QIODevice::ReadOnly)) {
        error = dx::CtyError{dx::CtyError::Kind::Unreadable, 0, {}};
    } else {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            error = dx::CtyError{dx::CtyError::Kind::Unreadable, 0, {}};
        else
            db = dx::CtyDatabase::Parse(std::string_view(bytes.constData(), bytes.size()), error);
    }
    if (!db) {
        if (error.kind != dx::CtyError::Kind::Unreadable || tellUnreadable) {
            const viewer::CallTexts& t = Texts();
            program_.platform.message(&form_, Platform::Box::Error, QStringLiteral("Korvanta"),
                                      t.LoadError.arg(path, viewer::CtyErrorText(error, t)));
        }
        return false;
    }
    db_ = std::move(db);
    loadedPath_ = path;
    return true;
}

void TCallResolverLine::Watch(const QString& path) {
    if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
    if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
    loadedPath_ = path;
    const QFileInfo info(path);
    if (info.isFile()) watcher_->addPath(path);
    if (info.absoluteDir().exists()) watcher_->addPath(info.absolutePath());
}

void TCallResolverLine::ReloadCountryFile() {
    const QString path = CountryFilePath();
    // A file that vanished keeps its last contents in use until it is back.
    if (!QFileInfo(path).isFile()) return;
    if (!watcher_->files().contains(path)) watcher_->addPath(path);
    if (Load(path, false)) Refresh();
}

void TCallResolverLine::MenuCountryFileClick() {
    const viewer::CallTexts& t = Texts();
    const QString path = program_.platform.chooseFileToOpen(
        &form_, t.ChooseTitle, QFileInfo(CountryFilePath()).absolutePath(), t.FileFilter);
    if (path.isEmpty()) return;
    if (!Load(path, true)) return;
    program_.app.extra.CountryFile = path == DefaultCountryFile() ? QString() : path;
    Watch(path);
    Refresh();
}

dx::CtyAnswer TCallResolverLine::Answer() const {
    if (!db_ || !form_.HamListInUse()) return {};
    return db_->Resolve(form_.EditCall->text().toStdString());
}

void TCallResolverLine::Refresh() {
    const dx::CtyAnswer answer = Answer();
    const geo::PositionState& pos = program_.app.pos;
    const viewer::CallLineText line = viewer::FormatCallLine(
        answer,
        viewer::CallCentre{static_cast<double>(pos.CentreLat), static_cast<double>(pos.CentreLon)},
        UnitFactor(), program_.platform.utcNow(), Texts());
    // A long entity name is shortened so that the figures stay in sight;
    // the hint has the whole line.
    const QFontMetrics fm(LabelCallResolver->font());
    const int room =
        LabelCallResolver->contentsRect().width() - 4 - fm.horizontalAdvance(line.rest);
    LabelCallResolver->setText(fm.elidedText(line.name, Qt::ElideRight, std::max(room, 0)) +
                               line.rest);
    QString hint = line.full();
    if (answer.found())
        hint += QLatin1Char('\n') + QString::fromStdString(answer.matched) + QStringLiteral("  ") +
                QString::fromStdString(dx::UtcOffsetText(answer.values.utcOffset));
    LabelCallResolver->setToolTip(hint);
}

void TCallResolverLine::ApplyLanguage() {
    MenuCountryFile->setText(Texts().MenuCountryFile);
    Refresh();
}

void TCallResolverLine::EditCallReturnPressed() {
    const dx::CtyAnswer answer = Answer();
    if (!answer.found()) return;
    const geo::PositionState& pos = program_.app.pos;
    const viewer::CallBearing b =
        viewer::BearingFrom(answer, static_cast<double>(pos.CentreLat),
                            static_cast<double>(pos.CentreLon), UnitFactor());
    form_.PublishBearing(QString::number(b.bearing), azlink::DesignationReason::CallEnter);
}
