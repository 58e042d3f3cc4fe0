#include "platform/resolver.h"

#include <gtest/gtest.h>

namespace {

struct LookupCase {
    const char16_t* name;
    int32_t index;
    uint32_t ip;
};

TEST(Resolver, HostIpGivesTheIndexedIpv4AddressOrZero) {
    const LookupCase cases[] = {
        {u"127.0.0.1", 0, 0x7F000001},
        {u"10.0.0.7", 0, 0x0A000007},
        {u"192.168.1.20", 0, 0xC0A80114},  // Above 2^31: read back unsigned.
        {u"localhost", 0, 0x7F000001},
        {u"127.0.0.1", 1, 0},   // Past the end of the answer.
        {u"127.0.0.1", -1, 0},  // No such index.
        {u"::1", 0, 0},         // IPv6 only.
        {u"", 0, 0},
    };
    for (const LookupCase& c : cases) {
        EXPECT_EQ(static_cast<uint32_t>(HostIp(c.name, c.index)), c.ip)
            << Latin1Bytes(c.name) << " #" << c.index;
    }
}

TEST(Resolver, HostNameGivesTheNameOfLoopback) { EXPECT_EQ(HostName(0x7F000001), u"localhost"); }

}  // namespace
