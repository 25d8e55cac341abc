#pragma once

// Whether a column lies inside a row of the given width.
bool InRow(int column, int width);
