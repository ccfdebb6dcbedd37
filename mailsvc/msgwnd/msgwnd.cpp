#include "msgwnd/msgwnd.h"

#include "BmpMenu.h"
#include "Gradient.h"
#include "files/fileutil.h"
#include "fx/ddx.h"
#include "fx/resources.h"
#include "msgwnd/msgwnd_ids.h"
#include "options/wmoptions.h"

#include <shellapi.h>

namespace {

// Fixed size in both directions: the control keeps its template size.
const int kFixed = LayoutFixedWidth | LayoutFixedHeight;
const int kFill = LayoutFillWidth | LayoutFillHeight;

HICON LoadChainIcon(UINT id)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    HICON icon = ::LoadIconA(module, MAKEINTRESOURCEA(id));
    return icon;  // a shared resource icon: never destroyed
}

// The shared background: a gradient between the two background colours
// (starting with the second when the main window uses it first).
HINSTANCE RealShellRunner(HWND hWnd, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show)
{
    return ::ShellExecuteA(hWnd, verb, file, params, dir, show);
}

CMessageAttachDlg::ShellRunner g_shellRunner = &RealShellRunner;

} // namespace

// ---- CAttachmentListCtrl ----

CString CAttachmentListCtrl::GetItemText(int nItem) const
{
    // Paths are at most MAX_PATH long, but the list holds whatever it was given.
    for (int size = 1024; size <= 65536; size *= 4) {
        CString text;
        char* buf = text.GetBuffer(size);
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = buf;
        item.cchTextMax = size;
        int n = static_cast<int>(::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(&item)));
        text.ReleaseBuffer(n);
        if (n < size - 1)
            return text;
    }
    return CString();
}

int CAttachmentListCtrl::GetItemImage(int nItem) const
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = nItem;
    if (!::SendMessageA(m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return item.iImage;
}

BOOL CAttachmentListCtrl::SetItemImage(int nItem, int nImage)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = nItem;
    item.iImage = nImage;
    return static_cast<BOOL>(::SendMessageA(m_hWnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CAttachmentListCtrl::SetItemSelected(int nItem, BOOL bSelected)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = bSelected ? LVIS_SELECTED : 0;
    return static_cast<BOOL>(::SendMessageA(m_hWnd, LVM_SETITEMSTATE, nItem, reinterpret_cast<LPARAM>(&item)));
}

// ---- CMessageDlg ----

IMPLEMENT_DYNAMIC(CMessageDlg, ETSLayoutDialog)

BEGIN_MESSAGE_MAP(CMessageDlg, ETSLayoutDialog)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_CLOSE()
    ON_EN_CHANGE(IDC_ZLM_SUBJECT, OnTextChange)
    ON_EN_CHANGE(IDC_ZLM_DATE, OnTextChange)
    ON_EN_CHANGE(IDC_ZLM_BODY, OnTextChange)
END_MESSAGE_MAP()

CMessageDlg::CMessageDlg(CWnd* pParent) : CMessageDlg(IDD_ZLM_MESSAGE, pParent) {}

CMessageDlg::CMessageDlg(UINT nIDTemplate, CWnd* pParent)
    : ETSLayoutDialog(nIDTemplate, pParent, nullptr, false), m_hIcon(nullptr), m_bRestoring(false)
{
    m_bGripper = false;
    CWMOptions options;
    options.Init();
}

CMessageDlg::~CMessageDlg() = default;

void CMessageDlg::DoDataExchange(CDataExchange* pDX)
{
    ETSLayoutDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ZLM_SEPARATOR, m_Separator);
    DDX_Text(pDX, IDC_ZLM_SUBJECT, m_strSubject);
    DDX_Text(pDX, IDC_ZLM_DATE, m_strDate);
    DDX_Text(pDX, IDC_ZLM_BODY, m_strBody);
}

BOOL CMessageDlg::OnInitDialog()
{
    static const UINT kLabels[] = {IDC_ZLM_SUBJECT_LABEL, IDC_ZLM_DATE_LABEL};
    ETSLayoutDialog::OnInitDialog();
    FinishInit(2, kLabels);
    return TRUE;
}

void CMessageDlg::FinishInit(int nLabels, const UINT* labelIDs)
{
    m_hIcon = LoadChainIcon(IDI_ZLM_MESSAGE);
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }

    LayoutPanePtr root = CreateRootPane(LayoutVertical, 5, 0);
    root.AddPane(NewPane(LayoutHorizontal, LayoutFixedHeight, 5)
                     .AddItem(NewItem(IDC_ZLM_SUBJECT_LABEL, kFixed))
                     .AddItem(NewItem(IDC_ZLM_SUBJECT, LayoutGreedy)));
    root.AddPane(NewPane(LayoutHorizontal, LayoutFixedHeight, 5)
                     .AddItem(NewItem(IDC_ZLM_DATE_LABEL, kFixed))
                     .AddItem(NewItem(IDC_ZLM_DATE, LayoutGreedy)));
    root.AddPane(NewPane(LayoutHorizontal, LayoutFixedHeight, 5).AddItem(NewItem(IDC_ZLM_SEPARATOR, LayoutGreedy)));
    AddMiddleRows(root);
    root.AddPane(NewPane(LayoutHorizontal, kFill, 5).AddItem(NewItem(IDC_ZLM_BODY, LayoutGreedy)));
    root.AddPane(NewPane(LayoutHorizontal, LayoutFixedHeight, 5).AddItem(NewItem(IDOK, LayoutGreedy)));
    root.AddItem(NewSpacerLike(LayoutHorizontal, IDOK));
    CRect client;
    GetClientRect(&client);
    ApplyLayout(client);

    CClientDC dc(this);
    m_Font.CreateFont(-::MulDiv(8, dc.GetDeviceCaps(LOGPIXELSY), 72), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x52,
                      "Arial");
    for (int i = 0; i < nLabels; ++i) {
        if (m_Labels[i].SubclassDlgItem(labelIDs[i], this))
            m_Labels[i].SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_Font.m_hObject), FALSE);
    }
    m_Separator.Set3WayGradient(CWMOptions::Color1, CWMOptions::Color3, CWMOptions::Color2);
    SetWindowText(m_strTitle);
}

