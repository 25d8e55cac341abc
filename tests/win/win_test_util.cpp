#include "win_test_util.h"

#include <algorithm>
#include <cstdlib>

#include "app/main_window_win.h"
#include "base/text_win.h"
#include "browser/browser_window_win.h"
#include "config/sounds.h"
#include "game/clock.h"
#include "game/game_record.h"
#include "pieces/board_ops.h"
#include "pieces/turn.h"

namespace wintest {

namespace {

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

void CopyFolderFiles(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((from + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        CopyFileW((from + L"\\" + fd.cFileName).c_str(), (to + L"\\" + fd.cFileName).c_str(), FALSE);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

std::wstring ExeDir() {
    const wchar_t* dir = _wgetenv(L"PUKKO_EXE_DIR");
    if (!dir || !*dir) return L".";
    std::wstring d = dir;
    if (d[0] == L'/') d = L"Z:" + d;
    for (wchar_t& c : d)
        if (c == L'/') c = L'\\';
    return d;
}

std::wstring FreshFolder(const std::wstring& suffix) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + L"pukko_wintest";
    CreateDirectoryW(root.c_str(), nullptr);
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::wstring dir =
        root + L"\\" + Widen(std::string(info->test_suite_name()) + "." + info->name()) + suffix;
    SetCurrentDirectoryW(root.c_str());  // a folder in use cannot go
    RemoveTree(dir);
    EXPECT_TRUE(CreateDirectoryW(dir.c_str(), nullptr)) << "cannot make the test folder";
    EXPECT_TRUE(CopyFileW((ExeDir() + L"\\pukko.exe").c_str(), (dir + L"\\pukko.exe").c_str(), FALSE))
        << "no pukko.exe in PUKKO_EXE_DIR";
    // The strips' artwork, as the build lays it out beside the program.
    CopyFolderFiles(ExeDir() + L"\\program", dir + L"\\program");
    SetCurrentDirectoryW(dir.c_str());
    return dir;
}

std::string QuotedExe(const std::wstring& folder) {
    std::string line = "\"";
    line += Narrow(folder);
    line += "\\pukko.exe\"";
    return line;
}

std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    CloseHandle(h);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD put = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(h);
    ASSERT_EQ(put, bytes.size());
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Child::~Child() {
    if (!started) return;
    // A test that failed half-way must not leave a copy running: it would
    // hold the single-instance mutex for every later test.
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

DWORD Child::WaitExit(DWORD ms) {
    if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

void StartPukko(const std::wstring& folder, Child* child) {
    std::wstring exe = folder + L"\\pukko.exe";
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    child->started = CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                    folder.c_str(), &si, &child->pi) != 0;
    ASSERT_TRUE(child->started) << "CreateProcess failed: " << GetLastError();
}

HWND WaitForMainWindow(const Child& child, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"pukko_Class", nullptr); w;
             w = FindWindowExW(nullptr, w, L"pukko_Class", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == child.pi.dwProcessId && IsWindowVisible(w)) return w;
        }
        if (GetTickCount() - start > ms || WaitForSingleObject(child.pi.hProcess, 0) == WAIT_OBJECT_0)
            return nullptr;
        Sleep(50);
    }
}

void PlayerTest::SetUp() {
    folder = FreshFolder();
    Settings& s = Shell().settings;
    LoadSettings(s, QuotedExe(folder));
    BuildSoundPaths(TheSounds(), PathField(s.soundFolder));
    host.clock = 4711;  // the same cut and scatter every run
    host.realBrowsers = true;
    Shell().host = &host;
    SetScanRecorder([this](const std::string& what) {
        std::lock_guard<std::mutex> l(lock_);
        scanned_.push_back(what);
    });
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW known{};
    ASSERT_TRUE(RegisterMainClass(instance) || GetClassInfoW(instance, kMainClassName, &known));
}

void PlayerTest::TearDown() {
    if (window && IsWindow(window)) DestroyWindow(window);
    StopAllScans();
    PumpUntil([] { return false; }, 0);
    SetScanRecorder(nullptr);
    ResetGame(Shell().game);
    Shell().host = &Shell().winHost;
}

void PlayerTest::Create() {
    window = CreateMainWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWMAXIMIZED);
}

void PlayerTest::Restart() {
    SendMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_FALSE(IsWindow(window));
    // The end of the run: no worker outlives the strips, and the settings
    // reach pukko.ini.  The next run starts from that file and an empty game.
    StopAllScans();
    PumpUntil([] { return false; }, 0);  // takes the WM_QUIT of WM_DESTROY
    ASSERT_TRUE(SaveSettings(Shell().settings));
    ResetGame(Shell().game);
    LoadSettings(Shell().settings, QuotedExe(folder));
    Create();
}

BrowserView& PlayerTest::View(int slot) {
    return Shell().browsers[slot];
}

bool PlayerTest::WaitListed(int slot) {
    return PumpUntil([&] { return View(slot).state == kBrowserListed; }, 60000);
}

int PlayerTest::IndexOf(int slot, const std::wstring& file) {
    const BrowserView& v = View(slot);
    for (int i = 0; i < v.Count(); ++i)
        if (v.entries[static_cast<size_t>(i)].name == Narrow(file)) return i;
    return -1;
}

void PlayerTest::ClickEntry(int slot, int index) {
    BrowserView& v = View(slot);
    HWND strip = StripWindow(slot);
    ASSERT_NE(strip, nullptr);
    ASSERT_GE(index, 0);
    int cell = index;
    if (v.clientWidth / kCellSide < v.Count()) {
        for (int steps = 0; v.firstIndex != index; ++steps) {
            ASSERT_LT(steps, v.Count());
            SendMessageW(strip, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
        }
        cell = 0;
    }
    const LPARAM xy = MAKELPARAM(cell * kCellSide - static_cast<int>(v.offset) + kCellSide / 2, 50);
    SendMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, xy);
    SendMessageW(strip, WM_LBUTTONUP, 0, xy);
}

bool PlayerTest::WaitPlaying(DWORD ms) {
    PuzzleGame& g = Shell().game;
    return PumpUntil([&] { return g.State() == kStatePlaying && g.totalPieces > 0; }, ms);
}

std::vector<std::string> PlayerTest::Scanned() {
    std::lock_guard<std::mutex> l(lock_);
    return scanned_;
}

std::wstring PlayerTest::Title() const {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

void PlayerTest::CopyData(const std::wstring& sub, const std::vector<std::wstring>& names) {
    CreateDirectoryW((folder + L"\\" + sub).c_str(), nullptr);
    for (const std::wstring& name : names) {
        const std::wstring from = ExeDir() + L"\\" + sub + L"\\" + name;
        ASSERT_TRUE(CopyFileW(from.c_str(), (folder + L"\\" + sub + L"\\" + name).c_str(), FALSE))
            << Narrow(from);
    }
}

void ClickAt(HWND window, UINT down, Point at) {
    const WPARAM keys = down == WM_LBUTTONDOWN   ? MK_LBUTTON
                        : down == WM_RBUTTONDOWN ? MK_RBUTTON
                                                 : MK_MBUTTON;
    SendMessageW(window, down, keys, MAKELPARAM(at.x, at.y));
    SendMessageW(window, down + 1, 0, MAKELPARAM(at.x, at.y));  // the matching WM_xBUTTONUP
    PumpUntil([] { return false; }, 0);                         // the repaint, as between a player's moves
}

void DragBy(HWND window, Point from, int dx, int dy) {
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + dx, from.y + dy));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(from.x + dx, from.y + dy));
    PumpUntil([] { return false; }, 0);
}

