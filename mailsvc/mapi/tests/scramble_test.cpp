// The shared scrambling and the logon's failure texts.
#include <gtest/gtest.h>

#include <string>

#include "mapi/zlm_mapi.h"
#include "mapi/text_scramble.h"

TEST(TextScramble, EveryByteValueRoundTripsWithEveryRotation)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    for (int key : {0, 1, 2, 3, 4, 5, 6, 7, 8, 13, -1, -3, -8, -13}) {
        SCOPED_TRACE(key);
        CString text(all.c_str());
        ZLMScrambleText(text, key);
        ASSERT_EQ(3 * 255, text.GetLength());
        for (int i = 0; i < text.GetLength(); ++i) {
            char c = text[i];
            if (i % 3 == 2)
                ASSERT_EQ(' ', c);
            else
                ASSERT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << i;
        }
        CString other(all.c_str());
        ZLMScrambleText(other, key + 8);
        EXPECT_EQ(text, other) << "keys 8 apart scramble alike";
        ZLMUnscrambleText(text, key);
        EXPECT_EQ(all, std::string(static_cast<LPCSTR>(text)));
    }
}

TEST(TextScramble, KnownGroups)
{
    struct Case {
        const char* plain;
        int key;
        const char* scrambled;
    };
    const Case cases[] = {
        {"", 3, ""},
        {"A", 0, "BE "},            // 255 - 0x41
        {"\xF0", 0, "0F "},         // a value below 16 keeps its leading zero
        {"A", 1, "7D "},            // 0x41 rotated left once is 0x82
        {"A", -1, "5F "},           // rotated right once: 0xA0
        {"ab", 2, "7A 76 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plain);
        CString text(c.plain);
        ZLMScrambleText(text, c.key);
        EXPECT_EQ(CString(c.scrambled), text);
        ZLMUnscrambleText(text, c.key);
        EXPECT_EQ(CString(c.plain), text);
    }
}

TEST(TextScramble, UnscrambleToleratesSpacingAndStrayCharacters)
{
    CString plain("Pass");
    ZLMScrambleText(plain, 5);
    CString spaced = plain;
    spaced.Replace(" ", " \t\r\n  ");
    CString expected("Pass");
    ZLMUnscrambleText(spaced, 5);
    EXPECT_EQ(expected, spaced);

    CString blanks(" \t\r\n\v\f ");
    ZLMUnscrambleText(blanks, 5);
    EXPECT_EQ(CString(""), blanks);

    EXPECT_EQ(15u, ZLMHexToLong("0f"));
    EXPECT_EQ(15u, ZLMHexToLong("0F"));
    EXPECT_EQ(1u, ZLMHexToLong("G1"));
    EXPECT_EQ(0u, ZLMHexToLong(""));

    // A token of value 255 gives the byte 0, which a text cannot hold: skipped.
    CString withZero("FF BE");
    ZLMUnscrambleText(withZero, 0);
    EXPECT_EQ(CString("A"), withZero);

    CString text("  one\t two  ");
    EXPECT_EQ(CString("one"), ZLMParseOneArg(text));
    EXPECT_EQ(CString("two  "), text);
    EXPECT_EQ(CString("two"), ZLMParseOneArg(text));
    EXPECT_EQ(CString(""), text);
    EXPECT_EQ(CString(""), ZLMParseOneArg(text));
}

TEST(LogonTexts, OneTextPerResult)
{
    EXPECT_EQ(CString(""), CMAPILogon::GetErrorText(0));
    EXPECT_EQ(CString("  Login Cancelled.\r\n"), CMAPILogon::GetErrorText(1));
    EXPECT_EQ(CString("  One or more unspecified errors occurred during logon to email program.\r\n"),
              CMAPILogon::GetErrorText(2));
    EXPECT_EQ(CString("  Insufficient memory to proceed.\r\n"), CMAPILogon::GetErrorText(5));
    EXPECT_EQ(CString("  There are too many applications using your email MAPI interface.  Please close some "
                      "of those applications first.\r\n"),
              CMAPILogon::GetErrorText(8));
    for (ULONG other : {4u, 19u, 95u, 97u, 0xFFFFFFFFu})
        EXPECT_EQ(CString("  Unknown error has occurred.\r\n"), CMAPILogon::GetErrorText(other)) << other;

    CString failure = CMAPILogon::GetErrorText(3);
    EXPECT_EQ(0, failure.Find("  Vindalex could not log into your email program. Please check:\r\n"
                              "   - You have your email program running\r\n"
                              "   - If you normally type a name and or password, you have entered them in the "
                              "mail tab of properties\r\n"
                              "   - Your email program is the default MAPI server\r\n"
                              "  Please visit http://"));
    EXPECT_NE(-1, failure.Find("/software/Vindalex/Vindalex.html and choose Troubleshooting\r\n"
                               "  from the contents if problems persist.\r\n"));
    EXPECT_EQ(6, CString(failure).Replace("\r\n", "\r\n"));
}
