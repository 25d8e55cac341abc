// The background: surfaces of the screen's size over which the pieces lie.
#pragma once

#include "image/mybit.h"

struct Background {
    MYBIT boardPicture;  // what the main window shows: clean board with every piece
    MYBIT cleanBoard;    // colour or tiles, with the grey picture when present
    MYBIT plain;         // colour or tiles only
    MYBIT grey;          // faded copy of the puzzle's picture; present when it has pixels
};
