// Fuzzes the splitting of received bytes into lines, against the model of line_model.h, in two
// ways: ScanLine alone under a small bound, over the chunks as a reader would feed them; and
// the real connection reader (ConnectionThread, with its stream's ReadLine) over a socket held
// in memory, under the real bound, queueing through a recording AddIncoming.
//
// Input: byte 0 holds flags, byte 1 the small bound (and, when the input is stretched past the
// real bound, the stretched length), byte 2 after which line the quit flag is found set (0:
// never), byte 3 how many of the next bytes give chunk sizes; the rest is what the peer sends.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/line_model.h"
#include "fuzz/memory_socket.h"
#include "platform/line_scan.h"
#include "receiver/connection.h"
#include "receiver/incoming.h"
#include "receiver/quit_flag.h"

namespace {

enum Flags : uint8_t {
    kStretch = 0xC1,    // All three bits, and a checksum of the input divisible by 16: stretch
                        // the bytes with filler to about the real bound. Rare, since such a
                        // run costs a thousand short ones, and the checksum keeps the inputs
                        // mutated from a stretched one from being stretched as a rule.
    kStretchTwice = 2,  // Stretch to about twice the bound instead.
    kEndIsReset = 4,    // The peer resets instead of closing in order.
    kArriveOnTest = 8,  // Chunks may arrive during a liveness test.
    kLargeChunks = 16,  // Each chunk-size byte counts in kilobytes.
};

struct Input {
    uint8_t flags = 0;
    size_t smallLimit = 1;
    uint32_t quitAfter = 0;
    std::vector<size_t> chunks;
    std::string bytes;
};

// A checksum of the whole input.
uint32_t Checksum(const uint8_t* data, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i < size; ++i) sum = sum * 31 + data[i];
    return sum;
}

Input Decode(const uint8_t* data, size_t size) {
    Input input;
    if (size < 4) return input;
    input.flags = data[0];
    input.smallLimit = 1 + data[1] % 48;
    input.quitAfter = data[2] % 16;
    const size_t sizeBytes = std::min<size_t>(data[3] % 32, size - 4);
    const size_t unit = (input.flags & kLargeChunks) ? 1024 : 1;
    for (size_t i = 0; i < sizeBytes; ++i) input.chunks.push_back((data[4 + i] + 1u) * unit);
    input.bytes.assign(reinterpret_cast<const char*>(data + 4 + sizeBytes), size - 4 - sizeBytes);
    const bool stretch = (input.flags & kStretch) == kStretch && Checksum(data, size) % 16 == 0;
    if (stretch && !input.bytes.empty()) {
        // The bytes, split in two around filler (letters, or CRs, which must not count), to a
        // length a little below to a little above the bound (or twice the bound), so that
        // lines meet it at every offset.
        const size_t bound = (input.flags & kStretchTwice) ? 2 * kLineLimit : kLineLimit;
        const size_t length = bound - 256 + data[1] * 2u;
        const size_t half = std::min(input.bytes.size() / 2, length);
        const size_t rest = std::min(input.bytes.size() - half, length - half);
        const char filler = (data[1] & 1) ? '\r' : 'x';
        std::string stretched = input.bytes.substr(0, half);
        stretched.append(length - half - rest, filler);
        stretched.append(input.bytes, half, rest);
        input.bytes = std::move(stretched);
    }
    return input;
}

// The chunks in which bytes arrive: the given sizes over and over, else one chunk.
std::vector<std::string_view> Chunks(std::string_view bytes, const std::vector<size_t>& sizes) {
    std::vector<std::string_view> chunks;
    for (size_t i = 0; !bytes.empty(); ++i) {
        const size_t size = sizes.empty() ? bytes.size() : sizes[i % sizes.size()];
        chunks.push_back(bytes.substr(0, size));
        bytes.remove_prefix(chunks.back().size());
    }
    return chunks;
}

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

// ScanLine under a small bound, fed chunk by chunk, gives the model's lines.
void CheckScanLine(const Input& input) {
    std::vector<Text> lines;
    Text line;
    bool pending = false;
    for (std::string_view chunk : Chunks(input.bytes, input.chunks)) {
        while (!chunk.empty()) {
            const LineScan scan = ScanLine(chunk, line, input.smallLimit);
            Require(scan.consumed >= 1 && scan.consumed <= chunk.size());
            Require(scan.ended || scan.consumed == chunk.size());
            chunk.remove_prefix(scan.consumed);
            pending = !scan.ended;
            if (scan.ended) {
                lines.push_back(std::move(line));
                line.clear();
            }
        }
    }
    if (pending) lines.push_back(std::move(line));

    const std::vector<ModelLine> model = ModelLines(input.bytes, input.smallLimit);
    Require(lines.size() == model.size());
    for (size_t i = 0; i < model.size(); ++i) Require(lines[i] == model[i].text);
}

// What the connection reader did, seen through its two calls into the receiver.
struct Record {
    Socket* socket = nullptr;
    std::vector<Incoming> queued;
    std::vector<size_t> takenAtLine;  // Bytes received from the socket at each QuitFlag call.
    uint32_t quitAfter = 0;
};
Record record;

}  // namespace

void AddIncoming(int32_t ip, Text message) {
    Incoming incoming;
    incoming.ip = ip;
    incoming.message = std::move(message);
    record.queued.push_back(std::move(incoming));
}

int32_t QuitFlag(int32_t) {
    record.takenAtLine.push_back(record.socket->taken);
    return record.quitAfter != 0 && record.takenAtLine.size() >= record.quitAfter ? 1 : 0;
}

namespace {

// The real reader queues exactly the model's non-empty lines, stops after the line at which it
// finds the quit flag set, takes no byte past a line's end, and frees its socket once.
void CheckConnectionReader(const Input& input) {
    Socket socket;
    ResetMemorySocket(socket, input.bytes, input.chunks);
    socket.endIsReset = (input.flags & kEndIsReset) != 0;
    socket.arriveOnTest = (input.flags & kArriveOnTest) != 0;
    record = Record();
    record.socket = &socket;
    record.quitAfter = input.quitAfter;

    Require(ConnectionThread(&socket) == nullptr);

    std::vector<ModelLine> model = ModelLines(input.bytes, kLineLimit);
    if (input.quitAfter != 0 && model.size() > input.quitAfter) model.resize(input.quitAfter);
    Require(record.takenAtLine.size() == model.size());
    size_t queued = 0;
    for (size_t i = 0; i < model.size(); ++i) {
        Require(record.takenAtLine[i] == model[i].end);
        if (model[i].text.empty()) continue;
        Require(queued < record.queued.size());
        Require(record.queued[queued].ip == socket.ip);
        Require(record.queued[queued].message == model[i].text);
        ++queued;
    }
    Require(queued == record.queued.size());
    Require(socket.closes == 1 && socket.frees == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Input input = Decode(data, size);
    if (input.bytes.size() < 65536) CheckScanLine(input);
    CheckConnectionReader(input);
    return 0;
}
