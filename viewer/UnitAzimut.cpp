#include "viewer/UnitAzimut.h"

#include "app/Program.h"

TFormAzimut::TFormAzimut(Program& program) : program_(program) {}
TFormAzimut::~TFormAzimut() = default;

geo::PaletteImage TFormAzimut::BlankMap() const {
    return {};
}
void TFormAzimut::SetMap(const geo::PaletteImage&) {}
void TFormAzimut::ButtonLangueClick() {}
