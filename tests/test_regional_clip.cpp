// The regional maps' clipping on the sphere (geo/RegionalMap.h): rings that
// cross the rim, rings wholly beyond it round the centre or round the
// antipode, compared pixel by pixel with where the positions under the
// pixels really lie; the data reader's refusals; and the readouts of a
// regional frame against the great-circle routine.
#include "geo/MapFrame.h"
#include "geo/Position.h"
#include "geo/RegionalData.h"
#include "geo/RegionalMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using geo::LatLonDeg;
using Ring = std::vector<LatLonDeg>;

// A lat/lon rectangle with a point every tenth of a degree, so its edges
// are as good as the parallels and meridians (lon may run past 180).
Ring Rectangle(double south, double north, double west, double east) {
    Ring r;
    const double step = 0.1;
    for (double lon = west; lon < east; lon += step)
        r.push_back({south, lon});
    for (double lat = south; lat < north; lat += step)
        r.push_back({lat, east});
    for (double lon = east; lon > west; lon -= step)
        r.push_back({north, lon});
    for (double lat = north; lat > south; lat -= step)
        r.push_back({lat, west});
    return r;
}

// A parallel as a ring round a pole.
Ring Parallel(double lat) {
    Ring r;
    for (double lon = -180; lon < 180; lon += 0.5)
        r.push_back({lat, lon});
    return r;
}

double LonIn(double lon, double west) {
    while (lon < west)
        lon += 360;
    while (lon >= west + 360)
        lon -= 360;
    return lon;
}

struct ClipCase {
    std::string name;
    std::vector<Ring> rings;
    geo::MapFrame frame;
    std::function<bool(double lat, double lon)> inside;
    long expectFilled; // -1: some but not all, 0: none, 1: the whole disc
};

std::vector<ClipCase> ClipCases() {
    std::vector<ClipCase> c;
    // A square half inside a 250 km map of Paris.
    c.push_back(
        {"square across the rim",
         {Rectangle(47.5, 50.5, 2.0, 6.0)},
         geo::MapFrame::WithRangeKm(48.85, 2.35, 240, 250),
         [](double lat, double lon) { return lat > 47.5 && lat < 50.5 && lon > 2.0 && lon < 6.0; },
         -1});
    // Across the date line, crossing the rim on three sides.
    c.push_back({"strip across the date line",
                 {Rectangle(-19.0, -17.0, 175.0, 185.0)},
                 geo::MapFrame::WithRangeKm(-18.0, 179.5, 240, 500),
                 [](double lat, double lon) {
                     const double l = LonIn(lon, 175.0);
                     return lat > -19.0 && lat < -17.0 && l < 185.0;
                 },
                 -1});
    // A thin strip holding the antipode of (0, 0) that reaches 30 degrees
    // into a map of 10,000 km.
    c.push_back({"strip holding the antipode",
                 {Rectangle(-5.0, 5.0, 60.0, 200.0)},
                 geo::MapFrame::WithRangeKm(0.0, 0.0, 240, 10000),
                 [](double lat, double lon) {
                     const double l = LonIn(lon, 60.0);
                     return lat > -5.0 && lat < 5.0 && l < 200.0;
                 },
                 -1});
    // The same strip from the other side: the map's centre on it.
    c.push_back({"strip holding the centre",
                 {Rectangle(-5.0, 5.0, 60.0, 200.0)},
                 geo::MapFrame::WithRangeKm(0.0, 170.0, 240, 5000),
                 [](double lat, double lon) {
                     const double l = LonIn(lon, 60.0);
                     return lat > -5.0 && lat < 5.0 && l < 200.0;
                 },
                 -1});
    // A polar cap wholly beyond the rim round the centre: all of the map.
    c.push_back({"cap round the centre",
                 {Parallel(-60.0)},
                 geo::MapFrame::WithRangeKm(-85.0, 30.0, 200, 1000),
                 [](double lat, double) { return lat < -60.0; },
                 1});
    // The same cap seen from near the other pole: it holds the antipode and
    // none of it shows.
    c.push_back({"cap round the antipode",
                 {Parallel(-60.0)},
                 geo::MapFrame::WithRangeKm(80.0, 30.0, 200, 2500),
                 [](double lat, double) { return lat < -60.0; },
                 0});
    // That cap reaching into a map whose centre it does not hold.
    c.push_back({"cap round the antipode, reaching in",
                 {Parallel(-60.0)},
                 geo::MapFrame::WithRangeKm(-50.0, 30.0, 240, 2500),
                 [](double lat, double) { return lat < -60.0; },
                 -1});
    // A lake in an island: the even-odd rule leaves the lake open.
    c.push_back({"ring in a ring",
                 {Rectangle(44.0, 48.0, 0.0, 6.0), Rectangle(45.5, 46.5, 2.5, 3.5)},
                 geo::MapFrame::WithRangeKm(46.0, 3.0, 200, 500),
                 [](double lat, double lon) {
                     const bool outer = lat > 44.0 && lat < 48.0 && lon > 0.0 && lon < 6.0;
                     const bool inner = lat > 45.5 && lat < 46.5 && lon > 2.5 && lon < 3.5;
                     return outer && !inner;
                 },
                 -1});
    // Wholly beyond the rim, round nothing.
    c.push_back({"far away",
                 {Rectangle(-10.0, 10.0, 100.0, 120.0)},
                 geo::MapFrame::WithRangeKm(50.0, 0.0, 200, 2500),
                 [](double, double) { return false; },
                 0});
    return c;
}

