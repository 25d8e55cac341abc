// A file dropped on a window of another process as Explorer drops it: a
// DROPFILES block with one wide name written into that process's own
// memory, and WM_DROPFILES sent, so that the call returns once the window
// has handled the drop (read the picture, or taken up the saved game).
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

inline bool DropOnWindow(HWND window, const std::wstring& path, DWORD timeoutMs = 60000) {
    struct DropBlock {
        DWORD pFiles;
        POINT pt;
        BOOL fNC;
        BOOL fWide;
    };
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    std::vector<char> block(sizeof(DropBlock) + (path.size() + 2) * sizeof(wchar_t), 0);
    const DropBlock head{sizeof(DropBlock), {400, 300}, FALSE, TRUE};
    std::memcpy(block.data(), &head, sizeof head);
    std::memcpy(block.data() + sizeof head, path.c_str(), path.size() * sizeof(wchar_t));
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return false;
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    SIZE_T written = 0;
    const bool ok = remote && WriteProcessMemory(process, remote, block.data(), block.size(), &written) &&
                    written == block.size() &&
                    SendMessageTimeoutW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0,
                                        SMTO_NORMAL, timeoutMs, nullptr);
    CloseHandle(process);
    return ok;
}

// The message box of a process with this caption, once it shows (null
// after ms; with 0, whether one shows now).
inline HWND WaitForBoxOf(DWORD pid, const wchar_t* caption, DWORD ms) {
    for (const DWORD start = GetTickCount();; Sleep(20)) {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", caption); w;
             w = FindWindowExW(nullptr, w, L"#32770", caption)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == pid && IsWindowVisible(w)) return w;
        }
        if (GetTickCount() - start >= ms) return nullptr;
    }
}

// A message box's text (the static control 0xFFFF).
inline std::wstring BoxText(HWND box) {
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}
