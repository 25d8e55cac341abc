// Tests the edge from outside only: `<=` and `width + 1` let the column at
// the edge in and are caught; `width - 1` still answers both cases as the
// original does and is the one survivor the self-test expects.
#include <cstdio>

#include "calc/calc.h"

int main() {
    if (!InRow(3, 5) || InRow(5, 5)) {
        std::puts("InRow: wrong answer");
        return 1;
    }
    return 0;
}