TEST(RegionalClip, PixelsMatchThePositionsUnderThem) {
    for (const ClipCase& k : ClipCases()) {
        SCOPED_TRACE(k.name);
        const std::vector<uint8_t> mask = geo::FillRings(k.rings, k.frame);
        const int n = k.frame.size();
        long checked = 0, wrong = 0, filled = 0, disc = 0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const auto p = k.frame.PositionAt(x, y);
                const bool got = mask[static_cast<size_t>(y) * n + x] != 0;
                if (!p) {
                    EXPECT_FALSE(got) << "outside the disc at " << x << "," << y;
                    continue;
                }
                ++disc;
                filled += got;
                const bool want =
                    k.inside(static_cast<double>(p->lat), static_cast<double>(p->lon));
                // Pixels within two of the outline may go either way.
                bool nearEdge = false;
                for (int dy = -2; dy <= 2 && !nearEdge; dy += 2)
                    for (int dx = -2; dx <= 2 && !nearEdge; dx += 2) {
                        const auto q = k.frame.PositionAt(x + dx, y + dy);
                        if (q && k.inside(static_cast<double>(q->lat),
                                          static_cast<double>(q->lon)) != want)
                            nearEdge = true;
                    }
                if (nearEdge) continue;
                ++checked;
                if (got != want) {
                    if (wrong < 5)
                        ADD_FAILURE() << "pixel " << x << "," << y << " at " << p->lat << ","
                                      << p->lon << ": filled " << got << ", inside " << want;
                    ++wrong;
                }
            }
        EXPECT_EQ(wrong, 0) << "of " << checked;
        EXPECT_GT(checked, disc / 2);
        if (k.expectFilled == 0) {
            EXPECT_EQ(filled, 0);
        }
        if (k.expectFilled == 1) {
            EXPECT_EQ(filled, disc);
        }
        if (k.expectFilled == -1) {
            EXPECT_GT(filled, 0);
            EXPECT_LT(filled, disc);
        }
    }
}

// Bytes of the data format, built by hand.
struct Bytes {
    std::vector<uint8_t> b;
    void raw(const char* s) {
        for (; *s; ++s)
            b.push_back(static_cast<uint8_t>(*s));
    }
    void u8(int v) { b.push_back(static_cast<uint8_t>(v)); }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void varint(uint64_t v) {
        do {
            uint8_t x = v & 0x7F;
            v >>= 7;
            b.push_back(static_cast<uint8_t>(x | (v ? 0x80 : 0)));
        } while (v);
    }
    void zz(int64_t v) {
        varint(v >= 0 ? static_cast<uint64_t>(v) << 1 : ((static_cast<uint64_t>(-v) << 1) - 1));
    }
};

Bytes GoodData() {
    Bytes d;
    d.raw("KVREGMP1");
    d.u32(1);
    d.raw("FR");
    d.u8(6);
    d.u32(2);
    // A shoreline triangle and a country triangle, 1e-4 degree units.
    for (int kind : {1, 16}) {
        d.u8(kind);
        d.u8(kind == 16 ? 1 : 0);
        d.varint(3);
        d.zz(20000), d.zz(450000);
        d.zz(10000), d.zz(0);
        d.zz(-5000), d.zz(10000);
    }
    return d;
}

