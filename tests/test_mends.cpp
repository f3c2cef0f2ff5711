// Mends found by the newcomer walk, the audits and fuzzing, in three tables:
// files (what the programs write and read), input (values at the edges) and
// the resolution rules of call signs. Each row names the fault it guards.
#include "ChildProcess.h"
#include "ProjectionTestWorld.h"
#include "dxlists/CtyDat.h"
#include "geo/GapFree.h"
#include "geo/Inverse.h"
#include "geo/Position.h"
#include "geo/Projection.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using child_process::ReadText;
using child_process::Result;

void WriteText(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Put(std::string& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
        b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A 24-bit bottom-up bitmap of the world map's size, with the 12-byte OS/2
// header or the 40-byte Windows one, from the same pixels.
std::string WorldBitmap(bool os2, const std::vector<uint8_t>& rgb) {
    const int w = geo::MercatorWidth, h = geo::MercatorHeight;
    const uint32_t rowBytes = (w * 3 + 3) / 4 * 4;
    const uint32_t header = os2 ? 12 : 40;
    std::string b = "BM";
    Put(b, 14 + header + rowBytes * h, 4);
    Put(b, 0, 4);
    Put(b, 14 + header, 4);
    Put(b, header, 4);
    if (os2) {
        Put(b, w, 2);
        Put(b, h, 2);
        Put(b, 1, 2);
        Put(b, 24, 2);
    } else {
        Put(b, w, 4);
        Put(b, h, 4);
        Put(b, 1, 2);
        Put(b, 24, 2);
        Put(b, 0, 4);
        Put(b, rowBytes * h, 4);
        Put(b, 2835, 4);
        Put(b, 2835, 4);
        Put(b, 0, 4);
        Put(b, 0, 4);
    }
    for (int y = h - 1; y >= 0; --y) {
        const size_t start = b.size();
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            b.push_back(static_cast<char>(p[2]));
            b.push_back(static_cast<char>(p[1]));
            b.push_back(static_cast<char>(p[0]));
        }
        while (b.size() - start < rowBytes)
            b.push_back(0);
    }
    return b;
}

class Mends : public ::testing::Test {
  public:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("korvanta-mends-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string P(const std::string& name) const { return (dir_ / name).string(); }
    // The names in the folder other than the run's own output files.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) {
            const std::string n = e.path().filename().string();
            if (n != "stdout.txt" && n != "stderr.txt") names.push_back(n);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path dir_;
};

// ---------------------------------------------------------------------------
// Files: a failed write keeps the old file and says so; a world picture or a
// country file is read only when it is what it claims to be.

struct FileCase {
    const char* what;                    // the fault this row guards
    std::string program;                 // KORVANTA_RENDER or KORVANTA_CALL
    std::function<void(Mends&)> prepare; // files the run needs
    std::vector<std::string> args;       // "@name" is a file in the test's folder
    rlim_t fileLimit;                    // 0: no limit
    int status;                          // expected exit status
    std::string hint;                    // in stderr (failure) or stdout (success)
    std::string keep;                    // a file whose old contents must stay ("" none)
};

TEST_F(Mends, Files) {
    const auto rgb = projection_test::NoiseRgb(geo::MercatorWidth, geo::MercatorHeight, 11);
    const std::string os2 = WorldBitmap(true, rgb), windows = WorldBitmap(false, rgb);
    auto old = [](const char* name) { return [name](Mends& m) { WriteText(m.P(name), "old"); }; };
    auto world = [](const std::string& bytes, const char* name) {
        return [bytes, name](Mends& m) { WriteText(m.P(name), bytes); };
    };
    // A header whose row size times height is beyond any 64-bit number.
    std::string huge = "BM";
    Put(huge, 100, 4);
    Put(huge, 0, 4);
    Put(huge, 54, 4);
    Put(huge, 40, 4);
    Put(huge, 0x7FFFFFFF, 4);
    Put(huge, 0x7FFFFFFF, 4);
    Put(huge, 1, 2);
    Put(huge, 0xFFFF, 2);
    huge.resize(100, '\0');
    const std::string render = KORVANTA_RENDER, call = KORVANTA_CALL;
    const std::string cty = KORVANTA_SOURCE_DIR "/tests/data/cty_excerpt.dat";
    const std::vector<FileCase> cases = {
        {"a PDF poster on a full disk",
         render,
         old("map.pdf"),
         {"--locator", "JN18EU", "--pdf", "--size", "600", "-o", "@map.pdf"},
         16 * 1024,
         2,
         "map.pdf",
         "map.pdf"},
        {"a PNG map on a full disk",
         render,
         old("map.png"),
         {"--locator", "JN18EU", "--fill", "-o", "@map.png"},
         16 * 1024,
         2,
         "map.png",
         "map.png"},
        {"a BMP map on a full disk",
         render,
         old("map.bmp"),
         {"--locator", "JN18EU", "-o", "@map.bmp"},
         16 * 1024,
         2,
         "map.bmp",
         "map.bmp"},
        {"a whole OS/2 bitmap is a world picture",
         render,
         world(os2, "os2.bmp"),
         {"--locator", "JN18EU", "--world", "@os2.bmp", "-o", "@os2-map.bmp"},
         0,
         0,
         "48°",
         ""},
        {"a cut OS/2 bitmap is damaged",
         render,
         world(os2.substr(0, os2.size() / 2), "cut.bmp"),
         {"--locator", "JN18EU", "--world", "@cut.bmp", "-o", "@x.bmp"},
         0,
         2,
         "damaged",
         ""},
        {"a cut Windows bitmap is damaged",
         render,
         world(windows.substr(0, windows.size() - 100), "cutw.bmp"),
         {"--locator", "JN18EU", "--world", "@cutw.bmp", "-o", "@x.bmp"},
         0,
         2,
         "damaged",
         ""},
        {"a row size beyond 64 bits is damaged",
         render,
         world(huge, "huge.bmp"),
         {"--locator", "JN18EU", "--world", "@huge.bmp", "-o", "@x.bmp"},
         0,
         2,
         "damaged",
         ""},
        {"a bitmap header of no known size",
         render,
         world(std::string("BM") + std::string(12, '\0') + std::string("\x07\0\0\0", 4) +
                   std::string(60, '\0'),
               "odd.bmp"),
         {"--locator", "JN18EU", "--world", "@odd.bmp", "-o", "@x.bmp"},
         0,
         2,
         "unknown size",
         ""},
        {"a device as the country file",
         call,
         {},
         {"EA6AB", "--cty", "/dev/zero"},
         0,
         2,
         "not a plain file",
         ""},
        {"a pipe as the country file",
         call,
         [](Mends& m) { ASSERT_EQ(mkfifo(m.P("fifo.dat").c_str(), 0600), 0); },
         {"EA6AB", "--cty", "@fifo.dat"},
         0,
         2,
         "not a plain file",
         ""},
        {"a folder as the country file",
         call,
         {},
         {"EA6AB", "--cty", "@"},
         0,
         2,
         "not a plain file",
         ""},
        {"a country file over 16 MiB",
         call,
         [cty](Mends& m) {
             std::string big = ReadText(cty);
             big.resize(16 * 1024 * 1024 + 1, ' ');
             WriteText(m.P("big.dat"), big);
         },
         {"EA6AB", "--cty", "@big.dat"},
         0,
         2,
         "larger than 16 MiB",
         ""},
        {"a binary country file is told in printable text",
         call,
         world(std::string("\x89PNG\x1B[31m\x01\xFF\xC3:x\n", 14), "bin.dat"),
         {"EA6AB", "--cty", "@bin.dat"},
         0,
         2,
         "line 1: ",
         ""},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        if (c.prepare) c.prepare(*this);
        const std::vector<std::string> before = Names();
        std::vector<std::string> args;
        for (const std::string& a : c.args)
            args.push_back(a.rfind('@', 0) == 0 ? P(a.substr(1)) : a);
        const Result r = child_process::Run(c.program, args, dir_, c.fileLimit);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.status == 0) {
            EXPECT_NE(r.out.find(c.hint), std::string::npos) << r.out;
            continue;
        }
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.hint), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        // The message holds printable text only.
        for (const char ch : r.err) {
            const auto u = static_cast<unsigned char>(ch);
            EXPECT_TRUE(ch == '\n' || (u >= 0x20 && u < 0x7F)) << r.err;
        }
        if (!c.keep.empty()) {
            EXPECT_EQ(ReadText(P(c.keep)), "old");
        }
        // Nothing new is left behind: no cut file, no temporary file.
        EXPECT_EQ(Names(), before);
    }
    // The OS/2 bitmap gives the map of the same pixels as a Windows bitmap.
    WriteText(P("os2.bmp"), os2);
    WriteText(P("win.bmp"), windows);
    ASSERT_EQ(child_process::Run(
                  render, {"--locator", "JN18EU", "--world", P("os2.bmp"), "-o", P("a.bmp")}, dir_)
                  .status,
              0);
    ASSERT_EQ(child_process::Run(
                  render, {"--locator", "JN18EU", "--world", P("win.bmp"), "-o", P("b.bmp")}, dir_)
                  .status,
              0);
    EXPECT_EQ(ReadText(P("a.bmp")), ReadText(P("b.bmp")));
}

