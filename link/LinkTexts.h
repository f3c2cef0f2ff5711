// The rotator's texts in the three languages of the viewer.
#pragma once

#include <QString>

namespace azlink {

struct RotatorTexts {
    QString MenuAntenna;   // the top-level menu, with its access key
    QString MenuShortPath; // "Turn to the short path"
    QString MenuLongPath;  // "Turn to the long path"
    QString MenuStop;      // "Stop the rotator"
    QString MenuPark;      // "Park the antenna"
    QString MenuSettings;  // "Rotator settings…"
    QString MenuRotator;   // check item "Turn the rotator"
    QString Heading;       // accessible name of the heading field
    QString Unreachable;   // %1: the address
    QString NoAnswer;      // %1: the address
    QString Error;         // %1: the address, %2: rotctld's error code
    QString BadAddress;    // %1: the address
    QString NoListen;      // %1: the UDP port
    QString NoPark;        // the channel has no park of its own
    // The settings dialog.
    QString SettingsTitle;
    QString Kind, KindRotctld, KindPst, KindN1mm;
    QString Address, Name, BeamWidth, ParkAzimuth, ParkHint, TurnMin;
    QString AddressInvalid; // a typed address that is no HOST[:PORT]
    QString ParkInvalid;    // a park azimuth that is not 0..360
};

// The texts of "E", "F" or "S"; null for any other code.
const RotatorTexts* RotatorTextsFor(const QString& languageCode);

} // namespace azlink
