// The fixed texts the shell shows the player, in UTF-8.  The shell widens
// them for the W calls; they must stay exactly as they are, since players
// know the program by them.
#pragma once

inline constexpr const char kProgramName[] = "pukko";
inline constexpr const char kArrangeTitle[] = "pukko <整列モード>";
inline constexpr const char kTraceOnText[] = "trace on";
inline constexpr const char kTraceOffText[] = "trace off";
inline constexpr const char kPatternBoxText[] = "ただいま工事中。気をつけてお通りください。";
inline constexpr const char kHelpFailedText[] = "「操作法」ファイルを開けませんでした。";
// Shown once at start-up when pukko.ini held values no setting can take.
inline constexpr const char kSettingsResetText[] =
    "設定ファイル pukko.ini が壊れていました。\n壊れていた設定は最初の値に戻しました。";
inline constexpr const char kWindowsErrorCaption[] = "Windows関数エラー";

// The main window's title while no puzzle clock is running: the program's
// name, with the arrange-mode mark while that mode is on.
inline const char* ModeTitle(int arrangeMode) {
    return arrangeMode ? kArrangeTitle : kProgramName;
}
