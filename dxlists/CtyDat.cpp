#include "dxlists/CtyDat.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dx {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IsCallChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
}

bool IsLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A last part that tells how a station works, not where it is: it keeps the
// home entity and is dropped. Portable, mobile, low power, alternative,
// rover and beacon (P, M, QRP, QRPP, A, R, B); a lighthouse or lightship
// (LH, LGT, LT, LS); field day (FD); the scouts' and the youth's events
// (JOTA, YOTA); mills on the air (MILL); International Marconi Day (IMD);
// and the award programmes (SOTA, POTA, IOTA, WWFF). Several of them are
// also prefixes (LH Norway, FD France, LT and LS Argentina): 4X1ZZ/LH is
// Israel, not Norway; F5ABC/FD France, not by way of its prefix F.
bool KeepsHomeEntity(std::string_view part) {
    static constexpr std::array<std::string_view, 20> words = {
        "P",  "M",  "QRP",  "QRPP", "A",    "R",   "B",    "LH",   "LGT",  "LT",
        "LS", "FD", "JOTA", "YOTA", "MILL", "IMD", "SOTA", "POTA", "IOTA", "WWFF"};
    return std::find(words.begin(), words.end(), part) != words.end();
}

std::optional<int> ReadInt(std::string_view s) {
    s = Trim(s);
    int v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
    return v;
}

std::optional<double> ReadNumber(std::string_view s) {
    s = Trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool ValidContinent(std::string_view c) {
    static constexpr std::array<std::string_view, 7> all = {"AF", "AN", "AS", "EU",
                                                            "NA", "OC", "SA"};
    for (auto a : all)
        if (a == c) return true;
    return false;
}

bool ValidCq(int z) {
    return z >= 1 && z <= 40;
}

bool ValidItu(int z) {
    return z >= 1 && z <= 90;
}

// The file's west-positive longitude or offset, turned east-positive.
double East(double westPositive) {
    return westPositive == 0 ? 0.0 : -westPositive;
}

// The piece of a faulty line as it may be shown: valid UTF-8 without control
// characters, at most 60 characters (by default). Every other byte becomes "?", and a
// longer piece ends in "...": a binary file gives "?PNG???" in a message,
// not its raw bytes.
std::string PrintableExcerpt(std::string_view text, std::size_t maxCharacters = 60) {
    std::string out;
    std::size_t characters = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (characters == maxCharacters) {
            out += "...";
            break;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        if (c >= 0x20 && c < 0x7F)
            length = 1;
        else if (c >= 0xC2 && c <= 0xDF)
            length = 2;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4;
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (valid && length == 3) {
            // No overlong forms and no surrogates.
            const auto c1 = static_cast<unsigned char>(text[i + 1]);
            valid = !(c == 0xE0 && c1 < 0xA0) && !(c == 0xED && c1 >= 0xA0);
        } else if (valid && length == 4) {
            const auto c1 = static_cast<unsigned char>(text[i + 1]);
            valid = !(c == 0xF0 && c1 < 0x90) && !(c == 0xF4 && c1 >= 0x90);
        }
        // C1 control characters (U+0080..U+009F) are not shown either.
        if (valid && length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0)
            valid = false;
        if (valid) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += '?';
            ++i;
        }
        ++characters;
    }
    return out;
}

struct Parser {
    CtyError& error;
    std::vector<CtyEntity> entities;
    std::unordered_map<std::string, CtyAlias> prefixes;
    std::unordered_map<std::string, CtyAlias> exact;
    std::size_t longest = 0;

    bool Fail(CtyError::Kind kind, int line, std::string_view text) {
        error = CtyError{kind, line, PrintableExcerpt(text)};
        return false;
    }

