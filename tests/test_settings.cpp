// The settings file: its text form, the reading rules, the safe writing, and
// the choice of the program's folder.
#include "app/LocaleFormat.h"
#include "app/ProgramFolder.h"
#include "app/Settings.h"
#include "app/WindowPlace.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <iterator>
#include <limits>
#include <sys/stat.h>
#include <vector>

using namespace settings;

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

unsigned Mode(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

// Reads lines into a fresh state, recording the languages applied.
struct Reading {
    AppState app;
    ViewerState viewer;
    std::vector<std::pair<char, bool>> languages; // code, LanguageFromSettings at the time
    ReadResult result;

    explicit Reading(const QStringList& lines) {
        result = ApplySettingsLines(lines, app, viewer, WindowGeometry{}, [this](char code) {
            languages.emplace_back(code, app.LanguageFromSettings);
        });
    }
};

} // namespace

TEST(SettingsText, Windows1252BothWays) {
    // Every byte of the code page decodes to one character.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString decoded = DecodeWindows1252(all);
    ASSERT_EQ(decoded.size(), 256);
    EXPECT_EQ(decoded.at(0xB0), QChar(0x00B0)); // the degree sign
    EXPECT_EQ(decoded.at(0x80), QChar(0x20AC)); // euro
    EXPECT_EQ(decoded.at(0x92), QChar(0x2019));
    EXPECT_EQ(decoded.at(0x9F), QChar(0x0178));
    EXPECT_EQ(decoded.at(0xE9), QChar(0x00E9));
    EXPECT_EQ(EncodeWindows1252(decoded), all) << "every byte comes back as itself";

    EXPECT_EQ(EncodeWindows1252(QStringLiteral("48°51' N")), QByteArray("48\xB0"
                                                                        "51' N"));
    EXPECT_EQ(EncodeWindows1252(QStringLiteral("Ne peut créer")), QByteArray("Ne peut cr\xE9"
                                                                             "er"));
    // Characters outside the code page, one "?" each (also beyond the BMP).
    EXPECT_EQ(EncodeWindows1252(QStringLiteral("a日b\U0001F600c")), QByteArray("a?b?c"));
}

TEST(SettingsText, Utf8WithItsMarkOnlyWhenAValueDoesNotFitWindows1252) {
    const QString cyrillic = QStringLiteral("/home/u/\u041A\u0430\u0440\u0442\u0430/map.bmp");
    const QString greek = QStringLiteral("SV\tE\u03BB\u03BB\u03AC\u03B4\u03B1\t39\tN\t22\tE");
    const struct {
        QStringList lines;
        bool utf8;
    } cases[] = {
        {{"[KORVANTA]", "CENTRE_IMAGE=48\u00B051' N / 2\u00B022' E", "DX=F\tFran\u00E7e \u20AC?"},
         false},
        {{"[KORVANTA]", "IMAGE=" + cyrillic}, true},
        {{"[KORVANTA]", "UNIT=KM", "DX=" + greek}, true},
        {{"PELMARINPATH=/opt/\u6F22/pelmarin"}, true},
    };
    for (const auto& c : cases) {
        const QByteArray bytes = EncodeSettingsText(c.lines);
        EXPECT_EQ(bytes.startsWith("\xEF\xBB\xBF"), c.utf8) << c.lines.join('|').toStdString();
        if (!c.utf8) {
            QByteArray expected;
            for (const QString& l : c.lines)
                expected += EncodeWindows1252(l) + "\r\n";
            EXPECT_EQ(bytes, expected) << "every existing reader reads it as before";
        }
        // The reader gives back every character, both ways.
        EXPECT_EQ(SplitLines(DecodeSettingsText(bytes)), c.lines);
    }
    // A Windows-1252 file that merely starts like the mark's bytes would be
    // "ï»¿" at its very start: no file the program wrote starts so.
    EXPECT_EQ(DecodeSettingsText("\xB0X"), QStringLiteral("\u00B0X"));

    // Through the disk, with the reader of the start.
    QTemporaryDir dir;
    const QStringList lines{"[KORVANTA]", "IMAGE=" + cyrillic, "DX=" + greek, "UTC=Y"};
    ASSERT_EQ(WriteSettingsFile(dir.path(), lines), QString());
    QStringList read;
    QString error;
    ASSERT_TRUE(LoadSettingsFile(dir.filePath(SettingsFile), read, error));
    AppState app;
    ViewerState viewer;
    ApplySettingsLines(read, app, viewer, WindowGeometry{}, {});
    EXPECT_EQ(app.SavedImagePath, cyrillic);
    EXPECT_EQ(app.MemoDX, QStringList{greek});
    EXPECT_TRUE(app.ClockIsUTC);
}

TEST(SettingsText, LinesSplitAtEveryKindOfBreak) {
    EXPECT_EQ(SplitLines(QStringLiteral("A\r\nB\rC\nD")), (QStringList{"A", "B", "C", "D"}));
    EXPECT_EQ(SplitLines(QStringLiteral("A\r\n\r\nB\r\n")), (QStringList{"A", "", "B"}));
    EXPECT_EQ(SplitLines(QStringLiteral("A\n\rB")), (QStringList{"A", "", "B"}));
    EXPECT_TRUE(SplitLines(QString()).isEmpty());
}

