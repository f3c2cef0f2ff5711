// libFuzzer target: any bytes a client sends to the azimuth server. The
// request lines go through the line splitter and the request handler (with
// CONNECT, ADVISE and WATCH in any order); the server's answers must always
// read back as the protocol, and a connection is never both a conversation
// and a watch. Built and run by tests/fuzz/run_link_fuzz.sh.
#include "link/LinkProtocol.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first byte chooses the published value and the chunk size.
    const std::string value = azlink::ItemValue(size > 0 && (data[0] & 1) ? "237" : "");
    const std::size_t chunk = size > 0 ? 1 + data[0] % 17 : 1;
    azlink::LineSplitter splitter;
    azlink::Conversation c;
    azlink::ReplyReader reader;
    std::vector<azlink::ServerMessage> messages;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        std::vector<std::string> lines;
        const bool fine = splitter.feed(bytes.substr(at, chunk), lines);
        for (const std::string& line : lines) {
            const azlink::Answer a = azlink::HandleLine(c, line, value);
            if (c.open && c.watching) std::abort();
            if (a.reply.empty()) std::abort();
            if (a.closed && !a.closeAfter) std::abort();
            if (a.opened && a.closed) std::abort();
            std::string out = a.reply;
            if (c.pushed()) out += azlink::AdviseMessage(value);
            if (!reader.feed(out, messages)) std::abort();
            if (a.closeAfter) return 0;
        }
        if (!fine) return 0;
        if (splitter.pending() > azlink::MaxLineBytes + 1) std::abort();
    }
    return 0;
}
