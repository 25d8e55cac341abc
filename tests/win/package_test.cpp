// The Windows package as a player gets it.  scripts/package.sh --check
// unpacks build/pukko-win64.zip into a folder whose path holds Japanese and
// spaces, names that folder in PUKKO_PACKAGE_DIR and runs these tests; the
// plain ctest run checks the resources of the built pukko.exe instead and
// skips the run from the unpacked folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "base/text_win.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

constexpr DWORD kStartMs = 30000;

// PUKKO_PACKAGE_DIR as a Windows path (a Unix one through drive Z:), or "".
std::wstring PackageDir() {
    const wchar_t* dir = _wgetenv(L"PUKKO_PACKAGE_DIR");
    if (!dir || !*dir) return L"";
    std::wstring d = dir;
    if (d[0] == L'/') d = L"Z:" + d;
    std::replace(d.begin(), d.end(), L'/', L'\\');
    return d;
}

std::wstring ExeUnderTest() {
    const std::wstring dir = PackageDir();
    return (dir.empty() ? ExeDir() : dir) + L"\\pukko.exe";
}

// The test program is not linked with version.dll; its three calls are
// looked up at run time.
struct VersionInfo {
    std::vector<uint8_t> block;

    explicit VersionInfo(const std::wstring& file) {
        HMODULE dll = LoadLibraryW(L"version.dll");
        if (!dll) return;
        auto size = reinterpret_cast<DWORD(WINAPI*)(LPCWSTR, LPDWORD)>(
            reinterpret_cast<void*>(GetProcAddress(dll, "GetFileVersionInfoSizeW")));
        auto get = reinterpret_cast<BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID)>(
            reinterpret_cast<void*>(GetProcAddress(dll, "GetFileVersionInfoW")));
        query_ = reinterpret_cast<BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT)>(
            reinterpret_cast<void*>(GetProcAddress(dll, "VerQueryValueW")));
        DWORD ignored = 0;
        const DWORD bytes = size && get && query_ ? size(file.c_str(), &ignored) : 0;
        if (bytes == 0) return;
        block.resize(bytes);
        if (!get(file.c_str(), 0, bytes, block.data())) block.clear();
    }

    const void* Value(const wchar_t* path, UINT* length) const {
        void* value = nullptr;
        if (block.empty() || !query_(block.data(), path, &value, length)) return nullptr;
        return value;
    }

    std::wstring Text(const wchar_t* name) const {
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
        const auto* text = static_cast<const wchar_t*>(Value(path.c_str(), &length));
        return text ? std::wstring(text) : L"(none)";
    }

  private:
    BOOL(WINAPI* query_)(LPCVOID, LPCWSTR, LPVOID*, PUINT) = nullptr;
};

}  // namespace

// What the exe's manifest asks of Windows, read back through an activation
// context made from it: the side-by-side common controls 6 (visual styles)
// and per-monitor DPI awareness, so that the system never stretches the
// board, the pieces or the thumbnails on a scaled display.  (Wine reports
// every process as per-monitor aware, so a process's own awareness would
// prove nothing here.)
TEST(Package, ManifestAsksForVisualStylesAndPerMonitorDpi) {
    const std::wstring exe = ExeUnderTest();
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = exe.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE)
        << "no valid manifest in " << Narrow(exe) << ": " << GetLastError();

    auto setting = [&](const wchar_t* space, const wchar_t* name) {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, context, space, name, value, 64, &written))
            return std::wstring(L"(none)");
        return std::wstring(value);
    };
    EXPECT_EQ(Narrow(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness")),
              "PerMonitorV2, PerMonitor");
    EXPECT_EQ(Narrow(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware")),
              "true/pm");

    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    ACTCTX_SECTION_KEYED_DATA redirect{};
    redirect.cbSize = sizeof redirect;
    EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         L"comctl32.dll", &redirect))
        << "comctl32.dll is not redirected to version 6";
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
}

// The version resource: the project's version (not the resource's 0.0.0
// fallback) in the numbers and the texts alike, in Japanese and UTF-16.
TEST(Package, VersionResourceNamesTheGameAndItsVersion) {
    VersionInfo info(ExeUnderTest());
    ASSERT_FALSE(info.block.empty()) << "no version resource";
    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(info.Value(L"\\", &length));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileType, DWORD{VFT_APP});
    EXPECT_NE(fixed->dwFileVersionMS | fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    const std::wstring version = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(info.Text(L"FileVersion"), version);
    EXPECT_EQ(info.Text(L"ProductVersion"), version);
    EXPECT_EQ(Narrow(info.Text(L"ProductName")), "pukko");
    EXPECT_EQ(Narrow(info.Text(L"OriginalFilename")), "pukko.exe");
    EXPECT_EQ(Narrow(info.Text(L"FileDescription")), "pukko ジグソーパズル");

    const auto* language = static_cast<const WORD*>(info.Value(L"\\VarFileInfo\\Translation", &length));
    ASSERT_NE(language, nullptr);
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(language[0], 0x0411);  // Japanese
    EXPECT_EQ(language[1], 1200);    // UTF-16
}

// Unpacked where a player might put it, the game finds its folders by its
// own path and lists its pictures, and pukko-make reads and writes there.
TEST(Package, UnpackedGameRunsFromAFolderWithJapaneseAndSpaces) {
    const std::wstring dir = PackageDir();
    if (dir.empty()) GTEST_SKIP() << "scripts/package.sh --check runs this on the unpacked zip";
    ASSERT_NE(dir.find(L' '), std::wstring::npos);
    ASSERT_TRUE(std::any_of(dir.begin(), dir.end(), [](wchar_t c) { return c > 0x7F; }));
    for (const wchar_t* name :
         {L"読んでください.txt", L"README.txt", L"program\\操作法.html", L"program\\frame.bmp",
          L"program\\source\\k_start.wav", L"back\\タイル２.bmp"})
        EXPECT_TRUE(Exists(dir + L"\\" + name)) << Narrow(name);
    ASSERT_FALSE(Exists(dir + L"\\pukko.ini"));

    const std::wstring made = dir + L"\\試し 12.pko";
    std::wstring line = L"\"" + dir + L"\\pukko-make.exe\" --pieces 12 --size 400 --seed 7 \"" + dir +
                        L"\\image\\花畑.bmp\" \"" + made + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               dir.c_str(), &si, &pi));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, kStartMs), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u);
    EXPECT_GT(ReadBytes(made).size(), 0u);
    DeleteFileW(made.c_str());

    Child child;
    StartPukko(dir, &child);
    HWND window = WaitForMainWindow(child, kStartMs);
    ASSERT_NE(window, nullptr);
    // The strip takes the folder's path as its title once it is listed.
    const std::wstring imageFolder = dir + L"\\image";
    std::wstring title;
    const DWORD start = GetTickCount();
    while (title != imageFolder && GetTickCount() - start < kStartMs) {
        Sleep(50);
        wchar_t text[MAX_PATH] = {};
        if (HWND strip = FindWindowExW(window, nullptr, L"ViewWin", nullptr))
            GetWindowTextW(strip, text, MAX_PATH);
        title = text;
    }
    EXPECT_EQ(Narrow(title), Narrow(imageFolder));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(child.WaitExit(kStartMs), 0u);
    EXPECT_TRUE(Exists(dir + L"\\pukko.ini"));
    DeleteFileW((dir + L"\\pukko.ini").c_str());
}
