// Texts of the live stations (the Options items, the spot list, the
// settings dialog), in the three languages.
#pragma once

#include <QString>
#include <QStringList>

namespace viewer {

struct LiveTexts {
    QString MenuSettings; // "Live stations..."
    QString MenuList;     // the spot list window
    QString MenuLayer;    // the spots on the map
    QString ListTitle;    // the spot list's window title
    QStringList
        Columns;      // call, frequency, band, mode/comment, entity, bearing, distance, age, source
    QString AllBands; // the band filter's first entry
    QString AllSources; // the source filter's first entry
    QString BandFilter; // labels of the filters
    QString SourceFilter;
    QString AgeFilter;
    QString Minutes;     // "%1 min"
    QString ClusterUp;   // status texts
    QString ClusterDown; // "%1": the reason
    QString UdpDown;     // "%1": the reason
    QString Idle;        // no source on
    QString DialogTitle;
    QString ClusterOn;
    QString ClusterAddress;
    QString ClusterCall;
    QString WsjtxOn;
    QString WsjtxAddress;
    QString MaxAge;
    QString BadCluster; // "%1": what was typed
    QString BadWsjtx;   // "%1": what was typed
    QString NoCall;
};

// The texts for LanguageCode "E", "F" or "S"; English for another code.
const LiveTexts& LiveTextsFor(const QString& code);

} // namespace viewer
