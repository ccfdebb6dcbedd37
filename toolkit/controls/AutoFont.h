// A font that keeps its full description, rebuilds itself whenever a field
// changes, and turns the description into a line of text and back.
#pragma once

#include "fx/fxwin.h"

class CAutoFont : public CFont {
public:
    CAutoFont();
    explicit CAutoFont(const CString& faceName);
    explicit CAutoFont(const LOGFONT& logFont);
    // A font of its own with the other font's description.
    explicit CAutoFont(const CFont& font);
    ~CAutoFont() override;

    // Each setter rebuilds the font and returns the previous value.
    LONG SetHeight(LONG height);
    // A positive value is a character height and is stored negated.
    LONG SetHeightA(LONG height);
    LONG SetWidth(LONG width);
    LONG SetEscapement(LONG escapement);
    LONG SetOrientation(LONG orientation);
    LONG SetWeight(LONG weight);
    BYTE SetCharset(BYTE charSet);
    BYTE SetOutPrecision(BYTE outPrecision);
    BYTE SetClipPrecision(BYTE clipPrecision);
    BYTE SetQuality(BYTE quality);
    BYTE SetPitchAndFamily(BYTE pitchAndFamily);
    BOOL SetItalic(BOOL italic);
    BOOL SetUnderline(BOOL underline);
    BOOL SetStrikeOut(BOOL strikeOut);
    // Weight 700 or 400; returns whether the previous weight was bold (500 or more).
    BOOL SetBold(BOOL bold);
    CString SetFaceName(const CString& faceName);
    LPCTSTR SetFaceName(LPCTSTR faceName);
    void SetLogFont(const LOGFONT& logFont);
    // Also the text colour of the context given with SetDC, at once.
    void SetFontColor(COLORREF color);
    COLORREF GetFontColor() const { return m_fontColor; }
    void SetDC(HDC hDC) { m_hDC = hDC; }

    LONG GetHeight() const { return m_lf.lfHeight; }
    LONG GetWidth() const { return m_lf.lfWidth; }
    LONG GetEscapement() const { return m_lf.lfEscapement; }
    LONG GetOrientation() const { return m_lf.lfOrientation; }
    LONG GetWeight() const { return m_lf.lfWeight; }
    BYTE GetCharset() const { return m_lf.lfCharSet; }
    BYTE GetOutPrecision() const { return m_lf.lfOutPrecision; }
    BYTE GetClipPrecision() const { return m_lf.lfClipPrecision; }
    BYTE GetQuality() const { return m_lf.lfQuality; }
    BYTE GetPitchAndFamily() const { return m_lf.lfPitchAndFamily; }
    LPCTSTR GetFaceName() const { return m_lf.lfFaceName; }
    BOOL GetBold() const { return m_lf.lfWeight >= 500; }
    BOOL GetItalic() const { return m_lf.lfItalic != 0; }
    BOOL GetUnderline() const { return m_lf.lfUnderline != 0; }
    BOOL GetStrikeOut() const { return m_lf.lfStrikeOut != 0; }
    const LOGFONT& GetLogFontRef() const { return m_lf; }

    // The description and colour as one line of text, and back.
    CString ContractFont() const;
    void ExtractFont(CString& text);

    // The standard font dialog, starting from pFont's description (or this
    // font's) and colour; on OK this font takes the choice. TRUE on OK.
    BOOL GetFontFromDialog(CFont* pFont = nullptr, DWORD* pColor = nullptr, CDC* pPrinterDC = nullptr,
                           CWnd* pParentWnd = nullptr);

protected:
    void Rebuild();
    LOGFONT m_lf;
    COLORREF m_fontColor;
    HDC m_hDC;
};
