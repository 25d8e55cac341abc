#include "browser/browser_window_win.h"

#include <windowsx.h>
// Included before the undefs below, so that no later include brings the
// PlaySound macro back.
#include <mmsystem.h>

#undef MessageBox
#undef PlaySound

#include <array>
#include <atomic>
#include <mutex>

#include "base/dpi_win.h"
#include "base/host.h"
#include "base/text_win.h"
#include "base/window_class_win.h"
#include "browser/browser_view.h"
#include "browser/folder_scan.h"
#include "config/settings.h"
#include "config/sounds.h"
#include "image/mybit_win.h"

namespace {

constexpr wchar_t kViewClass[] = L"ViewWin";
constexpr DWORD kStripStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT kStripMs = 50;
constexpr char kCreateFailedText[] = "View CreateWindow失敗";

std::mutex recorderLock;
std::function<void(const std::string&)> recorder;

// Sends what a worker would show or play to the test's recorder, if any.
bool Recorded(const std::string& what) {
    std::lock_guard<std::mutex> lock(recorderLock);
    if (!recorder) return false;
    recorder(what);
    return true;
}

// The platform side of a scan.  Everything here runs on the worker and
// never waits for the user-interface thread: the end of the listing is
// posted, and the boxes are kept for that thread (ScanHost).
class WinScanHost : public ScanHost {
  public:
    // The strip the listing is for; the strip's end clears it while the
    // worker may still be running.
    std::atomic<HWND> window{nullptr};
    // Which listing of that strip; changed only while no worker runs.
    unsigned generation = 0;

    bool ListFolder(const std::string& folder,
                    const std::function<bool(const std::string&, uint32_t)>& each) override {
        WIN32_FIND_DATAW fd;
        HANDLE find = FindFirstFileExW(Widen(folder + "\\*.*").c_str(), FindExInfoBasic, &fd,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) return false;
        do {
            if (!each(Narrow(fd.cFileName), fd.dwFileAttributes)) break;
        } while (FindNextFileW(find, &fd));
        FindClose(find);
        return true;
    }
    // The comparison the system sorts file names with: the user's locale,
    // not the order of the bytes.
    int CompareNames(const std::string& a, const std::string& b) override {
        return lstrcmpW(Widen(a).c_str(), Widen(b).c_str());
    }
    void ScanFinished() override {
        if (HWND strip = window.load()) PostMessageW(strip, MSG_SCAN_DONE, generation, 0);
    }
    void PlaySound(const std::string& path) override {
        if (Recorded("sound " + path)) return;
        PlaySoundW(Widen(path).c_str(), nullptr, SND_FILENAME | SND_NOWAIT);
    }
};

struct StripWindows {
    std::array<HWND, kBrowserSlots> window{};
    std::array<WinScanHost, kBrowserSlots> scan;
    std::array<bool, kBrowserSlots> opening{};
    HWND parent = nullptr;
};

StripWindows& Strips() {
    static StripWindows strips;
    return strips;
}

StripRecords& Records() {
    static StripRecords records;
    return records;
}

Host& TheHost() {
    return *Records().host;
}

BrowserView& View(int slot) {
    return (*Records().browsers)[slot];
}

// Stops a slot's worker and waits for it.  Meanwhile this thread answers
// the messages other threads send it, but takes no input and no posted
// message, so nothing can reopen the strip under our feet.  The worker
// shows no box and waits for nobody: the wait lasts one cell at most, or
// the start sound once the listing is complete.
void StopScanAndWait(int slot) {
    BrowserView& v = View(slot);
    RequestStop(v);
    if (!v.worker.joinable()) return;
    while (v.scanning.load(std::memory_order_acquire)) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_SENDMESSAGE);
    }
    JoinScan(v);
}

