#include "app/UnitCarte.h"

#include "app/Program.h"

TFormCarte::TFormCarte(Program& program) : program_(program) {}
TFormCarte::~TFormCarte() = default;

void TFormCarte::MenuEnglishClick() {}
void TFormCarte::MenuFrancaisClick() {}
void TFormCarte::MenuEspagnolClick() {}
void TFormCarte::MenuCacherFenetreCarteClick() {
    hide();
}
void TFormCarte::menuMontrerFenetreCarteClick() {
    showNormal();
}
void TFormCarte::MenuVoirClick() {}
void TFormCarte::MenuAideClick() {}
void TFormCarte::SettingsWrite() {}
void TFormCarte::ImageMercatorMouseUp(Qt::MouseButton, int, int) {}
void TFormCarte::ResetAfterReturn() {}
