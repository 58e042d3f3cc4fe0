#include "stress/checker.h"

#include <charconv>

#include "app/main_window.h"
#include "app/message_view.h"
#include "platform/gui/text_area.h"
#include "platform/line_scan.h"

namespace {

// Every sender the scenario made; a deque, so that adding never moves one.
std::deque<Sender> senders;

// Errors found while reading back, with the first one described.
int64_t errorCount = 0;
std::string firstError;

void Fail(const std::string& what) {
    if (errorCount++ == 0) firstError = what;
}

// Reads a decimal number at the start of text and moves past it and the ":" after it.
bool TakeField(std::u16string_view& text, int64_t& value) {
    const size_t colon = text.find(u':');
    if (colon == std::u16string_view::npos || colon == 0 || colon > 18) return false;
    value = 0;
    for (size_t i = 0; i < colon; ++i) {
        if (text[i] < u'0' || text[i] > u'9') return false;
        value = value * 10 + (text[i] - u'0');
    }
    text.remove_prefix(colon + 1);
    return true;
}

void CheckNumbered(Sender& sender, std::u16string_view message) {
    std::u16string_view rest = message;
    int64_t id = 0;
    int64_t seq = 0;
    if (!TakeField(rest, id) || !TakeField(rest, seq) || id != sender.id ||
        Latin1Text(NumberedLine(sender.id, seq)) != message) {
        Fail("sender " + std::to_string(sender.id) + ": changed line " +
             Latin1Bytes(Text(message.substr(0, 80))));
        return;
    }
    if (seq != sender.shown.load()) {
        Fail("sender " + std::to_string(sender.id) + ": line " + std::to_string(seq) +
             " came when " + std::to_string(sender.shown.load()) + " was due");
        return;
    }
    sender.shown.fetch_add(1);
}

void CheckBulk(Sender& sender, std::u16string_view message) {
    if (sender.shortPieceSeen) Fail("bulk sender: a piece after a short one");
    if (message.size() > kLineLimit) Fail("bulk sender: a piece longer than the bound");
    if (message.size() < kLineLimit) sender.shortPieceSeen = true;
    if (message.find_first_not_of(u'x') != std::u16string_view::npos) {
        Fail("bulk sender: a piece with other characters");
    }
    ++sender.pieces;
    sender.shown.fetch_add(static_cast<int64_t>(message.size()));
}

void CheckExact(Sender& sender, std::u16string_view message) {
    const size_t next = static_cast<size_t>(sender.shown.load());
    if (next >= sender.expected.size() || sender.expected[next] != message) {
        Fail("exact sender " + std::to_string(sender.id) + ": unexpected line " +
             std::to_string(next));
        return;
    }
    sender.shown.fetch_add(1);
}

// Matches one display line: "[From a.b.c.d]", a tab, the message.
void CheckLine(std::u16string_view line) {
    const std::u16string_view head = u"[From ";
    const size_t close = line.find(u"]\t");
    if (line.substr(0, head.size()) != head || close == std::u16string_view::npos) {
        Fail("not a display line: " + Latin1Bytes(Text(line.substr(0, 80))));
        return;
    }
    const Text address(line.substr(head.size(), close - head.size()));
    const std::u16string_view message = line.substr(close + 2);

    // The sender is named by the message, except for the kinds whose lines carry no name:
    // those are told apart by their address alone.
    Sender* sender = nullptr;
    std::u16string_view rest = message;
    int64_t id = 0;
    if (TakeField(rest, id) && id >= 0 && static_cast<size_t>(id) < senders.size() &&
        senders[static_cast<size_t>(id)].kind == SenderKind::Numbered) {
        sender = &senders[static_cast<size_t>(id)];
    } else {
        // Several such senders may share an address: an exact one whose next line this is
        // comes first.
        for (Sender& candidate : senders) {
            if (candidate.kind == SenderKind::Numbered ||
                DottedIp(static_cast<int32_t>(candidate.ip)) != address) {
                continue;
            }
            const auto next = static_cast<size_t>(candidate.shown.load());
            const bool itsNext =
                candidate.kind == SenderKind::Bulk ||
                (next < candidate.expected.size() && candidate.expected[next] == message);
            if (sender == nullptr || itsNext) sender = &candidate;
            if (itsNext) break;
        }
    }
    if (sender == nullptr) {
        Fail("a line of no sender: " + Latin1Bytes(Text(line.substr(0, 80))));
        return;
    }
    if (DottedIp(static_cast<int32_t>(sender->ip)) != address) {
        Fail("sender " + std::to_string(sender->id) + " shown as " + Latin1Bytes(address));
        return;
    }
    switch (sender->kind) {
        case SenderKind::Numbered:
            CheckNumbered(*sender, message);
            break;
        case SenderKind::Bulk:
            CheckBulk(*sender, message);
            break;
        case SenderKind::Exact:
            CheckExact(*sender, message);
            break;
    }
}

// Lines sent and lines shown of one sender, as the checker counts them.
struct Count {
    int64_t sent = 0;
    int64_t shown = 0;
    int64_t required = 0;  // Sent lines that must be shown.
};

Count CountOf(const Sender& sender) {
    Count count;
    if (sender.kind == SenderKind::Bulk) {
        const int64_t bytes = sender.sent.load();
        const auto bound = static_cast<int64_t>(kLineLimit);
        count.sent = (bytes + bound - 1) / bound;
        count.required = count.sent;
        count.shown = sender.pieces;
        if (sender.shown.load() != bytes) count.shown = std::min(count.shown, count.sent - 1);
        return count;
    }
    count.sent = sender.sent.load();
    count.shown = sender.shown.load();
    const int64_t optional = sender.optionalFrom.load();
    count.required = optional >= 0 ? std::min(optional, count.sent) : count.sent;
    return count;
}

}  // namespace

std::string NumberedLine(int32_t id, int64_t seq) {
    std::string line = std::to_string(id) + ":" + std::to_string(seq) + ":";
    line.append(static_cast<size_t>((id * 7 + seq) % 41), static_cast<char>('a' + (id + seq) % 26));
    return line;
}

uint32_t SenderIp(int32_t id) { return 0x7F000002u + static_cast<uint32_t>(id % 200); }

int32_t AddSenders(int32_t count, SenderKind kind) {
    const auto first = static_cast<int32_t>(senders.size());
    for (int32_t i = 0; i < count; ++i) {
        Sender& sender = senders.emplace_back();
        sender.id = first + i;
        sender.ip = SenderIp(sender.id);
        sender.kind = kind;
    }
    return first;
}

Sender& SenderOf(int32_t id) { return senders[static_cast<size_t>(id)]; }

void CheckTextArea() {
    const Text text = TextAreaText(textArea);
    if (text.empty()) return;
    ClearMessages();
    std::u16string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find(u'\n');
        if (end == std::u16string_view::npos) {
            Fail("a display line without its line feed");
            return;
        }
        CheckLine(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }
}

CheckTotals Totals() {
    CheckTotals totals;
    for (const Sender& sender : senders) {
        const Count count = CountOf(sender);
        totals.sent += count.sent;
        totals.shown += count.shown;
        if (count.shown < count.required) totals.lost += count.required - count.shown;
    }
    totals.errors = errorCount;
    totals.firstError = firstError;
    return totals;
}

bool AllShown() {
    for (const Sender& sender : senders) {
        const Count count = CountOf(sender);
        if (count.shown < count.required) return false;
    }
    return true;
}
