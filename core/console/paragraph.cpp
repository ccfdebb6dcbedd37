#include "paragraph.h"

IMPLEMENT_SERIAL(CParagraph, CObject, 0)

namespace {
const char kEllipsis[] = "...";
const int kMargin = 2;
}

CParagraph::CParagraph() = default;

CParagraph::CParagraph(const CString& text, ParaPoint origin, WORD width, WORD height)
    : m_ptOrigin(origin), m_nWidth(width), m_nHeight(height)
{
    AddText(text);
}

CParagraph::CParagraph(const char* text, ParaPoint origin, WORD width, WORD height)
    : CParagraph(CString(text ? text : ""), origin, width, height)
{
}

CParagraph::~CParagraph() { DeleteWords(); }

void CParagraph::DeleteWords() { m_Words.clear(); }

CString CParagraph::GetWord(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_Words.size()))
        return CString();
    return m_Words[static_cast<size_t>(index)];
}

void CParagraph::AddText(const CString& text)
{
    m_strText = text;
    DeleteWords();
    // A line feed ends a line and swallows the blanks after it; a carriage
    // return becomes a word of its own (a line break); runs of blanks collapse.
    std::string out;
    out.reserve(static_cast<size_t>(text.GetLength()) * 2 + 2);
    int blanks = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        char c = text[i];
        if (c == '\n') {
            out += ' ';
            blanks = 1;
        } else if (c == '\r') {
            out += ' ';
            out += '\r';
        } else if (c == ' ') {
            if (blanks == 0)
                out += ' ';
            ++blanks;
        } else {
            out += c;
            blanks = 0;
        }
    }
    size_t start = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == ' ') {
            m_Words.emplace_back(out.substr(start, i + 1 - start).c_str());
            start = i + 1;
        }
    }
    m_Words.emplace_back(out.substr(start).c_str());
}

BOOL CParagraph::SetFont(const char* faceName, int height, int bold)
{
    m_strFaceName = faceName ? faceName : "";
    m_nFontHeight = height;
    m_nFontWeight = bold == 1 ? 700 : 400;
#ifdef _WIN32
    m_Font.DeleteObject();
    return m_Font.CreateFont(height, 0, 0, 0, m_nFontWeight, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, m_strFaceName);
#else
    return TRUE;
#endif
}

int CParagraph::StartOf(int lineWidth) const
{
    int width = m_nWidth;
    if (m_nAlignment == 1)
        return m_ptOrigin.x + (width - lineWidth) / 2 + kMargin;
    if (m_nAlignment == 2)
        return width - kMargin - lineWidth + m_ptOrigin.x;
    return m_ptOrigin.x + kMargin;
}

void CParagraph::Layout(CParagraphCanvas& canvas) const
{
    const int width = m_nWidth;
    const int height = m_nHeight;
    int x = kMargin;
    int y = kMargin;
    CString line;
    const CString ellipsis(kEllipsis);
    const ParaSize ell = canvas.Measure(ellipsis);
    // A line break never "fits"; a word fits when it ends before the right
    // edge, or when another line still fits below.
    auto fits = [&](int cx, int cy, char c) {
        if (c == '\r')
            return false;
        if (x + cx < width)
            return true;
        return y + 2 * cy < height;
    };
    auto write = [&](const CString& text, int w) {
        if (!text.IsEmpty())
            canvas.Write(StartOf(w), m_ptOrigin.y + y, text);
    };
    // The bottom line is full: end it with the ellipsis after what it holds.
    auto endWithEllipsis = [&]() { write(line + ellipsis, x + ell.cx); };

    const size_t count = m_Words.size();
    for (size_t i = 0; i < count; ++i) {
        const CString& word = m_Words[i];
        const char c = word.IsEmpty() ? 0 : word[0];
        const ParaSize size = canvas.Measure(word);
        if (i + 1 < count) {
            const ParaSize next = canvas.Measure(m_Words[i + 1]);
            if (!fits(size.cx + next.cx, size.cy, c)) {
                if (fits(size.cx + ell.cx, size.cy, c)) {
                    write(line + word + ellipsis, x + size.cx + ell.cx);
                    return;
                }
                if (c != '\r') {
                    endWithEllipsis();
                    return;
                }
                write(line, x);
                x = kMargin;
                y += size.cy;
                line.Empty();
            }
        }
        if (!fits(size.cx, size.cy, c)) {
            if (fits(ell.cx, ell.cy, c)) {
                endWithEllipsis();
                return;
            }
            if (c != '\r')
                return;
        }
        if (x + size.cx > width) {
            write(line, x);
            x = kMargin;
            y += size.cy;
            line.Empty();
        }
        if (c != '\r') {
            line += word;
            x += size.cx;
        }
    }
    write(line, x);
}

#ifdef _WIN32
namespace {
class CDCCanvas : public CParagraphCanvas {
public:
    explicit CDCCanvas(CDC* dc) : m_pDC(dc) {}
    ParaSize Measure(const CString& text) override
    {
        SIZE s = {0, 0};
        ::GetTextExtentPoint32A(m_pDC->m_hAttribDC ? m_pDC->m_hAttribDC : m_pDC->m_hDC, text, text.GetLength(), &s);
        return CSize(s.cx, s.cy);
    }
    void Write(int x, int y, const CString& text) override { m_pDC->TextOut(x, y, text); }

private:
    CDC* m_pDC;
};
}  // namespace

void CParagraph::Draw(CDC* pDC) const
{
    if (!pDC)
        return;
    CDCCanvas canvas(pDC);
    Layout(canvas);
}
#endif

void CParagraph::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_ptOrigin.x) << static_cast<LONG>(m_ptOrigin.y);
        ar << m_nWidth << m_nHeight;
        ar << m_strText;
        ar << m_strFaceName;
        ar << static_cast<WORD>(m_nFontHeight) << static_cast<WORD>(m_nFontWeight);
    } else {
        LONG ox = 0, oy = 0;
        WORD w = 0, h = 0, fontHeight = 0, fontWeight = 0;
        CString text, face;
        ar >> ox >> oy >> w >> h;
        ar >> text;
        ar >> face;
        ar >> fontHeight >> fontWeight;
        m_ptOrigin = ParaPoint(ox, oy);
        m_nWidth = w;
        m_nHeight = h;
        // The height is stored in 16 bits; a negative height (a character
        // height rather than a cell height) must come back negative.
        m_nFontHeight = static_cast<short>(fontHeight);
        m_nFontWeight = fontWeight;
        AddText(text);
        SetFont(face, m_nFontHeight, m_nFontWeight == 700 ? 1 : 0);
    }
}
