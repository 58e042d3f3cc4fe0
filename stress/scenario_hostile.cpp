// Hostile peers: some reset in the middle of a line, some half-close, some connect and close
// or reset at once, some send every byte value. The lines they completed must all arrive; a
// line cut by a reset may arrive or not, but never twice or changed; no connection thread may
// be left behind.
#include <memory>
#include <string>

#include "platform/testing/wait_until.h"
#include "stress/checker.h"
#include "stress/figures.h"
#include "stress/peers.h"
#include "stress/scenario.h"

namespace {

constexpr int64_t kWaiting = 4;

enum class Behaviour {
    ResetMidLine,     // A whole line, shown; then half a line and a reset.
    ResetAfterLines,  // Two lines and at once a reset: they may be lost with the reset.
    HalfClose,        // Lines, the last without a line feed, then the sending side closed.
    ConnectClose,     // Connects and closes without a byte.
    ConnectReset,     // Connects and resets without a byte.
    EveryByte,        // Every byte value but LF and NUL, then a word in UTF-8, then a close.
    kCount,
};

int32_t first = 0;
int64_t peers = 0;

// The line of every byte value from 1 to 255 but LF: CR is dropped on the way.
std::string EveryByteLine() {
    std::string bytes;
    for (int value = 1; value < 256; ++value) {
        if (value != '\n') bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

// What the text area gives back for that line: one character per byte, CR gone. The editor's
// plain text turns a no-break space (U+00A0) into a space, so it reads back as one.
Text EveryByteShown() {
    Text shown;
    for (const char byte : EveryByteLine()) {
        const auto code = static_cast<char16_t>(static_cast<unsigned char>(byte));
        if (code == u'\r') continue;
        shown.push_back(code == 0xA0 ? u' ' : code);
    }
    return shown;
}

Behaviour BehaviourOf(int64_t i) {
    return static_cast<Behaviour>(i % static_cast<int64_t>(Behaviour::kCount));
}

void PrepareHostile(bool full) {
    peers = ScenarioCount("STRESS_HOSTILE", full, 600, 120);
    first = AddSenders(static_cast<int32_t>(peers), SenderKind::Numbered);
    for (int64_t i = 0; i < peers; ++i) {
        if (BehaviourOf(i) != Behaviour::EveryByte) continue;
        Sender& sender = SenderOf(first + static_cast<int32_t>(i));
        sender.kind = SenderKind::Exact;
        sender.expected = {EveryByteShown(), u"caf\u00C3\u00A9"};
    }
}

// Connects peer i and plays its part.
void RunPeer(int64_t i) {
    Sender& sender = SenderOf(first + static_cast<int32_t>(i));
    std::unique_ptr<LoopbackClient> client = Connect(sender.ip);
    if (!client) return;
    switch (BehaviourOf(i)) {
        case Behaviour::ResetMidLine:
            SendLines(*client, sender, 1);
            WaitShown(sender, 1);
            sender.optionalFrom.store(1);
            SendLines(*client, sender, 1, false);
            client->Reset();
            break;
        case Behaviour::ResetAfterLines:
            sender.optionalFrom.store(0);
            SendLines(*client, sender, 2);
            client->Reset();
            break;
        case Behaviour::HalfClose:
            SendLines(*client, sender, 3, false);
            client->ShutdownWrite();
            WaitClosedByServer(*client);
            break;
        case Behaviour::ConnectClose:
            client->Close();
            break;
        case Behaviour::ConnectReset:
            client->Reset();
            break;
        case Behaviour::EveryByte:
            if (client->Send(EveryByteLine() + "\r\n" + "caf\xC3\xA9")) sender.sent.store(2);
            client->Close();
            break;
        case Behaviour::kCount:
            break;
    }
}

void RunHostile(bool) {
    for (int64_t i = 0; i < peers; ++i) {
        // Peers that send nothing cannot be seen arriving: the ones before them pace the rest.
        if (i >= kWaiting) {
            const Sender& earlier = SenderOf(first + static_cast<int32_t>(i - kWaiting));
            const Behaviour behaviour = BehaviourOf(i - kWaiting);
            if (behaviour == Behaviour::ResetMidLine || behaviour == Behaviour::HalfClose ||
                behaviour == Behaviour::EveryByte) {
                WaitShown(earlier, behaviour == Behaviour::ResetMidLine ? 1 : earlier.sent.load());
            } else {
                WaitUntil([] { return RegisteredConnections() < kWaiting; }, 2'000);
            }
        }
        RunPeer(i);
    }
    // Every connection has ended on the peer's side: the program must end each of its threads.
    const bool drained = WaitUntil([] { return RegisteredConnections() == 0; }, 30'000);
    AddNote("connection threads left: " + std::to_string(RegisteredConnections()));
    if (!drained) tally.Fail("connection threads were left running");
}

}  // namespace

const Scenario hostileScenario{"hostile", PrepareHostile, RunHostile, 4000, 0};
