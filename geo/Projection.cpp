#include "geo/Projection.h"

#include "geo/Workers.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <stdexcept>
#include <thread>

namespace geo {

uint8_t NearestPaletteIndex(uint32_t rgb) {
    const int r = static_cast<int>((rgb >> 16) & 0xFF);
    const int g = static_cast<int>((rgb >> 8) & 0xFF);
    const int b = static_cast<int>(rgb & 0xFF);
    uint8_t best = 0;
    int bestDistance = -1;
    for (size_t i = 0; i < Palette.size(); ++i) {
        const int dr = r - static_cast<int>((Palette[i] >> 16) & 0xFF);
        const int dg = g - static_cast<int>((Palette[i] >> 8) & 0xFF);
        const int db = b - static_cast<int>(Palette[i] & 0xFF);
        const int distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<uint8_t>(i);
        }
    }
    return best;
}

PaletteImage BlankBackground() {
    PaletteImage img(MapSize, MapSize, PaletteBlack);
    for (int y = 0; y < MapSize; ++y) {
        for (int x = 0; x < MapSize; ++x) {
            // (x-299)^2 + (y-299)^2 <= 299.5^2, in integers: times 4.
            const long dx = x - 299, dy = y - 299;
            if (4 * (dx * dx + dy * dy) <= 599L * 599L) img.set(x, y, PaletteWhite);
        }
    }
    return img;
}

WorldIndex WorldIndex::FromRgb(const uint8_t* rgb, int width, int height, size_t stride) {
    WorldIndex w;
    if (width <= 0 || height <= 0 || rgb == nullptr) return w;
    w.width_ = width;
    w.height_ = height;
    w.indices_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    // The map is made of large areas of one colour: remember the last colour
    // and a small table of recent ones instead of searching the palette each time.
    constexpr size_t CacheSize = 1024;
    std::vector<uint32_t> cacheKey(CacheSize, 0xFFFFFFFFu);
    std::vector<uint8_t> cacheValue(CacheSize, 0);
    uint32_t lastRgb = 0xFFFFFFFFu;
    uint8_t lastIndex = 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rgb + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const uint32_t c = (static_cast<uint32_t>(row[3 * x]) << 16) |
                               (static_cast<uint32_t>(row[3 * x + 1]) << 8) | row[3 * x + 2];
            if (c != lastRgb) {
                const size_t slot = ((c * 2654435761u) >> 22) & (CacheSize - 1);
                if (cacheKey[slot] != c) {
                    cacheKey[slot] = c;
                    cacheValue[slot] = NearestPaletteIndex(c);
                }
                lastRgb = c;
                lastIndex = cacheValue[slot];
            }
            w.indices_[static_cast<size_t>(x) * height + y] = lastIndex;
        }
    }
    return w;
}

WorldIndex WorldIndex::FromIndexed(const uint8_t* indices, int width, int height, size_t stride,
                                   const std::array<uint8_t, 256>& toPalette) {
    WorldIndex w;
    if (width <= 0 || height <= 0 || indices == nullptr) return w;
    w.width_ = width;
    w.height_ = height;
    w.indices_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = indices + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x)
            w.indices_[static_cast<size_t>(x) * height + y] = toPalette[row[x]];
    }
    return w;
}

TargetPixel TargetOf(Real distance, Real azimuth) {
    const Real R = MapRadius;
    TargetPixel t;
    t.px = Round(((std::sin(azimuth) * distance) * R) / Pi + R);
    t.py = Round(R - ((std::cos(azimuth) * distance) * R) / Pi);
    return t;
}

namespace {

void CheckSizes(const WorldIndex& world, const PaletteImage& target) {
    if (world.width() != MercatorWidth || world.height() != MercatorHeight)
        throw std::invalid_argument("the world picture must be 1194 x 765 pixels");
    if (target.width != MapSize || target.height != MapSize ||
        target.indices.size() != static_cast<size_t>(MapSize) * MapSize)
        throw std::invalid_argument("the target picture must be 600 x 600 pixels");
}

} // namespace

void GenerateReference(const WorldIndex& world, PositionState& state, PaletteImage& target,
                       const BeepFn& beep, const ProgressFn& progress) {
    CheckSizes(world, target);
    for (int X = 0; X < MercatorWidth; ++X) {
        for (int Y = 0; Y < MercatorHeight; ++Y) {
            const uint8_t colour = world.at(X, Y);
            const LatLon p = PixelToLatLon(X, Y);
            state.PointLat = p.lat;
            state.PointLon = p.lon;
            CalculAzimutDistance(state, beep);
            const TargetPixel t = TargetOf(state.PointDistance, state.PointAzimuth);
            if (t.onMap()) target.set(static_cast<int>(t.px), static_cast<int>(t.py), colour);
        }
        if (progress) progress(X);
    }
}

