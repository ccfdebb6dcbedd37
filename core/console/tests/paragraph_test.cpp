// The console paragraph: word splitting, wrapping and alignment checked on a
// recording canvas with a fixed-pitch font (8 x 16 pixels a character), and
// its stored form against a fixed byte file.
#include "paragraph.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Written {
    int x, y;
    std::string text;
    bool operator==(const Written& o) const { return x == o.x && y == o.y && text == o.text; }
};

std::ostream& operator<<(std::ostream& os, const Written& w)
{
    return os << "(" << w.x << "," << w.y << ",\"" << w.text << "\")";
}

class RecordingCanvas : public CParagraphCanvas {
public:
    ParaSize Measure(const CString& text) override { return ParaSize(8 * text.GetLength(), 16); }
    void Write(int x, int y, const CString& text) override { out.push_back({x, y, std::string(text)}); }
    std::vector<Written> out;
};

std::vector<std::string> Words(const CParagraph& p)
{
    std::vector<std::string> w;
    for (int i = 0; i < p.GetWordCount(); ++i)
        w.push_back(std::string(p.GetWord(i)));
    return w;
}

std::vector<Written> Lay(const char* text, int width, int height, int align = 0, ParaPoint origin = ParaPoint(0, 0))
{
    CParagraph p(text, origin, static_cast<WORD>(width), static_cast<WORD>(height));
    p.SetAlignment(align);
    RecordingCanvas canvas;
    p.Layout(canvas);
    return canvas.out;
}

}  // namespace

TEST(ParagraphWords, BlanksCollapseAndLineEndsBecomeBreakWords)
{
    struct Case {
        const char* text;
        std::vector<std::string> words;
    } cases[] = {
        {"a  b", {"a ", "b"}},
        {"abc\r\ndef", {"abc ", "\r ", "def"}},
        {"x\n   y", {"x ", "y"}},
        {"end ", {"end ", ""}},
        {"", {""}},
    };
    for (const Case& c : cases) {
        CParagraph p;
        p.AddText(c.text);
        EXPECT_EQ(Words(p), c.words) << c.text;
        EXPECT_EQ(std::string(p.GetText()), c.text);
    }
}

TEST(ParagraphLayout, LineBreaksWrappingAndEllipsis)
{
    struct Case {
        const char* name;
        const char* text;
        int width, height;
        std::vector<Written> out;
    } cases[] = {
        {"explicit break", "a\r\nb", 200, 100, {{2, 2, "a "}, {2, 18, "b"}}},
        {"wraps at the width", "aaa bbb ccc", 60, 100, {{2, 2, "aaa "}, {2, 18, "bbb ccc"}}},
        {"bottom line ends with ellipsis", "aaa bbb ccc", 60, 30, {{2, 2, "aaa ..."}}},
        {"no break without CR", "aa bb", 200, 100, {{2, 2, "aa bb"}}},
        {"empty text writes nothing", "", 200, 100, {}},
        // The bottom line cannot take the next word nor the word and "...":
        // what it holds stays visible, followed by the ellipsis.
        {"full bottom line keeps its text", "a bbbbb c", 60, 30, {{2, 2, "a ..."}}},
        {"word and ellipsis on the bottom line", "aa bbbbbb cc", 60, 30, {{2, 2, "aa ..."}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Lay(c.text, c.width, c.height), c.out) << c.name;
}

TEST(ParagraphLayout, Alignment)
{
    // "ab" is 16 wide, so the line is 18 with the left margin.
    EXPECT_EQ(Lay("ab", 100, 50, 2), (std::vector<Written>{{80, 2, "ab"}}));
    EXPECT_EQ(Lay("ab", 100, 50, 1), (std::vector<Written>{{43, 2, "ab"}}));
    EXPECT_EQ(Lay("ab", 100, 50, 0, ParaPoint(10, 5)), (std::vector<Written>{{12, 7, "ab"}}));
    EXPECT_EQ(Lay("ab", 100, 50, 2, ParaPoint(10, 5)), (std::vector<Written>{{90, 7, "ab"}}));
}

TEST(ParagraphStorage, StoredBytesAndLoadKeepBoldAndNegativeHeight)
{
    CParagraph p("hi", ParaPoint(1, -2), 800, 600);
    p.SetFont("", -12, 1);
    EXPECT_EQ(p.GetFontWeight(), 700);
    CMemFile mem;
    {
        CArchive ar(&mem, CArchive::store);
        p.Serialize(ar);
        ar.Close();
    }
    const DWORD len = mem.GetLength();
    BYTE* bytes = mem.Detach();
    std::string stored(reinterpret_cast<char*>(bytes), len);
    free(bytes);
    const std::string expected = testsupport::ReadFile(testsupport::SourcePath("core/console/tests/paragraph_bold.bin"));
    EXPECT_EQ(stored, expected);

    CMemFile in(reinterpret_cast<BYTE*>(const_cast<char*>(expected.data())), static_cast<UINT>(expected.size()));
    CArchive ar(&in, CArchive::load);
    CParagraph loaded;
    loaded.Serialize(ar);
    EXPECT_EQ(std::string(loaded.GetText()), "hi");
    EXPECT_EQ(loaded.GetFontWeight(), 700);
    EXPECT_EQ(loaded.GetFontHeight(), -12);
    EXPECT_EQ(loaded.GetOrigin().x, 1);
    EXPECT_EQ(loaded.GetOrigin().y, -2);
    EXPECT_EQ(loaded.GetWidth(), 800);
    EXPECT_EQ(loaded.GetHeight(), 600);
    EXPECT_EQ(loaded.GetWordCount(), 1);
}

TEST(ParagraphStorage, TruncatedArchiveThrows)
{
    std::string bytes = testsupport::ReadFile(testsupport::SourcePath("core/console/tests/paragraph_bold.bin"));
    bytes.resize(13);
    CMemFile in(reinterpret_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
    CArchive ar(&in, CArchive::load);
    CParagraph loaded;
    bool threw = false;
    try {
        loaded.Serialize(ar);
    } catch (CException* e) {
        threw = true;
        e->Delete();
    }
    EXPECT_TRUE(threw);
}
