// The shared background of the assistant's windows.
#include "options/wmoptions.h"

#include "Gradient.h"

void CWMOptions::PaintWindowBackground(CWnd* window)
{
    if (!window || !window->m_hWnd)
        return;
    CClientDC dc(window);
    CRect clip;
    if (::GetClipBox(dc.m_hDC, &clip) == ERROR)
        return;
    CRect rect;
    window->GetClientRect(&rect);
    // A little past the edges, so no unpainted seam shows at the left and bottom.
    rect.left -= 6;
    rect.bottom += 6;
    PaintGradiantRect(&dc, rect, Color1, Color2, 1, 1);
}
