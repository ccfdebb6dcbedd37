#include "http_parse.h"

#include <gtest/gtest.h>

using namespace websrv;

TEST(HttpParse, RequestLines)
{
    struct Case {
        const char* line;
        bool ok;
        int verb;
        const char* url;
        const char* query;
        unsigned version;
    } cases[] = {
        {"GET /index.html HTTP/1.0", true, HTTP_VERB_GET, "/index.html", "", MakeHttpVersion(1, 0)},
        {"get /a%20b.txt HTTP/1.1", true, HTTP_VERB_GET, "/a b.txt", "", MakeHttpVersion(1, 1)},
        {"GET /x", true, HTTP_VERB_GET, "/x", "", kHttpVersion09},
        {"HEAD /x", false, HTTP_VERB_HEAD, "/x", "", kHttpVersion09},
        {"POST /f.kvx?a=1?b=2 HTTP/1.0", true, HTTP_VERB_POST, "/f.kvx", "a=1?b=2", MakeHttpVersion(1, 0)},
        // The query is split off before decoding: an encoded "?" is path.
        {"GET /a%3Fb?c=%41 HTTP/1.0", true, HTTP_VERB_GET, "/a?b", "c=%41", MakeHttpVersion(1, 0)},
        {"GET /50% HTTP/1.0", true, HTTP_VERB_GET, "/50%", "", MakeHttpVersion(1, 0)},
        {"GET /a%4 HTTP/1.0", true, HTTP_VERB_GET, "/a%4", "", MakeHttpVersion(1, 0)},
        {"BREW /pot HTTP/1.0", true, HTTP_VERB_UNKNOWN, "/pot", "", MakeHttpVersion(1, 0)},
        {"GET / FTP/1.0", false, HTTP_VERB_GET, "/", "", 0},
        {"GET / HTTP/x.y", false, HTTP_VERB_GET, "/", "", 0},
        {"GET", false, HTTP_VERB_GET, "", "", 0},
        {"", false, HTTP_VERB_UNKNOWN, "", "", 0},
    };
    for (const Case& c : cases) {
        HttpRequest r;
        EXPECT_EQ(ParseRequestLine(c.line, r), c.ok) << c.line;
        EXPECT_EQ(r.verb, c.verb) << c.line;
        EXPECT_EQ(r.url, c.url) << c.line;
        EXPECT_EQ(r.query, c.query) << c.line;
        if (c.ok)
            EXPECT_EQ(r.version, c.version) << c.line;
    }
}

