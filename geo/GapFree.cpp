#include "geo/GapFree.h"

#include "geo/Workers.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <stdexcept>
#include <thread>
#include <vector>

namespace geo {

WorldPixel NearestWorldPixel(Real lat, Real lon, int width, int height) {
    WorldPixel p;
    const long long x = static_cast<long long>(std::floor((lon + 180) * width / 360 + 0.5L));
    p.x = static_cast<int>(((x % width) + width) % width);
    const long long y = static_cast<long long>(std::floor((90 - lat) * height / 180 + 0.5L));
    p.y = static_cast<int>(std::clamp<long long>(y, 0, height - 1));
    return p;
}

PaletteImage BlankBackground(int size) {
    PaletteImage img(size, size, PaletteBlack);
    // (2x - (N - 2))^2 + (2y - (N - 2))^2 <= (N - 1)^2: the 600 template's rule times 4.
    const long long n = size;
    for (int y = 0; y < size; ++y) {
        const long long dy = 2LL * y - (n - 2);
        for (int x = 0; x < size; ++x) {
            const long long dx = 2LL * x - (n - 2);
            if (dx * dx + dy * dy <= (n - 1) * (n - 1)) img.set(x, y, PaletteWhite);
        }
    }
    return img;
}

int WorldScaleForSize(int size) {
    if (size <= 600) return 1;
    if (size <= 1200) return 2;
    return 4;
}

namespace {

// See Projection.cpp: picture code of the toolkit can leave the upper halves
// of the AVX registers dirty, which makes every call into the maths library
// pay a state transition.
inline void ClearUpperVectorState() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) __asm__ __volatile__("vzeroupper" ::: "memory");
#endif
}

struct Plan {
    const WorldIndex* world = nullptr;
    int size = 0;
    double R = 0;
    double s1 = 0, c1 = 0; // sin and cos of the centre latitude
    double latDeg = 0;
    double rim = 3.14159265358979323846; // radians from the centre to the rim
    double lonBase = 0;                  // (centre lon + 180) * W / 360
    double toX = 0;                      // world columns per radian of longitude
    double toY = 0;                      // world rows per radian of latitude
    uint8_t antipode = 0;
};

inline uint8_t WorldAt(const WorldIndex& w, double u, double v) {
    const int W = w.width(), H = w.height();
    long x = static_cast<long>(std::floor(u + 0.5));
    x %= W;
    if (x < 0) x += W;
    long y = static_cast<long>(std::floor(v + 0.5));
    y = std::clamp<long>(y, 0, H - 1);
    return w.at(static_cast<int>(x), static_cast<int>(y));
}

// The colours at (+east, north) and (-east, north), east >= 0: the two are
// mirror images about the centre's meridian (same latitude, opposite
// longitude offsets).
inline void ColourPair(const Plan& p, double east, double north, double r, uint8_t& right,
                       uint8_t& left) {
    const double pi = 3.14159265358979323846;
    const double v0 = (90.0 - p.latDeg) * p.toY * pi / 180.0;
    if (r == 0) {
        right = left = WorldAt(*p.world, p.lonBase, v0);
        return;
    }
    const double d = r * p.rim / p.R;
    const double sd = std::sin(d), cd = std::cos(d);
    const double sinA = east / r, cosA = north / r;
    const double sp2 = std::clamp(p.s1 * cd + p.c1 * sd * cosA, -1.0, 1.0);
    const double dlon = std::atan2(sinA * sd * p.c1, cd - p.s1 * sp2);
    const double v = (pi / 2 - std::asin(sp2)) * p.toY;
    const double du = dlon * p.toX;
    right = WorldAt(*p.world, p.lonBase + du, v);
    left = WorldAt(*p.world, p.lonBase - du, v);
}

void ComputeRow(const Plan& p, int y, uint8_t* row) {
    const int N = p.size;
    const double R = p.R;
    const double north = R - y;
    const double rim = R * R;
    const double fringe = (R + 1) * (R + 1);
    auto put = [&](int x, double r2, uint8_t colour) {
        if (r2 <= rim || row[x] == PaletteWhite) row[x] = colour;
    };
    // Columns from the centre's column (or the first right of it) to the
    // right edge, each with its mirror image N - x; then column 0, which has
    // no mirror inside the picture.
    const int first = static_cast<int>(std::ceil(R));
    for (int x = first; x < N; ++x) {
        const double east = x - R;
        const double r2 = east * east + north * north;
        if (r2 > fringe) break; // farther right is farther out
        const int mirror = N - x;
        if (r2 > rim) {
            // The template's white fringe just beyond the rim: the antipode.
            if (row[x] == PaletteWhite) row[x] = p.antipode;
            if (row[mirror] == PaletteWhite) row[mirror] = p.antipode;
            continue;
        }
        uint8_t right, left;
        ColourPair(p, east, north, std::sqrt(r2), right, left);
        row[x] = right;
        if (mirror != x) row[mirror] = left;
    }
    const double r2 = R * R + north * north;
    if (r2 <= fringe) {
        uint8_t right, left;
        if (r2 <= rim) {
            ColourPair(p, R, north, std::sqrt(r2), right, left);
        } else {
            left = p.antipode;
        }
        put(0, r2, left);
    }
}