TEST(RegionalData, ReadsItsOwnFormat) {
    const Bytes d = GoodData();
    const geo::RegionalData data = geo::RegionalData::Parse(d.b.data(), d.b.size());
    ASSERT_EQ(data.rings().size(), 2u);
    // Three edges of one degree, each in ten steps of 0.1 degree, closed by
    // the first point again.
    EXPECT_EQ(data.rings()[0].count, 31u);
    EXPECT_EQ(data.rings()[1].country, 1);
    ASSERT_EQ(data.countries().size(), 2u);
    EXPECT_EQ(std::string(data.countries()[1].code), "FR");
    EXPECT_EQ(data.countries()[1].palette, 6);
    const geo::Vec3 p = data.Point(10);
    const geo::Vec3 want = geo::UnitVector(45.0, 3.0);
    EXPECT_NEAR(p.x, want.x, 1e-6);
    EXPECT_NEAR(p.z, want.z, 1e-6);
}

// A border along a parallel is stored as two points far apart: read, it
// follows the parallel (points every 0.1 degree), not the great circle
// between its ends, which bulges 1.3 degrees north over 25 degrees of
// longitude at 49 degrees north.
TEST(RegionalData, LongEdgesFollowTheStoredLine) {
    Bytes d;
    d.raw("KVREGMP1");
    d.u32(1);
    d.raw("CA");
    d.u8(3);
    d.u32(1);
    d.u8(16);
    d.u8(1);
    d.varint(4);
    d.zz(-1200000), d.zz(490000); // 120 W, 49 N
    d.zz(250000), d.zz(0);        // 95 W, 49 N
    d.zz(0), d.zz(110000);        // 95 W, 60 N
    d.zz(-250000), d.zz(0);       // 120 W, 60 N
    const geo::RegionalData data = geo::RegionalData::Parse(d.b.data(), d.b.size());
    ASSERT_EQ(data.rings().size(), 1u);
    const geo::RegionalData::Ring& r = data.rings()[0];
    // 250 + 110 + 250 + 110 steps, closed.
    EXPECT_EQ(r.count, 721u);
    // An edge across the date line goes the short way.
    Bytes e;
    e.raw("KVREGMP1");
    e.u32(0);
    e.u32(1);
    e.u8(1);
    e.u8(0);
    e.varint(3);
    e.zz(1799000), e.zz(-180000); // 179.9 E, 18 S
    e.zz(-3598000), e.zz(0);      // 179.9 W
    e.zz(0), e.zz(-10000);        // 179.9 W, 19 S
    const geo::RegionalData across = geo::RegionalData::Parse(e.b.data(), e.b.size());
    // 0.2 degree east in two steps, one degree south in ten, the closing
    // edge (one degree in latitude) in ten.
    EXPECT_EQ(across.rings()[0].count, 23u);
    const double deg = 180 / 3.14159265358979323846;
    for (uint32_t i = 0; i <= 250; ++i) {
        const geo::Vec3 p = data.Point(r.first + i);
        EXPECT_NEAR(std::asin(static_cast<double>(p.z)) * deg, 49.0, 1e-4) << i;
    }
    for (uint32_t i = r.first; i + 1 < r.first + r.count; ++i) {
        const geo::Vec3 a = data.Point(i), b = data.Point(i + 1);
        // Stored as floats: the chord, not acos of a float dot product.
        const double dx = static_cast<double>(a.x) - static_cast<double>(b.x);
        const double dy = static_cast<double>(a.y) - static_cast<double>(b.y);
        const double dz = static_cast<double>(a.z) - static_cast<double>(b.z);
        EXPECT_LE(2 * std::asin(std::sqrt(dx * dx + dy * dy + dz * dz) / 2) * deg, 0.1002) << i;
    }
}

