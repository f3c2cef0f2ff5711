// The settings file korvanta.ini: Windows-1252 text, one KEY=value entry a
// line, read once at start and written once at the end of a run. No widgets
// here: the world-map window hands its state in and applies what comes out.
#pragma once

#include "app/AppState.h"
#include "viewer/ViewerState.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace settings {

inline const QString SettingsFile = QStringLiteral("korvanta.ini");
inline const QString SettingsTempFile = QStringLiteral("korvanta.~in");
// The message of a failed write (French in every language).
inline const QString SettingsErrorText = QStringLiteral("Ne peut créer korvanta.ini");

inline constexpr long double MileFactor = 1.609344L;

// Windows-1252 <-> QString. Every byte decodes to one character (the five
// bytes the code page leaves unassigned become the control characters of the
// same number); characters the code page lacks encode as "?".
QString DecodeWindows1252(const QByteArray& bytes);
QByteArray EncodeWindows1252(const QString& text);

// Whether every character of the text has a byte in Windows-1252.
bool FitsWindows1252(const QString& text);

// The bytes of a settings file: Windows-1252 when every line fits the code
// page (so every existing reader reads it as before), otherwise UTF-8 behind
// a byte-order mark, so that a name in Cyrillic or Greek is kept whole.
QByteArray EncodeSettingsText(const QStringList& lines);
// The reverse: a text that starts with the UTF-8 byte-order mark is UTF-8,
// any other is Windows-1252.
QString DecodeSettingsText(const QByteArray& bytes);

// Splits a text into lines at CR LF, a lone CR or a lone LF. A final line
// break does not start another line.
QStringList SplitLines(const QString& text);

// Position and size of a window (left, top, width, height of the window).
struct WindowGeometry {
    int top = 11;
    int left = 11;
    int height = 875;
    int width = 1228;
    bool operator==(const WindowGeometry&) const = default;
};

// Applies one LANGUAGE= value: 'E', 'F' or 'S'.
using LanguageFn = std::function<void(char code)>;

struct ReadResult {
    bool failed = false;  // the reading stopped at a value that did not convert
    QString errorText;    // the run time's text of that failure
    WindowGeometry carte; // the world-map window's geometry after the lines read
};

// The largest settings file that is loaded: far above what the user's lists
// fill, small enough that a damaged or foreign file cannot exhaust memory.
inline constexpr qint64 MaxSettingsFileSize = 4 * 1024 * 1024;

// Loads the settings file into lines. A file that is not a plain file (a
// folder, a pipe, a device) or is larger than MaxSettingsFileSize is not
// loaded. On failure returns false and sets `errorText` to the reason.
bool LoadSettingsFile(const QString& path, QStringList& lines, QString& errorText);

// Window sizes the reader accepts: a size key outside these bounds is taken
// as the nearest bound, so that a damaged file cannot make a window vanish or
// ask for a picture buffer of thousands of millions of pixels. Positions are
// kept as read.
struct SizeLimits {
    int minWidth = 100;
    int minHeight = 100;
    int maxWidth = 1 << 30;
    int maxHeight = 1 << 30;
};

// A CENTRE_IMAGE= outside 90 S to 90 N and 180 W to 180 E (a damaged file)
// counts as no saved map: the image, its centre text and the centre are
// dropped.
// Applies the lines in file order to the state. `carte` is the world-map
// window's geometry before the reading; the result holds it after the
// WTOPC=... keys. LANGUAGE= runs `language` with LanguageFromSettings set.
ReadResult ApplySettingsLines(const QStringList& lines, AppState& app, ViewerState& viewer,
                              const WindowGeometry& carte, const LanguageFn& language,
                              const SizeLimits& limits = SizeLimits{});

// Everything the writer needs, taken from the windows at the moment of writing.
struct Snapshot {
    QStringList languages; // "ENGLISH", "FRENCH", "SPANISH": one per checked item
    QString pelmarinPath;
    long double unitFactor = 1.0L;
    bool listIsCB = false;
    int separatorIndex = 0;
    QString savedImagePath;
    QString savedImageCentre;
    int viewerTop = 0;
    int viewerLeft = 0;
    int viewerHeight = 691;
    int viewerWidth = 950;
    int viewerScroll = 0;
    WindowGeometry carte;
    QStringList dxLines; // whole "DX=..." and "DXCB=..." lines, in order
    bool clockIsUTC = false;
    bool versionCheckAtStart = false;
    ExtraSettings extra;
};

// The DX= and DXCB= lines of the user's rows: one line per non-empty row.
QStringList DxSettingsLines(const QStringList& dxRows, const QStringList& dxcbRows);

// The lines of the file, "[KORVANTA]" first, the keys in their order.
QStringList SettingsLines(const Snapshot& s);

// Writes the lines (Windows-1252, CR LF) to korvanta.~in in `folder`, flushes
// it to disk, renames it over korvanta.ini and marks that read-only. Any
// failure before the rename leaves korvanta.ini as it was. When the program
// started without a settings file (`settingsExisted` false), a korvanta.ini
// that someone else created meanwhile is not replaced: the new lines stay in
// korvanta.~in and the write still counts as done. Returns an empty text on
// success, otherwise the reason.
QString WriteSettingsFile(const QString& folder, const QStringList& lines,
                          bool settingsExisted = true);

} // namespace settings