TEST(SettingsRead, KeysAreExactAndValuesUntrimmed) {
    Reading r({"[KORVANTA]", "unit=MILE", "=X", "no equal sign", "UNIT= MILE",
               "PELMARINPATH= /opt/pel=marin", "LIST=cb", "LANGUAGE=GERMAN", "LANGUAGE=english"});
    EXPECT_FALSE(r.result.failed);
    EXPECT_EQ(r.viewer.UnitFactor, 1.0L) << "neither a lower-case key nor a blank before MILE";
    EXPECT_EQ(r.app.PelmarinPath, QStringLiteral(" /opt/pel=marin"));
    EXPECT_FALSE(r.app.ListIsCB);
    EXPECT_TRUE(r.languages.empty());

    Reading miles({"UNIT=MILE", "LIST=CB", "UNIT=KM"});
    EXPECT_EQ(miles.viewer.UnitFactor, MileFactor) << "other unit values leave the unit";
    EXPECT_TRUE(miles.app.ListIsCB);
}

TEST(SettingsRead, LanguageLinesRunTheSwitchInTurn) {
    Reading r({"LANGUAGE=FRENCH", "LANGUAGE=SPANISH"});
    ASSERT_EQ(r.languages.size(), 2u);
    EXPECT_EQ(r.languages[0], std::make_pair('F', true));
    EXPECT_EQ(r.languages[1], std::make_pair('S', true));
    EXPECT_FALSE(r.app.LanguageFromSettings);
}

TEST(SettingsRead, EveryKeyInFileOrder) {
    Reading r({"SEPARATOR=2", "IMAGE=maps/paris.bmp", "CENTRE_IMAGE=45°30' N / 10°15' W", "WTOP=-5",
               "WLEFT=7", "WHEIGHT=600", "WWIDTH=900", "WHSB=12", "WTOPC=20", "WLEFTC=30",
               "WHEIGHTC=800", "WWIDTHC=1000", "DX=row one", "DXCB=cb row", "DX=", "DX=row two",
               "UTC=Yes", "VERSTART=1x", "SEPARATOR=3"});
    ASSERT_FALSE(r.result.failed) << r.result.errorText.toStdString();
    EXPECT_EQ(r.app.SeparatorIndex, 3) << "the last of two lines wins";
    EXPECT_EQ(r.app.SavedImagePath, QStringLiteral("maps/paris.bmp"));
    EXPECT_EQ(r.app.SavedImageCentre, QStringLiteral("45°30' N / 10°15' W"));
    EXPECT_EQ(r.app.pos.CentreText, "45°30' N / 10°15' W");
    EXPECT_EQ(r.app.pos.CentreLat, 45.5L);
    EXPECT_EQ(r.app.pos.CentreLon, -10.25L);
    EXPECT_EQ(r.app.ViewerTop, -5);
    EXPECT_EQ(r.app.ViewerLeft, 7);
    EXPECT_EQ(r.app.ViewerHeight, 600);
    EXPECT_EQ(r.app.ViewerWidth, 900);
    EXPECT_EQ(r.app.ViewerScroll, 12);
    EXPECT_EQ(r.result.carte, (WindowGeometry{20, 30, 800, 1000}));
    EXPECT_EQ(r.app.MemoDX, (QStringList{"row one", "", "row two"}));
    EXPECT_EQ(r.app.MemoDXCB, (QStringList{"cb row"}));
    EXPECT_TRUE(r.app.ClockIsUTC);
    EXPECT_TRUE(r.app.VersionCheckAtStart);

    Reading no({"UTC=y", "VERSTART=0", "UTC=", "VERSTART="});
    EXPECT_FALSE(no.app.ClockIsUTC);
    EXPECT_FALSE(no.app.VersionCheckAtStart);
}

TEST(SettingsRead, ConversionFailureStopsTheReading) {
    Reading r({"WTOPC=40", "UNIT=MILE", "WHEIGHT=6OO", "WLEFTC=50", "UTC=Y"});
    EXPECT_TRUE(r.result.failed);
    EXPECT_EQ(r.result.errorText, QStringLiteral("'6OO' is not a valid integer value"));
    EXPECT_EQ(r.viewer.UnitFactor, MileFactor) << "what came before stays";
    EXPECT_EQ(r.result.carte.top, 40);
    EXPECT_EQ(r.result.carte.left, 11) << "nothing after the failure";
    EXPECT_FALSE(r.app.ClockIsUTC);

    Reading blank({"SEPARATOR=", "UTC=Y"});
    EXPECT_TRUE(blank.result.failed);
    EXPECT_FALSE(blank.app.ClockIsUTC);

    Reading huge({"WTOP=99999999999"});
    EXPECT_TRUE(huge.result.failed);

    // A position part that is not a whole number also stops the reading.
    Reading centre({"CENTRE_IMAGE=4x°30' N / 10°15' W", "UTC=Y"});
    EXPECT_TRUE(centre.result.failed);
    EXPECT_EQ(centre.result.errorText, QStringLiteral("'4x' is not a valid integer value"));
    EXPECT_EQ(centre.app.SavedImageCentre, QStringLiteral("4x°30' N / 10°15' W"));
    EXPECT_FALSE(centre.app.ClockIsUTC);

    // A centre text without a degree sign is read quietly and sets nothing.
    Reading plain({"CENTRE_IMAGE=Paris", "UTC=Y"});
    EXPECT_FALSE(plain.result.failed);
    EXPECT_EQ(plain.app.pos.CentreLat, 0.0L);
    EXPECT_TRUE(plain.app.ClockIsUTC);
}

