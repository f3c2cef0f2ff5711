// One run of the program on the fake platform, in a given program folder:
// the windows are created on request and destroyed with the run.
#pragma once

#include "FakePlatform.h"

#include "app/Program.h"
#include "viewer/UnitAzimut.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TFormAzimut;
class TFormCarte;
class TFormSave;

struct ProgramRun {
    FakePlatform platform;
    Program program{platform};

    explicit ProgramRun(const QString& folder) {
        platform.folder = folder;
        QDir::setCurrent(folder);
        program.app.SettingsExisted = QFile::exists(QDir(folder).filePath("korvanta.ini"));
    }
    ~ProgramRun() { DestroyForms(program); }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    void create() { CreateForms(program); }
    // Creates the windows and shows the viewer in a language ("E", "F", "S").
    TFormAzimut* showViewer(const QString& language = QStringLiteral("E"));
    TFormAzimut* viewer() const { return program.forms.FormAzimut; }
    TFormCarte* carte() const { return program.forms.FormCarte; }
    TFormSave* save() const { return program.forms.FormSave; }
};

inline TFormAzimut* ProgramRun::showViewer(const QString& language) {
    create();
    program.app.LanguageCode = language;
    viewer()->show();
    return viewer();
}

// A fresh run of the program in a temporary folder of its own for each test
// function: a test class calls startRun() from init() and endRun() from
// cleanup(). A test restarts the program in the same folder by making `run`
// again.
struct ProgramRunFixture {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ProgramRun> run;

    void startRun() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        run = std::make_unique<ProgramRun>(dir->path());
    }
    void endRun() {
        run.reset();
        dir.reset();
    }
};
