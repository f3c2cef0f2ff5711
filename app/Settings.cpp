#include "app/Settings.h"

#include "geo/Position.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace settings {

namespace {

// The keys of the antenna console, the live stations and the regional maps.
// A value out of its range or not a number keeps the default.
void ApplyLaterKey(const QString& key, const QString& rawValue, ExtraSettings& e) {
    const QString value = rawValue.trimmed();
    auto number = [&value](double lo, double hi) -> std::optional<double> {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < lo || v > hi) return std::nullopt;
        return v;
    };
    if (key == QLatin1String("ROTATORKIND=")) {
        const QString kind = value.toUpper();
        if (kind == QLatin1String("ROTCTLD") || kind == QLatin1String("PST") ||
            kind == QLatin1String("N1MM"))
            e.RotatorKind = kind;
    } else if (key == QLatin1String("ROTATORNAME=")) {
        e.RotatorName = value.left(64);
    } else if (key == QLatin1String("BEAMWIDTH=")) {
        if (const auto v = number(1, 360)) e.BeamWidth = static_cast<int>(std::lround(*v));
    } else if (key == QLatin1String("PARKAZ=")) {
        if (value.isEmpty() || number(0, 360)) e.ParkAzimuth = value;
    } else if (key == QLatin1String("TURNMIN=")) {
        if (const auto v = number(0, 180)) e.TurnMin = *v;
    } else if (key == QLatin1String("CLUSTERON=")) {
        e.ClusterOn = value.startsWith(QLatin1Char('1'));
    } else if (key == QLatin1String("CLUSTER=")) {
        e.Cluster = value.left(255);
    } else if (key == QLatin1String("CLUSTERCALL=")) {
        e.ClusterCall = value.left(32);
    } else if (key == QLatin1String("WSJTXON=")) {
        e.WsjtxOn = value.startsWith(QLatin1Char('1'));
    } else if (key == QLatin1String("WSJTX=")) {
        if (!value.isEmpty()) e.Wsjtx = value.left(255);
    } else if (key == QLatin1String("SPOTAGE=")) {
        if (const auto v = number(1, 1440)) e.SpotAge = static_cast<int>(std::lround(*v));
    } else if (key == QLatin1String("RANGE=")) {
        if (const auto v = number(0, 20000)) e.RangeKm = *v;
    }
}


// Characters of the bytes 0x80 to 0x9F; the unassigned ones keep their number.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char EncodeOne(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (size_t i = 0; i < HighControls.size(); ++i)
        if (HighControls[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

std::string Utf8(const QString& s) {
    return s.toStdString();
}

QString SystemError(const QString& what, int error) {
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}

// Renames `from` to `to` unless `to` exists (errno EEXIST then), in one
// step where the file system allows it.
bool RenameWithoutReplacing(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without that rename: a second name, then the first goes.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return true;
    }
    if (errno == EEXIST) return false;
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

} // namespace

QString DecodeWindows1252(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F)
            out.append(QChar(HighControls[b - 0x80]));
        else
            out.append(QChar(static_cast<char16_t>(b)));
    }
    return out;
}

QByteArray EncodeWindows1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (char32_t c : text.toUcs4())
        out.append(EncodeOne(c));
    return out;
}

bool FitsWindows1252(const QString& text) {
    for (char32_t c : text.toUcs4())
        if (EncodeOne(c) == '?' && c != U'?') return false;
    return true;
}

namespace {
const QByteArray Utf8Mark("\xEF\xBB\xBF");
}

QByteArray EncodeSettingsText(const QStringList& lines) {
    const bool fits = std::all_of(lines.begin(), lines.end(),
                                  [](const QString& l) { return FitsWindows1252(l); });
    QByteArray bytes = fits ? QByteArray() : Utf8Mark;
    for (const QString& line : lines) {
        bytes += fits ? EncodeWindows1252(line) : line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

QString DecodeSettingsText(const QByteArray& bytes) {
    if (bytes.startsWith(Utf8Mark)) return QString::fromUtf8(bytes.mid(Utf8Mark.size()));
    return DecodeWindows1252(bytes);
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start < n) lines.append(text.mid(start));
    return lines;
}

bool LoadSettingsFile(const QString& path, QStringList& lines, QString& errorText) {
    lines.clear();
    // Opening a pipe would wait for a writer and a device never ends: only
    // plain files are read.
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile()) {
        errorText = QStringLiteral("Cannot open file \"%1\". It is not a file.").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        errorText = QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString());
        return false;
    }
    // One byte more than allowed tells a file that is too large, also one
    // that grows while it is read.
    const QByteArray bytes = file.read(MaxSettingsFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        errorText = QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString());
        return false;
    }
    if (bytes.size() > MaxSettingsFileSize) {
        errorText = QStringLiteral("Cannot read file \"%1\". It is larger than %2 bytes.")
                        .arg(path)
                        .arg(MaxSettingsFileSize);
        return false;
    }
    lines = SplitLines(DecodeSettingsText(bytes));
    return true;
}

