#include "app/QtPlatform.h"

#include "app/DesktopLanguage.h"
#include "app/FileDialogClicks.h"
#include "app/HttpDownload.h"
#include "app/LocaleFormat.h"
#include "app/X11Windows.h"
#include "link/AzimuthServer.h"
#include "link/LinkProtocol.h"
#include "link/RotatorLink.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

QtPlatform::QtPlatform(QString folder)
    : folder_(std::move(folder)), toolkitLanguage_(std::make_unique<ToolkitLanguage>()),
      toolkitSettings_(std::make_unique<QTemporaryDir>()) {
    // Where no folder can be made, a path below /dev/null: nothing can be written there.
    const QString settings =
        toolkitSettings_->isValid() ? toolkitSettings_->path() : QStringLiteral("/dev/null");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settings);
}

QtPlatform::~QtPlatform() = default;

std::optional<QString> QtPlatform::askText(QWidget* parent, const QString& title,
                                           const QString& label, const QString& value) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, value, &ok);
    if (!ok) return std::nullopt;
    return text;
}

BearingServer* QtPlatform::bearingServer() {
    if (!serverTried_) {
        serverTried_ = true;
        const QString service = QString::fromStdString(
            azlink::ServiceName(QCoreApplication::applicationFilePath().toStdString()));
        auto server = std::make_unique<AzimuthServer>();
        const QString problem = server->start(service);
        if (problem.isEmpty()) {
            server_ = std::move(server);
        } else {
            std::fprintf(stderr, "Korvanta: the azimuth server is off: %s\n",
                         problem.toLocal8Bit().constData());
        }
    }
    return server_.get();
}

RotatorPort* QtPlatform::rotator() {
    if (!rotator_) rotator_ = std::make_unique<RotatorLink>();
    return rotator_.get();
}

QDateTime QtPlatform::localNow() {
    return QDateTime::currentDateTime();
}

QDateTime QtPlatform::utcNow() {
    return QDateTime::currentDateTimeUtc();
}

QChar QtPlatform::decimalSeparator() {
    return DecimalMarkOf(QLocale::system().decimalPoint());
}

QString QtPlatform::shortDateFormat() {
    return QLocale::system().dateFormat(QLocale::ShortFormat);
}

QString QtPlatform::longTimeFormat() {
    // The clock takes the zone out itself (viewer::ClockTimeFormat).
    return QLocale::system().timeFormat(QLocale::LongFormat);
}

QLocale QtPlatform::formatLocale() {
    return QLocale::system();
}

bool QtPlatform::message(QWidget* parent, Box kind, const QString& title, const QString& text) {
    switch (kind) {
    case Box::Plain:
        QMessageBox::information(parent, title, text);
        return true;
    case Box::Warning:
        QMessageBox::warning(parent, title, text);
        return true;
    case Box::Error:
        QMessageBox::critical(parent, title, text);
        return true;
    case Box::Confirm:
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    }
    return true;
}

void QtPlatform::beep() {
    QApplication::beep();
}

void QtPlatform::setBusyCursor(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        ++busy_;
    } else if (busy_ > 0) {
        QApplication::restoreOverrideCursor();
        --busy_;
    }
}

bool QtPlatform::openDocument(const QString& pathOrUrl) {
    // An empty address opens nothing (not the current folder).
    if (pathOrUrl.isEmpty()) return false;
    const QUrl url = pathOrUrl.contains(QStringLiteral("://"))
                         ? QUrl(pathOrUrl)
                         : QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath());
    if (QDesktopServices::openUrl(url)) return true;
    // No browser or viewer answered: the address is shown where it can be
    // selected and copied.
    const OpenFailedTexts& t = OpenFailedTextsFor(language_);
    const QString shown = url.isLocalFile() ? url.toLocalFile() : pathOrUrl;
    QMessageBox box(QMessageBox::Information, t.title, t.text + QStringLiteral("\n\n") + shown,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("BoxAddress"));
    box.setTextFormat(Qt::PlainText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
    return false;
}

void QtPlatform::setLanguage(const QString& languageCode) {
    language_ = languageCode;
    if (!toolkitLanguage_->apply(languageCode))
        std::fprintf(stderr, "Korvanta: Qt's translations of %s are missing (%s)\n",
                     languageCode == QLatin1String("S") ? "Spanish" : "French",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath).toLocal8Bit().constData());
}

QString QtPlatform::chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder,
                                     const QString& filter) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    FinishDoubleClicksOnRelease(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

bool QtPlatform::topLevelWindowExists(const QString& title) {
    return X11TopLevelWindowExists(title);
}

bool QtPlatform::startDetached(const QString& path) {
    // Only an executable plain file is started, as one program name with no
    // arguments: nothing in the name reaches a shell.
    if (path.isEmpty()) return false;
    const QFileInfo file(path);
    if (!file.isFile() || !file.isExecutable()) return false;
    return QProcess::startDetached(file.absoluteFilePath(), QStringList(), QString());
}

bool QtPlatform::downloadToFile(const QString& url, const QString& file,
                                const DownloadLimits& limits) {
    return HttpDownloadToFile(url, file, limits);
}

void QtPlatform::processEvents() {
    QCoreApplication::processEvents();
}

void QtPlatform::terminate() {
    // Stops the event loop without closing the windows first: quit() would
    // send every visible window a close request, running the viewer's own
    // close rules (its save question, another settings write) a second time.
    QCoreApplication::exit(0);
}
