// What the whole program shares: the platform, the two state modules and one
// reference to each window, created once at start.
#pragma once

#include "app/AppState.h"
#include "app/Platform.h"
#include "viewer/ViewerState.h"

#include <QStringList>

class TFormCarte;
class TFormAzimut;
class TFormSave;
class TFormListeDXCC;
class TFormInfo;
class TFormListeDXCB;
class TFormConv;

struct Forms {
    TFormCarte* FormCarte = nullptr;
    TFormAzimut* FormAzimut = nullptr;
    TFormSave* FormSave = nullptr;
    TFormListeDXCC* FormListeDXCC = nullptr;
    TFormInfo* FormInfo = nullptr;
    TFormListeDXCB* FormListeDXCB = nullptr;
    TFormConv* FormConv = nullptr;
};

struct Program {
    explicit Program(Platform& p) : platform(p) {}
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Platform& platform;
    AppState app;
    ViewerState viewer;
    Forms forms;
    QStringList arguments; // command-line arguments after the program name
    bool ending = false;   // EndProgram ran: the settings are written, the loop stops
};

// Creates the windows, each once, in the start-up order (the world-map window
// first). Windows that do not exist yet stay null in Program::forms.
void CreateForms(Program& program);
// Destroys them again (end of the program or of a test).
void DestroyForms(Program& program);
