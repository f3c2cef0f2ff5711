// korvanta-render: the azimuthal map of a centre, drawn without windows, for
// scripts and batch use. Same engine and same pictures as the desktop program.
#include "geo/Bitmap.h"
#include "geo/Position.h"
#include "geo/Projection.h"
#include "geo/Sun.h"
#include "viewer/MapOverlays.h"

#if __has_include("resources/Resources.h")
#include "resources/Resources.h"
#define KORVANTA_BUILT_IN_PICTURES 1
#endif

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <QtGlobal>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* Usage =
    "Usage: korvanta-render CENTRE -o FILE [--world FILE] [--greyline TIME] [--grid]\n"
    "Draws the 600 x 600 azimuthal equidistant map of Korvanta centred on a point\n"
    "and prints the centre's position text.\n"
    "\n"
    "The centre, exactly one of:\n"
    "  --locator LOC     a six-character Maidenhead locator, e.g. JN18EU\n"
    "  --latlon LAT,LON  decimal degrees, north and east positive, e.g. 48.85,2.35\n"
    "                    (latitude -90 to 90, longitude -180 to 180)\n"
    "  --pixel X,Y       the centre a click on world-map pixel X,Y gives\n"
    "                    (column 0 to 1193, row 0 to 764), e.g. 597,382\n"
    "\n"
    "  -o, --output FILE the map to write: a name ending in .bmp gives a 4-bit\n"
    "                    Windows bitmap (the 16-colour palette of the program),\n"
    "                    .png a PNG. An existing file is replaced only once the\n"
    "                    new map is complete.\n"
    "  --world FILE      draw from this 1194 x 765 plate-carree picture (any format\n"
    "                    Qt reads, e.g. PNG or BMP) instead of the built-in world map\n"
    "  --greyline TIME   shade the night and the civil twilight at that moment,\n"
    "                    ISO 8601 in UTC, e.g. 2026-06-21T12:00Z (seconds and\n"
    "                    +00:00 for Z allowed; years 1900 to 2100), and mark the\n"
    "                    point with the sun at its zenith\n"
    "  --grid            draw the Maidenhead locator grid: fields with their\n"
    "                    names, squares within 2500 km of the centre\n"
    "                    With either overlay a .bmp output is a 24-bit bitmap\n"
    "                    and a .png a full-colour PNG.\n"
    "  -h, --help        show this text\n"
    "\n"
    "Options take their value as the next argument or after '=' (--locator=JN18EU).\n"
    "On bad input the program writes one line to standard error, exits with\n"
    "status 2 and writes no file.\n";

struct Failure {
    std::string text;
};

void Fail(const std::string& text) {
    throw Failure{text};
}

struct Options {
    bool help = false;
    std::vector<std::string> centres; // the centre options as given, for messages
    std::optional<geo::LatLon> centre;
    std::string output;
    std::string world;
    std::optional<geo::UnixSeconds> greyLine;
    bool grid = false;
};

// A decimal number: optional sign, digits with an optional fraction.
std::optional<long double> ParseDecimal(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0 || i != s.size() || s.size() > 64) return std::nullopt;
    const std::string text(s);
    return std::strtold(text.c_str(), nullptr);
}

// A whole number: optional sign and up to 9 digits.
std::optional<int> ParseInteger(std::string_view s) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size() || s.size() - i > 9) return std::nullopt;
    int v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    return negative ? -v : v;
}

// "A,B" into its two halves.
std::pair<std::string_view, std::string_view>
SplitPair(std::string_view value, const std::string& option, const char* form) {
    const size_t comma = value.find(',');
    if (comma == std::string_view::npos || value.find(',', comma + 1) != std::string_view::npos)
        Fail(option + " expects " + form + ", not \"" + std::string(value) + "\"");
    return {value.substr(0, comma), value.substr(comma + 1)};
}

geo::LatLon CentreFromLocator(const std::string& value) {
    const auto p = geo::DecodeLocator(value);
    if (!p)
        Fail("the locator \"" + value +
             "\" is not accepted (six characters from AA00AA to RR99XX, e.g. JN18EU)");
    return *p;
}

