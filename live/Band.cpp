#include "live/Band.h"

#include <cmath>

namespace live {

namespace {

struct BandRange {
    std::string_view name;
    double lowKHz;
    double highKHz;
};

// The band edges of the three IARU regions together, so that a spot from
// anywhere finds its band.
constexpr BandRange Bands[] = {
    {"2200m", 135.7, 137.8},   {"630m", 472, 479},       {"160m", 1800, 2000},
    {"80m", 3500, 4000},       {"60m", 5060, 5450},      {"40m", 7000, 7300},
    {"30m", 10100, 10150},     {"20m", 14000, 14350},    {"17m", 18068, 18168},
    {"15m", 21000, 21450},     {"12m", 24890, 24990},    {"10m", 28000, 29700},
    {"6m", 50000, 54000},      {"4m", 70000, 71000},     {"2m", 144000, 148000},
    {"1.25m", 219000, 225000}, {"70cm", 420000, 450000}, {"23cm", 1240000, 1300000},
};

} // namespace

std::string_view BandOfKHz(double kHz) {
    if (!std::isfinite(kHz)) return {};
    for (const BandRange& b : Bands)
        if (kHz >= b.lowKHz && kHz <= b.highKHz) return b.name;
    return {};
}

int BandIndex(std::string_view band) {
    for (int i = 0; i < BandCount(); ++i)
        if (Bands[i].name == band) return i;
    return -1;
}

int BandCount() {
    return static_cast<int>(sizeof Bands / sizeof Bands[0]);
}

std::string_view BandName(int index) {
    if (index < 0 || index >= BandCount()) return {};
    return Bands[index].name;
}

} // namespace live
