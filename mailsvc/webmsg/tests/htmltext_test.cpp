// Escaping and placeholder filling of the web pages.
#include "webmsg/htmltext.h"

#include <gtest/gtest.h>

using webmsg::FillPlaceholders;

TEST(HtmlText, EscapesMarkupQuotesAndPlaceholderSigns)
{
    EXPECT_EQ(webmsg::EscapeHTML("<script>alert('x')</script>"),
              "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;");
    EXPECT_EQ(webmsg::EscapeHTML("a & \"b\" @userid@"), "a &amp; &quot;b&quot; &#64;userid&#64;");
    EXPECT_EQ(webmsg::EscapeHTML(""), "");
    EXPECT_EQ(webmsg::EscapeHTML(nullptr), "");
}

TEST(HtmlText, EscapesTextForLinks)
{
    EXPECT_EQ(webmsg::EscapeURLText("a-b_c.d~9Z"), "a-b_c.d~9Z");
    EXPECT_EQ(webmsg::EscapeURLText("a b?c#d%e@f&\"\xe9"), "a%20b%3Fc%23d%25e%40f%26%22%E9");
    EXPECT_EQ(webmsg::EscapeURLText(nullptr), "");
}

TEST(HtmlText, FillsPlaceholdersInOnePass)
{
    const webmsg::Placeholders values = {{"body", "@subject@ and @msgid@"}, {"subject", "S"}, {"msgid", "7"}};
    struct Case {
        const char* tmpl;
        const char* expect;
    } cases[] = {
        {"<p>@body@</p><b>@subject@</b>#@msgid@", "<p>@subject@ and @msgid@</p><b>S</b>#7"},
        {"@userid@ @assistant@", "@userid@ @assistant@"},  // not ours: left for the web server
        {"mail@example.com @subject@", "mail@example.com S"},
        {"@@subject@@", "@S@"},
        {"trailing @", "trailing @"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillPlaceholders(c.tmpl, values), c.expect) << c.tmpl;
}

TEST(HtmlText, BodyLineBreaks)
{
    EXPECT_EQ(webmsg::BodyToHTML("a\nb"), "a<br>b");
    EXPECT_EQ(webmsg::BodyToHTML("x{_cr_}y"), "x\ny");
    EXPECT_EQ(webmsg::BodyToHTML("1 < 2\n{_cr_}@date@"), "1 &lt; 2<br>\n&#64;date&#64;");
    // A page's own markup keeps its tags and gets the same line breaks.
    EXPECT_EQ(webmsg::MarkupToHTML("<a href=\"x\">[reply]</a>\n<b>{_cr_}"), "<a href=\"x\">[reply]</a><br><b>\n");
    EXPECT_EQ(webmsg::MarkupToHTML(nullptr), "");
}

TEST(HtmlText, PictureAndPlainNames)
{
    for (const char* yes : {"Photo.JPEG", "a.bmp", "x.GIF", "y.png", "jpg"})
        EXPECT_TRUE(webmsg::IsPictureName(yes)) << yes;
    for (const char* no : {"notes.txt", "pn", "", "picture.jpgx"})
        EXPECT_FALSE(webmsg::IsPictureName(no)) << no;
    for (const char* yes : {"1-notes.txt", "a b.doc", "..x"})
        EXPECT_TRUE(webmsg::IsPlainFileName(yes)) << yes;
    for (const char* no : {"", ".", "..", "..\\boot.ini", "../x", "C:x", "sub/x"})
        EXPECT_FALSE(webmsg::IsPlainFileName(no)) << no;
}
