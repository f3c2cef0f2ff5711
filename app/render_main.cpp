// korvanta-render: the azimuthal map of a centre, drawn without windows, for
// scripts and batch use. Same engine and same pictures as the desktop program.
#include "app/MapExport.h"
#include "app/Poster.h"
#include "geo/Bitmap.h"
#include "geo/GapFree.h"
#include "geo/Inverse.h"
#include "geo/Position.h"
#include "geo/Projection.h"
#include "geo/Sun.h"
#include "viewer/MapOverlays.h"
#include "viewer/ScaleBarLayer.h"

#if __has_include("resources/Resources.h")
#include "resources/Resources.h"
#define KORVANTA_BUILT_IN_PICTURES 1
#endif

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QString>
#include <QtGlobal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* Usage =
    "Usage: korvanta-render CENTRE -o FILE [--fill] [--size N] [--world FILE] [...]\n"
    "  or:  korvanta-render CENTRE -o FILE.pdf --pdf [--paper PAPER] [--miles]\n"
    "Draws the azimuthal equidistant map of Korvanta centred on a point and\n"
    "prints the centre's position text.\n"
    "\n"
    "The centre, exactly one of:\n"
    "  --locator LOC     a six-character Maidenhead locator, e.g. JN18EU\n"
    "  --latlon LAT,LON  decimal degrees, north and east positive, e.g. 48.85,2.35\n"
    "                    (latitude -90 to 90, longitude -180 to 180)\n"
    "  --pixel X,Y       the centre a click on world-map pixel X,Y gives\n"
    "                    (column 0 to 1193, row 0 to 764), e.g. 597,382\n"
    "\n"
    "  -o, --output FILE\n"
    "                    the map to write: a name ending in .bmp gives a 4-bit\n"
    "                    Windows bitmap (the 16-colour palette of the program),\n"
    "                    .png a PNG, .pdf a poster (see --pdf). An existing file\n"
    "                    is replaced only once the new one is complete.\n"
    "  --fill            the gap-free map: every pixel of the disc takes the colour\n"
    "                    of the world-map position under it (without it, the map\n"
    "                    of the desktop program, where each world pixel is drawn\n"
    "                    at one map pixel and a few pixels stay white)\n"
    "  --size N          the map is N x N pixels, 300 to 4800 (default 600); sizes\n"
    "                    other than 600 need --fill. Above 600 a world map of\n"
    "                    matching resolution is used; the rim is the antipode at\n"
    "                    every size\n"
    "  --range KM        a regional map: the rim KM kilometres from the centre\n"
    "                    (10 to 20000; 20000 is the whole world), drawn from the\n"
    "                    shorelines, lakes and borders at high resolution, with a\n"
    "                    scale bar (in miles with --miles); any --size, with or\n"
    "                    without --fill, and on the --pdf poster\n"
    "  --world FILE      draw from this 1194 x 765 plate-carree picture instead of\n"
    "                    the built-in world map. Accepted: PNG, and uncompressed\n"
    "                    Windows bitmaps (BMP). Run-length bitmaps, GIF, JPEG and\n"
    "                    the others are refused: their readers make up a picture\n"
    "                    from a damaged file without telling.\n"
    "  --pdf             write a one-page PDF poster: the gap-free map (2400 pixels,\n"
    "                    or --size N) with axes, distance circles, bearing labels,\n"
    "                    the centre and its locator, all but the map as vectors\n"
    "  --paper PAPER     the poster's paper: A4 (default), A3, Letter or Tabloid\n"
    "  --miles           the poster's circles and the scale bar in miles instead of\n"
    "                    kilometres\n"
    "  --greyline TIME   shade the night and the civil twilight at that moment,\n"
    "                    ISO 8601 in UTC, e.g. 2026-06-21T12:00Z (seconds and\n"
    "                    +00:00 for Z allowed; years 1900 to 2100), and mark the\n"
    "                    point with the sun at its zenith\n"
    "  --grid            draw the Maidenhead locator grid: fields with their\n"
    "                    names, squares within 2500 km of the centre\n"
    "                    Both overlays are drawn at every --size, with --fill,\n"
    "                    with --range and on the poster (as vectors there; the\n"
    "                    night shading at the map's resolution). With either\n"
    "                    overlay a .bmp output is a 24-bit bitmap and a .png a\n"
    "                    full-colour PNG.\n"

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
    bool fill = false;
    std::optional<int> size;
    bool pdf = false;
    std::optional<poster::Paper> paper;
    bool miles = false;
    std::optional<geo::UnixSeconds> greyLine;
    bool grid = false;
    std::optional<double> rangeKm; // a regional map
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
        if (arg == "--fill" || arg == "--pdf" || arg == "--miles" || arg == "--grid") {
            if (arg == "--fill") o.fill = true;
            if (arg == "--pdf") o.pdf = true;
            if (arg == "--miles") o.miles = true;
            if (arg == "--grid") o.grid = true;
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
                           arg == "--size" || arg == "--paper" || arg == "--greyline" ||
                           arg == "--range";
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
        } else if (arg == "--size") {
            if (o.size) Fail("the size is given twice");
            const auto n = ParseInteger(value);
            if (!n) Fail("--size expects a whole number of pixels, not \"" + value + "\"");
            if (*n < geo::MinGapFreeSize || *n > geo::MaxGapFreeSize)
                Fail("the size " + value + " is out of range (300 to 4800 pixels)");
            o.size = *n;
        } else if (arg == "--range") {
            if (o.rangeKm) Fail("the range is given twice");
            const auto km = ParseDecimal(value);
            if (!km) Fail("--range expects kilometres such as 500, not \"" + value + "\"");
            if (*km < 10 || *km > geo::HalfCircumferenceKm)
                Fail("the range " + value + " is out of range (10 to 20000 km)");
            o.rangeKm = static_cast<double>(*km);
        } else if (arg == "--paper") {
            if (o.paper) Fail("the paper is given twice");
            o.paper = poster::PaperFromName(QString::fromLocal8Bit(value.c_str()));
            if (!o.paper)
                Fail("the paper \"" + value + "\" is not known (A4, A3, Letter or Tabloid)");
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
    if (o.paper && !o.pdf) Fail("--paper is for the poster: add --pdf");
    const bool regional = o.rangeKm && *o.rangeKm < geo::HalfCircumferenceKm;
    if (o.miles && !o.pdf && !regional)
        Fail("--miles is for the poster and the regional maps' scale bar: add --pdf or --range");
    if (!o.pdf && !o.fill && !regional && o.size && *o.size != geo::MapSize)
        Fail("the size " + std::to_string(*o.size) +
             " needs --fill (the map without it is 600 x 600 only)");
    return o;
}