void CMessageDlg::AddMiddleRows(LayoutPanePtr& root)
{
    // Room for two more controls that this window does not have: empty rows.
    root.AddPane(NewPane(LayoutHorizontal, LayoutFixedHeight, 5)
                     .AddItem(NewItem(IDC_ZLM_EXTRA1, LayoutGreedy))
                     .AddItem(NewGrowingSpacer(LayoutHorizontal))
                     .AddItem(NewItem(IDC_ZLM_EXTRA2, LayoutGreedy)));
    root.AddPane(NewPane(LayoutHorizontal, LayoutFixedHeight, 5)
                     .AddItem(NewItem(IDC_ZLM_EXTRA1, kFixed))
                     .AddItem(NewItem(IDC_ZLM_EXTRA2, kFixed)));
}

void CMessageDlg::ApplyLayout(CRect area)
{
    // A minimised window has an empty client area: keep the last layout.
    if (area.Width() != 0 && area.Height() != 0)
        ResizeRoot(area);
}

void CMessageDlg::OnOK()
{
    // A message window is closed for good: its window goes, and the window
    // manager deletes the object at its next refresh.
    DestroyWindow();
}

void CMessageDlg::OnCancel()
{
    DestroyWindow();
}

void CMessageDlg::OnClose()
{
    DestroyWindow();
}

void CMessageDlg::OnSize(UINT nType, int cx, int cy)
{
    ETSLayoutDialog::OnSize(nType, cx, cy);
}

BOOL CMessageDlg::OnEraseBkgnd(CDC* pDC)
{
    CWMOptions::PaintWindowBackground(this);
    if (m_Separator.m_hWnd)
        m_Separator.Set3WayGradient(CWMOptions::Color1, CWMOptions::Color3, CWMOptions::Color2);
    return TRUE;
}

void CMessageDlg::OnTextChange()
{
    // The boxes are for reading and copying: whatever is typed is put back.
    if (m_bRestoring)
        return;
    m_bRestoring = true;
    struct {
        UINT id;
        const CString* text;
    } boxes[] = {{IDC_ZLM_SUBJECT, &m_strSubject}, {IDC_ZLM_DATE, &m_strDate}, {IDC_ZLM_BODY, &m_strBody}};
    for (const auto& b : boxes) {
        CString now;
        GetDlgItemText(b.id, now);
        if (now.Compare(*b.text) != 0)
            SetDlgItemText(b.id, *b.text);
    }
    m_bRestoring = false;
}

// ---- CMessageAttachDlg ----

IMPLEMENT_DYNAMIC(CMessageAttachDlg, CMessageDlg)

BEGIN_MESSAGE_MAP(CMessageAttachDlg, CMessageDlg)
    ON_NOTIFY(NM_RCLICK, IDC_ZLM_ATTACH_LIST, OnRClickList)
    ON_COMMAND(ID_ZLM_ATTACH_OPEN, OnAttachOpen)
    ON_COMMAND(ID_ZLM_ATTACH_PRINT, OnAttachPrint)
    ON_COMMAND(ID_ZLM_ATTACH_EDIT, OnAttachEdit)
END_MESSAGE_MAP()

CMessageAttachDlg::ShellRunner CMessageAttachDlg::SetShellRunner(ShellRunner runner)
{
    ShellRunner old = g_shellRunner;
    g_shellRunner = runner ? runner : &RealShellRunner;
    return old;
}