TEST(SettingsRead, WindowSizesWithinTheLimitsPositionsAsRead) {
    SizeLimits limits;
    limits.maxWidth = 1920;
    limits.maxHeight = 1080;
    AppState app;
    ViewerState viewer;
    const QStringList wild{"WTOP=-2147483648", "WLEFT=2147483647", "WHEIGHT=2147483647",
                           "WWIDTH=-7",        "WTOPC=2000000000", "WLEFTC=-2000000000",
                           "WHEIGHTC=0",       "WWIDTHC=99999999"};
    const ReadResult r = ApplySettingsLines(wild, app, viewer, WindowGeometry{}, {}, limits);
    ASSERT_FALSE(r.failed);
    EXPECT_EQ(app.ViewerTop, std::numeric_limits<int>::min());
    EXPECT_EQ(app.ViewerLeft, std::numeric_limits<int>::max());
    EXPECT_EQ(app.ViewerHeight, 1080);
    EXPECT_EQ(app.ViewerWidth, 100);
    EXPECT_EQ(r.carte, (WindowGeometry{2000000000, -2000000000, 100, 1920}));

    // Sizes inside the limits are taken unchanged; a number beyond 32 bits
    // is still a conversion failure.
    Reading usual(
        {"WHEIGHT=691", "WWIDTH=950", "WHEIGHTC=875", "WWIDTHC=1228", "WWIDTHC=99999999999"});
    EXPECT_EQ(usual.app.ViewerHeight, 691);
    EXPECT_EQ(usual.app.ViewerWidth, 950);
    EXPECT_EQ(usual.result.carte, (WindowGeometry{11, 11, 875, 1228}));
    EXPECT_TRUE(usual.result.failed);
}

TEST(SettingsRead, CentreTextsCutShort) {
    // Each stops where its text ends; what was read before stays.
    const std::pair<const char*, std::pair<long double, long double>> cases[] = {
        {"45\u00B0", {0, 0}},
        {"45\u00B030'", {0, 0}},
        {"45\u00B030' N", {45.5L, 0}},
        {"45\u00B030' N /", {45.5L, 0}},
        {"45\u00B030' N / 10\u00B0", {45.5L, 0}},
        {"45\u00B030' N / 10\u00B015'", {45.5L, 0}},
        {"45\u00B030' N / 10\u00B015' Q", {45.5L, 0}},
        // The pieces skipped by count are characters, also when they are
        // not the blank and the slash they should be.
        {"45\u00B030'\u00B0N / 10\u00B015' E", {45.5L, 10.25L}},
        {"45\u00B030' N\u00E9/\u00E910\u00B015'\u00E9W", {45.5L, -10.25L}},
        {"-5\u00B0-30' S / -1\u00B0-30' W", {5.5L, 1.5L}},
    };
    for (const auto& [text, expected] : cases) {
        Reading r({QStringLiteral("CENTRE_IMAGE=") + QString::fromUtf8(text), "UTC=Y"});
        EXPECT_FALSE(r.result.failed) << text;
        EXPECT_EQ(r.app.pos.CentreLat, expected.first) << text;
        EXPECT_EQ(r.app.pos.CentreLon, expected.second) << text;
        EXPECT_TRUE(r.app.ClockIsUTC) << text;
    }
    Reading empty({"CENTRE_IMAGE=\u00B0'", "UTC=Y"});
    EXPECT_TRUE(empty.result.failed) << "an empty number does not convert";
}

TEST(SettingsRead, CentreOffTheEarthIsNoSavedMap) {
    const struct {
        const char* centre;
        bool kept;
    } cases[] = {
        {"-2147483648\u00B0-2147483648' N / 2\u00B022' E", false}, // -2.18e9
        {"2147483647\u00B000' S / 2\u00B022' E", false},
        {"91\u00B000' N / 2\u00B022' E", false},
        {"45\u00B000' N / 181\u00B000' W", false},
        {"90\u00B000' N / 180\u00B000' W", true},
        {"48\u00B051' N / 2\u00B022' E", true},
    };
    for (const auto& c : cases) {
        const QString centre = QString::fromUtf8(c.centre);
        Reading r({"IMAGE=map.bmp", "CENTRE_IMAGE=" + centre, "UTC=Y"});
        EXPECT_FALSE(r.result.failed) << c.centre;
        EXPECT_TRUE(r.app.ClockIsUTC) << c.centre;
        EXPECT_EQ(r.app.SavedImagePath.isEmpty(), !c.kept) << c.centre;
        EXPECT_EQ(r.app.SavedImageCentre.isEmpty(), !c.kept) << c.centre;
        if (c.kept) continue;
        EXPECT_EQ(r.app.pos.CentreLat, 0) << c.centre;
        EXPECT_EQ(r.app.pos.CentreLon, 0) << c.centre;
        EXPECT_EQ(r.app.pos.CentreText, "") << c.centre;
    }
}

