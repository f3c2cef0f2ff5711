// The call line under the viewer's DX list and korvanta-call's answer: what
// the country file says about a typed call, with the bearing and distance
// from the map centre and the entity's local time, in three languages.
#pragma once

#include "dxlists/CtyDat.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace viewer {

// The texts of the call line and of the "Country file…" command.
struct CallTexts {
    QString MenuCountryFile; // File menu item
    QString ChooseTitle;     // title of the file chooser
    QString FileFilter;      // its filter
    QString LoadError;       // %1 the file, %2 the fault (DescribeCtyError in this language)
    QString MaritimeMobile;  // CALL/MM
    QString AeronauticalMobile;
    QString LocalTime;  // %1 the time of day, e.g. "15:05 local"
    QString WaeOnly;    // mark of an entity that counts for the WAE award only
    QString LineWord;   // "line" in "line 12: ..."
    QString Faults[12]; // one per dx::CtyError::Kind, in its order
};

// The texts of a language code "E", "F" or "S"; nullptr for another code.
const CallTexts* CallTextsFor(const QString& languageCode);

// The fault of a country file in words of the language ("line 12: ...").
QString CtyErrorText(const dx::CtyError& e, const CallTexts& t);

// Bearing (whole degrees, short path) and distance (whole display units)
// from the centre to the answer's position, rounded as the DX readouts.
struct CallBearing {
    long long bearing = 0;
    long long distance = 0;
};
CallBearing BearingFrom(const dx::CtyAnswer& answer, double centreLat, double centreLon,
                        long double unitFactor);

// The answer as one line:
//   "Balearic Islands (EU) CQ 14 ITU 37 172° 1071 km 15:05 local"
// `from` absent: no bearing and distance. Empty when the file has no
// answer; the maritime and aeronautical texts for /MM and /AM.
struct CallLineText {
    QString name; // entity name (the part a narrow line may shorten)
    QString rest; // everything after the name
    QString full() const { return name + rest; }
};
struct CallCentre {
    double lat = 0;
    double lon = 0;
};
CallLineText FormatCallLine(const dx::CtyAnswer& answer, std::optional<CallCentre> from,
                            long double unitFactor, const QDateTime& utcNow, const CallTexts& t);

} // namespace viewer
