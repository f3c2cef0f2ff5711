// Where a live station goes on the map, and its bearing and distance from
// the map centre. Plain C++, no Qt.
//
// The position, in this order: the locator the source gives (a decode's
// grid, a locator in the cluster comment); else the country file's position
// of the call (a whole-call entry, or the prefix after the portable forms,
// see dx::CtyDatabase::Resolve); else the built-in ham list's row whose key
// is the longest prefix of the call. The entity is the country file's (the
// built-in row's country when the file has none), also for a spot placed by
// its locator.
#pragma once

#include "live/Spot.h"

#include <optional>
#include <string>
#include <string_view>

namespace dx {
class CtyDatabase;
}

namespace live {

// The built-in ham list's row for a call: the row whose key (a prefix, a
// range "AA-AL" / "AH6-7", or a list "PJ2,4,9") matches the longest start
// of the call; of a portable call the home part ("EA6/G3ABC" -> EA6,
// "G3ABC/P" -> G3ABC).
struct BuiltinPlace {
    std::string country;
    double lat = 0, lon = 0;
};
std::optional<BuiltinPlace> BuiltinPlaceOf(std::string_view call);

class Placer {
  public:
    // `cty` may be null (no country file); it must outlive the placer.
    explicit Placer(const dx::CtyDatabase* cty = nullptr) : cty_(cty) {}
    void SetCountryFile(const dx::CtyDatabase* cty) { cty_ = cty; }
    void SetCentre(double lat, double lon) {
        centreLat_ = lat;
        centreLon_ = lon;
    }
    double centreLat() const { return centreLat_; }
    double centreLon() const { return centreLon_; }

    // Fills positionSource, entity, lat, lon and the bearings and distances.
    void Place(Spot& spot) const;
    // Only the bearings and distances (after the centre moved).
    void Measure(Spot& spot) const;

  private:
    const dx::CtyDatabase* cty_;
    double centreLat_ = 0;
    double centreLon_ = 0;
};

} // namespace live