TEST(WindowPlace, TitleBarKeptOnAScreen) {
    const QList<QRect> two{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const struct {
        QRect frame;
        QPoint expected;
    } cases[] = {
        {{11, 11, 1228, 875}, {11, 11}},            // on the first screen
        {{2000, 900, 950, 691}, {2000, 900}},       // on the second, partly below it
        {{-1100, 40, 1228, 875}, {-1100, 40}},      // 128 pixels of the bar still show
        {{-1200, 40, 1228, 875}, {-1128, 40}},      // too few: just enough come back
        {{100, -5, 950, 691}, {100, 0}},            // the bar's top above the screen
        {{0, -2147483000, 950, 691}, {0, 0}},       // a damaged WTOP=
        {{2147480000, 500, 950, 691}, {3100, 500}}, // far right: the second screen
        {{500, 2000000000, 950, 691}, {500, 1056}}, // far below: the bar at the bottom
        {{-50, 100, 60, 60}, {0, 100}},             // a narrow window shows whole
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeepTitleBarOnScreens(c.frame, two), c.expected)
            << c.frame.x() << "," << c.frame.y();
    EXPECT_EQ(KeepTitleBarOnScreens(QRect(-9000, -9000, 10, 10), {}), QPoint(-9000, -9000));
}

TEST(SettingsRead, GarbageNeverBreaksTheReader) {
    // Random bytes, some lines starting with real keys, some very long.
    const char* keys[] = {"LANGUAGE=", "UNIT=", "SEPARATOR=", "IMAGE=", "CENTRE_IMAGE=", "WTOP=",
                          "WWIDTHC=",  "DX=",   "DXCB=",      "UTC=",   "VERSTART=",     ""};
    quint32 seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        for (int line = 0; line < 20; ++line) {
            bytes += keys[next() % std::size(keys)];
            const int length = next() % 7 == 0 ? 200000 : int(next() % 40);
            for (int i = 0; i < length; ++i)
                bytes +=
                    char(next() % 7 == 0 ? "0123456789\xB0' NSEW/"[next() % 19] : next() % 256);
            bytes += "\r\n";
        }
        AppState app;
        ViewerState viewer;
        int languages = 0;
        const ReadResult r = ApplySettingsLines(SplitLines(DecodeWindows1252(bytes)), app, viewer,
                                                WindowGeometry{}, [&](char) { ++languages; });
        EXPECT_EQ(r.failed, !r.errorText.isEmpty());
        EXPECT_GE(app.ViewerWidth, 100);
        EXPECT_GE(r.carte.width, 100);
    }
}

TEST(SettingsWrite, LinesInKeyOrderUnderTheirConditions) {
    // The example of a written file: English, miles, ham list, default
    // separator, no saved map, one DX row, UTC clock, no version check.
    Snapshot s;
    s.languages = {"ENGLISH"};
    s.unitFactor = MileFactor;
    s.dxLines = DxSettingsLines({"K\tUSA\t40\tN\t100\tW\t-5"}, {});
    s.clockIsUTC = true;
    EXPECT_EQ(SettingsLines(s),
              (QStringList{"[KORVANTA]", "LANGUAGE=ENGLISH", "UNIT=MILE", "SEPARATOR=0", "WTOP=0",
                           "WLEFT=0", "WHEIGHT=691", "WWIDTH=950", "WHSB=0", "WTOPC=11",
                           "WLEFTC=11", "WHEIGHTC=875", "WWIDTHC=1228",
                           "DX=K\tUSA\t40\tN\t100\tW\t-5", "UTC=Y", "VERSTART=0"}));

    Snapshot full;
    full.languages = {"FRENCH"};
    full.pelmarinPath = "/opt/pelmarin";
    full.listIsCB = true;
    full.separatorIndex = 2;
    full.savedImagePath = "paris.bmp";
    full.savedImageCentre = "48°51' N / 2°22' E";
    full.viewerTop = -4;
    full.carte = {1, 2, 3, 4};
    full.dxLines = DxSettingsLines({"", "A"}, {"B", ""});
    full.versionCheckAtStart = true;
    EXPECT_EQ(SettingsLines(full), (QStringList{"[KORVANTA]",
                                                "LANGUAGE=FRENCH",
                                                "PELMARINPATH=/opt/pelmarin",
                                                "UNIT=KM",
                                                "LIST=CB",
                                                "SEPARATOR=2",
                                                "IMAGE=paris.bmp",
                                                "CENTRE_IMAGE=48°51' N / 2°22' E",
                                                "WTOP=-4",
                                                "WLEFT=0",
                                                "WHEIGHT=691",
                                                "WWIDTH=950",
                                                "WHSB=0",
                                                "WTOPC=1",
                                                "WLEFTC=2",
                                                "WHEIGHTC=3",
                                                "WWIDTHC=4",
                                                "DX=A",
                                                "DXCB=B",
                                                "UTC=N",
                                                "VERSTART=1"}));

    // A separator index that names no item leaves the default item checked.
    Snapshot odd;
    odd.separatorIndex = 7;
    EXPECT_TRUE(SettingsLines(odd).contains("SEPARATOR=0"));
}

TEST(SettingsWrite, CentreWithoutImageIsReadButNotWritten) {
    Reading r({"CENTRE_IMAGE=45°30' N / 10°15' W"});
    EXPECT_EQ(r.app.pos.CentreLat, 45.5L);
    Snapshot s;
    s.savedImagePath = r.app.SavedImagePath;
    s.savedImageCentre = r.app.SavedImageCentre;
    for (const QString& line : SettingsLines(s))
        EXPECT_FALSE(line.startsWith("CENTRE_IMAGE=") || line.startsWith("IMAGE="));
}