geo::LatLon CentreFromLatLon(const std::string& value) {
    const auto [latText, lonText] = SplitPair(value, "--latlon", "LAT,LON such as 48.85,2.35");
    const auto lat = ParseDecimal(latText);
    const auto lon = ParseDecimal(lonText);
    if (!lat || !lon)
        Fail("--latlon expects two decimal numbers such as 48.85,2.35, not \"" + value + "\"");
    if (*lat < -90 || *lat > 90)
        Fail("the latitude " + std::string(latText) + " is out of range (-90 to 90)");
    if (*lon < -180 || *lon > 180)
        Fail("the longitude " + std::string(lonText) + " is out of range (-180 to 180)");
    return {*lat, *lon};
}

geo::LatLon CentreFromPixel(const std::string& value) {
    const auto [xText, yText] = SplitPair(value, "--pixel", "X,Y such as 597,382");
    const auto x = ParseInteger(xText);
    const auto y = ParseInteger(yText);
    if (!x || !y) Fail("--pixel expects two whole numbers such as 597,382, not \"" + value + "\"");
    if (*x < 0 || *x >= geo::MercatorWidth || *y < 0 || *y >= geo::MercatorHeight)
        Fail("the pixel " + value + " is outside the world map (0,0 to 1193,764)");
    return geo::PixelToLatLon(*x, *y);
}

Options ParseArguments(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            o.help = true;
            continue;
        }
        if (arg == "--grid") {
            o.grid = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            const size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
            }
        }
        const bool known = arg == "--locator" || arg == "--latlon" || arg == "--pixel" ||
                           arg == "-o" || arg == "--output" || arg == "--world" ||
                           arg == "--greyline";
        if (!known) {
            if (!arg.empty() && arg[0] == '-') Fail("unknown option " + arg + " (see --help)");
            Fail("unexpected argument \"" + arg + "\" (see --help)");
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else {
            if (i + 1 >= argc) Fail(arg + " needs a value (see --help)");
            value = argv[++i];
        }
        if (arg == "--locator" || arg == "--latlon" || arg == "--pixel") {
            o.centres.push_back(arg);
            if (o.centres.size() > 1) continue; // reported below
            if (arg == "--locator")
                o.centre = CentreFromLocator(value);
            else if (arg == "--latlon")
                o.centre = CentreFromLatLon(value);
            else
                o.centre = CentreFromPixel(value);
        } else if (arg == "-o" || arg == "--output") {
            if (!o.output.empty()) Fail("the output file is given twice");
            if (value.empty()) Fail(arg + " needs a file name");
            o.output = value;
        } else if (arg == "--greyline") {
            if (o.greyLine) Fail("--greyline is given twice");
            o.greyLine = geo::ParseUtcTime(value);
            if (!o.greyLine)
                Fail("--greyline expects a UTC moment such as 2026-06-21T12:00Z, not \"" + value +
                     "\"");
        } else {
            if (!o.world.empty()) Fail("the world picture is given twice");
            if (value.empty()) Fail("--world needs a file name");
            o.world = value;
        }
    }
    if (o.help) return o;
    if (o.centres.size() > 1) Fail("give only one centre (--locator, --latlon or --pixel)");
    if (!o.centre) Fail("no centre given: use --locator, --latlon or --pixel (see --help)");
    if (o.output.empty()) Fail("no output file given: use -o FILE (see --help)");
    return o;
}

enum class Format { Bmp, Png };

Format OutputFormat(const std::string& path) {
    auto endsWith = [&](std::string_view suffix) {
        if (path.size() <= suffix.size()) return false;
        for (size_t i = 0; i < suffix.size(); ++i) {
            char c = path[path.size() - suffix.size() + i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != suffix[i]) return false;
        }
        return true;
    };
    if (endsWith(".bmp")) return Format::Bmp;
    if (endsWith(".png")) return Format::Png;
    Fail("the output file " + path + " must end in .bmp or .png");
    return Format::Bmp;
}

