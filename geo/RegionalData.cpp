#include "geo/RegionalData.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <stdexcept>

namespace geo {

namespace {

constexpr double Rad = std::numbers::pi / 180.0;
constexpr uint32_t MaxRingPoints = 4'000'000;
constexpr size_t MaxTotalPoints = 40'000'000;
// Units of the stored coordinates per degree.
constexpr double Units = 1e4;
// The longest stored edge kept as it is: 0.1 degree.
constexpr int64_t DenseStep = 1000;
// Points put into long edges, at most (the shipped data needs about 40,000):
// a small damaged file cannot grow into hundreds of megabytes.
constexpr uint64_t MaxAddedPoints = 4'000'000;
// The maps' scale: 20000 km from the centre to the antipode.
constexpr double KmPerRadian = 20000.0 / std::numbers::pi;

class Reader {
  public:
    Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    [[noreturn]] static void Fail(const std::string& why) {
        throw std::runtime_error("the regional map data is damaged: " + why);
    }
    uint8_t U8() {
        if (at_ >= n_) Fail("it ends too early");
        return p_[at_++];
    }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(U8()) << (8 * i);
        return v;
    }
    uint64_t Varint() {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const uint8_t b = U8();
            v |= static_cast<uint64_t>(b & 0x7F) << shift;
            if (!(b & 0x80)) return v;
        }
        Fail("a number is too long");
    }
    int64_t Zigzag() {
        const uint64_t v = Varint();
        return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
    }
    size_t left() const { return n_ - at_; }

  private:
    const uint8_t* p_;
    size_t n_;
    size_t at_ = 0;
};

} // namespace

Vec3 UnitVector(double latDeg, double lonDeg) {
    const double la = latDeg * Rad, lo = lonDeg * Rad;
    return {std::cos(la) * std::cos(lo), std::cos(la) * std::sin(lo), std::sin(la)};
}

Cap BoundingCap(const float* points, size_t count) {
    Vec3 m;
    for (size_t i = 0; i < count; ++i) {
        m.x += points[3 * i];
        m.y += points[3 * i + 1];
        m.z += points[3 * i + 2];
    }
    double len = std::sqrt(Dot(m, m));
    Cap cap;
    if (len < 1e-9) {
        // Points all round the sphere: a cap that holds everything.
        cap.centre = {0, 0, 1};
        cap.radius = std::numbers::pi;
        return cap;
    }
    cap.centre = {m.x / len, m.y / len, m.z / len};
    double minDot = 1;
    for (size_t i = 0; i < count; ++i)
        minDot = std::min(minDot,
                          Dot(cap.centre, {points[3 * i], points[3 * i + 1], points[3 * i + 2]}));
    // A little more for the rounding of the stored vectors.
    cap.radius = std::acos(std::clamp(minDot, -1.0, 1.0)) + 1e-6;
    return cap;
}

