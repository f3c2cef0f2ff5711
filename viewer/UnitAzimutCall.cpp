#include "viewer/UnitAzimutCall.h"

#include "app/AppState.h"
#include "app/FittingFont.h"
#include "app/Platform.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// A country file is a few hundred kilobytes; anything far larger is not one.
constexpr qint64 LargestCountryFile = 16 * 1024 * 1024;

} // namespace

TCallResolverLine::TCallResolverLine(viewer::ViewerHub& hub, const Attach& attach,
                                     Callbacks callbacks, QObject* parent)
    : QObject(parent), hub_(hub), at_(attach), callbacks_(std::move(callbacks)) {
    setObjectName(QStringLiteral("CallResolver"));
    // The line lies in the strip under the readouts, right of the map.
    QWidget* area = at_.area;
    area->setFixedSize(area->width(), std::max(area->height(), 652));
    LabelCallResolver = new QLabel(area);
    LabelCallResolver->setObjectName(QStringLiteral("LabelCallResolver"));
    LabelCallResolver->setGeometry(608, 632, 313, 19);
    LabelCallResolver->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LabelCallResolver->setTextFormat(Qt::PlainText);
    LabelCallResolver->setAutoFillBackground(true);
    QPalette p = LabelCallResolver->palette();
    p.setColor(QPalette::Window, at_.window->palette().color(QPalette::ToolTipBase));
    LabelCallResolver->setPalette(p);
    LabelCallResolver->show();

    MenuCountryFile = new QAction(Texts().MenuCountryFile, at_.window);
    MenuCountryFile->setObjectName(QStringLiteral("MenuCountryFile"));
    at_.file->insertAction(at_.beforeInFile, MenuCountryFile);
    connect(MenuCountryFile, &QAction::triggered, this, [this] { MenuCountryFileClick(); });

    connect(at_.call, &QLineEdit::textChanged, this, [this] { Refresh(); });
    connect(at_.call, &QLineEdit::returnPressed, this, [this] { EditCallReturnPressed(); });
    for (QAction* a : at_.refreshOn)
        connect(a, &QAction::toggled, this, [this] { Refresh(); });
    // The entity's clock moves on.
    connect(at_.clock, &QTimer::timeout, this, [this] { Refresh(); });
    connect(&hub_, &viewer::ViewerHub::languageChanged, this, [this] { ApplyLanguage(); });

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
    starting_ = true;
    Load(path, !hub_.app().extra.CountryFile.isEmpty());
    starting_ = false;
    Watch(path);
    // A fault found at start-up is told once the event loop runs: the
    // windows are up and the local server listens by then.
    QTimer::singleShot(0, this, [this] {
        if (!pendingError_.isEmpty() && !telling_) Tell(pendingError_);
    });
}

QString TCallResolverLine::DefaultCountryFile() {
    return QStringLiteral("/usr/share/hamradio-files/cty.dat");
}

QString TCallResolverLine::CountryFilePath() const {
    const QString& chosen = hub_.app().extra.CountryFile;
    return chosen.isEmpty() ? DefaultCountryFile() : chosen;
}

const viewer::CallTexts& TCallResolverLine::Texts() const {
    // Before a language is applied the menus keep their English captions.
    const viewer::CallTexts* t = viewer::CallTextsFor(hub_.app().LanguageCode);
    return t ? *t : *viewer::CallTextsFor(QStringLiteral("E"));
}

long double TCallResolverLine::UnitFactor() const {
    return at_.miles->isChecked() ? 1.609344L : 1.0L;
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
            Tell(t.LoadError.arg(path, viewer::CtyErrorText(error, t)));
        }
        return false;
    }
    db_ = std::move(db);
    loadedPath_ = path;
    // A fault that waited for its box is over.
    pendingError_.clear();
    lastTold_.clear();
    return true;
}

void TCallResolverLine::Tell(const QString& text) {
    // One box at a time, the latest state wins: a file rewritten while its
    // box is open replaces the text still to be told (or clears it when it
    // reads well), and the box that follows tells only that.
    // A reload that finds the very fault the last box told says nothing new.
    if (reloading_ && text == lastTold_) {
        if (!telling_) pendingError_.clear();
        return;
    }
    pendingError_ = text;
    if (telling_ || starting_) return;
    telling_ = true;
    while (!pendingError_.isEmpty()) {
        const QString now = std::exchange(pendingError_, QString());
        changedWhileTelling_ = false;
        lastTold_ = now;
        hub_.platform().message(at_.window, Platform::Box::Error, QStringLiteral("Korvanta"), now);
        // Changed again while the box was open: the file as it is now
        // decides whether one more box follows.
        if (changedWhileTelling_ && QFileInfo(CountryFilePath()).isFile()) {
            pendingError_.clear();
            reloading_ = true;
            const bool loaded = Load(CountryFilePath(), false);
            reloading_ = false;
            if (loaded) Refresh();
        }
    }
    telling_ = false;
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
    if (telling_) changedWhileTelling_ = true;
    const QString path = CountryFilePath();
    // A file that vanished keeps its last contents in use until it is back.
    if (!QFileInfo(path).isFile()) return;
    if (!watcher_->files().contains(path)) watcher_->addPath(path);
    reloading_ = true;
    const bool loaded = Load(path, false);
    reloading_ = false;
    if (loaded) Refresh();
}

void TCallResolverLine::MenuCountryFileClick() {
    const viewer::CallTexts& t = Texts();
    const QString path = hub_.platform().chooseFileToOpen(
        at_.window, t.ChooseTitle, QFileInfo(CountryFilePath()).absolutePath(), t.FileFilter);
    if (path.isEmpty()) return;
    if (!Load(path, true)) return;
    hub_.app().extra.CountryFile = path == DefaultCountryFile() ? QString() : path;
    Watch(path);
    Refresh();
}

dx::CtyAnswer TCallResolverLine::Answer() const {
    if (!db_ || !callbacks_.hamListInUse()) return {};
    return db_->Resolve(at_.call->text().toStdString());
}

void TCallResolverLine::Refresh() {
    const dx::CtyAnswer answer = Answer();
    const geo::PositionState& pos = hub_.app().pos;
    const viewer::CallLineText line = viewer::FormatCallLine(
        answer,
        viewer::CallCentre{static_cast<double>(pos.CentreLat), static_cast<double>(pos.CentreLon)},
        UnitFactor(), hub_.platform().utcNow(), Texts());
    // The whole line, in a face or size that fits it; only a line too long
    // for the smallest size has its name shortened (the hint has it whole).
    const int size = QFontInfo(LabelCallResolver->parentWidget()->font()).pixelSize();
    LabelCallResolver->setFont(
        FontForLine(size, 9, false, line.name + line.rest, TextRoom(LabelCallResolver)));
    const QFontMetrics fm(LabelCallResolver->font());
    const int room = TextRoom(LabelCallResolver) - fm.horizontalAdvance(line.rest);
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
    const geo::PositionState& pos = hub_.app().pos;
    const viewer::CallBearing b =
        viewer::BearingFrom(answer, static_cast<double>(pos.CentreLat),
                            static_cast<double>(pos.CentreLon), UnitFactor());
    callbacks_.designate(QString::number(b.bearing),
                         geo::LatLon{answer.values.lat, answer.values.lon});
}