bool VisiblePoint(const Board& board, int piece, Point* at) {
    int k = -1;
    for (int i = 0; i < board.count; ++i)
        if (board.order[i] == piece) k = i;
    if (k < 0) return false;
    // The shown point nearest the middle: a click there turns the piece
    // about a point well inside it.
    const Piece& p = board.pieces[piece];
    const int cx = (p.left + p.right) / 2, cy = (p.top + p.bottom) / 2;
    int64_t best = -1;
    for (int y = p.top; y < p.bottom; ++y)
        for (int x = p.left; x < p.right; ++x) {
            const int64_t d = int64_t{x - cx} * (x - cx) + int64_t{y - cy} * (y - cy);
            if ((best < 0 || d < best) && HitTest(board, x, y) == k) {
                best = d;
                *at = {x, y};
            }
        }
    return best >= 0;
}

Point AssemblyOrigin(const Board& board) {
    int right = 0;
    for (int i = 0; i < board.count; ++i) right = std::max(right, board.pieces[i].right);
    return {right + 40, 10};
}

namespace {

void PutInPlace(HWND window, Board& board, int piece, Point origin) {
    Point at;
    for (int turns = 0; board.pieces[piece].orientation != 0; ++turns) {
        ASSERT_LT(turns, 4);
        ASSERT_TRUE(VisiblePoint(board, piece, &at));
        const int o = board.pieces[piece].orientation;
        ClickAt(window,
                o >= 4                                  ? WM_MBUTTONDOWN
                : TurnedOrientation(o, kTurnRight) == 0 ? WM_RBUTTONDOWN
                                                        : WM_LBUTTONDOWN,
                at);
    }
    ASSERT_TRUE(VisiblePoint(board, piece, &at));
    const Piece& p = board.pieces[piece];
    DragBy(window, at, origin.x + p.homeLeft - p.left, origin.y + p.homeTop - p.top);
}

}  // namespace

void SolveByMouse(HWND window, PuzzleGame& g, Point origin, int groups) {
    Board& b = g.board;
    auto inPlace = [&](const Piece& p) {
        return p.orientation == 0 && p.left == origin.x + p.homeLeft && p.top == origin.y + p.homeTop;
    };
    for (int moves = 0; CountGroups(b) > groups; ++moves) {
        ASSERT_LT(moves, 4 * b.count) << "the pieces do not come together";
        // Above the topmost piece out of place lie only pieces in place,
        // clear of the heap, and specks: some of it shows.
        int piece = -1;
        for (int k = b.count - 1; k >= 0 && piece < 0; --k)
            if (!IsSpeck(b.pieces[b.order[k]]) && !inPlace(b.pieces[b.order[k]])) piece = b.order[k];
        if (piece >= 0) {
            PutInPlace(window, b, piece, origin);
            if (testing::Test::HasFatalFailure()) return;
            continue;
        }
        // All in place, but a piece dropped beside no piece of its own group
        // joined nothing: a drag of a pixel, which snaps back, joins it.
        int top = -1;
        for (int k = b.count - 1; k >= 0 && top < 0; --k)
            if (!IsSpeck(b.pieces[b.order[k]])) top = b.order[k];
        for (int k = 0; k < b.count && piece < 0; ++k)
            if (!IsSpeck(b.pieces[b.order[k]]) && b.pieces[b.order[k]].group != b.pieces[top].group)
                piece = b.order[k];
        Point at;
        ASSERT_TRUE(VisiblePoint(b, piece, &at));
        DragBy(window, at, 1, 0);
    }
}

}  // namespace wintest
