#include "app/QtPlatform.h"

#include "app/LocaleFormat.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QUrl>

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
    const QUrl url = pathOrUrl.contains(QStringLiteral("://"))
                         ? QUrl(pathOrUrl)
                         : QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

QString QtPlatform::chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder,
                                     const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
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
