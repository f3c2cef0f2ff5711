// Regional maps drawn from the shipped vector data (mapexport::FrameMap):
// land and sea at known places at 250 km and at 2,500 km, the country
// colours of the world map, the map's black outside the disc, and the
// choice between the vectors and the world picture.
#include "app/MapExport.h"
#include "geo/RegionalMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

enum class Is { Land, Water };

struct Place {
    const char* name;
    double lat, lon;
    Is at250;
    Is at2500;
};

// Coastal cities a few kilometres inland, and sea, lakes and ice. Each is
// looked at on a map centred some 60 km north-east of it, so it lies off the
// centre; the answer is the same at both ranges (the data do not change
// with the range) except where a pixel of the 2,500 km map (8 km) is too
// coarse for a narrow piece of land or water.
const std::vector<Place> Places = {
    {"Marseille", 43.31, 5.40, Is::Land, Is::Land},
    {"Lisbon", 38.74, -9.15, Is::Land, Is::Land},
    {"Copenhagen", 55.68, 12.53, Is::Land, Is::Land},
    {"Fairfield (Sydney)", -33.85, 150.95, Is::Land, Is::Land},
    {"Cape Town, Cape Flats", -33.98, 18.58, Is::Land, Is::Land},
    {"Central Oahu (Honolulu)", 21.45, -158.00, Is::Land, Is::Land},
    {"Midtown Manhattan", 40.75, -73.99, Is::Land, Is::Land},
    {"Reykjavik", 64.12, -21.85, Is::Land, Is::Land},
    {"Auckland", -36.88, 174.76, Is::Land, Is::Land},
    {"Viti Levu (Fiji, by the date line)", -17.80, 178.00, Is::Land, Is::Land},
    {"Chukotka near Anadyr (by the date line)", 65.0, 176.0, Is::Land, Is::Land},
    {"Longyearbyen (Svalbard)", 78.20, 15.80, Is::Land, Is::Land},
    {"Antarctic plateau", -80.0, 0.0, Is::Land, Is::Land},
    {"McMurdo Sound's coast, Ross Island", -77.53, 167.15, Is::Land, Is::Land},
    {"North Sea", 56.0, 3.0, Is::Water, Is::Water},
    {"Bay of Biscay", 45.5, -4.0, Is::Water, Is::Water},
    {"Western Mediterranean", 38.0, 5.0, Is::Water, Is::Water},
    {"Baltic east of Gotland", 56.5, 19.5, Is::Water, Is::Water},
    {"Tasman Sea", -38.0, 160.0, Is::Water, Is::Water},
    {"Pacific on the date line", 0.0, 180.0, Is::Water, Is::Water},
    {"Bering Sea by the date line", 58.0, -179.5, Is::Water, Is::Water},
    {"Arctic Ocean near the pole", 88.0, 40.0, Is::Water, Is::Water},
    {"Lake Geneva", 46.45, 6.55, Is::Water, Is::Water},
    {"Caspian Sea", 42.0, 50.5, Is::Water, Is::Water},
    {"Lake Victoria", -1.0, 33.0, Is::Water, Is::Water},
};

TEST(RegionalMap, LandAndSeaAtKnownPlaces) {
    QString error;
    ASSERT_NE(mapexport::RegionalVectors(&error), nullptr) << error.toStdString();
    for (const Place& p : Places)
        for (double range : {250.0, 2500.0}) {
            SCOPED_TRACE(std::string(p.name) + " at " + std::to_string(range) + " km");
            // The centre 0.4 degree north and 0.5 east (0.5 west near 180 E).
            const double lat = std::min(89.0, p.lat + 0.4);
            const double lon = p.lon > 179 ? p.lon - 0.5 : p.lon + 0.5;
            const geo::MapFrame f = geo::MapFrame::WithRangeKm(lat, lon, 600, range);
            ASSERT_FALSE(geo::RegionalUsesWorldPicture(f, 4776)) << "drawn from the vectors";
            const geo::PaletteImage map = mapexport::FrameMap(f);
            ASSERT_EQ(map.width, 600);
            const auto q = f.Project(p.lat, p.lon);
            ASSERT_TRUE(q);
            const int x = static_cast<int>(std::lround(q->p.x));
            const int y = static_cast<int>(std::lround(q->p.y));
            const uint8_t c = map.at(x, y);
            const Is want = range < 1000 ? p.at250 : p.at2500;
            if (want == Is::Water)
                EXPECT_EQ(c, geo::PaletteSea) << "colour " << int(c);
            else
                EXPECT_NE(c, geo::PaletteSea) << "colour " << int(c);
        }
}

// Countries take their world-map colours: the regional map and the world
// picture agree at places well inside a country.
TEST(RegionalMap, CountriesInTheirWorldMapColours) {
    struct Inside {
        const char* name;
        double lat, lon;
    };
    const std::vector<Inside> inside = {{"France", 46.5, 2.5},          {"Germany", 51.0, 10.0},
                                        {"Spain", 40.0, -3.7},          {"Brazil", -12.0, -50.0},
                                        {"Australia", -25.0, 134.0},    {"Russia", 62.0, 60.0},
                                        {"United States", 39.0, -98.0}, {"Antarctica", -80.0, 0.0}};
    const geo::WorldIndex& world = mapexport::WorldForSize(geo::MaxGapFreeSize);
    for (const Inside& k : inside) {
        SCOPED_TRACE(k.name);
        const geo::MapFrame f = geo::MapFrame::WithRangeKm(k.lat, k.lon, 300, 250);
        const geo::PaletteImage map = mapexport::FrameMap(f);
        const geo::WorldPixel w =
            geo::NearestWorldPixel(k.lat, k.lon, world.width(), world.height());
        EXPECT_EQ(map.at(150, 150), world.at(w.x, w.y));
    }
}

TEST(RegionalMap, BlackOutsideTheDiscAndFromTheWorldPictureWhenFineEnough) {
    struct Case {
        double range;
        int size;
        bool worldPicture;
    };
    const std::vector<Case> cases = {{100, 600, false},    {2500, 600, false},  {2600, 600, true},
                                     {5000, 600, true},    {5000, 1200, false}, {10000, 1200, true},
                                     {10000, 4800, false}, {500, 4800, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.range) + " km on " + std::to_string(k.size));
        const geo::MapFrame f = geo::MapFrame::WithRangeKm(48.85, 2.35, k.size, k.range);
        EXPECT_EQ(geo::RegionalUsesWorldPicture(f, 4776), k.worldPicture);
    }
    for (double range : {500.0, 5000.0}) {
        const geo::PaletteImage map =
            mapexport::FrameMap(geo::MapFrame::WithRangeKm(48.85, 2.35, 600, range));
        for (auto [x, y] :
             std::vector<std::pair<int, int>>{{0, 0}, {599, 599}, {40, 40}, {560, 30}})
            EXPECT_EQ(map.at(x, y), geo::PaletteBlack);
        // Every pixel of the disc is drawn: no background white is left.
        long white = 0;
        for (uint8_t c : map.indices)
            white += c == geo::PaletteWhite;
        EXPECT_EQ(white, 0) << "at " << range << " km (Paris)";
    }
}

} // namespace