CMessageAttachDlg::CMessageAttachDlg(CWnd* pParent) : CMessageDlg(IDD_ZLM_MESSAGE_ATTACH, pParent)
{
    if (m_ImageList.Create(32, 32, ILC_COLOR32 | ILC_MASK, 1, 1)) {
        m_ImageList.SetBkColor(RGB(255, 255, 255));
        ImageList_SetImageCount(m_ImageList.m_hImageList, 1);  // image 0: blank
        HICON icon = LoadChainIcon(IDI_ZLM_ATTACHMENT);
        if (icon)
            m_ImageList.Add(icon);
    }
}

CMessageAttachDlg::~CMessageAttachDlg() = default;

void CMessageAttachDlg::DoDataExchange(CDataExchange* pDX)
{
    CMessageDlg::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ZLM_ATTACH_LIST, m_AttachList);
}

BOOL CMessageAttachDlg::OnInitDialog()
{
    static const UINT kLabels[] = {IDC_ZLM_SUBJECT_LABEL, IDC_ZLM_DATE_LABEL, IDC_ZLM_ATTACH_LABEL};
    ETSLayoutDialog::OnInitDialog();
    m_AttachList.SetImageList(&m_ImageList, LVSIL_NORMAL);
    m_AttachList.SetBkColor(RGB(255, 255, 255));
    m_AttachList.SetTextBkColor(RGB(255, 255, 255));
    m_AttachList.SetTextColor(RGB(0, 0, 0));
    FinishInit(3, kLabels);
    return TRUE;
}

void CMessageAttachDlg::AddMiddleRows(LayoutPanePtr& root)
{
    LayoutPanePtr row = NewPane(LayoutHorizontal, LayoutGreedy, 5);
    row.AddPane(NewPane(LayoutVertical, LayoutFixedWidth, 0)
                    .AddItem(NewItem(IDC_ZLM_ATTACH_LABEL, kFixed))
                    .AddItem(NewItem(IDC_ZLM_EXTRA1, kFixed)));
    row.AddPane(NewPane(LayoutVertical, kFill, 0).AddItem(NewItem(IDC_ZLM_ATTACH_LIST, LayoutGreedy)));
    root.AddPane(row);
}

void CMessageAttachDlg::UpdateAttachmentIcons()
{
    if (!m_AttachList.m_hWnd)
        return;
    const int count = m_AttachList.GetItemCount();
    for (int i = 0; i < count; ++i) {
        CString path = m_AttachList.GetItemText(i);
        SHFILEINFOA info = {};
        // A file the shell has no icon for shows the blank image 0, rather
        // than the image that the next file's icon will take.
        int image = 0;
        if (::SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON | SHGFI_SYSICONINDEX) &&
            info.hIcon) {
            // The list keeps its own copy; the shell's icon is ours to free.
            const int added = m_ImageList.Add(info.hIcon);
            if (added >= 0)
                image = added;
        }
        if (info.hIcon)
            ::DestroyIcon(info.hIcon);
        m_AttachList.SetItemImage(i, image);
    }
}

void CMessageAttachDlg::OnRClickList(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    POINT pt;
    ::GetCursorPos(&pt);
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_ZLM_ATTACH_MENU), MAKEINTRESOURCEA(4) /* RT_MENU */);
    HMENU menu = ::LoadMenuA(module, MAKEINTRESOURCEA(IDR_ZLM_ATTACH_MENU));
    if (!menu)
        return;
    // The side strip is the main program's picture (none in other programs).
    HBITMAP side = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(131));
    {
        CBmpMenu popup(24, 1, side, 1);
        if (HMENU items = ::GetSubMenu(menu, 0)) {
            popup.Attach(items);
            popup.SetTitle("Attachment");
            popup.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, this);
            popup.Detach();
        }
    }
    ::DestroyMenu(menu);
    if (side)
        ::DeleteObject(side);
}

void CMessageAttachDlg::RunOnSelection(LPCSTR verb)
{
    if (!m_AttachList.m_hWnd)
        return;
    for (int i = m_AttachList.GetNextItem(-1, LVNI_SELECTED); i >= 0;
         i = m_AttachList.GetNextItem(i, LVNI_SELECTED)) {
        CString file = m_AttachList.GetItemText(i);
        CString dir = GetPath(file) + "/";
        // A file the shell cannot handle is skipped without a message.
        g_shellRunner(m_hWnd, verb, file, "", dir, SW_SHOWNORMAL);
    }
}

void CMessageAttachDlg::OnAttachOpen()
{
    RunOnSelection("open");
}

void CMessageAttachDlg::OnAttachPrint()
{
    RunOnSelection("print");
}

void CMessageAttachDlg::OnAttachEdit()
{
    RunOnSelection("edit");
}
