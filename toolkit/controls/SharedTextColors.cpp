// Where the toolkit's controls get the shared text colours.
#include "SharedTextColors.h"

#if __has_include("options/wmoptions.h")
#include "options/wmoptions.h"
#define VX_HAVE_SHARED_OPTIONS 1
#endif

namespace SharedTextColors {

#ifdef VX_HAVE_SHARED_OPTIONS
namespace {
// Keeps the shared options (and their registry connection) loaded.
CWMOptions& Options()
{
    static CWMOptions options;
    return options;
}
} // namespace

void Load() { Options().Init(); }

COLORREF ForMode(int mode)
{
    switch (mode) {
    case 1: return CWMOptions::ColorText2;
    case 2: return CWMOptions::ColorText3;
    default: return CWMOptions::ColorText1;
    }
}
#else
// Built without the shared options: their stored defaults.
void Load() {}

COLORREF ForMode(int mode)
{
    switch (mode) {
    case 1: return RGB(192, 192, 192);
    case 2: return RGB(255, 64, 64);
    default: return RGB(255, 255, 255);
    }
}
#endif

} // namespace SharedTextColors
