// The text form of a font description: the thirteen numeric fields of a
// LOGFONT, the face name and the colour, separated by commas
// ("-12,0,0,0,400,0,0,0,0,0,0,2,18,Times New Roman,0"). Portable, so the
// format is tested on every build.
#pragma once

#include "fx/string.h"

#include <cstdint>

struct FontDescription {
    int32_t height = -12;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 400;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 2;
    uint8_t pitchAndFamily = 18;
    char faceName[32] = "Times New Roman";

    // Stores at most 31 characters of name.
    void SetFaceName(const char* name);
    bool operator==(const FontDescription& o) const;
};

// The description and colour as one line of text.
CString FormatFontDescription(const FontDescription& desc, uint32_t color);

// Reads a description from the front of text, which is shortened as the
// fields are taken. Each of the fourteen fields runs up to the next comma; a
// field with no comma after it reads as empty (0) and leaves the text as it
// is. What remains afterwards is read as the colour.
void ParseFontDescription(CString& text, FontDescription& desc, uint32_t& color);
