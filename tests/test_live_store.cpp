// The spot store, bands and placement.
#include "dxlists/CtyDat.h"
#include "live/Band.h"
#include "live/Placement.h"
#include "live/SpotStore.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>

namespace {

live::Spot Make(const std::string& call, const std::string& band, std::int64_t ms,
                const std::string& comment = "") {
    live::Spot s;
    s.call = call;
    s.band = band;
    s.receivedMs = ms;
    s.comment = comment;
    return s;
}

TEST(Band, FrequenciesToBands) {
    const struct {
        double kHz;
        const char* band;
    } cases[] = {{1799.9, ""},     {1800, "160m"},    {3573, "80m"},   {5357, "60m"},
                 {7074, "40m"},    {10136, "30m"},    {14074, "20m"},  {14350, "20m"},
                 {14350.1, ""},    {18100, "17m"},    {21074, "15m"},  {24915, "12m"},
                 {28074, "10m"},   {50313, "6m"},     {70154, "4m"},   {144174, "2m"},
                 {432065, "70cm"}, {1296200, "23cm"}, {475.5, "630m"}, {136, "2200m"},
                 {0, ""},          {-7074, ""},       {1e300, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kHz);
        EXPECT_EQ(live::BandOfKHz(c.kHz), c.band);
    }
    EXPECT_LT(live::BandIndex("160m"), live::BandIndex("20m"));
    EXPECT_EQ(live::BandIndex("nope"), -1);
}

TEST(SpotStore, NewestWinsPerCallAndBand) {
    live::SpotStore store;
    store.Add(Make("K1ABC", "20m", 1000, "first"));
    store.Add(Make("K1ABC", "40m", 2000, "other band"));
    store.Add(Make("K1ABC", "20m", 3000, "second"));
    ASSERT_EQ(store.size(), 2u);
    EXPECT_EQ(store.Find("K1ABC", "20m")->comment, "second");
    EXPECT_EQ(store.spots().back().comment, "second");
    EXPECT_EQ(store.spots().front().comment, "other band");
    // A spot stamped earlier than the newest counts as received with it.
    store.Add(Make("G4XYZ", "20m", 500));
    EXPECT_EQ(store.Find("G4XYZ", "20m")->receivedMs, 3000);
}

TEST(SpotStore, AgesOut) {
    live::SpotStore store(100, 60000);
    store.Add(Make("A1A", "20m", 0));
    store.Add(Make("B1B", "20m", 30000));
    store.Add(Make("C1C", "20m", 60000));
    EXPECT_EQ(store.Expire(60000), 0u);
    EXPECT_EQ(store.Expire(60001), 1u);
    EXPECT_EQ(store.Find("A1A", "20m"), nullptr);
    store.SetMaxAgeMs(10000);
    EXPECT_EQ(store.Expire(70000), 1u);
    ASSERT_EQ(store.size(), 1u);
    EXPECT_EQ(store.spots().front().call, "C1C");
    const auto g = store.generation();
    store.Clear();
    EXPECT_TRUE(store.empty());
    EXPECT_GT(store.generation(), g);
}

TEST(SpotStore, CappedWhateverArrives) {
    live::SpotStore store(1000);
    for (int i = 0; i < 100000; ++i) {
        std::string call = std::to_string(i);
        call.insert(call.begin(), 'K');
        call.push_back('A');
        store.Add(Make(call, "20m", i));
    }
    ASSERT_EQ(store.size(), 1000u);
    EXPECT_EQ(store.spots().front().call, "K99000A");
    EXPECT_NE(store.Find("K99999A", "20m"), nullptr);
    EXPECT_EQ(store.Find("K98999A", "20m"), nullptr);
    store.SetCapacity(10);
    EXPECT_EQ(store.size(), 10u);
    EXPECT_EQ(store.spots().front().call, "K99990A");
}

const char* const Cty = KORVANTA_SOURCE_DIR "/tests/data/cty_excerpt.dat";

TEST(Placement, LocatorThenCountryFileThenBuiltinList) {
    dx::CtyError error;
    const auto db = dx::CtyDatabase::Load(Cty, error);
    ASSERT_TRUE(db);
    live::Placer placer(&*db);
    placer.SetCentre(48.85, 2.35); // Paris
    const struct {
        const char* call;
        const char* locator;
        live::PositionSource source;
        const char* entity;
        double lat, lon;
    } cases[] = {
        {"K1ABC", "FN42", live::PositionSource::Locator, "United States", 42.5, -71.0},
        {"K1ABC", "", live::PositionSource::CountryFile, "United States", 37.6, -91.87},
        {"EA6AB", "", live::PositionSource::CountryFile, "Balearic Islands", 39.6, 2.95},
        {"EA1AB/6", "", live::PositionSource::CountryFile, "Balearic Islands", 39.6, 2.95},
        {"G3ABC/P", "", live::PositionSource::CountryFile, "England", 52.77, -1.47},
        {"3D2EU", "", live::PositionSource::CountryExact, "Rotuma Island", -12.48, 177.08},
        {"3D2AG/P", "", live::PositionSource::CountryExact, "Rotuma Island", -12.48, 177.08},
        // Not in the excerpt: the built-in list's row.
        {"VK2ABC", "", live::PositionSource::BuiltinList, "", 0, 0},
        {"JA1XYZ", "", live::PositionSource::BuiltinList, "", 0, 0},
        {"G3ABC/MM", "", live::PositionSource::None, "", 0, 0},
        {"QQ1QQ", "", live::PositionSource::None, "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        live::Spot s = Make(c.call, "20m", 0);
        s.locator = c.locator;
        placer.Place(s);
        EXPECT_EQ(s.positionSource, c.source);
        if (*c.entity) {
            EXPECT_EQ(s.entity, c.entity);
        }
        if (c.lat != 0 && c.lon != 0) {
            EXPECT_NEAR(s.lat, c.lat, 1e-9);
            EXPECT_NEAR(s.lon, c.lon, 1e-9);
        }
        if (s.positionSource == live::PositionSource::BuiltinList) {
            EXPECT_FALSE(s.entity.empty());
        }
    }
}

TEST(Placement, BuiltinRowsForPrefixesRangesAndLists) {
    const struct {
        const char* call;
        const char* country;
    } cases[] = {
        {"1A0KM", "Malta"},      {"3DA0XX", "Swaziland"}, {"AH6ABC", "Haw"},
        {"AH7ABC", "Haw"},       {"AA1AA", "U.S.A."},     {"PJ4ABC", "Bonaire"},
        {"EA6/G3ABC", "Balear"}, {"G3ABC/P", "England"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        const auto p = live::BuiltinPlaceOf(c.call);
        ASSERT_TRUE(p);
        EXPECT_NE(p->country.find(c.country), std::string::npos) << p->country;
    }
    EXPECT_FALSE(live::BuiltinPlaceOf("F/G3ABC/QQ"));
    EXPECT_FALSE(live::BuiltinPlaceOf("G3ABC/MM"));
    EXPECT_FALSE(live::BuiltinPlaceOf("G3ABC/AM"));
}

TEST(Placement, BearingsAndDistancesShortAndLong) {
    live::Placer placer;
    const struct {
        double cLat, cLon, lat, lon, bearing, km;
    } cases[] = {
        // The readouts' distance: 1.852 km a minute of arc.
        {0, 0, 0, 90, 90, 10000.8},  {0, 0, 45, 0, 0, 5000.4}, {0, 0, 0, -45, 270, 5000.4},
        {0, 0, -30, 0, 180, 3333.6}, {10, 20, 10, 20, 0, 0},   {0, 0, 0, 180, 0, 20001.6},
    };
    for (const auto& c : cases) {
        live::Spot s;
        s.locator = "";
        s.positionSource = live::PositionSource::Locator;
        s.lat = c.lat;
        s.lon = c.lon;
        placer.SetCentre(c.cLat, c.cLon);
        placer.Measure(s);
        EXPECT_NEAR(s.bearing, c.bearing, 1e-6) << c.lat << " " << c.lon;
        EXPECT_NEAR(s.km, c.km, 1e-2);
        EXPECT_NEAR(s.longKm, 40000 - c.km, 1e-2);
        EXPECT_NEAR(s.longBearing, std::fmod(c.bearing + 180, 360), 1e-6);
    }
}

} // namespace
