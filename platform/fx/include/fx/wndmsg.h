// ON_WM_xxx message-map entries: each cracks its message's parameters and
// calls the handler of the usual name (OnCreate, OnTimer, ...) with the
// usual signature. Included by fx/wnd.h.
#pragma once

#include "fx/dc.h"

// The 16-bit colour message; the WM_CTLCOLORxxx messages are mapped onto it.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

namespace fx::detail {

#define FX_SIG(F, sig) \
    static_assert(HasSignature<F, sig>, "handler signature must be: " #sig)

inline CPoint PointOf(LPARAM lParam) { return CPoint((short)LOWORD(lParam), (short)HIWORD(lParam)); }
CWnd* WndOf(HWND hWnd);      // CWnd::FromHandle
CDC* DcOf(HDC hDC);          // CDC::FromHandle

template <auto F> BOOL W_v(CCmdTarget* t, MsgCall&) { FX_SIG(F, void()); (Obj<F>(t)->*F)(); return TRUE; }
template <auto F> BOOL W_Create(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, int(LPCREATESTRUCT));
    c.result = (Obj<F>(t)->*F)(reinterpret_cast<LPCREATESTRUCT>(c.lParam)) == -1 ? -1 : 0;
    return TRUE;
}
template <auto F> BOOL W_NcCreate(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, BOOL(LPCREATESTRUCT));
    c.result = (Obj<F>(t)->*F)(reinterpret_cast<LPCREATESTRUCT>(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_Timer(CCmdTarget* t, MsgCall& c) { FX_SIG(F, void(UINT_PTR)); (Obj<F>(t)->*F)((UINT_PTR)c.wParam); return TRUE; }
template <auto F> BOOL W_Size(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(UINT, int, int));
    (Obj<F>(t)->*F)((UINT)c.wParam, (short)LOWORD(c.lParam), (short)HIWORD(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_Move(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(int, int));
    (Obj<F>(t)->*F)((short)LOWORD(c.lParam), (short)HIWORD(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_Sizing(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(UINT, LPRECT));
    (Obj<F>(t)->*F)((UINT)c.wParam, reinterpret_cast<LPRECT>(c.lParam));
    c.result = TRUE;
    return TRUE;
}
template <auto F> BOOL W_EraseBkgnd(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, BOOL(CDC*));
    c.result = (Obj<F>(t)->*F)(DcOf(reinterpret_cast<HDC>(c.wParam)));
    return TRUE;
}
// WM_CTLCOLORxxx all reach the one WM_CTLCOLOR entry; nCtlColor tells them apart.
template <auto F> BOOL W_CtlColor(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, HBRUSH(CDC*, CWnd*, UINT));
    UINT kind = c.message >= WM_CTLCOLORMSGBOX && c.message <= WM_CTLCOLORSTATIC
                    ? c.message - WM_CTLCOLORMSGBOX : (UINT)CTLCOLOR_STATIC;
    c.result = reinterpret_cast<LRESULT>((Obj<F>(t)->*F)(
        DcOf(reinterpret_cast<HDC>(c.wParam)), WndOf(reinterpret_cast<HWND>(c.lParam)), kind));
    return TRUE;
}
// Reflected colour request, handled by the control itself; a null brush
// leaves the request to the parent.
template <auto F> BOOL W_CtlColorReflect(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, HBRUSH(CDC*, UINT));
    UINT kind = c.message >= WM_CTLCOLORMSGBOX && c.message <= WM_CTLCOLORSTATIC
                    ? c.message - WM_CTLCOLORMSGBOX : (UINT)CTLCOLOR_STATIC;
    HBRUSH brush = (Obj<F>(t)->*F)(DcOf(reinterpret_cast<HDC>(c.wParam)), kind);
    c.result = reinterpret_cast<LRESULT>(brush);
    return brush != nullptr;
}
template <auto F> BOOL W_Mouse(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(UINT, CPoint));
    (Obj<F>(t)->*F)((UINT)c.wParam, PointOf(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_MouseWheel(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, BOOL(UINT, short, CPoint));
    c.result = (Obj<F>(t)->*F)(LOWORD(c.wParam), (short)HIWORD(c.wParam), PointOf(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_SetCursor(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, BOOL(CWnd*, UINT, UINT));
    c.result = (Obj<F>(t)->*F)(WndOf(reinterpret_cast<HWND>(c.wParam)), (short)LOWORD(c.lParam),
                               HIWORD(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_SysCommand(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(UINT, LPARAM));
    (Obj<F>(t)->*F)((UINT)c.wParam, c.lParam);
    return TRUE;
}
template <auto F> BOOL W_Activate(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(UINT, CWnd*, BOOL));
    (Obj<F>(t)->*F)(LOWORD(c.wParam), WndOf(reinterpret_cast<HWND>(c.lParam)), HIWORD(c.wParam) != 0);
    return TRUE;
}
template <auto F> BOOL W_ActivateApp(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(BOOL, DWORD));
    (Obj<F>(t)->*F)((BOOL)c.wParam, (DWORD)c.lParam);
    return TRUE;
}
template <auto F> BOOL W_B_B(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, BOOL(BOOL));
    c.result = (Obj<F>(t)->*F)((BOOL)c.wParam);
    return TRUE;
}
// OnNcHitTest may answer UINT (the old form) or LRESULT.
template <auto F> BOOL W_NcHitTest(CCmdTarget* t, MsgCall& c)
{
    static_assert(HasSignature<F, LRESULT(CPoint)> || HasSignature<F, UINT(CPoint)>,
                  "handler signature must be: LRESULT OnNcHitTest(CPoint)");
    c.result = (LRESULT)(Obj<F>(t)->*F)(PointOf(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_NcCalcSize(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(BOOL, NCCALCSIZE_PARAMS*));
    (Obj<F>(t)->*F)((BOOL)c.wParam, reinterpret_cast<NCCALCSIZE_PARAMS*>(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_NcMouse(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(UINT, CPoint));
    (Obj<F>(t)->*F)((UINT)c.wParam, PointOf(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_MinMax(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(MINMAXINFO*));
    (Obj<F>(t)->*F)(reinterpret_cast<MINMAXINFO*>(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_DropFiles(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(HDROP));
    (Obj<F>(t)->*F)(reinterpret_cast<HDROP>(c.wParam));
    return TRUE;
}
template <auto F> BOOL W_ContextMenu(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(CWnd*, CPoint));
    (Obj<F>(t)->*F)(WndOf(reinterpret_cast<HWND>(c.wParam)), PointOf(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_Key(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(UINT, UINT, UINT));
    (Obj<F>(t)->*F)((UINT)c.wParam, LOWORD(c.lParam), HIWORD(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_GetDlgCode(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, UINT());
    c.result = (Obj<F>(t)->*F)();
    return TRUE;
}
template <auto F> BOOL W_ShowWindow(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(BOOL, UINT));
    (Obj<F>(t)->*F)((BOOL)c.wParam, (UINT)c.lParam);
    return TRUE;
}
template <auto F> BOOL W_WindowPos(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(WINDOWPOS*));
    (Obj<F>(t)->*F)(reinterpret_cast<WINDOWPOS*>(c.lParam));
    return TRUE;
}
template <auto F> BOOL W_B_v(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, BOOL());
    c.result = (Obj<F>(t)->*F)();
    return TRUE;
}
template <auto F> BOOL W_v_B(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(BOOL));
    (Obj<F>(t)->*F)((BOOL)c.wParam);
    return TRUE;
}
template <auto F> BOOL W_Focus(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(CWnd*));
    (Obj<F>(t)->*F)(WndOf(reinterpret_cast<HWND>(c.wParam)));
    return TRUE;
}
template <auto F> BOOL W_CaptureChanged(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(CWnd*));
    (Obj<F>(t)->*F)(WndOf(reinterpret_cast<HWND>(c.lParam)));
    return TRUE;
}
template <auto F> BOOL W_DrawItem(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(int, LPDRAWITEMSTRUCT));
    (Obj<F>(t)->*F)((int)c.wParam, reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam));
    c.result = TRUE;
    return TRUE;
}
template <auto F> BOOL W_MeasureItem(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(int, LPMEASUREITEMSTRUCT));
    (Obj<F>(t)->*F)((int)c.wParam, reinterpret_cast<LPMEASUREITEMSTRUCT>(c.lParam));
    c.result = TRUE;
    return TRUE;
}
template <auto F> BOOL W_Scroll(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(UINT, UINT, CWnd*));
    (Obj<F>(t)->*F)(LOWORD(c.wParam), HIWORD(c.wParam), WndOf(reinterpret_cast<HWND>(c.lParam)));
    return TRUE;
}
template <auto F> BOOL W_SettingChange(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(UINT, LPCTSTR));
    (Obj<F>(t)->*F)((UINT)c.wParam, reinterpret_cast<LPCTSTR>(c.lParam));
    return TRUE;
}

template <auto F> BOOL W_MouseActivate(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, int(CWnd*, UINT, UINT));
    c.result = (Obj<F>(t)->*F)(WndOf(reinterpret_cast<HWND>(c.wParam)), LOWORD(c.lParam), HIWORD(c.lParam));
    return TRUE;
}
// Sent to the child being deactivated (wParam) and the one being activated (lParam).
BOOL MdiActivateIsOwn(CCmdTarget* t, LPARAM lParam);
template <auto F> BOOL W_MDIActivate(CCmdTarget* t, MsgCall& c)
{
    FX_SIG(F, void(BOOL, CWnd*, CWnd*));
    (Obj<F>(t)->*F)(MdiActivateIsOwn(t, c.lParam), WndOf(reinterpret_cast<HWND>(c.lParam)),
                    WndOf(reinterpret_cast<HWND>(c.wParam)));
    return TRUE;
}

#undef FX_SIG

} // namespace fx::detail

#define FX_WM(msg, thunk, fn) FX_ENTRY(msg, 0, 0, 0, &fx::detail::thunk<&ThisClass::fn>)

#define ON_WM_CREATE() FX_WM(WM_CREATE, W_Create, OnCreate)
#define ON_WM_NCCREATE() FX_WM(WM_NCCREATE, W_NcCreate, OnNcCreate)
#define ON_WM_DESTROY() FX_WM(WM_DESTROY, W_v, OnDestroy)
#define ON_WM_NCDESTROY() FX_WM(WM_NCDESTROY, W_v, OnNcDestroy)
#define ON_WM_CLOSE() FX_WM(WM_CLOSE, W_v, OnClose)
#define ON_WM_PAINT() FX_WM(WM_PAINT, W_v, OnPaint)
#define ON_WM_NCPAINT() FX_WM(WM_NCPAINT, W_v, OnNcPaint)
#define ON_WM_TIMER() FX_WM(WM_TIMER, W_Timer, OnTimer)
#define ON_WM_SIZE() FX_WM(WM_SIZE, W_Size, OnSize)
#define ON_WM_SIZING() FX_WM(WM_SIZING, W_Sizing, OnSizing)
#define ON_WM_MOVE() FX_WM(WM_MOVE, W_Move, OnMove)
#define ON_WM_MOVING() FX_WM(WM_MOVING, W_Sizing, OnMoving)
#define ON_WM_ERASEBKGND() FX_WM(WM_ERASEBKGND, W_EraseBkgnd, OnEraseBkgnd)
#define ON_WM_CTLCOLOR() FX_WM(WM_CTLCOLOR, W_CtlColor, OnCtlColor)
#define ON_WM_CTLCOLOR_REFLECT() \
    FX_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0, &fx::detail::W_CtlColorReflect<&ThisClass::CtlColor>)
#define ON_WM_LBUTTONDOWN() FX_WM(WM_LBUTTONDOWN, W_Mouse, OnLButtonDown)
#define ON_WM_LBUTTONUP() FX_WM(WM_LBUTTONUP, W_Mouse, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() FX_WM(WM_LBUTTONDBLCLK, W_Mouse, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() FX_WM(WM_RBUTTONDOWN, W_Mouse, OnRButtonDown)
#define ON_WM_RBUTTONUP() FX_WM(WM_RBUTTONUP, W_Mouse, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() FX_WM(WM_RBUTTONDBLCLK, W_Mouse, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() FX_WM(WM_MBUTTONDOWN, W_Mouse, OnMButtonDown)
#define ON_WM_MBUTTONUP() FX_WM(WM_MBUTTONUP, W_Mouse, OnMButtonUp)
#define ON_WM_MOUSEMOVE() FX_WM(WM_MOUSEMOVE, W_Mouse, OnMouseMove)
#define ON_WM_MOUSEWHEEL() FX_WM(WM_MOUSEWHEEL, W_MouseWheel, OnMouseWheel)
#define ON_WM_SETCURSOR() FX_WM(WM_SETCURSOR, W_SetCursor, OnSetCursor)
#define ON_WM_SYSCOMMAND() FX_WM(WM_SYSCOMMAND, W_SysCommand, OnSysCommand)
#define ON_WM_ACTIVATE() FX_WM(WM_ACTIVATE, W_Activate, OnActivate)
#define ON_WM_ACTIVATEAPP() FX_WM(WM_ACTIVATEAPP, W_ActivateApp, OnActivateApp)
#define ON_WM_NCACTIVATE() FX_WM(WM_NCACTIVATE, W_B_B, OnNcActivate)
#define ON_WM_NCHITTEST() FX_WM(WM_NCHITTEST, W_NcHitTest, OnNcHitTest)
#define ON_WM_NCCALCSIZE() FX_WM(WM_NCCALCSIZE, W_NcCalcSize, OnNcCalcSize)
#define ON_WM_NCMOUSEMOVE() FX_WM(WM_NCMOUSEMOVE, W_NcMouse, OnNcMouseMove)
#define ON_WM_NCLBUTTONDOWN() FX_WM(WM_NCLBUTTONDOWN, W_NcMouse, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() FX_WM(WM_NCLBUTTONUP, W_NcMouse, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() FX_WM(WM_NCLBUTTONDBLCLK, W_NcMouse, OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() FX_WM(WM_NCRBUTTONDOWN, W_NcMouse, OnNcRButtonDown)
#define ON_WM_GETMINMAXINFO() FX_WM(WM_GETMINMAXINFO, W_MinMax, OnGetMinMaxInfo)
#define ON_WM_DROPFILES() FX_WM(WM_DROPFILES, W_DropFiles, OnDropFiles)
#define ON_WM_CONTEXTMENU() FX_WM(WM_CONTEXTMENU, W_ContextMenu, OnContextMenu)
#define ON_WM_KEYDOWN() FX_WM(WM_KEYDOWN, W_Key, OnKeyDown)
#define ON_WM_KEYUP() FX_WM(WM_KEYUP, W_Key, OnKeyUp)
#define ON_WM_SYSKEYDOWN() FX_WM(WM_SYSKEYDOWN, W_Key, OnSysKeyDown)
#define ON_WM_SYSKEYUP() FX_WM(WM_SYSKEYUP, W_Key, OnSysKeyUp)
#define ON_WM_CHAR() FX_WM(WM_CHAR, W_Key, OnChar)
#define ON_WM_GETDLGCODE() FX_WM(WM_GETDLGCODE, W_GetDlgCode, OnGetDlgCode)
#define ON_WM_SHOWWINDOW() FX_WM(WM_SHOWWINDOW, W_ShowWindow, OnShowWindow)
#define ON_WM_WINDOWPOSCHANGING() FX_WM(WM_WINDOWPOSCHANGING, W_WindowPos, OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED() FX_WM(WM_WINDOWPOSCHANGED, W_WindowPos, OnWindowPosChanged)
#define ON_WM_QUERYENDSESSION() FX_WM(WM_QUERYENDSESSION, W_B_v, OnQueryEndSession)
#define ON_WM_ENDSESSION() FX_WM(WM_ENDSESSION, W_v_B, OnEndSession)
#define ON_WM_SETFOCUS() FX_WM(WM_SETFOCUS, W_Focus, OnSetFocus)
#define ON_WM_KILLFOCUS() FX_WM(WM_KILLFOCUS, W_Focus, OnKillFocus)
#define ON_WM_ENABLE() FX_WM(WM_ENABLE, W_v_B, OnEnable)
#define ON_WM_ENTERSIZEMOVE() FX_WM(WM_ENTERSIZEMOVE, W_v, OnEnterSizeMove)
#define ON_WM_EXITSIZEMOVE() FX_WM(WM_EXITSIZEMOVE, W_v, OnExitSizeMove)
#define ON_WM_ENTERMENULOOP() FX_WM(WM_ENTERMENULOOP, W_v_B, OnEnterMenuLoop)
#define ON_WM_EXITMENULOOP() FX_WM(WM_EXITMENULOOP, W_v_B, OnExitMenuLoop)
#define ON_WM_CAPTURECHANGED() FX_WM(WM_CAPTURECHANGED, W_CaptureChanged, OnCaptureChanged)
#define ON_WM_DRAWITEM() FX_WM(WM_DRAWITEM, W_DrawItem, OnDrawItem)
#define ON_WM_MEASUREITEM() FX_WM(WM_MEASUREITEM, W_MeasureItem, OnMeasureItem)
#define ON_WM_HSCROLL() FX_WM(WM_HSCROLL, W_Scroll, OnHScroll)
#define ON_WM_VSCROLL() FX_WM(WM_VSCROLL, W_Scroll, OnVScroll)
#define ON_WM_SETTINGCHANGE() FX_WM(WM_SETTINGCHANGE, W_SettingChange, OnSettingChange)
#define ON_WM_SYSCOLORCHANGE() FX_WM(WM_SYSCOLORCHANGE, W_v, OnSysColorChange)
#define ON_WM_QUERYNEWPALETTE() FX_WM(WM_QUERYNEWPALETTE, W_B_v, OnQueryNewPalette)
#define ON_WM_PALETTECHANGED() FX_WM(WM_PALETTECHANGED, W_Focus, OnPaletteChanged)
#define ON_WM_MOUSEACTIVATE() FX_WM(WM_MOUSEACTIVATE, W_MouseActivate, OnMouseActivate)
#define ON_WM_MDIACTIVATE() FX_WM(WM_MDIACTIVATE, W_MDIActivate, OnMDIActivate)