enum class Format { Bmp, Png, Pdf };

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
    if (endsWith(".pdf")) return Format::Pdf;
    Fail("the output file " + path + " must end in .bmp, .png or .pdf");
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

// Some picture libraries print their complaints straight on standard error;
// while a picture is looked at they go nowhere (the reason ends in the error line).
class QuietStandardError {
  public:
    QuietStandardError() {
        std::fflush(stderr);
        saved_ = dup(2);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
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

// The largest world picture file read: a 32-bit uncompressed bitmap of the
// world map's size and then some.
constexpr off_t MaxWorldFileSize = 16 * 1024 * 1024;

uint32_t Le32(const QByteArray& b, qsizetype at) {
    auto u = [&](qsizetype i) { return static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])); };
    return u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
}

uint32_t Be32(const QByteArray& b, qsizetype at) {
    auto u = [&](qsizetype i) { return static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])); };
    return u(0) << 24 | u(1) << 16 | u(2) << 8 | u(3);
}

uint32_t Crc32(const char* data, size_t n) {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i)
        c = table[(c ^ static_cast<uint8_t>(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// The two formats whose damage can be told: a PNG is whole when every chunk
// is complete with its checksum up to IEND (the image data itself is
// checked by the reader); an uncompressed Windows bitmap when the file holds
// every row its header announces. Run-length bitmaps, GIF and the others
// give a made-up picture from a damaged file without a word: not accepted.
// Returns the Qt format name, or fails with the reason.
const char* CheckWorldFile(const QByteArray& bytes, const std::string& path) {
    const auto damaged = [&](const std::string& why) {
        Fail("the world picture " + path + " is damaged: " + why);
    };
    if (bytes.startsWith("\x89PNG\r\n\x1A\n")) {
        qsizetype at = 8;
        bool ended = false;
        while (!ended) {
            if (at + 12 > bytes.size()) damaged("the file ends inside a chunk");
            const uint32_t length = Be32(bytes, at);
            if (length > static_cast<uint32_t>(bytes.size() - at - 12))
                damaged("the file ends inside a chunk");
            const QByteArray type = bytes.mid(at + 4, 4);
            if (Crc32(bytes.constData() + at + 4, length + 4) != Be32(bytes, at + 8 + length))
                damaged("the checksum of a " + type.toStdString() + " chunk is wrong");
            ended = type == "IEND";
            at += 12 + length;
        }
        return "png";
    }
    if (bytes.startsWith("BM")) {
        // The header is read by its own size: 12 bytes for an OS/2 bitmap
        // (16-bit width and height, never compressed), 40 or more for the
        // Windows ones.
        if (bytes.size() < 18) damaged("the file is shorter than its header");
        const uint32_t headerSize = Le32(bytes, 14);
        const auto le16 = [&](qsizetype at) {
            return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
                   static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8;
        };
        int64_t width = 0, height = 0;
        uint32_t bits = 0;
        if (headerSize == 12) {
            if (bytes.size() < 14 + 12) damaged("the file is shorter than its header");
            width = le16(18);
            height = le16(20);
            bits = le16(24);
        } else if (headerSize >= 40 && headerSize <= 124) {
            if (bytes.size() < 14 + static_cast<qsizetype>(headerSize))
                damaged("the file is shorter than its header");
            const uint32_t compression = Le32(bytes, 30);
            if (compression != 0 && compression != 3)
                Fail("the world picture " + path +
                     " is a compressed bitmap: only uncompressed ones are accepted");
            width = static_cast<int32_t>(Le32(bytes, 18));
            height = static_cast<int32_t>(Le32(bytes, 22));
            bits = le16(28);
        } else {
            damaged("the bitmap header has an unknown size (" + std::to_string(headerSize) + ")");
        }
        // In 64 bits the row size cannot overflow (31-bit width, 16-bit
        // depth); a row longer than the file is damage before any product.
        const int64_t rowBytes = (std::abs(width) * bits + 31) / 32 * 4;
        const int64_t dataStart = Le32(bytes, 10);
        if (rowBytes > bytes.size() && height != 0)
            damaged("the file is shorter than its header says");
        if (bytes.size() < dataStart + rowBytes * std::abs(height))
            damaged("the file is shorter than its header says");
        return "bmp";
    }
    Fail("the world picture " + path +
         " is neither a PNG nor an uncompressed Windows bitmap (see --help)");
    return nullptr;
}

// The bytes of the world picture file: only a plain file is opened (a pipe
// without a writer would wait for ever, a device never ends).
QByteArray ReadWorldFile(const std::string& path) {
    const auto cannot = [&](int error) {
        Fail("cannot read the world picture " + path + ": " + std::strerror(error));
    };
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) cannot(errno);
    if (!S_ISREG(st.st_mode)) Fail("the world picture " + path + " is not a plain file");
    if (st.st_size > MaxWorldFileSize)
        Fail("the world picture " + path + " is larger than " + std::to_string(MaxWorldFileSize) +
             " bytes");
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) cannot(errno);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            close(fd);
            cannot(error);
        }
        if (n == 0) break;
        bytes.append(buffer, n);
        if (bytes.size() > MaxWorldFileSize) break;
    }
    close(fd);
    return bytes;
}

