#include "link/LinkProtocol.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace azlink {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool PlainAscii(std::string_view line) {
    for (const char ch : line) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80 || (c < 0x20 && c != '\t') || c == 0x7F) return false;
    }
    return true;
}

Answer Reply(std::string_view text) {
    Answer a;
    a.reply = std::string(text) + '\n';
    return a;
}

} // namespace

std::string ServiceName(std::string_view executablePath) {
    const std::size_t slash = executablePath.find_last_of('/');
    std::string_view name =
        slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
    const std::size_t dot = name.find('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    return std::string(name);
}

std::string ItemValue(std::string_view text) {
    std::string value;
    if (!text.empty()) {
        value.append(text);
        value.append("\r\n");
    }
    value.push_back('\0');
    return value;
}

std::string DataMessage(std::string_view value) {
    return "DATA " + std::to_string(value.size()) + '\n' + std::string(value);
}

std::string AdviseMessage(std::string_view value) {
    return "ADVISE " + std::to_string(value.size()) + '\n' + std::string(value);
}

Answer HandleLine(Conversation& c, std::string_view line, std::string_view value) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!PlainAscii(line)) return Reply("ERROR not plain ASCII");
    const std::vector<std::string_view> w = Words(line);
    if (w.empty()) return Reply("ERROR empty request");
    const std::string_view cmd = w[0];
    const bool known = cmd == "CONNECT" || cmd == "REQUEST" || cmd == "ADVISE" ||
                       cmd == "UNADVISE" || cmd == "POKE" || cmd == "EXECUTE" ||
                       cmd == "DISCONNECT" || cmd == "WATCH";
    if (!known) return Reply("ERROR unknown command");
    if (c.watching) {
        // A watching connection only listens; DISCONNECT ends it.
        if (cmd != "DISCONNECT") return Reply("ERROR watching");
        if (w.size() != 1) return Reply("ERROR usage: DISCONNECT");
        c.watching = false;
        Answer a = Reply("OK");
        a.closeAfter = true;
        return a;
    }
    if (cmd == "WATCH") {
        if (c.open) return Reply("ERROR already connected");
        if (w.size() != 3) return Reply("ERROR usage: WATCH <item> <format>");
        if (!SameName(w[1], Item) || !SameName(w[2], Format)) return Reply("NODATA");
        c.watching = true;
        return Reply("OK");
    }
    if (cmd == "CONNECT") {
        if (c.open) return Reply("ERROR already connected");
        if (w.size() != 2) return Reply("ERROR usage: CONNECT <topic>");
        if (!SameName(w[1], Topic)) return Reply("ERROR unknown topic");
        c.open = true;
        Answer a = Reply("OK");
        a.opened = true;
        return a;
    }
    if (!c.open) return Reply("ERROR not connected");
    if (cmd == "REQUEST") {
        if (w.size() != 3) return Reply("ERROR usage: REQUEST <item> <format>");
        if (!SameName(w[1], Item) || !SameName(w[2], Format)) return Reply("NODATA");
        Answer a;
        a.reply = DataMessage(value);
        return a;
    }
    if (cmd == "ADVISE") {
        if (w.size() != 3) return Reply("ERROR usage: ADVISE <item> <format>");
        if (!SameName(w[1], Item) || !SameName(w[2], Format)) return Reply("NODATA");
        c.advising = true;
        return Reply("OK");
    }
    if (cmd == "UNADVISE") {
        if (w.size() != 2) return Reply("ERROR usage: UNADVISE <item>");
        if (!SameName(w[1], Item)) return Reply("NODATA");
        c.advising = false;
        return Reply("OK");
    }
    if (cmd == "POKE" || cmd == "EXECUTE") return Reply("NOTPROCESSED");
    // DISCONNECT
    if (w.size() != 1) return Reply("ERROR usage: DISCONNECT");
    c.open = false;
    c.advising = false;
    Answer a = Reply("OK");
    a.closeAfter = true;
    a.closed = true;
    return a;
}

bool LineSplitter::feed(std::string_view bytes, std::vector<std::string>& lines) {
    if (failed_) return false;
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        const std::string_view part = bytes.substr(0, lf);
        // A CR may still come before the LF: one byte more may wait.
        if (partial_.size() + part.size() > MaxLineBytes + 1) {
            failed_ = true;
            partial_.clear();
            return false;
        }
        partial_.append(part);
        if (lf == std::string_view::npos) break;
        if (!partial_.empty() && partial_.back() == '\r') partial_.pop_back();
        if (partial_.size() > MaxLineBytes) {
            failed_ = true;
            partial_.clear();
            return false;
        }
        lines.push_back(std::move(partial_));
        partial_.clear();
        bytes.remove_prefix(lf + 1);
    }
    return true;
}

bool ReplyReader::feed(std::string_view bytes, std::vector<ServerMessage>& out) {
    if (failed_) return false;
    buffer_.append(bytes);
    std::size_t at = 0;
    for (;;) {
        if (block_) {
            if (buffer_.size() - at < blockSize_) break;
            out.push_back({*block_, buffer_.substr(at, blockSize_)});
            at += blockSize_;
            block_.reset();
            continue;
        }
        const std::size_t lf = buffer_.find('\n', at);
        if (lf == std::string::npos) {
            if (buffer_.size() - at > MaxLineBytes) failed_ = true;
            break;
        }
        std::string line = buffer_.substr(at, lf - at);
        at = lf + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::optional<ServerMessage::Kind> kind;
        std::string_view rest;
        if (line.rfind("DATA ", 0) == 0) {
            kind = ServerMessage::Kind::Data;
            rest = std::string_view(line).substr(5);
        } else if (line.rfind("ADVISE ", 0) == 0) {
            kind = ServerMessage::Kind::Advise;
            rest = std::string_view(line).substr(7);
        }
        if (!kind) {
            out.push_back({ServerMessage::Kind::Line, line});
            continue;
        }
        if (rest.empty() || rest.size() > 6 ||
            rest.find_first_not_of("0123456789") != std::string_view::npos) {
            failed_ = true;
            break;
        }
        block_ = kind;
        blockSize_ = static_cast<std::size_t>(std::stoul(std::string(rest)));
    }
    buffer_.erase(0, at);
    return !failed_;
}

