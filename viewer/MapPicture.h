// The viewer's map pictures in the 16-colour palette: conversions between
// palette images and pictures, the blank template and the DX markers.
#pragma once

#include "geo/Projection.h"

#include <QImage>
#include <QPixmap>

namespace viewer {

QImage FromPalette(const geo::PaletteImage& p);
geo::PaletteImage ToPalette(const QImage& source);
// Every pixel becomes its nearest palette colour.
void ReduceToPalette(QImage& img);
// The DX marker (turned: the 45-degree one), white transparent.
QPixmap MarkerPicture(bool turned);
// The blank template (ImageOriginale), reduced to the palette.
QImage BlankTemplate();

} // namespace viewer
