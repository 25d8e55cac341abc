#include "config/trace.h"

#include <cstdio>
#include <mutex>

#include "base/cp932.h"
#include "base/file_io.h"
#include "base/host.h"

TraceState& TheTrace() {
    static TraceState state;
    return state;
}

namespace {

// The folder scan's worker traces too (pictures pasted outside a cell), so
// every use of the state goes one at a time.
std::mutex& TraceLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

std::string FormatTraceLine(uint32_t intervalMs, const std::string& text) {
    // Unsigned: a pause of more than 24.8 days must not print as negative.
    char head[16];
    std::snprintf(head, sizeof head, "%6u ", static_cast<unsigned>(intervalMs));
    return head + text + "\n";
}

void TraceWrite(const std::string& text) {
    std::lock_guard<std::mutex> lock(TraceLock());
    TraceState& t = TheTrace();
    if (!t.on || !t.host) return;
    uint32_t previous = t.lastTick;
    // The first line of a run replaces the previous run's file.  A flag of
    // its own, not a tick of 0, marks it: the tick count passes 0 when it
    // wraps, and that line must not delete the file again.
    if (!t.started) {
        DeleteFileAt(t.path);
        previous = t.host->TickCount();
        t.started = true;
    }
    uint32_t now = t.host->TickCount();
    t.lastTick = now;
    std::string line = Utf8ToCp932(FormatTraceLine(now - previous, text));
    // Opened and closed for every line, so the file is whole even if the
    // program is killed.  A failure loses the line, nothing more.
    FilePtr f = OpenFile(t.path, "ab");
    if (f) std::fwrite(line.data(), 1, line.size(), f.get());
}

int ToggleTrace() {
    std::lock_guard<std::mutex> lock(TraceLock());
    TraceState& t = TheTrace();
    t.on = t.on ? 0 : 1;
    return t.on;
}

void SetTraceTarget(const std::string& baseFolder, Host* host) {
    std::lock_guard<std::mutex> lock(TraceLock());
    TraceState& t = TheTrace();
    t.path = baseFolder + "\\trace.txt";
    t.host = host;
}
