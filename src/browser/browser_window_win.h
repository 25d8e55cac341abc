// The thumbnail strips on Win32: class "ViewWin", child windows of the main
// window, one per browser slot, with the folder scan on a worker thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "base/geom.h"

class Host;
struct BrowserSet;
struct Settings;

// What the strips work on, all of it the shell's: the slots' records, the
// settings (the program folder holding the cells' artwork, and whether the
// start sound plays) and the host (the clock and the message boxes).  The
// main window hands them over when it is created, before any strip opens.
struct StripRecords {
    BrowserSet* browsers = nullptr;
    const Settings* settings = nullptr;
    Host* host = nullptr;
};
void SetStripRecords(const StripRecords& records);

// (Re)opens a slot's strip at (x, y) of the parent's client area and starts
// listing the folder named by its path field (a 260-byte code page 932
// field that navigation rewrites).  A strip still open is closed first and
// its scan stopped before its tables are reused.
void OpenBrowser(int slot, HWND parent, char* folderField, int x, int y, int initialSpeed);

// A hidden strip shown again, over the other strips, with the saved games
// written into its folder since it was listed (ListWrittenFiles); false
// when the slot has no window, or when its folder is still being listed
// and the caller must open it anew to list those files.
bool ShowBrowserWindow(int slot);
// A strip hidden, its listing kept.
void HideBrowserWindow(int slot);

// The bottom-left corner of a slot's window in its parent's client
// coordinates; (0, 0) without a window.
Point BrowserCornerInParent(int slot);

// WM_MOUSEWHEEL of the main window: the message goes to the topmost
// visible strip whose window holds the cursor strictly inside.  False when
// no strip is under the cursor.
bool ForwardWheel(HWND parent, WPARAM wParam, LPARAM lParam);

// The main window moved to a monitor of another scale: each open strip whose
// scale differs opens again where it stands, its cells made anew at the new
// scale.
void RescaleStrips(HWND parent);

// Stops every scan and waits for the workers; the program calls it before
// its records go away.
void StopAllScans();

// The slot whose strip this window is, or -1.
int StripSlotOf(HWND window);
HWND StripWindow(int slot);

// The sounds of the scan workers normally reach the speakers; a test hands
// in a recorder instead ("sound PATH").  It is called on the worker threads.
// (Their boxes reach the host of the user-interface thread when a listing
// is complete.)
void SetScanRecorder(std::function<void(const std::string&)> record);

// Window messages of a strip.
enum : UINT {
    MSG_SCAN_DONE = WM_APP + 0x101,  // wParam: the listing's generation
};