namespace {

constexpr int W = MercatorWidth;
constexpr int H = MercatorHeight;
constexpr long PixelCount = static_cast<long>(W) * H;

// What stays the same for a whole generation: the centre and the per-row and
// per-column values, computed exactly as CalculAzimutDistance computes them.
struct Plan {
    Real centreLat = 0; // already moved off a pole (OffPole)
    Real centreLon = 0;
    Real incomingDistance = 0; // PointDistance before the first pixel

    double s1 = 0, c1 = 0; // sin and cos of the centre latitude
    std::vector<Real> rowLat, colLon;
    std::vector<double> s2, c2;    // per row: sin and cos of the point latitude
    std::vector<uint8_t> rowEqual; // per row: phi2 == phi1
    std::vector<double> cdl;       // per column: cos(lam2 - lam1)
    std::vector<uint8_t> flip;     // per column: the azimuth is mirrored (2 pi - A)
    std::vector<uint8_t> colEqual; // per column: lam2 == lam1
};

Plan MakePlan(const PositionState& state) {
    Plan p;
    p.centreLat = state.CentreLat;
    p.centreLat = OffPole(p.centreLat);
    p.centreLon = state.CentreLon;
    p.incomingDistance = state.PointDistance;
    const Real phi1 = p.centreLat * Pi / 180;
    const Real lam1 = p.centreLon * Pi / 180;
    p.s1 = static_cast<double>(std::sin(phi1));
    p.c1 = static_cast<double>(std::cos(phi1));

    p.rowLat.resize(H);
    p.s2.resize(H);
    p.c2.resize(H);
    p.rowEqual.resize(H);
    for (int Y = 0; Y < H; ++Y) {
        const Real lat = PixelToLatLon(0, Y).lat;
        p.rowLat[Y] = lat;
        const Real pointLat = lat == 90 ? 89.9L : lat;
        const Real phi2 = pointLat * Pi / 180;
        p.s2[Y] = static_cast<double>(std::sin(phi2));
        p.c2[Y] = static_cast<double>(std::cos(phi2));
        p.rowEqual[Y] = phi2 == phi1;
    }
    p.colLon.resize(W);
    p.cdl.resize(W);
    p.flip.resize(W);
    p.colEqual.resize(W);
    for (int X = 0; X < W; ++X) {
        const Real lon = PixelToLatLon(X, 0).lon;
        p.colLon[X] = lon;
        const Real lam2 = lon * Pi / 180;
        const Real dl = lam2 - lam1;
        p.cdl[X] = static_cast<double>(std::cos(dl));
        p.flip[X] = (-Pi < dl && dl < 0) || dl > Pi;
        p.colEqual[X] = lam2 == lam1;
    }
    return p;
}

// One pixel through the great-circle routine with the given incoming
// distance; false when its arc cosine fails.
bool ExactPixel(const Plan& p, long i, Real incoming, Real& distance, Real& azimuth) {
    PositionState s;
    s.CentreLat = p.centreLat;
    s.CentreLon = p.centreLon;
    s.PointLat = p.rowLat[i % H];
    s.PointLon = p.colLon[i / H];
    s.PointDistance = incoming;
    const bool ok = CalculAzimutDistance(s, nullptr);
    distance = s.PointDistance;
    azimuth = s.PointAzimuth;
    return ok;
}

// The distance the routine holds after pixel i (in loop order) of the plain
// loop: a pixel whose arc cosine fails keeps its predecessor's.
Real DistanceAfter(const Plan& p, long i) {
    for (; i >= 0; --i) {
        Real d, a;
        if (ExactPixel(p, i, 0, d, a)) return d;
    }
    return p.incomingDistance;
}

// Pixel i exactly as the plain loop computes it; false when it fails.
bool ExactPixelInLoop(const Plan& p, long i, Real& distance, Real& azimuth) {
    if (ExactPixel(p, i, 0, distance, azimuth)) return true;
    ExactPixel(p, i, DistanceAfter(p, i - 1), distance, azimuth);
    return false;
}

// Rounds v (within -1000 .. 1000) to the nearest integer n, and gives the
// distance from v to the nearest rounding boundary n +- 0.5. The shift by 1024
// adds an error below 1.2e-13, which the callers' margins cover.
inline long RoundWithMargin(double v, double& margin) {
    const double w = v + 1024.0;
    const long n = static_cast<long>(w);
    const double f = w - static_cast<double>(n);
    margin = std::fabs(f - 0.5);
    return n + (f > 0.5 ? 1 : 0) - 1024;
}

// Picture code of the window toolkit can leave the upper halves of the AVX
// registers dirty on the calling thread. Plain SSE code then pays a state
// transition on every call into the (VEX-encoded) maths library: measured five
// times slower. Clearing them before each batch of columns avoids that.
inline void ClearUpperVectorState() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) __asm__ __volatile__("vzeroupper" ::: "memory");
#endif
}

