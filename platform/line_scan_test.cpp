#include "platform/line_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

struct ScanCase {
    std::string chunk;
    size_t consumed;
    bool ended;
    Text line;
};

TEST(LineScan, OneChunk) {
    const ScanCase cases[] = {
        {"abc\r\n", 5, true, u"abc"},
        {"a\rb\nrest", 4, true, u"ab"},  // Stops right after the terminator.
        {"\r\n", 2, true, u""},
        {"abc", 3, false, u"abc"},  // No terminator: all taken, the line goes on.
        {"a\0b\n"s, 2, true, u"a"},
        {"\xC3\xA9\n", 3, true, u"\u00C3\u00A9"},
        {"\xFF\x01\n", 3, true, u"\u00FF\u0001"},
        {"\n\n\n", 1, true, u""},
        {"\r\r", 2, false, u""},
        {"", 0, false, u""},
    };
    for (const ScanCase& c : cases) {
        Text line;
        const LineScan scan = ScanLine(c.chunk, line);
        EXPECT_EQ(scan.consumed, c.consumed) << c.chunk;
        EXPECT_EQ(scan.ended, c.ended) << c.chunk;
        EXPECT_EQ(line, c.line) << c.chunk;
    }
}

// Feeds bytes to ScanLine in chunks of chunkSize, the way a reader would, and returns every
// line, the unterminated rest included when there is one.
std::vector<Text> SplitInChunks(const std::string& bytes, size_t chunkSize, size_t limit) {
    std::vector<Text> lines;
    Text line;
    bool pending = false;
    for (size_t start = 0; start < bytes.size(); start += chunkSize) {
        std::string_view chunk = std::string_view(bytes).substr(start, chunkSize);
        while (!chunk.empty()) {
            const LineScan scan = ScanLine(chunk, line, limit);
            chunk.remove_prefix(scan.consumed);
            pending = !scan.ended;
            if (scan.ended) {
                lines.push_back(line);
                line.clear();
            }
        }
    }
    if (pending) lines.push_back(line);
    return lines;
}

TEST(LineScan, EveryChunkingGivesTheSameLines) {
    const std::string bytes = "ab\r\ncd\0\r\nef\xFF\n\ngh"s;
    const std::vector<Text> expected = {u"ab", u"cd", u"", u"ef\u00FF", u"", u"gh"};
    for (size_t chunkSize = 1; chunkSize <= bytes.size(); ++chunkSize) {
        EXPECT_EQ(SplitInChunks(bytes, chunkSize, kLineLimit), expected) << chunkSize;
    }
}

struct BoundCase {
    std::string bytes;
    std::vector<Text> lines;
};

TEST(LineScan, ALineThatReachesTheBoundEndsThereAndTheRestFollows) {
    // A bound of 4 stands in for kLineLimit: the rule is the same, the fixture small.
    const BoundCase cases[] = {
        {"abcdefghij\n", {u"abcd", u"efgh", u"ij"}},
        {"abcd\n", {u"abcd", u""}},          // The terminator then ends an empty line.
        {"ab\r\rcd\ref", {u"abcd", u"ef"}},  // Carriage returns do not count.
        {"abc\n", {u"abc"}},
    };
    for (const BoundCase& c : cases) {
        for (size_t chunkSize = 1; chunkSize <= c.bytes.size(); ++chunkSize) {
            EXPECT_EQ(SplitInChunks(c.bytes, chunkSize, 4), c.lines)
                << c.bytes << " / " << chunkSize;
        }
    }
}

}  // namespace
