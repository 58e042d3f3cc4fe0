#include "bench/program_in_process.h"

#include <QTextCursor>
#include <QTextDocument>
#include <utility>

#include "app/main_window.h"
#include "app/startup.h"
#include "bench/monotonic.h"
#include "platform/clock.h"
#include "platform/gui/events.h"
#include "platform/gui/gadgets.h"
#include "platform/gui/qt_text.h"
#include "platform/gui/testing/qt_access.h"
#include "platform/process.h"
#include "platform/testing/socket_client.h"
#include "platform/testing/wait_until.h"
#include "receiver/server.h"

namespace {

constexpr int32_t kListenerWaitMs = 5000;
constexpr int32_t kAcceptWaitMs = 5000;

// Looked up once: TextAreaEditor flushes the gathered appends, which must not happen from
// inside a flush.
QTextDocument* Document() {
    static QTextDocument* const document = TextAreaEditor(textArea)->document();
    return document;
}

}  // namespace

int32_t StartProgram() {
    InitPlatform();
    return OpenMainWindow() ? ListenerPort() : 0;
}

int32_t ListenerPort() {
    int32_t port = 0;
    WaitUntil(
        [&port] {
            const std::vector<int32_t> ports = ListeningPorts();
            if (!ports.empty()) port = ports.front();
            return port != 0;
        },
        kListenerWaitMs);
    return port;
}

bool WaitConnectionThreads(size_t count, int32_t timeoutMs) {
    return WaitUntil(
        [count] {
            if (connectionThreadsMutex == nullptr) return false;
            LockMutex(connectionThreadsMutex);
            const size_t running = connectionThreads.size();
            UnlockMutex(connectionThreadsMutex);
            return running >= count;
        },
        timeoutMs);
}

std::vector<std::unique_ptr<Sender>> ConnectSenders(int32_t port, int count, bool noDelay) {
    std::vector<std::unique_ptr<Sender>> senders;
    for (int client = 0; client < count; ++client) {
        auto sender = std::make_unique<Sender>(port, client, noDelay);
        if (!sender->Connected() ||
            !WaitConnectionThreads(static_cast<size_t>(client) + 1, kAcceptWaitMs)) {
            return {};
        }
        senders.push_back(std::move(sender));
    }
    return senders;
}

bool RunEventLoopUntil(const std::function<bool()>& done, int32_t timeoutMs,
                       const std::function<void(int32_t kind)>& after) {
    const int64_t deadline = NowNs() + static_cast<int64_t>(timeoutMs) * 1'000'000;
    // The timer ticks a hundred times a second, so each wait ends well within the deadline.
    while (!done()) {
        if (NowNs() > deadline) return done();
        const int32_t kind = WaitEvent();
        HandleEvent(kind);
        if (after) after(kind);
    }
    return true;
}

void WatchTextArea(std::function<void(int32_t position, int32_t chars)> inserted) {
    QObject::connect(Document(), &QTextDocument::contentsChange,
                     [inserted = std::move(inserted)](int position, int, int added) {
                         if (added > 0) inserted(position, added);
                     });
}

Text TextAreaRange(int32_t position, int32_t chars) {
    QTextCursor range(Document());
    range.setPosition(position);
    range.setPosition(position + chars, QTextCursor::KeepAnchor);
    QString text = range.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return ToText(text);
}

int64_t TextAreaLength() { return Document()->characterCount() - 1; }

void EndBenchmark() { EndProcess(); }
