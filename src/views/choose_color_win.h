// The single-colour background chosen with the system colour dialog.
#pragma once

#include <windows.h>

class Host;
struct Background;
struct Settings;

// Menu "単一色...": the colour dialog opens on the current colour.  A chosen
// colour replaces the tiles (now and at the next start) and the result is 1;
// cancelled, nothing changes and the result is 0.  The caller redraws.
int ChooseSingleColor(HWND owner, Background& bg, Settings& settings, Host& host);
