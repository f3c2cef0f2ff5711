#include "geo/RegionalMap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <thread>

namespace geo {

namespace {

constexpr double PiD = std::numbers::pi;
// The smallest lake drawn: the radius of its cap, in pixels.
constexpr double MinLakePixels = 2.0;

double Wrap(double a) {
    while (a > PiD)
        a -= 2 * PiD;
    while (a <= -PiD)
        a += 2 * PiD;
    return a;
}

double AngleBetween(const Vec3& a, const Vec3& b) {
    return std::acos(std::clamp(Dot(a, b), -1.0, 1.0));
}

// The map's cap and the projection's pieces.
struct Setup {
    Vec3 c, e, n; // centre, east and north at the centre
    double rim = PiD, cosRim = -1;
    double R = 300, scale = 300 / PiD; // pixels per radian
    int size = 600;
    double outer = 302;   // radius of the arcs that stand for the parts beyond the rim
    double arcStep = 0.1; // radians between their points
};

Setup MakeSetup(const MapFrame& f) {
    Setup s;
    const double lat = static_cast<double>(f.geometricCentreLat()) * PiD / 180;
    const double lon = static_cast<double>(f.centreLon()) * PiD / 180;
    s.c = {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
    s.e = {-std::sin(lon), std::cos(lon), 0};
    s.n = {-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon), std::cos(lat)};
    s.rim = static_cast<double>(f.rimAngle());
    s.cosRim = std::cos(s.rim);
    s.size = f.size();
    s.R = f.radius();
    s.scale = s.R / s.rim;
    // Beyond every pixel of the disc; the chords stay beyond it too (their
    // sagitta is half a pixel).
    s.outer = s.R + 2;
    s.arcStep = 2 * std::acos(1 - 0.5 / s.outer);
    return s;
}

// Even-odd fill by toggles: an edge crossing row y at x toggles (exclusive-or
// with its value) the first pixel at or right of x; the prefix exclusive-or
// of each row then gives every pixel the exclusive-or of the values of the
// rings that hold its centre an odd number of times.
class Toggles {
  public:
    explicit Toggles(int n) : n_(n), t_(static_cast<size_t>(n) * n, 0) {}

    void Edge(double x0, double y0, double x1, double y1, uint8_t v) {
        if (y0 == y1) return;
        if (y0 > y1) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        const int ya = std::max(0, static_cast<int>(std::ceil(y0)));
        const int yb = std::min(n_ - 1, static_cast<int>(std::ceil(y1)) - 1);
        if (ya > yb) return;
        const double slope = (x1 - x0) / (y1 - y0);
        for (int y = ya; y <= yb; ++y) {
            const double x = x0 + (y - y0) * slope;
            if (!(x < n_)) continue;
            const int col = x <= 0 ? 0 : static_cast<int>(std::ceil(x));
            if (col >= n_) continue;
            t_[static_cast<size_t>(y) * n_ + col] ^= v;
        }
    }
    void Resolve() {
        for (int y = 0; y < n_; ++y) {
            uint8_t acc = 0;
            uint8_t* row = t_.data() + static_cast<size_t>(y) * n_;
            for (int x = 0; x < n_; ++x) {
                acc ^= row[x];
                row[x] = acc;
            }
        }
    }
    std::vector<uint8_t>& values() { return t_; }

  private:
    int n_;
    std::vector<uint8_t> t_;
};

// Clips one ring to the cap and feeds its edges to the toggles.
class RingClipper {
  public:
    RingClipper(const Setup& s, Toggles& t) : s_(s), t_(t) {}

