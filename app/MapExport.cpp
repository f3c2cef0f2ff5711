#include "app/MapExport.h"

#if __has_include("resources/Resources.h")
#include "resources/Resources.h"
#define KORVANTA_EXPORT_PICTURES 1
#endif

#include "geo/Bitmap.h"
#include "geo/RegionalMap.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <array>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>

namespace mapexport {

namespace {

geo::WorldIndex FromImage(const QImage& source) {
    if (source.format() == QImage::Format_Indexed8) {
        std::array<uint8_t, 256> lut{};
        const QList<QRgb> table = source.colorTable();
        for (int i = 0; i < table.size() && i < 256; ++i)
            lut[static_cast<size_t>(i)] = geo::NearestPaletteIndex(table[i] & 0xFFFFFFu);
        return geo::WorldIndex::FromIndexed(source.constBits(), source.width(), source.height(),
                                            static_cast<size_t>(source.bytesPerLine()), lut);
    }
    const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
    return geo::WorldIndex::FromRgb(rgb.constBits(), rgb.width(), rgb.height(),
                                    static_cast<size_t>(rgb.bytesPerLine()));
}

geo::WorldIndex LoadWorld(int scale) {
    const int w = geo::MercatorWidth * scale, h = geo::MercatorHeight * scale;
#ifdef KORVANTA_EXPORT_PICTURES
    const char* path = scale == 1   ? res::WorldMapPath
                       : scale == 2 ? res::WorldMap2388Path
                                    : res::WorldMap4776Path;
    const QImage picture(QString::fromLatin1(path));
    if (picture.width() == w && picture.height() == h) return FromImage(picture);
#endif
    QImage sea(w, h, QImage::Format_RGB888);
    sea.fill(QColor(0xDE, 0xF7, 0xFF));
    return FromImage(sea);
}

} // namespace

const geo::WorldIndex& WorldForSize(int size) {
    static std::mutex lock;
    static std::map<int, geo::WorldIndex> worlds;
    const int scale = geo::WorldScaleForSize(size);
    const std::lock_guard<std::mutex> guard(lock);
    auto it = worlds.find(scale);
    if (it == worlds.end()) it = worlds.emplace(scale, LoadWorld(scale)).first;
    return it->second;
}

geo::PaletteImage BackgroundForSize(int size) {
#ifdef KORVANTA_EXPORT_PICTURES
    if (size == geo::MapSize) {
        const QImage picture =
            QImage(QString::fromLatin1(res::BackgroundPath)).convertToFormat(QImage::Format_RGB32);
        if (picture.width() == size && picture.height() == size) {
            geo::PaletteImage out(size, size);
            for (int y = 0; y < size; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
                for (int x = 0; x < size; ++x)
                    out.set(x, y, geo::NearestPaletteIndex(line[x] & 0xFFFFFFu));
            }
            return out;
        }
    }
#endif
    return geo::BlankBackground(size);
}

const geo::RegionalLevels* RegionalVectors(QString* error) {
    struct Loaded {
        std::optional<geo::RegionalLevels> data;
        QString error;
    };
    static const Loaded loaded = [] {
        Loaded l;
#ifdef KORVANTA_EXPORT_PICTURES
        QFile file(QString::fromLatin1(res::RegionalMapPath));
        if (!file.open(QIODevice::ReadOnly)) {
            l.error = QStringLiteral("this build has no regional map data (%1)")
                          .arg(QString::fromLatin1(res::RegionalMapPath));
            return l;
        }
        const QByteArray bytes = qUncompress(file.readAll());
        if (bytes.isEmpty()) {
            l.error = QStringLiteral("the regional map data cannot be unpacked");
            return l;
        }
        try {
            l.data.emplace(
                geo::RegionalData::Parse(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                         static_cast<size_t>(bytes.size())));
        } catch (const std::exception& e) {
            l.error = QString::fromLocal8Bit(e.what());
        }
#else
        l.error = QStringLiteral("this build has no regional map data");
#endif
        return l;
    }();
    if (error) *error = loaded.error;
    return loaded.data ? &*loaded.data : nullptr;
}

geo::PaletteImage FrameMap(const geo::MapFrame& frame) {
    if (frame.wholeWorld()) return GapFreeMap(frame.centreLat(), frame.centreLon(), frame.size());
    const geo::WorldIndex& finest = WorldForSize(geo::MaxGapFreeSize);
    if (geo::RegionalUsesWorldPicture(frame, finest.width())) {
        geo::PaletteImage map(frame.size(), frame.size(), geo::PaletteBlack);
        geo::GenerateGapFree(finest, frame, map);
        return map;
    }
    QString error;
    const geo::RegionalLevels* data = RegionalVectors(&error);
    if (!data) throw std::runtime_error(error.toStdString());
    // Islets the country polygons leave out: the nearest land colour of the
    // world picture.
    const auto landColour = [&finest](double lat, double lon) -> uint8_t {
        // The commonest land colour round the place (lines are thin, fills
        // are areas).
        const geo::WorldPixel w = geo::NearestWorldPixel(lat, lon, finest.width(), finest.height());
        std::array<int, 16> count{};
        for (int dy = -6; dy <= 6; ++dy)
            for (int dx = -6; dx <= 6; ++dx) {
                const int y = w.y + dy;
                if (y < 0 || y >= finest.height()) continue;
                const int x = ((w.x + dx) % finest.width() + finest.width()) % finest.width();
                ++count[finest.at(x, y) & 15];
            }
        count[geo::PaletteSea] = count[geo::PaletteBlack] = 0;
        uint8_t best = 12;
        for (int c = 1; c < 16; ++c)
            if (count[static_cast<size_t>(c)] > count[best]) best = static_cast<uint8_t>(c);
        return best;
    };
    return geo::DrawRegionalMap(data->For(frame.kmPerPixel()), frame, landColour);
}

geo::PaletteImage GapFreeMap(geo::Real lat, geo::Real lon, int size,
                             const geo::RowProgressFn& progress, const geo::WorldIndex* world) {
    geo::PaletteImage map = BackgroundForSize(size);
    geo::GenerateGapFree(world ? *world : WorldForSize(size), lat, lon, map, progress);
    return map;
}

QImage ToImage(const geo::PaletteImage& map) {
    QImage image(map.width, map.height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (uint32_t c : geo::Palette)
        colours.push_back(0xFF000000u | c);
    image.setColorTable(colours);
    for (int y = 0; y < map.height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < map.width; ++x)
            row[x] = map.at(x, y) & 0x0F;
    }
    return image;
}

QString WritePng(const QString& path, const QImage& picture) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, "PNG")) return QStringLiteral("the picture cannot be encoded");
    }
    return WriteFile(path, bytes);
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    const std::string error = geo::WriteFileAtomically(
        QFile::encodeName(path).toStdString(), std::vector<uint8_t>(bytes.begin(), bytes.end()));
    return QString::fromLocal8Bit(error.c_str());
}

QString CommitOrDrop(QSaveFile& file) {
    // Whatever is still buffered goes out and reaches the disk before the
    // rename: a failure at any of these steps drops the new file.
    if (file.error() == QFileDevice::NoError && file.flush() && file.handle() >= 0 &&
        ::fsync(file.handle()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return reason;
    }
    if (file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

} // namespace mapexport
