// The platform of the desktop program: Qt's message boxes, beep, cursor,
// desktop services and the user's locale.
#pragma once

#include "app/Platform.h"

#include <QString>

#include <memory>
#include <utility>

class AzimuthServer;
class QTemporaryDir;
class RotatorLink;
class ToolkitLanguage;

class QtPlatform : public Platform {
  public:
    // Also sends the toolkit's own user settings (the file dialog's state,
    // which Qt writes into ~/.config/QtProject.conf) to a folder of this
    // run, removed at its end: the program's only configuration file is
    // korvanta.ini.
    explicit QtPlatform(QString folder);
    ~QtPlatform() override;

    QString programFolder() override { return folder_; }
    QDateTime localNow() override;
    QDateTime utcNow() override;
    QChar decimalSeparator() override;
    QString shortDateFormat() override;
    QString longTimeFormat() override;
    QLocale formatLocale() override;
    bool message(QWidget* parent, Box kind, const QString& title, const QString& text) override;
    void beep() override;
    void setBusyCursor(bool busy) override;
    bool openDocument(const QString& pathOrUrl) override;
    void setLanguage(const QString& languageCode) override;
    QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder,
                             const QString& filter) override;
    std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                   const QString& value) override;
    // Started at the first call, under the executable's service name; when it
    // cannot listen it says why on stderr and the program runs without it.
    BearingServer* bearingServer() override;
    RotatorPort* rotator() override;
    bool topLevelWindowExists(const QString& title) override;
    bool startDetached(const QString& path) override;
    bool downloadToFile(const QString& url, const QString& file,
                        const DownloadLimits& limits) override;
    void processEvents() override;
    void terminate() override;

  private:
    QString folder_;
    QString language_ = QStringLiteral("E");
    std::unique_ptr<ToolkitLanguage> toolkitLanguage_;
    std::unique_ptr<QTemporaryDir> toolkitSettings_;
    int busy_ = 0;
    std::unique_ptr<AzimuthServer> server_;
    bool serverTried_ = false;
    std::unique_ptr<RotatorLink> rotator_;
};
