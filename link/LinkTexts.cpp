#include "link/LinkTexts.h"

namespace azlink {

namespace {

RotatorTexts English() {
    RotatorTexts t;
    t.MenuRotator = QStringLiteral("Tu&rn the rotator");
    t.MenuRotatorAddress = QStringLiteral("Rotator a&ddress…");
    t.AddressTitle = QStringLiteral("Rotator address");
    t.AddressPrompt = QStringLiteral("Address of rotctld (HOST:PORT):");
    t.AddressInvalid = QStringLiteral("Give the address as HOST:PORT, for example localhost:4533.");
    t.Unreachable = QStringLiteral("Rotator: no connection to %1.");
    t.NoAnswer = QStringLiteral("Rotator: %1 does not answer.");
    t.Error = QStringLiteral("Rotator: %1 refused the azimuth (RPRT %2).");
    return t;
}

RotatorTexts French() {
    RotatorTexts t;
    t.MenuRotator = QStringLiteral("&Tourner le rotor");
    t.MenuRotatorAddress = QStringLiteral("Adresse du &rotor…");
    t.AddressTitle = QStringLiteral("Adresse du rotor");
    t.AddressPrompt = QStringLiteral("Adresse de rotctld (HÔTE:PORT) :");
    t.AddressInvalid =
        QStringLiteral("Indiquez l'adresse sous la forme HÔTE:PORT, par exemple localhost:4533.");
    t.Unreachable = QStringLiteral("Rotor : pas de connexion à %1.");
    t.NoAnswer = QStringLiteral("Rotor : %1 ne répond pas.");
    t.Error = QStringLiteral("Rotor : %1 a refusé l'azimut (RPRT %2).");
    return t;
}

RotatorTexts Spanish() {
    RotatorTexts t;
    t.MenuRotator = QStringLiteral("Girar el r&otor");
    t.MenuRotatorAddress = QStringLiteral("&Dirección del rotor…");
    t.AddressTitle = QStringLiteral("Dirección del rotor");
    t.AddressPrompt = QStringLiteral("Dirección de rotctld (HOST:PUERTO):");
    t.AddressInvalid =
        QStringLiteral("Indique la dirección como HOST:PUERTO, por ejemplo localhost:4533.");
    t.Unreachable = QStringLiteral("Rotor: sin conexión con %1.");
    t.NoAnswer = QStringLiteral("Rotor: %1 no responde.");
    t.Error = QStringLiteral("Rotor: %1 rechazó el azimut (RPRT %2).");
    return t;
}

} // namespace

const RotatorTexts* RotatorTextsFor(const QString& languageCode) {
    static const RotatorTexts e = English(), f = French(), s = Spanish();
    if (languageCode == QLatin1String("E")) return &e;
    if (languageCode == QLatin1String("F")) return &f;
    if (languageCode == QLatin1String("S")) return &s;
    return nullptr;
}

} // namespace azlink
