// The background: the table over which the pieces lie.  Between puzzles,
// and for any picture up to half the screen, it has the screen's size, so
// that the main window can grow up to the screen without rebuilding it; a
// larger picture gets a larger table (TableSizeFor).  It is one colour or a
// picture repeated as tiles, optionally with a faded grey copy of the
// puzzle's picture centred where the pieces are laid out, as a hint.
#pragma once

#include <string>

#include "base/geom.h"
#include "image/mybit.h"

class Host;
struct Settings;

struct Background {
    MYBIT boardPicture;  // what the main window shows: clean board with every piece
    MYBIT cleanBoard;    // colour or tiles, with the grey picture when present
    MYBIT plain;         // colour or tiles only, at the screen's size whatever the table's
    MYBIT grey;          // faded copy of the puzzle's picture; present when it has pixels
    MYBIT tile;          // what the plain background repeats; empty for the single colour
    ColorRef color = 0;  // the single colour, when there is no tile
    uint32_t margin = 0;  // pixel word shown beside the table: the background darkened
};

// At start-up, once the main window exists: all surfaces at the screen's
// size, filled with the single colour or, when the tile setting names a
// file (relative to the program's folder, or absolute), its tiles.  A tile
// file that is missing at start-up clears the setting without a message.
void InitBackground(Background& bg, Settings& settings, Host& host);

// A path from the settings: relative ones are taken from the base folder.
std::string ResolveFromBase(const Settings& settings, const std::string& path);

// Makes the background from the tiles of a picture file and remembers the
// path in the settings.  A file that cannot be read (the reader shows its
// message) clears the tile setting and leaves the background as it was;
// the result is then 0.
int LoadTile(Background& bg, Settings& settings, Host& host, const std::string& path);

// The tile repeated from the top-left corner over the whole clean board;
// the plain background becomes a copy, and the grey picture goes on top.
void SetTile(Background& bg, Host& host, const MYBIT& tile);

// A chosen single colour: it replaces the tiles, now and at the next start.
void SetSingleColor(Background& bg, Settings& settings, Host& host, ColorRef color);

// Makes or removes the grey picture as the grey setting says.
void SetGreyPicture(Background& bg, const Settings& settings, Host& host, const MYBIT& picture);
void RemoveGreyPicture(Background& bg);

// The light, almost colourless copy: luma * 0.5 + 50 and chroma * 0.1 on
// the 0 .. 100 scales, hue kept.
void MakeGreyPicture(MYBIT& grey, const MYBIT& picture);

// Where a picture of size w x h is centred in the play area now (PlayArea:
// the client area as it is now, or the whole of a table larger than the
// screen).
Point CentredAt(const Background& bg, Host& host, int w, int h);

// The table becomes w x h: the clean board and the board picture are made
// anew at that size from the plain background (and the grey picture) when
// their size differs; callers repaint the pieces.  Nothing is made for a
// background whose board picture is empty.
void SetTableSize(Background& bg, Host& host, Size table);
Size TableSize(const Background& bg);

// Brings the board picture up to date: the clean board (with the grey
// picture centred in the play area as it is now) and no piece.  Callers
// repaint the pieces.
void ComposeBoard(Background& bg, Host& host);