// The world picture as palette indices; the image is read only once its
// size has been checked.
geo::WorldIndex LoadWorld(const std::string& path) {
    const bool builtIn = path.rfind(":/", 0) == 0;
    QByteArray bytes;
    const char* format = nullptr;
    if (!builtIn) {
        bytes = ReadWorldFile(path);
        format = CheckWorldFile(bytes, path);
    }
    QBuffer buffer(&bytes);
    QImageReader reader;
    if (builtIn) {
        reader.setFileName(QString::fromLatin1(path.c_str()));
    } else {
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
        reader.setFormat(format);
    }
    reader.setAutoTransform(false);
    ReaderMessages.clear();
    QImage image;
    {
        // Silent from the first look at the header on.
        QuietStandardError quiet;
        const QSize size = reader.size();
        if (size.isValid() &&
            (size.width() != geo::MercatorWidth || size.height() != geo::MercatorHeight))
            Fail("the world picture " + path + " is " + std::to_string(size.width()) + " x " +
                 std::to_string(size.height()) + " pixels, not 1194 x 765");
        image = reader.read();
    }
    if (image.isNull())
        Fail("cannot read the world picture " + path + ": " +
             reader.errorString().toLocal8Bit().toStdString() +
             (ReaderMessages.empty() ? "" : " (" + ReaderMessages + ")"));
    if (TellsOfDamage(ReaderMessages))
        Fail("the world picture " + path + " is damaged: " + ReaderMessages);
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
    const QImage image = mapexport::ToImage(map);
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

// A regional map with the overlays asked for and its scale bar: a PNG in full
// colour, or a 16-colour bitmap (the bar drawn without smoothing, in the
// palette's white and black), a 24-bit one when an overlay is drawn.
std::vector<uint8_t> EncodeRegional(const geo::PaletteImage& map, const geo::MapFrame& frame,
                                    const Options& o, Format format) {
    int argc = 3;
    char name[] = "korvanta-render", option[] = "-platform", platform[] = "offscreen";
    char* argv[] = {name, option, platform, nullptr};
    std::optional<QGuiApplication> application;
    if (!QGuiApplication::instance()) application.emplace(argc, argv);
    QImage picture(map.width, map.height, QImage::Format_RGB32);
    for (int y = 0; y < map.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < map.width; ++x)
            row[x] = 0xFF000000u | geo::Palette[map.at(x, y) & 0x0F];
    }
    // The live overlays at the regional frame, then the scale bar on top.
    viewer::MapOverlays overlays(map.width);
    overlays.SetCentre(frame.centreLat(), frame.centreLon());
    overlays.SetGreyLine(o.greyLine.has_value());
    if (o.greyLine) overlays.SetTime(*o.greyLine);
    overlays.SetLocatorGrid(o.grid);
    viewer::ScaleBarLayer bar;
    bar.SetUnit(o.miles ? 1.609344 : 1.0);
    {
        QPainter p(&picture);
        if (format == Format::Bmp) p.setRenderHint(QPainter::Antialiasing, false);
        if (overlays.layers().anyActive())
            viewer::PaintLayers(p, overlays.layers(), frame,
                                QRectF(0, 0, picture.width(), picture.height()));
        bar.Paint(p, frame);
    }
    const bool overlaid = overlays.layers().anyActive();
    if (format == Format::Bmp && !overlaid) {
        geo::PaletteImage out(map.width, map.height);
        for (int y = 0; y < map.height; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < map.width; ++x)
                out.set(x, y, geo::NearestPaletteIndex(row[x] & 0xFFFFFFu));
        }
        return geo::EncodeBmp4(out);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // With an overlay a bitmap is a 24-bit one, as on the whole-world map.
    if (!picture.convertToFormat(QImage::Format_RGB888)
             .save(&buffer, format == Format::Bmp ? "BMP" : "PNG"))
        Fail("cannot encode the map");
    return {bytes.begin(), bytes.end()};
}