    void Run(const RegionalData& d, const RegionalData::Ring& ring, uint8_t value) {
        v_ = value;
        const double delta = AngleBetween(s_.c, ring.cap.centre);
        const bool holdsAntipode = PiD - delta <= ring.cap.radius;
        // Wholly beyond the rim and round neither the centre nor the antipode:
        // nothing of it shows and it turns round nothing.
        if (delta - ring.cap.radius > s_.rim && !holdsAntipode) return;

        havePen_ = false;
        Vec3 p0 = d.Point(ring.first);
        double dPrev = Dot(p0, s_.c);
        bool inPrev = dPrev >= s_.cosRim;
        startedInside_ = inPrev;
        runSweep_ = 0;
        initialSweep_ = 0;
        if (inPrev) {
            first_ = ProjectInside(p0, dPrev);
            pen_ = first_;
            havePen_ = true;
        } else {
            lastB_ = Bearing(p0);
        }
        Vec3 p = p0;
        for (uint32_t k = 0; k < ring.chunks; ++k) {
            const RegionalData::Chunk& ch = d.chunks()[ring.firstChunk + k];
            const double dc = AngleBetween(s_.c, ch.cap.centre);
            if (!inPrev && dc - ch.cap.radius > s_.rim && PiD - dc > ch.cap.radius) {
                // Wholly beyond the rim, within a cap that holds neither the
                // centre nor the antipode: the bearing turns there by less
                // than half a turn, so its ends tell how far.
                p = d.Point(ch.first + ch.edges);
                const double b = Bearing(p);
                runSweep_ += Wrap(b - lastB_);
                lastB_ = b;
                dPrev = Dot(p, s_.c);
                continue;
            }
            for (uint32_t i = ch.first; i < ch.first + ch.edges; ++i) {
                const Vec3 q = d.Point(i + 1);
                const double dq = Dot(q, s_.c);
                const bool inQ = dq >= s_.cosRim;
                Edge(p, q, inPrev, inQ, dPrev, dq);
                p = q;
                dPrev = dq;
                inPrev = inQ;
            }
        }
        if (!havePen_) {
            // Never inside: the rim itself when the ring turns round the centre.
            if (std::abs(runSweep_) > PiD) Circle(s_.outer);
        } else if (!startedInside_) {
            Arc(runStart_, runSweep_ + initialSweep_);
            LineTo(first_);
        }
        // A ring round the antipode holds what lies outside it: the other
        // side of it inside the cap.
        if (holdsAntipode && std::abs(Winding(d, ring)) > PiD && Dot(s_.c, ring.cap.centre) < 0)
            Circle(s_.outer + 1);
    }