std::string ValueDigits(std::string_view value) {
    const std::size_t end = value.find_first_of(std::string_view("\r\n\0", 3));
    return std::string(value.substr(0, end));
}

// ---------------------------------------------------------------------------

FolderProblem CheckPrivateFolder(bool isFolder, unsigned ownerUid, unsigned mode, unsigned myUid) {
    if (!isFolder) return FolderProblem::NotAFolder;
    if (ownerUid != myUid) return FolderProblem::OtherOwner;
    if ((mode & 077) != 0) return FolderProblem::OpenToOthers;
    return FolderProblem::None;
}

std::string FolderProblemText(FolderProblem p, std::string_view folder) {
    const std::string f(folder);
    switch (p) {
    case FolderProblem::None:
        return {};
    case FolderProblem::NotAFolder:
        return f + " is not a folder";
    case FolderProblem::OtherOwner:
        return f + " belongs to another user";
    case FolderProblem::OpenToOthers:
        return f + " is open to other users (its mode must be 0700)";
    }
    return {};
}

SocketPlace ChooseSocketPlace(std::string_view service, const char* xdgRuntimeDir,
                              std::string_view tempFolder, unsigned uid, bool xdgUsable) {
    SocketPlace place;
    const std::string file = std::string(service) + ".sock";
    if (xdgRuntimeDir && *xdgRuntimeDir && xdgUsable) {
        place.folder = xdgRuntimeDir;
    } else {
        std::string temp(tempFolder.empty() ? std::string_view("/tmp") : tempFolder);
        while (temp.size() > 1 && temp.back() == '/')
            temp.pop_back();
        place.folder = temp + '/' + std::string(service) + '-' + std::to_string(uid);
        place.createFolder = true;
    }
    place.path = place.folder + '/' + file;
    return place;
}

std::optional<std::string> PrepareSocketFolder(const SocketPlace& place, unsigned uid) {
    if (place.createFolder && ::mkdir(place.folder.c_str(), 0700) != 0 && errno != EEXIST)
        return place.folder + ": " + std::strerror(errno);
    // lstat: a link planted in the temporary folder is no folder of ours.
    return CheckSocketFolder(place, uid);
}

std::optional<std::string> CheckSocketFolder(const SocketPlace& place, unsigned uid) {
    struct stat st {};
    if (::lstat(place.folder.c_str(), &st) != 0) return place.folder + ": " + std::strerror(errno);
    const FolderProblem p = CheckPrivateFolder(S_ISDIR(st.st_mode), st.st_uid, st.st_mode, uid);
    if (p != FolderProblem::None) return FolderProblemText(p, place.folder);
    return std::nullopt;
}

SocketPlace SocketPlaceFor(std::string_view service) {
    const unsigned uid = ::getuid();
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    bool usable = false;
    if (xdg && *xdg == '/') {
        struct stat st {};
        usable = ::stat(xdg, &st) == 0 &&
                 CheckPrivateFolder(S_ISDIR(st.st_mode), st.st_uid, st.st_mode, uid) ==
                     FolderProblem::None &&
                 ::access(xdg, W_OK | X_OK) == 0;
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string_view temp = (tmp && *tmp == '/') ? std::string_view(tmp) : "/tmp";
    return ChooseSocketPlace(service, xdg, temp, uid, usable);
}

// ---------------------------------------------------------------------------

std::optional<HostPort> ParseHostPort(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    HostPort hp;
    std::string_view host, port;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::nullopt;
            port = rest.substr(1);
            if (port.empty()) return std::nullopt;
        }
    } else {
        const std::size_t colon = text.find(':');
        if (colon != std::string_view::npos &&
            text.find(':', colon + 1) == std::string_view::npos) {
            host = text.substr(0, colon);
            port = text.substr(colon + 1);
            if (port.empty()) return std::nullopt;
        } else {
            host = text; // a name, or an IPv6 address without a port
        }
    }
    if (host.empty() || host.size() > 253) return std::nullopt;
    for (const char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_' || c == ':' ||
                        c == '%';
        if (!ok) return std::nullopt;
    }
    hp.host = std::string(host);
    if (!port.empty()) {
        if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        const int p = std::stoi(std::string(port));
        if (p < 1 || p > 65535) return std::nullopt;
        hp.port = p;
    }
    return hp;
}

int RotatorAzimuth(long long bearing) {
    return static_cast<int>(((bearing % 360) + 360) % 360);
}

std::string RotatorCommand(int azimuth) {
    return "P " + std::to_string(azimuth) + " 0\n";
}

std::optional<int> RotatorReply(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\n'))
        line.remove_suffix(1);
    if (line.rfind("RPRT ", 0) != 0) return std::nullopt;
    std::string_view n = line.substr(5);
    bool negative = false;
    if (!n.empty() && n.front() == '-') {
        negative = true;
        n.remove_prefix(1);
    }
    if (n.empty() || n.size() > 6 || n.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const int v = std::stoi(std::string(n));
    return negative ? -v : v;
}

} // namespace azlink
