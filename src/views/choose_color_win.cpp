#include "views/choose_color_win.h"

#include <commdlg.h>

#include "config/settings.h"
#include "views/background.h"

namespace {

// The dialog's custom colours, kept for the whole run (black at start).
COLORREF g_customColors[16] = {};

}  // namespace

int ChooseSingleColor(HWND owner, Background& bg, Settings& settings, Host& host) {
    CHOOSECOLORW cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = settings.backColor;
    cc.lpCustColors = g_customColors;
    cc.Flags = CC_RGBINIT;
    if (!ChooseColorW(&cc)) return 0;
    SetSingleColor(bg, settings, host, cc.rgbResult);
    return 1;
}
