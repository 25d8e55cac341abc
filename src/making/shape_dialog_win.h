// The piece-shape dialog on Win32: the preview window of class BasicLineWin
// and the modeless dialog LINEDLG beside it.  The preview's window procedure
// hands every message to the dialog's state in the core (shape_dialog.h);
// the dialog only forwards its buttons to the preview.
#pragma once

#include <windows.h>

struct Settings;

// Opens the pair, both owned by the main window: the preview with a client
// area of 436 x 436 at the main window's client origin, the dialog against
// its right edge.  While the pair is open it is brought to the front
// instead; the settings record must outlive the pair.
void OpenShapeDialog(HINSTANCE instance, HWND mainWindow, Settings& settings);

// The open pair's windows, null while it is closed.
HWND ShapePreviewWindow();
HWND ShapeDialogWindow();

// The dialog's keyboard interface (Tab, Enter for OK, Esc for Cancel) for
// the message loop: true when msg was the dialog's and has been handled.
bool IsShapeDialogMessage(MSG& msg);
