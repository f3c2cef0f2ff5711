// The services of the system that the windows use. The program receives one
// implementation; tests give it a fake.
#pragma once

#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>

class QWidget;

class Platform {
  public:
    virtual ~Platform() = default;

    // The program's folder: settings, relative map names and the current directory.
    virtual QString programFolder() = 0;

    virtual QDateTime localNow() = 0;
    virtual QDateTime utcNow() = 0;
    virtual QChar decimalSeparator() = 0;
    // Date and time formats of the user's locale (QDateTime::toString syntax).
    virtual QString shortDateFormat() = 0;
    virtual QString longTimeFormat() = 0;
    // The locale that writes dates and times (month names, AM/PM, digits).
    virtual QLocale formatLocale() { return QLocale::c(); }

    enum class Box { Plain, Warning, Error, Confirm };
    // Shows a message box. For Confirm (Yes/No) returns true on Yes; otherwise true.
    virtual bool message(QWidget* parent, Box kind, const QString& title, const QString& text) = 0;
    virtual void beep() = 0;
    virtual void setBusyCursor(bool busy) = 0;

    // Opens a file or a web address with the desktop's default application.
    virtual bool openDocument(const QString& pathOrUrl) = 0;

    // Asks the user for an existing file to open, starting in `folder`;
    // empty when the user cancels. `filter` as in QFileDialog.
    virtual QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder,
                                     const QString& filter) = 0;

    // One pass over the pending window messages.
    virtual void processEvents() = 0;
    // Ends the program (after the settings were written).
    virtual void terminate() = 0;
};