TEST(SettingsWrite, AddedKeysAfterTheOthersOnlyWhenChanged) {
    // Defaults write nothing more than the classic file holds.
    const QStringList plain = SettingsLines(Snapshot{});
    EXPECT_EQ(plain.last(), "VERSTART=0");

    Snapshot s;
    s.extra.RotatorAddress = "shack:4533";
    s.extra.RotatorOn = true;
    s.extra.FillGaps = true;
    s.extra.GreyLine = true;
    s.extra.LocatorGrid = true;
    s.extra.CountryFile = "/home/me/cty.dat";
    const QStringList lines = SettingsLines(s);
    const QStringList tail = lines.mid(lines.indexOf("VERSTART=0") + 1);
    EXPECT_EQ(tail, (QStringList{"ROTATOR=shack:4533", "ROTATORON=1", "FILLGAPS=1", "GREYLINE=1",
                                 "GRID=1", "CTYFILE=/home/me/cty.dat"}));

    // Read back, they give the same choices; unknown keys are skipped.
    Reading back(lines + QStringList{"FUTUREKEY=7"});
    EXPECT_FALSE(back.result.failed);
    EXPECT_EQ(back.app.extra, s.extra);
    Reading off({"ROTATORON=0", "FILLGAPS=x", "ROTATOR=", "GRID=1"});
    EXPECT_EQ(off.app.extra.RotatorAddress, "localhost:4533");
    EXPECT_FALSE(off.app.extra.RotatorOn);
    EXPECT_FALSE(off.app.extra.FillGaps);
    EXPECT_TRUE(off.app.extra.LocatorGrid);
}

TEST(SettingsRead, LaterKeysGoodValuesReadBadOnesKeepTheDefault) {
    struct Case {
        const char* line;
        std::function<void(ExtraSettings&)> expect; // what changes from the defaults
    };
    const std::vector<Case> cases = {
        {"ROTATORKIND=pst", [](ExtraSettings& e) { e.RotatorKind = "PST"; }},
        {"ROTATORKIND= N1MM ", [](ExtraSettings& e) { e.RotatorKind = "N1MM"; }},
        {"ROTATORKIND=serial", {}},
        {"ROTATORKIND=", {}},
        {"ROTATORNAME=Tower", [](ExtraSettings& e) { e.RotatorName = "Tower"; }},
        {"BEAMWIDTH=30", [](ExtraSettings& e) { e.BeamWidth = 30; }},
        {"BEAMWIDTH=1", [](ExtraSettings& e) { e.BeamWidth = 1; }},
        {"BEAMWIDTH=360", [](ExtraSettings& e) { e.BeamWidth = 360; }},
        {"BEAMWIDTH=0", {}},
        {"BEAMWIDTH=361", {}},
        {"BEAMWIDTH=wide", {}},
        {"BEAMWIDTH=nan", {}},
        {"BEAMWIDTH=inf", {}},
        {"PARKAZ=180", [](ExtraSettings& e) { e.ParkAzimuth = "180"; }},
        {"PARKAZ=400", {}},
        {"PARKAZ=north", {}},
        {"TURNMIN=0", [](ExtraSettings& e) { e.TurnMin = 0; }},
        {"TURNMIN=7.5", [](ExtraSettings& e) { e.TurnMin = 7.5; }},
        {"TURNMIN=-1", {}},
        {"TURNMIN=181", {}},
        {"TURNMIN=NaN", {}},
        {"SPOTAGE=60", [](ExtraSettings& e) { e.SpotAge = 60; }},
        {"SPOTAGE=1440", [](ExtraSettings& e) { e.SpotAge = 1440; }},
        {"SPOTAGE=0", {}},
        {"SPOTAGE=1441", {}},
        {"SPOTAGE=1e400", {}},
        {"SPOTAGE=half", {}},
        {"RANGE=2500", [](ExtraSettings& e) { e.RangeKm = 2500; }},
        {"RANGE=20000", [](ExtraSettings& e) { e.RangeKm = 20000; }},
        {"RANGE=20001", {}},
        {"RANGE=-5", {}},
        {"RANGE=nan", {}},
        {"RANGE=far", {}},
        {"CLUSTERON=1", [](ExtraSettings& e) { e.ClusterOn = true; }},
        {"CLUSTER=dx.example:7300", [](ExtraSettings& e) { e.Cluster = "dx.example:7300"; }},
        {"CLUSTERCALL=F4ABC", [](ExtraSettings& e) { e.ClusterCall = "F4ABC"; }},
        {"WSJTXON=1", [](ExtraSettings& e) { e.WsjtxOn = true; }},
        {"WSJTX=239.255.0.1:2237", [](ExtraSettings& e) { e.Wsjtx = "239.255.0.1:2237"; }},
        {"WSJTX=", {}},
    };
    for (const Case& c : cases) {
        ExtraSettings expected;
        if (c.expect) c.expect(expected);
        const Reading r({c.line});
        EXPECT_FALSE(r.result.failed) << c.line;
        EXPECT_EQ(r.app.extra, expected) << c.line;
    }
}

