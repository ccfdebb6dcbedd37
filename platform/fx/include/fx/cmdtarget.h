// Command targets and message maps.
//
// A class that answers messages declares DECLARE_MESSAGE_MAP() and lists its
// handlers between BEGIN_MESSAGE_MAP(class, base) and END_MESSAGE_MAP(); a map
// that has no entry for a message hands the search on to the base class's map.
// Each entry holds a small function made for that handler's exact signature, so
// a handler with the wrong parameters or result fails to compile.
#pragma once

#include "fx/fx.h"

#include <type_traits>

class CCmdTarget;
class CCmdUI;
class CWnd;

namespace fx::detail {

// One message on its way to a handler.
struct MsgCall {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    UINT nID = 0;            // command, control or notification id
    void* pExtra = nullptr;  // CCmdUI* for update entries, NMHDR* for notifications
};

// Calls the handler; FALSE when an "_EX" handler passes the message on.
using Thunk = BOOL (*)(CCmdTarget* target, MsgCall& call);

template <class T>
struct MemberTraits;
template <class C, class R, class... A>
struct MemberTraits<R (C::*)(A...)> {
    using Class = C;
    using Signature = R(A...);
};

template <auto F>
using ClassOf = typename MemberTraits<decltype(F)>::Class;

template <auto F, class Expected>
inline constexpr bool HasSignature =
    std::is_same_v<typename MemberTraits<decltype(F)>::Signature, Expected>;

template <auto F>
inline ClassOf<F>* Obj(CCmdTarget* target) { return static_cast<ClassOf<F>*>(target); }

} // namespace fx::detail

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;              // window message, WM_COMMAND, WM_NOTIFY or a reflected one
    UINT nCode;                 // control notification code, or 0
    UINT nID;                   // first control or command id, or 0
    UINT nLastID;               // last id of a range (nID for a single id)
    const UINT* pnRegistered;   // registered message: the variable that holds its number
    fx::detail::Thunk pfn;      // null ends the map
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Found handler, for callers that only ask whether one exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

// The notification passed to ON_NOTIFY handlers through OnCmdMsg.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Codes of OnCmdMsg besides the control notifications.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))
// Reflected messages come back to the control as WM_REFLECT_BASE + message.
#define WM_REFLECT_BASE 0xBC00

#define afx_msg

#define DECLARE_MESSAGE_MAP()                              \
protected:                                                 \
    static const AFX_MSGMAP* GetThisMessageMap();          \
    const AFX_MSGMAP* GetMessageMap() const override;      \
                                                           \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                             \
    {                                                                           \
        typedef theClass ThisClass;                                             \
        typedef baseClass TheBaseClass;                                         \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                       \
            {0, 0, 0, 0, nullptr, nullptr}                                      \
        };                                                                      \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, \
                                              &_messageEntries[0]};             \
        return &messageMap;                                                     \
    }

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // Routes a command (WM_COMMAND id with its notification code, an update
    // request with CN_UPDATE_COMMAND_UI, or MAKELONG(code, WM_NOTIFY) with an
    // AFX_NOTIFY) through this object's message map. With pHandlerInfo the
    // handler is only looked up, not called.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The entry of this object's map chain for a window message, or null.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode = 0, UINT nID = 0) const;

    // Hourglass cursor around a long operation.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Searches the map chain from map for a command entry; ranges included.
    BOOL DispatchCmd(UINT nMsg, UINT nCode, UINT nID, void* pExtra, LRESULT* pResult,
                     AFX_CMDHANDLERINFO* pHandlerInfo);
};

// Update requests for menu items and controls (ON_UPDATE_COMMAND_UI).
class CCmdUI {
public:
    CCmdUI();
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);  // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);

    // Asks pTarget to update this item; an item that no handler claims is
    // disabled when bDisableIfNoHndler is set.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    UINT m_nID;
    UINT m_nIndex;       // menu position
    HMENU m_hMenu;       // the menu holding the item, or null
    HMENU m_hSubMenu;    // the item's popup, when it has one
    CWnd* m_pOther;      // the control, or null
    BOOL m_bEnableChanged;
    BOOL m_bContinueRouting;
    UINT m_nIndexMax;
};

