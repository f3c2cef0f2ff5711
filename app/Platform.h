// The services of the system that the windows use. The program receives one
// implementation; tests give it a fake.
#pragma once

#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// The local server that offers the designated bearing to other programs of
// this machine. The viewer publishes through it and hears of conversations
// opening (DataOpen) and closing (DataClose), once per conversation.
class BearingServer {
  public:
    virtual ~BearingServer() = default;
    // Replaces the item's value by the digits (no line when empty) and pushes
    // it to every advising client.
    virtual void publish(const QString& digits) = 0;
    std::function<void()> opened;
    std::function<void()> closed;
};

// The link to an antenna rotator (Hamlib's rotctld): never waits; a newer
// azimuth replaces one still waiting. A failure is reported once until the
// link has worked again.
class RotatorPort {
  public:
    virtual ~RotatorPort() = default;
    // Turns to the azimuth (0..359) through rotctld at "host:port".
    virtual void turnTo(const QString& address, int azimuth) = 0;
    enum class Problem {
        Unreachable, // connection refused, host unknown, network down
        NoAnswer,    // no connection or no reply within the timeout
        Error,       // rotctld answered RPRT with an error code
    };
    // detail: the address; for Error, the code rotctld answered.
    std::function<void(Problem problem, const QString& detail)> failed;
};

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
    // When the desktop cannot, the desktop platform shows the address in a
    // box where it can be selected and copied, and the answer is false.
    virtual bool openDocument(const QString& pathOrUrl) = 0;
    // The language in use ("E", "F", "S"): the toolkit's own texts (buttons,
    // file, print and input dialogs) and the platform's boxes follow it.
    virtual void setLanguage(const QString& languageCode) { (void)languageCode; }

    // Asks the user for an existing file to open, starting in `folder`;
    // empty when the user cancels. `filter` as in QFileDialog.
    virtual QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder,
                                     const QString& filter) = 0;
    // Asks for one line of text; empty when the user cancels.
    virtual std::optional<QString> askText(QWidget* parent, const QString& title,
                                           const QString& label, const QString& value) {
        (void)parent, (void)title, (void)label, (void)value;
        return std::nullopt;
    }
    // The local azimuth server (null when this run has none) and the rotator link.
    virtual BearingServer* bearingServer() { return nullptr; }
    virtual RotatorPort* rotator() { return nullptr; }
    // True when a top-level window whose title is exactly `title` exists on
    // the desktop (any program's). Where the windows of other programs cannot
    // be listed (Wayland, offscreen) the answer is false.
    virtual bool topLevelWindowExists(const QString& title) = 0;
    // Starts the executable file at `path` as a detached process with no
    // arguments, no shell and the current folder; false when it did not start
    // (no such file, a folder, a device or a file that may not be run).
    virtual bool startDetached(const QString& path) = 0;

    // Bounds of one download.
    struct DownloadLimits {
        int timeoutMs = 10000;       // the whole transfer
        qint64 maxBytes = 64 * 1024; // of answer
        int maxRedirects = 3;        // each to http or https
    };
    // Fetches `url` (http or https) into the existing file `file`, replacing
    // its contents. The HTTP status is not looked at: an error page is an
    // answer like any other. False on any failure (no connection, broken
    // transfer, a bound exceeded, the file not writable). The program's
    // windows keep painting meanwhile; their input waits until it returns.
    virtual bool downloadToFile(const QString& url, const QString& file,
                                const DownloadLimits& limits) = 0;

    // One pass over the pending window messages.
    virtual void processEvents() = 0;
    // Ends the program (after the settings were written).
    virtual void terminate() = 0;
};