namespace {

ReadResult ApplyLines(const QStringList& lines, AppState& app, ViewerState& viewer,
                      const WindowGeometry& carte, const LanguageFn& language,
                      const SizeLimits& limits, bool& centreRead) {
    ReadResult r;
    r.carte = carte;

    // Integer keys: a value that does not convert stops the reading.
    auto integer = [&r](const QString& value, int& into) {
        const auto v = geo::StrToInt(Utf8(value));
        if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max()) {
            r.failed = true;
            r.errorText = QString::fromStdString(geo::InvalidIntegerText(Utf8(value)));
            return false;
        }
        into = static_cast<int>(*v);
        return true;
    };
    // Size keys: converted like the others, then kept within the limits.
    auto size = [&integer](const QString& value, int& into, int low, int high) {
        if (!integer(value, into)) return false;
        into = std::clamp(into, low, std::max(low, high));
        return true;
    };
    auto applyLanguage = [&](char code) {
        app.LanguageFromSettings = true;
        if (language) language(code);
        app.LanguageFromSettings = false;
    };

    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) continue;
        const QString key = line.left(eq + 1);
        const QString value = line.mid(eq + 1);

        if (key == QLatin1String("LANGUAGE=")) {
            if (value == QLatin1String("ENGLISH"))
                applyLanguage('E');
            else if (value == QLatin1String("FRENCH"))
                applyLanguage('F');
            else if (value == QLatin1String("SPANISH"))
                applyLanguage('S');
        } else if (key == QLatin1String("PELMARINPATH=")) {
            app.PelmarinPath = value;
        } else if (key == QLatin1String("UNIT=")) {
            if (value == QLatin1String("MILE")) viewer.UnitFactor = MileFactor;
        } else if (key == QLatin1String("SEPARATOR=")) {
            if (!integer(value, app.SeparatorIndex)) return r;
        } else if (key == QLatin1String("LIST=")) {
            if (value == QLatin1String("CB")) app.ListIsCB = true;
        } else if (key == QLatin1String("IMAGE=")) {
            app.SavedImagePath = value;
        } else if (key == QLatin1String("CENTRE_IMAGE=")) {
            app.pos.CentreText = Utf8(value);
            app.SavedImageCentre = value;
            centreRead = true;
            const auto parsed =
                geo::ParsePosition(Utf8(value), app.pos.CentreLat, app.pos.CentreLon);
            if (parsed.conversionFailed) {
                r.failed = true;
                r.errorText = QString::fromStdString(parsed.errorText);
                return r;
            }
        } else if (key == QLatin1String("WTOP=")) {
            if (!integer(value, app.ViewerTop)) return r;
        } else if (key == QLatin1String("WLEFT=")) {
            if (!integer(value, app.ViewerLeft)) return r;
        } else if (key == QLatin1String("WHEIGHT=")) {
            if (!size(value, app.ViewerHeight, limits.minHeight, limits.maxHeight)) return r;
        } else if (key == QLatin1String("WWIDTH=")) {
            if (!size(value, app.ViewerWidth, limits.minWidth, limits.maxWidth)) return r;
        } else if (key == QLatin1String("WHSB=")) {
            if (!integer(value, app.ViewerScroll)) return r;
        } else if (key == QLatin1String("WTOPC=")) {
            if (!integer(value, r.carte.top)) return r;
        } else if (key == QLatin1String("WLEFTC=")) {
            if (!integer(value, r.carte.left)) return r;
        } else if (key == QLatin1String("WHEIGHTC=")) {
            if (!size(value, r.carte.height, limits.minHeight, limits.maxHeight)) return r;
        } else if (key == QLatin1String("WWIDTHC=")) {
            if (!size(value, r.carte.width, limits.minWidth, limits.maxWidth)) return r;
        } else if (key == QLatin1String("DX=")) {
            app.MemoDX.append(value);
        } else if (key == QLatin1String("DXCB=")) {
            app.MemoDXCB.append(value);
        } else if (key == QLatin1String("UTC=")) {
            app.ClockIsUTC = value.startsWith(QLatin1Char('Y'));
        } else if (key == QLatin1String("VERSTART=")) {
            app.VersionCheckAtStart = value.startsWith(QLatin1Char('1'));
        } else if (key == QLatin1String("ROTATOR=")) {
            if (!value.trimmed().isEmpty()) app.extra.RotatorAddress = value.trimmed();
        } else if (key == QLatin1String("ROTATORON=")) {
            app.extra.RotatorOn = value.startsWith(QLatin1Char('1'));
        } else if (key == QLatin1String("FILLGAPS=")) {
            app.extra.FillGaps = value.startsWith(QLatin1Char('1'));
        } else if (key == QLatin1String("GREYLINE=")) {
            app.extra.GreyLine = value.startsWith(QLatin1Char('1'));
        } else if (key == QLatin1String("GRID=")) {
            app.extra.LocatorGrid = value.startsWith(QLatin1Char('1'));
        } else if (key == QLatin1String("CTYFILE=")) {
            app.extra.CountryFile = value;
        } else {
            ApplyLaterKey(key, value, app.extra);
        }
    }
    return r;
}

} // namespace

