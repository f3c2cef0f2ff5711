#include "app/InstallLayout.h"

#include <QDir>
#include <QFileInfo>

#ifndef KORVANTA_DATA_FROM_BIN
#define KORVANTA_DATA_FROM_BIN "../share/korvanta"
#endif

QStringList SharedFileFolders(const QString& programFolder, const QString& exeFolder) {
    QStringList folders{
        programFolder, exeFolder,
        QDir::cleanPath(QDir(exeFolder).filePath(QString::fromLatin1(KORVANTA_DATA_FROM_BIN)))};
    folders.removeDuplicates();
    return folders;
}

QString SharedFilePath(const QString& programFolder, const QString& exeFolder,
                       const QString& file) {
    for (const QString& folder : SharedFileFolders(programFolder, exeFolder)) {
        const QString path = QDir(folder).filePath(file);
        if (QFileInfo(path).isFile()) return path;
    }
    return QDir(programFolder).filePath(file);
}

bool IsInstalledLayout(const QString& exeFolder) {
    const QString bin = QDir::cleanPath(exeFolder);
    return QFileInfo(bin).fileName() == QLatin1String("bin") &&
           QFileInfo(QDir(bin).filePath(QString::fromLatin1(KORVANTA_DATA_FROM_BIN))).isDir();
}
