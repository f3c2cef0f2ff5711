// State of the viewer's module that the other windows share.
#pragma once

#include <QChar>
#include <QString>

// Texts filled by the viewer's language routine and shown by other windows.
// They hold French defaults until the routine first runs.
struct ViewerMessages {
    QString AzimuthLabel = QStringLiteral(" Azimut = ");
    QString RangeLabel = QStringLiteral(" Distance = ");
    QString SaveQuestion =
        QStringLiteral("Voulez-vous enregistrer la carte pour la session suivante ?");
    QString ConnectedMessage =
        QStringLiteral("Une application est connectée à Korvanta. Veuillez la fermer");
    // The "My DX" editor's four messages.
    QString DxMissingField = QStringLiteral("Renseignez tous les champs d'un DX , svp");
    QString DxLatitudeLetter = QStringLiteral("N ou S");
    QString DxLongitudeLetter = QStringLiteral("E ou W");
    QString DxWrongFormat = QStringLiteral("Format erroné !");
    // The version check's answers (the address of Tovak's site follows the first).
    QString NewerReleaseMessage = QStringLiteral(
        "Une version plus récente est disponible. Voir :\nhttp://www.tovak.example/");
    QString UpToDateMessage = QStringLiteral("Vous êtes à jour");
};

struct ViewerState {
    long double UnitFactor = 1.0L; // kilometres per display unit: 1 or 1.609344
    bool SourceIsCB = false;       // SourceList: the 11m list instead of the ham list
    QChar ListSeparator = QLatin1Char('\t');
    QString PointedBearingText;
    // At least one client conversation is open (OpenConversations of them).
    bool DdeClientConnected = false;
    int OpenConversations = 0;
    bool ReturningFromDialog = false;
    bool ReturningToGenerator = false;
    bool SavedMapLoaded = false;
    bool QuitAfterSave = false;
    ViewerMessages msg;
};