  private:
    double Bearing(const Vec3& p) const { return std::atan2(Dot(p, s_.e), Dot(p, s_.n)); }
    MapPoint OnCircle(double bearing, double radius) const {
        return {s_.R + radius * std::sin(bearing), s_.R - radius * std::cos(bearing)};
    }
    MapPoint ProjectInside(const Vec3& p, double cosd) const {
        const double east = Dot(p, s_.e), north = Dot(p, s_.n);
        const double sd = std::sqrt(east * east + north * north);
        if (sd < 1e-15) return {s_.R, s_.R};
        const double r = s_.scale * std::atan2(sd, cosd);
        return {s_.R + r * east / sd, s_.R - r * north / sd};
    }
    void LineTo(const MapPoint& q) {
        if (havePen_) t_.Edge(pen_.x, pen_.y, q.x, q.y, v_);
        pen_ = q;
        havePen_ = true;
    }
    void Arc(double from, double sweep) {
        LineTo(OnCircle(from, s_.outer));
        const int steps = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / s_.arcStep)));
        for (int k = 1; k <= steps; ++k)
            LineTo(OnCircle(from + sweep * k / steps, s_.outer));
    }
    // A closed circle of its own round the whole disc.
    void Circle(double radius) {
        const int steps = static_cast<int>(std::ceil(2 * PiD / s_.arcStep));
        MapPoint a = OnCircle(0, radius);
        for (int k = 1; k <= steps; ++k) {
            const MapPoint b = OnCircle(2 * PiD * k / steps, radius);
            t_.Edge(a.x, a.y, b.x, b.y, v_);
            a = b;
        }
    }
    // The turn of the bearing seen from the centre along the whole ring.
    double Winding(const RegionalData& d, const RegionalData::Ring& ring) const {
        double sweep = 0;
        Vec3 p = d.Point(ring.first);
        double b = Bearing(p);
        for (uint32_t k = 0; k < ring.chunks; ++k) {
            const RegionalData::Chunk& ch = d.chunks()[ring.firstChunk + k];
            const double dc = AngleBetween(s_.c, ch.cap.centre);
            const bool plain = dc > ch.cap.radius && PiD - dc > ch.cap.radius;
            const uint32_t step = plain ? ch.edges : 1;
            for (uint32_t i = ch.first + step; i <= ch.first + ch.edges; i += step) {
                const double nb = Bearing(d.Point(i));
                sweep += Wrap(nb - b);
                b = nb;
            }
        }
        return sweep;
    }

    // One great-circle edge from p to q.
    void Edge(const Vec3& p, const Vec3& q, bool inP, bool inQ, double dp, double dq) {
        std::array<double, 2> roots{};
        int nRoots = 0;
        // The arc: x(t) = cos t p + sin t u, t in [0, theta].
        const double pq = Dot(p, q);
        Vec3 u{q.x - pq * p.x, q.y - pq * p.y, q.z - pq * p.z};
        const double ul = std::sqrt(Dot(u, u));
        const double theta = std::atan2(ul, pq);
        if (ul > 1e-15 && theta > 0) {
            u = {u.x / ul, u.y / ul, u.z / ul};
            const double uc = Dot(u, s_.c);
            const double A = std::hypot(dp, uc);
            if (A > 0 && std::abs(s_.cosRim) <= A) {
                const double phi = std::atan2(uc, dp);
                const double alpha = std::acos(std::clamp(s_.cosRim / A, -1.0, 1.0));
                for (double t : {phi - alpha, phi + alpha}) {
                    t = std::fmod(t, 2 * PiD);
                    if (t < 0) t += 2 * PiD;
                    if (t > 2 * PiD - 1e-12) t -= 2 * PiD;
                    if (t > -1e-12 && t < theta + 1e-12)
                        roots[static_cast<size_t>(nRoots++)] = std::clamp(t, 0.0, theta);
                }
                if (nRoots == 2 && roots[0] > roots[1]) std::swap(roots[0], roots[1]);
                if (nRoots == 2 && roots[1] - roots[0] < 1e-13) nRoots = 0; // grazing
            }
        }
        // Rounding near the ends: the crossings must agree with the ends.
        if ((nRoots % 2 == 1) != (inP != inQ)) {
            if (nRoots == 0) {
                roots[0] = inP ? theta : 0;
                nRoots = 1;
            } else if (nRoots == 1) {
                nRoots = 0;
            } else {
                // Keep the crossing farther from the ends.
                const double m0 = std::min(roots[0], theta - roots[0]);
                const double m1 = std::min(roots[1], theta - roots[1]);
                if (m0 < m1) roots[0] = roots[1];
                nRoots = 1;
            }
        }
        bool in = inP;
        for (int k = 0; k < nRoots; ++k) {
            const double t = roots[static_cast<size_t>(k)];
            const double ct = std::cos(t), st = std::sin(t);
            const Vec3 x{ct * p.x + st * u.x, ct * p.y + st * u.y, ct * p.z + st * u.z};
            const double b = Bearing(x);
            const MapPoint onRim = OnCircle(b, s_.R);
            if (in) {
                LineTo(onRim);
                runStart_ = b;
                runSweep_ = 0;
                lastB_ = b;
            } else {
                runSweep_ += Wrap(b - lastB_);
                if (!havePen_) {
                    initialSweep_ = runSweep_;
                    first_ = onRim;
                    pen_ = onRim;
                    havePen_ = true;
                } else {
                    Arc(runStart_, runSweep_);
                    LineTo(onRim);
                }
            }
            in = !in;
        }
        if (in) {
            LineTo(ProjectInside(q, dq));
        } else {
            const double b = Bearing(q);
            runSweep_ += Wrap(b - lastB_);
            lastB_ = b;
        }
    }

    const Setup& s_;
    Toggles& t_;
    uint8_t v_ = 1;
    bool havePen_ = false;
    bool startedInside_ = false;
    MapPoint pen_, first_;
    double runStart_ = 0, runSweep_ = 0, initialSweep_ = 0, lastB_ = 0;
};

