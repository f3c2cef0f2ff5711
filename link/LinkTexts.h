// The rotator's texts in the three languages of the viewer.
#pragma once

#include <QString>

namespace azlink {

struct RotatorTexts {
    QString MenuRotator;        // check item "Turn the rotator"
    QString MenuRotatorAddress; // "Rotator address…"
    QString AddressTitle;       // title of the address question
    QString AddressPrompt;      // its label
    QString AddressInvalid;     // a typed address that is no HOST:PORT
    QString Unreachable;        // %1: the address
    QString NoAnswer;           // %1: the address
    QString Error;              // %1: the address, %2: rotctld's error code
};

// The texts of "E", "F" or "S"; null for any other code.
const RotatorTexts* RotatorTextsFor(const QString& languageCode);

} // namespace azlink
