#include "viewer/CallLine.h"

#include "viewer/DxLookup.h"
#include "viewer/Readout.h"

#include <cmath>

namespace viewer {

namespace {

CallTexts English() {
    return {QStringLiteral("&Country file\u2026"),
            QStringLiteral("Choose the country file (cty.dat)"),
            QStringLiteral("Country files (*.dat);;All files (*)"),
            QStringLiteral("The country file %1 was not loaded:\n%2"),
            QStringLiteral("maritime mobile"),
            QStringLiteral("aeronautical mobile"),
            QStringLiteral("%1 local"),
            QStringLiteral(" WAE"),
            QStringLiteral("line"),
            {QStringLiteral("the file cannot be read"),
             QStringLiteral("the file holds no entity record"),
             QStringLiteral("an entity line needs eight fields, each ending in \":\""),
             QStringLiteral("the entity has no name"),
             QStringLiteral("a zone must be 1 to 40 (CQ) or 1 to 90 (ITU)"),
             QStringLiteral("the continent must be AF, AN, AS, EU, NA, OC or SA"),
             QStringLiteral("latitude, longitude or time offset is not a valid number"),
             QStringLiteral("the entity has no primary prefix"),
             QStringLiteral("a prefix or call is empty or holds characters other than A-Z, "
                            "0-9 and /"),
             QStringLiteral("an override (n) [n] <lat/lon> {cc} ~n~ is not closed or not "
                            "valid"),
             QStringLiteral("text after the \";\" that ends the record"),
             QStringLiteral("the record starting here has no \";\" at its end")}};
}

CallTexts French() {
    return {QStringLiteral("Fichier des &pays\u2026"),
            QStringLiteral("Choisir le fichier des pays (cty.dat)"),
            QStringLiteral("Fichiers des pays (*.dat);;Tous les fichiers (*)"),
            QStringLiteral("Le fichier des pays %1 n'a pas été chargé :\n%2"),
            QStringLiteral("mobile maritime"),
            QStringLiteral("mobile aéronautique"),
            QStringLiteral("%1 locale"),
            QStringLiteral(" WAE"),
            QStringLiteral("ligne"),
            {QStringLiteral("le fichier ne peut pas être lu"),
             QStringLiteral("le fichier ne contient aucune entité"),
             QStringLiteral("une ligne d'entité demande huit champs terminés par \":\""),
             QStringLiteral("l'entité n'a pas de nom"),
             QStringLiteral("une zone va de 1 à 40 (CQ) ou de 1 à 90 (UIT)"),
             QStringLiteral("le continent doit être AF, AN, AS, EU, NA, OC ou SA"),
             QStringLiteral("latitude, longitude ou décalage horaire non valable"),
             QStringLiteral("l'entité n'a pas de préfixe principal"),
             QStringLiteral("un préfixe ou un indicatif est vide ou contient autre chose que "
                            "A-Z, 0-9 et /"),
             QStringLiteral("une précision (n) [n] <lat/lon> {cc} ~n~ n'est pas fermée ou "
                            "pas valable"),
             QStringLiteral("du texte après le \";\" qui termine l'entité"),
             QStringLiteral("l'entité qui commence ici n'a pas de \";\" final")}};
}

CallTexts Spanish() {
    return {QStringLiteral("&Archivo de países\u2026"),
            QStringLiteral("Elegir el archivo de países (cty.dat)"),
            QStringLiteral("Archivos de países (*.dat);;Todos los archivos (*)"),
            QStringLiteral("El archivo de países %1 no se ha cargado:\n%2"),
            QStringLiteral("móvil marítimo"),
            QStringLiteral("móvil aeronáutico"),
            QStringLiteral("%1 local"),
            QStringLiteral(" WAE"),
            QStringLiteral("línea"),
            {QStringLiteral("el archivo no se puede leer"),
             QStringLiteral("el archivo no contiene ninguna entidad"),
             QStringLiteral("una línea de entidad necesita ocho campos terminados en \":\""),
             QStringLiteral("la entidad no tiene nombre"),
             QStringLiteral("una zona va de 1 a 40 (CQ) o de 1 a 90 (UIT)"),
             QStringLiteral("el continente debe ser AF, AN, AS, EU, NA, OC o SA"),
             QStringLiteral("latitud, longitud o diferencia horaria no válida"),
             QStringLiteral("la entidad no tiene prefijo principal"),
             QStringLiteral("un prefijo o indicativo está vacío o contiene algo distinto de "
                            "A-Z, 0-9 y /"),
             QStringLiteral("una precisión (n) [n] <lat/lon> {cc} ~n~ no está cerrada o no "
                            "es válida"),
             QStringLiteral("texto tras el \";\" que termina la entidad"),
             QStringLiteral("la entidad que empieza aquí no tiene \";\" final")}};
}

} // namespace

const CallTexts* CallTextsFor(const QString& languageCode) {
    static const CallTexts e = English();
    static const CallTexts f = French();
    static const CallTexts s = Spanish();
    if (languageCode == QLatin1String("E")) return &e;
    if (languageCode == QLatin1String("F")) return &f;
    if (languageCode == QLatin1String("S")) return &s;
    return nullptr;
}

QString CtyErrorText(const dx::CtyError& e, const CallTexts& t) {
    QString out;
    if (e.line > 0)
        out = t.LineWord + QLatin1Char(' ') + QString::number(e.line) + QStringLiteral(": ");
    out += t.Faults[static_cast<int>(e.kind)];
    if (!e.text.empty())
        out += QStringLiteral(" (") + QString::fromStdString(e.text) + QStringLiteral(")");
    return out;
}

CallBearing BearingFrom(const dx::CtyAnswer& answer, double centreLat, double centreLon,
                        long double unitFactor) {
    geo::PositionState pos;
    pos.CentreLat = centreLat;
    pos.CentreLon = centreLon;
    pos.PointLat = answer.values.lat;
    pos.PointLon = answer.values.lon;
    geo::CalculAzimutDistance(pos, [] {});
    const DxReadout d = ComputeDxReadout(pos.PointAzimuth, pos.PointDistance, unitFactor);
    return {d.bearing % 360, d.distance};
}

CallLineText FormatCallLine(const dx::CtyAnswer& answer, std::optional<CallCentre> from,
                            long double unitFactor, const QDateTime& utcNow, const CallTexts& t) {
    CallLineText line;
    switch (answer.kind) {
    case dx::CtyAnswer::Kind::Unknown:
        return line;
    case dx::CtyAnswer::Kind::MaritimeMobile:
        line.name = t.MaritimeMobile;
        return line;
    case dx::CtyAnswer::Kind::AeronauticalMobile:
        line.name = t.AeronauticalMobile;
        return line;
    case dx::CtyAnswer::Kind::Entity:
        break;
    }
    const dx::CtyAlias& v = answer.values;
    line.name = QString::fromStdString(answer.entity->name);
    QString rest = QStringLiteral(" (") + QString::fromStdString(v.continent) + QStringLiteral(")");
    if (answer.entity->waeOnly) rest += t.WaeOnly;
    rest += QStringLiteral(" CQ ") + QString::number(v.cqZone) + QStringLiteral(" ITU ") +
            QString::number(v.ituZone);
    if (from) {
        const CallBearing b = BearingFrom(answer, from->lat, from->lon, unitFactor);
        rest += QStringLiteral(" ") + QString::number(b.bearing) + QStringLiteral("\u00B0 ") +
                QString::number(b.distance) + UnitWord(unitFactor);
    }
    const QDateTime local =
        utcNow.toUTC().addSecs(static_cast<qint64>(std::lround(v.utcOffset * 3600)));
    rest += QStringLiteral(" ") + t.LocalTime.arg(local.toString(QStringLiteral("HH:mm")));
    line.rest = rest;
    return line;
}

} // namespace viewer
