// The contest country file cty.dat and the call-sign resolver built on it.
// Plain C++, no Qt: the viewer's call line and korvanta-call share it.
//
// The file is a list of entity records. Each record is one header line of
// eight colon-terminated fields,
//
//     Balearic Islands:         14:  37:  EU:   39.60:    -2.95:    -1.0:  EA6:
//
// (name, CQ zone, ITU zone, continent, latitude north positive, longitude
// WEST positive, UTC offset in hours with the same west-positive sign, so
// that UTC+1 is written -1.0, and the primary prefix, with a leading "*"
// for an entity that counts only for the WAE award), followed by alias
// lines, comma separated, the last alias ending in ";":
//
//     AM6,AN6,EA6,EB6,=EA1QE/6,=EA3HZX/P,EF6(14)[37];
//
// An alias starting with "=" is a whole call sign; any other alias is a
// prefix. A call or prefix listed in more than one record belongs to the
// first of them, except that a listing under an entity counting only for WAE
// wins over any other: =GM3ABC under Scotland and under Shetland Islands
// (*GM/s) is Shetland, whichever record comes first. Overrides written behind an alias apply to
// that alias alone: (n) CQ zone, [n] ITU zone, <lat/lon> position (the header's signs), {cc}
// continent, ~n~ UTC offset (the header's sign).
//
// Inside the program every position is north and EAST positive and every
// offset is the hours to ADD to UTC (Germany +1): the file's west-positive
// longitude and offset are turned round once, when the file is read.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dx {

// One entity record of the file.
struct CtyEntity {
    std::string name;          // "Balearic Islands"
    int cqZone = 0;            // 1..40
    int ituZone = 0;           // 1..90
    std::string continent;     // AF, AN, AS, EU, NA, OC or SA
    double lat = 0;            // degrees, north positive
    double lon = 0;            // degrees, east positive
    double utcOffset = 0;      // hours to add to UTC for the local time
    std::string primaryPrefix; // "EA6", without the "*"
    bool waeOnly = false;      // "*" before the primary prefix
};

// What an alias says: its entity and the values that hold for it (the
// entity's, or the alias's own overrides).
struct CtyAlias {
    std::size_t entity = 0; // index into CtyDatabase::entities()
    int cqZone = 0;
    int ituZone = 0;
    std::string continent;
    double lat = 0;
    double lon = 0;
    double utcOffset = 0;
};

// Why a file was refused. The line is 1-based (0 when the fault is the file
// as a whole); `text` is the offending piece of the line, made printable
// (valid UTF-8 without control characters, "?" for any other byte, at most
// 60 characters), or for Unreadable the reason.
struct CtyError {
    enum class Kind {
        Unreadable,         // the file could not be opened or read
        NoEntity,           // no entity record at all
        HeaderFields,       // a header line without its eight fields
        BadName,            // empty entity name
        BadZone,            // CQ zone not 1..40 or ITU zone not 1..90
        BadContinent,       // not one of AF AN AS EU NA OC SA
        BadNumber,          // latitude, longitude or offset not a number or out of range
        BadPrefix,          // empty primary prefix
        BadAlias,           // an empty alias or one with characters outside A-Z 0-9 /
        BadOverride,        // an override that is not closed or not a valid value
        TextAfterEnd,       // something after the ";" that ends a record
        UnterminatedRecord, // the file ends before the ";" of the last record
    };
    Kind kind = Kind::Unreadable;
    int line = 0;
    std::string text;
};

// A country file is a few hundred kilobytes; anything far larger is not one.
inline constexpr std::size_t LargestCountryFile = 16 * 1024 * 1024;

// Plain English description of an error, naming the line ("line 12: ...").
std::string DescribeCtyError(const CtyError& e);

// How a typed call was resolved.
struct CtyAnswer {
    enum class Kind {
        Entity,             // `entity` and the alias values below hold
        MaritimeMobile,     // CALL/MM: no entity
        AeronauticalMobile, // CALL/AM: no entity
        Unknown,            // nothing in the file matches
    };
    Kind kind = Kind::Unknown;
    const CtyEntity* entity = nullptr;
    CtyAlias values;     // CQ/ITU zones, continent, position, offset that apply
    std::string matched; // the exact call or the prefix that decided
    bool exact = false;  // matched is a whole call ("=" alias)
    bool found() const { return kind == Kind::Entity; }
};