// What the picture readers report (a damaged file): kept to tell the user in
// the one error line instead of being printed on their own.
std::string ReaderMessages;

void KeepMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (!ReaderMessages.empty()) ReaderMessages += "; ";
    ReaderMessages += text.toLocal8Bit().toStdString();
}

// A message of a reader that gave a picture anyway but read it only in part.
bool TellsOfDamage(const std::string& messages) {
    std::string lower;
    for (char c : messages)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const char* word : {"error", "premature", "truncat", "corrupt", "invalid"})
        if (lower.find(word) != std::string::npos) return true;
    return false;
}

// An uncompressed Windows bitmap shorter than its header says: the reader
// gives the picture with the missing rows filled in, without complaint.
bool BitmapIsShort(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    unsigned char h[54] = {};
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(h), sizeof h) || h[0] != 'B' || h[1] != 'M') return false;
    auto le32 = [&](int at) {
        return uint32_t(h[at]) | uint32_t(h[at + 1]) << 8 | uint32_t(h[at + 2]) << 16 |
               uint32_t(h[at + 3]) << 24;
    };
    const uint32_t offset = le32(10);
    const int64_t width = static_cast<int32_t>(le32(18));
    const int64_t height = static_cast<int32_t>(le32(22));
    const uint32_t bits = uint32_t(h[28]) | uint32_t(h[29]) << 8;
    const uint32_t compression = le32(30);
    if (compression != 0 && compression != 3) return false; // run-length: the reader checks
    const int64_t rowBytes = (std::abs(width) * bits + 31) / 32 * 4;
    return size < static_cast<std::streamoff>(offset + rowBytes * std::abs(height));
}

// Some picture libraries print their complaints straight on standard error;
// while a picture is read they go nowhere (the reason ends in the error line).
class QuietStandardError {
  public:
    QuietStandardError() {
        std::fflush(stderr);
        saved_ = dup(2);
        const int null = open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null >= 0) dup2(null, 2);
        if (null >= 0) close(null);
    }
    ~QuietStandardError() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, 2);
            close(saved_);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

  private:
    int saved_ = -1;
};

// The world picture as palette indices; the image is read only once its
// size has been checked.
geo::WorldIndex LoadWorld(const std::string& path) {
    QImageReader reader(QString::fromLocal8Bit(path.c_str()));
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (size.isValid() &&
        (size.width() != geo::MercatorWidth || size.height() != geo::MercatorHeight))
        Fail("the world picture " + path + " is " + std::to_string(size.width()) + " x " +
             std::to_string(size.height()) + " pixels, not 1194 x 765");
    ReaderMessages.clear();
    QImage image;
    {
        QuietStandardError quiet;
        image = reader.read();
    }
    if (image.isNull())
        Fail("cannot read the world picture " + path + ": " +
             reader.errorString().toLocal8Bit().toStdString() +
             (ReaderMessages.empty() ? "" : " (" + ReaderMessages + ")"));
    if (TellsOfDamage(ReaderMessages))
        Fail("the world picture " + path + " is damaged: " + ReaderMessages);
    if (path.rfind(":/", 0) != 0 && BitmapIsShort(path))
        Fail("the world picture " + path + " is damaged: the file is shorter than its header says");
    if (image.width() != geo::MercatorWidth || image.height() != geo::MercatorHeight)
        Fail("the world picture " + path + " is " + std::to_string(image.width()) + " x " +
             std::to_string(image.height()) + " pixels, not 1194 x 765");
    if (image.format() != QImage::Format_RGB888)
        image = image.convertToFormat(QImage::Format_RGB888);
    return geo::WorldIndex::FromRgb(image.constBits(), image.width(), image.height(),
                                    static_cast<size_t>(image.bytesPerLine()));
}