ReadResult ApplySettingsLines(const QStringList& lines, AppState& app, ViewerState& viewer,
                              const WindowGeometry& carte, const LanguageFn& language,
                              const SizeLimits& limits) {
    bool centreRead = false;
    const geo::PositionState before = app.pos;
    ReadResult r = ApplyLines(lines, app, viewer, carte, language, limits, centreRead);
    const auto lat = app.pos.CentreLat;
    const auto lon = app.pos.CentreLon;
    const bool onEarth = lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180; // false for NaN
    if (centreRead && !onEarth) {
        app.SavedImagePath.clear();
        app.SavedImageCentre.clear();
        app.pos.CentreText = before.CentreText;
        app.pos.CentreLat = before.CentreLat;
        app.pos.CentreLon = before.CentreLon;
    }
    return r;
}

QStringList DxSettingsLines(const QStringList& dxRows, const QStringList& dxcbRows) {
    QStringList out;
    for (const QString& row : dxRows)
        if (!row.isEmpty()) out.append(QStringLiteral("DX=") + row);
    for (const QString& row : dxcbRows)
        if (!row.isEmpty()) out.append(QStringLiteral("DXCB=") + row);
    return out;
}

QStringList SettingsLines(const Snapshot& s) {
    QStringList out;
    auto add = [&out](const char* key, const QString& value) {
        out.append(QLatin1String(key) + value);
    };
    auto num = [](int v) { return QString::number(v); };

    out.append(QStringLiteral("[KORVANTA]"));
    for (const QString& language : s.languages)
        add("LANGUAGE=", language);
    if (!s.pelmarinPath.isEmpty()) add("PELMARINPATH=", s.pelmarinPath);
    add("UNIT=", s.unitFactor == 1.0L ? QStringLiteral("KM") : QStringLiteral("MILE"));
    if (s.listIsCB) add("LIST=", QStringLiteral("CB"));
    // One separator item is always checked: an index outside the four items
    // leaves the default one checked.
    add("SEPARATOR=", num(s.separatorIndex >= 0 && s.separatorIndex <= 3 ? s.separatorIndex : 0));
    if (!s.savedImagePath.isEmpty()) {
        add("IMAGE=", s.savedImagePath);
        add("CENTRE_IMAGE=", s.savedImageCentre);
    }
    add("WTOP=", num(s.viewerTop));
    add("WLEFT=", num(s.viewerLeft));
    add("WHEIGHT=", num(s.viewerHeight));
    add("WWIDTH=", num(s.viewerWidth));
    add("WHSB=", num(s.viewerScroll));
    add("WTOPC=", num(s.carte.top));
    add("WLEFTC=", num(s.carte.left));
    add("WHEIGHTC=", num(s.carte.height));
    add("WWIDTHC=", num(s.carte.width));
    out.append(s.dxLines);
    add("UTC=", s.clockIsUTC ? QStringLiteral("Y") : QStringLiteral("N"));
    add("VERSTART=", s.versionCheckAtStart ? QStringLiteral("1") : QStringLiteral("0"));

    // The added keys, each only when it differs from its default.
    const ExtraSettings defaults;
    const ExtraSettings& e = s.extra;
    auto flag = [&add](const char* key, bool value, bool byDefault) {
        if (value != byDefault) add(key, value ? QStringLiteral("1") : QStringLiteral("0"));
    };
    if (e.RotatorAddress != defaults.RotatorAddress) add("ROTATOR=", e.RotatorAddress);
    flag("ROTATORON=", e.RotatorOn, defaults.RotatorOn);
    flag("FILLGAPS=", e.FillGaps, defaults.FillGaps);
    flag("GREYLINE=", e.GreyLine, defaults.GreyLine);
    flag("GRID=", e.LocatorGrid, defaults.LocatorGrid);
    if (e.CountryFile != defaults.CountryFile) add("CTYFILE=", e.CountryFile);
    auto text = [&add](const char* key, const QString& value, const QString& byDefault) {
        if (value != byDefault) add(key, value);
    };
    auto number = [&add](const char* key, double value, double byDefault) {
        if (value != byDefault) add(key, QString::number(value, 'g', 10));
    };
    text("ROTATORKIND=", e.RotatorKind, defaults.RotatorKind);
    text("ROTATORNAME=", e.RotatorName, defaults.RotatorName);
    number("BEAMWIDTH=", e.BeamWidth, defaults.BeamWidth);
    text("PARKAZ=", e.ParkAzimuth, defaults.ParkAzimuth);
    number("TURNMIN=", e.TurnMin, defaults.TurnMin);
    flag("CLUSTERON=", e.ClusterOn, defaults.ClusterOn);
    text("CLUSTER=", e.Cluster, defaults.Cluster);
    text("CLUSTERCALL=", e.ClusterCall, defaults.ClusterCall);
    flag("WSJTXON=", e.WsjtxOn, defaults.WsjtxOn);
    text("WSJTX=", e.Wsjtx, defaults.Wsjtx);
    number("SPOTAGE=", e.SpotAge, defaults.SpotAge);
    number("RANGE=", e.RangeKm, defaults.RangeKm);
    return out;
}

