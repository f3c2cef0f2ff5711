// korvanta-call: what the country file (cty.dat) says about a call sign, the
// same answer as the viewer's call line, for scripts. No windows.
#include "app/OptionArgs.h"
#include "dxlists/CtyDat.h"
#include "geo/Position.h"
#include "viewer/CallLine.h"

#include <QDateTime>
#include <QString>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr const char* Usage =
    "Usage: korvanta-call CALL [--from LOCATOR] [--miles] [--cty FILE]\n"
    "Prints what the country file says about a call sign: entity, continent,\n"
    "CQ and ITU zones, the short-path bearing and distance from LOCATOR (when\n"
    "given) and the entity's local time, as Korvanta's viewer shows it.\n"
    "\n"
    "  --from LOCATOR  the place to measure from: a four- or six-character\n"
    "                  Maidenhead locator, e.g. JN18 or JN18EU\n"
    "  --miles         distance in miles instead of kilometres\n"
    "  --cty FILE      the country file to read (default\n"
    "                  /usr/share/hamradio-files/cty.dat, Debian package\n"
    "                  hamradio-files)\n"
    "  -h, --help      show this text\n"
    "\n"
    "Options take their value as the next argument or after '=' (--from=JN18EU).\n"
    "Exit status: 0 when the call resolves to an entity; 1 when it does not\n"
    "(maritime and aeronautical mobile calls say so and count as unresolved);\n"
    "2 on bad arguments or a country file that cannot be read or is faulty.\n";

int Fail(const std::string& text) {
    std::fprintf(stderr, "korvanta-call: %s\n", text.c_str());
    return 2;
}

// A four- or six-character locator to the centre of its square.
std::optional<geo::LatLon> Locator(std::string_view text) {
    if (text.size() == 6) return geo::DecodeLocator(text);
    if (text.size() != 4) return std::nullopt;
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    const char f1 = up(text[0]);
    const char f2 = up(text[1]);
    if (f1 < 'A' || f1 > 'R' || f2 < 'A' || f2 > 'R') return std::nullopt;
    if (text[2] < '0' || text[2] > '9' || text[3] < '0' || text[3] > '9') return std::nullopt;
    geo::LatLon p;
    p.lon = -180.0L + (f1 - 'A') * 20 + (text[2] - '0') * 2 + 1;
    p.lat = -90.0L + (f2 - 'A') * 10 + (text[3] - '0') + 0.5L;
    return p;
}

} // namespace

int main(int argc, char** argv) {
    std::optional<std::string> call;
    std::optional<std::string> from;
    std::string cty = "/usr/share/hamradio-files/cty.dat";
    bool miles = false;
    for (int i = 1; i < argc; ++i) {
        const cli::OptionArg option = cli::SplitOption(argv[i]);
        const std::string& arg = option.name;
        const std::optional<std::string>& value = option.inlineValue;
        auto take = [&] { return cli::OptionValue(option, i, argc, argv); };
        if (arg == "-h" || arg == "--help") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg == "--from") {
            from = take();
            if (!from) return Fail("--from needs a locator (see --help)");
        } else if (arg == "--cty") {
            const auto v = take();
            if (!v || v->empty()) return Fail("--cty needs a file (see --help)");
            cty = *v;
        } else if (arg == "--miles") {
            if (value) return Fail("--miles takes no value");
            miles = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Fail("unknown option " + arg + " (see --help)");
        } else if (call) {
            return Fail("one call sign only (see --help)");
        } else {
            call = arg;
        }
    }
    if (!call) return Fail("no call sign given (see --help)");
    // An empty or blank argument is a mistake of the caller, not a call that
    // has no entity.
    if (call->find_first_not_of(" \t") == std::string::npos)
        return Fail("the call sign is empty (see --help)");

    std::optional<viewer::CallCentre> centre;
    if (from) {
        const auto p = Locator(*from);
        if (!p) return Fail("not a four- or six-character locator: " + *from);
        centre = viewer::CallCentre{static_cast<double>(p->lat), static_cast<double>(p->lon)};
    }

    dx::CtyError error;
    const auto db = dx::CtyDatabase::Load(cty, error);
    if (!db) return Fail(cty + ": " + dx::DescribeCtyError(error));

    const dx::CtyAnswer answer = db->Resolve(*call);
    const viewer::CallTexts& texts = *viewer::CallTextsFor(QStringLiteral("E"));
    const viewer::CallLineText line = viewer::FormatCallLine(
        answer, centre, miles ? 1.609344L : 1.0L, QDateTime::currentDateTimeUtc(), texts);
    if (line.full().isEmpty()) {
        std::fprintf(stderr, "korvanta-call: no entity for %s\n", call->c_str());
        return 1;
    }
    std::printf("%s\n", line.full().toUtf8().constData());
    return answer.found() ? 0 : 1;
}
