#include "app/Program.h"

#include "app/UnitCarte.h"
#include "dialogs/UnitInfo.h"
#include "dialogs/UnitSave.h"
#include "dxlists/UnitConv.h"
#include "dxlists/UnitDX.h"
#include "dxlists/UnitDXCB.h"
#include "viewer/UnitAzimut.h"

void CreateForms(Program& program) {
    Forms& f = program.forms;
    f.FormCarte = new TFormCarte(program);
    f.FormAzimut = new TFormAzimut(program);
    f.FormSave = new TFormSave(program);
    f.FormListeDXCC = new TFormListeDXCC(program);
    f.FormInfo = new TFormInfo(program);
    f.FormListeDXCB = new TFormListeDXCB(program);
    f.FormConv = new TFormConv(program);
}

void DestroyForms(Program& program) {
    Forms& f = program.forms;
    delete f.FormConv;
    delete f.FormListeDXCB;
    delete f.FormInfo;
    delete f.FormListeDXCC;
    delete f.FormSave;
    delete f.FormAzimut;
    delete f.FormCarte;
    f = Forms{};
}
