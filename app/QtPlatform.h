// The platform of the desktop program: Qt's message boxes, beep, cursor,
// desktop services and the user's locale.
#pragma once

#include "app/Platform.h"

#include <QString>

#include <utility>

class QtPlatform : public Platform {
  public:
    explicit QtPlatform(QString folder) : folder_(std::move(folder)) {}

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
    QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder,
                             const QString& filter) override;
    void processEvents() override;
    void terminate() override;

  private:
    QString folder_;
    int busy_ = 0;
};
