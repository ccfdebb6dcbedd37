#include "interface_page.h"

#include "options_ids.h"

const COLORREF CInterfacePage::kFactory[6] = {0x808080, 0xFF8080, 0xFFFFFF, 0xFFFFFF, 0xC0C0C0, 0x4040FF};
const COLORREF CInterfacePage::kSteel[6] = {0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x666666, 0x002AA5};

BEGIN_MESSAGE_MAP(CInterfacePage, CPropertyPage)
    ON_BN_CLICKED(IDC_SCHEME_FACTORY, OnFactory)
    ON_BN_CLICKED(IDC_SCHEME_STEEL, OnSteel)
    ON_BN_CLICKED(IDC_SCHEME_CUSTOM, OnCustom)
    ON_MESSAGE(CPN_SELCHANGE, OnPickerChanged)
    ON_MESSAGE(CPN_SELENDOK, OnPickerChanged)
    ON_MESSAGE(CPN_CLOSEUP, OnPickerChanged)
END_MESSAGE_MAP()

CInterfacePage::CInterfacePage() : CPropertyPage(IDD_INTERFACE_PAGE) {}

void CInterfacePage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SCREEN_PREVIEW, m_Preview);
    for (int i = 0; i < 6; ++i) {
        DDX_Control(pDX, IDC_PICK_1 + i, m_Pickers[i]);
        DDX_ColourPicker(pDX, IDC_PICK_1 + i, m_Colors[i]);
    }
    DDX_Radio(pDX, IDC_SCHEME_FACTORY, m_nScheme);
    DDX_Check(pDX, IDC_SCREEN_BACKGROUND2, m_bMainUseBackground2);
    DDX_Check(pDX, IDC_SCREEN_ANIM, m_bShowAnim);
    m_Preview.SetColours(m_Colors);
}

BOOL CInterfacePage::OnKillActive()
{
    UpdateData(TRUE);
    return CPropertyPage::OnKillActive();
}

void CInterfacePage::ApplyScheme(const COLORREF* colours)
{
    UpdateData(TRUE);
    if (colours)
        for (int i = 0; i < 6; ++i)
            m_Colors[i] = colours[i];
    UpdateData(FALSE);
}

void CInterfacePage::OnFactory() { ApplyScheme(kFactory); }
void CInterfacePage::OnSteel() { ApplyScheme(kSteel); }
void CInterfacePage::OnCustom() { ApplyScheme(nullptr); }

LRESULT CInterfacePage::OnPickerChanged(WPARAM, LPARAM)
{
    UpdateData(TRUE);
    m_nScheme = 2;
    UpdateData(FALSE);
    return 0;
}
