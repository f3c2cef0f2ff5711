#include "viewer/Languages.h"

#include "app/LocaleFormat.h"

namespace viewer {

namespace {

QString Site(const char* page) {
    return QString::fromLatin1(MakerSite) + QString::fromLatin1(page);
}

ViewerTexts English() {
    ViewerTexts t;
    t.MenuLangue = QStringLiteral("&Language");
    t.MenuOptions = QStringLiteral("&Options");
    t.MenuAide = QStringLiteral("&Help");
    t.MenuInfoVersion = QStringLiteral("Search for a more recent release when starting Korvanta");
    t.MenuFichier = QStringLiteral("&File");
    t.MenuUnit = QStringLiteral("&Unit");
    t.MenuTime = QStringLiteral("&Time");
    t.MenuAxes = QStringLiteral("Add &axis");
    t.MenuDistances = QStringLiteral("Add equidistant &circles");
    t.MenuEnregistrer = QStringLiteral("&Save this azimuth map");
    t.Menugenerateur = QStringLiteral("&Back to map generator");
    t.MenuListeDXCC = QStringLiteral("Mana&ge my DX");
    t.MenuChoixListe = QStringLiteral("&Choose the list");
    t.MenuDXCCOM = QStringLiteral("&Ham prefixes");
    t.MenuDXCCCB = QStringLiteral("&11m prefixes");
    t.MenusetPelmarin = QStringLiteral("PELMARIN path");
    t.MenuSeparator = QStringLiteral("Separator");
    t.SepDefault = QStringLiteral("Default \t");
    t.SepEqual = QStringLiteral("Equal =");
    t.SepSlash = QStringLiteral("Slash /");
    t.LabelPelmarinpath = QStringLiteral("Full path of pelmarin.exe");
    t.ButtonParcourirPelmarin = QStringLiteral("Browse");
    t.ButtonAnnuler = QStringLiteral("Cancel");
    t.LabelPelmarin =
        QStringLiteral("If Pelmarin is not installed, please download it from this link :");
    t.LabelUrlTovak = Site("software.htm");
    t.ListeDXCCCaption = QStringLiteral("My DX");
    t.ListeDXCBCaption = QStringLiteral("My 11m DX");
    t.CountryHeader = QStringLiteral("COUNTRY");
    t.SaveQuestion = QStringLiteral("Do you want to save this map for the next session ?");
    t.AzimuthLabel = QStringLiteral(" Azimuth = ");
    t.RangeLabel = QStringLiteral(" Range = ");
    t.ConnectedMessage =
        QStringLiteral("An application is connected to Korvanta. Please, disconnect it.");
    t.DxMissingField = QStringLiteral("Please fill each field of a DX");
    t.DxLatitudeLetter = QStringLiteral("N or S");
    t.DxLongitudeLetter = QStringLiteral("E or W");
    t.DxWrongFormat = QStringLiteral("Wrong format!");
    t.NewerReleaseMessage =
        QStringLiteral("A more recent release is available on Tovak's web site");
    t.UpToDateMessage = QStringLiteral("You are up to date");
    return t;
}

ViewerTexts French() {
    ViewerTexts t;
    t.MenuLangue = QStringLiteral("&Langue");
    t.MenuOptions = QStringLiteral("&Options");
    t.MenuAide = QStringLiteral("&Aide");
    t.MenuInfoVersion = QStringLiteral("Voir si version plus récente au démarrage d'Korvanta");
    t.MenuFichier = QStringLiteral("&Fichier");
    t.MenuUnit = QStringLiteral("&Unité");
    t.MenuTime = QStringLiteral("&Heure");
    t.MenuAxes = QStringLiteral("Ajouter les &axes");
    t.MenuDistances = QStringLiteral("Ajouter les &cercles équidistants");
    t.MenuEnregistrer = QStringLiteral("&Enregister la carte azimutale");
    t.Menugenerateur = QStringLiteral("&Retour au générateur de cartes");
    t.MenuListeDXCC = QStringLiteral("&Gérer mes DX");
    t.MenuChoixListe = QStringLiteral("&Choix de la liste");
    t.MenuDXCCOM = QStringLiteral("Préfixes radioa&mateur");
    t.MenuDXCCCB = QStringLiteral("Préfixes &11m");
    t.MenusetPelmarin = QStringLiteral("Chemin PELMARIN");
    t.MenuSeparator = QStringLiteral("Séparateur");
    t.SepDefault = QStringLiteral("Par défaut \t");
    t.SepEqual = QStringLiteral("Egal =");
    t.SepSlash = QStringLiteral("Barre de fraction / ");
    t.LabelPelmarinpath = QStringLiteral("Chemin complet de pelmarin.exe");
    t.ButtonParcourirPelmarin = QStringLiteral("Parcourir");
    t.ButtonAnnuler = QStringLiteral("Annuler");
    t.LabelPelmarin =
        QStringLiteral("Si Pelmarin n'est pas installé, téléchargez-le depuis ce lien :");
    t.LabelUrlTovak = Site("logiciel.htm");
    t.ListeDXCCCaption = QStringLiteral("Mes DX");
    t.ListeDXCBCaption = QStringLiteral("Mes DX 11m");
    t.CountryHeader = QStringLiteral("PAYS");
    t.SaveQuestion = QStringLiteral("Voulez-vous enregistrer la carte pour la session suivante ?");
    t.AzimuthLabel = QStringLiteral(" Azimut = ");
    t.RangeLabel = QStringLiteral(" Distance = ");
    t.ConnectedMessage =
        QStringLiteral("Une application est connectée à Korvanta. SVP, déconnectez-là.");
    t.DxMissingField = QStringLiteral("SVP, remplissez chaque champ d'un DX");
    t.DxLatitudeLetter = QStringLiteral("N ou S");
    t.DxLongitudeLetter = QStringLiteral("E ou W");
    t.DxWrongFormat = QStringLiteral("Format érroné!");
    t.NewerReleaseMessage =
        QStringLiteral("Une version plus récente est disponible sur le site de Tovak");
    t.UpToDateMessage = QStringLiteral("Vous êtes à jour");
    return t;
}

ViewerTexts Spanish() {
    ViewerTexts t;
    t.MenuLangue = QStringLiteral("&Idioma");
    t.MenuOptions = QStringLiteral("&Opciones");
    t.MenuAide = QStringLiteral("A&yuda");
    t.MenuInfoVersion = QStringLiteral("Buscar una nueva versión cuando se inicia el software");
    t.MenuFichier = QStringLiteral("&Archivo");
    t.MenuUnit = QStringLiteral("&Unidad");
    t.MenuTime = QStringLiteral("&Tiempo");
    t.MenuAxes = QStringLiteral("Añadir el &eje");
    t.MenuDistances = QStringLiteral("Añadir &círculos equidistantes");
    t.MenuEnregistrer = QStringLiteral("&Guardar este mapa azimut");
    t.Menugenerateur = QStringLiteral("&Volver a generador de mapas");
    t.MenuListeDXCC = QStringLiteral("Administrar mis &DX");
    t.MenuChoixListe = QStringLiteral("Seleccione la &lista");
    t.MenuDXCCOM = QStringLiteral("Prefijos &Ham");
    t.MenuDXCCCB = QStringLiteral("Prefijos &11m");
    t.MenusetPelmarin = QStringLiteral("Ruta PELMARIN");
    t.MenuSeparator = QStringLiteral("Separador");
    t.SepDefault = QStringLiteral("Por defecto \t");
    t.SepEqual = QStringLiteral("Igualdad =");
    t.SepSlash = QStringLiteral("Raya vertical /");
    t.LabelPelmarinpath = QStringLiteral("Ruta completa del pelmarin.exe");
    t.ButtonParcourirPelmarin = QStringLiteral("Navigar");
    t.ButtonAnnuler = QStringLiteral("Cancelar");
    t.LabelPelmarin =
        QStringLiteral("Si Pelmarin no está instalado, puede descargarlo desde este enlace: ");
    t.LabelUrlTovak = Site("software.htm");
    t.ListeDXCCCaption = QStringLiteral("Mi DX");
    t.ListeDXCBCaption = QStringLiteral("Mi 11m DX");
    t.CountryHeader = QStringLiteral("PAÍS");
    t.SaveQuestion = QStringLiteral("¿Desea guardar este mapa para la próxima sesión?");
    t.AzimuthLabel = QStringLiteral(" Azimut = ");
    t.RangeLabel = QStringLiteral(" Rango = ");
    t.ConnectedMessage =
        QStringLiteral("Una aplicación se conecta a Korvanta. Por favor, desconéctelo.");
    t.DxMissingField = QStringLiteral("Rellene cada campo de un DX");
    t.DxLatitudeLetter = QStringLiteral("N or S");
    t.DxLongitudeLetter = QStringLiteral("E or O");
    t.DxWrongFormat = QStringLiteral("Formato incorrecto!");
    // The address on a line of its own: the box breaks lines after "http://" otherwise.
    t.NewerReleaseMessage =
        QStringLiteral("Una versión más reciente está disponible ! Consulte:\n") +
        QString::fromLatin1(MakerSite);
    t.UpToDateMessage = QStringLiteral("Usted está al día!");
    return t;
}

} // namespace

const ViewerTexts* ViewerTextsFor(const QString& languageCode) {
    static const ViewerTexts e = English();
    static const ViewerTexts f = French();
    static const ViewerTexts s = Spanish();
    if (languageCode == QLatin1String("E")) return &e;
    if (languageCode == QLatin1String("F")) return &f;
    if (languageCode == QLatin1String("S")) return &s;
    return nullptr;
}

const SaveTexts* SaveTextsFor(const QString& languageCode) {
    static const SaveTexts e{QStringLiteral("Cancel"),
                             QStringLiteral("File name must be like *.bmp !")};
    static const SaveTexts f{QStringLiteral("Annuler"),
                             QStringLiteral("Entrer un nom de fichier sous la forme *.bmp !")};
    if (languageCode == QLatin1String("E")) return &e;
    if (languageCode == QLatin1String("F")) return &f;
    if (languageCode == QLatin1String("S")) return &e; // Spanish shows the English texts
    return nullptr;
}

QString ClockTimeFormat(const QString& longTimeFormat) {
    const QString out = TimeFormatWithoutZone(longTimeFormat);
    bool quoted = false;
    bool hasSeconds = false;
    for (const QChar c : out) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('s')) hasSeconds = true;
    }
    if (out.isEmpty()) return QStringLiteral("HH:mm:ss");
    if (hasSeconds) return out;
    // Seconds after the last minutes field.
    const qsizetype m = out.lastIndexOf(QLatin1String("mm"));
    if (m < 0) return QStringLiteral("HH:mm:ss");
    return QString(out).insert(m + 2, QLatin1String(":ss"));
}

QString ClockTimeText(const QDateTime& t, const QString& longTimeFormat, bool utc,
                      const QLocale& locale) {
    QString text = QLatin1Char(' ') + locale.toString(t, ClockTimeFormat(longTimeFormat));
    if (utc) text += QStringLiteral(" Z");
    return text;
}

QString ClockDateText(const QDateTime& t, const QString& shortDateFormat, const QLocale& locale) {
    return QLatin1Char(' ') + locale.toString(t, shortDateFormat);
}

} // namespace viewer
