#include "app/ProgramFolder.h"

#include "app/InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

QString ChooseProgramFolder(const QString& exeFolder, bool exeFolderWritable,
                            const QString& xdgConfigHome, const QString& home) {
    if (exeFolderWritable) return QDir::cleanPath(exeFolder);
    // The XDG rule: a relative $XDG_CONFIG_HOME is invalid and is ignored.
    QString base = xdgConfigHome;
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::cleanPath(home + QStringLiteral("/.config"));
    return QDir::cleanPath(base + QStringLiteral("/korvanta"));
}

bool FolderAcceptsFiles(const QString& folder) {
    if (!QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".korvanta-probe-XXXXXX")));
    return probe.open(); // removed again when `probe` goes
}

QString SettingsFileToRead(const QString& programFolder, const QString& exeFolder) {
    const QString own = QDir(programFolder).filePath(QStringLiteral("korvanta.ini"));
    if (QFileInfo::exists(own)) return own;
    if (QDir::cleanPath(QDir(programFolder).absolutePath()) ==
        QDir::cleanPath(QDir(exeFolder).absolutePath()))
        return {};
    const QString beside = QDir(exeFolder).filePath(QStringLiteral("korvanta.ini"));
    return QFileInfo::exists(beside) ? beside : QString();
}

QString ResolveProgramFolder(const QString& exeFolder) {
    const QString folder = ChooseProgramFolder(
        exeFolder, !IsInstalledLayout(exeFolder) && FolderAcceptsFiles(exeFolder),
        qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
    QDir().mkpath(folder);
    return QDir(folder).absolutePath();
}
