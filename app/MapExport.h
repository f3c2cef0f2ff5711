// Maps at any size for the exports, the posters and korvanta-render: the
// world pictures at the matching resolution, the gap-free map of a centre,
// palette pictures as QImage and PNG files written through a temporary file.
// QtGui only, no windows.
#pragma once

#include "geo/GapFree.h"
#include "geo/MapFrame.h"
#include "geo/Projection.h"
#include "geo/RegionalData.h"

#include <QImage>
#include <QString>

class QSaveFile;

namespace mapexport {

// The built-in world picture for a map of `size` pixels (1194 x 765 up to
// 600, then two and four times that, geo::WorldScaleForSize), reduced to
// palette indices, read once per scale and kept. Without the embedded
// pictures (or when one cannot be read) a plain sea of the right size.
const geo::WorldIndex& WorldForSize(int size);

// The blank background of a size-pixel map: the program's 600 template at
// 600, geo::BlankBackground(size) otherwise.
geo::PaletteImage BackgroundForSize(int size);

// The gap-free map of the centre at `size` pixels (geo::MinGapFreeSize ..
// geo::MaxGapFreeSize), from WorldForSize (or `world` when given).
geo::PaletteImage GapFreeMap(geo::Real lat, geo::Real lon, int size,
                             const geo::RowProgressFn& progress = {},
                             const geo::WorldIndex* world = nullptr);

// The vector data of the regional maps (resources/regional-map.bin), read
// and unpacked once, at its levels of detail; nullptr when the build has none or it cannot be read,
// with the reason in *error.
const geo::RegionalLevels* RegionalVectors(QString* error = nullptr);

// The map of any frame at the frame's size: the whole world as GapFreeMap;
// a regional frame from the finest world picture (gap-free) where its pixels
// cover at least one world pixel each, else from the vector data. Throws
// std::runtime_error with a clear reason when the vector data is missing.
geo::PaletteImage FrameMap(const geo::MapFrame& frame);

// A palette picture as an 8-bit indexed QImage with the map's 16 colours.
QImage ToImage(const geo::PaletteImage& map);

// Writes the picture as PNG through WriteFile. Returns an empty text on success,
// else the reason.
QString WritePng(const QString& path, const QImage& picture);

// Writes `bytes` through a temporary file in the same folder, synced to disk
// and renamed over `path` only when every write went well
// (geo::WriteFileAtomically): on a full disk the old file stays. Returns an
// empty text on success, else the reason.
QString WriteFile(const QString& path, const QByteArray& bytes);

// Ends a write through `file`: flushed, synced to disk and renamed over its
// target when every write went well, else dropped (the old file stays).
// Returns an empty text on success, else the reason.
QString CommitOrDrop(QSaveFile& file);

} // namespace mapexport
