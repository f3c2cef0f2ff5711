// Texts of the live overlays (the Options items), in the three languages.
#pragma once

#include <QString>

namespace viewer {

struct OverlayTexts {
    QString MenuGreyLine;
    QString MenuLocatorGrid;
};

// The texts for LanguageCode "E", "F" or "S"; nothing for another code.
const OverlayTexts* OverlayTextsFor(const QString& code);

} // namespace viewer