TEST(SettingsWrite, LaterKeysOnlyWhenNotDefaultAfterTheOlderKeys) {
    struct Case {
        std::function<void(ExtraSettings&)> change;
        QStringList written; // the lines after VERSTART=
    };
    const std::vector<Case> cases = {
        {[](ExtraSettings&) {}, {}},
        {[](ExtraSettings& e) { e.RotatorKind = "PST"; }, {"ROTATORKIND=PST"}},
        {[](ExtraSettings& e) { e.BeamWidth = 30; }, {"BEAMWIDTH=30"}},
        {[](ExtraSettings& e) { e.TurnMin = 7.5; }, {"TURNMIN=7.5"}},
        {[](ExtraSettings& e) { e.SpotAge = 90; }, {"SPOTAGE=90"}},
        {[](ExtraSettings& e) { e.RangeKm = 2500; }, {"RANGE=2500"}},
        {[](ExtraSettings& e) { e.ParkAzimuth = "270"; }, {"PARKAZ=270"}},
        {[](ExtraSettings& e) {
             e.FillGaps = true;
             e.RangeKm = 5000;
             e.ClusterOn = true;
             e.Cluster = "dx:7300";
             e.WsjtxOn = true;
         },
         {"FILLGAPS=1", "CLUSTERON=1", "CLUSTER=dx:7300", "WSJTXON=1", "RANGE=5000"}},
    };
    for (const Case& c : cases) {
        Snapshot s;
        c.change(s.extra);
        const QStringList lines = SettingsLines(s);
        const QStringList tail = lines.mid(lines.indexOf("VERSTART=0") + 1);
        EXPECT_EQ(tail, c.written) << tail.join(' ').toStdString();
        // Read back, the same values.
        const Reading back(lines);
        EXPECT_EQ(back.app.extra, s.extra) << tail.join(' ').toStdString();
    }
}

TEST(SettingsFile, RoundTripThroughTheDisk) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Snapshot s;
    s.languages = {"SPANISH"};
    s.pelmarinPath = " C:\\Programmes\\Pelmarin\\pelmarin.exe";
    s.unitFactor = MileFactor;
    s.listIsCB = true;
    s.separatorIndex = 1;
    s.savedImagePath = "carte été.bmp";
    s.savedImageCentre = "48°51' N / 2°22' E";
    s.viewerTop = 3;
    s.viewerLeft = -8;
    s.viewerHeight = 500;
    s.viewerWidth = 700;
    s.viewerScroll = 40;
    s.carte = {5, 6, 700, 1100};
    s.dxLines = DxSettingsLines({"F\tFrance\t46\tN\t2\tE\t1"}, {"14\tFrance\t46\tN\t2\tE"});
    s.clockIsUTC = true;
    s.versionCheckAtStart = true;
    ASSERT_EQ(WriteSettingsFile(dir.path(), SettingsLines(s)), QString());

    const QString ini = dir.filePath(SettingsFile);
    const QByteArray bytes = ReadBytes(ini);
    EXPECT_TRUE(bytes.startsWith("[KORVANTA]\r\nLANGUAGE=SPANISH\r\n"));
    EXPECT_TRUE(bytes.endsWith("VERSTART=1\r\n"));
    EXPECT_TRUE(bytes.contains("CENTRE_IMAGE=48\xB0"
                               "51' N / 2\xB0"
                               "22' E\r\n"));
    EXPECT_TRUE(bytes.contains("IMAGE=carte \xE9t\xE9.bmp\r\n"));
    EXPECT_FALSE(bytes.contains("\xC2\xB0")) << "no UTF-8 in the file";
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(SettingsTempFile)));

    QStringList lines;
    QString error;
    ASSERT_TRUE(LoadSettingsFile(ini, lines, error));
    std::vector<char> languages;
    AppState app;
    ViewerState viewer;
    const ReadResult r = ApplySettingsLines(lines, app, viewer, WindowGeometry{},
                                            [&](char c) { languages.push_back(c); });
    ASSERT_FALSE(r.failed);
    EXPECT_EQ(languages, std::vector<char>{'S'});
    EXPECT_EQ(app.PelmarinPath, s.pelmarinPath);
    EXPECT_EQ(viewer.UnitFactor, MileFactor);
    EXPECT_TRUE(app.ListIsCB);
    EXPECT_EQ(app.SeparatorIndex, 1);
    EXPECT_EQ(app.SavedImagePath, s.savedImagePath);
    EXPECT_EQ(app.SavedImageCentre, s.savedImageCentre);
    EXPECT_EQ(app.pos.CentreText, "48°51' N / 2°22' E");
    EXPECT_EQ(app.ViewerTop, 3);
    EXPECT_EQ(app.ViewerLeft, -8);
    EXPECT_EQ(app.ViewerHeight, 500);
    EXPECT_EQ(app.ViewerWidth, 700);
    EXPECT_EQ(app.ViewerScroll, 40);
    EXPECT_EQ(r.carte, s.carte);
    EXPECT_EQ(app.MemoDX, (QStringList{"F\tFrance\t46\tN\t2\tE\t1"}));
    EXPECT_EQ(app.MemoDXCB, (QStringList{"14\tFrance\t46\tN\t2\tE"}));
    EXPECT_TRUE(app.ClockIsUTC);
    EXPECT_TRUE(app.VersionCheckAtStart);

    // Writing what was read gives the same file again.
    Snapshot again;
    again.languages = {"SPANISH"};
    again.pelmarinPath = app.PelmarinPath;
    again.unitFactor = viewer.UnitFactor;
    again.listIsCB = app.ListIsCB;
    again.separatorIndex = app.SeparatorIndex;
    again.savedImagePath = app.SavedImagePath;
    again.savedImageCentre = app.SavedImageCentre;
    again.viewerTop = app.ViewerTop;
    again.viewerLeft = app.ViewerLeft;
    again.viewerHeight = app.ViewerHeight;
    again.viewerWidth = app.ViewerWidth;
    again.viewerScroll = app.ViewerScroll;
    again.carte = r.carte;
    again.dxLines = DxSettingsLines(app.MemoDX, app.MemoDXCB);
    again.clockIsUTC = app.ClockIsUTC;
    again.versionCheckAtStart = app.VersionCheckAtStart;
    ASSERT_EQ(WriteSettingsFile(dir.path(), SettingsLines(again)), QString());
    EXPECT_EQ(ReadBytes(ini), bytes);
}

