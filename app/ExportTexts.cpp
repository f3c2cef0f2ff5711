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
    {ExportText::FillGaps, "Fill the gaps", "Combler les trous", "Rellenar los huecos"},
    {ExportText::Export, "Export…", "Exporter…", "Exportar…"},
    {ExportText::Print, "Print…", "Imprimer…", "Imprimir…"},
    {ExportText::ExportTitle, "Export the map", "Exporter la carte", "Exportar el mapa"},
    {ExportText::ExportWhat, "Export the map of the current centre as:",
     "Exporter la carte du centre actuel en :", "Exportar el mapa del centro actual como:"},
    {ExportText::PngSize, "PNG picture, %1 x %1 pixels", "Image PNG, %1 x %1 pixels",
     "Imagen PNG, %1 x %1 píxeles"},
    {ExportText::PdfPoster, "PDF poster, %1", "Affiche PDF, %1", "Póster PDF, %1"},
    {ExportText::Export600Note, "600 x 600: the map as shown, with what is drawn on it.",
     "600 x 600 : la carte telle qu'affichée, avec ce qui y est dessiné.",
     "600 x 600: el mapa tal como se ve, con lo dibujado en él."},
    {ExportText::Working, "Drawing the map…", "Dessin de la carte…", "Dibujando el mapa…"},
    {ExportText::Cancel, "Cancel", "Annuler", "Cancelar"},
    {ExportText::CannotWrite, "%1 cannot be written: %2", "Impossible d'écrire %1 : %2",
     "No se puede escribir %1: %2"},
    {ExportText::Written, "%1 written", "%1 écrit", "%1 escrito"},
    {ExportText::PosterTitle, "Azimuthal equidistant map centred on %1",
     "Carte azimutale équidistante centrée sur %1", "Mapa acimutal equidistante centrado en %1"},
    {ExportText::PosterCentre, "Centre: %1 — locator %2", "Centre : %1 — locator %2",
     "Centro: %1 — locator %2"},
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