void CheckTarget(const WorldIndex& world, const PaletteImage& target) {
    if (world.width() <= 0 || world.height() <= 0)
        throw std::invalid_argument("the world picture is empty");
    if (target.width != target.height || target.width < MinGapFreeSize ||
        target.width > MaxGapFreeSize ||
        target.indices.size() != static_cast<size_t>(target.width) * target.height)
        throw std::invalid_argument("the map must be square, 300 to 4800 pixels");
}

} // namespace

void GenerateGapFree(const WorldIndex& world, Real centreLat, Real centreLon, PaletteImage& target,
                     const RowProgressFn& progress) {
    GenerateGapFree(world, centreLat, centreLon, Pi, target, progress);
}

void GenerateGapFree(const WorldIndex& world, const MapFrame& frame, PaletteImage& target,
                     const RowProgressFn& progress) {
    if (target.width != frame.size())
        throw std::invalid_argument("the map must have the frame's size");
    GenerateGapFree(world, frame.geometricCentreLat(), frame.centreLon(), frame.rimAngle(), target,
                    progress);
}

void GenerateGapFree(const WorldIndex& world, Real centreLat, Real centreLon, Real rim,
                     PaletteImage& target, const RowProgressFn& progress) {
    CheckTarget(world, target);
    centreLat = OffPole(centreLat);
    Plan p;
    p.rim = static_cast<double>(rim);
    p.world = &world;
    p.size = target.width;
    p.R = target.width / 2.0;
    const Real phi1 = centreLat * Pi / 180;
    p.s1 = static_cast<double>(std::sin(phi1));
    p.c1 = static_cast<double>(std::cos(phi1));
    p.latDeg = static_cast<double>(centreLat);
    p.lonBase = static_cast<double>((centreLon + 180) * world.width() / 360);
    p.toX = world.width() / (2 * 3.14159265358979323846);
    p.toY = world.height() / 3.14159265358979323846;
    // The antipode: latitude -lat, longitude lon + 180.
    const WorldPixel a =
        NearestWorldPixel(-centreLat, centreLon + 180, world.width(), world.height());
    p.antipode = world.at(a.x, a.y);

    const int N = p.size;
    constexpr int ChunkRows = 8;
    const int chunks = (N + ChunkRows - 1) / ChunkRows;
    std::atomic<int> next{0};
    std::vector<std::atomic<uint8_t>> done(static_cast<size_t>(chunks));
    for (auto& d : done)
        d.store(0, std::memory_order_relaxed);

    auto runChunk = [&](int chunk) {
        ClearUpperVectorState();
        const int end = std::min(N, (chunk + 1) * ChunkRows);
        for (int y = chunk * ChunkRows; y < end; ++y)
            ComputeRow(p, y, target.indices.data() + static_cast<size_t>(y) * N);
        done[static_cast<size_t>(chunk)].store(1, std::memory_order_release);
    };
    auto work = [&] {
        for (;;) {
            const int chunk = next.fetch_add(1, std::memory_order_relaxed);
            if (chunk >= chunks) break;
            runChunk(chunk);
        }
    };

    int reported = 0; // chunks reported, in order
    auto report = [&](bool wait) {
        while (reported < chunks) {
            if (!done[static_cast<size_t>(reported)].load(std::memory_order_acquire)) {
                if (!wait) return;
                std::this_thread::yield();
                continue;
            }
            ++reported;
            if (progress) progress(std::min(N, reported * ChunkRows), N);
        }
    };

    HelperThreads helpers(work);
    for (;;) {
        const int chunk = next.fetch_add(1, std::memory_order_relaxed);
        if (chunk >= chunks) break;
        runChunk(chunk);
        report(false);
    }
    report(true);
    helpers.join();
}

void GenerateGapFreeMap(const WorldIndex& world, const PaletteImage& background,
                        PositionState& state, PaletteImage& target, const ProgressFn& progress) {
    target = background;
    int last = -1;
    GenerateGapFree(world, state.CentreLat, state.CentreLon, target, [&](int done, int rows) {
        const int column =
            static_cast<int>(static_cast<long long>(done) * (MercatorWidth - 1) / rows);
        if (progress && column != last) progress(column);
        last = column;
    });
    // The state as the classic generation leaves it: the far point is the
    // last world pixel.
    state.CentreLat = OffPole(state.CentreLat);
    const LatLon p = PixelToLatLon(MercatorWidth - 1, MercatorHeight - 1);
    state.PointLat = p.lat;
    state.PointLon = p.lon;
    CalculAzimutDistance(state, nullptr);
}

} // namespace geo
