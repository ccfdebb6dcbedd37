// The text form of a font description.
#include "font_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void FontDescription::SetFaceName(const char* name)
{
    std::memset(faceName, 0, sizeof faceName);
    if (name)
        std::strncpy(faceName, name, sizeof faceName - 1);
}

bool FontDescription::operator==(const FontDescription& o) const
{
    return height == o.height && width == o.width && escapement == o.escapement && orientation == o.orientation &&
           weight == o.weight && italic == o.italic && underline == o.underline && strikeOut == o.strikeOut &&
           charSet == o.charSet && outPrecision == o.outPrecision && clipPrecision == o.clipPrecision &&
           quality == o.quality && pitchAndFamily == o.pitchAndFamily &&
           std::strncmp(faceName, o.faceName, sizeof faceName) == 0;
}

CString FormatFontDescription(const FontDescription& d, uint32_t color)
{
    CString text;
    text.Format("%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%s", (int)d.height, (int)d.width, (int)d.escapement,
                (int)d.orientation, (int)d.weight, (int)d.italic, (int)d.underline, (int)d.strikeOut,
                (int)d.charSet, (int)d.outPrecision, (int)d.clipPrecision, (int)d.quality,
                (int)d.pitchAndFamily, d.faceName);
    CString tail;
    tail.Format(",%u", (unsigned)color);
    return text + tail;
}

namespace {

// The text up to the next comma, which is taken off with it; empty and
// nothing taken when there is no comma.
CString NextToken(CString& text)
{
    int comma = text.Find(',');
    if (comma < 0)
        return CString();
    CString token = text.Left(comma);
    text = text.Mid(comma + 1);
    return token;
}

// A signed number as the C library reads one (leading digits; otherwise 0),
// kept within 32 bits.
int32_t ReadLong(const CString& token)
{
    long long v = std::strtoll(token, nullptr, 10);
    if (v > INT32_MAX)
        v = INT32_MAX;
    if (v < INT32_MIN)
        v = INT32_MIN;
    return (int32_t)v;
}

} // namespace

void ParseFontDescription(CString& text, FontDescription& d, uint32_t& color)
{
    int32_t* longs[] = {&d.height, &d.width, &d.escapement, &d.orientation, &d.weight};
    for (int32_t* field : longs)
        *field = ReadLong(NextToken(text));
    uint8_t* bytes[] = {&d.italic, &d.underline, &d.strikeOut, &d.charSet, &d.outPrecision, &d.clipPrecision,
                        &d.quality, &d.pitchAndFamily};
    for (uint8_t* field : bytes)
        *field = (uint8_t)ReadLong(NextToken(text));
    d.SetFaceName(NextToken(text));
    color = (uint32_t)std::strtoull(text, nullptr, 10);
}
