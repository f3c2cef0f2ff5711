// The viewer's texts in the three languages and the clock's text forms.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace viewer {

// The address of Tovak's web site (the maker's pages are under it).
inline constexpr const char* MakerSite = "http://www.tovak.example/";

// Every text the viewer's language routine sets, for one language.
struct ViewerTexts {
    // Menus and controls of the viewer ("&" before the accelerator letter).
    QString MenuLangue;
    QString MenuOptions;
    QString MenuAide;
    QString MenuInfoVersion;
    QString MenuFichier;
    QString MenuUnit;
    QString MenuTime;
    QString MenuAxes;
    QString MenuDistances;
    QString MenuEnregistrer;
    QString Menugenerateur;
    QString MenuListeDXCC;
    QString MenuChoixListe;
    QString MenuDXCCOM;
    QString MenuDXCCCB;
    QString MenusetPelmarin;
    QString MenuSeparator;
    QString SepDefault;
    QString SepEqual;
    QString SepSlash;
    QString LabelPelmarinpath;
    QString ButtonParcourirPelmarin;
    QString ButtonAnnuler;
    QString LabelPelmarin;
    QString LabelUrlTovak; // caption and address of the maker's software page
    // Other windows.
    QString ListeDXCCCaption; // the "My DX" editor
    QString ListeDXCBCaption; // the "My 11m DX" editor
    QString CountryHeader;    // column 1, row 0 of the "My DX" grid
    // Message variables.
    QString SaveQuestion;
    QString AzimuthLabel;
    QString RangeLabel;
    QString ConnectedMessage;
    QString DxMissingField;
    QString DxLatitudeLetter;
    QString DxLongitudeLetter;
    QString DxWrongFormat;
    QString NewerReleaseMessage;
    QString UpToDateMessage;
};

// The texts of "E", "F" or "S"; null for any other code.
const ViewerTexts* ViewerTextsFor(const QString& languageCode);

// The save dialog's texts.
struct SaveTexts {
    QString ButtonCancel;
    QString FormatMessage;
};
const SaveTexts* SaveTextsFor(const QString& languageCode);

// The time format of the clock: the locale's long time format without any
// time-zone name, with seconds (added after the minutes when missing).
QString ClockTimeFormat(const QString& longTimeFormat);
// " " + time [+ " Z" in UTC], and " " + short date.
// In the locale's words and digits (month names, AM/PM, digits of the user's).
QString ClockTimeText(const QDateTime& t, const QString& longTimeFormat, bool utc,
                      const QLocale& locale = QLocale::c());
QString ClockDateText(const QDateTime& t, const QString& shortDateFormat,
                      const QLocale& locale = QLocale::c());

} // namespace viewer