class CtyDatabase {
  public:
    // Reads a whole file's text. On a fault returns nullopt and fills
    // `error`; nothing of the faulty text is kept anywhere, so the caller's
    // previous database stays the one in use.
    static std::optional<CtyDatabase> Parse(std::string_view text, CtyError& error);
    // Reads the file at `path`: only a plain file of at most
    // LargestCountryFile bytes (Unreadable otherwise, with the reason as
    // the error's text: "not a plain file" for a pipe or /dev/zero).
    static std::optional<CtyDatabase> Load(const std::string& path, CtyError& error);

    const std::vector<CtyEntity>& entities() const { return entities_; }
    std::size_t prefixCount() const { return prefixes_.size(); }
    std::size_t exactCount() const { return exact_.size(); }

    // The resolution of a typed call. The rules, in the order they apply:
    //
    //  1. The text is trimmed and upper-cased (ASCII): " ea6ab " is EA6AB.
    //     An empty text resolves to nothing.
    //  2. A whole call listed with "=" wins over every prefix rule, also
    //     with its slashes: =EA3HZX/P makes EA3HZX/P the Balearic Islands
    //     even though /P would keep the home entity, and =EF6 (Spain) makes
    //     the call EF6 Spain while EF6AB still follows the prefix EF6
    //     (Balearic Islands): an exact entry is never used as a prefix.
    //  3. A last part /MM or /AM is no entity: G3ABC/MM is maritime mobile,
    //     G3ABC/AM aeronautical mobile.
    //  4. A last part that tells how the station works, not where, keeps
    //     the home entity and is dropped (repeatedly, G3ABC/M/P too): /P,
    //     /M, /QRP, /QRPP, /A, /R, /B, the lighthouse and lightship words
    //     /LH, /LGT, /LT, /LS, field day /FD, /JOTA, /YOTA, /MILL, /IMD,
    //     /SOTA, /POTA, /IOTA, /WWFF. G3ABC/P is England, and G3ABC/R is not
    //     Russia, G3ABC/B not China, 4X1ZZ/LH Israel and not Norway,
    //     F5ABC/FD France. What is left is again looked up as a whole call
    //     (rule 2): =3D2EU makes 3D2EU/P Rotuma.
    //  5. CALL/digit moves the call to another call area: the last digit of
    //     the call is replaced, W1ABC/4 is looked up as W4ABC, EA1ABC/6 as
    //     EA6ABC (Balearic Islands). The home entity stays when the moved
    //     call resolves to nothing (JD1ABC/6) or when the digit belongs to
    //     the prefix that placed the call and the moved call is another
    //     entity (T2AB/5 Tuvalu, not Somalia; 3D2AB/4 Fiji). A call of the
    //     USA's blocks (K, N, W, AA..AL) with a digit is in that US district,
    //     also a territory's call: KH6ABC/9 and KL7ABC/0 are the USA.
    //  6. PREFIX/CALL and CALL/PREFIX take the prefix side, which is the
    //     shorter side (the left one when both are as long): EA6/G3ABC and
    //     G3ABC/EA6 are the Balearic Islands, KH6/W1ABC Hawaii.
    //  7. Otherwise the longest prefix of the call that the file lists
    //     decides: EA6AB is the Balearic Islands (EA6), EA1AB Spain (EA).
    //  8. KG4 with a suffix of exactly two letters is Guantanamo Bay (KG4AB);
    //     any other KG4 call (KG4ABC, KG4A, KG44A) is looked up without the
    //     prefix KG4, which gives the USA. KG4 as the prefix side of rule 6
    //     (KG4/W1ABC) stays Guantanamo Bay.
    //  9. More than two parts left after rules 3 and 4 (F/G3ABC/5) resolve
    //     to nothing rather than to a guess.
    CtyAnswer Resolve(std::string_view call) const;

  private:
    // The longest listed prefix of `text`, at most `maxLength` characters long.
    const CtyAlias* LongestPrefix(std::string_view text, std::size_t maxLength,
                                  std::string& matched) const;
    CtyAnswer FromAlias(const CtyAlias& a, std::string matched, bool exact) const;
    CtyAnswer ResolveWholeCall(std::string_view call) const;
    // Rule 5: `call` moved to the call area `area` (a digit).
    CtyAnswer ResolveCallArea(const std::string& call, char area) const;

    std::vector<CtyEntity> entities_;
    std::unordered_map<std::string, CtyAlias> prefixes_;
    std::unordered_map<std::string, CtyAlias> exact_;
    std::size_t longestPrefix_ = 0;
};

// The local time offset in hours written as UTC+h, UTC-h:mm ("UTC+5:45").
std::string UtcOffsetText(double hours);

} // namespace dx
