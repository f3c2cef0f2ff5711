// The viewer: the azimuthal map with its readouts, DX list and clock.
#pragma once

#include "geo/Projection.h"

#include <QMainWindow>

struct Program;

class TFormAzimut : public QMainWindow {
    Q_OBJECT
  public:
    explicit TFormAzimut(Program& program);
    ~TFormAzimut() override;

    // The blank template (ImageOriginale) and the map (ImageAzimut), as palette pictures.
    geo::PaletteImage BlankMap() const;
    void SetMap(const geo::PaletteImage& map);

    // The language routine (the hidden language button's click).
    void ButtonLangueClick();

  private:
    Program& program_;
};
