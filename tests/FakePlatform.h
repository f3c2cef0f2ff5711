// A platform for window tests: fixed clock and formats, a chosen decimal
// mark, recorded message boxes and beeps, scripted answers to confirmations.
#pragma once

#include "app/Platform.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

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
    int eventPasses = 0;
    int terminations = 0;

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
    bool openDocument(const QString& what) override {
        opened.append(what);
        return true;
    }
    QStringList filesToChoose; // answers of the next file choosers (cancel when empty)
    QString chooseFileToOpen(QWidget*, const QString&, const QString&, const QString&) override {
        return filesToChoose.isEmpty() ? QString() : filesToChoose.takeFirst();
    }
    void processEvents() override { ++eventPasses; }
    void terminate() override { ++terminations; }

    QString lastText() const { return boxes.isEmpty() ? QString() : boxes.last().text; }
};