// ---- Entries that need only CCmdTarget ------------------------------------

namespace fx::detail {

template <auto F>
BOOL CmdVoid(CCmdTarget* t, MsgCall&)
{
    static_assert(HasSignature<F, void()>, "command handler must be: void OnXxx()");
    (Obj<F>(t)->*F)();
    return TRUE;
}

template <auto F>
BOOL CmdEx(CCmdTarget* t, MsgCall& c)
{
    static_assert(HasSignature<F, BOOL(UINT)>, "ON_COMMAND_EX handler must be: BOOL OnXxx(UINT nID)");
    return (Obj<F>(t)->*F)(c.nID);
}

template <auto F>
BOOL CmdRange(CCmdTarget* t, MsgCall& c)
{
    static_assert(HasSignature<F, void(UINT)>, "range handler must be: void OnXxx(UINT nID)");
    (Obj<F>(t)->*F)(c.nID);
    return TRUE;
}

template <auto F>
BOOL CmdReflectEx(CCmdTarget* t, MsgCall&)
{
    static_assert(HasSignature<F, BOOL()>, "reflect _EX handler must be: BOOL OnXxx()");
    return (Obj<F>(t)->*F)();
}

BOOL RunUpdateHandler(CCmdUI* ui, void (*call)(CCmdTarget*, CCmdUI*), CCmdTarget* t);

template <auto F>
BOOL CmdUpdate(CCmdTarget* t, MsgCall& c)
{
    static_assert(HasSignature<F, void(CCmdUI*)>, "update handler must be: void OnUpdateXxx(CCmdUI*)");
    return RunUpdateHandler(static_cast<CCmdUI*>(c.pExtra),
                            [](CCmdTarget* tt, CCmdUI* ui) { (Obj<F>(tt)->*F)(ui); }, t);
}

template <auto F>
BOOL CmdUpdateRange(CCmdTarget* t, MsgCall& c)
{
    return CmdUpdate<F>(t, c);
}

template <auto F>
BOOL Notify(CCmdTarget* t, MsgCall& c)
{
    static_assert(HasSignature<F, void(NMHDR*, LRESULT*)>,
                  "notify handler must be: void OnXxx(NMHDR*, LRESULT*)");
    (Obj<F>(t)->*F)(static_cast<NMHDR*>(c.pExtra), &c.result);
    return TRUE;
}

template <auto F>
BOOL NotifyEx(CCmdTarget* t, MsgCall& c)
{
    static_assert(HasSignature<F, BOOL(NMHDR*, LRESULT*)>,
                  "notify _EX handler must be: BOOL OnXxx(NMHDR*, LRESULT*)");
    return (Obj<F>(t)->*F)(static_cast<NMHDR*>(c.pExtra), &c.result);
}

template <auto F>
BOOL NotifyRange(CCmdTarget* t, MsgCall& c)
{
    static_assert(HasSignature<F, void(UINT, NMHDR*, LRESULT*)>,
                  "notify range handler must be: void OnXxx(UINT nID, NMHDR*, LRESULT*)");
    (Obj<F>(t)->*F)(c.nID, static_cast<NMHDR*>(c.pExtra), &c.result);
    return TRUE;
}

template <auto F>
BOOL Message(CCmdTarget* t, MsgCall& c)
{
    static_assert(HasSignature<F, LRESULT(WPARAM, LPARAM)>,
                  "message handler must be: LRESULT OnXxx(WPARAM, LPARAM)");
    c.result = (Obj<F>(t)->*F)(c.wParam, c.lParam);
    return TRUE;
}

template <auto F>
BOOL ThreadMessage(CCmdTarget* t, MsgCall& c)
{
    static_assert(HasSignature<F, void(WPARAM, LPARAM)>,
                  "thread message handler must be: void OnXxx(WPARAM, LPARAM)");
    (Obj<F>(t)->*F)(c.wParam, c.lParam);
    return TRUE;
}

} // namespace fx::detail

#define FX_ENTRY(msg, code, id, lastId, thunk) \
    {(UINT)(msg), (UINT)(code), (UINT)(id), (UINT)(lastId), nullptr, (thunk)},

