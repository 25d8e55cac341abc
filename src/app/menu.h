// The main menu's state.  The menu holds nothing of its own: the settings
// record decides every check mark and the two relabelled entries, and a
// command identifier decides which setting it changes.  The Win32 side
// (menu_win.cpp) applies what these functions decide.
#pragma once

#include <array>
#include <string>

struct Settings;

// Command identifiers of IDM_MAIN_MENU.  The piece-count and size commands
// carry their value: value = identifier - base.
enum : unsigned {
    kCmdOpen = 0x5010,
    kCmdSave = 0x5011,
    kCmdSaveExitOff = 0x5012,
    kCmdSaveExitOn = 0x5013,
    kCmdScatter = 0x5014,
    kCmdExit = 0x5015,
    kCmdGatherEdges = 0x5016,
    kCmdLayOut = 0x5017,
    kCmdRotateOff = 0x5020,
    kCmdRotateOn = 0x5021,
    kCmdFlipOff = 0x5030,
    kCmdFlipOn = 0x5031,
    kCmdGuideOff = 0x5040,
    kCmdGuideOn = 0x5041,
    kCmdGrey = 0x5042,
    kCmdHints = 0x5043,
    kCmdSoundOff = 0x5050,
    kCmdSoundOn = 0x5051,
    kCmdBackColor = 0x5060,
    kCmdBackTile = 0x5061,
    kCmdShape = 0x5070,
    kCmdPattern = 0x5080,
    kCmdHelp = 0x5090,
    kCmdZoomFit = 0x50A0,
    kCmdZoomActual = 0x50A1,
    kCmdZoomIn = 0x50A2,
    kCmdZoomOut = 0x50A3,
    kCmdPiecesBase = 0x6000,  // "ﾊﾟﾀｰﾝ使用": piece count 0
    kCmdPiecesLast = 0x63E8,  // 1000 pieces
    kCmdSizeBase = 0x7000,    // "伸縮なし": size 0
    kCmdSizeLast = 0x77D0,    // 2000 pixels
};

// Top-level positions of the menu bar.
enum : int {
    kMenuFile = 0,
    kMenuPieces = 1,
    kMenuSize = 2,
    kMenuSettings = 3,
    kMenuView = 4,
};

// Sets what the identifier stands for: a 0/1 setting, the grey or hints
// toggle, or a
// piece count or size decoded from an identifier of the 0x6xxx or 0x7xxx
// block.  1 when id is a setting command, 0 for any other (0 included),
// which changes nothing.
int ApplyMenuCommand(Settings& s, unsigned id);

// Labels of the menu-bar entries at positions 1 and 2.
std::string PieceCountLabel(int pieceCount);  // "20ﾋﾟｰｽ", 0: "ﾊﾟﾀｰﾝ使用"
std::string SizeLabel(int size);              // "600ﾋﾟｸｾﾙ", 0: "伸縮なし"

// One group of radio items and the identifier that should carry the mark.
// Its popup is reached by position: top-level entry top, then, when sub is
// not -1, the popup at position sub inside it.  A checked identifier that no
// item carries (a value written into pukko.ini by hand) leaves the group
// without a mark.
struct RadioGroup {
    int top;
    int sub;
    unsigned first;
    unsigned last;
    unsigned checked;
};
constexpr int kRadioGroupCount = 7;
std::array<RadioGroup, kRadioGroupCount> RadioMarks(const Settings& s);

// Whether checked names an item of the group's menu popup.
bool IsMenuItem(const RadioGroup& g, unsigned checked);

// What the window does with a command beyond setting its value.
enum class CommandKind {
    kSetting,  // only the setting and the menu change
    kOpen,
    kSave,
    kScatter,
    kGatherEdges,
    kLayOut,
    kExit,
    kGuideOff,  // setting, then the guide closes when a puzzle is in progress
    kGuideOn,   // setting, then the guide opens when a puzzle is in progress
    kGrey,      // setting, then the board is recomposed when a puzzle is in progress
    kBackColor,
    kBackTile,
    kShape,
    kPattern,
    kHelp,
    kZoomFit,     // the view: the whole table, 100 %, one step nearer or farther
    kZoomActual,
    kZoomIn,
    kZoomOut,
};
CommandKind ClassifyCommand(unsigned id);

// The how-to-play page beside the program.
std::string HelpFilePath(const Settings& s);
