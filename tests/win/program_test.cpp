// pukko.exe as the player starts it: a copy in a fresh folder, run as a
// child process.  None of these runs shows a message box but the one about
// a damaged pukko.ini and the recovery record's offer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <memory>

#include "app/main_window_win.h"
#include "base/cp932.h"
#include "base/text_win.h"
#include "config/shell_texts.h"
#include "game/recovery.h"
#include "pieces/recovery_record.h"
#include "pieces/saved_state.h"
#include "remote_drop.h"
#include "resource.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

constexpr DWORD kStartMs = 30000;
constexpr size_t kFoldersBegin = 324, kTile = 2144, kValues = 2404;

std::vector<uint8_t> DefaultBytes() {
    Settings s = DefaultSettings();
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&s);
    return std::vector<uint8_t>(p, p + sizeof s);
}

std::string FieldAt(const std::vector<uint8_t>& b, size_t offset) {
    std::string s;
    for (size_t i = offset; i < offset + 260 && b[i] != 0; ++i) s.push_back(static_cast<char>(b[i]));
    return s;
}

int32_t I32At(const std::vector<uint8_t>& b, size_t offset) {
    int32_t v;
    std::memcpy(&v, b.data() + offset, 4);
    return v;
}

// Runs the copy in folder until its window is up, lets act do its part,
// closes it as the close box does and returns the exit code.
template <typename Act>
DWORD RunAndClose(const std::wstring& folder, Act act) {
    Child child;
    StartPukko(folder, &child);
    HWND window = WaitForMainWindow(child, kStartMs);
    EXPECT_NE(window, nullptr) << "no main window";
    if (!window) return STILL_ACTIVE;
    EXPECT_TRUE(IsZoomed(window));  // shown maximised
    act(window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    return child.WaitExit(kStartMs);
}

// The default tile beside the copy of the exe, as the build lays it out.
void CopyDefaultTile(const std::wstring& folder) {
    CreateDirectoryW((folder + L"\\back").c_str(), nullptr);
    EXPECT_TRUE(CopyFileW((ExeDir() + L"\\back\\タイル２.bmp").c_str(),
                          (folder + L"\\back\\タイル２.bmp").c_str(), FALSE));
}

}  // namespace

TEST(Program, SecondCopyLeavesAtOnceWithoutAWindow) {
    std::wstring folder = FreshFolder();
    // This test holds the single-instance mutex, as a running first copy does.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"pukko_Instance");
    ASSERT_NE(mutex, nullptr);
    ASSERT_NE(GetLastError(), DWORD{ERROR_ALREADY_EXISTS}) << "another pukko is running";

    Child child;
    StartPukko(folder, &child);
    EXPECT_EQ(child.WaitExit(10000), 0u);
    EXPECT_EQ(FindWindowW(L"pukko_Class", nullptr), nullptr);
    // It left before touching its settings.
    EXPECT_FALSE(Exists(folder + L"\\pukko.ini"));
    CloseHandle(mutex);
}

// The first run in a folder whose name has a space and Japanese: the record
// is written whole at the end, with this run's folders and the changes
// made during the run.
TEST(Program, FirstRunWritesTheWholeRecordAtTheEnd) {
    std::wstring folder = FreshFolder(L" テスト");
    ASSERT_FALSE(Exists(folder + L"\\pukko.ini"));
    CopyDefaultTile(folder);
    DWORD code = RunAndClose(folder, [](HWND window) {
        PostMessageW(window, WM_COMMAND, 0x7000 + 1000, 0);  // "1000ﾋﾟｸｾﾙ"
        PostMessageW(window, WM_KEYDOWN, VK_F7, 0);          // arrange mode on
    });
    EXPECT_EQ(code, 0u);

    std::vector<uint8_t> file = ReadBytes(folder + L"\\pukko.ini");
    ASSERT_EQ(file.size(), 2496u);
    std::string base = Utf8ToCp932(Narrow(folder));
    EXPECT_EQ(FieldAt(file, 324), base);
    EXPECT_EQ(FieldAt(file, 584), base + "\\pukko.ini");
    EXPECT_EQ(FieldAt(file, 844), base + "\\back");
    EXPECT_EQ(FieldAt(file, 1104), base + "\\image");
    EXPECT_EQ(FieldAt(file, 1364), base + "\\pattern");
    EXPECT_EQ(FieldAt(file, 1624), base + "\\program\\source");
    EXPECT_EQ(FieldAt(file, 1884), base + "\\program");
    EXPECT_EQ(FieldAt(file, kTile), "back\\\x83\x5E\x83\x43\x83\x8B\x82\x51.bmp");

    std::vector<uint8_t> want = DefaultBytes();
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + kFoldersBegin, want.begin()));
    EXPECT_EQ(I32At(file, 2408), 1000);  // the size chosen
    EXPECT_EQ(I32At(file, 2488), 1);     // arrange mode
    std::memcpy(want.data() + 2408, file.data() + 2408, 4);
    std::memcpy(want.data() + 2488, file.data() + 2488, 4);
    EXPECT_TRUE(std::equal(file.begin() + kValues, file.end(), want.begin() + kValues));
    EXPECT_FALSE(Exists(folder + L"\\pukko.ini.tmp~"));
}

