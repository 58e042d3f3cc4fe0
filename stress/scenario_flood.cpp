// A flood: one peer sends a hundred megabytes without a line feed, another floods short lines
// as fast as it can, while a third sends a line now and then and must see each arrive soon;
// resident memory stays within the queue budget, the line bound and the text cap.
#include <memory>
#include <thread>

#include "platform/clock.h"
#include "platform/gui/text_area.h"
#include "platform/line_scan.h"
#include "platform/testing/wait_until.h"
#include "receiver/incoming.h"
#include "stress/checker.h"
#include "stress/figures.h"
#include "stress/peers.h"
#include "stress/scenario.h"

namespace {

constexpr int64_t kSendBytes = 64 * 1024;
constexpr int32_t kProbeGapMs = 20;

int64_t bulkBytes = 0;
int32_t bulkId = 0;
int32_t flooderId = 0;
int32_t probeId = 0;

void PrepareFlood(bool full) {
    bulkBytes = ScenarioCount("STRESS_BULK_MB", full, 100, 20) * 1000 * 1000;
    bulkId = AddSenders(1, SenderKind::Bulk);
    flooderId = AddSenders(1, SenderKind::Numbered);
    probeId = AddSenders(1, SenderKind::Numbered);
}

void RunFlood(bool) {
    std::atomic<bool> bulkDone{false};
    std::thread bulk([&] {
        Sender& sender = SenderOf(bulkId);
        if (auto client = Connect(sender.ip)) {
            const std::string chunk(kSendBytes, 'x');
            for (int64_t sent = 0; sent < bulkBytes; sent += kSendBytes) {
                const size_t size = static_cast<size_t>(std::min(kSendBytes, bulkBytes - sent));
                if (!client->Send(std::string_view(chunk).substr(0, size))) {
                    tally.Fail("the bulk sender's connection failed");
                    break;
                }
                sender.sent.fetch_add(static_cast<int64_t>(size));
            }
            client->ShutdownWrite();
            WaitClosedByServer(*client, 120'000);
        }
        bulkDone.store(true);
    });
    std::thread flooder([&] {
        Sender& sender = SenderOf(flooderId);
        if (auto client = Connect(sender.ip)) {
            while (!bulkDone.load() && SendLines(*client, sender, 256)) {
            }
            client->ShutdownWrite();
            WaitClosedByServer(*client, 120'000);
        }
    });

    // The probe: one line at a time, each waited for, timing how long it takes to show.
    Sender& probe = SenderOf(probeId);
    uint32_t slowest = 0;
    int64_t halfwayKiB = 0;
    if (auto client = Connect(probe.ip)) {
        while (!bulkDone.load()) {
            if (halfwayKiB == 0 && SenderOf(bulkId).sent.load() >= bulkBytes / 2) {
                halfwayKiB = ResidentKiB();
            }
            const uint32_t sentAt = MilliSecs();
            if (!SendLines(*client, probe, 1) || !WaitShown(probe, probe.sent.load(), 30'000))
                break;
            slowest = std::max(slowest, MilliSecs() - sentAt);
            WaitUntil([&] { return bulkDone.load(); }, kProbeGapMs);
        }
    }
    bulk.join();
    flooder.join();
    AddNote("probe lines: " + std::to_string(probe.sent.load()) + ", slowest shown after " +
            std::to_string(slowest) + " ms");
    AddNote("flood lines: " + std::to_string(SenderOf(flooderId).sent.load()));
    // Bounded memory levels off: the second half of the bytes must not need much more.
    AddNote("resident halfway " + std::to_string(halfwayKiB / 1024) + " MiB, at the end " +
            std::to_string(ResidentKiB() / 1024) + " MiB");
}

// What the program may hold at most, whatever is sent: the queue's budget of text (8 MiB), at
// about three times that for records of short lines; two readers' lines at the bound (2 MiB
// each, in a buffer that doubles); the text area's cap (8 MiB of text), whose layout the
// editor keeps at about six times that; and the copies of one drained line on its way to the
// area. Twice that (184 MiB) leaves room for the allocator's slack.
constexpr int64_t kQueueBytes = 2 * kIncomingBudget;
constexpr int64_t kLineBytes = 2 * static_cast<int64_t>(kLineLimit);
constexpr int64_t kTextBytes = 2 * static_cast<int64_t>(kTextAreaLimit);
constexpr int64_t kAllowanceKiB =
    2 * (3 * kQueueBytes + 2 * 2 * kLineBytes + 6 * kTextBytes + 6 * kLineBytes) / 1024;

}  // namespace

const Scenario floodScenario{"flood", PrepareFlood, RunFlood, 4000, kAllowanceKiB};