    bool Header(std::string_view line, int n) {
        std::array<std::string_view, 8> f;
        std::size_t count = 0;
        std::string_view rest = line;
        while (count < f.size()) {
            const std::size_t colon = rest.find(':');
            if (colon == std::string_view::npos) break;
            f[count++] = Trim(rest.substr(0, colon));
            rest.remove_prefix(colon + 1);
        }
        if (count < f.size() || !Trim(rest).empty())
            return Fail(CtyError::Kind::HeaderFields, n, Trim(line));
        CtyEntity e;
        e.name = std::string(f[0]);
        if (e.name.empty()) return Fail(CtyError::Kind::BadName, n, Trim(line));
        const auto cq = ReadInt(f[1]);
        if (!cq || !ValidCq(*cq)) return Fail(CtyError::Kind::BadZone, n, f[1]);
        const auto itu = ReadInt(f[2]);
        if (!itu || !ValidItu(*itu)) return Fail(CtyError::Kind::BadZone, n, f[2]);
        if (!ValidContinent(f[3])) return Fail(CtyError::Kind::BadContinent, n, f[3]);
        const auto lat = ReadNumber(f[4]);
        if (!lat || std::fabs(*lat) > 90) return Fail(CtyError::Kind::BadNumber, n, f[4]);
        const auto lon = ReadNumber(f[5]);
        if (!lon || std::fabs(*lon) > 180) return Fail(CtyError::Kind::BadNumber, n, f[5]);
        const auto off = ReadNumber(f[6]);
        if (!off || std::fabs(*off) > 14) return Fail(CtyError::Kind::BadNumber, n, f[6]);
        std::string_view prefix = f[7];
        if (!prefix.empty() && prefix.front() == '*') {
            e.waeOnly = true;
            prefix.remove_prefix(1);
        }
        if (prefix.empty()) return Fail(CtyError::Kind::BadPrefix, n, f[7]);
        e.cqZone = *cq;
        e.ituZone = *itu;
        e.continent = std::string(f[3]);
        e.lat = *lat;
        e.lon = East(*lon);
        e.utcOffset = East(*off);
        e.primaryPrefix = std::string(prefix);
        entities.push_back(std::move(e));
        return true;
    }

    // One alias with its overrides, e.g. "=VP2EAB(8)[11]<18.2/63.1>{NA}~4.0~".
    bool Alias(std::string_view token, int n) {
        const CtyEntity& e = entities.back();
        CtyAlias a{entities.size() - 1, e.cqZone, e.ituZone, e.continent, e.lat, e.lon,
                   e.utcOffset};
        bool isExact = false;
        std::string_view s = token;
        if (!s.empty() && s.front() == '=') {
            isExact = true;
            s.remove_prefix(1);
        }
        std::size_t i = 0;
        while (i < s.size() && IsCallChar(s[i]))
            ++i;
        const std::string call(s.substr(0, i));
        if (call.empty() || call.front() == '/' || call.back() == '/')
            return Fail(CtyError::Kind::BadAlias, n, token);
        while (i < s.size()) {
            const char open = s[i];
            char close = 0;
            switch (open) {
            case '(':
                close = ')';
                break;
            case '[':
                close = ']';
                break;
            case '<':
                close = '>';
                break;
            case '{':
                close = '}';
                break;
            case '~':
                close = '~';
                break;
            default:
                return Fail(CtyError::Kind::BadAlias, n, token);
            }
            const std::size_t end = s.find(close, i + 1);
            if (end == std::string_view::npos) return Fail(CtyError::Kind::BadOverride, n, token);
            const std::string_view value = s.substr(i + 1, end - i - 1);
            bool ok = true;
            if (open == '(') {
                const auto z = ReadInt(value);
                ok = z && ValidCq(*z);
                if (ok) a.cqZone = *z;
            } else if (open == '[') {
                const auto z = ReadInt(value);
                ok = z && ValidItu(*z);
                if (ok) a.ituZone = *z;
            } else if (open == '<') {
                const std::size_t slash = value.find('/');
                const auto lat = slash == std::string_view::npos
                                     ? std::nullopt
                                     : ReadNumber(value.substr(0, slash));
                const auto lon = slash == std::string_view::npos
                                     ? std::nullopt
                                     : ReadNumber(value.substr(slash + 1));
                ok = lat && lon && std::fabs(*lat) <= 90 && std::fabs(*lon) <= 180;
                if (ok) {
                    a.lat = *lat;
                    a.lon = East(*lon);
                }
            } else if (open == '{') {
                ok = ValidContinent(value);
                if (ok) a.continent = std::string(value);
            } else {
                const auto h = ReadNumber(value);
                ok = h && std::fabs(*h) <= 14;
                if (ok) a.utcOffset = East(*h);
            }
            if (!ok) return Fail(CtyError::Kind::BadOverride, n, token);
            i = end + 1;
        }
        // The first record that lists a call or a prefix keeps it, except
        // that a listing under an entity counting only for WAE wins over one
        // under any other entity, wherever it stands in the file: =GM3ABC
        // listed under Scotland and then under Shetland Islands (*GM/s) is
        // Shetland, as it would be with the two records the other way round.
        auto& table = isExact ? exact : prefixes;
        if (!isExact && call.size() > longest) longest = call.size();
        const auto [it, added] = table.emplace(call, a);
        if (!added && e.waeOnly && !entities[it->second.entity].waeOnly) it->second = a;
        return true;
    }

