// State of the world-map window's module that the other windows share.
#pragma once

#include "geo/Position.h"

#include <QString>
#include <QStringList>

// Settings beyond the classic keys: written after VERSTART=, each only when
// it differs from its default, so that a user who never touches them keeps
// exactly the classic file, and older readers skip the keys they do not know.
struct ExtraSettings {
    QString RotatorAddress = QStringLiteral("localhost:4533"); // ROTATOR=host:port
    bool RotatorOn = false;                                    // ROTATORON=1/0
    bool FillGaps = false;                                     // FILLGAPS=1/0
    bool GreyLine = false;                                     // GREYLINE=1/0
    bool LocatorGrid = false;                                  // GRID=1/0
    QString CountryFile; // CTYFILE=path; empty: the system's cty.dat
    // The antenna console.
    QString RotatorKind = QStringLiteral("ROTCTLD"); // ROTATORKIND=ROTCTLD|PST|N1MM
    QString RotatorName;                             // ROTATORNAME= (the N1MM-style rotor's name)
    int BeamWidth = 60;                              // BEAMWIDTH= degrees, 1..360
    QString ParkAzimuth;                             // PARKAZ= degrees; empty: the controller's park
    double TurnMin = 2;                              // TURNMIN= degrees, 0 sends every new target
    // Live stations.
    bool ClusterOn = false;                      // CLUSTERON=1/0
    QString Cluster;                             // CLUSTER=host:port
    QString ClusterCall;                         // CLUSTERCALL= the login call
    bool WsjtxOn = false;                        // WSJTXON=1/0
    QString Wsjtx = QStringLiteral("2237");      // WSJTX=port or group:port
    int SpotAge = 30;                            // SPOTAGE= minutes, 1..1440
    // Regional maps.
    double RangeKm = 0; // RANGE= km from the centre to the rim; 0: the whole world
    bool operator==(const ExtraSettings&) const = default;
};

struct AppState {
    geo::PositionState pos; // CentreLat, CentreLon, PointLat, ..., CentreText, LocatorPending

    QString VersionText = QStringLiteral("2.2.1");
    QString LanguageCode; // "E", "F", "S" or empty until a language is applied
    QString HelpFile = QStringLiteral("korvanta_en.html");
    QString IdlePrompt;
    QString BusyPrompt;
    bool LanguageFromSettings = false;
    bool FocusViewerOnActivate = false;
    bool SettingsExisted = false;
    // The settings file read at start when it is not the program folder's
    // own (the one beside a program whose folder cannot be written).
    QString SettingsSource;

    bool Generating = false;
    bool MapUnsaved = false;

    // Values read from the settings file (start values as without a file).
    QString SavedImagePath;
    QString SavedImageCentre;
    int ViewerTop = 0;
    int ViewerLeft = 0;
    int ViewerHeight = 691;
    int ViewerWidth = 950;
    int ViewerScroll = 0;
    bool ListIsCB = false;
    int SeparatorIndex = 0;
    bool ClockIsUTC = false;
    bool VersionCheckAtStart = false;
    QString PelmarinPath;
    ExtraSettings extra;

    // The hidden line holders MemoDX and MemoDXCB: the user's stored DX rows
    // as read from the settings, until the list editors take them over.
    QStringList MemoDX;
    QStringList MemoDXCB;
};
