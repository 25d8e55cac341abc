// The trace log: one line per traced event, stamped with the milliseconds
// since the previous line, appended to trace.txt in the base folder.  F9
// switches it; it is off at start.
#pragma once

#include <cstdint>
#include <string>

class Host;

struct TraceState {
    int on = 0;
    uint32_t lastTick = 0;  // 0: no line written in this run yet
    std::string path;       // base folder + "\trace.txt"
    Host* host = nullptr;   // the clock
};

// The program-wide trace state.
TraceState& TheTrace();

// "%6d %s\n": the interval right-aligned in six columns (wider when larger).
std::string FormatTraceLine(uint32_t intervalMs, const std::string& text);

// Writes one line when tracing is on; nothing otherwise.
void TraceWrite(const std::string& text);

// F9: flips tracing and returns the new flag.
int ToggleTrace();