// ---------------------------------------------------------------------------
// Input: values at the edges get a defined answer.

TEST_F(Mends, Input) {
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    const long double inf = std::numeric_limits<long double>::infinity();
    struct PositionCase {
        const char* what;
        long double lat, lon;
        std::string text;
    };
    const std::vector<PositionCase> positions = {
        {"a position as before", 48.85L, 2.35L, "48°51' N / 2°21' E"},
        {"not a number", nan, 2.35L, "? / 2°21' E"},
        {"infinite longitude", 48.85L, -inf, "48°51' N / ?"},
        {"both infinite", inf, inf, "? / ?"},
        {"beyond any whole number of degrees", 1e300L, 0, "? / 0°0' E"},
    };
    for (const PositionCase& c : positions)
        EXPECT_EQ(geo::FormatPosition(c.lat, c.lon), c.text) << c.what;

    // A centre at a pole: the same map as 0.1 degree off it, south as north,
    // from the engine, the gap-free map and the inverse.
    const geo::WorldIndex world = projection_test::NoiseWorld(3);
    struct PoleCase {
        const char* what;
        long double pole, near;
    };
    for (const PoleCase& c :
         {PoleCase{"north pole", 90, 89.9L}, PoleCase{"south pole", -90, -89.9L}}) {
        SCOPED_TRACE(c.what);
        auto engine = [&](long double lat) {
            geo::PositionState s;
            s.CentreLat = lat;
            s.CentreLon = 0;
            geo::PaletteImage map = geo::BlankBackground();
            geo::Generate(world, s, map, nullptr, nullptr);
            return map.indices;
        };
        const auto atPole = engine(c.pole);
        EXPECT_EQ(atPole, engine(c.near));
        // Not an empty disc: the centre pixel has the world's colour.
        EXPECT_NE(std::count(atPole.begin(), atPole.end(), atPole[300 * 600 + 300]),
                  static_cast<long>(atPole.size()));
        auto gapFree = [&](long double lat) {
            geo::PaletteImage map = geo::BlankBackground(300);
            geo::GenerateGapFree(world, lat, 0, map);
            return map.indices;
        };
        EXPECT_EQ(gapFree(c.pole), gapFree(c.near));
        const auto a = geo::MapPixelToLatLon(c.pole, 0, 160, 120, 300);
        const auto b = geo::MapPixelToLatLon(c.near, 0, 160, 120, 300);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(a->lat, b->lat);
        EXPECT_EQ(a->lon, b->lon);
    }

    // The programs: korvanta-render at 90 S as at 89.9 S (plain and
    // gap-free), korvanta-call with an empty call.
    const std::string render = KORVANTA_RENDER, call = KORVANTA_CALL;
    struct ProgramCase {
        const char* what;
        std::string program;
        std::vector<std::string> args;
        int status;
        std::string hint;
    };
    const std::vector<ProgramCase> programs = {
        {"plain map at 90 S", render, {"--latlon", "-90,0", "-o", P("plain90.bmp")}, 0, "90°0' S"},
        {"plain map at 89.9 S", render, {"--latlon", "-89.9,0", "-o", P("plain89.bmp")}, 0, "S"},
        {"gap-free map at 90 S",
         render,
         {"--latlon", "-90,0", "--fill", "-o", P("fill90.bmp")},
         0,
         "S"},
        {"gap-free map at 89.9 S",
         render,
         {"--latlon", "-89.9,0", "--fill", "-o", P("fill89.bmp")},
         0,
         "S"},
        {"a poster at 90 S",
         render,
         {"--latlon", "-90,0", "--pdf", "--size", "300", "-o", P("pole.pdf")},
         0,
         "S"},
        {"an empty call",
         call,
         {"", "--cty", KORVANTA_SOURCE_DIR "/tests/data/cty_excerpt.dat"},
         2,
         "empty"},
        {"a blank call",
         call,
         {"  ", "--cty", KORVANTA_SOURCE_DIR "/tests/data/cty_excerpt.dat"},
         2,
         "empty"},
    };
    for (const ProgramCase& c : programs) {
        const Result r = child_process::Run(c.program, c.args, dir_);
        EXPECT_EQ(r.status, c.status) << c.what << ": " << r.err;
        EXPECT_NE((r.out + r.err).find(c.hint), std::string::npos)
            << c.what << ": " << r.out << r.err;
    }
    EXPECT_EQ(ReadText(P("plain90.bmp")), ReadText(P("plain89.bmp")));
    EXPECT_EQ(ReadText(P("fill90.bmp")), ReadText(P("fill89.bmp")));
}

