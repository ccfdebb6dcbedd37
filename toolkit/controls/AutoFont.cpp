// CAutoFont: a font rebuilt from its description on every change.
#include "AutoFont.h"
#include "font_text.h"

#include <commdlg.h>

namespace {

// The whole name buffer is rewritten so equal descriptions compare equal byte for byte.
void CopyFaceName(LOGFONT& lf, const char* name)
{
    memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    lstrcpynA(lf.lfFaceName, name ? name : "", LF_FACESIZE);
}

LOGFONT DefaultLogFont()
{
    LOGFONT lf = {};
    lf.lfHeight = -12;
    lf.lfWeight = 400;
    lf.lfQuality = 2;
    lf.lfPitchAndFamily = 0x12;
    CopyFaceName(lf, "Times New Roman");
    return lf;
}

FontDescription ToDescription(const LOGFONT& lf)
{
    FontDescription d;
    d.height = lf.lfHeight;
    d.width = lf.lfWidth;
    d.escapement = lf.lfEscapement;
    d.orientation = lf.lfOrientation;
    d.weight = lf.lfWeight;
    d.italic = lf.lfItalic;
    d.underline = lf.lfUnderline;
    d.strikeOut = lf.lfStrikeOut;
    d.charSet = lf.lfCharSet;
    d.outPrecision = lf.lfOutPrecision;
    d.clipPrecision = lf.lfClipPrecision;
    d.quality = lf.lfQuality;
    d.pitchAndFamily = lf.lfPitchAndFamily;
    d.SetFaceName(lf.lfFaceName);
    return d;
}

LOGFONT FromDescription(const FontDescription& d)
{
    LOGFONT lf = {};
    lf.lfHeight = d.height;
    lf.lfWidth = d.width;
    lf.lfEscapement = d.escapement;
    lf.lfOrientation = d.orientation;
    lf.lfWeight = d.weight;
    lf.lfItalic = d.italic;
    lf.lfUnderline = d.underline;
    lf.lfStrikeOut = d.strikeOut;
    lf.lfCharSet = d.charSet;
    lf.lfOutPrecision = d.outPrecision;
    lf.lfClipPrecision = d.clipPrecision;
    lf.lfQuality = d.quality;
    lf.lfPitchAndFamily = d.pitchAndFamily;
    CopyFaceName(lf, d.faceName);
    return lf;
}

template <class T, class V> T Swap(T& field, V value)
{
    T old = field;
    field = (T)value;
    return old;
}

} // namespace

CAutoFont::CAutoFont() : m_lf(DefaultLogFont()), m_fontColor(0), m_hDC(nullptr) { Rebuild(); }

CAutoFont::CAutoFont(const CString& faceName) : m_lf(DefaultLogFont()), m_fontColor(0), m_hDC(nullptr)
{
    CopyFaceName(m_lf, faceName);
    Rebuild();
}

CAutoFont::CAutoFont(const LOGFONT& logFont) : m_lf(logFont), m_fontColor(0), m_hDC(nullptr)
{
    m_lf.lfFaceName[LF_FACESIZE - 1] = 0;
    Rebuild();
}

CAutoFont::CAutoFont(const CFont& font) : m_lf(DefaultLogFont()), m_fontColor(0), m_hDC(nullptr)
{
    LOGFONT lf = {};
    if (font.GetSafeHandle() && font.GetLogFont(&lf) > 0)
        m_lf = lf;
    Rebuild();
}

CAutoFont::~CAutoFont() = default;

void CAutoFont::Rebuild()
{
    DeleteObject();
    CreateFontIndirect(&m_lf);
}

LONG CAutoFont::SetHeight(LONG v)
{
    LONG old = Swap(m_lf.lfHeight, v);
    Rebuild();
    return old;
}

LONG CAutoFont::SetHeightA(LONG v) { return SetHeight(v > 0 ? -v : v); }

LONG CAutoFont::SetWidth(LONG v)
{
    LONG old = Swap(m_lf.lfWidth, v);
    Rebuild();
    return old;
}

LONG CAutoFont::SetEscapement(LONG v)
{
    LONG old = Swap(m_lf.lfEscapement, v);
    Rebuild();
    return old;
}