    bool Run(std::string_view text) {
        bool inRecord = false;
        int n = 0;
        int recordLine = 0;
        while (!text.empty()) {
            ++n;
            const std::size_t eol = text.find('\n');
            std::string_view line = text.substr(0, eol);
            text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
            if (n == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
            if (Trim(line).empty()) continue;
            if (!inRecord) {
                if (!Header(line, n)) return false;
                inRecord = true;
                recordLine = n;
                continue;
            }
            // A header line where aliases were expected: the record before
            // it lacks its ";".
            if (line.find(':') != std::string_view::npos)
                return Fail(CtyError::Kind::UnterminatedRecord, recordLine, "");
            std::string_view rest = line;
            const std::size_t semi = rest.find(';');
            if (semi != std::string_view::npos) {
                if (!Trim(rest.substr(semi + 1)).empty())
                    return Fail(CtyError::Kind::TextAfterEnd, n, Trim(rest.substr(semi + 1)));
                rest = rest.substr(0, semi);
            }
            // Aliases are separated by commas; a line ends after a comma (or
            // at the record's ";"), so an empty piece is a fault except the
            // one behind a line's last comma.
            std::string_view body = Trim(rest);
            if (!body.empty() && body.back() == ',') body.remove_suffix(1);
            if (body.empty() && semi == std::string_view::npos)
                return Fail(CtyError::Kind::BadAlias, n, Trim(line));
            while (!body.empty()) {
                const std::size_t comma = body.find(',');
                const std::string_view token = Trim(body.substr(0, comma));
                if (token.empty()) return Fail(CtyError::Kind::BadAlias, n, Trim(line));
                if (!Alias(token, n)) return false;
                if (comma == std::string_view::npos) break;
                body.remove_prefix(comma + 1);
                if (Trim(body).empty()) return Fail(CtyError::Kind::BadAlias, n, Trim(line));
            }
            if (semi != std::string_view::npos) inRecord = false;
        }
        if (inRecord) return Fail(CtyError::Kind::UnterminatedRecord, recordLine, "");
        if (entities.empty()) return Fail(CtyError::Kind::NoEntity, 0, "");
        return true;
    }
};

} // namespace

std::optional<CtyDatabase> CtyDatabase::Parse(std::string_view text, CtyError& error) {
    Parser p{error, {}, {}, {}, 0};
    if (!p.Run(text)) return std::nullopt;
    CtyDatabase db;
    db.entities_ = std::move(p.entities);
    db.prefixes_ = std::move(p.prefixes);
    db.exact_ = std::move(p.exact);
    db.longestPrefix_ = p.longest;
    return db;
}

std::optional<CtyDatabase> CtyDatabase::Load(const std::string& path, CtyError& error) {
    auto unreadable = [&](std::string why) {
        error = CtyError{CtyError::Kind::Unreadable, 0, PrintableExcerpt(path + ": " + why, 4096)};
        return std::nullopt;
    };
    // Without blocking: a pipe without a writer would wait for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return unreadable(std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return unreadable(std::strerror(errno));
    // A device never ends and a pipe may never speak: only a plain file is one.
    if (!S_ISREG(st.st_mode)) return unreadable("not a plain file");
    if (st.st_size > static_cast<off_t>(LargestCountryFile))
        return unreadable("larger than 16 MiB");
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return unreadable(std::strerror(errno));
        if (n == 0) break;
        // The file may grow while it is read.
        if (text.size() + static_cast<std::size_t>(n) > LargestCountryFile)
            return unreadable("larger than 16 MiB");
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return Parse(text, error);
}