RegionalData RegionalData::Parse(const uint8_t* bytes, size_t size) {
    Reader in(bytes, size);
    static const char Magic[] = "KVREGMP1";
    if (size < 8 || std::memcmp(bytes, Magic, 8) != 0)
        throw std::runtime_error("this is not regional map data (wrong header)");
    for (int i = 0; i < 8; ++i)
        in.U8();
    RegionalData d;
    const uint32_t countries = in.U32();
    if (countries > 253) Reader::Fail("too many countries");
    d.countries_.resize(countries + 1);
    for (uint32_t c = 1; c <= countries; ++c) {
        d.countries_[c].code[0] = static_cast<char>(in.U8());
        d.countries_[c].code[1] = static_cast<char>(in.U8());
        d.countries_[c].palette = in.U8();
        if (d.countries_[c].palette > 15) Reader::Fail("a country colour is out of range");
    }
    const uint32_t rings = in.U32();
    // Every ring takes at least 6 bytes: a count beyond that is damage.
    if (rings > in.left() / 6) Reader::Fail("the ring count is too large");
    d.rings_.reserve(rings);
    // Room for the most points the bytes left can hold (two bytes a point, and
    // the closing point of each ring): only the pages written are touched, and
    // the vectors are cut to size once at the end instead of growing by copies.
    const size_t pointBound = std::min(in.left() / 2 + rings, MaxTotalPoints);
    d.points_.reserve(3 * pointBound);
    d.chunks_.reserve(pointBound / ChunkEdges + rings);
    uint64_t added = 0; // points put into long edges
    for (uint32_t r = 0; r < rings; ++r) {
        struct {
            uint8_t kind, country;
            uint32_t first;
        } ring{};
        ring.kind = in.U8();
        ring.country = in.U8();
        if (ring.kind == Country) {
            if (ring.country == 0 || ring.country > countries)
                Reader::Fail("a country ring names no country");
        } else if (ring.kind < 1 || ring.kind > 6 || ring.country != 0) {
            Reader::Fail("a ring of unknown kind");
        }
        const uint64_t n = in.Varint();
        if (n < 3 || n > MaxRingPoints) Reader::Fail("a ring has a wrong number of points");
        // Each point takes at least two bytes.
        if (n > in.left() / 2) Reader::Fail("it ends inside a ring");
        if (d.pointCount() + n + 1 > MaxTotalPoints) Reader::Fail("too many points");
        ring.first = static_cast<uint32_t>(d.pointCount());
        auto push = [&d](double latUnits, double lonUnits) {
            const Vec3 v = UnitVector(latUnits / Units, lonUnits / Units);
            d.points_.push_back(static_cast<float>(v.x));
            d.points_.push_back(static_cast<float>(v.y));
            d.points_.push_back(static_cast<float>(v.z));
        };
        // The stored edges are straight in longitude and latitude (a border
        // along a parallel is two points far apart); on the sphere an edge is
        // a great circle. Long edges get points every DenseStep so that the
        // two agree (at 49 degrees north a 0.1 degree step strays by about a
        // metre, where 10 degrees in one edge would stray by 30 km).
        auto densify = [&](int64_t fromLat, int64_t fromLon, int64_t toLat, int64_t toLon,
                           uint64_t left) {
            // Along a pole the edge is one point; across the date line the
            // short way round (a step of 359.9 degrees is one of 0.1).
            const int64_t pole = 90 * static_cast<int64_t>(Units);
            if (fromLat == toLat && std::abs(fromLat) == pole) return;
            const int64_t turn = 360 * static_cast<int64_t>(Units);
            int64_t dLon = toLon - fromLon;
            while (dLon > turn / 2)
                dLon -= turn;
            while (dLon < -turn / 2)
                dLon += turn;
            toLon = fromLon + dLon;
            const int64_t span = std::max(std::abs(toLat - fromLat), std::abs(toLon - fromLon));
            const int64_t steps = (span + DenseStep - 1) / DenseStep;
            if (steps <= 1) return;
            added += static_cast<uint64_t>(steps - 1);
            if (added > MaxAddedPoints) Reader::Fail("too many long edges");
            if (d.pointCount() + static_cast<uint64_t>(steps) + left > MaxTotalPoints)
                Reader::Fail("too many points");
            for (int64_t k = 1; k < steps; ++k) {
                const double t = static_cast<double>(k) / static_cast<double>(steps);
                push(static_cast<double>(fromLat) + t * static_cast<double>(toLat - fromLat),
                     static_cast<double>(fromLon) + t * static_cast<double>(toLon - fromLon));
            }
        };
        int64_t lon = 0, lat = 0, firstLat = 0, firstLon = 0;
        for (uint64_t i = 0; i < n; ++i) {
            const int64_t prevLat = lat, prevLon = lon;
            lon += in.Zigzag();
            lat += in.Zigzag();
            if (lat < -90 * Units || lat > 90 * Units || lon < -540 * Units || lon > 540 * Units)
                Reader::Fail("a point lies off the globe");
            if (i == 0) {
                firstLat = lat;
                firstLon = lon;
            } else {
                densify(prevLat, prevLon, lat, lon, n - i + 1);
            }
            push(static_cast<double>(lat), static_cast<double>(lon));
        }
        densify(lat, lon, firstLat, firstLon, 1);
        d.FinishRing(ring.kind, ring.country, ring.first);
    }
    if (in.left() != 0) Reader::Fail("there are bytes after the last ring");
    d.points_.shrink_to_fit();
    d.chunks_.shrink_to_fit();
    return d;
}

