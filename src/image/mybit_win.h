// The two places where a MYBIT meets the GDI: putting it on the screen and
// drawing text into it.
#pragma once

#include <windows.h>

#include <string>

#include "base/dpi_scale.h"
#include "image/mybit.h"

// Draws the whole picture with its top-left corner at (x, y) of the window's
// client area (form 1) or of a device context the caller holds (form 2).
void DIsplay(const MYBIT& bit, int x, int y, HWND window);
void DIsplay(const MYBIT& bit, int x, int y, HDC dc);
// Only the part r of the picture, at the same place of the device context.
void DIsplayPart(const MYBIT& bit, const Rect& r, HDC dc);

// Draws UTF-8 text centred across rect (picture coordinates, y from the top)
// in the text colour on an opaque background colour, with the device
// context's default font at 96 DPI, and that font's face made as much larger
// as the DPI asks at any other.  Only the part of rect inside the picture
// changes.
void DrawTextBox(MYBIT& bit, const std::string& text, Rect rect, ColorRef textColor, ColorRef backColor,
                 int dpi = kBaseDpi);
