#include "link/LinkTexts.h"

namespace azlink {

namespace {

RotatorTexts English() {
    RotatorTexts t;
    t.MenuAntenna = QStringLiteral("&Antenna");
    t.MenuShortPath = QStringLiteral("Turn to the &short path");
    t.MenuLongPath = QStringLiteral("Turn to the &long path");
    t.MenuStop = QStringLiteral("St&op the rotator");
    t.MenuPark = QStringLiteral("&Park the antenna");
    t.MenuSettings = QStringLiteral("Rotator s&ettings…");
    t.MenuRotator = QStringLiteral("&Turn the rotator");
    t.Heading = QStringLiteral("Antenna heading");
    t.Unreachable = QStringLiteral("Rotator: no connection to %1.");
    t.NoAnswer = QStringLiteral("Rotator: %1 does not answer.");
    t.Error = QStringLiteral("Rotator: %1 refused the command (RPRT %2).");
    t.BadAddress = QStringLiteral("Rotator: \"%1\" is no address (HOST:PORT).");
    t.NoListen = QStringLiteral("Rotator: cannot listen on UDP port %1.");
    t.NoPark = QStringLiteral("Rotator: this channel has no park; give a park azimuth in the "
                              "rotator settings.");
    t.SettingsTitle = QStringLiteral("Rotator settings");
    t.Kind = QStringLiteral("&Channel:");
    t.KindRotctld = QStringLiteral("Hamlib rotctld (TCP)");
    t.KindPst = QStringLiteral("PstRotator-style (UDP)");
    t.KindN1mm = QStringLiteral("N1MM-style rotor (UDP)");
    t.Address = QStringLiteral("&Address (HOST:PORT):");
    t.Name = QStringLiteral("Rotor &name:");
    t.BeamWidth = QStringLiteral("&Beam width (°):");
    t.ParkAzimuth = QStringLiteral("&Park azimuth (°):");
    t.ParkHint = QStringLiteral("empty: the controller's own park");
    t.TurnMin = QStringLiteral("&Least turn (°, 0 = every target):");
    t.AddressInvalid = QStringLiteral("Give the address as HOST:PORT, for example localhost:4533.");
    t.ParkInvalid = QStringLiteral("The park azimuth is a number from 0 to 360, or empty.");
    return t;
}

RotatorTexts French() {
    RotatorTexts t;
    t.MenuAntenna = QStringLiteral("&Antenne");
    t.MenuShortPath = QStringLiteral("Tourner vers le chemin &court");
    t.MenuLongPath = QStringLiteral("Tourner vers le chemin &long");
    t.MenuStop = QStringLiteral("&Arrêter le rotor");
    t.MenuPark = QStringLiteral("&Garer l'antenne");
    t.MenuSettings = QStringLiteral("&Réglages du rotor…");
    t.MenuRotator = QStringLiteral("&Tourner le rotor");
    t.Heading = QStringLiteral("Cap de l'antenne");
    t.Unreachable = QStringLiteral("Rotor : pas de connexion à %1.");
    t.NoAnswer = QStringLiteral("Rotor : %1 ne répond pas.");
    t.Error = QStringLiteral("Rotor : %1 a refusé la commande (RPRT %2).");
    t.BadAddress = QStringLiteral("Rotor : « %1 » n'est pas une adresse (HÔTE:PORT).");
    t.NoListen = QStringLiteral("Rotor : impossible d'écouter le port UDP %1.");
    t.NoPark = QStringLiteral("Rotor : ce canal n'a pas de position de garage ; indiquez un "
                              "azimut de garage dans les réglages du rotor.");
    t.SettingsTitle = QStringLiteral("Réglages du rotor");
    t.Kind = QStringLiteral("&Canal :");
    t.KindRotctld = QStringLiteral("Hamlib rotctld (TCP)");
    t.KindPst = QStringLiteral("Style PstRotator (UDP)");
    t.KindN1mm = QStringLiteral("Rotor style N1MM (UDP)");
    t.Address = QStringLiteral("&Adresse (HÔTE:PORT) :");
    t.Name = QStringLiteral("&Nom du rotor :");
    t.BeamWidth = QStringLiteral("&Ouverture du faisceau (°) :");
    t.ParkAzimuth = QStringLiteral("Azimut de &garage (°) :");
    t.ParkHint = QStringLiteral("vide : le garage du contrôleur");
    t.TurnMin = QStringLiteral("&Rotation minimale (°, 0 = chaque cible) :");
    t.AddressInvalid =
        QStringLiteral("Indiquez l'adresse sous la forme HÔTE:PORT, par exemple localhost:4533.");
    t.ParkInvalid = QStringLiteral("L'azimut de garage est un nombre de 0 à 360, ou vide.");
    return t;
}

RotatorTexts Spanish() {
    RotatorTexts t;
    t.MenuAntenna = QStringLiteral("An&tena");
    t.MenuShortPath = QStringLiteral("Girar a la ruta &corta");
    t.MenuLongPath = QStringLiteral("Girar a la ruta &larga");
    t.MenuStop = QStringLiteral("&Detener el rotor");
    t.MenuPark = QStringLiteral("&Aparcar la antena");
    t.MenuSettings = QStringLiteral("A&justes del rotor…");
    t.MenuRotator = QStringLiteral("&Girar el rotor");
    t.Heading = QStringLiteral("Rumbo de la antena");
    t.Unreachable = QStringLiteral("Rotor: sin conexión con %1.");
    t.NoAnswer = QStringLiteral("Rotor: %1 no responde.");
    t.Error = QStringLiteral("Rotor: %1 rechazó la orden (RPRT %2).");
    t.BadAddress = QStringLiteral("Rotor: «%1» no es una dirección (HOST:PUERTO).");
    t.NoListen = QStringLiteral("Rotor: no se puede escuchar el puerto UDP %1.");
    t.NoPark = QStringLiteral("Rotor: este canal no tiene posición de reposo; indique un azimut "
                              "de reposo en los ajustes del rotor.");
    t.SettingsTitle = QStringLiteral("Ajustes del rotor");
    t.Kind = QStringLiteral("&Canal:");
    t.KindRotctld = QStringLiteral("Hamlib rotctld (TCP)");
    t.KindPst = QStringLiteral("Estilo PstRotator (UDP)");
    t.KindN1mm = QStringLiteral("Rotor estilo N1MM (UDP)");
    t.Address = QStringLiteral("&Dirección (HOST:PUERTO):");
    t.Name = QStringLiteral("&Nombre del rotor:");
    t.BeamWidth = QStringLiteral("&Apertura del haz (°):");
    t.ParkAzimuth = QStringLiteral("Azimut de &reposo (°):");
    t.ParkHint = QStringLiteral("vacío: el reposo del controlador");
    t.TurnMin = QStringLiteral("&Giro mínimo (°, 0 = cada objetivo):");
    t.AddressInvalid =
        QStringLiteral("Indique la dirección como HOST:PUERTO, por ejemplo localhost:4533.");
    t.ParkInvalid = QStringLiteral("El azimut de reposo es un número de 0 a 360, o vacío.");
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