TEST(SettingsFile, ReadsLoneCrAndLfAndTheDegreeByte) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(SettingsFile);
    WriteBytes(ini, "[KORVANTA]\rCENTRE_IMAGE=45\xB0"
                    "30' N / 10\xB0"
                    "15' W\nUTC=Y");
    QStringList lines;
    QString error;
    ASSERT_TRUE(LoadSettingsFile(ini, lines, error));
    EXPECT_EQ(lines, (QStringList{"[KORVANTA]", "CENTRE_IMAGE=45°30' N / 10°15' W", "UTC=Y"}));
    AppState app;
    ViewerState viewer;
    ApplySettingsLines(lines, app, viewer, WindowGeometry{}, {});
    EXPECT_EQ(app.pos.CentreLat, 45.5L);
    EXPECT_EQ(app.pos.CentreLon, -10.25L);
    EXPECT_TRUE(app.ClockIsUTC);

    EXPECT_FALSE(LoadSettingsFile(dir.filePath("missing.ini"), lines, error));
    EXPECT_TRUE(error.contains("missing.ini"));
    // A folder in place of the file cannot be loaded either.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    EXPECT_FALSE(LoadSettingsFile(dir.filePath("folder.ini"), lines, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(SettingsFile, ReadOnlyAfterWritingAndStillReplacedNextTime) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(SettingsFile);
    ASSERT_EQ(WriteSettingsFile(dir.path(), {"[KORVANTA]", "UTC=N"}), QString());
    EXPECT_EQ(Mode(ini), 0444u);
    ASSERT_EQ(WriteSettingsFile(dir.path(), {"[KORVANTA]", "UTC=Y"}), QString());
    EXPECT_EQ(ReadBytes(ini), QByteArray("[KORVANTA]\r\nUTC=Y\r\n"));
    EXPECT_EQ(Mode(ini), 0444u);

    // A read-only temporary file left by an earlier run is cleared first.
    const QString temp = dir.filePath(SettingsTempFile);
    WriteBytes(temp, "left over");
    ::chmod(QFile::encodeName(temp).constData(), 0444);
    ASSERT_EQ(WriteSettingsFile(dir.path(), {"[KORVANTA]", "UTC=N"}), QString());
    EXPECT_EQ(ReadBytes(ini), QByteArray("[KORVANTA]\r\nUTC=N\r\n"));
    EXPECT_FALSE(QFileInfo::exists(temp));
}

TEST(SettingsFile, OnlyPlainFilesOfSaneSizeAreLoaded) {
    QTemporaryDir dir;
    QStringList lines{"old"};
    QString error;

    // Far too large (a sparse file: no time and no disk spent).
    const QString big = dir.filePath("big.ini");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("UTC=Y\r\n");
        ASSERT_TRUE(f.resize(MaxSettingsFileSize + 1));
    }
    EXPECT_FALSE(LoadSettingsFile(big, lines, error));
    EXPECT_TRUE(error.contains("larger")) << error.toStdString();
    EXPECT_TRUE(lines.isEmpty());
    // Exactly at the limit it is still read.
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(MaxSettingsFileSize));
    }
    ASSERT_TRUE(LoadSettingsFile(big, lines, error));
    EXPECT_EQ(lines.first(), QStringLiteral("UTC=Y"));

    // A pipe would wait for a writer for ever; a device never ends.
    const QString pipe = dir.filePath("pipe.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    EXPECT_FALSE(LoadSettingsFile(pipe, lines, error));
    EXPECT_FALSE(error.isEmpty());
    const QString device = dir.filePath("zero.ini");
    ASSERT_TRUE(QFile::link("/dev/zero", device));
    EXPECT_FALSE(LoadSettingsFile(device, lines, error));
}

TEST(SettingsFile, FileThatAppearedDuringTheRunIsLeftAlone) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(SettingsFile);
    // No file at start: the new one is created and marked read-only.
    ASSERT_EQ(WriteSettingsFile(dir.path(), {"[KORVANTA]", "UTC=N"}, false), QString());
    EXPECT_EQ(ReadBytes(ini), QByteArray("[KORVANTA]\r\nUTC=N\r\n"));
    EXPECT_EQ(Mode(ini), 0444u);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(SettingsTempFile)));

    // Someone else's file, created while the program ran without one: it
    // stays, and the new lines wait in the temporary file, without a message.
    QTemporaryDir other;
    const QString theirs = other.filePath(SettingsFile);
    WriteBytes(theirs, "[KORVANTA]\r\nUTC=Y\r\n");
    EXPECT_EQ(WriteSettingsFile(other.path(), {"[KORVANTA]", "UTC=N"}, false), QString());
    EXPECT_EQ(ReadBytes(theirs), QByteArray("[KORVANTA]\r\nUTC=Y\r\n"));
    EXPECT_EQ(ReadBytes(other.filePath(SettingsTempFile)), QByteArray("[KORVANTA]\r\nUTC=N\r\n"));
}

