// The addresses of the live stations' settings and command line.
#include "live/Endpoint.h"

#include <gtest/gtest.h>

namespace {

TEST(Endpoint, HostAndPort) {
    const struct {
        const char* text;
        bool ok;
        const char* host;
        int port;
    } cases[] = {
        {"dxc.example.org:7300", true, "dxc.example.org", 7300},
        {" 127.0.0.1:7373 ", true, "127.0.0.1", 7373},
        {"[::1]:23", true, "::1", 23},
        {"node:65535", true, "node", 65535},
        {"node:0", false, "", 0},
        {"node:65536", false, "", 0},
        {"node", false, "", 0},
        {":7300", false, "", 0},
        {"node:", false, "", 0},
        {"no de:7300", false, "", 0},
        {"node:73a0", false, "", 0},
        {"[::1]7300", false, "", 0},
        {"", false, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto r = live::ParseHostPort(c.text);
        ASSERT_EQ(r.has_value(), c.ok);
        if (r) {
            EXPECT_EQ(r->host, c.host);
            EXPECT_EQ(r->port, c.port);
        }
    }
}

TEST(Endpoint, UdpPortOrGroup) {
    const struct {
        const char* text;
        bool ok;
        const char* address;
        int port;
        bool multicast;
    } cases[] = {
        {"2237", true, "127.0.0.1", 2237, false},
        {"239.255.0.1:2237", true, "239.255.0.1", 2237, true},
        {"224.0.0.1:1", true, "224.0.0.1", 1, true},
        {"192.168.1.5:2237", true, "192.168.1.5", 2237, false},
        {"240.0.0.1:2237", true, "240.0.0.1", 2237, false},
        {"0", false, "", 0, false},
        {"70000", false, "", 0, false},
        {"239.255.0:2237", false, "", 0, false},
        {"239.255.0.256:2237", false, "", 0, false},
        {"host:2237", false, "", 0, false},
        {"239.255.0.1:", false, "", 0, false},
        {"", false, "", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto r = live::ParseUdpEndpoint(c.text);
        ASSERT_EQ(r.has_value(), c.ok);
        if (r) {
            EXPECT_EQ(r->address, c.address);
            EXPECT_EQ(r->port, c.port);
            EXPECT_EQ(r->multicast, c.multicast);
        }
    }
}

} // namespace