struct ColumnStats {
    long exact = 0;
    long failures = 0;
};

// Computes the target index (py * 600 + px, or -1) of every pixel of column X.
//
// Each pixel is first computed in double. Every intermediate value carries a
// bound on its distance to the exact value of the same formula on the same
// extended-precision inputs; the bound covers the double rounding and the
// (much smaller) rounding of the extended routine, so both lie within it.
// When the rounded target is the same everywhere within the bound (the
// value is farther than 4 x bound + 1e-9 from every k + 0.5), the extended
// routine would give the same pixel. Everything else goes to the routine
// itself: x near +-1 (centre, antipode, possible arc-cosine failure, where
// arccos is ill-conditioned), r near 0 or 1 (the centre's meridian, where
// sqrt is), the exact centre test, and values near a rounding boundary.
void ComputeColumn(const Plan& p, int X, int32_t* dest, ColumnStats& stats) {
    constexpr double u = 1.1102230246251565e-16; // unit roundoff of double
    constexpr double Ex = 2e-15; // |x - exact x|, both in double and in the extended routine
    constexpr double K = static_cast<double>(MapRadius) / 3.14159265358979323846;
    constexpr double R = MapRadius;

    const double s1 = p.s1, c1 = p.c1;
    const double halfInvC1 = 0.5 / c1;
    const double cdl = p.cdl[X];
    const bool flip = p.flip[X];
    const bool colEqual = p.colEqual[X];
    const long base = static_cast<long>(X) * H;

    for (int Y = 0; Y < H; ++Y) {
        const double s2 = p.s2[Y];
        const double x = s1 * s2 + (c1 * p.c2[Y]) * cdl;
        const double t = 1 - x * x;
        bool exact = !(t >= 1e-9) || (colEqual && p.rowEqual[Y]);
        long px = 0, py = 0;
        if (!exact) {
            // d = arccos x, sin d = s, cos d = x.
            const double s = std::sqrt(t);
            const double invS = 1 / s;
            const double d = std::acos(x);
            const double Es = (2 * Ex + 4 * u) * invS * 1.5 + 2 * u;
            const double Ed = (Ex + 4 * u) * invS * 1.5 + 8 * u;
            // r = (sin(d + phi1) - sin phi2) / (2 cos phi1 sin d)
            const double num = s * c1 + x * s1 - s2;
            const double invDen = halfInvC1 * invS; // 1 / (2 cos phi1 sin d)
            const double r = num * invDen;
            const double En = Es + Ed + Ex + 16 * u;
            const double relDen = Es * invS + 8 * u;
            const double Er = 1.5 * (En * std::fabs(invDen) + std::fabs(r) * relDen) + 4 * u;
            if (!(relDen < 0.25 && r - Er > 0 && r + Er < 1)) {
                exact = true;
            } else {
                // A0 = 2 arcsin(sqrt r): sin A0 = 2 sqrt(r (1 - r)), cos A0 = 1 - 2 r.
                const double g = r * (1 - r);
                const double Eg = Er + Er * Er + 4 * u;
                if (!(g > 4 * Eg)) {
                    exact = true;
                } else {
                    const double sq = std::sqrt(g);
                    const double sinA0 = 2 * sq;
                    const double EsinA = 2 * Eg / sq + 4 * u;
                    const double cosA = 1 - 2 * r;
                    const double EcosA = 2 * Er + 4 * u;
                    const double sinA = flip ? -sinA0 : sinA0;
                    const double dK = d * K;
                    const double EdK = Ed * K;
                    const double Evx = dK * EsinA + std::fabs(sinA) * EdK + EsinA * EdK + 1e-12;
                    const double Evy = dK * EcosA + std::fabs(cosA) * EdK + EcosA * EdK + 1e-12;
                    double mx, my;
                    px = RoundWithMargin(sinA * dK + R, mx);
                    py = RoundWithMargin(R - cosA * dK, my);
                    exact = mx <= Evx * 4 + 1e-9 || my <= Evy * 4 + 1e-9;
                }
            }
        }
        if (exact) {
            ++stats.exact;
            Real distance, azimuth;
            if (!ExactPixelInLoop(p, base + Y, distance, azimuth)) ++stats.failures;
            const TargetPixel tp = TargetOf(distance, azimuth);
            px = static_cast<long>(std::clamp<long long>(tp.px, -1, MapSize));
            py = static_cast<long>(std::clamp<long long>(tp.py, -1, MapSize));
        }
        dest[Y] = (px >= 0 && px < MapSize && py >= 0 && py < MapSize)
                      ? static_cast<int32_t>(py * MapSize + px)
                      : -1;
    }
}

} // namespace