void BuildDriveList(BrowserView& v) {
    wchar_t drives[128] = {};
    DWORD n = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(drives) - 1), drives);
    std::vector<BrowserEntry> entries;
    if (n > 0 && n < std::size(drives)) {
        for (const wchar_t* d = drives; *d; d += wcslen(d) + 1) entries.push_back({'B', Narrow(d)});
    }
    v.entries = std::move(entries);
    v.thumbnails.resize(v.entries.size());
    for (size_t i = 0; i < v.entries.size(); ++i) {
        MYBIT& cell = v.thumbnails[i];
        MakeDriveCellGround(cell, v.art);
        const int dpi = v.art.dpi;
        const Rect label{ScalePx(6, dpi), ScalePx(75, dpi), ScalePx(94, dpi), ScalePx(94, dpi)};
        DrawTextBox(cell, v.entries[i].name, label, 0xFFFFFF, kCellGrey, dpi);
        LayFrame(cell, v.art);
    }
    v.entryCount.store(static_cast<int>(v.entries.size()), std::memory_order_release);
}

// A click on a drive enters its root; the parent cell of a drive root
// shows the drives.  The strip reopens where it stands.
void NavigateBrowser(int slot, const std::string& name) {
    BrowserView& v = View(slot);
    if (name == ".." && IsBareDrive(v.FolderPath())) {
        v.SetFolderPath(kDriveListPath);
    } else if (SetCurrentDirectoryW(Widen(name).c_str())) {
        wchar_t current[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, current);
        std::string folder = Narrow(current);
        if (folder.size() == 3 && folder[1] == ':' && folder[2] == '\\') folder.pop_back();
        v.SetFolderPath(folder);
    } else {
        MessageBeep(MB_ICONHAND);
    }
    HWND window = Strips().window[static_cast<size_t>(slot)];
    HWND parent = GetParent(window);
    RECT r{};
    GetWindowRect(window, &r);
    POINT corner{r.left, r.top};
    ScreenToClient(parent, &corner);
    OpenBrowser(slot, parent, v.folder, corner.x, corner.y, 0);
}

void OnStripClick(int slot, HWND window, const StripClick& click) {
    BrowserView& v = View(slot);
    switch (click.kind) {
        case StripClick::kNavigate:
            NavigateBrowser(slot, click.name);
            break;
        case StripClick::kPick:
            PostMessageW(GetParent(window), MSG_PICK, static_cast<WPARAM>(slot), click.index);
            ShowWindow(window, SW_HIDE);
            v.shown = 0;
            break;
        case StripClick::kNone:
            break;
    }
}

// The client stays one cell high, whatever size the window is given.
void OnStripSize(int slot, HWND window, int clientWidth) {
    BrowserView& v = View(slot);
    v.clientWidth = clientWidth;
    RECT r{};
    GetWindowRect(window, &r);
    POINT corner{r.left, r.top};
    ScreenToClient(GetParent(window), &corner);
    MoveWindow(window, corner.x, corner.y, r.right - r.left, v.windowHeight, TRUE);
}

// The window goes; a strip closed without any press tells the main window
// that nothing was chosen.
void CloseStrip(int slot, HWND window) {
    BrowserView& v = View(slot);
    KillTimer(window, IDT_STRIP);
    HWND parent = GetParent(window);
    DestroyWindow(window);
    if (v.pressedIndex == -1) PostMessageW(parent, MSG_PICK, static_cast<WPARAM>(slot), PICK_NONE);
    v.state = kBrowserClosed;
    v.shown = 0;
}

void OnStripDestroyed(int slot, HWND window) {
    StripWindows& s = Strips();
    if (s.window[static_cast<size_t>(slot)] != window) return;
    KillTimer(window, IDT_STRIP);
    // The listing would only fill a strip nobody sees.
    RequestStop(View(slot));
    s.window[static_cast<size_t>(slot)] = nullptr;
    s.scan[static_cast<size_t>(slot)].window = nullptr;
    View(slot).state = kBrowserClosed;
    View(slot).shown = 0;
}

// The listing is complete; what could not be read is told now, once.
void OnScanDone(int slot, HWND window, unsigned generation) {
    WinScanHost& scan = Strips().scan[static_cast<size_t>(slot)];
    if (generation != scan.generation) return;
    BrowserView& v = View(slot);
    SetWindowTextW(window, Widen(v.FolderPath()).c_str());
    v.state = kBrowserListed;
    ShowScanFailures(TheHost(), scan.TakeFailures());
}