// ---------------------------------------------------------------------------
// Resolution rules of call signs.

TEST(MendsResolution, Rules) {
    const std::string text =
        R"(Spain:                    14:  37:  EU:   40.32:     3.43:    -1.0:  EA:
    AM,EA,EB,EC;
Balearic Islands:         14:  37:  EU:   39.60:    -2.95:    -1.0:  EA6:
    EA6,EB6;
Norway:                   14:  18:  EU:   61.00:   -9.00:    -1.0:  LA:
    LA,LB,LH;
France:                   14:  27:  EU:   46.00:   -2.00:    -1.0:  F:
    F;
Argentina:                13:  14:  SA:  -34.80:    65.92:     3.0:  LU:
    LU,LT,LS;
Israel:                   20:  39:  AS:   31.32:   -34.82:    -2.0:  4X:
    4X,4Z;
Tuvalu:                   31:  65:  OC:   -8.50:  -179.20:   -12.0:  T2:
    T2;
Somalia:                  37:  48:  AF:    2.03:   -45.35:    -3.0:  T5:
    T5,6O;
Fiji:                     32:  56:  OC:  -17.78:  -177.92:   -12.0:  3D2:
    3D2;
Ogasawara:                27:  45:  AS:   27.05:  -142.20:    -9.0:  JD1:
    JD1;
Canada:                   05:  09:  NA:   44.35:    78.75:     5.0:  VE:
    VE,VY2(5),VY1(1)[2];
United States:            05:  08:  NA:   37.60:    91.87:     5.0:  K:
    AA,AL,K,N,W,K9(4)[4],W9(4)[4],K0(4)[7];
Alaska:                   01:  01:  NA:   61.40:   148.87:     8.0:  KL:
    AL7,KL;
Hawaii:                   31:  61:  OC:   21.12:   157.48:    10.0:  KH6:
    KH6,KH7;
European Russia:          16:  29:  EU:   53.65:   -41.37:    -4.0:  UA:
    R,U;
Asiatic Russia:           17:  30:  AS:   55.88:   -84.08:    -7.0:  UA9:
    R0,R9,UA0,UA9;
Scotland:                 14:  27:  EU:   56.82:     4.18:     0.0:  GM:
    GM,=GM3SHE;
Shetland Islands:         14:  27:  EU:   60.50:     1.50:     0.0:  *GM/s:
    =GM3SHE,=GM4ZET;
Vienna Intl Ctr:          15:  28:  EU:   48.20:   -16.30:    -1.0:  *4U1V:
    =4U1VIC,=4Y1A;
Austria:                  15:  28:  EU:   47.33:   -13.33:    -1.0:  OE:
    OE,=4U1VIC,=4Y1A;
)";
    dx::CtyError error;
    const auto db = dx::CtyDatabase::Parse(text, error);
    ASSERT_TRUE(db) << dx::DescribeCtyError(error);
    struct Case {
        const char* call;
        const char* entity; // "" for no entity
        int cqZone;         // 0: not checked
    };
    const std::vector<Case> cases = {
        // Suffixes that tell how a station works keep the home entity.
        {"4X1ZZ/LH", "Israel", 0},
        {"4X1ZZ/LGT", "Israel", 0},
        {"EA1ABC/LT", "Spain", 0},
        {"EA1ABC/LS", "Spain", 0},
        {"EA6ABC/FD", "Balearic Islands", 0},
        {"G4X/JOTA", "", 0},
        {"4X1ZZ/JOTA", "Israel", 0},
        {"4Z5AB/YOTA/P", "Israel", 0},
        {"LA1ABC/MILL", "Norway", 0},
        {"4X1ZZ/IMD", "Israel", 0},
        {"F5ABC/QRPP", "France", 0},
        // ... while a prefix after the call still moves it.
        {"EA1ABC/LA", "Norway", 0},
        {"4X1ZZ/F", "France", 0},
        {"LH/4X1ZZ", "Norway", 0},
        // A call-area digit.
        {"EA1ABC/6", "Balearic Islands", 0},
        {"VE3ABC/1", "Canada", 0},
        {"R0ABC/6", "European Russia", 0},
        {"UA3ABC/9", "Asiatic Russia", 0},
        {"T2AB/5", "Tuvalu", 0},
        {"3D2AB/4", "Fiji", 0},
        {"JD1ABC/6", "Ogasawara", 0},
        {"VY2ABC/9", "Canada", 5},
        {"KH6ABC/9", "United States", 4},
        {"KL7ABC/0", "United States", 4},
        {"AL7AB/9", "United States", 4},
        {"W1ABC/9", "United States", 4},
        {"KH6ABC", "Hawaii", 0},
        // Listed under a WAE entity and its parent: the WAE entity, whichever
        // record comes first.
        {"GM3SHE", "Shetland Islands", 0},
        {"GM4ZET", "Shetland Islands", 0},
        {"4U1VIC", "Vienna Intl Ctr", 0},
        {"4Y1A", "Vienna Intl Ctr", 0},
        {"GM4ABC", "Scotland", 0},
    };
    for (const Case& c : cases) {
        const dx::CtyAnswer a = db->Resolve(c.call);
        EXPECT_EQ(a.found() ? a.entity->name : std::string(), c.entity) << c.call;
        if (c.cqZone) {
            EXPECT_EQ(a.values.cqZone, c.cqZone) << c.call;
        }
    }
}

} // namespace
