// One run of the program on the fake platform, in a given program folder:
// the windows are created on request and destroyed with the run.
#pragma once

#include "FakePlatform.h"

#include "app/Program.h"

#include <QDir>
#include <QFile>

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
    TFormAzimut* viewer() const { return program.forms.FormAzimut; }
    TFormCarte* carte() const { return program.forms.FormCarte; }
    TFormSave* save() const { return program.forms.FormSave; }
};
