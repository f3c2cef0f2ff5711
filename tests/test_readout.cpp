// The viewer's toolkit-free rules: the map readout, the language tables and
// the clock texts.
#include "viewer/Languages.h"
#include "viewer/Readout.h"

#include <gtest/gtest.h>

namespace {

const QString Az = QStringLiteral(" Azimuth = ");
const QString Rg = QStringLiteral(" Range = ");
constexpr geo::Real Km = 1.0L;
constexpr geo::Real Mile = 1.609344L;

struct Case {
    int x, y;
    const char* direct;
    const char* longPath;
    const char* pointed;
};

void ExpectReadout(const Case& c, geo::Real unit) {
    const viewer::Readout r = viewer::ReadoutAt(c.x, c.y, unit, Az, Rg);
    SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
    EXPECT_TRUE(r.inside);
    EXPECT_EQ(r.direct.toStdString(), c.direct);
    EXPECT_EQ(r.longPath.toStdString(), c.longPath);
    EXPECT_EQ(r.pointedBearing.toStdString(), c.pointed);
}

TEST(Readout, PointsOfTheDiscInKilometres) {
    const Case cases[] = {
        {300, 300, " Azimuth = 90° /  Range = 0 km", " Azimuth = 270° /  Range = 40000 km", "90"},
        {400, 200, " Azimuth = 45° /  Range = 9428 km", " Azimuth = 225° /  Range = 30572 km",
         "45"},
        {300, 0, " Azimuth = 0° /  Range = 20000 km", " Azimuth = 180° /  Range = 20000 km", "0"},
        {0, 300, " Azimuth = 270° /  Range = 20000 km", " Azimuth = 90° /  Range = 20000 km",
         "270"},
        // 359.80 is not reduced: it reads 360, the long path 180.
        {299, 10, " Azimuth = 360° /  Range = 19333 km", " Azimuth = 180° /  Range = 20667 km",
         "360"},
        {100, 500, " Azimuth = 225° /  Range = 18856 km", " Azimuth = 45° /  Range = 21144 km",
         "225"},
        // Straight down: the long path is 360 mod 360 = 0.
        {300, 400, " Azimuth = 180° /  Range = 6667 km", " Azimuth = 0° /  Range = 33333 km",
         "180"},
        {600, 300, " Azimuth = 90° /  Range = 20000 km", " Azimuth = 270° /  Range = 20000 km",
         "90"},
        {301, 400, " Azimuth = 179° /  Range = 6667 km", " Azimuth = 359° /  Range = 33333 km",
         "179"},
    };
    for (const Case& c : cases)
        ExpectReadout(c, Km);
}

TEST(Readout, Miles) {
    const Case cases[] = {
        {300, 0, " Azimuth = 0° /  Range = 12427 miles", " Azimuth = 180° /  Range = 12427 miles",
         "0"},
        {400, 200, " Azimuth = 45° /  Range = 5858 miles", " Azimuth = 225° /  Range = 18997 miles",
         "45"},
        {300, 300, " Azimuth = 90° /  Range = 0 miles", " Azimuth = 270° /  Range = 24855 miles",
         "90"},
    };
    for (const Case& c : cases)
        ExpectReadout(c, Mile);
}

TEST(Readout, OutsideTheDiscLeavesTheValuesEmpty) {
    for (const auto& [x, y] : {std::pair{0, 0}, {301, 0}, {599, 599}, {300, 601}}) {
        const viewer::Readout r = viewer::ReadoutAt(x, y, Km, Az, Rg);
        EXPECT_FALSE(r.inside);
        EXPECT_EQ(r.direct.toStdString(), " Azimuth =  /  Range = ");
        EXPECT_EQ(r.longPath, r.direct);
        EXPECT_TRUE(r.pointedBearing.isEmpty());
    }
    // The rim itself (r = 300 exactly) is inside.
    EXPECT_TRUE(viewer::ReadoutAt(300, 600, Km, Az, Rg).inside);
}

TEST(Readout, BearingAndPixelDistanceByQuadrant) {
    const auto p = viewer::BearingAndPixelDistance(299, 10);
    EXPECT_NEAR(static_cast<double>(p.bearing), 359.8024, 1e-4);
    EXPECT_NEAR(static_cast<double>(p.r), 290.0017, 1e-4);
    EXPECT_NEAR(static_cast<double>(viewer::BearingAndPixelDistance(0, 0).r), 424.2641, 1e-4);
    // The row of the centre: left reads 270, the centre and right 90.
    EXPECT_EQ(viewer::BearingAndPixelDistance(299, 300).bearing, 270);
    EXPECT_EQ(viewer::BearingAndPixelDistance(300, 300).bearing, 90);
    EXPECT_EQ(viewer::BearingAndPixelDistance(300, 100).bearing, 0);
    EXPECT_EQ(viewer::BearingAndPixelDistance(300, 500).bearing, 180);
    EXPECT_NEAR(static_cast<double>(viewer::BearingAndPixelDistance(200, 200).bearing), 315, 1e-12);
    EXPECT_NEAR(static_cast<double>(viewer::BearingAndPixelDistance(200, 400).bearing), 225, 1e-12);
    EXPECT_NEAR(static_cast<double>(viewer::BearingAndPixelDistance(400, 400).bearing), 135, 1e-12);
}

TEST(Readout, UnitWordComparesTheFactorWithOneExactly) {
    EXPECT_EQ(viewer::UnitWord(1.0L).toStdString(), " km");
    EXPECT_EQ(viewer::UnitWord(1.609344L).toStdString(), " miles");
    EXPECT_EQ(viewer::UnitWord(1.0L + 1e-15L).toStdString(), " miles");
}

TEST(Languages, OnlyTheThreeCodesHaveTexts) {
    ASSERT_NE(viewer::ViewerTextsFor(QStringLiteral("E")), nullptr);
    ASSERT_NE(viewer::ViewerTextsFor(QStringLiteral("F")), nullptr);
    ASSERT_NE(viewer::ViewerTextsFor(QStringLiteral("S")), nullptr);
    EXPECT_EQ(viewer::ViewerTextsFor(QString()), nullptr);
    EXPECT_EQ(viewer::ViewerTextsFor(QStringLiteral("e")), nullptr);
    EXPECT_EQ(viewer::ViewerTextsFor(QStringLiteral("EN")), nullptr);
    EXPECT_EQ(viewer::SaveTextsFor(QStringLiteral("D")), nullptr);
}

TEST(Languages, TextsWhoseBlanksAndTabsMatter) {
    const auto* e = viewer::ViewerTextsFor(QStringLiteral("E"));
    const auto* f = viewer::ViewerTextsFor(QStringLiteral("F"));
    const auto* s = viewer::ViewerTextsFor(QStringLiteral("S"));
    EXPECT_EQ(e->SepDefault.toStdString(), "Default \t");
    EXPECT_EQ(f->SepDefault.toStdString(), "Par défaut \t");
    EXPECT_EQ(s->SepDefault.toStdString(), "Por defecto \t");
    EXPECT_EQ(f->SepSlash.toStdString(), "Barre de fraction / ");
    EXPECT_EQ(s->LabelPelmarin.toStdString(),
              "Si Pelmarin no está instalado, puede descargarlo desde este enlace: ");
    EXPECT_EQ(s->DxLongitudeLetter.toStdString(), "E or O");
    EXPECT_EQ(s->DxLatitudeLetter.toStdString(), "N or S");
    EXPECT_EQ(f->RangeLabel.toStdString(), " Distance = ");
    EXPECT_EQ(s->AzimuthLabel.toStdString(), " Azimut = ");
    EXPECT_EQ(s->RangeLabel.toStdString(), " Rango = ");
    EXPECT_EQ(s->CountryHeader.toStdString(), "PAÍS");
    EXPECT_TRUE(f->LabelUrlTovak.endsWith(QStringLiteral("logiciel.htm")));
    EXPECT_TRUE(s->LabelUrlTovak.endsWith(QStringLiteral("software.htm")));
    EXPECT_TRUE(s->NewerReleaseMessage.startsWith(
        QStringLiteral("Una versión más reciente está disponible ! Consulte:\nhttp")));
}

TEST(Languages, SaveDialogShowsEnglishInSpanish) {
    const auto* e = viewer::SaveTextsFor(QStringLiteral("E"));
    const auto* f = viewer::SaveTextsFor(QStringLiteral("F"));
    const auto* s = viewer::SaveTextsFor(QStringLiteral("S"));
    EXPECT_EQ(s->ButtonCancel, e->ButtonCancel);
    EXPECT_EQ(s->FormatMessage.toStdString(), "File name must be like *.bmp !");
    EXPECT_EQ(f->ButtonCancel.toStdString(), "Annuler");
    EXPECT_EQ(f->FormatMessage.toStdString(), "Entrer un nom de fichier sous la forme *.bmp !");
}

TEST(Clock, TextsWithTheirLeadingBlankAndZ) {
    const QDateTime utc(QDate(2026, 12, 7), QTime(14, 5, 9), Qt::UTC);
    EXPECT_EQ(viewer::ClockTimeText(utc, QStringLiteral("HH:mm:ss"), true).toStdString(),
              " 14:05:09 Z");
    EXPECT_EQ(viewer::ClockTimeText(utc, QStringLiteral("HH:mm:ss"), false).toStdString(),
              " 14:05:09");
    EXPECT_EQ(viewer::ClockDateText(utc, QStringLiteral("dd/MM/yyyy")).toStdString(),
              " 07/12/2026");
    EXPECT_EQ(viewer::ClockDateText(utc, QStringLiteral("M/d/yy")).toStdString(), " 12/7/26");
}

TEST(Clock, LongTimeFormatLosesItsZoneAndKeepsSeconds) {
    EXPECT_EQ(viewer::ClockTimeFormat(QStringLiteral("HH:mm:ss t")).toStdString(), "HH:mm:ss");
    EXPECT_EQ(viewer::ClockTimeFormat(QStringLiteral("h:mm:ss AP tttt")).toStdString(),
              "h:mm:ss AP");
    EXPECT_EQ(viewer::ClockTimeFormat(QStringLiteral("h:mm AP")).toStdString(), "h:mm:ss AP");
    // A quoted literal keeps its letters.
    EXPECT_EQ(viewer::ClockTimeFormat(QStringLiteral("HH'h'mm:ss 'et'")).toStdString(),
              "HH'h'mm:ss 'et'");
    EXPECT_EQ(viewer::ClockTimeFormat(QString()).toStdString(), "HH:mm:ss");
    const QDateTime t(QDate(2026, 12, 7), QTime(14, 5, 9), Qt::UTC);
    EXPECT_EQ(viewer::ClockTimeText(t, QStringLiteral("h:mm:ss AP t"), true).toStdString(),
              " 2:05:09 PM Z");
}

// The long time and short date formats of the locales as the system gives
// them, and the clock texts they make in the locale's own words and digits.
TEST(Clock, TheZoneGoesWithItsBracketsInTheLocalesOwnWords) {
    const QDateTime t(QDate(2026, 12, 7), QTime(14, 5, 9), Qt::UTC);
    const struct {
        const char* locale;
        const char* timeFormat;
        const char* dateFormat;
        const char* time;
        const char* date;
    } cases[] = {
        {"es_ES", "H:mm:ss (t)", "d/M/yy", " 14:05:09 Z", " 7/12/26"},
        {"fr_FR", "HH:mm:ss t", "dd/MM/yyyy", " 14:05:09 Z", " 07/12/2026"},
        {"en_US", "h:mm:ss AP t", "M/d/yy", " 2:05:09 PM Z", " 12/7/26"},
        {"en_GB", "HH:mm:ss t", "dd/MM/yyyy", " 14:05:09 Z", " 07/12/2026"},
        {"de_DE", "HH:mm:ss t", "dd.MM.yy", " 14:05:09 Z", " 07.12.26"},
        {"ja_JP", "H\u6642mm\u5206ss\u79D2 t", "yyyy/MM/dd", " 14\u664205\u520609\u79D2 Z",
         " 2026/12/07"},
        {"ar_EG", "h:mm:ss AP t", "d\u200F/M\u200F/yyyy",
         " \u0662:\u0660\u0665:\u0660\u0669 \u0645 Z",
         " \u0667\u200F/\u0661\u0662\u200F/\u0662\u0660\u0662\u0666"},
        {"fa_IR", "H:mm:ss [t]", "yyyy/M/d", " \u06F1\u06F4:\u06F0\u06F5:\u06F0\u06F9 Z",
         " \u06F2\u06F0\u06F2\u06F6/\u06F1\u06F2/\u06F7"},
    };
    for (const auto& c : cases) {
        const QLocale locale(QString::fromLatin1(c.locale));
        const QString time =
            viewer::ClockTimeText(t, QString::fromUtf8(c.timeFormat), true, locale);
        EXPECT_EQ(time.toStdString(), c.time) << c.locale;
        EXPECT_EQ(viewer::ClockDateText(t, QString::fromUtf8(c.dateFormat), locale).toStdString(),
                  c.date)
            << c.locale;
        // The system's own format of that locale, whatever its version says.
        const QString own =
            viewer::ClockTimeText(t, locale.timeFormat(QLocale::LongFormat), true, locale);
        for (const char* left : {"(", ")", "[", "]", "UTC", "GMT", "t"})
            EXPECT_FALSE(own.contains(QLatin1String(left))) << c.locale << ": " << left;
    }
}

} // namespace