TEST(HttpParse, CredentialsInUrlAndHeader)
{
    HttpRequest r;
    ASSERT_TRUE(ParseRequestLine("GET ann:se%20cret@/~private/ HTTP/1.0", r));
    EXPECT_TRUE(r.credentials);
    EXPECT_EQ(r.user, "ann");
    EXPECT_EQ(r.password, "se cret");
    EXPECT_EQ(r.url, "/~private/");

    struct Case {
        const char* value;
        bool ok;
        const char* user;
        const char* password;
    } cases[] = {
        {"Basic YW5uOnB3", true, "ann", "pw"},
        {"Basic YW5uOnB3OmV4dHJh", true, "ann", "pw:extra"},
        {"Basic YW5u", false, "", ""},         // no colon
        {"Basic YW5u*nB3", false, "", ""},     // outside the alphabet
        {"basic YW5uOnB3", false, "", ""},     // scheme is case-sensitive here
        {"Basic", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string u, p;
        EXPECT_EQ(ParseAuthorization(c.value, u, p), c.ok) << c.value;
        if (c.ok) {
            EXPECT_EQ(u, c.user);
            EXPECT_EQ(p, c.password);
        }
    }
}

TEST(HttpParse, Base64IsBoundedByItsInput)
{
    std::string out;
    EXPECT_EQ(Base64Decode("", out), 0);
    EXPECT_EQ(Base64Decode("TWFu", out), 3);
    EXPECT_EQ(out, "Man");
    out.clear();
    EXPECT_EQ(Base64Decode("TWE=", out), 2);
    EXPECT_EQ(out, "Ma");
    out.clear();
    std::string big(100000, 'A');  // would overrun any fixed buffer
    EXPECT_EQ(Base64Decode(big, out), 75000);
    std::string withNul("TW\0u", 4);
    out.clear();
    EXPECT_EQ(Base64Decode(withNul, out), 0);
}

TEST(HttpParse, Dates)
{
    struct Case {
        const char* text;
        bool ok;
        int y, mo, d, h, mi, s, dow;
    } cases[] = {
        {"Sun, 06 Nov 1994 08:49:37 GMT", true, 1994, 11, 6, 8, 49, 37, 0},
        {"Sunday, 06-Nov-94 08:49:37 GMT", true, 1994, 11, 6, 8, 49, 37, 0},
        {"Monday, 07-Nov-11 08:49:37 GMT", true, 2011, 11, 7, 8, 49, 37, 1},
        {"Sun Nov  6 08:49:37 1994", true, 1994, 11, 6, 8, 49, 37, 0},
        {"Sun, 06 Foo 1994 08:49:37 GMT", false, 0, 0, 0, 0, 0, 0, 0},
        {"Xyz, 06 Nov 1994 08:49:37 GMT", false, 0, 0, 0, 0, 0, 0, 0},
        {"Sun, 06 Nov 1994 08:49", false, 0, 0, 0, 0, 0, 0, 0},
        {"Sun,", false, 0, 0, 0, 0, 0, 0, 0},
        {"Sun, 99999999999999 Nov 1994 08:49:37 GMT", false, 0, 0, 0, 0, 0, 0, 0},
        {"Sun, 06 Nov 1994 25:49:37 GMT", false, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        HttpDate d;
        EXPECT_EQ(ParseDate(c.text, d), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(d.year, c.y);
            EXPECT_EQ(d.month, c.mo);
            EXPECT_EQ(d.day, c.d);
            EXPECT_EQ(d.hour, c.h);
            EXPECT_EQ(d.minute, c.mi);
            EXPECT_EQ(d.second, c.s);
            EXPECT_EQ(d.dayOfWeek, c.dow);
            EXPECT_EQ(FormatHttpDate(d).substr(0, 3), c.text[0] == 'S' ? "Sun" : "Mon");
        }
    }
    HttpDate d;
    ASSERT_TRUE(ParseDate("Thu, 10 Dec 2026 13:00:05 GMT", d));
    EXPECT_EQ(FormatHttpDate(d), "Thu, 10 Dec 2026 13:00:05 GMT");
}

TEST(HttpParse, HeadersAreCaseInsensitiveAndBodyCutToLength)
{
    HttpRequest r;
    const char* head =
        "POST /~a/AssistantReply.kvx HTTP/1.0\r\ncontent-length: 5\r\nIF-MODIFIED-SINCE: Sun, 06 Nov 1994 08:49:37 "
        "GMT\r\nhost:  x \r\nauthorization: Basic YW5uOnB3\r\n\r\n";
    ASSERT_TRUE(ParseRequest(head, "a=1&b=2", r));
    EXPECT_EQ(r.form, "a=1&b");
    EXPECT_EQ(r.contentLength, 5);
    EXPECT_TRUE(r.ifModifiedSincePresent);
    EXPECT_EQ(r.host, "x");
    EXPECT_TRUE(r.credentials);
    EXPECT_EQ(r.user, "ann");
    EXPECT_EQ(r.requestLine, "POST /~a/AssistantReply.kvx HTTP/1.0");
    // A body with ":" in it is still the form.
    HttpRequest r2;
    ASSERT_TRUE(ParseRequest("POST / HTTP/1.0\r\nContent-Length: 9\r\n\r\n", "req=a:b&c", r2));
    EXPECT_EQ(r2.form, "req=a:b&c");
}

TEST(HttpParse, ReaderCapsHeadAndBody)
{
    {
        RequestReader reader;
        // Split terminator over two feeds.
        EXPECT_EQ(reader.Feed("GET / HTTP/1.0\r\n", 16), RequestReader::NeedMore);
        EXPECT_EQ(reader.Feed("\r\n", 2), RequestReader::Complete);
        EXPECT_EQ(reader.Head(), "GET / HTTP/1.0\r\n\r\n");
    }
    {
        RequestReader reader;
        std::string head = "POST / HTTP/1.0\r\nCONTENT-LENGTH: 4\r\n\r\nab";
        EXPECT_EQ(reader.Feed(head.data(), head.size()), RequestReader::NeedMore);
        EXPECT_EQ(reader.Feed("cdEXTRA", 7), RequestReader::Complete);
        EXPECT_EQ(reader.Body(), "abcd");
    }
    {
        // HTTP/0.9 ends with its one line.
        RequestReader reader;
        EXPECT_EQ(reader.Feed("GET /a.txt", 10), RequestReader::NeedMore);
        EXPECT_EQ(reader.Feed("\r\n", 2), RequestReader::Complete);
        HttpRequest r;
        ASSERT_TRUE(ParseRequest(reader.Head(), reader.Body(), r));
        EXPECT_EQ(r.version, kHttpVersion09);
        EXPECT_EQ(r.url, "/a.txt");
    }
    // Bare LF line ends, whole or byte by byte: the head ends at the first
    // empty line, the body follows by its length.
    struct LineEnds {
        std::string text, head, body;
    } ends[] = {
        {"POST /f HTTP/1.0\nContent-Length: 3\n\nabcX", "POST /f HTTP/1.0\nContent-Length: 3\n\n", "abc"},
        {"GET / HTTP/1.0\nHost: x\r\n\r\n", "GET / HTTP/1.0\nHost: x\r\n\r\n", ""},
        {"GET / HTTP/1.0\r\nHost: x\n\r\n", "GET / HTTP/1.0\r\nHost: x\n\r\n", ""},
    };
    for (const LineEnds& c : ends) {
        for (bool bytewise : {false, true}) {
            RequestReader reader;
            RequestReader::State state = RequestReader::NeedMore;
            if (bytewise)
                for (std::size_t i = 0; i < c.text.size() && state == RequestReader::NeedMore; ++i)
                    state = reader.Feed(&c.text[i], 1);
            else
                state = reader.Feed(c.text.data(), c.text.size());
            EXPECT_EQ(state, RequestReader::Complete) << c.text << " bytewise " << bytewise;
            EXPECT_EQ(reader.Head(), c.head);
            EXPECT_EQ(reader.Body(), c.body);
            HttpRequest r;
            EXPECT_TRUE(ParseRequest(reader.Head(), reader.Body(), r)) << c.text;
            EXPECT_EQ(r.version, MakeHttpVersion(1, 0));
        }
    }
    struct Case {
        std::string text;
        RequestReader::State state;
    } cases[] = {
        {"GET / HTTP/1.0\nX: " + std::string(kMaxRequestHead, 'a') + "\n\n", RequestReader::TooLarge},
        {"GET / HTTP/1.0\r\nX: " + std::string(kMaxRequestHead, 'a'), RequestReader::TooLarge},
        {"GET / HTTP/1.0\r\nX: " + std::string(kMaxRequestHead, 'a') + "\r\n\r\n", RequestReader::TooLarge},
        {"POST / HTTP/1.0\r\nContent-Length: 99999999\r\n\r\n", RequestReader::TooLarge},
        {"POST / HTTP/1.0\r\nContent-Length: -1\r\n\r\n", RequestReader::TooLarge},
        {"POST / HTTP/1.0\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab", RequestReader::TooLarge},
        {"POST / HTTP/1.0\r\nContent-Length: 2\r\nContent-Length: 2\r\n\r\nab", RequestReader::Complete},
    };
    for (const Case& c : cases) {
        RequestReader reader;
        EXPECT_EQ(reader.Feed(c.text.data(), c.text.size()), c.state) << c.text.substr(0, 60);
    }
}

TEST(HttpParse, FormsDecodeInTheRightOrder)
{
    struct Case {
        const char* encoded;
        const char* name;
        const char* value;
    } cases[] = {
        {"req=a+b", "req", "a b"},
        {"req=1%2B1", "req", "1+1"},                 // a literal plus stays a plus
        {"req=a%26UserID%3Dx&UserID=u", "UserID", "u"},  // encoded "&" cannot add a field
        {"req=a%26UserID%3Dx&UserID=u", "req", "a&UserID=x"},
        {"req=%7CB1%3D&UserID=u", "req", "|B1="},
        {"a=%zz", "a", "%zz"},
        {"empty=", "empty", ""},
        {"flag", "flag", ""},
    };
    for (const Case& c : cases) {
        FormFields f = ParseFormFields(c.encoded);
        bool present = false;
        EXPECT_EQ(FormValue(f, c.name, &present), c.value) << c.encoded;
        EXPECT_TRUE(present) << c.encoded;
    }
    // "|" in a value cannot become a field of the joined text.
    FormFields f = ParseFormFields("Subjt=x%7CEmAddr%3Devil%40x&EmAddr=good%40x&MBody=b");
    std::string joined = BuildFormText(f);
    EXPECT_EQ(joined.find("|EmAddr=evil"), std::string::npos);
    FormFields back = SplitFormText(joined);
    EXPECT_EQ(FormValue(back, "EmAddr"), "good@x");
    EXPECT_EQ(FormValue(back, "Subjt"), "x\xA6" "EmAddr=evil@x");
    EXPECT_EQ(back.size(), 3u);
}

TEST(HttpParse, QueriesSplitAtQuestionMarksAndAmpersands)
{
    // The messages' links join their fields with "?"; a form sent with GET
    // joins them with "&". Fields split before decoding, as for posted forms.
    struct Case {
        const char* query;
        const char* name;
        const char* value;
    } cases[] = {
        {"req=FullMsgRead?UserID=u1?MessageID=7?USRBTN1=MsgReply", "UserID", "u1"},
        {"req=FullMsgRead?UserID=u1?MessageID=7?USRBTN1=MsgReply", "MessageID", "7"},
        {"req=FullMsgRead?UserID=u1?MessageID=7?USRBTN1=MsgReply", "USRBTN1", "MsgReply"},
        {"req=FullMsgRead?UserID=u1?MessageID=7?USRBTN12=Read", "USRBTN12", "Read"},
        {"req=FullMsgRead?UserID=u1?MessageID=7?USRBTN12=Read", "req", "FullMsgRead"},
        {"UserID=u1&req=a+b", "req", "a b"},
        {"req=a%3FUserID%3Dx?UserID=u", "UserID", "u"},  // encoded "?" cannot add a field
        {"req=a%3FUserID%3Dx?UserID=u", "req", "a?UserID=x"},
    };
    for (const Case& c : cases) {
        FormFields f = ParseQueryFields(c.query);
        bool present = false;
        EXPECT_EQ(FormValue(f, c.name, &present), c.value) << c.query;
        EXPECT_TRUE(present) << c.query;
    }
    // What a message receives from a link: the fields joined with "|".
    EXPECT_EQ(BuildFormText(ParseQueryFields("req=FullMsgRead?UserID=u1?MessageID=7?USRBTN1=MsgForward")),
              "req=FullMsgRead|UserID=u1|MessageID=7|USRBTN1=MsgForward");
    // A posted body keeps "?" inside its values.
    EXPECT_EQ(FormValue(ParseFormFields("req=what+time?&UserID=u"), "req"), "what time?");
}

TEST(HttpParse, StoredColoursBecomePageColours)
{
    // Stored colours keep blue in the high byte; pages write red first.
    struct Case {
        std::uint32_t stored;
        const char* page;
    } cases[] = {
        {0xFFFFFF, "ffffff"}, {0x000000, "000000"}, {0x0000CC, "cc0000"},
        {0x551A8B, "8b1a55"}, {0xFF0000, "0000ff"}, {0x01020304, "040302"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HtmlColour(c.stored), c.page) << std::hex << c.stored;
}

TEST(HttpParse, PathsAndAliases)
{
    struct Case {
        const char* path;
        bool safe;
    } cases[] = {
        {"/index.html", true},   {"/~Ann-Lee/login.html", true}, {"/a b/c.txt", true},
        {"/../x", false},        {"/a/..", false},               {"/a\\..\\b", false},
        {"/a\r\nb", false},      {"/a\x01", false},              {"/c:/windows", false},
        {"", false},             {"/file.txt::$DATA", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSafeURLPath(c.path), c.safe) << c.path;
    EXPECT_FALSE(IsSafeURLPath(std::string("/a\0b", 4)));
    EXPECT_EQ(NormaliseAlias("/"), "\\");
    EXPECT_EQ(NormaliseAlias("~private"), "\\~private\\");
    EXPECT_EQ(NormaliseAlias("/docs"), "\\docs\\");
    EXPECT_EQ(NormaliseAlias("\\x"), "\\x\\");
}

TEST(HttpParse, TemplatesAndEscaping)
{
    EXPECT_EQ(EscapeHTML("<script>alert('x')</script>&\"@"),
              "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&amp;&quot;&#64;");
    // Inserted text is never searched again.
    EXPECT_EQ(FillTemplate("a @x@ b @y@ @z@ mail@host", {{"x", "@y@"}, {"y", "Y"}}), "a @y@ b Y @z@ mail@host");
    EXPECT_EQ(EscapeURLSegment("a b&c.txt"), "a%20b%26c.txt");
    EXPECT_EQ(EscapeURLSegment("/~p/a b/", true), "/~p/a%20b/");
}

TEST(HttpParse, AccessLogLinesAreData)
{
    const unsigned char addr[4] = {127, 0, 0, 1};
    LogTime t = {2026, 12, 10, 13, 5, 9, -60};
    EXPECT_EQ(FormatAccessLogLine(addr, "", t, "GET /a HTTP/1.0", 200, 1234),
              "127.0.0.1 - - [10/Dec/2026:13:05:09 -060] \"GET /a HTTP/1.0\" 200 1234\n");
    std::string line = FormatAccessLogLine(addr, "ann\r\nx", t, "GET /%s%n%x\r\n127.0.0.1 fake", 404, 0);
    EXPECT_EQ(line.find('\r'), std::string::npos);
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    EXPECT_NE(line.find("GET /%s%n%x\\r\\n127.0.0.1 fake"), std::string::npos);
    EXPECT_NE(line.find("ann\\r\\nx"), std::string::npos);
}

TEST(HttpParse, UserIdsAreRandomHex)
{
    unsigned char r[16];
    for (int i = 0; i < 16; ++i)
        r[i] = static_cast<unsigned char>(i * 17);
    EXPECT_EQ(MakeUserId(r, false), "00112233445566778899aabbccddeeff");
    EXPECT_EQ(MakeUserId(r, true), "t00112233445566778899aabbccddeeff");
}

TEST(HttpParse, StatusLinesAndTypes)
{
    EXPECT_STREQ(StatusLine(304), "HTTP/1.0 304 Not Modified\r\n");
    EXPECT_STREQ(StatusLine(501), "HTTP/1.0 501 Not Implemented\r\n");
    EXPECT_EQ(StatusLine(418), nullptr);
    EXPECT_STREQ(BuiltinContentType(".JPG"), "image/jpeg");
    EXPECT_EQ(BuiltinContentType(".unknownext"), nullptr);
}
