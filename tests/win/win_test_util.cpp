#include "win_test_util.h"

#include <cstdlib>

#include "base/text_win.h"

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

}  // namespace wintest