TEST(SettingsFile, FailedWriteLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(SettingsFile);
    WriteBytes(ini, "[KORVANTA]\r\nUTC=Y\r\n");

    // A folder in the way of the temporary file (tests may run as root, so
    // file modes alone would not stop the write).
    ASSERT_TRUE(QDir(dir.path()).mkdir(SettingsTempFile));
    EXPECT_FALSE(WriteSettingsFile(dir.path(), {"[KORVANTA]", "UTC=N"}).isEmpty());
    EXPECT_EQ(ReadBytes(ini), QByteArray("[KORVANTA]\r\nUTC=Y\r\n"));
    ASSERT_TRUE(QDir(dir.path()).rmdir(SettingsTempFile));

    // A program folder below a plain file cannot hold anything.
    WriteBytes(dir.filePath("plain"), "x");
    EXPECT_FALSE(WriteSettingsFile(dir.filePath("plain"), {"[KORVANTA]"}).isEmpty());

    // A folder named like the settings file: the new lines stay in the
    // temporary file and the failure is reported.
    QTemporaryDir other;
    ASSERT_TRUE(QDir(other.path()).mkpath(SettingsFile + "/inside"));
    EXPECT_FALSE(WriteSettingsFile(other.path(), {"[KORVANTA]"}).isEmpty());
    EXPECT_TRUE(QFileInfo(other.filePath(SettingsFile)).isDir());
}

TEST(ProgramFolder, ExecutableFolderWhenWritableElseConfigFolder) {
    EXPECT_EQ(ChooseProgramFolder("/opt/korvanta/", true, "/x", "/home/a"), "/opt/korvanta");
    EXPECT_EQ(ChooseProgramFolder("/usr/bin", false, "/home/a/cfg", "/home/a"),
              "/home/a/cfg/korvanta");
    EXPECT_EQ(ChooseProgramFolder("/usr/bin", false, "", "/home/a"), "/home/a/.config/korvanta");
    EXPECT_EQ(ChooseProgramFolder("/usr/bin", false, "relative/cfg", "/home/a"),
              "/home/a/.config/korvanta")
        << "a relative XDG_CONFIG_HOME is ignored";

    QTemporaryDir dir;
    EXPECT_TRUE(FolderAcceptsFiles(dir.path()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList())
        << "the probe is removed again";
    EXPECT_FALSE(FolderAcceptsFiles(dir.filePath("missing")));
    WriteBytes(dir.filePath("plain"), "x");
    EXPECT_FALSE(FolderAcceptsFiles(dir.filePath("plain")));

    // Installed where nothing can be written: the configuration folder is
    // created and used.
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("cfg")));
    const QString chosen = ResolveProgramFolder(dir.filePath("plain/bin"));
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_EQ(chosen, dir.filePath("cfg/korvanta"));
    EXPECT_TRUE(QFileInfo(chosen).isDir());
    EXPECT_EQ(ResolveProgramFolder(dir.path()), dir.path());
}

TEST(ProgramFolder, SettingsBesideTheProgramReadWhileTheConfigFolderHasNone) {
    QTemporaryDir exe;
    QTemporaryDir config;
    EXPECT_EQ(SettingsFileToRead(config.path(), exe.path()), QString());
    WriteBytes(exe.filePath("korvanta.ini"), "UTC=Y\r\n");
    EXPECT_EQ(SettingsFileToRead(config.path(), exe.path()), exe.filePath("korvanta.ini"));
    EXPECT_EQ(SettingsFileToRead(exe.path(), exe.path()), exe.filePath("korvanta.ini"));
    // Once the configuration folder has its own, that one counts.
    WriteBytes(config.filePath("korvanta.ini"), "UTC=N\r\n");
    EXPECT_EQ(SettingsFileToRead(config.path(), exe.path()), config.filePath("korvanta.ini"));
}

TEST(LocaleFormat, EveryDecimalMarkButTheCommaIsAPoint) {
    EXPECT_EQ(DecimalMarkOf(","), QLatin1Char(','));
    for (const QString& mark : {QStringLiteral("."), QStringLiteral("\u066B"), QString(),
                                QStringLiteral("\u2396"), QStringLiteral(",,")})
        EXPECT_EQ(DecimalMarkOf(mark), QLatin1Char('.')) << mark.toStdString();
}

TEST(LocaleFormat, TimeWithoutZoneName) {
    EXPECT_EQ(TimeFormatWithoutZone("HH:mm:ss t"), "HH:mm:ss");
    EXPECT_EQ(TimeFormatWithoutZone("h:mm:ss AP tttt"), "h:mm:ss AP");
    EXPECT_EQ(TimeFormatWithoutZone("t HH:mm:ss"), "HH:mm:ss");
    EXPECT_EQ(TimeFormatWithoutZone("HH 'h' mm 'et' ss t"), "HH 'h' mm 'et' ss");
    EXPECT_EQ(TimeFormatWithoutZone("HH:mm:ss"), "HH:mm:ss");
    // Brackets that held the zone alone go with it; others stay.
    EXPECT_EQ(TimeFormatWithoutZone("H:mm:ss (t)"), "H:mm:ss");
    EXPECT_EQ(TimeFormatWithoutZone("H:mm:ss ( tttt ) 'x'"), "H:mm:ss 'x'");
    EXPECT_EQ(TimeFormatWithoutZone("(t) HH:mm:ss"), "HH:mm:ss");
    EXPECT_EQ(TimeFormatWithoutZone("HH:mm:ss (AP t)"), "HH:mm:ss (AP)");
}
