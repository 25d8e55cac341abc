// The host: everything the core needs from the platform while a game runs.
// The Windows shell implements it with Win32 (host_win.cpp); native tests use
// a recording fake whose clock a test advances by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/geom.h"

class MYBIT;

// Private messages and timers of the main window.
enum : unsigned {
    IDT_PRESS = 0x5001,
    IDT_CLOCK = 0x5002,
    IDT_SLIDE = 0x5003,
    MSG_MAKE_1 = 0x5004,
    MSG_MAKE_2 = 0x5005,
    MSG_MAKE_3 = 0x5006,
    MSG_PLACE_PIECE = 0x5007,
    MSG_MAKE_5 = 0x5008,
    MSG_MAKE_DONE = 0x5009,
    MSG_PICK = 0x5100,
    IDT_STRIP = 0x5101,
    // The guide's aids: the blink of a found group, and a click on the
    // guide's picture sent to the main window (wParam, lParam: the picture
    // pixel).
    IDT_BLINK = 0x5110,
    MSG_GUIDE_PICK = 0x5111,
};
constexpr int PICK_NONE = 99999;

// Message box buttons and icons carry Win32's MB_ values.
enum : unsigned {
    kMbOk = 0x0,
    kMbOkCancel = 0x1,
    kMbYesNo = 0x4,
    kMbIconHand = 0x10,
    kMbIconQuestion = 0x20,
    kMbDefButton1 = 0x0,
};
enum : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdYes = 6,
    kIdNo = 7,
};

// Whether a message box belongs to the main window or stands alone.
enum class Owner { kNone, kMainWindow };

class Host {
  public:
    virtual ~Host() = default;

    // Milliseconds, as GetTickCount.
    virtual uint32_t TickCount() = 0;

    // Main window.  Texts are UTF-8.
    virtual void SetTitle(const std::string& title) = 0;
    virtual void InvalidateBoard() = 0;
    // Only a rectangle of the board (client pixels) has changed.
    virtual void InvalidateArea(const Rect&) { InvalidateBoard(); }
    virtual Size ClientSize() = 0;
    virtual Size ScreenSize() = 0;
    virtual void SetForeground() = 0;

    // Timers of the main window, and the next step of a chain of work posted
    // to it (one of the MSG_ values above, both parameters 0).
    virtual void SetTimer(unsigned id, unsigned ms) = 0;
    virtual void KillTimer(unsigned id) = 0;
    virtual void PostStep(unsigned msg) = 0;

    // A message box; the result is the button pressed (kIdOk, kIdCancel,
    // kIdYes, kIdNo).
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags,
                           Owner owner) = 0;
    // The Windows error box: the call, its object, and the system's text for
    // a platform error code.
    virtual void ShowWindowsError(const std::string& call, const std::string& object, uint32_t code) = 0;

    // A wave file, played to its end before the call returns.
    virtual void PlaySound(const std::string& path) = 0;

    // The one progress bar of the making steps.
    virtual void ShowProgress(int range, ColorRef back, ColorRef bar) = 0;
    virtual void StepProgress() = 0;
    virtual void CloseProgress() = 0;

    // The guide window showing the finished picture.
    virtual void OpenGuide(const MYBIT& picture) = 0;
    virtual void CloseGuide() = 0;
    // Marks a home area (picture pixels) on the guide, if it is open; an
    // empty rectangle takes the mark away.
    virtual void MarkGuide(const Rect& /*home*/) {}

    // The thumbnail strips of the browser slots.  OpenBrowser (re)opens a
    // slot's window at a point of the main window's client area and starts
    // listing the folder named by folderField, a 260-byte code page 932
    // path field that the strip keeps up to date as it navigates.
    // ShowBrowser shows a hidden strip again: false when the slot has no
    // window to show, or when its folder, still being listed, must be
    // listed anew to take in a file the game wrote there.  HideBrowser hides one, keeping its listing.
    // BrowserCorner is the bottom-left corner of a slot's window in client
    // coordinates, where the strip below it opens.
    virtual void OpenBrowser(int /*slot*/, char* /*folderField*/, Point /*at*/, int /*initialSpeed*/) {}
    virtual bool ShowBrowser(int /*slot*/) { return false; }
    virtual void HideBrowser(int /*slot*/) {}
    virtual Point BrowserCorner(int /*slot*/) { return {}; }

    // The parts of the client area that other windows of the program cover
    // now (an open strip, the guide window), in client pixels.
    virtual std::vector<Rect> CoveredAreas() { return {}; }
};