std::string DescribeCtyError(const CtyError& e) {
    std::string what;
    switch (e.kind) {
    case CtyError::Kind::Unreadable:
        what = "the file cannot be read";
        break;
    case CtyError::Kind::NoEntity:
        what = "the file holds no entity record";
        break;
    case CtyError::Kind::HeaderFields:
        what = "an entity line needs eight fields, each ending in ':'";
        break;
    case CtyError::Kind::BadName:
        what = "the entity has no name";
        break;
    case CtyError::Kind::BadZone:
        what = "a zone must be 1 to 40 (CQ) or 1 to 90 (ITU)";
        break;
    case CtyError::Kind::BadContinent:
        what = "the continent must be AF, AN, AS, EU, NA, OC or SA";
        break;
    case CtyError::Kind::BadNumber:
        what = "latitude, longitude or time offset is not a valid number";
        break;
    case CtyError::Kind::BadPrefix:
        what = "the entity has no primary prefix";
        break;
    case CtyError::Kind::BadAlias:
        what = "a prefix or call is empty or holds characters other than A-Z, 0-9 and /";
        break;
    case CtyError::Kind::BadOverride:
        what = "an override (n) [n] <lat/lon> {cc} ~n~ is not closed or not valid";
        break;
    case CtyError::Kind::TextAfterEnd:
        what = "text after the ';' that ends the record";
        break;
    case CtyError::Kind::UnterminatedRecord:
        what = "the record starting here has no ';' at its end";
        break;
    }
    std::string out;
    if (e.line > 0) out = "line " + std::to_string(e.line) + ": ";
    out += what;
    if (!e.text.empty()) out += " (" + e.text + ")";
    return out;
}

// ---------------------------------------------------------------------------
// Resolution.

const CtyAlias* CtyDatabase::LongestPrefix(std::string_view text, std::size_t maxLength,
                                           std::string& matched) const {
    std::size_t len = std::min({text.size(), maxLength, longestPrefix_});
    std::string key(text.substr(0, len));
    for (; len > 0; --len) {
        key.resize(len);
        const auto it = prefixes_.find(key);
        if (it != prefixes_.end()) {
            matched = key;
            return &it->second;
        }
    }
    return nullptr;
}

CtyAnswer CtyDatabase::FromAlias(const CtyAlias& a, std::string matched, bool exact) const {
    CtyAnswer r;
    r.kind = CtyAnswer::Kind::Entity;
    r.entity = &entities_[a.entity];
    r.values = a;
    r.matched = std::move(matched);
    r.exact = exact;
    return r;
}

CtyAnswer CtyDatabase::ResolveWholeCall(std::string_view call) const {
    std::size_t maxLength = call.size();
    // KG4 + two letters is Guantanamo Bay; every other KG4 call is a US call
    // that the prefix KG4 must not catch.
    if (call.size() > 3 && call.substr(0, 3) == "KG4") {
        const std::string_view suffix = call.substr(3);
        const bool twoLetters = suffix.size() == 2 && IsLetter(suffix[0]) && IsLetter(suffix[1]);
        if (!twoLetters) maxLength = 2;
    }
    std::string matched;
    if (const CtyAlias* a = LongestPrefix(call, maxLength, matched))
        return FromAlias(*a, std::move(matched), false);
    return {};
}