// A 100-byte file replaces the start of the base lines only.
TEST(Program, ShortConfigurationFileChangesOnlyTheStartOfTheRecord) {
    std::wstring folder = FreshFolder();
    std::vector<uint8_t> start = DefaultBytes();
    start.resize(100);
    // Points of the first two lines, all inside the shape dialog's box.
    for (size_t at = 4; at < 100; at += 4) {
        const int32_t v = static_cast<int32_t>(at * 7 % 300) - 100;
        std::memcpy(start.data() + at, &v, 4);
    }
    WriteBytes(folder + L"\\pukko.ini", start);
    CopyDefaultTile(folder);

    EXPECT_EQ(RunAndClose(folder, [](HWND) {}), 0u);

    std::vector<uint8_t> file = ReadBytes(folder + L"\\pukko.ini");
    ASSERT_EQ(file.size(), 2496u);
    std::vector<uint8_t> want = DefaultBytes();
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + 100, start.begin()));
    EXPECT_TRUE(std::equal(file.begin() + 100, file.begin() + kFoldersBegin, want.begin() + 100));
    EXPECT_EQ(FieldAt(file, 324), Utf8ToCp932(Narrow(folder)));
    EXPECT_EQ(FieldAt(file, kTile), FieldAt(want, kTile));
    EXPECT_TRUE(std::equal(file.begin() + kValues, file.end(), want.begin() + kValues));
}

// A damaged file, its first 100 bytes garbage as a player met it: one box
// says so before the game shows, the record written at the end holds the
// defaults where the damage was and keeps the file's sound values, and the
// next start says nothing (a box would keep the window from showing).
TEST(Program, DamagedConfigurationFileIsResetAndSaidOnce) {
    std::wstring folder = FreshFolder();
    std::vector<uint8_t> start = DefaultBytes();
    for (size_t i = 0; i < 100; ++i) start[i] = static_cast<uint8_t>(0xA0 + i % 7);
    const int32_t pieces = 100;
    std::memcpy(start.data() + 2404, &pieces, 4);
    WriteBytes(folder + L"\\pukko.ini", start);
    CopyDefaultTile(folder);

    Child child;
    StartPukko(folder, &child);
    HWND box = nullptr;
    for (DWORD waited = 0; !box && waited < kStartMs; waited += 50, Sleep(50))
        for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", L"pukko"); w && !box;
             w = FindWindowExW(nullptr, w, L"#32770", L"pukko")) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == child.pi.dwProcessId) box = w;
        }
    ASSERT_NE(box, nullptr) << "no box about the damaged settings";
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);  // a message box's text
    EXPECT_EQ(Narrow(text), kSettingsResetText);
    EXPECT_EQ(FindWindowW(L"pukko_Class", nullptr), nullptr);  // before the game shows
    SendMessageW(box, WM_COMMAND, IDOK, 0);
    HWND window = WaitForMainWindow(child, kStartMs);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(child.WaitExit(kStartMs), 0u);

    std::vector<uint8_t> file = ReadBytes(folder + L"\\pukko.ini");
    ASSERT_EQ(file.size(), 2496u);
    std::vector<uint8_t> want = DefaultBytes();
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + kFoldersBegin, want.begin()));
    EXPECT_EQ(I32At(file, 2404), 100);

    EXPECT_EQ(RunAndClose(folder, [](HWND) {}), 0u);
}

