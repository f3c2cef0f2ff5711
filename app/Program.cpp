#include "app/Program.h"

#include "app/UnitCarte.h"
#include "viewer/UnitAzimut.h"

void CreateForms(Program& program) {
    Forms& f = program.forms;
    f.FormCarte = new TFormCarte(program);
    f.FormAzimut = new TFormAzimut(program);
}

void DestroyForms(Program& program) {
    Forms& f = program.forms;
    delete f.FormAzimut;
    delete f.FormCarte;
    f = Forms{};
}
