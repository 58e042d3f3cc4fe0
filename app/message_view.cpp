#include "app/message_view.h"

#include "app/main_window.h"
#include "platform/gui/text_area.h"
#include "platform/notify.h"
#include "platform/resolver.h"

Text DottedIp(int32_t ip) {
    const uint32_t address = static_cast<uint32_t>(ip);
    Text dotted;
    dotted.reserve(15);
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24) dotted.push_back(u'.');
        dotted += IntText(static_cast<int32_t>((address >> shift) & 0xFF));
    }
    return dotted;
}

Text DisplayLine(const Incoming& record) {
    const Text sender = DottedIp(record.ip);
    Text line;
    line.reserve(6 + sender.size() + 2 + record.message.size() + 1);
    line += u"[From ";
    line += sender;
    line += u"]\t";
    line += record.message;
    line += u'\n';
    return line;
}

void ShowIncoming() {
    LockMutex(incomingMutex);
    int64_t shown = 0;
    while (!incomingList.empty() && shown < kDrainChars) {
        const Incoming& record = incomingList.front();
        AddText(textArea, DisplayLine(record));
        shown += static_cast<int64_t>(record.message.size());
        incomingCost -= IncomingCost(record.message.size());
        incomingList.pop_front();
    }
    if (shown > 0) IncomingDrained();
    UnlockMutex(incomingMutex);
}

Text ServerIP() {
    // No step checks the one before: a failed lookup gives 0 or an empty name, which the next
    // lookup turns into 0 in its turn.
    const int32_t loopback = HostIp(u"127.0.0.1", 0);
    const Text name = HostName(loopback);
    return DottedIp(HostIp(name, 0));
}

void ClearMessages() { ReplaceText(textArea, 0, -1, Text(), 1); }

void CopySelectedText() { CopyTextSelection(textArea); }

void ShowServerIP() { Notify(ServerIP(), 0); }