#define ON_COMMAND(id, memberFxn) \
    FX_ENTRY(WM_COMMAND, CN_COMMAND, id, id, &fx::detail::CmdVoid<&ThisClass::memberFxn>)
#define ON_COMMAND_EX(id, memberFxn) \
    FX_ENTRY(WM_COMMAND, CN_COMMAND, id, id, &fx::detail::CmdEx<&ThisClass::memberFxn>)
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    FX_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, &fx::detail::CmdRange<&ThisClass::memberFxn>)
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn) \
    FX_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, &fx::detail::CmdEx<&ThisClass::memberFxn>)
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    FX_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, &fx::detail::CmdUpdate<&ThisClass::memberFxn>)
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    FX_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, idLast, &fx::detail::CmdUpdate<&ThisClass::memberFxn>)

// Control notifications (WM_COMMAND from a child control).
#define ON_CONTROL(code, id, memberFxn) \
    FX_ENTRY(WM_COMMAND, (WORD)(code), id, id, &fx::detail::CmdVoid<&ThisClass::memberFxn>)
#define ON_CONTROL_RANGE(code, id, idLast, memberFxn) \
    FX_ENTRY(WM_COMMAND, (WORD)(code), id, idLast, &fx::detail::CmdRange<&ThisClass::memberFxn>)
#define ON_CONTROL_REFLECT(code, memberFxn) \
    FX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, (WORD)(code), 0, 0, &fx::detail::CmdVoid<&ThisClass::memberFxn>)
#define ON_CONTROL_REFLECT_EX(code, memberFxn) \
    FX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, (WORD)(code), 0, 0, &fx::detail::CmdReflectEx<&ThisClass::memberFxn>)

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_EN_HSCROLL(id, memberFxn) ON_CONTROL(EN_HSCROLL, id, memberFxn)
#define ON_EN_VSCROLL(id, memberFxn) ON_CONTROL(EN_VSCROLL, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(LBN_SELCANCEL, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)

// WM_NOTIFY from a child control.
#define ON_NOTIFY(code, id, memberFxn) \
    FX_ENTRY(WM_NOTIFY, (WORD)(int)(code), id, id, &fx::detail::Notify<&ThisClass::memberFxn>)
#define ON_NOTIFY_EX(code, id, memberFxn) \
    FX_ENTRY(WM_NOTIFY, (WORD)(int)(code), id, id, &fx::detail::NotifyEx<&ThisClass::memberFxn>)
#define ON_NOTIFY_RANGE(code, id, idLast, memberFxn) \
    FX_ENTRY(WM_NOTIFY, (WORD)(int)(code), id, idLast, &fx::detail::NotifyRange<&ThisClass::memberFxn>)
#define ON_NOTIFY_REFLECT(code, memberFxn) \
    FX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, (WORD)(int)(code), 0, 0, &fx::detail::Notify<&ThisClass::memberFxn>)
#define ON_NOTIFY_REFLECT_EX(code, memberFxn) \
    FX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, (WORD)(int)(code), 0, 0, &fx::detail::NotifyEx<&ThisClass::memberFxn>)

// Any window message: LRESULT OnXxx(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn) \
    FX_ENTRY(message, 0, 0, 0, &fx::detail::Message<&ThisClass::memberFxn>)
// A message registered at run time; nMessageVariable is a static UINT holding
// the number RegisterWindowMessage gave.
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    {0xC000, 0, 0, 0, &(nMessageVariable), &fx::detail::Message<&ThisClass::memberFxn>},
// A message posted to a thread (no window): void OnXxx(WPARAM, LPARAM).
#define ON_THREAD_MESSAGE(message, memberFxn) \
    FX_ENTRY(message, 0, 0, 0, &fx::detail::ThreadMessage<&ThisClass::memberFxn>)
#define ON_REGISTERED_THREAD_MESSAGE(nMessageVariable, memberFxn) \
    {0xC000, 0, 0, 0, &(nMessageVariable), &fx::detail::ThreadMessage<&ThisClass::memberFxn>},