void RegionalData::FinishRing(uint8_t kind, uint8_t country, uint32_t first) {
    Ring ring;
    ring.kind = kind;
    ring.country = country;
    ring.first = first;
    // The ring is closed explicitly: the first point again at the end.
    for (uint32_t k = 0; k < 3; ++k)
        points_.push_back(points_[3 * first + k]);
    ring.count = static_cast<uint32_t>(pointCount() - first);
    ring.cap = BoundingCap(&points_[3 * ring.first], ring.count);
    ring.firstChunk = static_cast<uint32_t>(chunks_.size());
    for (uint32_t e = 0; e + 1 < ring.count; e += ChunkEdges) {
        Chunk c;
        c.first = ring.first + e;
        c.edges = std::min<uint32_t>(ChunkEdges, ring.count - 1 - e);
        c.cap = BoundingCap(&points_[3 * c.first], c.edges + 1);
        chunks_.push_back(c);
    }
    ring.chunks = static_cast<uint32_t>(chunks_.size()) - ring.firstChunk;
    rings_.push_back(ring);
}

uint8_t RegionalData::AddCountry(const char code[2], uint8_t palette) {
    if (countries_.empty()) countries_.resize(1);
    if (countries_.size() > 253) throw std::invalid_argument("too many countries");
    CountryInfo c;
    c.code[0] = code[0];
    c.code[1] = code[1];
    c.palette = palette & 15;
    countries_.push_back(c);
    return static_cast<uint8_t>(countries_.size() - 1);
}

void RegionalData::AddRing(uint8_t kind, uint8_t country, const std::vector<LatLonDeg>& points) {
    if (points.size() < 3) throw std::invalid_argument("a ring needs three points");
    const uint32_t first = static_cast<uint32_t>(pointCount());
    for (const LatLonDeg& p : points) {
        const Vec3 v = UnitVector(p.lat, p.lon);
        points_.push_back(static_cast<float>(v.x));
        points_.push_back(static_cast<float>(v.y));
        points_.push_back(static_cast<float>(v.z));
    }
    FinishRing(kind, country, first);
}

RegionalData RegionalData::Thinned(double angle) const {
    RegionalData out;
    out.countries_ = countries_;
    out.points_.reserve(points_.size());
    out.chunks_.reserve(chunks_.size());
    out.rings_.reserve(rings_.size());
    const float limit = static_cast<float>(std::cos(angle));
    for (const Ring& r : rings_) {
        const uint32_t first = static_cast<uint32_t>(out.pointCount());
        uint32_t kept = 0;
        const float* last = nullptr;
        // The last point repeats the first: it is left to FinishRing.
        for (uint32_t i = r.first; i + 1 < r.first + r.count; ++i) {
            const float* p = &points_[3 * i];
            if (last && last[0] * p[0] + last[1] * p[1] + last[2] * p[2] > limit) continue;
            out.points_.insert(out.points_.end(), p, p + 3);
            last = &points_[3 * i];
            ++kept;
        }
        if (kept < 3) {
            out.points_.resize(3 * static_cast<size_t>(first));
            continue;
        }
        out.FinishRing(r.kind, r.country, first);
    }
    out.points_.shrink_to_fit();
    out.chunks_.shrink_to_fit();
    out.rings_.shrink_to_fit();
    return out;
}

RegionalLevels::RegionalLevels(RegionalData full) {
    levels_.push_back({0, std::move(full)});
    for (double km : {0.5, 2.0})
        levels_.push_back({km, levels_.front().data.Thinned(km / KmPerRadian)});
}

const RegionalData& RegionalLevels::For(double kmPerPixel) const {
    const RegionalData* best = &levels_.front().data;
    for (const Level& l : levels_)
        if (l.km <= 0.5 * kmPerPixel) best = &l.data;
    return *best;
}

size_t RegionalLevels::MemoryBytes() const {
    size_t n = 0;
    for (const Level& l : levels_)
        n += l.data.MemoryBytes();
    return n;
}

size_t RegionalData::MemoryBytes() const {
    return rings_.capacity() * sizeof(Ring) + chunks_.capacity() * sizeof(Chunk) +
           points_.capacity() * sizeof(float) + countries_.capacity() * sizeof(CountryInfo);
}

} // namespace geo
