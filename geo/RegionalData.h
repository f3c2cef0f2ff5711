// The vector data of the regional maps: GSHHG shorelines (land, lakes,
// islands in lakes, ponds) and the Digital Chart of the World's country
// polygons, each country with its colour on the world map. Written once by
// tools/make_regional_data.py, shipped as resources/regional-map.bin and
// read here from its bytes (the program decompresses it first).
//
// Format (little-endian, after decompression):
//   "KVREGMP1"                      8 bytes
//   u32 country count C (at most 255)
//   C times: 2 bytes ISO code, u8 palette index of its colour
//   u32 ring count
//   per ring: u8 kind (1..6 the GSHHG level, 16 a country ring),
//             u8 country (1..C for a country ring, 0 for a shoreline),
//             varint point count n (3 .. 4,000,000),
//             n points: longitude then latitude in units of 1e-4 degree as
//             zigzag varints, the first absolute, the others the change
//             from the point before.
// A ring closes on itself (its last point need not repeat the first).
//
// In memory every point is a unit vector, and the rings are cut into chunks
// of consecutive points, each with the small cap that holds it, so that a
// map visits only the chunks near its own cap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace geo {

struct LatLonDeg {
    double lat = 0;
    double lon = 0;
};

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
inline double Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
// The unit vector of a position in degrees.
Vec3 UnitVector(double latDeg, double lonDeg);

// A cap on the sphere: its centre (unit vector) and angular radius (radians).
struct Cap {
    Vec3 centre;
    double radius = 0;
};

class RegionalData {
  public:
    enum Kind : uint8_t { Country = 16 };
    // Points per chunk (the chunks share their end points).
    static constexpr int ChunkEdges = 48;

    struct Ring {
        uint8_t kind = 0;
        uint8_t country = 0;
        uint32_t first = 0; // first point
        uint32_t count = 0; // points, the first repeated at the end
        uint32_t firstChunk = 0;
        uint32_t chunks = 0;
        Cap cap;
    };
    struct Chunk {
        uint32_t first = 0; // first point; the chunk runs to first + edges
        uint32_t edges = 0;
        Cap cap;
    };
    struct CountryInfo {
        char code[3] = {0, 0, 0};
        uint8_t palette = 0;
    };

    RegionalData() = default;
    // Reads the (decompressed) bytes; throws std::runtime_error with the
    // reason when they are not regional map data.
    static RegionalData Parse(const uint8_t* bytes, size_t size);

    // Building in code (the tests): a country (returns its index) and a ring
    // of positions in degrees (at least three).
    uint8_t AddCountry(const char code[2], uint8_t palette);
    void AddRing(uint8_t kind, uint8_t country, const std::vector<LatLonDeg>& points);

    const std::vector<Ring>& rings() const { return rings_; }
    const std::vector<Chunk>& chunks() const { return chunks_; }
    const std::vector<float>& points() const { return points_; }
    // Countries by index 1..count (index 0 is unused).
    const std::vector<CountryInfo>& countries() const { return countries_; }
    Vec3 Point(uint32_t i) const {
        return {points_[3 * i], points_[3 * i + 1], points_[3 * i + 2]};
    }
    size_t pointCount() const { return points_.size() / 3; }
    bool empty() const { return rings_.empty(); }
    // Bytes held in memory.
    size_t MemoryBytes() const;

    // A copy keeping of each ring the points at least `angle` radians from
    // the point kept before.
    RegionalData Thinned(double angle) const;

  private:
    // Ends the ring whose points were appended from `first` on.
    void FinishRing(uint8_t kind, uint8_t country, uint32_t first);

    std::vector<Ring> rings_;
    std::vector<Chunk> chunks_;
    std::vector<float> points_; // x, y, z per point
    std::vector<CountryInfo> countries_;
};

// The same data at several levels of detail for maps of any scale: the full
// data, and copies keeping of each ring only the points at least 0.5 km and
// 2 km from the point kept before (rings left with fewer than three points
// are dropped: they would fill no pixel).
class RegionalLevels {
  public:
    explicit RegionalLevels(RegionalData full);
    // The coarsest level whose points lie no farther apart than half a
    // pixel of a map of `kmPerPixel`.
    const RegionalData& For(double kmPerPixel) const;
    const RegionalData& full() const { return levels_.front().data; }
    size_t MemoryBytes() const;

  private:
    struct Level {
        double km = 0;
        RegionalData data;
    };
    std::vector<Level> levels_;
};

// The smallest-known cap holding the unit vectors [first, first + count) of
// `points` (x, y, z triples): centred on their normalised mean, its radius
// the largest angle to one of them.
Cap BoundingCap(const float* points, size_t count);

} // namespace geo