LONG CAutoFont::SetOrientation(LONG v)
{
    LONG old = Swap(m_lf.lfOrientation, v);
    Rebuild();
    return old;
}

LONG CAutoFont::SetWeight(LONG v)
{
    LONG old = Swap(m_lf.lfWeight, v);
    Rebuild();
    return old;
}

BYTE CAutoFont::SetCharset(BYTE v)
{
    BYTE old = Swap(m_lf.lfCharSet, v);
    Rebuild();
    return old;
}

BYTE CAutoFont::SetOutPrecision(BYTE v)
{
    BYTE old = Swap(m_lf.lfOutPrecision, v);
    Rebuild();
    return old;
}

BYTE CAutoFont::SetClipPrecision(BYTE v)
{
    BYTE old = Swap(m_lf.lfClipPrecision, v);
    Rebuild();
    return old;
}

BYTE CAutoFont::SetQuality(BYTE v)
{
    BYTE old = Swap(m_lf.lfQuality, v);
    Rebuild();
    return old;
}

BYTE CAutoFont::SetPitchAndFamily(BYTE v)
{
    BYTE old = Swap(m_lf.lfPitchAndFamily, v);
    Rebuild();
    return old;
}

BOOL CAutoFont::SetItalic(BOOL v)
{
    BOOL old = m_lf.lfItalic != 0;
    m_lf.lfItalic = (BYTE)(v != 0);
    Rebuild();
    return old;
}

BOOL CAutoFont::SetUnderline(BOOL v)
{
    BOOL old = m_lf.lfUnderline != 0;
    m_lf.lfUnderline = (BYTE)(v != 0);
    Rebuild();
    return old;
}

BOOL CAutoFont::SetStrikeOut(BOOL v)
{
    BOOL old = m_lf.lfStrikeOut != 0;
    m_lf.lfStrikeOut = (BYTE)(v != 0);
    Rebuild();
    return old;
}

BOOL CAutoFont::SetBold(BOOL bold)
{
    BOOL old = m_lf.lfWeight >= 500;
    m_lf.lfWeight = bold ? 700 : 400;
    Rebuild();
    return old;
}

CString CAutoFont::SetFaceName(const CString& faceName)
{
    CString old = m_lf.lfFaceName;
    CopyFaceName(m_lf, faceName);
    Rebuild();
    return old;
}

LPCTSTR CAutoFont::SetFaceName(LPCTSTR faceName)
{
    CopyFaceName(m_lf, faceName);
    Rebuild();
    return m_lf.lfFaceName;
}

void CAutoFont::SetLogFont(const LOGFONT& logFont)
{
    m_lf = logFont;
    m_lf.lfFaceName[LF_FACESIZE - 1] = 0;
    Rebuild();
}

void CAutoFont::SetFontColor(COLORREF color)
{
    m_fontColor = color;
    if (m_hDC)
        ::SetTextColor(m_hDC, color);
}

CString CAutoFont::ContractFont() const { return FormatFontDescription(ToDescription(m_lf), m_fontColor); }

void CAutoFont::ExtractFont(CString& text)
{
    FontDescription d = ToDescription(m_lf);
    uint32_t color = m_fontColor;
    ParseFontDescription(text, d, color);
    m_lf = FromDescription(d);
    Rebuild();
    m_fontColor = color;
}

BOOL CAutoFont::GetFontFromDialog(CFont* pFont, DWORD*, CDC* pPrinterDC, CWnd* pParentWnd)
{
    LOGFONT lf = m_lf;
    if (pFont && pFont->GetSafeHandle())
        pFont->GetLogFont(&lf);
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = pParentWnd->GetSafeHwnd();
    cf.hDC = pPrinterDC ? pPrinterDC->GetSafeHdc() : nullptr;
    cf.lpLogFont = &lf;
    // Screen fonts with effects, starting from the description above.
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    cf.rgbColors = m_fontColor;
    if (!::ChooseFontA(&cf))
        return FALSE;
    SetLogFont(lf);
    SetFontColor(cf.rgbColors);
    return TRUE;
}
