#include "viewer/OverlayTexts.h"

namespace viewer {

const OverlayTexts* OverlayTextsFor(const QString& code) {
    static const OverlayTexts english{QStringLiteral("&Grey line"),
                                      QStringLiteral("&Locator grid")};
    static const OverlayTexts french{QStringLiteral("Ligne &grise"),
                                     QStringLiteral("Grille des &locators")};
    static const OverlayTexts spanish{QStringLiteral("Línea &gris"),
                                      QStringLiteral("Cu&adrícula de locators")};
    if (code == QLatin1String("E")) return &english;
    if (code == QLatin1String("F")) return &french;
    if (code == QLatin1String("S")) return &spanish;
    return nullptr;
}

} // namespace viewer