// What the file holds from an earlier run in another folder is replaced by
// this run's folders; the settings themselves carry over.
TEST(Program, MovedProgramFindsItsOwnFolders) {
    std::wstring folder = FreshFolder();
    std::vector<uint8_t> old = DefaultBytes();
    const char elsewhere[] = "Q:\\old place";
    std::memcpy(old.data() + 324, elsewhere, sizeof elsewhere);
    std::memcpy(old.data() + 1104, elsewhere, sizeof elsewhere);
    int32_t pieces = 100;
    std::memcpy(old.data() + 2404, &pieces, 4);
    WriteBytes(folder + L"\\pukko.ini", old);

    EXPECT_EQ(RunAndClose(folder, [](HWND) {}), 0u);

    std::vector<uint8_t> file = ReadBytes(folder + L"\\pukko.ini");
    ASSERT_EQ(file.size(), 2496u);
    EXPECT_EQ(FieldAt(file, 324), Utf8ToCp932(Narrow(folder)));
    EXPECT_EQ(FieldAt(file, 1104), Utf8ToCp932(Narrow(folder)) + "\\image");
    EXPECT_EQ(I32At(file, 2404), 100);
}

// Rim changes live in the settings while the piece-shape pair is open; the
// program closed with the pair still open undoes them as Cancel does, and
// only OK lets them reach pukko.ini.
TEST(Program, ClosingWithTheShapePairOpenWritesOnlyAConfirmedRim) {
    std::wstring folder = FreshFolder();
    std::vector<uint8_t> start = DefaultBytes();
    const size_t thick = 2476, light = 2480;
    const int32_t rim[2] = {7, 33};
    std::memcpy(start.data() + thick, rim, sizeof rim);
    WriteBytes(folder + L"\\pukko.ini", start);
    CopyDefaultTile(folder);

    // Each button is sent, so its message to the preview is queued before
    // the close that follows.
    auto edit = [](unsigned last) {
        return [last](HWND window) {
            PostMessageW(window, WM_COMMAND, 0x5070, 0);  // "ﾋﾟｰｽ形状..."
            HWND dialog = nullptr;
            for (int i = 0; i < 200 && !dialog; ++i, Sleep(50))
                dialog = FindWindowW(L"#32770", L"ピース形状");
            ASSERT_NE(dialog, nullptr) << "no shape dialog";
            for (unsigned id : {unsigned{IDC_WIDER}, unsigned{IDC_WIDER}, unsigned{IDC_STRONGER}, last})
                SendMessageW(dialog, WM_COMMAND, id, 0);
        };
    };
    EXPECT_EQ(RunAndClose(folder, edit(IDC_WIDER)), 0u);
    std::vector<uint8_t> file = ReadBytes(folder + L"\\pukko.ini");
    ASSERT_EQ(file.size(), 2496u);
    EXPECT_EQ(I32At(file, thick), 7);
    EXPECT_EQ(I32At(file, light), 33);

    EXPECT_EQ(RunAndClose(folder, edit(IDOK)), 0u);
    file = ReadBytes(folder + L"\\pukko.ini");
    ASSERT_EQ(file.size(), 2496u);
    EXPECT_EQ(I32At(file, thick), 9);
    EXPECT_EQ(I32At(file, light), 34);
}

// The recovery record: a game killed in play is offered at the next start.

namespace {

const std::wstring kRecoveryPicture = L"\\image\\花畑.bmp";

// A folder whose settings make a small game quickly (20 pieces of a
// 400-pixel picture, no guide, no sounds), with the picture.
std::wstring RecoveryFolder() {
    std::wstring folder = FreshFolder();
    std::vector<uint8_t> ini = DefaultBytes();
    const int32_t size = 400, off = 0;
    std::memcpy(ini.data() + 2408, &size, 4);
    for (size_t at : {2420, 2428}) std::memcpy(ini.data() + at, &off, 4);  // sound, guide
    WriteBytes(folder + L"\\pukko.ini", ini);
    CopyDefaultTile(folder);
    CreateDirectoryW((folder + L"\\image").c_str(), nullptr);
    EXPECT_TRUE(CopyFileW((ExeDir() + kRecoveryPicture).c_str(), (folder + kRecoveryPicture).c_str(), FALSE));
    return folder;
}

// The game a folder's record holds, read as the next start reads it.
struct Recorded {
    std::unique_ptr<Board> board = std::make_unique<Board>();
    MYBIT picture;
    RecoveryRecord record;
    bool Read(const std::wstring& folder) {
        return ReadRecovery(RecoveryFilesIn(Narrow(folder)), *board, picture, record) == ReadResult::kOk;
    }
};

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
    for (DWORD waited = 0; waited < ms && !done(); waited += 50) Sleep(50);
    return done();
}