void Generate(const WorldIndex& world, PositionState& state, PaletteImage& target,
              const BeepFn& beep, const ProgressFn& progress, GenerateStats* stats) {
    CheckSizes(world, target);
    const Plan plan = MakePlan(state);

    std::vector<int32_t> dest(static_cast<size_t>(PixelCount));
    constexpr int ChunkColumns = 6;
    constexpr int ChunkCount = (W + ChunkColumns - 1) / ChunkColumns;
    std::atomic<int> nextChunk{0};
    std::vector<std::atomic<uint8_t>> chunkDone(ChunkCount);
    for (auto& c : chunkDone)
        c.store(0, std::memory_order_relaxed);
    std::atomic<long> exactTotal{0}, failureTotal{0};

    auto work = [&]() {
        ColumnStats local;
        for (;;) {
            const int chunk = nextChunk.fetch_add(1, std::memory_order_relaxed);
            if (chunk >= ChunkCount) break;
            const int end = std::min(W, (chunk + 1) * ChunkColumns);
            ClearUpperVectorState();
            for (int X = chunk * ChunkColumns; X < end; ++X)
                ComputeColumn(plan, X, dest.data() + static_cast<size_t>(X) * H, local);
            chunkDone[chunk].store(1, std::memory_order_release);
        }
        exactTotal += local.exact;
        failureTotal += local.failures;
    };

    // The colours are written in loop order on this thread (last write wins),
    // as soon as the columns before them are ready.
    int written = 0; // chunks written
    auto writeReady = [&](bool wait) {
        while (written < ChunkCount) {
            if (!chunkDone[written].load(std::memory_order_acquire)) {
                if (!wait) return;
                std::this_thread::yield();
                continue;
            }
            const int end = std::min(W, (written + 1) * ChunkColumns);
            for (int X = written * ChunkColumns; X < end; ++X) {
                const int32_t* col = dest.data() + static_cast<size_t>(X) * H;
                for (int Y = 0; Y < H; ++Y)
                    if (col[Y] >= 0) target.indices[static_cast<size_t>(col[Y])] = world.at(X, Y);
                if (progress) progress(X);
            }
            ++written;
        }
    };

    HelperThreads helpers(work);
    // This thread computes too, and writes what is ready between its chunks.
    for (;;) {
        const int mine = nextChunk.fetch_add(1, std::memory_order_relaxed);
        if (mine >= ChunkCount) break;
        ColumnStats local;
        const int end = std::min(W, (mine + 1) * ChunkColumns);
        ClearUpperVectorState();
        for (int X = mine * ChunkColumns; X < end; ++X)
            ComputeColumn(plan, X, dest.data() + static_cast<size_t>(X) * H, local);
        chunkDone[mine].store(1, std::memory_order_release);
        exactTotal += local.exact;
        failureTotal += local.failures;
        writeReady(false);
    }
    writeReady(true);
    helpers.join();

    // The state as the plain loop leaves it after the last pixel.
    Real distance, azimuth;
    ExactPixelInLoop(plan, PixelCount - 1, distance, azimuth);
    state.CentreLat = plan.centreLat;
    state.PointLat = plan.rowLat[H - 1] == 90 ? 89.9L : plan.rowLat[H - 1];
    state.PointLon = plan.colLon[W - 1];
    state.PointDistance = distance;
    state.PointAzimuth = azimuth;

    const long failures = failureTotal.load();
    if (stats) {
        stats->exactPixels = exactTotal.load();
        stats->failures = failures;
    }
    if (beep)
        for (long i = 0; i < failures; ++i)
            beep();
}

void GenerateMap(const WorldIndex& world, const PaletteImage& background, PositionState& state,
                 PaletteImage& target, const BeepFn& beep, const ProgressFn& progress) {
    target = background;
    Generate(world, state, target, beep, progress);
}

} // namespace geo
