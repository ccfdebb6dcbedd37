// The text form of a font description.
#include "font_text.h"

#include <gtest/gtest.h>

TEST(FontText, DefaultDescriptionText)
{
    FontDescription d;
    EXPECT_STREQ(FormatFontDescription(d, 0), "-12,0,0,0,400,0,0,0,0,0,0,2,18,Times New Roman,0");
}

TEST(FontText, RoundTripsEveryField)
{
    struct Case {
        FontDescription desc;
        uint32_t color;
    };
    std::vector<Case> cases;
    cases.push_back({FontDescription(), 0});
    FontDescription all;
    all.height = 2147483647;
    all.width = -2147483647 - 1;
    all.escapement = 900;
    all.orientation = -900;
    all.weight = 700;
    all.italic = 1;
    all.underline = 255;
    all.strikeOut = 1;
    all.charSet = 204;
    all.outPrecision = 3;
    all.clipPrecision = 2;
    all.quality = 5;
    all.pitchAndFamily = 0x31;
    all.SetFaceName("Arial Narrow Special Bold Face 1");  // 32 characters: kept to 31
    cases.push_back({all, 0xFFFFFFFFu});
    FontDescription empty;
    empty.SetFaceName("");
    cases.push_back({empty, 0x00FF8040u});

    for (const Case& c : cases) {
        CString text = FormatFontDescription(c.desc, c.color);
        FontDescription back;
        back.SetFaceName("something else");
        uint32_t color = 1234;
        CString rest = text;
        ParseFontDescription(rest, back, color);
        EXPECT_TRUE(back == c.desc) << (LPCTSTR)text;
        EXPECT_EQ(color, c.color) << (LPCTSTR)text;
        EXPECT_STREQ(FormatFontDescription(back, color), text);
    }
    EXPECT_STREQ(all.faceName, "Arial Narrow Special Bold Face ");
}

TEST(FontText, ShortAndMalformedTexts)
{
    // Fields run out: a field with no comma after it reads as 0 and the
    // remaining text becomes the colour.
    FontDescription d;
    uint32_t color = 7;
    CString text = "-20,5,7";
    ParseFontDescription(text, d, color);
    EXPECT_EQ(d.height, -20);
    EXPECT_EQ(d.width, 5);
    EXPECT_EQ(d.escapement, 0);
    EXPECT_EQ(d.weight, 0);
    EXPECT_EQ(d.quality, 0);
    EXPECT_STREQ(d.faceName, "");
    EXPECT_EQ(color, 7u);
    EXPECT_STREQ(text, "7");

    // Garbage numbers read as what their leading digits say; bytes keep their low 8 bits.
    text = "x,12abc,,,,257,0,0,0,0,0,0,0,Courier,99 trailing";
    ParseFontDescription(text, d, color);
    EXPECT_EQ(d.height, 0);
    EXPECT_EQ(d.width, 12);
    EXPECT_EQ(d.italic, 1);
    EXPECT_STREQ(d.faceName, "Courier");
    EXPECT_EQ(color, 99u);

    // A face name with a comma cannot come back whole.
    FontDescription comma;
    comma.SetFaceName("A,B");
    CString written = FormatFontDescription(comma, 5);
    FontDescription back;
    ParseFontDescription(written, back, color);
    EXPECT_STREQ(back.faceName, "A");
}
