#include "app/message_view.h"

#include <gtest/gtest.h>

namespace {

struct DisplayCase {
    int32_t ip;
    Text message;
    Text shown;
};

TEST(DisplayLine, FormatsSenderAndMessage) {
    const DisplayCase cases[] = {
        {(10 << 24) | 7, u"abc", u"[From 10.0.0.7]\tabc\n"},
        // A first octet of 128 or more is still a plain unsigned number.
        {static_cast<int32_t>(0xC0A80114u), u"hi", u"[From 192.168.1.20]\thi\n"},
        {0, u"x", u"[From 0.0.0.0]\tx\n"},
        {static_cast<int32_t>(0xFFFFFFFFu), u"x", u"[From 255.255.255.255]\tx\n"},
        // Tabs inside the message stay as they are; only one is added after the bracket.
        {(127 << 24) | 1, u"a\tb\t", u"[From 127.0.0.1]\ta\tb\t\n"},
        {(127 << 24) | 1, u"\u00c3\u00a9", u"[From 127.0.0.1]\t\u00c3\u00a9\n"},
    };
    for (const DisplayCase& c : cases) {
        Incoming record;
        record.ip = c.ip;
        record.message = c.message;
        EXPECT_EQ(DisplayLine(record), c.shown) << "ip " << c.ip;
    }
}

TEST(DisplayLine, TenZeroZeroSevenIsTwentyCharacters) {
    Incoming record;
    record.ip = (10 << 24) | 7;
    record.message = u"abc";
    EXPECT_EQ(DisplayLine(record).size(), 20u);
}

TEST(DottedIp, WritesNoLeadingZerosOrPadding) {
    EXPECT_EQ(DottedIp((1 << 24) | (20 << 16) | (3 << 8) | 100), u"1.20.3.100");
    EXPECT_EQ(DottedIp(static_cast<int32_t>(0x80000000u)), u"128.0.0.0");
}

}  // namespace
