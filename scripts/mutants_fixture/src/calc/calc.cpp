#include "calc/calc.h"

// The three faults the script can plant here: `<=` for `<`, and the bound
// moved by one either way.
bool InRow(int column, int width) { return column < width; }