int Run(int argc, char** argv) {
    const Options o = ParseArguments(argc, argv);
    if (o.help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    const Format format = OutputFormat(o.output);
    if (format == Format::Pdf && !o.pdf) Fail("a .pdf output is the poster: add --pdf");
    if (format != Format::Pdf && o.pdf) Fail("the poster is a PDF: the output must end in .pdf");

    // A world picture given by the user is read (and checked) first; the
    // built-in ones at their size are read when needed.
    std::optional<geo::WorldIndex> given;
    if (!o.world.empty()) given = LoadWorld(o.world);
#ifndef KORVANTA_BUILT_IN_PICTURES
    if (!given) Fail("this build has no built-in world map: give one with --world FILE");
#endif

    geo::PositionState state;
    state.CentreLat = o.centre->lat;
    state.CentreLon = o.centre->lon;
    state.CentreText = geo::FormatPosition(state.CentreLat, state.CentreLon);

    std::vector<uint8_t> bytes;
    if (format == Format::Pdf) {
        // Text needs the font database of a (windowless) application.
        if (!QGuiApplication::instance()) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            static int appArgc = 1;
            static char appName[] = "korvanta-render";
            static char* appArgv[] = {appName, nullptr};
            static QGuiApplication app(appArgc, appArgv);
        }
        const int size = o.size.value_or(poster::PosterMapSize);
        poster::Content content;
        content.frame = geo::MapFrame(state.CentreLat, state.CentreLon, size);
        if (o.rangeKm && *o.rangeKm < geo::HalfCircumferenceKm) {
            content.frame =
                geo::MapFrame::WithRangeKm(state.CentreLat, state.CentreLon, size, *o.rangeKm);
            content.map = mapexport::ToImage(mapexport::FrameMap(content.frame));
        } else {
            content.map = mapexport::ToImage(mapexport::GapFreeMap(
                state.CentreLat, state.CentreLon, size, {}, given ? &*given : nullptr));
        }
        content.centreText = QString::fromStdString(state.CentreText);
        content.locator =
            QString::fromStdString(geo::EncodeLocator(state.CentreLat, state.CentreLon));
        content.languageCode = QStringLiteral("E");
        content.unitFactor = o.miles ? 1.609344L : 1.0L;
        content.version = QStringLiteral(KORVANTA_VERSION);
        // The overlays at the poster's own frame.
        viewer::MapOverlays overlays(size);
        overlays.SetCentre(state.CentreLat, state.CentreLon);
        overlays.SetGreyLine(o.greyLine.has_value());
        if (o.greyLine) overlays.SetTime(*o.greyLine);
        overlays.SetLocatorGrid(o.grid);
        content.layers = &overlays.layers();
        const QString error = poster::WritePdf(QString::fromLocal8Bit(o.output.c_str()),
                                               o.paper.value_or(poster::Paper::A4), content);
        if (!error.isEmpty())
            Fail("cannot write " + o.output + ": " + error.toLocal8Bit().toStdString());
        std::printf("%s\n", state.CentreText.c_str());
        return 0;
    }

    const int size = o.size.value_or(geo::MapSize);
    if (o.rangeKm && *o.rangeKm < geo::HalfCircumferenceKm) {
        const geo::MapFrame frame =
            geo::MapFrame::WithRangeKm(state.CentreLat, state.CentreLon, size, *o.rangeKm);
        bytes = EncodeRegional(mapexport::FrameMap(frame), frame, o, format);
        const std::string error = geo::WriteFileAtomically(o.output, bytes);
        if (!error.empty()) Fail(error);
        std::printf("%s\n", state.CentreText.c_str());
        return 0;
    }
    geo::PaletteImage map;
    if (o.fill) {
        map = mapexport::GapFreeMap(state.CentreLat, state.CentreLon, size, {},
                                    given ? &*given : nullptr);
    } else {
#ifdef KORVANTA_BUILT_IN_PICTURES
        const geo::WorldIndex& world = given ? *given : mapexport::WorldForSize(geo::MapSize);
#else
        const geo::WorldIndex& world = *given;
#endif
        map = LoadBackground();
        geo::Generate(world, state, map, nullptr, nullptr);
    }

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
