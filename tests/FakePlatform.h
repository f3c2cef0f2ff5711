// A platform for window tests: fixed clock and formats, a chosen decimal
// mark, recorded message boxes and beeps, scripted answers to confirmations.
#pragma once

#include "app/Platform.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

// Records what the viewer publishes and the conversations a test opens.
struct RecordingServer : BearingServer {
    QStringList published;
    void publish(const QString& digits) override { published.append(digits); }
};

// Records the rotator's turns; a test reports failures through `failed`.
struct RecordingRotator : RotatorPort {
    QStringList turns; // "address azimuth"
    void turnTo(const QString& address, int azimuth) override {
        turns.append(address + QLatin1Char(' ') + QString::number(azimuth));
    }
};
#include <functional>

struct FakePlatform : Platform {
    struct Box {
        Platform::Box kind;
        QString title;
        QString text;
    };

    QString folder = QDir::currentPath();
    QDateTime local = QDateTime(QDate(2026, 12, 7), QTime(15, 5, 9));
    QDateTime utc = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9), Qt::UTC);
    QChar decimal = QLatin1Char('.');
    QString dateFormat = QStringLiteral("dd/MM/yyyy");
    QString timeFormat = QStringLiteral("HH:mm:ss");

    QList<Box> boxes;          // every message box shown, in order
    QList<bool> confirmations; // answers for the next Confirm boxes (Yes when empty)
    int beeps = 0;
    int busyCursor = 0; // > 0 while the hourglass is shown
    QStringList opened; // documents and addresses opened
    // The title test: the titles of the desktop's top-level windows.
    QStringList windowTitles;
    // Launches: every path asked for, and whether starting succeeds.
    QStringList launched;
    bool launchSucceeds = true;
    // Downloads: every address asked for; the answer comes from `download`
    // (no network when unset).
    QStringList downloads;
    std::function<bool(const QString& url, const QString& file, const DownloadLimits&)> download;
    int eventPasses = 0;
    int terminations = 0;
    QList<std::optional<QString>> answers; // for the next text questions (cancel when empty)
    QStringList questions;                 // the labels of the text questions asked
    RecordingServer recordingServer;
    RecordingRotator recordingRotator;
    BearingServer* server = &recordingServer; // a test may give a real server
    RotatorPort* rotatorPort = &recordingRotator;

    QString programFolder() override { return folder; }
    QDateTime localNow() override { return local; }
    QDateTime utcNow() override { return utc; }
    QChar decimalSeparator() override { return decimal; }
    QString shortDateFormat() override { return dateFormat; }
    QString longTimeFormat() override { return timeFormat; }
    bool message(QWidget*, Platform::Box kind, const QString& title, const QString& text) override {
        boxes.append({kind, title, text});
        if (kind != Platform::Box::Confirm) return true;
        if (confirmations.isEmpty()) return true;
        return confirmations.takeFirst();
    }
    void beep() override { ++beeps; }
    void setBusyCursor(bool busy) override { busyCursor += busy ? 1 : -1; }
    bool openSucceeds = true; // false: the desktop has no browser
    bool openDocument(const QString& what) override {
        opened.append(what);
        return openSucceeds;
    }
    QStringList languages; // every language the platform was switched to
    void setLanguage(const QString& code) override { languages.append(code); }
    QStringList filesToChoose; // answers of the next file choosers (cancel when empty)
    QString chooseFileToOpen(QWidget*, const QString&, const QString&, const QString&) override {
        return filesToChoose.isEmpty() ? QString() : filesToChoose.takeFirst();
    }
    std::optional<QString> askText(QWidget*, const QString&, const QString& label,
                                   const QString&) override {
        questions.append(label);
        if (answers.isEmpty()) return std::nullopt;
        return answers.takeFirst();
    }
    BearingServer* bearingServer() override { return server; }
    RotatorPort* rotator() override { return rotatorPort; }
    bool topLevelWindowExists(const QString& title) override {
        return windowTitles.contains(title);
    }
    bool startDetached(const QString& path) override {
        launched.append(path);
        return launchSucceeds && !path.isEmpty();
    }
    bool downloadToFile(const QString& url, const QString& file,
                        const DownloadLimits& limits) override {
        downloads.append(url);
        return download ? download(url, file, limits) : false;
    }
    void processEvents() override { ++eventPasses; }
    void terminate() override { ++terminations; }

    QString lastText() const { return boxes.isEmpty() ? QString() : boxes.last().text; }
};