#ifdef KORVANTA_BUILT_IN_PICTURES
// A picture of the program's own in palette indices.
geo::PaletteImage ToPalette(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    geo::PaletteImage out(rgb.width(), rgb.height());
    uint32_t last = 0xFFFFFFFFu; // the picture is runs of one colour
    uint8_t lastIndex = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* row = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const uint32_t c =
                (uint32_t(row[3 * x]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x + 2];
            if (c != last) {
                last = c;
                lastIndex = geo::NearestPaletteIndex(c);
            }
            out.set(x, y, lastIndex);
        }
    }
    return out;
}

#endif

// The blank background the map starts from.
geo::PaletteImage LoadBackground() {
#ifdef KORVANTA_BUILT_IN_PICTURES
    const QImage picture(QString::fromLatin1(res::BackgroundPath));
    if (picture.width() != geo::MapSize || picture.height() != geo::MapSize)
        Fail("the built-in background picture cannot be read");
    return ToPalette(picture);
#else
    return geo::BlankBackground();
#endif
}

std::vector<uint8_t> EncodePng(const geo::PaletteImage& map) {
    QImage image(map.width, map.height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (uint32_t c : geo::Palette)
        colours.push_back(0xFF000000u | c);
    image.setColorTable(colours);
    for (int y = 0; y < map.height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < map.width; ++x)
            row[x] = map.at(x, y);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) Fail("cannot encode the map as PNG");
    return {bytes.begin(), bytes.end()};
}

// The map with the live overlays over it, in full colour.
std::vector<uint8_t> EncodeWithOverlays(const geo::PaletteImage& map,
                                        const geo::PositionState& state, const Options& o,
                                        Format format) {
    // Text needs the toolkit's fonts: a window-less application on the
    // offscreen platform, whatever display there is or is not.
    int argc = 3;
    char name[] = "korvanta-render", option[] = "-platform", platform[] = "offscreen";
    char* argv[] = {name, option, platform, nullptr};
    const QGuiApplication application(argc, argv);
    QImage picture(map.width, map.height, QImage::Format_RGB32);
    for (int y = 0; y < map.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < map.width; ++x)
            row[x] = 0xFF000000u | geo::Palette[map.at(x, y) & 0x0F];
    }
    const QImage out =
        viewer::MapWithOverlays(picture, state.CentreLat, state.CentreLon, o.greyLine, o.grid)
            .convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!out.save(&buffer, format == Format::Bmp ? "BMP" : "PNG"))
        Fail("cannot encode the map with its overlays");
    return {bytes.begin(), bytes.end()};
}

int Run(int argc, char** argv) {
    const Options o = ParseArguments(argc, argv);
    if (o.help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    const Format format = OutputFormat(o.output);
#ifdef KORVANTA_BUILT_IN_PICTURES
    const geo::WorldIndex world = LoadWorld(o.world.empty() ? res::WorldMapPath : o.world);
#else
    if (o.world.empty()) Fail("this build has no built-in world map: give one with --world FILE");
    const geo::WorldIndex world = LoadWorld(o.world);
#endif

    geo::PositionState state;
    state.CentreLat = o.centre->lat;
    state.CentreLon = o.centre->lon;
    state.CentreText = geo::FormatPosition(state.CentreLat, state.CentreLon);
    geo::PaletteImage map = LoadBackground();
    geo::Generate(world, state, map, nullptr, nullptr);

    std::vector<uint8_t> bytes;
    if (o.greyLine || o.grid)
        bytes = EncodeWithOverlays(map, state, o, format);
    else
        bytes = format == Format::Bmp ? geo::EncodeBmp4(map) : EncodePng(map);
    const std::string error = geo::WriteFileAtomically(o.output, bytes);
    if (!error.empty()) Fail(error);
    std::printf("%s\n", state.CentreText.c_str());
    return 0;
}

// The error stays on one line whatever the arguments held.
void PrintError(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    std::fprintf(stderr, "korvanta-render: %s\n", text.c_str());
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(KeepMessage);
    try {
        return Run(argc, argv);
    } catch (const Failure& f) {
        PrintError(f.text);
    } catch (const std::exception& e) {
        PrintError(e.what());
    }
    return 2;
}