void FillKind(const RegionalData& d, const Setup& s, Toggles& t, bool countries) {
    RingClipper clip(s, t);
    for (const RegionalData::Ring& ring : d.rings()) {
        const bool isCountry = ring.kind == RegionalData::Country;
        if (isCountry != countries) continue;
        // Lakes (and what lies in them) narrower than a few pixels would be
        // only a ring of coastline: left out, as the world map leaves out
        // its small lakes.
        if (!isCountry && ring.kind >= 2 && ring.cap.radius * s.scale < MinLakePixels) continue;
        clip.Run(d, ring, countries ? ring.country : 1);
    }
    t.Resolve();
}

} // namespace

double NiceScaleLength(double kmPerPixel, double unitKm, double maxPixels) {
    if (!(kmPerPixel > 0) || !(unitKm > 0) || !(maxPixels > 0)) return 0;
    const double most = maxPixels * kmPerPixel / unitKm; // units
    double power = std::pow(10.0, std::floor(std::log10(most)));
    for (;;) {
        for (double m : {5.0, 2.0, 1.0})
            if (m * power <= most * (1 + 1e-12)) return m * power;
        power /= 10;
    }
}

bool RegionalUsesWorldPicture(const MapFrame& frame, int worldWidth) {
    if (worldWidth <= 0) return false;
    return frame.kmPerPixel() >= 2 * HalfCircumferenceKm / worldWidth;
}

std::vector<uint8_t> FillRings(const std::vector<std::vector<LatLonDeg>>& rings,
                               const MapFrame& frame) {
    RegionalData d;
    for (const auto& r : rings)
        d.AddRing(1, 0, r);
    const Setup s = MakeSetup(frame);
    Toggles t(frame.size());
    FillKind(d, s, t, false);
    std::vector<uint8_t> mask = std::move(t.values());
    const int n = frame.size();
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double dx = x - s.R, dy = y - s.R;
            if (dx * dx + dy * dy > s.R * s.R) mask[static_cast<size_t>(y) * n + x] = 0;
        }
    return mask;
}

