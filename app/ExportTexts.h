// Texts of the gap-free option, the export, the poster and printing, in the
// three languages of the program ("E", "F", "S"; any other code gives the
// English text).
#pragma once

#include <QString>

enum class ExportText {
    FillGaps,      // Options menu check item
    Export,        // File menu item
    Print,         // File menu item
    ExportTitle,   // the export dialog's title
    ExportWhat,    // its label before the choices
    PngSize,       // "PNG picture, %1 x %1 pixels"
    PdfPoster,     // "PDF poster, %1"
    Export600Note, // tells that 600 is the map as shown
    ExportBigNote, // tells that a larger PNG is gap-free, without the caption
    PosterNote,    // tells what the poster carries
    Working,       // the progress dialog's text
    Cancel,        // its button
    CannotWrite,   // "%1 cannot be written: %2"
    Written,       // not shown (the status of the export)
    PosterTitle,   // "Azimuthal equidistant map centred on %1" (the locator)
    PosterCentre,  // "Centre: %1" (the position)
    PosterScale,   // "Circles every %1"
    PrintFailed,   // the printer could not be used
    PngFilter,     // file dialog filter
    PdfFilter,     // file dialog filter
};

QString ExportTr(ExportText text, const QString& languageCode);

// The export dialog's note on a choice: a PNG of `size` pixels, or a poster.
QString ExportNote(bool pdf, int size, const QString& languageCode);