CtyAnswer CtyDatabase::ResolveCallArea(const std::string& call, char area) const {
    std::string moved = call;
    const std::size_t digit = moved.find_last_of("0123456789");
    if (digit == std::string::npos)
        moved += area;
    else
        moved[digit] = area;
    CtyAnswer answer = ResolveWholeCall(moved);
    const CtyAnswer home = ResolveWholeCall(call);
    if (!home.found()) return answer;
    // A US territory's call (a call of the USA's blocks K, N, W, AA..AL that
    // resolves to another entity) moved to a call area is in that US
    // district: KH6ABC/9 is the USA with the zones of K9 (not Wake Island,
    // KH9), KL7ABC/0 the USA with those of K0 (not Alaska). A call of the
    // USA itself moves as any other: W1ABC/6 takes W6's zones.
    const bool usBlock = call[0] == 'K' || call[0] == 'N' || call[0] == 'W' ||
                         (call[0] == 'A' && call.size() > 1 && call[1] >= 'A' && call[1] <= 'L');
    if (usBlock) {
        std::string matched;
        const CtyAlias* usa = LongestPrefix("K", 1, matched);
        if (usa && home.values.entity != usa->entity) {
            if (const CtyAlias* district = LongestPrefix(std::string("K") + area, 2, matched))
                return FromAlias(*district, std::move(matched), false);
        }
    }
    // The moved call resolves to nothing (JD1ABC/6 as JD6ABC): the home
    // entity stays.
    if (!answer.found()) return home;
    // The digit belongs to the prefix that places the call, not to a call
    // area, when the moved call is another entity that the part before the
    // digit does not give: T2AB/5 stays Tuvalu (T2) instead of becoming
    // Somalia (T5, and T alone is no prefix), 3D2AB/4 stays Fiji. A real
    // call area keeps the moved call: R0ABC/6 is European Russia, as R is,
    // and within one entity the moved call gives its zones (VE3ABC/2).
    if (digit != std::string::npos && digit < home.matched.size() && answer.entity != home.entity) {
        const CtyAnswer letters = ResolveWholeCall(std::string_view(call).substr(0, digit));
        if (!letters.found() || letters.entity != answer.entity) return home;
    }
    return answer;
}

CtyAnswer CtyDatabase::Resolve(std::string_view typed) const {
    std::string call;
    for (char c : Trim(typed))
        call.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    if (call.empty()) return {};

    auto exactOf = [this](const std::string& c) -> std::optional<CtyAnswer> {
        const auto it = exact_.find(c);
        if (it == exact_.end()) return std::nullopt;
        return FromAlias(it->second, c, true);
    };
    if (auto a = exactOf(call)) return *a;

    std::vector<std::string> parts;
    {
        std::size_t start = 0;
        while (start <= call.size()) {
            const std::size_t slash = call.find('/', start);
            const std::size_t end = slash == std::string::npos ? call.size() : slash;
            if (end > start) parts.push_back(call.substr(start, end - start));
            if (slash == std::string::npos) break;
            start = slash + 1;
        }
    }
    if (parts.empty()) return {};
    if (parts.size() > 1) {
        const std::string& last = parts.back();
        if (last == "MM" || last == "AM") {
            CtyAnswer r;
            r.kind = last == "MM" ? CtyAnswer::Kind::MaritimeMobile
                                  : CtyAnswer::Kind::AeronauticalMobile;
            return r;
        }
    }
    bool dropped = false;
    while (parts.size() > 1 && KeepsHomeEntity(parts.back())) {
        parts.pop_back();
        dropped = true;
    }
    if (dropped) {
        std::string rest = parts[0];
        for (std::size_t i = 1; i < parts.size(); ++i)
            rest += "/" + parts[i];
        if (auto a = exactOf(rest)) return *a;
    }
    if (parts.size() == 1) return ResolveWholeCall(parts[0]);
    if (parts.size() > 2) return {};

    const std::string& left = parts[0];
    const std::string& right = parts[1];
    if (right.size() == 1 && IsDigit(right[0])) return ResolveCallArea(left, right[0]);
    const std::string& prefix = right.size() < left.size() ? right : left;
    std::string matched;
    if (const CtyAlias* a = LongestPrefix(prefix, prefix.size(), matched))
        return FromAlias(*a, std::move(matched), false);
    return {};
}

std::string UtcOffsetText(double hours) {
    const long minutes = std::lround(hours * 60);
    const long m = minutes < 0 ? -minutes : minutes;
    char buf[32];
    if (m % 60 == 0)
        std::snprintf(buf, sizeof buf, "UTC%c%ld", minutes < 0 ? '-' : '+', m / 60);
    else
        std::snprintf(buf, sizeof buf, "UTC%c%ld:%02ld", minutes < 0 ? '-' : '+', m / 60, m % 60);
    return buf;
}

} // namespace dx
