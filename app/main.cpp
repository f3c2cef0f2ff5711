// The entry routine of Korvanta: chooses the program's folder, creates the
// windows in their start-up order and runs the event loop.
#include "app/Program.h"
#include "app/ProgramEnd.h"
#include "app/ProgramFolder.h"
#include "app/QtPlatform.h"
#include "app/Settings.h"
#include "app/UnitCarte.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>

#if __has_include("resources/Resources.h")
#include "resources/Resources.h"
#define KORVANTA_HAS_PICTURES 1
#endif

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// The folder of the running executable, known before the application object exists.
QString ExecutableFolder(const char* argv0) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) return QString::fromStdString(self.parent_path().string());
    return QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath();
}

} // namespace

int main(int argc, char** argv) {
    // Before anything: the program's folder becomes the current directory,
    // and whether the settings file is there decides whether it is read.
    const QString exeFolder = ExecutableFolder(argc > 0 ? argv[0] : "");
    const QString folder = ResolveProgramFolder(exeFolder);
    QDir::setCurrent(folder);
    // Looked up in the folder itself, which the reader and the writer use,
    // also should the folder not have become the current directory.
    const QString settingsPath = QDir(folder).filePath(settings::SettingsFile);
    const bool settingsExisted = QFileInfo::exists(settingsPath);
    const QString readFrom = SettingsFileToRead(folder, exeFolder);
    if (QDir(folder).absolutePath() != QDir(exeFolder).absolutePath()) {
        // Said once, so that a user looking for the file finds it.
        std::fprintf(stderr, "korvanta: settings are kept in %s\n",
                     QFile::encodeName(settingsPath).constData());
        if (!readFrom.isEmpty() && readFrom != settingsPath)
            std::fprintf(stderr, "korvanta: settings read this time from %s\n",
                         QFile::encodeName(readFrom).constData());
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvanta"));
    // The program ends only through its close handlers.
    QApplication::setQuitOnLastWindowClosed(false);
#ifdef KORVANTA_HAS_PICTURES
    const QIcon icon(QString::fromLatin1(res::IconPath));
    if (!icon.isNull()) QApplication::setWindowIcon(icon);
#endif

    QtPlatform platform(folder);
    Program program(platform);
    program.app.SettingsExisted = settingsExisted;
    if (!settingsExisted) program.app.SettingsSource = readFrom;
    program.arguments = QApplication::arguments().mid(1);

    CreateForms(program);
    // A logout, `kill` or Ctrl+C ends the program as a close does, without
    // questions: the settings are written once, then the program exits.
    const EndSignals endSignals([&program](int) { EndProgram(program); });
    program.forms.FormCarte->show();
    const int result = QApplication::exec();
    DestroyForms(program);
    return result;
}
