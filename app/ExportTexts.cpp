#include "app/ExportTexts.h"

namespace {

struct Row {
    ExportText key;
    const char* english;
    const char* french;
    const char* spanish;
};

// UTF-8 texts.
constexpr Row Rows[] = {
    {ExportText::FillGaps, "&Fill the gaps", "Com&bler les trous", "&Rellenar los huecos"},
    {ExportText::Export, "&Export…", "E&xporter…", "&Exportar…"},
    {ExportText::Print, "&Print…", "&Imprimer…", "&Imprimir…"},
    {ExportText::ExportTitle, "Export the map", "Exporter la carte", "Exportar el mapa"},
    {ExportText::ExportWhat, "Export the map of the current centre as:",
     "Exporter la carte du centre actuel en :", "Exportar el mapa del centro actual como:"},
    {ExportText::PngSize, "PNG picture, %1 x %1 pixels", "Image PNG, %1 x %1 pixels",
     "Imagen PNG, %1 x %1 píxeles"},
    {ExportText::PdfPoster, "PDF poster, %1", "Affiche PDF, %1", "Póster PDF, %1"},
    {ExportText::Export600Note, "600 x 600: the map as shown, with what is drawn on it.",
     "600 x 600 : la carte telle qu'affichée, avec ce qui y est dessiné.",
     "600 x 600: el mapa tal como se ve, con lo dibujado en él."},
    {ExportText::ExportBigNote,
     "%1 x %1: a gap-free map of the current centre, without the caption.",
     "%1 x %1 : une carte sans trous du centre actuel, sans la légende.",
     "%1 x %1: un mapa sin huecos del centro actual, sin la leyenda."},
    {ExportText::PosterNote,
     "A page with the 2400-pixel gap-free map, its axes, distance circles and a title.",
     "Une page avec la carte sans trous de 2400 pixels, ses axes, cercles de distance et un titre.",
     "Una página con el mapa sin huecos de 2400 píxeles, sus ejes, círculos de distancia y un "
     "título."},
    {ExportText::Working, "Drawing the map…", "Dessin de la carte…", "Dibujando el mapa…"},
    {ExportText::Cancel, "Cancel", "Annuler", "Cancelar"},
    {ExportText::CannotWrite, "%1 cannot be written: %2", "Impossible d'écrire %1 : %2",
     "No se puede escribir %1: %2"},
    {ExportText::Written, "%1 written", "%1 écrit", "%1 escrito"},
    {ExportText::PosterTitle, "Azimuthal equidistant map centred on %1",
     "Carte azimutale équidistante centrée sur %1", "Mapa acimutal equidistante centrado en %1"},
    {ExportText::PosterCentre, "Centre: %1", "Centre : %1", "Centro: %1"},
    {ExportText::PosterScale, "Circles every %1, rim %2 (antipode)",
     "Cercles tous les %1, bord %2 (antipode)", "Círculos cada %1, borde %2 (antípoda)"},
    {ExportText::PrintFailed, "The map could not be printed.", "La carte n'a pas pu être imprimée.",
     "No se pudo imprimir el mapa."},
    {ExportText::PngFilter, "PNG pictures (*.png)", "Images PNG (*.png)", "Imágenes PNG (*.png)"},
    {ExportText::PdfFilter, "PDF documents (*.pdf)", "Documents PDF (*.pdf)",
     "Documentos PDF (*.pdf)"},
};

} // namespace

QString ExportTr(ExportText text, const QString& languageCode) {
    for (const Row& r : Rows) {
        if (r.key != text) continue;
        if (languageCode == QLatin1String("F")) return QString::fromUtf8(r.french);
        if (languageCode == QLatin1String("S")) return QString::fromUtf8(r.spanish);
        return QString::fromUtf8(r.english);
    }
    return {};
}

QString ExportNote(bool pdf, int size, const QString& languageCode) {
    if (pdf) return ExportTr(ExportText::PosterNote, languageCode);
    if (size == 600) return ExportTr(ExportText::Export600Note, languageCode);
    return ExportTr(ExportText::ExportBigNote, languageCode).arg(size);
}