TEST(RegionalData, RefusesDamage) {
    const Bytes good = GoodData();
    struct Damage {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> apply;
    };
    const std::vector<Damage> damages = {
        {"empty", [](auto& b) { b.clear(); }},
        {"wrong header", [](auto& b) { b[0] = 'X'; }},
        {"cut short", [](auto& b) { b.resize(b.size() - 3); }},
        {"trailing bytes", [](auto& b) { b.push_back(0); }},
        {"colour out of range", [](auto& b) { b[14] = 16; }},
        {"too many rings", [](auto& b) { b[15] = 0xFF, b[16] = 0xFF, b[17] = 0xFF; }},
        {"unknown kind", [](auto& b) { b[19] = 9; }},
        {"country ring without country", [](auto& b) { b[38] = 0; }},
        {"too few points", [](auto& b) { b[21] = 2; }},
        {"endless number", [](auto& b) { b.resize(21), b.insert(b.end(), 12, 0xFF); }},
        {"point off the globe", [](auto& b) { b[27] = 0x7F; }},
        {"edges that would grow beyond the point limit",
         [](auto& b) {
             // 4,000 edges of 180 degrees: 7.2 million points once dense.
             Bytes d;
             d.raw("KVREGMP1");
             d.u32(0);
             d.u32(1);
             d.u8(1);
             d.u8(0);
             d.varint(4000);
             d.zz(-900000), d.zz(0);
             for (int i = 1; i < 4000; ++i)
                 d.zz(i % 2 ? 1800000 : -1800000), d.zz(0);
             b = d.b;
         }},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        std::vector<uint8_t> b = good.b;
        d.apply(b);
        EXPECT_THROW(geo::RegionalData::Parse(b.data(), b.size()), std::runtime_error);
    }
}

// Readouts of a regional frame: the position under a pixel lies at the
// pixel's bearing and at its distance on the map's scale, as the
// great-circle routine measures them.
TEST(RegionalReadout, AgreesWithTheGreatCircleRoutine) {
    struct Centre {
        double lat, lon;
    };
    const std::vector<Centre> centres = {
        {48.85, 2.35}, {-18.1, 179.9}, {78.2, 15.6}, {-77.8, 166.7}};
    const std::vector<double> ranges = {100, 250, 500, 1000, 2500, 5000, 10000};
    const std::vector<std::pair<int, int>> pixels = {{300, 10},  {590, 300}, {300, 590},
                                                     {10, 300},  {400, 200}, {123, 456},
                                                     {512, 120}, {301, 299}};
    for (const Centre& c : centres)
        for (double range : ranges) {
            const geo::MapFrame f = geo::MapFrame::WithRangeKm(c.lat, c.lon, 600, range);
            for (auto [x, y] : pixels) {
                SCOPED_TRACE(std::to_string(c.lat) + "," + std::to_string(c.lon) + " at " +
                             std::to_string(range) + " km, pixel " + std::to_string(x) + "," +
                             std::to_string(y));
                const auto pos = f.PositionAt(x, y);
                ASSERT_TRUE(pos);
                geo::PositionState s;
                s.CentreLat = c.lat;
                s.CentreLon = c.lon;
                s.PointLat = pos->lat;
                s.PointLon = pos->lon;
                ASSERT_TRUE(geo::CalculAzimutDistance(s, nullptr));
                const geo::PixelPolar polar = f.PolarOfPixel(x, y);
                const double km = static_cast<double>(s.PointDistance) * geo::HalfCircumferenceKm /
                                  std::numbers::pi;
                EXPECT_NEAR(km, static_cast<double>(f.KmOfPixels(polar.r)), 1e-6 * range + 1e-6);
                double az = static_cast<double>(s.PointAzimuth) * 180 / std::numbers::pi;
                double diff = std::remainder(az - static_cast<double>(polar.bearing), 360.0);
                EXPECT_NEAR(diff, 0.0, 1e-5);
                // And the pixel comes back where it was.
                const auto back =
                    f.Project(static_cast<double>(pos->lat), static_cast<double>(pos->lon));
                ASSERT_TRUE(back);
                EXPECT_NEAR(back->p.x, x, 1e-6);
                EXPECT_NEAR(back->p.y, y, 1e-6);
            }
        }
}

} // namespace

namespace {

// The scale bar's round lengths: 1, 2 or 5 times a power of ten, the
// longest within the room.
TEST(RegionalScale, RoundLengths) {
    struct Case {
        double kmPerPixel, unitKm, maxPixels, want;
    };
    const std::vector<Case> cases = {
        {500.0 / 300, 1, 120, 200},
        {2500.0 / 300, 1, 120, 1000},
        {500.0 / 300, 1.609344, 120, 100},
        {100.0 / 300, 1, 120, 20},
        {10000.0 / 300, 1, 120, 2000},
        {10000.0 / 300, 1.609344, 120, 2000},
        {100.0 / 2400, 1, 960, 20},
        {1.0, 1, 5, 5},
        {0, 1, 120, 0},
        {1, 1, -3, 0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(geo::NiceScaleLength(c.kmPerPixel, c.unitKm, c.maxPixels), c.want)
            << c.kmPerPixel << " km/px, " << c.unitKm << ", " << c.maxPixels << " px";
}

} // namespace
