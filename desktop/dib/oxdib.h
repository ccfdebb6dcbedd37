// COXDIB: one device-independent bitmap in movable global memory (header,
// colour table, pixel rows) with the logical palette of its colour table.
// Read from a ".bmp" file, or from a "ZLI_FILE" resource of the program when
// no such file exists; painted at its own size or stretched.
#pragma once

#include "fx/fxwin.h"

class COXDIB : public CObject {
    DECLARE_SERIAL(COXDIB)
public:
    COXDIB() = default;
    explicit COXDIB(HGLOBAL hDIB);  // a copy of the given block
    COXDIB(const COXDIB& other);
    ~COXDIB() override;
    // Only a source with a 40-byte header is taken; anything else leaves this one as it is.
    COXDIB& operator=(const COXDIB& other);
    COXDIB& operator=(HGLOBAL hDIB);

    bool LoadFromFileOrResource(LPCTSTR name);
    bool SaveToFile(LPCTSTR name) const;
    void Serialize(CArchive& ar) override;  // throws CArchiveException* on a stream it refuses

    // Copies the source rectangle unscaled when both rectangles have one size,
    // else stretches it; 0 when empty.
    int DrawTo(CDC* pDC, const CRect& dest, const CRect& source) const;

    CSize PixelSize() const;  // (0, 0) when empty; the height is the number of rows
    WORD BitsPerPixel() const;
    DWORD ColorCount() const;
    DWORD ColorTableBytes() const;
    const BYTE* PixelRows() const;  // the rows of the locked block; valid while this holds it
    bool IsNull() const { return m_hDIB == nullptr; }
    void Clear();
    HGLOBAL ReleaseHandle();  // the caller owns the block from then on
    HGLOBAL GetHandle() const { return m_hDIB; }
    CPalette* GetPalette() const { return m_pPalette; }

    CBitmap* ToDeviceBitmap(CDC* pDC) const;  // owned by the caller; null when empty
    // A new DIB from a device-dependent bitmap (1, 4, 8 or 24 bits per pixel
    // by its depth), its rows read from the screen with the palette selected
    // and its colour table taken from the palette; false leaves this empty.
    bool FromDeviceBitmap(CBitmap* bitmap, CPalette* palette);
    // The palette's entries (the default palette's when null) into the colour table.
    bool TakeColorsFromPalette(CPalette* palette);
    // Realises a palette of 256 black entries on the screen, clearing the system palette.
    static void ClearSystemPalette();
    // On a palette device, a palette of the system palette's entries; false elsewhere.
    static bool CaptureSystemPalette(CPalette& palette);
    // A new size for pictures of 8 or more bits per pixel; false (unchanged) otherwise.
    bool Rescale(int width, int height);
    bool SetTwoColors(COLORREF foreground, COLORREF background);  // 1-bit pictures only
    bool GetTwoColors(COLORREF* foreground, COLORREF* background) const;

private:
    bool TakeBlock(const BYTE* data, size_t size);
    bool ReadFrom(CArchive& ar);
    void BuildPalette();
    size_t BlockSize() const;

    HGLOBAL m_hDIB = nullptr;
    CPalette* m_pPalette = nullptr;
};
