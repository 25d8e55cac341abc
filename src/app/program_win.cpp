// Start-up and shut-down of the program around the main window.
#include "app/main_window_win.h"

#include <commctrl.h>

#include <string>

#include "base/text_win.h"
#include "browser/browser_window_win.h"
#include "config/shell_texts.h"
#include "config/sounds.h"
#include "config/trace.h"
#include "game/recovery.h"
#include "game/start_screen.h"
#include "making/shape_dialog_win.h"

namespace {

// The executable's own path, quoted as the first item of a command line.
// Taken from the module rather than from GetCommandLine: a program started
// as a bare "pukko" from a console has no folder in its command line, and
// an unquoted argument with a backslash would be read as part of the path.
std::string ExeCommandLine() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::string line = Narrow(path);
    line.insert(line.begin(), '"');
    line.push_back('"');
    return line;
}

}  // namespace

int RunProgram(HINSTANCE instance) {
    // One copy at a time; a second one leaves at once, silently.  The
    // handle stays open until the process ends.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (mutex) CloseHandle(mutex);
        return 0;
    }

    ShellRecords& app = Shell();
    // Damaged values were reset: said once, before the game shows, since the
    // record written at the end replaces the damaged file.
    if (LoadSettings(app.settings, ExeCommandLine()))
        app.host->MessageBox(kSettingsResetText, kProgramName, MB_OK | MB_ICONWARNING, Owner::kNone);
    BuildSoundPaths(TheSounds(), PathField(app.settings.soundFolder));
    SetTraceTarget(BaseFolder(app.settings), app.host);
    // The recovery record lives beside pukko.ini; a game it holds is
    // offered before the window shows, as the box above is.
    app.game.recovery.folder = BaseFolder(app.settings);
    app.resumeAtStart = AskToResume(*app.host, app.game.recovery.folder);

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    if (!RegisterMainClass(instance)) return 0;
    HWND window = CreateMainWindow(instance);
    if (!window) return 0;
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    // Taken up in the maximised window, so the table and view are made for
    // the size it is played at; a record found damaged now leaves the start
    // screen.
    if (app.resumeAtStart && !ResumeRecovery(app.game)) OpenCommand(app.game);

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // The piece-shape dialog is modeless: its keys are its own.
        if (IsShapeDialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // No worker may outlive the tables it fills.
    StopAllScans();
    // Settings changed during the run reach the file only here, at a
    // normal end.
    SaveSettings(app.settings);
    return static_cast<int>(msg.wParam);
}