QString WriteSettingsFile(const QString& folder, const QStringList& lines, bool settingsExisted) {
    const QDir dir(folder);
    const QByteArray tempPath = QFile::encodeName(dir.filePath(SettingsTempFile));
    const QByteArray finalPath = QFile::encodeName(dir.filePath(SettingsFile));

    // A temporary file left by an earlier failure: clear its read-only mark
    // and remove it.
    struct stat st {};
    if (::lstat(tempPath.constData(), &st) == 0) {
        if (S_ISREG(st.st_mode)) ::chmod(tempPath.constData(), 0644);
        if (::unlink(tempPath.constData()) != 0) return SystemError(SettingsTempFile, errno);
    }

    const QByteArray bytes = EncodeSettingsText(lines);

    const int fd = ::open(tempPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return SystemError(SettingsTempFile, errno);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            ::close(fd);
            return SystemError(SettingsTempFile, e);
        }
        done += n;
    }
    if (::fsync(fd) != 0) {
        const int e = errno;
        ::close(fd);
        return SystemError(SettingsTempFile, e);
    }
    if (::close(fd) != 0) return SystemError(SettingsTempFile, errno);

    if (settingsExisted) {
        // The rename replaces the old file in one step, read-only or not.
        if (::rename(tempPath.constData(), finalPath.constData()) != 0)
            return SystemError(SettingsFile, errno);
    } else if (!RenameWithoutReplacing(tempPath, finalPath)) {
        // There was no settings file at start: one that appeared during the
        // run is someone else's and stays; the new lines stay in korvanta.~in.
        if (errno == EEXIST) return {};
        return SystemError(SettingsFile, errno);
    }
    ::chmod(finalPath.constData(), 0444);
    const int dirFd = ::open(QFile::encodeName(dir.absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

} // namespace settings
