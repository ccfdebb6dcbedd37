// A block of text laid out in a fixed rectangle: split into words, wrapped
// to the width, broken at explicit line ends, cut at the bottom with "...",
// each line aligned left, centred or right. The console shows the log
// through one; it is serialisable together with its font description.
#pragma once

#include "fx/fx.h"

#include <vector>
#ifdef _WIN32
#include "fx/fxwin.h"
using ParaPoint = CPoint;
using ParaSize = CSize;
#else
// The portable build has no window geometry classes; layout needs only these.
struct ParaPoint {
    int x = 0, y = 0;
    ParaPoint() = default;
    ParaPoint(int px, int py) : x(px), y(py) {}
};
struct ParaSize {
    int cx = 0, cy = 0;
    ParaSize() = default;
    ParaSize(int w, int h) : cx(w), cy(h) {}
};
#endif

// What layout needs of a device: text extents and text output. Draw() uses
// a device context; tests record the output of a canvas of their own.
class CParagraphCanvas {
public:
    virtual ~CParagraphCanvas() = default;
    virtual ParaSize Measure(const CString& text) = 0;
    virtual void Write(int x, int y, const CString& text) = 0;
};

class CParagraph : public CObject {
    DECLARE_SERIAL(CParagraph)
public:
    CParagraph();
    CParagraph(const CString& text, ParaPoint origin, WORD width, WORD height);
    CParagraph(const char* text, ParaPoint origin, WORD width, WORD height);
    ~CParagraph() override;
    CParagraph(const CParagraph&) = delete;
    CParagraph& operator=(const CParagraph&) = delete;

    void AddText(const CString& text);
    void SetText(const char* text) { AddText(CString(text ? text : "")); }
    CString GetText() const { return m_strText; }

    void SetAlignment(int alignment) { m_nAlignment = alignment; }
    int GetAlignment() const { return m_nAlignment; }
    void SetOrigin(ParaPoint origin) { m_ptOrigin = origin; }
    void SetOrigin(int x, int y) { m_ptOrigin = ParaPoint(x, y); }
    ParaPoint GetOrigin() const { return m_ptOrigin; }
    void SetWidth(WORD width) { m_nWidth = width; }
    void SetHeight(WORD height) { m_nHeight = height; }
    WORD GetWidth() const { return m_nWidth; }
    WORD GetHeight() const { return m_nHeight; }

    const char* GetFaceName() const { return m_strFaceName; }
    int GetFontHeight() const { return m_nFontHeight; }
    int GetFontWeight() const { return m_nFontWeight; }
    BOOL SetFont(const char* faceName, int height, int bold);

    // The words as split, each keeping the blank that followed it.
    int GetWordCount() const { return static_cast<int>(m_Words.size()); }
    CString GetWord(int index) const;

    void Layout(CParagraphCanvas& canvas) const;
#ifdef _WIN32
    // Measured in the context's current font; the paragraph's own font is
    // not selected here (the caller chooses what to draw with).
    void Draw(CDC* pDC) const;
#endif
    void Serialize(CArchive& ar) override;

private:
    void DeleteWords();
    int StartOf(int lineWidth) const;

    int m_nAlignment = 0;
    std::vector<CString> m_Words;  // owned copies, rebuilt by AddText
    CString m_strText;
#ifdef _WIN32
    CFont m_Font;
#endif
    CString m_strFaceName;
    int m_nFontHeight = 0;
    int m_nFontWeight = 0;
    ParaPoint m_ptOrigin;
    WORD m_nWidth = 0;
    WORD m_nHeight = 0;
};
