// The addresses the live stations' settings and command line take. Plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace live {

struct HostPort {
    std::string host;
    std::uint16_t port = 0;
};

// "HOST:PORT" (a name, an IPv4 address or a bracketed IPv6 address "[::1]:7300")
// with a port 1..65535; nothing otherwise. Blanks around are ignored.
std::optional<HostPort> ParseHostPort(std::string_view text);

// The FT8 program's stream: "PORT" (unicast to this machine, 127.0.0.1),
// "GROUP:PORT" (a multicast group 224.0.0.0-239.255.255.255) or
// "ADDRESS:PORT" (unicast to that local IPv4 address).
struct UdpEndpoint {
    std::string address; // "127.0.0.1" for a bare port
    std::uint16_t port = 0;
    bool multicast = false;
};
std::optional<UdpEndpoint> ParseUdpEndpoint(std::string_view text);

} // namespace live
