// Where the program keeps its settings and relative map names: the folder of
// the executable when the user may write there (a portable copy), otherwise
// the user's configuration folder.
#pragma once

#include <QString>

// The choice itself, without touching the disk. `exeFolderWritable` tells
// whether files can be created in `exeFolder`; `xdgConfigHome` is the value
// of $XDG_CONFIG_HOME (may be empty), `home` the user's home folder.
QString ChooseProgramFolder(const QString& exeFolder, bool exeFolderWritable,
                            const QString& xdgConfigHome, const QString& home);

// Whether a file can really be created in `folder` (tries one and removes it).
bool FolderAcceptsFiles(const QString& folder);

// The settings file the start reads: korvanta.ini of the program folder, or,
// while the program folder is the configuration folder and has none yet, the
// one beside the program (the user's file from the time the program folder
// could be written). Empty when there is none. The end always writes into
// the program folder.
QString SettingsFileToRead(const QString& programFolder, const QString& exeFolder);

// ChooseProgramFolder for the running program; creates the configuration
// folder when it is the choice and does not exist yet. Returns an absolute path.
QString ResolveProgramFolder(const QString& exeFolder);