// Opened or shown, a strip stands over the others, where it is seen and
// takes the wheel.
void RaiseStrip(HWND window) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool InsideClient(const BrowserView& v, int x, int y) {
    return x >= 0 && y >= 0 && x < v.clientWidth && y < v.cellSide;
}

LRESULT CALLBACK ViewWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) {
        SetTimer(window, IDT_STRIP, kStripMs, nullptr);
        return 0;
    }
    const int slot = StripSlotOf(window);
    if (slot < 0) return DefWindowProcW(window, msg, wParam, lParam);
    BrowserView& v = View(slot);
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (msg) {
        case WM_TIMER:
            if (wParam != IDT_STRIP) return 0;
            // One step here and one in the paint it asks for, which draws.
            StepStrip(v, false);
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            if (StepStrip(v)) DIsplay(v.canvas, 0, 0, dc);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_SIZE:
            if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)
                OnStripSize(slot, window, LOWORD(lParam));
            return 0;
        case WM_CLOSE:
            CloseStrip(slot, window);
            return 0;
        case WM_DESTROY:
            OnStripDestroyed(slot, window);
            return 0;
        case WM_LBUTTONDOWN:
            // Held while dragging, so that a fling may leave the strip.
            SetCapture(window);
            OnStripPress(v, x, y, TheHost().TickCount());
            return 0;
        case WM_MOUSEMOVE:
            if (wParam & MK_LBUTTON) OnStripMove(v, x, y);
            return 0;
        case WM_LBUTTONUP: {
            if (GetCapture() == window) ReleaseCapture();
            StripClick click = OnStripRelease(v, x, TheHost().TickCount(), InsideClient(v, x, y));
            OnStripClick(slot, window, click);
            return 0;
        }
        case WM_MOUSEWHEEL:
            OnStripWheel(v, GET_WHEEL_DELTA_WPARAM(wParam) < 0);
            return 0;
        case WM_SETCURSOR:
            // The hourglass over a strip whose pictures are still being made.
            if (LOWORD(lParam) == HTCLIENT && v.scanning.load()) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case MSG_SCAN_DONE:
            OnScanDone(slot, window, static_cast<unsigned>(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

int StripSlotOf(HWND window) {
    if (!window) return -1;
    const StripWindows& s = Strips();
    for (int i = 0; i < kBrowserSlots; ++i)
        if (s.window[static_cast<size_t>(i)] == window) return i;
    return -1;
}

HWND StripWindow(int slot) {
    if (slot < 0 || slot >= kBrowserSlots) return nullptr;
    return Strips().window[static_cast<size_t>(slot)];
}

void OpenBrowser(int slot, HWND parent, char* folderField, int x, int y, int initialSpeed) {
    if (slot < 0 || slot >= kBrowserSlots) return;
    StripWindows& s = Strips();
    const size_t i = static_cast<size_t>(slot);
    // Closing the old strip may reach this again (a box, a sent message);
    // one open of a slot at a time.
    if (s.opening[i]) return;
    s.opening[i] = true;
    BrowserView& v = View(slot);
    v.folder = folderField;
    s.parent = parent;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    RegisterWindowClass(instance, kViewClass, ViewWndProc);
    if (s.window[i]) SendMessageW(s.window[i], WM_CLOSE, 0, 0);
    StopScanAndWait(slot);

    const Settings& settings = *Records().settings;
    // A strip is a child: it stands on its parent's monitor, at its scale.
    SetStripDpi(v, WindowDpi(parent));
    LoadArtwork(v.art, PathField(settings.programFolder), TheHost(), v.dpi);
    ResetListing(v, initialSpeed);
    WinScanHost& scan = s.scan[i];
    ++scan.generation;

    RECT r{0, 0, v.clientWidth, v.cellSide};
    FrameAroundClient(r, kStripStyle, 0, v.dpi);
    v.windowHeight = r.bottom - r.top;
    HWND window = CreateWindowExW(0, kViewClass, L"pukko", kStripStyle, x, y, r.right - r.left,
                                  v.windowHeight, parent, nullptr, instance, nullptr);
    s.window[i] = window;
    scan.window = window;
    if (!window) {
        TheHost().MessageBox(kCreateFailedText, "", kMbOk, Owner::kNone);
    } else {
        RaiseStrip(window);
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        v.shown = 1;
    }

    const std::string folder = v.FolderPath();
    if (folder == kDriveListPath) {
        BuildDriveList(v);
        v.state = kBrowserListed;
        if (window) {
            SetWindowTextW(window, Widen(folder).c_str());
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
        }
    } else {
        // The arranged picture is written to the current folder: the one
        // last opened.
        SetCurrentDirectoryW(Widen(folder).c_str());
        const std::string sound = settings.sound ? TheSounds().path[0] : std::string();
        StartScan(v, scan, ScanRequest{folder, sound});
    }
    s.opening[i] = false;
}

void SetStripRecords(const StripRecords& records) {
    Records() = records;
}

bool ShowBrowserWindow(int slot) {
    HWND window = StripWindow(slot);
    if (!window || !IsWindow(window)) return false;
    // The saved games written since the listing; a listing still running
    // is started anew by the caller, and finds them.
    WinScanHost& scan = Strips().scan[static_cast<size_t>(slot)];
    if (!ListWrittenFiles(View(slot), scan)) return false;
    ShowScanFailures(TheHost(), scan.TakeFailures());
    RaiseStrip(window);
    ShowWindow(window, SW_SHOW);
    return true;
}

void HideBrowserWindow(int slot) {
    if (HWND window = StripWindow(slot)) ShowWindow(window, SW_HIDE);
}

Point BrowserCornerInParent(int slot) {
    HWND window = StripWindow(slot);
    if (!window) return {};
    RECT r{};
    GetWindowRect(window, &r);
    POINT corner{r.left, r.bottom};
    ScreenToClient(GetParent(window), &corner);
    return {corner.x, corner.y};
}

bool ForwardWheel(HWND parent, WPARAM wParam, LPARAM lParam) {
    POINT cursor{};
    GetCursorPos(&cursor);
    // From the top of the parent's children down: the strip seen under the
    // cursor.
    for (HWND window = GetWindow(parent, GW_CHILD); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (StripSlotOf(window) < 0 || !IsWindowVisible(window)) continue;
        RECT r{};
        GetWindowRect(window, &r);
        if (r.left < cursor.x && cursor.x < r.right && r.top < cursor.y && cursor.y < r.bottom) {
            SendMessageW(window, WM_MOUSEWHEEL, wParam, lParam);
            return true;
        }
    }
    return false;
}

void RescaleStrips(HWND parent) {
    const int dpi = WindowDpi(parent);
    for (int slot = 0; slot < kBrowserSlots; ++slot) {
        HWND window = StripWindow(slot);
        BrowserView& v = View(slot);
        if (!window || !IsWindow(window) || v.dpi == dpi) continue;
        const bool hidden = !IsWindowVisible(window);
        RECT r{};
        GetWindowRect(window, &r);
        POINT corner{r.left, r.top};
        ScreenToClient(parent, &corner);
        // The listing starts again, but the press is the player's: kept, a
        // choice made in the strip stays made, and the next reopen, at the
        // next change of scale, does not take the strip for one closed
        // without a press and forget the choice.
        const int pressed = v.pressedIndex;
        const uint32_t pressTime = v.pressTime;
        OpenBrowser(slot, parent, v.folder, corner.x, corner.y, 0);
        v.pressedIndex = pressed;
        v.pressTime = pressTime;
        // A strip hidden by a choice stays hidden, its choice still valid
        // once the new listing reaches it.
        if (hidden) {
            HideBrowserWindow(slot);
            v.shown = 0;
        }
    }
}

void StopAllScans() {
    // No main window, no strip: nothing was ever listed.
    if (!Records().browsers) return;
    for (int slot = 0; slot < kBrowserSlots; ++slot) StopScanAndWait(slot);
}

void SetScanRecorder(std::function<void(const std::string&)> record) {
    std::lock_guard<std::mutex> lock(recorderLock);
    recorder = std::move(record);
}