// Starts a game from the picture, waits for its first record, drags the top
// piece 37, 23 and waits for the record of that, kills the process and
// starts it again: the box it offers.
HWND PlayKillAndRestart(const std::wstring& folder, Child* again) {
    Child child;
    StartPukko(folder, &child);
    HWND window = WaitForMainWindow(child, kStartMs);
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(DropOnWindow(window, folder + kRecoveryPicture));
    Recorded first, later;
    EXPECT_TRUE(WaitUntil([&] { return first.Read(folder); }, 60000)) << "no record of the game";
    const int piece = first.board->order[first.board->count - 1];
    const Rect before = first.board->pieces[piece].BoardRect();
    Point at;
    EXPECT_TRUE(VisiblePoint(*first.board, piece, &at));
    DragBy(window, at, 37, 23);
    EXPECT_TRUE(WaitUntil(
        [&] { return later.Read(folder) && later.board->pieces[piece].BoardRect() != before; }, 10000))
        << "the move was not recorded";
    // Dropped 37, 23 away, or snapped to a neighbour within 6 pixels of that.
    const Rect moved = later.board->pieces[piece].BoardRect();
    EXPECT_LE(std::abs(moved.left - before.left - 37) + std::abs(moved.top - before.top - 23), 12);
    TerminateProcess(child.pi.hProcess, 1);
    EXPECT_EQ(child.WaitExit(kStartMs), 1u);

    StartPukko(folder, again);
    HWND box = WaitForBoxOf(again->pi.dwProcessId, L"pukko", kStartMs);
    EXPECT_NE(box, nullptr) << "no offer";
    if (!box) return nullptr;
    EXPECT_EQ(Narrow(BoxText(box)), kRecoveryOfferText);
    const auto style = [box](int id) { return GetWindowLongW(GetDlgItem(box, id), GWL_STYLE) & 0xF; };
    EXPECT_EQ(style(IDYES), BS_DEFPUSHBUTTON);
    EXPECT_EQ(style(IDNO), BS_PUSHBUTTON);
    EXPECT_EQ(WaitForMainWindow(*again, 0), nullptr);  // before the game shows
    return box;
}

bool AnyRecordFile(const std::wstring& folder) {
    return Exists(folder + L"\\recovery.pko") || Exists(folder + L"\\recovery.dat");
}

}  // namespace

// Killed in play, the game is offered before the window shows, Yes the
// default.  No discards it (the start screen follows, nothing is saved);
// Yes brings it back as recorded, and the clean exit that follows saves it
// beside its picture and leaves no record.
TEST(Program, AGameKilledInPlayIsOfferedAndYesTakesItUpAsRecorded) {
    const std::wstring folder = RecoveryFolder(), saved = folder + L"\\image\\花畑.pko";
    {
        Child child;
        HWND box = PlayKillAndRestart(folder, &child);
        ASSERT_NE(box, nullptr);
        SendMessageW(box, WM_COMMAND, IDNO, 0);
        HWND window = WaitForMainWindow(child, kStartMs);
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(AnyRecordFile(folder));
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(child.WaitExit(kStartMs), 0u);
        EXPECT_FALSE(Exists(saved));
    }

    Child child;
    HWND box = PlayKillAndRestart(folder, &child);
    ASSERT_NE(box, nullptr);
    Recorded last;
    ASSERT_TRUE(last.Read(folder));
    SendMessageW(box, WM_COMMAND, IDYES, 0);
    HWND window = WaitForMainWindow(child, kStartMs);
    ASSERT_NE(window, nullptr);
    wchar_t title[256] = {};
    EXPECT_TRUE(
        WaitUntil([&] { return GetWindowTextW(window, title, 256), std::wcsstr(title, L"残り"); }, kStartMs));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(child.WaitExit(kStartMs), 0u);
    EXPECT_FALSE(AnyRecordFile(folder));

    Board board;
    MYBIT picture;
    SavedStateHead head;
    ASSERT_EQ(ReadSavedState(board, Narrow(saved), picture, head), ReadResult::kOk);
    EXPECT_EQ(picture.pixels, last.picture.pixels);
    ASSERT_EQ(board.count, last.board->count);
    for (int i = 0; i < board.count; ++i) {
        EXPECT_EQ(PlaceOf(board.pieces[i]), PlaceOf(last.board->pieces[i])) << i;
        EXPECT_EQ(board.order[i], last.board->order[i]);
        EXPECT_EQ(board.pieces[i].pictures[0].pixels, last.board->pieces[i].pictures[0].pixels);
    }
    EXPECT_GE(head.elapsedMs, last.record.elapsedMs);
}
