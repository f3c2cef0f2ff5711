// Where the program's shared files lie: beside the executable in a build
// folder or a portable copy, under <prefix>/share/korvanta once installed.
#pragma once

#include <QString>
#include <QStringList>

// The folders searched for a shared file (the help pages), in order: the
// program folder, the executable's folder, and the installed data folder
// that belongs to an executable in <prefix>/bin.
QStringList SharedFileFolders(const QString& programFolder, const QString& exeFolder);

// The first of those folders that holds `file`; the program folder's path
// when none does (the desktop then reports the missing page itself).
QString SharedFilePath(const QString& programFolder, const QString& exeFolder, const QString& file);

// Whether `exeFolder` is the bin folder of an installation (<prefix>/bin
// beside <prefix>/share/korvanta). An installed program keeps its settings
// in the configuration folder even where it could write beside itself (run
// by root), so that removing the package leaves no file of the user's in it.
bool IsInstalledLayout(const QString& exeFolder);
