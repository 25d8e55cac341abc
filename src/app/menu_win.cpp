#include "app/menu_win.h"

#include <shellapi.h>

#include "app/menu.h"
#include "base/text_win.h"
#include "config/settings.h"
#include "config/shell_texts.h"
#include "game/board_commands.h"
#include "game/clock.h"
#include "game/puzzle_game.h"
#include "game/save_game.h"
#include "game/start_screen.h"
#include "game/view_commands.h"
#include "making/shape_dialog_win.h"
#include "pattern/pattern_window_win.h"
#include "resource.h"
#include "views/choose_color_win.h"

// The core's identifiers are the resource's.
static_assert(IDM_OPEN == kCmdOpen && IDM_SAVE == kCmdSave && IDM_EXIT == kCmdExit);
static_assert(IDM_SAVE_EXIT_OFF == kCmdSaveExitOff && IDM_SCATTER == kCmdScatter);
static_assert(IDM_GATHER_EDGES == kCmdGatherEdges && IDM_LAY_OUT == kCmdLayOut);
static_assert(IDM_ROTATE_OFF == kCmdRotateOff && IDM_FLIP_OFF == kCmdFlipOff);
static_assert(IDM_GUIDE_OFF == kCmdGuideOff && IDM_GREY == kCmdGrey && IDM_SOUND_OFF == kCmdSoundOff);
static_assert(IDM_HINTS == kCmdHints);
static_assert(IDM_BACK_COLOR == kCmdBackColor && IDM_BACK_TILE == kCmdBackTile);
static_assert(IDM_SHAPE == kCmdShape && IDM_PATTERN == kCmdPattern && IDM_HELP == kCmdHelp);
static_assert(IDM_PIECES_BASE == kCmdPiecesBase && IDM_SIZE_BASE == kCmdSizeBase);
static_assert(IDM_ZOOM_FIT == kCmdZoomFit && IDM_ZOOM_ACTUAL == kCmdZoomActual);
static_assert(IDM_ZOOM_IN == kCmdZoomIn && IDM_ZOOM_OUT == kCmdZoomOut);

namespace {

// The popup stays: it is handed back with MF_POPUP, so only the text changes.
void Relabel(HMENU menu, int position, const std::string& label) {
    HMENU popup = GetSubMenu(menu, position);
    ModifyMenuW(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING | MF_POPUP,
                reinterpret_cast<UINT_PTR>(popup), Widen(label).c_str());
}

HMENU GroupPopup(HMENU menu, const RadioGroup& group) {
    HMENU popup = GetSubMenu(menu, group.top);
    if (popup && group.sub >= 0) popup = GetSubMenu(popup, group.sub);
    return popup;
}

void SetRadioMark(HMENU popup, const RadioGroup& group) {
    if (IsMenuItem(group, group.checked)) {
        CheckMenuRadioItem(popup, group.first, group.last, group.checked, MF_BYCOMMAND);
        return;
    }
    // A value no item carries: the group shows no mark at all.
    int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        UINT id = GetMenuItemID(popup, i);
        if (id >= group.first && id <= group.last) CheckMenuItem(popup, id, MF_BYCOMMAND | MF_UNCHECKED);
    }
}

// The view commands zoom at the pointer when it lies over the client area
// (a key), and at its centre otherwise (the menu).
Point PointerInClient(HWND window) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    return {p.x, p.y};
}

HINSTANCE InstanceOf(HWND window) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

void OpenHelp(PuzzleGame& g, HWND window) {
    const std::string path = HelpFilePath(*g.settings);
    HINSTANCE result = ShellExecuteW(window, nullptr, Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // The whole path, so that the player can open the page by hand.
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        g.host->MessageBox(std::string(kHelpFailedText) + "\n" + path, kProgramName, kMbOk,
                           Owner::kMainWindow);
}

}  // namespace

int MenuRefresh(HWND window, Settings& s, unsigned id) {
    int changed = ApplyMenuCommand(s, id);
    HMENU menu = GetMenu(window);
    if (!menu) return changed;
    Relabel(menu, kMenuPieces, PieceCountLabel(s.pieceCount));
    Relabel(menu, kMenuSize, SizeLabel(s.pictureSize));
    for (const RadioGroup& group : RadioMarks(s)) {
        if (HMENU popup = GroupPopup(menu, group)) SetRadioMark(popup, group);
    }
    // The grey item is a check item in the guide popup, shown with a radio
    // bullet when on.
    if (s.grey)
        CheckMenuRadioItem(menu, kCmdGrey, kCmdGrey, kCmdGrey, MF_BYCOMMAND);
    else
        CheckMenuItem(menu, kCmdGrey, MF_BYCOMMAND | MF_UNCHECKED);
    CheckMenuItem(menu, kCmdHints, MF_BYCOMMAND | (s.hintsOff ? MF_UNCHECKED : MF_CHECKED));
    DrawMenuBar(window);
    return changed;
}

void OnCommand(PuzzleGame& g, HWND window, unsigned id) {
    Settings& s = *g.settings;
    switch (ClassifyCommand(id)) {
        case CommandKind::kSetting:
            MenuRefresh(window, s, id);
            break;
        case CommandKind::kOpen:
            OpenCommand(g);
            break;
        case CommandKind::kSave:
            SaveGame(g, 1);
            break;
        case CommandKind::kScatter:
            ScatterCommand(g);
            break;
        case CommandKind::kGatherEdges:
            GatherEdgesCommand(g);
            break;
        case CommandKind::kLayOut:
            LayOutCommand(g);
            break;
        // The same sequence as the close box, save on exit included.
        case CommandKind::kExit:
            SendMessageW(window, WM_CLOSE, 0, 0);
            break;
        case CommandKind::kGuideOff:
            MenuRefresh(window, s, id);
            if (InProgress(g)) g.host->CloseGuide();
            break;
        case CommandKind::kGuideOn:
            MenuRefresh(window, s, id);
            if (InProgress(g)) g.host->OpenGuide(g.picture);
            break;
        case CommandKind::kGrey:
            MenuRefresh(window, s, id);
            GreyCommand(g);
            break;
        // Whether or not a puzzle is in progress.
        case CommandKind::kBackColor:
            if (ChooseSingleColor(window, *g.background, s, *g.host)) RefreshBoard(g);
            break;
        case CommandKind::kBackTile:
            // Browser slot 2 on the back folder; the choice comes as MSG_PICK.
            g.host->OpenBrowser(2, g.settings->backFolder, Point{0, 0}, 1);
            break;
        case CommandKind::kShape:
            OpenShapeDialog(InstanceOf(window), window, s);
            break;
        case CommandKind::kPattern:
            if (g.host->MessageBox(kPatternBoxText, kProgramName, kMbOkCancel, Owner::kMainWindow) == kIdOk)
                OpenPatternWindow(InstanceOf(window), window);
            break;
        case CommandKind::kHelp:
            OpenHelp(g, window);
            break;
        case CommandKind::kZoomFit:
            OnZoomCommand(g, ZoomCommand::kFit, PointerInClient(window));
            break;
        case CommandKind::kZoomActual:
            OnZoomCommand(g, ZoomCommand::kActualSize, PointerInClient(window));
            break;
        case CommandKind::kZoomIn:
            OnZoomCommand(g, ZoomCommand::kIn, PointerInClient(window));
            break;
        case CommandKind::kZoomOut:
            OnZoomCommand(g, ZoomCommand::kOut, PointerInClient(window));
            break;
    }
}
