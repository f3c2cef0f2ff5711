// Where the help pages are found: beside the program in a build folder or a
// portable copy, in the data folder of an installed program.
#include "app/InstallLayout.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void Touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(InstallLayout, FirstFolderThatHoldsThePage) {
    QTemporaryDir tmp;
    const QString config = tmp.filePath("config/korvanta");
    const QString bin = tmp.filePath("usr/bin");
    const QString data = tmp.filePath("usr/share/korvanta");
    QDir().mkpath(config);
    QDir().mkpath(bin);
    // Nowhere: the program folder's name, for the desktop to report.
    EXPECT_EQ(SharedFilePath(config, bin, "korvanta_fr.html"), config + "/korvanta_fr.html");
    Touch(data + "/korvanta_fr.html");
    EXPECT_EQ(SharedFilePath(config, bin, "korvanta_fr.html"), data + "/korvanta_fr.html");
    Touch(bin + "/korvanta_fr.html");
    EXPECT_EQ(SharedFilePath(config, bin, "korvanta_fr.html"), bin + "/korvanta_fr.html");
    Touch(config + "/korvanta_fr.html");
    EXPECT_EQ(SharedFilePath(config, bin, "korvanta_fr.html"), config + "/korvanta_fr.html");
    // A folder of that name is no page.
    QDir().mkpath(tmp.filePath("b/korvanta_en.html"));
    EXPECT_EQ(SharedFilePath(tmp.filePath("b"), bin, "korvanta_en.html"),
              tmp.filePath("b/korvanta_en.html"));
    EXPECT_EQ(SharedFileFolders(bin, bin).size(), 2);

    // Installed: a bin folder beside share/korvanta; a build folder is not.
    EXPECT_TRUE(IsInstalledLayout(bin));
    EXPECT_TRUE(IsInstalledLayout(bin + "/"));
    EXPECT_FALSE(IsInstalledLayout(tmp.filePath("usr")));
    EXPECT_FALSE(IsInstalledLayout(config));
}

TEST(InstallLayout, StagedInstallation) {
    const QString bin = qEnvironmentVariable("KORVANTA_STAGED_BIN");
    if (bin.isEmpty()) GTEST_SKIP() << "run by test_package.sh on a staged installation";
    QTemporaryDir config;
    for (const char* page : {"korvanta_en.html", "korvanta_fr.html", "korvanta_es.html"}) {
        const QString path = SharedFilePath(config.path(), bin, page);
        EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
        EXPECT_TRUE(path.startsWith(QDir::cleanPath(bin + "/../share/korvanta/")))
            << path.toStdString();
    }
    EXPECT_TRUE(IsInstalledLayout(bin));
}
