// The shared appearance options' three text colours, as the toolkit's
// controls read them.
#pragma once

#include "fx/fxwin.h"

namespace SharedTextColors {
// Makes the shared options load their stored values (once per process).
void Load();
// 0, 1, 2: the first, second, third text colour; any other value the first.
COLORREF ForMode(int mode);
} // namespace SharedTextColors