PaletteImage DrawRegionalMap(const RegionalData& data, const MapFrame& frame,
                             const LandColourFn& landColour) {
    const Setup s = MakeSetup(frame);
    const int n = frame.size();
    Toggles land(n), country(n);
    std::thread helper([&] { FillKind(data, s, country, true); });
    FillKind(data, s, land, false);
    helper.join();
    std::vector<uint8_t>& L = land.values();
    std::vector<uint8_t>& C = country.values();

    // Which pixels lie on the disc: per row, the columns [lo, hi].
    std::vector<int> lo(static_cast<size_t>(n)), hi(static_cast<size_t>(n));
    for (int y = 0; y < n; ++y) {
        const double dy = y - s.R;
        const double h2 = s.R * s.R - dy * dy;
        if (h2 < 0) {
            lo[static_cast<size_t>(y)] = 1;
            hi[static_cast<size_t>(y)] = 0;
            continue;
        }
        const double h = std::sqrt(h2);
        lo[static_cast<size_t>(y)] = std::max(0, static_cast<int>(std::ceil(s.R - h)));
        hi[static_cast<size_t>(y)] = std::min(n - 1, static_cast<int>(std::floor(s.R + h)));
    }

    // Country of each pixel: 0 water, Unknown land of no known country,
    // Outside off the disc.
    const auto& countries = data.countries();
    const size_t known = countries.size();
    constexpr uint8_t Unknown = 255, Outside = 254;
    int firstUnknown = n, lastUnknown = -1; // rows
    for (int y = 0; y < n; ++y) {
        const int a = lo[static_cast<size_t>(y)], b = hi[static_cast<size_t>(y)];
        uint8_t* c = C.data() + static_cast<size_t>(y) * n;
        const uint8_t* l = L.data() + static_cast<size_t>(y) * n;
        for (int x = 0; x < n; ++x) {
            if (x < a || x > b) {
                c[x] = Outside;
            } else if (!l[x]) {
                c[x] = 0;
            } else if (c[x] == 0 || c[x] >= known) {
                c[x] = Unknown;
                firstUnknown = std::min(firstUnknown, y);
                lastUnknown = y;
            }
        }
    }
    // Land no country covers (the two data sets differ a little along the
    // coasts) takes the country of a neighbour, swept both ways over the
    // rows that have such land.
    auto source = [](uint8_t v) { return v != 0 && v < Outside; };
    for (int pass = 0; firstUnknown <= lastUnknown && pass < 4; ++pass) {
        const int y0 = std::max(0, firstUnknown - 1), y1 = std::min(n - 1, lastUnknown + 1);
        for (int y = y0; y <= y1; ++y)
            for (int x = 0; x < n; ++x) {
                uint8_t& c = C[static_cast<size_t>(y) * n + x];
                if (c != Unknown) continue;
                if (x > 0 && source(C[static_cast<size_t>(y) * n + x - 1]))
                    c = C[static_cast<size_t>(y) * n + x - 1];
                else if (y > 0 && source(C[static_cast<size_t>(y - 1) * n + x]))
                    c = C[static_cast<size_t>(y - 1) * n + x];
            }
        int f = n, l = -1;
        for (int y = y1; y >= y0; --y)
            for (int x = n - 1; x >= 0; --x) {
                uint8_t& c = C[static_cast<size_t>(y) * n + x];
                if (c != Unknown) continue;
                if (x + 1 < n && source(C[static_cast<size_t>(y) * n + x + 1]))
                    c = C[static_cast<size_t>(y) * n + x + 1];
                else if (y + 1 < n && source(C[static_cast<size_t>(y + 1) * n + x]))
                    c = C[static_cast<size_t>(y + 1) * n + x];
                else {
                    f = std::min(f, y);
                    l = std::max(l, y);
                }
            }
        firstUnknown = f;
        lastUnknown = l;
    }

    std::array<uint8_t, 256> colour{};
    colour.fill(12); // land of no country at all: a light land colour
    colour[0] = PaletteSea;
    for (size_t i = 1; i < known; ++i)
        colour[i] = countries[i].palette;

    PaletteImage img(n, n, PaletteBlack);
    for (int y = 0; y < n; ++y) {
        const int a = lo[static_cast<size_t>(y)], b = hi[static_cast<size_t>(y)];
        const uint8_t* row = C.data() + static_cast<size_t>(y) * n;
        const uint8_t* up = y > 0 ? row - n : nullptr;
        const uint8_t* down = y + 1 < n ? row + n : nullptr;
        uint8_t* out = img.indices.data() + static_cast<size_t>(y) * n;
        for (int x = a; x <= b; ++x) {
            const uint8_t c = row[x];
            if (c == 0) {
                out[x] = PaletteSea;
                continue;
            }
            // The coast: land beside water; a border: land beside the next
            // country to the right or below.
            const uint8_t l = x > 0 ? row[x - 1] : Outside;
            const uint8_t r = x + 1 < n ? row[x + 1] : Outside;
            const uint8_t u = up ? up[x] : Outside;
            const uint8_t d = down ? down[x] : Outside;
            const bool coast = l == 0 || r == 0 || u == 0 || d == 0;
            const bool border = (r != Outside && r != c) || (d != Outside && d != c);
            if (coast || border) {
                out[x] = PaletteBlack;
            } else if (c == Unknown && landColour) {
                const auto p = frame.PositionAt(x, y);
                out[x] = p ? landColour(static_cast<double>(p->lat), static_cast<double>(p->lon))
                           : colour[c];
            } else {
                out[x] = colour[c];
            }
        }
    }
    return img;
}

} // namespace geo
