// The thumbnail strip of one browser slot: a folder's pictures and saved
// games as an endless row of square cells, 100 pixels at 96 DPI and scaled
// with the strip's DPI, that drifts by itself, is
// flung with the mouse or stepped with the wheel, and hands a clicked file
// to the main window.  Slot 0 chooses the picture, slot 1 the cutting
// pattern, slot 2 the background tile; 3 and 4 exist but nothing opens them.
//
// Threads: while a folder is scanned, a worker (folder_scan.h) fills the
// entries and thumbnails and publishes them by raising entryCount with a
// release store; the user-interface thread reads only entries below the
// count it loads with acquire.  Everything else here belongs to the
// user-interface thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "base/dpi_scale.h"
#include "image/mybit.h"

constexpr int kBrowserSlots = 5;
constexpr int kMaxBrowserEntries = 10000;
constexpr int kCellSide = 100;            // cells are square, in window pixels at 96 DPI
constexpr ColorRef kCellGrey = 0x808080;  // the empty cell and the strip's ground
constexpr int kDefaultStripWidth = 500;   // client width of a strip never resized, at 96 DPI

enum BrowserState : int {
    kBrowserNever = 0,    // never opened
    kBrowserListing = 1,  // the folder is being listed
    kBrowserListed = 2,   // the listing is complete
    kBrowserClosed = 3,   // the window was closed
};

// 'A' the parent of a drive root, 'B' a drive, 'F' a file.
struct BrowserEntry {
    char type = 0;
    std::string name;  // UTF-8: a file's full path, a drive ("C:\"), or ".."
};

// The pictures every cell is made with, from the program folder.
struct BrowserArtwork {
    MYBIT frame;                   // laid over every finished cell
    MYBIT folder;                  // drive and parent cells
    MYBIT arrow;                   // over the folder in the parent cell
    std::array<MYBIT, 10> digits;  // at least 16 wide, placed 16 apart (at 96 DPI)
    int dpi = kBaseDpi;            // the cells are made for this DPI
};

struct BrowserView {
    BrowserView() = default;
    ~BrowserView();  // a worker still running is stopped and joined
    BrowserView(const BrowserView&) = delete;
    BrowserView& operator=(const BrowserView&) = delete;

    int slot = 0;
    char* folder = nullptr;  // the caller's 260-byte code page 932 path field

    // Filled by the scan; read below the published count only.
    std::vector<BrowserEntry> entries;
    std::vector<MYBIT> thumbnails;
    std::atomic<int> entryCount{0};

    MYBIT canvas;        // the strip as last drawn
    int firstIndex = 0;  // entry in the leftmost cell
    int lastX = 0, lastY = 0;
    int dpi = kBaseDpi;          // of the strip's window
    int cellSide = kCellSide;    // window pixels: kCellSide scaled to the DPI
    float offset = 0;      // pixels the leftmost cell is pushed out to the left, [0, cellSide)
    float dragSpeed = 0;   // pixels per step, set by dragging
    float glideSpeed = 0;  // left over from the last drag, decaying
    int state = kBrowserNever;
    int shown = 0;
    int pressedIndex = -1;  // -1: nothing pressed since the listing began
    uint32_t pressTime = 0;
    BrowserArtwork art;
    // Saved games the game wrote into this folder since the listing began,
    // listed when the strip is next shown (ListWrittenFiles); UTF-8 paths,
    // each once.
    std::vector<std::string> written;
    // Finished saved games the game deleted there since: their cells go.
    std::vector<std::string> removed;
    int windowHeight = 0;  // outer height giving a client one cell high
    int clientWidth = kDefaultStripWidth;

    // The scan worker of the current listing.
    std::thread worker;
    std::atomic<bool> stop{false};      // asks the worker to end between thumbnails
    std::atomic<bool> scanning{false};  // the worker has not finished yet

    int Count() const { return entryCount.load(std::memory_order_acquire); }
    // The folder the slot shows, as UTF-8.
    std::string FolderPath() const;
    void SetFolderPath(const std::string& utf8);
};

// The five slots; each knows its number.
struct BrowserSet {
    BrowserSet();
    std::array<BrowserView, kBrowserSlots> slot;
    BrowserView& operator[](int i) { return slot[static_cast<size_t>(i)]; }
};

// The strip's window is made for, or moved to, a monitor of this DPI: the
// cells, the client width and the motion scale with it, so the strip looks
// and moves alike on every monitor.  The cells already made keep their old
// size; the caller lists the folder again for new ones.
void SetStripDpi(BrowserView& v, int dpi);

// Before a new listing: every entry and thumbnail dropped, motion reset,
// the drag speed set to the initial speed (pixels per step at 96 DPI),
// state listing, no press, no written file noted (the listing finds them).
void ResetListing(BrowserView& v, int initialSpeed);

// A path as the file system compares it: letters in one case, one kind of
// slash, no final slash.
std::string PathKey(std::string path);

// The game wrote a saved game at path (UTF-8), or deleted one: each slot
// whose folder holds it (the same folder in any case of its letters, with
// either slash) notes it, once, so that the strip shows it as it is when it
// is next shown.
void NoteWrittenFile(BrowserSet& set, const std::string& path);
void NoteRemovedFile(BrowserSet& set, const std::string& path);

// The entry under client x of the strip, or -1 when the strip is empty.
int CellUnderX(const BrowserView& v, int x);

// One step of the strip's motion and, when draw is true, its drawing into
// the canvas.  true when the canvas should be shown; false while the strip
// is hidden or never opened.
bool StepStrip(BrowserView& v, bool draw = true);

// What a click on a cell asks for.
struct StripClick {
    enum Kind { kNone, kNavigate, kPick } kind = kNone;
    std::string name;  // kNavigate: the drive, or ".."
    int index = -1;    // kPick: the entry
};

// Mouse and wheel on the strip; now is the tick count.
void OnStripPress(BrowserView& v, int x, int y, uint32_t now);
void OnStripMove(BrowserView& v, int x, int y);
// A release outside the strip (the mouse is held while dragging) is never
// a click.
StripClick OnStripRelease(BrowserView& v, int x, uint32_t now, bool inside = true);
// towardUser: the wheel turned towards the player (a negative delta).
void OnStripWheel(BrowserView& v, bool towardUser);

// "C:" and the like: a drive letter and a colon, nothing more.
bool IsBareDrive(const std::string& path);
// The folder path that names the list of drives.
inline constexpr char kDriveListPath[] = "/root";
