// The viewer's part of the new-version check: the start-up check at the first
// idle moment, the "?" menu's Info and start-up check items.
#include "viewer/UnitAzimutVersion.h"

#include "app/Program.h"
#include "app/UnitCarte.h"
#include "dialogs/UnitInfo.h"
#include "viewer/Languages.h"
#include "viewer/UnitAzimut.h"
#include "viewer/VersionCheck.h"

#include <QAction>
#include <QByteArray>
#include <QCheckBox>
#include <QMenu>
#include <QTimer>

namespace viewer {

QString VersionsListUrl() {
    const QByteArray root = qgetenv(version::SiteUrlVariable);
    return QString::fromStdString(version::VersionsUrl(
        version::SiteRoot(root.isEmpty() ? nullptr : root.constData(), MakerSite)));
}

QString FetchPublishedVersion(Program& program) {
    Platform& platform = program.platform;
    platform.setBusyCursor(true);
    const std::string published = version::FetchPublishedVersion(
        version::ProgramKey, VersionsListUrl().toStdString(),
        [&platform](const std::string& url, const std::string& file) {
            return platform.downloadToFile(QString::fromStdString(url),
                                           QString::fromStdString(file),
                                           Platform::DownloadLimits{});
        });
    platform.setBusyCursor(false);
    return QString::fromStdString(published);
}

bool IsNewerRelease(const Program& program, const QString& published) {
    return version::IsNewer(published.toStdString(), program.app.VersionText.toStdString());
}

} // namespace viewer

void TFormAzimut::BuildVersionMenus() {
    menuInfo = new QAction(QStringLiteral("Info"), this);
    menuInfo->setObjectName(QStringLiteral("menuInfo"));
    MenuXXX->addAction(menuInfo);
    connect(menuInfo, &QAction::triggered, this, [this] { MenuInfoClick(); });
    MenuInfoVersion = new QAction(
        QStringLiteral("Search for a more recent release when starting Korvanta"), this);
    MenuInfoVersion->setObjectName(QStringLiteral("MenuInfoVersion"));
    MenuInfoVersion->setCheckable(true);
    // The settings were read when the world-map window was created.
    MenuInfoVersion->setChecked(program_.app.VersionCheckAtStart);
    MenuXXX->addAction(MenuInfoVersion);
    connect(MenuInfoVersion, &QAction::toggled, this, [this] { MenuInfoVersionClick(); });

    // The start-up check runs at the first idle moment of the run, once.
    QTimer::singleShot(0, this, [this] { ApplicationEvents1Idle(); });
}

void TFormAzimut::ApplicationEvents1Idle() {
    if (!program_.app.VersionCheckAtStart) return;
    const QString published = viewer::FetchPublishedVersion(program_);
    if (!viewer::IsNewerRelease(program_, published)) return;
    program_.platform.beep();
    program_.platform.message(this, Platform::Box::Plain, QStringLiteral("Korvanta"),
                              program_.viewer.msg.NewerReleaseMessage);
}

void TFormAzimut::MenuInfoVersionClick() {
    const bool on = MenuInfoVersion->isChecked();
    program_.app.VersionCheckAtStart = on;
    if (TFormInfo* info = program_.forms.FormInfo) info->CheckBoxVersion->setChecked(on);
}

void TFormAzimut::MenuInfoClick() {
    if (TFormCarte* carte = program_.forms.FormCarte) carte->MenuInfoClick();
}
