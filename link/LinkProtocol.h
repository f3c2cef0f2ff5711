// The rules of the azimuth link, free of any toolkit: the service name, the
// conversation a client holds with the server (one per connection), the
// framing of the value, the replies a client reads, where the socket lives,
// and the rotator's commands and addresses.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace azlink {

// Longest request line, without its LF (and a CR before it).
inline constexpr std::size_t MaxLineBytes = 256;
// Input or output waiting on one connection beyond this closes it.
inline constexpr std::size_t MaxPendingBytes = 64 * 1024;
// Connections served at once; one more is answered "ERROR busy" and closed.
inline constexpr int MaxConnections = 32;
// A connection that has not opened a conversation (CONNECT) within this many
// milliseconds is closed, so that idle connections cannot keep others out.
inline constexpr int OpenDeadlineMs = 10000;
// The line the server sends to a connection beyond MaxConnections.
inline constexpr std::string_view BusyLine = "ERROR busy";

inline constexpr std::string_view Topic = "Data";
inline constexpr std::string_view Item = "Azimuth";
inline constexpr std::string_view Format = "CF_TEXT";

// The executable's file name without its folder, cut before its first ".".
std::string ServiceName(std::string_view executablePath);

// The item's bytes: each line followed by CR LF, then a NUL. An empty text is
// no line at all (the NUL alone).
std::string ItemValue(std::string_view text);

// One conversation, seen from the server.
struct Conversation {
    bool open = false;     // CONNECT Data was answered OK
    bool advising = false; // ADVISE Azimuth CF_TEXT is in force
    // WATCH Azimuth CF_TEXT was answered OK: the pushes of ADVISE without a
    // conversation, so the program may close meanwhile.
    bool watching = false;
    // True when publications are pushed to this connection.
    bool pushed() const { return advising || watching; }
};

// What one request line did.
struct Answer {
    std::string reply;       // the bytes to send back (with their LF, and data)
    bool opened = false;     // the conversation opened: DataOpen
    bool closeAfter = false; // DISCONNECT: close once the reply is sent
    bool closed = false;     // the conversation ended: DataClose
};

// Handles one request line (without LF; a trailing CR is ignored). `value` is
// the item's current bytes (ItemValue).
Answer HandleLine(Conversation& c, std::string_view line, std::string_view value);

// The push sent to an advising client on each publication.
std::string AdviseMessage(std::string_view value);
// "DATA <n>\n" and the value.
std::string DataMessage(std::string_view value);

// Splits a stream of request bytes into lines. A line longer than
// MaxLineBytes, or an unfinished one that already is, makes it fail for good.
class LineSplitter {
  public:
    // Appends bytes and moves the complete lines (without LF, without a CR
    // just before it) to `lines`. Returns false once the input is over-long.
    bool feed(std::string_view bytes, std::vector<std::string>& lines);
    std::size_t pending() const { return partial_.size(); }

  private:
    std::string partial_;
    bool failed_ = false;
};

// What a client reads from the server: reply lines, and the value blocks that
// follow "DATA <n>" and "ADVISE <n>".
struct ServerMessage {
    enum class Kind { Line, Data, Advise };
    Kind kind = Kind::Line;
    std::string text; // the reply line, or the value bytes
};

class ReplyReader {
  public:
    // Returns false when the server sent something that is not the protocol.
    bool feed(std::string_view bytes, std::vector<ServerMessage>& out);

  private:
    std::string buffer_;
    std::optional<ServerMessage::Kind> block_;
    std::size_t blockSize_ = 0;
    bool failed_ = false;
};

// The digits a value holds (the first line without CR LF NUL), empty when none.
std::string ValueDigits(std::string_view value);

// ---------------------------------------------------------------------------
// Where the socket lives.

// Why a private folder cannot hold the socket (empty: it can).
enum class FolderProblem { None, NotAFolder, OtherOwner, OpenToOthers };
FolderProblem CheckPrivateFolder(bool isFolder, unsigned ownerUid, unsigned mode, unsigned myUid);
std::string FolderProblemText(FolderProblem p, std::string_view folder);

struct SocketPlace {
    std::string folder;        // the folder that holds the socket
    std::string path;          // the socket's full name
    bool createFolder = false; // the fallback folder, made by the program (mode 0700)
};
// $XDG_RUNTIME_DIR/<service>.sock when that folder is usable, else
// <temp>/<service>-<uid>/<service>.sock.
SocketPlace ChooseSocketPlace(std::string_view service, const char* xdgRuntimeDir,
                              std::string_view tempFolder, unsigned uid, bool xdgUsable);

// Checks (and makes, when it is the program's own fallback folder) the folder
// of the socket with the system. Returns an explanation when it may not be used.
std::optional<std::string> PrepareSocketFolder(const SocketPlace& place, unsigned uid);
// The client's side of the same check, without making anything: the folder
// must exist, be a folder and no link, belong to `uid` and be closed to
// others (mode 0700). A folder another user made first in the temporary
// folder is refused, so a client never reads a stranger's socket.
std::optional<std::string> CheckSocketFolder(const SocketPlace& place, unsigned uid);

// The socket's place for this process (environment, temporary folder, uid).
SocketPlace SocketPlaceFor(std::string_view service);

// ---------------------------------------------------------------------------
// Rotator (Hamlib's rotctld).

inline constexpr int DefaultRotatorPort = 4533;

struct HostPort {
    std::string host;
    int port = DefaultRotatorPort;
};
// "HOST:PORT" or "HOST" (the default port); brackets around an IPv6 host.
// Empty when the text is no such address.
std::optional<HostPort> ParseHostPort(std::string_view text);

// The azimuth sent to the rotator, in 0..359: 360 becomes 0.
int RotatorAzimuth(long long bearing);
// "P <az> 0\n".
std::string RotatorCommand(int azimuth);
// The result code of an "RPRT <n>" line; empty for any other line.
std::optional<int> RotatorReply(std::string_view line);

} // namespace azlink
