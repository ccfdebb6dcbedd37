// Any text read back as a font description: no overrun, and what is read
// writes out and reads back the same.
#include "font_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    CString text(input.c_str());
    FontDescription desc;
    uint32_t color = 0;
    ParseFontDescription(text, desc, color);
    CString written = FormatFontDescription(desc, color);
    FontDescription again;
    uint32_t color2 = 1;
    CString copy = written;
    ParseFontDescription(copy, again, color2);
    // A face name holding a comma is the one thing that does not come back.
    bool comma = std::string(desc.faceName).find(',') != std::string::npos;
    if (!comma && (!(again == desc) || color2 != color))
        std::abort();
    return 0;
}
