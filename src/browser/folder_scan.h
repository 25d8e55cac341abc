// Listing a folder for a browser slot and making its square cells, on a
// worker thread: the pictures (.jpg, .jpeg, .bmp) and saved games (.pko) of
// the folder, sorted as the system sorts file names, each cell published as
// soon as it is made.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/quiet_host.h"
#include "browser/browser_view.h"

// File attribute bits, as the platform reports them.
enum : uint32_t {
    kAttrHidden = 0x2,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
};

// A box the picture reader or the listing asked for on the worker: a box
// with its text, caption and buttons, or the Windows error box for a call,
// its object and the platform's error code.
struct ScanFailure {
    enum Kind { kBox, kWindowsError } kind = kBox;
    std::string text, caption;  // kBox
    unsigned flags = 0;
    std::string call, object;  // kWindowsError
    uint32_t code = 0;
};

// What a scan needs of the platform.  It is a Host for the picture reader
// and the listing, whose boxes it keeps instead of showing them: a box on
// the worker would stand apart from the window, vanish unread when the
// strip is reopened or the program ends, and hold up whoever waits for the
// worker.  The user-interface thread takes them when the listing is
// complete and shows them (ShowScanFailures).
class ScanHost : public QuietHost {
  public:
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags, Owner) final;
    void ShowWindowsError(const std::string& call, const std::string& object, uint32_t code) final;
    // The boxes kept since the listing began, taken away; from either
    // thread.
    std::vector<ScanFailure> TakeFailures();

    // Calls each with every name in the folder (the name alone, not its
    // path) and its attribute bits, until each returns false.  false when
    // the folder cannot be listed.
    virtual bool ListFolder(
        const std::string& folder,
        const std::function<bool(const std::string& name, uint32_t attributes)>& each) = 0;
    // The order of two entries as the system compares file names: below,
    // at or above 0 as a comes before, with or after b.
    virtual int CompareNames(const std::string& a, const std::string& b) = 0;
    // On the worker, first of all.
    virtual void ScanStarted() {}
    // On the worker, once every cell of a complete listing is published
    // (not after a stop, nor for a folder that cannot be listed).  The
    // strip's title and state belong to the user-interface thread, and so
    // do the failures kept meanwhile.
    virtual void ScanFinished() {}

  private:
    std::mutex failuresLock_;
    std::vector<ScanFailure> failures_;
};

// A complete listing's failures, each told once and together: the boxes
// that share their caption, buttons and first line become one box, and the
// Windows errors of one call and one error code become one error box, each
// listing its files (or the rest of each text) one a line in the order met,
// at most kMostFailuresListed and then a line "ほか%d件" for the others.
// The boxes belong to the main window, so that nothing else happens until
// the player has read them.
constexpr int kMostFailuresListed = 20;
void ShowScanFailures(Host& host, const std::vector<ScanFailure>& failures);

// Whether a found name is listed: not "." or "..", an archived file that
// is neither hidden nor a folder, with a picture or saved-game extension in
// any case.
bool IsListedFile(const std::string& name, uint32_t attributes);

// The frame, folder, arrow and digits from the program folder; a digit
// narrower than 16 pixels is centred on a transparent 16 x 25 glyph.  The
// artwork is drawn for 96 DPI: for another it is stretched by the scale, and
// the cells are made that much larger.
void LoadArtwork(BrowserArtwork& art, const std::string& programFolder, Host& host, int dpi = kBaseDpi);

// The cells, kCellSide scaled to the artwork's DPI a side (every position
// below is at 96 DPI and scaled alike).  A file's cell is its picture
// scaled to the cell, from the file itself, and centred on grey; a saved game adds its remaining count at the top left and its total
// at the bottom right, and one whose counts cannot be read is a black cell
// like any file that cannot be read.  Every cell ends with the frame.
void MakeFileCell(MYBIT& cell, const std::string& path, const BrowserArtwork& art, Host& host);
void MakeParentCell(MYBIT& cell, const BrowserArtwork& art);
// A drive's cell before its label: grey with the folder centred.
void MakeDriveCellGround(MYBIT& cell, const BrowserArtwork& art);
void LayFrame(MYBIT& cell, const BrowserArtwork& art);

// A count in digit glyphs 16 pixels apart (scaled to the artwork's DPI):
// from its first digit at x, or, right-aligned, with its last digit at x.
void DrawCount(MYBIT& cell, const BrowserArtwork& art, int value, int x, int y, bool rightAligned);

// The saved games written into the folder, or deleted from it, since it was
// listed (NoteWrittenFile), put into the complete listing on the
// user-interface thread: one listed already (in any case of its letters)
// gets its cell made anew, as its counts have changed, or leaves the strip
// when the file is gone; a new one goes in at its place in the order, with
// its cell, unless the strip holds kMaxBrowserEntries already.  Every other entry and cell stays, and so does the cell at the
// left edge and the press.  false, the notes kept, while the folder is still
// being listed: the caller lists it anew, which finds them.
bool ListWrittenFiles(BrowserView& v, ScanHost& host);

struct ScanRequest {
    std::string folder;      // UTF-8, without a final backslash
    std::string startSound;  // played when the listing is complete; empty for none
};

// The whole scan on the calling thread: list, sort, then one cell after
// another, each published by raising the entry count.  Stops between cells
// when the view's stop flag is raised.  The host's failures from an earlier
// listing are dropped first.
void ScanFolder(BrowserView& v, ScanHost& host, const ScanRequest& request);

// ScanFolder on a new worker thread of the view.  The previous worker must
// have been joined.
void StartScan(BrowserView& v, ScanHost& host, ScanRequest request);
void RequestStop(BrowserView& v);
// Waits for the worker (after RequestStop); the tables are then free to reuse.
void JoinScan(BrowserView& v);

// The box shown once when a folder holds more files than a strip lists.
inline constexpr char kTooManyFilesText[] = "10000個以上のファイルは無視します";
