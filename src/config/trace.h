// The trace log: one line per traced event, stamped with the milliseconds
// since the previous line, appended to trace.txt in the base folder.  F9
// switches it; it is off at start.
#pragma once

#include <cstdint>
#include <string>

class Host;

struct TraceState {
    int on = 0;
    bool started = false;   // a line has been written in this run
    uint32_t lastTick = 0;  // tick of the last line written
    std::string path;       // base folder + "\trace.txt"
    Host* host = nullptr;   // the clock
};

// The program-wide trace state.  The operations below may be called from
// any thread; they take turns.
TraceState& TheTrace();

// "%6u %s\n": the interval right-aligned in six columns (wider when larger).
std::string FormatTraceLine(uint32_t intervalMs, const std::string& text);

// Writes one line when tracing is on; nothing otherwise.  The host's clock
// is read on the calling thread.
void TraceWrite(const std::string& text);

// F9: flips tracing and returns the new flag.
int ToggleTrace();

// Points the trace at this run's file (base folder + "\trace.txt") and
// clock.  Tracing stays as it is (off at start).
void SetTraceTarget(const std::string& baseFolder, Host* host);
